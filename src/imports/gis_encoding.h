#pragma once
// Today's downloads come as UTF-8 (GeoJSON) or CP932 (Shapefiles without a .cpg): the imports
// decide the encoding of a layer's text once, from its values.
#include "platform/gis_reader.h"

namespace miratos::imports {

// True when a layer's text values are CP932 rather than UTF-8: some value is not valid UTF-8.
// Short CP932 texts can look like UTF-8 by chance, so the whole layer is looked at.
bool gisLayerIsCp932(const platform::GisLayer& layer);

} // namespace miratos::imports
