#include "platform/number_text.h"

#include "comma_locale.h"

#include <gtest/gtest.h>

using namespace miratos::platform;

TEST(NumberText, SinglePrecisionGeneralForm)
{
    const std::pair<float, const char*> cases[] = {
        {0.0f, "0"},
        {101.0f, "101"},
        {20.2f, "20.2"},
        {-3.5f, "-3.5"},
        {0.1f, "0.1"},
        {1234567.0f, "1234567"},
        {9999999.0f, "9999999"},
        {12345678.0f, "1.234568E+07"},
        {10000000.0f, "1E+07"},
        {-12345678.0f, "-1.234568E+07"},
        {3.0e20f, "3E+20"},
        {0.0001f, "0.0001"},
        {0.00001f, "1E-05"},
        {139.7612345f, "139.7612"},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(formatSingle(value), QString::fromLatin1(expected)) << expected;
}

TEST(NumberText, DoublePrecisionGeneralForm)
{
    const std::pair<double, const char*> cases[] = {
        {139.761234567891, "139.761234567891"},
        {35.5, "35.5"},
        {0.1 + 0.2, "0.3"},
        {123456789012345.0, "123456789012345"},
        {1234567890123456.0, "1.23456789012346E+15"},
        {12345678.0, "12345678"},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(formatDouble(value), QString::fromLatin1(expected)) << expected;
}

TEST(NumberText, RoundsHalvesToEven)
{
    EXPECT_EQ(roundHalfEven(0.5), 0.0);
    EXPECT_EQ(roundHalfEven(1.5), 2.0);
    EXPECT_EQ(roundHalfEven(2.5), 2.0);
    EXPECT_EQ(roundHalfEven(-2.5), -2.0);
    EXPECT_EQ(roundHalfEven(2.6), 3.0);
    EXPECT_EQ(roundHalfEven(0.125, 2), 0.12);
    EXPECT_EQ(roundHalfEven(0.375, 2), 0.38);
    // An exact tie in the seventh significant digit goes to the even digit.
    EXPECT_EQ(formatSingle(12345665.0f), QStringLiteral("1.234566E+07"));
    EXPECT_EQ(formatSingle(12345675.0f), QStringLiteral("1.234568E+07"));
}

TEST(NumberText, NumericText)
{
    const char* numeric[] = {"0", "12", "-3", "+4", " 5 ", "1.5", ".5", "5.", "1e5", "2.5E-3", "-1.2e+07", "00123"};
    for (const char* t : numeric)
        EXPECT_TRUE(isNumeric(QString::fromLatin1(t))) << t;
    const char* notNumeric[] = {"", " ", "-", "X", "…", "1,000", "1e", "e5", "1.2.3", "12a", "--1", "."};
    for (const char* t : notNumeric)
        EXPECT_FALSE(isNumeric(QString::fromUtf8(t))) << t;
    EXPECT_EQ(toNumber(QStringLiteral(" -2.5E-3")), -0.0025);
    EXPECT_EQ(parseNumber("35.25"), 35.25);
    EXPECT_FALSE(parseNumber("35.25x").has_value());
}

// Readers of large files parse bytes; what from_chars also takes must still not be a number.
TEST(NumberText, ParsedBytesAreFiniteDecimalNumbersOnly)
{
    EXPECT_EQ(parseNumber("+4"), 4.0);
    EXPECT_EQ(parseNumber("-1.5e2"), -150.0);
    for (const char* t : {"nan", "NaN", "-nan", "inf", "-inf", "+inf", "infinity", "1e999", "+-1", "", "+"})
        EXPECT_FALSE(parseNumber(t).has_value()) << t;
}

TEST(NumberText, DecimalPointWhateverTheLocale)
{
    CommaLocale german;
    SKIP_WITHOUT_COMMA_LOCALE(german);
    EXPECT_EQ(formatSingle(20.2f), QStringLiteral("20.2"));
    EXPECT_EQ(formatSingle(11.5f), QStringLiteral("11.5"));
    EXPECT_EQ(formatSingle(-12345678.0f), QStringLiteral("-1.234568E+07"));
    EXPECT_EQ(formatSingle(0.00001f), QStringLiteral("1E-05"));
    EXPECT_EQ(formatDouble(139.761234567891), QStringLiteral("139.761234567891"));
    EXPECT_EQ(formatDouble(1234567890123456.0), QStringLiteral("1.23456789012346E+15"));
    EXPECT_EQ(toNumber(QStringLiteral("20.2")), 20.2);
    EXPECT_FALSE(isNumeric(QStringLiteral("20,2")));
    // What is written is read back to the same value.
    for (float v : {20.2f, 0.1f, 139.7612f, 3.0e20f})
        EXPECT_EQ(static_cast<float>(toNumber(formatSingle(v)).value_or(0)), v) << v;
}
