// The map window's finishing tools: "属性非重", the label edit mode and "２点間距離".
#include "app/frm_main.h"
#include "app/frm_label_placement.h"
#include "layers/label_declutter.h"
#include "mapview/distance.h"
#include "mapview/map_canvas_ui.h"
#include "platform/number_text.h"
#include "platform/prompts.h"
#include "state/mdl_main.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

namespace miratos::app {

void frmMain::connectLabelTools()
{
    connect(findChild<QPushButton*>(QStringLiteral("cmdDecrease")), &QPushButton::clicked, this, [this] { cmdDecrease_Click(); });
    connect(findChild<QPushButton*>(QStringLiteral("cmdPlaceLabels")), &QPushButton::clicked, this, [this] { cmdPlaceLabels_Click(); });
    connect(findChild<QPushButton*>(QStringLiteral("cmdPlacementSettings")), &QPushButton::clicked, this,
            [this] { cmdPlacementSettings_Click(); });
    connect(m_cmdDistance, &QPushButton::clicked, this, [this] { cmdDistance_Click(); });
    // Edits are not stored: say so where the modes are chosen.
    const QString lasting = QStringLiteral("ラベルの移動・名称変更・消去は、ラベルが作り直されるまで（再描画や"
                                           "チェックの付け直しまで）有効です。画像出力にはそのまま反映されます。");
    for (const char* name : {"optModify_1", "optModify_2"})
        findChild<QRadioButton*>(QString::fromLatin1(name))->setToolTip(lasting);
}

int frmMain::editMode() const
{
    for (int i = 1; i <= 2; ++i) {
        if (findChild<QRadioButton*>(QStringLiteral("optModify_%1").arg(i))->isChecked())
            return i;
    }
    return 0;
}

void frmMain::labelEditPress(Qt::MouseButton button, QPoint pixel)
{
    const auto hit = m_labels.hitTest(pixel, m_canvas);
    if (!hit)
        return;
    mapview::LabelArray& array = m_labels.array(hit->kind);
    noteLabelEdit(static_cast<int>(hit->kind), hit->index);
    if (editMode() == 2) {
        array.edit(hit->index).visible = false;
        m_picMain->update();
        return;
    }
    if (button == Qt::RightButton) {
        const auto name = platform::prompts().input(QStringLiteral("名称変更"), QStringLiteral("名称変更"), array.at(hit->index).caption);
        if (name && !name->isEmpty()) {
            array.setCaption(hit->index, *name);
            m_picMain->update();
        }
        return;
    }
    m_grab = QPointF(m_canvas.toUserX(pixel.x()), m_canvas.toUserY(pixel.y()));
    m_grabPixel = pixel;
    m_labels.setFloating(hit);
    m_picMain->setCursor(Qt::ClosedHandCursor);
    m_picMain->update();
}

void frmMain::labelEditMove(QPoint pixel)
{
    m_labels.setFloatingOffset(pixel - m_grabPixel);
    m_picMain->update();
}

void frmMain::labelEditDrop(QPoint pixel)
{
    const mapview::LabelHit hit = *m_labels.floating();
    m_labels.setFloating(std::nullopt);
    m_picMain->setCursor(Qt::CrossCursor);
    // A label let go outside the map stays where it was.
    if (m_picMain->rect().contains(pixel)) {
        mapview::Label& label = m_labels.array(hit.kind).edit(hit.index);
        label.left += m_canvas.toUserX(pixel.x()) - m_grab.x();
        label.top += m_canvas.toUserY(pixel.y()) - m_grab.y();
        label.z = m_labels.nextZ(); // a dropped label comes to the front
    }
    m_picMain->update();
}

void frmMain::cmdDecrease_Click()
{
    layers::DeclutterOptions options;
    options.cityMode = state::mdlMain().MapMode == QLatin1String("City");
    options.municipalities = m_chkCity->isChecked();
    options.stations = findChild<QCheckBox*>(QStringLiteral("chkEki"))->isChecked();
    options.towns = m_chkTown->isChecked();
    layers::declutter(m_labels, m_canvas, options);
    m_picMain->update();
}

void frmMain::cmdPlaceLabels_Click()
{
    layers::PlacementOptions options = m_placement;
    options.placeLabels = true;
    layers::applyPlacementOptions(m_labels, m_canvas, m_tables, mapview::mapModeOf(state::mdlMain().MapMode), state::mdlMain().StatDrawn,
                                  m_railway.stationLines(), options);
    m_labelsPlaced = true;
    m_picMain->update();
}

void frmMain::cmdPlacementSettings_Click()
{
    frmLabelPlacement dialog(m_placement, this);
    if (dialog.exec() == QDialog::Accepted)
        m_placement = dialog.options();
}

void frmMain::cmdDistance_Click()
{
    if (m_cmdDistance->text() != mapview::kDistanceCaption) {
        m_twoPoint.reset();
        m_cmdDistance->setText(mapview::kDistanceCaption);
        m_picMain->update();
        return;
    }
    const auto text = mapview::distanceText(m_txt[0]->text(), m_txt[1]->text(), m_txt[2]->text(), m_txt[3]->text());
    if (!text)
        return;
    // The texts are numbers now; the line keeps these map points through every redraw.
    const auto number = [this](int i) { return platform::toNumber(m_txt[i]->text()).value_or(0); };
    m_twoPoint = QLineF(number(0), number(1), number(2), number(3));
    m_cmdDistance->setText(*text);
    m_picMain->update();
}

void frmMain::paintOverlay(QPainter& painter, const QRect& clip)
{
    m_labels.paintCached(painter, m_canvas, clip);
    if (m_twoPoint) {
        painter.setPen(QPen(Qt::black, 1));
        painter.drawLine(m_canvas.toPixel(m_twoPoint->x1(), m_twoPoint->y1()), m_canvas.toPixel(m_twoPoint->x2(), m_twoPoint->y2()));
    }
}

} // namespace miratos::app
