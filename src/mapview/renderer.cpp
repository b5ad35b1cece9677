#include "mapview/renderer.h"

#include "mapview/ring_geometry.h"

#include "platform/number_text.h"

#include <cmath>

namespace miratos::mapview {
namespace {
constexpr int kWhite = 16777215;
constexpr int kBlack = 0;
constexpr int kYellow = 65535;
const QString kWaterClass = QStringLiteral("8154");

int colorNumber(const QString& text, int fallback)
{
    const auto v = platform::toNumber(text);
    return v ? static_cast<int>(*v) : fallback;
}
} // namespace

MapMode mapModeOf(const QString& mode)
{
    if (mode == QLatin1String("Japan"))
        return MapMode::Japan;
    if (mode == QLatin1String("Pref"))
        return MapMode::Pref;
    if (mode == QLatin1String("City"))
        return MapMode::City;
    return MapMode::Other;
}

void Renderer::yield()
{
    if (m_yield)
        m_yield();
}

void Renderer::points(const QVector<QPointF>& pts, bool filled)
{
    // Pixel = (x - X1) * W / (X2 - X1), rounded; the factors are computed once per shape.
    const double sx = m_canvas.width() / (m_canvas.scaleRight() - m_canvas.scaleLeft());
    const double sy = m_canvas.height() / (m_canvas.scaleTop() - m_canvas.scaleBottom());
    const double left = m_canvas.scaleLeft();
    const double top = m_canvas.scaleTop();
    m_buffer.resize(pts.size());
    QPoint* begin = m_buffer.data();
    QPoint* out = begin;
    for (const QPointF& p : pts) {
        const QPoint q(static_cast<int>(std::lround((p.x() - left) * sx)), static_cast<int>(std::lround((top - p.y()) * sy)));
        // Consecutive points on the same pixel draw nothing new; dense data has many of them.
        if (out == begin || out[-1] != q)
            *out++ = q;
    }
    m_buffer.resize(out - begin);
    if (m_buffer.size() == 1)
        m_buffer.append(m_buffer.front()); // a line within one pixel still marks that pixel
    if (filled)
        m_canvas.polygon(m_buffer.constData(), static_cast<int>(m_buffer.size()));
    else
        m_canvas.polyline(m_buffer.constData(), static_cast<int>(m_buffer.size()));
}

QVector<QPointF> Renderer::assemble(const ResolvedRing& lines) const
{
    return ringPoints(m_tables, lines);
}

void Renderer::ring(const ResolvedRing& lines, bool filled)
{
    points(assemble(lines), filled);
}

void Renderer::drawAllLines(MapMode mode)
{
    if (mode == MapMode::Pref) {
        for (const LineRecord& line : m_tables.LineRecords) {
            points(line.points, false);
            yield();
        }
    } else if (mode == MapMode::City) {
        for (const DistrictRecord& d : m_tables.DistrictRecords) {
            for (const auto& r : d.rings)
                points(r, false);
            yield();
        }
    }
}

void Renderer::drawPrefLines(MapMode mode)
{
    m_canvas.setDrawWidth(mode == MapMode::Pref ? 2 : 1);
    for (const auto& row : m_tables.lvwPrefLineOnly) {
        if (const auto* pts = m_tables.linePoints(row.key))
            points(*pts, false);
        yield();
    }
    m_canvas.setDrawWidth(1);
}

void Renderer::drawFilled(MapMode mode)
{
    auto fillRing = [&](const QString& firstKeyText, const ResolvedRing& lines) {
        QString code = firstKeyText;
        if (code.startsWith(QLatin1Char('_')))
            code.remove(0, 1);
        const int pref = code.left(2).toInt();
        const QString colour = pref >= 1 && pref <= 47 ? m_state.PrefTable[static_cast<size_t>(pref)][2] : QString();
        m_canvas.setFillColor(colorNumber(colour, kYellow));
        ring(lines, true);
        yield();
    };
    m_canvas.setFillStyle(platform::Canvas::Solid);
    if (mode == MapMode::Japan) {
        int index = 0;
        for (const auto& row : m_tables.lvwOrgPrefLine)
            fillRing(row.text, m_tables.orgPrefLineRings[static_cast<size_t>(index++)]);
    } else if (mode == MapMode::Pref) {
        for (const PolygonRecord& p : m_tables.PolygonRecords)
            fillRing(p.ring, p.lines);
    }
}

void Renderer::districtRings(const DistrictRecord& d, int outerColor, int outerStyle)
{
    for (int j = 0; j < d.rings.size(); ++j) {
        if (j == 0) {
            m_canvas.setFillStyle(outerStyle);
            m_canvas.setFillColor(outerColor);
        } else {
            m_canvas.setFillStyle(platform::Canvas::Solid);
            m_canvas.setFillColor(kBlack);
        }
        points(d.rings.at(j), true);
    }
}

void Renderer::drawFilledDistricts()
{
    const int water = state::rgbColor(m_water.red, m_water.green, m_water.blue);
    for (const DistrictRecord& d : m_tables.DistrictRecords) {
        if (d.areaClass == kWaterClass) {
            districtRings(d, water, m_water.style);
        } else {
            const auto* row = m_tables.lvwTikuColor.find(d.code.left(5) + QLatin1Char('G'));
            districtRings(d, row ? colorNumber(row->text, kYellow) : kYellow, platform::Canvas::Solid);
        }
        yield();
    }
    m_canvas.setFillStyle(platform::Canvas::Solid);
}

int Renderer::rankColorOf(const QString& value, bool* topRank) const
{
    if (topRank)
        *topRank = false;
    const auto number = platform::toNumber(value);
    if (!number)
        return kWhite;
    const float v = static_cast<float>(*number);
    const int count = m_state.RankCount;
    for (int r = 1; r <= count && r < static_cast<int>(m_state.RankBound.size()); ++r) {
        const auto& bound = m_state.RankBound[static_cast<size_t>(r)];
        if (bound[0] <= v && v < bound[1]) {
            if (topRank)
                *topRank = r == count;
            return r < static_cast<int>(m_state.RankColor.size()) ? m_state.RankColor[static_cast<size_t>(r)] : kWhite;
        }
    }
    return kWhite;
}

int Renderer::statisticColor(KeyedTable::Row* row, int valueItem, int cacheItem, int markItem)
{
    // No number (non-numeric, secret, unmatched): grey when the painted ranking asks for it.
    if (!row || !platform::isNumeric(row->subItem(valueItem)))
        return m_state.StatPainted.noDataGrey ? state::kNoDataGrey : kWhite;
    if (colorCacheValid)
        return colorNumber(row->subItem(cacheItem), kWhite);
    bool top = false;
    const int colour = rankColorOf(row->subItem(valueItem), &top);
    row->setSubItem(cacheItem, QString::number(colour));
    if (markItem > 0 && top)
        row->setSubItem(markItem, QStringLiteral("1"));
    return colour;
}

void Renderer::drawStatistic(MapMode mode)
{
    // Colours worked out anew come from the ranking as it stands now; cached ones from the
    // ranking recorded when they were worked out.
    if (!colorCacheValid) {
        const int count = std::min<int>(m_state.RankCount, static_cast<int>(m_state.RankBound.size()) - 1);
        m_state.StatPainted = {m_state.StatItemName, static_cast<int16_t>(std::max(count, 0)), m_state.RankBound, m_state.RankColor,
                               m_state.RankScheme.noDataGrey};
    }
    m_canvas.setFillStyle(platform::Canvas::Solid);
    if (mode == MapMode::Japan) {
        for (auto& row : m_tables.lvwUsePref) {
            m_canvas.setFillColor(statisticColor(&row, 3, 4, 0));
            // The prefecture's rings: the run of rows from the first whose text starts with its code.
            const QString code = row.key.mid(1);
            bool inRun = false;
            int index = 0;
            for (const auto& ringRow : m_tables.lvwOrgPrefLine) {
                QString first = ringRow.text;
                if (first.startsWith(QLatin1Char('_')))
                    first.remove(0, 1);
                const bool ours = first.startsWith(code);
                if (ours) {
                    inRun = true;
                    ring(m_tables.orgPrefLineRings[static_cast<size_t>(index)], true);
                } else if (inRun) {
                    break;
                }
                ++index;
            }
            yield();
        }
    } else if (mode == MapMode::Pref) {
        for (const TikuRecord& rec : m_tables.TikuRecords) {
            if (rec.polygonKey.left(2) != rec.code.left(2))
                continue;
            m_canvas.setFillColor(statisticColor(m_tables.lvwUseTiku.find(QStringLiteral("G") + rec.code), 3, 4, 0));
            if (const auto* polygon = m_tables.lvwPolygon.find(rec.polygonKey)) {
                const int index = m_tables.polygonIndex.value(rec.polygonKey, -1);
                if (index >= 0)
                    ring(m_tables.PolygonRecords[static_cast<size_t>(index)].lines, true);
                else
                    ring(m_tables.resolveRing(polygon->text), true);
            }
            yield();
        }
    } else if (mode == MapMode::City) {
        const int water = state::rgbColor(m_water.red, m_water.green, m_water.blue);
        for (const DistrictRecord& d : m_tables.DistrictRecords) {
            const int colour = statisticColor(m_tables.lvwUseTiku.find(QStringLiteral("G") + d.code), 1, 2, 3);
            if (d.areaClass == kWaterClass && !m_state.RankWater)
                districtRings(d, water, m_water.style);
            else
                districtRings(d, colour, platform::Canvas::Solid);
            yield();
        }
        m_canvas.setFillStyle(platform::Canvas::Solid);
    }
    colorCacheValid = true;
}

void Renderer::drawBoundaries(MapMode mode, int style)
{
    platform::Canvas::Batch batch(m_canvas);
    switch (style) {
    case LinesOnly:
        if (mode == MapMode::Japan) {
            drawPrefLines(mode);
        } else {
            drawAllLines(mode);
            if (mode == MapMode::Pref)
                drawPrefLines(mode);
        }
        m_state.StatDrawn = false;
        break;
    case PrefLinesOnly:
        if (mode == MapMode::Pref)
            drawPrefLines(mode);
        break;
    case Filled:
        if (mode == MapMode::City) {
            drawFilledDistricts();
        } else {
            drawFilled(mode);
            if (mode == MapMode::Pref)
                drawPrefLines(mode);
        }
        m_state.StatDrawn = false;
        break;
    case StatisticFill:
        drawStatistic(mode);
        if (mode == MapMode::Pref)
            drawPrefLines(mode);
        m_state.StatDrawn = true;
        break;
    default:
        break;
    }
}

} // namespace miratos::mapview
