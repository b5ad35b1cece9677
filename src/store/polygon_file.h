#pragma once
// Polygon.dat: one record per municipality polygon, two lines each: the polygon key, then its
// ring of line keys joined by "@" (see map_keys.h).
#include "platform/result.h"

#include <QString>
#include <QVector>

namespace miratos::store {

struct PolygonRecord {
    QString key;
    QString ring;

    bool operator==(const PolygonRecord&) const = default;
};

Result<QVector<PolygonRecord>> readPolygonFile(const QString& path);
Status writePolygonFile(const QString& path, const QVector<PolygonRecord>& records);

} // namespace miratos::store
