#include "store/pref_line_file.h"

#include "store/record_lines.h"

namespace miratos::store {

namespace {

Result<QStringList> read(const QString& path, QStringList* skipped)
{
    auto lines = readRecordLines(path, 1);
    if (!lines)
        return Error{lines.error()};
    QStringList rings;
    rings.reserve(lines->size());
    for (qsizetype i = 0; i < lines->size(); ++i) {
        if (!lines->at(i).trimmed().isEmpty()) {
            rings.append(lines->at(i));
            continue;
        }
        if (!skipped)
            return Error{QStringLiteral("%1: %2 行目が空行です").arg(displayPath(path)).arg(i + 1)};
        *skipped << skippedNote(path, i + 1, QStringLiteral("空行です"));
    }
    return rings;
}

} // namespace

Result<QStringList> readPrefLineFile(const QString& path)
{
    return read(path, nullptr);
}

Result<QStringList> readPrefLineFileSkippingBad(const QString& path, QStringList& skipped)
{
    return read(path, &skipped);
}

Status writePrefLineFile(const QString& path, const QStringList& rings)
{
    return writeRecordLines(path, rings);
}

} // namespace miratos::store
