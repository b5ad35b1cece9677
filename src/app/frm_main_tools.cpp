// The map window's finishing tools: "属性非重" and "２点間距離".
#include "app/frm_main.h"
#include "layers/label_declutter.h"
#include "mapview/distance.h"
#include "mapview/map_canvas_ui.h"
#include "platform/number_text.h"
#include "state/mdl_main.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace miratos::app {

void frmMain::connectLabelTools()
{
    connect(findChild<QPushButton*>(QStringLiteral("cmdDecrease")), &QPushButton::clicked, this, [this] { cmdDecrease_Click(); });
    connect(m_cmdDistance, &QPushButton::clicked, this, [this] { cmdDistance_Click(); });
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
