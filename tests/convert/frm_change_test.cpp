// The conversion windows driven through their controls: captions, the file dialogs, the
// prefecture taken from the data file's name, the dispatch of "変換" and the run frame around
// the boundary conversion. With MIRATOS_SCREENSHOT_DIR set, pictures of both windows are saved.
#include "app/windows_ui.h"
#include "boundary_fixture.h"
#include "convert/frm_change.h"
#include "platform/prompts.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QCoreApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

using namespace miratos;
using platform::ScriptedPrompts;

// Records, at each message, what the window showed at that moment.
class WatchingPrompts : public platform::ScopedScriptedPrompts {
public:
    QWidget* window = nullptr;
    struct Seen {
        bool changeEnabled;
        bool busyShown;
        QString counter;
    };
    std::vector<Seen> seen;

    platform::MsgAnswer message(platform::MsgIcon icon, platform::MsgButtons buttons, const QString& title, const QString& text) override
    {
        if (window)
            seen.push_back({window->findChild<QPushButton*>(QStringLiteral("cmdChange"))->isEnabled(),
                            !window->findChild<QLabel*>(QStringLiteral("lblIng"))->isHidden(),
                            window->findChild<QLabel*>(QStringLiteral("lblNow"))->text()});
        return ScriptedPrompts::message(icon, buttons, title, text);
    }
};

class ChangeWindowTest : public BoundaryFolder {
protected:
    template <class T>
    T* child(QWidget& w, const QString& name)
    {
        T* c = w.findChild<T*>(name);
        EXPECT_NE(c, nullptr) << name.toStdString();
        return c;
    }
    void click(QWidget& w, const char* button) { child<QPushButton>(w, QString::fromLatin1(button))->click(); }

    WatchingPrompts prompts;
};

TEST_F(ChangeWindowTest, ControlsAndCaptions)
{
    struct Control {
        const char* name;
        const char* caption;
        bool visible;
    };
    const Control p[] = {
        {"optMode_0", "行政区域データ（県によっては時間かかります）", true},
        {"optMode_1", "公共施設データ", true},
        {"optMode_3", "道路データ", true},
        {"optMode_4", "国勢調査データ", true},
        {"Label2", "説明ファイル（行政区域データ=KS-META-N～～.xml)", true},
        {"cmdFile1", "参照", true},
        {"Label3", "データファイル（行政区域データ=N～～.xml)（公共施設データ=P～～.xml)(道路データ=N～～.txt)", true},
        {"cmdFile2", "参照", true},
        {"Label4", "県名", true},
        {"Label5", "国勢調査Ｈ１２　第１次基本集計結果　（各都道府県）", true},
        {"chk1", "12a001.xls  「第 1 表 人口，人口増減（平成7年～12年），面積及び人口密度」", true},
        {"chk2", "12a003.xls  「第 2 表 男女別人口及び世帯の種類（2区分）別世帯数」", true},
        {"Label6", "国勢調査Ｈ１７　統計表　第２表　（各都道府県）", false},
        {"chk3", "17a002.xls  「全国・都道府県・市区町村別人口(要計表による人口)」", false},
        {"Label7", "国勢調査Ｈ１７　第１次基本集計結果　（各都道府県）", true},
        {"chk4", "17a001.xls  「第 1 表 人口，人口増減（平成12年～17年），面積及び人口密度」", true},
        {"chk5", "17a003.xls  「第 2 表 男女別人口及び世帯の種類（2区分）別世帯数」", true},
        {"cmdChange", "変換", true},
        {"lblIng", "処理中", false},
        {"lblNow", "", true},
        {"lblSub", "", true},
        {"Label1", "/", false},
        {"lblAll", "", false},
    };
    const Control j[] = {
        {"optMode_0", "鉄道データ（時間かかります）", true},
        {"optMode_1", "道路名データ", true},
        {"optMode_2", "国勢調査データ", true},
        {"Label3", "データファイル（鉄道データ=N～～.xml)(道路データ=N～～台.txt)", true},
        {"cmdFile2", "参照", true},
        {"Label4", "国勢調査Ｈ１７　第１次基本集計結果　（全国）", true},
        {"chk1", "17a001.xls  「第 1 表 人口，人口増減（平成12年～17年），面積及び人口密度」", true},
        {"chk2", "17a002.xls  「第 2 表 男女別人口及び世帯の種類（2区分）別世帯数」", true},
        {"cmdChange", "変換", true},
        {"lblIng", "処理中", false},
        {"Label1", "/", false},
    };
    auto check = [&](QWidget* w, const char* title, auto& controls) {
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->windowTitle(), QString::fromUtf8(title));
        for (const Control& c : controls) {
            QWidget* control = w->findChild<QWidget*>(QString::fromLatin1(c.name));
            ASSERT_NE(control, nullptr) << c.name;
            QString caption;
            if (auto* b = qobject_cast<QAbstractButton*>(control))
                caption = b->text();
            else if (auto* l = qobject_cast<QLabel*>(control))
                caption = l->text();
            EXPECT_EQ(caption, QString::fromUtf8(c.caption)) << c.name;
            EXPECT_EQ(control->isVisible(), c.visible) << c.name;
            if (auto* box = qobject_cast<QCheckBox*>(control)) {
                EXPECT_TRUE(box->isChecked()) << c.name;
            }
        }
        EXPECT_TRUE(child<QRadioButton>(*w, QStringLiteral("optMode_0"))->isChecked());
        w->close();
    };
    check(app::openTopLevelWindow(QStringLiteral("frmChange_P")), "都道府県データ変換プログラム", p);
    check(app::openTopLevelWindow(QStringLiteral("frmChange_J")), "全国データ変換プログラム", j);

    convert::frmChange_P window;
    EXPECT_EQ(window.findChild<QWidget*>(QStringLiteral("optMode_2")), nullptr);
    auto* pref = child<QComboBox>(window, QStringLiteral("cboPref"));
    ASSERT_EQ(pref->count(), 47);
    EXPECT_EQ(pref->currentIndex(), 0);
    EXPECT_EQ(pref->currentText(), QStringLiteral("県01"));
    EXPECT_EQ(pref->itemText(12), QStringLiteral("東京都"));
}

