#include "imports/outline_rings.h"

#include <QHash>
#include <QPair>

namespace miratos::imports {
namespace {

// Exact: QPointF's own comparison is fuzzy, and joints of a topology are exact copies.
bool samePoint(const QPointF& a, const QPointF& b)
{
    return a.x() == b.x() && a.y() == b.y();
}

} // namespace

QVector<TopoRing> chainOutline(const QVector<TopoLine>& lines, const QVector<int>& outlineLines)
{
    using Joint = QPair<double, double>;
    auto jointOf = [](const QPointF& p) { return Joint(p.x(), p.y()); };
    auto firstOf = [&](qsizetype i) { return lines.at(outlineLines.at(i)).points.first(); };
    auto lastOf = [&](qsizetype i) { return lines.at(outlineLines.at(i)).points.last(); };

    // Positions in outlineLines of the lines that start or end at each joint, in ascending order.
    QHash<Joint, QVector<qsizetype>> atJoint;
    for (qsizetype i = 0; i < outlineLines.size(); ++i) {
        atJoint[jointOf(firstOf(i))].append(i);
        if (!samePoint(lastOf(i), firstOf(i)))
            atJoint[jointOf(lastOf(i))].append(i);
    }

    QVector<bool> taken(outlineLines.size(), false);
    QVector<TopoRing> rings;
    for (qsizetype k = 0; k < outlineLines.size(); ++k) {
        if (taken.at(k))
            continue;
        taken[k] = true;
        TopoRing ring{TopoLineRef{outlineLines.at(k), false}};
        const QPointF start = firstOf(k);
        QPointF end = lastOf(k);
        while (!samePoint(end, start)) {
            qsizetype next = -1;
            for (qsizetype j : atJoint.value(jointOf(end))) {
                if (!taken.at(j)) {
                    next = j;
                    break;
                }
            }
            if (next < 0)
                break;
            taken[next] = true;
            const bool reversed = !samePoint(firstOf(next), end);
            ring.append(TopoLineRef{outlineLines.at(next), reversed});
            end = reversed ? firstOf(next) : lastOf(next);
        }
        rings.append(std::move(ring));
    }
    return rings;
}

} // namespace miratos::imports
