// The facility conversion: a golden Build.dat from a hand-written XML, the code tables (an unknown
// code becomes "ERROR"), malformed input stopping before anything is written, and the import of
// today's GeoJSON writing the same lines for the same facilities.
#include "convert/facility_converter.h"
#include "imports/facility_import.h"
#include "platform/cp932.h"
#include "store/facility_files.h"

#include <QDir>
#include <QRegularExpression>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace miratos;
using namespace miratos::convert;

namespace {

const QString kFixtures = QStringLiteral(MIRATOS_SOURCE_DIR "/tests/convert/fixtures/facility/");

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QByteArray golden()
{
    QString text = QString::fromUtf8(readAll(kFixtures + QStringLiteral("Build.dat.golden")));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return *platform::toCp932(text);
}

class FacilityConverting : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(out())); }
    QString out() const { return m_dir.filePath(QStringLiteral("香川県")); }
    QString buildDat() const { return QDir(out()).filePath(QStringLiteral("Build.dat")); }
    QString initIni() const { return kFixtures + QStringLiteral("Init.ini"); }
    QString input(const QString& name, const QString& xml) const
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(*platform::toCp932(xml));
        return path;
    }
    QTemporaryDir m_dir;
};

QString point(const char* id, const char* coordinate)
{
    return QStringLiteral("<jps:GM_Point id=\"%1\"><jps:GM_Point.position><jps:DirectPosition><DirectPosition.coordinate>%2"
                          "</DirectPosition.coordinate></jps:DirectPosition></jps:GM_Point.position></jps:GM_Point>\n")
        .arg(QString::fromUtf8(id), QString::fromUtf8(coordinate));
}

QString dataset(const QString& body)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n<ksj:Dataset xmlns:ksj=\"k\" xmlns:jps=\"j\">\n") + body +
           QStringLiteral("</ksj:Dataset>\n");
}

} // namespace

TEST_F(FacilityConverting, GoldenBuildDatFromAHandWrittenFile)
{
    const auto report = 公共施設(kFixtures + QStringLiteral("P37-facilities.xml"), initIni(), out());
    ASSERT_TRUE(report.ok()) << report.error().toStdString();
    EXPECT_EQ(readAll(buildDat()), golden());
    EXPECT_EQ(report->points, 3);
    EXPECT_EQ(report->facilities, 3);
    EXPECT_EQ(report->unknownCodes, 2); // major class 17, administrator 4
    EXPECT_TRUE(report->notes.isEmpty());
}

TEST_F(FacilityConverting, CodeTablesGiveNamesAndErrorForUnknownCodes)
{
    FacilityCodeTables codes(initIni());
    EXPECT_EQ(codes.major(QStringLiteral("16")), QStringLiteral("学校"));
    EXPECT_EQ(codes.minor(QStringLiteral("03001")), QStringLiteral("美術館"));
    EXPECT_EQ(codes.minor(QStringLiteral("3001")), QStringLiteral("ERROR")); // codes are compared as written
    EXPECT_EQ(codes.administrator(QStringLiteral("3")), QStringLiteral("市区町村"));
    EXPECT_EQ(codes.administrator(QStringLiteral("16")), QStringLiteral("ERROR")); // each table on its own
    EXPECT_EQ(codes.major(QStringLiteral("")), QStringLiteral("ERROR"));
    EXPECT_EQ(codes.unknownCodes(), 3);

    // The shipped Init.ini holds every code of the published lists.
    FacilityCodeTables shipped(QStringLiteral(MIRATOS_SOURCE_DIR "/data/Init.ini"));
    EXPECT_EQ(shipped.major(QStringLiteral("19")), QStringLiteral("福祉施設"));
    EXPECT_EQ(shipped.minor(QStringLiteral("19014")), QStringLiteral("へき地保育所"));
    EXPECT_EQ(shipped.administrator(QStringLiteral("9")), QStringLiteral("不明"));
    EXPECT_EQ(shipped.unknownCodes(), 0);
}