TEST_F(ChangeWindowTest, DataFileNameChoosesThePrefecture)
{
    struct Case {
        const char* path;
        const char* pref;
    };
    const Case cases[] = {
        {"/data/変換フォルダ/N03-21_13.xml", "東京都"},
        {"C:\\変換\\N03_07_13.xml", "東京都"},
        {"/data/N03-21_99.xml", "ERROR"},
        {"/data/N03-21_13.XML", "ERROR"},
        {"/data/N0513.txt", "東京都"},
        {"/data/N0513.TXT", "ERROR"},
        {"/data/N0513.csv", "ERROR"},
    };
    convert::frmChange_P window;
    for (const Case& c : cases) {
        prompts.queueText(QString::fromUtf8(c.path));
        click(window, "cmdFile2");
        EXPECT_EQ(child<QLineEdit>(window, QStringLiteral("txtFile2"))->text(), QString::fromUtf8(c.path));
        EXPECT_EQ(child<QComboBox>(window, QStringLiteral("cboPref"))->currentText(), QString::fromUtf8(c.pref)) << c.path;
    }
    const ScriptedPrompts::Record& dialog = prompts.last();
    EXPECT_EQ(dialog.kind, ScriptedPrompts::Kind::OpenFile);
    EXPECT_EQ(dialog.request.title, QStringLiteral("xmlファイルデータ変換"));
    EXPECT_EQ(dialog.request.filter, QStringLiteral("データファイル(*.xml *.txt)"));
    EXPECT_EQ(dialog.request.startFolder, path(QStringLiteral("変換フォルダ")));

    // A cancelled dialog changes nothing; the metadata box has its own filter.
    prompts.queueCancel();
    click(window, "cmdFile2");
    EXPECT_EQ(child<QLineEdit>(window, QStringLiteral("txtFile2"))->text(), QStringLiteral("/data/N0513.csv"));
    prompts.queueText(QStringLiteral("/data/KS-META-N03-21_13.xml"));
    click(window, "cmdFile1");
    EXPECT_EQ(child<QLineEdit>(window, QStringLiteral("txtFile1"))->text(), QStringLiteral("/data/KS-META-N03-21_13.xml"));
    EXPECT_EQ(prompts.last().request.filter, QStringLiteral("データファイル(*.xml)"));
    EXPECT_EQ(child<QComboBox>(window, QStringLiteral("cboPref"))->currentText(), QStringLiteral("ERROR"));
}

