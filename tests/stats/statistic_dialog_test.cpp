#include "state/mdl_main.h"
#include "platform/app_folder.h"
#include "platform/cp932.h"
#include "platform/prompts.h"
#include "platform/text_file.h"
#include "platform/ui_yield.h"
#include "comma_locale.h"
#include "stats/frm_rank.h"
#include "stats/frm_statistic.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace miratos;
using namespace miratos::stats;

namespace {

class StatisticDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        state::resetMdlMain();
        platform::AppFolder::set(dir.path());
        auto& s = state::mdlMain();
        s.MapMode = QStringLiteral("Pref");
        for (auto [code, name] : {std::pair{13, "東京都"}, std::pair{14, "神奈川県"}}) {
            s.PrefTable[static_cast<size_t>(code)] = {QStringLiteral("TRUE"), QString::fromUtf8(name), QString()};
            QDir(dir.path()).mkpath(QStringLiteral("MapData/") + QString::fromUtf8(name));
        }
        write(QStringLiteral("MapData/東京都/statistic1.csv"),
              {QStringLiteral("Code,地区名,人口(人),面積(k㎡),人口密度(人/k㎡)"), QStringLiteral("13101,千代田区,36035,11.64,3096")});
    }
    void TearDown() override { platform::AppFolder::set(QString()); }
    void write(const QString& rel, const QStringList& lines) { ASSERT_TRUE(platform::writeTextLines(dir.filePath(rel), lines).ok()); }
    template <class W>
    W* child(QWidget& w, const QString& name)
    {
        auto* c = w.findChild<W*>(name);
        EXPECT_NE(c, nullptr) << name.toStdString();
        return c;
    }
    void choose(QWidget& d, int option) { child<QRadioButton>(d, QStringLiteral("optStatistic_%1").arg(option))->setChecked(true); }
    void pick(QWidget& d, int row)
    {
        auto* list = child<QListWidget>(d, QStringLiteral("lstStatistic"));
        list->setCurrentRow(row);
    }
    QTemporaryDir dir;
    platform::ScopedScriptedPrompts prompts;
};

} // namespace

TEST_F(StatisticDialogs, CaptionsOfTheThreeDialogs)
{
    frmStatistic_P p;
    EXPECT_EQ(p.windowTitle(), QStringLiteral("統計データ"));
    EXPECT_EQ(child<QRadioButton>(p, QStringLiteral("optStatistic_2"))->text(), QStringLiteral("人口，男女別人口，男女比，世帯数 (H12国勢調査) "));
    EXPECT_EQ(child<QRadioButton>(p, QStringLiteral("optStatistic_3"))->text(),
              QStringLiteral("人口，男女別人口，男女比，世帯数 (H17国勢調査\u3000要計表による)"));
    EXPECT_EQ(child<QPushButton>(p, QStringLiteral("cmdExport"))->text(), QStringLiteral("データ出力"));
    frmStatistic_J j;
    EXPECT_EQ(child<QRadioButton>(j, QStringLiteral("optStatistic_2"))->text(), QStringLiteral("人口，男女別人口，男女比，世帯数 (H17国勢調査) "));
    // The 2020 results imported from today's downloads: Japan 3, Pref 6.
    EXPECT_EQ(child<QRadioButton>(j, QStringLiteral("optStatistic_3"))->text(), QStringLiteral("人口，男女別人口，男女比 (R2国勢調査)"));
    // The prefecture time series: Japan 4.
    EXPECT_EQ(child<QRadioButton>(j, QStringLiteral("optStatistic_4"))->text(), QStringLiteral("人口，男女別人口 (国勢調査 1920〜2015年)"));
    EXPECT_EQ(j.findChild<QRadioButton*>(QStringLiteral("optStatistic_5")), nullptr);
    EXPECT_EQ(child<QRadioButton>(p, QStringLiteral("optStatistic_6"))->text(), QStringLiteral("人口，男女別人口，男女比 (R2国勢調査)"));
    state::mdlMain().DataYear = 17;
    frmStatistic_C c;
    EXPECT_EQ(child<QPushButton>(c, QStringLiteral("cmdExport"))->text(), QStringLiteral("データ出力（計行有）"));
    EXPECT_EQ(child<QPushButton>(c, QStringLiteral("cmdExport2"))->text(), QStringLiteral("データ出力(計行無)"));
    for (int i = 1; i <= 11; ++i) {
        const bool disabled = i == 7 || i == 9 || i == 10 || i == 11;
        EXPECT_EQ(child<QRadioButton>(c, QStringLiteral("optStatistic_%1").arg(i))->isEnabled(), !disabled) << i;
    }
}

