// Published colour schemes, their centring on a value, and round class bounds.
#include "state/color_schemes.h"
#include "stats/nice_breaks.h"
#include "stats/scheme_ranking.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace miratos;

namespace {

// "#rrggbb" of a colour value (red in the low byte).
QString hex(int value)
{
    return QStringLiteral("#%1%2%3")
        .arg(value & 0xff, 2, 16, QLatin1Char('0'))
        .arg((value >> 8) & 0xff, 2, 16, QLatin1Char('0'))
        .arg((value >> 16) & 0xff, 2, 16, QLatin1Char('0'));
}

QStringList hexes(const QVector<int>& values)
{
    QStringList out;
    for (int v : values)
        out << hex(v);
    return out;
}

double lightness(int value)
{
    return 0.3 * (value & 0xff) + 0.59 * ((value >> 8) & 0xff) + 0.11 * ((value >> 16) & 0xff);
}

} // namespace

TEST(ColorSchemes, PublishedValuesForEachSchemeAndClassCount)
{
    struct Case {
        const char* scheme;
        int classes;
        int index;
        const char* colour;
    };
    const Case cases[] = {
        {"Blues", 3, 0, "#deebf7"},   {"Blues", 9, 8, "#08306b"},    {"Greens", 7, 4, "#41ab5d"}, {"Greens", 3, 2, "#31a354"},
        {"Oranges", 4, 3, "#d94701"}, {"Oranges", 8, 0, "#fff5eb"},  {"Purples", 6, 1, "#dadaeb"}, {"Purples", 9, 8, "#3f007d"},
        {"Reds", 8, 0, "#fff5f0"},    {"Reds", 5, 4, "#a50f15"},     {"YlOrRd", 9, 8, "#800026"}, {"YlOrRd", 3, 0, "#ffeda0"},
        {"YlGnBu", 5, 4, "#253494"},  {"YlGnBu", 7, 4, "#1d91c0"},   {"RdBu", 5, 2, "#f7f7f7"},   {"RdBu", 11, 0, "#67001f"},
        {"PuOr", 9, 0, "#b35806"},    {"PuOr", 4, 3, "#5e3c99"},     {"BrBG", 4, 3, "#018571"},   {"BrBG", 7, 3, "#f5f5f5"},
        {"RdYlBu", 11, 10, "#313695"}, {"RdYlBu", 6, 2, "#fee090"},  {"viridis", 2, 0, "#440154"}, {"viridis", 2, 1, "#fde725"},
        {"viridis", 3, 1, "#21918c"}, {"viridis", 5, 1, "#3b528b"},  {"cividis", 2, 0, "#00224e"}, {"cividis", 2, 1, "#fee838"},
        {"cividis", 10, 4, "#707173"}, {"Set2", 3, 2, "#8da0cb"},    {"Set2", 9, 8, "#66c2a5"},   {"Paired", 12, 11, "#b15928"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.scheme) + " " + std::to_string(c.classes));
        const QVector<int> colours = state::schemeColors(QString::fromLatin1(c.scheme), c.classes);
        ASSERT_EQ(colours.size(), c.classes);
        EXPECT_EQ(hex(colours.at(c.index)), QString::fromLatin1(c.colour));
    }
    EXPECT_EQ(hexes(state::schemeColors(QStringLiteral("Blues"), 5)),
              QStringList({"#eff3ff", "#bdd7e7", "#6baed6", "#3182bd", "#08519c"}));
    EXPECT_TRUE(state::schemeColors(QStringLiteral("Blue"), 5).isEmpty());
}

TEST(ColorSchemes, BeyondThePublishedTablesTheLargestIsInterpolated)
{
    for (const char* name : {"Blues", "Greens", "Oranges", "Purples", "Reds", "YlOrRd", "YlGnBu", "viridis", "cividis"}) {
        SCOPED_TRACE(name);
        const QVector<int> ten = state::schemeColors(QString::fromLatin1(name), 10);
        ASSERT_EQ(ten.size(), 10);
        // The ends of the largest table, every step in one direction of lightness.
        const QVector<int> largest = state::schemeColors(QString::fromLatin1(name), 9);
        const bool brightening = lightness(ten.last()) > lightness(ten.first());
        if (QString::fromLatin1(name) != QLatin1String("viridis") && QString::fromLatin1(name) != QLatin1String("cividis")) {
            EXPECT_EQ(hexes({ten.first(), ten.last()}), hexes({largest.first(), largest.last()}));
        }
        for (int i = 1; i < ten.size(); ++i)
            EXPECT_EQ(lightness(ten.at(i)) > lightness(ten.at(i - 1)), brightening) << i;
    }
}

TEST(ColorSchemes, ListMarksTheColourBlindSafeOnes)
{
    EXPECT_EQ(state::schemeListText(*state::findScheme(QStringLiteral("Blues"))), QStringLiteral("Blues（色覚配慮）"));
    EXPECT_EQ(state::schemeListText(*state::findScheme(QStringLiteral("RdYlBu"))), QStringLiteral("RdYlBu（色覚配慮）"));
    EXPECT_EQ(state::schemeListText(*state::findScheme(QStringLiteral("Set2"))), QStringLiteral("Set2（3色まで色覚配慮）"));
    EXPECT_EQ(state::schemeListText(*state::findScheme(QStringLiteral("Paired"))), QStringLiteral("Paired（4色まで色覚配慮）"));
}

