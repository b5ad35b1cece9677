#pragma once
// Numbers as the data files and dialogs write them: the "general" form with 7 significant digits
// for single-precision values and 15 for double-precision values, no trailing zeros, and the
// exponent form ("1.234568E+07") from 10^7 (single) or 10^15 (double) up. Every number text the
// program writes or reads goes through here, and always with "." as the decimal point, whatever
// the user's locale says (files, legends, dialogs and the command line must agree).
#include <QString>
#include <optional>

namespace miratos::platform {

QString formatSingle(float value);
QString formatDouble(double value);

// Rounds to the given number of decimals; a value exactly halfway goes to the even neighbour.
double roundHalfEven(double value, int decimals = 0);

// True for text that converts to a number: optional blanks around an optional sign, digits with
// an optional decimal point (at least one digit), and an optional exponent ("1e5", "-2.5E-3").
// Empty text and marks such as "-" or "X" are not numeric.
bool isNumeric(const QString& text);

// The number of numeric text, or nothing.
std::optional<double> toNumber(const QString& text);

// The number of numeric text as a single-precision value, or nothing when the text is not
// numeric or its magnitude lies beyond the largest single-precision number ("1e39").
std::optional<float> toSingle(const QString& text);

// Parses a plain decimal number from bytes (used by readers of large files): an optional sign,
// digits with an optional decimal point and exponent. "nan", "inf" and values beyond the double
// range are not numbers.
std::optional<double> parseNumber(QByteArrayView bytes);

} // namespace miratos::platform
