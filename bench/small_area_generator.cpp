#include "small_area_generator.h"

#include "imports/label_point.h"
#include "platform/number_text.h"
#include "store/coord_list.h"
#include "store/district_file_name.h"

#include <QDir>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace miratos::bench {
namespace {

using Ring = QVector<QPointF>; // open: the first point is not repeated at the end

constexpr double kMetresPerDegree = 6378137.0 * std::numbers::pi / 180.0;
constexpr double kJitter = 0.15;         // grid corners move up to this share of a cell side
constexpr double kWiggle = 0.06;         // edge points leave the straight edge by up to this share
constexpr int kEdgeParts = 4;            // each cell edge becomes this many segments
constexpr double kPondSide = 0.16;       // ponds are squares of this share of a cell side...
constexpr double kPondShare = 0.02;      // ...in this share of the inner cells
constexpr double kWaterAtOutline = 0.05; // districts on the outline that are water surfaces
constexpr double kWaterInside = 0.002;
constexpr double kNoChome = 0.3;         // towns without 丁目 (9-digit codes)
const QString kWaterClass = QStringLiteral("8154");
const QString kLandClass = QStringLiteral("8101");

// Made-up town-name stems; with the prefixes they give a few hundred distinct names.
constexpr const char16_t* kStems[] = {
    u"本町", u"栄町", u"幸町", u"旭町", u"緑町", u"若葉", u"桜台", u"富士見町", u"大和町", u"宮前",
    u"中央", u"元町", u"錦町", u"松原", u"梅丘", u"柳町", u"寿町", u"日の出町", u"弥生町", u"昭和町",
    u"清水町", u"泉町", u"川端", u"高台", u"平和台", u"向原", u"大原", u"小山", u"宮下", u"原町",
    u"仲町", u"浜町", u"港町", u"青葉台", u"朝日町", u"千歳町", u"曙町", u"瑞穂町", u"松が丘", u"桜木町",
    u"若松町", u"春日町", u"山吹町", u"宮の前", u"八幡町", u"稲荷町", u"池田", u"石川町", u"花園", u"大塚",
    u"白山", u"丸山", u"桜丘", u"藤が丘", u"鶴見", u"亀有", u"西ヶ原", u"滝野川", u"梅田", u"竹の台",
    u"萩原", u"菊川", u"紅葉町", u"鷹の台",
};
constexpr const char16_t* kPrefixes[] = {u"", u"東", u"西", u"南", u"北", u"新", u"上", u"下", u"元"};
constexpr int kNameCount = std::size(kStems) * std::size(kPrefixes);

// splitmix64: corners and edges hash their grid position, so every cell that shares one gets the
// same offsets.
quint64 mix(quint64 x)
{
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

double unit(quint64 seed, quint64 a, quint64 b, quint64 c)
{
    return static_cast<double>(mix(seed ^ mix(a ^ mix(b ^ mix(c)))) >> 11) * 0x1.0p-53;
}

class Random {
public:
    explicit Random(quint64 seed) : m_state(seed) {}
    double next() { return static_cast<double>(mix(m_state++) >> 11) * 0x1.0p-53; }
    int below(int n) { return std::min(n - 1, static_cast<int>(next() * n)); }

private:
    quint64 m_state;
};

double cross(const QPointF& a, const QPointF& b)
{
    return a.x() * b.y() - a.y() * b.x();
}

// Positive when p is left of the directed line a→b.
double side(const QPointF& a, const QPointF& b, const QPointF& p)
{
    return cross(b - a, p - a);
}

double signedArea(const Ring& r)
{
    double twice = 0;
    for (qsizetype i = 0, j = r.size() - 1; i < r.size(); j = i++)
        twice += cross(r.at(j), r.at(i));
    return twice / 2;
}

QPointF centroid(const Ring& r)
{
    double twice = 0, x = 0, y = 0;
    for (qsizetype i = 0, j = r.size() - 1; i < r.size(); j = i++) {
        const double f = cross(r.at(j), r.at(i));
        twice += f;
        x += (r.at(j).x() + r.at(i).x()) * f;
        y += (r.at(j).y() + r.at(i).y()) * f;
    }
    return twice == 0 ? r.value(0) : QPointF(x / (3 * twice), y / (3 * twice));
}

QRectF bounds(const Ring& r)
{
    if (r.isEmpty())
        return {};
    double x0 = r[0].x(), y0 = r[0].y(), x1 = x0, y1 = y0;
    for (const QPointF& p : r) {
        x0 = std::min(x0, p.x());
        x1 = std::max(x1, p.x());
        y0 = std::min(y0, p.y());
        y1 = std::max(y1, p.y());
    }
    return QRectF(QPointF(x0, y0), QPointF(x1, y1));
}

// Drops repeated consecutive points and a repeated first point at the end.
void removeRepeats(Ring& r)
{
    Ring out;
    out.reserve(r.size());
    for (const QPointF& p : r) {
        if (out.isEmpty() || out.last() != p)
            out << p;
    }
    while (out.size() > 1 && out.first() == out.last())
        out.removeLast();
    r = std::move(out);
}

struct Extent {
    double west = 1e300, south = 1e300, east = -1e300, north = -1e300;
    void add(const QPointF& p)
    {
        west = std::min(west, p.x());
        east = std::max(east, p.x());
        south = std::min(south, p.y());
        north = std::max(north, p.y());
    }
};

// Degrees to metres around the municipality's centre (equirectangular: fine for a city).
struct Frame {
    double lon0 = 0, lat0 = 0, kx = 1, ky = 1;

    QPointF toMetres(const QPointF& lonLat) const { return {(lonLat.x() - lon0) * kx, (lonLat.y() - lat0) * ky}; }
    // Rounded to 1e-9 degree, about the precision of the published boundary files.
    QPointF toLonLat(const QPointF& m) const
    {
        return {std::round((lon0 + m.x() / kx) * 1e9) / 1e9, std::round((lat0 + m.y() / ky) * 1e9) / 1e9};
    }
};

struct Outline {
    Ring outer;
    QVector<Ring> holes;
    QRectF box;
    QVector<QRectF> holeBoxes;
};

Ring assemble(const imports::TopoRing& ring, const imports::BoundaryTopology& topo, const Frame& frame)
{
    Ring out;
    for (const imports::TopoLineRef& ref : ring) {
        if (ref.line < 0 || ref.line >= topo.lines.size())
            continue;
        const QVector<QPointF>& pts = topo.lines.at(ref.line).points;
        for (qsizetype k = 0; k < pts.size(); ++k)
            out << frame.toMetres(pts.at(ref.reversed ? pts.size() - 1 - k : k));
    }
    removeRepeats(out);
    return out;
}

// A jittered grid: corner (i, j) sits near origin + (i, j) * side. Cells are convex
// quadrilaterals, counter-clockwise.
struct Grid {
    QPointF origin;
    double side = 1;
    int nx = 0, ny = 0;
    quint64 seed = 0;

    QPointF corner(int i, int j) const
    {
        const double dx = kJitter * (2 * unit(seed, 1, quint64(i), quint64(j)) - 1);
        const double dy = kJitter * (2 * unit(seed, 2, quint64(i), quint64(j)) - 1);
        return origin + QPointF((i + dx) * side, (j + dy) * side);
    }
    Ring cell(int i, int j) const { return {corner(i, j), corner(i + 1, j), corner(i + 1, j + 1), corner(i, j + 1)}; }
};

// One edge of the grid: horizontal from corner (i, j) to (i + 1, j) or vertical from (i, j) to
// (i, j + 1), always in that direction so that both cells beside it see the same edge.
struct GridEdge {
    QPointF a, b;
    int vertical = 0;
    int i = 0, j = 0;
};

QPointF edgePoint(const Grid& g, const GridEdge& e, int k)
{
    const QPointF d = e.b - e.a;
    const double length = std::hypot(d.x(), d.y());
    const QPointF normal(-d.y() / length, d.x() / length);
    const double offset = kWiggle * g.side * (2 * unit(g.seed, 3 + quint64(e.vertical) * 16 + quint64(k), quint64(e.i), quint64(e.j)) - 1);
    return e.a + d * (static_cast<double>(k) / kEdgeParts) + normal * offset;
}

// Position of p along e (0 at a, 1 at b) when p lies on e.
bool onEdge(const QPointF& p, const GridEdge& e, double tolerance, double& t)
{
    const QPointF d = e.b - e.a;
    const double length2 = d.x() * d.x() + d.y() * d.y();
    t = QPointF::dotProduct(p - e.a, d) / length2;
    return std::abs(side(e.a, e.b, p)) <= tolerance * std::sqrt(length2) && t >= -1e-9 && t <= 1 + 1e-9;
}

// True when p lies inside the municipality.
bool insideOutlines(const QPointF& p, const QVector<Outline>& outlines)
{
    for (const Outline& o : outlines) {
        if (o.box.contains(p) && imports::isInsideRings(p, {o.outer}) &&
            std::none_of(o.holes.begin(), o.holes.end(), [&](const Ring& h) { return imports::isInsideRings(p, {h}); }))
            return true;
    }
    return false;
}

// Puts the wiggle points of the grid edges into every stretch of the ring that runs along an
// edge of its cell, so that neighbouring cells keep sharing their boundary exactly. A point that
// would fall outside the municipality is left out (by every cell that shares it).
Ring wiggle(const Ring& ring, const Grid& g, int i, int j, const QVector<Outline>& outlines)
{
    const GridEdge edges[4] = {{g.corner(i, j), g.corner(i + 1, j), 0, i, j},
                               {g.corner(i + 1, j), g.corner(i + 1, j + 1), 1, i + 1, j},
                               {g.corner(i, j + 1), g.corner(i + 1, j + 1), 0, i, j + 1},
                               {g.corner(i, j), g.corner(i, j + 1), 1, i, j}};
    const double tolerance = 1e-7 * g.side;
    Ring out;
    out.reserve(ring.size() * kEdgeParts);
    for (qsizetype n = 0; n < ring.size(); ++n) {
        const QPointF& p = ring.at(n);
        const QPointF& q = ring.at((n + 1) % ring.size());
        out << p;
        for (const GridEdge& e : edges) {
            double tp = 0, tq = 0;
            if (!onEdge(p, e, tolerance, tp) || !onEdge(q, e, tolerance, tq))
                continue;
            for (int s = 1; s < kEdgeParts; ++s) {
                const int k = tp < tq ? s : kEdgeParts - s;
                const double t = static_cast<double>(k) / kEdgeParts;
                if (std::min(tp, tq) + 1e-9 < t && t < std::max(tp, tq) - 1e-9) {
                    const QPointF w = edgePoint(g, e, k);
                    if (insideOutlines(w, outlines))
                        out << w;
                }
            }
            break;
        }
    }
    return out;
}

// Sutherland–Hodgman with the (convex, counter-clockwise) cell as the window: the subject may be
// concave. Exact when the subject's boundary enters the cell at most once.
Ring clipToCell(const Ring& subject, const Ring& cell)
{
    Ring out = subject;
    for (qsizetype e = 0; e < cell.size() && !out.isEmpty(); ++e) {
        const QPointF& a = cell.at(e);
        const QPointF& b = cell.at((e + 1) % cell.size());
        Ring in;
        in.swap(out);
        QPointF prev = in.last();
        double prevSide = side(a, b, prev);
        for (const QPointF& cur : in) {
            const double curSide = side(a, b, cur);
            if ((curSide >= 0) != (prevSide >= 0))
                out << prev + (cur - prev) * (prevSide / (prevSide - curSide));
            if (curSide >= 0)
                out << cur;
            prev = cur;
            prevSide = curSide;
        }
    }
    removeRepeats(out);
    return out;
}

// Removes there-and-back runs: clipping a concave subject half-plane by half-plane leaves
// zero-width bridges along the cell's sides where the subject reached out and back.
void removeSpikes(Ring& r)
{
    bool changed = true;
    while (changed && r.size() >= 3) {
        changed = false;
        for (qsizetype k = 0; k < r.size() && r.size() >= 3; ++k) {
            const QPointF& a = r.at((k + r.size() - 1) % r.size());
            const QPointF& b = r.at(k);
            const QPointF& c = r.at((k + 1) % r.size());
            const QPointF ab = b - a, bc = c - b;
            const double scale = std::hypot(ab.x(), ab.y()) * std::hypot(bc.x(), bc.y());
            if (std::abs(cross(ab, bc)) <= 1e-9 * scale && QPointF::dotProduct(ab, bc) < 0) {
                r.remove(k);
                removeRepeats(r);
                changed = true;
                break;
            }
        }
    }
    if (r.size() < 3)
        r.clear();
}

// How often the subject's boundary crosses the cell's boundary.
int crossings(const Ring& subject, const Ring& cell)
{
    int count = 0;
    for (qsizetype m = 0, l = subject.size() - 1; m < subject.size(); l = m++) {
        const QPointF& p = subject.at(l);
        const QPointF& q = subject.at(m);
        for (qsizetype e = 0; e < cell.size(); ++e) {
            const QPointF& a = cell.at(e);
            const QPointF& b = cell.at((e + 1) % cell.size());
            if ((side(a, b, p) > 0) != (side(a, b, q) > 0) && (side(p, q, a) > 0) != (side(p, q, b) > 0))
                ++count;
        }
    }
    return count;
}

// The general case (the outline enters the cell several times, or has a hole near it): the
// pieces of the intersection, each as its outer ring followed by its holes.
QVector<QVector<Ring>> intersectPieces(const Outline& o, const Ring& cell, double minArea)
{
    QPainterPath shape;
    shape.setFillRule(Qt::OddEvenFill);
    shape.addPolygon(QPolygonF(o.outer));
    shape.closeSubpath();
    for (const Ring& h : o.holes) {
        shape.addPolygon(QPolygonF(h));
        shape.closeSubpath();
    }
    QPainterPath window;
    window.addPolygon(QPolygonF(cell));
    window.closeSubpath();

    QVector<Ring> parts;
    for (const QPolygonF& poly : shape.intersected(window).toSubpathPolygons()) {
        Ring r(poly.begin(), poly.end());
        removeRepeats(r);
        removeSpikes(r);
        if (r.size() >= 3 && std::abs(signedArea(r)) >= minArea)
            parts << r;
    }
    std::sort(parts.begin(), parts.end(), [](const Ring& a, const Ring& b) { return std::abs(signedArea(a)) > std::abs(signedArea(b)); });
    QVector<QVector<Ring>> pieces;
    for (const Ring& part : parts) {
        const QPointF inside = imports::labelPointOf({part});
        auto owner = std::find_if(pieces.begin(), pieces.end(), [&](const QVector<Ring>& piece) {
            return imports::isInsideRings(inside, {piece.first()});
        });
        if (owner != pieces.end())
            owner->append(part);
        else
            pieces.append({part});
    }
    return pieces;
}

struct Piece {
    int i = 0, j = 0;
    QVector<Ring> rings; // outer ring, then holes; in metres, not yet wiggled
    bool whole = false;  // the full cell, away from the outline
};

QVector<Piece> cutCells(const QVector<Outline>& outlines, const Grid& g)
{
    QVector<Piece> pieces;
    for (int j = 0; j < g.ny; ++j) {
        for (int i = 0; i < g.nx; ++i) {
            const Ring cell = g.cell(i, j);
            const QRectF box = bounds(cell);
            const double cellArea = signedArea(cell);
            const double minArea = 1e-6 * cellArea; // slivers left by rounding
            for (const Outline& o : outlines) {
                if (!o.box.intersects(box))
                    continue;
                const bool nearHole = std::any_of(o.holeBoxes.begin(), o.holeBoxes.end(), [&](const QRectF& h) { return h.intersects(box); });
                const int k = crossings(o.outer, cell);
                if (nearHole || k > 2) {
                    for (QVector<Ring>& rings : intersectPieces(o, cell, minArea))
                        pieces.append({i, j, std::move(rings), false});
                    continue;
                }
                Ring clipped = clipToCell(o.outer, cell);
                removeSpikes(clipped);
                const double area = std::abs(signedArea(clipped));
                if (clipped.size() < 3 || area < minArea)
                    continue;
                if (k == 0 && std::abs(area - cellArea) <= 1e-9 * cellArea)
                    pieces.append({i, j, {cell}, true});
                else
                    pieces.append({i, j, {std::move(clipped)}, false});
            }
        }
    }
    return pieces;
}

// Cells in bands of two rows from north to south, snaking, so that consecutive cells touch and a
// district made of consecutive cells is compact.
void sortForGrouping(QVector<Piece>& pieces, const Grid& g)
{
    auto order = [&](const Piece& p) {
        const int fromNorth = g.ny - 1 - p.j;
        const int band = fromNorth / 2;
        const int column = band % 2 == 0 ? p.i : g.nx - 1 - p.i;
        int row = fromNorth % 2;
        if (column % 2 == 1)
            row = 1 - row;
        return (static_cast<qint64>(band) * g.nx + column) * 2 + row;
    };
    std::stable_sort(pieces.begin(), pieces.end(), [&](const Piece& a, const Piece& b) { return order(a) < order(b); });
}

int districtCells(Random& r)
{
    const double u = r.next();
    return u < 0.55 ? 1 : u < 0.75 ? 2 : u < 0.85 ? 3 : u < 0.92 ? 4 : u < 0.97 ? 5 : 6;
}

QString townName(int town, quint64 seed)
{
    // A fixed step coprime to the name count walks through all names before repeating one.
    const int index = static_cast<int>((seed % kNameCount + static_cast<quint64>(town) * 97) % kNameCount);
    const int stems = std::size(kStems);
    return QString::fromUtf16(kPrefixes[index / stems]) + QString::fromUtf16(kStems[index % stems]);
}

QString fullWidthNumber(int n)
{
    QString text;
    for (const QChar c : QString::number(n))
        text += QChar(c.unicode() - u'0' + 0xFF10);
    return text;
}

struct District {
    qsizetype first = 0, end = 0; // pieces [first, end)
    QString code;
    QString name;
    bool water = false;
};

struct OutRecord {
    QVector<Ring> rings; // metres; outer ring first
    double area = 0;
    bool water = false;
};

QVector<District> groupDistricts(const QVector<Piece>& pieces, const QString& municipality, quint64 seed, int* towns)
{
    Random r(seed ^ 0x5ca1ab1eULL);
    QVector<District> districts;
    qsizetype at = 0;
    while (at < pieces.size()) {
        District d;
        d.first = at;
        for (int cells = districtCells(r); cells > 0 && at < pieces.size(); --cells) {
            const int i = pieces.at(at).i, j = pieces.at(at).j;
            while (at < pieces.size() && pieces.at(at).i == i && pieces.at(at).j == j)
                ++at;
        }
        d.end = at;
        const bool onOutline = std::any_of(pieces.begin() + d.first, pieces.begin() + d.end, [](const Piece& p) { return !p.whole; });
        d.water = r.next() < (onOutline ? kWaterAtOutline : kWaterInside);
        districts << d;
    }

    // Towns: runs of districts that are its 丁目, or a single district without 丁目.
    QVector<std::pair<int, int>> townChome; // per district: town number, 丁目 (0: none)
    int town = 0;
    for (qsizetype k = 0; k < districts.size();) {
        ++town;
        const int chome = r.next() < kNoChome ? 0 : 1 + r.below(5);
        if (chome == 0) {
            townChome.append({town, 0});
            ++k;
        }
        for (int c = 1; c <= chome && k < districts.size(); ++c, ++k)
            townChome.append({town, c});
    }
    // Town code: three digits and a 0 as the census numbers them while there are few enough.
    const bool threeDigits = town <= 999;
    for (qsizetype k = 0; k < districts.size(); ++k) {
        const auto [t, chome] = townChome.at(k);
        District& d = districts[k];
        d.code = municipality + QStringLiteral("%1").arg(threeDigits ? t * 10 : t, 4, 10, QLatin1Char('0'));
        d.name = townName(t, seed);
        if (chome > 0) {
            d.code += QStringLiteral("%1").arg(chome, 2, 10, QLatin1Char('0'));
            d.name += fullWidthNumber(chome) + QStringLiteral("丁目");
        }
    }
    *towns = town;
    return districts;
}

// Outer rings clockwise and holes counter-clockwise, as the published boundary files have them.
void orient(QVector<Ring>& rings)
{
    for (qsizetype k = 0; k < rings.size(); ++k) {
        const bool clockwise = signedArea(rings[k]) < 0;
        if (clockwise != (k == 0))
            std::reverse(rings[k].begin(), rings[k].end());
    }
}

QPointF labelPoint(const QVector<Ring>& rings)
{
    const QPointF c = centroid(rings.first());
    return imports::isInsideRings(c, rings) ? c : imports::labelPointOf(rings);
}

store::DistrictRecord toRecord(const OutRecord& r, const District& d, const Frame& frame, Extent& extent)
{
    QVector<store::Ring> rings;
    for (const Ring& ring : r.rings) {
        store::Ring lonLat;
        lonLat.reserve(ring.size() + 1);
        for (const QPointF& p : ring) {
            const QPointF q = frame.toLonLat(p);
            if (lonLat.isEmpty() || lonLat.last() != q)
                lonLat << q;
            extent.add(q);
        }
        lonLat << lonLat.first(); // closed, so that a ring drawn as a line closes too
        rings << lonLat;
    }
    const QPointF label = frame.toLonLat(labelPoint(r.rings));
    using platform::formatDouble;
    return {store::formatDistrictRings(rings),
            formatDouble(std::round(r.area * 1000) / 1000),
            r.water ? kWaterClass : kLandClass,
            d.code,
            QString(),
            d.name,
            formatDouble(label.x()),
            formatDouble(label.y())};
}

Ring pondRing(const Grid& g, int i, int j)
{
    QPointF centre;
    for (const QPointF& p : g.cell(i, j))
        centre += p / 4;
    const double h = kPondSide * g.side / 2;
    return {centre + QPointF(-h, -h), centre + QPointF(h, -h), centre + QPointF(h, h), centre + QPointF(-h, h)};
}

} // namespace

store::DistrictFile generateSmallAreas(const imports::TopoMunicipality& m, const imports::BoundaryTopology& topo,
                                       int targetAreas, quint32 seed, SmallAreaCounts* counts)
{
    const quint64 key = mix(seed) ^ mix(m.code.toULongLong() + 0x1234567ULL);

    // The outline in metres around the centre of the municipality's extent.
    Extent degrees;
    for (const imports::TopoPolygon& poly : m.polygons) {
        for (const imports::TopoLineRef& ref : poly.rings.value(0)) {
            if (ref.line < 0 || ref.line >= topo.lines.size())
                continue;
            for (const QPointF& p : topo.lines.at(ref.line).points)
                degrees.add(p);
        }
    }
    Frame frame;
    if (degrees.west <= degrees.east) {
        frame.lon0 = (degrees.west + degrees.east) / 2;
        frame.lat0 = (degrees.south + degrees.north) / 2;
    }
    frame.kx = kMetresPerDegree * std::cos(frame.lat0 * std::numbers::pi / 180);
    frame.ky = kMetresPerDegree;

    QVector<Outline> outlines;
    double totalArea = 0;
    QRectF box;
    for (const imports::TopoPolygon& poly : m.polygons) {
        Outline o;
        for (qsizetype k = 0; k < poly.rings.size(); ++k) {
            Ring r = assemble(poly.rings.at(k), topo, frame);
            if (r.size() < 3)
                continue;
            if (k == 0) {
                o.outer = std::move(r);
            } else {
                o.holeBoxes << bounds(r);
                o.holes << std::move(r);
            }
        }
        if (o.outer.isEmpty())
            continue;
        o.box = bounds(o.outer);
        box |= o.box;
        totalArea += std::abs(signedArea(o.outer));
        for (const Ring& h : o.holes)
            totalArea -= std::abs(signedArea(h));
        outlines << std::move(o);
    }

    // Cell size: the area per wanted polygon, corrected by the count it gives (cells cut by the
    // outline add pieces) until within 2 %.
    Grid grid;
    grid.seed = key;
    QVector<Piece> pieces;
    if (!outlines.isEmpty() && totalArea > 0) {
        const int target = std::max(1, targetAreas);
        grid.side = std::sqrt(totalArea / target);
        for (int round = 0; round < 5; ++round) {
            grid.origin = box.topLeft() - QPointF(grid.side, grid.side);
            grid.nx = static_cast<int>(std::ceil(box.width() / grid.side)) + 2;
            grid.ny = static_cast<int>(std::ceil(box.height() / grid.side)) + 2;
            pieces = cutCells(outlines, grid);
            const double ratio = static_cast<double>(pieces.size()) / target;
            if (pieces.isEmpty() || std::abs(ratio - 1) < 0.02)
                break;
            grid.side *= std::sqrt(ratio);
        }
    }
    sortForGrouping(pieces, grid);

    SmallAreaCounts c;
    const QVector<District> districts = groupDistricts(pieces, m.code, key, &c.towns);
    store::DistrictFile file;
    Extent extent;
    for (const District& d : districts) {
        QVector<OutRecord> records;
        for (qsizetype k = d.first; k < d.end; ++k) {
            const Piece& p = pieces.at(k);
            OutRecord r{{}, 0, d.water};
            for (const Ring& ring : p.rings)
                r.rings << wiggle(ring, grid, p.i, p.j, outlines);
            const bool pond = p.whole && !d.water && unit(key, 7, quint64(p.i), quint64(p.j)) < kPondShare;
            if (pond)
                r.rings << pondRing(grid, p.i, p.j);
            orient(r.rings);
            r.area = std::abs(signedArea(r.rings.first()));
            for (qsizetype h = 1; h < r.rings.size(); ++h)
                r.area -= std::abs(signedArea(r.rings.at(h)));
            records << r;
            if (pond) {
                // The pond fills the hole: a water surface of the same district.
                OutRecord water{{pondRing(grid, p.i, p.j)}, 0, true};
                orient(water.rings);
                water.area = std::abs(signedArea(water.rings.first()));
                records << water;
            }
        }
        qsizetype largest = 0;
        for (qsizetype k = 0; k < records.size(); ++k) {
            if (records.at(k).area > records.at(largest).area)
                largest = k;
        }
        for (qsizetype k = 0; k < records.size(); ++k) {
            store::DistrictRecord out = toRecord(records.at(k), d, frame, extent);
            if (k == largest)
                out.representative = QStringLiteral("M");
            c.water += records.at(k).water ? 1 : 0;
            c.holes += records.at(k).rings.size() > 1 ? 1 : 0;
            file.records << std::move(out);
        }
    }
    c.records = static_cast<int>(file.records.size());
    c.districts = static_cast<int>(districts.size());
    file.header = file.records.isEmpty()
        ? store::formatDistrictHeader({})
        : store::formatDistrictHeader({extent.west, extent.south, extent.east, extent.north});
    if (counts)
        *counts = c;
    return file;
}

QString smallAreaFileName(const imports::TopoMunicipality& m, int year)
{
    return store::districtFileName(year, m.code, m.nameParts.mid(1).join(QString()));
}

Result<QString> writeSmallAreas(const imports::TopoMunicipality& m, const imports::BoundaryTopology& topo,
                                int targetAreas, int year, const QString& folder, quint32 seed, SmallAreaCounts* counts)
{
    const QString path = QDir(folder).filePath(smallAreaFileName(m, year));
    const Status written = store::writeDistrictFile(path, generateSmallAreas(m, topo, targetAreas, seed, counts));
    if (!written)
        return Error{written.error()};
    return path;
}

} // namespace miratos::bench