TEST_F(StatisticDialogs, ExtractionReadsEveryDrawnPrefectureAndSaysWhichFileIsMissing)
{
    frmStatistic_P d;
    choose(d, 1);
    child<QPushButton>(d, QStringLiteral("cmdExtract"))->click();
    ASSERT_EQ(prompts.records().size(), 1u);
    EXPECT_EQ(prompts.last().title, QStringLiteral("残念"));
    EXPECT_EQ(prompts.last().text, QStringLiteral("神奈川県のデータファイルがありません。"));
    EXPECT_EQ(state::mdlMain().StatRowCount, 1);
    EXPECT_EQ(state::mdlMain().StatKind, 1);
    EXPECT_EQ(child<QListWidget>(d, QStringLiteral("lstStatistic"))->count(), 4);
    // The same kind again reads nothing.
    child<QPushButton>(d, QStringLiteral("cmdExtract"))->click();
    EXPECT_EQ(prompts.records().size(), 1u);
}

TEST_F(StatisticDialogs, ConfirmationChecksTheChosenColumn)
{
    frmStatistic_P d;
    choose(d, 1);
    child<QPushButton>(d, QStringLiteral("cmdExtract"))->click();
    prompts.clear();
    child<QPushButton>(d, QStringLiteral("cmdGo"))->click();
    EXPECT_EQ(prompts.last().text, QStringLiteral("統計項目が選択されていません。"));
    pick(d, 0); // 地区名
    child<QPushButton>(d, QStringLiteral("cmdGo"))->click();
    EXPECT_EQ(prompts.last().title, QStringLiteral("だめだめ"));
    EXPECT_EQ(prompts.last().text, QStringLiteral("その項目は統計処理できません。"));
    EXPECT_EQ(state::mdlMain().StatColumn, 1);
    state::mdlMain().RankReady = true;
    pick(d, 1);
    child<QPushButton>(d, QStringLiteral("cmdGo"))->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(state::mdlMain().StatColumn, 2);
    EXPECT_FALSE(state::mdlMain().RankReady);
}

TEST_F(StatisticDialogs, OwnDataIsReadAgainOnEveryExtractionAndAHeaderOnlyTableCannotBeRanked)
{
    write(QStringLiteral("own.csv"), {QStringLiteral("Code,地区名,値")});
    frmStatistic_P d;
    prompts.queueText(dir.filePath(QStringLiteral("own.csv")));
    child<QPushButton>(d, QStringLiteral("cmdExtract"))->click();
    EXPECT_EQ(state::mdlMain().StatRowCount, 0);
    pick(d, 1);
    child<QPushButton>(d, QStringLiteral("cmdGo"))->click();
    EXPECT_EQ(prompts.last().text, QStringLiteral("その項目は統計処理できません。"));

    QFile utf8(dir.filePath(QStringLiteral("own.csv")));
    utf8.open(QIODevice::WriteOnly | QIODevice::Truncate);
    utf8.write(QStringLiteral("Code,地区名,面積(k㎡)\r\n13101,千代田区,11.6\r\n").toUtf8());
    utf8.close();
    prompts.queueText(dir.filePath(QStringLiteral("own.csv")));
    child<QPushButton>(d, QStringLiteral("cmdExtract"))->click();
    EXPECT_EQ(state::mdlMain().StatRowCount, 1);
    EXPECT_EQ(child<QListWidget>(d, QStringLiteral("lstStatistic"))->item(1)->text(), QStringLiteral("面積(k㎡)"));
}

