#pragma once
// Boundary XML in the element layout of the national land numerical information, for tests,
// benchmarks and manual trials of the boundary conversion; never shipped. A metadata file with
// the four bounding elements, and a data file with points, curves (first and last point by
// reference, inner vertices as coordinates), orientable curves, surfaces whose rings are numbered
// per polygon ("rn1_ec1" the outer ring, "rn1_ec2"… the holes) and one EC01 feature per polygon
// whose area reference meets its ring keys. Shift_JIS (CP932) like the government files.
//
// Header-only, so that the tests can include it as well as the benchmark and the gen tool.
#include "imports/boundary_topology.h"
#include "platform/cp932.h"
#include "platform/number_text.h"
#include "platform/result.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QHash>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace miratos::bench {

// Writes the elements one by one; bytes go to the sink in chunks.
class BoundaryXmlWriter {
public:
    using Sink = std::function<void(const QByteArray&)>;

    explicit BoundaryXmlWriter(Sink sink) : m_sink(std::move(sink)) {}
    ~BoundaryXmlWriter() { flush(); }
    BoundaryXmlWriter(const BoundaryXmlWriter&) = delete;
    BoundaryXmlWriter& operator=(const BoundaryXmlWriter&) = delete;

    void begin()
    {
        raw("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
            "<ksj:Dataset xmlns:ksj=\"http://nlftp.mlit.go.jp/ksj/schemas/ksj-app\" "
            "xmlns:jps=\"http://www.gsi.go.jp/GIS/jpgis/standardSchemas\" "
            "xmlns:xlink=\"http://www.w3.org/1999/xlink\" id=\"N03Dataset\">\r\n");
    }
    void end() { raw("</ksj:Dataset>\r\n"); }

    void point(const std::string& id, const std::string& coordinate)
    {
        raw("<jps:GM_Point id=\"" + id + "\">\r\n<jps:GM_Point.position>\r\n<jps:DirectPosition>\r\n");
        position(coordinate);
        raw("</jps:DirectPosition>\r\n</jps:GM_Point.position>\r\n</jps:GM_Point>\r\n");
    }

    // inner: the coordinates between the two end points, "lat lon" each.
    void curve(const std::string& id, const std::string& firstPoint, const std::vector<std::string>& inner,
               const std::string& lastPoint)
    {
        raw("<jps:GM_Curve id=\"" + id + "\">\r\n<jps:GM_Curve.segment>\r\n<jps:GM_LineString>\r\n"
            "<jps:GM_LineString.controlPoint>\r\n<jps:GM_PointArray>\r\n");
        pointRef(firstPoint);
        for (const std::string& c : inner) {
            raw("<jps:GM_PointArray.column>\r\n<jps:GM_Position.direct>\r\n");
            position(c);
            raw("</jps:GM_Position.direct>\r\n</jps:GM_PointArray.column>\r\n");
        }
        pointRef(lastPoint);
        raw("</jps:GM_PointArray>\r\n</jps:GM_LineString.controlPoint>\r\n</jps:GM_LineString>\r\n"
            "</jps:GM_Curve.segment>\r\n</jps:GM_Curve>\r\n");
    }

    // The reversed use of a curve, which rings refer to as "oc…".
    void orientableCurve(const std::string& id, const std::string& curve)
    {
        raw("<jps:GM_OrientableCurve id=\"" + id + "\">\r\n<jps:GM_OrientablePrimitive.orientation>-"
            "</jps:GM_OrientablePrimitive.orientation>\r\n<jps:GM_OrientablePrimitive.primitive idref=\"" + curve
            + "\"/>\r\n</jps:GM_OrientableCurve>\r\n");
    }

    struct Ring {
        std::string id;                      // "rn1_ec1"
        std::vector<std::string> generators; // "cv3", "oc4", …
    };
    // rings[0] is the exterior, the others the interior rings.
    void surface(const std::string& id, const std::vector<Ring>& rings)
    {
        raw("<jps:GM_Surface id=\"" + id + "\">\r\n<jps:GM_Surface.patch>\r\n<jps:GM_Polygon>\r\n"
            "<jps:GM_Polygon.boundary>\r\n<jps:GM_SurfaceBoundary>\r\n");
        for (size_t r = 0; r < rings.size(); ++r) {
            const char* side = r == 0 ? "jps:GM_SurfaceBoundary.exterior" : "jps:GM_SurfaceBoundary.interior";
            raw(std::string("<") + side + ">\r\n");
            ring(rings[r]);
            raw(std::string("</") + side + ">\r\n");
        }
        raw("</jps:GM_SurfaceBoundary>\r\n</jps:GM_Polygon.boundary>\r\n</jps:GM_Polygon>\r\n"
            "</jps:GM_Surface.patch>\r\n</jps:GM_Surface>\r\n");
    }

