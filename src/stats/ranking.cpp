#include "stats/ranking.h"

#include "platform/number_text.h"
#include "stats/mdl_color.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace miratos::stats {
namespace {

using platform::formatSingle;

// Hues of "赤", "黄", "緑", "青" on the 0..240 scale.
constexpr int kSeriesHue[] = {0, 40, 80, 160};

// The value a bound text stands for once the dialog reads it back (infinity beyond single range).
float textValue(const QString& text)
{
    if (const auto v = platform::toSingle(text))
        return *v;
    return text.trimmed().startsWith(QLatin1Char('-')) ? -std::numeric_limits<float>::infinity()
                                                        : std::numeric_limits<float>::infinity();
}

// The text of the value or of the nearest single beyond it in the given direction whose seven
// digits, read back, do not cross the value. Seven digits are about a dozen singles apart at
// most, so the search is short.
QString boundTowards(float value, float direction)
{
    QString text = formatSingle(value);
    float probe = value;
    auto crosses = [&] { return direction < 0 ? textValue(text) > value : textValue(text) < value; };
    for (int step = 0; step < 64 && crosses() && std::isfinite(probe); ++step) {
        probe = std::nextafter(probe, direction);
        text = formatSingle(probe);
    }
    return text;
}

// An inner bound is the smallest value of its class and must stay inside it.
QString boundText(float value)
{
    return lowestBoundText(value);
}

// Bounds from the given inner bounds (lower(2..n)); the outer ones are statMin and statMax as
// the equal-width proposal writes them, and inner bounds are kept between them and in order.
RankProposal fromInnerBounds(const std::vector<float>& inner, float statMin, float statMax)
{
    RankProposal p;
    const QString minText = lowestBoundText(statMin);
    const QString maxText = topBoundText(statMax);
    p.lower.append(minText);
    QString previous = minText;
    for (float bound : inner) {
        QString text = boundText(bound);
        const float v = textValue(text);
        if (v < textValue(previous))
            text = previous;
        else if (v > textValue(maxText))
            text = maxText;
        p.lower.append(text);
        p.upper.append(text);
        previous = text;
    }
    p.upper.append(maxText);
    return p;
}

// Distinct sorted values with their counts.
struct Distinct {
    std::vector<double> value;
    std::vector<double> weight;
};

Distinct distinctSorted(QVector<float> values)
{
    std::sort(values.begin(), values.end());
    Distinct d;
    for (float v : values) {
        if (!d.value.empty() && d.value.back() == static_cast<double>(v)) {
            d.weight.back() += 1;
        } else {
            d.value.push_back(v);
            d.weight.push_back(1);
        }
    }
    return d;
}

// Optimal 1-D partition of weighted sorted values into k classes by the sum of squared
// deviations. The best start of the last class never moves left as the end moves right, which
// lets each level be solved by divide and conquer in O(m log m).
class JenksSolver {
public:
    explicit JenksSolver(const Distinct& d) : m_count(d.value.size())
    {
        // Values are shifted by their median so the prefix sums keep their precision.
        const double shift = d.value[m_count / 2];
        m_w.assign(m_count + 1, 0);
        m_s.assign(m_count + 1, 0);
        m_ss.assign(m_count + 1, 0);
        for (size_t i = 0; i < m_count; ++i) {
            const double x = d.value[i] - shift;
            m_w[i + 1] = m_w[i] + d.weight[i];
            m_s[i + 1] = m_s[i] + d.weight[i] * x;
            m_ss[i + 1] = m_ss[i] + d.weight[i] * x * x;
        }
    }

    // First index of classes 2..k.
    std::vector<size_t> classStarts(size_t k)
    {
        std::vector<double> previous(m_count), current(m_count);
        m_start.assign(k, std::vector<size_t>(m_count, 0));
        for (size_t i = 0; i < m_count; ++i)
            previous[i] = cost(0, i);
        for (size_t c = 1; c < k; ++c) {
            solve(c, c, m_count - 1, c, m_count - 1, previous, current);
            std::swap(previous, current);
        }
        std::vector<size_t> starts(k - 1);
        size_t end = m_count - 1;
        for (size_t c = k - 1; c >= 1; --c) {
            starts[c - 1] = m_start[c][end];
            end = starts[c - 1] - 1;
        }
        return starts;
    }

private:
    // Squared deviations of values first..last.
    double cost(size_t first, size_t last) const
    {
        const double w = m_w[last + 1] - m_w[first];
        const double s = m_s[last + 1] - m_s[first];
        return std::max(0.0, (m_ss[last + 1] - m_ss[first]) - s * s / w);
    }

