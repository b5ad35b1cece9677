#pragma once
// Label points of municipality polygons: a point inside the polygon, away from its edges, so that
// a concave, crescent-shaped or holed polygon gets its label on itself rather than on its
// neighbour.
#include <QPointF>
#include <QVector>

namespace miratos::imports {

using PointRing = QVector<QPointF>;

// Even-odd test against all rings (the first is the outer ring, the others holes); a ring need
// not repeat its first point at the end.
bool isInsideRings(const QPointF& point, const QVector<PointRing>& rings);

// The point of the polygon farthest from its boundary (the pole of inaccessibility), to within a
// thousandth of the polygon's larger extent. A polygon without area gets its first point.
QPointF labelPointOf(const QVector<PointRing>& rings);

} // namespace miratos::imports