    void ring(const Ring& ring)
    {
        raw("<jps:GM_Ring id=\"" + ring.id + "\">\r\n<jps:GM_OrientablePrimitive.primitive idref=\"" + ring.id + "\"/>\r\n");
        for (const std::string& g : ring.generators)
            raw("<jps:GM_CompositeCurve.generator idref=\"" + g + "\"/>\r\n");
        raw("</jps:GM_Ring>\r\n");
    }

    // One municipality polygon; an empty county part leaves out ksj:CON.
    void feature(const std::string& id, const std::string& area, const QString& prefecture, const QString& county,
                 const QString& name, const QString& code)
    {
        raw("<ksj:EC01 id=\"" + id + "\">\r\n<ksj:ARE idref=\"" + area + "\"/>\r\n");
        element("ksj:PRN", prefecture);
        if (!county.isEmpty())
            element("ksj:CON", county);
        element("ksj:CN2", name);
        element("ksj:AAC", code);
        raw("</ksj:EC01>\r\n");
    }

    // Text written as it is (CP932), for elements the other calls do not cover.
    void element(const char* name, const QString& text)
    {
        raw(std::string("<") + name + ">");
        const auto bytes = platform::toCp932(text);
        m_buffer.append(bytes ? *bytes : text.toLatin1());
        raw(std::string("</") + name + ">\r\n");
    }
    void raw(const std::string& text)
    {
        m_buffer.append(text.data(), qsizetype(text.size()));
        if (m_buffer.size() > (4 << 20))
            flush();
    }
    void flush()
    {
        if (!m_buffer.isEmpty())
            m_sink(m_buffer);
        m_buffer.clear();
    }

    // The metadata file: the extent's four bounding elements inside the usual frame.
    static QByteArray metadata(const std::string& west, const std::string& east, const std::string& south,
                               const std::string& north)
    {
        const std::string text =
            "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<MD_Metadata>\r\n<identificationInfo>\r\n"
            "<MD_DataIdentification>\r\n<extent>\r\n<EX_Extent>\r\n<geographicElement>\r\n"
            "<EX_GeographicBoundingBox>\r\n<extentTypeCode>true</extentTypeCode>\r\n"
            "<westBoundLongitude>" + west + "</westBoundLongitude>\r\n<eastBoundLongitude>" + east
            + "</eastBoundLongitude>\r\n<southBoundLatitude>" + south + "</southBoundLatitude>\r\n<northBoundLatitude>"
            + north + "</northBoundLatitude>\r\n</EX_GeographicBoundingBox>\r\n</geographicElement>\r\n</EX_Extent>\r\n"
            "</extent>\r\n</MD_DataIdentification>\r\n</identificationInfo>\r\n</MD_Metadata>\r\n";
        return QByteArray(text.data(), qsizetype(text.size()));
    }

private:
    void position(const std::string& coordinate)
    {
        raw("<DirectPosition.coordinate>" + coordinate + "</DirectPosition.coordinate>\r\n"
            "<DirectPosition.dimension>2</DirectPosition.dimension>\r\n");
    }
    void pointRef(const std::string& id)
    {
        raw("<jps:GM_PointArray.column>\r\n<jps:GM_Position.indirect>\r\n<GM_PointRef.point idref=\"" + id
            + "\"/>\r\n</jps:GM_Position.indirect>\r\n</jps:GM_PointArray.column>\r\n");
    }

    Sink m_sink;
    QByteArray m_buffer;
};

struct BoundaryXmlCounts {
    int points = 0;
    int curves = 0;
    int polygons = 0; // surfaces, one EC01 feature each
    int holes = 0;    // rings numbered 2 or more
    qint64 vertices = 0;
};

