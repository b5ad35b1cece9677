#pragma once
// The name labels of the regions: prefecture names (Japan), municipality names (Pref, City) and,
// in City mode, town names with their three filters.
#include "state/mdl_main.h"
#include "mapview/labels.h"
#include "mapview/map_tables.h"
#include "mapview/renderer.h"

namespace miratos::mapview {

// Caption of a Pref-mode municipality from its name parts: the last part, except that
// "…区@…市" (a ward written before its city) gives the ward.
QString municipalityCaption(const QString& nameParts);

// Caption of a town: every "丁目" removed and full-width letters, digits and katakana turned
// into their half-width forms.
QString townCaption(const QString& townName);
QString toHalfWidth(const QString& text);

// The style of a label kind from its LayerProperty row (font size, text colour, background).
LabelStyle labelStyleOf(const state::MdlMain& state, LabelKind kind);

// chkCity_Click: rebuilds the region name labels (none when not ticked).
void buildNameLabels(LabelLayer& layer, const MapTables& tables, const state::MdlMain& state, MapMode mode, bool ticked,
                     const platform::Canvas& scale);

struct TownFilter {
    bool representativeOnly = false; // 代表町丁目のみ表示
    bool minimumArea = false;        // 指定面積以上表示
    double minimum = 0;              // the number in txtArea
    bool topRankOnly = false;        // ランク１位のみ表示 (only after a statistic fill)
};

// chkTown_Click: rebuilds the town labels (none when not ticked).
void buildTownLabels(LabelLayer& layer, const MapTables& tables, const state::MdlMain& state, bool ticked,
                     const TownFilter& filter, const platform::Canvas& scale);

} // namespace miratos::mapview
