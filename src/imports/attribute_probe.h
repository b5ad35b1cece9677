#pragma once
// Where a download's attribute names can be looked for without reading it: the .dbf beside a
// .shp, else the file itself.
#include <QByteArray>
#include <QString>

namespace miratos::imports {

// The first `bytes` bytes of that file and, with withEnd, its last `bytes` too (TopoJSON keeps
// the attributes after the coordinates). Empty when it cannot be read.
QByteArray attributeProbe(const QString& path, qint64 bytes, bool withEnd = false);

} // namespace miratos::imports