TEST_F(StatisticDialogs, CloseBoxCancelsAndReopeningShowsTheLastExtraction)
{
    {
        frmStatistic_P d;
        choose(d, 1);
        child<QPushButton>(d, QStringLiteral("cmdExtract"))->click();
        d.reject();
        EXPECT_EQ(state::mdlMain().StatColumn, -1);
    }
    frmStatistic_P again;
    EXPECT_TRUE(child<QRadioButton>(again, QStringLiteral("optStatistic_1"))->isChecked());
    EXPECT_EQ(child<QListWidget>(again, QStringLiteral("lstStatistic"))->count(), 4);
}

TEST_F(StatisticDialogs, ExportAppendsTheWholeTable)
{
    frmStatistic_P d;
    choose(d, 1);
    child<QPushButton>(d, QStringLiteral("cmdExtract"))->click();
    const QString out = dir.filePath(QStringLiteral("statistic_data.txt"));
    prompts.queueText(out);
    child<QPushButton>(d, QStringLiteral("cmdExport"))->click();
    EXPECT_EQ(prompts.last().request.proposedName, QStringLiteral("statistic_data"));
    prompts.queueText(out);
    child<QPushButton>(d, QStringLiteral("cmdExport"))->click();
    EXPECT_EQ(platform::readTextLines(out)->size(), 4);
}

TEST_F(StatisticDialogs, NothingStartsWhileATableIsBeingRead)
{
    write(QStringLiteral("first.csv"), {QStringLiteral("Code,地区名,人口"), QStringLiteral("13101,千代田区,100"), QStringLiteral("13102,中央区,200")});
    write(QStringLiteral("second.csv"), {QStringLiteral("Code,地区名,世帯数,面積"), QStringLiteral("13103,港区,7,20")});
    frmStatistic_P d;
    d.show();
    auto* extract = child<QPushButton>(d, QStringLiteral("cmdExtract"));
    auto* exportButton = child<QPushButton>(d, QStringLiteral("cmdExport"));
    auto* go = child<QPushButton>(d, QStringLiteral("cmdGo"));
    const QString half = dir.filePath(QStringLiteral("half.txt"));
    prompts.queueText(dir.filePath(QStringLiteral("first.csv")));
    prompts.queueText(dir.filePath(QStringLiteral("second.csv"))); // what a second 抽出 would read
    prompts.queueText(half);                                      // where an export would write

    // In the middle of reading, press everything that starts work, and the close box.
    int yields = 0;
    struct ClearHook {
        ~ClearHook() { platform::setYieldHook({}); }
    } clearHook;
    platform::setYieldHook([&] {
        if (++yields != 2)
            return;
        EXPECT_TRUE(d.isBusy());
        EXPECT_FALSE(extract->isEnabled());
        EXPECT_FALSE(exportButton->isEnabled());
        EXPECT_FALSE(go->isEnabled());
        EXPECT_FALSE(child<QRadioButton>(d, QStringLiteral("optStatistic_1"))->isEnabled());
        extract->click();
        d.cmdExtract_Click();
        d.cmdExport_Click(false);
        d.cmdGo_Click();
        d.reject();
        EXPECT_TRUE(d.isVisible()); // the table is finished first
    });
    extract->click();
    EXPECT_GE(yields, 2);

    const auto& s = state::mdlMain();
    EXPECT_EQ(s.StatColCount, 2);
    EXPECT_EQ(s.StatRowCount, 2);
    ASSERT_EQ(s.StatTable.size(), 3u);
    EXPECT_EQ(s.StatTable[0], (std::vector<QString>{QStringLiteral("Code"), QStringLiteral("地区名"), QStringLiteral("人口")}));
    EXPECT_EQ(s.StatTable[2][1], QStringLiteral("中央区"));
    ASSERT_EQ(prompts.records().size(), 1u); // the one file dialog: no second table, no export, no warning
    EXPECT_FALSE(QFile::exists(half));
    EXPECT_FALSE(d.isVisible()); // then the close box took effect
    EXPECT_EQ(s.StatColumn, -1);
    EXPECT_FALSE(d.isBusy());
    EXPECT_TRUE(extract->isEnabled());
    EXPECT_TRUE(child<QRadioButton>(d, QStringLiteral("optStatistic_1"))->isEnabled());
}

