#include "app/frm_menu.h"
#include "app/frm_read_me.h"
#include "app/frm_main.h"
#include "state/mdl_main.h"

#include <QApplication>
#include <QLabel>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace miratos::app;
using namespace miratos::state;

namespace {

QWidget* visibleTopLevel(const QString& name)
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name && w->isVisible())
            return w;
    }
    return nullptr;
}

void closeAllTopLevels()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        w->hide();
        w->deleteLater();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class Launcher : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetMdlMain();
        frmMain::setAutoLoad(false);
    }
    void TearDown() override
    {
        closeAllTopLevels();
        frmMain::setAutoLoad(true);
    }
};

} // namespace

TEST_F(Launcher, CaptionsAndTitle)
{
    frmMenu menu;
    EXPECT_EQ(menu.windowTitle(), QStringLiteral("ミラトス"));
    const std::pair<const char*, const char*> captions[] = {
        {"cmdMap3", "日本地図"},
        {"cmdMap1", "都道府県地図"},
        {"cmdMap2", "市区町村地図"},
        {"cmdWhatPref", "何県？（データがある県のみ）"},
        {"cmdWhatCity", "何市？（データがある市のみ）"},
        {"cmdChange1", "都道府県データ変換"},
        {"cmdChange2", "市区町村データ変換"},
        {"cmdChange3", "全国データ変換"},
        {"cmdImport", "データ取込"},
        {"cmdRirUroravu", "RozIvoduze"},
        {"cmdGetCountry", "国盗合戦"},
        {"cmdReadMe", "ぜひ最初にお読みください"},
        {"Command1", "Command1"},
    };
    for (const auto& [name, caption] : captions) {
        auto* button = menu.findChild<QPushButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->text(), QString::fromUtf8(caption)) << name;
    }
    QStringList groups;
    for (auto* box : menu.findChildren<QGroupBox*>())
        groups << box->title();
    EXPECT_EQ(groups, (QStringList{QStringLiteral("地図描画"), QStringLiteral("データ変換"), QStringLiteral("おまけ")}));
}

TEST_F(Launcher, EachButtonClosesTheLauncherAndOpensItsWindow)
{
    struct Case {
        const char* button;
        const char* window;
        const char* mapMode; // nullptr: MapMode untouched
        const char* title;
    };
    const Case cases[] = {
        {"cmdMap3", "frmMain", "Japan", "都道府県地図"},
        {"cmdMap1", "frmMain", "Pref", "都道府県地図"},
        {"cmdMap2", "frmMain", "City", "都道府県地図"},
        {"cmdWhatPref", "frmMain", "WhatPref", "都道府県地図"},
        {"cmdWhatCity", "frmMain", "WhatCity", "都道府県地図"},
        {"cmdChange1", "frmChange_P", nullptr, "都道府県データ変換プログラム"},
        {"cmdChange2", "frmChange_C", nullptr, "市区町村データ変換プログラム"},
        {"cmdChange3", "frmChange_J", nullptr, "全国データ変換プログラム"},
        {"cmdImport", "frmImport", nullptr, "データ取込"},
        {"cmdRirUroravu", "frmFighter", nullptr, "razorero"},
        {"cmdGetCountry", "frmGetCountry", nullptr, "国盗合戦"},
    };
    for (const auto& c : cases) {
        mdlMain().MapMode = QStringLiteral("unchanged");
        auto* menu = new frmMenu;
        menu->show();
        menu->findChild<QPushButton*>(QString::fromLatin1(c.button))->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(visibleTopLevel(QStringLiteral("frmMenu")), nullptr) << c.button;
        QWidget* window = visibleTopLevel(QString::fromLatin1(c.window));
        ASSERT_NE(window, nullptr) << c.button;
        EXPECT_EQ(window->windowTitle(), QString::fromUtf8(c.title)) << c.button;
        EXPECT_EQ(mdlMain().MapMode, c.mapMode ? QString::fromLatin1(c.mapMode) : QStringLiteral("unchanged")) << c.button;
        closeAllTopLevels();
    }
}

TEST_F(Launcher, ReadMeOpensModallyOverTheLauncher)
{
    frmMenu menu;
    menu.show();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* readMe = qobject_cast<frmReadMe*>(QApplication::activeModalWidget());
        ASSERT_NE(readMe, nullptr);
        seen = true;
        EXPECT_EQ(readMe->windowTitle(), QStringLiteral("ミラトス"));
        auto* text = readMe->findChild<QPlainTextEdit*>(QStringLiteral("txtReadMe"));
        ASSERT_NE(text, nullptr);
        EXPECT_TRUE(text->isReadOnly());
        EXPECT_TRUE(text->toPlainText().contains(QStringLiteral("MapData")));
        readMe->accept();
    });
    menu.findChild<QPushButton*>(QStringLiteral("cmdReadMe"))->click();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(menu.isVisible());
}
