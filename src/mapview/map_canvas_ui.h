#pragma once
// The map canvas on screen (picMain): shows the canvas image and reports mouse actions in map
// coordinates. The image is drawn off screen and shown at once, so a redraw never flickers.
#include <QImage>
#include <QWidget>
#include <functional>

namespace miratos::mapview {

class MapCanvasWidget : public QWidget {
public:
    explicit MapCanvasWidget(QWidget* parent = nullptr);

    void setImage(const QImage* image) { m_image = image; }

    std::function<void(Qt::MouseButton, QPoint)> onPress;
    std::function<void(QPoint, Qt::MouseButtons)> onMove;
    std::function<void(Qt::MouseButton, QPoint)> onRelease;
    std::function<void()> onLeave;
    // The wheel: whole steps (one notch is one step), positive away from the user.
    std::function<void(QPoint, int)> onWheel;
    // A key while the canvas has the focus; false leaves it to the window.
    std::function<bool(int key)> onKey;
    // Paints what lies over the map image (labels, circles) for the exposed rectangle.
    std::function<void(QPainter&, const QRect&)> onPaintOverlay;
    // The tooltip at a pixel (empty: none).
    std::function<QString(QPoint)> tooltipAt;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    const QImage* m_image = nullptr;
    int m_wheelRest = 0; // eighths of a degree not yet making a whole step (touchpads)
};

} // namespace miratos::mapview
