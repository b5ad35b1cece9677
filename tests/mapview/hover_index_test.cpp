#include "map_fixture.h"
#include "mapview/hover_index.h"
#include "mapview/loaders.h"

using namespace miratos;
using namespace miratos::mapview;

using HoverLookup = MapFixture;

namespace {
QVector<QPointF> square(double x1, double y1, double x2, double y2)
{
    return {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}, {x1, y1}};
}
} // namespace

TEST_F(HoverLookup, NamesTheMunicipalityUnderThePointAndItsPaintedRank)
{
    writeSquarePrefectures();
    MapTables t;
    loadPref(t, state::mdlMain(), dir.filePath(QStringLiteral("Init.ini")), {});
    HoverIndex index;
    index.build(t, state::mdlMain(), MapMode::Pref);
    ASSERT_EQ(index.size(), 2);
    EXPECT_EQ(hoverStatus(index.at(139.5, 35.5), t, state::mdlMain()), QStringLiteral("県市13"));
    EXPECT_EQ(index.at(140.7, 35.2)->name, QStringLiteral("県市14"));
    EXPECT_EQ(index.at(141.5, 35.5), nullptr);
    EXPECT_EQ(hoverStatus(nullptr, t, state::mdlMain()), QString());

    // With a statistic shown: the value and the rank the fill painted it with.
    auto& s = state::mdlMain();
    t.lvwUseTiku.find(QStringLiteral("G13101"))->setSubItem(3, QStringLiteral("349385"));
    t.lvwUseTiku.find(QStringLiteral("G14101"))->setSubItem(3, QStringLiteral("-"));
    s.StatDrawn = true;
    s.StatPainted = {QStringLiteral("人口"), 2, {{0, 0}, {0, 100000}, {100000, 1e7}}, {0, 1, 2}};
    EXPECT_EQ(hoverStatus(index.at(139.5, 35.5), t, s), QStringLiteral("県市13　人口 349,385　ランク 2"));
    EXPECT_EQ(hoverStatus(index.at(140.5, 35.5), t, s), QStringLiteral("県市14")); // no number: name only
    s.StatDrawn = false;
    EXPECT_EQ(hoverStatus(index.at(139.5, 35.5), t, s), QStringLiteral("県市13"));
}

TEST(HoverIndex, AHoleBelongsToTheDistrictInsideIt)
{
    MapTables t;
    DistrictRecord outer;
    outer.code = QStringLiteral("131040010");
    outer.townName = QStringLiteral("西新宿");
    outer.rings = {square(0, 0, 10, 10), square(4, 4, 6, 6)};
    DistrictRecord inner;
    inner.code = QStringLiteral("131040020");
    inner.townName = QStringLiteral("新宿");
    inner.rings = {square(4, 4, 6, 6)};
    t.DistrictRecords = {outer, inner};
    state::MdlMain s;
    s.TikuTable.push_back({QStringLiteral("東京都新宿区"), QString(), QString(), QStringLiteral("13104")});
    HoverIndex index;
    index.build(t, s, MapMode::City);
    ASSERT_NE(index.at(1, 1), nullptr);
    EXPECT_EQ(index.at(1, 1)->name, QStringLiteral("東京都新宿区西新宿"));
    EXPECT_EQ(index.at(5, 5)->name, QStringLiteral("東京都新宿区新宿"));
    EXPECT_EQ(index.at(11, 5), nullptr);
}

TEST(HoverIndex, ReadableValuesGroupThousandsAndRoundLongFractions)
{
    struct Case { const char* in; const char* out; };
    for (const Case c : {Case{"349385", "349,385"}, Case{"1234567", "1,234,567"}, Case{"999", "999"}, Case{"-12000", "-12,000"},
                         Case{"12.5", "12.5"}, Case{"-", "-"}, Case{"19164.3353977221", "19,164.34"}, Case{"-0.123", "-0.12"},
                         Case{"1234.5", "1,234.5"}, Case{"1.2e5", "1.2e5"}, Case{"X", "X"}})
        EXPECT_EQ(readableValue(QString::fromLatin1(c.in)), QString::fromLatin1(c.out)) << c.in;
}

TEST_F(HoverLookup, NamesThePrefectureInJapanMode)
{
    writeSquarePrefectures();
    MapTables t;
    loadJapan(t, state::mdlMain(), dir.filePath(QStringLiteral("Init.ini")), {});
    HoverIndex index;
    index.build(t, state::mdlMain(), MapMode::Japan);
    ASSERT_EQ(index.size(), 2);
    ASSERT_NE(index.at(139.5, 35.5), nullptr);
    EXPECT_EQ(index.at(139.5, 35.5)->name, QStringLiteral("東京都"));
    EXPECT_EQ(index.at(140.5, 35.5)->name, QStringLiteral("神奈川県"));
}
