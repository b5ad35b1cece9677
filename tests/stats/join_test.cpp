// Joining a statistic column to the drawn districts by code.
#include "stats/join.h"
#include "stats_test_support.h"

#include <gtest/gtest.h>

using namespace miratos;
using mapview::MapMode;
using stats::joinStatistic;

namespace {

state::MdlMain statistic(const std::vector<std::vector<QString>>& dataRows, int column = 2)
{
    state::MdlMain state;
    state.StatTable.push_back({"Code", "地区名", "人口(人)"});
    for (const auto& row : dataRows)
        state.StatTable.push_back(row);
    state.StatColCount = 2;
    state.StatRowCount = static_cast<int32_t>(dataRows.size());
    state.StatColumn = static_cast<int16_t>(column);
    state.RankSetting = {"7", "3"};
    return state;
}

TEST(Join, PrefFillsValuesByCodeAndListsWhatFoundNoPartner)
{
    mapview::MapTables t;
    // Value fields hold an older join; the keyless row is a second label of 千代田区.
    t.lvwUseTiku.add("G13101", "13a1p", {"東京都@千代田区", "3", "old"});
    t.lvwUseTiku.add("G13102", "13a2p", {"東京都@特別区@中央区", "1", "old"});
    t.lvwUseTiku.add(QString(), "13a3p", {"東京都@千代田区", "", "old"});
    state::MdlMain state = statistic({
        {"13100", "特別区部", "900"}, // aggregate: dropped
        {"13101", "千代田区", "10"},
        {"13103", "港区", "30"},      // not drawn
        {"13101", "千代田区", "11"},  // later row wins
        {"13a", "不明", "1"},         // not a whole number: reported
    });

    const stats::JoinResult r = joinStatistic(t, state, MapMode::Pref);

    EXPECT_EQ(t.lvwUseTiku.at(1).subItem(3), "11");
    EXPECT_EQ(t.lvwUseTiku.at(2).subItem(3), "");
    EXPECT_EQ(t.lvwUseTiku.at(3).subItem(3), "");
    EXPECT_EQ(t.lvwUseTiku.at(1).subItem(1), "東京都@千代田区"); // only the value field changes
    EXPECT_EQ(r.mapSide, "13102 中央区\r\n");
    EXPECT_EQ(r.statSide, "13103 港区\r\n13a 不明\r\n");
    EXPECT_EQ(state.StatItemName, "人口(人)");
    EXPECT_EQ(state.RankSetting[0], "2");
    EXPECT_EQ(state.RankSetting[1], "0");
    EXPECT_EQ(state.StatMin, 11);
    EXPECT_EQ(state.StatMax, 12);
    EXPECT_EQ(stats::joinedValues(t, MapMode::Pref), QVector<float>({11}));
}

TEST(Join, JapanAndCityIgnoreUnmatchedRowsAndUseTheirValueField)
{
    struct Case {
        MapMode mode;
        int valueItem;
        const char* key;
    };
    const Case cases[] = {{MapMode::Japan, 3, "K01"}, {MapMode::City, 1, "G131010010"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        mapview::MapTables t;
        auto& table = c.mode == MapMode::Japan ? t.lvwUsePref : t.lvwUseTiku;
        table.add(c.key, "name", {"", "", "", ""});
        table.add(c.mode == MapMode::Japan ? "K02" : "G131010020", "other", {"", "", "", ""});
        state::MdlMain state = statistic({{QString(c.key).mid(1), "x", "7.5"}, {"99", "unknown", "1"}});

        const stats::JoinResult r = joinStatistic(t, state, c.mode);

        EXPECT_EQ(table.at(1).subItem(c.valueItem), "7.5");
        EXPECT_EQ(table.at(2).subItem(c.valueItem), "");
        EXPECT_EQ(r.mapSide, "");
        EXPECT_EQ(r.statSide, "");
        EXPECT_EQ(state.StatMin, 7.5f);
        EXPECT_EQ(state.StatMax, 8.5f);
    }
}

TEST(Join, ValueRangeLiesAboveEveryValue)
{
    struct Case {
        QString first, second;
        float min, max;
    };
    const Case cases[] = {
        {"10", "11", 10, 12},
        {"11", "10", 10, 12},
        {"-", "X", 0, 0},
        {"5", "", 5, 6},
        {"-3.5", "1e2", -3.5f, 101},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.first + " " + c.second).toStdString());
        mapview::MapTables t;
        t.lvwUseTiku.add("GA", "a");
        t.lvwUseTiku.add("GB", "b");
        state::MdlMain state = statistic({{"A", "a", c.first}, {"B", "b", c.second}});
        state.StatMin = state.StatMax = 99; // an earlier join's range
        (void)joinStatistic(t, state, MapMode::City);
        EXPECT_EQ(state.StatMin, c.min);
        EXPECT_EQ(state.StatMax, c.max);
    }
}

