#include "output/image_export.h"

#include "output/svg_text_runs.h"
#include "platform/canvas_line_scale.h"
#include "platform/number_text.h"
#include "platform/text_file.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <memory>

namespace miratos::output {

using mapview::LabelKind;

namespace {

const QString kSecondSource = QStringLiteral("　　　　　総務省統計局");
const QString kCopyright = QStringLiteral("著作権：");

// Sizes and positions are whole pixels, rounded halves to even.
int whole(double v)
{
    return static_cast<int>(platform::roundHalfEven(v));
}

// Every text is measured for a 96 dpi image, so the raster and the PDF lay out alike.
const QImage& metricsDevice()
{
    static const QImage image(1, 1, QImage::Format_RGB32);
    return image;
}

QFont noteFont(const state::MdlMain& state)
{
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPointSize(state.NoteFontSize > 0 ? state.NoteFontSize : 10);
    return font;
}

int textWidth(const QFont& font, const QString& text)
{
    return QFontMetrics(font, &metricsDevice()).horizontalAdvance(text);
}

int textHeight(const QFont& font)
{
    return QFontMetrics(font, &metricsDevice()).height();
}

// Prints with the top-left corner at (x, y) and returns the y of the next line.
int print(QPainter& p, const QFont& font, int x, int y, const QString& text)
{
    const QFontMetrics metrics(font, &metricsDevice());
    p.setFont(font);
    p.drawText(QPoint(x, y + metrics.ascent()), text);
    return y + metrics.height();
}

// A rectangle between two corners, both included, the way the canvas draws boxes.
QRect corners(int x1, int y1, int x2, int y2)
{
    return QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized();
}

void outline(QPainter& p, const QRect& r, const QColor& color)
{
    p.setPen(QPen(color, 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(r.topLeft(), QSize(r.width() - 1, r.height() - 1)));
}

struct Mapping {
    double sx, sy, x1, y1;
    int px(double d) const { return whole(d * sx); }
    int py(double d) const { return whole(d * sy); }
};

Mapping mappingOf(const ExportScene& scene)
{
    const platform::Canvas& m = *scene.map;
    return {m.width() / (m.scaleRight() - m.scaleLeft()), m.height() / (m.scaleTop() - m.scaleBottom()), scene.view.X1, scene.view.Y1};
}

// The part of the map image that the picture shows.
QSize mapPart(const ExportScene& scene)
{
    const Mapping m = mappingOf(scene);
    if (scene.zoomed)
        return QSize(scene.map->width(), scene.map->height());
    return QSize(m.px(static_cast<double>(scene.data.maxLon) - scene.data.minLon + 0.04),
                 m.py(static_cast<double>(scene.data.maxLat) - scene.data.minLat + 0.04));
}

QSize baseSize(const ExportScene& scene)
{
    const Mapping m = mappingOf(scene);
    if (scene.zoomed) {
        const int w = scene.typedX2 > 0 ? m.px(static_cast<double>(scene.typedX2) - scene.view.X1) + 4 : scene.map->width() + 4;
        const int h = scene.typedY2 > 0 ? m.py(static_cast<double>(scene.view.Y1) - scene.typedY2) + 4 : scene.map->height() + 4;
        return QSize(w, h);
    }
    return mapPart(scene) + QSize(4, 4);
}

bool facilityLegend(const ExportScene& scene)
{
    return scene.buildRank && !scene.buildRankTitle.isEmpty();
}

// A label's rectangle in export pixels.
QRect labelRectAt(const Mapping& m, const QFont& font, const mapview::Label& label)
{
    return QRect(m.px(label.left - m.x1), m.py(m.y1 - label.top), textWidth(font, label.caption), textHeight(font));
}

// Labels that would meet a rectangle of keepOff (a note, legend, scale bar) are left out.
void paintLabels(QPainter& p, const ExportScene& scene, const state::MdlMain& state, const QVector<QRect>& keepOff = {})
{
    const Mapping m = mappingOf(scene);
    auto paintKind = [&](LabelKind kind) {
        const mapview::LabelArray& array = scene.labels->array(kind);
        const QFont& font = array.style().font;
        const bool white = state.LayerProperty[static_cast<size_t>(kind)][2].toInt() != 0;
        for (int i = 1; i < array.count(); ++i) {
            const mapview::Label& label = array.at(i);
            if (!label.visible)
                continue;
            const QRect r = labelRectAt(m, font, label);
            if (std::any_of(keepOff.begin(), keepOff.end(), [&](const QRect& k) { return k.intersects(r); }))
                continue;
            if (white)
                p.fillRect(r, Qt::white);
            mapview::paintCaption(p, array.style(), label, r.topLeft());
        }
    };
    paintKind(LabelKind::BuildP);
    if (scene.buildNames)
        paintKind(LabelKind::Build);
    paintKind(LabelKind::Eki);
    paintKind(LabelKind::Tiku);
    paintKind(LabelKind::Pref);
}

void paintCircles(QPainter& p, const ExportScene& scene, const state::MdlMain& state)
{
    const Mapping m = mappingOf(scene);
    const QColor color = platform::toQColor(state::colorValueOf(state.LayerProperty[7][1]));
    for (const mapview::RankCircle& c : scene.labels->circles()) {
        if (!c.visible)
            continue;
        const int w = m.px(c.width);
        const int h = m.py(c.height);
        const QPoint centre(m.px(c.left - m.x1) + w / 2, m.py(m.y1 - c.top) + h / 2);
        p.setPen(QPen(color, 0));
        p.setBrush(color);
        p.drawEllipse(centre, w / 2, w / 2);
    }
}

// "lower～upper" of rank i as the legend prints it.
QString rankRowText(const state::PaintedRanking& ranking, int i)
{
    const auto& bound = i < static_cast<int>(ranking.bounds.size()) ? ranking.bounds[static_cast<size_t>(i)] : std::array<float, 2>{0, 0};
    return platform::formatSingle(bound[0]) + QStringLiteral("～") + platform::formatSingle(bound[1]);
}

// Rows under the title: the ranks, and "データなし" where regions without a number were greyed.
int legendRows(const state::PaintedRanking& ranking)
{
    return ranking.count + (ranking.noDataGrey ? 1 : 0);
}

// The source lines under the legend: the credit when one is set, else the specified notes.
QStringList sourceLines(const ExportScene& scene, const state::MdlMain& state)
{
    if (!scene.credit.isEmpty())
        return scene.credit;
    if (state.MapMode == QLatin1String("City"))
        return {sourceText(state.MapMode)};
    return {sourceText(state.MapMode), kSecondSource};
}

// Label rectangles in export pixels, for keeping the scale bar and north arrow off them.
QVector<QRect> labelRects(const ExportScene& scene)
{
    QVector<QRect> rects;
    const Mapping m = mappingOf(scene);
    for (int k = 0; k < mapview::kLabelKinds; ++k) {
        const mapview::LabelArray& array = scene.labels->array(static_cast<LabelKind>(k));
        const QFont& font = array.style().font;
        for (int i = 1; i < array.count(); ++i) {
            const mapview::Label& label = array.at(i);
            if (label.visible)
                rects << labelRectAt(m, font, label);
        }
    }
    return rects;
}

void drawScaleBar(QPainter& p, const QFont& font, int x0, int y0, int len, const QString& text)
{
    p.fillRect(corners(x0 - 3, y0, x0 + len + 3, y0 + 10), Qt::white);
    QPen pen(Qt::black, 2);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.drawLine(QPoint(x0, y0 + 6), QPoint(x0 + len, y0 + 6));
    p.drawLine(QPoint(x0, y0 + 2), QPoint(x0, y0 + 8));
    p.drawLine(QPoint(x0 + len, y0 + 2), QPoint(x0 + len, y0 + 8));
    const int lw = textWidth(font, text);
    const int lh = textHeight(font);
    p.fillRect(corners(x0 + len + 3, y0 + 10 - lh, x0 + len + 3 + lw, y0 + 10), Qt::white);
    p.setPen(Qt::black);
    print(p, font, x0 + len + 3, y0 + 10 - lh, text);
}

// "N" over an arrow pointing up, on white, in a box one text line wide and two high.
QSize northArrowSize(const QFont& font)
{
    const int h = textHeight(font);
    return QSize(std::max(h, textWidth(font, QStringLiteral("N"))) + 4, 2 * h + 4);
}

void drawNorthArrow(QPainter& p, const QFont& font, const QRect& box)
{
    const int h = textHeight(font);
    p.fillRect(box, Qt::white);
    p.setPen(Qt::black);
    print(p, font, box.center().x() - textWidth(font, QStringLiteral("N")) / 2, box.top() + 2, QStringLiteral("N"));
    const QPointF tip(box.center().x(), box.top() + 2 + h);
    const QPointF arrow[] = {tip, QPointF(tip.x() + h * 0.4, box.bottom() - 1), QPointF(tip.x(), box.bottom() - 1 - h * 0.3),
                             QPointF(tip.x() - h * 0.4, box.bottom() - 1)};
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::black);
    p.drawPolygon(arrow, 4);
    p.setBrush(Qt::NoBrush);
}

// The facility symbols drawn, each in the markers' font and colour before its class name, in a
// white box with a black outline where it covers least.
QRect drawSymbolLegend(QPainter& p, const ExportScene& scene, const QFont& font, const QRect& area, const QVector<QRect>& labels,
                       const QVector<QRect>& taken)
{
    const mapview::LabelStyle& marker = scene.labels->array(LabelKind::BuildP).style();
    const int line = std::max(textHeight(font), textHeight(marker.font));
    int symbolWidth = 0, nameWidth = 0;
    for (const auto& [symbol, name] : scene.symbols) {
        symbolWidth = std::max(symbolWidth, textWidth(marker.font, symbol));
        nameWidth = std::max(nameWidth, textWidth(font, name));
    }
    const QSize size(symbolWidth + nameWidth + 16, line * static_cast<int>(scene.symbols.size()) + 8);
    const QRect box = leastCoveredCorner(scene.map->image(), area, size, 10, labels, taken);
    p.fillRect(box, Qt::white);
    outline(p, box, Qt::black);
    int y = box.top() + 4;
    for (const auto& [symbol, name] : scene.symbols) {
        p.setPen(platform::toQColor(marker.color));
        print(p, marker.font, box.left() + 4, y + (line - textHeight(marker.font)) / 2, symbol);
        p.setPen(Qt::black);
        print(p, font, box.left() + 12 + symbolWidth, y + (line - textHeight(font)) / 2, name);
        y += line;
    }
    return box;
}

// Left edge of the rank rows' text, from the box's left edge.
int rankTextOffset(const state::MdlMain& state)
{
    return 4 + 2 * state.NoteFontSize + 10;
}

} // namespace

QString sourceText(const QString& mapMode)
{
    return mapMode == QLatin1String("City") ? QStringLiteral("出展元：総務省統計局") : QStringLiteral("出展元：国土交通省");
}

LegendBox legendBox(const ExportScene& scene, const state::MdlMain& state)
{
    const QFont font = noteFont(state);
    const bool city = state.MapMode == QLatin1String("City");
    LegendBox box;
    box.lineHeight = textHeight(font);
    const state::PaintedRanking& ranking = state.StatPainted;
    // The specified notes measure their last source line only; a credit measures every line.
    QStringList lines = scene.credit.isEmpty() ? QStringList{city ? QStringLiteral("出展元：総務省統計局") : kSecondSource} : scene.credit;
    lines << ranking.itemName << kCopyright + state.NoteMaker
          << (facilityLegend(scene) ? QStringLiteral("　") + scene.buildRankTitle : QString());
    box.facilityHeight = facilityLegend(scene) ? 2 * box.lineHeight : 0;
    // The widest line by character count (the earlier one on a tie) sets the width.
    const QString* longest = &lines[0];
    for (const QString& line : lines) {
        if (line.size() > longest->size())
            longest = &line;
    }
    box.width = textWidth(font, *longest) + 50;
    // Rank rows are not measured for the width, but one that would not fit widens the box: with
    // the legend in the right-hand frame its end would otherwise be cut off at the picture's edge.
    for (int i = 1; i <= ranking.count; ++i)
        box.width = std::max(box.width, rankTextOffset(state) + textWidth(font, rankRowText(ranking, i)) + 10);
    const int g = 1 + static_cast<int>(sourceLines(scene, state).size());
    const int d = box.lineHeight;
    box.height = state.NoteMaker.isEmpty() ? d * (g + legendRows(ranking)) + box.facilityHeight + 45
                                           : d * (g + 1 + legendRows(ranking)) + box.facilityHeight + 50;
    return box;
}

QRect symbolLegendBox(const ExportScene& scene, const state::MdlMain& state)
{
    if (!scene.symbolLegend.any())
        return {};
    const QSize inner = layers::legendSize(scene.symbolLegend, noteFont(state));
    const QSize size = inner + QSize(12, 12);
    const bool topLeftTaken = state.StatDrawn && state.NoteLocation == 1;
    const int x = topLeftTaken ? baseSize(scene).width() - size.width() - 10 : 5;
    return QRect(QPoint(x, 5), size);
}

QSize exportSize(const ExportScene& scene, const state::MdlMain& state)
{
    QSize size = baseSize(scene);
    if (state.StatDrawn && state.NoteLocation == 0)
        size.rwidth() += legendBox(scene, state).width;
    return size;
}

void composeExport(QPainter& p, const ExportScene& scene, const state::MdlMain& state, bool vector)
{
    const QSize base = baseSize(scene);
    const QSize size = exportSize(scene, state);
    const int cw = size.width();
    const int ch = size.height();
    p.fillRect(QRect(QPoint(0, 0), size), Qt::white);

    // The map: its image, or its boundaries drawn again as vectors.
    const QSize part = mapPart(scene).boundedTo(base);
    p.save();
    p.setClipRect(QRect(QPoint(0, 0), part));
    if (vector && scene.drawVectorMap && scene.vectorDetail > 1) {
        // The boundaries' points are whole pixels of the canvas they are drawn for: at a print
        // size that canvas has the picture's resolution, so lines are not stairs of layout pixels.
        const double k = scene.vectorDetail;
        const platform::Canvas& m = *scene.map;
        platform::Canvas fine(whole(m.width() * k), whole(m.height() * k));
        fine.setScale(m.scaleLeft(), m.scaleTop(), m.scaleRight(), m.scaleBottom());
        const platform::ScopedLineScale lines(k);
        p.scale(1 / k, 1 / k);
        scene.drawVectorMap(p, fine);
    } else if (vector && scene.drawVectorMap)
        scene.drawVectorMap(p, *scene.map);
    else
        p.drawImage(QRectF(QPointF(0, 0), QSizeF(part)), scene.map->image(),
                    QRectF(QPointF(0, 0), QSizeF(part) * scene.map->devicePixelRatio()));
    p.restore();
    if (vector) {
        // Not every vector device clips (Qt's SVG writer does not): the paper beyond the map's
        // part is made white again, so coasts that run on stay out of the legend's frame.
        p.fillRect(QRect(part.width(), 0, size.width() - part.width(), size.height()), Qt::white);
        p.fillRect(QRect(0, part.height(), part.width(), size.height() - part.height()), Qt::white);
    }

    // Labels and rank circles stay on the map: the frame the canvas was widened by is the legend's,
    // left of its separating line. Where the scale bar finds its own corner, names go on last and
    // give way to every box, so none is cut off by one; otherwise the boxes cover them as always.
    const bool rightFrame = state.StatDrawn && state.NoteLocation == 0;
    const QRect labelClip(0, 0, rightFrame ? base.width() - 4 : cw, ch);
    p.save();
    p.setClipRect(labelClip);
    paintCircles(p, scene, state);
    if (!scene.placeScaleBar)
        paintLabels(p, scene, state);
    p.restore();

    const QFont font = noteFont(state);
    const QString source = sourceText(state.MapMode);
    const QColor rankCircle = platform::toQColor(state::colorValueOf(state.LayerProperty[7][1]));
    int legendRight = 0;
    QVector<QRect> taken; // the note box, kept clear of the scale bar and north arrow
    p.setPen(Qt::black);

    if (state.StatDrawn) {
        const LegendBox box = legendBox(scene, state);
        const int d = box.lineHeight;
        const int hw = box.facilityHeight;
        int o = 0, u = 0, l = box.width, b = box.height;
        switch (state.NoteLocation) {
        case 1: break;
        case 2: u = ch - box.height - 5; b = ch - 5; break;
        case 3: o = cw - box.width - 5; l = cw - 5; break;
        case 4: o = cw - box.width - 5; u = ch - box.height - 5; l = cw - 5; b = ch - 5; break;
        default: {
            // "右枠": a frame right of the map, separated by a vertical line.
            const int c = base.width() - 2;
            p.setPen(QPen(Qt::black, 0));
            p.drawLine(QPoint(c - 2, 0), QPoint(c - 2, ch));
            o = c - 2;
            u = 0;
            l = cw;
            b = ch;
        }
        }
        legendRight = l;
        outline(p, corners(0, 0, cw - 5, ch - 5), Qt::black);
        if (state.NoteLocation > 0) {
            taken << corners(o, u, l, b);
            p.fillRect(corners(o, u, l, b), Qt::white);
            outline(p, corners(o, u, l, b), Qt::black);
        }
        if (hw > 0) {
            const int r = hw / 4;
            p.setPen(QPen(Qt::black, 0));
            p.setBrush(rankCircle);
            p.drawEllipse(QPoint(o + 5 + r, u + 10 + r), r, r);
            p.setBrush(Qt::NoBrush);
            print(p, font, o + 10 + 2 * r, u + 10, scene.buildRankTitle);
        }
        // The ranking the map was painted with, not the one the dialogs are working on.
        const state::PaintedRanking& ranking = state.StatPainted;
        p.setPen(Qt::black);
        print(p, font, o + 4, u + hw + 10, ranking.itemName);
        int y = u + hw + 20;
        for (int i = 1; i <= ranking.count; ++i) {
            const int top = u + hw + 20 + d * i;
            const int colour = i < static_cast<int>(ranking.colors.size()) ? ranking.colors[static_cast<size_t>(i)] : 16777215;
            p.fillRect(corners(o + 4, top, o + 4 + 2 * state.NoteFontSize, top + d), platform::toQColor(colour));
            p.setPen(Qt::black);
            y = print(p, font, o + rankTextOffset(state), top, rankRowText(ranking, i));
        }
        if (ranking.noDataGrey) {
            const int top = u + hw + 20 + d * (ranking.count + 1);
            p.fillRect(corners(o + 4, top, o + 4 + 2 * state.NoteFontSize, top + d), platform::toQColor(state::kNoDataGrey));
            p.setPen(Qt::black);
            y = print(p, font, o + rankTextOffset(state), top, QStringLiteral("データなし"));
        }
        y += 20;
        for (const QString& line : sourceLines(scene, state))
            y = print(p, font, o + 4, y, line);
        if (!state.NoteMaker.isEmpty())
            print(p, font, o + 4, y + 5, kCopyright + state.NoteMaker);
    } else {
        // The plain note always sits at the bottom right: one line, or a credit line by line.
        QStringList t;
        if (scene.credit.isEmpty())
            t << (state.NoteMaker.isEmpty() ? source : source + QStringLiteral("　") + kCopyright + state.NoteMaker);
        else
            t << scene.credit << (state.NoteMaker.isEmpty() ? QStringList() : QStringList{kCopyright + state.NoteMaker});
        int L = 0;
        for (const QString& line : t)
            L = std::max(L, textWidth(font, line));
        const int K = textHeight(font);
        const int x0 = cw - L - 15;
        const int y0 = ch - K * static_cast<int>(t.size()) - 15;
        const QRect box = corners(x0, y0, x0 + L + 5, y0 + K * static_cast<int>(t.size()) + 5);
        p.fillRect(box, Qt::white);
        outline(p, box, Qt::black);
        taken << box;
        p.setPen(Qt::black);
        int y = y0 + 2;
        for (const QString& line : t)
            y = print(p, font, x0 + 2, y, line);
        if (facilityLegend(scene)) {
            const int L2 = textWidth(font, QStringLiteral("　") + scene.buildRankTitle);
            const int x1 = cw - L2 - 20;
            const int y1 = y0 - K - 5;
            const int r = K / 2;
            p.setPen(QPen(Qt::black, 0));
            p.setBrush(rankCircle);
            p.drawEllipse(QPoint(x1 + r, y1 + r), r, r);
            p.setBrush(Qt::NoBrush);
            print(p, font, x1 + 5 + 2 * r, y1, scene.buildRankTitle);
        }
    }

    if (const QRect box = symbolLegendBox(scene, state); !box.isEmpty()) {
        p.fillRect(box, Qt::white);
        outline(p, box, Qt::black);
        layers::paintLegend(p, scene.symbolLegend, font, box.topLeft() + QPoint(6, 6));
        taken << box;
    }

    // The map's part of the picture, where the scale bar and north arrow may go.
    const QRect mapArea(0, 0, rightFrame ? base.width() - 4 : cw - 5, ch - 5);
    QVector<QRect> labels;
    if (scene.placeScaleBar || scene.northArrow || scene.facilityKey)
        labels = labelRects(scene);
    if (scene.scaleVisible) {
        const int len = whole(scene.scaleLengthPx);
        if (scene.placeScaleBar) {
            const int lh = textHeight(font);
            const QSize box(len + 6 + textWidth(font, scene.scaleText), std::max(lh, 10));
            const QRect at = leastCoveredCorner(scene.map->image(), mapArea, box, 10, labels, taken);
            taken << at;
            drawScaleBar(p, font, at.left() + 3, at.top() + box.height() - 10, len, scene.scaleText);
        } else {
            const int x0 = state.StatDrawn && state.NoteLocation == 2 ? legendRight + 15 : 15;
            drawScaleBar(p, font, x0, ch - 20, len, scene.scaleText);
            taken << corners(x0 - 3, ch - 10 - textHeight(font), x0 + len + 3 + textWidth(font, scene.scaleText), ch - 10);
        }
    }
    if (scene.northArrow) {
        const QRect at = leastCoveredCorner(scene.map->image(), mapArea, northArrowSize(font), 10, labels, taken);
        taken << at;
        drawNorthArrow(p, font, at);
    }
    if (scene.facilityKey)
        taken << drawSymbolLegend(p, scene, font, mapArea, labels, taken);
    if (scene.placeScaleBar) {
        p.save();
        p.setClipRect(labelClip);
        paintLabels(p, scene, state, taken);
        p.restore();
    }
}

QImage renderExport(const ExportScene& scene, const state::MdlMain& state)
{
    QImage image(exportSize(scene, state), QImage::Format_RGB32);
    image.setDotsPerMeterX(metricsDevice().dotsPerMeterX());
    image.setDotsPerMeterY(metricsDevice().dotsPerMeterY());
    QPainter p(&image);
    composeExport(p, scene, state, false);
    return image;
}

namespace {

// The map drawn again for a paper or pixel size: a fresh canvas in layout pixels (96 dpi) that
// fills the picture, with a view that keeps the map's proportions and shows at least what the
// specified picture shows, centred.
struct Redrawn {
    platform::Canvas canvas;
    mapview::LabelLayer labels;
    ExportScene scene;
    QSize target; // the picture's pixels
    double scale = 1; // picture pixels per layout pixel
};

std::unique_ptr<Redrawn> redrawAt(const ExportScene& scene, const state::MdlMain& state, const ExportOptions& options)
{
    auto r = std::make_unique<Redrawn>();
    r->target = targetPixels(options);
    r->scale = layoutScale(options, exportSize(scene, state));
    const QSize layout(static_cast<int>(std::ceil(r->target.width() / r->scale)),
                       static_cast<int>(std::ceil(r->target.height() / r->scale)));
    r->scene = scene;
    const int frame = state.StatDrawn && state.NoteLocation == 0 ? legendBox(r->scene, state).width : 0;
    const int cw = std::max(layout.width() - 4 - frame, 16);
    const int ch = std::max(layout.height() - 4, 16);

    // What the specified picture shows, in degrees, and its degrees per pixel each way.
    const platform::Canvas& m = *scene.map;
    const double dx = (m.scaleRight() - m.scaleLeft()) / m.width();
    const double dy = (m.scaleTop() - m.scaleBottom()) / m.height();
    const QSize part = baseSize(scene) - QSize(4, 4);
    const double spanX = part.width() * dx;
    const double spanY = part.height() * dy;
    const double per = std::max(spanX / cw, spanY / dy * dx / ch); // degrees of longitude per pixel
    const double perY = per * dy / dx;
    const double cx = scene.view.X1 + spanX / 2;
    const double cy = scene.view.Y1 - spanY / 2;
    const mapview::ViewRect view{static_cast<float>(cx - cw * per / 2), static_cast<float>(cy + ch * perY / 2),
                                 static_cast<float>(cx + cw * per / 2), static_cast<float>(cy - ch * perY / 2)};
    r->canvas.resize(cw, ch);
    r->canvas.setScale(view.X1, view.Y1, view.X2, view.Y2);
    for (int k = 0; k < mapview::kLabelKinds; ++k)
        r->labels.array(static_cast<LabelKind>(k)).restyle(scene.labels->array(static_cast<LabelKind>(k)).style());
    scene.redraw(r->canvas, r->labels);

    r->scene.map = &r->canvas;
    r->scene.labels = &r->labels;
    r->scene.view = view;
    r->scene.zoomed = true; // the whole fresh canvas is the picture's map
    r->scene.typedX2 = 0;
    r->scene.typedY2 = 0;
    const mapview::ScaleBar bar = mapview::scaleBarFor(view, ch);
    r->scene.scaleVisible = scene.scaleVisible && bar.visible;
    r->scene.scaleLengthPx = bar.lengthPx;
    r->scene.scaleText = bar.text;
    r->scene.placeScaleBar = true;
    r->scene.vectorDetail = r->scale;
    return r;
}

void prepare(QPainter& p, bool antialias)
{
    p.setRenderHint(QPainter::Antialiasing, antialias);
    p.setRenderHint(QPainter::TextAntialiasing, antialias);
    p.setRenderHint(QPainter::SmoothPixmapTransform, antialias);
}

// The scene as saveExport draws it: the credit and north arrow from the options.
ExportScene withNotes(const ExportScene& scene, const ExportOptions& options)
{
    ExportScene s = scene;
    if (options.credit || options.size != ExportSize::Specified)
        s.credit = creditOf(options, scene.drawn);
    s.northArrow = options.northArrow;
    s.facilityKey = options.symbolLegend && !scene.symbols.isEmpty();
    return s;
}

} // namespace

QImage renderExport(const ExportScene& given, const state::MdlMain& state, const ExportOptions& options, bool antialias)
{
    const ExportScene scene = withNotes(given, options);
    if (options.size == ExportSize::Specified) {
        if (!antialias)
            return renderExport(scene, state);
        QImage image(exportSize(scene, state), QImage::Format_RGB32);
        image.setDotsPerMeterX(metricsDevice().dotsPerMeterX());
        image.setDotsPerMeterY(metricsDevice().dotsPerMeterY());
        QPainter p(&image);
        prepare(p, true);
        composeExport(p, scene, state, true);
        return image;
    }
    const auto r = redrawAt(scene, state, options);
    // Painted at 96 dpi under the scale, so text is not enlarged twice; the file then says its dpi.
    QImage image(r->target, QImage::Format_RGB32);
    image.setDotsPerMeterX(metricsDevice().dotsPerMeterX());
    image.setDotsPerMeterY(metricsDevice().dotsPerMeterY());
    image.fill(Qt::white);
    {
        QPainter p(&image);
        prepare(p, antialias);
        p.scale(r->scale, r->scale);
        composeExport(p, r->scene, state, true);
    }
    image.setDotsPerMeterX(static_cast<int>(std::lround(metricsDevice().dotsPerMeterX() * r->scale)));
    image.setDotsPerMeterY(static_cast<int>(std::lround(metricsDevice().dotsPerMeterY() * r->scale)));
    return image;
}

Status saveExport(const QString& path, const ExportScene& given, const state::MdlMain& state, const ExportOptions& options)
{
    if (options.size != ExportSize::Specified && (!given.redraw || targetPixels(options).isEmpty()))
        return Error{QStringLiteral("%1: この地図はその大きさで描き直せません").arg(path)};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QString lower = path.toLower();
    const bool antialias = antialiasFor(options, path);
    const QString title = state.StatDrawn && !state.StatPainted.itemName.isEmpty() ? state.StatPainted.itemName : QStringLiteral("ミラトス");
    bool ok = true;
    if (lower.endsWith(QLatin1String(".pdf")) || lower.endsWith(QLatin1String(".svg"))) {
        // Vector formats are laid out in 96 dpi pixels; a larger size is the map drawn again.
        const ExportScene noted = withNotes(given, options);
        std::unique_ptr<Redrawn> redrawn;
        if (options.size != ExportSize::Specified)
            redrawn = redrawAt(noted, state, options);
        const ExportScene& scene = redrawn ? redrawn->scene : noted;
        const QSize size = exportSize(scene, state);
        std::unique_ptr<QPaintDevice> device;
        if (lower.endsWith(QLatin1String(".pdf"))) {
            auto pdf = std::make_unique<QPdfWriter>(&buffer);
            pdf->setResolution(96); // one PDF unit per layout pixel; everything stays vector
            pdf->setPageMargins(QMarginsF(0, 0, 0, 0));
            pdf->setPageSize(QPageSize(QSizeF(size.width() * 72.0 / 96, size.height() * 72.0 / 96), QPageSize::Point));
            pdf->setTitle(title);
            device = std::move(pdf);
        } else {
            auto svg = std::make_unique<QSvgGenerator>();
            svg->setOutputDevice(&buffer);
            svg->setResolution(96);
            svg->setSize(redrawn ? redrawn->target : size);
            svg->setViewBox(QRect(QPoint(0, 0), size));
            svg->setTitle(title);
            device = std::move(svg);
        }
        QPainter p;
        ok = p.begin(device.get());
        if (ok) {
            prepare(p, antialias);
            composeExport(p, scene, state, true);
            ok = p.end();
        }
        if (ok && !lower.endsWith(QLatin1String(".pdf"))) {
            device.reset(); // the generator has written everything
            bytes = addSvgFontFallbacks(joinSvgTextRuns(bytes));
        }
    } else if (lower.endsWith(QLatin1String(".png"))) {
        ok = renderExport(given, state, options, antialias).save(&buffer, "PNG");
    } else {
        ok = renderExport(given, state, options, antialias).convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
    }
    if (!ok)
        return Error{QStringLiteral("%1: 画像を作れませんでした").arg(path)};
    return platform::writeFileAtomically(path, bytes);
}

} // namespace miratos::output
