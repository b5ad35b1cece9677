#pragma once
// The program-wide state shared by every window (the module mdlMain). It lives for the whole run
// and nothing of it is saved. Names follow the data model the windows are built on.
#include "state/scheme_options.h"

#include <QString>
#include <QVariant>
#include <array>
#include <cstdint>
#include <vector>

namespace miratos::state {

// A colour value: red in the low byte, green in the middle byte, blue in the high byte.
constexpr int32_t rgbColor(int red, int green, int blue)
{
    return red + 256 * green + 65536 * blue;
}
constexpr int32_t kYellow = rgbColor(255, 255, 0); // 65535
constexpr int32_t kWhite = rgbColor(255, 255, 255); // 16777215
// Stands for the platform's button-text colour (normally black).
constexpr int64_t kSystemTextColor = 0x80000012LL;

// The colour value of a LayerProperty cell: the system text colour stands for black.
int colorValueOf(const QVariant& cell);

// A ranking as the statistic fill painted it: the column's title and ranks 1..count.
struct PaintedRanking {
    QString itemName;
    int16_t count = 0;
    std::vector<std::array<float, 2>> bounds; // 0..count: (i,0) lower, (i,1) upper
    std::vector<int32_t> colors;              // 0..count
    bool noDataGrey = false;                  // regions without a number were painted grey
};

struct MdlMain {
    // Selection and loading.
    QString MapMode;
    // Row i = JIS prefecture code 1..47 (row 0 unused): (i,0) "TRUE" when selected,
    // (i,1) prefecture (and folder) name, (i,2) fill colour as decimal text.
    std::array<std::array<QString, 3>, 48> PrefTable{};
    bool UseTrain = false;
    bool UseRoad = false;
    bool UseBuild = false;
    bool UseSpecialCoordinate = false;
    bool HideSeparate = false;
    bool UseTownLevel = false;
    int16_t DataYear = 0;
    int16_t TikuCount = 0;
    std::vector<QString> TikuPath{QString()};   // index 1..TikuCount
    std::vector<QString> TikuPrefix{QString()}; // index 1..TikuCount
    // Per chosen municipality k: (k,0) name, (k,1) centre longitude, (k,2) centre latitude, (k,3) code.
    std::vector<std::array<QString, 4>> TikuTable{std::array<QString, 4>{}};

    // Display.
    std::array<std::array<QVariant, 3>, 8> LayerProperty{};
    int16_t PropertyKind = 0;
    int16_t PropertyRoadIndex = 0;
    bool StatDrawn = false;

    // Image-export note.
    int16_t NoteFontSize = 0;
    int16_t NoteLocation = 0;
    QString NoteMaker;
    bool NoteCancelled = false;

    // Statistics and ranks. StatTable[r][c] is column c of row r; row 0 holds the header.
    std::vector<std::vector<QString>> StatTable;
    int32_t StatRowCount = 0;
    int16_t StatColCount = 0;
    int16_t StatColumn = 0;
    float StatMin = 0;
    float StatMax = 0;
    QString StatItemName;
    int16_t StatKind = 0;
    int16_t RankCount = 0;
    std::vector<int32_t> RankColor;                // 0..RankCount
    std::vector<std::array<float, 2>> RankBound;   // 0..RankCount: (i,0) lower, (i,1) upper
    std::array<QString, 2> RankSetting{};
    bool RankReady = false;
    bool RankWater = false;
    // Published colour scheme, centring, no-data grey and round bounds, as "決定" stored them.
    SchemeOptions RankScheme;
    // The ranking whose colours the map shows, taken when the fill works its colours out anew.
    // The export's legend shows it: after a new column is joined (which renames StatItemName and
    // clears RankBound) the map keeps its colours until it is ranked, and so does the legend.
    PaintedRanking StatPainted;

    // Empties the City-mode selection (TikuCount 0, index 0 kept unused).
    void clearTikuSelection();
};

// The one process-wide instance.
MdlMain& mdlMain();
// Back to the start state (tests; a new run starts from it anyway).
void resetMdlMain();

// The part of the map window's initialisation that only touches shared state: note font size
// 10, every prefecture yellow, and the layer-display defaults of MapMode.
void prepareMode(MdlMain& state);

// The layer-display defaults of a map mode ("Japan", "Pref" or "City").
std::array<std::array<QVariant, 3>, 8> layerPropertyDefaults(const QString& mapMode);

} // namespace miratos::state
