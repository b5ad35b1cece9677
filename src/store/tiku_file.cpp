#include "store/tiku_file.h"

#include "store/record_lines.h"

namespace miratos::store {

namespace {

Result<QVector<TikuRecord>> read(const QString& path, QStringList* skipped)
{
    auto lines = readRecordLines(path, 3, 0, skipped);
    if (!lines)
        return Error{lines.error()};
    QVector<TikuRecord> records;
    records.reserve(lines->size() / 3);
    for (qsizetype i = 0; i < lines->size(); i += 3)
        records.append({lines->at(i), lines->at(i + 1), lines->at(i + 2)});
    return records;
}

} // namespace

Result<QVector<TikuRecord>> readTikuFile(const QString& path)
{
    return read(path, nullptr);
}

Result<QVector<TikuRecord>> readTikuFileSkippingBad(const QString& path, QStringList& skipped)
{
    return read(path, &skipped);
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
