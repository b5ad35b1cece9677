#pragma once
// Rings of the loaded tables as points, and the point-in-ring test the views and statistics share.
#include "mapview/map_tables.h"

#include <QPointF>
#include <QVector>

namespace miratos::mapview {

// The points of a ring, its lines joined in order (reversed where the ring walks one backwards);
// a line that names no loaded record adds nothing.
QVector<QPointF> ringPoints(const MapTables& tables, const ResolvedRing& lines);

// Even-odd test in the longitude-latitude plane.
bool insideRing(const QPointF& p, const QVector<QPointF>& ring);

} // namespace miratos::mapview
