#include "map_fixture.h"
#include "mapview/loaders.h"
#include "store/district_file.h"

using namespace miratos;
using namespace miratos::mapview;

namespace {
const QString kSquare = QStringLiteral("35 139 35 140 36 140 36 139 35 139");
store::LineRecord line(const char* key, const QString& coords = kSquare)
{
    return {QString::fromLatin1(key), coords};
}
QString ini(const QTemporaryDir& d)
{
    return d.filePath(QStringLiteral("Init.ini"));
}
} // namespace

using JapanLoader = MapFixture;
using PrefLoader = MapFixture;
using CityLoader = MapFixture;

TEST_F(JapanLoader, HideSeparateKeepsOnlyRingsOfSeveralLines)
{
    Pref p;
    p.lines = {line("13c1"), line("13c2"), line("13c3"), line("13c4")};
    p.prefLines = {QStringLiteral("13c1@_13c2"), QStringLiteral("13c3"), QStringLiteral("13c4")};
    writePref(13, QStringLiteral("東京都"), p);
    state::mdlMain().HideSeparate = true;
    MapTables t;
    const LoadReport report = loadJapan(t, state::mdlMain(), ini(dir), {});
    EXPECT_TRUE(report.problems.isEmpty());
    EXPECT_EQ(t.lvwOrgPrefLine.count(), 1);
    ASSERT_EQ(t.LineRecords.size(), 2u);
    EXPECT_EQ(t.LineRecords[0].key, QStringLiteral("13c1"));
    EXPECT_EQ(t.LineRecords[1].key, QStringLiteral("13c2"));
    EXPECT_EQ(t.orgPrefLineRings[0], (ResolvedRing{{0, false}, {1, true}}));

    state::mdlMain().HideSeparate = false;
    loadJapan(t, state::mdlMain(), ini(dir), {});
    EXPECT_EQ(t.lvwOrgPrefLine.count(), 3);
    EXPECT_EQ(t.LineRecords.size(), 4u);
}

TEST_F(JapanLoader, SpecialCoordinateGivesTheCentreEvenWhenNotUsedForTheExtent)
{
    Pref p;
    p.lines = {line("13c1")};
    p.prefLines = {QStringLiteral("13c1")};
    p.news = {138.9, 154.0, 24.2, 35.9};
    writePref(13, QStringLiteral("東京都"), p);
    writeIni(QStringLiteral("13=139.94 138.92 35.48 35.92\r\n"));

    MapTables t;
    state::mdlMain().UseSpecialCoordinate = false;
    loadJapan(t, state::mdlMain(), ini(dir), {});
    EXPECT_FLOAT_EQ(t.DataExtent.maxLon, 154.0f);
    EXPECT_FLOAT_EQ(t.DataExtent.minLat, 24.2f);
    EXPECT_EQ(t.lvwUsePref.find(QStringLiteral("K13"))->subItem(1), QStringLiteral("139.43"));
    EXPECT_EQ(t.lvwUsePref.find(QStringLiteral("K13"))->subItem(2), QStringLiteral("35.7"));
    EXPECT_EQ(t.lvwUsePref.find(QStringLiteral("K13"))->text, QStringLiteral("東京都"));

    state::mdlMain().UseSpecialCoordinate = true;
    loadJapan(t, state::mdlMain(), ini(dir), {});
    EXPECT_FLOAT_EQ(t.DataExtent.minLon, 138.92f);
    EXPECT_FLOAT_EQ(t.DataExtent.maxLon, 139.94f);
    EXPECT_FLOAT_EQ(t.DataExtent.minLat, 35.48f);
    EXPECT_FLOAT_EQ(t.DataExtent.maxLat, 35.92f);
}

TEST_F(JapanLoader, MissingFilesAreReportedAndTheRestLoads)
{
    Pref p;
    p.lines = {line("14c1")};
    p.prefLines = {QStringLiteral("14c1")};
    writePref(14, QStringLiteral("神奈川県"), p);
    select(13, QStringLiteral("東京都")); // no folder at all
    MapTables t;
    const LoadReport report = loadJapan(t, state::mdlMain(), ini(dir), {});
    EXPECT_EQ(report.problems.size(), 3); // PrefLine.dat, Line.dat, NEWS.dat of 東京都
    EXPECT_EQ(t.LineRecords.size(), 1u);
    EXPECT_FLOAT_EQ(t.DataExtent.minLon, 139.0f);
}