TEST_F(StatisticDialogs, EnterConfirmsAndNeverExtracts)
{
    frmStatistic_P d; // "独自データの取り込み" is chosen: extracting would open a file dialog
    d.show();
    QTest::keyClick(child<QRadioButton>(d, QStringLiteral("optStatistic_0")), Qt::Key_Return);
    ASSERT_EQ(prompts.records().size(), 1u);
    EXPECT_EQ(prompts.last().kind, platform::ScriptedPrompts::Kind::Message);
    EXPECT_EQ(prompts.last().text, QStringLiteral("統計項目が選択されていません。"));
    EXPECT_TRUE(d.isVisible());

    choose(d, 1);
    child<QPushButton>(d, QStringLiteral("cmdExtract"))->click();
    pick(d, 1);
    prompts.clear();
    QTest::keyClick(child<QListWidget>(d, QStringLiteral("lstStatistic")), Qt::Key_Return);
    EXPECT_TRUE(prompts.records().empty());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(state::mdlMain().StatColumn, 2);
}

namespace {

class RankDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        state::resetMdlMain();
        auto& s = state::mdlMain();
        s.MapMode = QStringLiteral("Japan");
        s.StatItemName = QStringLiteral("面積(k㎡)");
        s.StatMin = 0;
        s.StatMax = 101;
        s.RankSetting = {QStringLiteral("2"), QStringLiteral("0")};
    }
    QString text(QWidget& d, const char* name, int i) { return d.findChild<QLineEdit*>(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(i))->text(); }
    platform::ScopedScriptedPrompts prompts;
    QTemporaryDir dir;
};

} // namespace

TEST_F(RankDialog, ProposesEqualWidthsAndTheRedRamp)
{
    frmRank d({1, 30, 50, 100});
    EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("lblTitle"))->text(), QStringLiteral("面積(k㎡)"));
    EXPECT_EQ(d.rankCount(), 5);
    const char* lower[] = {"0", "20", "40", "60", "80"};
    const char* upper[] = {"20", "40", "60", "80", "101"};
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(text(d, "txtS", i), QString::fromLatin1(lower[i - 1]));
        EXPECT_EQ(text(d, "txtG", i), QString::fromLatin1(upper[i - 1]));
    }
    EXPECT_EQ(d.swatchColor(1), state::rgbColor(255, 234, 234));
    EXPECT_EQ(d.swatchColor(5), state::rgbColor(106, 0, 0));
    EXPECT_TRUE(d.findChild<QLineEdit*>(QStringLiteral("txtS_6"))->isHidden());
    EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("lblCount_2"))->text(), QStringLiteral("1"));
    EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("lblCount_5"))->text(), QStringLiteral("1"));
}

TEST_F(RankDialog, ConfirmStoresTheRankingOnlyWhenEveryBoundIsANumber)
{
    state::mdlMain().RankCount = 3;
    state::mdlMain().RankColor = {0, 1, 2, 3};
    {
        frmRank d({});
        d.findChild<QLineEdit*>(QStringLiteral("txtG_2"))->setText(QStringLiteral("abc"));
        d.cmdGo_Click();
        EXPECT_EQ(prompts.last().text, QStringLiteral("ランキング数値を正しく設定してください。"));
        EXPECT_NE(d.result(), QDialog::Accepted);
        d.reject(); // close box: the map's ranking stays whole
    }
    EXPECT_EQ(state::mdlMain().RankCount, 3);
    EXPECT_EQ(state::mdlMain().RankColor.size(), 4u);

    frmRank d({});
    d.findChild<QComboBox*>(QStringLiteral("cmbColor"))->setCurrentIndex(3);
    d.cmdGo_Click();
    ASSERT_EQ(d.result(), QDialog::Accepted);
    const auto& s = state::mdlMain();
    EXPECT_EQ(s.RankCount, 5);
    EXPECT_FLOAT_EQ(s.RankBound[2][0], 20.0f);
    EXPECT_EQ(s.RankColor[5], state::rgbColor(0, 0, 106));
    EXPECT_TRUE(s.RankReady);
    EXPECT_EQ(s.RankSetting[1], QStringLiteral("3"));

    frmRank reopened({});
    EXPECT_EQ(reopened.swatchColor(5), state::rgbColor(0, 0, 106));
    EXPECT_EQ(text(reopened, "txtG", 5), QStringLiteral("101"));
}

