#pragma once
// The facility files: Build.dat of a prefecture (one facility a line, seven fields separated by
// "|", the position "latitude longitude"), and the user's import table (comma-separated, no
// quoting, a header whose fourth field titles the value). Both are read into rows of the facility
// table (BuildTable); a line that cannot be one facility is left out and counted, the rest loads.
#include "platform/result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace miratos::store {

inline constexpr char16_t kBuildFile[] = u"Build.dat";
inline constexpr char16_t kBuildSymbolFile[] = u"公共施設.ini";
inline constexpr char16_t kBuildSymbolSection[] = u"BuildString";

// Columns of a BuildTable row.
enum BuildColumn { kBuildLat = 0, kBuildLon = 1, kBuildCity = 2, kBuildClass = 3, kBuildSubClass = 4, kBuildName = 5,
                   kBuildAddress = 6, kBuildValue = 7 };
using BuildRow = std::array<QString, 8>;

// The seven fields of a Build.dat line: position, municipality code, major class, minor class,
// name, address, administrator.
using BuildDatRecord = std::array<QString, 7>;

struct FacilityRead {
    std::vector<BuildRow> rows;
    bool present = false; // the file exists
    int badLines = 0;     // lines left out
    // One line naming the file and the first line left out (empty when none, or when the file
    // could not be read at all, then the reason).
    QString problem;
};

// Builds a row from one Build.dat line; nothing when the line has fewer than seven fields, a
// position without a space, or coordinates that are not numbers.
std::optional<BuildRow> parseBuildLine(const QString& line);

// Reads a Build.dat; a missing file is no problem (nothing present). An empty line is not counted
// as bad.
FacilityRead readBuildDat(const QString& path, const std::function<void()>& yield = {});

struct FacilityCsvRead {
    QString title;        // fourth field of the header (BuildRankTitle)
    std::vector<BuildRow> rows;
    int badLines = 0;     // lines with fewer than eight fields
    QString problem;      // as in FacilityRead
};

// Reads an import table (CP932, or UTF-8 with or without a byte order mark). Fields are split at
// every comma: a name holding a comma shifts the rest of its line. A line with fewer than eight
// fields is left out and counted; empty lines are skipped.
Result<FacilityCsvRead> readFacilityCsv(const QString& path, const std::function<void()>& yield = {});

// Build.dat bytes: CP932, CR LF after every line. A field holding "|" or a line break, or a
// character CP932 cannot hold, is an error naming the record (1-based).
Result<QByteArray> encodeBuildDat(const std::vector<BuildDatRecord>& records);

// Replaces folder/Build.dat with bytes (written whole or not at all); the folder must exist.
Status writeBuildDat(const QString& folder, const QByteArray& bytes);

} // namespace miratos::store
