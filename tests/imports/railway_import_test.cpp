// Today's railway data through the GIS reader: station names held as CP932 inside JSON, the class
// rule for sections without class, and the same drawing from an import as from the converter.
#include "convert/railway_converter.h"
#include "imports/railway_import.h"
#include "import_fixture.h"
#include "layers/railway_layer.h"
#include "platform/cp932.h"
#include "store/railway_files.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

using namespace miratos;

namespace {

struct Station {
    const char* name;
    double lon1, lat1, lon2, lat2;
};
struct Section {
    const char* railClass;
    const char* operatorType;
    const char* line;
    double lon1, lat1, lon2, lat2;
};

// A GeoJSON feature collection as the government writes stations and sections: names in CP932,
// a 0x5C trail byte escaped as "\\".
QByteArray geoJson(const std::vector<Station>& stations, const std::vector<Section>& sections)
{
    auto text = [](const char* utf8) {
        QByteArray bytes = *platform::toCp932(QString::fromUtf8(utf8));
        return bytes.replace("\\", "\\\\");
    };
    auto line = [](double a, double b, double c, double d) {
        return QStringLiteral("{\"type\":\"LineString\",\"coordinates\":[[%1,%2],[%3,%4]]}").arg(a, 0, 'g', 15).arg(b, 0, 'g', 15).arg(c, 0, 'g', 15).arg(d, 0, 'g', 15).toLatin1();
    };
    QByteArray out = "{\"type\":\"FeatureCollection\",\"features\":[\n";
    bool first = true;
    for (const Station& s : stations) {
        out += first ? "" : ",\n";
        first = false;
        out += "{\"type\":\"Feature\",\"properties\":{\"N02_001\":\"11\",\"N02_002\":\"2\",\"N02_003\":\"" + text("山手線")
               + "\",\"N02_004\":\"" + text("東日本旅客鉄道") + "\",\"N02_005\":\"" + text(s.name) + "\"},\"geometry\":"
               + line(s.lon1, s.lat1, s.lon2, s.lat2) + "}";
    }
    for (const Section& s : sections) {
        out += first ? "" : ",\n";
        first = false;
        out += QByteArray("{\"type\":\"Feature\",\"properties\":{\"N02_001\":\"") + s.railClass + "\",\"N02_002\":\"" + s.operatorType
               + "\",\"N02_003\":\"" + text(s.line) + "\",\"N02_004\":\"" + text("東日本旅客鉄道") + "\"},\"geometry\":"
               + line(s.lon1, s.lat1, s.lon2, s.lat2) + "}";
    }
    return out + "\n]}\n";
}

// The same data as railway XML for the converter (curves "cv_rr…", stations on their own curves).
QByteArray railwayXml(const std::vector<Station>& stations, const std::vector<Section>& sections)
{
    QByteArray points, curves, features;
    int n = 0;
    auto curve = [&](double lon1, double lat1, double lon2, double lat2) {
        const QByteArray id = "cv_rr" + QByteArray::number(++n);
        for (int k = 0; k < 2; ++k) {
            points += "<jps:GM_Point id=\"p" + QByteArray::number(n) + "_" + QByteArray::number(k)
                      + "\"><DirectPosition.coordinate>" + QByteArray::number(k ? lat2 : lat1, 'g', 15) + " "
                      + QByteArray::number(k ? lon2 : lon1, 'g', 15) + "</DirectPosition.coordinate></jps:GM_Point>\n";
        }
        curves += "<jps:GM_Curve id=\"" + id + "\"><GM_PointRef.point idref=\"p" + QByteArray::number(n) + "_0\"/><GM_PointRef.point idref=\"p"
                  + QByteArray::number(n) + "_1\"/></jps:GM_Curve>\n";
        return id;
    };
    for (const Section& s : sections) {
        const QByteArray id = curve(s.lon1, s.lat1, s.lon2, s.lat2);
        features += "<ksj:EB02 id=\"e" + id + "\"><ksj:LOC idref=\"" + id + "\"/><ksj:RAC>" + s.railClass + "</ksj:RAC><ksj:INT>"
                    + s.operatorType + "</ksj:INT><ksj:LIN>" + s.line + "</ksj:LIN></ksj:EB02>\n";
    }
    for (const Station& s : stations) {
        const QByteArray id = curve(s.lon1, s.lat1, s.lon2, s.lat2);
        features += "<ksj:EB03 id=\"s" + id + "\"><ksj:LOC idref=\"" + id + "\"/><ksj:STN>" + s.name + "</ksj:STN></ksj:EB03>\n";
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ksj:Dataset xmlns:ksj=\"k\" xmlns:jps=\"j\">\n" + points + curves + features
           + "</ksj:Dataset>\n";
}

const std::vector<Station> kStations = {
    {"表参道", 139.712, 35.665, 139.713, 35.666}, {"能登", 139.3, 35.3, 139.301, 35.301},
    {"ソ連", 139.5, 35.5, 139.5, 35.502},         {"表参道", 139.7125, 35.6655, 139.7135, 35.6665},
};
const std::vector<Section> kSections = {
    {"11", "2", "山手線", 139.1, 35.1, 139.9, 35.9}, {"12", "4", "東横線", 139.2, 35.8, 139.8, 35.2}};

std::string ekiText(const QString& folder)
{
    QFile f(QDir(folder).filePath(QStringLiteral("Eki.dat")));
    return f.open(QIODevice::ReadOnly) ? platform::fromCp932(f.readAll()).toStdString() : "<missing>";
}

} // namespace

using RailwayImport = ImportFolder;

TEST_F(RailwayImport, StationNamesHeldAsCp932InsideJsonComeOutWhole)
{
    const QString stations = inputFile(QStringLiteral("N02-23_Station.geojson"), geoJson(kStations, {}));
    ASSERT_EQ(runImport({stations}), 0) << err();
    const QString folder = prefFolder(QStringLiteral("鉄道"));
    EXPECT_EQ(ekiText(folder), "EB03_1\r\ncv_st1\r\n表参道\r\nEB03_2\r\ncv_st2\r\n能登\r\n"
                               "EB03_3\r\ncv_st3\r\nソ連\r\nEB03_4\r\ncv_st4\r\n表参道\r\n");
    QFile lineSt(QDir(folder).filePath(QStringLiteral("Line_st.dat")));
    ASSERT_TRUE(lineSt.open(QIODevice::ReadOnly));
    EXPECT_TRUE(lineSt.readAll().startsWith("cv_st1\r\n35.665 139.712 35.666 139.713\r\n"));
    // Without sections Line_rr.dat is still written, so the layer loads the stations.
    EXPECT_TRUE(QFile::exists(QDir(folder).filePath(QStringLiteral("Line_rr.dat"))));
}

TEST(RailClassRuleTest, SectionsWithoutClassTakeItFromTheStationsOfTheirLineOrFromTheOperatorType)
{
    imports::RailClassRule rule;
    rule.addStation(QStringLiteral("函館線"), QStringLiteral("北海道旅客鉄道"), QStringLiteral("11"));
    rule.addStation(QStringLiteral("江ノ島線"), QStringLiteral("小田急電鉄"), QStringLiteral("12"));
    rule.addStation(QStringLiteral("江ノ島線"), QStringLiteral("小田急電鉄"), QStringLiteral("12"));
    rule.addStation(QStringLiteral("江ノ島線"), QStringLiteral("小田急電鉄"), QStringLiteral("21"));
    const struct {
        const char* line;
        const char* op;
        const char* type;
        const char* expected;
        bool fromStations;
    } cases[] = {
        {"函館線", "北海道旅客鉄道（旧国鉄）", "4", "11", true}, // bracketed suffix ignored; stations win over the type
        {"江ノ島線", "小田急電鉄", "2", "12", true},            // the most frequent class
        {"東海道新幹線", "東海旅客鉄道", "1", "11", false},
        {"中央線", "東日本旅客鉄道", "2", "11", false},
        {"銀座線", "東京地下鉄", "4", "12", false},
        {"江ノ島線", "江ノ島電鉄", "5", "12", false},           // same line name, other operator
    };
    for (const auto& c : cases) {
        bool fromStations = !c.fromStations;
        EXPECT_EQ(rule.classOf(QString::fromUtf8(c.line), QString::fromUtf8(c.op), QString::fromLatin1(c.type), &fromStations),
                  QString::fromLatin1(c.expected))
            << c.line;
        EXPECT_EQ(fromStations, c.fromStations) << c.line;
    }
}

TEST_F(RailwayImport, ImportAndConverterGiveFilesTheLayerDrawsIdentically)
{
    const QString json = inputFile(QStringLiteral("N02-test.geojson"), geoJson(kStations, kSections));
    ASSERT_EQ(runImport({json}), 0) << err();
    const QString imported = prefFolder(QStringLiteral("鉄道"));

    QTemporaryDir convertedDir;
    const QString xml = convertedDir.filePath(QStringLiteral("N02-test.xml"));
    {
        QFile f(xml);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(railwayXml(kStations, kSections));
    }
    const QString converted = convertedDir.filePath(QStringLiteral("鉄道"));
    ASSERT_TRUE(QDir().mkpath(converted));
    const auto report = convert::鉄道(xml, converted);
    ASSERT_TRUE(report) << report.error().toStdString();

    const mapview::Extent extent{139.f, 35.f, 140.f, 36.f};
    auto render = [&extent](const QString& folder, mapview::LabelLayer& labels) {
        layers::RailwayLayer layer;
        EXPECT_TRUE(layer.load(folder).isEmpty());
        platform::Canvas canvas(300, 300);
        canvas.setScale(139, 36, 140, 35);
        canvas.clear();
        layer.draw(canvas, extent, {});
        layer.stationLabels(labels, true);
        return canvas.image();
    };
    mapview::LabelLayer fromImport, fromConverter;
    const QImage a = render(imported, fromImport);
    const QImage b = render(converted, fromConverter);
    EXPECT_TRUE(a == b);
    const auto& la = fromImport.array(mapview::LabelKind::Eki);
    const auto& lb = fromConverter.array(mapview::LabelKind::Eki);
    ASSERT_EQ(la.count(), 5);
    ASSERT_EQ(la.count(), lb.count());
    for (int i = 1; i < la.count(); ++i) {
        EXPECT_EQ(la.at(i).caption, lb.at(i).caption);
        EXPECT_DOUBLE_EQ(la.at(i).left, lb.at(i).left);
        EXPECT_DOUBLE_EQ(la.at(i).top, lb.at(i).top);
        EXPECT_EQ(la.at(i).visible, lb.at(i).visible);
    }
    EXPECT_FALSE(la.at(4).visible) << "the second 表参道 platform merges into the first";
}

TEST_F(RailwayImport, TheSharedRailwayDataOfJapanImports)
{
    const QString dir = QStringLiteral(MIRATOS_SHARED_DATA "/railway/");
    const QString lines = dir + QStringLiteral("N05-16_railroad.topojson.json");
    const QString stations = dir + QStringLiteral("N02-23_Station.shiftjis.geojson");
    if (!QFile::exists(lines) || !QFile::exists(stations))
        GTEST_SKIP() << "shared railway data absent: " << dir.toStdString();
    ASSERT_EQ(runImport({lines, stations}), 0) << err();
    EXPECT_NE(out().find("鉄道区間"), std::string::npos) << out();
    const auto read = store::readRailwayFiles(prefFolder(QStringLiteral("鉄道")));
    ASSERT_TRUE(read.problems.isEmpty());
    EXPECT_GE(read.tables.sections.size(), 687u);
    EXPECT_EQ(read.tables.sections.size(), read.tables.railCurves.size());
    EXPECT_GT(read.tables.stations.size(), 10000u);
    int shinjuku = 0, omotesando = 0, jrClass = 0;
    for (const auto& s : read.tables.stations) {
        shinjuku += s[2] == QStringLiteral("新宿");
        omotesando += s[2] == QStringLiteral("表参道");
    }
    for (const auto& s : read.tables.sections)
        jrClass += s[2] == QStringLiteral("11");
    EXPECT_GE(shinjuku, 5);
    EXPECT_GE(omotesando, 1);
    EXPECT_GT(jrClass, 200);
}

TEST(SplitRailCurveTest, PiecesHoldAtMostTheLimitShareTheirJointsAndLoseNoPoint)
{
    const struct {
        int points;
        size_t pieces;
    } cases[] = {{0, 0}, {1, 0}, {2, 1}, {50, 1}, {51, 2}, {99, 2}, {100, 3}, {120, 3}};
    for (const auto& c : cases) {
        QVector<QPointF> line;
        for (int i = 0; i < c.points; ++i)
            line.append(QPointF(139 + i * 0.01, 35 + (i % 7) * 0.001));
        const auto pieces = imports::splitRailCurve(line);
        ASSERT_EQ(pieces.size(), c.pieces) << c.points;
        QVector<QPointF> joined;
        for (size_t k = 0; k < pieces.size(); ++k) {
            EXPECT_GE(pieces[k].size(), 2) << c.points;
            EXPECT_LE(pieces[k].size(), imports::kRailCurvePoints) << c.points;
            if (k > 0) {
                EXPECT_EQ(pieces[k].front(), pieces[k - 1].back()) << c.points << " piece " << k;
            }
            joined += k == 0 ? pieces[k] : pieces[k].mid(1);
        }
        if (c.pieces > 0) {
            EXPECT_EQ(joined, line) << c.points;
        }
    }
}

namespace {

// Railway data in the time-series form as GeoJSON: a line of 120 points along 35.5 N from 139.00 E
// eastwards in steps of 0.01 degrees, and stations as points (numbers unquoted) plus one short line.
QByteArray timeSeriesLine()
{
    QByteArray coords;
    for (int i = 0; i < 120; ++i)
        coords += (i ? "," : "") + QByteArray("[") + QByteArray::number(139 + i * 0.01, 'f', 2) + ",35.5]";
    return "{\"type\":\"FeatureCollection\",\"features\":[{\"type\":\"Feature\",\"properties\":{\"type\":1,"
           "\"lineName\":\"東海道新幹線\",\"company\":\"東海旅客鉄道\",\"groupId\":\"EB02_1\"},"
           "\"geometry\":{\"type\":\"LineString\",\"coordinates\":["
           + coords + "]}}]}\n";
}

QByteArray timeSeriesStations()
{
    return "{\"type\":\"FeatureCollection\",\"features\":[\n"
           "{\"type\":\"Feature\",\"properties\":{\"type\":1,\"lineName\":\"東海道新幹線\",\"company\":\"東海旅客鉄道\","
           "\"stationName\":\"新横浜\"},\"geometry\":{\"type\":\"Point\",\"coordinates\":[139.62,35.5]}},\n"
           "{\"type\":\"Feature\",\"properties\":{\"type\":1,\"lineName\":\"東海道新幹線\",\"company\":\"東海旅客鉄道\","
           "\"stationName\":\"小田原\"},\"geometry\":{\"type\":\"LineString\",\"coordinates\":[[139.15,35.5],[139.16,35.5]]}}\n"
           "]}\n";
}

std::map<QString, QByteArray> railwayBytes(const QString& folder)
{
    std::map<QString, QByteArray> files;
    for (const char* name : {"Rosen.dat", "Eki.dat", "Line_rr.dat", "Line_st.dat", "RailwaySet.dat"}) {
        QFile f(QDir(folder).filePath(QString::fromLatin1(name)));
        files[QString::fromLatin1(name)] = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    return files;
}

} // namespace

TEST_F(RailwayImport, ALongLineStartingOutsideTheViewIsDrawnInsideIt)
{
    const QString lines = inputFile(QStringLiteral("N05-railroad.geojson"), timeSeriesLine());
    ASSERT_EQ(runImport({lines}), 0) << err();
    EXPECT_NE(out().find("鉄道区間 3 件（種別を駅から 0 件、事業者種別から 3 件）"), std::string::npos) << out();
    const QString folder = prefFolder(QStringLiteral("鉄道"));
    const auto read = store::readRailwayFiles(folder);
    ASSERT_TRUE(read.problems.isEmpty());
    ASSERT_EQ(read.tables.sections.size(), 3u);
    ASSERT_EQ(read.tables.railCurves.size(), 3u);
    QSet<QString> ids, curves;
    for (const auto& s : read.tables.sections) {
        ids.insert(s[0]);
        curves.insert(s[1]);
        EXPECT_EQ(s[2], QStringLiteral("11"));
        EXPECT_EQ(s[3], QStringLiteral("1"));
        EXPECT_EQ(s[4], QStringLiteral("東海道新幹線"));
    }
    EXPECT_EQ(ids.size(), 3);
    for (const auto& c : read.tables.railCurves)
        EXPECT_TRUE(curves.contains(c[0])) << c[0].toStdString();

    // The view 139.45–139.75 E holds neither end of the line; the curve starting at 139.49 E
    // draws across it.
    layers::RailwayLayer layer;
    ASSERT_TRUE(layer.load(folder).isEmpty());
    const mapview::Extent extent{139.45f, 35.45f, 139.75f, 35.55f};
    platform::Canvas canvas(300, 100);
    canvas.setScale(139.45, 35.55, 139.75, 35.45);
    canvas.clear();
    layer.draw(canvas, extent, {});
    const int background = canvas.pixel(QPoint(150, 10));
    for (int x : {60, 150, 295}) {
        bool drawn = false;
        for (int y = 47; y <= 53; ++y)
            drawn = drawn || canvas.pixel(QPoint(x, y)) != background;
        EXPECT_TRUE(drawn) << "column " << x;
    }
}

TEST_F(RailwayImport, StationsAsPointsOfTheTimeSeriesFormAreImportedAsStations)
{
    const QString stations = inputFile(QStringLiteral("N05-station.geojson"), timeSeriesStations());
    ASSERT_EQ(runImport({stations}), 0) << err();
    const QString folder = prefFolder(QStringLiteral("鉄道"));
    EXPECT_EQ(ekiText(folder), "EB03_1\r\ncv_st1\r\n新横浜\r\nEB03_2\r\ncv_st2\r\n小田原\r\n");
    const auto read = store::readRailwayFiles(folder);
    ASSERT_EQ(read.tables.stationCurves.size(), 2u);
    EXPECT_EQ(read.tables.stationCurves[0][1], QStringLiteral("35.5 139.62 35.5 139.62"));
    EXPECT_EQ(read.tables.stationCurves[1][1], QStringLiteral("35.5 139.15 35.5 139.16"));
    EXPECT_TRUE(read.tables.sections.empty());
}

TEST_F(RailwayImport, LinesAndStationsInTwoRunsWriteTheSameFilesAsInOne)
{
    const QString lines = inputFile(QStringLiteral("N05-railroad.geojson"), timeSeriesLine());
    const QString stations = inputFile(QStringLiteral("N05-station.geojson"), timeSeriesStations());
    const QString folder = prefFolder(QStringLiteral("鉄道"));
    ASSERT_EQ(runImport({lines, stations}), 0) << err();
    const auto once = railwayBytes(folder);
    EXPECT_NE(once.at(QStringLiteral("Eki.dat")), QByteArray());
    EXPECT_NE(once.at(QStringLiteral("Rosen.dat")), QByteArray());
    for (const QStringList& order : {QStringList{lines, stations}, QStringList{stations, lines}}) {
        ASSERT_TRUE(QDir(folder).removeRecursively());
        for (const QString& file : order)
            ASSERT_EQ(runImport({file}), 0) << err();
        EXPECT_EQ(railwayBytes(folder), once) << "first " << order.first().toStdString();
    }
}

TEST_F(RailwayImport, TheTokaidoShinkansenOfTheSharedDataStartsCurvesInsideKanagawa)
{
    const QString dir = QStringLiteral(MIRATOS_SHARED_DATA "/railway/");
    const QString lines = dir + QStringLiteral("N05-16_railroad.topojson.json");
    const QString stations = dir + QStringLiteral("N05-16_station.topojson.json");
    if (!QFile::exists(lines) || !QFile::exists(stations))
        GTEST_SKIP() << "shared railway data absent: " << dir.toStdString();
    ASSERT_EQ(runImport({lines, stations}), 0) << err();
    const auto read = store::readRailwayFiles(prefFolder(QStringLiteral("鉄道")));
    ASSERT_TRUE(read.problems.isEmpty());
    EXPECT_GT(read.tables.stations.size(), 10000u);
    QSet<QString> shinkansen;
    for (const auto& s : read.tables.sections) {
        if (s[4] == QStringLiteral("東海道新幹線"))
            shinkansen.insert(s[1]);
    }
    ASSERT_FALSE(shinkansen.isEmpty());
    int inKanagawa = 0;
    for (const auto& c : read.tables.railCurves) {
        if (!shinkansen.contains(c[0]))
            continue;
        const QVector<QPointF> pts = layers::parseRailCoords(c[1]);
        ASSERT_FALSE(pts.isEmpty());
        EXPECT_LE(pts.size(), imports::kRailCurvePoints);
        const QPointF p = pts.front();
        inKanagawa += p.x() > 138.9 && p.x() < 139.8 && p.y() > 35.1 && p.y() < 35.7;
    }
    EXPECT_GT(inKanagawa, 0);
}
