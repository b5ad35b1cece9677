#include "store/record_lines.h"

#include "platform/text_file.h"

#include <QDir>
#include <algorithm>

namespace miratos::store {

QString displayPath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString skippedNote(const QString& path, qsizetype line, const QString& why)
{
    return QStringLiteral("%1: %2 行目: %3（飛ばしました）").arg(displayPath(path)).arg(line).arg(why);
}

Result<QStringList> readRecordLines(const QString& path, int recordSize, int headerLines, QStringList* skipped)
{
    auto lines = platform::readTextLines(path);
    if (!lines)
        return Error{lines.error()};
    const qsizetype count = lines->size();
    if (count < headerLines)
        return Error{QStringLiteral("%1: 見出し行がありません").arg(displayPath(path))};
    const qsizetype rest = (count - headerLines) % recordSize;
    if (rest != 0) {
        const qsizetype record = (count - headerLines) / recordSize + 1;
        const qsizetype firstLine = count - rest + 1;
        if (skipped) {
            const bool blank = std::all_of(lines->cend() - rest, lines->cend(), [](const QString& l) { return l.trimmed().isEmpty(); });
            *skipped << skippedNote(path, firstLine,
                                    blank ? QStringLiteral("余分な空行です")
                                          : QStringLiteral("%1 番目のレコードが途中で終わっています（%2 行のうち %3 行）")
                                                .arg(record)
                                                .arg(recordSize)
                                                .arg(rest));
            lines->resize(count - rest);
            return std::move(*lines);
        }
        return Error{QStringLiteral("%1: %2 番目のレコード（%3 行目から）が途中で終わっています（%4 行のうち %5 行）")
                         .arg(displayPath(path))
                         .arg(record)
                         .arg(firstLine)
                         .arg(recordSize)
                         .arg(rest)};
    }
    return std::move(*lines);
}

Status writeRecordLines(const QString& path, const QStringList& lines)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        if (line.contains(QLatin1Char('\n')) || line.contains(QLatin1Char('\r')))
            return Error{QStringLiteral("%1: %2 行目の値が改行を含んでいます").arg(displayPath(path)).arg(i + 1)};
    }
    return platform::writeTextLines(path, lines);
}

} // namespace miratos::store
