#pragma once
// What the map window holds after loading: the keyed tables and record arrays the redraw, the
// labels and the statistics work on, and the extents. Coordinates are parsed once at load time
// and kept as points; a redraw never parses text.
#include "platform/keyed_table.h"

#include <QHash>
#include <QPointF>
#include <QString>
#include <QVector>
#include <vector>

namespace miratos::mapview {

using platform::KeyedTable;

// Smallest longitude, smallest latitude, largest longitude, largest latitude; 0 means unset.
struct Extent {
    float minLon = 0, minLat = 0, maxLon = 0, maxLat = 0;
};

// A file's extent as the loaders read it: west, east, south, north in Japan and Pref modes.
struct FileExtent {
    float west = 0, east = 0, south = 0, north = 0;
};

// Merges a file's extent: a minimum is replaced when unset or greater, a maximum when unset or
// smaller.
void mergeExtent(Extent& data, const FileExtent& file);

struct LineRecord {
    QString key;
    QVector<QPointF> points; // x = longitude, y = latitude
};

// One line of a ring, resolved to its record (-1 when the key names no loaded line).
struct RingLine {
    int line = -1;
    bool reversed = false;
    bool operator==(const RingLine&) const = default;
};
using ResolvedRing = QVector<RingLine>;

struct PointRecord {
    QString key;
    QString point; // latitude, space, longitude
};

struct PolygonRecord {
    QString key;
    QString ring;
    ResolvedRing lines;
};

struct TikuRecord {
    QString polygonKey;
    QString nameParts;
    QString code;
};

// One census small-area polygon of a district file.
struct DistrictRecord {
    QVector<QVector<QPointF>> rings; // 0: outer ring, then inner rings; x = longitude
    QString code;        // district code (cut to 9 characters with town-level statistics)
    QString townName;
    QString labelX;      // label longitude
    QString labelY;      // label latitude
    QString area;        // square metres
    QString representative;
    QString areaClass;   // "8154": water surface
};

struct MapTables {
    // Japan mode.
    KeyedTable lvwOrgPrefLine;
    std::vector<ResolvedRing> orgPrefLineRings; // parallel to lvwOrgPrefLine rows
    KeyedTable lvwUsePref;
    // Japan and Pref modes.
    KeyedTable lvwPrefLineOnly;
    std::vector<LineRecord> LineRecords;
    QHash<QString, int> lvwLine; // line key -> LineRecords index (its coordinate list)
    // Pref mode.
    std::vector<PointRecord> PointRecords;
    KeyedTable lvwPoint;
    std::vector<PolygonRecord> PolygonRecords;
    KeyedTable lvwPolygon;
    QHash<QString, int> polygonIndex; // polygon key -> PolygonRecords index (first record)
    std::vector<TikuRecord> TikuRecords;
    // Pref and City modes.
    KeyedTable lvwUseTiku;
    // City mode.
    std::vector<DistrictRecord> DistrictRecords;
    KeyedTable lvwTikuColor;

    FileExtent fileExtent;
    Extent DataExtent;

    // Points of a line, or nullptr when the key is not loaded.
    const QVector<QPointF>* linePoints(const QString& key) const;
    // Resolves ring text ("13c1@_13c2") against the loaded lines.
    ResolvedRing resolveRing(const QString& ring) const;
};

} // namespace miratos::mapview
