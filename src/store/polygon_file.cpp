#include "store/polygon_file.h"

#include "store/record_lines.h"

namespace miratos::store {

namespace {

Result<QVector<PolygonRecord>> read(const QString& path, QStringList* skipped)
{
    auto lines = readRecordLines(path, 2, 0, skipped);
    if (!lines)
        return Error{lines.error()};
    QVector<PolygonRecord> records;
    records.reserve(lines->size() / 2);
    for (qsizetype i = 0; i < lines->size(); i += 2)
        records.append({lines->at(i), lines->at(i + 1)});
    return records;
}

} // namespace

Result<QVector<PolygonRecord>> readPolygonFile(const QString& path)
{
    return read(path, nullptr);
}

Result<QVector<PolygonRecord>> readPolygonFileSkippingBad(const QString& path, QStringList& skipped)
{
    return read(path, &skipped);
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
