#include "state/mdl_main.h"
#include "stats/painted_regions.h"

#include <gtest/gtest.h>

using namespace miratos;

// Names with commas, quotes or a formula's first character stay one plain text cell each; rank
// and colour follow the painted ranking, a region in no rank is white, one without a number has
// neither rank nor a number.
TEST(PaintedTable, CellsStayTextAndFollowThePaintedRanks)
{
    state::resetMdlMain();
    state::MdlMain& s = state::mdlMain();
    s.StatDrawn = true;
    s.StatPainted = {QStringLiteral("人口"), 2, {{0, 0}, {0, 100}, {100, 200}}, {0, 0x0000FF, 0x00FF00}};
    const std::vector<stats::PaintedRegion> regions = {
        {QStringLiteral("G01"), QStringLiteral("01"), QStringLiteral("=HYPERLINK(\"x\")"), 0, 0, QStringLiteral("50")},
        {QStringLiteral("G02"), QStringLiteral("02"), QStringLiteral("市,町"), 0, 0, QStringLiteral("150")},
        {QStringLiteral("G03"), QStringLiteral("03"), QStringLiteral("-村"), 0, 0, QStringLiteral("-5")},
        {QStringLiteral("G04"), QStringLiteral("04"), QStringLiteral("@区"), 0, 0, QStringLiteral("-")},
    };
    const QByteArray expected = QByteArray("\xEF\xBB\xBF") + QStringLiteral("コード,名前,人口,ランク,塗り色\r\n"
                                                                           "01,\"'=HYPERLINK(\"\"x\"\")\",50,1,#ff0000\r\n"
                                                                           "02,\"市,町\",150,2,#00ff00\r\n"
                                                                           "03,'-村,-5,,#ffffff\r\n"
                                                                           "04,'@区,'-,,#ffffff\r\n")
                                                                 .toUtf8();
    EXPECT_EQ(stats::paintedTableCsv(regions, s), expected) << stats::paintedTableCsv(regions, s).toStdString();

    // Without a painted statistic the table still lists every region and its value.
    s.StatDrawn = false;
    const QString plain = QString::fromUtf8(stats::paintedTableCsv(regions, s));
    EXPECT_TRUE(plain.contains(QStringLiteral("コード,名前,値,ランク,塗り色\r\n")));
    EXPECT_TRUE(plain.contains(QStringLiteral("\r\n02,\"市,町\",150,,\r\n")));
}
