// Today's small-area downloads: the Itabashi boundary shapefile agrees with the boundary XML job
// on the same areas, and its tables join to every imported small area.
#include "../../bench/small_area_xml.h"
#include "boundary_fixture.h"
#include "convert/small_area_converter.h"
#include "convert/small_area_import.h"
#include "store/district_file.h"
#include "store/statistic_file.h"

using namespace miratos;
using namespace miratos::convert;

namespace {
const QString kItabashi = QStringLiteral(MIRATOS_SHARED_DATA "/small-area-itabashi-2015/");
}

TEST(SmallAreaImportTest, YearOfFileName)
{
    EXPECT_EQ(smallAreaYearOfFileName(QStringLiteral("/d/h27ka13119.shp")), 27);
    EXPECT_EQ(smallAreaYearOfFileName(QStringLiteral("/d/A002005212020DDSWC13119.shp")), 32);
    EXPECT_EQ(smallAreaYearOfFileName(QStringLiteral("/d/x.shp")), 0);
    EXPECT_EQ(twoDigitCensusYear(2010), 22);
    EXPECT_EQ(twoDigitCensusYear(2005), 17);
}

// A feature with two outer rings and a hole: two records, the hole after the first outer ring.
TEST(SmallAreaImportTest, MultiPartFeatureGivesOneRecordPerOuterRing)
{
    platform::GisLayer layer;
    layer.fieldNames = {"KEN", "CITY", "KEYCODE2", "HCODE", "AREA", "AREA_MAX_F", "MOJI", "X_CODE", "Y_CODE", "GST_NAME", "CSS_NAME"};
    platform::GisFeature f;
    f.kind = platform::GisFeature::Kind::Polygon;
    f.parts = {{{0, 0}, {4, 0}, {4, 4}, {0, 0}}, {{2, 1}, {3, 1}, {3, 2}, {2, 1}}, {{10, 10}, {11, 10}, {11, 11}, {10, 10}}};
    const QList<QPair<QString, QByteArray>> values = {{"KEN", "13"}, {"CITY", "119"}, {"KEYCODE2", "119001001"}, {"HCODE", "8101"},
                                                      {"AREA", "12.5"}, {"AREA_MAX_F", "M"}, {"MOJI", "板橋１丁目"},
                                                      {"X_CODE", "1.5"}, {"Y_CODE", "2.5"}, {"GST_NAME", "板橋区"}, {"CSS_NAME", ""}};
    for (const auto& [k, v] : values)
        f.fields.insert(k, v);
    layer.features.push_back(f);
    const auto districts = buildSmallAreaDistricts(layer);
    ASSERT_EQ(districts.size(), 1u);
    EXPECT_EQ(districts[0].code, QStringLiteral("13119"));
    EXPECT_EQ(districts[0].name, QStringLiteral("板橋区"));
    EXPECT_EQ(districts[0].file.header, QStringLiteral("0 0 11 11"));
    ASSERT_EQ(districts[0].file.records.size(), 2);
    EXPECT_EQ(districts[0].file.records[0].rings, QStringLiteral("0 0 4 0 4 4 0 0@2 1 3 1 3 2 2 1"));
    EXPECT_EQ(districts[0].file.records[1].rings, QStringLiteral("10 10 11 10 11 11 10 10"));
    EXPECT_EQ(districts[0].file.records[1].code, QStringLiteral("13119001001"));
}

class ItabashiImport : public BoundaryFolder {};

