#include "store/point_file.h"

#include "store/coord_list.h"
#include "store/record_lines.h"

namespace miratos::store {

namespace {

Result<QVector<PointRecord>> read(const QString& path, QStringList* skipped)
{
    auto lines = readRecordLines(path, 2, 0, skipped);
    if (!lines)
        return Error{lines.error()};
    QVector<PointRecord> records;
    records.reserve(lines->size() / 2);
    QVector<QPointF> point;
    for (qsizetype i = 0; i < lines->size(); i += 2) {
        if (!parseLatLonList(lines->at(i + 1), point) || point.size() != 1) {
            const QString why = QStringLiteral("点「%1」が「緯度 経度」ではありません").arg(lines->at(i + 1));
            if (!skipped)
                return Error{QStringLiteral("%1: %2 行目: %3").arg(displayPath(path)).arg(i + 2).arg(why)};
            *skipped << skippedNote(path, i + 1, why);
            continue;
        }
        records.append({lines->at(i), lines->at(i + 1)});
    }
    return records;
}

} // namespace

Result<QVector<PointRecord>> readPointFile(const QString& path)
{
    return read(path, nullptr);
}

Result<QVector<PointRecord>> readPointFileSkippingBad(const QString& path, QStringList& skipped)
{
    return read(path, &skipped);
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
