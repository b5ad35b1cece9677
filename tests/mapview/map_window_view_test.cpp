#include "app/frm_main.h"
#include "map_window_fixture.h"
#include "mapview/map_canvas_ui.h"
#include "platform/number_text.h"
#include "platform/prompts.h"
#include "platform/ui_yield.h"

#include <QCheckBox>
#include <QLabel>
#include <QTest>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QPainter>
#include <QScrollBar>

using namespace miratos;

namespace {

class MapWindowView : public TokyoSquareWindow {
protected:
    void type(app::frmMain& w, const char* x1, const char* y1, const char* x2, const char* y2)
    {
        w.findChild<QLineEdit*>(QStringLiteral("txtX1"))->setText(QString::fromLatin1(x1));
        w.findChild<QLineEdit*>(QStringLiteral("txtY1"))->setText(QString::fromLatin1(y1));
        w.findChild<QLineEdit*>(QStringLiteral("txtX2"))->setText(QString::fromLatin1(x2));
        w.findChild<QLineEdit*>(QStringLiteral("txtY2"))->setText(QString::fromLatin1(y2));
        w.findChild<QPushButton*>(QStringLiteral("cmdZoom"))->click();
    }
    platform::ScopedScriptedPrompts prompts;
};

} // namespace

TEST_F(MapWindowView, ZoomHistoryStepsBackToTheFirstRectangle)
{
    app::frmMain w;
    w.初期化();
    auto* back = w.findChild<QPushButton*>(QStringLiteral("cmdZoomBack"));
    type(w, "139.2", "35.8", "139.6", "35.4");
    EXPECT_FALSE(back->isEnabled());
    type(w, "139.4", "35.6", "139.5", "35.5");
    EXPECT_TRUE(back->isEnabled());
    back->click();
    EXPECT_FALSE(back->isEnabled());
    EXPECT_FLOAT_EQ(w.viewport().view.X1, 139.2f);
    EXPECT_FLOAT_EQ(w.viewport().view.Y1, 35.8f);

    // A degenerate rectangle draws nothing and brings the previous view back.
    type(w, "139.3", "35.7", "139.3", "35.7");
    EXPECT_FLOAT_EQ(w.viewport().view.X1, 139.2f);
    EXPECT_EQ(w.viewport().zoomCount, 1);

    w.findChild<QPushButton*>(QStringLiteral("cmdInit"))->click();
    EXPECT_FALSE(w.viewport().zoomed);
    EXPECT_LT(w.viewport().view.X1, 139.0f);
}

TEST_F(MapWindowView, ZoomBarEnlargesTheCanvasAroundTheSameView)
{
    app::frmMain w;
    w.初期化();
    const auto view = w.viewport().view;
    auto* picMain = w.findChild<QWidget*>(QStringLiteral("picMain"));
    w.findChild<QScrollBar*>(QStringLiteral("scrZoom"))->setValue(2);
    EXPECT_EQ(picMain->geometry(), QRect(-200, -200, 1000, 1000));
    EXPECT_EQ(w.canvas().width(), 1000);
    EXPECT_EQ(w.viewport().view, view);
    w.findChild<QScrollBar*>(QStringLiteral("scrZoom"))->setValue(0);
    EXPECT_EQ(picMain->geometry(), QRect(0, 0, 600, 600));
}

// Run by the HiDPI test entry (QT_SCALE_FACTOR=2); elsewhere the screen has one pixel per pixel.
TEST_F(MapWindowView, HiDpiScreenDrawsTheMapAtItsOwnPixels)
{
    if (qApp->devicePixelRatio() < 2)
        GTEST_SKIP() << "needs QT_SCALE_FACTOR=2 (the mapview_hidpi test entry)";
    app::frmMain w;
    w.初期化();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    type(w, "138.8", "36.2", "139.6", "35.4"); // the square's north-west corner in the middle
    auto* picMain = w.findChild<QWidget*>(QStringLiteral("picMain"));
    EXPECT_EQ(w.canvas().width(), picMain->width());
    EXPECT_EQ(w.canvas().image().size(), picMain->size() * 2);
    // The screen shows the map's own pixels: where the canvas is painted (not background), a grab
    // at device pixels shows the same colour, except under the few labels.
    const QImage shown = picMain->grab().toImage();
    ASSERT_EQ(shown.size(), w.canvas().image().size());
    const QImage& canvas = w.canvas().image();
    const QRgb background = canvas.pixel(0, 0) & 0xFFFFFF;
    int painted = 0;
    int same = 0;
    for (int y = 0; y < canvas.height(); y += 5)
        for (int x = 0; x < canvas.width(); x += 5) {
            if ((canvas.pixel(x, y) & 0xFFFFFF) == background)
                continue;
            ++painted;
            same += (shown.pixel(x, y) & 0xFFFFFF) == (canvas.pixel(x, y) & 0xFFFFFF);
        }
    ASSERT_GT(painted, 100); // the boundary lines
    EXPECT_GT(same, painted * 9 / 10);
}

