#pragma once
// 道路 of the two conversion windows: the fixed-layout road text of one prefecture ("N～～.txt")
// turned into that prefecture's Road.dat, and the nationwide road-name list ("N～～台.txt") into
// MapData\RoadName.dat. Both work on the source's CP932 bytes; positions are byte positions.
//
// Road data: lines before the first line starting with "L" are skipped; an "L" line starts a road
// (byte 35 "1": it has a route number, bytes 36 to 45), every other line holds coordinates in
// tenths of a second of arc, appended to the current road's line. Road names: lines 1 and 2 are
// skipped; then bytes 4 to 13 route number, 17 to 18 class, 19 to 42 and 43 to 64 the two name
// fields, 65 to the end the rest, each trimmed of half-width spaces.
//
// A malformed line is reported with file and line number and the rest is converted: a coordinate
// line with a value that is not a whole number is left out; an "L" line whose byte 35 is no digit
// gives a road without key; a name line without route number, or with "@" in a field, is left
// out; a double-byte character across a field border stays whole in the field where it starts
// (reported, as the border then moves by one byte). Runs of spaces between coordinates are read
// as one separator. The output is built in memory and written at the end, replacing the old file
// only when written whole.
#include "platform/result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace miratos::convert {

struct RoadProgress {
    std::function<void(qint64 lines)> total;   // once, the number of source lines
    std::function<void(qint64 line)> counter;  // every 1000 lines
    std::function<void()> yield;               // while the source is read
};

struct RoadConversion {
    QByteArray bytes;     // the output file
    qint64 sourceLines = 0;
    qint64 records = 0;   // roads (Road.dat) or road names (RoadName.dat) written
    QStringList problems; // malformed lines: file, line number, what
};

// The decimal degrees of a coordinate in tenths of a second of arc, in single precision:
// 5030123 is 139°43'32.3" = 139.7256.
float degreesFromTenths(qint64 tenths);

// True for a path whose last three characters are "txt" (the windows do nothing otherwise).
bool isTxtPath(const QString& path);

Result<RoadConversion> buildRoadFile(const QString& sourcePath, const RoadProgress& progress = {});
Result<RoadConversion> buildRoadNameFile(const QString& sourcePath, const RoadProgress& progress = {});

// The whole conversions: Road.dat into prefFolder, RoadName.dat into mapData. The folder must
// exist; an unreadable source or a folder that is missing is an error naming it.
Result<RoadConversion> 道路(const QString& sourcePath, const QString& prefFolder, const RoadProgress& progress = {});
Result<RoadConversion> 道路名(const QString& sourcePath, const QString& mapData, const RoadProgress& progress = {});

} // namespace miratos::convert
