#pragma once
// TopoJSON municipal boundaries (the national land numerical information N03 as published in
// TopoJSON) read into a BoundaryTopology: every arc becomes one line, every Polygon or
// MultiPolygon geometry adds its polygons to the municipality named by its properties.
#include "imports/boundary_topology.h"

namespace miratos::imports {

// Reads a "Topology" whose arcs are quantized and delta-encoded (with "transform") or plain
// coordinates (without). Geometries are grouped by N03_007, the five-digit municipality code;
// several geometries with one code become one municipality. Its name parts are N03_001, then
// N03_003 and N03_004 where they are not empty. Geometries without a code (unassigned land) and
// geometries other than polygons are left out and counted in a message to progress. A broken
// file, an arc index outside the arcs, or a malformed code is an error naming the file.
Result<BoundaryTopology> readTopoJson(const QString& path, const ProgressFn& progress = {});

} // namespace miratos::imports
