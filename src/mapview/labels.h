#pragma once
// The label layer of the map: the five label arrays (municipality or prefecture names, town names,
// station names, facility markers, facility names) and the facility-rank circles. Element 0 of
// each array is the invisible template carrying the style; copies 1, 2, … carry a caption and a
// position in map coordinates (left = longitude, top = latitude of the top-left corner), are
// sized to their text, and are painted over the map image — never into it — so they stay on
// their places when the view changes and can be moved, renamed or hidden one by one.
#include "platform/canvas.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>
#include <optional>
#include <vector>

class QPainter;

namespace miratos::mapview {

// The kinds, numbered as the rows of LayerProperty that style them.
enum class LabelKind { Pref = 0, Tiku = 1, Eki = 2, BuildP = 3, Build = 4 };
constexpr int kLabelKinds = 5;

struct LabelStyle {
    QFont font;
    int color = 0;               // colour value
    bool whiteBackground = false;
    int haloColor = 16777215; // outline colour of labels with a halo (white)
};

struct Label {
    QString caption;
    double left = 0; // longitude of the left edge
    double top = 0;  // latitude of the top edge
    QSize pixelSize; // measured from the font
    QString tooltip;
    QString tag;
    bool visible = true;
    bool opaque = false; // white box behind the text
    int z = 0;           // later labels lie above earlier ones
    bool halo = false;   // an outline in the template's halo colour around the text
    int textColor = -1;  // a colour value instead of the template's (-1: the template's)
};

class LabelArray {
public:
    explicit LabelArray(LabelKind kind = LabelKind::Pref);

    LabelKind kind() const { return m_kind; }
    // The template (element 0).
    LabelStyle& style() { return m_style; }
    const LabelStyle& style() const { return m_style; }

    // Creates the next copy with the template's style; returns its index (1, 2, …).
    int add(const QString& caption, double left, double top, int z);
    // Number of elements including the template (copies are 1 .. count() - 1).
    int count() const { return static_cast<int>(m_items.size()) + 1; }
    // Reading a label never touches the layer's picture; changing one goes through edit(), which
    // marks the picture out of date.
    const Label& at(int index) const { return m_items[static_cast<size_t>(index - 1)]; }
    Label& edit(int index)
    {
        ++m_generation;
        return m_items[static_cast<size_t>(index - 1)];
    }
    void removeCopies()
    {
        ++m_generation;
        m_items.clear();
    }
    void removeLast()
    {
        ++m_generation;
        m_items.pop_back();
    }
    // Grows with every change; the layer repaints its picture when it has moved on.
    quint64 generation() const { return m_generation; }
    // A new caption: the label is sized to it again.
    void setCaption(int index, const QString& caption);
    // Applies a new template style to the template and every copy (sizes change with the font).
    void restyle(const LabelStyle& style);

    // Pixel size of a caption in the template's font.
    QSize measure(const QString& caption) const;

    // The label's rectangle in map units on a canvas scale (left, top, width, height > 0).
    QRectF mapRect(int index, const platform::Canvas& scale) const;

private:
    LabelKind m_kind;
    LabelStyle m_style;
    std::vector<Label> m_items;
    quint64 m_generation = 0;
    // Captions repeat a lot (town names), and measuring means shaping the text.
    mutable QHash<QString, QSize> m_sizes;
};

// A facility-rank circle: an ellipse in map units (width and height in degrees).
struct RankCircle {
    double left = 0, top = 0, width = 0, height = 0;
    bool visible = true;
    int z = 0;
};

struct LabelHit {
    LabelKind kind;
    int index;
};

class LabelLayer {
public:
    LabelLayer();

    LabelArray& array(LabelKind kind) { return m_arrays[static_cast<size_t>(kind)]; }
    const LabelArray& array(LabelKind kind) const { return m_arrays[static_cast<size_t>(kind)]; }
    LabelArray& lblPref() { return array(LabelKind::Pref); }
    LabelArray& lblTiku() { return array(LabelKind::Tiku); }

    // Changing the circles marks the picture out of date; reading them does not.
    std::vector<RankCircle>& shpBuild()
    {
        ++m_circleGeneration;
        return m_circles;
    }
    const std::vector<RankCircle>& circles() const { return m_circles; }
    int circleColor = 0;

    // Creates a copy on top of everything made so far.
    int add(LabelKind kind, const QString& caption, double left, double top);
    // Removes copies 1 and up of every array and every circle.
    void removeAll();

    // Paints the visible circles and labels in creation order.
    void paint(QPainter& painter, const platform::Canvas& scale, const QRect& clip) const;
    // The same, through a picture of the layer kept until a label, the scale or the size changes,
    // so repainting the window (hover, expose, pan) does not lay out thousands of texts again.
    void paintCached(QPainter& painter, const platform::Canvas& scale, const QRect& clip);
    // The top-most visible label under a canvas pixel.
    std::optional<LabelHit> hitTest(QPoint pixel, const platform::Canvas& scale) const;

    // A label being dragged floats: the kept picture leaves it out (rebuilt once when it is
    // lifted), and paintCached draws it on top shifted by a pixel offset, so moving it only
    // repaints one label however many there are.
    void setFloating(std::optional<LabelHit> label);
    void setFloatingOffset(QPoint pixels) { m_floatingOffset = pixels; }
    const std::optional<LabelHit>& floating() const { return m_floating; }
    // The tooltip of the top-most visible label under a canvas pixel (empty when none); a look-up
    // leaves the cached picture as it is.
    QString tooltipAt(QPoint pixel, const platform::Canvas& scale) const;
    // Whether paintCached would show the kept picture for this scale without laying it out again.
    bool pictureUpToDate(const platform::Canvas& scale) const;

    int nextZ() { return m_nextZ++; }

private:
    quint64 generation() const;
    static void drawLabel(QPainter& painter, const LabelArray& array, const Label& label, const QRect& r);

    std::vector<LabelArray> m_arrays;
    std::vector<RankCircle> m_circles;
    int m_nextZ = 1;
    quint64 m_circleGeneration = 0;
    std::optional<LabelHit> m_floating;
    QPoint m_floatingOffset;
    quint64 m_floatingGeneration = 0;
    QImage m_picture;
    quint64 m_pictureGeneration = ~0ull;
    QRectF m_pictureScale;
};

// Paints a label's text (its lines, its halo, its own colour) with the top-left corner at a
// pixel; the white box, where there is one, is the caller's.
void paintCaption(QPainter& painter, const LabelStyle& style, const Label& label, QPoint topLeft, int ascent, int lineHeight);
void paintCaption(QPainter& painter, const LabelStyle& style, const Label& label, QPoint topLeft);

// Pixel rectangle of a label on a canvas scale.
QRect labelPixelRect(const Label& label, const platform::Canvas& scale);

} // namespace miratos::mapview
