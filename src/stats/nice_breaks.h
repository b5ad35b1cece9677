#pragma once
// Round class bounds ("きりのよい値"): every bound a multiple of a step of 1, 2, 2.5 or 5 × 10^k.
#include "stats/ranking.h"

namespace miratos::stats {

// The smallest step of 1, 2, 2.5 or 5 × 10^k at or above width (width > 0).
double niceStepAtLeast(double width);

// Equal widths with a round step: the smallest round step s whose n classes, from the multiple of
// s at or below statMin, reach statMax. Without a range: the equal-width proposal.
RankProposal niceEqualWidth(float statMin, float statMax, int n);

// Any proposal with round bounds: the inner ones rounded to the nearest multiple of the coarsest
// round step, no coarser than the equal width, that keeps apart the bounds that were apart; the
// outer ones rounded outwards to that step. Without a range the proposal is returned unchanged.
RankProposal roundBounds(const RankProposal& proposal, float statMin, float statMax);

} // namespace miratos::stats
