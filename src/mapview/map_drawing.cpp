#include "mapview/map_drawing.h"

#include "mapview/renderer.h"

namespace miratos::mapview {

void drawBoundariesOn(QPainter& painter, const SceneRefs& scene, const ViewRect& view, state::MdlMain& state, MapMode mode,
                      int style)
{
    platform::Canvas vector(scene.canvas.width(), scene.canvas.height());
    vector.setScale(view.X1, view.Y1, view.X2, view.Y2);
    vector.setTargetPainter(&painter);
    const bool statDrawn = state.StatDrawn;
    Renderer renderer(vector, scene.tables, state);
    renderer.setWaterFill(scene.water);
    renderer.colorCacheValid = scene.colorCacheValid;
    renderer.drawBoundaries(mode, style);
    state.StatDrawn = statDrawn;
}

void drawScene(const SceneRefs& scene, const ViewRect& view, state::MdlMain& state, MapMode mode, const DrawOptions& options)
{
    // The map is drawn into an off-screen copy and shown once it is complete.
    platform::Canvas work(scene.canvas.width(), scene.canvas.height());
    work.setDevicePixelRatio(scene.canvas.devicePixelRatio());
    work.setScale(view.X1, view.Y1, view.X2, view.Y2);
    work.clear();
    scene.labels.removeAll();
    Renderer renderer(work, scene.tables, state);
    renderer.setWaterFill(scene.water);
    renderer.setYield(options.yield);
    renderer.colorCacheValid = scene.colorCacheValid;
    renderer.drawBoundaries(mode, options.style);
    scene.colorCacheValid = renderer.colorCacheValid;
    if (options.railways)
        options.railways(work);
    if (options.roads)
        options.roads(work);
    if (options.symbols)
        options.symbols(work);
    scene.canvas = std::move(work);
    buildNameLabels(scene.labels, scene.tables, state, mode, options.cityNames, scene.canvas);
    if (mode == MapMode::City)
        buildTownLabels(scene.labels, scene.tables, state, options.townNames, options.townFilter, scene.canvas);
    if (options.valueLabels)
        options.valueLabels(scene.labels);
    if (options.facilityMarkers)
        options.facilityMarkers(scene.labels);
    if (options.stationNames)
        options.stationNames(scene.labels);
    if (options.facilityCircles)
        options.facilityCircles(scene.labels);
}

} // namespace miratos::mapview
