#pragma once
// Municipal boundaries (N03) as published today, Shapefile, GeoJSON, GML or GeoPackage, read
// through GDAL and turned into a shared-line topology: the polygons of such files repeat every
// border on both sides, and the lines are found by TopologyBuilder.
#include "imports/boundary_topology.h"

namespace miratos::imports {

struct GisBoundaryOptions {
    // Snapping tolerance in degrees for borders whose vertices differ slightly between
    // neighbours; 0 (the default) joins exactly equal points only.
    double snapTolerance = 0;
};

// True for the file kinds read here (by suffix): .shp, .geojson, .json, .gml, .xml, .gpkg.
bool isGisBoundaryFile(const QString& path);

// Reads every polygon feature of every layer. Attributes as in TopoJSON: N03_001 prefecture,
// N03_003 county or city, N03_004 ward or town, N03_007 the five-digit code (a code stored as a
// number, having lost its leading zero, is padded). Text may be UTF-8 or CP932 (a Shapefile
// without .cpg); the whole file is taken as CP932 when any value is not UTF-8. Features without a
// code and features that are not polygons are left out and reported to progress. A malformed
// code is an error naming the file and the feature (1-based, counted over the file).
Result<BoundaryTopology> readGisBoundaries(const QString& path, const GisBoundaryOptions& options = {},
                                           const ProgressFn& progress = {});

} // namespace miratos::imports
