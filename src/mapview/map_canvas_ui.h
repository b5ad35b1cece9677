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

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    const QImage* m_image = nullptr;
};

} // namespace miratos::mapview
