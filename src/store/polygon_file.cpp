#include "store/polygon_file.h"

#include "store/record_lines.h"

namespace miratos::store {

Result<QVector<PolygonRecord>> readPolygonFile(const QString& path)
{
    auto lines = readRecordLines(path, 2);
    if (!lines)
        return Error{lines.error()};
    QVector<PolygonRecord> records;
    records.reserve(lines->size() / 2);
    for (qsizetype i = 0; i < lines->size(); i += 2)
        records.append({lines->at(i), lines->at(i + 1)});
    return records;
}

Status writePolygonFile(const QString& path, const QVector<PolygonRecord>& records)
{
    QStringList lines;
    lines.reserve(records.size() * 2);
    for (const PolygonRecord& r : records)
        lines << r.key << r.ring;
    return writeRecordLines(path, lines);
}

} // namespace miratos::store
