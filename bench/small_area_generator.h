#pragma once
// Census small-area district files made up for benchmarks and manual trials: a municipality's
// real outline cut into about the wanted number of small polygons, grouped into districts and
// towns with believable names, codes, flags, water surfaces and holes. Never shipped.
#include "imports/boundary_topology.h"
#include "platform/result.h"
#include "store/district_file.h"

namespace miratos::bench {

// What a generated file holds, for reports.
struct SmallAreaCounts {
    int records = 0;   // polygons (8-line records)
    int districts = 0; // distinct district codes
    int towns = 0;
    int water = 0;     // records of area class 8154
    int holes = 0;     // records with an inner ring
};

// Cuts the municipality's outline with a jittered grid whose cells have wiggly, shared edges
// (about sixteen points per cell, the point density of real small-area boundaries), sized so
// that about targetAreas polygons result. The same seed gives the same file.
store::DistrictFile generateSmallAreas(const imports::TopoMunicipality& m, const imports::BoundaryTopology& topo,
                                       int targetAreas, quint32 seed, SmallAreaCounts* counts = nullptr);

// The file name of a municipality's district file for a census year (17_13119_板橋区.dat); the
// name is the municipality's name parts after the prefecture.
QString smallAreaFileName(const imports::TopoMunicipality& m, int year);

// Generates the file and writes it into folder (which must exist); returns its path.
Result<QString> writeSmallAreas(const imports::TopoMunicipality& m, const imports::BoundaryTopology& topo,
                                int targetAreas, int year, const QString& folder, quint32 seed,
                                SmallAreaCounts* counts = nullptr);

} // namespace miratos::bench
