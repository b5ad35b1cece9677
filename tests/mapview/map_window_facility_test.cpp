// The facility layer in the map window: Build.dat read with the map (a bad line said once), the
// class tree and its check rule, "施設指標" in both marker styles, "施設名", "施設取込" with its
// message, "施設ランク" sized from row 7 of the display settings, and the export of it all.
#include "app/frm_main.h"
#include "cli/import_command.h"
#include "map_window_fixture.h"
#include "modal.h"
#include "output/frm_property.h"
#include "output/image_export.h"
#include "output/layer_settings.h"
#include "platform/prompts.h"
#include "platform/text_file.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextStream>
#include <QSet>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

using namespace miratos;
using mapview::LabelKind;

namespace {

class MapWindowFacility : public TokyoSquareWindow {
protected:
    void SetUp() override
    {
        TokyoSquareWindow::SetUp();
        state::mdlMain().UseBuild = true;
    }
    void writeText(const QString& path, const QStringList& lines)
    {
        ASSERT_TRUE(platform::writeTextLines(path, lines).ok());
    }
    void writeBuildDat()
    {
        writeText(folder(QStringLiteral("東京都")) + QStringLiteral("Build.dat"),
                  {QStringLiteral("35.2 139.2|13101|学校|小学校|麹町小学校|麹町2-8|市区町村"),
                   QStringLiteral("35.4 139.4|13101|学校|中学校|麹町中学校|麹町3-1|市区町村"),
                   QStringLiteral("35.6 139.6|13101|病院|一般病院|東京病院"),
                   QStringLiteral("35.8 139.8|13101|警察機関|交番|丸の内交番|丸の内1-1|都道府県")});
    }
    static QCheckBox* box(app::frmMain& w, const char* name) { return w.findChild<QCheckBox*>(QString::fromLatin1(name)); }
    static QStringList shown(const app::frmMain& w, LabelKind kind)
    {
        QStringList out;
        const auto& a = w.labels().array(kind);
        for (int i = 1; i < a.count(); ++i) {
            if (a.at(i).visible)
                out << a.at(i).caption;
        }
        return out;
    }
    static QTreeWidgetItem* item(app::frmMain& w, const QString& text)
    {
        const auto found = w.findChild<QTreeWidget*>(QStringLiteral("tvwBuild"))->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.front();
    }
    platform::ScopedScriptedPrompts prompts;
};

} // namespace

