#pragma once
// The two road files: Road.dat in each prefecture's folder (one road a line: "RoadKey@lon lat
// lon lat … ", longitude first, single-precision values each followed by a space) and the
// nationwide MapData\RoadName.dat (one numbered road a line: "RoadKey@RoadClass@Name1@Name2@Name3").
//
// Road.dat is read straight from its bytes into points, as it is the big file of the layer; the
// road key is the only text. RoadName.dat decisions: a line with fewer than five "@" parts is
// skipped and the skipped lines are reported once (count and first line number); a key that occurs
// again keeps its first line (the later ones are counted in the same report); a line with more
// than five parts keeps the extra parts in the fifth field, joined by "@" again.
#include "platform/result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace miratos::store {

inline constexpr char16_t kRoadFile[] = u"Road.dat";
inline constexpr char16_t kRoadNameFile[] = u"RoadName.dat";

struct RoadNameRow {
    QString key;       // "R" + route number
    QString roadClass; // "1" expressway, "2" national road, "3" local road
    QString name1, name2, name3;

    bool operator==(const RoadNameRow&) const = default;
};

struct RoadNameRead {
    bool present = false; // the file exists
    std::vector<RoadNameRow> rows; // in file order, duplicates of an earlier key left out
    QStringList problems;          // at most one line for the short lines, one for duplicates, or the read error
};

// Reads RoadName.dat. A missing file is not present and has no problems.
RoadNameRead readRoadNames(const QString& path);

// The roads of one or more Road.dat files: each road's key and its points, longitude first.
struct RoadSet {
    struct Road {
        QString key;        // possibly empty
        quint32 first = 0;  // index of its first value in coords
        quint32 count = 0;  // number of points
    };
    std::vector<Road> roads;
    std::vector<double> coords; // lon, lat, lon, lat, …

    double lon(const Road& r, quint32 i) const { return coords[2 * (r.first + i)]; }
    double lat(const Road& r, quint32 i) const { return coords[2 * (r.first + i) + 1]; }
};

struct RoadFileRead {
    bool present = false;
    int lines = 0;        // road lines in the file
    int kept = 0;         // roads added to the set
    QStringList problems; // the read error, or one line naming the lines whose coordinates are not numbers
};

// Reads a Road.dat and appends to set every road that keep accepts, asked with the road's first
// point (longitude, latitude); a road without any point is offered with NaN values. A value that
// is not a number ends the road's points there and the line is reported. yield is called every
// few thousand lines.
RoadFileRead readRoadFile(const QString& path, RoadSet& set, const std::function<bool(double lon, double lat)>& keep,
                          const std::function<void()>& yield = {});

// Writing. Road.dat is built as bytes by the converter; these append the parts of one line.
// The key part: "R" + route number + "@", or "@" alone for a road without a route number.
void appendRoadKey(QByteArray& out, bool numbered, QByteArrayView routeNumber);
// One value in single precision followed by a space ("139.7256 ").
void appendRoadValue(QByteArray& out, float value);

// RoadName.dat as bytes (CP932, CR LF after every line). A field holding "@" or a line break, or
// a character CP932 cannot hold, is an error naming the row.
Result<QByteArray> encodeRoadNames(const std::vector<RoadNameRow>& rows);

} // namespace miratos::store
