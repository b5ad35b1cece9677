// Today's GIS files through GDAL (GeoJSON here): the reader, the municipal boundary import and the
// railway import built on it. First byte: bit 0 snaps borders.
#include "imports/gis_boundary_reader.h"
#include "imports/gis_encoding.h"
#include "imports/railway_import.h"
#include "fuzz_support.h"
#include "platform/gis_reader.h"
#include "store/railway_files.h"

using namespace miratos;
using namespace miratos::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const QString path = writeScratch(QStringLiteral("input.geojson"), FUZZ_INPUT.sliced(1));
    auto layers = platform::readGisFile(path);
    if (!layers)
        return 0;
    for (const platform::GisLayer& layer : *layers)
        (void)imports::gisLayerIsCp932(layer);
    auto railways = imports::buildRailwayImport({*layers});
    if (railways) {
        auto bytes = store::encodeRailwayFiles(railways->tables);
        (void)bytes;
    }
    imports::GisBoundaryOptions options;
    options.snapTolerance = (data[0] & 1) ? 1e-6 : 0;
    (void)imports::readGisBoundaries(path, options);
    return 0;
}
