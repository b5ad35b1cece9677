#include "layers/symbol_layer.h"

#include "platform/canvas_line_scale.h"
#include "platform/number_text.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace miratos::layers {
namespace {

// Texts are measured for a 96 dpi image, as the labels and the export are.
const QImage& metricsDevice()
{
    static const QImage image(1, 1, QImage::Format_RGB32);
    return image;
}

// The largest 1, 2 or 5 × 10^k not above v (v > 0).
double roundBelow(double v)
{
    const double power = std::pow(10.0, std::floor(std::log10(v)));
    for (const double m : {5.0, 2.0, 1.0}) {
        // A little slack, so 5000 is not taken for 4999.999… by the logarithm.
        if (m * power <= v * (1 + 1e-12))
            return m * power;
    }
    return power / 2; // v just under a power of ten, where log10 rounded up
}

double maxAbsOf(const std::vector<Symbol>& symbols)
{
    double m = 0;
    for (const Symbol& s : symbols)
        m = std::max(m, std::abs(s.value));
    return m;
}

void paintOne(QPainter& p, QPointF centre, double r, SymbolShape shape)
{
    const QRectF box(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
    if (shape == SymbolShape::Square)
        p.drawRect(box);
    else
        p.drawEllipse(box);
}

void paintAll(QPainter& p, const platform::Canvas& scale, const std::vector<Symbol>& ordered, const SymbolOptions& options,
              double maxAbs)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    // A thin dark outline keeps overlapping symbols apart; the fill lets the rank colours show.
    // A cosmetic pen (width 0) is one pixel wide without the cost of stroking a path.
    p.setPen(QPen(QColor(60, 60, 60), 0));
    QColor positive = platform::toQColor(options.color);
    QColor negative = platform::toQColor(options.negativeColor);
    positive.setAlpha(200);
    negative.setAlpha(200);
    for (const Symbol& s : ordered) {
        const double r = symbolRadius(s.value, maxAbs, options);
        if (!(r > 0))
            continue;
        p.setBrush(s.value < 0 ? negative : positive);
        paintOne(p, QPointF(scale.toPixelX(s.lon), scale.toPixelY(s.lat)), r, options.shape);
    }
}

} // namespace

double symbolRadius(double value, double maxAbs, const SymbolOptions& options)
{
    if (!(maxAbs > 0) || !std::isfinite(value))
        return 0;
    const double share = std::min(1.0, std::abs(value) / maxAbs);
    return options.maxRadius * std::pow(share, options.flannery ? kFlanneryExponent : 0.5);
}

QVector<double> referenceValues(double maxAbs)
{
    if (!(maxAbs > 0) || !std::isfinite(maxAbs))
        return {};
    const double top = roundBelow(maxAbs);
    return {top, roundBelow(top / 2), roundBelow(top / 10)};
}

QString valueText(double value, int decimals)
{
    decimals = std::clamp(decimals, 0, 10);
    // Fixed notation with "." whatever the locale; then the whole part is grouped by threes.
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(QLatin1Char('-')) && text.mid(1).toDouble() == 0)
        text.remove(0, 1); // no "-0"
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative)
        text.remove(0, 1);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? text : text.left(point);
    QString grouped;
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            grouped += QLatin1Char(',');
        grouped += whole[i];
    }
    if (point >= 0)
        grouped += text.mid(point);
    return negative ? QStringLiteral("-") + grouped : grouped;
}

QString valueText(const QString& value, int decimals)
{
    const auto number = platform::toNumber(value);
    if (!number || !std::isfinite(*number))
        return value;
    return valueText(*number, decimals);
}

std::vector<Symbol> drawingOrder(std::vector<Symbol> symbols)
{
    std::stable_sort(symbols.begin(), symbols.end(),
                     [](const Symbol& a, const Symbol& b) { return std::abs(a.value) > std::abs(b.value); });
    return symbols;
}

SymbolLegend drawSymbols(platform::Canvas& canvas, std::vector<Symbol> symbols, const SymbolOptions& options,
                         const QString& title)
{
    SymbolLegend legend;
    legend.title = title;
    legend.shape = options.shape;
    legend.color = options.color;
    const double maxAbs = maxAbsOf(symbols);
    for (const double v : referenceValues(maxAbs)) {
        legend.values << v;
        legend.radii << symbolRadius(v, maxAbs, options);
    }
    QPainter p(&canvas.image());
    paintAll(p, canvas, drawingOrder(std::move(symbols)), options, maxAbs);
    return legend;
}

void drawSymbolsOn(QPainter& painter, const platform::Canvas& scale, std::vector<Symbol> symbols, const SymbolOptions& options)
{
    const double maxAbs = maxAbsOf(symbols);
    // A print-size export draws on a finer canvas than its layout: the symbols grow with it, as
    // the lines do, so they keep the size the legend shows.
    SymbolOptions scaled = options;
    scaled.maxRadius = static_cast<int>(std::lround(options.maxRadius * platform::lineScale()));
    painter.save();
    paintAll(painter, scale, drawingOrder(std::move(symbols)), scaled, maxAbs);
    painter.restore();
}

