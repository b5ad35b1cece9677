// The railway layer: the extent filter of the first draw, line widths by class, colours, and the
// station-name merge with its stored positions.
#include "layers/railway_layer.h"
#include "state/mdl_main.h"

#include <gtest/gtest.h>

using namespace miratos;
using layers::RailwayLayer;
using mapview::LabelKind;

namespace {

// Data extent 139..140 E, 35..36 N.
const mapview::Extent kExtent{139.f, 35.f, 140.f, 36.f};
constexpr int kBlue = 16711680;
constexpr int kCyan = 16776960;

// A canvas of 200 × 200 pixels over 138.5..140.5 E and 34.5..36.5 N: 0.01 degree per pixel.
platform::Canvas viewCanvas()
{
    platform::Canvas c(200, 200);
    c.setScale(138.5, 36.5, 140.5, 34.5);
    c.clear();
    return c;
}

int coloured(const platform::Canvas& c, int x, int y0, int y1, int color)
{
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        n += c.pixel(QPoint(x, y)) == color;
    return n;
}

QStringList keys(const platform::KeyedTable& table)
{
    QStringList out;
    for (const auto& row : table)
        out << row.key;
    return out;
}

// A station curve of two equal points at (lon, lat).
store::CurveRow stationAt(const QString& id, const char* lat, const char* lon)
{
    const QString p = QString::fromLatin1(lat) + QLatin1Char(' ') + QString::fromLatin1(lon);
    return {id, p + QLatin1Char(' ') + p};
}

} // namespace

TEST(RailwayLayer, OnlyCurvesWhoseFirstPointIsStrictlyInsideTheExtentAreShownAndThoseWhole)
{
    store::RailwayTables t;
    t.railCurves = {
        {"border", "35 139.5 35.5 139.5"},        // first point on the southern border
        {"crossing", "34.9 139.3 35.5 139.3"},    // starts outside, crosses in
        {"leaving", "35.5 139.2 36.3 139.2"},     // starts inside, leaves northwards
        {"eastBorder", "35.5 140 35.5 139.8"},    // first point on the eastern border
    };
    RailwayLayer layer;
    layer.setTables(t);
    platform::Canvas c = viewCanvas();
    layer.draw(c, kExtent, {kBlue, kCyan});
    EXPECT_EQ(keys(layer.lvwLine_rr), QStringList{"leaving"});
    EXPECT_EQ(c.pixel(QPoint(70, 30)), kBlue) << "the part outside the extent is drawn too (36.2 N)";
    EXPECT_NE(c.pixel(QPoint(80, 110)), kBlue) << "the crossing curve is not drawn (35.4 N)";
    EXPECT_EQ(c.foreColor(), 0);
    EXPECT_EQ(c.drawWidth(), 1);
}

TEST(RailwayLayer, ClassElevenAsANumberIsTwoPixelsWideEverythingElseOne)
{
    const struct {
        const char* railClass;
        int width;
    } cases[] = {{"11", 2}, {"11.0", 2}, {" 11", 2}, {"1.1E1", 2}, {"12", 1}, {"", 1}, {"JR", 1}};
    for (const auto& c : cases)
        EXPECT_EQ(RailwayLayer::lineWidthOf(QString::fromLatin1(c.railClass)), c.width) << c.railClass;

    // On the canvas: a class-11.0 curve is two pixels thick, a curve no section names one.
    store::RailwayTables t;
    t.railCurves = {{"wide", "35.5 139.1 35.5 139.9"}, {"plain", "35.2 139.1 35.2 139.9"}, {"wide", "35.8 139.1 35.8 139.9"}};
    t.sections = {{"e1", "wide", "12", "4", "L", ""}, {"e2", "wide", "11.0", "2", "L", ""}};
    RailwayLayer layer;
    layer.setTables(t);
    platform::Canvas c = viewCanvas();
    layer.draw(c, kExtent, {kBlue, kCyan});
    EXPECT_EQ(coloured(c, 100, 90, 110, kBlue), 2) << "a later section overwrites the class";
    EXPECT_EQ(coloured(c, 100, 120, 140, kBlue), 1);
    EXPECT_EQ(coloured(c, 100, 60, 80, kBlue), 0) << "a duplicate identifier keeps its first curve";
    EXPECT_EQ(layer.lvwLine_rr.count(), 2);
}

