#pragma once
// Polygon.dat: one record per municipality polygon, two lines each: the polygon key, then its
// ring of line keys joined by "@" (see map_keys.h).
#include "platform/result.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace miratos::store {

struct PolygonRecord {
    QString key;
    QString ring;

    bool operator==(const PolygonRecord&) const = default;
};

// A record cut short at the end (a stray blank last line too) fails the read; the SkippingBad
// form leaves it out and notes it in skipped (file and line) instead.
Result<QVector<PolygonRecord>> readPolygonFile(const QString& path);
Result<QVector<PolygonRecord>> readPolygonFileSkippingBad(const QString& path, QStringList& skipped);
Status writePolygonFile(const QString& path, const QVector<PolygonRecord>& records);

} // namespace miratos::store
