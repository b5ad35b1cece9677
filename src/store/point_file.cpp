#include "store/point_file.h"

#include "store/record_lines.h"

namespace miratos::store {

Result<QVector<PointRecord>> readPointFile(const QString& path)
{
    auto lines = readRecordLines(path, 2);
    if (!lines)
        return Error{lines.error()};
    QVector<PointRecord> records;
    records.reserve(lines->size() / 2);
    for (qsizetype i = 0; i < lines->size(); i += 2)
        records.append({lines->at(i), lines->at(i + 1)});
    return records;
}

Status writePointFile(const QString& path, const QVector<PointRecord>& records)
{
    QStringList lines;
    lines.reserve(records.size() * 2);
    for (const PointRecord& r : records)
        lines << r.key << r.point;
    return writeRecordLines(path, lines);
}

} // namespace miratos::store
