#include "layers/label_placement.h"

#include "mapview/name_labels.h"
#include "mapview/ring_geometry.h"
#include "platform/canvas.h"
#include "platform/number_text.h"

#include <QFontMetrics>
#include <QPolygonF>
#include <QHash>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <unordered_map>

namespace miratos::layers {
namespace {

using mapview::LabelKind;

// The rectangles taken so far, entered in every cell of a fixed grid they touch; a candidate is
// tested only against the rectangles of its own cells. A rectangle can be given up again.
class TakenGrid {
public:
    explicit TakenGrid(double cell) : m_cell(cell) {}

    bool free(const QRectF& r, int ignore = -1) const
    {
        bool clash = false;
        visit(r, [&](long long key) {
            const auto it = m_cells.find(key);
            if (it == m_cells.end())
                return;
            for (int i : it->second)
                if (i != ignore && m_live[static_cast<size_t>(i)] && m_rects[static_cast<size_t>(i)].intersects(r))
                    clash = true;
        });
        return !clash;
    }

    // The owners of the live rectangles r meets, each once, up to limit of them.
    std::vector<int> blockers(const QRectF& r, size_t limit) const
    {
        std::vector<int> out;
        visit(r, [&](long long key) {
            const auto it = m_cells.find(key);
            if (it == m_cells.end() || out.size() >= limit)
                return;
            for (int i : it->second)
                if (m_live[static_cast<size_t>(i)] && m_rects[static_cast<size_t>(i)].intersects(r) &&
                    std::find(out.begin(), out.end(), m_owner[static_cast<size_t>(i)]) == out.end())
                    out.push_back(m_owner[static_cast<size_t>(i)]);
        });
        return out;
    }

    // Enters r for an owner and returns its slot.
    int take(const QRectF& r, int owner)
    {
        const int index = static_cast<int>(m_rects.size());
        m_rects.push_back(r);
        m_owner.push_back(owner);
        m_live.push_back(true);
        visit(r, [&](long long key) { m_cells[key].push_back(index); });
        return index;
    }

    void release(int slot) { m_live[static_cast<size_t>(slot)] = false; }

private:
    template <typename F>
    void visit(const QRectF& r, F&& f) const
    {
        const long long x0 = static_cast<long long>(std::floor(r.left() / m_cell));
        const long long x1 = static_cast<long long>(std::floor(r.right() / m_cell));
        const long long y0 = static_cast<long long>(std::floor(r.top() / m_cell));
        const long long y1 = static_cast<long long>(std::floor(r.bottom() / m_cell));
        for (long long y = y0; y <= y1; ++y)
            for (long long x = x0; x <= x1; ++x)
                f((x << 32) ^ (y & 0xffffffffLL));
    }

    double m_cell;
    std::vector<QRectF> m_rects;
    std::vector<int> m_owner;
    std::vector<char> m_live;
    std::unordered_map<long long, std::vector<int>> m_cells;
};

double distanceToSegment(const QPointF& p, const QPointF& a, const QPointF& b)
{
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x() - a.x()) * dx + (p.y() - a.y()) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x() - (a.x() + t * dx), p.y() - (a.y() + t * dy));
}

// Pixel size of a map degree on the canvas.
struct PixelScale {
    double degX, degY;
    explicit PixelScale(const platform::Canvas& c)
        : degX(std::abs(c.scaleRight() - c.scaleLeft()) / c.width()), degY(std::abs(c.scaleTop() - c.scaleBottom()) / c.height())
    {
    }
};

} // namespace

