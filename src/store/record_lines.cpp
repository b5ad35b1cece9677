#include "store/record_lines.h"

#include "platform/text_file.h"

#include <QDir>

namespace miratos::store {

QString displayPath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

Result<QStringList> readRecordLines(const QString& path, int recordSize, int headerLines)
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
