#include "mapview/map_canvas_ui.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace miratos::mapview {

MapCanvasWidget::MapCanvasWidget(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::WheelFocus);
}

void MapCanvasWidget::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    if (m_image && !m_image->isNull())
    {
        // The source rectangle is in image pixels, which a HiDPI canvas has more of.
        const double ratio = m_image->devicePixelRatio();
        const QRectF logical(event->rect());
        p.drawImage(logical, *m_image, QRectF(logical.topLeft() * ratio, logical.size() * ratio));
    }
    else
        p.fillRect(event->rect(), Qt::white);
    if (onPaintOverlay)
        onPaintOverlay(p, event->rect());
}

bool MapCanvasWidget::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = tooltipAt ? tooltipAt(help->pos()) : QString();
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, this);
        return true;
    }
    return QWidget::event(event);
}

void MapCanvasWidget::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    if (onPress)
        onPress(event->button(), event->position().toPoint());
}

void MapCanvasWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (onMove)
        onMove(event->position().toPoint(), event->buttons());
}

void MapCanvasWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (onRelease)
        onRelease(event->button(), event->position().toPoint());
}

void MapCanvasWidget::leaveEvent(QEvent*)
{
    if (onLeave)
        onLeave();
}

void MapCanvasWidget::wheelEvent(QWheelEvent* event)
{
    m_wheelRest += event->angleDelta().y();
    const int steps = m_wheelRest / 120;
    m_wheelRest -= steps * 120;
    if (steps != 0 && onWheel)
        onWheel(event->position().toPoint(), steps);
    event->accept();
}

void MapCanvasWidget::keyPressEvent(QKeyEvent* event)
{
    if (onKey && onKey(event->key()))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

} // namespace miratos::mapview
