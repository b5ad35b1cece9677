// The whole statistics path on the map window: own data joined to the drawn prefectures, ranked,
// and painted by rank.
#include "../mapview/map_fixture.h"
#include "app/frm_main.h"
#include "modal.h"
#include "output/image_export.h"
#include "platform/prompts.h"
#include "platform/text_file.h"
#include "stats/frm_compute.h"
#include "stats/frm_rank.h"
#include "stats/frm_statistic.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
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
    // Own data "own.csv" with the given columns for 東京都 (13) and 神奈川県 (14).
    void writeOwnData(const QString& header, const QString& tokyo, const QString& kanagawa)
    {
        ASSERT_TRUE(platform::writeTextLines(dir.filePath(QStringLiteral("own.csv")),
                                             {QStringLiteral("Code,地区名,") + header, QStringLiteral("13,東京都,") + tokyo,
                                              QStringLiteral("14,神奈川県,") + kanagawa})
                        .ok());
    }
    // "統計データ": own data, list entry `row` (column row + 1).
    void join(app::frmMain& w, int row)
    {
        prompts.queueText(dir.filePath(QStringLiteral("own.csv")));
        extractAndChooseWhenShown<stats::StatisticDialog>(row);
        w.cmdStatistic_Click();
    }
    // "ランキング" confirmed as proposed: five ranks in red.
    void rank(app::frmMain& w)
    {
        whenShown<stats::frmRank>([](stats::frmRank& d) { d.cmdGo_Click(); });
        w.cmdRank_Click();
    }
    int pixelAt(const app::frmMain& w, double lon, double lat) { return w.canvas().pixel(w.canvas().toPixel(lon, lat)); }

    platform::ScopedScriptedPrompts prompts;
};

} // namespace

TEST_F(MapStatistics, LargestAndSmallestValuesOfAnyMagnitudeGetTheirRankColours)
{
    struct Case {
        const char* smallest;
        const char* largest;
    };
    // From 2^24 up, largest + 1 is the largest again in single precision; a smallest value of
    // eight digits has a seven-digit text above itself.
    const Case cases[] = {{"5e7", "1e8"}, {"50000000", "100000000"}, {"12345678", "23456789"}, {"-12345678", "-1234"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.smallest) + " .. " + c.largest);
        state::mdlMain().StatKind = 0;
        writeOwnData(QStringLiteral("値"), QString::fromLatin1(c.smallest), QString::fromLatin1(c.largest));
        app::frmMain w;
        w.show();
        w.初期化();
        join(w, 1);
        rank(w);
        EXPECT_EQ(pixelAt(w, 139.5, 35.5), state::rgbColor(255, 234, 234)); // rank 1
        EXPECT_EQ(pixelAt(w, 140.5, 35.5), state::rgbColor(106, 0, 0));     // rank 5
    }
}

TEST_F(MapStatistics, ValuesBeyondSinglePrecisionCannotBeRanked)
{
    const std::pair<const char*, const char*> cases[] = {{"1", "1e39"}, {"-3e38", "3e38"}, {"1", "3.402823e38"}};
    for (const auto& [tokyo, kanagawa] : cases) {
        SCOPED_TRACE(std::string(tokyo) + " / " + kanagawa);
        writeOwnData(QStringLiteral("値"), QString::fromLatin1(tokyo), QString::fromLatin1(kanagawa));
        app::frmMain w;
        w.初期化();
        prompts.clear();
        join(w, 1);
        EXPECT_EQ(prompts.last().title, QStringLiteral("だめだめ"));
        EXPECT_TRUE(prompts.last().text.contains(QStringLiteral("3.402823E+38"))) << prompts.last().text.toStdString();
        EXPECT_FALSE(w.findChild<QPushButton*>(QStringLiteral("cmdRank"))->isEnabled());
    }
}