TEST_F(ChangeWindowTest, EmptyOrNonXmlPathsDoNothing)
{
    convert::frmChange_P window;
    window.show();
    for (const auto& [meta, data] : std::initializer_list<std::pair<const char*, const char*>>{
             {"", ""}, {"", "/d/N03_13.xml"}, {"/d/m.xml", "/d/N03_13.XML"}, {"/d/m.txt", "/d/N03_13.xml"}}) {
        child<QLineEdit>(window, QStringLiteral("txtFile1"))->setText(QString::fromUtf8(meta));
        child<QLineEdit>(window, QStringLiteral("txtFile2"))->setText(QString::fromUtf8(data));
        click(window, "cmdChange");
        EXPECT_TRUE(prompts.records().empty()) << meta << " " << data;
        EXPECT_TRUE(child<QPushButton>(window, QStringLiteral("cmdChange"))->isEnabled());
        EXPECT_FALSE(child<QLabel>(window, QStringLiteral("lblIng"))->isVisible());
    }
}

TEST_F(ChangeWindowTest, BoundaryConversionRunsInTheRunFrame)
{
    QByteArray meta, data;
    using namespace miratos::convert;
    imports::BoundaryTopology t;
    // A strip of 40 squares: enough nodes for the counter to show.
    for (int i = 0; i <= 40; ++i)
        t.lines.append(imports::TopoLine{{QPointF(139 + 0.01 * i, 36), QPointF(139 + 0.01 * i, 35.5), QPointF(139 + 0.01 * i, 35)}});
    for (int i = 0; i < 40; ++i) {
        t.lines.append(imports::TopoLine{{QPointF(139 + 0.01 * i, 35), QPointF(139 + 0.01 * (i + 1), 35)}});
        t.lines.append(imports::TopoLine{{QPointF(139 + 0.01 * (i + 1), 36), QPointF(139 + 0.01 * i, 36)}});
        t.municipalities.append({13, QStringLiteral("131%1").arg(i, 2, 10, QLatin1Char('0')), {QStringLiteral("東京都"), QStringLiteral("町%1").arg(i)},
                                 {imports::TopoPolygon{{{{41 + 2 * i, false}, {i + 1, true}, {42 + 2 * i, false}, {i, false}}}}}});
    }
    ASSERT_TRUE(bench::writeBoundaryXml(t, 13, [&](const QByteArray& b) { meta += b; }, [&](const QByteArray& b) { data += b; }).ok());
    const QString metaPath = inputFile(QStringLiteral("KS-META-N03-21_13.xml"), meta);
    const QString dataPath = inputFile(QStringLiteral("N03-21_13.xml"), data);

    frmChange_P window;
    prompts.window = &window;
    window.show();
    prompts.queueText(metaPath);
    click(window, "cmdFile1");
    prompts.queueText(dataPath);
    click(window, "cmdFile2");
    EXPECT_EQ(child<QComboBox>(window, QStringLiteral("cboPref"))->currentText(), QStringLiteral("東京都"));
    prompts.clear();
    click(window, "cmdChange");

    ASSERT_EQ(prompts.records().size(), 1u) << prompts.last().text.toStdString();
    EXPECT_EQ(prompts.last().title, QStringLiteral("変換終了"));
    EXPECT_EQ(prompts.last().text, QStringLiteral("変換終了！\r\n「ＯＫ」クリック後、メモリの解放に、\r\n少し時間がかかる場合があります。"));
    EXPECT_EQ(prompts.last().buttons, platform::MsgButtons::Ok);
    // While the message shows, the run is still on: "変換" off, "処理中" shown, the counter up.
    ASSERT_EQ(prompts.seen.size(), 1u);
    EXPECT_FALSE(prompts.seen[0].changeEnabled);
    EXPECT_TRUE(prompts.seen[0].busyShown);
    EXPECT_GE(prompts.seen[0].counter.toInt(), 1000);
    // Afterwards the frame is back to rest.
    EXPECT_TRUE(child<QPushButton>(window, QStringLiteral("cmdChange"))->isEnabled());
    EXPECT_FALSE(child<QLabel>(window, QStringLiteral("lblIng"))->isVisible());
    EXPECT_EQ(child<QLabel>(window, QStringLiteral("lblNow"))->text(), QString());
    EXPECT_EQ(fileText(QStringLiteral("Tiku.dat")).rfind("13a1ec\r\n東京都@町0\r\n13100\r\n", 0), 0u);

    // A prefecture that is not in the list, and a file that does not convert, are reported.
    child<QComboBox>(window, QStringLiteral("cboPref"))->setEditText(QStringLiteral("ERROR"));
    click(window, "cmdChange");
    EXPECT_EQ(prompts.last().title, QStringLiteral("要確認"));
    EXPECT_TRUE(prompts.last().text.contains(QStringLiteral("ERROR")));
    child<QComboBox>(window, QStringLiteral("cboPref"))->setCurrentIndex(12);
    child<QLineEdit>(window, QStringLiteral("txtFile2"))->setText(metaPath);
    click(window, "cmdChange");
    EXPECT_EQ(prompts.last().title, QStringLiteral("残念"));
    EXPECT_TRUE(prompts.last().text.contains(QStringLiteral("KS-META-N03-21_13.xml"))) << prompts.last().text.toStdString();
    EXPECT_TRUE(child<QPushButton>(window, QStringLiteral("cmdChange"))->isEnabled());
}

