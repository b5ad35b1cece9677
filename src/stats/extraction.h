#pragma once
// Which statistic files an extraction reads.
#include "state/mdl_main.h"
#include "mapview/renderer.h"

#include <QString>
#include <QVector>
#include <utility>

namespace miratos::stats {

// The statistic files of kind N for the drawn areas, in reading order, each with the name a
// "残念" message gives when it is missing (prefecture folder, municipality name, or empty).
QVector<std::pair<QString, QString>> statisticFiles(mapview::MapMode mode, int kind, const state::MdlMain& state);

} // namespace miratos::stats