    // Level c (0-based class index): best split for ends lo..hi, start candidates in optLo..optHi.
    void solve(size_t c, size_t lo, size_t hi, size_t optLo, size_t optHi, const std::vector<double>& previous,
               std::vector<double>& current)
    {
        if (lo > hi)
            return;
        const size_t mid = lo + (hi - lo) / 2;
        double best = std::numeric_limits<double>::infinity();
        size_t bestStart = optLo;
        for (size_t j = std::max(optLo, c); j <= std::min(optHi, mid); ++j) {
            const double total = previous[j - 1] + cost(j, mid);
            if (total < best) {
                best = total;
                bestStart = j;
            }
        }
        current[mid] = best;
        m_start[c][mid] = bestStart;
        if (mid > lo)
            solve(c, lo, mid - 1, optLo, bestStart, previous, current);
        solve(c, mid + 1, hi, bestStart, optHi, previous, current);
    }

    size_t m_count;
    std::vector<double> m_w, m_s, m_ss;
    std::vector<std::vector<size_t>> m_start;
};

} // namespace

RankProposal proposeEqualWidth(float statMin, float statMax, int n)
{
    RankProposal p;
    if (n < 1)
        return p;
    // Every intermediate stays a float: the texts must match what the dialog has always shown.
    const float step = (statMax - statMin) / static_cast<float>(n);
    p.lower.append(lowestBoundText(statMin));
    for (int i = 2; i <= n; ++i) {
        const float offset = static_cast<float>(i - 1) * step;
        const float bound = statMin + offset;
        p.lower.append(formatSingle(std::floor(bound)));
    }
    for (int i = 1; i < n; ++i)
        p.upper.append(p.lower.at(i));
    p.upper.append(topBoundText(statMax));
    return p;
}

QString lowestBoundText(float value)
{
    return boundTowards(value, -std::numeric_limits<float>::infinity());
}

QString topBoundText(float value)
{
    return boundTowards(value, std::numeric_limits<float>::infinity());
}

QString beyondSingleMessage()
{
    return QStringLiteral("ランキングできる数値の範囲（絶対値 %1 まで）を超える値があります。")
        .arg(formatSingle(std::numeric_limits<float>::max()));
}

std::optional<QString> rankRangeProblem(float statMin, float statMax)
{
    if (!std::isfinite(statMin) || !std::isfinite(statMax) || !std::isfinite(textValue(lowestBoundText(statMin))) ||
        !std::isfinite(textValue(topBoundText(statMax))))
        return beyondSingleMessage();
    if (!std::isfinite(statMax - statMin))
        return QStringLiteral("最小値から最大値までの幅が大きすぎてランキングできません（幅は %1 までにしてください）。")
            .arg(formatSingle(std::numeric_limits<float>::max()));
    return std::nullopt;
}

RankProposal proposeQuantile(QVector<float> values, float statMin, float statMax, int n)
{
    if (n < 1)
        return {};
    if (values.isEmpty())
        return proposeEqualWidth(statMin, statMax, n);
    std::sort(values.begin(), values.end());
    const qsizetype count = values.size();
    std::vector<float> inner;
    for (int i = 2; i <= n; ++i)
        inner.push_back(values.at(static_cast<qsizetype>((i - 1) * count / n)));
    return fromInnerBounds(inner, statMin, statMax);
}

RankProposal proposeJenks(QVector<float> values, float statMin, float statMax, int n)
{
    if (n < 1)
        return {};
    if (values.isEmpty())
        return proposeEqualWidth(statMin, statMax, n);
    const Distinct d = distinctSorted(std::move(values));
    const size_t classes = std::min(static_cast<size_t>(n), d.value.size());
    // With fewer distinct values than ranks the lowest ranks stay empty ([min, min)).
    std::vector<float> inner(static_cast<size_t>(n) - classes, statMin);
    if (classes > 1) {
        JenksSolver solver(d);
        for (size_t start : solver.classStarts(classes))
            inner.push_back(static_cast<float>(d.value[start]));
    }
    return fromInnerBounds(inner, statMin, statMax);
}

QVector<int> seriesColors(int series, int n)
{
    QVector<int> colors;
    if (series < 0 || series >= static_cast<int>(std::size(kSeriesHue)))
        return colors;
    for (int i = 1; i <= n; ++i)
        colors.append(hls(kSeriesHue[series], 240, rankLuminance(i, n)));
    return colors;
}

int rankLuminance(int i, int n)
{
    if (i == 1)
        return 230;
    if (i == n)
        return 50;
    return (n - i) * (180 / (n - 1)) + 50;
}

QVector<int> countPerRank(const QVector<float>& values, const QVector<float>& lower, const QVector<float>& upper)
{
    const qsizetype n = std::min(lower.size(), upper.size());
    QVector<int> counts(n, 0);
    for (float v : values) {
        for (qsizetype i = 0; i < n; ++i) {
            if (lower.at(i) <= v && v < upper.at(i)) {
                ++counts[i];
                break;
            }
        }
    }
    return counts;
}

} // namespace miratos::stats
