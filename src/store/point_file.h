#pragma once
// Point.dat: the label point of each polygon, two lines each: the point key (pointKeyOf the
// polygon key), then "lat lon".
#include "platform/result.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace miratos::store {

struct PointRecord {
    QString key;
    QString point;

    bool operator==(const PointRecord&) const = default;
};

// A point that is not two finite numbers "lat lon" is a bad record, like a record cut short at
// the end. A bad record fails the read; the SkippingBad form leaves it out and
// notes it in skipped (file and line) instead.
Result<QVector<PointRecord>> readPointFile(const QString& path);
Result<QVector<PointRecord>> readPointFileSkippingBad(const QString& path, QStringList& skipped);
Status writePointFile(const QString& path, const QVector<PointRecord>& records);

} // namespace miratos::store