TEST_F(MapWindowFacility, MarkersNamesTreeAndSymbols)
{
    writeBuildDat();
    writeText(dir.filePath(QStringLiteral("MapData/公共施設.ini")), {QStringLiteral("[BuildString]"), QStringLiteral("学校=学")});
    app::frmMain window;
    window.show();
    window.初期化();
    // The line without address and administrator is left out and named once.
    ASSERT_EQ(prompts.records().size(), 1u);
    EXPECT_TRUE(prompts.last().text.contains(QStringLiteral("Build.dat"))) << prompts.last().text.toStdString();
    EXPECT_TRUE(prompts.last().text.contains(QStringLiteral("3 行目"))) << prompts.last().text.toStdString();
    auto* tree = window.findChild<QTreeWidget*>(QStringLiteral("tvwBuild"));
    EXPECT_TRUE(tree->isVisible());
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("学校"));
    EXPECT_EQ(tree->topLevelItem(0)->childCount(), 2);
    EXPECT_EQ(tree->topLevelItem(1)->child(0)->text(0), QStringLiteral("交番"));

    box(window, "chkBuild")->click();
    EXPECT_EQ(shown(window, LabelKind::BuildP), (QStringList{QStringLiteral("・"), QStringLiteral("・"), QStringLiteral("・")}));
    EXPECT_TRUE(shown(window, LabelKind::Build).isEmpty());
    box(window, "chkBuildName")->click();
    EXPECT_EQ(shown(window, LabelKind::Build),
              (QStringList{QStringLiteral("麹町小学校"), QStringLiteral("麹町中学校"), QStringLiteral("丸の内交番")}));
    const QPoint nameAt = window.canvas().toPixel(window.labels().array(LabelKind::Build).at(1).left + 0.001,
                                                  window.labels().array(LabelKind::Build).at(1).top - 0.001);
    EXPECT_EQ(window.labels().tooltipAt(nameAt, window.canvas()), QStringLiteral("麹町2-8"));

    // "図": the markers go until "施設指標" is ticked again; 交番 has no symbol.
    window.findChild<QRadioButton*>(QStringLiteral("optMato_1"))->click();
    EXPECT_FALSE(box(window, "chkBuild")->isChecked());
    EXPECT_TRUE(shown(window, LabelKind::BuildP).isEmpty());
    box(window, "chkBuild")->click();
    EXPECT_EQ(shown(window, LabelKind::BuildP), (QStringList{QStringLiteral("学"), QStringLiteral("学"), QStringLiteral("・")}));

    // Unticking 学校 unticks its minor classes and removes the markers until 施設指標 is ticked.
    item(window, QStringLiteral("学校"))->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(item(window, QStringLiteral("小学校"))->checkState(0), Qt::Unchecked);
    EXPECT_EQ(item(window, QStringLiteral("中学校"))->checkState(0), Qt::Unchecked);
    EXPECT_FALSE(box(window, "chkBuild")->isChecked());
    EXPECT_TRUE(shown(window, LabelKind::BuildP).isEmpty());
    box(window, "chkBuild")->click();
    EXPECT_EQ(shown(window, LabelKind::Build), QStringList{QStringLiteral("丸の内交番")});
    item(window, QStringLiteral("中学校"))->setCheckState(0, Qt::Checked);
    box(window, "chkBuild")->click();
    EXPECT_EQ(shown(window, LabelKind::Build), (QStringList{QStringLiteral("麹町中学校"), QStringLiteral("丸の内交番")}));

    // A redraw (and a zoom) builds them again.
    window.findChild<QPushButton*>(QStringLiteral("cmdReDraw"))->click();
    EXPECT_EQ(shown(window, LabelKind::Build), (QStringList{QStringLiteral("麹町中学校"), QStringLiteral("丸の内交番")}));
    EXPECT_EQ(prompts.records().size(), 1u) << "no 準備中 any more";
}

TEST_F(MapWindowFacility, ClassTreeShowsTwelveRowsAndSelectsOrClearsEveryClass)
{
    writeBuildDat();
    app::frmMain window;
    window.show();
    window.初期化();
    auto* tree = window.findChild<QTreeWidget*>(QStringLiteral("tvwBuild"));
    ASSERT_TRUE(tree->isVisible());
    const int row = tree->visualItemRect(tree->topLevelItem(0)).height();
    ASSERT_GT(row, 0);
    EXPECT_GE(tree->viewport()->height(), 12 * row);
    EXPECT_EQ(window.findChild<QWidget*>(QStringLiteral("picMain"))->size(), QSize(600, 600)) << "the map still opens at its size";
    auto* none = window.findChild<QPushButton*>(QStringLiteral("cmdBuildNone"));
    auto* all = window.findChild<QPushButton*>(QStringLiteral("cmdBuildAll"));
    ASSERT_TRUE(none && all && none->isVisible() && all->isVisible());
    EXPECT_EQ(none->text(), QStringLiteral("すべて解除"));
    EXPECT_EQ(all->text(), QStringLiteral("すべて選択"));

    auto states = [&] {
        QSet<Qt::CheckState> seen;
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            seen << (*it)->checkState(0);
        return seen;
    };
    box(window, "chkBuild")->click();
    none->click();
    EXPECT_EQ(states(), QSet<Qt::CheckState>{Qt::Unchecked});
    EXPECT_FALSE(box(window, "chkBuild")->isChecked());
    box(window, "chkBuild")->click();
    EXPECT_TRUE(shown(window, LabelKind::BuildP).isEmpty());
    all->click();
    EXPECT_EQ(states(), QSet<Qt::CheckState>{Qt::Checked});
    box(window, "chkBuild")->click();
    EXPECT_EQ(shown(window, LabelKind::BuildP).size(), 3);
    if (const QString shots = QString::fromLocal8Bit(qgetenv("MIRATOS_SCREENSHOT_DIR")); !shots.isEmpty())
        window.grab().save(shots + QStringLiteral("/facility_tree_window.png"));
}

