// The map window's loading, view operations and redraw.
#include "app/frm_main.h"
#include "state/mdl_main.h"
#include "mapview/loaders.h"
#include "mapview/map_canvas_ui.h"
#include "mapview/map_drawing.h"
#include "mapview/renderer.h"
#include "mapview/view_navigation.h"
#include "platform/app_folder.h"
#include "platform/number_text.h"
#include "platform/prompts.h"
#include "platform/ui_yield.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <cmath>
#include <algorithm>
#include <utility>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTreeWidget>

namespace miratos::app {

using state::mdlMain;

using platform::formatSingle;

void frmMain::connectMapControls()
{
    m_picMain->onPress = [this](Qt::MouseButton b, QPoint p) { picMain_MouseDown(b, p); };
    m_picMain->onMove = [this](QPoint p, Qt::MouseButtons b) { picMain_MouseMove(p, b); };
    m_picMain->onRelease = [this](Qt::MouseButton b, QPoint p) { picMain_MouseUp(b, p); };
    connect(findChild<QPushButton*>(QStringLiteral("cmdZoom")), &QPushButton::clicked, this, [this] { cmdZoom_Click(); });
    connect(m_cmdZoomBack, &QPushButton::clicked, this, [this] { cmdZoomBack_Click(); });
    connect(findChild<QPushButton*>(QStringLiteral("cmdInit")), &QPushButton::clicked, this, [this] { cmdInit_Click(); });
    connect(findChild<QPushButton*>(QStringLiteral("cmdSmall")), &QPushButton::clicked, this, [this] { cmdSmall_Click(); });
    connect(m_scrZoom, &QScrollBar::valueChanged, this, [this](int v) { scrZoom_Change(v); });
    connect(findChild<QPushButton*>(QStringLiteral("cmdFullView")), &QPushButton::clicked, this, [this] { 全体表示(); });
    m_picMain->onWheel = [this](QPoint p, int steps) { zoomAt(p, steps); };
    m_picMain->onKey = [this](int key) { return picMain_Key(key); };
    m_picMain->onLeave = [this] { m_lblStatus->clear(); };

    m_picMain->onPaintOverlay = [this](QPainter& p, const QRect& clip) { paintOverlay(p, clip); };
    m_picMain->tooltipAt = [this](QPoint pixel) { return m_labels.tooltipAt(pixel, m_canvas); };
    connect(m_chkCity, &QCheckBox::clicked, this, [this] { chkCity_Click(); });
    for (QCheckBox* box : {m_chkTown, m_chkRepresentTownOnly, m_chkArea, m_chkNoOne})
        connect(box, &QCheckBox::clicked, this, [this] { chkTown_Click(); });
    connect(m_txtArea, &QLineEdit::textEdited, this, [this] { txtArea_Change(); });
    // "鉄道" and the road boxes show or remove their layer at the next redraw; "駅名" acts at once.
    connect(findChild<QCheckBox*>(QStringLiteral("chkEki")), &QCheckBox::clicked, this, [this] { chkEki_Click(); });
    // With "チェックですぐ描画" they draw at once.
    QList<QCheckBox*> waiting{findChild<QCheckBox*>(QStringLiteral("chkTrain"))};
    for (int i = 0; i < 3; ++i)
        waiting << findChild<QCheckBox*>(QStringLiteral("chkRoad_%1").arg(i));
    for (QCheckBox* box : waiting) {
        connect(box, &QCheckBox::clicked, this, [this] {
            if (!findChild<QCheckBox*>(QStringLiteral("chkDrawAtOnce"))->isChecked() || !mapShown() || m_busy > 0)
                return;
            処理中(false);
            描画();
            処理中(true);
        });
    }
    installLayerPropertyClicks();
    installSymbolControls();
}


void frmMain::showLoadProblems(const QStringList& problems)
{
    // A window the user closed during the work asks nothing more: the program is ending.
    if (problems.isEmpty() || m_closeRequested)
        return;
    QStringList shown = problems.mid(0, 10);
    if (problems.size() > 10)
        shown << QStringLiteral("ほか %1 件").arg(problems.size() - 10);
    platform::warn(QStringLiteral("要確認"), QStringLiteral("読み込めなかったデータがあります。\n\n") + shown.join(QLatin1Char('\n')));
}

void frmMain::endWork()
{
    --m_busy;
    if (m_busy == 0 && m_closeRequested)
        close();
    else if (m_busy == 0 && m_redrawPending)
        QTimer::singleShot(0, this, [this] { layoutCanvasRedraw(); });
}

// Every loader runs with the controls disabled, then sets the initial view and draws.
void frmMain::runLoader(const std::function<mapview::LoadReport(const mapview::LoadHooks&)>& load)
{
    ++m_busy;
    処理中(false);
    mapview::LoadHooks hooks;
    hooks.yield = platform::yieldToUi;
    hooks.showFacilityTree = [this](bool visible) { showBuildTree(visible); };
    hooks.loadRoads = [this](int prefCode) { 道路データ読込(prefCode); };
    hooks.loadFacilities = [this](int p) { 公共施設データ読込(p); };
    hooks.loadAllFacilities = [this](int p) { 公共施設データ全読込(p); };
    hooks.keepChosenFacilities = [this] { keepChosenFacilities(); };
    m_facilityProblems.clear();
    auto report = load(hooks);
    m_areas.clear(); // another set of regions
    syncBuildTree();
    report.problems << m_facilityProblems;
    m_hover.build(m_tables, mdlMain(), mapview::mapModeOf(mdlMain().MapMode));
    座標設定();
    描画();
    処理中(true);
    endWork();
    showLoadProblems(report.problems + std::exchange(m_roadProblems, {}));
}

void frmMain::データ読込_J()
{
    runLoader([this](const mapview::LoadHooks& h) { return mapview::loadJapan(m_tables, mdlMain(), platform::AppFolder::initIni(), h); });
}

void frmMain::データ読込_P()
{
    runLoader([this](const mapview::LoadHooks& h) { return mapview::loadPref(m_tables, mdlMain(), platform::AppFolder::initIni(), h); });
}

void frmMain::データ読込_C()
{
    runLoader([this](const mapview::LoadHooks& h) { return mapview::loadCity(m_tables, mdlMain(), h); });
}

void frmMain::座標設定()
{
    m_viewport.setInitialView(m_tables.DataExtent);
}

void frmMain::ズーム処理共通()
{
    const auto right = platform::toNumber(m_txt[2]->text());
    const auto bottom = platform::toNumber(m_txt[3]->text());
    m_viewport.makeSquare(static_cast<float>(right.value_or(0)), static_cast<float>(bottom.value_or(0)));
    描画();
}

void frmMain::cmdZoom_Click()
{
    if (!m_viewport.pushTyped(m_txt[0]->text(), m_txt[1]->text(), m_txt[2]->text(), m_txt[3]->text()))
        return;
    処理中(false);
    if (m_viewport.zoomCount > 1)
        m_cmdZoomBack->setEnabled(true);
    ズーム処理共通();
    処理中(true);
}

void frmMain::cmdZoomBack_Click()
{
    処理中(false);
    m_viewport.stepBack();
    if (m_viewport.zoomCount <= 1)
        m_cmdZoomBack->setEnabled(false);
    if (m_viewport.currentEntryMoved())
        描画(); // a view the wheel or a drag made is shown as it was
    else
        ズーム処理共通();
    処理中(true);
}

void frmMain::cmdInit_Click()
{
    処理中(false);
    m_viewport.reset();
    m_cmdZoomBack->setEnabled(false);
    座標設定();
    描画();
    処理中(true);
}

void frmMain::cmdSmall_Click()
{
    m_viewport.widen();
    const auto& v = m_viewport.view;
    m_txt[0]->setText(formatSingle(v.X1));
    m_txt[1]->setText(formatSingle(v.Y1));
    m_txt[2]->setText(formatSingle(v.X2));
    m_txt[3]->setText(formatSingle(v.Y2));
    処理中(false);
    ズーム処理共通();
    処理中(true);
}

void frmMain::scrZoom_Change(int value)
{
    処理中(false);
    // Each step grows the canvas by 100 px on every side of its shorter side, the longer side in
    // proportion, keeping its centre where it was.
    const QSize size = mapview::enlargedCanvasSize(m_picFloor->width(), m_picFloor->height(), value);
    QRect g = m_picMain->geometry();
    g = QRect(g.left() - (size.width() - g.width()) / 2, g.top() - (size.height() - g.height()) / 2, size.width(), size.height());
    if (value == 0)
        g.moveTopLeft(QPoint(0, 0));
    m_picMain->setGeometry(g);
    m_prevScroll = value;
    描画();
    処理中(true);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_picFloor && event->type() == QEvent::Resize)
        layoutCanvas();
    return QWidget::eventFilter(watched, event);
}

