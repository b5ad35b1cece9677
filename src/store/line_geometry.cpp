#include "store/line_geometry.h"

#include "platform/cp932.h"
#include "platform/text_file.h"
#include "store/record_lines.h"

#include <algorithm>
#include <charconv>

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
        if (ec != std::errc() || (next < end && *next != ' '))
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

Result<QVector<LineGeometry>> readLineGeometry(const QString& path, const std::function<void()>& onRecord)
{
    auto bytes = platform::readFileBytes(path);
    if (!bytes)
        return Error{bytes.error()};
    QByteArrayView data(*bytes);
    if (data.startsWith("\xEF\xBB\xBF"))
        data = data.sliced(3);

    QVector<LineGeometry> records;
    qsizetype pos = 0;
    qsizetype lineNo = 0;
    auto nextLine = [&](QByteArrayView& line) {
        if (pos >= data.size())
            return false;
        qsizetype nl = data.indexOf('\n', pos);
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
    while (nextLine(keyLine)) {
        if (!nextLine(coordLine))
            return Error{QStringLiteral("%1: %2 番目のレコード（%3 行目から）が途中で終わっています（2 行のうち 1 行）")
                             .arg(displayPath(path))
                             .arg(records.size() + 1)
                             .arg(lineNo)};
        LineGeometry record;
        const bool ascii = std::all_of(keyLine.begin(), keyLine.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        record.key = ascii ? QString::fromLatin1(keyLine) : platform::fromCp932(keyLine);
        if (!parseLatLonBytes(coordLine, record.points))
            return Error{QStringLiteral("%1: %2 行目が座標の並びではありません").arg(displayPath(path)).arg(lineNo)};
        records.append(std::move(record));
        if (onRecord)
            onRecord();
    }
    return records;
}

} // namespace miratos::store
