#include "store/road_files.h"

#include "platform/cp932.h"
#include "platform/number_text.h"
#include "platform/text_file.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <charconv>
#include <cmath>
#include <limits>

namespace miratos::store {
namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

bool isLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The first "@" of a CP932 line that is a character of its own, not the second byte of a
// double-byte character; -1 when there is none.
qsizetype findAt(const char* line, qsizetype size, bool cp932)
{
    for (qsizetype i = 0; i < size; ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (c == '@')
            return i;
        if (cp932 && isLeadByte(c))
            ++i;
    }
    return -1;
}

QString lineList(const std::vector<int>& lines)
{
    QStringList shownLines;
    for (size_t i = 0; i < lines.size() && i < 5; ++i)
        shownLines << QString::number(lines[i]);
    if (lines.size() > 5)
        shownLines << QStringLiteral("…");
    return shownLines.join(QStringLiteral(", "));
}

} // namespace

RoadNameRead readRoadNames(const QString& path)
{
    RoadNameRead read;
    if (!QFileInfo::exists(path))
        return read;
    read.present = true;
    auto lines = platform::readTextLines(path);
    if (!lines) {
        read.problems << lines.error();
        return read;
    }
    std::vector<int> shortLines;
    std::vector<int> duplicates;
    QHash<QString, int> seen;
    read.rows.reserve(static_cast<size_t>(lines->size()));
    for (qsizetype n = 0; n < lines->size(); ++n) {
        const QString& line = lines->at(n);
        if (line.isEmpty())
            continue;
        QStringList parts = line.split(QLatin1Char('@'));
        if (parts.size() < 5) {
            shortLines.push_back(static_cast<int>(n + 1));
            continue;
        }
        RoadNameRow row{parts[0], parts[1], parts[2], parts[3], parts.mid(4).join(QLatin1Char('@'))};
        if (seen.contains(row.key)) {
            duplicates.push_back(static_cast<int>(n + 1));
            continue;
        }
        seen.insert(row.key, 0);
        read.rows.push_back(std::move(row));
    }
    if (!shortLines.empty()) {
        read.problems << QStringLiteral("%1: 「@」で 5 つに分けられない %2 行を読み飛ばしました（%3 行目）")
                             .arg(shown(path))
                             .arg(shortLines.size())
                             .arg(lineList(shortLines));
    }
    if (!duplicates.empty()) {
        read.problems << QStringLiteral("%1: 前の行と同じ道路番号の %2 行を読み飛ばしました（%3 行目）")
                             .arg(shown(path))
                             .arg(duplicates.size())
                             .arg(lineList(duplicates));
    }
    return read;
}

RoadFileRead readRoadFile(const QString& path, RoadSet& set, const std::function<bool(double, double)>& keep,
                          const std::function<void()>& yield)
{
    RoadFileRead read;
    if (!QFileInfo::exists(path))
        return read;
    read.present = true;
    auto bytes = platform::readFileBytes(path);
    if (!bytes) {
        read.problems << bytes.error();
        return read;
    }
    if (platform::isUtf16(*bytes)) {
        read.problems << platform::utf16Refusal(path);
        return read;
    }
    const platform::TextEncoding encoding = platform::detectEncoding(*bytes);
    const bool cp932 = encoding == platform::TextEncoding::Cp932;
    QByteArrayView text(*bytes);
    if (!cp932)
        text = text.sliced(std::min<qsizetype>(3, text.size())); // the UTF-8 byte order mark
    // Many roads share a key: one string each.
    QHash<QByteArray, QString> keys;
    std::vector<int> badLines;
    int lineNo = 0;
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    for (const QByteArrayView lineView : platform::splitByteLines(text)) {
        ++lineNo;
        if (yield && lineNo % 4096 == 0)
            yield();
        const char* line = lineView.data();
        const char* const lineEnd = line + lineView.size();
        if (lineEnd == line)
            continue;
        const qsizetype at = findAt(line, lineEnd - line, cp932);
        if (at < 0) {
            badLines.push_back(lineNo);
            continue;
        }
        ++read.lines;
        const QByteArray keyBytes(line, at);
        auto it = keys.constFind(keyBytes);
        if (it == keys.constEnd())
            it = keys.insert(keyBytes, platform::decodeText(keyBytes, encoding));

        // Values separated by spaces; trailing spaces and runs of spaces carry no value.
        const size_t firstValue = set.coords.size();
        const char* q = line + at + 1;
        bool bad = false;
        while (q < lineEnd) {
            while (q < lineEnd && *q == ' ')
                ++q;
            if (q >= lineEnd)
                break;
            const char* tokenEnd = q;
            while (tokenEnd < lineEnd && *tokenEnd != ' ')
                ++tokenEnd;
            const auto value = platform::parseNumber(QByteArrayView(q, tokenEnd - q));
            if (!value) {
                bad = true;
                break;
            }
            set.coords.push_back(*value);
            q = tokenEnd;
        }
        if ((set.coords.size() - firstValue) % 2 != 0)
            set.coords.pop_back(); // a longitude without its latitude
        if (bad)
            badLines.push_back(lineNo);
        const size_t count = (set.coords.size() - firstValue) / 2;
        const double lon = count > 0 ? set.coords[firstValue] : nan;
        const double lat = count > 0 ? set.coords[firstValue + 1] : nan;
        if (!keep || keep(lon, lat)) {
            set.roads.push_back({*it, static_cast<quint32>(firstValue / 2), static_cast<quint32>(count)});
            ++read.kept;
        } else {
            set.coords.resize(firstValue);
        }
    }
    if (!badLines.empty()) {
        read.problems << QStringLiteral("%1: 座標が数値でない %2 行がありました（%3 行目）")
                             .arg(shown(path))
                             .arg(badLines.size())
                             .arg(lineList(badLines));
    }
    return read;
}

void appendRoadKey(QByteArray& out, bool numbered, QByteArrayView routeNumber)
{
    if (numbered) {
        out += 'R';
        out += routeNumber;
    }
    out += '@';
}

void appendRoadValue(QByteArray& out, float value)
{
    // The same general form as formatSingle, written straight into the bytes.
    char buf[40];
    char* last = buf;
    if (value == 0) {
        *last++ = '0';
    } else {
        const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<double>(value), std::chars_format::general, 7);
        last = ec == std::errc() ? ptr : buf;
        for (char* c = buf; c < last; ++c) {
            if (*c >= 'a' && *c <= 'z')
                *c = static_cast<char>(*c - 'a' + 'A');
        }
    }
    *last++ = ' ';
    out.append(buf, last - buf);
}

Result<QByteArray> encodeRoadNames(const std::vector<RoadNameRow>& rows)
{
    QString text;
    for (size_t r = 0; r < rows.size(); ++r) {
        const RoadNameRow& row = rows[r];
        const QString* fields[] = {&row.key, &row.roadClass, &row.name1, &row.name2, &row.name3};
        for (int f = 0; f < 5; ++f) {
            const QString& value = *fields[f];
            if (value.contains(QLatin1Char('@')) || value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
                return Error{QStringLiteral("%1: %2 行目の値が「@」か改行を含んでいます").arg(QString::fromUtf16(kRoadNameFile)).arg(r + 1)};
            if (f > 0)
                text += QLatin1Char('@');
            text += value;
        }
        text += QLatin1String("\r\n");
    }
    auto bytes = platform::toCp932(text);
    if (!bytes)
        return Error{QStringLiteral("%1: %2").arg(QString::fromUtf16(kRoadNameFile), bytes.error())};
    return std::move(*bytes);
}

} // namespace miratos::store
