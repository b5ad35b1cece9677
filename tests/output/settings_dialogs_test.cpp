// The display settings dialog (frmProperty), the note dialog (frmLocation) and the right click
// on the map window's layer check boxes that opens the first.
#include "app/frm_main.h"
#include "state/mdl_main.h"
#include "platform/widgets_ui.h"
#include "mapview/frm_ken_color.h"
#include "mapview/name_labels.h"
#include "output/frm_location.h"
#include "output/frm_property.h"
#include "output/export_options.h"
#include "platform/prompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace miratos;
using output::frmLocation;
using output::frmProperty;

namespace {

constexpr int kRed = state::rgbColor(255, 0, 0);
constexpr int kBlue = state::rgbColor(0, 0, 255);

template <class W>
W* child(QWidget& parent, const QString& name)
{
    auto* w = parent.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
}

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

class SettingsDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        state::resetMdlMain();
        state::mdlMain().MapMode = QStringLiteral("Japan");
        state::mdlMain().LayerProperty = state::layerPropertyDefaults(QStringLiteral("Japan"));
    }
    // The dialog for a row, as a right click on the row's check box opens it.
    void open(int kind, int roadIndex = 0)
    {
        state::mdlMain().PropertyKind = static_cast<int16_t>(kind);
        state::mdlMain().PropertyRoadIndex = static_cast<int16_t>(roadIndex);
        dialog = std::make_unique<frmProperty>(layer, scale);
    }
    QComboBox* combo(const char* name) { return child<QComboBox>(*dialog, QString::fromLatin1(name)); }
    QWidget* widget(const char* name) { return child<QWidget>(*dialog, QString::fromLatin1(name)); }
    QString caption(const char* name)
    {
        auto* w = widget(name);
        if (auto* label = qobject_cast<QLabel*>(w))
            return label->text();
        return qobject_cast<QAbstractButton*>(w)->text();
    }
    int swatch(int i) { return mapview::labelColor(child<QLabel>(*dialog, platform::arrayName("lblColor", i))); }

    platform::ScopedScriptedPrompts prompts;
    mapview::LabelLayer layer;
    platform::Canvas scale{600, 600};
    std::unique_ptr<frmProperty> dialog;
};

} // namespace

