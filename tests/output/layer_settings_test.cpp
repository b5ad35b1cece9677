// Storing a row of LayerProperty and applying it to the labels already on the map.
#include "mapview/name_labels.h"
#include "output/layer_settings.h"

#include <gtest/gtest.h>

using namespace miratos;
using namespace miratos::output;
using mapview::LabelKind;

namespace {

constexpr int kRed = state::rgbColor(255, 0, 0);

class LayerSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.LayerProperty = state::layerPropertyDefaults(QStringLiteral("City"));
        for (int k = 0; k < mapview::kLabelKinds; ++k)
            layer.array(static_cast<LabelKind>(k)).restyle(mapview::labelStyleOf(state, static_cast<LabelKind>(k)));
        scale.setScale(139, 36, 140, 35); // 600 px per degree
    }
    LayerSettings settings(const char* size, int color, bool back)
    {
        LayerSettings s;
        s.size = QString::fromLatin1(size);
        s.color1 = color;
        s.back = back;
        return s;
    }
    state::MdlMain state;
    mapview::LabelLayer layer;
    platform::Canvas scale{600, 600};
};

} // namespace

TEST_F(LayerSettingsTest, NameRowRestylesEveryNameLabelAtOnceAndIsStored)
{
    auto& names = layer.lblPref();
    for (const char* caption : {"千代田区", "中央区", "港区"})
        layer.add(LabelKind::Pref, QString::fromUtf8(caption), 139.5, 35.5);
    const int town = layer.add(LabelKind::Tiku, QStringLiteral("銀座5"), 139.5, 35.5);
    const QSize townSize = layer.lblTiku().at(town).pixelSize;
    const QSize before = names.at(1).pixelSize;

    EXPECT_EQ(applyLayerProperty(kRowNames, 0, settings("12", kRed, true), state, layer, scale), LayerFollowUp::Repaint);

    EXPECT_EQ(state.LayerProperty[0][0].toInt(), 12);
    EXPECT_EQ(state.LayerProperty[0][1].toInt(), kRed);
    EXPECT_EQ(state.LayerProperty[0][2].toInt(), 1);
    EXPECT_EQ(names.style().font.pointSize(), 12);
    EXPECT_EQ(names.style().color, kRed);
    EXPECT_GT(names.at(1).pixelSize.height(), before.height());
    mapview::LabelArray reference(LabelKind::Pref);
    reference.restyle(names.style());
    for (int i = 1; i < names.count(); ++i) {
        EXPECT_TRUE(names.at(i).opaque) << i;
        EXPECT_EQ(names.at(i).pixelSize, reference.measure(names.at(i).caption)) << i;
    }
    // Another kind is left alone.
    EXPECT_EQ(layer.lblTiku().at(town).pixelSize, townSize);
    EXPECT_FALSE(layer.lblTiku().at(town).opaque);
    EXPECT_EQ(state.LayerProperty[1][0].toInt(), 8);
}

TEST_F(LayerSettingsTest, EmptyTownCaptionStaysTransparentAndUntickingClearsTheBoxes)
{
    layer.add(LabelKind::Tiku, QStringLiteral("銀座5"), 139.5, 35.5);
    layer.add(LabelKind::Tiku, QString(), 139.5, 35.5);
    applyLayerProperty(kRowTowns, 0, settings("8", 0, true), state, layer, scale);
    EXPECT_TRUE(layer.lblTiku().at(1).opaque);
    EXPECT_FALSE(layer.lblTiku().at(2).opaque);

    applyLayerProperty(kRowTowns, 0, settings("8", 0, false), state, layer, scale);
    EXPECT_FALSE(layer.lblTiku().at(1).opaque);
    EXPECT_EQ(state.LayerProperty[1][2].toInt(), 0);
}

TEST_F(LayerSettingsTest, FontSizeTextThatIsNotAUsableNumberKeepsTheOldSize)
{
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"12", 12}, {" 14 ", 14}, {"10.5", 10}, {"11.5", 12}, {"abc", std::nullopt}, {"", std::nullopt},
        {"0", std::nullopt}, {"-3", std::nullopt}, {"40000", std::nullopt},
    };
    for (const auto& [text, size] : cases)
        EXPECT_EQ(fontSizeOf(QString::fromLatin1(text)), size) << text;

    layer.add(LabelKind::Eki, QStringLiteral("東京"), 139.5, 35.5);
    applyLayerProperty(kRowStations, 0, settings("abc", kRed, false), state, layer, scale);
    EXPECT_EQ(state.LayerProperty[2][0].toInt(), 8);
    EXPECT_EQ(layer.array(LabelKind::Eki).style().font.pointSize(), 8);
    EXPECT_EQ(state.LayerProperty[2][1].toInt(), kRed); // the rest of the row is still taken
}

