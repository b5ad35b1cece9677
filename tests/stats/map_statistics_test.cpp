// The whole statistics path on the map window: own data joined to the drawn prefectures, ranked,
// and painted by rank.
#include "../mapview/map_fixture.h"
#include "app/frm_main.h"
#include "modal.h"
#include "platform/prompts.h"
#include "platform/text_file.h"
#include "stats/frm_rank.h"
#include "stats/frm_statistic.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using namespace miratos;

namespace {

class MapStatistics : public MapFixture {
protected:
    void SetUp() override
    {
        MapFixture::SetUp();
        app::frmMain::setAutoLoad(false);
        writeSquarePrefectures();
        state::mdlMain().MapMode = QStringLiteral("Japan");
    }
    void TearDown() override
    {
        app::frmMain::setAutoLoad(true);
        MapFixture::TearDown();
    }
    platform::ScopedScriptedPrompts prompts;
};

} // namespace

TEST_F(MapStatistics, OwnDataJoinedRankedAndPaintedInJapanMode)
{
    app::frmMain w;
    w.show();
    w.初期化();
    prompts.queueText(dir.filePath(QStringLiteral("面積.csv")));
    extractAndChooseWhenShown<stats::StatisticDialog>(1);
    w.cmdStatistic_Click();
    const auto* tokyo = w.tables().lvwUsePref.find(QStringLiteral("K13"));
    EXPECT_EQ(tokyo->subItem(3), QStringLiteral("2194"));
    EXPECT_EQ(state::mdlMain().StatItemName, QStringLiteral("面積(k㎡)"));
    EXPECT_FLOAT_EQ(state::mdlMain().StatMax, 2417.0f);
    EXPECT_TRUE(w.findChild<QPushButton*>(QStringLiteral("cmdRank"))->isEnabled());

    whenShown<stats::frmRank>([](stats::frmRank& d) { d.cmdGo_Click(); });
    w.cmdRank_Click();
    EXPECT_TRUE(w.findChild<QRadioButton*>(QStringLiteral("optMode_3"))->isChecked());
    EXPECT_TRUE(state::mdlMain().StatDrawn);
    // 2194 is in the lightest rank, 2416 in the darkest of the five red ranks.
    const auto& c = w.canvas();
    EXPECT_EQ(c.pixel(c.toPixel(139.5, 35.5)), state::rgbColor(255, 234, 234));
    EXPECT_EQ(c.pixel(c.toPixel(140.5, 35.5)), state::rgbColor(106, 0, 0));

    // Closing the ranking dialog with its close box keeps the map as it is.
    whenShown<stats::frmRank>([](stats::frmRank& d) { d.reject(); });
    w.cmdRank_Click();
    EXPECT_EQ(c.pixel(c.toPixel(140.5, 35.5)), state::rgbColor(106, 0, 0));
}

TEST_F(MapStatistics, UnmatchedReportInPrefMode)
{
    state::mdlMain().MapMode = QStringLiteral("Pref");
    for (int code : {13, 14}) {
        const QString pc = QString::number(code);
        const QString f = folder(code == 13 ? QStringLiteral("東京都") : QStringLiteral("神奈川県"));
        ASSERT_TRUE(store::writePolygonFile(f + QStringLiteral("Polygon.dat"), {{pc + QStringLiteral("a1"), pc + QStringLiteral("c1")}}).ok());
        ASSERT_TRUE(store::writePointFile(f + QStringLiteral("Point.dat"), {{pc + QStringLiteral("p1"), QStringLiteral("35.5 139.5")}}).ok());
        ASSERT_TRUE(store::writeTikuFile(f + QStringLiteral("Tiku.dat"),
                                         {{pc + QStringLiteral("a1"), QStringLiteral("県@市") + pc, pc + QStringLiteral("101")}})
                        .ok());
    }
    ASSERT_TRUE(platform::writeTextLines(dir.filePath(QStringLiteral("own.csv")),
                                         {QStringLiteral("Code,地区名,人口"), QStringLiteral("13101,千代田区,100"),
                                          QStringLiteral("13199,どこか区,5")})
                    .ok());
    app::frmMain w;
    w.初期化();
    prompts.queueText(dir.filePath(QStringLiteral("own.csv")));
    extractAndChooseWhenShown<stats::StatisticDialog>(1);
    w.cmdStatistic_Click();
    ASSERT_TRUE(w.findChild<QPushButton*>(QStringLiteral("cmdUnmatch"))->isEnabled());
    w.cmdUnmatch_Click();
    EXPECT_EQ(prompts.last().title, QStringLiteral("出力しました。"));
    const auto report = platform::readTextLines(dir.filePath(QStringLiteral("不一致地区.txt")));
    ASSERT_TRUE(report.ok());
    EXPECT_EQ(*report, (QStringList{QStringLiteral("地図データ側："), QStringLiteral("14101 市14"), QString(),
                                    QStringLiteral("統計データ側："), QStringLiteral("13199 どこか区"), QString()}));
}
