#pragma once
// Line.dat read straight into points for drawing. Line.dat is by far the largest file of a
// prefecture (every boundary vertex), so it is parsed from bytes without building a QString per
// value; the key and the numbers are ASCII.
#include "platform/result.h"

#include <QPointF>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace miratos::store {

struct LineGeometry {
    QString key;
    QVector<QPointF> points; // x = longitude, y = latitude
};

// Reads every record of a Line.dat. onRecord (optional) runs after each record, for example to
// keep the window responsive. A record cut short or a coordinate list that is not an even count
// of finite numbers is an error naming the file and the line; when skipped is given, such a
// record is left out and noted there instead, and the other records are read.
Result<QVector<LineGeometry>> readLineGeometry(const QString& path, const std::function<void()>& onRecord = {},
                                               QStringList* skipped = nullptr);

// Parses "lat lon lat lon …" bytes into points; false on anything else.
bool parseLatLonBytes(QByteArrayView text, QVector<QPointF>& out);

} // namespace miratos::store
