#pragma once
// Line.dat: one record per boundary line, two lines each: the line key, then its points as
// "lat lon lat lon ..." in drawing order.
#include "platform/result.h"

#include <QString>
#include <QVector>

namespace miratos::store {

struct LineRecord {
    QString key;
    QString coords;

    bool operator==(const LineRecord&) const = default;
};

Result<QVector<LineRecord>> readLineFile(const QString& path);
Status writeLineFile(const QString& path, const QVector<LineRecord>& records);

} // namespace miratos::store
