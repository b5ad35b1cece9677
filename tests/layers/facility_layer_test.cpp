// The facility layer: the class tree and its check rule, markers and names of ticked classes in
// both marker styles, the rank circle sizes, and the City-mode choice of facilities.
#include "layers/facility_layer.h"

#include "platform/cp932.h"
#include "state/mdl_main.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace miratos;
using layers::BuildClassTree;
using layers::FacilityLayer;
using layers::RankSettings;
using mapview::LabelKind;
using store::BuildRow;

namespace {

BuildRow facility(const char* major, const char* minor, const char* name, double lat, double lon, const char* value = "",
                  const char* code = "13101")
{
    return {QString::number(lat), QString::number(lon), QString::fromUtf8(code), QString::fromUtf8(major),
            QString::fromUtf8(minor), QString::fromUtf8(name), QStringLiteral("住所") + QString::fromUtf8(name),
            QString::fromUtf8(value)};
}

// 200 × 200 pixels over 139..141 E, 35..37 N: 0.01 degree per pixel.
platform::Canvas viewCanvas()
{
    platform::Canvas c(200, 200);
    c.setScale(139, 37, 141, 35);
    return c;
}

QStringList captions(const mapview::LabelLayer& layer, LabelKind kind)
{
    QStringList out;
    const auto& a = layer.array(kind);
    for (int i = 1; i < a.count(); ++i)
        out << a.at(i).caption;
    return out;
}

bool checkedKey(const BuildClassTree& tree, const QString& key)
{
    return tree.nodes()[static_cast<size_t>(tree.indexOf(key))].checked;
}

} // namespace

TEST(FacilityTree, MinorClassesGoUnderTheFirstMajorClassAndKeysStayUnique)
{
    FacilityLayer layer;
    layer.append({facility("学校", "小学校", "Ａ", 36, 140), facility("病院", "一般病院", "Ｂ", 36, 140),
                  facility("学校", "中学校", "Ｃ", 36, 140), facility("その他", "小学校", "Ｄ", 36, 140)});
    const auto& nodes = layer.tvwBuild().nodes();
    QStringList shown;
    for (const auto& n : nodes)
        shown << (n.parent < 0 ? n.key : nodes[static_cast<size_t>(n.parent)].text + QLatin1Char('/') + n.key);
    EXPECT_EQ(shown, (QStringList{QStringLiteral("学校p"), QStringLiteral("学校/小学校c"), QStringLiteral("病院p"),
                                  QStringLiteral("病院/一般病院c"), QStringLiteral("学校/中学校c"), QStringLiteral("その他p")}));
}

TEST(FacilityTree, AMajorClassPassesItsStateToItsMinorClasses)
{
    FacilityLayer layer;
    layer.append({facility("学校", "小学校", "Ａ", 36, 140), facility("学校", "中学校", "Ｂ", 36, 140),
                  facility("病院", "一般病院", "Ｃ", 36, 140)});
    BuildClassTree& tree = layer.tvwBuild();
    tree.setChecked(tree.indexOf(QStringLiteral("学校p")), false);
    EXPECT_FALSE(tree.minorChecked(QStringLiteral("小学校")));
    EXPECT_FALSE(tree.minorChecked(QStringLiteral("中学校")));
    EXPECT_TRUE(tree.minorChecked(QStringLiteral("一般病院")));
    // A minor class alone changes only itself.
    tree.setChecked(tree.indexOf(QStringLiteral("中学校c")), true);
    EXPECT_TRUE(tree.minorChecked(QStringLiteral("中学校")));
    EXPECT_FALSE(tree.minorChecked(QStringLiteral("小学校")));
    EXPECT_FALSE(checkedKey(tree, QStringLiteral("学校p")));
    tree.setChecked(tree.indexOf(QStringLiteral("学校p")), true);
    EXPECT_TRUE(tree.minorChecked(QStringLiteral("小学校")));

    // Unticked facilities get neither marker nor circle, even with a value.
    layer.append({facility("学校", "小学校", "Ｖ", 36, 140, "5"), facility("病院", "一般病院", "Ｗ", 36, 140, "9")});
    tree.setChecked(tree.indexOf(QStringLiteral("学校p")), false);
    mapview::LabelLayer labels;
    const platform::Canvas scale = viewCanvas();
    layer.markers(labels, true, true, QString(), scale);
    EXPECT_EQ(captions(labels, LabelKind::Build), (QStringList{QStringLiteral("Ｃ"), QStringLiteral("Ｗ")}));
    EXPECT_EQ(layer.rankCircles(labels, true, RankSettings{}), 1);
}

TEST(FacilityMarkers, PlacedCentredWithNamesBesideAndTooltips)
{
    FacilityLayer layer;
    layer.append({facility("学校", "小学校", "麹町小学校", 36, 140)});
    mapview::LabelLayer labels;
    const platform::Canvas scale = viewCanvas();
    layer.markers(labels, true, false, QString(), scale);
    const auto& marks = labels.array(LabelKind::BuildP);
    const auto& names = labels.array(LabelKind::Build);
    ASSERT_EQ(marks.count(), 2);
    ASSERT_EQ(names.count(), 2);
    const QRectF m = marks.mapRect(1, scale);
    EXPECT_NEAR(m.left() + m.width() / 2, 140, 1e-9);
    EXPECT_NEAR(m.top() - m.height() / 2, 36, 1e-9);
    EXPECT_EQ(marks.at(1).caption, QStringLiteral("・"));
    EXPECT_EQ(marks.at(1).tag, QStringLiteral("140 36"));
    EXPECT_EQ(marks.at(1).tooltip, QStringLiteral("麹町小学校"));
    const QRectF n = names.mapRect(1, scale);
    EXPECT_NEAR(n.left(), m.left() + m.width(), 1e-9);
    EXPECT_NEAR(n.top() - n.height() / 2, m.top() - m.height() / 2, 1e-9);
    EXPECT_EQ(names.at(1).tooltip, QStringLiteral("住所麹町小学校"));
    EXPECT_FALSE(names.at(1).visible); // 施設名 not ticked
    layer.showNames(labels, true);
    EXPECT_TRUE(names.at(1).visible);
    layer.markers(labels, false, true, QString(), scale);
    EXPECT_EQ(marks.count(), 1);
    EXPECT_EQ(names.count(), 1);
}

