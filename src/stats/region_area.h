#pragma once
// The area of each drawn region, from the polygons the loaded map holds, on the GRS80 ellipsoid
// (the geodesic area of PROJ). A region's rings that lie inside another of its rings are holes
// and are subtracted; further rings (islands) are added. A District's inner rings are holes.
#include "mapview/map_tables.h"
#include "mapview/renderer.h"
#include "stats/expression.h"

#include <QHash>
#include <QPointF>
#include <QString>
#include <QVector>
#include <optional>

namespace miratos::stats {

// The geodesic area of one ring in km², whatever its direction (x = longitude, y = latitude).
double ringAreaKm2(const QVector<QPointF>& ring);

// Rings of one region: a ring inside an odd number of the others is a hole.
double regionAreaKm2(const QVector<QVector<QPointF>>& rings);

// The areas of the loaded set, worked out on first use and kept until clear() (which the owner
// of the tables calls whenever it loads another set).
class RegionAreas {
public:
    // km² by statistic code (the district key without its leading "K" or "G").
    const QHash<QString, double>& of(const mapview::MapTables& tables, mapview::MapMode mode);
    void clear() { m_ready = false; m_km2.clear(); }
    // 面積() of computed columns; the areas are worked out on its first call. A code that no
    // region has gets the sum of the regions whose codes begin with it, so that a total row (a
    // municipality over its small areas) has its area too. The cache and the tables must
    // outlive it.
    AreaLookup lookup(const mapview::MapTables& tables, mapview::MapMode mode);

private:
    bool m_ready = false;
    QHash<QString, double> m_km2;
    std::vector<std::pair<QString, double>> m_sorted; // m_km2 in code order, for the totals
};

// Works the areas out afresh (RegionAreas keeps the result).
QHash<QString, double> regionAreas(const mapview::MapTables& tables, mapview::MapMode mode);

} // namespace miratos::stats