TEST(RailwayLayer, StationCurvesAreDrawnTwoPixelsWideInTheStationColour)
{
    store::RailwayTables t;
    t.railCurves = {{"cv_rr1", "35.5 139.1 35.5 139.9"}};
    t.stationCurves = {{"cv_st1", "35.3 139.1 35.3 139.9"}};
    t.stations = {{"s1", "cv_st1", "A"}};
    RailwayLayer layer;
    layer.setTables(t);
    state::MdlMain s;
    s.LayerProperty = state::layerPropertyDefaults(QStringLiteral("Pref"));
    s.LayerProperty[5][1] = 255;   // red lines
    s.LayerProperty[5][2] = 65280; // green stations
    platform::Canvas c = viewCanvas();
    layer.draw(c, kExtent, layers::railwayColorsOf(s));
    EXPECT_EQ(coloured(c, 100, 90, 110, 255), 1);
    EXPECT_EQ(coloured(c, 100, 110, 130, 65280), 2);
    EXPECT_EQ(layer.lvwLine_st.at(1).subItem(1), QStringLiteral("A"));
}

// A curve of one point (or of points within one pixel) is a polyline of no length, which draws
// nothing, as a line of no length does; the curves after it are drawn whole.
TEST(RailwayLayer, ACurveOfOnePointDrawsNothingAndTheNextCurveWhole)
{
    const struct {
        const char* name;
        const char* points;
    } cases[] = {{"one point", "35.5 139.5"}, {"two points in one pixel", "35.5 139.5 35.5 139.501"}};
    for (const auto& one : cases) {
        SCOPED_TRACE(one.name);
        store::RailwayTables t;
        t.railCurves = {{"dot", one.points}, {"long", "35.2 139.1 35.2 139.3 35.2 139.5 35.2 139.7 35.2 139.9"}};
        t.stationCurves = {{"st", one.points}};
        t.stations = {{"s1", "st", "A"}};
        RailwayLayer layer;
        layer.setTables(t);
        platform::Canvas c = viewCanvas();
        layer.draw(c, kExtent, {kBlue, kCyan});
        EXPECT_EQ(layer.lvwLine_rr.count(), 2);
        EXPECT_EQ(c.pixel(QPoint(100, 100)), 0xFFFFFF);
        for (int x = 60; x <= 140; x += 20)
            EXPECT_EQ(c.pixel(QPoint(x, 130)), kBlue) << x;
    }
}

namespace {

struct Shown {
    QString caption;
    double left, top;
};

std::vector<Shown> visibleStations(const mapview::LabelLayer& labels)
{
    std::vector<Shown> out;
    const auto& a = labels.array(LabelKind::Eki);
    for (int i = 1; i < a.count(); ++i) {
        if (a.at(i).visible)
            out.push_back({a.at(i).caption, a.at(i).left, a.at(i).top});
    }
    return out;
}

RailwayLayer stationLayer(const std::vector<std::pair<QString, store::CurveRow>>& stations)
{
    store::RailwayTables t;
    int n = 0;
    for (const auto& [name, curve] : stations) {
        t.stationCurves.push_back(curve);
        t.stations.push_back({QStringLiteral("s%1").arg(++n), curve[0], name});
    }
    RailwayLayer layer;
    layer.setTables(t);
    layer.buildTables(kExtent);
    return layer;
}

} // namespace