int placeItems(std::vector<PlacementItem>& items, const QRectF& bounds)
{
    double cell = 0;
    size_t sized = 0;
    for (const PlacementItem& item : items) {
        if (!item.candidates.empty()) {
            cell += item.candidates.front().height();
            ++sized;
        }
    }
    TakenGrid taken(sized && cell > 0 ? 2 * cell / static_cast<double>(sized) : 32);
    std::vector<size_t> order(items.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (items[a].priority != items[b].priority)
            return items[a].priority < items[b].priority;
        return items[a].weight > items[b].weight;
    });
    std::vector<int> slot(items.size(), -1);
    int placed = 0;
    for (size_t index : order) {
        PlacementItem& item = items[index];
        item.chosen = -1;
        for (size_t c = 0; c < item.candidates.size(); ++c) {
            const QRectF& r = item.candidates[c];
            if (bounds.contains(r) && taken.free(r)) {
                slot[index] = taken.take(r, static_cast<int>(index));
                item.chosen = static_cast<int>(c);
                ++placed;
                break;
            }
        }
    }
    // A second pass for the names left out: where one name of the same kind blocks a place, that
    // name moves to another free place of its own, and both are shown.
    for (size_t index : order) {
        PlacementItem& item = items[index];
        for (size_t c = 0; c < item.candidates.size() && item.chosen < 0; ++c) {
            const QRectF& r = item.candidates[c];
            if (!bounds.contains(r))
                continue;
            const std::vector<int> in = taken.blockers(r, 2);
            if (in.size() != 1 || items[static_cast<size_t>(in.front())].priority != item.priority)
                continue;
            const size_t other = static_cast<size_t>(in.front());
            PlacementItem& moved = items[other];
            for (size_t m = 0; m < moved.candidates.size(); ++m) {
                const QRectF& place = moved.candidates[m];
                if (static_cast<int>(m) == moved.chosen || !bounds.contains(place) || place.intersects(r) ||
                    !taken.free(place, slot[other]))
                    continue;
                taken.release(slot[other]);
                slot[other] = taken.take(place, static_cast<int>(other));
                moved.chosen = static_cast<int>(m);
                slot[index] = taken.take(r, static_cast<int>(index));
                item.chosen = static_cast<int>(c);
                ++placed;
                break;
            }
        }
    }
    return placed;
}

std::vector<QRectF> pointCandidates(const QPointF& p, double w, double h, double gap)
{
    const double midY = p.y() - h / 2, midX = p.x() - w / 2;
    const double right = p.x() + gap, left = p.x() - gap - w, above = p.y() - gap - h, below = p.y() + gap;
    return {QRectF(right, midY, w, h), QRectF(left, midY, w, h), QRectF(midX, above, w, h), QRectF(midX, below, w, h),
            QRectF(right, above, w, h), QRectF(left, above, w, h), QRectF(right, below, w, h), QRectF(left, below, w, h)};
}

