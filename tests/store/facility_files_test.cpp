#include "store/facility_files.h"

#include "platform/cp932.h"
#include "store_fixture.h"

using namespace miratos;
using namespace miratos::store;

namespace {

QByteArray cp932(const QString& text)
{
    return *platform::toCp932(text);
}

class FacilityFiles : public StoreFiles {};

} // namespace

TEST_F(FacilityFiles, BuildDatLinesBecomeRowsWithLatitudeFirst)
{
    const QString p = writeBytes(QStringLiteral("Build.dat"),
                                 cp932(QStringLiteral("35.68 139.73|13101|学校|小学校|麹町小学校|麹町2-8|市区町村\r\n"
                                                      "34.34 134.04|37201|病院|一般病院|高松病院||民間\r\n")));
    const FacilityRead read = readBuildDat(p);
    EXPECT_TRUE(read.present);
    EXPECT_EQ(read.badLines, 0);
    EXPECT_TRUE(read.problem.isEmpty());
    ASSERT_EQ(read.rows.size(), 2u);
    const BuildRow expected = {QStringLiteral("35.68"), QStringLiteral("139.73"), QStringLiteral("13101"), QStringLiteral("学校"),
                               QStringLiteral("小学校"), QStringLiteral("麹町小学校"), QStringLiteral("麹町2-8"), QStringLiteral("市区町村")};
    EXPECT_EQ(read.rows[0], expected);
    EXPECT_EQ(read.rows[1][kBuildAddress], QString());
    EXPECT_EQ(read.rows[1][kBuildValue], QStringLiteral("民間"));
}

TEST_F(FacilityFiles, MalformedLinesAreSkippedCountedAndTheFirstNamed)
{
    // Fewer fields, no space in the position, a coordinate that is no number; the rest loads.
    const QString p = writeBytes(QStringLiteral("Build.dat"),
                                 cp932(QStringLiteral("35.1 139.1|13101|学校|小学校|Ａ|住所|国\r\n"
                                                      "35.2 139.2|13101|学校|小学校|Ｂ\r\n"
                                                      "35.3,139.3|13101|学校|小学校|Ｃ|住所|国\r\n"
                                                      "\r\n"
                                                      "北 139.4|13101|学校|小学校|Ｄ|住所|国\r\n"
                                                      "35.5 139.5|13101|学校|小学校|Ｅ|住所|国\r\n")));
    const FacilityRead read = readBuildDat(p);
    ASSERT_EQ(read.rows.size(), 2u);
    EXPECT_EQ(read.rows[0][kBuildName], QStringLiteral("Ａ"));
    EXPECT_EQ(read.rows[1][kBuildName], QStringLiteral("Ｅ"));
    EXPECT_EQ(read.badLines, 3);
    EXPECT_TRUE(read.problem.contains(QStringLiteral("Build.dat"))) << read.problem.toStdString();
    EXPECT_TRUE(read.problem.contains(QStringLiteral("3 行"))) << read.problem.toStdString();
    EXPECT_TRUE(read.problem.contains(QStringLiteral("2 行目"))) << read.problem.toStdString();
}

TEST_F(FacilityFiles, MissingBuildDatIsNoProblem)
{
    const FacilityRead read = readBuildDat(path(QStringLiteral("Build.dat")));
    EXPECT_FALSE(read.present);
    EXPECT_TRUE(read.rows.empty());
    EXPECT_TRUE(read.problem.isEmpty());
}

TEST_F(FacilityFiles, ImportTableColumnsAndTitle)
{
    struct Case {
        const char* name;
        QString text;
        QString title;
        std::vector<BuildRow> rows;
        int bad;
    };
    const Case cases[] = {
        {"header only", QStringLiteral("大分類,小分類,名前,来館者数,備考,,経度,緯度\r\n"), QStringLiteral("来館者数"), {}, 0},
        {"two facilities",
         QStringLiteral("a,b,c,来館者数\r\n学校,大学,香川大学,6000,幸町1-1,x,134.04,34.34\r\n病院,一般,Ｈ,-,備考,,133.1,34.1\r\n"),
         QStringLiteral("来館者数"),
         {{QStringLiteral("34.34"), QStringLiteral("134.04"), QString(), QStringLiteral("学校"), QStringLiteral("大学"),
           QStringLiteral("香川大学"), QStringLiteral("幸町1-1"), QStringLiteral("6000")},
          {QStringLiteral("34.1"), QStringLiteral("133.1"), QString(), QStringLiteral("病院"), QStringLiteral("一般"), QStringLiteral("Ｈ"),
           QStringLiteral("備考"), QStringLiteral("-")}},
         0},
        // No quoting: the comma in the name moves every later field one place to the right, so
        // the longitude is empty and the line is skipped rather than placed at 0°.
        {"comma in a name", QStringLiteral("a,b,c,値\r\n学校,大学,\"香川,大学\",6000,幸町,,134.04,34.34\r\n"), QStringLiteral("値"), {}, 1},
        {"position not a number",
         QStringLiteral("a,b,c,値\r\n学校,大学,Ａ,1,備考,,東経134,34.3\r\n病院,一般,Ｂ,2,備考,,134.1,\r\n病院,一般,Ｃ,3,備考,, 134.2 ,34.2\r\n"),
         QStringLiteral("値"),
         {{QStringLiteral("34.2"), QStringLiteral("134.2"), QString(), QStringLiteral("病院"), QStringLiteral("一般"), QStringLiteral("Ｃ"),
           QStringLiteral("備考"), QStringLiteral("3")}},
         2},
        {"short line skipped", QStringLiteral("a,b,c,値\r\n学校,大学,Ｘ,1,備考,,134\r\n"), QStringLiteral("値"), {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString p = writeBytes(QStringLiteral("in.csv"), cp932(c.text));
        const auto read = readFacilityCsv(p);
        ASSERT_TRUE(read.ok()) << read.error().toStdString();
        EXPECT_EQ(read->title, c.title);
        EXPECT_EQ(read->rows, c.rows);
        EXPECT_EQ(read->badLines, c.bad);
    }
}

TEST_F(FacilityFiles, BuildDatIsWrittenWholeOrNotAtAll)
{
    const std::vector<BuildDatRecord> good = {
        {QStringLiteral("35.1 139.1"), QStringLiteral("13101"), QStringLiteral("学校"), QStringLiteral("小学校"), QStringLiteral("Ａ"),
         QStringLiteral("住所"), QStringLiteral("国")}};
    auto bytes = encodeBuildDat(good);
    ASSERT_TRUE(bytes.ok());
    EXPECT_EQ(*bytes, cp932(QStringLiteral("35.1 139.1|13101|学校|小学校|Ａ|住所|国\r\n")));
    ASSERT_TRUE(writeBuildDat(path(QString()), *bytes).ok());
    EXPECT_EQ(bytesOf(path(QStringLiteral("Build.dat"))), *bytes);

    auto bad = good;
    bad[0][4] = QStringLiteral("Ａ|Ｂ");
    const auto refused = encodeBuildDat(bad);
    ASSERT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error().contains(QStringLiteral("1 番目"))) << refused.error().toStdString();
    EXPECT_FALSE(writeBuildDat(path(QStringLiteral("no-such-folder")), *bytes).ok());
}
