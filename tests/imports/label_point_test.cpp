// Label points land inside polygons whose extent centre does not: concave shapes, holes and
// slivers, each checked against the shape's own description rather than the code's inside test.
#include "imports/label_point.h"

#include <functional>
#include <gtest/gtest.h>

using miratos::imports::labelPointOf;
using miratos::imports::PointRing;

namespace imports = miratos::imports;

namespace {

struct Shape {
    const char* name;
    QVector<imports::PointRing> rings;
    std::function<bool(const QPointF&)> strictlyInside;
};

bool between(double lo, double v, double hi)
{
    return lo < v && v < hi;
}

TEST(LabelPoint, InsideShapesWhoseExtentCentreIsOutside)
{
    const Shape shapes[] = {
        {"U open to the north",
         {{{0, 0}, {3, 0}, {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}}},
         [](const QPointF& p) {
             return between(0, p.x(), 3) && between(0, p.y(), 3) && !(p.x() >= 1 && p.x() <= 2 && p.y() >= 1);
         }},
        {"C open to the east",
         {{{0, 0}, {3, 0}, {3, 1}, {1, 1}, {1, 2}, {3, 2}, {3, 3}, {0, 3}, {0, 0}}},
         [](const QPointF& p) {
             return between(0, p.x(), 3) && between(0, p.y(), 3) && !(p.x() >= 1 && p.y() >= 1 && p.y() <= 2);
         }},
        {"square with a hole in the middle",
         {{{0, 0}, {4, 0}, {4, 4}, {0, 4}}, {{1, 1}, {3, 1}, {3, 3}, {1, 3}}},
         [](const QPointF& p) {
             return between(0, p.x(), 4) && between(0, p.y(), 4) && !(p.x() >= 1 && p.x() <= 3 && p.y() >= 1 && p.y() <= 3);
         }},
        {"sliver along the diagonal",
         {{{0, 0}, {100, 100}, {100, 100.01}}},
         [](const QPointF& p) { return between(0, p.x(), 100) && between(p.x(), p.y(), p.x() * 1.0001); }},
    };
    for (const Shape& s : shapes) {
        SCOPED_TRACE(s.name);
        const QPointF label = imports::labelPointOf(s.rings);
        EXPECT_TRUE(s.strictlyInside(label)) << label.x() << " " << label.y();
    }
}

TEST(LabelPoint, RingWithoutAreaGivesItsFirstPoint)
{
    EXPECT_EQ(imports::labelPointOf({{{139, 35}, {140, 36}, {139, 35}}}), QPointF(139, 35));
    EXPECT_EQ(imports::labelPointOf({}), QPointF());
}

} // namespace
