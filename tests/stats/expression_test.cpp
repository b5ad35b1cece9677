#include "stats/expression.h"

#include "stats_test_support.h"

#include <gtest/gtest.h>

using namespace miratos;
using stats::StatRows;

namespace {

StatRows sampleTable()
{
    return {{QStringLiteral("Code"), QStringLiteral("地区名"), QStringLiteral("人口(人)"), QStringLiteral("面積(k㎡)"), QStringLiteral("旧人口")},
            {QStringLiteral("13101"), QStringLiteral("甲"), QStringLiteral("100"), QStringLiteral("4"), QStringLiteral("80")},
            {QStringLiteral("13102"), QStringLiteral("乙"), QStringLiteral("X"), QStringLiteral("0"), QStringLiteral("-")},
            {QStringLiteral("13103"), QStringLiteral("丙"), QStringLiteral("1e308"), QStringLiteral("0.5"), QStringLiteral("0")}};
}

QString valueAt(const QString& expr, int row, const stats::AreaLookup& area = {})
{
    const StatRows t = sampleTable();
    const auto e = stats::Expression::parse(expr, t.front());
    if (!e)
        return QStringLiteral("error: ") + e.error();
    return stats::computedCellText(e->evaluate(t, 3, area).at(static_cast<size_t>(row - 1)));
}

} // namespace

