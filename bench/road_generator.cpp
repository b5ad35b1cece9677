#include "road_generator.h"

#include "imports/label_point.h"
#include "imports/topojson_reader.h"
#include "platform/cp932.h"
#include "platform/text_file.h"

#include <QDir>
#include <QFile>
#include <QPolygonF>
#include <QRectF>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

namespace miratos::bench {
namespace {

struct Municipality {
    QString name;
    QPointF label;
    QVector<imports::PointRing> rings; // of its largest polygon
    QRectF box;
    double area = 0;
};

struct NamedRoute {
    qint64 number;
    int roadClass;
    QString name1, name2, rest;
};

QByteArray padded(const QString& text, int bytes)
{
    QByteArray b = platform::toCp932(text).value();
    // Never cut a double-byte character: shorten by characters until it fits.
    QString t = text;
    while (b.size() > bytes) {
        t.chop(1);
        b = platform::toCp932(t).value();
    }
    return b + QByteArray(bytes - b.size(), ' ');
}

QByteArray rightAligned(const QByteArray& text, int bytes)
{
    return QByteArray(std::max<qsizetype>(0, bytes - text.size()), ' ') + text.left(bytes);
}

qint64 tenths(double degrees)
{
    return std::llround(degrees * 36000.0);
}

class Writer {
public:
    explicit Writer(QByteArray& out) : m_out(out) {}
    void road(bool numbered, qint64 route, const QVector<QPointF>& points)
    {
        // "L", a 33-byte record head, the flag in byte 35, the route number in bytes 36 to 45.
        m_out += "L" + rightAligned(QByteArray::number(++m_serial), 10) + QByteArray(23, '0');
        m_out += numbered ? '1' : '0';
        m_out += numbered ? rightAligned(QByteArray::number(route), 10) : QByteArray(10, ' ');
        m_out += "  0001\r\n";
        // Coordinate lines of at most four points: longitude, latitude, …
        for (qsizetype i = 0; i < points.size(); i += 4) {
            for (qsizetype j = i; j < std::min(points.size(), i + 4); ++j) {
                if (j > i)
                    m_out += ' ';
                m_out += QByteArray::number(tenths(points[j].x())) + ' ' + QByteArray::number(tenths(points[j].y()));
            }
            m_out += "\r\n";
        }
    }

private:
    QByteArray& m_out;
    qint64 m_serial = 0;
};

// A wandering line from a to b with points about every step degrees.
QVector<QPointF> wander(QPointF a, QPointF b, double step, std::mt19937& rng)
{
    const double length = std::hypot(b.x() - a.x(), b.y() - a.y());
    const int n = std::max(1, static_cast<int>(length / step));
    std::normal_distribution<double> jitter(0, step * 0.25);
    QVector<QPointF> points;
    points.reserve(n + 1);
    for (int i = 0; i <= n; ++i) {
        const double t = static_cast<double>(i) / n;
        QPointF p(a.x() + (b.x() - a.x()) * t, a.y() + (b.y() - a.y()) * t);
        if (i > 0 && i < n)
            p += QPointF(jitter(rng), jitter(rng));
        points.append(p);
    }
    return points;
}

Result<QVector<Municipality>> municipalitiesOf(const QString& path)
{
    auto topology = imports::readTopoJson(path);
    if (!topology)
        return Error{topology.error()};
    QVector<Municipality> out;
    for (const imports::TopoMunicipality& m : topology->municipalities) {
        Municipality best;
        for (const imports::TopoPolygon& polygon : m.polygons) {
            QVector<imports::PointRing> rings;
            for (const imports::TopoRing& ring : polygon.rings) {
                imports::PointRing points;
                for (const imports::TopoLineRef& ref : ring) {
                    const auto& line = topology->lines[ref.line].points;
                    if (ref.reversed)
                        std::copy(line.rbegin(), line.rend(), std::back_inserter(points));
                    else
                        points += line;
                }
                rings.append(points);
            }
            if (rings.isEmpty() || rings[0].size() < 3)
                continue;
            double area = 0;
            const auto& outer = rings[0];
            for (qsizetype i = 0; i < outer.size(); ++i) {
                const QPointF& p = outer[i];
                const QPointF& q = outer[(i + 1) % outer.size()];
                area += p.x() * q.y() - q.x() * p.y();
            }
            area = std::abs(area) / 2;
            if (area > best.area) {
                best.area = area;
                best.rings = rings;
            }
        }
        if (best.rings.isEmpty())
            continue;
        best.name = m.nameParts.mid(1).join(QString());
        best.label = imports::labelPointOf(best.rings);
        QPolygonF outer(best.rings[0]);
        best.box = outer.boundingRect();
        out.append(best);
    }
    return out;
}

} // namespace

Result<GeneratedRoads> writeRoadSources(const QString& topoJsonFolder, const QVector<int>& prefCodes, const QString& outFolder,
                                        const RoadGeneratorOptions& options)
{
    GeneratedRoads result;
    std::mt19937 rng(options.seed);
    QVector<NamedRoute> routes;
    for (int code : prefCodes) {
        const QString cc = QStringLiteral("%1").arg(code, 2, 10, QLatin1Char('0'));
        auto municipalities = municipalitiesOf(QDir(topoJsonFolder).filePath(QStringLiteral("N03-21_%1_210101.json").arg(cc)));
        if (!municipalities)
            return Error{municipalities.error()};
        auto& ms = *municipalities;
        QByteArray out = "H" + cc.toLatin1() + " generated road data\r\nH road records follow\r\n";
        Writer writer(out);

        // Expressways: the label points chained west to east, in a few corridors.
        QVector<int> order(ms.size());
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(), [&ms](int a, int b) { return ms[a].label.x() < ms[b].label.x(); });
        const int corridors = 3;
        for (int c = 0; c < corridors; ++c) {
            const qint64 route = 100 + code * 10 + c; // nationwide unique
            routes.append({route, 1, QStringLiteral("高速%1号線").arg(route), QStringLiteral("ｺｳｿｸ%1").arg(route), ms.value(0).name});
            for (qsizetype i = c; i + corridors < order.size(); i += corridors) {
                writer.road(true, route, wander(ms[order[i]].label, ms[order[i + corridors]].label, 0.004, rng));
                ++result.roads;
            }
        }
        // National roads: each label point to its two nearest neighbours.
        for (qsizetype i = 0; i < ms.size(); ++i) {
            QVector<std::pair<double, int>> near;
            for (qsizetype j = 0; j < ms.size(); ++j) {
                if (j != i)
                    near.append({std::hypot(ms[i].label.x() - ms[j].label.x(), ms[i].label.y() - ms[j].label.y()), static_cast<int>(j)});
            }
            std::partial_sort(near.begin(), near.begin() + std::min<qsizetype>(2, near.size()), near.end());
            for (qsizetype k = 0; k < std::min<qsizetype>(2, near.size()); ++k) {
                const qint64 route = 1000 + code * 100 + (i % 90);
                writer.road(true, route, wander(ms[i].label, ms[near[k].second].label, 0.002, rng));
                ++result.roads;
            }
        }
        for (int k = 0; k < 90; ++k) {
            const qint64 route = 1000 + code * 100 + k;
            routes.append({route, 2, QStringLiteral("国道%1号").arg(route), QStringLiteral("ｺｸﾄﾞｳ%1").arg(route), QStringLiteral("%1 区間").arg(cc)});
        }
        // Local roads: dense inside each municipality, by area; a third carry a route number.
        double total = 0;
        for (const auto& m : ms)
            total += m.area;
        std::uniform_real_distribution<double> unit(0, 1);
        qint64 localRoute = 100000 + code * 10000;
        for (const auto& m : ms) {
            const int n = std::max(5, static_cast<int>(options.localRoadsPerPrefecture * m.area / total));
            const qint64 firstRoute = localRoute;
            const int named = std::max(1, n / 50);
            for (int k = 0; k < named; ++k)
                routes.append({localRoute + k, 3, QStringLiteral("%1道%2号線").arg(m.name).arg(k + 1), QStringLiteral("ﾁﾎｳﾄﾞｳ"), m.name});
            localRoute += named;
            for (int k = 0; k < n; ++k) {
                QPointF start;
                for (int tries = 0; tries < 20; ++tries) {
                    start = QPointF(m.box.left() + unit(rng) * m.box.width(), m.box.top() + unit(rng) * m.box.height());
                    if (imports::isInsideRings(start, m.rings))
                        break;
                }
                const double angle = unit(rng) * 6.283185307;
                const double length = 0.002 + unit(rng) * 0.01;
                const QPointF end = start + QPointF(std::cos(angle) * length, std::sin(angle) * length);
                const bool numbered = unit(rng) < 0.33;
                writer.road(numbered, firstRoute + (k % named), wander(start, end, 0.0015, rng));
                ++result.roads;
            }
        }
        const QString path = QDir(outFolder).filePath(QStringLiteral("N%1.txt").arg(cc));
        if (Status s = platform::writeFileAtomically(path, out); !s)
            return Error{s.error()};
        result.roadFiles.append(path);
    }
    QByteArray names = platform::toCp932(QStringLiteral("道路名一覧（生成データ）\r\nNO ROUTE      CL NAME\r\n")).value();
    qint64 serial = 0;
    for (const NamedRoute& r : routes) {
        names += rightAligned(QByteArray::number(++serial % 1000), 3) + rightAligned(QByteArray::number(r.number), 10) + "   "
                 + rightAligned(QByteArray::number(r.roadClass), 2) + padded(r.name1, 24) + padded(r.name2, 22)
                 + platform::toCp932(r.rest).value() + "\r\n";
    }
    result.namedRoutes = routes.size();
    result.nameFile = QDir(outFolder).filePath(QStringLiteral("N00台.txt"));
    if (Status s = platform::writeFileAtomically(result.nameFile, names); !s)
        return Error{s.error()};
    return result;
}

} // namespace miratos::bench
