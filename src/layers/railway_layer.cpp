#include "layers/railway_layer.h"

#include "platform/number_text.h"

#include <QStringView>
#include <algorithm>
#include <cmath>

namespace miratos::layers {
namespace {

constexpr double kMergeDegrees = 0.005;

// The next space-separated value of text from pos, as a number.
std::optional<double> nextValue(QStringView text, qsizetype& pos)
{
    const qsizetype n = text.size();
    while (pos < n && text[pos] == QLatin1Char(' '))
        ++pos;
    if (pos >= n)
        return std::nullopt;
    qsizetype end = pos;
    while (end < n && text[end] != QLatin1Char(' '))
        ++end;
    const QByteArray bytes = text.mid(pos, end - pos).toLatin1();
    pos = end;
    return platform::parseNumber(bytes);
}

bool strictlyInside(const QPointF& p, const mapview::Extent& e)
{
    return p.y() > e.minLat && p.y() < e.maxLat && p.x() > e.minLon && p.x() < e.maxLon;
}

} // namespace

QVector<QPointF> parseRailCoords(const QString& coords)
{
    QVector<QPointF> points;
    qsizetype pos = 0;
    for (;;) {
        const auto lat = nextValue(coords, pos);
        if (!lat)
            break;
        const auto lon = nextValue(coords, pos);
        if (!lon)
            break;
        points.append(QPointF(*lon, *lat));
    }
    return points;
}

void drawRailwaysOn(QPainter& painter, RailwayLayer& layer, const platform::Canvas& scene, const mapview::Extent& dataExtent,
                    const RailwayColors& colors)
{
    platform::Canvas vector(scene.width(), scene.height());
    vector.setScale(scene.scaleLeft(), scene.scaleTop(), scene.scaleRight(), scene.scaleBottom());
    vector.setTargetPainter(&painter);
    layer.draw(vector, dataExtent, colors);
}

RailwayColors railwayColorsOf(const state::MdlMain& state)
{
    const auto& row = state.LayerProperty[5];
    RailwayColors colors;
    if (row[1].isValid())
        colors.line = state::colorValueOf(row[1]);
    if (row[2].isValid())
        colors.station = state::colorValueOf(row[2]);
    return colors;
}

int RailwayLayer::lineWidthOf(const QString& railClass)
{
    const auto value = platform::toNumber(railClass);
    return value && *value == 11 ? 2 : 1;
}

QStringList RailwayLayer::load(const QString& railwayFolder, const std::function<void()>& yield)
{
    store::RailwayRead read = store::readRailwayFiles(railwayFolder, yield);
    setTables(std::move(read.tables));
    return read.problems;
}

void RailwayLayer::setTables(store::RailwayTables tables)
{
    m_raw = std::move(tables);
    lvwLine_rr.clear();
    lvwLine_st.clear();
    lvwSameStation.clear();
    m_rrPoints.clear();
    m_rrWidth.clear();
    m_stPoints.clear();
    RailTablesBuilt = false;
    SameStationBuilt = false;
}

void RailwayLayer::buildTables(const mapview::Extent& dataExtent)
{
    if (RailTablesBuilt)
        return;
    lvwLine_rr.clear();
    lvwLine_st.clear();
    m_rrPoints.clear();
    m_stPoints.clear();
    // Only the first point is tested; a duplicate identifier keeps its first curve.
    auto filter = [&dataExtent](const std::vector<store::CurveRow>& rows, KeyedTable& table,
                                std::vector<QVector<QPointF>>& points) {
        table.reserve(static_cast<int>(rows.size()));
        for (const store::CurveRow& row : rows) {
            // The first point decides; most curves of the nationwide files lie elsewhere, so the
            // rest is parsed only for the curves kept.
            qsizetype pos = 0;
            const auto lat = nextValue(row[1], pos);
            const auto lon = lat ? nextValue(row[1], pos) : std::nullopt;
            if (!lon || !strictlyInside(QPointF(*lon, *lat), dataExtent))
                continue;
            QVector<QPointF> pts = parseRailCoords(row[1]);
            if (table.add(row[0], row[1]))
                points.push_back(std::move(pts));
        }
    };
    filter(m_raw.railCurves, lvwLine_rr, m_rrPoints);
    for (const store::RailSectionRow& section : m_raw.sections) {
        if (KeyedTable::Row* row = lvwLine_rr.find(section[1]))
            row->setSubItem(1, section[2]);
    }
    filter(m_raw.stationCurves, lvwLine_st, m_stPoints);
    for (const store::StationRow& station : m_raw.stations) {
        if (KeyedTable::Row* row = lvwLine_st.find(station[1]))
            row->setSubItem(1, station[2]);
    }
    m_rrWidth.clear();
    m_rrWidth.reserve(m_rrPoints.size());
    for (const KeyedTable::Row& row : lvwLine_rr)
        m_rrWidth.push_back(lineWidthOf(row.subItem(1)));
    RailTablesBuilt = true;
}

void RailwayLayer::drawCurve(platform::Canvas& canvas, const QVector<QPointF>& points)
{
    // Pixels relative to the view's top left, rounded to the nearest integer, halves to even.
    const double sx = canvas.width() / (canvas.scaleRight() - canvas.scaleLeft());
    const double sy = canvas.height() / (canvas.scaleTop() - canvas.scaleBottom());
    const double left = canvas.scaleLeft();
    const double top = canvas.scaleTop();
    // A curve of one point is drawn as two equal points, so the buffer holds two at least.
    m_buffer.resize(std::max<qsizetype>(points.size(), 2));
    QPoint* begin = m_buffer.data();
    QPoint* out = begin;
    for (const QPointF& p : points) {
        const QPoint q(static_cast<int>(std::nearbyint((p.x() - left) * sx)), static_cast<int>(std::nearbyint((top - p.y()) * sy)));
        if (out == begin || out[-1] != q)
            *out++ = q;
    }
    const int count = static_cast<int>(out - begin);
    if (count == 1) {
        // A curve within one pixel is passed on as a polyline of no length.
        m_buffer[1] = m_buffer[0];
        canvas.polyline(m_buffer.constData(), 2);
        return;
    }
    canvas.polyline(m_buffer.constData(), count);
}

void RailwayLayer::draw(platform::Canvas& canvas, const mapview::Extent& dataExtent, const RailwayColors& colors,
                        const std::function<void()>& yield)
{
    buildTables(dataExtent);
    platform::Canvas::Batch batch(canvas);
    canvas.setForeColor(colors.line);
    for (size_t i = 0; i < m_rrPoints.size(); ++i) {
        if (yield)
            yield();
        canvas.setDrawWidth(m_rrWidth[i]);
        drawCurve(canvas, m_rrPoints[i]);
    }
    canvas.setForeColor(colors.station);
    canvas.setDrawWidth(2);
    for (const QVector<QPointF>& points : m_stPoints) {
        if (yield)
            yield();
        drawCurve(canvas, points);
    }
    canvas.setDrawWidth(1);
    canvas.setForeColor(0);
}

void RailwayLayer::stationLabels(mapview::LabelLayer& layer, bool ticked)
{
    if (lvwLine_st.isEmpty())
        return;
    mapview::LabelArray& labels = layer.array(mapview::LabelKind::Eki);
    labels.removeCopies();
    m_labelLines.clear();
    if (!ticked)
        return;
    auto addLabel = [&layer](const QString& name, double x, double y) {
        const int index = layer.add(mapview::LabelKind::Eki, name, x, y);
        layer.array(mapview::LabelKind::Eki).edit(index).tooltip = name;
        return index;
    };
    if (SameStationBuilt) {
        size_t n = 0;
        for (const KeyedTable::Row& entry : lvwSameStation) {
            addLabel(entry.subItem(3), platform::toNumber(entry.text).value_or(0),
                     platform::toNumber(entry.subItem(1)).value_or(0));
            m_labelLines.push_back(n < m_entryLines.size() ? m_entryLines[n] : 1);
            ++n;
        }
        return;
    }
    lvwSameStation.clear();
    m_entryLines.clear();
    // Positions are kept as numbers while merging and stored as text; the text is what the
    // later creations read, so it is written with all the digits a double holds.
    for (int i = 1; i <= lvwLine_st.count(); ++i) {
        const KeyedTable::Row& curve = lvwLine_st.at(i);
        const QVector<QPointF>& pts = m_stPoints[static_cast<size_t>(i - 1)];
        double sx = 0, sy = 0;
        for (const QPointF& p : pts) {
            sx += p.x();
            sy += p.y();
        }
        const double mx = sx / pts.size();
        const double my = sy / pts.size();
        const QString name = curve.subItem(1);
        const int index = addLabel(name, mx, my);
        m_labelLines.push_back(1);
        KeyedTable::Row* first = lvwSameStation.find(name);
        if (!first) {
            lvwSameStation.add(name, platform::formatDouble(mx), {platform::formatDouble(my), QString::number(index), name});
            m_entryLines.push_back(1);
            continue;
        }
        const double ex = platform::toNumber(first->text).value_or(0);
        const double ey = platform::toNumber(first->subItem(1)).value_or(0);
        if (ex - kMergeDegrees < mx && mx < ex + kMergeDegrees && ey - kMergeDegrees < my && my < ey + kMergeDegrees) {
            const double nx = (ex + mx) / 2;
            const double ny = (ey + my) / 2;
            first->text = platform::formatDouble(nx);
            first->setSubItem(1, platform::formatDouble(ny));
            mapview::Label& kept = labels.edit(first->subItem(2).toInt());
            kept.left = nx;
            kept.top = ny;
            labels.edit(index).visible = false;
            m_labelLines[static_cast<size_t>(first->subItem(2).toInt() - 1)] += 1;
            m_labelLines.back() = 0;
            m_entryLines[static_cast<size_t>(lvwSameStation.indexOf(first->key) - 1)] += 1;
        } else {
            lvwSameStation.add(QString(), platform::formatDouble(mx), {platform::formatDouble(my), QString::number(index), name});
            m_entryLines.push_back(1);
        }
    }
    SameStationBuilt = true;
}

} // namespace miratos::layers
