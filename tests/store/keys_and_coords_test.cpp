// Key rules and coordinate-list text of the geometry files.
#include "store/coord_list.h"
#include "store/district_file.h"
#include "store/map_keys.h"
#include "store_fixture.h"

using namespace miratos::store;

namespace {

TEST(MapKeys, PointKeyReplacesEveryLowerCaseAOnly)
{
    const std::pair<const char*, const char*> cases[] = {
        {"13a5a", "13p5p"}, {"13a1ec", "13p1ec"}, {"01Aa", "01Ap"}, {"13c1", "13c1"}, {"", ""},
    };
    for (const auto& [polygon, point] : cases)
        EXPECT_EQ(pointKeyOf(polygon), point) << polygon;
}

TEST(MapKeys, PrefCodeIsTheFirstTwoCharacters)
{
    EXPECT_EQ(prefCodeOfKey(u"01c15"), "01");
    EXPECT_EQ(prefCodeOfKey(u"13101"), "13");
}

TEST(MapKeys, RingPartsWithReversedKeys)
{
    const std::pair<const char*, QVector<RingPart>> cases[] = {
        {"13c1", {{"13c1", false}}},
        {"_13c77", {{"13c77", true}}},
        {"13c1@_13c2@13c3", {{"13c1", false}, {"13c2", true}, {"13c3", false}}},
        {"", {}},
    };
    for (const auto& [text, parts] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(parseRing(QString::fromUtf8(text)), parts);
        EXPECT_EQ(formatRing(parts), text);
    }
}

TEST(CoordList, FormatsInFileOrderWithShortestNumbers)
{
    const QVector<QPointF> points{{139.75, 35.68}, {140.0, -0.000125}, {139.123456789012345, 35.1}};
    EXPECT_EQ(formatLatLonList(points), "35.68 139.75 -0.000125 140 35.1 139.123456789012");
    EXPECT_EQ(formatLonLatList(points), "139.75 35.68 140 -0.000125 139.123456789012 35.1");
    EXPECT_EQ(formatLatLonList({}), "");
}

TEST(CoordList, ParsesPointsInFileOrder)
{
    QVector<QPointF> points;
    ASSERT_TRUE(parseLatLonList(u"35.68 139.75 35.7 140", points));
    EXPECT_EQ(points, (QVector<QPointF>{{139.75, 35.68}, {140, 35.7}}));
    ASSERT_TRUE(parseLonLatList(u"139.75 35.68", points));
    EXPECT_EQ(points, (QVector<QPointF>{{139.75, 35.68}}));
    ASSERT_TRUE(parseLonLatList(u"", points));
    EXPECT_TRUE(points.isEmpty());
}

TEST(CoordList, NumberListFromTextAndBytes)
{
    const QVector<double> expected{35.5, -139, 1.5e7, 0.25};
    QVector<double> numbers;
    ASSERT_TRUE(parseNumberList(u"35.5 -139  1.5E+07 +.25 ", numbers));
    EXPECT_EQ(numbers, expected);
    ASSERT_TRUE(parseNumberList(QByteArrayView("35.5 -139  1.5E+07 +.25 "), numbers));
    EXPECT_EQ(numbers, expected);

    // A number written with more digits than anyone needs is still a number, in text as in bytes
    // (a converter that keeps coordinates as written must be able to read its own Point.dat).
    const QByteArray longLine = "35." + QByteArray(100, '6') + " 139.7";
    const QVector<double> longExpected{35.0 + 2.0 / 3.0, 139.7};
    ASSERT_TRUE(parseNumberList(QString::fromLatin1(longLine), numbers));
    EXPECT_EQ(numbers, longExpected);
    ASSERT_TRUE(parseNumberList(QByteArrayView(longLine), numbers));
    EXPECT_EQ(numbers, longExpected);
}

TEST(CoordList, RejectsWhatIsNotACoordinateList)
{
    QVector<QPointF> points;
    for (const char16_t* text : {u"35.6 139.7 35.7", u"35.6 139,7", u"nan 1", u"1 inf", u"１ 2", u"1e999 2"}) {
        EXPECT_FALSE(parseLatLonList(text, points)) << QString::fromUtf16(text).toStdString();
    }
}

TEST(CoordList, DistrictRingsPutAtDirectlyAfterTheLastNumber)
{
    const QVector<Ring> rings{{{139.7, 35.6}, {139.8, 35.6}, {139.8, 35.7}},
                              {{139.71, 35.61}, {139.72, 35.61}, {139.72, 35.62}},
                              {{139.75, 35.65}, {139.76, 35.65}, {139.76, 35.66}}};
    const QString text = formatDistrictRings(rings);
    EXPECT_EQ(text, "139.7 35.6 139.8 35.6 139.8 35.7@139.71 35.61 139.72 35.61 139.72 35.62"
                    "@139.75 35.65 139.76 35.65 139.76 35.66");
    QVector<Ring> back;
    ASSERT_TRUE(parseDistrictRings(text, back));
    EXPECT_EQ(back, rings);
    EXPECT_FALSE(parseDistrictRings(u"1 2 3 4@", back));
    EXPECT_FALSE(parseDistrictRings(u"1 2 3@4 5", back));
}

TEST(DistrictHeader, FirstFourNumbersInOrderWestSouthEastNorth)
{
    EXPECT_EQ(parseDistrictHeader(u"139.73 35.67 139.78 35.7"), (DistrictExtent{139.73, 35.67, 139.78, 35.7}));
    EXPECT_EQ(parseDistrictHeader(u"139 35 140 36 0"), (DistrictExtent{139, 35, 140, 36}));
    EXPECT_FALSE(parseDistrictHeader(u"139 35 140"));
    EXPECT_EQ(formatDistrictHeader({139.73, 35.67, 139.78, 35.7}), "139.73 35.67 139.78 35.7");
}

} // namespace