TEST_F(FacilityConverting, ElementsAreWrittenInFieldOrderAndGapsAreNamed)
{
    // The elements stand in another order, the address is missing, the name holds "|".
    const QString path = input(QStringLiteral("P37.xml"), dataset(point("n1", "34.5 134.5") + QStringLiteral(
        "<ksj:FB01 id=\"a\"><ksj:APF>3</ksj:APF><ksj:NA0>Ａ|Ｂ</ksj:NA0><ksj:PCI>16001</ksj:PCI><ksj:PCA>16</ksj:PCA>"
        "<ksj:AAC>37201</ksj:AAC><ksj:POS idref=\"n1\"/></ksj:FB01>\n")));
    const auto report = 公共施設(path, initIni(), out());
    ASSERT_TRUE(report.ok()) << report.error().toStdString();
    EXPECT_EQ(readAll(buildDat()), *platform::toCp932(QStringLiteral("34.5 134.5|37201|学校|小学校|Ａ｜Ｂ||市区町村\r\n")));
    ASSERT_EQ(report->notes.size(), 2);
    EXPECT_TRUE(report->notes.join(QLatin1Char('\n')).contains(QStringLiteral("ksj:ADS"))) << report->notes.join(QLatin1Char('\n')).toStdString();
}

TEST_F(FacilityConverting, MalformedInputStopsAndKeepsTheOldFile)
{
    struct Case {
        const char* name;
        QString body;
        QString expected; // part of the message
    };
    const QString fine = QStringLiteral("<ksj:AAC>37201</ksj:AAC><ksj:PCA>16</ksj:PCA><ksj:PCI>16001</ksj:PCI><ksj:NA0>Ａ</ksj:NA0>"
                                        "<ksj:ADS>x</ksj:ADS><ksj:APF>3</ksj:APF>");
    const Case cases[] = {
        {"unknown point", point("n1", "34.5 134.5") + QStringLiteral("<ksj:FB01 id=\"f1\"><ksj:POS idref=\"n9\"/>") + fine +
                              QStringLiteral("</ksj:FB01>\n"),
         QStringLiteral("n9")},
        {"no position", point("n1", "34.5 134.5") + QStringLiteral("<ksj:FB01 id=\"f2\">") + fine + QStringLiteral("</ksj:FB01>\n"),
         QStringLiteral("f2")},
        {"element twice", point("n1", "34.5 134.5") + QStringLiteral("<ksj:FB01 id=\"f3\"><ksj:POS idref=\"n1\"/>") + fine +
                              QStringLiteral("<ksj:NA0>Ｂ</ksj:NA0></ksj:FB01>\n"),
         QStringLiteral("ksj:NA0")},
        {"bad coordinate", point("n1", "34.5") + QStringLiteral("<ksj:FB01 id=\"f4\"><ksj:POS idref=\"n1\"/>") + fine +
                               QStringLiteral("</ksj:FB01>\n"),
         QStringLiteral("n1")},
        {"not XML", QStringLiteral("<ksj:FB01>"), QString()},
    };
    const QByteArray old = *platform::toCp932(QStringLiteral("old\r\n"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile f(buildDat());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(old);
        f.close();
        const auto report = 公共施設(input(QStringLiteral("P37.xml"), dataset(c.body)), initIni(), out());
        ASSERT_FALSE(report.ok());
        EXPECT_TRUE(report.error().contains(c.expected)) << report.error().toStdString();
        EXPECT_EQ(readAll(buildDat()), old);
    }
    const auto missing = 公共施設(kFixtures + QStringLiteral("P37-facilities.xml"), initIni(), m_dir.filePath(QStringLiteral("none")));
    ASSERT_FALSE(missing.ok());
    EXPECT_TRUE(missing.error().contains(QStringLiteral("フォルダ")));
}

// The facilities of P37-facilities.xml in today's GeoJSON layout (made up, like the XML).
const char* const kTodaysFacilities = R"({
"type": "FeatureCollection",
"features": [
{ "type": "Feature", "properties": { "P02_001": "37201", "P02_002": "3", "P02_003": "03001", "P02_004": "讃岐みらい会館", "P02_005": "中央町2-4-1", "P02_006": "2", "P02_007": "数値地図画像" }, "geometry": { "type": "Point", "coordinates": [ 134.041375, 34.338215 ] } },
{ "type": "Feature", "properties": { "P02_001": "37201", "P02_002": "16", "P02_003": "16001", "P02_004": "高松市立みなと小学校", "P02_005": "港町5-2", "P02_006": "3", "P02_007": "数値地図" }, "geometry": { "type": "Point", "coordinates": [ 134.055715, 34.352245 ] } },
{ "type": "Feature", "properties": { "P02_001": "37202", "P02_002": "17", "P02_003": "17001", "P02_004": "丸亀みどり病院", "P02_005": "本町7-3", "P02_006": "4", "P02_007": "数値地図" }, "geometry": { "type": "Point", "coordinates": [ 133.80427, 34.28316 ] } }
]
}
)";

