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