TEST(ColorSchemes, DivergingColoursCentredOnTheGivenValue)
{
    struct Case {
        const char* name;
        QVector<float> bounds; // lower bounds and the last upper bound
        double centre;
        QStringList expected;
    };
    const Case cases[] = {
        // Two ranks below 0, three above: the seven-class ramp, each side starting beside its middle.
        {"two below, three above", {-20, -10, 0, 10, 20, 30}, 0, {"#ef8a62", "#fddbc7", "#d1e5f0", "#67a9cf", "#2166ac"}},
        {"a rank holding the centre is neutral", {-15, -5, 5, 15}, 0, {"#ef8a62", "#f7f7f7", "#67a9cf"}},
        {"all above", {0, 10, 20}, 0, {"#92c5de", "#0571b0"}},
        {"centre 5 inside the top rank", {-20, -10, 0, 10}, 5, {"#ca0020", "#f4a582", "#f7f7f7"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QVector<float> lower = c.bounds.mid(0, c.bounds.size() - 1);
        const QVector<float> upper = c.bounds.mid(1);
        EXPECT_EQ(hexes(state::centredColors(QStringLiteral("RdBu"), lower, upper, c.centre)), c.expected);
    }
    // Through the ranking's options: centring only for a diverging scheme, the hue series without one.
    state::SchemeOptions o;
    o.scheme = QStringLiteral("RdBu");
    o.centred = true;
    EXPECT_EQ(hexes(stats::rankColors(o, 0, {0, 10}, {10, 20})), QStringList({"#92c5de", "#0571b0"}));
    o.centred = false;
    EXPECT_EQ(hexes(stats::rankColors(o, 0, {0, 10, 20}, {10, 20, 30})), QStringList({"#ef8a62", "#f7f7f7", "#67a9cf"}));
    EXPECT_EQ(stats::rankColors({}, 3, {0, 1, 2}, {1, 2, 3}), stats::seriesColors(3, 3));
}

TEST(NiceBreaks, StepsOfOneTwoTwoAndAHalfOrFive)
{
    const std::pair<double, double> cases[] = {{0.7, 1}, {1, 1}, {1.2, 2}, {2.1, 2.5}, {3, 5}, {7, 10},
                                               {0.031, 0.05}, {250, 250}, {260, 500}, {1e-4, 1e-4}};
    for (const auto& [width, step] : cases)
        EXPECT_DOUBLE_EQ(stats::niceStepAtLeast(width), step) << width;
}

TEST(NiceBreaks, EqualWidthsOnRoundSteps)
{
    struct Case {
        float min, max;
        int n;
        QStringList lower, upper;
    };
    const Case cases[] = {
        {0, 101, 5, {"0", "25", "50", "75", "100"}, {"25", "50", "75", "100", "125"}},
        {-3.7f, 12.4f, 4, {"-5", "0", "5", "10"}, {"0", "5", "10", "15"}},
        // 0.025 starting at 0 stops at 0.075, short of the top: the next step.
        {0.013f, 0.087f, 3, {"0", "0.05", "0.1"}, {"0.05", "0.1", "0.15"}},
        {1234567, 9876543, 4, {"0", "2500000", "5000000", "7500000"}, {"2500000", "5000000", "7500000", "1E+07"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lower.join(' ').toStdString());
        const stats::RankProposal p = stats::niceEqualWidth(c.min, c.max, c.n);
        EXPECT_EQ(p.lower, c.lower);
        EXPECT_EQ(p.upper, c.upper);
    }
}

TEST(NiceBreaks, OtherMethodsRoundTheirBoundsWithoutMergingClasses)
{
    struct Case {
        const char* name;
        QStringList lower, upper;
        float min, max;
        QStringList roundLower, roundUpper;
    };
    const Case cases[] = {
        {"the equal-width step", {"3.2", "17.63", "48.2", "91.7"}, {"17.63", "48.2", "91.7", "120.4"}, 3.2f, 120.4f,
         {"0", "25", "50", "100"}, {"25", "50", "100", "125"}},
        // 25, 20 and 10 would merge bounds (10.2 with the lowest, or 10.2 with 12.9): 5.
        {"finer where bounds lie close", {"0", "10.2", "12.9", "80"}, {"10.2", "12.9", "80", "100"}, 0, 100,
         {"0", "10", "15", "80"}, {"10", "15", "80", "100"}},
        {"equal bounds stay equal, on steps of 2.5", {"1", "1", "7.3"}, {"1", "7.3", "9"}, 1, 9, {"0", "0", "7.5"}, {"0", "7.5", "10"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const stats::RankProposal p = stats::roundBounds({c.lower, c.upper}, c.min, c.max);
        EXPECT_EQ(p.lower, c.roundLower);
        EXPECT_EQ(p.upper, c.roundUpper);
    }
}
