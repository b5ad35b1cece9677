#pragma once
// Proportional symbols and value labels of a statistic: a circle or square at each region's label
// point whose area follows the value, a legend of three nested reference sizes, and the value
// written with or instead of the region's name. Symbols are sized in pixels, so they keep their
// size through zooming and the legend reads the same on screen and in the export.
#include "state/mdl_main.h"
#include "mapview/labels.h"
#include "mapview/map_tables.h"
#include "mapview/renderer.h"

#include <QString>
#include <QVector>
#include <array>
#include <vector>

class QPainter;

namespace miratos::layers {

enum class SymbolShape { Circle = 0, Square = 1 };
enum class ValueLabels { Off = 0, Under = 1, Alone = 2 };

// Every setting of the symbols and value labels, as plain fields, so a saved map can store them.
struct SymbolOptions {
    bool enabled = false;      // 比例シンボル
    QString column;            // header of the symbol column; empty: the painted column
    SymbolShape shape = SymbolShape::Circle;
    bool flannery = false;     // radius ∝ value^0.5716 instead of value^0.5
    int maxRadius = 20;        // pixels, the symbol of the largest absolute value
    // Blue and orange stand out on every rank series; colour values are R + 256·G + 65536·B.
    int color = 0xBD8231;         // values at or above 0
    int negativeColor = 0x0D55E6; // values below 0
    ValueLabels valueLabels = ValueLabels::Off;
    int valueDecimals = 0;
};

constexpr double kFlanneryExponent = 0.5716;

// Radius of a value's symbol in pixels: maxRadius × (|value| / maxAbs)^e with e = 0.5 (area in
// proportion to the value) or Flannery's 0.5716; 0 when maxAbs is not above 0.
double symbolRadius(double value, double maxAbs, const SymbolOptions& options);

// Three round reference values for the legend (largest first): the largest value of the form
// 1, 2 or 5 × 10^k not above maxAbs, then about a half and a tenth of it, also round. Empty when
// maxAbs is not above 0.
QVector<double> referenceValues(double maxAbs);

// A value's text: thousands separators, the chosen number of decimals, "." as decimal point
// ("349,385", "1,234.5"); a text that is not a number stays as it is.
QString valueText(const QString& value, int decimals);
QString valueText(double value, int decimals);

struct Symbol {
    double lon = 0, lat = 0;
    double value = 0;
};

// What the symbols were drawn with, for the legend.
struct SymbolLegend {
    QString title;
    QVector<double> values; // reference values, largest first
    QVector<double> radii;  // their radii in pixels
    SymbolShape shape = SymbolShape::Circle;
    int color = 0;
    int decimals = 0;
    bool any() const { return !values.isEmpty(); }
};

// The symbols in drawing order: largest absolute value first, so small ones stay on top.
std::vector<Symbol> drawingOrder(std::vector<Symbol> symbols);

// Draws the symbols onto the canvas in its own scale (pixels from the label points) and returns
// the legend they call for.
SymbolLegend drawSymbols(platform::Canvas& canvas, std::vector<Symbol> symbols, const SymbolOptions& options,
                         const QString& title);
// The same onto a painter in the canvas's pixels (vector output).
void drawSymbolsOn(QPainter& painter, const platform::Canvas& scale, std::vector<Symbol> symbols, const SymbolOptions& options);

// Size of the legend block (reference symbols, their values, the title) in the given font.
QSize legendSize(const SymbolLegend& legend, const QFont& font);
// Paints the legend block with its top-left corner at topLeft.
void paintLegend(QPainter& painter, const SymbolLegend& legend, const QFont& font, QPoint topLeft);

// Applies the value labels to the region name labels (Japan, Pref) or the town labels (City) made
// by the redraw: the value under the name as a label of its own, or in place of the name.
void applyValueLabels(mapview::LabelLayer& layer, const mapview::MapTables& tables, mapview::MapMode mode,
                      const SymbolOptions& options, const platform::Canvas& scale);

} // namespace miratos::layers