TEST(FacilityMarkers, SymbolModeUsesBuildStringAndThePlainMarkerWithoutAKey)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("公共施設.ini"));
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(*platform::toCp932(QStringLiteral("[BuildString]\r\n学校=学\r\n病院=\"病\"\r\n")));
    file.close();

    FacilityLayer layer;
    layer.append({facility("学校", "小学校", "Ａ", 36, 140), facility("警察機関", "交番", "Ｂ", 36, 140),
                  facility("病院", "一般病院", "Ｃ", 36, 140)});
    const platform::Canvas scale = viewCanvas();
    struct Case {
        int style;
        QString file;
        QStringList expected;
    };
    const Case cases[] = {
        {0, ini, {QStringLiteral("・"), QStringLiteral("・"), QStringLiteral("・")}},
        {1, ini, {QStringLiteral("学"), QStringLiteral("・"), QStringLiteral("病")}},
        {1, dir.filePath(QStringLiteral("none.ini")), {QStringLiteral("・"), QStringLiteral("・"), QStringLiteral("・")}},
    };
    for (const Case& c : cases) {
        layer.MarkerStyle = c.style;
        mapview::LabelLayer labels;
        layer.markers(labels, true, true, c.file, scale);
        EXPECT_EQ(captions(labels, LabelKind::BuildP), c.expected) << c.style;
    }
}

TEST(FacilityRanks, DiametersForBothSizeRules)
{
    struct Case {
        const char* name;
        bool minZero;
        std::vector<const char*> values;
        std::vector<double> diameters; // of the facilities with numeric values, in order
    };
    // s = 0.01, r = 3.
    const Case cases[] = {
        {"linear from s to r·s", false, {"10", "20", "30"}, {0.01, 0.02, 0.03}},
        {"proportional, 0 gets 0", true, {"0", "20", "40"}, {0.0, 0.005, 0.01}},
        {"non-numeric values get no circle", false, {"-", "10", "", "X", "30"}, {0.01, 0.03}},
        {"all equal: every circle s", false, {"7", "7", "7"}, {0.01, 0.01, 0.01}},
        {"a single value: s", false, {"5"}, {0.01}},
        {"maximum 0 with 最小値 = 0: every circle s", true, {"0", "0"}, {0.01, 0.01}},
        {"negative value with 最小値 = 0: no negative size", true, {"-5", "10"}, {0.0, 0.01}},
        {"negative values linear", false, {"-10", "0", "10"}, {0.01, 0.02, 0.03}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FacilityLayer layer;
        std::vector<BuildRow> rows;
        for (size_t i = 0; i < c.values.size(); ++i)
            rows.push_back(facility("学校", "小学校", "Ａ", 36, 140 + 0.1 * static_cast<double>(i), c.values[i]));
        layer.append(std::move(rows));
        mapview::LabelLayer labels;
        RankSettings settings{0.01, 3, c.minZero, 255};
        ASSERT_EQ(layer.rankCircles(labels, true, settings), static_cast<int>(c.diameters.size()));
        ASSERT_EQ(labels.circles().size(), c.diameters.size());
        EXPECT_EQ(labels.circleColor, 255);
        for (size_t j = 0; j < c.diameters.size(); ++j) {
            const auto& circle = labels.circles()[j];
            EXPECT_NEAR(circle.width, c.diameters[j], 1e-12) << j;
            EXPECT_EQ(circle.width, circle.height);
            EXPECT_NEAR(circle.top - circle.height / 2, 36, 1e-12);
        }
    }
}

TEST(FacilityRanks, SettingsComeFromRowSeven)
{
    state::MdlMain s;
    s.LayerProperty[7] = {QStringLiteral("0.05 4"), 65535, 1};
    const RankSettings r = layers::rankSettingsOf(s);
    EXPECT_DOUBLE_EQ(r.size, 0.05);
    EXPECT_DOUBLE_EQ(r.ratio, 4);
    EXPECT_TRUE(r.minZero);
    EXPECT_EQ(r.color, 65535);
}

TEST(FacilityCity, OnlyTheChosenMunicipalitiesInFileOrder)
{
    const std::vector<BuildRow> rows = {facility("学校", "小学校", "Ａ", 36, 140, "", "13101"),
                                        facility("学校", "小学校", "Ｂ", 36, 140, "", "13102"),
                                        facility("学校", "小学校", "Ｃ", 36, 140, "", "13103"),
                                        facility("学校", "小学校", "Ｄ", 36, 140, "", "13101")};
    const auto kept = FacilityLayer::keepChosen(rows, {QStringLiteral("13103"), QStringLiteral("13101")});
    QStringList names;
    for (const auto& r : kept)
        names << r[store::kBuildName];
    EXPECT_EQ(names, (QStringList{QStringLiteral("Ａ"), QStringLiteral("Ｃ"), QStringLiteral("Ｄ")}));
}
