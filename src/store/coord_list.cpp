#include "store/coord_list.h"

#include "platform/number_text.h"

#include <QVarLengthArray>

#include <charconv>
#include <cmath>
#include <type_traits>

namespace miratos::store {
namespace {

QString formatPairs(const QVector<QPointF>& points, bool latitudeFirst)
{
    QString text;
    for (const QPointF& p : points) {
        if (!text.isEmpty())
            text += QLatin1Char(' ');
        text += platform::formatDouble(latitudeFirst ? p.y() : p.x());
        text += QLatin1Char(' ');
        text += platform::formatDouble(latitudeFirst ? p.x() : p.y());
    }
    return text;
}

bool parseToken(const char* first, const char* last, double& value)
{
    if (first != last && *first == '+')
        ++first;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && ptr == last && std::isfinite(value);
}

// Calls sink for each number; stops with false at the first token that is not a number.
template <class Ch, class Sink>
bool forEachNumber(const Ch* p, const Ch* end, Sink&& sink)
{
    for (;;) {
        while (p != end && *p == Ch(' '))
            ++p;
        if (p == end)
            return true;
        const Ch* tokenEnd = p;
        while (tokenEnd != end && *tokenEnd != Ch(' '))
            ++tokenEnd;
        double value = 0;
        if constexpr (std::is_same_v<Ch, char>) {
            if (!parseToken(p, tokenEnd, value))
                return false;
        } else {
            // from_chars reads bytes: copy the (ASCII) token, whatever its length, so that a
            // number the byte form reads is read here too.
            QVarLengthArray<char, 64> buffer(tokenEnd - p);
            for (qsizetype i = 0; i < buffer.size(); ++i) {
                if (p[i] > 0x7f)
                    return false;
                buffer[i] = char(p[i]);
            }
            if (!parseToken(buffer.data(), buffer.data() + buffer.size(), value))
                return false;
        }
        sink(value);
        p = tokenEnd;
    }
}

bool parsePairs(QStringView text, QVector<QPointF>& out, bool latitudeFirst)
{
    out.clear();
    double first = 0;
    bool pending = false;
    const bool ok = forEachNumber(text.utf16(), text.utf16() + text.size(), [&](double value) {
        if (!pending) {
            first = value;
        } else {
            out.append(latitudeFirst ? QPointF(value, first) : QPointF(first, value));
        }
        pending = !pending;
    });
    return ok && !pending;
}

} // namespace

QString formatLatLonList(const QVector<QPointF>& points)
{
    return formatPairs(points, true);
}

QString formatLonLatList(const QVector<QPointF>& points)
{
    return formatPairs(points, false);
}

bool parseNumberList(QByteArrayView text, QVector<double>& out)
{
    out.clear();
    return forEachNumber(text.data(), text.data() + text.size(), [&](double value) { out.append(value); });
}

bool parseNumberList(QStringView text, QVector<double>& out)
{
    out.clear();
    return forEachNumber(text.utf16(), text.utf16() + text.size(), [&](double value) { out.append(value); });
}

bool parseLatLonList(QStringView text, QVector<QPointF>& out)
{
    return parsePairs(text, out, true);
}

bool parseLonLatList(QStringView text, QVector<QPointF>& out)
{
    return parsePairs(text, out, false);
}

QString formatDistrictRings(const QVector<Ring>& rings)
{
    QString text;
    for (qsizetype i = 0; i < rings.size(); ++i) {
        if (i > 0)
            text += QLatin1Char('@');
        text += formatLonLatList(rings.at(i));
    }
    return text;
}

bool parseDistrictRings(QStringView text, QVector<Ring>& out)
{
    out.clear();
    if (text.isEmpty())
        return true;
    for (QStringView part : text.tokenize(u'@')) {
        Ring ring;
        if (!parseLonLatList(part, ring) || ring.isEmpty())
            return false;
        out.append(std::move(ring));
    }
    return true;
}

} // namespace miratos::store
