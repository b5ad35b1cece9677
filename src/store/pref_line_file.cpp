#include "store/pref_line_file.h"

#include "store/record_lines.h"

namespace miratos::store {

Result<QStringList> readPrefLineFile(const QString& path)
{
    return readRecordLines(path, 1);
}

Status writePrefLineFile(const QString& path, const QStringList& rings)
{
    return writeRecordLines(path, rings);
}

} // namespace miratos::store
