#include "layers/label_declutter.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace miratos::layers {
namespace {

// A uniform grid over the rectangles of one obstacle array. A rectangle is entered in every cell
// it touches; a corner can only lie in rectangles entered in the corner's own cell, because the
// cell number is a non-decreasing function of the coordinate.
class GridIndex {
public:
    explicit GridIndex(const std::vector<LabelBox>& boxes) : m_boxes(&boxes)
    {
        if (boxes.empty())
            return;
        double sumW = 0, sumH = 0;
        m_originX = boxes.front().left;
        m_originY = boxes.front().top;
        for (const LabelBox& b : boxes) {
            sumW += std::abs(static_cast<double>(b.width));
            sumH += std::abs(static_cast<double>(b.height));
            m_originX = std::min(m_originX, static_cast<double>(b.left));
            m_originY = std::min(m_originY, static_cast<double>(b.top - b.height));
        }
        const double n = static_cast<double>(boxes.size());
        m_cellW = sumW / n > 0 ? sumW / n : 1;
        m_cellH = sumH / n > 0 ? sumH / n : 1;
        for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
            const LabelBox& b = boxes[static_cast<size_t>(i)];
            const float right = b.left + b.width;
            const float bottom = b.top - b.height;
            const long long x0 = cellX(std::min(b.left, right)), x1 = cellX(std::max(b.left, right));
            const long long y0 = cellY(std::min(bottom, b.top)), y1 = cellY(std::max(bottom, b.top));
            // A rectangle spanning very many cells (a stray giant label) goes to a side list
            // instead of flooding the grid.
            if ((x1 - x0 + 1) * (y1 - y0 + 1) > 64) {
                m_large.push_back(i);
                continue;
            }
            for (long long y = y0; y <= y1; ++y)
                for (long long x = x0; x <= x1; ++x)
                    m_cells[key(x, y)].push_back(i);
        }
    }

    bool anyCollision(const LabelBox& c, int skip, bool visibleOnly) const
    {
        const std::vector<LabelBox>& boxes = *m_boxes;
        const auto test = [&](int i) {
            const LabelBox& o = boxes[static_cast<size_t>(i)];
            return i != skip && (o.visible || !visibleOnly) && cornerInside(c, o);
        };
        for (int i : m_large)
            if (test(i))
                return true;
        const float right = c.left + c.width;
        const float bottom = c.top - c.height;
        const float xs[2] = {c.left, right};
        const float ys[2] = {c.top, bottom};
        for (float y : ys) {
            for (float x : xs) {
                const auto it = m_cells.find(key(cellX(x), cellY(y)));
                if (it == m_cells.end())
                    continue;
                for (int i : it->second)
                    if (test(i))
                        return true;
            }
        }
        return false;
    }

private:
    long long cellX(float x) const { return static_cast<long long>(std::floor((x - m_originX) / m_cellW)); }
    long long cellY(float y) const { return static_cast<long long>(std::floor((y - m_originY) / m_cellH)); }
    static long long key(long long x, long long y) { return (x << 32) ^ (y & 0xffffffffLL); }

    const std::vector<LabelBox>* m_boxes;
    double m_originX = 0, m_originY = 0, m_cellW = 1, m_cellH = 1;
    std::unordered_map<long long, std::vector<int>> m_cells;
    std::vector<int> m_large;
};

// The grid finder keeps one index per obstacle array; rectangles never change during a run,
// only visibilities, which are read at query time.
class GridFinder : public ObstacleFinder {
public:
    bool anyCollision(const LabelBox& candidate, const std::vector<LabelBox>& obstacles, int skip, bool visibleOnly) override
    {
        auto it = m_indexes.find(&obstacles);
        if (it == m_indexes.end())
            it = m_indexes.emplace(&obstacles, GridIndex(obstacles)).first;
        return it->second.anyCollision(candidate, skip, visibleOnly);
    }

private:
    std::unordered_map<const std::vector<LabelBox>*, GridIndex> m_indexes;
};

