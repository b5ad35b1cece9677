#include "mapview/viewport.h"

#include "platform/number_text.h"

#include <cmath>

namespace miratos::mapview {
namespace {
constexpr double kPi = 3.1415927; // seven digits: the scale bar and distances are computed with this value
}

double kmPerDegreeLon(double latitudeDegrees)
{
    return std::cos(latitudeDegrees * kPi / 180) * 40030.176 / 360;
}

void Viewport::setInitialView(const Extent& data)
{
    const double x1 = data.minLon, y1 = data.minLat, x2 = data.maxLon, y2 = data.maxLat;
    const double k = kmPerDegreeLon((y1 + y2) / 2);
    const double w = (x2 - x1) * k;
    const double h = (y2 - y1) * kKmPerDegreeLat;
    if (w >= h) {
        const double m = k * 0.02;
        view = {static_cast<float>(x1 - 0.02), static_cast<float>(y2 + m / kKmPerDegreeLat),
                static_cast<float>(x2 + 0.02), static_cast<float>(y2 - (w + m) / kKmPerDegreeLat)};
    } else {
        view = {static_cast<float>(x1 - 2.2224 / k), static_cast<float>(y2 + 0.02),
                static_cast<float>(x1 + (h + 2.2224) / k), static_cast<float>(y1 - 0.02)};
    }
}

void Viewport::makeSquare(float typedRight, float typedBottom)
{
    const double k = kmPerDegreeLon((static_cast<double>(view.Y1) + view.Y2) / 2);
    typedX2 = 0;
    typedY2 = 0;
    const double w = (static_cast<double>(view.X2) - view.X1) * k;
    const double h = (static_cast<double>(view.Y1) - view.Y2) * kKmPerDegreeLat;
    if (w >= h) {
        view.Y2 = static_cast<float>(view.Y1 - w / kKmPerDegreeLat);
        typedY2 = typedBottom;
    } else {
        view.X2 = static_cast<float>(view.X1 + h / k);
        typedX2 = typedRight;
    }
    zoomed = true;
}

bool Viewport::pushTyped(const QString& x1, const QString& y1, const QString& x2, const QString& y2)
{
    prevView = view;
    const auto a = platform::toNumber(x1), b = platform::toNumber(y1), c = platform::toNumber(x2), d = platform::toNumber(y2);
    if (!a || !b || !c || !d) {
        view = prevView;
        return false;
    }
    view = {static_cast<float>(*a), static_cast<float>(*b), static_cast<float>(*c), static_cast<float>(*d)};
    ++zoomCount;
    if (zoomHistory.size() < zoomCount)
        zoomHistory.resize(zoomCount);
    movedEntries.resize(zoomHistory.size());
    zoomHistory[zoomCount - 1] = view;
    movedEntries[zoomCount - 1] = false;
    return true;
}

void Viewport::pushView(const ViewRect& next, bool replaceLast)
{
    prevView = view;
    auto put = [this](const ViewRect& entry) {
        if (zoomHistory.size() < zoomCount)
            zoomHistory.resize(zoomCount);
        movedEntries.resize(zoomHistory.size());
        zoomHistory[zoomCount - 1] = entry;
        movedEntries[zoomCount - 1] = true;
    };
    if (zoomCount == 0 || zoomHistory.value(zoomCount - 1) != view) {
        replaceLast = false;
        ++zoomCount;
        put(view);
    }
    if (!replaceLast || zoomCount < 2)
        ++zoomCount;
    put(next);
    view = next;
    zoomed = true;
}

bool Viewport::stepBack()
{
    if (zoomCount <= 1)
        return false;
    --zoomCount;
    view = zoomHistory[zoomCount - 1];
    return true;
}

void Viewport::widen()
{
    const float dx = (view.X2 - view.X1) / 20;
    const float dy = (view.Y1 - view.Y2) / 20;
    view.X1 -= dx;
    view.Y1 += dy;
    view.X2 += dx;
    view.Y2 -= dy;
}

void Viewport::reset()
{
    zoomHistory.clear();
    movedEntries.clear();
    zoomCount = 0;
    zoomed = false;
}

void Viewport::restorePrevious()
{
    view = prevView;
    if (zoomCount > 0)
        --zoomCount;
}

double roundScaleLength(float b, QString& text)
{
    if (b >= 5) {
        long whole = static_cast<long>(std::floor(b));
        if (whole % 5 != 0)
            whole = whole + 5 - whole % 5;
        text = QString::number(whole) + QStringLiteral("km");
        return static_cast<double>(whole);
    }
    if (b >= 1) {
        const long whole = static_cast<long>(std::floor(b)) + 1;
        text = QString::number(whole) + QStringLiteral("km");
        return static_cast<double>(whole);
    }
    const long a = static_cast<long>(std::floor(b * 10)) + 1;
    text = QString::number(a * 100) + QStringLiteral("m");
    return a / 10.0;
}

ScaleBar scaleBarFor(const ViewRect& view, int canvasHeightPx)
{
    ScaleBar bar;
    const double degreesPer100Px = std::abs((static_cast<double>(view.Y1) - view.Y2) * 100 / canvasHeightPx);
    // Single precision: the shown length is chosen from this rounded value.
    const float b = static_cast<float>(degreesPer100Px * 60 * 1.852);
    const double g = roundScaleLength(b, bar.text);
    const double degrees = g / kKmPerDegreeLat;
    bar.lengthPx = std::abs(degrees * canvasHeightPx / (static_cast<double>(view.Y1) - view.Y2));
    bar.visible = bar.lengthPx <= 400;
    return bar;
}

} // namespace miratos::mapview
