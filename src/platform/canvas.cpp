#include "platform/canvas.h"
#include "platform/canvas_line_scale.h"

#include "platform/text_file.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

namespace miratos::platform {

QColor toQColor(int colorValue)
{
    return QColor(colorValue & 0xFF, (colorValue >> 8) & 0xFF, (colorValue >> 16) & 0xFF);
}

int toColorValue(const QColor& color)
{
    return color.red() + 256 * color.green() + 65536 * color.blue();
}

namespace {

QBrush brushFor(int style, int colorValue)
{
    const QColor c = toQColor(colorValue);
    switch (style) {
    case Canvas::Solid: return QBrush(c, Qt::SolidPattern);
    case Canvas::Horizontal: return QBrush(c, Qt::HorPattern);
    case Canvas::Vertical: return QBrush(c, Qt::VerPattern);
    case Canvas::UpwardDiagonal: return QBrush(c, Qt::BDiagPattern);
    case Canvas::DownwardDiagonal: return QBrush(c, Qt::FDiagPattern);
    case Canvas::Cross: return QBrush(c, Qt::CrossPattern);
    case Canvas::DiagonalCross: return QBrush(c, Qt::DiagCrossPattern);
    default: return Qt::NoBrush;
    }
}

thread_local double t_lineScale = 1;

QPen penFor(int colorValue, int width, const QPainter& painter, bool hairline)
{
    // Width 1 is a cosmetic one-pixel pen; wider pens are square-capped so wide lines stay flush at corners.
    // On a scaled painter or under a line scale (a print-size export) every width scales with the picture,
    // and on a HiDPI image a one-pixel line keeps its width on screen.
    QPen pen(toQColor(colorValue));
    if (width <= 1 && hairline && t_lineScale == 1 && !painter.transform().isScaling())
        pen.setWidth(0);
    else
        pen.setWidthF(std::max(width, 1) * t_lineScale);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

} // namespace

ScopedLineScale::ScopedLineScale(double scale) : m_previous(t_lineScale)
{
    t_lineScale = scale > 0 ? scale : 1;
}

ScopedLineScale::~ScopedLineScale()
{
    t_lineScale = m_previous;
}

double lineScale()
{
    return t_lineScale;
}

// Uses the batch painter when one is open, else a painter of its own for one call.
class Canvas::PainterRef {
public:
    explicit PainterRef(Canvas& c)
    {
        if (c.m_batch) {
            m_p = c.m_batch;
        } else {
            m_own = std::make_unique<QPainter>(&c.m_image);
            m_p = m_own.get();
        }
    }
    QPainter* operator->() { return m_p; }
    QPainter& operator*() { return *m_p; }

private:
    std::unique_ptr<QPainter> m_own;
    QPainter* m_p = nullptr;
};

Canvas::Batch::Batch(Canvas& canvas) : m_canvas(canvas)
{
    if (canvas.m_external)
        return; // already drawing on another device
    m_painter = std::make_unique<QPainter>(&canvas.m_image);
    canvas.m_batch = m_painter.get();
}

Canvas::Batch::~Batch()
{
    if (m_painter)
        m_canvas.m_batch = nullptr;
}

Canvas::Canvas(int width, int height)
{
    resize(width, height);
    m_font = QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9);
}

void Canvas::resize(int width, int height)
{
    m_width = width < 1 ? 1 : width;
    m_height = height < 1 ? 1 : height;
    m_image = QImage(static_cast<int>(std::lround(m_width * m_ratio)), static_cast<int>(std::lround(m_height * m_ratio)),
                     QImage::Format_RGB32);
    m_image.setDevicePixelRatio(m_ratio);
    if (m_right == m_left || m_top == m_bottom)
        setScale(0, 0, m_width, m_height);
    clear();
}

void Canvas::setDevicePixelRatio(double ratio)
{
    if (!(ratio >= 1 && ratio <= 8))
        ratio = 1;
    if (ratio == m_ratio)
        return;
    m_ratio = ratio;
    resize(width(), height());
}

QPoint Canvas::toImagePixel(QPoint p) const
{
    if (m_ratio == 1)
        return p;
    // The first image pixel of the logical one: a one-pixel line through it covers that one.
    return QPoint(static_cast<int>(std::floor(p.x() * m_ratio)), static_cast<int>(std::floor(p.y() * m_ratio)));
}

void Canvas::clear()
{
    m_image.fill(toQColor(m_backColor));
    m_currentX = m_left;
    m_currentY = m_top;
}

void Canvas::setScale(double left, double top, double right, double bottom)
{
    m_left = left;
    m_top = top;
    m_right = right;
    m_bottom = bottom;
}

QPoint Canvas::toPixel(double x, double y) const
{
    return QPoint(static_cast<int>(std::lround(toPixelX(x))), static_cast<int>(std::lround(toPixelY(y))));
}

double Canvas::widthToPixels(double userWidth) const
{
    return std::abs(userWidth * m_width / (m_right - m_left));
}

double Canvas::heightToPixels(double userHeight) const
{
    return std::abs(userHeight * m_height / (m_top - m_bottom));
}

void Canvas::polyline(const QPoint* points, int count)
{
    if (count < 2)
        return;
    PainterRef p(*this);
    p->setPen(penFor(m_foreColor, m_drawWidth, *p, hairline()));
    p->drawPolyline(points, count);
}

void Canvas::polygon(const QPoint* points, int count)
{
    if (count < 2)
        return;
    PainterRef p(*this);
    p->setPen(penFor(m_foreColor, m_drawWidth, *p, hairline()));
    p->setBrush(brushFor(m_fillStyle, m_fillColor));
    p->drawPolygon(points, count, Qt::WindingFill);
}

void Canvas::line(double x1, double y1, double x2, double y2, int colorValue)
{
    PainterRef p(*this);
    p->setPen(penFor(colorValue, m_drawWidth, *p, hairline()));
    p->drawLine(toPixel(x1, y1), toPixel(x2, y2));
}

void Canvas::box(double x1, double y1, double x2, double y2, int colorValue, bool filled)
{
    const QPoint a = toPixel(x1, y1);
    const QPoint b = toPixel(x2, y2);
    const QRect r = QRect(a, b).normalized();
    PainterRef p(*this);
    if (filled) {
        p->fillRect(QRect(r.topLeft(), QSize(r.width() + 1, r.height() + 1)), toQColor(colorValue));
    } else {
        p->setPen(penFor(colorValue, m_drawWidth, *p, hairline()));
        p->setBrush(Qt::NoBrush);
        p->drawRect(r);
    }
}

void Canvas::circle(double x, double y, double radius, int colorValue)
{
    const QPointF c(toPixelX(x), toPixelY(y));
    const double r = widthToPixels(radius);
    PainterRef p(*this);
    p->setPen(penFor(colorValue, m_drawWidth, *p, hairline()));
    p->setBrush(brushFor(m_fillStyle, m_fillColor));
    p->drawEllipse(c, r, r);
}

bool Canvas::floodFillBorder(QPoint logicalSeed, int fillColorValue, int borderColorValue)
{
    const QPoint seed = toImagePixel(logicalSeed);
    if (!m_image.rect().contains(seed))
        return false;
    const QRgb border = toQColor(borderColorValue).rgb() | 0xFF000000u;
    const QRgb fill = toQColor(fillColorValue).rgb() | 0xFF000000u;
    const int w = m_image.width();
    const int h = m_image.height();
    auto at = [&](int x, int y) -> QRgb& { return reinterpret_cast<QRgb*>(m_image.scanLine(y))[x]; };
    if ((at(seed.x(), seed.y()) | 0xFF000000u) == border)
        return false;
    // Scanline fill over four-connected neighbours: a diagonal step of the border never leaks.
    std::vector<QPoint> stack{seed};
    std::vector<unsigned char> done(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    auto isOpen = [&](int x, int y) {
        return !done[static_cast<size_t>(y) * w + x] && (at(x, y) | 0xFF000000u) != border;
    };
    while (!stack.empty()) {
        const QPoint s = stack.back();
        stack.pop_back();
        int y = s.y();
        if (!isOpen(s.x(), y))
            continue;
        int left = s.x();
        while (left > 0 && isOpen(left - 1, y))
            --left;
        int right = s.x();
        while (right < w - 1 && isOpen(right + 1, y))
            ++right;
        for (int x = left; x <= right; ++x) {
            at(x, y) = fill;
            done[static_cast<size_t>(y) * w + x] = 1;
        }
        for (int ny : {y - 1, y + 1}) {
            if (ny < 0 || ny >= h)
                continue;
            bool inRun = false;
            for (int x = left; x <= right; ++x) {
                const bool open = isOpen(x, ny);
                if (open && !inRun)
                    stack.emplace_back(x, ny);
                inRun = open;
            }
        }
    }
    return true;
}

int Canvas::pixel(QPoint logical) const
{
    const QPoint p = toImagePixel(logical);
    if (!m_image.rect().contains(p))
        return -1;
    return toColorValue(QColor(m_image.pixel(p)));
}

void Canvas::print(const QString& text)
{
    PainterRef p(*this);
    p->setFont(m_font);
    p->setPen(toQColor(m_foreColor));
    const QFontMetricsF metrics(m_font, &m_image);
    const QPointF origin(toPixelX(m_currentX), toPixelY(m_currentY));
    p->drawText(QPointF(origin.x(), origin.y() + metrics.ascent()), text);
    m_currentX = m_left;
    m_currentY = toUserY(origin.y() + metrics.height());
}

double Canvas::textWidth(const QString& text) const
{
    const QFontMetricsF metrics(m_font, &m_image);
    return std::abs(metrics.horizontalAdvance(text) * (m_right - m_left) / m_width);
}

double Canvas::textHeight(const QString& text) const
{
    const QFontMetricsF metrics(m_font, &m_image);
    const int lines = static_cast<int>(text.count(QLatin1Char('\n'))) + 1;
    return std::abs(lines * metrics.height() * (m_top - m_bottom) / m_height);
}

void Canvas::copyFrom(const Canvas& other)
{
    PainterRef p(*this);
    p->drawImage(QPoint(0, 0), other.m_image);
}

Status Canvas::saveBmp(const QString& path) const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!m_image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP"))
        return Error{QStringLiteral("%1: ビットマップを作れません").arg(path)};
    return writeFileAtomically(path, bytes);
}

} // namespace miratos::platform
