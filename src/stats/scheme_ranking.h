#pragma once
// A ranking with the settings beyond the specified dialog: class method with round bounds, and
// rank colours from a published scheme or the hue series.
#include "state/scheme_options.h"
#include "stats/ranking.h"

namespace miratos::stats {

enum class ClassMethod { EqualWidth, Quantile, Jenks };

// The bounds of the class method, rounded when options ask for round bounds.
RankProposal proposeBounds(ClassMethod method, bool niceBreaks, const QVector<float>& values, float statMin, float statMax, int n);

// Rank colours for ranks with these bounds: the published scheme of options (a diverging one
// centred when asked), else the hue series (0..3). Empty for an unknown scheme.
QVector<int> rankColors(const state::SchemeOptions& options, int series, const QVector<float>& lower, const QVector<float>& upper);

// Bound texts as numbers (unreadable ones as NaN, which no value falls in).
QVector<float> boundValues(const QStringList& texts);

} // namespace miratos::stats
