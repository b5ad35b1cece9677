#pragma once
// Point.dat: the label point of each polygon, two lines each: the point key (pointKeyOf the
// polygon key), then "lat lon".
#include "platform/result.h"

#include <QString>
#include <QVector>

namespace miratos::store {

struct PointRecord {
    QString key;
    QString point;

    bool operator==(const PointRecord&) const = default;
};

Result<QVector<PointRecord>> readPointFile(const QString& path);
Status writePointFile(const QString& path, const QVector<PointRecord>& records);

} // namespace miratos::store
