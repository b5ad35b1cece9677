#include "platform/text_file.h"

#include "platform/safe_write.h"
#include "platform/read_limits.h"

#include <QDir>
#include <QFile>

namespace miratos::platform {

Result<QByteArray> readFileBytes(const QString& path)
{
    return readCheckedFile(path);
}

namespace {

// Lines of text or bytes at CR LF or LF; at CR when there is no LF at all (CR-only files).
template <class View, class Char>
std::vector<View> lineViews(View text, Char lf, Char cr)
{
    std::vector<View> lines;
    lines.reserve(static_cast<size_t>(text.size() / 40 + 1));
    const Char lineEnd = !text.contains(lf) && text.contains(cr) ? cr : lf;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype eol = text.indexOf(lineEnd, start);
        if (eol < 0)
            eol = text.size();
        qsizetype stop = eol;
        if (stop > start && text[stop - 1] == cr)
            --stop;
        lines.push_back(text.sliced(start, stop - start));
        start = eol + 1;
    }
    return lines;
}

} // namespace

QStringList splitLines(const QString& text)
{
    QStringList lines;
    const auto views = lineViews(QStringView(text), QChar(u'\n'), QChar(u'\r'));
    lines.reserve(static_cast<qsizetype>(views.size()));
    for (QStringView line : views)
        lines.append(line.toString());
    return lines;
}

std::vector<QByteArrayView> splitByteLines(QByteArrayView bytes)
{
    return lineViews(bytes, '\n', '\r');
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

Result<QString> readFirstLineGuessing(const QString& path)
{
    QFile file;
    if (Status opened = openForReading(file, path); !opened)
        return Error{opened.error()};
    QByteArray head = file.read(256 * 1024);
    // Decoded up to a line end only: a character cut at the end would spoil the guess.
    if (!file.atEnd()) {
        if (const qsizetype lf = head.lastIndexOf('\n'); lf >= 0)
            head.truncate(lf + 1);
    }
    if (isUtf16(head))
        return Error{utf16Refusal(path)};
    const QStringList lines = splitLines(decodeText(head, guessEncoding(head), nullptr));
    return lines.isEmpty() ? QString() : lines.first();
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
    return replaceFile(path, bytes);
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
    // The old content goes through the checked reader: a FIFO or a device there is refused, not read.
    QByteArray whole;
    if (auto staged = stagedContent(path)) {
        whole = std::move(*staged);
    } else if (QFile::exists(path)) {
        auto old = readFileBytes(path);
        if (!old)
            return Error{old.error()};
        whole = std::move(*old);
    }
    whole += *bytes;
    return writeFileAtomically(path, whole);
}

} // namespace miratos::platform