double planarArea(const QVector<QPointF>& ring)
{
    double twice = 0;
    for (qsizetype i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
        twice += (ring.at(j).x() - ring.at(i).x()) * (ring.at(j).y() + ring.at(i).y());
    return std::abs(twice) / 2;
}

QVector<QPointF> interiorPoints(const QVector<QPointF>& ring, int count)
{
    if (ring.size() < 3 || count <= 0)
        return {};
    const QRectF b = QPolygonF(ring).boundingRect();
    // The edge distance is taken to a thinned ring: enough to rank samples, cheap on long rings.
    const qsizetype step = std::max<qsizetype>(1, ring.size() / 128);
    constexpr int kGrid = 6;
    std::vector<std::pair<double, QPointF>> samples;
    for (int gy = 0; gy < kGrid; ++gy) {
        for (int gx = 0; gx < kGrid; ++gx) {
            const QPointF p(b.left() + b.width() * (gx + 0.5) / kGrid, b.top() + b.height() * (gy + 0.5) / kGrid);
            if (!mapview::insideRing(p, ring))
                continue;
            double nearest = std::numeric_limits<double>::max();
            for (qsizetype i = 0; i < ring.size(); i += step) {
                const qsizetype j = std::min(ring.size() - 1, i + step);
                nearest = std::min(nearest, distanceToSegment(p, ring.at(i), ring.at(j)));
            }
            samples.emplace_back(nearest, p);
        }
    }
    std::stable_sort(samples.begin(), samples.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    QVector<QPointF> points;
    for (size_t i = 0; i < samples.size() && static_cast<int>(i) < count; ++i)
        points.append(samples[i].second);
    return points;
}

std::vector<RegionShape> regionShapes(const mapview::MapTables& t, mapview::MapMode mode)
{
    std::vector<RegionShape> shapes;
    auto keepLarger = [](RegionShape& shape, QVector<QPointF> ring) {
        const double area = planarArea(ring);
        shape.area += area;
        if (shape.largestRing.isEmpty() || area > planarArea(shape.largestRing))
            shape.largestRing = std::move(ring);
    };
    if (mode == mapview::MapMode::Japan) {
        // Prefecture rings are those whose first line key starts with the prefecture's code.
        QHash<QString, size_t> byCode;
        for (const auto& row : t.lvwUsePref) {
            byCode.insert(row.key.right(2), shapes.size()); // "K13" -> "13"
            shapes.push_back({{}, 0, row.key.right(2)});
        }
        size_t index = 0;
        for (const auto& row : t.lvwOrgPrefLine) {
            QString first = row.text;
            if (first.startsWith(u'_'))
                first.remove(0, 1);
            const auto it = byCode.constFind(first.left(2));
            if (it != byCode.constEnd() && index < t.orgPrefLineRings.size())
                keepLarger(shapes[*it], mapview::ringPoints(t, t.orgPrefLineRings[index]));
            ++index;
        }
    } else if (mode == mapview::MapMode::Pref) {
        QHash<QString, QVector<QVector<QPointF>>> rings;
        for (const mapview::TikuRecord& rec : t.TikuRecords) {
            if (rec.polygonKey.left(2) != rec.code.left(2))
                continue;
            const int index = t.polygonIndex.value(rec.polygonKey, -1);
            if (index >= 0)
                rings[rec.code].append(mapview::ringPoints(t, t.PolygonRecords[static_cast<size_t>(index)].lines));
        }
        for (const auto& row : t.lvwUseTiku) {
            RegionShape shape;
            // A further label of a big island has no key: it keeps its own point only.
            if (row.key.startsWith(u'G')) {
                shape.code = row.key.mid(1);
                for (const auto& ring : rings.value(shape.code))
                    keepLarger(shape, ring);
            }
            shapes.push_back(std::move(shape));
        }
    }
    return shapes;
}

QStringList wardCaptions(const QStringList& nameParts, PlacementOptions::WardStyle style)
{
    QStringList captions;
    QHash<QString, int> seen;
    for (const QString& parts : nameParts) {
        captions << mapview::municipalityCaption(parts);
        ++seen[captions.back()];
    }
    if (style == PlacementOptions::WardStyle::Off)
        return captions;
    for (qsizetype i = 0; i < captions.size(); ++i) {
        const QString ward = captions.at(i);
        if (seen.value(ward) < 2 || !ward.endsWith(u'区'))
            continue;
        const QStringList parts = nameParts.at(i).split(u'@');
        QString city;
        for (const QString& part : parts)
            if (part != ward && part.endsWith(u'市'))
                city = part;
        if (city.isEmpty())
            continue; // a ward of Tokyo stands alone
        captions[i] = city + (style == PlacementOptions::WardStyle::TwoLines ? QStringLiteral("\n") : QString()) + ward;
    }
    return captions;
}

void qualifyWards(mapview::LabelLayer& labels, const mapview::MapTables& t, mapview::MapMode mode, PlacementOptions::WardStyle style,
                  const platform::Canvas& scale)
{
    mapview::LabelArray& lbl = labels.lblPref();
    if (mode != mapview::MapMode::Pref || style == PlacementOptions::WardStyle::Off || lbl.count() - 1 != t.lvwUseTiku.count())
        return;
    // Only names still shown count as repeats, and only names as they were made are changed (a
    // city shown instead of its wards keeps its name).
    QStringList parts;
    std::vector<int> shown;
    for (int i = 1; i < lbl.count(); ++i) {
        const QString p = t.lvwUseTiku.at(i).subItem(1);
        if (lbl.at(i).visible && lbl.at(i).caption == mapview::municipalityCaption(p)) {
            parts << p;
            shown.push_back(i);
        }
    }
    const QStringList captions = wardCaptions(parts, style);
    const PixelScale px(scale);
    for (size_t k = 0; k < shown.size(); ++k) {
        const int i = shown[k];
        const QString& caption = captions.at(static_cast<qsizetype>(k));
        if (lbl.at(i).caption == caption)
            continue;
        // The label stays centred on its point as it grows (whole-pixel halves, as it was made).
        const QSize before = lbl.at(i).pixelSize;
        lbl.setCaption(i, caption);
        mapview::Label& l = lbl.edit(i);
        l.left -= (l.pixelSize.width() / 2 - before.width() / 2) * px.degX;
        l.top += (l.pixelSize.height() / 2 - before.height() / 2) * px.degY;
    }
}

void cityInsteadOfWards(mapview::LabelLayer& labels, const mapview::MapTables& t, mapview::MapMode mode, const platform::Canvas& scale,
                        int spanPx)
{
    mapview::LabelArray& lbl = labels.lblPref();
    if (mode != mapview::MapMode::Pref || lbl.count() - 1 != t.lvwUseTiku.count())
        return;
    // The wards of each city, by the city's name parts before the ward.
    QHash<QString, std::vector<int>> wards;
    QHash<QString, QString> cityName;
    for (int i = 1; i < lbl.count(); ++i) {
        const QString parts = t.lvwUseTiku.at(i).subItem(1);
        const QString ward = mapview::municipalityCaption(parts);
        if (!ward.endsWith(u'区'))
            continue;
        for (const QString& part : parts.split(u'@')) {
            if (part != ward && part.endsWith(u'市')) {
                const QString key = parts.section(u'@', 0, 0) + u'@' + part;
                wards[key].push_back(i);
                cityName.insert(key, part);
            }
        }
    }
    const double unitX = (scale.scaleRight() - scale.scaleLeft()) / scale.width();
    const double unitY = (scale.scaleTop() - scale.scaleBottom()) / scale.height();
    for (auto it = wards.cbegin(); it != wards.cend(); ++it) {
        const std::vector<int>& members = it.value();
        if (members.size() < 2)
            continue;
        double x0 = std::numeric_limits<double>::max(), y0 = x0, x1 = -x0, y1 = -x0;
        QPointF sum;
        for (int i : members) {
            const QPointF c = QRectF(mapview::labelPixelRect(lbl.at(i), scale)).center();
            x0 = std::min(x0, c.x());
            x1 = std::max(x1, c.x());
            y0 = std::min(y0, c.y());
            y1 = std::max(y1, c.y());
            sum += c;
        }
        if (std::max(x1 - x0, y1 - y0) > spanPx)
            continue;
        const QPointF mid = sum / static_cast<double>(members.size());
        const int first = members.front();
        lbl.setCaption(first, cityName.value(it.key()));
        mapview::Label& l = lbl.edit(first);
        l.tooltip = l.caption;
        l.left = scale.scaleLeft() + std::round(mid.x() - l.pixelSize.width() / 2) * unitX;
        l.top = scale.scaleTop() - std::round(mid.y() - l.pixelSize.height() / 2) * unitY;
        for (size_t k = 1; k < members.size(); ++k)
            lbl.edit(members[k]).visible = false;
    }
}

std::vector<QVector<QPointF>> loadedRings(const mapview::MapTables& t, mapview::MapMode mode)
{
    std::vector<QVector<QPointF>> rings;
    if (mode == mapview::MapMode::Japan) {
        for (const auto& ring : t.orgPrefLineRings)
            rings.push_back(mapview::ringPoints(t, ring));
    } else if (mode == mapview::MapMode::Pref) {
        for (const mapview::PolygonRecord& p : t.PolygonRecords)
            rings.push_back(mapview::ringPoints(t, p.lines));
    } else {
        for (const mapview::DistrictRecord& d : t.DistrictRecords)
            if (!d.rings.isEmpty())
                rings.push_back(d.rings.front());
    }
    return rings;
}

void filterStations(mapview::LabelLayer& labels, const std::vector<QVector<QPointF>>* rings, bool mainOnly, const std::vector<int>& lines)
{
    mapview::LabelArray& eki = labels.array(LabelKind::Eki);
    std::vector<QRectF> bounds;
    if (rings)
        for (const auto& ring : *rings)
            bounds.push_back(ring.isEmpty() ? QRectF() : QPolygonF(ring).boundingRect());
    for (int i = 1; i < eki.count(); ++i) {
        const mapview::Label& l = eki.at(i);
        if (!l.visible)
            continue;
        bool keep = !mainOnly || (static_cast<size_t>(i - 1) < lines.size() && lines[static_cast<size_t>(i - 1)] >= 2);
        if (keep && rings) {
            // The label's corner is the station's point.
            const QPointF p(l.left, l.top);
            keep = false;
            for (size_t r = 0; r < bounds.size() && !keep; ++r) {
                const QRectF& b = bounds[r];
                keep = p.x() >= b.left() && p.x() <= b.right() && p.y() >= b.top() && p.y() <= b.bottom() &&
                       mapview::insideRing(p, (*rings)[r]);
            }
        }
        if (!keep)
            eki.edit(i).visible = false;
    }
}

double relativeLuminance(int colorValue)
{
    const QColor c = platform::toQColor(colorValue);
    auto linear = [](int channel) {
        const double s = channel / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}

int contrastingTextColor(int fillColor)
{
    const double l = relativeLuminance(fillColor);
    const double withBlack = (l + 0.05) / 0.05;
    const double withWhite = 1.05 / (l + 0.05);
    return withBlack >= withWhite ? 0 : 16777215;
}

QRect inkRect(const mapview::LabelArray& array, const mapview::Label& label, const platform::Canvas& scale)
{
    const QRect r = mapview::labelPixelRect(label, scale);
    // The line height holds leading above and below the glyphs; the ink of a CJK line is about
    // one em from ascent − em·0.88 down. Measured once per font on the canvas' 96 dpi.
    static const QImage device(1, 1, QImage::Format_RGB32);
    const QFontMetrics m(array.style().font, &device);
    const QRect glyph = m.tightBoundingRect(QStringLiteral("国g"));
    const int top = std::max(0, m.ascent() + glyph.top() - 1);
    const int bottom = std::max(0, m.height() - (m.ascent() + glyph.bottom() + 2));
    if (top + bottom >= r.height())
        return r;
    return r.adjusted(0, top, 0, -bottom);
}

namespace {

// Candidate rectangles of one label in pixels, best first.
std::vector<QRectF> candidatesOf(LabelKind kind, const mapview::Label& l, const platform::Canvas& scale, const RegionShape* shape,
                                 mapview::MapMode mode)
{
    const QRect now = mapview::labelPixelRect(l, scale);
    const double w = now.width(), h = now.height();
    if (kind == LabelKind::Pref || kind == LabelKind::Tiku) {
        std::vector<QRectF> out{QRectF(now)};
        if (shape && !shape->largestRing.isEmpty()) {
            for (const QPointF& p : interiorPoints(shape->largestRing, 8)) {
                const QPoint px = scale.toPixel(p.x(), p.y());
                // City-mode municipality names hang from their point; the others are centred.
                const bool hang = mode == mapview::MapMode::City && kind == LabelKind::Pref;
                out.emplace_back(hang ? px.x() : px.x() - now.width() / 2, hang ? px.y() : px.y() - now.height() / 2, w, h);
            }
        }
        return out;
    }
    // A station's point is its label's corner; a facility name starts right of its marker.
    const QPointF anchor = kind == LabelKind::Eki ? QPointF(now.left(), now.top()) : QPointF(now.left(), now.center().y());
    // Whole pixels, as labels are painted, so that rectangles apart stay apart on the canvas.
    // The eight places next to the point, then the same half a line and a line further out.
    const double gap = kind == LabelKind::Eki ? 2 : 1;
    std::vector<QRectF> out;
    for (const double further : {0.0, h / 2, h})
        for (QRectF r : pointCandidates(anchor, w, h, gap + further)) {
            r.moveTopLeft(QPointF(std::round(r.left()), std::round(r.top())));
            out.push_back(r);
        }
    return out;
}

} // namespace

int placeLabels(mapview::LabelLayer& labels, const platform::Canvas& scale, const PlacementInput& input, const PlacementOptions& options)
{
    std::vector<RegionShape> shapes;
    if (input.tables)
        shapes = regionShapes(*input.tables, input.mode);
    struct Ref {
        LabelKind kind;
        int index;
        double inkTop; // pixels from the label's top to its ink
    };
    std::vector<PlacementItem> items;
    std::vector<Ref> refs;
    const LabelKind kinds[] = {LabelKind::Pref, LabelKind::Tiku, LabelKind::Eki, LabelKind::Build};
    for (int priority = 0; priority < 4; ++priority) {
        const LabelKind kind = kinds[priority];
        const mapview::LabelArray& a = labels.array(kind);
        for (int i = 1; i < a.count(); ++i) {
            const mapview::Label& l = a.at(i);
            if (!l.visible || l.caption.isEmpty())
                continue;
            const size_t k = static_cast<size_t>(i - 1);
            const RegionShape* shape = kind == LabelKind::Pref && k < shapes.size() ? &shapes[k] : nullptr;
            PlacementItem item;
            item.priority = priority;
            if (kind == LabelKind::Pref)
                item.weight = options.orderByStatistic && k < input.regionOrder.size() ? input.regionOrder[k] : (shape ? shape->area : 0);
            else if (kind == LabelKind::Eki)
                item.weight = k < input.stationLines.size() ? input.stationLines[k] : 0;
            // Candidates are placed as label rectangles and compared by their ink.
            item.candidates = candidatesOf(kind, l, scale, shape, input.mode);
            const QRect full = mapview::labelPixelRect(l, scale);
            const QRect ink = inkRect(a, l, scale);
            const QMarginsF inset(0, ink.top() - full.top(), 0, full.bottom() - ink.bottom());
            for (QRectF& r : item.candidates)
                r = r.marginsRemoved(inset);
            items.push_back(std::move(item));
            refs.push_back({kind, i, inset.top()});
        }
    }
    const int placed = placeItems(items, QRectF(0, 0, scale.width(), scale.height()));
    const double unitX = (scale.scaleRight() - scale.scaleLeft()) / scale.width();
    const double unitY = (scale.scaleTop() - scale.scaleBottom()) / scale.height();
    for (size_t n = 0; n < items.size(); ++n) {
        mapview::LabelArray& a = labels.array(refs[n].kind);
        const PlacementItem& item = items[n];
        if (item.chosen < 0) {
            a.edit(refs[n].index).visible = false;
            continue;
        }
        const QRectF r = item.candidates[static_cast<size_t>(item.chosen)].translated(0, -refs[n].inkTop);
        const mapview::Label& l = a.at(refs[n].index);
        const QRect now = mapview::labelPixelRect(l, scale);
        if (QRectF(now) == r)
            continue;
        // Set from the pixel itself, so the label lands on exactly that pixel.
        mapview::Label& moved = a.edit(refs[n].index);
        moved.left = scale.scaleLeft() + r.left() * unitX;
        moved.top = scale.scaleTop() - r.top() * unitY;
    }
    return placed;
}

void applyHalos(mapview::LabelLayer& labels, const platform::Canvas& canvas, bool statDrawn, const PlacementOptions& options)
{
    const QImage& image = canvas.image();
    const QRgb blank = qRgb(255, 255, 255);
    for (int k = 0; k < mapview::kLabelKinds; ++k) {
        const auto kind = static_cast<LabelKind>(k);
        if (kind == LabelKind::BuildP)
            continue;
        mapview::LabelArray& a = labels.array(kind);
        a.style().haloColor = options.haloColor;
        const PlacementOptions::Halo mode = options.halo[static_cast<size_t>(k)];
        for (int i = 1; i < a.count(); ++i) {
            const mapview::Label& l = a.at(i);
            if (!l.visible)
                continue;
            // The fill under the label: the colour most of a 6×3 grid over it shows, leaving out
            // black (the boundaries and coasts a label often sits on) and white (sea, paper), so
            // a name that touches a fill at all, even one mostly over the sea, stands out. A name
            // over coast lines alone keeps its colour but gets the halo too.
            const QRect r = mapview::labelPixelRect(l, canvas);
            const QRgb white = blank & 0xffffff;
            QHash<QRgb, int> votes;
            QRgb under = white;
            int best = 0;
            bool overLines = false;
            for (int gy = 1; gy <= 3; ++gy) {
                for (int gx = 1; gx <= 6; ++gx) {
                    const QPoint p(r.left() + r.width() * gx / 7, r.top() + r.height() * gy / 4);
                    const QRgb c = image.rect().contains(p) ? (image.pixel(p) & 0xffffff) : white;
                    overLines = overLines || c == 0;
                    if (c == 0 || c == white)
                        continue;
                    if (++votes[c] > best) {
                        best = votes[c];
                        under = c;
                    }
                }
            }
            const bool overFill = statDrawn && under != white;
            const bool halo = mode == PlacementOptions::Halo::On ||
                              (mode == PlacementOptions::Halo::Auto && (overFill || (statDrawn && overLines)));
            const int text = options.contrastText && overFill
                                 ? contrastingTextColor(qRed(under) + 256 * qGreen(under) + 65536 * qBlue(under))
                                 : -1;
            if (l.halo != halo || l.textColor != text) {
                mapview::Label& e = a.edit(i);
                e.halo = halo;
                e.textColor = text;
            }
        }
    }
}

void applyPlacementOptions(mapview::LabelLayer& labels, const platform::Canvas& canvas, const mapview::MapTables& tables,
                           mapview::MapMode mode, bool statDrawn, const std::vector<int>& stationLines,
                           const PlacementOptions& options, bool halosAsked)
{
    if (options.cityForWards)
        cityInsteadOfWards(labels, tables, mode, canvas);
    qualifyWards(labels, tables, mode, options.qualifyWards, canvas);
    if (options.stationsInside || options.mainStations) {
        const std::vector<QVector<QPointF>> rings = options.stationsInside ? loadedRings(tables, mode) : std::vector<QVector<QPointF>>{};
        filterStations(labels, options.stationsInside ? &rings : nullptr, options.mainStations, stationLines);
    }
    if (options.placeLabels) {
        PlacementInput input{&tables, mode, {}, stationLines};
        if (options.orderByStatistic && statDrawn) {
            // The value a region name shows as its tooltip after a fill.
            const platform::KeyedTable& rows = mode == mapview::MapMode::Japan ? tables.lvwUsePref : tables.lvwUseTiku;
            if (mode != mapview::MapMode::City)
                for (const auto& row : rows)
                    input.regionOrder.push_back(platform::toNumber(row.subItem(3)).value_or(0));
        }
        placeLabels(labels, canvas, input, options);
    }
    if (options.placeLabels || halosAsked)
        applyHalos(labels, canvas, statDrawn, options);
}

} // namespace miratos::layers