TEST_F(SettingsDialogs, EachRowOpensWithItsControlsAndCaptions)
{
    struct Case {
        int kind;
        int roadIndex;
        const char* fontCaption; // nullptr: lblFont and cmbFont hidden
        const char* lbl1;
        const char* lbl2;        // nullptr: lbl2 and lblColor_2 hidden
        const char* back;        // nullptr: chkBack hidden
        bool ratioShown;
        int color1;
    };
    const Case cases[] = {
        {0, 0, "フォントサイズ", "色", nullptr, "背景白地", false, kRed},
        {5, 0, nullptr, "路線", "駅", nullptr, false, kBlue},
        {6, 1, nullptr, "道路", nullptr, nullptr, false, state::rgbColor(128, 128, 128)},
        {7, 0, "円の大きさ（緯度数）", "色", nullptr, "最小値 = 0", true, state::rgbColor(128, 255, 128)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        open(c.kind, c.roadIndex);
        EXPECT_EQ(dialog->windowTitle(), text("各設定"));
        EXPECT_EQ(!widget("lblFont")->isHidden(), c.fontCaption != nullptr);
        EXPECT_EQ(!widget("cmbFont")->isHidden(), c.fontCaption != nullptr);
        if (c.fontCaption) {
            EXPECT_EQ(caption("lblFont"), text(c.fontCaption));
        }
        EXPECT_EQ(caption("lbl1"), text(c.lbl1));
        EXPECT_EQ(swatch(1), c.color1);
        EXPECT_EQ(!widget("lbl2")->isHidden(), c.lbl2 != nullptr);
        EXPECT_EQ(!widget("lblColor_2")->isHidden(), c.lbl2 != nullptr);
        if (c.lbl2) {
            EXPECT_EQ(caption("lbl2"), text(c.lbl2));
            EXPECT_EQ(swatch(2), state::rgbColor(0, 255, 255));
        }
        EXPECT_EQ(!widget("chkBack")->isHidden(), c.back != nullptr);
        if (c.back) {
            EXPECT_EQ(caption("chkBack"), text(c.back));
        }
        EXPECT_EQ(!widget("lblRatio")->isHidden(), c.ratioShown);
        EXPECT_EQ(!widget("cmbRatio")->isHidden(), c.ratioShown);
        EXPECT_EQ(caption("cmdGo"), text("決定"));
    }
    open(0);
    EXPECT_EQ(combo("cmbFont")->currentText(), QStringLiteral("10"));
    EXPECT_EQ(combo("cmbFont")->count(), 7);
}

TEST_F(SettingsDialogs, MinimumZeroDisablesTheRatioYetItIsStillStored)
{
    open(7);
    auto* sizes = combo("cmbFont");
    auto* ratio = combo("cmbRatio");
    QStringList items;
    for (int i = 0; i < sizes->count(); ++i)
        items << sizes->itemText(i);
    EXPECT_EQ(items, output::circleSizes());
    EXPECT_EQ(items.first(), QStringLiteral("0.0003"));
    EXPECT_EQ(items.last(), QStringLiteral("0.5"));
    EXPECT_EQ(sizes->currentText(), QStringLiteral("0.0003"));
    EXPECT_EQ(ratio->currentText(), QStringLiteral("2"));
    EXPECT_TRUE(ratio->isEnabled());

    sizes->setCurrentText(QStringLiteral("0.01"));
    ratio->setCurrentText(QStringLiteral("3"));
    QTest::mouseClick(child<QCheckBox>(*dialog, QStringLiteral("chkBack")), Qt::LeftButton);
    EXPECT_FALSE(ratio->isEnabled());
    EXPECT_FALSE(widget("lblRatio")->isEnabled());
    dialog->cmdGo_Click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(state::mdlMain().LayerProperty[7][0].toString(), QStringLiteral("0.01 3"));
    EXPECT_EQ(state::mdlMain().LayerProperty[7][2].toInt(), 1);

    // Opened again with "最小値 = 0" set, the ratio starts disabled.
    open(7);
    EXPECT_FALSE(combo("cmbRatio")->isEnabled());
    EXPECT_EQ(combo("cmbRatio")->currentText(), QStringLiteral("3"));
}

TEST_F(SettingsDialogs, SwatchTakesThePickedColourAndKeepsItsOwnWhenCancelled)
{
    open(0);
    auto* swatch1 = child<QLabel>(*dialog, QStringLiteral("lblColor_1"));
    QTest::mouseClick(swatch1, Qt::LeftButton); // nothing queued: the picker is cancelled
    ASSERT_EQ(prompts.records().size(), 1u);
    EXPECT_EQ(prompts.last().kind, platform::ScriptedPrompts::Kind::Color);
    EXPECT_EQ(swatch(1), kRed);

    prompts.queueColor(kBlue);
    QTest::mouseClick(swatch1, Qt::LeftButton);
    EXPECT_EQ(swatch(1), kBlue);
}

TEST_F(SettingsDialogs, CloseBoxDiscardsTheEdits)
{
    const auto before = state::mdlMain().LayerProperty;
    layer.lblPref().restyle(mapview::labelStyleOf(state::mdlMain(), mapview::LabelKind::Pref));
    layer.add(mapview::LabelKind::Pref, QStringLiteral("東京都"), 139.5, 35.5);
    const QSize size = layer.lblPref().at(1).pixelSize;
    open(0);
    combo("cmbFont")->setCurrentText(QStringLiteral("18"));
    child<QCheckBox>(*dialog, QStringLiteral("chkBack"))->setChecked(true);
    prompts.queueColor(kBlue);
    dialog->lblColor_Click(1);
    dialog->close();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(state::mdlMain().LayerProperty, before);
    EXPECT_EQ(layer.lblPref().at(1).pixelSize, size);
    EXPECT_FALSE(layer.lblPref().at(1).opaque);
}

TEST_F(SettingsDialogs, NotePositionsAreLockedToBottomRightWithoutStatistics)
{
    struct Case {
        bool statDrawn;
        int checked;
        bool enabled;
    };
    for (const Case& c : {Case{false, 4, false}, Case{true, 1, true}}) {
        SCOPED_TRACE(c.statDrawn);
        state::mdlMain().StatDrawn = c.statDrawn;
        state::mdlMain().NoteLocation = 1;
        state::mdlMain().NoteFontSize = 12;
        state::mdlMain().NoteMaker = text("© ミラトス");
        frmLocation d;
        EXPECT_EQ(d.windowTitle(), text("パラメータ出力様式"));
        EXPECT_EQ(child<QComboBox>(d, QStringLiteral("cmbFont"))->currentText(), QStringLiteral("12"));
        EXPECT_EQ(child<QLineEdit>(d, QStringLiteral("txtMaker"))->text(), text("© ミラトス"));
        const char* captions[] = {"右枠", "左上", "左下", "右上", "右下"};
        for (int i = 0; i < 5; ++i) {
            auto* option = child<QRadioButton>(d, platform::arrayName("optLocation", i));
            EXPECT_EQ(option->text(), text(captions[i]));
            EXPECT_EQ(option->isChecked(), i == c.checked) << i;
            EXPECT_EQ(option->isEnabled(), c.enabled) << i;
        }
    }
}

TEST_F(SettingsDialogs, NoteDialogConfirmsOrLeavesTheExportCancelled)
{
    state::MdlMain& s = state::mdlMain();
    s.StatDrawn = true;
    s.NoteFontSize = 10;
    s.NoteLocation = 0;
    s.NoteCancelled = true;
    {
        frmLocation d;
        child<QComboBox>(d, QStringLiteral("cmbFont"))->setCurrentText(QStringLiteral("16"));
        child<QRadioButton>(d, QStringLiteral("optLocation_2"))->setChecked(true);
        child<QLineEdit>(d, QStringLiteral("txtMaker"))->setText(text("国土地理院"));
        d.close(); // the close box
    }
    EXPECT_TRUE(s.NoteCancelled);
    EXPECT_EQ(s.NoteFontSize, 10);
    EXPECT_EQ(s.NoteLocation, 0);
    EXPECT_TRUE(s.NoteMaker.isEmpty());

    frmLocation d;
    child<QComboBox>(d, QStringLiteral("cmbFont"))->setCurrentText(QStringLiteral("16"));
    child<QRadioButton>(d, QStringLiteral("optLocation_2"))->setChecked(true);
    child<QLineEdit>(d, QStringLiteral("txtMaker"))->setText(text("国土地理院"));
    QTest::mouseClick(child<QPushButton>(d, QStringLiteral("cmdGo")), Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_FALSE(s.NoteCancelled);
    EXPECT_EQ(s.NoteFontSize, 16);
    EXPECT_EQ(s.NoteLocation, 2);
    EXPECT_EQ(s.NoteMaker, text("国土地理院"));
}

// The size, credit and north arrow below the note settings: kept for the next export; a proposed
// credit left untouched stays automatic, an edited one is the user's; a pixel size that cannot be
// made is said and the dialog stays.
TEST_F(SettingsDialogs, NoteDialogKeepsTheSizeCreditAndNorthArrow)
{
    output::windowExportOptions() = {};
    const QStringList proposed = {text("「国土数値情報（行政区域データ）」（国土交通省）を加工して作成")};
    platform::ScopedScriptedPrompts prompts;
    {
        frmLocation d(nullptr, proposed);
        EXPECT_TRUE(child<QRadioButton>(d, QStringLiteral("optSize_0"))->isChecked()); // the specified picture first
        EXPECT_EQ(child<QPlainTextEdit>(d, QStringLiteral("txtCredit"))->toPlainText(), proposed.join(QLatin1Char('\n')));
        child<QRadioButton>(d, QStringLiteral("optSize_1"))->setChecked(true);
        child<QComboBox>(d, QStringLiteral("cmbPaper"))->setCurrentIndex(1); // A4 縦
        child<QComboBox>(d, QStringLiteral("cmbDpi"))->setCurrentIndex(1);   // 300 dpi
        child<QCheckBox>(d, QStringLiteral("chkNorth"))->setChecked(true);
        d.cmdGo_Click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
    }
    output::ExportOptions& e = output::windowExportOptions();
    EXPECT_EQ(e.size, output::ExportSize::Paper);
    EXPECT_EQ(output::targetPixels(e), QSize(2480, 3508));
    EXPECT_TRUE(e.northArrow);
    EXPECT_TRUE(e.creditText.isEmpty());

    {
        frmLocation d(nullptr, proposed);
        EXPECT_TRUE(child<QRadioButton>(d, QStringLiteral("optSize_1"))->isChecked());
        child<QPlainTextEdit>(d, QStringLiteral("txtCredit"))->setPlainText(text("自作の境界データ"));
        child<QRadioButton>(d, QStringLiteral("optSize_2"))->setChecked(true);
        child<QLineEdit>(d, QStringLiteral("txtPixels"))->setText(QStringLiteral("20000x100"));
        state::mdlMain().NoteCancelled = true;
        d.cmdGo_Click();
        ASSERT_FALSE(prompts.records().empty());
        EXPECT_TRUE(prompts.last().text.contains(text("ピクセル数"))) << prompts.last().text.toStdString();
        EXPECT_TRUE(state::mdlMain().NoteCancelled);
        EXPECT_EQ(e.size, output::ExportSize::Paper) << "nothing is kept from a refused confirmation";
        child<QLineEdit>(d, QStringLiteral("txtPixels"))->setText(QStringLiteral("1200x900"));
        d.cmdGo_Click();
        EXPECT_FALSE(state::mdlMain().NoteCancelled);
    }
    EXPECT_EQ(output::targetPixels(e), QSize(1200, 900));
    EXPECT_EQ(e.creditText, text("自作の境界データ"));
    output::windowExportOptions() = {};
}

namespace {

class LayerRightClick : public SettingsDialogs {
protected:
    void SetUp() override
    {
        SettingsDialogs::SetUp();
        app::frmMain::setAutoLoad(false);
    }
    void TearDown() override { app::frmMain::setAutoLoad(true); }

    // Right-clicks a check box of the window and lets act handle the dialog it opens.
    void rightClick(app::frmMain& w, const QString& box, std::function<void(frmProperty&)> act)
    {
        bool opened = false;
        QObject guard; // a dialog that never opens must not leave the timer behind
        QTimer::singleShot(0, &guard, [&] {
            auto* d = qobject_cast<frmProperty*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            opened = true;
            act(*d);
            if (d->isVisible())
                d->close();
        });
        QTest::mouseClick(child<QCheckBox>(w, box), Qt::RightButton);
        EXPECT_TRUE(opened) << box.toStdString();
        EXPECT_FALSE(child<QCheckBox>(w, box)->isChecked()) << box.toStdString();
    }
};

} // namespace

TEST_F(LayerRightClick, NamesTurnTwelvePointRedOnWhiteAtOnce)
{
    app::frmMain w;
    w.applyLabelStyles();
    auto& names = w.labels().lblPref();
    for (const char* caption : {"東京都", "神奈川県"})
        w.labels().add(mapview::LabelKind::Pref, text(caption), 139.5, 35.5);
    w.show();
    // The Japan default is already red; blue shows that the picked colour is taken.
    prompts.queueColor(kBlue);
    rightClick(w, QStringLiteral("chkCity"), [](frmProperty& d) {
        EXPECT_EQ(state::mdlMain().PropertyKind, 0);
        d.findChild<QComboBox*>(QStringLiteral("cmbFont"))->setCurrentText(QStringLiteral("12"));
        d.lblColor_Click(1);
        d.findChild<QCheckBox*>(QStringLiteral("chkBack"))->setChecked(true);
        d.findChild<QPushButton*>(QStringLiteral("cmdGo"))->click();
    });
    EXPECT_EQ(names.style().font.pointSize(), 12);
    EXPECT_EQ(names.style().color, kBlue);
    for (int i = 1; i < names.count(); ++i) {
        EXPECT_TRUE(names.at(i).opaque) << i;
        EXPECT_EQ(names.at(i).pixelSize, names.measure(names.at(i).caption)) << i;
    }
    const auto& row = state::mdlMain().LayerProperty[0];
    EXPECT_EQ(row[0].toInt(), 12);
    EXPECT_EQ(row[1].toInt(), kBlue);
    EXPECT_EQ(row[2].toInt(), 1);
}

TEST_F(LayerRightClick, NationalRoadEditsOnlyItsOwnColour)
{
    app::frmMain w;
    w.show();
    const auto before = state::mdlMain().LayerProperty;
    prompts.queueColor(kBlue);
    rightClick(w, QStringLiteral("chkRoad_1"), [](frmProperty& d) {
        EXPECT_EQ(state::mdlMain().PropertyKind, 6);
        EXPECT_EQ(state::mdlMain().PropertyRoadIndex, 1);
        d.lblColor_Click(1);
        d.cmdGo_Click();
    });
    auto expected = before;
    expected[6][1] = kBlue;
    EXPECT_EQ(state::mdlMain().LayerProperty, expected);

    // Every other layer box opens its own row.
    const std::pair<const char*, int> boxes[] = {{"chkTown", 1}, {"chkEki", 2}, {"chkBuild", 3}, {"chkBuildName", 4},
                                                 {"chkTrain", 5}, {"chkRoad_2", 6}, {"chkBuildRank", 7}};
    for (const auto& [box, kind] : boxes) {
        rightClick(w, QString::fromLatin1(box), [kind = kind](frmProperty&) { EXPECT_EQ(state::mdlMain().PropertyKind, kind); });
    }
    EXPECT_EQ(state::mdlMain().PropertyRoadIndex, 2);
    EXPECT_EQ(state::mdlMain().LayerProperty, expected); // closed with the close box each time
}