TEST_F(PrefLoader, MunicipalityRowsFollowTheIslandAndLargePolygonRules)
{
    Pref p;
    for (int i = 1; i <= 9; ++i)
        p.lines.append(line(QStringLiteral("13c%1").arg(i).toLatin1().constData()));
    p.prefLines = {QStringLiteral("13c1")};
    p.polygons = {
        {QStringLiteral("13a1"), QStringLiteral("13c1")},                          // island: one line
        {QStringLiteral("13a2"), QStringLiteral("13c2@13c3@13c4@13c5@13c6")},      // five lines
        {QStringLiteral("13a3"), QStringLiteral("13c7@13c8@13c9")},                // three lines
        {QStringLiteral("13a4"), QStringLiteral("13c2@13c3@13c4@13c5@_13c6")},     // five lines
    };
    p.points = {{QStringLiteral("13p1"), QStringLiteral("35.1 139.1")}, {QStringLiteral("13p2"), QStringLiteral("35.2 139.2")},
                {QStringLiteral("13p3"), QStringLiteral("35.3 139.3")}, {QStringLiteral("13p4"), QStringLiteral("35.4 139.4")}};
    p.tiku = {
        {QStringLiteral("13a1"), QStringLiteral("東京都@大島町"), QStringLiteral("13361")},
        {QStringLiteral("13a2"), QStringLiteral("東京都@大島町"), QStringLiteral("13361")},
        {QStringLiteral("13a3"), QStringLiteral("東京都@八丈町"), QStringLiteral("13401")},
        {QStringLiteral("13a4"), QStringLiteral("東京都@八丈町"), QStringLiteral("13401")},
        {QStringLiteral("14a9"), QStringLiteral("東京都@ずれ"), QStringLiteral("13999")}, // key and code disagree
    };
    writePref(13, QStringLiteral("東京都"), p);
    MapTables t;
    const LoadReport report = loadPref(t, state::mdlMain(), ini(dir), {});
    EXPECT_TRUE(report.problems.isEmpty()) << report.problems.join(QLatin1Char('\n')).toStdString();

    const auto* oshima = t.lvwUseTiku.find(QStringLiteral("G13361"));
    ASSERT_NE(oshima, nullptr);
    EXPECT_EQ(oshima->text, QStringLiteral("13p2"));
    EXPECT_EQ(oshima->subItem(2), QStringLiteral("4"));

    const auto* hachijo = t.lvwUseTiku.find(QStringLiteral("G13401"));
    ASSERT_NE(hachijo, nullptr);
    EXPECT_EQ(hachijo->text, QStringLiteral("13p3"));
    EXPECT_EQ(hachijo->subItem(2), QStringLiteral("4"));
    ASSERT_EQ(t.lvwUseTiku.count(), 3);
    EXPECT_EQ(t.lvwUseTiku.at(3).key, QString());
    EXPECT_EQ(t.lvwUseTiku.at(3).text, QStringLiteral("13p4"));
    EXPECT_EQ(t.lvwUseTiku.find(QStringLiteral("G13999")), nullptr);
    EXPECT_EQ(t.TikuRecords.size(), 5u);
    EXPECT_EQ(t.PolygonRecords[3].lines.back(), (RingLine{5, true}));
}

// One bad record costs that record only: the rest of the prefecture loads, and the report names
// each file and line left out.
TEST_F(PrefLoader, BadRecordsAreLeftOutAndNamedTheRestLoads)
{
    const QString f = folder(QStringLiteral("東京都"));
    const auto write = [&f](const char* name, QByteArrayView bytes) {
        QFile file(f + QString::fromLatin1(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), bytes.size());
    };
    write("Line.dat", "13c1\r\n35 139 35 140 36 140 35 139\r\n"
                      "13c2\r\n35 139 nan 140 36 140\r\n"   // not a number
                      "13c3\r\n35 139 inf 140\r\n"
                      "13c4\r\n35 139 36\r\n"                // odd count
                      "13c5\r\n36 140 35 140\r\n\r\n");      // stray blank last line
    write("Point.dat", "13p1\r\n35.5 139.5\r\n13p2\r\nnan 139.6\r\n13p3\r\n35.7 139.7\r\n\r\n");
    write("Polygon.dat", "13a1\r\n13c1\r\n13a3\r\n13c5@_13c1\r\n\r\n");
    write("Tiku.dat", "13a1\r\nT@x\r\n13101\r\n13a3\r\nT@y\r\n13102\r\n\r\n");
    write("PrefLine.dat", "13c1\r\n\r\n13c5\r\n\r\n");
    write("NEWS.dat", "139\r\n140\r\n35\r\n36\r\n");
    select(13, QStringLiteral("東京都"));

    MapTables t;
    const LoadReport report = loadPref(t, state::mdlMain(), ini(dir), {});

    QStringList lineKeys;
    for (const auto& r : t.LineRecords)
        lineKeys << r.key;
    EXPECT_EQ(lineKeys, (QStringList{"13c1", "13c5"}));
    ASSERT_EQ(t.PointRecords.size(), 2u);
    EXPECT_EQ(t.PointRecords[1].key, QStringLiteral("13p3"));
    EXPECT_EQ(t.PolygonRecords.size(), 2u);
    EXPECT_EQ(t.TikuRecords.size(), 2u);
    EXPECT_EQ(t.lvwUseTiku.count(), 2);
    EXPECT_EQ(t.lvwPrefLineOnly.count(), 2);
    EXPECT_FLOAT_EQ(t.DataExtent.maxLat, 36.0f);

    const QString shown = QDir::toNativeSeparators(f);
    const QStringList where = {"Line.dat: 3 行目", "Line.dat: 5 行目", "Line.dat: 7 行目", "Line.dat: 11 行目",
                               "Point.dat: 3 行目", "Point.dat: 7 行目", "Polygon.dat: 5 行目",
                               "Tiku.dat: 7 行目", "PrefLine.dat: 2 行目", "PrefLine.dat: 4 行目"};
    EXPECT_EQ(report.problems.size(), where.size()) << report.problems.join(QLatin1Char('\n')).toStdString();
    for (const QString& w : where) {
        EXPECT_EQ(report.problems.filter(shown + w).size(), 1) << w.toStdString() << "\n"
                                                              << report.problems.join(QLatin1Char('\n')).toStdString();
    }
}