TEST(Expression, ValuesOfARow)
{
    struct Case {
        const char* expr;
        int row;
        const char* value;
    };
    const Case cases[] = {
        {"1+2*3", 1, "7"},
        {"(1+2)*3", 1, "9"},
        {"2×3−4÷2", 1, "4"},
        {"10 - 4 - 3", 1, "3"},
        {"12 / 4 / 3", 1, "1"},
        {"-[人口(人)] + 1", 1, "-99"},
        {"2 * -(1 + 1)", 1, "-4"},
        {"[人口(人)] ÷ [面積(k㎡)]", 1, "25"},
        {"[ 人口(人) ]/[面積(k㎡)]*0.5", 1, "12.5"},
        {"（[人口(人)]－[旧人口]）／２", 1, "10"},
        {"[人口(人)] / [面積(k㎡)]", 2, "-"},    // "X" is no number
        {"[旧人口] + 1", 2, "-"},                // nor is "-"
        {"[面積(k㎡)] / 0", 1, "-"},             // division by zero
        {"[人口(人)] / ([面積(k㎡)] - 4)", 1, "-"},
        {"[人口(人)] * 10", 3, "-"},             // beyond the largest number: no inf
        {"[人口(人)] / [旧人口]", 3, "-"},
        {"[地区名]", 1, "-"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(valueAt(QString::fromUtf8(c.expr), c.row), QString::fromUtf8(c.value)) << c.expr;
}

TEST(Expression, ErrorsNameTheExpressionAndTheFault)
{
    struct Case {
        const char* expr;
        const char* says;
    };
    const Case cases[] = {
        {"[人口] * 2", "列 [人口] は表にありません。"},
        {"([人口(人)] + 1", "閉じ括弧「)」が足りません。"},
        {"[人口(人)", "閉じ括弧「]」が足りません。"},
        {"1 +", "式が途中で終わっています。"},
        {"1 $ 2", "3 文字目の「$」は使えません。"},
        {"1 2", "3 文字目の「2」は使えません。"},
        {"", "式が途中で終わっています。"},
        {"合計([人口(人)])", "関数「合計」はありません"},
        {"増減率([人口(人)])", "増減率 の引数は 2 個です。"},
        {"面積", "面積 の後に「(」が要ります。"},
        {"1..2", "数「1..2」が読めません。"},
    };
    for (const auto& c : cases) {
        const QString got = valueAt(QString::fromUtf8(c.expr), 1);
        EXPECT_TRUE(got.startsWith(QStringLiteral("error: 計算式「%1」: ").arg(QString::fromUtf8(c.expr)))) << got.toStdString();
        EXPECT_TRUE(got.contains(QString::fromUtf8(c.says))) << c.expr << " -> " << got.toStdString();
    }
}

TEST(Expression, ShareOfTheTotalAndChangeInPercent)
{
    const StatRows t = {{QStringLiteral("Code"), QStringLiteral("地区名"), QStringLiteral("新"), QStringLiteral("旧")},
                        {QStringLiteral("1"), QStringLiteral("a"), QStringLiteral("10"), QStringLiteral("8")},
                        {QStringLiteral("2"), QStringLiteral("b"), QStringLiteral("30"), QStringLiteral("0")},
                        {QStringLiteral("3"), QStringLiteral("c"), QStringLiteral("X"), QStringLiteral("5")},
                        {QStringLiteral("4"), QStringLiteral("d"), QStringLiteral("0"), QStringLiteral("4")}};
    const auto texts = [&t](const char* expr) {
        const auto e = stats::Expression::parse(QString::fromUtf8(expr), t.front());
        EXPECT_TRUE(e.ok()) << e.error().toStdString();
        QStringList out;
        for (const auto& v : e->evaluate(t, 4, {}))
            out << stats::computedCellText(v);
        return out;
    };
    EXPECT_EQ(texts("構成比([新])"), (QStringList{"25", "75", "-", "0"}));
    EXPECT_EQ(texts("構成比([旧] - 4)"), (QStringList{"400", "-400", "100", "0"}));
    EXPECT_EQ(texts("増減率([新], [旧])"), (QStringList{"25", "-", "-", "-100"}));
    EXPECT_EQ(texts("増減率([新]、[旧]) + 構成比([旧] - 4)"), (QStringList{"425", "-", "-", "-100"}));
    // A total of zero has no shares.
    EXPECT_EQ(texts("構成比([新] * 0)"), (QStringList{"-", "-", "-", "-"}));
}

TEST(Expression, AreaComesFromTheRowsCode)
{
    const stats::AreaLookup area = [](const QString& code) -> std::optional<double> {
        if (code == QLatin1String("13101"))
            return 2.0;
        return std::nullopt;
    };
    EXPECT_EQ(valueAt(QStringLiteral("[人口(人)] ÷ 面積()"), 1, area), QStringLiteral("50"));
    EXPECT_EQ(valueAt(QStringLiteral("面積()"), 2, area), QStringLiteral("-")); // no region with this code
    EXPECT_EQ(valueAt(QStringLiteral("面積()"), 1), QStringLiteral("-"));       // no map loaded
}

TEST(ComputedColumn, JoinsTheTableAsItsLastColumn)
{
    StatRows t = sampleTable();
    t[2].resize(3); // a short line: the new cell still lands under its header
    int16_t cols = 4;
    ASSERT_TRUE(stats::addComputedColumn(QStringLiteral("密度"), QStringLiteral("[人口(人)]/[面積(k㎡)]"), t, cols, 3, {}).ok());
    EXPECT_EQ(cols, 5);
    EXPECT_EQ(t[0].back(), QStringLiteral("密度"));
    EXPECT_EQ(t[1].back(), QStringLiteral("25"));
    EXPECT_EQ(t[2].size(), 6u);
    EXPECT_EQ(t[2].back(), QStringLiteral("-"));
    EXPECT_EQ(t[3].back(), QStringLiteral("-")); // 2e308 would be inf

    // Refused: the table stays as it is.
    const StatRows before = t;
    struct Case {
        const char* name;
        const char* expr;
        const char* says;
    };
    const Case refused[] = {
        {"密度", "1", "列「密度」は表に既にあります。"},
        {"", "1", "計算列の名前がありません。"},
        {"a,b", "1", "カンマ"},
        {"新", "[無い列]", "列 [無い列] は表にありません。"},
    };
    for (const auto& c : refused) {
        const Status s = stats::addComputedColumn(QString::fromUtf8(c.name), QString::fromUtf8(c.expr), t, cols, 3, {});
        EXPECT_FALSE(s.ok()) << c.name;
        EXPECT_TRUE(s.error().contains(QString::fromUtf8(c.says))) << s.error().toStdString();
    }
    EXPECT_EQ(t, before);
    EXPECT_EQ(cols, 5);
}

TEST(ComputedColumn, SpecSplitsAtTheFirstEqualsSign)
{
    const auto spec = stats::splitComputeSpec(QStringLiteral(" 比 = [a] = [b]"));
    ASSERT_TRUE(spec.ok());
    EXPECT_EQ(spec->first, QStringLiteral("比"));
    EXPECT_EQ(spec->second, QStringLiteral(" [a] = [b]"));
    EXPECT_FALSE(stats::splitComputeSpec(QStringLiteral("[a]/[b]")).ok());
}

// A total row first (no region of its own for 面積()) must not make a computed column unrankable;
// a plain column is still judged by its first row.
TEST(ComputedColumn, CanBeRankedWhenAnyRowHasAValue)
{
    StatRows t = {{QStringLiteral("Code"), QStringLiteral("地区名"), QStringLiteral("人口(人)"), QStringLiteral("印")},
                  {QStringLiteral("14100"), QStringLiteral("横浜市"), QStringLiteral("100"), QStringLiteral("-")},
                  {QStringLiteral("14101"), QStringLiteral("鶴見区"), QStringLiteral("40"), QStringLiteral("5")}};
    int16_t cols = 3;
    const stats::AreaLookup area = [](const QString& code) -> std::optional<double> {
        return code == QLatin1String("14101") ? std::optional<double>(2) : std::nullopt;
    };
    ASSERT_TRUE(stats::addComputedColumn(QStringLiteral("密度"), QStringLiteral("[人口(人)] ÷ 面積()"), t, cols, 2, area).ok());
    ASSERT_EQ(t[1][4], QStringLiteral("-"));
    EXPECT_TRUE(stats::isComputedColumn(t, 4));
    EXPECT_TRUE(stats::canRankColumn(t, 4, 2));
    EXPECT_FALSE(stats::canRankColumn(t, 3, 2)); // the same "-" first in a plain column
    EXPECT_TRUE(stats::canRankColumn(t, 2, 2));
    EXPECT_FALSE(stats::canRankColumn(t, 1, 2));
    ASSERT_TRUE(stats::addComputedColumn(QStringLiteral("無"), QStringLiteral("[印] / 0"), t, cols, 2, area).ok());
    EXPECT_FALSE(stats::canRankColumn(t, 5, 2)); // no row has a value
}
