#include "platform/number_text.h"

#include <QByteArray>
#include <charconv>
#include <cmath>
#include <limits>

namespace miratos::platform {
namespace {

// std::to_chars gives the general form (exponent below 10^-4 or from 10^precision, trailing zeros
// dropped) with correct rounding of the binary value, and unlike printf it never follows the
// process locale, so a decimal comma can never slip into a file, a legend or a dialog.
QString formatGeneral(double value, int precision)
{
    if (value == 0)
        return QStringLiteral("0");
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, precision);
    if (ec != std::errc())
        return QString();
    QString text = QString::fromLatin1(buf, end - buf);
    // "inf", "nan" and "e" in the upper case of the general form ("1.234568E+07", "INF").
    return text.toUpper();
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QChar(0x3000);
}

} // namespace

QString formatSingle(float value)
{
    return formatGeneral(static_cast<double>(value), 7);
}

QString formatDouble(double value)
{
    return formatGeneral(value, 15);
}

double roundHalfEven(double value, int decimals)
{
    if (decimals == 0)
        return std::nearbyint(value); // default rounding mode: to nearest, ties to even
    const double scale = std::pow(10.0, decimals);
    return std::nearbyint(value * scale) / scale;
}

bool isNumeric(const QString& text)
{
    return toNumber(text).has_value();
}

std::optional<double> toNumber(const QString& text)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && isBlank(text.at(b)))
        ++b;
    while (e > b && isBlank(text.at(e - 1)))
        --e;
    if (b == e)
        return std::nullopt;
    // Strict grammar: sign? digits [. digits] | . digits, then (e|E sign? digits)?
    qsizetype i = b;
    if (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))
        ++i;
    qsizetype digits = 0;
    while (i < e && text.at(i).isDigit() && text.at(i).unicode() < 128) {
        ++i;
        ++digits;
    }
    if (i < e && text.at(i) == QLatin1Char('.')) {
        ++i;
        while (i < e && text.at(i).isDigit() && text.at(i).unicode() < 128) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < e && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        ++i;
        if (i < e && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
            ++i;
        qsizetype expDigits = 0;
        while (i < e && text.at(i).isDigit() && text.at(i).unicode() < 128) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != e)
        return std::nullopt;
    const QByteArray latin = text.mid(b, e - b).toLatin1();
    return parseNumber(latin);
}

std::optional<float> toSingle(const QString& text)
{
    const auto value = toNumber(text);
    if (!value || !(std::abs(*value) <= static_cast<double>(std::numeric_limits<float>::max())))
        return std::nullopt;
    return static_cast<float>(*value);
}

std::optional<double> parseNumber(QByteArrayView bytes)
{
    const char* first = bytes.data();
    const char* last = first + bytes.size();
    if (first != last && *first == '+' && last - first > 1 && first[1] != '-')
        ++first;
    double value = 0;
    auto [ptr, ec] = std::from_chars(first, last, value);
    // from_chars also reads "nan" and "inf": no data file means them, and drawn they make spikes.
    if (ec != std::errc() || ptr != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace miratos::platform
