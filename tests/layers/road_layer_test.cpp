// The road layer: the first-point filter at load time, the name-table look-up (empty and
// unknown keys never drawn), classes by their check box with their colour and width, and the
// roads painting over the railways in the redraw.
#include "layers/railway_layer.h"
#include "layers/road_layer.h"
#include "mapview/map_drawing.h"
#include "platform/cp932.h"
#include "state/mdl_main.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace miratos;
using layers::RoadClasses;
using layers::RoadLayer;

namespace {

// Data extent 139..140 E, 35..36 N.
const mapview::Extent kExtent{139.f, 35.f, 140.f, 36.f};
const layers::RoadColors kColors; // purple, grey, light grey
constexpr int kPurple = 128 + 65536 * 128;
constexpr int kGrey = 128 + 256 * 128 + 65536 * 128;
constexpr int kLight = 192 + 256 * 192 + 65536 * 192;

// A canvas of 200 × 200 pixels over 138.5..140.5 E and 34.5..36.5 N: 0.01 degree per pixel.
platform::Canvas viewCanvas()
{
    platform::Canvas c(200, 200);
    c.setScale(138.5, 36.5, 140.5, 34.5);
    c.clear();
    return c;
}

// Pixels of a colour in column x between rows y0 and y1.
int coloured(const platform::Canvas& c, int x, int y0, int y1, int color)
{
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        n += c.pixel(QPoint(x, y)) == color;
    return n;
}

class RoadLayerTest : public ::testing::Test {
protected:
    // Roads: horizontal lines across the view at the given latitudes, one per line of text.
    QString roadFile(const QString& text)
    {
        const QString path = m_dir.filePath(QStringLiteral("Road%1.dat").arg(++m_files));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(*platform::toCp932(text));
        return path;
    }
    void names(RoadLayer& layer)
    {
        layer.setNames({{QStringLiteral("R1"), QStringLiteral("1"), {}, {}, {}},
                        {QStringLiteral("R2"), QStringLiteral("2"), {}, {}, {}},
                        {QStringLiteral("R3"), QStringLiteral("3"), {}, {}, {}},
                        {QStringLiteral("R4"), QStringLiteral("4"), {}, {}, {}}});
    }

private:
    QTemporaryDir m_dir;
    int m_files = 0;
};

TEST_F(RoadLayerTest, OnlyRoadsStartingStrictlyInsideTheExtentAreLoadedAndThoseWhole)
{
    RoadLayer layer;
    names(layer);
    layer.loadRoads(roadFile(QStringLiteral("R2@139.5 35.5 140.3 35.5 \r\n" // starts inside, leaves
                                            "R2@139 35.6 139.5 35.6 \r\n"   // first point on the border
                                            "R2@138.8 35.7 139.5 35.7 \r\n" // starts outside, enters
                                            "R2@139.5 36 139.6 35.9 \r\n")), // on the northern border
                    kExtent);
    ASSERT_EQ(layer.roads().roads.size(), 1u);
    platform::Canvas c = viewCanvas();
    layer.draw(c, kColors, {true, true, true});
    EXPECT_EQ(c.pixel(QPoint(175, 100)), kGrey); // 140.25 E: the part outside the extent is drawn
    EXPECT_EQ(coloured(c, 45, 0, 199, kGrey), 0); // 138.95 E: nothing of the road that started outside
}

TEST_F(RoadLayerTest, EachClassHasItsBoxColourAndWidthAndUnknownKeysAreNeverDrawn)
{
    RoadLayer layer;
    names(layer);
    // Horizontal roads at 35.9 (class 1), 35.7 (2), 35.5 (3), 35.3 (class 4), 35.1 (empty key)
    // and 35.2 (key missing from the table).
    layer.loadRoads(roadFile(QStringLiteral("R1@139.1 35.9 139.9 35.9 \r\nR2@139.1 35.7 139.9 35.7 \r\n"
                                            "R3@139.1 35.5 139.9 35.5 \r\nR4@139.1 35.3 139.9 35.3 \r\n"
                                            "@139.1 35.1 139.9 35.1 \r\nR99@139.1 35.2 139.9 35.2 \r\n")),
                    kExtent);
    ASSERT_EQ(layer.roads().roads.size(), 6u);
    EXPECT_EQ(layer.roads().roads[4].key, QString()); // read, but never drawn
    for (size_t r : {3u, 4u, 5u})
        EXPECT_EQ(layer.classOf(r), -1) << r;

    struct Case {
        RoadClasses ticked;
        int expressway, national, local; // pixels in column 100 (139.5 E) of rows 58..62, 78..82, 98..102
    } cases[] = {
        {{true, true, true}, 2, 1, 1},
        {{false, true, false}, 0, 1, 0}, // only "国道": 1 pixel in its colour, the others not drawn
        {{true, false, false}, 2, 0, 0},
        {{false, false, true}, 0, 0, 1},
    };
    for (const Case& k : cases) {
        platform::Canvas c = viewCanvas();
        layer.draw(c, kColors, k.ticked);
        EXPECT_EQ(coloured(c, 100, 58, 62, kPurple), k.expressway);
        EXPECT_EQ(coloured(c, 100, 78, 82, kGrey), k.national);
        EXPECT_EQ(coloured(c, 100, 98, 102, kLight), k.local);
        // Classes other than 1..3, empty keys and unknown keys leave their rows white.
        EXPECT_EQ(coloured(c, 100, 115, 199, state::kWhite), 85);
        EXPECT_EQ(c.drawWidth(), 1);
        EXPECT_EQ(c.foreColor(), 0);
    }
}

TEST_F(RoadLayerTest, ColoursComeFromLayerPropertyRowSix)
{
    state::MdlMain s;
    state::prepareMode(s);
    EXPECT_EQ(layers::roadColorsOf(s).color, kColors.color);
    s.LayerProperty[6][0] = 256 * 255; // green
    RoadLayer layer;
    names(layer);
    layer.loadRoads(roadFile(QStringLiteral("R1@139.1 35.5 139.9 35.5 \r\n")), kExtent);
    platform::Canvas c = viewCanvas();
    layer.draw(c, layers::roadColorsOf(s), {true, false, false});
    EXPECT_EQ(c.pixel(QPoint(100, 100)), 256 * 255);
}

TEST_F(RoadLayerTest, RoadsPaintOverRailwaysInTheRedraw)
{
    // A railway and an expressway on the same line.
    RoadLayer road;
    names(road);
    road.loadRoads(roadFile(QStringLiteral("R1@139.1 35.5 139.9 35.5 \r\n")), kExtent);
    layers::RailwayLayer railway;
    store::RailwayTables rail;
    rail.railCurves.push_back({QStringLiteral("rr1"), QStringLiteral("35.5 139.1 35.5 139.9")});
    railway.setTables(rail);

    mapview::MapTables tables;
    tables.DataExtent = kExtent;
    state::MdlMain s;
    s.MapMode = QStringLiteral("Pref");
    state::prepareMode(s);
    platform::Canvas canvas(200, 200);
    mapview::LabelLayer labels;
    state::WaterFill water;
    bool cache = false;
    mapview::ViewRect view;
    view.X1 = 138.5f;
    view.Y1 = 36.5f;
    view.X2 = 140.5f;
    view.Y2 = 34.5f;
    mapview::DrawOptions options;
    options.railways = [&](platform::Canvas& c) { railway.draw(c, tables.DataExtent, layers::railwayColorsOf(s)); };
    options.roads = [&](platform::Canvas& c) { road.draw(c, kColors, {true, false, false}); };
    mapview::drawScene({tables, canvas, labels, water, cache}, view, s, mapview::MapMode::Pref, options);
    EXPECT_EQ(canvas.pixel(QPoint(100, 100)), kPurple);
    EXPECT_EQ(coloured(canvas, 100, 90, 110, layers::railwayColorsOf(s).line), 0);
}

} // namespace