void frmMain::layoutCanvas()
{
    const QSize size = mapview::enlargedCanvasSize(m_picFloor->width(), m_picFloor->height(), m_prevScroll);
    if (size == m_picMain->size())
        return;
    // The enlarged canvas stays centred on the floor, as the zoom bar placed it.
    m_picMain->setGeometry((m_picFloor->width() - size.width()) / 2, (m_picFloor->height() - size.height()) / 2, size.width(),
                           size.height());
    if (!mapShown())
        return;
    // A resize during a redraw (which yields to the window) draws once that work is done.
    if (m_busy > 0) {
        m_redrawPending = true;
        return;
    }
    layoutCanvasRedraw();
}

void frmMain::layoutCanvasRedraw()
{
    m_redrawPending = false;
    if (!mapShown() || m_busy > 0 || (m_canvas.width() == m_picMain->width() && m_canvas.height() == m_picMain->height()))
        return;
    処理中(false);
    描画();
    処理中(true);
}

mapview::ViewRect frmMain::shownView() const
{
    return mapview::shownRect(m_viewport.view, m_picMain->width(), m_picMain->height());
}

void frmMain::zoomAt(QPoint pixel, int steps)
{
    // Not while a label hangs on the pointer: the redraw would make the labels anew under it.
    if (!mapShown() || steps == 0 || m_busy > 0 || m_labels.floating())
        return;
    const double lon = m_canvas.toUserX(pixel.x());
    const double lat = m_canvas.toUserY(pixel.y());
    const double factor = std::pow(mapview::zoomStepFactor(m_picMain->width(), m_picMain->height()), steps);
    moveView(mapview::zoomAbout(m_viewport.view, lon, lat, factor));
}

