#include "mapview/view_navigation.h"

#include <algorithm>
#include <cmath>

namespace miratos::mapview {

ViewRect shownRect(const ViewRect& view, int width, int height)
{
    if (width == height || width <= 0 || height <= 0)
        return view;
    const double cx = (static_cast<double>(view.X1) + view.X2) / 2;
    const double cy = (static_cast<double>(view.Y1) + view.Y2) / 2;
    double halfW = (static_cast<double>(view.X2) - view.X1) / 2;
    double halfH = (static_cast<double>(view.Y1) - view.Y2) / 2;
    if (width > height)
        halfW *= static_cast<double>(width) / height;
    else
        halfH *= static_cast<double>(height) / width;
    return {static_cast<float>(cx - halfW), static_cast<float>(cy + halfH), static_cast<float>(cx + halfW),
            static_cast<float>(cy - halfH)};
}

ViewRect zoomAbout(const ViewRect& view, double lon, double lat, double factor)
{
    if (!(factor > 0))
        return view;
    auto scale = [&](float edge, double about) { return static_cast<float>(about + (edge - about) / factor); };
    return {scale(view.X1, lon), scale(view.Y1, lat), scale(view.X2, lon), scale(view.Y2, lat)};
}

ViewRect panByPixels(const ViewRect& view, int width, int height, double dx, double dy)
{
    const ViewRect shown = shownRect(view, width, height);
    const double degX = dx * (static_cast<double>(shown.X2) - shown.X1) / std::max(width, 1);
    const double degY = dy * (static_cast<double>(shown.Y1) - shown.Y2) / std::max(height, 1);
    return {static_cast<float>(view.X1 + degX), static_cast<float>(view.Y1 - degY), static_cast<float>(view.X2 + degX),
            static_cast<float>(view.Y2 - degY)};
}

double zoomStepFactor(int width, int height)
{
    const int side = std::max(1, std::min(width, height));
    return (side + 200.0) / side;
}

QSize enlargedCanvasSize(int width, int height, int steps)
{
    const int side = std::max(1, std::min(width, height));
    const double grown = side + 200.0 * steps;
    return {static_cast<int>(std::lround(width * grown / side)), static_cast<int>(std::lround(height * grown / side))};
}

} // namespace miratos::mapview
