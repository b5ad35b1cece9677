#pragma once
// Class bounds and colour ramps of the ranking dialog.
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace miratos::stats {

// Bound texts of ranks 1..n as the dialog's boxes show them (lower[i-1], upper[i-1]).
struct RankProposal {
    QStringList lower;
    QStringList upper;
};

// Equal widths, single precision: lower(1) = min, lower(i) = floor(min + (i-1)·step), upper(i) =
// lower(i+1), upper(n) = max; numbers as single-precision general text. The outer texts are
// rounded outwards where seven digits would cut a value off (see lowestBoundText).
RankProposal proposeEqualWidth(float statMin, float statMax, int n);

// Text of the lowest bound: read back in single precision it is at or below value. Seven digits
// can round a value of eight or more digits up past itself (12345678 → "1.234568E+07").
QString lowestBoundText(float value);
// Text of the top bound: read back in single precision it is at or above value.
QString topBoundText(float value);
// Why the values from statMin to below statMax cannot be ranked in single precision (a bound or
// the width of the range beyond its largest number), or nothing.
std::optional<QString> rankRangeProblem(float statMin, float statMax);
// The message for a value that no single-precision number holds.
QString beyondSingleMessage();
// Equal counts: inner bounds at the quantiles of the values (each rank gets about the same
// number of regions); outer bounds statMin and statMax as above. Equal values stay in one rank,
// so ties and few distinct values leave ranks empty. Without values: the equal-width proposal.
RankProposal proposeQuantile(QVector<float> values, float statMin, float statMax, int n);
// Natural breaks (Jenks): inner bounds where the values' within-class variance is smallest; an
// inner bound is the smallest value of its class so that it belongs to that class (its text is
// rounded down where seven digits would round it up past the value). With fewer distinct values
// than ranks every value gets a class of its own and the lowest ranks stay empty ([min, min)).
// Without values: the equal-width proposal.
RankProposal proposeJenks(QVector<float> values, float statMin, float statMax, int n);

// The colour series "赤", "黄", "緑", "青" (index 0..3) for n ranks, rank 1 lightest.
QVector<int> seriesColors(int series, int n);
// Luminance (0..240) of rank i of n.
int rankLuminance(int i, int n);

// Number of values in each rank (lower ≤ v < upper, first matching rank), ranks 1..n.
QVector<int> countPerRank(const QVector<float>& values, const QVector<float>& lower, const QVector<float>& upper);

} // namespace miratos::stats
