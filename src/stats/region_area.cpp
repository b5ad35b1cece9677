#include "stats/region_area.h"

#include "mapview/ring_geometry.h"

#include <geodesic.h>

#include <QRectF>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace miratos::stats {

namespace {

const geod_geodesic& grs80()
{
    static const geod_geodesic g = [] {
        geod_geodesic e{};
        geod_init(&e, 6378137.0, 1.0 / 298.257222101);
        return e;
    }();
    return g;
}

} // namespace

double ringAreaKm2(const QVector<QPointF>& ring)
{
    if (ring.size() < 3)
        return 0;
    std::vector<double> lats, lons;
    lats.reserve(static_cast<size_t>(ring.size()));
    lons.reserve(static_cast<size_t>(ring.size()));
    for (const QPointF& p : ring) {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()) || std::abs(p.y()) > 90)
            return 0; // no area from a point off the globe
        lons.push_back(p.x());
        lats.push_back(p.y());
    }
    double area = 0, perimeter = 0;
    geod_polygonarea(&grs80(), lats.data(), lons.data(), static_cast<int>(lats.size()), &area, &perimeter);
    return std::isfinite(area) ? std::abs(area) / 1e6 : 0;
}

double regionAreaKm2(const QVector<QVector<QPointF>>& rings)
{
    QVector<QRectF> bounds;
    for (const auto& r : rings)
        bounds.append(r.isEmpty() ? QRectF() : QPolygonF(r).boundingRect());
    double total = 0;
    for (qsizetype i = 0; i < rings.size(); ++i) {
        if (rings.at(i).size() < 3)
            continue;
        int depth = 0;
        const QPointF probe = rings.at(i).front();
        for (qsizetype j = 0; j < rings.size(); ++j) {
            if (j != i && rings.at(j).size() >= 3 && bounds.at(j).contains(bounds.at(i)) && mapview::insideRing(probe, rings.at(j)))
                ++depth;
        }
        total += (depth % 2 ? -1 : 1) * ringAreaKm2(rings.at(i));
    }
    return std::max(total, 0.0);
}

QHash<QString, double> regionAreas(const mapview::MapTables& t, mapview::MapMode mode)
{
    QHash<QString, double> km2;
    if (mode == mapview::MapMode::City) {
        for (const mapview::DistrictRecord& d : t.DistrictRecords) {
            double area = d.rings.isEmpty() ? 0 : ringAreaKm2(d.rings.front());
            for (qsizetype j = 1; j < d.rings.size(); ++j)
                area -= ringAreaKm2(d.rings.at(j));
            km2[d.code] += std::max(area, 0.0);
        }
        return km2;
    }
    QHash<QString, QVector<QVector<QPointF>>> rings;
    if (mode == mapview::MapMode::Japan) {
        // A prefecture's rings are those whose first line key starts with its code.
        size_t index = 0;
        for (const auto& row : t.lvwOrgPrefLine) {
            QString first = row.text;
            if (first.startsWith(u'_'))
                first.remove(0, 1);
            if (index < t.orgPrefLineRings.size())
                rings[first.left(2)].append(mapview::ringPoints(t, t.orgPrefLineRings[index]));
            ++index;
        }
    } else if (mode == mapview::MapMode::Pref) {
        for (const mapview::TikuRecord& rec : t.TikuRecords) {
            if (rec.polygonKey.left(2) != rec.code.left(2))
                continue; // as the map draws them: a record of another prefecture's polygon is not drawn
            const int index = t.polygonIndex.value(rec.polygonKey, -1);
            if (index >= 0)
                rings[rec.code].append(mapview::ringPoints(t, t.PolygonRecords[static_cast<size_t>(index)].lines));
        }
    }
    for (auto it = rings.cbegin(); it != rings.cend(); ++it)
        km2.insert(it.key(), regionAreaKm2(it.value()));
    return km2;
}

const QHash<QString, double>& RegionAreas::of(const mapview::MapTables& tables, mapview::MapMode mode)
{
    if (!m_ready) {
        m_km2 = regionAreas(tables, mode);
        m_sorted.assign(m_km2.keyValueBegin(), m_km2.keyValueEnd());
        std::sort(m_sorted.begin(), m_sorted.end());
        m_ready = true;
    }
    return m_km2;
}

AreaLookup RegionAreas::lookup(const mapview::MapTables& tables, mapview::MapMode mode)
{
    return [this, &tables, mode](const QString& code) -> std::optional<double> {
        const auto& km2 = of(tables, mode);
        if (const auto it = km2.constFind(code); it != km2.constEnd())
            return *it;
        if (code.isEmpty())
            return std::nullopt;
        auto it = std::lower_bound(m_sorted.cbegin(), m_sorted.cend(), code, [](const auto& entry, const QString& c) { return entry.first < c; });
        std::optional<double> sum;
        for (; it != m_sorted.cend() && it->first.startsWith(code); ++it)
            sum = sum.value_or(0) + it->second;
        return sum;
    };
}

} // namespace miratos::stats
