#pragma once
// Statistic tables (one header line, then one comma-separated line per district), their text
// export, the unmatched-district report and the rank colour file.
#include "platform/result.h"

#include <QString>
#include <QVector>
#include <cstdint>
#include <functional>
#include <vector>

namespace miratos::store {

// The extracted table: table[r][c] is column c of row r, row 0 the header.
using StatRows = std::vector<std::vector<QString>>;

// Reads one statistic file into the table. When the table is empty the file's first line is the
// header and fixes colCount (fields - 1); otherwise the first line is skipped. Every further line
// is a data row of fields 0..colCount (extra fields dropped). A line with fewer fields than the
// header rejects the whole file with a message naming the file and the line, and nothing of it is
// stored. rowCount becomes the number of data rows. Files are CP932; with guessEncoding (tables
// users bring) UTF-8 with or without a byte order mark is recognised too. yield runs per line.
// Bytes that are not valid text are read as "〓"; note (when given) then receives the one line
// that tells the user so, and stays empty otherwise.
Status appendStatisticFile(const QString& path, StatRows& table, int16_t& colCount, int32_t& rowCount,
                           bool guessEncoding = false, const std::function<void()>& yield = {},
                           QString* note = nullptr);

// Appends rows 0..rowCount (columns 0..colCount joined by ",") to the file, creating it. With
// withoutTotals, a row other than the last is left out when its code (column 0) has 5
// characters, or has 9 and the next row's code contains it.
Status exportStatisticTable(const QString& path, const StatRows& table, int colCount, int rowCount, bool withoutTotals);

// Replaces the unmatched-district report: "地図データ側：", the map-side list, an empty line,
// "統計データ側：", the statistic-side list, an empty line. Each list is a run of
// "code name" + CR LF entries.
Status writeUnmatchedReport(const QString& path, const QString& mapSide, const QString& statSide);

struct RankColorFile {
    int rankCount = 0;    // the first line, 3..10
    QVector<int> colors;  // rank 1 first
};
// The rank count, then one colour per line; every line ends with CR LF.
Status writeRankColorFile(const QString& path, int rankCount, const QVector<int>& colors);
// Rejects a file whose first line is not 3..10, that holds more than 10 colours, or whose colour
// lines are not whole numbers 0..16777215, with a message naming the file.
Result<RankColorFile> readRankColorFile(const QString& path);

} // namespace miratos::store
