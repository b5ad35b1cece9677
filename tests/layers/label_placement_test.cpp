#include "layers/label_placement.h"

#include "mapview/name_labels.h"
#include "mapview/ring_geometry.h"
#include "platform/canvas.h"

#include <gtest/gtest.h>

using namespace miratos;
using namespace miratos::layers;
using mapview::LabelKind;

namespace {

// 100 pixels a degree: longitude 0..6 left to right, latitude 6..0 top to bottom.
platform::Canvas fixtureCanvas()
{
    platform::Canvas canvas(600, 600);
    canvas.setScale(0, 6, 6, 0);
    return canvas;
}

PlacementItem item(int priority, double weight, std::vector<QRectF> candidates)
{
    PlacementItem i;
    i.priority = priority;
    i.weight = weight;
    i.candidates = std::move(candidates);
    return i;
}

} // namespace

TEST(LabelPlacement, GreedyChoiceByPriorityWeightAndCandidateOrder)
{
    const QRectF bounds(0, 0, 600, 600);
    const QPointF station(300, 300);
    const std::vector<QRectF> around = pointCandidates(station, 40, 12);
    struct Case {
        const char* name;
        std::vector<PlacementItem> items;
        std::vector<int> chosen;
    };
    const Case cases[] = {
        {"a point name moves off an occupied right slot to the left",
         {item(0, 1, {around[0]}), item(2, 0, around)}, {0, 1}},
        {"a free right slot is taken first", {item(0, 1, {QRectF(0, 0, 40, 12)}), item(2, 0, around)}, {0, 0}},
        {"priority keeps the municipality over a station listed before it",
         {item(2, 0, {QRectF(10, 10, 50, 12)}), item(0, 0, {QRectF(20, 12, 50, 12)})}, {-1, 0}},
        {"within a kind the larger region goes first",
         {item(0, 1, {QRectF(10, 10, 50, 12)}), item(0, 9, {QRectF(30, 10, 50, 12)})}, {-1, 0}},
        {"a region name falls back to a point inside its region",
         {item(0, 1, {QRectF(10, 10, 50, 12), QRectF(10, 40, 50, 12)}), item(0, 9, {QRectF(30, 10, 50, 12)})}, {1, 0}},
        {"a candidate leaving the canvas is not taken", {item(3, 0, {QRectF(580, 10, 50, 12), QRectF(500, 10, 50, 12)})}, {1}},
        {"rectangles that only touch do not collide",
         {item(0, 1, {QRectF(0, 0, 50, 12)}), item(0, 0, {QRectF(50, 0, 50, 12)})}, {0, 0}},
        {"a station left out moves the one station in its only place to that one's next place",
         {item(2, 5, {QRectF(100, 100, 40, 12), QRectF(100, 120, 40, 12)}), item(2, 1, {QRectF(110, 100, 40, 12)})}, {1, 0}},
        {"a municipality is not moved for a station",
         {item(0, 5, {QRectF(100, 100, 40, 12), QRectF(100, 120, 40, 12)}), item(2, 1, {QRectF(110, 100, 40, 12)})}, {0, -1}},
        {"no move when the blocker's next place meets the name it would make room for",
         {item(2, 5, {QRectF(100, 100, 40, 12), QRectF(120, 105, 40, 12)}), item(2, 1, {QRectF(110, 100, 40, 12)})}, {0, -1}},
    };
    for (const Case& c : cases) {
        std::vector<PlacementItem> items = c.items;
        placeItems(items, bounds);
        std::vector<int> chosen;
        for (const PlacementItem& i : items)
            chosen.push_back(i.chosen);
        EXPECT_EQ(chosen, c.chosen) << c.name;
    }
}

