#include "output/image_export.h"

#include "platform/number_text.h"
#include "platform/text_file.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

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
        return scene.map->image().size();
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

void paintLabels(QPainter& p, const ExportScene& scene, const state::MdlMain& state)
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
            const int x = m.px(label.left - m.x1);
            const int y = m.py(m.y1 - label.top);
            if (white)
                p.fillRect(QRect(x, y, textWidth(font, label.caption), textHeight(font)), Qt::white);
            mapview::paintCaption(p, array.style(), label, QPoint(x, y));
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
    const QString lines[] = {city ? QStringLiteral("出展元：総務省統計局") : kSecondSource, ranking.itemName,
                             kCopyright + state.NoteMaker,
                             facilityLegend(scene) ? QStringLiteral("　") + scene.buildRankTitle : QString()};
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
    const int g = city ? 2 : 3;
    const int d = box.lineHeight;
    box.height = state.NoteMaker.isEmpty() ? d * (g + ranking.count) + box.facilityHeight + 45
                                           : d * (g + 1 + ranking.count) + box.facilityHeight + 50;
    return box;
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
    if (vector && scene.drawVectorMap)
        scene.drawVectorMap(p);
    else
        p.drawImage(QPoint(0, 0), scene.map->image(), QRect(QPoint(0, 0), part));
    p.restore();

    // Labels and rank circles stay on the map: the frame the canvas was widened by is the legend's,
    // left of its separating line.
    const bool rightFrame = state.StatDrawn && state.NoteLocation == 0;
    p.save();
    p.setClipRect(QRect(0, 0, rightFrame ? base.width() - 4 : cw, ch));
    paintCircles(p, scene, state);
    paintLabels(p, scene, state);
    p.restore();

    const QFont font = noteFont(state);
    const QString source = sourceText(state.MapMode);
    const bool city = state.MapMode == QLatin1String("City");
    const QColor rankCircle = platform::toQColor(state::colorValueOf(state.LayerProperty[7][1]));
    int legendRight = 0;
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
        y = print(p, font, o + 4, y + 20, source);
        if (!city)
            y = print(p, font, o + 4, y, kSecondSource);
        if (!state.NoteMaker.isEmpty())
            print(p, font, o + 4, y + 5, kCopyright + state.NoteMaker);
    } else {
        // The plain note always sits at the bottom right.
        const QString t = state.NoteMaker.isEmpty() ? source : source + QStringLiteral("　") + kCopyright + state.NoteMaker;
        const int L = textWidth(font, t);
        const int K = textHeight(font);
        const int x0 = cw - L - 15;
        const int y0 = ch - K - 15;
        p.fillRect(corners(x0, y0, x0 + L + 5, y0 + K + 5), Qt::white);
        outline(p, corners(x0, y0, x0 + L + 5, y0 + K + 5), Qt::black);
        p.setPen(Qt::black);
        print(p, font, x0 + 2, y0 + 2, t);
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

    if (scene.scaleVisible) {
        const int x0 = state.StatDrawn && state.NoteLocation == 2 ? legendRight + 15 : 15;
        const int len = whole(scene.scaleLengthPx);
        const int y0 = ch - 20;
        p.fillRect(corners(x0 - 3, y0, x0 + len + 3, y0 + 10), Qt::white);
        QPen pen(Qt::black, 2);
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        p.drawLine(QPoint(x0, y0 + 6), QPoint(x0 + len, y0 + 6));
        p.drawLine(QPoint(x0, y0 + 2), QPoint(x0, y0 + 8));
        p.drawLine(QPoint(x0 + len, y0 + 2), QPoint(x0 + len, y0 + 8));
        const int lw = textWidth(font, scene.scaleText);
        const int lh = textHeight(font);
        p.fillRect(corners(x0 + len + 3, y0 + 10 - lh, x0 + len + 3 + lw, y0 + 10), Qt::white);
        p.setPen(Qt::black);
        print(p, font, x0 + len + 3, y0 + 10 - lh, scene.scaleText);
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

Status saveExport(const QString& path, const ExportScene& scene, const state::MdlMain& state)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QString lower = path.toLower();
    bool ok = true;
    if (lower.endsWith(QLatin1String(".pdf"))) {
        const QSize size = exportSize(scene, state);
        QPdfWriter pdf(&buffer);
        pdf.setResolution(96); // one PDF unit per export pixel; everything stays vector
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setPageSize(QPageSize(QSizeF(size.width() * 72.0 / 96, size.height() * 72.0 / 96), QPageSize::Point));
        pdf.setTitle(state.StatDrawn && !state.StatPainted.itemName.isEmpty() ? state.StatPainted.itemName : QStringLiteral("ミラトス"));
        QPainter p;
        ok = p.begin(&pdf);
        if (ok) {
            composeExport(p, scene, state, true);
            ok = p.end();
        }
    } else if (lower.endsWith(QLatin1String(".png"))) {
        ok = renderExport(scene, state).save(&buffer, "PNG");
    } else {
        ok = renderExport(scene, state).convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
    }
    if (!ok)
        return Error{QStringLiteral("%1: 画像を作れませんでした").arg(path)};
    return platform::writeFileAtomically(path, bytes);
}

} // namespace miratos::output
