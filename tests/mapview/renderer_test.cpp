#include "state/mdl_main.h"
#include "mapview/renderer.h"

#include <gtest/gtest.h>

using namespace miratos;
using namespace miratos::mapview;

namespace {

constexpr int kWhite = 16777215;
constexpr int kRed = 255;
constexpr int kGreen = 65280;

// A 100 × 100 canvas showing x 0..10, y 0..10: one map unit is ten pixels.
class RendererTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state::resetMdlMain();
        canvas.setScale(0, 10, 10, 0);
        canvas.clear();
        for (int i = 1; i <= 47; ++i)
            state::mdlMain().PrefTable[static_cast<size_t>(i)][2] = QStringLiteral("65535");
    }
    int at(double x, double y) const { return canvas.pixel(canvas.toPixel(x, y)); }
    int addLine(const QString& key, QVector<QPointF> pts)
    {
        const int index = static_cast<int>(t.LineRecords.size());
        t.LineRecords.push_back({key, std::move(pts)});
        t.lvwLine.insert(key, index);
        return index;
    }
    void addSquarePolygon(const QString& key, const QString& code)
    {
        // Line 13c5 runs down the right side and back along the bottom; walked backwards it starts
        // at the bottom left. Line 13c6 closes the ring over the top.
        addLine(QStringLiteral("13c5"), {{8, 8}, {8, 2}, {2, 2}});
        addLine(QStringLiteral("13c6"), {{8, 8}, {2, 8}, {2, 2}});
        const QString ring = QStringLiteral("_13c5@13c6");
        t.PolygonRecords.push_back({key, ring, t.resolveRing(ring)});
        t.polygonIndex.insert(key, 0);
        t.lvwPolygon.add(key, ring);
        t.TikuRecords.push_back({key, QStringLiteral("東京都@千代田区"), code});
        t.lvwUseTiku.add(QStringLiteral("G") + code, QStringLiteral("13p1"), {QString(), QString(), QString()});
    }
    void setRanks()
    {
        auto& s = state::mdlMain();
        s.RankCount = 2;
        s.RankBound = {{0, 0}, {0, 10}, {10, 20}};
        s.RankColor = {0, kGreen, kRed};
    }
    platform::Canvas canvas{100, 100};
    MapTables t;
};

} // namespace

TEST_F(RendererTest, ReversedLineIsWalkedFromItsLastPoint)
{
    addSquarePolygon(QStringLiteral("13a1"), QStringLiteral("13101"));
    Renderer r(canvas, t, state::mdlMain());
    EXPECT_EQ(r.assemble(t.PolygonRecords[0].lines),
              (QVector<QPointF>{{2, 2}, {8, 2}, {8, 8}, {8, 8}, {2, 8}, {2, 2}}));
}

TEST_F(RendererTest, PrefFillUsesThePrefectureColourAndDrawsPrefectureLinesTwoPixelsWide)
{
    addSquarePolygon(QStringLiteral("13a1"), QStringLiteral("13101"));
    addLine(QStringLiteral("13c9"), {{5, 0.5}, {5, 9.5}});
    t.lvwPrefLineOnly.add(QStringLiteral("13c9"), QStringLiteral("13c9"));
    state::mdlMain().PrefTable[13][2] = QString::number(kGreen);
    Renderer r(canvas, t, state::mdlMain());
    r.drawBoundaries(MapMode::Pref, Filled);
    EXPECT_EQ(at(3, 5), kGreen);
    EXPECT_EQ(at(1, 5), kWhite);
    EXPECT_EQ(canvas.pixel({50, 95}), 0);
    EXPECT_EQ(canvas.pixel({49, 95}) == 0 || canvas.pixel({51, 95}) == 0, true); // two pixels wide
    EXPECT_FALSE(state::mdlMain().StatDrawn);
    EXPECT_EQ(canvas.drawWidth(), 1);
}

TEST_F(RendererTest, JapanPrefectureLinesOnlyDrawsNothingAndKeepsStatDrawn)
{
    addLine(QStringLiteral("13c1"), {{1, 1}, {9, 9}});
    t.lvwPrefLineOnly.add(QStringLiteral("13c1"), QStringLiteral("13c1"));
    state::mdlMain().StatDrawn = true;
    Renderer r(canvas, t, state::mdlMain());
    r.drawBoundaries(MapMode::Japan, PrefLinesOnly);
    EXPECT_EQ(at(5, 5), kWhite);
    EXPECT_TRUE(state::mdlMain().StatDrawn);
    r.drawBoundaries(MapMode::Japan, LinesOnly);
    EXPECT_EQ(at(5, 5), 0);
    EXPECT_FALSE(state::mdlMain().StatDrawn);
}