TEST(LabelPlacement, PlacedLabelsOfTheLayerNeverOverlap)
{
    const platform::Canvas canvas = fixtureCanvas();
    mapview::LabelLayer layer;
    // Municipality names in a row and a dense cluster of station names over and around them.
    for (int i = 0; i < 5; ++i)
        layer.add(LabelKind::Pref, QStringLiteral("市町村%1").arg(i), 1.0 + i * 0.8, 3.0);
    for (int i = 0; i < 60; ++i)
        layer.add(LabelKind::Eki, QStringLiteral("駅%1").arg(i), 1.0 + (i % 10) * 0.35, 3.3 - (i / 10) * 0.12);
    layer.add(LabelKind::Build, QStringLiteral("学校"), 2.0, 2.0);
    layer.array(LabelKind::Eki).edit(1).visible = false; // a hidden label stays hidden

    const int placed = placeLabels(layer, canvas, {}, PlacementOptions{});

    std::vector<QRect> shown;
    for (LabelKind kind : {LabelKind::Pref, LabelKind::Eki, LabelKind::Build}) {
        const mapview::LabelArray& a = layer.array(kind);
        for (int i = 1; i < a.count(); ++i)
            if (a.at(i).visible)
                shown.push_back(inkRect(a, a.at(i), canvas));
    }
    EXPECT_EQ(static_cast<int>(shown.size()), placed);
    for (size_t a = 0; a < shown.size(); ++a)
        for (size_t b = a + 1; b < shown.size(); ++b)
            EXPECT_FALSE(shown[a].intersects(shown[b])) << a << " " << b;
    for (int i = 1; i < layer.array(LabelKind::Pref).count(); ++i)
        EXPECT_TRUE(layer.array(LabelKind::Pref).at(i).visible) << "municipality " << i;
    EXPECT_FALSE(layer.array(LabelKind::Eki).at(1).visible);
    EXPECT_GT(placed, 30); // stations moved aside rather than hidden
}

TEST(LabelPlacement, InteriorPointsLieInsideAnLShapedRing)
{
    // An L: a long bar along the bottom and a tall one on the left.
    const QVector<QPointF> ring{{0, 0}, {10, 0}, {10, 2}, {2, 2}, {2, 10}, {0, 10}};
    const QVector<QPointF> points = interiorPoints(ring, 8);
    ASSERT_FALSE(points.isEmpty());
    for (const QPointF& p : points)
        EXPECT_TRUE(mapview::insideRing(p, ring)) << p.x() << " " << p.y();
    EXPECT_DOUBLE_EQ(planarArea(ring), 36);
    EXPECT_TRUE(interiorPoints({{0, 0}, {1, 1}}, 4).isEmpty());
}

