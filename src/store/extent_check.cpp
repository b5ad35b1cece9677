#include "store/extent_check.h"

#include "platform/number_text.h"

#include <cmath>

namespace miratos::store {

QString extentProblem(double west, double east, double south, double north)
{
    using platform::formatDouble;
    // Longitudes up to 360° are accepted as the boundary readers accept them (0–360 data).
    for (double lon : {west, east}) {
        if (!std::isfinite(lon) || std::abs(lon) > 360)
            return QStringLiteral("経度 %1 が地球の上にありません").arg(formatDouble(lon));
    }
    for (double lat : {south, north}) {
        if (!std::isfinite(lat) || std::abs(lat) > 90)
            return QStringLiteral("緯度 %1 が地球の上にありません").arg(formatDouble(lat));
    }
    if (west > east)
        return QStringLiteral("西端 %1 が東端 %2 より大きい範囲です").arg(formatDouble(west), formatDouble(east));
    if (south > north)
        return QStringLiteral("南端 %1 が北端 %2 より大きい範囲です").arg(formatDouble(south), formatDouble(north));
    return {};
}

} // namespace miratos::store
