#pragma once
// The drawing surface of the map and of the converters' inside test: a persistent image with a
// user scale (geographic coordinates), integer-pixel polylines and polygons filled under the
// winding rule, pen width, fill colour and fill style, a four-connected border flood fill, text
// with a pen position, and bitmap saving. Boundaries are drawn without anti-aliasing so every
// pixel is where the integer coordinates say.
#include "platform/result.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QString>
#include <memory>

class QPainter;

namespace miratos::platform {

// Colour values are R + 256·G + 65536·B.
QColor toQColor(int colorValue);
int toColorValue(const QColor& color);

class Canvas {
public:
    enum FillStyle { Solid = 0, Transparent = 1, Horizontal = 2, Vertical = 3, UpwardDiagonal = 4,
                     DownwardDiagonal = 5, Cross = 6, DiagonalCross = 7 };

    Canvas(int width = 600, int height = 600);

    // Resizes the image (content is cleared). Sizes are logical pixels.
    void resize(int width, int height);
    int width() const { return static_cast<int>(m_width); }
    int height() const { return static_cast<int>(m_height); }
    // Image pixels per logical pixel: a HiDPI screen shows the map at its own pixels, while every
    // coordinate, pen and font stays in logical pixels. Changing it resizes (and clears) the image.
    void setDevicePixelRatio(double ratio);
    double devicePixelRatio() const { return m_ratio; }

    // Paints the whole image in the background colour and puts the pen position at the top left.
    void clear();
    void setBackColor(int colorValue) { m_backColor = colorValue; }

    // User scale: the left edge is x = left, the top edge y = top, and so on (top > bottom for
    // geographic coordinates, where y grows northwards).
    void setScale(double left, double top, double right, double bottom);
    double scaleLeft() const { return m_left; }
    double scaleTop() const { return m_top; }
    double scaleRight() const { return m_right; }
    double scaleBottom() const { return m_bottom; }

    // User coordinates to pixels (not rounded) and back.
    double toPixelX(double x) const { return (x - m_left) * m_width / (m_right - m_left); }
    double toPixelY(double y) const { return (m_top - y) * m_height / (m_top - m_bottom); }
    QPoint toPixel(double x, double y) const;
    double toUserX(double px) const { return m_left + px * (m_right - m_left) / m_width; }
    double toUserY(double py) const { return m_top - py * (m_top - m_bottom) / m_height; }
    // A horizontal or vertical length in user units as pixels (positive).
    double widthToPixels(double userWidth) const;
    double heightToPixels(double userHeight) const;

    // Drawing state. The pen colour is the foreground colour.
    void setForeColor(int colorValue) { m_foreColor = colorValue; }
    int foreColor() const { return m_foreColor; }
    void setDrawWidth(int width) { m_drawWidth = width < 1 ? 1 : width; }
    int drawWidth() const { return m_drawWidth; }
    void setFillColor(int colorValue) { m_fillColor = colorValue; }
    int fillColor() const { return m_fillColor; }
    void setFillStyle(int style) { m_fillStyle = style; }
    int fillStyle() const { return m_fillStyle; }

    // Pixel-coordinate primitives.
    void polyline(const QPoint* points, int count);
    void polygon(const QPoint* points, int count);
    // User-coordinate primitives.
    void line(double x1, double y1, double x2, double y2, int colorValue);
    // A box between two corners, outlined with the given colour and filled when filled is set.
    void box(double x1, double y1, double x2, double y2, int colorValue, bool filled);
    // A circle of the given radius in user units along x, drawn with the pen and the fill state.
    void circle(double x, double y, double radius, int colorValue);

    // Fills from the seed pixel over every four-connected pixel that is not the border colour.
    // Returns false when the seed is outside the image or on the border colour. Seeds and pixel
    // reads are logical pixels.
    bool floodFillBorder(QPoint seed, int fillColorValue, int borderColorValue);
    int pixel(QPoint p) const;

    // Text at the pen position, in the canvas font and the foreground colour; afterwards the pen
    // goes to the start of the next line (x back to the left edge).
    void setFont(const QFont& font) { m_font = font; }
    const QFont& font() const { return m_font; }
    void setCurrentPos(double x, double y) { m_currentX = x; m_currentY = y; }
    double currentX() const { return m_currentX; }
    double currentY() const { return m_currentY; }
    void print(const QString& text);
    // Text size in user units (positive).
    double textWidth(const QString& text) const;
    double textHeight(const QString& text) const;

    // Copies another canvas's image into this one at the top left (sizes may differ).
    void copyFrom(const Canvas& other);

    // Keeps one painter open while many shapes are drawn (a redraw); primitives use it.
    class Batch {
    public:
        explicit Batch(Canvas& canvas);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        Canvas& m_canvas;
        std::unique_ptr<QPainter> m_painter;
    };

    // Draws every primitive on another device's painter instead of the image (vector output);
    // nullptr returns to the image. Pixel reads and flood fills always use the image.
    void setTargetPainter(QPainter* painter) { m_batch = painter; m_external = painter != nullptr; }

    QImage& image() { return m_image; }
    const QImage& image() const { return m_image; }

    // Writes the image (at its image pixels) as a 24-bit Windows bitmap; the file is replaced only when all went well.
    Status saveBmp(const QString& path) const;

private:
    // The open batch painter, or a painter for this one call.
    class PainterRef;
    QPainter* m_batch = nullptr;
    bool m_external = false;

    // One-pixel pens are cosmetic except on a HiDPI image (another device keeps the old rule).
    bool hairline() const { return m_ratio == 1 || m_external; }
    // The image pixel under a logical pixel.
    QPoint toImagePixel(QPoint p) const;

    QImage m_image;
    double m_width = 600, m_height = 600;
    double m_ratio = 1;
    double m_left = 0, m_top = 0, m_right = 600, m_bottom = 600;
    int m_backColor = 16777215;
    int m_foreColor = 0;
    int m_drawWidth = 1;
    int m_fillColor = 0;
    int m_fillStyle = Transparent;
    QFont m_font;
    double m_currentX = 0, m_currentY = 0;
};

} // namespace miratos::platform
