#pragma once
// Fill colours of prefectures (PrefTable column 2) and of municipalities (lvwTikuColor), as the
// colour dialogs change them. Changes show at the next redraw.
#include "state/mdl_main.h"
#include "platform/keyed_table.h"

#include <QPoint>

namespace miratos::mapview {

// Position of prefecture label copy n (1-based) in the prefecture colour dialog: columns of ten,
// 24 apart, the next column 80 further right.
QPoint kenLabelPosition(int n);

// A prefecture's new colour; in City mode it also goes to every chosen municipality of it.
void setPrefectureColor(int prefCode, int color, bool cityMode, state::MdlMain& state, platform::KeyedTable& lvwTikuColor);

// Colour of chosen municipality k (1-based), or yellow when it has no row.
int municipalityColor(const state::MdlMain& state, const platform::KeyedTable& lvwTikuColor, int k);
void setMunicipalityColor(const state::MdlMain& state, platform::KeyedTable& lvwTikuColor, int k, int color);

// A qualitative scheme (Set2, Paired) over the regions: the chosen prefectures in code order take
// its colours in turn, and in City mode so do the chosen municipalities, so that neighbours in the
// list differ. False for a scheme that is not qualitative.
bool applyRegionScheme(const QString& scheme, state::MdlMain& state, platform::KeyedTable& lvwTikuColor);

// "全地区ランダム": a random colour for every chosen municipality (red, green, blue drawn in
// that order from the random source).
void randomMunicipalityColors(const state::MdlMain& state, platform::KeyedTable& lvwTikuColor);

} // namespace miratos::mapview