namespace detail {

// prefix + number ("cv12"), built by appending (GCC 12 warns wrongly about "cv" + std::string).
inline std::string idOf(const char* prefix, size_t number)
{
    std::string id(prefix);
    id += std::to_string(number);
    return id;
}

inline std::string latLon(double lat, double lon)
{
    return (platform::formatDouble(lat) + QLatin1Char(' ') + platform::formatDouble(lon)).toStdString();
}

// A line of fewer than two distinct points draws nothing; the import leaves such lines out of
// rings, and so does the generator, so that both describe the same boundaries.
inline bool draws(const imports::TopoLine& line)
{
    for (const QPointF& p : line.points) {
        if (p.x() != line.points.first().x() || p.y() != line.points.first().y())
            return true;
    }
    return false;
}

} // namespace detail

// Writes the polygons of one prefecture of topology. densify n puts n - 1 evenly spaced points
// (rounded to 1e-7 degrees) between each two points of every curve. Polygons keep the topology's
// order; curves are numbered in the order rings first use them, points in the order curves first
// use them.
inline Status writeBoundaryXml(const imports::BoundaryTopology& topology, int prefCode, const BoundaryXmlWriter::Sink& metaSink,
                               const BoundaryXmlWriter::Sink& dataSink, int densify = 1, BoundaryXmlCounts* counts = nullptr)
{
    struct Polygon {
        const imports::TopoMunicipality* municipality;
        QVector<imports::TopoRing> rings;
    };
    std::vector<Polygon> polygons;
    QHash<int, int> curveOf; // topology line -> curve number
    std::vector<int> curveLines;
    for (const imports::TopoMunicipality& m : topology.municipalities) {
        if (m.prefCode != prefCode)
            continue;
        for (const imports::TopoPolygon& polygon : m.polygons) {
            Polygon kept{&m, {}};
            for (const imports::TopoRing& ring : polygon.rings) {
                imports::TopoRing r;
                for (const imports::TopoLineRef& ref : ring) {
                    if (ref.line >= 0 && ref.line < topology.lines.size() && detail::draws(topology.lines.at(ref.line)))
                        r.append(ref);
                }
                if (r.isEmpty() && kept.rings.isEmpty())
                    break;
                if (!r.isEmpty())
                    kept.rings.append(r);
            }
            if (kept.rings.isEmpty())
                continue;
            for (const imports::TopoRing& ring : kept.rings) {
                for (const imports::TopoLineRef& ref : ring) {
                    if (!curveOf.contains(ref.line)) {
                        curveLines.push_back(ref.line);
                        curveOf.insert(ref.line, int(curveLines.size()));
                    }
                }
            }
            polygons.push_back(std::move(kept));
        }
    }
    if (polygons.empty())
        return Error{QStringLiteral("都道府県 %1 の面がありません").arg(prefCode)};

    BoundaryXmlCounts local;
    BoundaryXmlCounts& c = counts ? *counts : local;
    c = {};
    // End points, numbered in order of first use; equal coordinates are one point.
    QHash<QPair<double, double>, int> pointOf;
    std::vector<QPointF> pointList;
    double west = 0, east = 0, south = 0, north = 0;
    bool first = true;
    auto pointId = [&](const QPointF& p) {
        const QPair<double, double> key(p.x(), p.y());
        auto found = pointOf.constFind(key);
        if (found == pointOf.constEnd()) {
            pointList.push_back(p);
            found = pointOf.insert(key, int(pointList.size()));
        }
        return detail::idOf("n", size_t(*found));
    };
    struct Curve {
        std::string first, last;
        std::vector<std::string> inner;
    };
    std::vector<Curve> curves;
    curves.reserve(curveLines.size());
    for (int line : curveLines) {
        const QVector<QPointF>& p = topology.lines.at(line).points;
        for (const QPointF& q : p) {
            if (first) {
                west = east = q.x();
                south = north = q.y();
                first = false;
            }
            west = std::min(west, q.x());
            east = std::max(east, q.x());
            south = std::min(south, q.y());
            north = std::max(north, q.y());
        }
        Curve curve{pointId(p.first()), pointId(p.last()), {}};
        for (qsizetype i = 0; i + 1 < p.size(); ++i) {
            if (i > 0)
                curve.inner.push_back(detail::latLon(p.at(i).y(), p.at(i).x()));
            for (int k = 1; k < densify; ++k) {
                const double t = double(k) / densify;
                const double lat = std::round((p.at(i).y() + t * (p.at(i + 1).y() - p.at(i).y())) * 1e7) / 1e7;
                const double lon = std::round((p.at(i).x() + t * (p.at(i + 1).x() - p.at(i).x())) * 1e7) / 1e7;
                curve.inner.push_back(detail::latLon(lat, lon));
            }
        }
        c.vertices += qint64(curve.inner.size()) + 2;
        curves.push_back(std::move(curve));
    }

    using platform::formatDouble;
    metaSink(BoundaryXmlWriter::metadata(formatDouble(west).toStdString(), formatDouble(east).toStdString(),
                                         formatDouble(south).toStdString(), formatDouble(north).toStdString()));

    BoundaryXmlWriter w(dataSink);
    w.begin();
    for (size_t i = 0; i < pointList.size(); ++i)
        w.point(detail::idOf("n", i + 1), detail::latLon(pointList[i].y(), pointList[i].x()));
    for (size_t i = 0; i < curves.size(); ++i)
        w.curve(detail::idOf("cv", i + 1), curves[i].first, curves[i].inner, curves[i].last);
    // Reversed uses, once per curve that some ring walks backwards.
    std::vector<char> reversed(curves.size() + 1, 0);
    for (const Polygon& polygon : polygons) {
        for (const imports::TopoRing& ring : polygon.rings) {
            for (const imports::TopoLineRef& ref : ring) {
                const int n = curveOf.value(ref.line);
                if (ref.reversed && !reversed[size_t(n)]) {
                    reversed[size_t(n)] = 1;
                    w.orientableCurve(detail::idOf("oc", size_t(n)), detail::idOf("cv", size_t(n)));
                }
            }
        }
    }
    for (size_t s = 0; s < polygons.size(); ++s) {
        std::vector<BoundaryXmlWriter::Ring> rings;
        for (qsizetype r = 0; r < polygons[s].rings.size(); ++r) {
            BoundaryXmlWriter::Ring ring{detail::idOf("rn", s + 1) + detail::idOf("_ec", size_t(r + 1)), {}};
            for (const imports::TopoLineRef& ref : polygons[s].rings.at(r))
                ring.generators.push_back(detail::idOf(ref.reversed ? "oc" : "cv", size_t(curveOf.value(ref.line))));
            rings.push_back(std::move(ring));
        }
        c.holes += int(rings.size()) - 1;
        w.surface(detail::idOf("sf", s + 1) + "ec", rings);
    }
    for (size_t s = 0; s < polygons.size(); ++s) {
        const QStringList& parts = polygons[s].municipality->nameParts;
        const QString county = parts.size() >= 3 ? parts.at(1) : QString();
        const QString name = parts.size() >= 3 ? parts.mid(2).join(QLatin1Char('@')) : parts.value(1);
        w.feature(detail::idOf("ec", s + 1), detail::idOf("sf", s + 1) + "ec", parts.value(0), county, name, polygons[s].municipality->code);
    }
    w.end();
    w.flush();
    c.points = int(pointList.size());
    c.curves = int(curves.size());
    c.polygons = int(polygons.size());
    return {};
}

// The same into two files (replaced when present).
inline Status writeBoundaryXmlFiles(const imports::BoundaryTopology& topology, int prefCode, const QString& metaPath,
                                    const QString& dataPath, int densify = 1, BoundaryXmlCounts* counts = nullptr)
{
    QFile meta(metaPath), data(dataPath);
    if (!meta.open(QIODevice::WriteOnly | QIODevice::Truncate) || !data.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return Error{QStringLiteral("%1 か %2 に書き込めません").arg(QDir::toNativeSeparators(metaPath), QDir::toNativeSeparators(dataPath))};
    bool ok = true;
    auto sinkTo = [&ok](QFile& file) {
        return [&ok, &file](const QByteArray& bytes) { ok = ok && file.write(bytes) == bytes.size(); };
    };
    Status s = writeBoundaryXml(topology, prefCode, sinkTo(meta), sinkTo(data), densify, counts);
    if (s && !ok)
        return Error{QStringLiteral("%1 に書き込めません").arg(QDir::toNativeSeparators(dataPath))};
    return s;
}

} // namespace miratos::bench