namespace {

// A reference value with at least the digits it needs: 0.02 stays "0.02" with 0 decimals chosen.
QString legendValueText(double v, int decimals)
{
    const int needed = v > 0 && v < 1 ? static_cast<int>(std::ceil(-std::log10(v) - 1e-9)) : 0;
    return valueText(v, std::max(decimals, needed));
}

// Where the legend's parts go, from its top-left corner: the nested symbols stand on one bottom
// line, each value beside the top of its symbol, moved down where it would touch the one above.
struct LegendLayout {
    double centreX = 0, bottom = 0;
    QVector<double> textCentres; // vertical centres of the value texts
    int textLeft = 0;
    QSize size;
};

LegendLayout layoutLegend(const SymbolLegend& legend, const QFontMetrics& metrics)
{
    LegendLayout l;
    const double rMax = legend.radii.front();
    const int line = metrics.height();
    l.centreX = rMax;
    l.bottom = line + 6 + std::max(2 * rMax, static_cast<double>(line));
    l.textLeft = static_cast<int>(std::ceil(2 * rMax)) + 10;
    double previous = -1e9;
    int valuesWidth = 0;
    for (qsizetype i = 0; i < legend.values.size(); ++i) {
        const double centre = std::max(l.bottom - 2 * legend.radii[i], previous + line);
        l.textCentres << centre;
        previous = centre;
        valuesWidth = std::max(valuesWidth, metrics.horizontalAdvance(legendValueText(legend.values[i], legend.decimals)));
    }
    const int width = std::max(metrics.horizontalAdvance(legend.title), l.textLeft + valuesWidth);
    const double height = std::max(l.bottom, previous + line / 2.0);
    l.size = QSize(width, static_cast<int>(std::ceil(height)));
    return l;
}

} // namespace

QSize legendSize(const SymbolLegend& legend, const QFont& font)
{
    if (!legend.any())
        return {};
    return layoutLegend(legend, QFontMetrics(font, &metricsDevice())).size;
}

void paintLegend(QPainter& p, const SymbolLegend& legend, const QFont& font, QPoint topLeft)
{
    if (!legend.any())
        return;
    const QFontMetrics metrics(font, &metricsDevice());
    const LegendLayout l = layoutLegend(legend, metrics);
    p.save();
    p.translate(topLeft);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QPoint(0, metrics.ascent()), legend.title);
    QColor fill = platform::toQColor(legend.color);
    fill.setAlpha(200);
    p.setRenderHint(QPainter::Antialiasing, true);
    for (qsizetype i = 0; i < legend.values.size(); ++i) {
        const double r = legend.radii[i];
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(fill);
        paintOne(p, QPointF(l.centreX, l.bottom - r), r, legend.shape);
    }
    // The leaders and values over all the symbols, so none is hidden by a larger one.
    for (qsizetype i = 0; i < legend.values.size(); ++i) {
        const double top = l.bottom - 2 * legend.radii[i];
        const double centre = l.textCentres[i];
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.drawLine(QPointF(l.centreX, top), QPointF(l.textLeft - 6, top));
        p.drawLine(QPointF(l.textLeft - 6, top), QPointF(l.textLeft - 2, centre));
        p.setPen(Qt::black);
        const int baseline = static_cast<int>(std::lround(centre + (metrics.ascent() - metrics.descent()) / 2.0));
        p.drawText(QPoint(l.textLeft, baseline), legendValueText(legend.values[i], legend.decimals));
    }
    p.restore();
}

void applyValueLabels(mapview::LabelLayer& layer, const mapview::MapTables& tables, mapview::MapMode mode,
                      const SymbolOptions& options, const platform::Canvas& scale)
{
    if (options.valueLabels == ValueLabels::Off)
        return;
    const bool city = mode == mapview::MapMode::City;
    const platform::KeyedTable& table = mode == mapview::MapMode::Japan ? tables.lvwUsePref : tables.lvwUseTiku;
    const int item = city ? 1 : 3;
    mapview::LabelArray& array = layer.array(city ? mapview::LabelKind::Tiku : mapview::LabelKind::Pref);
    const double degY = std::abs(scale.scaleTop() - scale.scaleBottom()) / scale.height();
    const double degX = std::abs(scale.scaleRight() - scale.scaleLeft()) / scale.width();
    const int names = array.count();
    for (int i = 1; i < names; ++i) {
        const mapview::Label& name = array.at(i);
        const auto* row = name.tag.isEmpty() ? nullptr : table.find(name.tag);
        const QString value = row ? row->subItem(item) : QString();
        if (!platform::isNumeric(value))
            continue;
        const QString text = valueText(value, options.valueDecimals);
        if (options.valueLabels == ValueLabels::Alone) {
            // The value takes the name's place, centred where the name was.
            const double centreX = name.left + name.pixelSize.width() * degX / 2;
            array.setCaption(i, text);
            mapview::Label& l = array.edit(i);
            l.left = centreX - l.pixelSize.width() * degX / 2;
            continue;
        }
        const double centreX = name.left + name.pixelSize.width() * degX / 2;
        const double top = name.top - name.pixelSize.height() * degY;
        const QString tooltip = name.tooltip;
        const int v = layer.add(array.kind(), text, centreX, top);
        mapview::Label& l = array.edit(v);
        l.left -= l.pixelSize.width() * degX / 2;
        l.tooltip = tooltip;
        l.opaque = array.at(i).opaque;
    }
}

} // namespace miratos::layers
