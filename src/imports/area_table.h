#pragma once
// Area of each prefecture computed from its boundaries, written as an own-data statistic table
// (MapData/demo/面積.csv for the demo map) so the statistic dialogs have something to paint.
#include "imports/boundary_topology.h"
#include "platform/result.h"

#include <QMap>
#include <QString>

namespace miratos::imports {

// Area in km² enclosed by a ring on the WGS84 ellipsoid, whatever its direction. Edges are taken
// as straight in the equal-area cylindrical projection, which is exact for meridians and
// parallels and close to the geodesic for the short edges of boundary data.
double ringAreaKm2(const BoundaryTopology& topology, const TopoRing& ring);

// Outer ring minus its holes, in km².
double polygonAreaKm2(const BoundaryTopology& topology, const TopoPolygon& polygon);

// Area in km² per prefecture code (summed over all municipalities of the prefecture).
QMap<int, double> prefectureAreasKm2(const BoundaryTopology& topology);

// Writes "Code,地区名,面積(k㎡)" and one line per prefecture in code order (CP932, CR LF), the
// area rounded to one decimal. Creates the folder of csvPath when it is missing.
Status writeAreaTable(const BoundaryTopology& topology, const QString& csvPath);

} // namespace miratos::imports
