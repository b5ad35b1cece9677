#include "store/tiku_file.h"

#include "store/record_lines.h"

namespace miratos::store {

Result<QVector<TikuRecord>> readTikuFile(const QString& path)
{
    auto lines = readRecordLines(path, 3);
    if (!lines)
        return Error{lines.error()};
    QVector<TikuRecord> records;
    records.reserve(lines->size() / 3);
    for (qsizetype i = 0; i < lines->size(); i += 3)
        records.append({lines->at(i), lines->at(i + 1), lines->at(i + 2)});
    return records;
}

Status writeTikuFile(const QString& path, const QVector<TikuRecord>& records)
{
    QStringList lines;
    lines.reserve(records.size() * 3);
    for (const TikuRecord& r : records)
        lines << r.polygonKey << r.nameParts << r.code;
    return writeRecordLines(path, lines);
}

} // namespace miratos::store