// The output folder is built from Init.ini's [Pref] value: one that climbs out of MapData is
// refused with a message naming it, and nothing is written anywhere.
TEST_F(ChangeWindowTest, PrefValueLeadingOutOfMapDataIsRefused)
{
    QStringList ini{QStringLiteral("[Pref]")};
    for (int i = 1; i <= 47; ++i)
        ini << QStringLiteral("%1=県%1").arg(i, 2, 10, QLatin1Char('0'));
    ini[13] = QStringLiteral("13=..\\x");
    ASSERT_TRUE(platform::writeTextLines(path(QStringLiteral("Init.ini")), ini).ok());
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("x")))); // where "MapData\..\x" would lead
    const QString metaPath = inputFile(QStringLiteral("KS-META-N03-21_13.xml"), metaXml());
    const QString dataPath = inputFile(QStringLiteral("N03-21_13.xml"), dataXml([](bench::BoundaryXmlWriter& w) {
        w.point("n1", "35 139");
        w.point("n2", "35 140");
        w.point("n3", "36 140");
        w.curve("cv1", "n1", {}, "n2");
        w.curve("cv2", "n2", {}, "n3");
        w.curve("cv3", "n3", {}, "n1");
        w.surface("sf1ec", {{"rn1_ec1", {"cv1", "cv2", "cv3"}}});
        w.feature("ec1", "sf1ec", QStringLiteral("東京都"), {}, QStringLiteral("千代田区"), QStringLiteral("13101"));
    }));

    convert::frmChange_P window;
    child<QLineEdit>(window, QStringLiteral("txtFile1"))->setText(metaPath);
    child<QLineEdit>(window, QStringLiteral("txtFile2"))->setText(dataPath);
    child<QComboBox>(window, QStringLiteral("cboPref"))->setCurrentIndex(12);
    ASSERT_EQ(child<QComboBox>(window, QStringLiteral("cboPref"))->currentText(), QStringLiteral("..\\x"));
    click(window, "cmdChange");

    ASSERT_EQ(prompts.records().size(), 1u);
    EXPECT_EQ(prompts.last().title, QStringLiteral("要確認"));
    EXPECT_TRUE(prompts.last().text.contains(QStringLiteral("「..\\x」"))) << prompts.last().text.toStdString();
    EXPECT_TRUE(QDir(path(QStringLiteral("x"))).isEmpty());
    EXPECT_TRUE(QDir(tokyoFolder()).isEmpty());
    EXPECT_TRUE(child<QPushButton>(window, QStringLiteral("cmdChange"))->isEnabled());
}

