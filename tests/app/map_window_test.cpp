#include "app/frm_ken_list.h"
#include "app/frm_main.h"
#include "app/frm_tiku_list.h"
#include "modal.h"
#include "state/mdl_main.h"
#include "platform/app_folder.h"
#include "platform/cp932.h"
#include "platform/prompts.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace miratos::app;
using namespace miratos::state;
using namespace miratos::platform;

namespace {

class MapWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetMdlMain();
        frmMain::setAutoLoad(false);
        AppFolder::set(dir.path());
        QFile ini(dir.filePath(QStringLiteral("Init.ini")));
        ini.open(QIODevice::WriteOnly);
        ini.write(*toCp932(QStringLiteral("[Pref]\r\n13=東京都\r\n[WaterColor]\r\nR=10\r\nG=20\r\nB=30\r\nS=4\r\n")));
    }
    void TearDown() override
    {
        frmMain::setAutoLoad(true);
        AppFolder::set(QString());
    }
    QTemporaryDir dir;
};

QVariant color(int r, int g, int b)
{
    return rgbColor(r, g, b);
}

} // namespace

TEST_F(MapWindow, InitialisationSetsTheModeDefaults)
{
    const QVariant sys = QVariant::fromValue<qlonglong>(kSystemTextColor);
    struct Case {
        const char* mode;
        std::array<QVariant, 3> row0;
        std::array<QVariant, 3> row1;
        const char* opt0;
        const char* opt2;
        const char* chkCity;
        bool opt1Visible;
        bool townVisible;
    };
    const Case cases[] = {
        {"Japan", {10, color(255, 0, 0), 0}, {}, "線のみ", "塗りつぶし（行政界）", "県名", false, false},
        {"Pref", {8, color(64, 0, 0), 0}, {}, "線のみ（行政界）", "塗りつぶし（行政界）", "市区町村名", true, false},
        {"City", {10, color(255, 0, 0), 0}, {8, sys, 0}, "線のみ（行政界）", "塗りつぶし", "市区町村名", false, true},
    };
    for (const auto& c : cases) {
        resetMdlMain();
        mdlMain().MapMode = QString::fromLatin1(c.mode);
        frmMain window;
        window.初期化();
        const auto& p = mdlMain().LayerProperty;
        EXPECT_EQ(p[0], c.row0) << c.mode;
        EXPECT_EQ(p[1], c.row1) << c.mode;
        for (int row = 2; row <= 4; ++row)
            EXPECT_EQ(p[static_cast<size_t>(row)], (std::array<QVariant, 3>{8, sys, 0})) << c.mode;
        EXPECT_EQ(p[5], (std::array<QVariant, 3>{QVariant(), color(0, 0, 255), color(0, 255, 255)})) << c.mode;
        EXPECT_EQ(p[6], (std::array<QVariant, 3>{color(128, 0, 128), color(128, 128, 128), color(192, 192, 192)})) << c.mode;
        EXPECT_EQ(p[7], (std::array<QVariant, 3>{QStringLiteral("0.0003 2"), color(128, 255, 128), 0})) << c.mode;
        EXPECT_EQ(mdlMain().NoteFontSize, 10);
        for (int i = 1; i <= 47; ++i)
            EXPECT_EQ(mdlMain().PrefTable[static_cast<size_t>(i)][2], QStringLiteral("65535"));
        EXPECT_EQ(window.findChild<QRadioButton*>(QStringLiteral("optMode_0"))->text(), QString::fromUtf8(c.opt0));
        EXPECT_EQ(window.findChild<QRadioButton*>(QStringLiteral("optMode_2"))->text(), QString::fromUtf8(c.opt2));
        EXPECT_EQ(window.findChild<QCheckBox*>(QStringLiteral("chkCity"))->text(), QString::fromUtf8(c.chkCity));
        EXPECT_EQ(!window.findChild<QRadioButton*>(QStringLiteral("optMode_1"))->isHidden(), c.opt1Visible) << c.mode;
        for (const char* name : {"chkTown", "chkRepresentTownOnly", "chkArea", "txtArea", "lblm", "chkNoOne"})
            EXPECT_EQ(!window.findChild<QWidget*>(QString::fromLatin1(name))->isHidden(), c.townVisible) << c.mode << name;
    }
}

TEST_F(MapWindow, CityModeReadsTheWaterFill)
{
    mdlMain().MapMode = QStringLiteral("City");
    frmMain window;
    window.初期化();
    EXPECT_EQ(window.waterFill().red, 10);
    EXPECT_EQ(window.waterFill().green, 20);
    EXPECT_EQ(window.waterFill().blue, 30);
    EXPECT_EQ(window.waterFill().style, 4);
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("lblm"))->text(), QStringLiteral("㎡"));
}

TEST_F(MapWindow, BusyStateDisablesTheListedControls)
{
    frmMain window;
    window.処理中(false);
    for (const char* name : {"cmdReDraw", "cmdImageExport", "scrZoom", "fmeShow", "fmeZoom", "fmeProperty", "fmeModify", "fmeStatistic"})
        EXPECT_FALSE(window.findChild<QWidget*>(QString::fromLatin1(name))->isEnabled()) << name;
    EXPECT_TRUE(window.findChild<QWidget*>(QStringLiteral("cmdColor"))->isEnabled());
    window.処理中(true);
    EXPECT_TRUE(window.findChild<QWidget*>(QStringLiteral("fmeZoom"))->isEnabled());
}

