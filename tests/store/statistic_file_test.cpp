// Statistic tables, their export, the unmatched-district report and the rank colour file.
#include "platform/cp932.h"
#include "store/statistic_file.h"
#include "store_fixture.h"

using namespace miratos::store;
using miratos::platform::toCp932;

namespace {

QByteArray cp932(const char* utf8)
{
    return *toCp932(QString::fromUtf8(utf8));
}

class StatisticFile : public StoreFiles {
protected:
    StatRows table;
    int16_t colCount = -1;
    int32_t rowCount = -1;

    miratos::Status append(const QString& file, bool guess = false)
    {
        return appendStatisticFile(file, table, colCount, rowCount, guess);
    }
};

TEST_F(StatisticFile, TwoFilesMakeOneTableUnderOneHeader)
{
    const QString hokkaido = writeBytes("a.csv", cp932("Code,地区名,人口(人),面積(k㎡)\r\n"
                                                      "01101,札幌市中央区,100,46.42,extra\r\n"
                                                      "01102,札幌市北区,200,\r\n"));
    const QString aomori = writeBytes("b.csv", cp932("Code,地区名,人口(人),面積(k㎡)\r\n"
                                                    "02201,青森市,300,824.61\r\n"
                                                    "\r\n")); // an empty last line is skipped
    int yields = 0;
    ASSERT_TRUE(appendStatisticFile(hokkaido, table, colCount, rowCount, false, [&] { ++yields; }).ok());
    ASSERT_TRUE(append(aomori).ok());

    const StatRows expected{{"Code", "地区名", "人口(人)", "面積(k㎡)"},
                            {"01101", "札幌市中央区", "100", "46.42"},
                            {"01102", "札幌市北区", "200", ""},
                            {"02201", "青森市", "300", "824.61"}};
    EXPECT_EQ(table, expected);
    EXPECT_EQ(colCount, 3);
    EXPECT_EQ(rowCount, 3);
    EXPECT_GE(yields, 2);

    // Leading zeros survive the export, and a second export follows the first.
    const QString out = path("statistic_data.txt");
    ASSERT_TRUE(exportStatisticTable(out, table, colCount, rowCount, false).ok());
    const QByteArray once = cp932("Code,地区名,人口(人),面積(k㎡)\r\n01101,札幌市中央区,100,46.42\r\n"
                                  "01102,札幌市北区,200,\r\n02201,青森市,300,824.61\r\n");
    EXPECT_EQ(bytesOf(out), once);
    ASSERT_TRUE(exportStatisticTable(out, table, colCount, rowCount, false).ok());
    EXPECT_EQ(bytesOf(out), once + once);
}

TEST_F(StatisticFile, ShortLineRejectsTheWholeFile)
{
    const QString good = writeBytes("good.csv", "Code,name,v\r\n01,a,1\r\n");
    const QString bad = writeBytes("statistic1.csv", "Code,name,v\r\n02,b,2\r\n03,c\r\n04,d,4\r\n");

    // As the first file: not even its header is kept.
    miratos::Status status = append(bad);
    ASSERT_FALSE(status.ok());
    EXPECT_TRUE(status.error().contains("statistic1.csv の 3 行目の項目が見出しより少ないため読み込めません"))
        << status.error().toStdString();
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(colCount, -1);

    // After a good file: the good rows stay, none of the bad file's rows are added.
    ASSERT_TRUE(append(good).ok());
    EXPECT_FALSE(append(bad).ok());
    EXPECT_EQ(table, (StatRows{{"Code", "name", "v"}, {"01", "a", "1"}}));
    EXPECT_EQ(rowCount, 1);
}

TEST_F(StatisticFile, OwnDataIsReadInEitherEncoding)
{
    const QByteArray utf8 = QStringLiteral("Code,地区名,値\n13101,千代田区,5\n").toUtf8();
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"cp932", cp932("Code,地区名,値\r\n13101,千代田区,5\r\n")},
        {"utf8", utf8},
        {"utf8 bom", "\xEF\xBB\xBF" + utf8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        table.clear();
        ASSERT_TRUE(append(writeBytes(c.name, c.bytes), true).ok());
        EXPECT_EQ(table, (StatRows{{"Code", "地区名", "値"}, {"13101", "千代田区", "5"}}));
    }
}

