#include "imports/area_table.h"

#include "state/prefectures.h"
#include "platform/import_lock.h"
#include "platform/number_text.h"
#include "platform/safe_write.h"
#include "platform/text_file.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>
#include <numbers>

namespace miratos::imports {
namespace {

constexpr double kSemiMajorAxis = 6378137.0;          // WGS84, metres
constexpr double kFlattening = 1.0 / 298.257223563;  // WGS84
constexpr double kSquaredEccentricity = kFlattening * (2.0 - kFlattening);

// Area per radian of longitude between the equator and latitude phi (radians), in m².
double areaFromEquator(double phi)
{
    const double e = std::sqrt(kSquaredEccentricity);
    const double s = std::sin(phi);
    const double q = (1.0 - kSquaredEccentricity)
        * (s / (1.0 - kSquaredEccentricity * s * s) - std::log((1.0 - e * s) / (1.0 + e * s)) / (2.0 * e));
    return kSemiMajorAxis * kSemiMajorAxis * q / 2.0;
}

double radians(double degrees)
{
    return degrees * std::numbers::pi / 180.0;
}

} // namespace

double ringAreaKm2(const BoundaryTopology& topology, const TopoRing& ring)
{
    // Shoelace sum over the ring's points in (longitude, areaFromEquator) coordinates; the points
    // of a line are visited backwards for a reversed reference.
    double sum = 0.0;
    bool havePrevious = false;
    double firstX = 0.0, firstY = 0.0, prevX = 0.0, prevY = 0.0;
    auto visit = [&](const QPointF& p) {
        const double x = radians(p.x());
        const double y = areaFromEquator(radians(p.y()));
        if (havePrevious)
            sum += (x - prevX) * (y + prevY) / 2.0;
        else {
            firstX = x;
            firstY = y;
            havePrevious = true;
        }
        prevX = x;
        prevY = y;
    };
    for (const TopoLineRef& ref : ring) {
        if (ref.line < 0 || ref.line >= topology.lines.size())
            continue;
        const QVector<QPointF>& points = topology.lines[ref.line].points;
        if (ref.reversed) {
            for (qsizetype i = points.size() - 1; i >= 0; --i)
                visit(points[i]);
        } else {
            for (const QPointF& p : points)
                visit(p);
        }
    }
    if (havePrevious)
        sum += (firstX - prevX) * (firstY + prevY) / 2.0;
    return std::abs(sum) / 1e6;
}

double polygonAreaKm2(const BoundaryTopology& topology, const TopoPolygon& polygon)
{
    double area = 0.0;
    for (qsizetype i = 0; i < polygon.rings.size(); ++i) {
        const double ring = ringAreaKm2(topology, polygon.rings[i]);
        area += i == 0 ? ring : -ring;
    }
    return area;
}

QMap<int, double> prefectureAreasKm2(const BoundaryTopology& topology)
{
    QMap<int, double> areas;
    for (const TopoMunicipality& m : topology.municipalities) {
        for (const TopoPolygon& polygon : m.polygons)
            areas[m.prefCode] += polygonAreaKm2(topology, polygon);
    }
    return areas;
}

Status writeAreaTable(const BoundaryTopology& topology, const QString& csvPath)
{
    platform::ImportLock lock; // one import or conversion at a time in an app folder
    if (Status locked = lock.acquire(); !locked)
        return Error{locked.error()};
    QStringList lines{QStringLiteral("Code,地区名,面積(k㎡)")};
    const QMap<int, double> areas = prefectureAreasKm2(topology);
    for (auto it = areas.cbegin(); it != areas.cend(); ++it) {
        const QString name = state::prefectureName(it.key());
        if (name.isEmpty())
            return Error{QStringLiteral("%1: 都道府県コード %2 は 1～47 の外です")
                             .arg(QDir::toNativeSeparators(csvPath))
                             .arg(it.key())};
        lines.append(QStringLiteral("%1,%2,%3")
                         .arg(state::prefectureCodeText(it.key()), name,
                              platform::formatDouble(platform::roundHalfEven(it.value(), 1))));
    }
    const QString folder = QFileInfo(csvPath).absolutePath();
    if (Status made = platform::makeFolder(folder); !made)
        return made;
    return platform::writeTextLines(csvPath, lines);
}

} // namespace miratos::imports
