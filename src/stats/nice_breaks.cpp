#include "stats/nice_breaks.h"

#include "platform/number_text.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace miratos::stats {
namespace {

constexpr double kMantissas[] = {1, 2, 2.5, 5};

// A round step m × 10^e; multiples are formed from m and 10^|e| so that 0.1 × 3 prints "0.3".
struct Step {
    int mantissa = 0; // index into kMantissas
    int exponent = 0;

    double value() const { return times(1); }
    double times(double k) const
    {
        const double scale = std::pow(10.0, std::abs(exponent));
        return exponent < 0 ? k * kMantissas[mantissa] / scale : k * kMantissas[mantissa] * scale;
    }
    Step next() const { return mantissa == 3 ? Step{0, exponent + 1} : Step{mantissa + 1, exponent}; }
    Step previous() const { return mantissa == 0 ? Step{3, exponent - 1} : Step{mantissa - 1, exponent}; }
};

Step stepAtLeast(double width)
{
    Step s{0, static_cast<int>(std::floor(std::log10(width)))};
    // log10 may land one decade off for exact powers of ten; settle on the smallest step ≥ width.
    while (s.previous().value() >= width)
        s = s.previous();
    while (s.value() < width)
        s = s.next();
    return s;
}

QString text(double v)
{
    return platform::formatSingle(static_cast<float>(v));
}

} // namespace

double niceStepAtLeast(double width)
{
    return stepAtLeast(width).value();
}

RankProposal niceEqualWidth(float statMin, float statMax, int n)
{
    const double range = static_cast<double>(statMax) - statMin;
    if (n < 1 || !(range > 0) || !std::isfinite(range))
        return proposeEqualWidth(statMin, statMax, n);
    Step s = stepAtLeast(range / n);
    double first = std::floor(statMin / s.value());
    // Starting at a multiple below statMin can leave the last class short of statMax: one step up.
    for (int guard = 0; guard < 8 && s.times(first + n) < statMax; ++guard) {
        s = s.next();
        first = std::floor(statMin / s.value());
    }
    RankProposal p;
    for (int i = 0; i < n; ++i) {
        p.lower.append(text(s.times(first + i)));
        p.upper.append(text(s.times(first + i + 1)));
    }
    return p;
}

RankProposal roundBounds(const RankProposal& proposal, float statMin, float statMax)
{
    const qsizetype n = proposal.lower.size();
    const double range = static_cast<double>(statMax) - statMin;
    if (n < 1 || proposal.upper.size() != n || !(range > 0) || !std::isfinite(range))
        return proposal;
    // All bounds in order: statMin, the inner ones, statMax.
    std::vector<double> bounds{static_cast<double>(statMin)};
    for (qsizetype i = 1; i < n; ++i)
        bounds.push_back(platform::toSingle(proposal.lower.at(i)).value_or(statMin));
    bounds.push_back(statMax);
    // From the equal width downwards, the first step that merges no two distinct bounds.
    const double width = range / static_cast<double>(n);
    Step s = stepAtLeast(width);
    if (s.value() > width)
        s = s.previous();
    for (int guard = 0; guard < 80; ++guard, s = s.previous()) {
        // Outer bounds outwards, inner ones to the nearest multiple.
        std::vector<double> rounded;
        for (size_t i = 0; i < bounds.size(); ++i) {
            const double k = bounds[i] / s.value();
            rounded.push_back(s.times(i == 0 ? std::floor(k) : i + 1 == bounds.size() ? std::ceil(k) : std::round(k)));
        }
        bool apart = true;
        for (size_t i = 1; i < bounds.size(); ++i) {
            if (bounds[i] > bounds[i - 1] && !(rounded[i] > rounded[i - 1]))
                apart = false;
        }
        if (!apart)
            continue;
        RankProposal p;
        for (size_t i = 0; i + 1 < rounded.size(); ++i) {
            p.lower.append(text(rounded[i]));
            p.upper.append(text(rounded[i + 1]));
        }
        return p;
    }
    return proposal;
}

} // namespace miratos::stats
