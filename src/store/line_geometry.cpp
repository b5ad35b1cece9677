#include "store/line_geometry.h"

#include "platform/cp932.h"
#include "platform/text_file.h"
#include "store/record_lines.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace miratos::store {

bool parseLatLonBytes(QByteArrayView text, QVector<QPointF>& out)
{
    out.clear();
    const char* p = text.data();
    const char* end = p + text.size();
    double pair[2];
    int n = 0;
    while (p < end) {
        while (p < end && *p == ' ')
            ++p;
        if (p == end)
            break;
        double v = 0;
        auto [next, ec] = std::from_chars(p, end, v);
        if (ec != std::errc() || (next < end && *next != ' ') || !std::isfinite(v))
            return false;
        pair[n++] = v;
        if (n == 2) {
            out.append(QPointF(pair[1], pair[0]));
            n = 0;
        }
        p = next;
    }
    return n == 0;
}

Result<QVector<LineGeometry>> readLineGeometry(const QString& path, const std::function<void()>& onRecord, QStringList* skipped)
{
    auto bytes = platform::readFileBytes(path);
    if (!bytes)
        return Error{bytes.error()};
    QByteArrayView data(*bytes);
    if (platform::isUtf16(data))
        return Error{platform::utf16Refusal(path)};
    const bool utf8 = data.startsWith("\xEF\xBB\xBF");
    if (utf8)
        data = data.sliced(3);
    // Lines end as splitLines ends them: at LF, or at CR in a file without any LF.
    const char eol = data.indexOf('\n') < 0 && data.indexOf('\r') >= 0 ? '\r' : '\n';

    QVector<LineGeometry> records;
    qsizetype pos = 0;
    qsizetype lineNo = 0;
    auto nextLine = [&](QByteArrayView& line) {
        if (pos >= data.size())
            return false;
        qsizetype nl = data.indexOf(eol, pos);
        qsizetype end = nl < 0 ? data.size() : nl;
        qsizetype stop = end;
        if (stop > pos && data[stop - 1] == '\r')
            --stop;
        line = data.sliced(pos, stop - pos);
        pos = nl < 0 ? data.size() : nl + 1;
        ++lineNo;
        return true;
    };
    QByteArrayView keyLine;
    QByteArrayView coordLine;
    qsizetype recordNo = 0;
    while (nextLine(keyLine)) {
        ++recordNo;
        if (!nextLine(coordLine)) {
            if (!skipped)
                return Error{QStringLiteral("%1: %2 番目のレコード（%3 行目から）が途中で終わっています（2 行のうち 1 行）")
                                 .arg(displayPath(path))
                                 .arg(recordNo)
                                 .arg(lineNo)};
            *skipped << skippedNote(path, lineNo,
                                    keyLine.trimmed().isEmpty()
                                        ? QStringLiteral("余分な空行です")
                                        : QStringLiteral("%1 番目のレコードが途中で終わっています（2 行のうち 1 行）").arg(recordNo));
            break;
        }
        LineGeometry record;
        const bool ascii = std::all_of(keyLine.begin(), keyLine.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        record.key = ascii ? QString::fromLatin1(keyLine)
                           : platform::decodeText(keyLine, utf8 ? platform::TextEncoding::Utf8 : platform::TextEncoding::Cp932);
        if (!parseLatLonBytes(coordLine, record.points)) {
            if (!skipped)
                return Error{QStringLiteral("%1: %2 行目が座標の並びではありません").arg(displayPath(path)).arg(lineNo)};
            *skipped << skippedNote(path, lineNo - 1, QStringLiteral("線「%1」の座標の並びが読めません").arg(record.key));
            continue;
        }
        records.append(std::move(record));
        if (onRecord)
            onRecord();
    }
    return records;
}

} // namespace miratos::store