TEST_F(MapWindowFacility, ImportRanksAndExport)
{
    app::frmMain window;
    window.show();
    window.初期化();
    const QString header = dir.filePath(QStringLiteral("header.csv"));
    writeText(header, {QStringLiteral("大分類,小分類,名称,来客数,備考,,経度,緯度")});
    prompts.queueText(header);
    window.findChild<QPushButton*>(QStringLiteral("cmdBuildCSV"))->click();
    EXPECT_EQ(prompts.last().title, QStringLiteral("施設データ"));
    EXPECT_EQ(prompts.last().text, QStringLiteral("施設データを、0件取込ました。"));

    const QString csv = dir.filePath(QStringLiteral("in.csv"));
    writeText(csv, {QStringLiteral("大分類,小分類,名称,利用者数,備考,,経度,緯度"), QStringLiteral("学校,大学,東大,20,本郷7-3-1,,139.3,35.3"),
                    QStringLiteral("学校,大学,一橋,10,国立,,139.7,35.7"), QStringLiteral("病院,一般,Ｈ,-,なし,,139.5,35.5")});
    prompts.queueText(csv);
    window.findChild<QPushButton*>(QStringLiteral("cmdBuildCSV"))->click();
    EXPECT_EQ(prompts.last().text, QStringLiteral("施設データを、3件取込ました。"));
    EXPECT_EQ(prompts.records()[0].kind, platform::ScriptedPrompts::Kind::OpenFile);
    EXPECT_EQ(prompts.records()[0].title, QStringLiteral("データ取り込み"));
    EXPECT_EQ(window.facilities().BuildCount(), 3);

    box(window, "chkBuildRank")->click();
    EXPECT_EQ(window.labels().circles().size(), 2u) << "a value that is no number gets no circle";

    // Row 7: 0.1 degrees, "最小値 = 0": diameters 0.1 for 20 and 0.05 for 10.
    whenShown<output::frmProperty>([](output::frmProperty& d) {
        d.findChild<QComboBox*>(QStringLiteral("cmbFont"))->setCurrentText(QStringLiteral("0.1"));
        d.findChild<QCheckBox*>(QStringLiteral("chkBack"))->setChecked(true);
        d.cmdGo_Click();
    });
    window.openLayerProperty(output::kRowRankCircles);
    ASSERT_EQ(window.labels().circles().size(), 2u);
    EXPECT_NEAR(window.labels().circles()[0].width, 0.1, 1e-12);
    EXPECT_NEAR(window.labels().circles()[1].width, 0.05, 1e-12);

    box(window, "chkBuild")->click();
    box(window, "chkBuildName")->click();
    state::mdlMain().NoteLocation = 4;
    state::mdlMain().NoteFontSize = 10;
    const output::ExportScene scene = window.exportScene();
    EXPECT_EQ(scene.buildRankTitle, QStringLiteral("利用者数"));
    EXPECT_TRUE(scene.buildRank);
    const QImage picture = output::renderExport(scene, state::mdlMain());
    const int circle = state::colorValueOf(state::mdlMain().LayerProperty[7][1]);
    const QPoint centre = window.canvas().toPixel(139.3, 35.3);
    EXPECT_EQ(platform::toQColor(circle).rgb(), picture.pixel(centre + QPoint(12, 12)) | 0xff000000u);
    // The name "東大" is painted beside its marker.
    const auto& names = window.labels().array(LabelKind::Build);
    const QRect nameRect = mapview::labelPixelRect(names.at(1), window.canvas());
    int dark = 0;
    for (int x = nameRect.left(); x <= nameRect.right(); ++x) {
        for (int y = nameRect.top(); y <= nameRect.bottom(); ++y)
            dark += qGray(picture.pixel(x, y)) < 100;
    }
    EXPECT_GT(dark, 10);
}