TEST_F(FacilityConverting, ImportOfTodaysDataWritesTheSameLines)
{
    const QString mapData = m_dir.filePath(QStringLiteral("MapData"));
    const QString geojson = m_dir.filePath(QStringLiteral("P37-facilities.geojson"));
    {
        QFile f(geojson);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kTodaysFacilities);
    }
    const auto report = imports::importFacilities({geojson}, mapData, initIni());
    ASSERT_TRUE(report.ok()) << report.error().toStdString();
    EXPECT_EQ(report->skipped, 0);
    EXPECT_EQ(report->unknownCodes, 2);
    EXPECT_EQ(readAll(QDir(mapData).filePath(QStringLiteral("香川県/Build.dat"))), golden());
    EXPECT_TRUE(imports::isFacilityDataset(geojson));
    EXPECT_FALSE(imports::isFacilityDataset(kFixtures + QStringLiteral("P37-facilities.xml")));
}

TEST_F(FacilityConverting, CodesStoredAsNumbersKeepTheirLeadingZeros)
{
    // The same facilities with every code a JSON number ("03001" becomes 3001, or 3001.0 in a
    // column GDAL reads as real), and one of 北海道, whose area code 01101 becomes 1101.
    QString numeric = QString::fromUtf8(kTodaysFacilities);
    static const QRegularExpression quotedCode(QStringLiteral(R"re("(P02_00[1236])": "0*([0-9]+)")re"));
    numeric.replace(quotedCode, QStringLiteral(R"("\1": \2)"));
    numeric.replace(QStringLiteral(R"("P02_003": 17001)"), QStringLiteral(R"("P02_003": 17001.0)"));
    numeric.replace(QStringLiteral("]\n}"),
                    QStringLiteral(R"(,{ "type": "Feature", "properties": { "P02_001": 1101, "P02_002": 3, "P02_003": 3001, )"
                                   R"("P02_004": "札幌館", "P02_005": "北1", "P02_006": 4 }, "geometry": { "type": "Point", )"
                                   R"("coordinates": [ 141.35, 43.06 ] } })"
                                   "\n]\n}"));
    ASSERT_FALSE(numeric.contains(QStringLiteral("\"03001\"")));
    const QString mapData = m_dir.filePath(QStringLiteral("MapData"));
    const QString geojson = m_dir.filePath(QStringLiteral("numbers.geojson"));
    {
        QFile f(geojson);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(numeric.toUtf8());
    }
    const auto report = imports::importFacilities({geojson}, mapData, initIni());
    ASSERT_TRUE(report.ok()) << report.error().toStdString();
    EXPECT_EQ(report->skipped, 0) << report->firstSkipped.toStdString();
    EXPECT_EQ(report->unknownCodes, 2); // the same two codes the fixture's Init.ini lacks
    EXPECT_EQ(readAll(QDir(mapData).filePath(QStringLiteral("香川県/Build.dat"))), golden());
    const store::FacilityRead hokkaido = store::readBuildDat(QDir(mapData).filePath(QStringLiteral("北海道/Build.dat")));
    ASSERT_EQ(hokkaido.rows.size(), 1u);
    EXPECT_EQ(hokkaido.rows[0][store::kBuildCity], QStringLiteral("01101"));
    EXPECT_EQ(hokkaido.rows[0][store::kBuildName], QStringLiteral("札幌館"));
}

TEST_F(FacilityConverting, RealFacilitiesAreImportedWithEveryCodeKnown)
{
    const QString file = QStringLiteral(MIRATOS_SHARED_DATA "/facilities-p02-2006/P02-06_37-g_PublicFacility.geojson");
    if (!QFile::exists(file))
        GTEST_SKIP() << "shared facility data not found at " << file.toStdString();
    const QString mapData = m_dir.filePath(QStringLiteral("MapData"));
    const auto report = imports::importFacilities({file}, mapData, QStringLiteral(MIRATOS_SOURCE_DIR "/data/Init.ini"));
    ASSERT_TRUE(report.ok()) << report.error().toStdString();
    EXPECT_EQ(report->unknownCodes, 0);
    EXPECT_EQ(report->skipped, 0);
    const store::FacilityRead read = store::readBuildDat(QDir(mapData).filePath(QStringLiteral("香川県/Build.dat")));
    EXPECT_EQ(read.rows.size(), 1929u);
    EXPECT_EQ(read.badLines, 0);
    for (const auto& row : read.rows)
        ASSERT_TRUE(row[store::kBuildCity].startsWith(QStringLiteral("37"))) << row[store::kBuildCity].toStdString();
}
