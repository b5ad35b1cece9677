#pragma once
// The export's size, smoothing and notes besides the specified picture, kept in one plain struct
// so that a saved map can store them. The defaults give the specified picture.
#include "state/mdl_main.h"

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

class QImage;

namespace miratos::output {

enum class ExportSize { Specified = 0, Paper = 1, Pixels = 2 };
enum class Paper { A4 = 0, A3 = 1 };

struct ExportOptions {
    ExportSize size = ExportSize::Specified;
    Paper paper = Paper::A4;
    bool landscape = true;
    int dpi = 150;                 // 150 or 300
    QSize pixels;                  // the picture's size for ExportSize::Pixels
    std::optional<bool> antialias; // unset: on for PNG, PDF and SVG, off for BMP
    bool credit = false;           // the credit at the specified size too (always at the others)
    QString creditText;            // empty: the credit of the data drawn; lines split at "\n"
    bool northArrow = false;
    bool symbolLegend = false;     // the facility symbols drawn, with their class names
};

// The settings the map window's export dialog keeps between exports.
ExportOptions& windowExportOptions();

// The sizes a user meets, with their limits.
constexpr int kMinExportSide = 100;
constexpr int kMaxExportSide = 10000;
constexpr qint64 kMaxExportPixels = 40'000'000;

// Pixels of a paper at a resolution: A4 landscape at 150 dpi is 1754 × 1240.
QSize paperPixels(Paper paper, bool landscape, int dpi);
// "A4L", "A4P", "A3L", "A3P"; false for anything else.
bool setPaper(ExportOptions& options, const QString& text);
// "3508x2480"; false for anything else or beyond the limits.
bool setPixelSize(ExportOptions& options, const QString& text);
// The picture's pixels for the chosen size (empty for the specified picture).
QSize targetPixels(const ExportOptions& options);
// Export pixels per layout pixel: the layout is made at 96 dpi, so text keeps its point size on paper.
double layoutScale(const ExportOptions& options, QSize specified);
// Smoothing for a file: as asked, else on for PNG, PDF and SVG.
bool antialiasFor(const ExportOptions& options, const QString& path);

// What the picture shows, for the credit.
struct DrawnData {
    bool boundaries = false; // 行政区域 (Japan and Pref modes)
    bool smallAreas = false; // the census small areas (City mode)
    bool railways = false;   // lines or stations
    bool facilities = false; // markers, names or rank circles
    bool census = false;     // a census table painted
    // The boundaries' own credit lines where the imports recorded them (出典.txt); empty: the
    // specified converters' 国土数値情報.
    QStringList boundaryCredits;
};

// The recorded credits of the chosen prefectures' boundaries, each once, in code order.
QStringList boundaryCreditsOf(const state::MdlMain& state);
// One line per source, in the wording the data's terms ask for.
QStringList creditLines(const DrawnData& drawn);
// The credit the picture carries: the user's text when given, else the lines of the data drawn.
QStringList creditOf(const ExportOptions& options, const DrawnData& drawn);

// Of the four corners of area (top left, top right, bottom left, bottom right) with a margin,
// the place of a box that covers least: inked map pixels plus label area, never a taken rectangle
// when another corner is free. Returns the box's rectangle.
QRect leastCoveredCorner(const QImage& map, const QRect& area, QSize box, int margin, const QVector<QRect>& labels,
                         const QVector<QRect>& taken);

} // namespace miratos::output
