#include "app/frm_menu.h"

#include "app/frm_read_me.h"
#include "state/mdl_main.h"
#include "platform/widgets_ui.h"
#include "app/windows_ui.h"

#include <QGridLayout>
#include <QVBoxLayout>

namespace miratos::app {

using platform::makeButton;
using platform::makeFrame;
using state::mdlMain;

frmMenu::frmMenu(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMenu"));
    setWindowTitle(QStringLiteral("ミラトス"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* maps = makeFrame(this, QStringLiteral("fmeMap"), QStringLiteral("地図描画"));
    auto* mapsLayout = new QVBoxLayout(maps);
    auto* convert = makeFrame(this, QStringLiteral("fmeChange"), QStringLiteral("データ変換"));
    auto* convertLayout = new QVBoxLayout(convert);
    auto* extras = makeFrame(this, QStringLiteral("fmeOmake"), QStringLiteral("おまけ"));
    auto* extrasLayout = new QVBoxLayout(extras);

    struct MapButton {
        const char* name;
        const char* caption;
        const char* mode;
        QVBoxLayout* layout;
    };
    const MapButton mapButtons[] = {
        {"cmdMap3", "日本地図", "Japan", mapsLayout},
        {"cmdMap1", "都道府県地図", "Pref", mapsLayout},
        {"cmdMap2", "市区町村地図", "City", mapsLayout},
        {"cmdWhatPref", "何県？（データがある県のみ）", "WhatPref", extrasLayout},
        {"cmdWhatCity", "何市？（データがある市のみ）", "WhatCity", extrasLayout},
    };
    for (const auto& b : mapButtons) {
        auto* button = makeButton(this, QString::fromLatin1(b.name), QString::fromUtf8(b.caption));
        const QString mode = QString::fromLatin1(b.mode);
        connect(button, &QPushButton::clicked, this, [this, mode] { openMap(mode); });
        b.layout->addWidget(button);
    }

    struct WindowButton {
        const char* name;
        const char* caption;
        const char* window;
        QVBoxLayout* layout;
    };
    const WindowButton windowButtons[] = {
        {"cmdChange1", "都道府県データ変換", "frmChange_P", convertLayout},
        {"cmdChange2", "市区町村データ変換", "frmChange_C", convertLayout},
        {"cmdChange3", "全国データ変換", "frmChange_J", convertLayout},
        {"cmdImport", "データ取込", "frmImport", convertLayout},
        {"cmdRirUroravu", "RozIvoduze", "frmFighter", extrasLayout},
        {"cmdGetCountry", "国盗合戦", "frmGetCountry", extrasLayout},
    };
    for (const auto& b : windowButtons) {
        auto* button = makeButton(this, QString::fromLatin1(b.name), QString::fromUtf8(b.caption));
        const QString window = QString::fromLatin1(b.window);
        connect(button, &QPushButton::clicked, this, [this, window] { openWindow(window); });
        b.layout->addWidget(button);
    }

    auto* readMe = makeButton(this, QStringLiteral("cmdReadMe"), QStringLiteral("ぜひ最初にお読みください"));
    connect(readMe, &QPushButton::clicked, this, &frmMenu::showReadMe);
    // A spare button of the launcher's layout; it starts nothing by design.
    auto* command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("Command1"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(maps, 0, 0, 2, 1);
    grid->addWidget(convert, 0, 1);
    grid->addWidget(extras, 1, 1);
    grid->addWidget(readMe, 2, 0, 1, 2);
    grid->addWidget(command1, 3, 1, Qt::AlignRight);
    mapsLayout->addStretch();
}

void frmMenu::openMap(const QString& mapMode)
{
    mdlMain().MapMode = mapMode;
    openWindow(QStringLiteral("frmMain"));
}

void frmMenu::openWindow(const QString& windowName)
{
    // The launcher closes only once the new window is shown, so the program never has no window
    // (and no prompt of the new window can belong to the closing launcher).
    QWidget* window = openTopLevelWindow(windowName);
    if (window && window->isVisible())
        close();
}

void frmMenu::showReadMe()
{
    frmReadMe readMe(this);
    readMe.exec();
}

} // namespace miratos::app
