#pragma once
// Census small areas of one municipality for City mode: the boundary XML becomes the district
// file "YY_code_name.dat", and the municipality's small-area census tables become
// "YY_code_statisticN.csv" beside it.
#include "platform/result.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace miratos::convert {

// The 5-digit municipality code of a boundary file name: the five characters before its last
// four (…13101.xml). Nothing unless the path ends in "xml" (lower case) and is long enough.
std::optional<QString> smallAreaCodeOfPath(const QString& path);

// The prefecture folder of a municipality code, from Init.ini's [Pref]; empty when the
// prefecture is not listed or its name is no plain folder name (nothing is written then).
QString smallAreaPrefFolder(const QString& code);

struct SmallAreaBoundaryReport {
    QString path;  // the district file written
    int records = 0;
    qint64 counter = 0; // nodes walked
};

// Converts one small-area boundary XML into prefFolder (which must exist). The file is written
// through a save-file at the end: an XML that cannot be parsed or has no Coordinates element
// leaves nothing behind. counter is called every 100 nodes.
Result<SmallAreaBoundaryReport> convertSmallAreaBoundary(const QString& xmlPath, int year, const QString& code,
                                                        const QString& prefFolder,
                                                        const std::function<void(qint64)>& counter = {});

struct SmallAreaTable {
    int n;
    QString caption;
    QStringList valueHeaders; // V = size
};

// The eleven City tables, N = 1..11.
const std::vector<SmallAreaTable>& smallAreaTables();

// One census table (CP932 text, two header lines, then one line per small area: field 0 the
// code, fields 3 and 4 the two name parts, fields 5.. the V values) into a statistic file: code
// kept as text, name "field 3・field 4", numbers as numbers. Missing fields stay empty.
// A table in this layout whose first line is today's e-Stat header (KEY_CODE, ..., GASSAN, then
// the values) is refused: its values stand two fields later, and `miratos import` takes it.
Status convertSmallAreaTable(const QString& inputPath, const QString& outputPath, const SmallAreaTable& table);

// True for the first line of today's e-Stat small-area table: KEY_CODE first, a GASSAN column.
bool isTodaysSmallAreaTable(const QString& firstLine);

// Two-digit year of a census year as the file names carry it: 2000 -> 12, 2005 -> 17,
// 2015 -> 27 (Heisei years); years from 2019 on count on the same way (2020 -> 32).
int twoDigitCensusYear(int year);

} // namespace miratos::convert