TEST_F(ItabashiImport, ShapefileAgreesWithBoundaryJobAndTablesJoinEverySmallArea)
{
    if (!QFile::exists(kItabashi + QStringLiteral("h27ka13119.shp")))
        GTEST_SKIP() << "shared data not found: " << kItabashi.toStdString();
    const QString mapData = path(QStringLiteral("MapData"));
    const auto written = importSmallAreaShapefile(kItabashi + QStringLiteral("h27ka13119.shp"), 0, mapData, path(QStringLiteral("Init.ini")));
    ASSERT_TRUE(written) << written.error().toStdString();
    ASSERT_EQ(written->size(), 1);
    EXPECT_EQ(QFileInfo(written->first()).fileName(), QStringLiteral("27_13119_板橋区.dat"));
    const auto imported = store::readDistrictFile(written->first());
    ASSERT_TRUE(imported) << imported.error().toStdString();
    EXPECT_EQ(imported->records.size(), 134);

    // The same areas as boundary XML through the boundary job give the same file.
    const QString xml = inputFile(QStringLiteral("h27ka13119.xml"), bench::smallAreaXml(*imported, {QStringLiteral("板橋区"), QString(), true}));
    QDir().mkpath(path(QStringLiteral("xmljob")));
    const auto job = convertSmallAreaBoundary(xml, 27, QStringLiteral("13119"), path(QStringLiteral("xmljob")));
    ASSERT_TRUE(job) << job.error().toStdString();
    EXPECT_EQ(store::readDistrictFile(job->path).value(), *imported);

    // Both tables join every small area drawn.
    for (const char* table : {"itabashi_setai.csv", "itabashi_5years.csv"}) {
        const auto stats = importSmallAreaTable(kItabashi + QLatin1String(table), 0, mapData, path(QStringLiteral("Init.ini")));
        ASSERT_TRUE(stats) << stats.error().toStdString();
        store::StatRows rows;
        int16_t cols = 0;
        int32_t count = 0;
        ASSERT_TRUE(store::appendStatisticFile(stats->first(), rows, cols, count));
        QSet<QString> codes;
        for (size_t r = 1; r < rows.size(); ++r)
            codes.insert(rows[r][0]);
        QStringList unmatched;
        for (const store::DistrictRecord& record : imported->records) {
            if (!codes.contains(record.code))
                unmatched << record.code;
        }
        EXPECT_TRUE(unmatched.isEmpty()) << table << ": " << unmatched.join(QLatin1Char(' ')).toStdString();
    }
    EXPECT_TRUE(QFile::exists(tokyoFolder() + QStringLiteral("/27_13119_statistic3.csv")));
    EXPECT_TRUE(QFile::exists(tokyoFolder() + QStringLiteral("/27_13119_statistic2.csv")));
}

// The 2020 municipal results: prefectures into MapData/statistic3.csv, municipalities into each
// prefecture's statistic6.csv, with the ratio of men to women.
TEST_F(ItabashiImport, MunicipalResultsBecomeJapanAndPrefectureStatistics)
{
    const QString csv = inputFile(QStringLiteral("results.csv"),
                                  "都道府県コード,市区町村コード,都道府県名,市区町村名,人口_総数,人口_男,人口_女\n"
                                  "00,00000,全国,全国,126146099,61349581,64796518\n"
                                  "13,13000,東京都,東京都,14047594,6898388,7149206\n"
                                  "13,13101,東京都,千代田区,66680,33637,33043\n"
                                  "13,13102,東京都,中央区,169179,80216,0\n");
    ASSERT_TRUE(isMunicipalResults(csv));
    const auto written = importMunicipalResults(csv, path(QStringLiteral("MapData")), path(QStringLiteral("Init.ini")));
    ASSERT_TRUE(written) << written.error().toStdString();
    EXPECT_EQ(written->size(), 2);
    const auto japan = platform::readTextLines(path(QStringLiteral("MapData/statistic3.csv")));
    ASSERT_TRUE(japan);
    EXPECT_EQ(*japan, (QStringList{QStringLiteral("Code,地区名,人口(人),男性(人),女性(人),男女比(男/女)"),
                                   QStringLiteral("13,東京都,14047594,6898388,7149206,96.5")}));
    EXPECT_EQ(fileText(QStringLiteral("statistic6.csv")), "Code,地区名,人口(人),男性(人),女性(人),男女比(男/女)\r\n"
                                                          "13101,千代田区,66680,33637,33043,101.8\r\n"
                                                          "13102,中央区,169179,80216,0,-\r\n");
}

// The workbook edition of the results gives the same statistic files as the CSV edition.
TEST_F(ItabashiImport, ResultsWorkbookGivesTheSameFilesAsTheCsv)
{
    const QString census = QStringLiteral(MIRATOS_SHARED_DATA "/census/");
    if (!QFile::exists(census + QStringLiteral("major_results_2020.xlsx")))
        GTEST_SKIP() << "shared data not found: " << census.toStdString();
    QStringList ini{QStringLiteral("[Pref]")};
    for (int i = 1; i <= 47; ++i)
        ini << QStringLiteral("%1=県%1").arg(i, 2, 10, QLatin1Char('0'));
    ASSERT_TRUE(platform::writeTextLines(path(QStringLiteral("Init.ini")), ini).ok());
    QByteArray files[2];
    int run = 0;
    for (const char* name : {"major_results_2020.csv", "major_results_2020.xlsx"}) {
        const QString source = census + QString::fromLatin1(name);
        ASSERT_TRUE(isMunicipalResults(source)) << name;
        const QString mapData = path(QStringLiteral("MapData%1").arg(run));
        ASSERT_TRUE(QDir().mkpath(mapData));
        const auto written = importMunicipalResults(source, mapData, path(QStringLiteral("Init.ini")));
        ASSERT_TRUE(written) << written.error().toStdString();
        EXPECT_EQ(written->size(), 48) << name;
        for (const QString& file : *written) {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            files[run] += f.readAll();
        }
        ++run;
    }
    EXPECT_GT(files[0].count('\n'), 1900);
    EXPECT_EQ(files[0], files[1]);
}
