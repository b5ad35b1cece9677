#include "layers/symbol_layer.h"
#include "platform/canvas.h"
#include "mapview/name_labels.h"
#include "state/mdl_main.h"

#include <QImage>
#include <cmath>
#include <gtest/gtest.h>

using namespace miratos;
using namespace miratos::layers;

namespace {

double mantissa(double v)
{
    return v / std::pow(10.0, std::floor(std::log10(v) + 1e-9));
}

} // namespace

// Area in proportion to the value: r² / R² = v / max; with Flannery's correction r / R = (v / max)^0.5716.
TEST(SymbolLayer, RadiusFollowsTheAreaRuleOrFlannery)
{
    struct Case {
        double value, maxAbs;
        bool flannery;
        double radius;
    };
    const Case cases[] = {
        {100, 100, false, 20}, {25, 100, false, 10}, {1, 100, false, 2}, {-25, 100, false, 10},
        {100, 100, true, 20},  {25, 100, true, 20 * std::pow(0.25, 0.5716)}, {0, 100, false, 0}, {5, 0, false, 0},
    };
    for (const Case& c : cases) {
        SymbolOptions o;
        o.maxRadius = 20;
        o.flannery = c.flannery;
        EXPECT_NEAR(symbolRadius(c.value, c.maxAbs, o), c.radius, 1e-9) << c.value << " of " << c.maxAbs;
    }
    // The area rule itself: four times the value, four times the area.
    SymbolOptions o;
    const double a = std::pow(symbolRadius(10, 1000, o), 2), b = std::pow(symbolRadius(40, 1000, o), 2);
    EXPECT_NEAR(b / a, 4.0, 1e-9);
}

// Three nested round values (1, 2 or 5 × 10^k), the largest not above the largest value.
TEST(SymbolLayer, LegendReferenceValuesAreRoundAndNested)
{
    struct Case {
        double maxAbs;
        QVector<double> expected;
    };
    const Case cases[] = {
        {13'515'271, {10'000'000, 5'000'000, 1'000'000}}, {5000, {5000, 2000, 500}}, {349'385, {200'000, 100'000, 20'000}},
        {0.37, {0.2, 0.1, 0.02}}, {999.9999, {500, 200, 50}},
    };
    for (const Case& c : cases) {
        const QVector<double> got = referenceValues(c.maxAbs);
        ASSERT_EQ(got.size(), 3) << c.maxAbs;
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(got[i], c.expected[i], c.expected[i] * 1e-9) << c.maxAbs << " #" << i;
            const double m = mantissa(got[i]);
            EXPECT_TRUE(std::abs(m - 1) < 1e-9 || std::abs(m - 2) < 1e-9 || std::abs(m - 5) < 1e-9) << got[i];
        }
        EXPECT_LE(got[0], c.maxAbs);
        EXPECT_GT(got[0], got[1]);
        EXPECT_GT(got[1], got[2]);
    }
    EXPECT_TRUE(referenceValues(0).isEmpty());
    EXPECT_TRUE(referenceValues(std::nan("")).isEmpty());
}

