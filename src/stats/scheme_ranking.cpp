#include "stats/scheme_ranking.h"

#include "platform/number_text.h"
#include "state/color_schemes.h"
#include "stats/nice_breaks.h"

#include <limits>

namespace miratos::stats {

RankProposal proposeBounds(ClassMethod method, bool niceBreaks, const QVector<float>& values, float statMin, float statMax, int n)
{
    switch (method) {
    case ClassMethod::Quantile: {
        const RankProposal p = proposeQuantile(values, statMin, statMax, n);
        return niceBreaks ? roundBounds(p, statMin, statMax) : p;
    }
    case ClassMethod::Jenks: {
        const RankProposal p = proposeJenks(values, statMin, statMax, n);
        return niceBreaks ? roundBounds(p, statMin, statMax) : p;
    }
    case ClassMethod::EqualWidth: break;
    }
    return niceBreaks ? niceEqualWidth(statMin, statMax, n) : proposeEqualWidth(statMin, statMax, n);
}

QVector<int> rankColors(const state::SchemeOptions& options, int series, const QVector<float>& lower, const QVector<float>& upper)
{
    const int n = static_cast<int>(std::min(lower.size(), upper.size()));
    if (options.scheme.isEmpty())
        return seriesColors(series, n);
    const state::SchemeInfo* scheme = state::findScheme(options.scheme);
    if (!scheme)
        return {};
    if (scheme->kind == state::SchemeKind::Diverging && options.centred)
        return state::centredColors(options.scheme, lower, upper, options.centre);
    return state::schemeColors(options.scheme, n);
}

QVector<float> boundValues(const QStringList& texts)
{
    QVector<float> out;
    for (const QString& t : texts)
        out.append(platform::toSingle(t).value_or(std::numeric_limits<float>::quiet_NaN()));
    return out;
}

} // namespace miratos::stats
