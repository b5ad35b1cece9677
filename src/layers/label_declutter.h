#pragma once
// "属性非重": hides (never moves) name labels whose corner lies on another label, stations before
// towns before facility names; municipality labels are never hidden but stand in the way.
#include "mapview/labels.h"

#include <vector>

namespace miratos::layers {

// A label's rectangle in map units, single precision: x from left to left + width, y from
// top - height up to top (latitude grows upwards).
struct LabelBox {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    bool visible = true;
};

// A collides with B when one of A's corners lies in B's closed rectangle. Not symmetric: a small
// label inside a large one collides with it, the large one not with the small one.
inline bool cornerInside(const LabelBox& a, const LabelBox& b)
{
    const float aRight = a.left + a.width;
    const float aBottom = a.top - a.height;
    const float bRight = b.left + b.width;
    const float bBottom = b.top - b.height;
    const auto inX = [&](float x) { return b.left <= x && x <= bRight; };
    const auto inY = [&](float y) { return bBottom <= y && y <= b.top; };
    return (inX(a.left) || inX(aRight)) && (inY(a.top) || inY(aBottom));
}

// The label kinds that take part; element i of each vector is label i + 1 of its array.
struct DeclutterSet {
    std::vector<LabelBox> municipalities; // obstacles only
    std::vector<LabelBox> towns;
    std::vector<LabelBox> stations;
    std::vector<LabelBox> facilityNames;
};

struct DeclutterOptions {
    bool cityMode = false;     // town labels take part only in City mode
    bool municipalities = false; // "市区町村名" checked
    bool stations = false;     // "駅名" checked
    bool towns = false;        // "町丁名" checked
};

// Finds whether a candidate collides with any obstacle of one array.
class ObstacleFinder {
public:
    virtual ~ObstacleFinder() = default;
    // skip: the candidate's own index in the obstacles when they are its own array, else -1.
    // With visibleOnly false, hidden obstacles count too.
    virtual bool anyCollision(const LabelBox& candidate, const std::vector<LabelBox>& obstacles, int skip, bool visibleOnly) = 0;
};

// Tries every obstacle (quadratic in the number of labels): the reference the index must match.
class ScanFinder : public ObstacleFinder {
public:
    bool anyCollision(const LabelBox& candidate, const std::vector<LabelBox>& obstacles, int skip, bool visibleOnly) override;
};

// Hides labels of the set in the fixed order of passes. Without a finder a uniform grid over
// the obstacle rectangles finds the candidates, so tens of thousands of labels take milliseconds.
void declutter(DeclutterSet& set, const DeclutterOptions& options, ObstacleFinder* finder = nullptr);

// The same on the map's label layer at the current canvas scale (only visibilities change).
void declutter(mapview::LabelLayer& labels, const platform::Canvas& scale, const DeclutterOptions& options);

} // namespace miratos::layers