TEST(Join, AggregateRowsAreNotReported)
{
    struct Case {
        const char* code;
        const char* name;
        bool reported;
    };
    const Case cases[] = {
        {"14100", "横浜市", false},    // designated-city total
        {"14100", "横浜区", true},
        {"13100", "特別区部", false},
        {"13101", "千代田区", true},
        {"13250", "何とか市", true},   // 200..299 always
        {"01300", "石狩郡", false},    // county total
        {"01301", "当別町", true},
        {"01301", "石狩郡", false},
        {"01", "北海道", true},
        {"13 101", "千代田区", true},  // not a whole number
        {"", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(stats::isReportedUnmatched(QString::fromUtf8(c.code), QString::fromUtf8(c.name)), c.reported);
    }
}

TEST(Join, NumericCodesArePaddedToTheModesCodeLength)
{
    struct Case {
        MapMode mode;
        const char* code;
        const char* padded;
    };
    const Case cases[] = {
        {MapMode::Japan, "1", "01"},
        {MapMode::Japan, "13", "13"},
        {MapMode::Japan, "013", "013"},       // longer than any code: as written
        {MapMode::Pref, "1101", "01101"},
        {MapMode::Pref, "1", "00001"},
        {MapMode::Pref, "13101", "13101"},
        {MapMode::City, "1101", "01101"},
        {MapMode::City, "11010010", "011010010"},
        {MapMode::City, "1101001001", "01101001001"},
        {MapMode::City, "131010010", "131010010"},
        {MapMode::City, "123456789012", "123456789012"},
        {MapMode::Pref, "1101a", "1101a"},    // not a number: never padded
        {MapMode::Pref, " 1101", " 1101"},
        {MapMode::Pref, "-1", "-1"},
        {MapMode::Pref, "１１０１", "１１０１"}, // full-width digits are not the spreadsheet's
        {MapMode::Japan, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(stats::paddedCode(QString::fromUtf8(c.code), c.mode), QString::fromUtf8(c.padded));
    }
}

TEST(Join, CodesWithoutLeadingZerosJoinAndTheRestAreCounted)
{
    struct Case {
        MapMode mode;
        const char* key;
        const char* spreadsheetCode;
        int valueItem;
    };
    const Case cases[] = {
        {MapMode::Japan, "K01", "1", 3},
        {MapMode::Pref, "G01101", "1101", 3},
        {MapMode::City, "G011010010", "11010010", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        mapview::MapTables t;
        auto& table = c.mode == MapMode::Japan ? t.lvwUsePref : t.lvwUseTiku;
        table.add(c.key, "a", {"北海道@札幌市中央区", "", "", ""});
        // "7" names no drawn district, however it is padded; "01100" is an aggregate.
        state::MdlMain state = statistic({{c.spreadsheetCode, "x", "5"}, {"7", "y", "1"}, {"01100", "札幌市", "9"}});

        const stats::JoinResult r = joinStatistic(t, state, c.mode);

        EXPECT_EQ(table.at(1).subItem(c.valueItem), "5");
        EXPECT_EQ(r.unmatchedRows, 2);
        EXPECT_EQ(stats::unmatchedRowsText(r.unmatchedRows), "一致しない行: 2");
        if (c.mode == MapMode::Pref) {
            EXPECT_EQ(r.statSide, "7 y\r\n"); // the code as the table wrote it
            EXPECT_EQ(r.mapSide, "");
        }
    }
}

TEST(Join, AnExactlyDrawnCodeIsNotPadded)
{
    // Both "G1101" and "G01101" drawn: the row "1101" belongs to the first.
    mapview::MapTables t;
    t.lvwUseTiku.add("G1101", "a", {"a", "", ""});
    t.lvwUseTiku.add("G01101", "b", {"b", "", ""});
    state::MdlMain state = statistic({{"1101", "x", "5"}});

    const stats::JoinResult r = joinStatistic(t, state, MapMode::Pref);

    EXPECT_EQ(t.lvwUseTiku.at(1).subItem(3), "5");
    EXPECT_EQ(t.lvwUseTiku.at(2).subItem(3), "");
    EXPECT_EQ(r.unmatchedRows, 0);
}

} // namespace
