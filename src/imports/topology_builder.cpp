#include "imports/topology_builder.h"

#include <QDir>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

namespace miratos::imports {
namespace {

std::uint64_t bitsOf(double v)
{
    if (v == 0)
        v = 0; // -0 and 0 are one point
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

std::uint64_t mix(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

std::uint64_t hashOf(const QPointF& p)
{
    return mix(bitsOf(p.x()) ^ mix(bitsOf(p.y())));
}

// Longitude and latitude in degrees (longitudes 0..360 included). A point beyond them, 1e39 say,
// is no place on the map, and would overflow the snapping grid's cell numbers.
bool onTheGlobe(const QPointF& p)
{
    return std::abs(p.x()) <= 360 && std::abs(p.y()) <= 90; // false for NaN too
}

bool samePoint(const QPointF& a, const QPointF& b)
{
    return a.x() == b.x() && a.y() == b.y();
}

std::uint64_t edgeKey(std::int32_t from, std::int32_t to)
{
    return (std::uint64_t(std::uint32_t(from)) << 32) | std::uint32_t(to);
}

double distanceSquared(const QPointF& a, const QPointF& b)
{
    const double dx = a.x() - b.x(), dy = a.y() - b.y();
    return dx * dx + dy * dy;
}

} // namespace

void SkippedFeatures::addWithoutCode(const QString& name)
{
    ++m_withoutCode;
    if (!name.isEmpty() && !m_namesWithoutCode.contains(name))
        m_namesWithoutCode.append(name);
}

void SkippedFeatures::addOtherType(const QString& geometryType)
{
    ++m_otherTypes[geometryType.isEmpty() ? QStringLiteral("?") : geometryType];
}

int SkippedFeatures::count() const
{
    int n = m_withoutCode;
    for (int c : m_otherTypes)
        n += c;
    return n;
}

void SkippedFeatures::report(const QString& path, const ProgressFn& progress) const
{
    if (!progress)
        return;
    const QString file = QDir::toNativeSeparators(path);
    if (m_withoutCode > 0) {
        progress(QStringLiteral("%1: 市区町村コード（N03_007）のない図形 %2 件を飛ばしました（%3）")
                     .arg(file)
                     .arg(m_withoutCode)
                     .arg(m_namesWithoutCode.isEmpty() ? QStringLiteral("名前なし") : m_namesWithoutCode.join(QStringLiteral("、"))));
    }
    if (!m_otherTypes.isEmpty()) {
        QStringList types;
        for (auto it = m_otherTypes.cbegin(); it != m_otherTypes.cend(); ++it)
            types << QStringLiteral("%1 %2 件").arg(it.key()).arg(it.value());
        progress(QStringLiteral("%1: 面（Polygon、MultiPolygon）でない図形 %2 件を飛ばしました（%3）")
                     .arg(file)
                     .arg(count() - m_withoutCode)
                     .arg(types.join(QStringLiteral("、"))));
    }
}

TopologyBuilder::TopologyBuilder(double snapTolerance) : m_tolerance(snapTolerance > 0 ? snapTolerance : 0)
{
    m_slots.assign(1024, -1);
}

int TopologyBuilder::addMunicipality(TopoMunicipality municipality)
{
    m_municipalities.append(std::move(municipality));
    return int(m_municipalities.size() - 1);
}

std::int32_t TopologyBuilder::vertexOf(const QPointF& p)
{
    if (m_points.size() * 2 >= m_slots.size()) {
        std::vector<std::int32_t> grown(m_slots.size() * 2, -1);
        const std::size_t mask = grown.size() - 1;
        for (std::int32_t id : m_slots) {
            if (id < 0)
                continue;
            std::size_t at = hashOf(m_points[std::size_t(id)]) & mask;
            while (grown[at] >= 0)
                at = (at + 1) & mask;
            grown[at] = id;
        }
        m_slots.swap(grown);
    }
    const std::size_t mask = m_slots.size() - 1;
    std::size_t at = hashOf(p) & mask;
    while (m_slots[at] >= 0) {
        if (samePoint(m_points[std::size_t(m_slots[at])], p))
            return m_slots[at];
        at = (at + 1) & mask;
    }
    const auto id = std::int32_t(m_points.size());
    m_points.push_back(p);
    m_slots[at] = id;
    return id;
}

// The nearest earlier point within the tolerance, looked up in a grid of tolerance-sized cells.
std::int32_t TopologyBuilder::snappedVertexOf(const QPointF& p)
{
    const qint64 cx = qint64(std::floor(p.x() / m_tolerance));
    const qint64 cy = qint64(std::floor(p.y() / m_tolerance));
    std::int32_t best = -1;
    double bestDistance = m_tolerance * m_tolerance;
    for (qint64 dx = -1; dx <= 1; ++dx) {
        for (qint64 dy = -1; dy <= 1; ++dy) {
            const auto cell = m_cells.constFind(qMakePair(cx + dx, cy + dy));
            if (cell == m_cells.constEnd())
                continue;
            for (std::int32_t id : *cell) {
                const double d = distanceSquared(m_points[std::size_t(id)], p);
                if (d <= bestDistance && (best < 0 || d < bestDistance || id < best)) {
                    best = id;
                    bestDistance = d;
                }
            }
        }
    }
    if (best >= 0)
        return best;
    const auto id = std::int32_t(m_points.size());
    m_points.push_back(p);
    m_cells[qMakePair(cx, cy)].push_back(id);
    return id;
}

void TopologyBuilder::addPolygon(int municipality, const std::vector<QVector<QPointF>>& rings)
{
    int polygon = -1;
    for (std::size_t r = 0; r < rings.size(); ++r) {
        const qsizetype offset = qsizetype(m_ringVertices.size());
        qsizetype moved = 0;
        for (const QPointF& p : rings[r]) {
            if (!onTheGlobe(p))
                continue;
            const std::int32_t id = m_tolerance > 0 ? snappedVertexOf(p) : vertexOf(p);
            if (qsizetype(m_ringVertices.size()) > offset && m_ringVertices.back() == id)
                continue;
            m_ringVertices.push_back(id);
            moved += !samePoint(m_points[std::size_t(id)], p);
        }
        // A closed ring repeats its first point; the ring here is the cycle without it.
        while (qsizetype(m_ringVertices.size()) > offset + 1 && m_ringVertices.back() == m_ringVertices[std::size_t(offset)]) {
            m_ringVertices.pop_back();
            moved -= m_tolerance > 0 && !samePoint(m_points[std::size_t(m_ringVertices[std::size_t(offset)])], rings[r].back());
        }
        const qsizetype size = qsizetype(m_ringVertices.size()) - offset;
        if (size < 3) {
            m_ringVertices.resize(std::size_t(offset));
            moved = 0;
            ++m_counts.droppedRings;
            if (r == 0)
                return; // without its outer ring the polygon is nothing
            continue;
        }
        // Outer rings clockwise, holes anticlockwise (as Shapefile and TopoJSON have them; GeoJSON
        // has them the other way round), each still starting at its first point.
        double twice = 0;
        const std::int32_t* v = m_ringVertices.data() + offset;
        for (qsizetype i = 0, j = size - 1; i < size; j = i++) {
            const QPointF& a = m_points[std::size_t(v[j])];
            const QPointF& b = m_points[std::size_t(v[i])];
            twice += (a.x() - b.x()) * (a.y() + b.y());
        }
        m_counts.snappedPoints += std::max<qsizetype>(moved, 0);
        if ((r == 0) == (twice > 0))
            std::reverse(m_ringVertices.begin() + offset + 1, m_ringVertices.end());
        if (polygon < 0 && municipality >= 0) {
            TopoMunicipality& m = m_municipalities[municipality];
            polygon = int(m.polygons.size());
            m.polygons.append(TopoPolygon{});
        }
        m_rings.push_back(Ring{offset, size, municipality, polygon, r == 0});
    }
}

// Puts every point lying within the tolerance of another ring's segment (but not on its ends)
// into that segment, so that both neighbours run through the same points.
void TopologyBuilder::insertIntoSegments()
{
    if (m_rings.empty())
        return;
    double total = 0;
    for (const Ring& ring : m_rings) {
        for (qsizetype i = 0; i < ring.size; ++i) {
            const QPointF& a = m_points[std::size_t(m_ringVertices[std::size_t(ring.offset + i)])];
            const QPointF& b = m_points[std::size_t(m_ringVertices[std::size_t(ring.offset + (i + 1) % ring.size)])];
            total += std::abs(a.x() - b.x()) + std::abs(a.y() - b.y());
        }
    }
    const double cell = std::max(m_tolerance * 4, total / double(m_ringVertices.size()));
    QHash<QPair<qint64, qint64>, std::vector<std::int32_t>> grid;
    auto cellOf = [cell](double v) { return qint64(std::floor(v / cell)); };
    for (std::size_t id = 0; id < m_points.size(); ++id)
        grid[qMakePair(cellOf(m_points[id].x()), cellOf(m_points[id].y()))].push_back(std::int32_t(id));

    std::vector<std::int32_t> rebuilt;
    rebuilt.reserve(m_ringVertices.size());
    std::vector<std::pair<double, std::int32_t>> found;
    const double tol2 = m_tolerance * m_tolerance;
    for (Ring& ring : m_rings) {
        const qsizetype offset = qsizetype(rebuilt.size());
        for (qsizetype i = 0; i < ring.size; ++i) {
            const std::int32_t ia = m_ringVertices[std::size_t(ring.offset + i)];
            const std::int32_t ib = m_ringVertices[std::size_t(ring.offset + (i + 1) % ring.size)];
            rebuilt.push_back(ia);
            const QPointF a = m_points[std::size_t(ia)], b = m_points[std::size_t(ib)];
            const double len2 = distanceSquared(a, b);
            if (len2 == 0)
                continue;
            found.clear();
            for (qint64 x = cellOf(std::min(a.x(), b.x()) - m_tolerance); x <= cellOf(std::max(a.x(), b.x()) + m_tolerance); ++x) {
                for (qint64 y = cellOf(std::min(a.y(), b.y()) - m_tolerance); y <= cellOf(std::max(a.y(), b.y()) + m_tolerance); ++y) {
                    const auto it = grid.constFind(qMakePair(x, y));
                    if (it == grid.constEnd())
                        continue;
                    for (std::int32_t v : *it) {
                        if (v == ia || v == ib)
                            continue;
                        const QPointF& p = m_points[std::size_t(v)];
                        const double t = ((p.x() - a.x()) * (b.x() - a.x()) + (p.y() - a.y()) * (b.y() - a.y())) / len2;
                        if (t <= 0 || t >= 1)
                            continue;
                        const QPointF foot(a.x() + t * (b.x() - a.x()), a.y() + t * (b.y() - a.y()));
                        if (distanceSquared(foot, p) <= tol2)
                            found.emplace_back(t, v);
                    }
                }
            }
            std::sort(found.begin(), found.end());
            for (const auto& [t, v] : found)
                rebuilt.push_back(v);
            m_counts.snappedPoints += qsizetype(found.size());
        }
        ring.offset = offset;
        ring.size = qsizetype(rebuilt.size()) - offset;
    }
    m_ringVertices.swap(rebuilt);
}

BoundaryTopology TopologyBuilder::finish(TopologyCounts* counts)
{
    if (m_tolerance > 0)
        insertIntoSegments();
    m_slots = {};
    m_cells.clear();

    // A point is a node where its rings do not all run between the same two neighbours: there
    // the set of rings along the border changes, so a line ends. The first point of every ring
    // is a node too, as TopoJSON arcs of the same data have it, so that both write the same lines.
    const std::size_t vertexCount = m_points.size();
    std::vector<std::int32_t> first(vertexCount, -1), second(vertexCount, -1);
    std::vector<std::uint8_t> node(vertexCount, 0);
    auto addNeighbour = [&](std::int32_t v, std::int32_t n) {
        const auto i = std::size_t(v);
        if (first[i] == n || second[i] == n)
            return;
        if (first[i] < 0)
            first[i] = n;
        else if (second[i] < 0)
            second[i] = n;
        else
            node[i] = 1;
    };
    for (const Ring& ring : m_rings) {
        const std::int32_t* v = m_ringVertices.data() + ring.offset;
        node[std::size_t(v[0])] = 1;
        for (qsizetype i = 0; i < ring.size; ++i) {
            const std::int32_t prev = v[(i + ring.size - 1) % ring.size];
            const std::int32_t next = v[(i + 1) % ring.size];
            if (prev == next)
                node[std::size_t(v[i])] = 1; // a spike turns back here
            addNeighbour(v[i], prev);
            addNeighbour(v[i], next);
        }
    }
    first = {};
    second = {};

    BoundaryTopology topology;
    // Directed first edge of each line -> line * 2 (+1 when that edge is its last one walked back).
    std::unordered_map<std::uint64_t, std::int32_t> lineOfEdge;
    std::vector<std::int32_t> path;
    for (const Ring& ring : m_rings) {
        const std::int32_t* v = m_ringVertices.data() + ring.offset;
        const qsizetype n = ring.size;
        qsizetype start = -1;
        for (qsizetype i = 0; i < n && start < 0; ++i) {
            if (node[std::size_t(v[i])])
                start = i;
        }
        // A ring without nodes is one closed line; starting it at its lowest point id makes every
        // ring around it (an enclave and the hole it fills) start it at the same point.
        if (start < 0)
            start = std::min_element(v, v + n) - v;
        TopoRing refs;
        qsizetype i = start;
        do {
            path.clear();
            path.push_back(v[i]);
            qsizetype j = i;
            do {
                j = (j + 1) % n;
                path.push_back(v[j]);
            } while (j != start && !node[std::size_t(v[j])]);
            const auto found = lineOfEdge.find(edgeKey(path[0], path[1]));
            if (found != lineOfEdge.end()) {
                refs.append(TopoLineRef{found->second / 2, (found->second % 2) == 1});
            } else {
                const auto line = std::int32_t(topology.lines.size());
                TopoLine made;
                made.points.reserve(qsizetype(path.size()));
                for (std::int32_t id : path)
                    made.points.append(m_points[std::size_t(id)]);
                topology.lines.append(std::move(made));
                lineOfEdge.emplace(edgeKey(path[0], path[1]), line * 2);
                lineOfEdge.emplace(edgeKey(path[path.size() - 1], path[path.size() - 2]), line * 2 + 1);
                refs.append(TopoLineRef{line, false});
            }
            i = j;
        } while (i != start);
        if (ring.municipality >= 0)
            m_municipalities[ring.municipality].polygons[ring.polygon].rings.append(std::move(refs));
    }

    topology.municipalities = std::move(m_municipalities);
    if (counts)
        *counts = m_counts;
    *this = TopologyBuilder(m_tolerance);
    return topology;
}

} // namespace miratos::imports