TEST_F(CityLoader, StrayBlankLastLineAndDamagedRingsAreNamedTheRestLoads)
{
    const QString path = folder(QStringLiteral("東京都")) + QStringLiteral("17_13101_千代田区.dat");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("139.7 35.6 139.8 35.7\r\n"
               "139.7 35.6 139.8 35.6 139.8 35.7\r\n1000\r\n1\r\n13101000101\r\nM\r\nA\r\n139.76\r\n35.68\r\n"
               "139.7 nan 139.8 35.6\r\n2000\r\n1\r\n13101000102\r\n\r\nB\r\n139.77\r\n35.69\r\n\r\n");
    file.close();
    auto& s = state::mdlMain();
    s.TikuCount = 1;
    s.TikuPath = {QString(), path};
    s.TikuTable.resize(2);

    MapTables t;
    const LoadReport report = loadCity(t, s, {});
    ASSERT_EQ(t.DistrictRecords.size(), 2u);
    EXPECT_EQ(t.DistrictRecords[0].rings.size(), 1);
    EXPECT_TRUE(t.DistrictRecords[1].rings.isEmpty());
    EXPECT_EQ(t.lvwUseTiku.count(), 2);
    const QString shown = QDir::toNativeSeparators(path);
    EXPECT_EQ(report.problems.size(), 2) << report.problems.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(report.problems.filter(shown + QStringLiteral(": 10 行目")).size(), 1);
    EXPECT_EQ(report.problems.filter(shown + QStringLiteral(": 18 行目")).size(), 1);
}

TEST_F(PrefLoader, TwoPrefecturesBuildEachPrefecturesRowsOnce)
{
    for (int code : {13, 14}) {
        const QString pc = QString::number(code);
        Pref p;
        p.lines = {{pc + QStringLiteral("c1"), kSquare}};
        p.prefLines = {pc + QStringLiteral("c1")};
        p.polygons = {{pc + QStringLiteral("a1"), pc + QStringLiteral("c1")}};
        p.points = {{pc + QStringLiteral("p1"), QStringLiteral("35.5 139.5")}};
        p.tiku = {{pc + QStringLiteral("a1"), QStringLiteral("x@y"), pc + QStringLiteral("101")}};
        p.news = {code == 13 ? 139.0 : 138.9, 140.0, 35.0, code == 13 ? 36.0 : 35.6};
        writePref(code, code == 13 ? QStringLiteral("東京都") : QStringLiteral("神奈川県"), p);
    }
    MapTables t;
    loadPref(t, state::mdlMain(), ini(dir), {});
    ASSERT_EQ(t.lvwUseTiku.count(), 2);
    EXPECT_EQ(t.lvwUseTiku.at(1).key, QStringLiteral("G13101"));
    EXPECT_EQ(t.lvwUseTiku.at(2).key, QStringLiteral("G14101"));
    EXPECT_FLOAT_EQ(t.DataExtent.minLon, 138.9f);
    EXPECT_FLOAT_EQ(t.DataExtent.maxLat, 36.0f);
    EXPECT_EQ(t.lvwPrefLineOnly.count(), 2);
}

