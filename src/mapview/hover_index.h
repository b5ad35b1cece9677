#pragma once
// What lies under the pointer: the regions of the loaded map (prefectures, municipalities or
// districts) in a grid of cells, so a look-up tests only the few regions of one cell.
#include "state/mdl_main.h"
#include "mapview/map_tables.h"
#include "mapview/renderer.h"

#include <QPointF>
#include <QRectF>
#include <QString>
#include <QVector>
#include <vector>

namespace miratos::mapview {

struct HoverRegion {
    QString name;     // "東京都新宿区"
    QString rowKey;   // its row of lvwUsePref (Japan) or lvwUseTiku
    int valueItem = 3; // sub-item of the statistic value in that row
    QVector<QVector<QPointF>> rings; // x = longitude; inner rings are holes (even-odd)
    QRectF box;
};

class HoverIndex {
public:
    // Collects the regions of a mode from the loaded tables and sorts them into cells.
    void build(const MapTables& tables, const state::MdlMain& state, MapMode mode);
    void clear();
    // The region holding the point, or nullptr.
    const HoverRegion* at(double lon, double lat) const;
    int size() const { return static_cast<int>(m_regions.size()); }

private:
    int cellOf(double lon, double lat) const;
    std::vector<HoverRegion> m_regions;
    std::vector<std::vector<int>> m_cells;
    QRectF m_bounds;
    int m_columns = 0, m_rows = 0;
};

// The status line under the map: the region's name and, while a statistic is shown, its value and
// rank as painted ("東京都新宿区　人口 349,385　ランク 5"). Empty outside every region.
QString hoverStatus(const HoverRegion* region, const MapTables& tables, const state::MdlMain& state);

// A statistic value for reading: whole numbers with thousands separators ("349,385"), others as
// stored.
QString readableValue(const QString& value);

} // namespace miratos::mapview
