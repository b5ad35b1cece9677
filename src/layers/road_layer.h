#pragma once
// The road layer of the map window: the nationwide road-name table read once (道路名データ読込),
// each selected prefecture's Road.dat read while the boundaries load (道路データ読込, keeping the
// roads whose first point lies strictly inside the data extent of that moment), and the roads of
// the ticked classes drawn on the canvas (道路描画): expressways 2 px, national and local roads
// 1 px, in the colours of LayerProperty row 6.
//
// A road is drawn only when its key is in the name table and its class is "1", "2" or "3"; roads
// without key, with a key the table lacks, or with any other class are kept but never drawn.
// The road geometry is held as numbers (RoadSet), not as the coordinate text, so that a large
// network costs less memory than its files.
#include "state/mdl_main.h"
#include "mapview/map_tables.h"
#include "platform/canvas.h"
#include "platform/keyed_table.h"
#include "store/road_files.h"

#include <QPoint>
#include <QStringList>
#include <QVector>
#include <array>
#include <functional>
#include <vector>

class QPainter;

namespace miratos::layers {

using platform::KeyedTable;

// The pen colours of the three classes (LayerProperty(6, 0..2)).
struct RoadColors {
    std::array<int, 3> color{state::rgbColor(128, 0, 128), state::rgbColor(128, 128, 128), state::rgbColor(192, 192, 192)};
};
RoadColors roadColorsOf(const state::MdlMain& state);

// Which of chkRoad(0) "高速", chkRoad(1) "国道", chkRoad(2) "地方道" are ticked.
using RoadClasses = std::array<bool, 3>;

class RoadLayer {
public:
    // 道路名データ読込: false when the file does not exist (the road layer is then off).
    // Problems of the file (short lines, repeated keys, a read error) go to problems.
    bool loadNames(const QString& roadNameFile, QStringList* problems = nullptr);
    void setNames(const std::vector<store::RoadNameRow>& rows);

    // 道路データ読込 for one prefecture: appends the roads of its Road.dat whose first point lies
    // strictly inside dataExtent. A missing file adds nothing and no problem.
    QStringList loadRoads(const QString& roadFile, const mapview::Extent& dataExtent, const std::function<void()>& yield = {});

    bool hasRoads() const { return !m_roads.roads.empty(); }
    const store::RoadSet& roads() const { return m_roads; }
    // The class index (0 expressway, 1 national, 2 local) a road is drawn with, or -1: not drawn.
    int classOf(size_t road);

    // 道路描画: every road of a ticked class, in file order, as an open polyline. Leaves the
    // canvas with a black pen of width 1.
    void draw(platform::Canvas& canvas, const RoadColors& colors, const RoadClasses& ticked,
              const std::function<void()>& yield = {});

    static int widthOf(int classIndex) { return classIndex == 0 ? 2 : 1; }

    KeyedTable lvwRoadName; // key RoadKey, text RoadClass, sub-items 1..3 RoadName1..3

private:
    void resolveClasses();

    store::RoadSet m_roads; // lvwRoad: each road's key and points
    std::vector<qint8> m_class; // parallel to m_roads.roads, filled on the first draw after a load
    std::vector<std::array<float, 4>> m_box; // west, east, south, north of each road
    QVector<QPoint> m_buffer;
};

// Draws the roads again on another painter (vector output), in the pixels of the scene's canvas.
void drawRoadsOn(QPainter& painter, RoadLayer& layer, const platform::Canvas& scene, const RoadColors& colors,
                 const RoadClasses& ticked);

} // namespace miratos::layers
