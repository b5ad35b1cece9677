#pragma once
// The sections of a saved map whose settings live above the shared state: the proportional
// symbols and value labels ([symbols]), the label placement ([placement]) and the export size
// ([export]). Each is written only when it differs from the specified map, so a map without
// them reads and writes as before.
#include "state/saved_map.h"
#include "layers/label_placement.h"
#include "layers/symbol_layer.h"
#include "output/export_options.h"

namespace miratos::output {

void putSymbols(const layers::SymbolOptions& options, state::SavedMap& map);
layers::SymbolOptions symbolsOf(const state::SavedMap& map);

void putPlacement(const layers::PlacementOptions& options, state::SavedMap& map);
layers::PlacementOptions placementOf(const state::SavedMap& map);

void putExportSize(const ExportOptions& options, state::SavedMap& map);
ExportOptions exportSizeOf(const state::SavedMap& map);

} // namespace miratos::output
