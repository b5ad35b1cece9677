#include "layers/label_declutter.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <random>

using namespace miratos::layers;

namespace {

LabelBox box(float left, float top, float width, float height, bool visible = true)
{
    return {left, top, width, height, visible};
}

std::vector<bool> visibility(const std::vector<LabelBox>& boxes)
{
    std::vector<bool> v;
    for (const LabelBox& b : boxes)
        v.push_back(b.visible);
    return v;
}

} // namespace

TEST(LabelDeclutter, CornerTestIsClosedAndNotSymmetric)
{
    const LabelBox longName = box(0, 10, 10, 2);
    const LabelBox shortInside = box(2, 9.5f, 3, 1);
    EXPECT_TRUE(cornerInside(shortInside, longName));
    EXPECT_FALSE(cornerInside(longName, shortInside));
    EXPECT_TRUE(cornerInside(box(10, 10, 5, 2), longName)); // touching along an edge
    EXPECT_TRUE(cornerInside(box(10, 12, 5, 2), longName)); // touching at a corner only
    EXPECT_FALSE(cornerInside(box(10.001f, 10, 5, 2), longName));
    // A label crossing another without any corner inside it does not collide.
    EXPECT_FALSE(cornerInside(box(-1, 9.5f, 12, 1), box(4, 12, 2, 6)));
}

TEST(LabelDeclutter, StationCases)
{
    struct Case {
        const char* name;
        std::vector<LabelBox> stations;
        std::vector<LabelBox> municipalities;
        bool municipalitiesChecked;
        std::vector<bool> visible;
    };
    const Case cases[] = {
        {"identical rectangles: the lower index gives way", {box(0, 1, 2, 1), box(0, 1, 2, 1)}, {}, false, {false, true}},
        {"a short name inside a long one gives way", {box(0, 1, 10, 1), box(2, 0.8f, 2, 0.5f)}, {}, false, {true, false}},
        {"an earlier label whose corner lies in a later one gives way", {box(1, 1, 2, 1), box(0, 1.5f, 10, 2)}, {}, false, {false, true}},
        {"a label hidden earlier in the loop no longer counts",
         {box(0, 1, 2, 1), box(1, 1, 2, 1), box(2.5f, 1, 2, 1)}, {}, false, {false, false, true}},
        {"edge contact with a municipality label", {box(2, 1, 2, 1)}, {box(0, 1, 2, 1)}, true, {false}},
        {"a hidden municipality label still stands in the way", {box(0, 1, 1, 1)}, {box(0, 1, 2, 1, false)}, true, {false}},
        {"municipality labels are ignored when not checked", {box(0, 1, 1, 1)}, {box(0, 1, 2, 1)}, false, {true}},
    };
    for (const Case& c : cases) {
        DeclutterSet set;
        set.stations = c.stations;
        set.municipalities = c.municipalities;
        declutter(set, {false, c.municipalitiesChecked, true, false});
        EXPECT_EQ(visibility(set.stations), c.visible) << c.name;
        EXPECT_EQ(visibility(set.municipalities), visibility(c.municipalities)) << c.name << ": municipality labels never change";
    }
}

TEST(LabelDeclutter, TownsTakePartOnlyInCityMode)
{
    DeclutterSet set;
    set.towns = {box(0, 1, 2, 1), box(0, 1, 2, 1)};
    set.facilityNames = {box(0.5f, 0.8f, 1, 0.5f)};
    declutter(set, {false, false, false, true});
    EXPECT_EQ(visibility(set.towns), (std::vector<bool>{true, true}));
    EXPECT_EQ(visibility(set.facilityNames), (std::vector<bool>{true})) << "no test against towns outside City mode";

    declutter(set, {true, false, false, true});
    EXPECT_EQ(visibility(set.towns), (std::vector<bool>{false, true}));
    EXPECT_EQ(visibility(set.facilityNames), (std::vector<bool>{false}));
}

TEST(LabelDeclutter, FacilityNamesGiveWayToStationsButNotToUncheckedOnes)
{
    DeclutterSet set;
    set.stations = {box(0, 1, 2, 1)};
    set.facilityNames = {box(1, 0.5f, 2, 1)};
    declutter(set, {false, false, false, false});
    EXPECT_TRUE(set.facilityNames[0].visible);
    declutter(set, {false, false, true, false});
    EXPECT_FALSE(set.facilityNames[0].visible);
    EXPECT_TRUE(set.stations[0].visible);
}

// The grid must hide exactly what trying every pair hides, on dense random sets of every kind.
TEST(LabelDeclutter, GridIndexMatchesTheQuadraticScan)
{
    std::mt19937 random(20261210);
    std::uniform_real_distribution<float> position(135.0f, 135.5f);
    std::uniform_real_distribution<float> width(0.002f, 0.05f);
    std::uniform_real_distribution<float> height(0.003f, 0.006f);
    auto randomBoxes = [&](int n) {
        std::vector<LabelBox> boxes;
        for (int i = 0; i < n; ++i) {
            // Some labels share an edge with the previous one exactly, where rounding matters.
            if (i > 0 && i % 7 == 0) {
                const LabelBox& p = boxes.back();
                boxes.push_back(box(p.left + p.width, p.top, width(random), p.height));
            } else {
                boxes.push_back(box(position(random), position(random) - 100.0f, width(random), height(random), i % 11 != 0));
            }
        }
        return boxes;
    };
    for (int round = 0; round < 20; ++round) {
        DeclutterSet set{randomBoxes(300), randomBoxes(1500), randomBoxes(800), randomBoxes(600)};
        DeclutterSet reference = set;
        const DeclutterOptions options{round % 2 == 0, round % 3 != 0, round % 4 != 0, round % 5 != 0};
        declutter(set, options);
        ScanFinder scan;
        declutter(reference, options, &scan);
        EXPECT_EQ(visibility(set.towns), visibility(reference.towns)) << round;
        EXPECT_EQ(visibility(set.stations), visibility(reference.stations)) << round;
        EXPECT_EQ(visibility(set.facilityNames), visibility(reference.facilityNames)) << round;
        const auto stations = visibility(reference.stations);
        EXPECT_GT(std::count(stations.begin(), stations.end(), false), 0) << "the sets must collide";
        EXPECT_GT(std::count(stations.begin(), stations.end(), true), 0);
    }
}
