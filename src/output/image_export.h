#pragma once
// The exported picture: the painted map, the visible labels and rank circles, the legend box with
// the source and copyright notes (or a one-line note), the frame and the scale bar. Composed with
// a painter in export pixels, so the same code writes a bitmap or PNG (raster) and a PDF (vector).
#include "state/mdl_main.h"
#include "mapview/labels.h"
#include "mapview/map_tables.h"
#include "mapview/viewport.h"
#include "layers/symbol_layer.h"
#include "output/export_options.h"
#include "platform/canvas.h"
#include "platform/result.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>

class QPainter;

namespace miratos::output {

// What the export reads from the map window (or the render command).
struct ExportScene {
    const platform::Canvas* map = nullptr; // the painted map and its scale
    mapview::ViewRect view;
    mapview::Extent data;
    bool zoomed = false;
    float typedX2 = 0;
    float typedY2 = 0;
    const mapview::LabelLayer* labels = nullptr;
    bool buildNames = false; // chkBuildName
    bool buildRank = false;  // chkBuildRank
    QString buildRankTitle;
    bool scaleVisible = false;
    double scaleLengthPx = 0;
    QString scaleText;
    // The proportional symbols' reference sizes, in a box of their own (none without symbols).
    layers::SymbolLegend symbolLegend;
    // Draws the boundaries as vectors in the pixels of the canvas given (its size and scale): PDF,
    // SVG, smoothed and larger pictures; without it the map image is used.
    std::function<void(QPainter&, const platform::Canvas&)> drawVectorMap;
    // Draws the map again, boundaries and every label as the redraw makes them, on a fresh canvas
    // whose size and scale are set: the paper and pixel sizes. Without it those sizes are refused.
    std::function<void(platform::Canvas&, mapview::LabelLayer&)> redraw;
    DrawnData drawn; // what the map shows, for the credit
    QVector<QPair<QString, QString>> symbols; // the facility symbols drawn and their class names

    // Set by saveExport from the options.
    QStringList credit;        // lines in place of the source notes; empty keeps the notes
    bool northArrow = false;
    bool facilityKey = false;   // a box of the facility symbols with their class names
    // The scale bar in the corner that covers least, not at the bottom left; names then give way
    // whole to every box instead of lying under it.
    bool placeScaleBar = false;
    double vectorDetail = 1;    // the vector map's points are this much finer than the layout's pixels
};

// "出展元：国土交通省", or "出展元：総務省統計局" in City mode.
QString sourceText(const QString& mapMode);

// The picture's size: the map's (or the data extent's) size plus 4, widened by the legend box
// with the note position "右枠".
QSize exportSize(const ExportScene& scene, const state::MdlMain& state);

// Composes the picture on a painter whose device has exportSize() pixels (at 96 dpi).
void composeExport(QPainter& painter, const ExportScene& scene, const state::MdlMain& state, bool vector);

// The picture as an image.
QImage renderExport(const ExportScene& scene, const state::MdlMain& state);

// Composes the picture as the options ask: the specified picture, or the map drawn again at a
// paper or pixel size, as an image of the picture's pixels.
QImage renderExport(const ExportScene& scene, const state::MdlMain& state, const ExportOptions& options, bool antialias);

// Writes the picture: ".pdf" as vectors, ".svg" as SVG (text as text), ".png" as PNG, anything else
// as a 24-bit Windows bitmap. The file is replaced only when everything was written; errors name the file.
Status saveExport(const QString& path, const ExportScene& scene, const state::MdlMain& state, const ExportOptions& options = {});

// Legend-box geometry (exposed for tests).
struct LegendBox {
    int width = 0;   // W
    int height = 0;  // H
    int lineHeight = 0; // d
    int facilityHeight = 0; // hw
};
LegendBox legendBox(const ExportScene& scene, const state::MdlMain& state);
// The box of the symbol legend: at the top left, or at the top right when the statistic legend
// sits at the top left. Empty without symbols.
QRect symbolLegendBox(const ExportScene& scene, const state::MdlMain& state);

} // namespace miratos::output
