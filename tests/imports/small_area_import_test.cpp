// Today's small-area downloads: the Itabashi boundary shapefile agrees with the boundary XML job
// on the same areas, and its tables join to every imported small area.
#include "../../bench/small_area_xml.h"
#include "../convert/boundary_fixture.h"
#include "cli/small_area_command.h"
#include "convert/small_area_converter.h"
#include "imports/census_results.h"
#include "imports/small_area_import.h"
#include "store/district_file.h"
#include "store/statistic_file.h"

using namespace miratos;
using namespace miratos::convert;

namespace {
const QString kItabashi = QStringLiteral(MIRATOS_SHARED_DATA "/small-area-itabashi-2015/");
}

TEST(SmallAreaImportTest, YearOfFileName)
{
    // Digits after the prefix are codes: 20361 once read as the year 2036.
    const QList<QPair<const char*, int>> cases = {
        {"/d/h27ka13119.shp", 27}, {"/d/A002005212020DDSWC13119.shp", 32}, {"/d/x.shp", 0}, {"/d/r2ka13119.shp", 32},
        {"/d/r2ka13.shp", 32},     {"/d/r2ka20361.shp", 32},               {"/d/h27ka20361.shp", 27},
        {"/d/ka2020.shp", 0},      {"/d/x_r2ka13119.shp", 0},
    };
    for (const auto& [name, year] : cases)
        EXPECT_EQ(imports::smallAreaYearOfFileName(QString::fromLatin1(name)), year) << name;
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
    const auto districts = imports::buildSmallAreaDistricts(layer);
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
    const auto written = imports::importSmallAreaShapefile(kItabashi + QStringLiteral("h27ka13119.shp"), 0, mapData, path(QStringLiteral("Init.ini")));
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
        const auto stats = imports::importSmallAreaTable(kItabashi + QLatin1String(table), 0, mapData, path(QStringLiteral("Init.ini")));
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
// prefecture's statistic6.csv, with the ratio of men to women and every further column the file
// holds; marks and empty cells stay no number.
TEST_F(ItabashiImport, MunicipalResultsBecomeJapanAndPrefectureStatistics)
{
    const QString csv = inputFile(QStringLiteral("results.csv"),
                                  "都道府県コード,市区町村コード,都道府県名,市区町村名,人口_総数,人口_男,人口_女,\"面積（km2）\",人口密度,増減率\n"
                                  "00,00000,全国,全国,126146099,61349581,64796518,377976.41,338.2,-0.7\n"
                                  "13,13000,東京都,東京都,14047594,6898388,7149206,2194.03,6402.6,3.94\n"
                                  "13,13101,東京都,千代田区,66680,33637,33043,11.66,5718.70,X\n"
                                  "13,13102,東京都,中央区,169179,80216,0,,…,-\n");
    ASSERT_TRUE(imports::isMunicipalResults(csv));
    const auto written = imports::importMunicipalResults(csv, path(QStringLiteral("MapData")), path(QStringLiteral("Init.ini")));
    ASSERT_TRUE(written) << written.error().toStdString();
    EXPECT_EQ(written->size(), 2);
    const auto japan = platform::readTextLines(path(QStringLiteral("MapData/statistic3.csv")));
    ASSERT_TRUE(japan);
    EXPECT_EQ(*japan, (QStringList{QStringLiteral("Code,地区名,人口(人),男性(人),女性(人),男女比(男/女),面積（km2）,人口密度,増減率"),
                                   QStringLiteral("13,東京都,14047594,6898388,7149206,96.5,2194.03,6402.6,3.94")}));
    EXPECT_EQ(fileText(QStringLiteral("statistic6.csv")), "Code,地区名,人口(人),男性(人),女性(人),男女比(男/女),面積（km2）,人口密度,増減率\r\n"
                                                          "13101,千代田区,66680,33637,33043,101.8,11.66,5718.7,X\r\n"
                                                          "13102,中央区,169179,80216,0,-,-,…,-\r\n");
}

// The workbook edition of the results gives the same statistic files as the CSV edition in the
// columns the CSV holds, and keeps the further columns of both its sheets under their titles
// and units.
TEST_F(ItabashiImport, ResultsWorkbookGivesTheSameFilesAsTheCsv)
{
    const QString census = QStringLiteral(MIRATOS_SHARED_DATA "/census/");
    if (!QFile::exists(census + QStringLiteral("major_results_2020.xlsx")))
        GTEST_SKIP() << "shared data not found: " << census.toStdString();
    QStringList ini{QStringLiteral("[Pref]")};
    for (int i = 1; i <= 47; ++i)
        ini << QStringLiteral("%1=県%1").arg(i, 2, 10, QLatin1Char('0'));
    ASSERT_TRUE(platform::writeTextLines(path(QStringLiteral("Init.ini")), ini).ok());
    QList<QStringList> files[2];
    int run = 0;
    for (const char* name : {"major_results_2020.csv", "major_results_2020.xlsx"}) {
        const QString source = census + QString::fromLatin1(name);
        ASSERT_TRUE(imports::isMunicipalResults(source)) << name;
        const QString mapData = path(QStringLiteral("MapData%1").arg(run));
        ASSERT_TRUE(QDir().mkpath(mapData));
        const auto written = imports::importMunicipalResults(source, mapData, path(QStringLiteral("Init.ini")));
        ASSERT_TRUE(written) << written.error().toStdString();
        EXPECT_EQ(written->size(), 48) << name;
        for (const QString& file : *written) {
            const auto lines = platform::readTextLines(file);
            ASSERT_TRUE(lines) << lines.error().toStdString();
            files[run] << *lines;
        }
        ++run;
    }
    ASSERT_EQ(files[0].size(), files[1].size());
    qsizetype lines = 0;
    for (qsizetype f = 0; f < files[0].size(); ++f) {
        ASSERT_EQ(files[0][f].size(), files[1][f].size()) << f;
        for (qsizetype i = 0; i < files[0][f].size(); ++i, ++lines) {
            const QStringList csv = files[0][f][i].split(QLatin1Char(',')), book = files[1][f][i].split(QLatin1Char(','));
            ASSERT_EQ(csv.size(), 6);
            EXPECT_EQ(book.mid(0, 6), csv) << f << ":" << i;
            EXPECT_EQ(book.size(), files[1][f][0].count(QLatin1Char(',')) + 1) << f << ":" << i;
        }
    }
    EXPECT_GT(lines, 1900);
    // statistic3.csv: the workbook's further columns, and 東京都's values in them.
    const QStringList header = files[1][0][0].split(QLatin1Char(','));
    const QStringList tokyo = files[1][0][13].split(QLatin1Char(','));
    ASSERT_EQ(tokyo.value(0), QStringLiteral("13"));
    const QList<QPair<QString, QString>> expected = {
        {QStringLiteral("5年間の人口増減率（％）"), QStringLiteral("3.93867")},
        {QStringLiteral("面積（参考）（km2）"), QStringLiteral("2194.03")},
        {QStringLiteral("人口密度（人/km2）"), QStringLiteral("6402.6")},
        {QStringLiteral("総世帯（世帯）"), QStringLiteral("7227180")},
        {QStringLiteral("年齢別人口（男女「総数」） 15歳未満（人）"), QString()},
        {QStringLiteral("うち核家族世帯（世帯）"), QString()},
        {QStringLiteral("世帯 一般世帯（世帯）（AN 列）"), QString()},
        {QStringLiteral("昼間人口（人）"), QStringLiteral("16751563")},
        {QStringLiteral("女 労働力率（％）"), QStringLiteral("60.07581")},
    };
    for (const auto& [title, value] : expected) {
        const qsizetype at = header.indexOf(title);
        ASSERT_GE(at, 6) << title.toStdString() << " in " << files[1][0][0].toStdString();
        if (!value.isEmpty()) {
            EXPECT_EQ(tokyo.value(at), value) << title.toStdString();
        }
    }
    EXPECT_EQ(QSet<QString>(header.begin(), header.end()).size(), header.size()) << "titles are unique";
}

// Today's e-Stat small-area table of a whole prefecture: column codes on line 1, their titles on
// line 2 under empty first fields, municipality totals, "-" and "X" marks, a secret area.
class TodaysSmallAreaTable : public BoundaryFolder {
protected:
    QString table(const QStringList& rows)
    {
        QStringList lines{QStringLiteral("KEY_CODE,HYOSYO,CITYNAME,NAME,HTKSYORI,HTKSAKI,GASSAN,T001082001,T001082002,T001082003,T001082004"),
                          QStringLiteral(",,,,,,,人口総数,男,女,世帯総数")};
        lines << rows;
        return inputFile(QStringLiteral("tblT001082C13.txt"), platform::toCp932(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).value());
    }
    // A district file of the year 2020 (32) for the municipality, as the boundary import names it.
    void boundary(const QString& name)
    {
        QFile file(tokyoFolder() + QLatin1Char('/') + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("139 35 140 36\r\n");
    }
    const QStringList kChiyoda = {QStringLiteral("13101,1,千代田区,,,,,66680,33637,33043,35000"),
                                  QStringLiteral("131010010,2,千代田区,丸の内,,,,329,196,133,200"),
                                  QStringLiteral("13101001001,3,千代田区,丸の内１丁目,1,13101001002,,X,X,0,X"),
                                  QStringLiteral("13101001002,3,千代田区,丸の内２丁目,2,,13101001001,20,-,5,10")};
};

TEST_F(TodaysSmallAreaTable, ValuesGoToTheirColumnsAndMunicipalitiesWithoutBoundariesAreNamed)
{
    boundary(QStringLiteral("32_13101_千代田区.dat"));
    const QString txt = table(kChiyoda + QStringList{QStringLiteral("13102,1,中央区,,,,,169179,80216,88963,100000"),
                                                     QStringLiteral("131020010,2,中央区,八重洲,,,,100,50,50,60")});
    ASSERT_TRUE(imports::isSmallAreaTable(txt));
    QStringList notes;
    const auto written = imports::importSmallAreaTable(txt, 0, path(QStringLiteral("MapData")), path(QStringLiteral("Init.ini")), &notes);
    ASSERT_TRUE(written) << written.error().toStdString();
    EXPECT_EQ(*written, QStringList{tokyoFolder() + QStringLiteral("/32_13101_statistic1.csv")});
    EXPECT_EQ(fileText(QStringLiteral("32_13101_statistic1.csv")), "Code,地区名,人口総数,男,女,世帯総数\r\n"
                                                                   "13101,千代田区,66680,33637,33043,35000\r\n"
                                                                   "131010010,千代田区・丸の内,329,196,133,200\r\n"
                                                                   "13101001001,千代田区・丸の内１丁目,X,X,X,X\r\n"
                                                                   "13101001002,千代田区・丸の内２丁目,20,-,5,10\r\n");
    EXPECT_EQ(fileText(QStringLiteral("32_13102_statistic1.csv")), "<missing>");
    ASSERT_EQ(notes.size(), 1);
    EXPECT_TRUE(notes.first().contains(QStringLiteral("13102 中央区"))) << notes.first().toStdString();
}

// All or nothing for the files it writes: a later municipality that fails leaves the earlier
// one unwritten; a table none of whose municipalities has boundaries names them.
TEST_F(TodaysSmallAreaTable, FailureWritesNothing)
{
    boundary(QStringLiteral("32_13101_千代田区.dat"));
    const QString unlisted = table(kChiyoda + QStringList{QStringLiteral("99101,1,どこか市,,,,,1,1,0,1")});
    const auto refused = imports::importSmallAreaTable(unlisted, 32, path(QStringLiteral("MapData")), path(QStringLiteral("Init.ini")));
    ASSERT_FALSE(refused);
    EXPECT_TRUE(refused.error().contains(QStringLiteral("99"))) << refused.error().toStdString();
    EXPECT_EQ(fileText(QStringLiteral("32_13101_statistic1.csv")), "<missing>");

    const QString chuo = table({QStringLiteral("13102,1,中央区,,,,,169179,80216,88963,100000")});
    const auto none = imports::importSmallAreaTable(chuo, 0, path(QStringLiteral("MapData")), path(QStringLiteral("Init.ini")));
    ASSERT_FALSE(none);
    EXPECT_TRUE(none.error().contains(QStringLiteral("13102 中央区"))) << none.error().toStdString();
}

// The converter of the older layout takes values from field 5 on; today's table has them from
// field 7, so it is refused with the import to use instead of shifting every value.
TEST_F(TodaysSmallAreaTable, OlderLayoutCommandRefusesIt)
{
    const QString txt = table(kChiyoda);
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    EXPECT_EQ(cli::runSmallAreaCensusCommand({QStringLiteral("--year"), QStringLiteral("32"), QStringLiteral("--code"), QStringLiteral("13101"),
                                         QStringLiteral("--table"), QStringLiteral("1"), QStringLiteral("--data"), txt},
                                        out, err),
              1);
    err.flush();
    EXPECT_TRUE(errText.contains(QStringLiteral("miratos import"))) << errText.toStdString();
    EXPECT_TRUE(errText.contains(QStringLiteral("tblT001082C13.txt"))) << errText.toStdString();
    EXPECT_EQ(fileText(QStringLiteral("32_13101_statistic1.csv")), "<missing>");
}
