#pragma once
// The outline of a prefecture: the lines that its rings use an odd number of times (those with a
// municipality on one side only), chained end to start into closed rings.
#include "imports/boundary_topology.h"

namespace miratos::imports {

// Chains the given lines (indices into lines, each with at least one point) into rings. Each
// ring starts with the first free line walked forwards; at every joint the continuation is the
// first free line, in the given order, that starts or ends there, walked so that it leaves the
// joint. A line whose ends meet is a ring of its own. Points match only when exactly equal. A
// chain that finds no continuation ends there, open, so that broken input cannot loop.
QVector<TopoRing> chainOutline(const QVector<TopoLine>& lines, const QVector<int>& outlineLines);

} // namespace miratos::imports