TEST_F(MapStatistics, ExportKeepsTheLegendOfThePaintedColoursUntilTheNewColumnIsRanked)
{
    writeOwnData(QStringLiteral("面積,人口"), QStringLiteral("2194,14000000"), QStringLiteral("2416,9200000"));
    app::frmMain w;
    w.show();
    w.初期化();
    state::mdlMain().NoteFontSize = 10;
    state::mdlMain().NoteLocation = 3;
    join(w, 1);
    rank(w);
    const QImage ranked = output::renderExport(w.exportScene(), state::mdlMain());

    // A new column joined: the map still shows the colours of the first one, and so does the legend.
    join(w, 2);
    ASSERT_EQ(state::mdlMain().StatItemName, QStringLiteral("人口"));
    EXPECT_EQ(output::renderExport(w.exportScene(), state::mdlMain()), ranked);
    w.描画();
    EXPECT_EQ(output::renderExport(w.exportScene(), state::mdlMain()), ranked);

    // Ranked, the map and the legend change together.
    rank(w);
    EXPECT_EQ(pixelAt(w, 139.5, 35.5), state::rgbColor(106, 0, 0));
    EXPECT_NE(output::renderExport(w.exportScene(), state::mdlMain()), ranked);
    EXPECT_EQ(state::mdlMain().StatPainted.itemName, QStringLiteral("人口"));
}

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

