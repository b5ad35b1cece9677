#include "output/export_options.h"

#include "state/prefectures.h"
#include "platform/app_folder.h"
#include "platform/path_part.h"
#include "store/source_file.h"

#include <QColor>
#include <QImage>
#include <cmath>
#include <limits>

namespace miratos::output {

ExportOptions& windowExportOptions()
{
    static ExportOptions options;
    return options;
}

QSize paperPixels(Paper paper, bool landscape, int dpi)
{
    // ISO 216 millimetres, rounded to whole pixels at the resolution.
    const double longMm = paper == Paper::A3 ? 420 : 297;
    const double shortMm = paper == Paper::A3 ? 297 : 210;
    const int longPx = static_cast<int>(std::lround(longMm / 25.4 * dpi));
    const int shortPx = static_cast<int>(std::lround(shortMm / 25.4 * dpi));
    return landscape ? QSize(longPx, shortPx) : QSize(shortPx, longPx);
}

bool setPaper(ExportOptions& options, const QString& text)
{
    const QString t = text.toUpper();
    if (t.size() != 3 || (t.left(2) != QLatin1String("A4") && t.left(2) != QLatin1String("A3")) ||
        (t.at(2) != u'L' && t.at(2) != u'P'))
        return false;
    options.size = ExportSize::Paper;
    options.paper = t.left(2) == QLatin1String("A3") ? Paper::A3 : Paper::A4;
    options.landscape = t.at(2) == u'L';
    return true;
}

bool setPixelSize(ExportOptions& options, const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('x'));
    if (parts.size() != 2)
        return false;
    bool okW = false, okH = false;
    const int w = parts[0].toInt(&okW);
    const int h = parts[1].toInt(&okH);
    if (!okW || !okH || w < kMinExportSide || h < kMinExportSide || w > kMaxExportSide || h > kMaxExportSide ||
        static_cast<qint64>(w) * h > kMaxExportPixels)
        return false;
    options.size = ExportSize::Pixels;
    options.pixels = QSize(w, h);
    return true;
}

QSize targetPixels(const ExportOptions& options)
{
    switch (options.size) {
    case ExportSize::Paper: return paperPixels(options.paper, options.landscape, options.dpi);
    case ExportSize::Pixels: return options.pixels;
    default: return {};
    }
}

double layoutScale(const ExportOptions& options, QSize specified)
{
    if (options.size == ExportSize::Paper)
        return options.dpi / 96.0;
    // A pixel size scales the specified picture up until it fills the size one way.
    const QSize target = targetPixels(options);
    if (target.isEmpty() || specified.isEmpty())
        return 1;
    return std::max(1.0, std::min(static_cast<double>(target.width()) / specified.width(),
                                  static_cast<double>(target.height()) / specified.height()));
}

bool antialiasFor(const ExportOptions& options, const QString& path)
{
    if (options.antialias)
        return *options.antialias;
    const QString lower = path.toLower();
    return lower.endsWith(QLatin1String(".png")) || lower.endsWith(QLatin1String(".pdf")) || lower.endsWith(QLatin1String(".svg"));
}

QStringList creditLines(const DrawnData& drawn)
{
    QStringList lines;
    if (drawn.boundaries && !drawn.boundaryCredits.isEmpty())
        lines << drawn.boundaryCredits;
    else if (drawn.boundaries)
        lines << QString::fromUtf16(store::kKsjBoundaryCredit);
    if (drawn.railways)
        lines << QStringLiteral("「国土数値情報（鉄道データ）」（国土交通省）を加工して作成");
    if (drawn.facilities)
        lines << QStringLiteral("「国土数値情報（公共施設データ）」（国土交通省）を加工して作成");
    // The small areas are the census's own boundaries: one census line covers them and its tables.
    if (drawn.census || drawn.smallAreas)
        lines << QStringLiteral("「国勢調査」（総務省統計局）を加工して作成");
    return lines;
}

QStringList boundaryCreditsOf(const state::MdlMain& state)
{
    QStringList credits;
    bool unrecorded = false; // a folder the specified converters made: their 国土数値情報 line
    for (int i = 1; i <= state::kPrefectureCount; ++i) {
        const auto& row = state.PrefTable[static_cast<size_t>(i)];
        if (row[0] != QLatin1String("TRUE") || platform::safePathPart(row[1]).isEmpty())
            continue;
        const QString credit = store::readSourceFile(platform::AppFolder::prefFolder(row[1]) + QString::fromUtf16(store::kSourceFile));
        if (credit.isEmpty())
            unrecorded = true;
        else if (!credits.contains(credit))
            credits << credit;
    }
    if (unrecorded && !credits.isEmpty())
        credits.prepend(QString::fromUtf16(store::kKsjBoundaryCredit));
    return credits;
}

QStringList creditOf(const ExportOptions& options, const DrawnData& drawn)
{
    if (!options.creditText.trimmed().isEmpty()) {
        QStringList lines = options.creditText.split(QLatin1Char('\n'));
        for (QString& line : lines)
            line = line.trimmed();
        lines.removeAll(QString());
        return lines;
    }
    return creditLines(drawn);
}

QRect leastCoveredCorner(const QImage& map, const QRect& area, QSize box, int margin, const QVector<QRect>& labels,
                         const QVector<QRect>& taken)
{
    const QRect inner = area.adjusted(margin, margin, -margin, -margin);
    const QRect candidates[] = {
        QRect(inner.topLeft(), box),
        QRect(QPoint(inner.right() - box.width() + 1, inner.top()), box),
        QRect(QPoint(inner.left(), inner.bottom() - box.height() + 1), box),
        QRect(QPoint(inner.right() - box.width() + 1, inner.bottom() - box.height() + 1), box),
    };
    const QRect image = map.rect();
    QRect best = candidates[3];
    qint64 bestScore = std::numeric_limits<qint64>::max();
    for (const QRect& c : candidates) {
        qint64 score = 0;
        for (const QRect& t : taken) {
            if (t.intersects(c))
                score += qint64(1) << 40; // only when every corner is taken
        }
        // Every other pixel in each direction is enough to tell an empty corner from a full one.
        const QRect on = c.intersected(image);
        for (int y = on.top(); y <= on.bottom(); y += 2) {
            const QRgb* row = reinterpret_cast<const QRgb*>(map.constScanLine(y));
            for (int x = on.left(); x <= on.right(); x += 2)
                score += (row[x] & 0xFFFFFF) != 0xFFFFFF ? 4 : 0;
        }
        for (const QRect& l : labels) {
            const QRect overlap = l.intersected(c);
            if (!overlap.isEmpty())
                score += 2 * static_cast<qint64>(overlap.width()) * overlap.height();
        }
        if (score < bestScore) {
            bestScore = score;
            best = c;
        }
    }
    return best;
}

} // namespace miratos::output
