#include "state/mdl_main.h"
#include "mapview/name_labels.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace miratos;
using namespace miratos::mapview;

TEST(NameLabels, MunicipalityCaptionPrefersTheWardWrittenBeforeItsCity)
{
    const std::pair<const char*, const char*> cases[] = {
        {"大阪府@大阪市@北区", "北区"},
        {"大阪府@北区@大阪市", "北区"},
        {"東京都@千代田区", "千代田区"},
        {"北海道@石狩郡@当別町", "当別町"},
        {"東京都", "東京都"},
    };
    for (const auto& [parts, caption] : cases)
        EXPECT_EQ(municipalityCaption(QString::fromUtf8(parts)), QString::fromUtf8(caption)) << parts;
}

TEST(NameLabels, TownCaptionDropsChomeAndNarrowsCharacters)
{
    const std::pair<const char*, const char*> cases[] = {
        {"銀座５丁目", "銀座5"},
        {"丁目", ""},
        {"ＡＢＣ町１丁目２丁目", "ABC町12"},
        {"ガーデンパーク", "ｶﾞｰﾃﾞﾝﾊﾟｰｸ"},
        {"大字　東", "大字 東"},
    };
    for (const auto& [name, caption] : cases)
        EXPECT_EQ(townCaption(QString::fromUtf8(name)), QString::fromUtf8(caption)) << name;
}

namespace {

class TownLabels : public ::testing::Test {
protected:
    void SetUp() override
    {
        state::resetMdlMain();
        state::mdlMain().LayerProperty = state::layerPropertyDefaults(QStringLiteral("City"));
        state::mdlMain().LayerProperty[1][2] = 1; // white boxes
        layer.lblTiku().restyle(labelStyleOf(state::mdlMain(), LabelKind::Tiku));
        scale.setScale(139, 36, 140, 35); // 600 px per degree
        add("13101000101", "銀座五丁目", "15000", "M");
        add("13101000102", "銀座５丁目", "15000", "");
        add("13101000103", "銀座１丁目", "30000", "M");
        add("13101000104", "丁目", "30000", "M");
    }
    void add(const char* code, const char* name, const char* area, const char* flag)
    {
        DistrictRecord d;
        d.code = QString::fromLatin1(code);
        d.townName = QString::fromUtf8(name);
        d.area = QString::fromLatin1(area);
        d.representative = QString::fromLatin1(flag);
        d.labelX = QStringLiteral("139.5");
        d.labelY = QStringLiteral("35.5");
        t.DistrictRecords.push_back(d);
        t.lvwUseTiku.add(QStringLiteral("G") + d.code, d.townName, {QStringLiteral("42")});
    }
    QStringList captions()
    {
        QStringList c;
        for (int i = 1; i < layer.lblTiku().count(); ++i)
            c << layer.lblTiku().at(i).caption;
        return c;
    }
    MapTables t;
    LabelLayer layer;
    platform::Canvas scale{600, 600};
};

} // namespace

TEST_F(TownLabels, FiltersThinTheTownNames)
{
    struct Case {
        TownFilter filter;
        QStringList expected;
    };
    TownFilter representative;
    representative.representativeOnly = true;
    TownFilter minimum;
    minimum.minimumArea = true;
    minimum.minimum = 20000;
    TownFilter topRank;
    topRank.topRankOnly = true;
    const Case cases[] = {
        {{}, {QStringLiteral("銀座五"), QStringLiteral("銀座5"), QStringLiteral("銀座1"), QString()}},
        {representative, {QStringLiteral("銀座五"), QStringLiteral("銀座1"), QString()}},
        // 15000 m² is below the minimum, but the full-width "５" keeps its label.
        {minimum, {QStringLiteral("銀座5"), QStringLiteral("銀座1"), QString()}},
        // Before a statistic fill "ランク１位のみ表示" changes nothing.
        {topRank, {QStringLiteral("銀座五"), QStringLiteral("銀座5"), QStringLiteral("銀座1"), QString()}},
    };
    for (const auto& c : cases) {
        buildTownLabels(layer, t, state::mdlMain(), true, c.filter, scale);
        EXPECT_EQ(captions(), c.expected);
    }
    buildTownLabels(layer, t, state::mdlMain(), false, {}, scale);
    EXPECT_EQ(layer.lblTiku().count(), 1);
}

