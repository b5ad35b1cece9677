#include "stats/mdl_color.h"

#include <array>

namespace miratos::stats {
namespace {

// The pure colour of a hue, each component on a 0..256 scale.
std::array<double, 3> pureHue(double h)
{
    const double u = h / 40;
    if (h < 40)
        return {256, 256 * h / 40, 0};
    if (h < 80)
        return {(2 - u) * 256, 256, 0};
    if (h < 120)
        return {0, 256, (u - 2) * 256};
    if (h < 160)
        return {0, (4 - u) * 256, 256};
    if (h < 200)
        return {(u - 4) * 256, 0, 256};
    return {256, 0, (6 - u) * 256};
}

int component(double c)
{
    return c >= 256 ? 255 : static_cast<int>(c);
}

} // namespace

int hls(double hue, double saturation, double luminance)
{
    if (hue > 240 || saturation > 240 || luminance > 240 || hue < 0 || saturation < 0 || luminance < 0)
        return -1;
    auto rgb = pureHue(hue);
    for (double& c : rgb) {
        c = (1 - saturation / 240) * 128 + saturation * c / 240;
        if (luminance <= 120)
            c = c * luminance / 120;
        else
            c = c * (1 - (luminance - 120) / 120) + (luminance - 120) * 256 / 120;
    }
    return component(rgb[0]) + 256 * component(rgb[1]) + 65536 * component(rgb[2]);
}

} // namespace miratos::stats