TEST_F(RankDialog, LoadingColoursForAnotherRankCountAsksFirst)
{
    const QString file = dir.filePath(QStringLiteral("colors.dat"));
    ASSERT_TRUE(platform::writeTextLines(file, {QStringLiteral("3"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}).ok());
    frmRank d({});
    const int before = d.swatchColor(1);
    prompts.queueText(file);
    prompts.queue(platform::MsgAnswer::No);
    d.cmdColorLoad_Click();
    EXPECT_EQ(prompts.last().title, QStringLiteral("要確認"));
    EXPECT_EQ(d.rankCount(), 5);
    EXPECT_EQ(d.swatchColor(1), before);
    prompts.queueText(file);
    prompts.queue(platform::MsgAnswer::Yes);
    d.cmdColorLoad_Click();
    EXPECT_EQ(d.rankCount(), 3);
    EXPECT_EQ(d.swatchColor(2), 2);

    const QString saved = dir.filePath(QStringLiteral("saved.dat"));
    prompts.queueText(saved);
    d.cmdColorSave_Click();
    EXPECT_EQ(*platform::readTextLines(saved), (QStringList{QStringLiteral("3"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
}

TEST_F(RankDialog, EnterConfirmsInsteadOfOpeningTheColourSaveDialog)
{
    frmRank d({});
    d.show();
    auto* box = d.findChild<QLineEdit*>(QStringLiteral("txtS_1"));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_TRUE(prompts.records().empty());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(state::mdlMain().RankReady);
}

TEST_F(RankDialog, ProposedBoundsUseADecimalPointUnderACommaLocale)
{
    CommaLocale german;
    SKIP_WITHOUT_COMMA_LOCALE(german);
    auto& s = state::mdlMain();
    s.StatMin = 10;
    s.StatMax = 11.5f;
    s.RankSetting = {QStringLiteral("0"), QStringLiteral("0")}; // 3 ranks
    frmRank d({10, 11});
    EXPECT_EQ(text(d, "txtG", 3), QStringLiteral("11.5"));
    d.cmdGo_Click(); // its own proposal is accepted
    EXPECT_TRUE(prompts.records().empty());
    ASSERT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(s.RankBound[3][1], 11.5f);
    frmRank reopened({10, 11});
    EXPECT_EQ(text(reopened, "txtG", 3), QStringLiteral("11.5"));
}

TEST_F(StatisticDialogs, BytesThatAreNotCp932AreSaidOnceAndTheTableStillExports)
{
    // "千代田区" with its last byte lost, and a stray byte in the value: read as 〓, said once.
    QFile own(dir.filePath(QStringLiteral("own.csv")));
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.write(platform::toCp932(QStringLiteral("Code,地区名,値\r\n13101,千代田")).value() + "\x8B,36\xFF\r\n");
    own.close();
    frmStatistic_P d;
    prompts.queueText(own.fileName());
    child<QPushButton>(d, QStringLiteral("cmdExtract"))->click();
    ASSERT_EQ(state::mdlMain().StatRowCount, 1);
    EXPECT_EQ(state::mdlMain().StatTable[1][1], QStringLiteral("千代田〓"));
    EXPECT_EQ(prompts.last().title, QStringLiteral("要確認"));
    EXPECT_TRUE(prompts.last().text.contains(QStringLiteral("文字として読めないバイトが 2 個あり"))) << prompts.last().text.toStdString();

    const QString out = dir.filePath(QStringLiteral("statistic_data.txt"));
    prompts.queueText(out);
    child<QPushButton>(d, QStringLiteral("cmdExport"))->click();
    EXPECT_EQ(prompts.last().kind, platform::ScriptedPrompts::Kind::SaveFile); // no error after the file dialog
    EXPECT_EQ(platform::readTextLines(out).value().value(1), QStringLiteral("13101,千代田〓,36〓"));
}
