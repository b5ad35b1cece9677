#include "store/line_file.h"

#include "store/record_lines.h"

namespace miratos::store {

Result<QVector<LineRecord>> readLineFile(const QString& path)
{
    auto lines = readRecordLines(path, 2);
    if (!lines)
        return Error{lines.error()};
    QVector<LineRecord> records;
    records.reserve(lines->size() / 2);
    for (qsizetype i = 0; i < lines->size(); i += 2)
        records.append({lines->at(i), lines->at(i + 1)});
    return records;
}

Status writeLineFile(const QString& path, const QVector<LineRecord>& records)
{
    QStringList lines;
    lines.reserve(records.size() * 2);
    for (const LineRecord& r : records)
        lines << r.key << r.coords;
    return writeRecordLines(path, lines);
}

} // namespace miratos::store
