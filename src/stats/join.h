#pragma once
// Joining the chosen statistic column to the drawn districts by code.
#include "state/mdl_main.h"
#include "mapview/map_tables.h"
#include "mapview/renderer.h"

#include <QString>
#include <QVector>

namespace miratos::stats {

struct JoinResult {
    QString mapSide;  // Pref: drawn districts without a value, "code name" + CR LF each
    QString statSide; // Pref: rows without a drawn district that are not aggregates
    // Why the joined values cannot be ranked (a value or their range beyond single precision);
    // empty when they can.
    QString rankProblem;
    // Rows of the table that joined no district, aggregates included (every mode).
    int unmatchedRows = 0;
};

// A code of ASCII digits shorter than the mode's code length, zero-padded to it: spreadsheets
// drop leading zeros ("1" for "01", "1101" for "01101"). City codes have 5, 9 or 11 digits and
// pad to the next of these; any other code comes back unchanged.
QString paddedCode(const QString& code, mapview::MapMode mode);

// The status text beside the statistic controls after a join, e.g. "一致しない行: 9".
QString unmatchedRowsText(int unmatchedRows);

// Empties every district's value field, copies StatTable(StatColumn, r) to the district whose key
// is "K"/"G" + StatTable(0, r) (or its paddedCode when that exact key is not drawn), sets StatItemName, StatMin/StatMax (single precision, the first
// value v gives v and v + 1, a later v below the minimum lowers it, one at or above the maximum
// raises it to v + 1 — or to the next larger single where v + 1 rounds back to v; no numeric value
// leaves both 0) and RankSetting ("2", "0"). The value field
// is sub-item 3 of lvwUsePref (Japan) and of lvwUseTiku (Pref), sub-item 1 of lvwUseTiku (City).
// Call it only after a confirmed column (StatColumn >= 1): a cancelled dialog changes nothing.
JoinResult joinStatistic(mapview::MapTables& tables, state::MdlMain& state, mapview::MapMode mode);

// Pref: an unmatched row is reported unless it is an aggregate that no drawn district can carry
// (m = code mod 1000, t = last character of the name): reported when t is neither "市" nor "部"
// and m < 200, when 200 ≤ m ≤ 299, or when t is not "郡" and m ≥ 300. A code that is not a whole
// number is reported.
bool isReportedUnmatched(const QString& code, const QString& name);

// The numeric values joined to the districts, in table order (for class proposals and counts).
QVector<float> joinedValues(const mapview::MapTables& tables, mapview::MapMode mode);

} // namespace miratos::stats
