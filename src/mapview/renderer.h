#pragma once
// Boundary drawing of the redraw: lines only, prefecture lines only, filled regions and the
// statistic fill, for each map mode.
#include "state/mdl_main.h"
#include "state/water_fill.h"
#include "mapview/map_tables.h"
#include "platform/canvas.h"

#include <functional>

namespace miratos::mapview {

enum class MapMode { Japan, Pref, City, Other };
MapMode mapModeOf(const QString& mode);

// The display styles of the option group "表示スタイル".
enum DisplayStyle { LinesOnly = 0, PrefLinesOnly = 1, Filled = 2, StatisticFill = 3 };

class Renderer {
public:
    Renderer(platform::Canvas& canvas, MapTables& tables, state::MdlMain& state)
        : m_canvas(canvas), m_tables(tables), m_state(state) {}

    void setWaterFill(const state::WaterFill& fill) { m_water = fill; }
    void setYield(std::function<void()> yield) { m_yield = std::move(yield); }
    // The colour cache of the statistic fill: valid after one fill until a new ranking.
    bool colorCacheValid = false;

    // Draws the boundaries of a mode in a style and updates StatDrawn.
    void drawBoundaries(MapMode mode, int style);

    // The pieces, callable on their own.
    void drawAllLines(MapMode mode);
    void drawPrefLines(MapMode mode);
    void drawFilled(MapMode mode);
    void drawFilledDistricts();
    void drawStatistic(MapMode mode);

    // Colour of a statistic value by rank (white when not numeric or in no rank); sets the City
    // top-rank mark through topRank.
    int rankColorOf(const QString& value, bool* topRank = nullptr) const;

    // The points of a ring in drawing order: each line in turn, a reversed one from its last
    // point to its first; shared end points stay.
    QVector<QPointF> assemble(const ResolvedRing& lines) const;

private:
    void ring(const ResolvedRing& lines, bool filled);
    void points(const QVector<QPointF>& pts, bool filled);
    void districtRings(const DistrictRecord& d, int outerColor, int outerStyle);
    int statisticColor(KeyedTable::Row* row, int valueItem, int cacheItem, int markItem);
    void yield();

    platform::Canvas& m_canvas;
    MapTables& m_tables;
    state::MdlMain& m_state;
    state::WaterFill m_water;
    std::function<void()> m_yield;
    QVector<QPoint> m_buffer;
};

} // namespace miratos::mapview