void frmMain::moveView(const mapview::ViewRect& next)
{
    if (next == m_viewport.view)
        return; // a click without a move: no history entry, no redraw
    // Moves within a moment of each other (wheel notches, held keys) are one step of "１つ前".
    const bool burst = m_navigationClock.isValid() && m_navigationClock.elapsed() < 600;
    m_viewport.pushView(next, burst);
    m_navigationClock.start();
    m_cmdZoomBack->setEnabled(m_viewport.canStepBack());
    処理中(false);
    描画();
    処理中(true);
}

void frmMain::panBy(double dx, double dy)
{
    if (!mapShown() || m_busy > 0 || m_labels.floating())
        return;
    moveView(mapview::panByPixels(m_viewport.view, m_picMain->width(), m_picMain->height(), dx, dy));
}

void frmMain::全体表示()
{
    if (!mapShown() || m_busy > 0)
        return;
    処理中(false);
    // Back to the view the map opened with: the canvas fits the floor again; the history stays.
    if (m_prevScroll != 0) {
        const QSignalBlocker block(m_scrZoom);
        m_scrZoom->setValue(0);
        m_prevScroll = 0;
    }
    m_picMain->setGeometry(QRect(QPoint(0, 0), m_picFloor->size()));
    座標設定();
    m_viewport.zoomed = false;
    描画();
    処理中(true);
}

