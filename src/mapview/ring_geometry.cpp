#include "mapview/ring_geometry.h"

namespace miratos::mapview {

QVector<QPointF> ringPoints(const MapTables& tables, const ResolvedRing& lines)
{
    QVector<QPointF> pts;
    for (const RingLine& part : lines) {
        if (part.line < 0 || part.line >= static_cast<int>(tables.LineRecords.size()))
            continue;
        const QVector<QPointF>& line = tables.LineRecords[static_cast<size_t>(part.line)].points;
        if (part.reversed) {
            for (auto it = line.crbegin(); it != line.crend(); ++it)
                pts.append(*it);
        } else {
            pts.append(line);
        }
    }
    return pts;
}

bool insideRing(const QPointF& p, const QVector<QPointF>& ring)
{
    bool in = false;
    for (qsizetype i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const QPointF& a = ring.at(i);
        const QPointF& b = ring.at(j);
        if ((a.y() > p.y()) != (b.y() > p.y()) && p.x() < (b.x() - a.x()) * (p.y() - a.y()) / (b.y() - a.y()) + a.x())
            in = !in;
    }
    return in;
}

} // namespace miratos::mapview
