#pragma once
// The drawn regions with their statistic: the points the proportional symbols stand on, and the
// table of what was painted (code, name, value, rank, fill colour) for a spreadsheet.
#include "state/mdl_main.h"
#include "layers/symbol_layer.h"
#include "mapview/map_tables.h"
#include "mapview/renderer.h"
#include "platform/result.h"

#include <QString>
#include <vector>

namespace miratos::stats {

struct PaintedRegion {
    QString key;  // "K" + prefecture code (Japan), "G" + code (Pref, City)
    QString code;
    QString name;
    double lon = 0, lat = 0; // label point
    QString value;           // the joined (painted) value, as stored
};

// Every drawn region in table order.
std::vector<PaintedRegion> paintedRegions(const mapview::MapTables& tables, mapview::MapMode mode);

// The symbols of a column: the joined value when column is empty, otherwise the table column of
// that header joined by code as the painted column is. Regions without a number get none.
// Fails when no column has that header.
Result<std::vector<layers::Symbol>> symbolsOf(const std::vector<PaintedRegion>& regions, const state::MdlMain& state,
                                              mapview::MapMode mode, const QString& column);

// The rank of a value as the map was painted (0: none) and its fill colour value.
int paintedRankOf(const state::PaintedRanking& painted, const QString& value);
int paintedColorOf(const state::PaintedRanking& painted, const QString& value);
// "#rrggbb" of a colour value (R + 256·G + 65536·B).
QString colorHex(int colorValue);

// The table as CSV text in UTF-8 with a BOM: a header line, then one line per region; rank and
// colour stay empty when no statistic was painted.
QByteArray paintedTableCsv(const std::vector<PaintedRegion>& regions, const state::MdlMain& state);
// Writes it through the save-file; the error names the file.
Status writePaintedTable(const QString& path, const std::vector<PaintedRegion>& regions, const state::MdlMain& state);

} // namespace miratos::stats
