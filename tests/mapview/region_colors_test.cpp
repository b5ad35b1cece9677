#include "state/mdl_main.h"
#include "mapview/frm_ken_color.h"
#include "mapview/region_colors.h"
#include "platform/prompts.h"
#include "platform/seams.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace miratos;
using namespace miratos::mapview;

namespace {

class RegionColors : public ::testing::Test {
protected:
    void SetUp() override
    {
        state::resetMdlMain();
        auto& s = state::mdlMain();
        s.MapMode = QStringLiteral("City");
        for (int i = 1; i <= 47; ++i)
            s.PrefTable[static_cast<size_t>(i)][2] = QStringLiteral("65535");
        s.PrefTable[13][0] = QStringLiteral("TRUE");
        s.PrefTable[13][1] = QStringLiteral("東京都");
        s.PrefTable[14][0] = QStringLiteral("TRUE");
        s.PrefTable[14][1] = QStringLiteral("神奈川県");
        s.TikuCount = 3;
        s.TikuTable = {{}, {QStringLiteral("千代田区"), {}, {}, QStringLiteral("13101")},
                       {QStringLiteral("中央区"), {}, {}, QStringLiteral("13102")},
                       {QStringLiteral("横浜市"), {}, {}, QStringLiteral("14100")}};
        for (const char* key : {"13101G", "13102G", "14100G"})
            colours.add(QString::fromLatin1(key), QStringLiteral("65535"));
    }
    void TearDown() override { platform::setRandomSource({}); }
    platform::KeyedTable colours;
    platform::ScopedScriptedPrompts prompts;
};

} // namespace

TEST_F(RegionColors, PrefectureColourGoesToItsMunicipalitiesInCityMode)
{
    frmKenColor d(colours);
    ASSERT_EQ(d.lblKen().size(), 3); // template + 東京都 + 神奈川県
    EXPECT_EQ(d.lblKen()[1]->text(), QStringLiteral("東京都"));
    EXPECT_FALSE(d.findChild<QPushButton*>(QStringLiteral("cmdColor"))->isHidden());
    prompts.queueColor(255);
    d.lblKen_Click(1);
    EXPECT_EQ(state::mdlMain().PrefTable[13][2], QStringLiteral("255"));
    EXPECT_EQ(colours.find(QStringLiteral("13101G"))->text, QStringLiteral("255"));
    EXPECT_EQ(colours.find(QStringLiteral("13102G"))->text, QStringLiteral("255"));
    EXPECT_EQ(colours.find(QStringLiteral("14100G"))->text, QStringLiteral("65535"));
    EXPECT_EQ(labelColor(d.lblKen()[1]), 255);
}

TEST_F(RegionColors, CancelledChooserChangesNothing)
{
    frmKenColor d(colours);
    d.lblKen_Click(1); // nothing queued: cancelled
    EXPECT_EQ(state::mdlMain().PrefTable[13][2], QStringLiteral("65535"));
    EXPECT_EQ(colours.find(QStringLiteral("13101G"))->text, QStringLiteral("65535"));
}

TEST_F(RegionColors, PrefModeHidesTheMunicipalityButtonAndLeavesMunicipalitiesAlone)
{
    state::mdlMain().MapMode = QStringLiteral("Pref");
    frmKenColor d(colours);
    EXPECT_TRUE(d.findChild<QPushButton*>(QStringLiteral("cmdColor"))->isHidden());
    EXPECT_TRUE(d.findChild<QLabel*>(QStringLiteral("lblMes"))->isHidden());
    prompts.queueColor(255);
    d.lblKen_Click(1);
    EXPECT_EQ(colours.find(QStringLiteral("13101G"))->text, QStringLiteral("65535"));
}

TEST_F(RegionColors, LabelsFillColumnsOfTen)
{
    EXPECT_EQ(kenLabelPosition(1), QPoint(8, 8));
    EXPECT_EQ(kenLabelPosition(10), QPoint(8, 224));
    EXPECT_EQ(kenLabelPosition(11), QPoint(88, 8));
    EXPECT_EQ(kenLabelPosition(12), QPoint(88, 32));
}

TEST_F(RegionColors, MunicipalitySwatchAndRandomColours)
{
    frmTikuColor d(colours);
    auto* list = d.findChild<QListWidget*>(QStringLiteral("lstTiku"));
    ASSERT_EQ(list->count(), 3);
    d.lstTiku_Click(1);
    prompts.queueColor(12345);
    d.lblColor_Click();
    EXPECT_EQ(colours.find(QStringLiteral("13102G"))->text, QStringLiteral("12345"));
    EXPECT_EQ(labelColor(d.findChild<QLabel*>(QStringLiteral("lblColor"))), 12345);

    // Red, green and blue are drawn in that order for each municipality.
    double draws[] = {0.0, 0.5, 0.999, 0.25, 0.25, 0.25, 0.1, 0.2, 0.3};
    int next = 0;
    platform::setRandomSource([&] { return draws[next++ % 9]; });
    d.cmdRandom_Click();
    EXPECT_EQ(colours.find(QStringLiteral("13101G"))->text, QString::number(state::rgbColor(0, 128, 255)));
    EXPECT_EQ(colours.find(QStringLiteral("13102G"))->text, QString::number(state::rgbColor(64, 64, 64)));
    EXPECT_EQ(labelColor(d.findChild<QLabel*>(QStringLiteral("lblColor"))), state::rgbColor(64, 64, 64));
}

// "配色": Set2 and Paired over the chosen prefectures in code order, and in City mode over the
// chosen municipalities in list order, so that neighbours in the list differ.
TEST_F(RegionColors, QualitativeSchemeColoursEveryRegionInTurn)
{
    const int set2[] = {state::rgbColor(0x66, 0xc2, 0xa5), state::rgbColor(0xfc, 0x8d, 0x62), state::rgbColor(0x8d, 0xa0, 0xcb)};
    frmKenColor d(colours);
    auto* list = d.findChild<QComboBox*>(QStringLiteral("cmbScheme"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->itemText(0), QStringLiteral("Set2（3色まで色覚配慮）"));
    d.cmdScheme_Click();
    const auto& s = state::mdlMain();
    EXPECT_EQ(s.PrefTable[13][2], QString::number(set2[0]));
    EXPECT_EQ(s.PrefTable[14][2], QString::number(set2[1]));
    EXPECT_EQ(labelColor(d.lblKen()[2]), set2[1]);
    EXPECT_EQ(colours.find(QStringLiteral("13101G"))->text, QString::number(set2[0]));
    EXPECT_EQ(colours.find(QStringLiteral("13102G"))->text, QString::number(set2[1]));
    EXPECT_EQ(colours.find(QStringLiteral("14100G"))->text, QString::number(set2[2]));

    list->setCurrentIndex(list->findData(QStringLiteral("Paired")));
    d.cmdScheme_Click();
    EXPECT_EQ(s.PrefTable[14][2], QString::number(state::rgbColor(0x1f, 0x78, 0xb4)));
    // Only qualitative schemes colour regions.
    EXPECT_FALSE(applyRegionScheme(QStringLiteral("Blues"), state::mdlMain(), colours));
    EXPECT_EQ(s.PrefTable[14][2], QString::number(state::rgbColor(0x1f, 0x78, 0xb4)));
}