TEST_F(MapWindow, QuizWithoutDataTellsTheUserAndCloses)
{
    for (const auto& [mode, text] : {std::pair{"WhatPref", "都道府県データが１つもありません"},
                                     std::pair{"WhatCity", "市区町村データが１つもありません"}}) {
        ScopedScriptedPrompts scripted;
        mdlMain().MapMode = QString::fromLatin1(mode);
        auto* window = new frmMain;
        window->show();
        window->初期化();
        ASSERT_EQ(scripted.records().size(), 1u);
        EXPECT_EQ(scripted.last().title, QStringLiteral("要確認"));
        EXPECT_EQ(scripted.last().icon, MsgIcon::Exclamation);
        EXPECT_EQ(scripted.last().text, QString::fromUtf8(text));
        EXPECT_EQ(mdlMain().PrefTable[13][1], QStringLiteral("東京都"));
        EXPECT_EQ(mdlMain().PrefTable[1][1], QStringLiteral("ERROR"));
        EXPECT_FALSE(window->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(MapWindow, QuizSetUpRewritesTheModeAndNarrowsTheWindow)
{
    QDir(dir.path()).mkpath(QStringLiteral("MapData/東京都"));
    QFile point(dir.filePath(QStringLiteral("MapData/東京都/Point.dat")));
    point.open(QIODevice::WriteOnly);
    point.close();
    ScopedScriptedPrompts scripted;
    mdlMain().MapMode = QStringLiteral("WhatPref");
    frmMain window;
    window.show();
    QCoreApplication::processEvents();
    window.初期化();
    QCoreApplication::processEvents();
    for (const auto& record : scripted.records()) // the empty Point.dat may be reported, but there is data
        EXPECT_NE(record.text, QStringLiteral("都道府県データが１つもありません"));
    EXPECT_EQ(mdlMain().MapMode, QStringLiteral("Pref"));
    EXPECT_EQ(window.width(), 620);
    // The quiz controls are inside the narrowed window.
    const QWidget* txtAnswer = window.findChild<QWidget*>(QStringLiteral("txtAnswer"));
    EXPECT_LE(txtAnswer->mapTo(&window, QPoint(txtAnswer->width(), 0)).x(), 620);
    EXPECT_TRUE(window.findChild<QScrollBar*>(QStringLiteral("scrZoom"))->isHidden());
    EXPECT_FALSE(window.findChild<QWidget*>(QStringLiteral("cmdNext"))->isHidden());
}

TEST_F(MapWindow, CityModeShowsTheDistrictDialogAfterTheClosedPrefectureDialog)
{
    mdlMain().MapMode = QStringLiteral("City");
    frmMain window;
    bool districtDialogShown = false;
    whenShown<frmKenList>([&districtDialogShown](frmKenList& kenList) {
        whenShown<frmTikuList>([&districtDialogShown](frmTikuList& tikuList) {
            districtDialogShown = true;
            EXPECT_EQ(tikuList.findChild<QListWidget*>(QStringLiteral("lstTiku"))->count(), 0);
            tikuList.reject();
        });
        kenList.reject();
    });
    window.loadSequence();
    EXPECT_TRUE(districtDialogShown);
    EXPECT_EQ(window.tables().lvwPoint.count(), 0); // closing it leaves the window empty
}

TEST_F(MapWindow, DistanceButtonShowsTheDistanceAndClearsOnTheNextClick)
{
    frmMain window;
    auto* button = window.findChild<QPushButton*>(QStringLiteral("cmdDistance"));
    const char* boxes[] = {"txtX1", "txtY1", "txtX2", "txtY2"};
    const char* values[] = {"139", "35", "140", "35"};
    for (int i = 0; i < 4; ++i)
        window.findChild<QLineEdit*>(QString::fromLatin1(boxes[i]))->setText(QString::fromLatin1(values[i]));
    button->click();
    EXPECT_EQ(button->text(), QStringLiteral("91.1km"));
    button->click();
    EXPECT_EQ(button->text(), QStringLiteral("２点間距離"));
    window.findChild<QLineEdit*>(QStringLiteral("txtY2"))->setText(QStringLiteral("北緯"));
    button->click();
    EXPECT_EQ(button->text(), QStringLiteral("２点間距離")); // not a number: nothing happens
}

TEST_F(MapWindow, DeclutterButtonHidesOverlappingStationNames)
{
    frmMain window;
    auto& labels = window.labels();
    const int first = labels.add(miratos::mapview::LabelKind::Eki, QStringLiteral("新宿"), 10, 10);
    const int second = labels.add(miratos::mapview::LabelKind::Eki, QStringLiteral("新宿"), 10, 10);
    window.findChild<QPushButton*>(QStringLiteral("cmdDecrease"))->click();
    const auto& stations = std::as_const(labels).array(miratos::mapview::LabelKind::Eki);
    EXPECT_FALSE(stations.at(first).visible);
    EXPECT_TRUE(stations.at(second).visible);
}