// Today's facility data of 東京都 and 香川県 imported with their boundaries and drawn with every
// facility layer on. With MIRATOS_SCREENSHOT_DIR set, the window and the export are saved there.
TEST_F(MapWindowFacility, TodaysFacilitiesOfTokyoAndKagawa)
{
    const QString shared = QStringLiteral(MIRATOS_SHARED_DATA);
    const QStringList files = {shared + QStringLiteral("/facilities-p02-2006/P02-06_13-g_PublicFacility.geojson"),
                               shared + QStringLiteral("/facilities-p02-2006/P02-06_37-g_PublicFacility.geojson"),
                               shared + QStringLiteral("/n03-2021/topojson/N03-21_13_210101.json"),
                               shared + QStringLiteral("/n03-2021/topojson/N03-21_37_210101.json")};
    for (const QString& f : files) {
        if (!QFile::exists(f))
            GTEST_SKIP() << "shared data absent: " << f.toStdString();
    }
    QFile::remove(dir.filePath(QStringLiteral("Init.ini")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(MIRATOS_SOURCE_DIR "/data/Init.ini"), dir.filePath(QStringLiteral("Init.ini"))));
    ASSERT_TRUE(QFile::copy(QStringLiteral(MIRATOS_SOURCE_DIR "/data/MapData/公共施設.ini"), dir.filePath(QStringLiteral("MapData/公共施設.ini"))));
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    ASSERT_EQ(cli::runImportCommand(files, out, err), 0) << errText.toStdString();
    select(37, QStringLiteral("香川県"));
    state::mdlMain().UseSpecialCoordinate = true;

    const QString shots = QString::fromLocal8Bit(qgetenv("MIRATOS_SCREENSHOT_DIR"));
    app::frmMain window;
    window.resize(1100, 760);
    window.show();
    auto shot = [&](const char* name) {
        if (!shots.isEmpty())
            window.grab().save(shots + QLatin1Char('/') + QString::fromLatin1(name) + QStringLiteral(".png"));
    };
    window.初期化();
    EXPECT_TRUE(prompts.records().empty());
    EXPECT_EQ(window.facilities().BuildCount(), 14414 + 1929);
    auto* tree = window.findChild<QTreeWidget*>(QStringLiteral("tvwBuild"));
    EXPECT_EQ(tree->topLevelItemCount(), 11);
    for (int t = 0; t < tree->topLevelItemCount(); ++t)
        EXPECT_NE(tree->topLevelItem(t)->text(0), QStringLiteral("ERROR"));

    // Kagawa's capital up close: schools as symbols with their names.
    auto type = [&window](const char* name, const char* value) {
        window.findChild<QLineEdit*>(QString::fromLatin1(name))->setText(QString::fromLatin1(value));
    };
    type("txtX1", "134.02");
    type("txtY1", "34.36");
    type("txtX2", "134.08");
    type("txtY2", "34.31");
    window.findChild<QPushButton*>(QStringLiteral("cmdZoom"))->click();
    window.findChild<QRadioButton*>(QStringLiteral("optMato_1"))->click();
    box(window, "chkBuild")->click();
    box(window, "chkBuildName")->click();
    EXPECT_GT(shown(window, LabelKind::BuildP).count(QStringLiteral("学")), 1000);
    shot("facility_kagawa_symbols");

    const QString csv = dir.filePath(QStringLiteral("visitors.csv"));
    writeText(csv, {QStringLiteral("大分類,小分類,施設名,来館者数,備考,,経度,緯度"),
                    QStringLiteral("建物,美術館,讃岐みらい会館,52000,中央町2-4-1,,134.041375,34.338215"),
                    QStringLiteral("建物,美術館,高松市美術館,120000,紺屋町10-4,,134.055715,34.352245"),
                    QStringLiteral("建物,図書館,高松市中央図書館,300000,昭和町1-2-20,,134.0440,34.3265")});
    prompts.queueText(csv);
    window.findChild<QPushButton*>(QStringLiteral("cmdBuildCSV"))->click();
    EXPECT_EQ(prompts.last().text, QStringLiteral("施設データを、3件取込ました。"));
    whenShown<output::frmProperty>([](output::frmProperty& d) {
        d.findChild<QComboBox*>(QStringLiteral("cmbFont"))->setCurrentText(QStringLiteral("0.003"));
        d.findChild<QComboBox*>(QStringLiteral("cmbRatio"))->setCurrentText(QStringLiteral("3"));
        d.cmdGo_Click();
    });
    window.openLayerProperty(output::kRowRankCircles);
    box(window, "chkBuildRank")->click();
    EXPECT_EQ(window.labels().circles().size(), 3u);
    shot("facility_kagawa_ranks");

    const QString exported = (shots.isEmpty() ? dir.path() : shots) + QStringLiteral("/facility_export.bmp");
    state::mdlMain().NoteLocation = 4;
    state::mdlMain().NoteFontSize = 10;
    ASSERT_TRUE(output::saveExport(exported, window.exportScene(), state::mdlMain()).ok());
    EXPECT_TRUE(QFile::exists(exported));
}
