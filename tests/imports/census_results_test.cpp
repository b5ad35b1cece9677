// The prefecture time series of the census: one line per prefecture and census in the published
// file becomes one Japan-mode row per prefecture with population, men and women of every year.
#include "../convert/boundary_fixture.h"
#include "imports/census_results.h"
#include "platform/cp932.h"
#include "state/mdl_main.h"
#include "store/statistic_file.h"
#include "stats/extraction.h"

using namespace miratos;

namespace {

class PrefectureSeries : public BoundaryFolder {
protected:
    // The table Japan mode reads as its statistic 4, as rows by code.
    QHash<QString, QStringList> japanTable(QStringList* header)
    {
        const auto files = stats::statisticFiles(mapview::MapMode::Japan, 4, state::mdlMain());
        EXPECT_EQ(files.size(), 1);
        store::StatRows rows;
        int16_t cols = 0;
        int32_t count = 0;
        const Status read = store::appendStatisticFile(files.value(0).first, rows, cols, count);
        EXPECT_TRUE(read.ok()) << read.error().toStdString();
        QHash<QString, QStringList> byCode;
        for (size_t r = 1; r < rows.size(); ++r)
            byCode.insert(rows[r][0], QStringList(rows[r].begin(), rows[r].end()));
        if (!rows.empty())
            *header = QStringList(rows[0].begin(), rows[0].end());
        return byCode;
    }
    QString value(const QHash<QString, QStringList>& table, const QStringList& header, const char* code, const char* column)
    {
        const qsizetype at = header.indexOf(QString::fromUtf8(column));
        return at < 0 ? QStringLiteral("<no column>") : table.value(QString::fromLatin1(code)).value(at, QStringLiteral("<no row>"));
    }
};

// The published layout: CP932, every text quoted, the nation "00" and extra areas such as "0A",
// "-" where a census could not count (沖縄県 1945), a note column.
TEST_F(PrefectureSeries, EveryYearBecomesColumnsOfOneRowPerPrefecture)
{
    const QString text = QStringLiteral(
        "\"都道府県コード\",\"都道府県名\",\"元号\",\"和暦（年）\",\"西暦（年）\",\"注\",\"人口（総数）\",\"人口（男）\",\"人口（女）\"\r\n"
        "\"00\",\"全国\",\"大正\",9,1920,\"\",55963053,28044185,27918868\r\n"
        "\"01\",\"北海道\",\"大正\",9,1920,\"\",2359183,1244322,1114861\r\n"
        "\"13\",\"東京都\",\"大正\",9,1920,\"\",3699428,1952989,1746439\r\n"
        "\"0A\",\"人口集中地区\",\"昭和\",35,1960,\"\",40829991,20140000,20689991\r\n"
        "\"47\",\"沖縄県\",\"昭和\",20,1945,\"1), 2)\",-,-,-\r\n"
        "\"13\",\"東京都\",\"昭和\",20,1945,\"\",3488284,1784623,1703661\r\n"
        "\"00\",\"全国\",\"昭和\",20,1945,\"\",71998104,33894059,38104045\r\n");
    const QString csv = inputFile(QStringLiteral("c01.csv"), platform::toCp932(text).value());
    ASSERT_TRUE(imports::isPrefectureSeries(csv));
    const auto written = imports::importPrefectureSeries(csv, path(QStringLiteral("MapData")), path(QStringLiteral("Init.ini")));
    ASSERT_TRUE(written) << written.error().toStdString();
    ASSERT_EQ(written->size(), 1);
    QStringList header;
    const auto table = japanTable(&header);
    EXPECT_EQ(header, (QStringList{QStringLiteral("Code"), QStringLiteral("地区名"), QStringLiteral("人口 1920年"), QStringLiteral("男 1920年"),
                                   QStringLiteral("女 1920年"), QStringLiteral("人口 1945年"), QStringLiteral("男 1945年"),
                                   QStringLiteral("女 1945年")}));
    // Prefectures in code order; neither the nation nor the extra areas.
    EXPECT_EQ(QSet<QString>(table.keyBegin(), table.keyEnd()), (QSet<QString>{QStringLiteral("01"), QStringLiteral("13"), QStringLiteral("47")}));
    EXPECT_EQ(table.value(QStringLiteral("13")), (QStringList{QStringLiteral("13"), QStringLiteral("東京都"), QStringLiteral("3699428"),
                                                              QStringLiteral("1952989"), QStringLiteral("1746439"), QStringLiteral("3488284"),
                                                              QStringLiteral("1784623"), QStringLiteral("1703661")}));
    // "-" stays, and a year a prefecture lacks is no data too.
    EXPECT_EQ(value(table, header, "47", "人口 1945年"), QStringLiteral("-"));
    EXPECT_EQ(value(table, header, "47", "女 1920年"), QStringLiteral("-"));
    EXPECT_EQ(value(table, header, "01", "男 1945年"), QStringLiteral("-"));
    // Not taken for the municipal results, nor they for it.
    EXPECT_FALSE(imports::isMunicipalResults(csv));
}

TEST_F(PrefectureSeries, RealFileGivesEveryPrefectureAndCensus)
{
    const QString file = QStringLiteral(MIRATOS_SHARED_DATA "/census/c01_prefecture_1920-2015.shiftjis.csv");
    if (!QFile::exists(file))
        GTEST_SKIP() << "shared data not found: " << file.toStdString();
    ASSERT_TRUE(imports::isPrefectureSeries(file));
    const auto written = imports::importPrefectureSeries(file, path(QStringLiteral("MapData")), path(QStringLiteral("Init.ini")));
    ASSERT_TRUE(written) << written.error().toStdString();
    QStringList header;
    const auto table = japanTable(&header);
    EXPECT_EQ(table.size(), 47);
    EXPECT_EQ(header.size(), 2 + 3 * 20); // 1920, 1925, ... 2015
    EXPECT_EQ(value(table, header, "13", "人口 1920年"), QStringLiteral("3699428"));
    EXPECT_EQ(value(table, header, "13", "人口 2015年"), QStringLiteral("13515271"));
    EXPECT_EQ(value(table, header, "01", "女 2015年"), QStringLiteral("2844644"));
    EXPECT_EQ(value(table, header, "47", "人口 1945年"), QStringLiteral("-"));
}

} // namespace