TEST_F(MapWindowView, MouseSetsCornersAndReadout)
{
    app::frmMain w;
    w.初期化();
    const QPoint centre(300, 300);
    const double lon = w.canvas().toUserX(300);
    w.picMain_MouseMove(centre, Qt::NoButton);
    EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("lblX"))->text(), QStringLiteral("東経 ") + platform::formatSingle(static_cast<float>(lon)));
    EXPECT_TRUE(w.findChild<QLabel*>(QStringLiteral("lblY"))->text().startsWith(QStringLiteral("北緯 ")));
    w.picMain_MouseDown(Qt::RightButton, centre);
    EXPECT_EQ(w.findChild<QLineEdit*>(QStringLiteral("txtX2"))->text(), platform::formatSingle(static_cast<float>(lon)));
    EXPECT_TRUE(w.findChild<QLineEdit*>(QStringLiteral("txtX1"))->text().isEmpty());
    // A left press starts a drag that pans the canvas inside its floor.
    auto* picMain = w.findChild<QWidget*>(QStringLiteral("picMain"));
    w.picMain_MouseDown(Qt::LeftButton, centre);
    w.picMain_MouseMove(centre + QPoint(30, -20), Qt::LeftButton);
    w.picMain_MouseUp(Qt::LeftButton, centre + QPoint(30, -20));
    EXPECT_EQ(picMain->pos(), QPoint(30, -20));
    EXPECT_FALSE(w.findChild<QLineEdit*>(QStringLiteral("txtX1"))->text().isEmpty());
}

TEST_F(MapWindowView, ScaleBarFollowsTheViewAndHidesWhenTooLong)
{
    app::frmMain w;
    w.show();
    w.初期化();
    auto* km = w.findChild<QLabel*>(QStringLiteral("lblkm"));
    EXPECT_TRUE(km->isVisible());
    EXPECT_TRUE(km->text().endsWith(QStringLiteral("km")));
    type(w, "139.5", "35.5001", "139.5001", "35.5"); // 100 px ≈ 2 m: a 100 m bar is far too long
    EXPECT_FALSE(km->isVisible());
}

TEST_F(MapWindowView, MinimumAreaBoxTakesOnlyNumbers)
{
    state::mdlMain().MapMode = QStringLiteral("City");
    app::frmMain w;
    auto* area = w.findChild<QLineEdit*>(QStringLiteral("txtArea"));
    auto* chkArea = w.findChild<QCheckBox*>(QStringLiteral("chkArea"));
    chkArea->setChecked(true);
    area->selectAll();
    QTest::keyClicks(area, QStringLiteral("abc"));
    EXPECT_EQ(area->text(), QStringLiteral("0"));
    EXPECT_TRUE(chkArea->isChecked());
    area->selectAll();
    QTest::keyClicks(area, QStringLiteral("5000"));
    EXPECT_EQ(area->text(), QStringLiteral("5000"));
    EXPECT_FALSE(chkArea->isChecked());
}

TEST_F(MapWindowView, TownLabelsFollowTheMinimumAreaBoxAtOnce)
{
    state::mdlMain().MapMode = QStringLiteral("City");
    app::frmMain w;
    for (const auto& [code, area] : {std::pair{"13101000101", "15000"}, std::pair{"13101000102", "30000"}}) {
        mapview::DistrictRecord d;
        d.code = QString::fromLatin1(code);
        d.townName = QStringLiteral("銀座一丁目");
        d.area = QString::fromLatin1(area);
        d.labelX = QStringLiteral("139.5");
        d.labelY = QStringLiteral("35.5");
        w.tables().DistrictRecords.push_back(d);
    }
    const auto& towns = w.labels().array(mapview::LabelKind::Tiku);
    w.findChild<QCheckBox*>(QStringLiteral("chkTown"))->click();
    ASSERT_EQ(towns.count() - 1, 2);
    auto* chkArea = w.findChild<QCheckBox*>(QStringLiteral("chkArea"));
    chkArea->click(); // at least 20000 m²
    ASSERT_EQ(towns.count() - 1, 1);

    auto* area = w.findChild<QLineEdit*>(QStringLiteral("txtArea"));
    area->selectAll();
    QTest::keyClicks(area, QStringLiteral("5000"));
    EXPECT_FALSE(chkArea->isChecked());
    EXPECT_EQ(towns.count() - 1, 2); // unticked: no filter, at once
}