// A feature left out is named in one message before the end message; the rest is written.
TEST_F(ChangeWindowTest, SkippedFeaturesAreNamedBeforeTheEndMessage)
{
    const QString metaPath = inputFile(QStringLiteral("KS-META-N03-21_13.xml"), metaXml());
    const QString dataPath = inputFile(QStringLiteral("N03-21_13.xml"), dataXml([](bench::BoundaryXmlWriter& w) {
        w.point("n1", "35 139");
        w.curve("cv1", "n1", {"35 140", "36 140"}, "n1");
        w.curve("cv9", "n1", {}, "n9");
        w.surface("sf1ec", {{"rn1_ec1", {"cv1"}}});
        w.feature("ec1", "sf1ec", QStringLiteral("東京都"), {}, QStringLiteral("千代田区"), QStringLiteral("13101"));
    }));
    convert::frmChange_P window;
    child<QLineEdit>(window, QStringLiteral("txtFile1"))->setText(metaPath);
    child<QLineEdit>(window, QStringLiteral("txtFile2"))->setText(dataPath);
    child<QComboBox>(window, QStringLiteral("cboPref"))->setCurrentIndex(12);
    click(window, "cmdChange");

    ASSERT_EQ(prompts.records().size(), 2u);
    EXPECT_EQ(prompts.records()[0].title, QStringLiteral("要確認"));
    EXPECT_TRUE(prompts.records()[0].text.contains(QStringLiteral("jps:GM_Curve「cv9」"))) << prompts.records()[0].text.toStdString();
    EXPECT_EQ(prompts.records()[1].title, QStringLiteral("変換終了"));
    EXPECT_EQ(fileText(QStringLiteral("Line.dat")), "13c1\r\n35 139 35 140 36 140 35 139\r\n");
}

TEST_F(ChangeWindowTest, RailwayConversionRunsInTheRunFrameAndReportsAMissingFolder)
{
    QFile fixture(QStringLiteral(MIRATOS_SOURCE_DIR "/tests/convert/fixtures/railway/N02-test.xml"));
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    const QString dataPath = inputFile(QStringLiteral("N02-07.xml"), fixture.readAll());
    convert::frmChange_J window;
    prompts.window = &window;
    window.show();
    prompts.queueText(dataPath);
    click(window, "cmdFile2");

    click(window, "cmdChange"); // MapData/鉄道 does not exist yet
    ASSERT_EQ(prompts.records().size(), 2u);
    EXPECT_EQ(prompts.last().title, QStringLiteral("残念"));
    EXPECT_TRUE(prompts.last().text.contains(QStringLiteral("鉄道"))) << prompts.last().text.toStdString();

    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("MapData/鉄道"))));
    click(window, "cmdChange");
    EXPECT_EQ(prompts.last().title, QStringLiteral("変換終了"));
    EXPECT_EQ(prompts.last().text, QStringLiteral("変換終了！\r\n「ＯＫ」クリック後、メモリの解放に、\r\n少し時間がかかる場合があります。"));
    ASSERT_EQ(prompts.seen.size(), 2u);
    EXPECT_FALSE(prompts.seen[1].changeEnabled);
    EXPECT_TRUE(prompts.seen[1].busyShown);
    EXPECT_TRUE(child<QPushButton>(window, QStringLiteral("cmdChange"))->isEnabled());
    EXPECT_FALSE(child<QLabel>(window, QStringLiteral("lblIng"))->isVisible());
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("MapData/鉄道/Line_st.dat"))));

    // A path that does not end in "xml" does nothing, without a message.
    child<QLineEdit>(window, QStringLiteral("txtFile2"))->setText(dataPath + QStringLiteral(".txt"));
    click(window, "cmdChange");
    EXPECT_EQ(prompts.records().size(), 3u);
}

