#pragma once
// The redraw without the window: boundaries in the chosen style on a fresh canvas, then the name
// labels. The map window and the headless render command both draw through this, so a map
// exported from either is the same picture.
#include "state/mdl_main.h"
#include "state/water_fill.h"
#include "mapview/labels.h"
#include "mapview/map_tables.h"
#include "mapview/name_labels.h"
#include "mapview/viewport.h"

#include <functional>

class QPainter;

namespace miratos::mapview {

struct DrawOptions {
    int style = 0;            // the display style (0..3)
    bool cityNames = false;   // chkCity
    bool townNames = false;   // chkTown (City mode)
    TownFilter townFilter;
    std::function<void()> yield;
    // Overlays of the layers above the map view, called in the redraw's order: the railways onto
    // the new picture after the boundaries, the station names after the name labels.
    std::function<void(platform::Canvas&)> railways;
    // The roads onto the picture after the railways, so they paint over them.
    std::function<void(platform::Canvas&)> roads;
    // Proportional symbols onto the picture after the roads; value labels after the name labels.
    std::function<void(platform::Canvas&)> symbols;
    std::function<void(LabelLayer&)> valueLabels;
    std::function<void(LabelLayer&)> stationNames;
    // The facility markers and names before the station names, the rank circles last.
    std::function<void(LabelLayer&)> facilityMarkers;
    std::function<void(LabelLayer&)> facilityCircles;
};

struct SceneRefs {
    MapTables& tables;
    platform::Canvas& canvas; // replaced by the new picture; keeps its size
    LabelLayer& labels;
    const state::WaterFill& water;
    bool& colorCacheValid;
};

// Draws the boundaries of the scene again on another painter (vector output), in the pixels of
// the scene's canvas, with the colours the last redraw used. Shared state stays as it was.
void drawBoundariesOn(QPainter& painter, const SceneRefs& scene, const ViewRect& view, state::MdlMain& state, MapMode mode,
                      int style);

// Draws a view that is not empty (the caller handles the empty-view rule).
void drawScene(const SceneRefs& scene, const ViewRect& view, state::MdlMain& state, MapMode mode, const DrawOptions& options);

} // namespace miratos::mapview