bool frmMain::picMain_Key(int key)
{
    const QPoint centre(m_picMain->width() / 2, m_picMain->height() / 2);
    const double step = std::min(m_picMain->width(), m_picMain->height()) / 10.0; // a tenth of the canvas
    switch (key) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomAt(centre, 1);
        return true;
    case Qt::Key_Minus:
        zoomAt(centre, -1);
        return true;
    case Qt::Key_Left:
        panBy(-step, 0);
        return true;
    case Qt::Key_Right:
        panBy(step, 0);
        return true;
    case Qt::Key_Up:
        panBy(0, -step);
        return true;
    case Qt::Key_Down:
        panBy(0, step);
        return true;
    case Qt::Key_Home:
        全体表示();
        return true;
    default:
        return false;
    }
}

QString frmMain::hoverTextAt(QPoint pixel) const
{
    if (!mapShown())
        return QString();
    const auto* region = m_hover.at(m_canvas.toUserX(pixel.x()), m_canvas.toUserY(pixel.y()));
    return mapview::hoverStatus(region, m_tables, mdlMain());
}

void frmMain::描画()
{
    auto& v = m_viewport.view;
    if (v.isEmpty()) {
        if (m_viewport.zoomed) {
            m_viewport.restorePrevious();
            if (m_viewport.zoomCount <= 1)
                m_cmdZoomBack->setEnabled(false);
        }
        return;
    }
    ++m_busy;
    m_labelEdits.clear(); // the labels are built anew
    m_labelsPlaced = false;
    // HiDPI screens get the canvas at their own pixels, unless the zoomed canvas would pass
    // 64 million image pixels (a quarter gigabyte).
    const double area = static_cast<double>(m_picMain->width()) * m_picMain->height();
    const double ratio = std::max(1.0, std::min(m_picMain->devicePixelRatioF(), std::sqrt(64e6 / std::max(area, 1.0))));
    if (m_canvas.width() != m_picMain->width() || m_canvas.height() != m_picMain->height() || m_canvas.devicePixelRatio() != ratio) {
        m_canvas.setDevicePixelRatio(ratio);
        m_canvas.resize(m_picMain->width(), m_picMain->height());
        m_picMain->setImage(&m_canvas.image());
    }
    const mapview::DrawOptions options = drawOptions(m_canvas, true);
    mapview::drawScene({m_tables, m_canvas, m_labels, m_waterFill, m_colorCacheValid}, shownView(), mdlMain(),
                       mapview::mapModeOf(mdlMain().MapMode), options);
    m_picMain->setImage(&m_canvas.image());
    m_picMain->update();
    尺図描画();
    endWork();
}

mapview::DrawOptions frmMain::drawOptions(const platform::Canvas& scale, bool yield)
{
    int style = 0;
    for (int i = 0; i < 4; ++i) {
        if (m_optMode[i]->isChecked())
            style = i;
    }
    mapview::DrawOptions options;
    options.style = style;
    options.cityNames = m_chkCity->isChecked();
    options.townNames = m_chkTown->isChecked();
    options.townFilter = townFilter();
    if (yield)
        options.yield = platform::yieldToUi;
    if (findChild<QCheckBox*>(QStringLiteral("chkTrain"))->isChecked()) {
        options.railways = [this, yield](platform::Canvas& canvas) {
            m_railway.draw(canvas, m_tables.DataExtent, layers::railwayColorsOf(mdlMain()), yield ? platform::yieldToUi : std::function<void()>());
        };
    }
    const layers::RoadClasses roads = roadClassesTicked();
    if (roads[0] || roads[1] || roads[2]) {
        options.roads = [this, roads, yield](platform::Canvas& canvas) {
            m_road.draw(canvas, layers::roadColorsOf(mdlMain()), roads, yield ? platform::yieldToUi : std::function<void()>());
        };
    }
    const bool stations = findChild<QCheckBox*>(QStringLiteral("chkEki"))->isChecked();
    options.stationNames = [this, stations](mapview::LabelLayer& labels) { m_railway.stationLabels(labels, stations); };
    const bool markers = mdlMain().UseBuild && findChild<QCheckBox*>(QStringLiteral("chkBuild"))->isChecked();
    const bool names = findChild<QCheckBox*>(QStringLiteral("chkBuildName"))->isChecked();
    const bool ranks = mdlMain().UseBuild && findChild<QCheckBox*>(QStringLiteral("chkBuildRank"))->isChecked();
    options.facilityMarkers = [this, markers, names, &scale](mapview::LabelLayer& labels) {
        m_facilities.markers(labels, markers, names, platform::AppFolder::buildSymbolFile(), scale);
    };
    options.facilityCircles = [this, ranks](mapview::LabelLayer& labels) {
        m_facilities.rankCircles(labels, ranks, layers::rankSettingsOf(mdlMain()));
    };
    addSymbolDrawing(options);
    return options;
}

