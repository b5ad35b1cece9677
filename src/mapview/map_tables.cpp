#include "mapview/map_tables.h"

#include "store/map_keys.h"

namespace miratos::mapview {

void mergeExtent(Extent& data, const FileExtent& file)
{
    if (data.minLon == 0 || data.minLon > file.west)
        data.minLon = file.west;
    if (data.minLat == 0 || data.minLat > file.south)
        data.minLat = file.south;
    if (data.maxLon == 0 || data.maxLon < file.east)
        data.maxLon = file.east;
    if (data.maxLat == 0 || data.maxLat < file.north)
        data.maxLat = file.north;
}

const QVector<QPointF>* MapTables::linePoints(const QString& key) const
{
    const auto it = lvwLine.constFind(key);
    return it == lvwLine.constEnd() ? nullptr : &LineRecords[static_cast<size_t>(it.value())].points;
}

ResolvedRing MapTables::resolveRing(const QString& ring) const
{
    ResolvedRing resolved;
    for (const store::RingPart& part : store::parseRing(ring)) {
        const auto it = lvwLine.constFind(part.key);
        resolved.append({it == lvwLine.constEnd() ? -1 : it.value(), part.reversed});
    }
    return resolved;
}

} // namespace miratos::mapview
