#include "mapview/hover_index.h"

#include "mapview/ring_geometry.h"

#include "platform/number_text.h"

#include <algorithm>
#include <cmath>

namespace miratos::mapview {
namespace {
constexpr int kGrid = 64; // cells per side over the regions' extent
constexpr QChar kIdeographicSpace(0x3000);

QRectF boxOf(const QVector<QVector<QPointF>>& rings)
{
    double x1 = 1e9, y1 = 1e9, x2 = -1e9, y2 = -1e9;
    for (const auto& ring : rings) {
        for (const QPointF& p : ring) {
            x1 = std::min(x1, p.x());
            x2 = std::max(x2, p.x());
            y1 = std::min(y1, p.y());
            y2 = std::max(y2, p.y());
        }
    }
    return x1 > x2 ? QRectF() : QRectF(QPointF(x1, y1), QPointF(x2, y2));
}

// Even-odd over all the region's rings, so that a hole is outside.
bool inside(const QVector<QVector<QPointF>>& rings, double x, double y)
{
    bool in = false;
    for (const auto& ring : rings)
        in ^= insideRing(QPointF(x, y), ring);
    return in;
}

QString municipalityName(const state::MdlMain& state, const QString& code)
{
    for (const auto& row : state.TikuTable) {
        if (!row[3].isEmpty() && row[3] == code)
            return row[0];
    }
    return QString();
}

void collectJapan(std::vector<HoverRegion>& out, const MapTables& tables)
{
    for (const auto& row : tables.lvwUsePref) {
        HoverRegion region{row.text, row.key, 3, {}, {}};
        const QString code = row.key.mid(1);
        int index = 0;
        for (const auto& ringRow : tables.lvwOrgPrefLine) {
            const QString first = ringRow.text.startsWith(QLatin1Char('_')) ? ringRow.text.mid(1) : ringRow.text;
            if (first.startsWith(code) && index < static_cast<int>(tables.orgPrefLineRings.size()))
                region.rings.append(ringPoints(tables, tables.orgPrefLineRings[static_cast<size_t>(index)]));
            ++index;
        }
        out.push_back(std::move(region));
    }
}

void collectPref(std::vector<HoverRegion>& out, const MapTables& tables)
{
    for (const TikuRecord& rec : tables.TikuRecords) {
        if (rec.polygonKey.left(2) != rec.code.left(2))
            continue;
        const int index = tables.polygonIndex.value(rec.polygonKey, -1);
        if (index < 0)
            continue;
        HoverRegion region{rec.nameParts.split(QLatin1Char('@')).join(QString()), QStringLiteral("G") + rec.code, 3, {}, {}};
        region.rings.append(ringPoints(tables, tables.PolygonRecords[static_cast<size_t>(index)].lines));
        out.push_back(std::move(region));
    }
}

void collectCity(std::vector<HoverRegion>& out, const MapTables& tables, const state::MdlMain& state)
{
    for (const DistrictRecord& d : tables.DistrictRecords)
        out.push_back({municipalityName(state, d.code.left(5)) + d.townName, QStringLiteral("G") + d.code, 1, d.rings, {}});
}

// The rank of a value among the painted ranks, 0 when none holds it.
int paintedRank(const state::PaintedRanking& painted, float v)
{
    for (int r = 1; r <= painted.count && r < static_cast<int>(painted.bounds.size()); ++r) {
        const auto& bound = painted.bounds[static_cast<size_t>(r)];
        if (bound[0] <= v && v < bound[1])
            return r;
    }
    return 0;
}
} // namespace

void HoverIndex::clear()
{
    m_regions.clear();
    m_cells.clear();
    m_columns = m_rows = 0;
}

void HoverIndex::build(const MapTables& tables, const state::MdlMain& state, MapMode mode)
{
    clear();
    if (mode == MapMode::Japan)
        collectJapan(m_regions, tables);
    else if (mode == MapMode::Pref)
        collectPref(m_regions, tables);
    else if (mode == MapMode::City)
        collectCity(m_regions, tables, state);
    m_bounds = QRectF();
    for (HoverRegion& r : m_regions) {
        r.box = boxOf(r.rings);
        if (!r.box.isNull())
            m_bounds = m_bounds.isNull() ? r.box : m_bounds.united(r.box);
    }
    if (m_bounds.isNull())
        return;
    m_columns = m_rows = kGrid;
    m_cells.assign(static_cast<size_t>(kGrid * kGrid), {});
    for (int i = 0; i < static_cast<int>(m_regions.size()); ++i) {
        const QRectF& b = m_regions[static_cast<size_t>(i)].box;
        if (b.isNull())
            continue;
        const int c1 = cellOf(b.left(), b.top()), c2 = cellOf(b.right(), b.bottom());
        for (int row = c1 / kGrid; row <= c2 / kGrid; ++row) {
            for (int col = c1 % kGrid; col <= c2 % kGrid; ++col)
                m_cells[static_cast<size_t>(row * kGrid + col)].push_back(i);
        }
    }
}

int HoverIndex::cellOf(double lon, double lat) const
{
    const double fx = (lon - m_bounds.left()) / std::max(m_bounds.width(), 1e-9);
    const double fy = (lat - m_bounds.top()) / std::max(m_bounds.height(), 1e-9);
    const int col = std::clamp(static_cast<int>(fx * m_columns), 0, m_columns - 1);
    const int row = std::clamp(static_cast<int>(fy * m_rows), 0, m_rows - 1);
    return row * m_columns + col;
}

const HoverRegion* HoverIndex::at(double lon, double lat) const
{
    if (m_cells.empty() || !m_bounds.contains(QPointF(lon, lat)))
        return nullptr;
    for (int i : m_cells[static_cast<size_t>(cellOf(lon, lat))]) {
        const HoverRegion& r = m_regions[static_cast<size_t>(i)];
        if (r.box.contains(QPointF(lon, lat)) && inside(r.rings, lon, lat))
            return &r;
    }
    return nullptr;
}

QString readableValue(const QString& value)
{
    QString text = value.trimmed();
    const bool negative = text.startsWith(QLatin1Char('-'));
    QString digits = negative ? text.mid(1) : text;
    auto allDigits = [](const QString& part) {
        return !part.isEmpty() && std::all_of(part.begin(), part.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; });
    };
    QString fraction;
    if (const qsizetype dot = digits.indexOf(QLatin1Char('.')); dot >= 0) {
        fraction = digits.mid(dot + 1);
        digits.truncate(dot);
        if (!allDigits(fraction))
            return text;
        // A computed column carries every digit of its division: two decimals read better.
        if (fraction.size() > 2) {
            const QString rounded = QString::number(text.toDouble(), 'f', 2);
            return readableValue(rounded);
        }
    }
    if (!allDigits(digits))
        return text;
    QString grouped;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += QLatin1Char(',');
        grouped += digits[i];
    }
    if (!fraction.isEmpty())
        grouped += QLatin1Char('.') + fraction;
    return negative ? QStringLiteral("-") + grouped : grouped;
}

QString hoverStatus(const HoverRegion* region, const MapTables& tables, const state::MdlMain& state)
{
    if (!region)
        return QString();
    QString text = region->name;
    const state::PaintedRanking& painted = state.StatPainted;
    if (!state.StatDrawn || painted.count <= 0)
        return text;
    const KeyedTable& table = region->valueItem == 3 && region->rowKey.startsWith(QLatin1Char('K')) ? tables.lvwUsePref : tables.lvwUseTiku;
    const auto* row = table.find(region->rowKey);
    const QString value = row ? row->subItem(region->valueItem) : QString();
    const auto number = platform::toNumber(value);
    if (!number)
        return text;
    text += kIdeographicSpace + painted.itemName + QLatin1Char(' ') + readableValue(value);
    if (const int rank = paintedRank(painted, static_cast<float>(*number)))
        text += kIdeographicSpace + QStringLiteral("ランク ") + QString::number(rank);
    return text;
}

} // namespace miratos::mapview