TEST_F(MapWindowView, TooltipLookUpKeepsTheLabelPicture)
{
    app::frmMain w;
    w.初期化();
    w.findChild<QCheckBox*>(QStringLiteral("chkCity"))->click();
    const auto& names = w.labels().array(mapview::LabelKind::Pref);
    ASSERT_EQ(names.count() - 1, 1);
    QImage screen(w.canvas().width(), w.canvas().height(), QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&screen);
        w.labels().paintCached(p, w.canvas(), screen.rect());
    }
    ASSERT_TRUE(w.labels().pictureUpToDate(w.canvas()));

    auto* canvasWidget = w.findChild<mapview::MapCanvasWidget*>(QStringLiteral("picMain"));
    ASSERT_NE(canvasWidget, nullptr);
    const QPoint onLabel = mapview::labelPixelRect(names.at(1), w.canvas()).center();
    EXPECT_EQ(canvasWidget->tooltipAt(onLabel), names.at(1).tooltip);
    EXPECT_FALSE(names.at(1).tooltip.isEmpty());
    EXPECT_TRUE(canvasWidget->tooltipAt(QPoint(1, 1)).isEmpty());
    EXPECT_TRUE(w.labels().pictureUpToDate(w.canvas()));
}

// The label edit modes act on the label under the pointer and leave the view and the corner
// boxes alone.
TEST_F(MapWindowView, EditModesMoveRenameAndHideLabels)
{
    using mapview::LabelKind;
    app::frmMain w;
    w.初期化();
    auto& labels = w.labels();
    const int name = labels.add(LabelKind::Pref, QStringLiteral("千代田区"), 139.5, 35.5);
    const auto label = [&]() -> const mapview::Label& { return std::as_const(labels).array(LabelKind::Pref).at(name); };
    const QPoint onLabel = w.canvas().toPixel(139.5, 35.5) + QPoint(3, 3);
    auto* picMain = w.findChild<QWidget*>(QStringLiteral("picMain"));
    auto* txtX1 = w.findChild<QLineEdit*>(QStringLiteral("txtX1"));
    const auto option = [&w](int i) { return w.findChild<QRadioButton*>(QStringLiteral("optModify_%1").arg(i)); };

    option(1)->click();
    EXPECT_FALSE(option(1)->toolTip().isEmpty()) << "the mode says how long edits last";
    // Drag: the label moves by the pointer's way in map units, the map stays.
    w.picMain_MouseDown(Qt::LeftButton, onLabel);
    w.picMain_MouseMove(onLabel + QPoint(40, 10), Qt::LeftButton);
    w.picMain_MouseUp(Qt::LeftButton, onLabel + QPoint(40, 10));
    EXPECT_NEAR(label().left, 139.5 + w.canvas().toUserX(40) - w.canvas().toUserX(0), 1e-9);
    EXPECT_NEAR(label().top, 35.5 + w.canvas().toUserY(10) - w.canvas().toUserY(0), 1e-9);
    EXPECT_EQ(picMain->pos(), QPoint(0, 0));
    EXPECT_TRUE(txtX1->text().isEmpty());

    // A drag of no distance leaves the label in place but brings it to the front.
    const int other = labels.add(LabelKind::Pref, QStringLiteral("港区"), label().left, label().top);
    const QPoint moved = w.canvas().toPixel(label().left, label().top) + QPoint(2, 2);
    const double left = std::as_const(labels).array(LabelKind::Pref).at(other).left;
    w.picMain_MouseDown(Qt::LeftButton, moved); // takes the top-most: 港区
    w.picMain_MouseUp(Qt::LeftButton, moved);
    EXPECT_EQ(std::as_const(labels).array(LabelKind::Pref).at(other).left, left);
    EXPECT_GT(std::as_const(labels).array(LabelKind::Pref).at(other).z, label().z);
    // Let go outside the map: the label stays where it was.
    w.picMain_MouseDown(Qt::LeftButton, moved);
    w.picMain_MouseUp(Qt::LeftButton, QPoint(-50, 700));
    EXPECT_EQ(std::as_const(labels).array(LabelKind::Pref).at(other).left, left);

    // Rename by right click; an empty answer or a cancel keeps the caption.
    prompts.queueText(QStringLiteral("新宿区"));
    w.picMain_MouseDown(Qt::RightButton, moved);
    EXPECT_EQ(prompts.last().title, QStringLiteral("名称変更"));
    EXPECT_EQ(std::as_const(labels).array(LabelKind::Pref).at(other).caption, QStringLiteral("新宿区"));
    prompts.queueText(QString());
    w.picMain_MouseDown(Qt::RightButton, moved);
    EXPECT_EQ(std::as_const(labels).array(LabelKind::Pref).at(other).caption, QStringLiteral("新宿区"));
    EXPECT_TRUE(w.findChild<QLineEdit*>(QStringLiteral("txtX2"))->text().isEmpty());

    // 消去: any button hides the label; a press on the bare map does nothing.
    option(2)->click();
    w.picMain_MouseDown(Qt::RightButton, moved);
    EXPECT_FALSE(std::as_const(labels).array(LabelKind::Pref).at(other).visible);
    w.picMain_MouseDown(Qt::LeftButton, QPoint(590, 590));
    w.picMain_MouseMove(QPoint(500, 500), Qt::LeftButton);
    w.picMain_MouseUp(Qt::LeftButton, QPoint(500, 500));
    EXPECT_EQ(picMain->pos(), QPoint(0, 0));
    EXPECT_TRUE(txtX1->text().isEmpty());
}