TEST_F(TownLabels, AfterAStatisticFillTopRankOnlyAndValueTooltips)
{
    state::mdlMain().StatDrawn = true;
    t.lvwUseTiku.find(QStringLiteral("G13101000103"))->setSubItem(3, QStringLiteral("1"));
    TownFilter topRank;
    topRank.topRankOnly = true;
    buildTownLabels(layer, t, state::mdlMain(), true, topRank, scale);
    ASSERT_EQ(captions(), QStringList{QStringLiteral("銀座1")});
    EXPECT_EQ(layer.lblTiku().at(1).tooltip, QStringLiteral("42"));
}

TEST_F(TownLabels, EmptyCaptionIsTransparentAndLabelsAreCentredOnWholePixels)
{
    buildTownLabels(layer, t, state::mdlMain(), true, {}, scale);
    const Label& empty = layer.lblTiku().at(4);
    EXPECT_TRUE(empty.caption.isEmpty());
    EXPECT_FALSE(empty.opaque);
    const Label& ginza = layer.lblTiku().at(3);
    EXPECT_TRUE(ginza.opaque);
    EXPECT_EQ(ginza.tooltip, QStringLiteral("銀座1"));
    const QSize size = ginza.pixelSize;
    ASSERT_GT(size.width(), 0);
    EXPECT_DOUBLE_EQ(ginza.left, 139.5 - (size.width() / 2) / 600.0);
    EXPECT_DOUBLE_EQ(ginza.top, 35.5 + (size.height() / 2) / 600.0);
}

TEST(NameLabelsByMode, JapanCentresPrefectureNamesAndCityAnchorsTopLeft)
{
    state::resetMdlMain();
    auto& s = state::mdlMain();
    MapTables t;
    t.lvwUsePref.add(QStringLiteral("K13"), QStringLiteral("東京都"), {QStringLiteral("139.5"), QStringLiteral("35.5"), QStringLiteral("1234")});
    LabelLayer layer;
    platform::Canvas scale(600, 600);
    scale.setScale(139, 36, 140, 35);
    buildNameLabels(layer, t, s, MapMode::Japan, true, scale);
    ASSERT_EQ(layer.lblPref().count(), 2);
    EXPECT_LT(layer.lblPref().at(1).left, 139.5);
    EXPECT_EQ(layer.lblPref().at(1).tooltip, QStringLiteral("東京都"));
    s.StatDrawn = true;
    buildNameLabels(layer, t, s, MapMode::Japan, true, scale);
    EXPECT_EQ(layer.lblPref().at(1).tooltip, QStringLiteral("1234"));

    s.TikuCount = 1;
    s.TikuTable = {{}, {QStringLiteral("千代田区"), QStringLiteral("139.75"), QStringLiteral("35.69"), QStringLiteral("13101")}};
    buildNameLabels(layer, t, s, MapMode::City, true, scale);
    EXPECT_DOUBLE_EQ(layer.lblPref().at(1).left, 139.75);
    EXPECT_DOUBLE_EQ(layer.lblPref().at(1).top, 35.69);
    buildNameLabels(layer, t, s, MapMode::City, false, scale);
    EXPECT_EQ(layer.lblPref().count(), 1);
}

TEST(LabelLayer, KeepsMapPositionsAndHitsTheTopMostLabel)
{
    LabelLayer layer;
    platform::Canvas scale(600, 600);
    scale.setScale(139, 36, 140, 35);
    const int a = layer.add(LabelKind::Pref, QStringLiteral("東京都"), 139.5, 35.5);
    const int b = layer.add(LabelKind::Eki, QStringLiteral("新宿駅"), 139.5, 35.5);
    layer.array(LabelKind::Pref).edit(a).tooltip = QStringLiteral("下");
    auto hit = layer.hitTest({302, 302}, scale);
    ASSERT_TRUE(hit.has_value());
    EXPECT_EQ(hit->kind, LabelKind::Eki);
    EXPECT_EQ(hit->index, b);
    layer.array(LabelKind::Eki).edit(b).visible = false;
    EXPECT_EQ(layer.hitTest({302, 302}, scale)->kind, LabelKind::Pref);
    EXPECT_FALSE(layer.hitTest({100, 100}, scale).has_value());

    // Zooming in around the point moves the label with the map.
    scale.setScale(139.25, 35.75, 139.75, 35.25);
    EXPECT_EQ(labelPixelRect(layer.array(LabelKind::Pref).at(a), scale).topLeft(), QPoint(300, 300));
    layer.removeAll();
    EXPECT_EQ(layer.array(LabelKind::Pref).count(), 1);
}