TEST_F(ChangeWindowTest, FacilityConversionWritesBuildDatInTheRunFrame)
{
    QFile fixture(QStringLiteral(MIRATOS_SOURCE_DIR "/tests/convert/fixtures/facility/P37-facilities.xml"));
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    const QString dataPath = inputFile(QStringLiteral("P13-06.xml"), fixture.readAll());
    convert::frmChange_P window;
    prompts.window = &window;
    window.show();
    child<QRadioButton>(window, QStringLiteral("optMode_1"))->setChecked(true);
    child<QLineEdit>(window, QStringLiteral("txtFile2"))->setText(dataPath);
    child<QComboBox>(window, QStringLiteral("cboPref"))->setCurrentIndex(12);
    click(window, "cmdChange");

    // The test's Init.ini has no code tables: every code is written as "ERROR", and said so once.
    ASSERT_EQ(prompts.records().size(), 2u);
    EXPECT_EQ(prompts.records()[0].title, QStringLiteral("要確認"));
    EXPECT_TRUE(prompts.records()[0].text.contains(QStringLiteral("ERROR"))) << prompts.records()[0].text.toStdString();
    EXPECT_EQ(prompts.last().title, QStringLiteral("変換終了"));
    EXPECT_EQ(prompts.last().text, QStringLiteral("変換終了！"));
    EXPECT_FALSE(prompts.seen[1].changeEnabled);
    EXPECT_TRUE(child<QPushButton>(window, QStringLiteral("cmdChange"))->isEnabled());
    EXPECT_EQ(fileText(QStringLiteral("Build.dat")).rfind("34.338215 134.041375|37201|ERROR|ERROR|讃岐みらい会館|中央町2-4-1|ERROR\r\n", 0), 0u);
}

// The nationwide window's 参照 fills the data file box with the chosen file.
TEST_F(ChangeWindowTest, NationwideDataFileButtonFillsTheBox)
{
    convert::frmChange_J j;
    prompts.queueText(QStringLiteral("/d/N02-07.xml"));
    click(j, "cmdFile2");
    EXPECT_EQ(child<QLineEdit>(j, QStringLiteral("txtFile2"))->text(), QStringLiteral("/d/N02-07.xml"));
}

// "国勢調査データ" of both windows: the workbooks found in 変換フォルダ under their fixed names
// become the statistic files, unticked ones are left alone, and "変換終了！" ends the run with
// "変換" enabled again.
TEST_F(ChangeWindowTest, CensusWorkbooksFromBothWindows)
{
    const QString fixtures = QStringLiteral(MIRATOS_SOURCE_DIR "/tests/convert/fixtures/census/");
    for (const char* name : {"12a001.xls", "12a003.xls", "17a002.xls", "17a001.xls", "17a003.xls"})
        ASSERT_TRUE(QFile::copy(fixtures + QLatin1String(name), path(QStringLiteral("変換フォルダ/") + QLatin1String(name))));
    convert::frmChange_P p;
    prompts.window = &p;
    child<QRadioButton>(p, QStringLiteral("optMode_4"))->setChecked(true);
    child<QComboBox>(p, QStringLiteral("cboPref"))->setCurrentIndex(12);
    child<QCheckBox>(p, QStringLiteral("chk2"))->setChecked(false);
    click(p, "cmdChange");
    ASSERT_EQ(prompts.records().size(), 1u);
    EXPECT_EQ(prompts.last().title, QStringLiteral("変換終了"));
    EXPECT_EQ(prompts.last().text, QStringLiteral("変換終了！"));
    EXPECT_TRUE(prompts.seen[0].changeEnabled);
    EXPECT_EQ(QDir(tokyoFolder()).entryList(QDir::Files),
              (QStringList{"statistic1.csv", "statistic3.csv", "statistic4.csv", "statistic5.csv"}));
    EXPECT_EQ(fileText(QStringLiteral("statistic1.csv")).substr(0, 40), std::string("Code,地区名,人口(人),面積(k㎡),人口密度(人/k㎡)\r\n01100,札幌市").substr(0, 40));

    QFile::remove(path(QStringLiteral("変換フォルダ/17a001.xls")));
    QFile::remove(path(QStringLiteral("変換フォルダ/17a002.xls")));
    ASSERT_TRUE(QFile::copy(fixtures + QStringLiteral("J17a001.xls"), path(QStringLiteral("変換フォルダ/17a001.xls"))));
    ASSERT_TRUE(QFile::copy(fixtures + QStringLiteral("J17a002.xls"), path(QStringLiteral("変換フォルダ/17a002.xls"))));
    convert::frmChange_J j;
    child<QRadioButton>(j, QStringLiteral("optMode_2"))->setChecked(true);
    click(j, "cmdChange");
    EXPECT_EQ(prompts.last().text, QStringLiteral("変換終了！"));
    for (const char* name : {"statistic1.csv", "statistic2.csv"}) {
        QFile out(path(QStringLiteral("MapData/") + QLatin1String(name)));
        QFile golden(fixtures + (QLatin1String(name) == QLatin1String("statistic1.csv") ? QStringLiteral("J_17a001.csv") : QStringLiteral("J_17a002.csv")));
        ASSERT_TRUE(out.open(QIODevice::ReadOnly) && golden.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(out.readAll(), golden.readAll()) << name;
    }
}

// Every caption fits its control and no two visible controls overlap.
TEST_F(ChangeWindowTest, CaptionsFitAndNothingOverlaps)
{
    convert::frmChange_P p;
    convert::frmChange_J j;
    for (QWidget* w : {static_cast<QWidget*>(&p), static_cast<QWidget*>(&j)}) {
        w->show();
        QCoreApplication::processEvents();
        QVector<QWidget*> shown;
        for (QWidget* c : w->findChildren<QWidget*>()) {
            if (!c->isVisible() || c->parentWidget() != w)
                continue;
            if (qobject_cast<QAbstractButton*>(c) || qobject_cast<QLabel*>(c)) {
                EXPECT_GE(c->width(), c->sizeHint().width()) << w->objectName().toStdString() << " " << c->objectName().toStdString();
            }
            for (QWidget* other : shown)
                EXPECT_FALSE(c->geometry().intersects(other->geometry()))
                    << c->objectName().toStdString() << " overlaps " << other->objectName().toStdString();
            shown.append(c);
        }
        const QByteArray dir = qgetenv("MIRATOS_SCREENSHOT_DIR");
        if (!dir.isEmpty())
            w->grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + w->objectName() + QStringLiteral(".png"));
    }
}

} // namespace

