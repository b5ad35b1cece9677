#include "imports/label_point.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <queue>
#include <vector>

namespace miratos::imports {
namespace {

double segmentDistanceSquared(const QPointF& p, const QPointF& a, const QPointF& b)
{
    double x = a.x();
    double y = a.y();
    double dx = b.x() - x;
    double dy = b.y() - y;
    if (dx != 0 || dy != 0) {
        const double t = ((p.x() - x) * dx + (p.y() - y) * dy) / (dx * dx + dy * dy);
        if (t > 1) {
            x = b.x();
            y = b.y();
        } else if (t > 0) {
            x += dx * t;
            y += dy * t;
        }
    }
    dx = p.x() - x;
    dy = p.y() - y;
    return dx * dx + dy * dy;
}

bool crosses(const QPointF& p, const QPointF& a, const QPointF& b)
{
    return (a.y() > p.y()) != (b.y() > p.y()) && p.x() < (b.x() - a.x()) * (p.y() - a.y()) / (b.y() - a.y()) + a.x();
}

// Distance to the nearest edge; negative outside the polygon.
double signedDistance(const QPointF& p, const QVector<PointRing>& rings)
{
    bool inside = false;
    double nearest = std::numeric_limits<double>::infinity();
    for (const PointRing& ring : rings) {
        for (qsizetype i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
            if (crosses(p, ring.at(i), ring.at(j)))
                inside = !inside;
            nearest = std::min(nearest, segmentDistanceSquared(p, ring.at(i), ring.at(j)));
        }
    }
    return (inside ? 1 : -1) * std::sqrt(nearest);
}

struct Cell {
    QPointF centre;
    double half = 0;     // half the cell's side
    double distance = 0; // signed distance of the centre
    double best = 0;     // the largest distance any point of the cell can have

    Cell(const QPointF& c, double h, const QVector<PointRing>& rings)
        : centre(c), half(h), distance(signedDistance(c, rings)), best(distance + h * std::sqrt(2.0))
    {
    }
};

double signedArea(const PointRing& ring, QPointF* centroid)
{
    double area = 0, cx = 0, cy = 0;
    for (qsizetype i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const QPointF& a = ring.at(i);
        const QPointF& b = ring.at(j);
        const double f = a.x() * b.y() - b.x() * a.y();
        cx += (a.x() + b.x()) * f;
        cy += (a.y() + b.y()) * f;
        area += f;
    }
    if (centroid && area != 0)
        *centroid = QPointF(cx / (3 * area), cy / (3 * area));
    return area / 2;
}

// The middle of the widest inside span on horizontal lines halfway between consecutive vertex
// heights; every polygon with area has such a span, however thin it is.
QPointF widestSpanMiddle(const QVector<PointRing>& rings)
{
    std::vector<double> heights;
    for (const PointRing& ring : rings) {
        for (const QPointF& p : ring)
            heights.push_back(p.y());
    }
    std::sort(heights.begin(), heights.end());
    heights.erase(std::unique(heights.begin(), heights.end()), heights.end());
    QPointF best = rings.first().first();
    double widest = 0;
    std::vector<double> xs;
    for (size_t k = 1; k < heights.size(); ++k) {
        const double y = (heights[k - 1] + heights[k]) / 2;
        xs.clear();
        for (const PointRing& ring : rings) {
            for (qsizetype i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
                const QPointF& a = ring.at(i);
                const QPointF& b = ring.at(j);
                if ((a.y() > y) != (b.y() > y))
                    xs.push_back((b.x() - a.x()) * (y - a.y()) / (b.y() - a.y()) + a.x());
            }
        }
        std::sort(xs.begin(), xs.end());
        for (size_t i = 0; i + 1 < xs.size(); i += 2) {
            if (xs[i + 1] - xs[i] > widest) {
                widest = xs[i + 1] - xs[i];
                best = QPointF((xs[i] + xs[i + 1]) / 2, y);
            }
        }
    }
    return best;
}

} // namespace

bool isInsideRings(const QPointF& point, const QVector<PointRing>& rings)
{
    bool inside = false;
    for (const PointRing& ring : rings) {
        for (qsizetype i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
            if (crosses(point, ring.at(i), ring.at(j)))
                inside = !inside;
        }
    }
    return inside;
}

QPointF labelPointOf(const QVector<PointRing>& rings)
{
    if (rings.isEmpty() || rings.first().isEmpty())
        return {};
    const PointRing& outer = rings.first();
    QPointF centroid = outer.first();
    if (signedArea(outer, &centroid) == 0)
        return outer.first();

    double minX = outer.first().x(), maxX = minX, minY = outer.first().y(), maxY = minY;
    for (const QPointF& p : outer) {
        minX = std::min(minX, p.x());
        maxX = std::max(maxX, p.x());
        minY = std::min(minY, p.y());
        maxY = std::max(maxY, p.y());
    }
    const double width = maxX - minX;
    const double height = maxY - minY;
    const double precision = std::max(width, height) * 1e-3;
    // Start no finer than 64 cells along the longer side, so that a long thin polygon does not
    // begin with millions of cells.
    const double cellSize = std::max(std::min(width, height), std::max(width, height) / 64);
    const double half = cellSize / 2;

    auto lower = [](const Cell& a, const Cell& b) { return a.best < b.best; };
    std::priority_queue<Cell, std::vector<Cell>, decltype(lower)> queue(lower);
    for (double x = minX; x < maxX; x += cellSize) {
        for (double y = minY; y < maxY; y += cellSize)
            queue.push(Cell(QPointF(x + half, y + half), half, rings));
    }
    Cell best(centroid, 0, rings);
    if (const Cell middle(QPointF(minX + width / 2, minY + height / 2), 0, rings); middle.distance > best.distance)
        best = middle;

    // The cap only guards against pathological input; ordinary polygons settle far earlier.
    for (int visited = 0; !queue.empty() && visited < 100000; ++visited) {
        const Cell cell = queue.top();
        queue.pop();
        if (cell.distance > best.distance)
            best = cell;
        if (cell.best - best.distance <= precision)
            continue;
        const double h = cell.half / 2;
        const QPointF& c = cell.centre;
        queue.push(Cell(QPointF(c.x() - h, c.y() - h), h, rings));
        queue.push(Cell(QPointF(c.x() + h, c.y() - h), h, rings));
        queue.push(Cell(QPointF(c.x() - h, c.y() + h), h, rings));
        queue.push(Cell(QPointF(c.x() + h, c.y() + h), h, rings));
    }
    return best.distance > 0 ? best.centre : widestSpanMiddle(rings);
}

} // namespace miratos::imports