// While a label is dragged the rest of the layer is not laid out again on every move.
TEST_F(MapWindowView, DraggingALabelKeepsTheLayerPicture)
{
    using mapview::LabelKind;
    app::frmMain w;
    w.初期化();
    const int name = w.labels().add(LabelKind::Pref, QStringLiteral("千代田区"), 139.5, 35.5);
    auto* picMain = w.findChild<mapview::MapCanvasWidget*>(QStringLiteral("picMain"));
    QImage target(600, 600, QImage::Format_ARGB32_Premultiplied);
    const auto paint = [&] {
        QPainter p(&target);
        picMain->onPaintOverlay(p, target.rect());
    };
    w.findChild<QRadioButton*>(QStringLiteral("optModify_1"))->click();
    const QPoint onLabel = w.canvas().toPixel(139.5, 35.5) + QPoint(3, 3);
    w.picMain_MouseDown(Qt::LeftButton, onLabel);
    paint();
    ASSERT_TRUE(w.labels().pictureUpToDate(w.canvas()));
    w.picMain_MouseMove(onLabel + QPoint(5, 5), Qt::LeftButton);
    EXPECT_TRUE(w.labels().pictureUpToDate(w.canvas()));
    paint();
    w.picMain_MouseUp(Qt::LeftButton, onLabel + QPoint(5, 5));
    EXPECT_FALSE(w.labels().pictureUpToDate(w.canvas())) << "the dropped label is part of the picture again";
    EXPECT_GT(std::as_const(w.labels()).array(LabelKind::Pref).at(name).left, 139.5);
}

TEST_F(MapWindowView, AResizeDuringARedrawDrawsAgainAtTheNewSizeOnceItIsDone)
{
    app::frmMain w;
    w.show();
    w.初期化();
    auto* picMain = w.findChild<QWidget*>(QStringLiteral("picMain"));
    auto* redraw = w.findChild<QPushButton*>(QStringLiteral("cmdReDraw"));
    ASSERT_EQ(w.canvas().width(), 600);
    bool resizedWhileBusy = false;
    platform::setYieldHook([&] {
        if (resizedWhileBusy)
            return;
        resizedWhileBusy = !redraw->isEnabled();
        w.resize(w.width() + 300, w.height() + 200);
        QCoreApplication::processEvents(); // the layout gives the floor its new size now
    });
    redraw->click();
    platform::setYieldHook({});
    ASSERT_TRUE(resizedWhileBusy);
    EXPECT_GT(picMain->width(), 600);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.canvas().width() == picMain->width(); }, 5000));
    EXPECT_EQ(w.canvas().height(), picMain->height());
    EXPECT_TRUE(redraw->isEnabled());
}
