// The road layer in the map window: RoadName.dat read at the start, the roads of the selected
// prefectures while loading, each road box switching its class at the next redraw, and the
// colour of row 6 redrawing the roads at once.
#include "app/frm_main.h"
#include "map_window_fixture.h"
#include "modal.h"
#include "output/frm_property.h"
#include "output/layer_settings.h"
#include "platform/prompts.h"
#include "platform/text_file.h"

#include <QCheckBox>
#include <QPushButton>

using namespace miratos;

namespace {

constexpr int kPurple = 128 + 65536 * 128;
constexpr int kGrey = 128 + 256 * 128 + 65536 * 128;
constexpr int kLight = 192 + 256 * 192 + 65536 * 192;
constexpr int kGreen = 256 * 255;

class MapWindowRoad : public TokyoSquareWindow {
protected:
    void SetUp() override
    {
        TokyoSquareWindow::SetUp();
        state::mdlMain().UseRoad = true;
    }
    void writeRoads()
    {
        ASSERT_TRUE(platform::writeTextLines(dir.filePath(QStringLiteral("MapData/RoadName.dat")),
                                             {QStringLiteral("R1@1@東名高速道路@@"), QStringLiteral("R2@2@国道@@"),
                                              QStringLiteral("R3@3@県道@@")})
                        .ok());
        // Vertical roads at 139.2 (expressway), 139.4 (national), 139.6 (local), 139.8 (no key).
        ASSERT_TRUE(platform::writeTextLines(dir.filePath(QStringLiteral("MapData/東京都/Road.dat")),
                                             {QStringLiteral("R1@139.2 35.1 139.2 35.9 "), QStringLiteral("R2@139.4 35.1 139.4 35.9 "),
                                              QStringLiteral("R3@139.6 35.1 139.6 35.9 "), QStringLiteral("@139.8 35.1 139.8 35.9 ")},
                                             false)
                        .ok());
    }
    static QCheckBox* road(app::frmMain& w, int i) { return w.findChild<QCheckBox*>(QStringLiteral("chkRoad_%1").arg(i)); }
    static void redraw(app::frmMain& w) { w.findChild<QPushButton*>(QStringLiteral("cmdReDraw"))->click(); }
    static int pixelAt(const app::frmMain& w, double lon, double lat = 35.5) { return w.canvas().pixel(w.canvas().toPixel(lon, lat)); }
    platform::ScopedScriptedPrompts prompts;
};

} // namespace

TEST_F(MapWindowRoad, EachRoadBoxSwitchesItsClassAtTheNextRedraw)
{
    writeRoads();
    app::frmMain window;
    window.初期化();
    EXPECT_TRUE(prompts.records().empty());
    EXPECT_EQ(window.road().roads().roads.size(), 4u);
    EXPECT_NE(pixelAt(window, 139.2), kPurple); // nothing ticked yet

    road(window, 0)->click();
    EXPECT_TRUE(road(window, 0)->isChecked()); // the tick stays: no 準備中 any more
    EXPECT_NE(pixelAt(window, 139.2), kPurple); // shown at the next redraw
    redraw(window);
    EXPECT_EQ(pixelAt(window, 139.2), kPurple);
    EXPECT_NE(pixelAt(window, 139.4), kGrey);

    road(window, 1)->click();
    road(window, 2)->click();
    redraw(window);
    EXPECT_EQ(pixelAt(window, 139.4), kGrey);
    EXPECT_EQ(pixelAt(window, 139.6), kLight);
    EXPECT_EQ(pixelAt(window, 139.8), state::kWhite); // the road without key is never drawn
    if (const QString shots = QString::fromLocal8Bit(qgetenv("MIRATOS_SCREENSHOT_DIR")); !shots.isEmpty()) {
        window.resize(1100, 760);
        window.show();
        window.grab().save(shots + QStringLiteral("/roads_window.png"));
    }

    road(window, 0)->click();
    redraw(window);
    EXPECT_NE(pixelAt(window, 139.2), kPurple);
    EXPECT_EQ(pixelAt(window, 139.4), kGrey);
    EXPECT_TRUE(prompts.records().empty());
}

TEST_F(MapWindowRoad, ANewExpresswayColourRedrawsTheRoadsAtOnceOnlyWhileTicked)
{
    writeRoads();
    app::frmMain window;
    window.初期化();
    // While "高速" is not ticked the colour is only stored.
    prompts.queueColor(kGreen);
    whenShown<output::frmProperty>([](output::frmProperty& d) {
        d.lblColor_Click(1);
        d.cmdGo_Click();
    });
    window.openLayerProperty(output::kRowRoads, 0);
    EXPECT_EQ(state::colorValueOf(state::mdlMain().LayerProperty[6][0]), kGreen);
    EXPECT_NE(pixelAt(window, 139.2), kGreen);

    road(window, 0)->click();
    redraw(window);
    EXPECT_EQ(pixelAt(window, 139.2), kGreen);
    prompts.queueColor(255);
    whenShown<output::frmProperty>([](output::frmProperty& d) {
        d.lblColor_Click(1);
        d.cmdGo_Click();
    });
    window.openLayerProperty(output::kRowRoads, 0);
    EXPECT_EQ(pixelAt(window, 139.2), 255); // drawn over the green ones without a full redraw
}

TEST_F(MapWindowRoad, WithoutRoadNameDatTheLayerIsOffWithoutAMessage)
{
    writeRoads();
    QFile::remove(dir.filePath(QStringLiteral("MapData/RoadName.dat")));
    app::frmMain window;
    window.初期化();
    EXPECT_FALSE(state::mdlMain().UseRoad);
    EXPECT_TRUE(window.road().roads().roads.empty());
    road(window, 0)->click();
    redraw(window);
    EXPECT_NE(pixelAt(window, 139.2), kPurple);
    EXPECT_TRUE(prompts.records().empty());
}

TEST_F(MapWindowRoad, DrawAtOnceDrawsATickedRoadBoxWithoutRedraw)
{
    writeRoads();
    app::frmMain window;
    window.初期化();
    auto* atOnce = window.findChild<QCheckBox*>(QStringLiteral("chkDrawAtOnce"));
    ASSERT_NE(atOnce, nullptr);
    EXPECT_FALSE(atOnce->isChecked()); // off: the box waits for 再描画
    atOnce->click();
    road(window, 0)->click();
    EXPECT_EQ(pixelAt(window, 139.2), kPurple);
    road(window, 0)->click();
    EXPECT_NE(pixelAt(window, 139.2), kPurple); // unticked: gone at once too
}
