// The railway layer in the map window: the files read once, "鉄道" drawn by the redraw, "駅名" with
// merged platforms, the display settings of rows 5 and 2 applied at once.
#include "app/frm_main.h"
#include "cli/import_command.h"
#include "map_window_fixture.h"
#include "modal.h"
#include "output/frm_property.h"
#include "output/image_export.h"
#include "output/layer_settings.h"
#include "platform/prompts.h"
#include "store/railway_files.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTextStream>
#include <QPushButton>

using namespace miratos;

namespace {

class MapWindowRailway : public TokyoSquareWindow {
protected:
    void SetUp() override
    {
        TokyoSquareWindow::SetUp();
        state::mdlMain().UseTrain = true;
    }
    void writeRailways(bool withStations = true)
    {
        store::RailwayTables t;
        t.railCurves = {{"cv_rr1", "35.5 139.1 35.5 139.9"}};
        t.sections = {{"e1", "cv_rr1", "11", "2", "中央線", ""}};
        if (withStations) {
            t.stationCurves = {{"cv_st1", "35.3 139.3 35.3 139.302"}, {"cv_st2", "35.301 139.301 35.301 139.303"}};
            t.stations = {{"s1", "cv_st1", "新宿"}, {"s2", "cv_st2", "新宿"}};
        }
        const QString f = store::railwayFolder(dir.filePath(QStringLiteral("MapData")));
        QDir().mkpath(f);
        ASSERT_TRUE(store::writeRailwayFiles(f, *store::encodeRailwayFiles(t)).ok());
        if (!withStations)
            QFile::remove(QDir(f).filePath(QStringLiteral("Eki.dat")));
    }
    static QCheckBox* box(app::frmMain& w, const char* name) { return w.findChild<QCheckBox*>(QString::fromLatin1(name)); }
    static int visibleStations(const app::frmMain& w)
    {
        const auto& a = w.labels().array(mapview::LabelKind::Eki);
        int n = 0;
        for (int i = 1; i < a.count(); ++i)
            n += a.at(i).visible;
        return n;
    }
    platform::ScopedScriptedPrompts prompts;
};

// Pixel of a point on the 600 × 600 canvas of the initial view.
QPoint at(const app::frmMain& w, double lon, double lat)
{
    return w.canvas().toPixel(lon, lat);
}

} // namespace

TEST_F(MapWindowRailway, RailwaysAndStationNamesFollowTheirCheckBoxes)
{
    writeRailways();
    app::frmMain window;
    window.鉄道データ読込();
    window.初期化();
    EXPECT_TRUE(prompts.records().empty());
    const QPoint onLine = at(window, 139.5, 35.5);
    EXPECT_NE(window.canvas().pixel(onLine), 16711680);

    box(window, "chkEki")->click(); // before the first railway draw there is no station table yet
    EXPECT_EQ(visibleStations(window), 0);
    box(window, "chkTrain")->click();
    window.findChild<QPushButton*>(QStringLiteral("cmdReDraw"))->click();
    EXPECT_TRUE(prompts.records().empty()) << "no 準備中 any more";
    EXPECT_EQ(window.canvas().pixel(onLine), 16711680);
    EXPECT_EQ(visibleStations(window), 1) << "the two platforms of 新宿 share one label";

    box(window, "chkEki")->click();
    EXPECT_EQ(visibleStations(window), 0);
    box(window, "chkEki")->click();
    EXPECT_EQ(visibleStations(window), 1);
    EXPECT_EQ(window.labels().array(mapview::LabelKind::Eki).count(), 2) << "from the stored positions: one per entry";

    box(window, "chkTrain")->click();
    window.findChild<QPushButton*>(QStringLiteral("cmdReDraw"))->click();
    EXPECT_NE(window.canvas().pixel(onLine), 16711680);
    EXPECT_EQ(visibleStations(window), 1) << "station names stay with 駅名 alone";
}

TEST_F(MapWindowRailway, ColoursOfRowFiveRedrawTheRailwaysAndRowTwoRestylesTheNames)
{
    writeRailways();
    app::frmMain window;
    window.鉄道データ読込();
    window.初期化();
    box(window, "chkTrain")->click();
    box(window, "chkEki")->click();
    window.findChild<QPushButton*>(QStringLiteral("cmdReDraw"))->click();

    prompts.queueColor(255); // red lines
    whenShown<output::frmProperty>([](output::frmProperty& d) {
        d.lblColor_Click(1);
        d.cmdGo_Click();
    });
    window.openLayerProperty(output::kRowRailway);
    EXPECT_EQ(window.canvas().pixel(at(window, 139.5, 35.5)), 255);

    prompts.queueColor(255);
    whenShown<output::frmProperty>([](output::frmProperty& d) {
        d.findChild<QComboBox*>(QStringLiteral("cmbFont"))->setCurrentText(QStringLiteral("12"));
        d.lblColor_Click(1);
        d.cmdGo_Click();
    });
    window.openLayerProperty(output::kRowStations);
    const auto& eki = window.labels().array(mapview::LabelKind::Eki);
    EXPECT_EQ(eki.style().color, 255);
    EXPECT_EQ(eki.style().font.pointSize(), 12);
}

