#pragma once
// The display settings of the map overlays, one row of LayerProperty at a time: what the settings
// dialog shows for a row, and how a confirmed row is stored and applied to the labels already on
// the map.
#include "state/mdl_main.h"
#include "mapview/labels.h"
#include "platform/canvas.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace miratos::output {

// Rows of LayerProperty (also the PropertyKind values).
enum LayerRow { kRowNames = 0, kRowTowns = 1, kRowStations = 2, kRowMarkers = 3, kRowFacilityNames = 4,
                kRowRailway = 5, kRowRoads = 6, kRowRankCircles = 7 };

// Font sizes offered for the label rows, and circle sizes (degrees of latitude) and size ratios
// offered for the facility-rank circles, in list order.
const QStringList& labelFontSizes();
const QStringList& circleSizes();
const QStringList& circleRatios();

// The values of the settings dialog for one row.
struct LayerSettings {
    QString size;       // font size; for the rank circles the circle size
    QString ratio;      // rank circles: size ratio of the largest to the smallest circle
    int color1 = 0;     // text colour, railway line colour, road colour or circle colour
    int color2 = 0;     // railway: station symbol colour
    bool back = false;  // white background; for the rank circles "最小値 = 0"
};

// What the row holds now (for the roads: the column of the road class roadIndex).
LayerSettings layerSettingsOf(const state::MdlMain& state, int kind, int roadIndex);

// A typed size as a whole number of points (halves to even), or nothing when the text is not a
// number or the result lies outside 1 .. 32767.
std::optional<int> fontSizeOf(const QString& text);

// What the map window still has to do after a row was applied.
enum class LayerFollowUp { Repaint, RedrawRailways, RedrawRoads, RebuildRankCircles };

// Stores the confirmed settings in row kind (roads: column roadIndex only) and, for the label
// rows, restyles every label of that kind at once. A size text that is not a usable number
// leaves the stored size (and the labels' font size) as it was.
LayerFollowUp applyLayerProperty(int kind, int roadIndex, const LayerSettings& settings, state::MdlMain& state,
                                 mapview::LabelLayer& layer, const platform::Canvas& scale);

} // namespace miratos::output