void frmMain::尺図描画()
{
    const auto bar = mapview::scaleBarFor(shownView(), m_canvas.height());
    for (QWidget* w : {static_cast<QWidget*>(m_linShaku), static_cast<QWidget*>(m_linShakuLeft),
                       static_cast<QWidget*>(m_linShakuRight), static_cast<QWidget*>(m_lblkm)})
        w->setVisible(bar.visible);
    if (!bar.visible)
        return;
    const int right = m_linShakuRight->x();
    const int length = static_cast<int>(bar.lengthPx + 0.5);
    m_linShaku->setGeometry(right - length, m_linShaku->y(), length + 1, 1);
    m_linShakuLeft->move(right - length, m_linShakuLeft->y());
    m_lblkm->setText(bar.text);
}

void frmMain::picMain_MouseDown(Qt::MouseButton button, QPoint pixel)
{
    if (!mapShown())
        return;
    // In the edit modes presses act on labels only: the view and the corner boxes stay.
    if (editMode() != 0) {
        labelEditPress(button, pixel);
        return;
    }
    const double lon = m_canvas.toUserX(pixel.x());
    const double lat = m_canvas.toUserY(pixel.y());
    if (button == Qt::RightButton) {
        m_txt[2]->setText(formatSingle(static_cast<float>(lon)));
        m_txt[3]->setText(formatSingle(static_cast<float>(lat)));
        return;
    }
    m_txt[0]->setText(formatSingle(static_cast<float>(lon)));
    m_txt[1]->setText(formatSingle(static_cast<float>(lat)));
    m_picMain->setCursor(Qt::ClosedHandCursor);
    m_dragging = true;
    m_dragStart = pixel;
    m_dragOrigin = m_picMain->pos();
}

void frmMain::picMain_MouseMove(QPoint pixel, Qt::MouseButtons)
{
    if (!mapShown())
        return;
    if (m_labels.floating()) {
        labelEditMove(pixel);
        return;
    }
    m_lblX->setText(QStringLiteral("東経 ") + formatSingle(static_cast<float>(m_canvas.toUserX(pixel.x()))));
    m_lblY->setText(QStringLiteral("北緯 ") + formatSingle(static_cast<float>(m_canvas.toUserY(pixel.y()))));
    if (!m_dragging)
        m_lblStatus->setText(hoverTextAt(pixel));
    if (m_dragging) {
        // The canvas follows the pointer inside its floor; the press point stays under it.
        m_picMain->move(m_picMain->pos() + (pixel - m_dragStart));
    }
}

void frmMain::picMain_MouseUp(Qt::MouseButton button, QPoint pixel)
{
    if (m_labels.floating()) {
        labelEditDrop(pixel);
        return;
    }
    if (!m_dragging)
        return;
    m_dragging = false;
    m_picMain->setCursor(Qt::CrossCursor);
    // The middle button moves the view itself: the canvas goes back to where it lay and the map
    // is drawn moved by the drag. The left button moves the canvas inside its floor, as ever.
    if (button != Qt::MiddleButton)
        return;
    const QPoint moved = m_picMain->pos() - m_dragOrigin;
    m_picMain->move(m_dragOrigin);
    if (moved.manhattanLength() > 2)
        panBy(-moved.x(), -moved.y());
}

} // namespace miratos::app
