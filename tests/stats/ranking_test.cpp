// Class bound proposals, rank counts and the colour ramps of the ranking dialog.
#include "stats/mdl_color.h"
#include "stats/ranking.h"
#include "stats_test_support.h"

#include "state/mdl_main.h"
#include "platform/number_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <vector>

using namespace miratos::stats;
using miratos::state::rgbColor;

namespace {

QVector<float> numbers(const QStringList& texts)
{
    QVector<float> out;
    for (const QString& t : texts)
        out.append(static_cast<float>(miratos::platform::toNumber(t).value_or(-1e30)));
    return out;
}

QVector<int> rankCounts(const QVector<float>& values, const RankProposal& p)
{
    return countPerRank(values, numbers(p.lower), numbers(p.upper));
}

TEST(EqualWidth, ProposesFlooredSinglePrecisionBounds)
{
    struct Case {
        float min, max;
        int n;
        QStringList lower, upper;
    };
    const Case cases[] = {
        {0, 101, 5, {"0", "20", "40", "60", "80"}, {"20", "40", "60", "80", "101"}},
        // The first rank is empty: 10 falls in rank 2.
        {10, 11.5f, 3, {"10", "10", "11"}, {"10", "11", "11.5"}},
        // floor goes towards minus infinity: -5.25 becomes -6, not -5.
        {-10.5f, 0, 2, {"-10.5", "-6"}, {"-6", "0"}},
        // 5 × (1.4 / 7) is exactly 1 in single precision but 0.99999998 in double.
        {0, 1.4f, 7, {"0", "0", "0", "0", "0", "1", "1"}, {"0", "0", "0", "0", "1", "1", "1.4"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.min << ".." << c.max << " / " << c.n);
        const RankProposal p = proposeEqualWidth(c.min, c.max, c.n);
        EXPECT_EQ(p.lower, c.lower);
        EXPECT_EQ(p.upper, c.upper);
    }
}

TEST(EqualWidth, OuterBoundTextsHoldTheSmallestAndLargestValueOfAnyMagnitude)
{
    struct Case {
        float smallest, largest, statMax; // statMax: the next single above the largest, as the join sets it
        const char* lowest;
    };
    const Case cases[] = {
        {5e7f, 1e8f, std::nextafter(1e8f, 2e8f), "5E+07"},
        {12345678.0f, 23456788.0f, 23456789.0f, "1.234567E+07"},
        {-87654320.0f, -1234, -1233, "-8.765432E+07"},
        {0.1f, 3e38f, std::nextafter(3e38f, std::numeric_limits<float>::infinity()), "0.1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.smallest << ".." << c.largest);
        const RankProposal p = proposeEqualWidth(c.smallest, c.statMax, 5);
        EXPECT_EQ(p.lower.first(), QString::fromLatin1(c.lowest));
        EXPECT_EQ(rankCounts({c.smallest, c.largest}, p), QVector<int>({1, 0, 0, 0, 1}));
        EXPECT_FALSE(rankRangeProblem(c.smallest, c.statMax).has_value());
    }
    // Beyond single precision there are no bounds to write.
    EXPECT_TRUE(rankRangeProblem(-3e38f, 3e38f).has_value());
    EXPECT_TRUE(rankRangeProblem(1, std::numeric_limits<float>::max()).has_value());
    EXPECT_TRUE(rankRangeProblem(1, std::numeric_limits<float>::infinity()).has_value());
}

const QVector<float> kThreeClusters{1, 2, 3, 10, 11, 12, 100, 101, 102};
// Two cut-offs disagree here: equal counts cut at 4 and 7, natural breaks keep 1..8 apart from 100.
const QVector<float> kOneOutlier{1, 2, 3, 4, 5, 6, 7, 8, 100};

TEST(QuantileAndJenks, FindTheObviousClasses)
{
    struct Case {
        const char* name;
        RankProposal (*propose)(QVector<float>, float, float, int);
        QVector<float> values;
        float max;
        QStringList lower, upper;
        QVector<int> counts;
    };
    const Case cases[] = {
        {"jenks clusters", proposeJenks, kThreeClusters, 103, {"1", "10", "100"}, {"10", "100", "103"}, {3, 3, 3}},
        {"quantile clusters", proposeQuantile, kThreeClusters, 103, {"1", "10", "100"}, {"10", "100", "103"}, {3, 3, 3}},
        {"jenks outlier", proposeJenks, kOneOutlier, 101, {"1", "5", "100"}, {"5", "100", "101"}, {4, 4, 1}},
        {"quantile outlier", proposeQuantile, kOneOutlier, 101, {"1", "4", "7"}, {"4", "7", "101"}, {3, 3, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QVector<float> shuffled = c.values;
        std::reverse(shuffled.begin(), shuffled.end()); // order of the districts does not matter
        const RankProposal p = c.propose(shuffled, 1, c.max, 3);
        EXPECT_EQ(p.lower, c.lower);
        EXPECT_EQ(p.upper, c.upper);
        EXPECT_EQ(rankCounts(c.values, p), c.counts);
    }
}

TEST(QuantileAndJenks, FewerDistinctValuesThanRanksLeaveLowRanksEmpty)
{
    const QVector<float> values{5, 7, 5};
    for (auto propose : {proposeJenks, proposeQuantile}) {
        const RankProposal p = propose(values, 5, 8, 4);
        EXPECT_EQ(p.lower, QStringList({"5", "5", "5", "7"}));
        EXPECT_EQ(p.upper, QStringList({"5", "5", "7", "8"}));
        EXPECT_EQ(rankCounts(values, p), QVector<int>({0, 0, 2, 1}));
    }
    // One value only, and none at all.
    EXPECT_EQ(proposeJenks({3, 3}, 3, 4, 3).lower, QStringList({"3", "3", "3"}));
    EXPECT_EQ(proposeJenks({}, 0, 101, 5).lower, proposeEqualWidth(0, 101, 5).lower);
    EXPECT_EQ(proposeQuantile({}, 0, 101, 5).upper, proposeEqualWidth(0, 101, 5).upper);
}

TEST(QuantileAndJenks, BoundTextNeverRoundsAboveItsValue)
{
    // Seven digits would write 12345678 as 1.234568E+07, above the value it must hold.
    const QVector<float> values{1, 12345678};
    for (auto propose : {proposeJenks, proposeQuantile}) {
        const RankProposal p = propose(values, 1, 12345679, 2);
        EXPECT_EQ(p.lower.at(1), "1.234567E+07");
        EXPECT_EQ(rankCounts(values, p), QVector<int>({1, 1}));
    }
}

// Smallest sum of squared deviations over all splits of sorted values into k classes, by the
// plain quadratic recurrence.
double bestSquaredDeviations(std::vector<double> x, int k)
{
    std::sort(x.begin(), x.end());
    const size_t m = x.size();
    auto sse = [&](size_t a, size_t b) { // a..b inclusive
        double s = 0, ss = 0;
        for (size_t i = a; i <= b; ++i) {
            s += x[i];
            ss += x[i] * x[i];
        }
        return ss - s * s / static_cast<double>(b - a + 1);
    };
    std::vector<double> best(m);
    for (size_t i = 0; i < m; ++i)
        best[i] = sse(0, i);
    for (int c = 1; c < k; ++c) {
        std::vector<double> next(m, 1e300);
        for (size_t i = static_cast<size_t>(c); i < m; ++i)
            for (size_t j = static_cast<size_t>(c); j <= i; ++j)
                next[i] = std::min(next[i], best[j - 1] + sse(j, i));
        best = next;
    }
    return best[m - 1];
}

double squaredDeviationsByRank(const QVector<float>& values, const RankProposal& p)
{
    const QVector<float> lower = numbers(p.lower), upper = numbers(p.upper);
    double total = 0;
    for (qsizetype r = 0; r < lower.size(); ++r) {
        std::vector<double> in;
        for (float v : values)
            if (lower[r] <= v && v < upper[r])
                in.push_back(v);
        double mean = 0;
        for (double v : in)
            mean += v / static_cast<double>(in.size());
        for (double v : in)
            total += (v - mean) * (v - mean);
    }
    return total;
}

TEST(QuantileAndJenks, JenksReachesTheSmallestSpreadOnIrregularData)
{
    QVector<float> values;
    std::vector<double> asDouble;
    for (int i = 0; i < 60; ++i) {
        const float v = static_cast<float>((i * i * 37) % 211 + (i % 7 == 0 ? 900 : 0));
        values.append(v);
        asDouble.push_back(v);
    }
    for (int n : {3, 5, 10}) {
        SCOPED_TRACE(n);
        const RankProposal p = proposeJenks(values, 0, 2000, n);
        EXPECT_NEAR(squaredDeviationsByRank(values, p), bestSquaredDeviations(asDouble, n), 1e-6);
    }
}

TEST(QuantileAndJenks, ManyValuesGiveOrderedBoundsAndFillEveryRank)
{
    QVector<float> values;
    for (int i = 0; i < 20000; ++i)
        values.append(static_cast<float>((i * 7919) % 1000) + (i % 3 == 0 ? 5000.0f : 0.0f));
    for (auto propose : {proposeJenks, proposeQuantile}) {
        const RankProposal p = propose(values, 0, 6000, 10);
        ASSERT_EQ(p.lower.size(), 10);
        const QVector<float> lower = numbers(p.lower);
        EXPECT_TRUE(std::is_sorted(lower.begin(), lower.end()));
        EXPECT_EQ(p.upper.mid(0, 9), p.lower.mid(1));
        const QVector<int> counts = rankCounts(values, p);
        EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), 0), values.size());
        EXPECT_EQ(std::count(counts.begin(), counts.end(), 0), 0);
    }
}

TEST(CountPerRank, TakesTheFirstRankWithLowerUpToValueBelowUpper)
{
    // 10 equals upper(1) and goes to rank 2; 30 equals upper(n) and is in no rank; 5 lies in two
    // overlapping ranks and counts for the first.
    EXPECT_EQ(countPerRank({5, 10, 20, 30}, {0, 5, 20}, {10, 30, 30}), QVector<int>({1, 2, 0}));
}

TEST(ColourSeries, FiveRankRampsOfEachSeries)
{
    const QVector<int> expected[] = {
        {rgbColor(255, 234, 234), rgbColor(255, 138, 138), rgbColor(255, 42, 42), rgbColor(202, 0, 0), rgbColor(106, 0, 0)},
        {rgbColor(255, 255, 234), rgbColor(255, 255, 138), rgbColor(255, 255, 42), rgbColor(202, 202, 0), rgbColor(106, 106, 0)},
        {rgbColor(234, 255, 234), rgbColor(138, 255, 138), rgbColor(42, 255, 42), rgbColor(0, 202, 0), rgbColor(0, 106, 0)},
        {rgbColor(234, 234, 255), rgbColor(138, 138, 255), rgbColor(42, 42, 255), rgbColor(0, 0, 202), rgbColor(0, 0, 106)},
    };
    for (int series = 0; series < 4; ++series) {
        SCOPED_TRACE(series);
        EXPECT_EQ(seriesColors(series, 5), expected[series]);
    }
    EXPECT_EQ(seriesColors(0, 3), QVector<int>({15395583, 2763519, 106}));
}

TEST(ColourSeries, LuminanceStepsUseIntegerDivision)
{
    QVector<int> eight;
    for (int i = 1; i <= 8; ++i)
        eight.append(rankLuminance(i, 8));
    EXPECT_EQ(eight, QVector<int>({230, 200, 175, 150, 125, 100, 75, 50})); // 180 div 7 = 25
}

TEST(Hls, ArgumentsAbove240GiveNoColour)
{
    EXPECT_EQ(hls(241, 240, 120), -1);
    EXPECT_EQ(hls(0, 241, 120), -1);
    EXPECT_EQ(hls(0, 240, 241), -1);
    EXPECT_EQ(hls(240, 240, 120), rgbColor(255, 0, 0)); // 240 itself is red again
    EXPECT_EQ(hls(0, 0, 240), rgbColor(255, 255, 255));
    EXPECT_EQ(hls(0, 0, 0), 0);
}

} // namespace