TEST(RailwayLayer, PlatformsOfOneNameMergeOnlyWithinTheStrictBoxOfTheFirstEntry)
{
    const struct {
        const char* name;
        std::vector<std::pair<QString, store::CurveRow>> stations;
        std::vector<double> lefts; // visible labels, in order
    } cases[] = {
        {"0.004 apart: one label at the midpoint", {{"A", stationAt("a1", "35.5", "139.5")}, {"A", stationAt("a2", "35.5", "139.504")}}, {139.502}},
        {"0.005 apart: two labels", {{"A", stationAt("a1", "35.5", "139.5")}, {"A", stationAt("a2", "35.5", "139.505")}}, {139.5, 139.505}},
        {"0.005 apart in latitude: two labels", {{"A", stationAt("a1", "35.5", "139.5")}, {"A", stationAt("a2", "35.505", "139.5")}}, {139.5, 139.5}},
        {"the third platform is compared with the midpoint",
         {{"A", stationAt("a1", "35.5", "139.5")}, {"A", stationAt("a2", "35.5", "139.504")}, {"A", stationAt("a3", "35.5", "139.506")}},
         {139.504}},
        {"a far one of the same name never takes later ones",
         {{"B", stationAt("b1", "35.5", "139.5")}, {"B", stationAt("b2", "35.5", "139.6")}, {"B", stationAt("b3", "35.5", "139.601")}},
         {139.5, 139.6, 139.601}},
        {"other names are not compared", {{"A", stationAt("a1", "35.5", "139.5")}, {"C", stationAt("c1", "35.5", "139.501")}}, {139.5, 139.501}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RailwayLayer layer = stationLayer(c.stations);
        mapview::LabelLayer labels;
        layer.stationLabels(labels, true);
        const auto shown = visibleStations(labels);
        ASSERT_EQ(shown.size(), c.lefts.size());
        for (size_t i = 0; i < shown.size(); ++i)
            EXPECT_NEAR(shown[i].left, c.lefts[i], 1e-9);
        EXPECT_EQ(layer.lvwSameStation.count(), static_cast<int>(c.lefts.size()));
        EXPECT_TRUE(layer.SameStationBuilt);
    }
}

TEST(RailwayLayer, TickingStationNamesAgainUsesTheStoredPositions)
{
    RailwayLayer layer = stationLayer({{"A", stationAt("a1", "35.5", "139.5")}, {"A", stationAt("a2", "35.5", "139.504")},
                                       {"D", stationAt("d1", "35.6", "139.7")}});
    mapview::LabelLayer labels;
    layer.stationLabels(labels, true);
    EXPECT_EQ(labels.array(LabelKind::Eki).count() - 1, 3); // one per curve, the merged one hidden
    EXPECT_EQ(labels.array(LabelKind::Eki).at(1).tooltip, QStringLiteral("A"));
    // The two platforms of A are two lines at one station; D serves one.
    EXPECT_EQ(layer.stationLines(), (std::vector<int>{2, 0, 1}));

    layer.stationLabels(labels, false);
    EXPECT_EQ(labels.array(LabelKind::Eki).count(), 1);

    // A stored position that no curve has shows where the labels come from now.
    layer.lvwSameStation.at(2).text = QStringLiteral("139.75");
    layer.stationLabels(labels, true);
    const auto shown = visibleStations(labels);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(labels.array(LabelKind::Eki).count() - 1, 2); // one per entry
    EXPECT_EQ(layer.stationLines(), (std::vector<int>{2, 1}));
    EXPECT_EQ(shown[0].caption, QStringLiteral("A"));
    EXPECT_NEAR(shown[0].left, 139.502, 1e-9);
    EXPECT_EQ(shown[1].caption, QStringLiteral("D"));
    EXPECT_DOUBLE_EQ(shown[1].left, 139.75);
    EXPECT_DOUBLE_EQ(shown[1].top, 35.6);
}

TEST(RailwayLayer, StationNamesNeedTheFirstRailwayDraw)
{
    store::RailwayTables t;
    t.stationCurves = {stationAt("s", "35.5", "139.5")};
    t.stations = {{"s1", "s", "A"}};
    RailwayLayer layer;
    layer.setTables(t);
    mapview::LabelLayer labels;
    layer.stationLabels(labels, true);
    EXPECT_EQ(labels.array(LabelKind::Eki).count(), 1);
    platform::Canvas c = viewCanvas();
    layer.draw(c, kExtent, {});
    layer.stationLabels(labels, true);
    EXPECT_EQ(labels.array(LabelKind::Eki).count(), 2);
}