TEST_F(RendererTest, CityFillPaintsMunicipalityColourInnerRingsBlackAndWater)
{
    DistrictRecord land;
    land.rings = {{{1, 1}, {6, 1}, {6, 9}, {1, 9}}, {{2, 4}, {4, 4}, {4, 6}, {2, 6}}};
    land.code = QStringLiteral("13101000101");
    land.areaClass = QStringLiteral("1");
    DistrictRecord water;
    water.rings = {{{7, 1}, {9, 1}, {9, 9}, {7, 9}}};
    water.code = QStringLiteral("13101000102");
    water.areaClass = QStringLiteral("8154");
    t.DistrictRecords = {land, water};
    t.lvwTikuColor.add(QStringLiteral("13101G"), QString::number(kRed));
    Renderer r(canvas, t, state::mdlMain());
    state::WaterFill fill;
    fill.red = 0;
    fill.green = 0;
    fill.blue = 255;
    r.setWaterFill(fill);
    r.drawBoundaries(MapMode::City, Filled);
    EXPECT_EQ(at(5, 2), kRed);
    EXPECT_EQ(at(3, 5), 0);
    EXPECT_EQ(at(8, 5), 65536 * 255);
}

TEST_F(RendererTest, StatisticFillClassifiesBoundsAndCachesColours)
{
    setRanks();
    struct Case {
        const char* value;
        int colour;
    };
    // A value equal to an upper bound belongs to the next rank; the top bound itself is in no rank.
    const Case cases[] = {{"5", kGreen}, {"10", kRed}, {"19.5", kRed}, {"20", kWhite}, {"-1", kWhite}, {"X", kWhite}, {"", kWhite}};
    for (const auto& c : cases) {
        t = {};
        canvas.clear();
        addSquarePolygon(QStringLiteral("13a1"), QStringLiteral("13101"));
        t.lvwUseTiku.find(QStringLiteral("G13101"))->setSubItem(3, QString::fromLatin1(c.value));
        Renderer r(canvas, t, state::mdlMain());
        r.drawBoundaries(MapMode::Pref, StatisticFill);
        EXPECT_EQ(at(3, 5), c.colour) << c.value;
        EXPECT_TRUE(r.colorCacheValid);
        EXPECT_TRUE(state::mdlMain().StatDrawn);
    }
}

TEST_F(RendererTest, CachedColoursAreReusedUntilANewRanking)
{
    setRanks();
    addSquarePolygon(QStringLiteral("13a1"), QStringLiteral("13101"));
    t.lvwUseTiku.find(QStringLiteral("G13101"))->setSubItem(3, QStringLiteral("5"));
    Renderer r(canvas, t, state::mdlMain());
    r.drawBoundaries(MapMode::Pref, StatisticFill);
    EXPECT_EQ(t.lvwUseTiku.find(QStringLiteral("G13101"))->subItem(4), QString::number(kGreen));

    state::mdlMain().RankColor[1] = kRed;
    r.drawBoundaries(MapMode::Pref, StatisticFill);
    EXPECT_EQ(at(3, 5), kGreen);
    r.colorCacheValid = false;
    r.drawBoundaries(MapMode::Pref, StatisticFill);
    EXPECT_EQ(at(3, 5), kRed);
}

TEST_F(RendererTest, CityStatisticFillMarksTheTopRankAndKeepsWaterUnlessRanked)
{
    setRanks();
    DistrictRecord top;
    top.rings = {{{1, 1}, {5, 1}, {5, 9}, {1, 9}}};
    top.code = QStringLiteral("13101000101");
    DistrictRecord water = top;
    water.rings = {{{6, 1}, {9, 1}, {9, 9}, {6, 9}}};
    water.code = QStringLiteral("13101000102");
    water.areaClass = QStringLiteral("8154");
    t.DistrictRecords = {top, water};
    t.lvwUseTiku.add(QStringLiteral("G13101000101"), QStringLiteral("a"), {QStringLiteral("15")});
    t.lvwUseTiku.add(QStringLiteral("G13101000102"), QStringLiteral("b"), {QStringLiteral("5")});
    Renderer r(canvas, t, state::mdlMain());
    r.drawBoundaries(MapMode::City, StatisticFill);
    EXPECT_EQ(at(3, 5), kRed);
    EXPECT_EQ(t.lvwUseTiku.at(1).subItem(3), QStringLiteral("1"));
    EXPECT_EQ(t.lvwUseTiku.at(2).subItem(3), QString());
    EXPECT_EQ(at(7.5, 5), state::rgbColor(160, 200, 255));
    state::mdlMain().RankWater = true;
    r.drawBoundaries(MapMode::City, StatisticFill);
    EXPECT_EQ(at(7.5, 5), kGreen);
}
