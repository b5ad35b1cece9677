#pragma once
// The four railway files of MapData\鉄道\: Rosen.dat (sections, 6 lines a record), Eki.dat
// (stations, 3 lines), Line_rr.dat and Line_st.dat (curves, 2 lines: identifier, then
// "lat lon lat lon …"). Records are counted from the start of each file; a trailing incomplete
// record keeps its missing columns empty.
//
// The four files are one set: RailwaySet.dat beside them holds, for each, its name, size and the
// MD5 digest of its first and last 64 KiB. A writer puts RailwaySet.dat in place before the four
// files; a reader that finds it and finds files that do not match it (an import under way or
// broken off) reads nothing and says so, so no one sees the halves of two imports together. A
// folder without it (written by older versions) is read as it is.
#include "platform/result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

namespace miratos::store {

inline constexpr char16_t kRailwayFolder[] = u"鉄道";
inline constexpr char16_t kRosenFile[] = u"Rosen.dat";
inline constexpr char16_t kEkiFile[] = u"Eki.dat";
inline constexpr char16_t kLineRrFile[] = u"Line_rr.dat";
inline constexpr char16_t kLineStFile[] = u"Line_st.dat";
inline constexpr char16_t kRailwaySetFile[] = u"RailwaySet.dat";

// Rosen.dat: SectionId, CurveRef, RailClass, OperatorType, LineName, RasRef (empty when none).
using RailSectionRow = std::array<QString, 6>;
// Eki.dat: StationId, StationCurveRef ("rr" already replaced by "st"), StationName.
using StationRow = std::array<QString, 3>;
// Line_rr.dat / Line_st.dat: CurveId, Coords.
using CurveRow = std::array<QString, 2>;

struct RailwayTables {
    std::vector<RailSectionRow> sections;
    std::vector<StationRow> stations;
    std::vector<CurveRow> railCurves;
    std::vector<CurveRow> stationCurves;
};

// Groups lines into records of N lines; the last record may be incomplete (empty columns).
template <size_t N>
std::vector<std::array<QString, N>> groupRecords(const QStringList& lines)
{
    std::vector<std::array<QString, N>> rows;
    rows.reserve(static_cast<size_t>(lines.size()) / N + 1);
    for (qsizetype k = 0; k < lines.size(); ++k) {
        if (k % qsizetype(N) == 0)
            rows.emplace_back();
        rows.back()[static_cast<size_t>(k % qsizetype(N))] = lines.at(k);
    }
    return rows;
}

struct RailwayRead {
    RailwayTables tables;
    bool present = false;   // Line_rr.dat exists: the layer is loaded
    QStringList problems;   // files that are missing next to Line_rr.dat or could not be read
};

// Reads the four files of folder (the 鉄道 folder). Without Line_rr.dat nothing is read and no
// problem is reported. With it, each other file that is missing or unreadable leaves its table
// empty and adds one problem line naming the file; the rest is still read.
RailwayRead readRailwayFiles(const QString& folder, const std::function<void()>& yield = {});

// The four files' contents as written: CP932, CR LF after every line.
struct RailwayFileBytes {
    QByteArray rosen, eki, lineRr, lineSt;
};

// Encodes the tables record by record (a section without RAS gets its empty sixth line). A value
// holding a line break, or a character CP932 cannot hold, is an error naming file and record.
Result<RailwayFileBytes> encodeRailwayFiles(const RailwayTables& tables);

// Writes RailwaySet.dat, then Rosen.dat and Eki.dat, then Line_rr.dat and Line_st.dat into folder,
// which must exist; all are staged first and put in place only when every one was written whole.
Status writeRailwayFiles(const QString& folder, const RailwayFileBytes& files);

// The railway folder under a MapData folder.
QString railwayFolder(const QString& mapData);

} // namespace miratos::store
