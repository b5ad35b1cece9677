#pragma once
// Moving the view beside the specified buttons: the rectangle a canvas of any size shows, zoom
// about a point, panning by pixels. The user's rectangle stays square in km; a canvas that is not
// square shows it whole and more along its longer side, at the same km per pixel both ways.
#include "mapview/viewport.h"

#include <QSize>

namespace miratos::mapview {

// The rectangle drawn on a canvas of width × height pixels: the square view, centred, widened
// along the longer side. A square canvas shows the view itself.
ViewRect shownRect(const ViewRect& view, int width, int height);

// The view scaled by 1/factor about (lon, lat): the point keeps its place on the canvas.
ViewRect zoomAbout(const ViewRect& view, double lon, double lat, double factor);

// The view moved so that what lay dx, dy pixels right of and below a point now lies under it
// (a drag of the map by −dx, −dy), on a canvas of width × height pixels.
ViewRect panByPixels(const ViewRect& view, int width, int height, double dx, double dy);

// One step of the zoom bar grows the canvas by 100 pixels on every side; a wheel or key step
// zooms by the same ratio on the shorter side of the canvas.
double zoomStepFactor(int width, int height);

// The canvas size after `steps` steps of the zoom bar on a floor of width × height: 100 pixels per
// side on the shorter side, the longer side in proportion, so the shown area stays the same.
QSize enlargedCanvasSize(int width, int height, int steps);

} // namespace miratos::mapview