TEST(SymbolLayer, ValueTextGroupsThousandsWithAPoint)
{
    struct Case {
        const char* value;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {"349385", 0, "349,385"}, {"1234.567", 1, "1,234.6"}, {"-1234567", 0, "-1,234,567"}, {"999", 2, "999.00"},
        {"12.3", 0, "12"},        {"-0.2", 0, "0"},           {"-", 0, "-"},                 {"1e6", 0, "1,000,000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(valueText(QString::fromUtf8(c.value), c.decimals), QString::fromUtf8(c.text)) << c.value;
}

// The largest symbol is drawn first, so a small one on the same point stays visible; negative
// values take the second colour.
TEST(SymbolLayer, LargestFirstAndNegativeColour)
{
    const std::vector<Symbol> given = {{0.5, 0.5, 10}, {0.5, 0.5, 1000}, {0.2, 0.2, -1000}};
    const std::vector<Symbol> order = drawingOrder(given);
    EXPECT_EQ(order[0].value, 1000);
    EXPECT_EQ(order[1].value, -1000);
    EXPECT_EQ(order[2].value, 10);

    platform::Canvas canvas(100, 100);
    canvas.setScale(0, 1, 1, 0);
    canvas.clear();
    SymbolOptions o;
    o.maxRadius = 20;
    o.color = 0x0000FF;         // red
    o.negativeColor = 0xFF0000; // blue
    const SymbolLegend legend = drawSymbols(canvas, given, o, QStringLiteral("人口"));
    const QColor centre = canvas.image().pixelColor(50, 50);   // the small symbol on top of the large one
    const QColor ring = canvas.image().pixelColor(50, 50 - 10); // the large one around it
    const QColor negative = canvas.image().pixelColor(20, 80);
    EXPECT_GT(ring.red(), 200);
    EXPECT_LT(ring.blue(), 80);
    EXPECT_GT(negative.blue(), 200);
    EXPECT_LT(negative.red(), 80);
    // The small symbol (radius 2) paints red over red at the centre, the outline dark around it.
    EXPECT_GT(centre.red(), 200);
    EXPECT_LT(canvas.image().pixelColor(50, 52).red(), ring.red());
    ASSERT_TRUE(legend.any());
    EXPECT_EQ(legend.values.front(), 1000);
    EXPECT_NEAR(legend.radii.front(), 20, 1e-9);
}

// Value labels on the region names: under the name and centred on it, or in its place; a region
// without a number keeps its name alone.
TEST(SymbolLayer, ValueLabelsUnderTheNameOrAlone)
{
    state::resetMdlMain();
    mapview::MapTables tables;
    tables.lvwUsePref.add(QStringLiteral("K13"), QStringLiteral("東京都"), {QStringLiteral("0.3"), QStringLiteral("0.5"), QStringLiteral("14047594.5")});
    tables.lvwUsePref.add(QStringLiteral("K14"), QStringLiteral("神奈川県"), {QStringLiteral("0.7"), QStringLiteral("0.5"), QStringLiteral("-")});
    platform::Canvas canvas(600, 600);
    canvas.setScale(0, 1, 1, 0);
    const double degPerPx = 1.0 / 600;
    auto centreX = [&](const mapview::Label& l) { return l.left + l.pixelSize.width() * degPerPx / 2; };

    struct Case {
        ValueLabels mode;
        QStringList captions;
    };
    const Case cases[] = {
        {ValueLabels::Under, {QStringLiteral("東京都"), QStringLiteral("神奈川県"), QStringLiteral("14,047,594.5")}},
        {ValueLabels::Alone, {QStringLiteral("14,047,594.5"), QStringLiteral("神奈川県")}},
        {ValueLabels::Off, {QStringLiteral("東京都"), QStringLiteral("神奈川県")}},
    };
    for (const Case& c : cases) {
        mapview::LabelLayer layer;
        mapview::buildNameLabels(layer, tables, state::mdlMain(), mapview::MapMode::Japan, true, canvas);
        const mapview::Label name = layer.lblPref().at(1);
        SymbolOptions o;
        o.valueLabels = c.mode;
        o.valueDecimals = 1;
        applyValueLabels(layer, tables, mapview::MapMode::Japan, o, canvas);
        const mapview::LabelArray& labels = layer.lblPref();
        QStringList captions;
        for (int i = 1; i < labels.count(); ++i)
            captions << labels.at(i).caption;
        EXPECT_EQ(captions, c.captions) << static_cast<int>(c.mode);
        const mapview::Label& value = labels.at(c.mode == ValueLabels::Under ? 3 : 1);
        EXPECT_NEAR(centreX(value), centreX(name), degPerPx) << static_cast<int>(c.mode);
        if (c.mode == ValueLabels::Under) {
            EXPECT_NEAR(value.top, name.top - name.pixelSize.height() * degPerPx, 1e-12);
        }
    }
}
