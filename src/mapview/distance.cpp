#include "mapview/distance.h"

#include "platform/number_text.h"

#include <cmath>

namespace miratos::mapview {
namespace {
constexpr double kPi = 3.1415927; // the same seven-digit value as the scale bar
constexpr double kEarthRadiusKm = 6371;
} // namespace

std::optional<QString> distanceText(const QString& x1, const QString& y1, const QString& x2, const QString& y2)
{
    double radians[4];
    const QString* texts[4] = {&x1, &y1, &x2, &y2};
    for (int i = 0; i < 4; ++i) {
        const auto value = platform::toNumber(*texts[i]);
        if (!value)
            return std::nullopt;
        radians[i] = *value * kPi / 180;
    }
    const double lon1 = radians[0], lat1 = radians[1], lon2 = radians[2], lat2 = radians[3];
    const double c = std::sin(lat1) * std::sin(lat2) + std::cos(lat2) * std::cos(lat1) * std::cos(lon1 - lon2);
    const double s = std::sqrt(1 - c * c);
    // Identical (or antipodal) points; rounding can also push c just past ±1.
    if (s == 0 || std::isnan(s))
        return QStringLiteral("２点間が近すぎます");
    const double angle = std::atan(-c / s) + 2 * std::atan(1.0); // the arc cosine of c
    const float d = static_cast<float>(angle * kEarthRadiusKm);
    if (d >= 1)
        return platform::formatDouble(platform::roundHalfEven(d, 1)) + QStringLiteral("km");
    return platform::formatDouble(platform::roundHalfEven(static_cast<double>(d) * 1000)) + QStringLiteral("m");
}

} // namespace miratos::mapview
