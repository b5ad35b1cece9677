#include "mapview/labels.h"

#include "platform/fonts.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace miratos::mapview {
namespace {

// Labels are measured and painted for the canvas image (96 dpi), so screen and export agree.
const QImage& metricsDevice()
{
    static const QImage image(1, 1, QImage::Format_RGB32);
    return image;
}

} // namespace

LabelArray::LabelArray(LabelKind kind) : m_kind(kind)
{
    m_style.font = QFont(platform::kLabelFontFace, 9);
}

QSize LabelArray::measure(const QString& caption) const
{
    if (const auto it = m_sizes.constFind(caption); it != m_sizes.constEnd())
        return it.value();
    const QFontMetrics metrics(m_style.font, &metricsDevice());
    // A caption may hold line breaks (a ward under its city): the widest line, lines stacked.
    int width = 0;
    const QStringList lines = caption.split(QLatin1Char('\n'));
    for (const QString& line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    const QSize size(width, metrics.height() * static_cast<int>(lines.size()));
    m_sizes.insert(caption, size);
    return size;
}

int LabelArray::add(const QString& caption, double left, double top, int z)
{
    Label label;
    label.caption = caption;
    label.left = left;
    label.top = top;
    label.pixelSize = measure(caption);
    label.opaque = m_style.whiteBackground;
    label.z = z;
    ++m_generation;
    m_items.push_back(std::move(label));
    return static_cast<int>(m_items.size());
}

void LabelArray::setCaption(int index, const QString& caption)
{
    Label& label = edit(index);
    label.caption = caption;
    label.pixelSize = measure(caption);
}

void LabelArray::restyle(const LabelStyle& style)
{
    ++m_generation;
    m_sizes.clear();
    m_style = style;
    for (Label& label : m_items)
        label.pixelSize = measure(label.caption);
}

QRectF LabelArray::mapRect(int index, const platform::Canvas& scale) const
{
    const Label& label = at(index);
    const double w = label.pixelSize.width() * std::abs(scale.scaleRight() - scale.scaleLeft()) / scale.width();
    const double h = label.pixelSize.height() * std::abs(scale.scaleTop() - scale.scaleBottom()) / scale.height();
    return QRectF(label.left, label.top, w, h);
}

QRect labelPixelRect(const Label& label, const platform::Canvas& scale)
{
    return QRect(scale.toPixel(label.left, label.top), label.pixelSize);
}

LabelLayer::LabelLayer()
{
    for (int k = 0; k < kLabelKinds; ++k)
        m_arrays.emplace_back(static_cast<LabelKind>(k));
}

int LabelLayer::add(LabelKind kind, const QString& caption, double left, double top)
{
    return array(kind).add(caption, left, top, nextZ());
}

void LabelLayer::removeAll()
{
    for (LabelArray& a : m_arrays)
        a.removeCopies();
    shpBuild().clear();
}

quint64 LabelLayer::generation() const
{
    quint64 g = m_circleGeneration + m_floatingGeneration;
    for (const LabelArray& a : m_arrays)
        g += a.generation();
    return g;
}

namespace {
QRectF scaleRectOf(const platform::Canvas& scale)
{
    return QRectF(QPointF(scale.scaleLeft(), scale.scaleTop()), QPointF(scale.scaleRight(), scale.scaleBottom()));
}
} // namespace

bool LabelLayer::pictureUpToDate(const platform::Canvas& scale) const
{
    return m_picture.deviceIndependentSize().toSize() == QSize(scale.width(), scale.height()) &&
           m_picture.devicePixelRatio() == scale.devicePixelRatio() && m_pictureGeneration == generation() &&
           m_pictureScale == scaleRectOf(scale);
}

void LabelLayer::paintCached(QPainter& painter, const platform::Canvas& scale, const QRect& clip)
{
    const QRectF scaleRect = scaleRectOf(scale);
    const QSize size(scale.width(), scale.height());
    if (!pictureUpToDate(scale)) {
        // At the canvas's pixels, so names stay sharp on a HiDPI screen.
        const double ratio = scale.devicePixelRatio();
        m_picture = QImage(size * ratio, QImage::Format_ARGB32_Premultiplied);
        m_picture.setDevicePixelRatio(ratio);
        m_picture.fill(Qt::transparent);
        QPainter p(&m_picture);
        paint(p, scale, QRect(QPoint(0, 0), size));
        m_pictureGeneration = generation();
        m_pictureScale = scaleRect;
    }
    const double ratio = m_picture.devicePixelRatio();
    painter.drawImage(QRectF(clip), m_picture, QRectF(QPointF(clip.topLeft()) * ratio, QSizeF(clip.size()) * ratio));
    if (m_floating) {
        const LabelArray& a = array(m_floating->kind);
        const Label& l = a.at(m_floating->index);
        if (l.visible) {
            painter.save();
            drawLabel(painter, a, l, labelPixelRect(l, scale).translated(m_floatingOffset));
            painter.restore();
        }
    }
}

void LabelLayer::drawLabel(QPainter& painter, const LabelArray& array, const Label& label, const QRect& r)
{
    painter.setFont(array.style().font);
    const QFontMetrics metrics(array.style().font, &metricsDevice());
    if (label.opaque)
        painter.fillRect(r, Qt::white);
    paintCaption(painter, array.style(), label, r.topLeft(), metrics.ascent(), metrics.height());
}

void paintCaption(QPainter& painter, const LabelStyle& style, const Label& label, QPoint topLeft)
{
    const QFontMetrics metrics(style.font, &metricsDevice());
    painter.setFont(style.font);
    paintCaption(painter, style, label, topLeft, metrics.ascent(), metrics.height());
}

void paintCaption(QPainter& painter, const LabelStyle& style, const Label& label, QPoint topLeft, int ascent, int lineHeight)
{
    const QRect r(topLeft, label.pixelSize);
    const int textValue = label.textColor >= 0 ? label.textColor : style.color;
    const QColor text = platform::toQColor(textValue);
    const bool plain = !label.halo && !label.caption.contains(QLatin1Char('\n'));
    if (plain) {
        painter.setPen(text);
        painter.drawText(QPoint(r.left(), r.top() + ascent), label.caption);
        return;
    }
    const QStringList lines = label.caption.split(QLatin1Char('\n'));
    if (label.halo) {
        // The outline first, the text over it: it stays readable on any fill.
        QPainterPath path;
        for (qsizetype i = 0; i < lines.size(); ++i)
            path.addText(QPointF(r.left(), r.top() + ascent + i * lineHeight), style.font, lines.at(i));
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        // A halo of the text's own colour would not show: white text gets a black one.
        const int halo = style.haloColor == textValue ? (textValue == 16777215 ? 0 : 16777215) : style.haloColor;
        painter.strokePath(path, QPen(platform::toQColor(halo), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.restore();
    }
    painter.setPen(text);
    for (qsizetype i = 0; i < lines.size(); ++i)
        painter.drawText(QPoint(r.left(), r.top() + ascent + static_cast<int>(i) * lineHeight), lines.at(i));
}

void LabelLayer::setFloating(std::optional<LabelHit> label)
{
    m_floating = label;
    m_floatingOffset = QPoint();
    ++m_floatingGeneration;
}

void LabelLayer::paint(QPainter& painter, const platform::Canvas& scale, const QRect& clip) const
{
    struct Item {
        int z;
        const Label* label;
        const LabelArray* array;
        const RankCircle* circle;
    };
    std::vector<Item> items;
    for (const LabelArray& a : m_arrays) {
        const int floating = m_floating && m_floating->kind == a.kind() ? m_floating->index : 0;
        for (int i = 1; i < a.count(); ++i) {
            const Label& l = a.at(i);
            if (l.visible && i != floating && clip.intersects(labelPixelRect(l, scale)))
                items.push_back({l.z, &l, &a, nullptr});
        }
    }
    for (const RankCircle& c : m_circles) {
        if (c.visible)
            items.push_back({c.z, nullptr, nullptr, &c});
    }
    std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.z < b.z; });

    const LabelArray* current = nullptr;
    QFontMetrics metrics(painter.font());
    for (const Item& item : items) {
        if (item.circle) {
            const RankCircle& c = *item.circle;
            const QRectF r(QPointF(scale.toPixelX(c.left), scale.toPixelY(c.top)),
                           QPointF(scale.toPixelX(c.left + c.width), scale.toPixelY(c.top - c.height)));
            // A round circle whose diameter is the width, as the export paints it, also where a
            // degree of longitude and one of latitude differ in pixels.
            const double radius = std::abs(r.width()) / 2;
            painter.setPen(Qt::NoPen);
            painter.setBrush(platform::toQColor(circleColor));
            painter.drawEllipse(r.center(), radius, radius);
            continue;
        }
        if (item.array != current) {
            current = item.array;
            painter.setFont(current->style().font);
            metrics = QFontMetrics(current->style().font, &metricsDevice());
        }
        const QRect r = labelPixelRect(*item.label, scale);
        if (item.label->opaque)
            painter.fillRect(r, Qt::white);
        paintCaption(painter, current->style(), *item.label, r.topLeft(), metrics.ascent(), metrics.height());
    }
}

QString LabelLayer::tooltipAt(QPoint pixel, const platform::Canvas& scale) const
{
    const auto hit = hitTest(pixel, scale);
    return hit ? array(hit->kind).at(hit->index).tooltip : QString();
}

std::optional<LabelHit> LabelLayer::hitTest(QPoint pixel, const platform::Canvas& scale) const
{
    std::optional<LabelHit> best;
    int bestZ = -1;
    for (const LabelArray& a : m_arrays) {
        for (int i = 1; i < a.count(); ++i) {
            const Label& l = a.at(i);
            if (l.visible && l.z > bestZ && labelPixelRect(l, scale).contains(pixel)) {
                best = LabelHit{a.kind(), i};
                bestZ = l.z;
            }
        }
    }
    return best;
}

} // namespace miratos::mapview
