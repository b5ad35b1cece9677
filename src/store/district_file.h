#pragma once
// District files ("17_13101_千代田区.dat"): a header line "west south east north", then one
// record of eight lines per census small-area polygon. Fields stay text; the drawing code parses
// what it draws (coord_list.h).
#include "platform/result.h"

#include <QString>
#include <QStringView>
#include <QVector>
#include <optional>

namespace miratos::store {

struct DistrictRecord {
    QString rings;          // outer ring "lon lat ...", then "@" + each inner ring
    QString area;           // square metres
    QString areaClass;      // "8154" marks a water surface
    QString code;           // prefecture code + small-area code
    QString representative; // "M" marks the polygon that represents its town
    QString townName;
    QString labelX;         // longitude of the label point
    QString labelY;         // latitude of the label point

    bool operator==(const DistrictRecord&) const = default;
};

struct DistrictFile {
    QString header;
    QVector<DistrictRecord> records;

    bool operator==(const DistrictFile&) const = default;
};

struct DistrictExtent {
    double west = 0;
    double south = 0;
    double east = 0;
    double north = 0;

    bool operator==(const DistrictExtent&) const = default;
};

// The first four space-separated numbers of a header line; nothing when there are fewer.
std::optional<DistrictExtent> parseDistrictHeader(QStringView header);
QString formatDistrictHeader(const DistrictExtent& extent);

// Fails when the file is missing or empty, its header does not start with four numbers, or its
// last record is cut short.
// The SkippingBad form leaves a last record cut short out and notes it in skipped instead.
Result<DistrictFile> readDistrictFile(const QString& path);
Result<DistrictFile> readDistrictFileSkippingBad(const QString& path, QStringList& skipped);
Status writeDistrictFile(const QString& path, const DistrictFile& file);

} // namespace miratos::store
