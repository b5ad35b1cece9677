#pragma once
// The statistic of a saved map, put into the shared state as the statistic dialog, the join and
// the ranking dialog would: the table (a statistic kind or an own table), its computed columns,
// the painted column joined to the drawn regions, and its ranks.
#include "state/saved_map.h"
#include "state/mdl_main.h"
#include "mapview/map_tables.h"
#include "mapview/renderer.h"
#include "stats/expression.h"

#include <QStringList>
#include <optional>

namespace miratos::stats {

// Reads the table, adds the computed columns, joins map.column and ranks it: with the saved
// bounds and colours when the map holds them, else with a new proposal of its class method. An
// error text naming what is missing (a statistic file, the column); the state is then left
// without a column. Notes (an encoding doubt) that do not stop it go into notes.
std::optional<QString> applySavedStatistic(const state::SavedMap& map, state::MdlMain& s, mapview::MapTables& t,
                                           mapview::MapMode mode, const AreaLookup& area, QStringList& notes);

} // namespace miratos::stats