TEST_F(LayerSettingsTest, MarkersAreCentredOnTheirFacilityAndNamesFollow)
{
    auto& markers = layer.array(LabelKind::BuildP);
    auto& names = layer.array(LabelKind::Build);
    layer.add(LabelKind::BuildP, QStringLiteral("●"), 139.1, 35.9);
    markers.edit(1).tag = QStringLiteral("139.5 35.5");
    layer.add(LabelKind::Build, QStringLiteral("市役所"), 139.1, 35.9);
    layer.add(LabelKind::BuildP, QStringLiteral("●"), 139.2, 35.8); // no tag: stays put
    layer.add(LabelKind::Build, QStringLiteral("公園"), 139.2, 35.8);

    applyLayerProperty(kRowMarkers, 0, settings("18", 0, false), state, layer, scale);
    QRectF m = markers.mapRect(1, scale);
    QRectF n = names.mapRect(1, scale);
    EXPECT_DOUBLE_EQ(m.left() + m.width() / 2, 139.5);
    EXPECT_DOUBLE_EQ(m.top() - m.height() / 2, 35.5);
    EXPECT_DOUBLE_EQ(n.left(), m.left() + m.width());
    EXPECT_DOUBLE_EQ(n.top() - n.height() / 2, m.top() - m.height() / 2);
    EXPECT_DOUBLE_EQ(markers.at(2).left, 139.2);
    EXPECT_DOUBLE_EQ(names.at(2).top, 35.8);

    // A new name size keeps each name's vertical centre on its marker's.
    applyLayerProperty(kRowFacilityNames, 0, settings("6", 0, false), state, layer, scale);
    for (int i = 1; i <= 2; ++i) {
        m = markers.mapRect(i, scale);
        n = names.mapRect(i, scale);
        EXPECT_NEAR(n.top() - n.height() / 2, m.top() - m.height() / 2, 1e-12) << i;
    }
    EXPECT_DOUBLE_EQ(names.at(1).left, markers.mapRect(1, scale).right());
}

TEST_F(LayerSettingsTest, OverlayRowsStoreOnlyTheirOwnColumns)
{
    const auto defaults = state.LayerProperty;
    const int blue = state::rgbColor(0, 0, 200);
    const int green = state::rgbColor(0, 200, 0);
    struct Case {
        int kind;
        int roadIndex;
        LayerSettings settings;
        std::array<QVariant, 3> row;
        LayerFollowUp followUp;
    };
    const Case cases[] = {
        {kRowRailway, 0, {{}, {}, blue, green, false}, {QVariant(), blue, green}, LayerFollowUp::RedrawRailways},
        // "国道": column 1 only; the other road classes keep their colours.
        {kRowRoads, 1, {{}, {}, blue, 0, false}, {defaults[6][0], blue, defaults[6][2]}, LayerFollowUp::RedrawRoads},
        {kRowRankCircles, 0, {QStringLiteral("0.01"), QStringLiteral("4"), blue, 0, true}, {QStringLiteral("0.01 4"), blue, 1},
         LayerFollowUp::RebuildRankCircles},
        // An unusable circle size keeps the stored size rule.
        {kRowRankCircles, 0, {QStringLiteral("x"), QStringLiteral("4"), blue, 0, false}, {QStringLiteral("0.0003 2"), blue, 0},
         LayerFollowUp::RebuildRankCircles},
    };
    for (const Case& c : cases) {
        state.LayerProperty = defaults;
        EXPECT_EQ(applyLayerProperty(c.kind, c.roadIndex, c.settings, state, layer, scale), c.followUp) << c.kind;
        for (size_t col = 0; col < 3; ++col)
            EXPECT_EQ(state.LayerProperty[static_cast<size_t>(c.kind)][col], c.row[col]) << c.kind << " column " << col;
        for (int other = 0; other < 8; ++other) {
            if (other != c.kind) {
                EXPECT_EQ(state.LayerProperty[static_cast<size_t>(other)], defaults[static_cast<size_t>(other)]) << other;
            }
        }
    }
}

TEST_F(LayerSettingsTest, RankCircleRowIsSplitForTheDialog)
{
    const LayerSettings s = layerSettingsOf(state, kRowRankCircles, 0);
    EXPECT_EQ(s.size, QStringLiteral("0.0003"));
    EXPECT_EQ(s.ratio, QStringLiteral("2"));
    EXPECT_EQ(s.color1, state::rgbColor(128, 255, 128));
    EXPECT_EQ(layerSettingsOf(state, kRowRoads, 2).color1, state::rgbColor(192, 192, 192));
    EXPECT_EQ(layerSettingsOf(state, kRowStations, 0).color1, 0); // the system text colour is black
}