TEST_F(MapStatistics, StatisticFrameCountsTheRowsThatJoinedNoRegion)
{
    app::frmMain w;
    w.初期化();
    const auto* label = w.findChild<QLabel*>(QStringLiteral("lblUnmatched"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QString()); // nothing joined yet

    // "9" and "99" name no drawn prefecture; Japan mode still shows no message box for them.
    ASSERT_TRUE(platform::writeTextLines(dir.filePath(QStringLiteral("own.csv")),
                                         {QStringLiteral("Code,地区名,値"), QStringLiteral("13,東京都,1"), QStringLiteral("9,どこか,2"),
                                          QStringLiteral("99,なにか,3"), QStringLiteral("14,神奈川県,4")})
                    .ok());
    prompts.clear();
    join(w, 1);
    EXPECT_EQ(label->text(), QStringLiteral("一致しない行: 2"));
    for (const auto& record : prompts.records())
        EXPECT_NE(record.kind, platform::ScriptedPrompts::Kind::Message) << record.text.toStdString();

    writeOwnData(QStringLiteral("値"), QStringLiteral("1"), QStringLiteral("4"));
    join(w, 1);
    EXPECT_EQ(label->text(), QStringLiteral("一致しない行: 0"));
}

// "統計データ" → "計算列…": the preview shows the column before it is added; added, it is chosen
// in the list, joined to the drawn prefectures and ranked like any other column.
TEST_F(MapStatistics, ComputedDensityFromTheStatisticDialogIsJoinedAndRanked)
{
    writeOwnData(QStringLiteral("人口(人)"), QStringLiteral("1000000"), QStringLiteral("3000000"));
    app::frmMain w;
    w.show();
    w.初期化();
    prompts.queueText(dir.filePath(QStringLiteral("own.csv")));
    QStringList preview, chosen;
    whenShown<stats::StatisticDialog>([&](stats::StatisticDialog& d) {
        d.cmdExtract_Click();
        whenShown<stats::frmCompute>([&](stats::frmCompute& c) {
            c.findChild<QLineEdit*>(QStringLiteral("txtName"))->setText(QStringLiteral("人口密度"));
            c.findChild<QLineEdit*>(QStringLiteral("txtExpr"))->setText(QStringLiteral("[人口(人)] ÷ 面積()"));
            const auto* table = c.findChild<QTableWidget*>(QStringLiteral("tblPreview"));
            for (int r = 0; r < table->rowCount(); ++r)
                preview << table->item(r, 0)->text() + QLatin1Char(' ') + table->item(r, 2)->text();
            preview << table->horizontalHeaderItem(2)->text();
            c.cmdAdd_Click();
        });
        d.cmdCompute_Click();
        const auto* list = d.findChild<QListWidget*>(QStringLiteral("lstStatistic"));
        chosen << list->currentItem()->text() << QString::number(list->count());
        d.cmdGo_Click();
    });
    w.cmdStatistic_Click();
    ASSERT_EQ(preview.size(), 3);
    EXPECT_EQ(preview.last(), QStringLiteral("人口密度"));
    EXPECT_EQ(chosen, (QStringList{QStringLiteral("人口密度"), QStringLiteral("3")}));
    EXPECT_EQ(state::mdlMain().StatItemName, QStringLiteral("人口密度"));
    // Both squares are one degree wide at 35°..36° N: about 10066 km² each.
    const auto density = [&w](const char* key) { return w.tables().lvwUsePref.find(QString::fromLatin1(key))->subItem(3).toDouble(); };
    EXPECT_NEAR(density("K13"), 1000000 / 10066.3, 0.05);
    EXPECT_NEAR(density("K14"), 3 * density("K13"), 1e-6);
    EXPECT_TRUE(preview.first().startsWith(QStringLiteral("13 99.3")));
    rank(w);
    EXPECT_EQ(pixelAt(w, 139.5, 35.5), state::rgbColor(255, 234, 234)); // rank 1
    EXPECT_EQ(pixelAt(w, 140.5, 35.5), state::rgbColor(106, 0, 0));     // rank 5
}

// The ranking dialog's scheme, centring, no-data grey and round bounds, through the map window.
TEST_F(MapStatistics, RankDialogPaintsAPublishedSchemeCentredWithNoDataGrey)
{
    app::frmMain w;
    w.show();
    w.初期化();
    writeOwnData(QStringLiteral("増減"), QStringLiteral("-3"), QStringLiteral("X"));
    join(w, 1);
    auto choose = [](stats::frmRank& d, const QString& centre) {
        d.findChild<QComboBox*>(QStringLiteral("cmbCo"))->setCurrentIndex(0);
        auto* series = d.findChild<QComboBox*>(QStringLiteral("cmbColor"));
        series->setCurrentIndex(series->findText(QStringLiteral("RdBu（色覚配慮）")));
        d.findChild<QCheckBox*>(QStringLiteral("chkCenter"))->setChecked(true);
        d.findChild<QLineEdit*>(QStringLiteral("txtCenter"))->setText(centre);
        d.findChild<QCheckBox*>(QStringLiteral("chkNoData"))->setChecked(true);
        d.findChild<QCheckBox*>(QStringLiteral("chkNice"))->setChecked(true);
        d.cmdGo_Click();
    };
    // A centre that is no number stops "決定" and stores nothing.
    whenShown<stats::frmRank>([&](stats::frmRank& d) {
        choose(d, QStringLiteral("abc"));
        EXPECT_EQ(prompts.last().text, QStringLiteral("中心の値を正しく設定してください。"));
        d.reject();
    });
    w.cmdRank_Click();
    EXPECT_FALSE(state::mdlMain().RankReady);

    whenShown<stats::frmRank>([&](stats::frmRank& d) { choose(d, QStringLiteral("0")); });
    w.cmdRank_Click();
    const auto& s = state::mdlMain();
    // -3 to -2 on steps of 0.5, all three ranks below 0: the seven-class RdBu's low side.
    EXPECT_FLOAT_EQ(s.RankBound[1][1], -2.5f);
    EXPECT_FLOAT_EQ(s.RankBound[3][1], -1.5f);
    EXPECT_EQ(s.RankColor[1], state::rgbColor(0xb2, 0x18, 0x2b));
    EXPECT_EQ(s.RankColor[3], state::rgbColor(0xfd, 0xdb, 0xc7));
    EXPECT_EQ(pixelAt(w, 139.5, 35.5), state::rgbColor(0xb2, 0x18, 0x2b));
    EXPECT_EQ(pixelAt(w, 140.5, 35.5), state::kNoDataGrey);

    // Opened again, the dialog shows the confirmed choices.
    whenShown<stats::frmRank>([](stats::frmRank& d) {
        EXPECT_EQ(d.findChild<QComboBox*>(QStringLiteral("cmbColor"))->currentText(), QStringLiteral("RdBu（色覚配慮）"));
        EXPECT_TRUE(d.findChild<QCheckBox*>(QStringLiteral("chkCenter"))->isChecked());
        EXPECT_TRUE(d.findChild<QCheckBox*>(QStringLiteral("chkNoData"))->isChecked());
        EXPECT_TRUE(d.findChild<QCheckBox*>(QStringLiteral("chkNice"))->isChecked());
        EXPECT_EQ(d.swatchColor(1), state::rgbColor(0xb2, 0x18, 0x2b));
        d.reject();
    });
    w.cmdRank_Click();
}