TEST(LabelPlacement, RepeatedWardsAreToldApartByTheirCity)
{
    const QStringList parts{QStringLiteral("神奈川県@横浜市@緑区"), QStringLiteral("神奈川県@相模原市@緑区"),
                            QStringLiteral("神奈川県@横浜市@中区"), QStringLiteral("東京都@北区"),
                            QStringLiteral("大阪府@北区@大阪市"), QStringLiteral("埼玉県@川口市")};
    struct Case {
        PlacementOptions::WardStyle style;
        QStringList captions;
    };
    const Case cases[] = {
        {PlacementOptions::WardStyle::Off,
         {QStringLiteral("緑区"), QStringLiteral("緑区"), QStringLiteral("中区"), QStringLiteral("北区"), QStringLiteral("北区"),
          QStringLiteral("川口市")}},
        {PlacementOptions::WardStyle::Prefixed,
         {QStringLiteral("横浜市緑区"), QStringLiteral("相模原市緑区"), QStringLiteral("中区"), QStringLiteral("北区"),
          QStringLiteral("大阪市北区"), QStringLiteral("川口市")}},
        {PlacementOptions::WardStyle::TwoLines,
         {QStringLiteral("横浜市\n緑区"), QStringLiteral("相模原市\n緑区"), QStringLiteral("中区"), QStringLiteral("北区"),
          QStringLiteral("大阪市\n北区"), QStringLiteral("川口市")}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wardCaptions(parts, c.style), c.captions) << static_cast<int>(c.style);

    // A two-line label is as high as two lines and as wide as its longer line.
    mapview::LabelArray lbl;
    const QSize one = lbl.measure(QStringLiteral("相模原市"));
    const QSize two = lbl.measure(QStringLiteral("相模原市\n緑区"));
    EXPECT_EQ(two.width(), one.width());
    EXPECT_EQ(two.height(), 2 * one.height());
}

TEST(LabelPlacement, ASmallDesignatedCityShowsItsNameInsteadOfItsWards)
{
    const platform::Canvas canvas = fixtureCanvas();
    mapview::MapTables tables;
    mapview::LabelLayer layer;
    // 横浜市's two wards 0.5° (50 px) apart; 相模原市's two 3° (300 px) apart.
    const struct {
        const char* parts;
        double lon;
    } rows[] = {{"神奈川県@横浜市@緑区", 1}, {"神奈川県@横浜市@中区", 1.5}, {"神奈川県@相模原市@緑区", 1}, {"神奈川県@相模原市@中央区", 4}};
    int n = 0;
    for (const auto& r : rows) {
        const QString parts = QString::fromUtf8(r.parts);
        ++n;
        tables.lvwUseTiku.add(QStringLiteral("G1410%1").arg(n), QStringLiteral("14p%1").arg(n), {parts});
        layer.add(LabelKind::Pref, mapview::municipalityCaption(parts), r.lon, n <= 2 ? 4 : 2);
    }
    const double midX = (QRectF(mapview::labelPixelRect(layer.array(LabelKind::Pref).at(1), canvas)).center().x() +
                         QRectF(mapview::labelPixelRect(layer.array(LabelKind::Pref).at(2), canvas)).center().x()) / 2;
    PlacementOptions options;
    options.cityForWards = true;
    options.qualifyWards = PlacementOptions::WardStyle::Prefixed;
    applyPlacementOptions(layer, canvas, tables, mapview::MapMode::Pref, false, {}, options);

    const mapview::LabelArray& a = layer.array(LabelKind::Pref);
    QStringList shown;
    for (int i = 1; i < a.count(); ++i)
        if (a.at(i).visible)
            shown << a.at(i).caption;
    // With 横浜市's 緑区 folded into the city, 相模原市's 緑区 no longer repeats.
    EXPECT_EQ(shown, (QStringList{QStringLiteral("横浜市"), QStringLiteral("緑区"), QStringLiteral("中央区")}));
    // The city's name is centred between its wards' points.
    EXPECT_NEAR(QRectF(mapview::labelPixelRect(a.at(1), canvas)).center().x(), midX, 1);
}

TEST(LabelPlacement, StationFiltersByPolygonAndByLines)
{
    mapview::LabelLayer layer;
    // Inside the triangle, inside its bounding box only, outside both.
    layer.add(LabelKind::Eki, QStringLiteral("内"), 1, 1);
    layer.add(LabelKind::Eki, QStringLiteral("箱"), 3.5, 3);
    layer.add(LabelKind::Eki, QStringLiteral("外"), 9, 9);
    layer.add(LabelKind::Eki, QStringLiteral("乗換"), 2, 0.5);
    const std::vector<QVector<QPointF>> rings{{{0, 0}, {4, 0}, {0, 4}}};
    const std::vector<int> lines{1, 3, 2, 2};
    struct Case {
        const char* name;
        bool inside;
        bool mainOnly;
        std::vector<bool> visible;
    };
    const Case cases[] = {
        {"polygon", true, false, {true, false, false, true}},
        {"main stations", false, true, {false, true, true, true}},
        {"both", true, true, {false, false, false, true}},
    };
    for (const Case& c : cases) {
        mapview::LabelLayer l = layer;
        filterStations(l, c.inside ? &rings : nullptr, c.mainOnly, lines);
        std::vector<bool> visible;
        for (int i = 1; i < l.array(LabelKind::Eki).count(); ++i)
            visible.push_back(l.array(LabelKind::Eki).at(i).visible);
        EXPECT_EQ(visible, c.visible) << c.name;
    }
}

TEST(LabelPlacement, TextContrastsWithTheFill)
{
    struct Case {
        const char* name;
        int fill; // colour value: red + 256 green + 65536 blue
        int text;
    };
    const Case cases[] = {
        {"white", 16777215, 0},
        {"black", 0, 16777215},
        {"dark red", 128, 16777215},
        {"yellow", 65535, 0},
        {"blue", 16711680, 16777215},
        {"grey #777777 is just on the black side", 0x777777, 0},
        {"grey #757575 is just on the white side", 0x757575, 16777215},
    };
    for (const Case& c : cases)
        EXPECT_EQ(contrastingTextColor(c.fill), c.text) << c.name;
}

TEST(LabelPlacement, HalosAndTextColourFollowTheFillUnderTheLabel)
{
    platform::Canvas canvas = fixtureCanvas();
    canvas.image().fill(Qt::white);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 300; ++x)
            canvas.image().setPixel(x, y, qRgb(128, 0, 0)); // a dark fill on the left half
    mapview::LabelLayer layer;
    layer.add(LabelKind::Pref, QStringLiteral("左"), 1, 3);
    layer.add(LabelKind::Pref, QStringLiteral("右"), 5, 3);
    struct Case {
        const char* name;
        bool statDrawn;
        PlacementOptions::Halo halo;
        bool leftHalo, rightHalo;
        int leftText;
    };
    const Case cases[] = {
        {"auto: over the fill only", true, PlacementOptions::Halo::Auto, true, false, 16777215},
        {"on: everywhere", true, PlacementOptions::Halo::On, true, true, 16777215},
        {"off", true, PlacementOptions::Halo::Off, false, false, 16777215},
        {"no statistic drawn: no fill", false, PlacementOptions::Halo::Auto, false, false, -1},
    };
    for (const Case& c : cases) {
        PlacementOptions options;
        options.halo.fill(c.halo);
        applyHalos(layer, canvas, c.statDrawn, options);
        const mapview::LabelArray& a = layer.array(LabelKind::Pref);
        EXPECT_EQ(a.at(1).halo, c.leftHalo) << c.name;
        EXPECT_EQ(a.at(2).halo, c.rightHalo) << c.name;
        EXPECT_EQ(a.at(1).textColor, c.leftText) << c.name;
        EXPECT_EQ(a.at(2).textColor, -1) << c.name;
    }

    // A name on a coast or a thick boundary: the black line under most of it is not the fill.
    layer.add(LabelKind::Pref, QStringLiteral("岸"), 5, 5);
    const QRect r = mapview::labelPixelRect(layer.array(LabelKind::Pref).at(3), canvas);
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const bool line = std::abs(y - (r.top() + r.height() / 4)) <= 1 || std::abs(y - (r.top() + r.height() / 2)) <= 1;
            canvas.image().setPixel(x, y, line ? qRgb(0, 0, 0) : qRgb(128, 0, 0));
        }
    applyHalos(layer, canvas, true, PlacementOptions{});
    EXPECT_TRUE(layer.array(LabelKind::Pref).at(3).halo);
    EXPECT_EQ(layer.array(LabelKind::Pref).at(3).textColor, 16777215);

    // Names over the sea: one whose right end touches a light fill turns black with a halo; one
    // over coast lines alone gets the halo and keeps its colour.
    layer.add(LabelKind::Pref, QStringLiteral("海の上の名前"), 3.2, 1);
    layer.add(LabelKind::Pref, QStringLiteral("島々の名前"), 3.2, 5.5);
    const QRect sea = mapview::labelPixelRect(layer.array(LabelKind::Pref).at(4), canvas);
    for (int y = sea.top(); y <= sea.bottom(); ++y)
        for (int x = sea.right() - sea.width() / 5; x <= sea.right(); ++x)
            canvas.image().setPixel(x, y, qRgb(255, 220, 220));
    const QRect isles = mapview::labelPixelRect(layer.array(LabelKind::Pref).at(5), canvas);
    for (int x = isles.left(); x <= isles.right(); ++x)
        canvas.image().setPixel(x, isles.top() + isles.height() / 2, qRgb(0, 0, 0));
    applyHalos(layer, canvas, true, PlacementOptions{});
    EXPECT_TRUE(layer.array(LabelKind::Pref).at(4).halo);
    EXPECT_EQ(layer.array(LabelKind::Pref).at(4).textColor, 0);
    EXPECT_TRUE(layer.array(LabelKind::Pref).at(5).halo);
    EXPECT_EQ(layer.array(LabelKind::Pref).at(5).textColor, -1);
}