TEST_F(StatisticFile, ExportWithoutTotalsKeepsBlocksAndTheLastRow)
{
    const struct {
        const char* name;
        StatRows rows;
        QByteArray expected;
    } cases[] = {
        {"towns",
         {{"Code", "地区名", "人口総数"},
          {"13101", "千代田区", "1"},
          {"131010010", "丸の内", "2"},
          {"13101001001", "丸の内１丁目", "3"},
          {"131010020", "大手町", "4"}},
         cp932("Code,地区名,人口総数\r\n13101001001,丸の内１丁目,3\r\n131010020,大手町,4\r\n")},
        {"municipality last",
         {{"Code", "地区名", "人口総数"}, {"131010020", "大手町", "4"}, {"13102", "中央区", "5"}},
         cp932("Code,地区名,人口総数\r\n131010020,大手町,4\r\n13102,中央区,5\r\n")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString out = path(QString::fromUtf8(c.name));
        ASSERT_TRUE(exportStatisticTable(out, c.rows, 2, static_cast<int>(c.rows.size()) - 1, true).ok());
        EXPECT_EQ(bytesOf(out), c.expected);
    }
}

TEST_F(StatisticFile, ExportOfAnEmptyTableWritesNothing)
{
    const QString out = path("none.txt");
    ASSERT_TRUE(exportStatisticTable(out, StatRows{{"Code", "name"}}, 1, 0, false).ok());
    EXPECT_FALSE(QFile::exists(out));
}

TEST_F(StatisticFile, ExportRefusesTextThatCp932CannotHold)
{
    const QString out = writeBytes("keep.txt", "old\r\n");
    EXPECT_FALSE(exportStatisticTable(out, StatRows{{"Code", "name"}, {"1", "😀"}}, 1, 1, false).ok());
    EXPECT_EQ(bytesOf(out), "old\r\n");
}

TEST_F(StatisticFile, ReportWithAnEmptyMapSide)
{
    const QString out = writeBytes("不一致地区.txt", "an older, longer report\r\n");
    ASSERT_TRUE(writeUnmatchedReport(out, QString(), "13103 港区\r\n").ok());
    EXPECT_EQ(bytesOf(out), cp932("地図データ側：\r\n\r\n統計データ側：\r\n13103 港区\r\n\r\n"));
}

TEST_F(StatisticFile, RankColourFileRoundTrip)
{
    const QString out = path("colors.dat");
    ASSERT_TRUE(writeRankColorFile(out, 3, {15395583, 2763519, 106}).ok());
    EXPECT_EQ(bytesOf(out), "3\r\n15395583\r\n2763519\r\n106\r\n");
    const auto read = readRankColorFile(out);
    ASSERT_TRUE(read.ok()) << read.error().toStdString();
    EXPECT_EQ(read->rankCount, 3);
    EXPECT_EQ(read->colors, QVector<int>({15395583, 2763519, 106}));
}

TEST_F(StatisticFile, RankColourFileRejectsWhatItCannotHold)
{
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty.dat", ""},
        {"two.dat", "2\r\n1\r\n2\r\n"},
        {"eleven.dat", "11\r\n1\r\n"},
        {"word.dat", "five\r\n1\r\n"},
        {"many.dat", "10\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n11\r\n"},
        {"colour.dat", "3\r\n1\r\nred\r\n3\r\n"},
        {"big.dat", "3\r\n16777216\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto read = readRankColorFile(writeBytes(QString::fromUtf8(c.name), c.bytes));
        ASSERT_FALSE(read.ok());
        EXPECT_TRUE(read.error().contains(QString::fromUtf8(c.name))) << read.error().toStdString();
    }
}

} // namespace