// The road jobs of both windows: nothing happens for a path not ending in "txt"; the prefecture
// window writes Road.dat into the chosen prefecture's folder, the nationwide one RoadName.dat;
// malformed lines are listed before the end message.
TEST_F(ChangeWindowTest, RoadJobsOfBothWindows)
{
    auto fixture = [](const char* name) {
        QFile f(QStringLiteral(MIRATOS_SOURCE_DIR "/tests/convert/fixtures/road/") + QString::fromUtf8(name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    };
    const QString roads = inputFile(QStringLiteral("N13.txt"), fixture("N13.txt"));
    const QString names = inputFile(QStringLiteral("N00台.txt"), fixture("N00台.txt"));

    convert::frmChange_P p;
    prompts.window = &p;
    child<QRadioButton>(p, QStringLiteral("optMode_3"))->setChecked(true);
    child<QLineEdit>(p, QStringLiteral("txtFile2"))->setText(roads + QStringLiteral(".xml"));
    click(p, "cmdChange");
    EXPECT_TRUE(prompts.records().empty());
    EXPECT_TRUE(child<QPushButton>(p, QStringLiteral("cmdChange"))->isEnabled());

    child<QLineEdit>(p, QStringLiteral("txtFile2"))->setText(roads);
    child<QComboBox>(p, QStringLiteral("cboPref"))->setCurrentIndex(12);
    click(p, "cmdChange");
    ASSERT_EQ(prompts.records().size(), 2u);
    EXPECT_EQ(prompts.records()[0].title, QStringLiteral("要確認"));
    EXPECT_TRUE(prompts.records()[0].text.contains(QStringLiteral("N13.txt 11 行目"))) << prompts.records()[0].text.toStdString();
    EXPECT_EQ(prompts.last().title, QStringLiteral("変換終了"));
    EXPECT_EQ(prompts.last().text, QStringLiteral("変換終了！"));
    EXPECT_FALSE(prompts.seen[1].changeEnabled);
    EXPECT_TRUE(child<QPushButton>(p, QStringLiteral("cmdChange"))->isEnabled());
    EXPECT_TRUE(child<QLabel>(p, QStringLiteral("lblAll"))->text().isEmpty());
    EXPECT_EQ(fileText(QStringLiteral("Road.dat")).substr(0, 13), "R357@139.7256");

    convert::frmChange_J j;
    prompts.window = &j;
    child<QRadioButton>(j, QStringLiteral("optMode_1"))->setChecked(true);
    child<QLineEdit>(j, QStringLiteral("txtFile2"))->setText(names);
    click(j, "cmdChange");
    EXPECT_EQ(prompts.last().title, QStringLiteral("変換終了"));
    QFile written(path(QStringLiteral("MapData/RoadName.dat")));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().startsWith("R1@1@"));
}