TEST_F(CityLoader, ReadsDistrictsAndCutsCodesForTownLevelStatistics)
{
    const QString path = folder(QStringLiteral("東京都")) + QStringLiteral("17_13101_千代田区.dat");
    store::DistrictFile file;
    file.header = QStringLiteral("139.7 35.6 139.8 35.7");
    file.records = {
        {QStringLiteral("139.7 35.6 139.8 35.6 139.8 35.7@139.75 35.65 139.76 35.65 139.76 35.66"), QStringLiteral("1000"),
         QStringLiteral("1"), QStringLiteral("13101000101"), QStringLiteral("M"), QStringLiteral("丸の内１丁目"),
         QStringLiteral("139.76"), QStringLiteral("35.68")},
        {QStringLiteral("139.7 35.6 139.8 35.6 139.8 35.7"), QStringLiteral("2000"), QStringLiteral("1"),
         QStringLiteral("13101000102"), QString(), QStringLiteral("丸の内２丁目"), QStringLiteral("139.77"), QStringLiteral("35.69")},
    };
    ASSERT_TRUE(store::writeDistrictFile(path, file).ok());
    auto& s = state::mdlMain();
    s.TikuCount = 1;
    s.TikuPath = {QString(), path};
    s.TikuTable.resize(2);

    MapTables t;
    s.UseTownLevel = true;
    EXPECT_TRUE(loadCity(t, s, {}).problems.isEmpty());
    ASSERT_EQ(t.DistrictRecords.size(), 2u);
    EXPECT_EQ(t.DistrictRecords[0].code, QStringLiteral("131010001"));
    EXPECT_EQ(t.DistrictRecords[0].rings.size(), 2);
    EXPECT_EQ(t.lvwUseTiku.count(), 1); // both records cut to the same town code: the first wins
    EXPECT_EQ(t.lvwUseTiku.at(1).text, QStringLiteral("丸の内１丁目"));
    EXPECT_EQ(s.TikuTable[1][1], QStringLiteral("139.75"));
    EXPECT_EQ(s.TikuTable[1][2], QStringLiteral("35.65"));
    EXPECT_FLOAT_EQ(t.DataExtent.maxLon, 139.8f);

    s.UseTownLevel = false;
    loadCity(t, s, {});
    EXPECT_EQ(t.lvwUseTiku.count(), 2);
    EXPECT_EQ(t.DistrictRecords[1].code, QStringLiteral("13101000102"));
}

// A ring naming one long line again and again would be walked into billions of points on every
// redraw: it is left out and named, the other rings load. 20,000 points named 600 times passes
// the floor of 10 million points.
TEST_F(JapanLoader, RingWalkingOneLineTooOftenIsLeftOutAndNamed)
{
    QString longLine;
    for (int i = 0; i < 20000; ++i)
        longLine += QStringLiteral("35.%1 139.%1 ").arg(i, 5, 10, QLatin1Char('0'));
    for (const bool polygon : {false, true}) {
        SCOPED_TRACE(polygon ? "Polygon.dat" : "PrefLine.dat");
        const QString swollen = QStringList(600, QStringLiteral("13c9")).join(QLatin1Char('@'));
        Pref p;
        p.lines = {line("13c1"), line("13c9", longLine.trimmed())};
        p.prefLines = {QStringLiteral("13c1"), polygon ? QStringLiteral("13c9") : swollen};
        if (polygon)
            p.polygons = {{QStringLiteral("13p1"), QStringLiteral("13c1")}, {QStringLiteral("13p2"), swollen}};
        writePref(13, QStringLiteral("東京都"), p);
        MapTables t;
        const LoadReport report = polygon ? loadPref(t, state::mdlMain(), ini(dir), {}) : loadJapan(t, state::mdlMain(), ini(dir), {});
        ASSERT_EQ(report.problems.size(), 1) << report.problems.join(QLatin1Char('\n')).toStdString();
        const QString file = polygon ? QStringLiteral("Polygon.dat") : QStringLiteral("PrefLine.dat");
        EXPECT_TRUE(report.problems.first().contains(QStringLiteral("東京都/") + file) ||
                    report.problems.first().contains(QStringLiteral("東京都\\") + file)) << report.problems.first().toStdString();
        EXPECT_TRUE(report.problems.first().contains(QStringLiteral("10000000 個を超える"))) << report.problems.first().toStdString();
        if (polygon) {
            ASSERT_EQ(t.PolygonRecords.size(), 2u);
            EXPECT_EQ(t.PolygonRecords[0].lines.size(), 1);
            EXPECT_TRUE(t.PolygonRecords[1].lines.isEmpty());
        } else {
            ASSERT_EQ(t.orgPrefLineRings.size(), 2u);
            EXPECT_EQ(t.orgPrefLineRings[0].size(), 1);
            EXPECT_TRUE(t.orgPrefLineRings[1].isEmpty());
        }
    }
}
