#include "layers/road_layer.h"

#include <algorithm>
#include <cmath>

namespace miratos::layers {

RoadColors roadColorsOf(const state::MdlMain& state)
{
    RoadColors colors;
    const auto& row = state.LayerProperty[6];
    for (size_t i = 0; i < 3; ++i) {
        if (row[i].isValid())
            colors.color[i] = state::colorValueOf(row[i]);
    }
    return colors;
}

bool RoadLayer::loadNames(const QString& roadNameFile, QStringList* problems)
{
    store::RoadNameRead read = store::readRoadNames(roadNameFile);
    if (problems)
        *problems << read.problems;
    if (!read.present)
        return false;
    setNames(read.rows);
    return true;
}

void RoadLayer::setNames(const std::vector<store::RoadNameRow>& rows)
{
    lvwRoadName.clear();
    lvwRoadName.reserve(static_cast<int>(rows.size()));
    for (const store::RoadNameRow& row : rows)
        lvwRoadName.add(row.key, row.roadClass, {row.name1, row.name2, row.name3});
    m_class.clear();
}

QStringList RoadLayer::loadRoads(const QString& roadFile, const mapview::Extent& e, const std::function<void()>& yield)
{
    // Only the first point is tested, against the extent as it is now.
    auto inside = [&e](double lon, double lat) { return lat > e.minLat && lat < e.maxLat && lon > e.minLon && lon < e.maxLon; };
    const size_t before = m_roads.roads.size();
    store::RoadFileRead read = store::readRoadFile(roadFile, m_roads, inside, yield);
    m_box.reserve(m_roads.roads.size());
    for (size_t r = before; r < m_roads.roads.size(); ++r) {
        const store::RoadSet::Road& road = m_roads.roads[r];
        std::array<float, 4> box{INFINITY, -INFINITY, INFINITY, -INFINITY};
        for (quint32 i = 0; i < road.count; ++i) {
            const auto lon = static_cast<float>(m_roads.lon(road, i));
            const auto lat = static_cast<float>(m_roads.lat(road, i));
            box[0] = std::min(box[0], lon);
            box[1] = std::max(box[1], lon);
            box[2] = std::min(box[2], lat);
            box[3] = std::max(box[3], lat);
        }
        m_box.push_back(box);
    }
    return read.problems;
}

void RoadLayer::resolveClasses()
{
    m_class.reserve(m_roads.roads.size());
    for (size_t r = m_class.size(); r < m_roads.roads.size(); ++r) {
        qint8 c = -1;
        // An empty key is never in the table (its rows all have keys).
        const QString& key = m_roads.roads[r].key;
        if (!key.isEmpty()) {
            if (const KeyedTable::Row* row = lvwRoadName.find(key)) {
                if (row->text == QLatin1String("1"))
                    c = 0;
                else if (row->text == QLatin1String("2"))
                    c = 1;
                else if (row->text == QLatin1String("3"))
                    c = 2;
            }
        }
        m_class.push_back(c);
    }
}

int RoadLayer::classOf(size_t road)
{
    resolveClasses();
    return road < m_class.size() ? m_class[road] : -1;
}

void RoadLayer::draw(platform::Canvas& canvas, const RoadColors& colors, const RoadClasses& ticked, const std::function<void()>& yield)
{
    resolveClasses();
    platform::Canvas::Batch batch(canvas);
    // Pixels relative to the view's top left, rounded to the nearest integer, halves to even.
    const double left = canvas.scaleLeft();
    const double top = canvas.scaleTop();
    const double sx = canvas.width() / (canvas.scaleRight() - left);
    const double sy = canvas.height() / (top - canvas.scaleBottom());
    // A road whose box lies this far outside the canvas cannot mark a pixel of it.
    constexpr double kMargin = 3;
    const double maxX = canvas.width() + kMargin;
    const double maxY = canvas.height() + kMargin;
    int pen = -1;
    for (size_t r = 0; r < m_roads.roads.size(); ++r) {
        if (yield && (r & 1023) == 0)
            yield();
        const int c = m_class[r];
        if (c < 0 || !ticked[static_cast<size_t>(c)])
            continue;
        const store::RoadSet::Road& road = m_roads.roads[r];
        if (road.count == 0)
            continue;
        const auto& box = m_box[r];
        const double x0 = (box[0] - left) * sx, x1 = (box[1] - left) * sx;
        const double y0 = (top - box[3]) * sy, y1 = (top - box[2]) * sy;
        if (x1 < -kMargin || x0 > maxX || y1 < -kMargin || y0 > maxY)
            continue;
        if (pen != c) {
            canvas.setForeColor(colors.color[static_cast<size_t>(c)]);
            canvas.setDrawWidth(widthOf(c));
            pen = c;
        }
        if (m_buffer.size() < static_cast<qsizetype>(road.count) + 1)
            m_buffer.resize(static_cast<qsizetype>(road.count) + 1);
        QPoint* begin = m_buffer.data();
        QPoint* out = begin;
        const double* v = m_roads.coords.data() + 2 * road.first;
        for (quint32 i = 0; i < road.count; ++i, v += 2) {
            const QPoint q(static_cast<int>(std::nearbyint((v[0] - left) * sx)), static_cast<int>(std::nearbyint((top - v[1]) * sy)));
            if (out == begin || out[-1] != q)
                *out++ = q;
        }
        int count = static_cast<int>(out - begin);
        if (count == 1) {
            // A road within one pixel still marks it.
            begin[1] = begin[0];
            count = 2;
        }
        canvas.polyline(begin, count);
    }
    canvas.setDrawWidth(1);
    canvas.setForeColor(0);
}

void drawRoadsOn(QPainter& painter, RoadLayer& layer, const platform::Canvas& scene, const RoadColors& colors,
                 const RoadClasses& ticked)
{
    platform::Canvas vector(scene.width(), scene.height());
    vector.setScale(scene.scaleLeft(), scene.scaleTop(), scene.scaleRight(), scene.scaleBottom());
    vector.setTargetPainter(&painter);
    layer.draw(vector, colors, ticked);
}

} // namespace miratos::layers
