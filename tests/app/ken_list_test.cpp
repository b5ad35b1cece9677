#include "app/frm_ken_list.h"
#include "state/mdl_main.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace miratos::app;
using namespace miratos::state;

namespace {
template <class W>
W* child(QWidget& w, const QString& name)
{
    auto* c = w.findChild<W*>(name);
    EXPECT_NE(c, nullptr) << name.toStdString();
    return c;
}
} // namespace

TEST(KenList, ModeDecidesWhichOptionsShow)
{
    struct Case {
        const char* mode;
        bool separate, special, town;
    };
    for (const Case& c : {Case{"Japan", true, true, false}, Case{"Pref", false, true, false}, Case{"City", false, false, true}}) {
        resetMdlMain();
        mdlMain().MapMode = QString::fromLatin1(c.mode);
        frmKenList dialog;
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("県リスト"));
        EXPECT_EQ(!child<QCheckBox>(dialog, QStringLiteral("chkSeparate"))->isHidden(), c.separate) << c.mode;
        EXPECT_EQ(!child<QLabel>(dialog, QStringLiteral("lblMes"))->isHidden(), c.separate) << c.mode;
        EXPECT_EQ(!child<QCheckBox>(dialog, QStringLiteral("chkSpecialCoordinate"))->isHidden(), c.special) << c.mode;
        EXPECT_EQ(!child<QLabel>(dialog, QStringLiteral("lblMes2"))->isHidden(), c.special) << c.mode;
        EXPECT_EQ(!child<QCheckBox>(dialog, QStringLiteral("chkTownLevel"))->isHidden(), c.town) << c.mode;
        EXPECT_EQ(!child<QGroupBox>(dialog, QStringLiteral("FrameNen"))->isHidden(), c.town) << c.mode;
        EXPECT_TRUE(child<QRadioButton>(dialog, QStringLiteral("optNen_1"))->isChecked());
        EXPECT_EQ(child<QCheckBox>(dialog, QStringLiteral("chkKen_47"))->text(), QStringLiteral("沖縄県"));
    }
}

TEST(KenList, SelectAllTicksAndUnticksEveryPrefecture)
{
    resetMdlMain();
    mdlMain().MapMode = QStringLiteral("Japan");
    frmKenList dialog;
    auto* all = child<QCheckBox>(dialog, QStringLiteral("chkAll"));
    all->click();
    for (int i = 1; i <= 47; ++i)
        EXPECT_TRUE(child<QCheckBox>(dialog, QStringLiteral("chkKen_%1").arg(i))->isChecked()) << i;
    all->click();
    for (int i = 1; i <= 47; ++i)
        EXPECT_FALSE(child<QCheckBox>(dialog, QStringLiteral("chkKen_%1").arg(i))->isChecked()) << i;
}

TEST(KenList, ConfirmWritesTheSelection)
{
    resetMdlMain();
    auto& s = mdlMain();
    s.MapMode = QStringLiteral("Japan");
    s.PrefTable[1] = {QStringLiteral("TRUE"), QStringLiteral("北海道"), QString()};
    frmKenList dialog;
    child<QCheckBox>(dialog, QStringLiteral("chkKen_13"))->setChecked(true);
    child<QCheckBox>(dialog, QStringLiteral("chkTrain"))->setChecked(true);
    child<QCheckBox>(dialog, QStringLiteral("chkSeparate"))->setChecked(false);
    child<QPushButton>(dialog, QStringLiteral("cmdGo"))->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(s.PrefTable[13][0], QStringLiteral("TRUE"));
    EXPECT_EQ(s.PrefTable[13][1], QStringLiteral("東京都"));
    EXPECT_EQ(s.PrefTable[1][0], QString());
    EXPECT_EQ(s.PrefTable[1][1], QStringLiteral("北海道")); // unticked rows keep their name
    EXPECT_TRUE(s.UseTrain);
    EXPECT_FALSE(s.UseRoad);
    EXPECT_FALSE(s.HideSeparate);
    EXPECT_TRUE(s.UseSpecialCoordinate);
}

TEST(KenList, CityYearAndClosingWithoutConfirming)
{
    resetMdlMain();
    auto& s = mdlMain();
    s.MapMode = QStringLiteral("City");
    {
        frmKenList dialog;
        child<QRadioButton>(dialog, QStringLiteral("optNen_0"))->setChecked(true);
        child<QCheckBox>(dialog, QStringLiteral("chkKen_13"))->setChecked(true);
        dialog.reject(); // the window's close button
        EXPECT_EQ(s.PrefTable[13][0], QString());
        EXPECT_EQ(s.DataYear, 0);
    }
    frmKenList dialog;
    child<QRadioButton>(dialog, QStringLiteral("optNen_0"))->setChecked(true);
    child<QPushButton>(dialog, QStringLiteral("cmdGo"))->click();
    EXPECT_EQ(s.DataYear, 12);
}
