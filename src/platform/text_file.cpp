#include "platform/text_file.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

namespace miratos::platform {

Result<QByteArray> readFileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Error{QStringLiteral("%1 を読めません: %2").arg(QDir::toNativeSeparators(path), file.errorString())};
    return file.readAll();
}

QStringList splitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    const QChar lineEnd = !text.contains(QLatin1Char('\n')) && text.contains(QLatin1Char('\r')) ? QLatin1Char('\r')
                                                                                                   : QLatin1Char('\n');
    while (start < n) {
        qsizetype end = text.indexOf(lineEnd, start);
        if (end < 0)
            end = n;
        qsizetype lineEnd = end;
        if (lineEnd > start && text.at(lineEnd - 1) == QLatin1Char('\r'))
            --lineEnd;
        lines.append(text.mid(start, lineEnd - start));
        start = end + 1;
    }
    return lines;
}

std::vector<QByteArrayView> splitByteLines(QByteArrayView bytes)
{
    std::vector<QByteArrayView> lines;
    lines.reserve(static_cast<size_t>(bytes.size() / 40 + 1));
    const char lineEnd = !bytes.contains('\n') && bytes.contains('\r') ? '\r' : '\n';
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p < end) {
        const char* eol = static_cast<const char*>(std::memchr(p, lineEnd, static_cast<size_t>(end - p)));
        const char* stop = eol ? eol : end;
        if (stop > p && stop[-1] == '\r')
            --stop;
        lines.emplace_back(p, stop - p);
        p = eol ? eol + 1 : end;
    }
    return lines;
}

Result<QStringList> readTextLines(const QString& path, qsizetype* invalid)
{
    auto bytes = readFileBytes(path);
    if (!bytes)
        return Error{bytes.error()};
    if (isUtf16(*bytes))
        return Error{utf16Refusal(path)};
    return splitLines(decodeText(*bytes, detectEncoding(*bytes), invalid));
}

Result<QStringList> readTextLinesGuessing(const QString& path, qsizetype* invalid)
{
    auto bytes = readFileBytes(path);
    if (!bytes)
        return Error{bytes.error()};
    if (isUtf16(*bytes))
        return Error{utf16Refusal(path)};
    return splitLines(decodeText(*bytes, guessEncoding(*bytes), invalid));
}

Result<QByteArray> encodeLines(const QStringList& lines, bool lastLineEnd)
{
    QByteArray out;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        auto encoded = toCp932(lines.at(i));
        if (!encoded)
            return Error{QStringLiteral("%1 行目: %2").arg(i + 1).arg(encoded.error())};
        out += *encoded;
        if (lastLineEnd || i + 1 < lines.size())
            out += "\r\n";
    }
    return out;
}

Status writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Error{QStringLiteral("%1 に書き込めません: %2").arg(QDir::toNativeSeparators(path), file.errorString())};
    // flush() before commit(), and the system's reason when Qt has none: a full disk is then
    // reported as such, not as an unknown error.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        const int cause = errno;
        QString why = file.errorString();
        if (cause != 0 && (why.isEmpty() || why == QStringLiteral("Unknown error")))
            why = QString::fromLocal8Bit(std::strerror(cause));
        return Error{QStringLiteral("%1 に書き込めません: %2").arg(QDir::toNativeSeparators(path), why)};
    }
    return {};
}

Status writeTextLines(const QString& path, const QStringList& lines, bool lastLineEnd)
{
    auto bytes = encodeLines(lines, lastLineEnd);
    if (!bytes)
        return Error{QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), bytes.error())};
    return writeFileAtomically(path, *bytes);
}

Status appendTextLines(const QString& path, const QStringList& lines)
{
    auto bytes = encodeLines(lines);
    if (!bytes)
        return Error{QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), bytes.error())};
    // The old content and the new lines are written as one new file: a write that fails part-way
    // (a full disk) leaves the old file as it was, never half a table appended.
    QByteArray whole;
    QFile old(path);
    if (old.exists()) {
        if (!old.open(QIODevice::ReadOnly))
            return Error{QStringLiteral("%1 を読めません: %2").arg(QDir::toNativeSeparators(path), old.errorString())};
        whole = old.readAll();
    }
    whole += *bytes;
    return writeFileAtomically(path, whole);
}

} // namespace miratos::platform
