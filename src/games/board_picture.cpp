#include "games/board_picture.h"

#include "store/ring_budget.h"

#include "games/board_squares.h"
#include "platform/canvas.h"
#include "state/prefectures.h"
#include "store/line_geometry.h"
#include "store/map_keys.h"
#include "store/pref_folder.h"
#include "store/pref_line_file.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <cmath>
#include <limits>

namespace miratos::games {
namespace {

constexpr double kLon0 = 137.0;
constexpr double kLat0 = 35.0;

// A seed this far inside its prefecture is safe from the rounding of the drawn border.
constexpr double kWantedMargin = 6.0;

Result<QVector<QPolygonF>> readRings(const QString& folder)
{
    const QString prefLinePath = QDir(folder).filePath(QString::fromUtf16(store::kPrefLineFile));
    const QString linePath = QDir(folder).filePath(QString::fromUtf16(store::kLineFile));
    if (!QFileInfo::exists(prefLinePath) || !QFileInfo::exists(linePath))
        return Error{QStringLiteral("PrefLine.dat または Line.dat がありません")};
    auto ringTexts = store::readPrefLineFile(prefLinePath);
    if (!ringTexts)
        return Error{ringTexts.error()};
    auto lines = store::readLineGeometry(linePath);
    if (!lines)
        return Error{lines.error()};
    QHash<QString, const QVector<QPointF>*> byKey;
    qint64 linePoints = 0;
    for (const auto& line : *lines) {
        byKey.insert(line.key, &line.points);
        linePoints += line.points.size();
    }
    store::RingPointBudget budget(linePoints);
    QVector<QPolygonF> rings;
    for (const QString& text : *ringTexts) {
        const auto parts = store::parseRing(text);
        qint64 points = 0;
        for (const auto& part : parts) {
            if (const auto* line = byKey.value(part.key))
                points += line->size();
        }
        if (!budget.take(points))
            return Error{store::ringOverBudget(prefLinePath, text, budget.limit())};
        QPolygonF ring;
        for (const auto& part : parts) {
            const auto* points = byKey.value(part.key);
            if (!points)
                continue; // a ring naming a missing line keeps the rest of its outline
            if (part.reversed) {
                for (auto it = points->crbegin(); it != points->crend(); ++it)
                    ring << *it;
            } else {
                ring << *points;
            }
        }
        if (ring.size() >= 3)
            rings << ring;
    }
    if (rings.isEmpty())
        return Error{QStringLiteral("輪郭の線がありません")};
    return rings;
}

double segmentDistance(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const double len2 = QPointF::dotProduct(ab, ab);
    double t = len2 > 0 ? QPointF::dotProduct(p - a, ab) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF q = a + t * ab - p;
    return std::sqrt(QPointF::dotProduct(q, q));
}

// Nelder–Mead search for the minimum of f over six parameters.
template <class F>
std::array<double, 6> minimize(F f, std::array<double, 6> start, const std::array<double, 6>& step, int iterations)
{
    constexpr int n = 6;
    std::array<std::array<double, n>, n + 1> x;
    std::array<double, n + 1> fx;
    for (int i = 0; i <= n; ++i) {
        x[i] = start;
        if (i > 0)
            x[i][i - 1] += step[i - 1];
        fx[i] = f(x[i]);
    }
    for (int it = 0; it < iterations; ++it) {
        std::array<int, n + 1> order;
        for (int i = 0; i <= n; ++i)
            order[i] = i;
        std::sort(order.begin(), order.end(), [&](int l, int r) { return fx[l] < fx[r]; });
        const int best = order[0], worst = order[n], second = order[n - 1];
        std::array<double, n> centre{};
        for (int i = 0; i <= n; ++i)
            if (i != worst)
                for (int k = 0; k < n; ++k)
                    centre[k] += x[i][k] / n;
        auto along = [&](double t) {
            std::array<double, n> p;
            for (int k = 0; k < n; ++k)
                p[k] = centre[k] + t * (x[worst][k] - centre[k]);
            return p;
        };
        const auto reflected = along(-1.0);
        const double fr = f(reflected);
        if (fr < fx[best]) {
            const auto expanded = along(-2.0);
            const double fe = f(expanded);
            if (fe < fr) {
                x[worst] = expanded;
                fx[worst] = fe;
            } else {
                x[worst] = reflected;
                fx[worst] = fr;
            }
        } else if (fr < fx[second]) {
            x[worst] = reflected;
            fx[worst] = fr;
        } else {
            const auto contracted = along(fr < fx[worst] ? -0.5 : 0.5);
            const double fc = f(contracted);
            if (fc < std::min(fr, fx[worst])) {
                x[worst] = contracted;
                fx[worst] = fc;
            } else {
                for (int i = 0; i <= n; ++i) {
                    if (i == best)
                        continue;
                    for (int k = 0; k < n; ++k)
                        x[i][k] = x[best][k] + 0.5 * (x[i][k] - x[best][k]);
                    fx[i] = f(x[i]);
                }
            }
        }
    }
    const auto bestIt = std::min_element(fx.begin(), fx.end());
    return x[static_cast<size_t>(bestIt - fx.begin())];
}

BoardProjection fromParameters(const std::array<double, 6>& p)
{
    return BoardProjection{p[0], p[1], p[2], p[3], p[4], p[5], QPointF()};
}

} // namespace

QPointF BoardProjection::toPixel(QPointF lonLat, int square) const
{
    const double u = lonLat.x() - kLon0;
    const double v = lonLat.y() - kLat0;
    const QPointF p(cx + a * u + b * v, cy + d * u + e * v);
    return square == 1 ? p + okinawaShift : p;
}

Result<BoardOutlines> loadBoardOutlines(const QString& mapDataFolder)
{
    BoardOutlines outlines;
    QStringList missing;
    QString firstReason;
    for (int n = 1; n <= kSquareCount; ++n) {
        const QString name = state::prefectureName(square(n).prefCode);
        auto rings = readRings(QDir(mapDataFolder).filePath(name));
        if (!rings) {
            missing << name;
            if (firstReason.isEmpty())
                firstReason = name + QStringLiteral("：") + rings.error();
            continue;
        }
        outlines.rings[static_cast<size_t>(n - 1)] = std::move(*rings);
    }
    if (!missing.isEmpty()) {
        const QString list = missing.size() == kSquareCount ? QStringLiteral("全47都道府県")
                                                            : missing.join(QStringLiteral("、"));
        return Error{QStringLiteral("盤の地図を作れません。MapData (%1) に次の都道府県の境界データがありません：%2（%3）")
                         .arg(QDir::toNativeSeparators(mapDataFolder), list, firstReason)};
    }
    return outlines;
}

double seedMargin(const BoardOutlines& outlines, const BoardProjection& projection, int squareNumber)
{
    const QPointF seed = square(squareNumber).seed;
    bool inside = false;
    double nearest = std::numeric_limits<double>::max();
    for (const QPolygonF& ring : outlines.rings[static_cast<size_t>(squareNumber - 1)]) {
        QPointF prev = projection.toPixel(ring.last(), squareNumber);
        for (const QPointF& geo : ring) {
            const QPointF cur = projection.toPixel(geo, squareNumber);
            if ((cur.y() > seed.y()) != (prev.y() > seed.y())) {
                const double x = prev.x() + (seed.y() - prev.y()) * (cur.x() - prev.x()) / (cur.y() - prev.y());
                if (x > seed.x())
                    inside = !inside;
            }
            nearest = std::min(nearest, segmentDistance(seed, prev, cur));
            prev = cur;
        }
    }
    return inside ? nearest : -nearest;
}

BoardProjection fitBoardProjection(const BoardOutlines& outlines)
{
    // A start near the right answer: about 52 pixels per degree of longitude, 58 per degree of
    // latitude, 137°E 35°N near the middle of the board.
    const std::array<double, 6> start{692.0, 668.0, 51.8, 0.0, 0.0, -57.6};
    const std::array<double, 6> step{8.0, 8.0, 2.0, 2.0, 2.0, 2.0};
    auto cost = [&](const std::array<double, 6>& p) {
        const BoardProjection projection = fromParameters(p);
        double total = 0;
        for (int n = 1; n <= kSquareCount; ++n)
            total -= std::min(seedMargin(outlines, projection, n), kWantedMargin);
        return total;
    };
    auto best = minimize(cost, start, step, 400);
    best = minimize(cost, best, {2.0, 2.0, 0.5, 0.5, 0.5, 0.5}, 300);
    BoardProjection projection = fromParameters(best);

    // 沖縄県 alone: the shift within 12 pixels that puts its seed deepest inside, the smallest
    // shift among equally good ones.
    if (seedMargin(outlines, projection, 1) < kWantedMargin) {
        BoardProjection trial = projection;
        double bestScore = -std::numeric_limits<double>::max();
        for (double dx = -12; dx <= 12; dx += 0.5) {
            for (double dy = -12; dy <= 12; dy += 0.5) {
                trial.okinawaShift = QPointF(dx, dy);
                const double score = std::min(seedMargin(outlines, trial, 1), kWantedMargin) - 0.02 * std::hypot(dx, dy);
                if (score > bestScore) {
                    bestScore = score;
                    projection.okinawaShift = trial.okinawaShift;
                }
            }
        }
    }
    return projection;
}

QImage drawBoard(const BoardOutlines& outlines, const BoardProjection& projection)
{
    platform::Canvas canvas(kBoardWidth, kBoardHeight);
    canvas.setBackColor(0xFFFFFF);
    canvas.clear();
    canvas.setForeColor(0);
    canvas.setDrawWidth(1);
    {
        platform::Canvas::Batch batch(canvas);
        QVector<QPoint> pixels;
        for (int n = 1; n <= kSquareCount; ++n) {
            for (const QPolygonF& ring : outlines.rings[static_cast<size_t>(n - 1)]) {
                pixels.clear();
                for (const QPointF& geo : ring) {
                    const QPoint p = projection.toPixel(geo, n).toPoint();
                    if (pixels.isEmpty() || pixels.last() != p)
                        pixels << p;
                }
                pixels << pixels.first();
                canvas.polyline(pixels.constData(), static_cast<int>(pixels.size()));
            }
        }
    }
    return canvas.image();
}

QVector<int> badSquares(const QImage& board)
{
    QVector<int> bad;
    for (int n = 1; n <= kSquareCount; ++n) {
        platform::Canvas scratch(board.width(), board.height());
        scratch.image() = board;
        constexpr int marker = 0x00FF01; // a colour the board never uses
        if (!scratch.floodFillBorder(square(n).seed, marker, 0)) {
            bad << n;
            continue;
        }
        for (int other = 1; other <= kSquareCount; ++other) {
            if (other != n && scratch.pixel(square(other).seed) == marker) {
                bad << n;
                break;
            }
        }
    }
    return bad;
}

Result<QImage> generateBoard(const QString& mapDataFolder)
{
    auto outlines = loadBoardOutlines(mapDataFolder);
    if (!outlines)
        return Error{outlines.error()};
    const BoardProjection projection = fitBoardProjection(*outlines);
    QImage board = drawBoard(*outlines, projection);
    const QVector<int> bad = badSquares(board);
    if (!bad.isEmpty()) {
        QStringList names;
        for (int n : bad)
            names << squareName(n);
        return Error{QStringLiteral("MapData の地図では盤のマスを区切れません（%1）。都道府県の境界データを確かめてください。")
                         .arg(names.join(QStringLiteral("、")))};
    }
    return board;
}

} // namespace miratos::games