// One pass over a kind: first against its own kind, then against each further obstacle array
// while the candidate is still visible.
struct Obstacles {
    const std::vector<LabelBox>* boxes;
    bool visibleOnly;
};

void pass(std::vector<LabelBox>& candidates, const std::vector<Obstacles>& others, ObstacleFinder& finder)
{
    for (int k = 0; k < static_cast<int>(candidates.size()); ++k) {
        LabelBox& c = candidates[static_cast<size_t>(k)];
        if (finder.anyCollision(c, candidates, k, true))
            c.visible = false;
        for (const Obstacles& o : others) {
            if (!c.visible)
                break;
            if (finder.anyCollision(c, *o.boxes, -1, o.visibleOnly))
                c.visible = false;
        }
    }
}

} // namespace

bool ScanFinder::anyCollision(const LabelBox& candidate, const std::vector<LabelBox>& obstacles, int skip, bool visibleOnly)
{
    for (int i = 0; i < static_cast<int>(obstacles.size()); ++i) {
        const LabelBox& o = obstacles[static_cast<size_t>(i)];
        if (i != skip && (o.visible || !visibleOnly) && cornerInside(candidate, o))
            return true;
    }
    return false;
}

void declutter(DeclutterSet& set, const DeclutterOptions& options, ObstacleFinder* finder)
{
    GridFinder grid;
    ObstacleFinder& f = finder ? *finder : grid;
    const Obstacles municipalities{&set.municipalities, false}; // hidden ones stand in the way too
    const Obstacles stations{&set.stations, true};
    const Obstacles towns{&set.towns, true};

    std::vector<Obstacles> others;
    if (options.municipalities)
        others.push_back(municipalities);
    pass(set.stations, others, f);

    if (options.cityMode) {
        others.clear();
        if (options.stations)
            others.push_back(stations);
        if (options.municipalities)
            others.push_back(municipalities);
        pass(set.towns, others, f);
    }

    others.clear();
    if (options.stations)
        others.push_back(stations);
    if (options.cityMode && options.towns)
        others.push_back(towns);
    if (options.municipalities)
        others.push_back(municipalities);
    pass(set.facilityNames, others, f);
}

namespace {
std::vector<LabelBox> boxesOf(const mapview::LabelArray& array, const platform::Canvas& scale)
{
    std::vector<LabelBox> boxes;
    boxes.reserve(static_cast<size_t>(array.count() - 1));
    for (int i = 1; i < array.count(); ++i) {
        const QRectF r = array.mapRect(i, scale);
        boxes.push_back({static_cast<float>(r.left()), static_cast<float>(r.top()), static_cast<float>(r.width()),
                         static_cast<float>(r.height()), array.at(i).visible});
    }
    return boxes;
}

void applyVisibility(mapview::LabelArray& array, const std::vector<LabelBox>& boxes)
{
    for (int i = 1; i < array.count(); ++i) {
        const bool visible = boxes[static_cast<size_t>(i - 1)].visible;
        if (array.at(i).visible != visible)
            array.edit(i).visible = visible;
    }
}
} // namespace

void declutter(mapview::LabelLayer& labels, const platform::Canvas& scale, const DeclutterOptions& options)
{
    using mapview::LabelKind;
    DeclutterSet set{boxesOf(labels.array(LabelKind::Pref), scale), boxesOf(labels.array(LabelKind::Tiku), scale),
                     boxesOf(labels.array(LabelKind::Eki), scale), boxesOf(labels.array(LabelKind::Build), scale)};
    declutter(set, options);
    applyVisibility(labels.array(LabelKind::Tiku), set.towns);
    applyVisibility(labels.array(LabelKind::Eki), set.stations);
    applyVisibility(labels.array(LabelKind::Build), set.facilityNames);
}

} // namespace miratos::layers