TEST_F(MapWindowRailway, AMissingFileNextToLineRrIsSaidOnceAndTheLinesStillDraw)
{
    writeRailways(false);
    app::frmMain window;
    window.鉄道データ読込();
    ASSERT_EQ(prompts.records().size(), 1u);
    EXPECT_EQ(prompts.last().title, QStringLiteral("要確認"));
    EXPECT_TRUE(prompts.last().text.contains(QStringLiteral("Eki.dat")));
    window.初期化();
    box(window, "chkTrain")->click();
    window.findChild<QPushButton*>(QStringLiteral("cmdReDraw"))->click();
    EXPECT_EQ(window.canvas().pixel(at(window, 139.5, 35.5)), 16711680);
}

// Today's railway data of Japan imported, 東京都 and 神奈川県 drawn with "鉄道" and "駅名": the
// platforms of 新宿 share labels, a zoom into central Tokyo keeps them, red 12 pt station names
// apply to every label, and the image export writes them. With MIRATOS_SCREENSHOT_DIR set, the
// window is saved at each step and the export goes there too.
TEST_F(MapWindowRailway, TodaysRailwayDataOfTokyoAndKanagawa)
{
    const QString shared = QStringLiteral(MIRATOS_SHARED_DATA);
    const QStringList files = {shared + QStringLiteral("/railway/N05-16_railroad.topojson.json"),
                               shared + QStringLiteral("/railway/N02-23_Station.shiftjis.geojson"),
                               shared + QStringLiteral("/n03-2021/topojson/N03-21_13_210101.json"),
                               shared + QStringLiteral("/n03-2021/topojson/N03-21_14_210101.json")};
    for (const QString& f : files) {
        if (!QFile::exists(f))
            GTEST_SKIP() << "shared data absent: " << f.toStdString();
    }
    QFile::remove(dir.filePath(QStringLiteral("Init.ini")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(MIRATOS_SOURCE_DIR "/data/Init.ini"), dir.filePath(QStringLiteral("Init.ini"))));
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    ASSERT_EQ(cli::runImportCommand(files, out, err), 0) << errText.toStdString();
    select(14, QStringLiteral("神奈川県"));
    state::mdlMain().UseSpecialCoordinate = true; // as the prefecture dialog sets it: mainland Tokyo

    const QString shots = QString::fromLocal8Bit(qgetenv("MIRATOS_SCREENSHOT_DIR"));
    app::frmMain window;
    window.resize(1100, 760);
    window.show();
    auto shot = [&](const char* name) {
        if (!shots.isEmpty())
            window.grab().save(shots + QLatin1Char('/') + QString::fromLatin1(name) + QStringLiteral(".png"));
    };
    window.鉄道データ読込();
    window.初期化();
    box(window, "chkTrain")->click();
    box(window, "chkEki")->click();
    window.findChild<QPushButton*>(QStringLiteral("cmdReDraw"))->click();
    EXPECT_TRUE(prompts.records().empty());
    shot("railway_pref");

    const auto& eki = window.labels().array(mapview::LabelKind::Eki);
    int shinjukuCurves = 0, shinjukuLabels = 0;
    for (const auto& row : window.railway().lvwLine_st)
        shinjukuCurves += row.subItem(1) == QStringLiteral("新宿");
    for (int i = 1; i < eki.count(); ++i)
        shinjukuLabels += eki.at(i).visible && eki.at(i).caption == QStringLiteral("新宿");
    EXPECT_GE(shinjukuCurves, 5);
    EXPECT_GE(shinjukuLabels, 1);
    EXPECT_LT(shinjukuLabels, shinjukuCurves) << "platforms close together share a label";
    EXPECT_GT(window.railway().lvwLine_rr.count(), 100);

    // Central Tokyo.
    auto type = [&window](const char* name, const char* value) {
        window.findChild<QLineEdit*>(QString::fromLatin1(name))->setText(QString::fromLatin1(value));
    };
    type("txtX1", "139.68");
    type("txtY1", "35.73");
    type("txtX2", "139.80");
    type("txtY2", "35.64");
    window.findChild<QPushButton*>(QStringLiteral("cmdZoom"))->click();
    shot("railway_tokyo_zoom");

    prompts.queueColor(255);
    whenShown<output::frmProperty>([](output::frmProperty& d) {
        d.findChild<QComboBox*>(QStringLiteral("cmbFont"))->setCurrentText(QStringLiteral("12"));
        d.lblColor_Click(1);
        d.cmdGo_Click();
    });
    window.openLayerProperty(output::kRowStations);
    EXPECT_EQ(eki.style().color, 255);
    EXPECT_EQ(eki.style().font.pointSize(), 12);
    for (int i = 1; i < eki.count(); ++i)
        ASSERT_EQ(eki.at(i).pixelSize, eki.measure(eki.at(i).caption)) << "label " << i << " keeps its old size";
    shot("railway_tokyo_red12");

    const QString exported = (shots.isEmpty() ? dir.path() : shots) + QStringLiteral("/railway_export.png");
    state::mdlMain().NoteLocation = 4;
    state::mdlMain().NoteFontSize = 10;
    ASSERT_TRUE(output::saveExport(exported, window.exportScene(), state::mdlMain()).ok());
    EXPECT_TRUE(QFile::exists(exported));
}
