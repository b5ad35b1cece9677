#pragma once
// The railway and station layer of the map window: the four railway files read once
// (鉄道データ読込), the curve tables built on the first draw from the curves whose first point lies
// strictly inside the data extent (lvwLine_rr with each curve's class, lvwLine_st with each
// station curve's name), the lines drawn on the canvas (鉄道描画), and one station-name label per
// station, platforms of one name close together merged into one label (chkEki).
#include "state/mdl_main.h"
#include "mapview/labels.h"
#include "mapview/map_tables.h"
#include "platform/canvas.h"
#include "platform/keyed_table.h"
#include "store/railway_files.h"

#include <QPoint>
#include <QPointF>
#include <QStringList>
#include <QVector>
#include <functional>
#include <vector>

class QPainter;

namespace miratos::layers {

using platform::KeyedTable;

struct RailwayColors {
    int line = 16711680;    // LayerProperty(5, 1): railway lines (blue)
    int station = 16776960; // LayerProperty(5, 2): station symbols (cyan)
};

// The colours of LayerProperty row 5.
RailwayColors railwayColorsOf(const state::MdlMain& state);

class RailwayLayer {
public:
    // 鉄道データ読込: reads the files of the railway folder. Returns the problems to show (files
    // missing next to Line_rr.dat); none when the folder holds no Line_rr.dat at all.
    QStringList load(const QString& railwayFolder, const std::function<void()>& yield = {});
    // Takes tables read elsewhere (tests, benchmarks).
    void setTables(store::RailwayTables tables);

    bool hasData() const { return !m_raw.railCurves.empty() || !m_raw.stationCurves.empty(); }
    const store::RailwayTables& raw() const { return m_raw; }

    // Step 1 of 鉄道描画: filters and joins the curves once (no-op after the first time).
    void buildTables(const mapview::Extent& dataExtent);
    // 鉄道描画: builds the tables when needed, then draws every railway curve (2 px for class 11,
    // otherwise 1 px, also for a curve no section names) and every station curve (2 px) with the
    // pen colours of LayerProperty row 5. Leaves the canvas with a black pen of width 1.
    void draw(platform::Canvas& canvas, const mapview::Extent& dataExtent, const RailwayColors& colors,
              const std::function<void()>& yield = {});

    // chkEki: with ticked, creates the station labels (merging on the first time, from
    // lvwSameStation afterwards); without, removes them. Nothing happens while lvwLine_st is empty.
    void stationLabels(mapview::LabelLayer& layer, bool ticked);
    // The number of station curves merged into each station label of the last stationLabels
    // (element i for label i + 1; 0 for a label merged away): one curve per line a station serves.
    const std::vector<int>& stationLines() const { return m_labelLines; }

    KeyedTable lvwLine_rr;     // key CurveId, text Coords, sub-item 1 RailClass
    KeyedTable lvwLine_st;     // key CurveId, text Coords, sub-item 1 StationName
    KeyedTable lvwSameStation; // text longitude, sub-items latitude, label index, station name
    bool RailTablesBuilt = false;
    bool SameStationBuilt = false;

    // The pixel width a railway curve is drawn with (sub-item 1 of its lvwLine_rr row).
    static int lineWidthOf(const QString& railClass);

private:
    store::RailwayTables m_raw;
    // Parallel to the rows of lvwLine_rr and lvwLine_st: points (x = longitude) and widths, so a
    // redraw never parses text again.
    std::vector<QVector<QPointF>> m_rrPoints;
    std::vector<int> m_rrWidth;
    std::vector<QVector<QPointF>> m_stPoints;
    QVector<QPoint> m_buffer;
    std::vector<int> m_entryLines; // parallel to the rows of lvwSameStation
    std::vector<int> m_labelLines;

    void drawCurve(platform::Canvas& canvas, const QVector<QPointF>& points);
};

// Draws the railways again on another painter (vector output), in the pixels of the scene's
// canvas.
void drawRailwaysOn(QPainter& painter, RailwayLayer& layer, const platform::Canvas& scene, const mapview::Extent& dataExtent,
                    const RailwayColors& colors);

// The coordinates of a Coords text ("lat lon lat lon …") as points with x = longitude; values
// that are not numbers end the list (an odd last value is dropped).
QVector<QPointF> parseRailCoords(const QString& coords);

} // namespace miratos::layers
