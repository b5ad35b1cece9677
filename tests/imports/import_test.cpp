// "miratos import" on small hand-made TopoJSON topologies: the six files of each prefecture as
// written, byte for byte where the layout is fixed.
#include "imports/label_point.h"
#include "import_fixture.h"
#include "store/coord_list.h"
#include "store/point_file.h"

#include <QRectF>
#include <algorithm>

using miratos::imports::isInsideRings;
using miratos::imports::PointRing;

namespace imports = miratos::imports;

namespace {

// Two wards of a square split down the middle by one shared arc (0), an island (arc 3) given as
// a feature of its own with the code of the west ward, a feature without code, one without
// geometry and one that is not a polygon. Plain coordinates, no transform.
const QByteArray kTwoWardsAndIsland = R"({"type":"Topology",
 "arcs":[
  [[139.5,36],[139.5,35]],
  [[139.5,35],[139,35],[139,36],[139.5,36]],
  [[139.5,36],[140,36],[140,35],[139.5,35]],
  [[141,35],[141.25,35],[141.25,35.25],[141,35]]],
 "objects":{"tokyo":{"type":"GeometryCollection","geometries":[
  {"type":"Polygon","arcs":[[3]],"properties":{"N03_001":"東京都","N03_003":null,"N03_004":"千代田区","N03_007":"13101"}},
  {"type":"Polygon","arcs":[[-1,2]],"properties":{"N03_001":"東京都","N03_003":null,"N03_004":"中央区","N03_007":"13102"}},
  {"type":"MultiPolygon","arcs":[[[0,1]]],"properties":{"N03_001":"東京都","N03_003":null,"N03_004":"千代田区","N03_007":"13101"}},
  {"type":"Polygon","arcs":[[0]],"properties":{"N03_001":"東京都","N03_004":"所属未定地","N03_007":null}},
  {"type":null,"properties":{"N03_001":"東京都","N03_004":"形なし","N03_007":"13103"}},
  {"type":"LineString","arcs":[0],"properties":{"N03_007":"13104"}}]}}})";

TEST_F(ImportFolder, SharedArcIsOneLineAndOutlineIsTheRest)
{
    ASSERT_EQ(runImport({inputFile(QStringLiteral("tokyo.json"), kTwoWardsAndIsland)}), 0) << err();
    const QString tokyo = QStringLiteral("東京都");
    // The west ward's polygons merged, its larger one first; the shared arc 13c1 walked forwards
    // by the west ward and backwards by the east ward.
    EXPECT_EQ(fileText(tokyo, QStringLiteral("Polygon.dat")), "13a1\r\n13c1@13c2\r\n13a2\r\n13c3\r\n13a3\r\n_13c1@13c4\r\n");
    EXPECT_EQ(fileText(tokyo, QStringLiteral("Line.dat")),
              "13c1\r\n36 139.5 35 139.5\r\n"
              "13c2\r\n35 139.5 35 139 36 139 36 139.5\r\n"
              "13c3\r\n35 141 35 141.25 35.25 141.25 35 141\r\n"
              "13c4\r\n36 139.5 36 140 35 140 35 139.5\r\n");
    EXPECT_EQ(fileText(tokyo, QStringLiteral("PrefLine.dat")), "13c2@13c4\r\n13c3\r\n");
    // Beside the boundaries, the credit of their source, for the export's notes.
    QFile source(prefFolder(tokyo) + QStringLiteral("/出典.txt"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(source.readAll()), QStringLiteral("「国土数値情報（行政区域データ）」（国土交通省）を加工して作成\n"));
    EXPECT_EQ(fileText(tokyo, QStringLiteral("Tiku.dat")),
              "13a1\r\n東京都@千代田区\r\n13101\r\n13a2\r\n東京都@千代田区\r\n13101\r\n13a3\r\n東京都@中央区\r\n13102\r\n");
    EXPECT_EQ(fileText(tokyo, QStringLiteral("NEWS.dat")), "139\r\n141.25\r\n35\r\n36\r\n");

    const auto points = miratos::store::readPointFile(prefFolder(tokyo) + QStringLiteral("/Point.dat"));
    ASSERT_TRUE(points.ok()) << points.error().toStdString();
    ASSERT_EQ(points->size(), 3);
    const QVector<QVector<imports::PointRing>> shapes{
        {{{139, 35}, {139.5, 35}, {139.5, 36}, {139, 36}}},
        {{{141, 35}, {141.25, 35}, {141.25, 35.25}}},
        {{{139.5, 35}, {140, 35}, {140, 36}, {139.5, 36}}}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(points->at(i).key, QStringLiteral("13p%1").arg(i + 1));
        QVector<QPointF> p;
        ASSERT_TRUE(miratos::store::parseLatLonList(points->at(i).point, p) && p.size() == 1);
        EXPECT_TRUE(imports::isInsideRings(p.first(), shapes.at(i)));
    }
    EXPECT_NE(out().find("東京都: 2 市区町村, 3 面, 4 線"), std::string::npos) << out();
    EXPECT_NE(out().find("のない図形 1 件を飛ばしました（所属未定地）"), std::string::npos) << out();
    EXPECT_NE(out().find("でない図形 1 件を飛ばしました（LineString 1 件）"), std::string::npos) << out();
}

// Quantized, delta-encoded arcs: scale 0.5 / 0.25 and translate 135.5 / 34.25 keep every value
// exact. Arc 0 is the border between prefectures 27 and 28.
const QByteArray kTwoPrefectures = R"({"type":"Topology",
 "transform":{"scale":[0.5,0.25],"translate":[135.5,34.25]},
 "arcs":[[[0,0],[0,4]], [[0,4],[-2,-2],[2,-2]], [[0,0],[2,2],[-2,2]]],
 "objects":{"kinki":{"type":"GeometryCollection","geometries":[
  {"type":"Polygon","arcs":[[1,0]],"properties":{"N03_001":"大阪府","N03_003":"大阪市","N03_004":"北区","N03_007":"27127"}},
  {"type":"Polygon","arcs":[[2,-1]],"properties":{"N03_001":"兵庫県","N03_003":"","N03_004":"芦屋市","N03_007":"28206"}}]}}})";

TEST_F(ImportFolder, QuantizedBorderWrittenOncePerPrefectureUnderInitIniFolderNames)
{
    writeInitIni({QStringLiteral("[Pref]"), QStringLiteral("27=おおさか")});
    ASSERT_EQ(runImport({inputFile(QStringLiteral("kinki.topojson"), kTwoPrefectures)}), 0) << err();

    const QString osaka = QStringLiteral("おおさか");
    EXPECT_EQ(fileText(osaka, QStringLiteral("Line.dat")),
              "27c1\r\n35.25 135.5 34.75 134.5 34.25 135.5\r\n27c2\r\n34.25 135.5 35.25 135.5\r\n");
    EXPECT_EQ(fileText(osaka, QStringLiteral("Polygon.dat")), "27a1\r\n27c1@27c2\r\n");
    EXPECT_EQ(fileText(osaka, QStringLiteral("PrefLine.dat")), "27c1@27c2\r\n");
    EXPECT_EQ(fileText(osaka, QStringLiteral("Tiku.dat")), "27a1\r\n大阪府@大阪市@北区\r\n27127\r\n");
    EXPECT_EQ(fileText(osaka, QStringLiteral("NEWS.dat")), "134.5\r\n135.5\r\n34.25\r\n35.25\r\n");

    // No [Pref] entry for 28: the built-in name.
    const QString hyogo = QStringLiteral("兵庫県");
    EXPECT_EQ(fileText(hyogo, QStringLiteral("Line.dat")),
              "28c1\r\n34.25 135.5 34.75 136.5 35.25 135.5\r\n28c2\r\n34.25 135.5 35.25 135.5\r\n");
    EXPECT_EQ(fileText(hyogo, QStringLiteral("Polygon.dat")), "28a1\r\n28c1@_28c2\r\n");
    EXPECT_EQ(fileText(hyogo, QStringLiteral("PrefLine.dat")), "28c1@_28c2\r\n");
    EXPECT_EQ(fileText(hyogo, QStringLiteral("Tiku.dat")), "28a1\r\n兵庫県@芦屋市\r\n28206\r\n");
    EXPECT_EQ(fileText(hyogo, QStringLiteral("Point.dat")).substr(0, 6), "28p1\r\n");
    EXPECT_EQ(fileText(QStringLiteral("大阪府"), QStringLiteral("Point.dat")), "<missing>");
}

// An enclave (arc 1) listed before the ward around it, whose hole it fills.
const QByteArray kEnclave = R"({"type":"Topology",
 "arcs":[[[139,35],[140,35],[140,36],[139,36],[139,35]],
         [[139.25,35.25],[139.25,35.75],[139.75,35.75],[139.75,35.25],[139.25,35.25]]],
 "objects":{"t":{"type":"GeometryCollection","geometries":[
  {"type":"Polygon","arcs":[[-2]],"properties":{"N03_001":"東京都","N03_004":"内町","N03_007":"13201"}},
  {"type":"Polygon","arcs":[[0],[1]],"properties":{"N03_001":"東京都","N03_004":"外町","N03_007":"13202"}}]}}})";

TEST_F(ImportFolder, HoleIsLeftOutOfPolygonButCountsForOutlineAndEnclaveIsDrawnAfter)
{
    ASSERT_EQ(runImport({inputFile(QStringLiteral("enclave.json"), kEnclave)}), 0) << err();
    const QString tokyo = QStringLiteral("東京都");
    EXPECT_EQ(fileText(tokyo, QStringLiteral("Polygon.dat")), "13a1\r\n13c1\r\n13a2\r\n_13c2\r\n");
    EXPECT_EQ(fileText(tokyo, QStringLiteral("Tiku.dat")), "13a1\r\n東京都@外町\r\n13202\r\n13a2\r\n東京都@内町\r\n13201\r\n");
    EXPECT_EQ(fileText(tokyo, QStringLiteral("PrefLine.dat")), "13c1\r\n");

    const auto points = miratos::store::readPointFile(prefFolder(tokyo) + QStringLiteral("/Point.dat"));
    ASSERT_TRUE(points.ok() && points->size() == 2);
    QVector<QPointF> label;
    ASSERT_TRUE(miratos::store::parseLatLonList(points->first().point, label) && label.size() == 1);
    EXPECT_TRUE(QRectF(139, 35, 1, 1).contains(label.first()));
    EXPECT_FALSE(QRectF(139.25, 35.25, 0.5, 0.5).contains(label.first())) << "label of the ward in its hole";
}

// Arc 2 has a single point (at the joint of arcs 0 and 1), arc 3 none; one ring is empty.
const QByteArray kDegenerate = R"({"type":"Topology",
 "arcs":[[[139,35],[140,35]], [[140,35],[139.5,36],[139,35]], [[140,35]], []],
 "objects":{"t":{"type":"GeometryCollection","geometries":[
  {"type":"Polygon","arcs":[[0,2,1]],"properties":{"N03_001":"東京都","N03_004":"甲町","N03_007":"13101"}},
  {"type":"Polygon","arcs":[[]],"properties":{"N03_001":"東京都","N03_004":"乙町","N03_007":"13102"}},
  {"type":"Polygon","arcs":[[2,3]],"properties":{"N03_001":"東京都","N03_004":"丙町","N03_007":"13103"}}]}}})";

TEST_F(ImportFolder, LinesWithoutLengthAndEmptyRingsAreLeftOut)
{
    ASSERT_EQ(runImport({inputFile(QStringLiteral("degenerate.json"), kDegenerate)}), 0) << err();
    const QString tokyo = QStringLiteral("東京都");
    EXPECT_EQ(fileText(tokyo, QStringLiteral("Polygon.dat")), "13a1\r\n13c1@13c2\r\n");
    EXPECT_EQ(fileText(tokyo, QStringLiteral("PrefLine.dat")), "13c1@13c2\r\n");
    EXPECT_EQ(fileText(tokyo, QStringLiteral("Tiku.dat")), "13a1\r\n東京都@甲町\r\n13101\r\n");
    EXPECT_NE(out().find("線 2 本と、それで外周のなくなった面 2 個を省きました"), std::string::npos) << out();
}

struct BadInput {
    const char* name;
    QByteArray content; // empty: the file is not created
    const char* problem;
};

TEST_F(ImportFolder, BadInputIsOneErrorLineNamingTheFile)
{
    const QByteArray oneArc = R"({"type":"Topology","arcs":[[[139,35],[140,35]]],"objects":{"t":{"type":"GeometryCollection","geometries":[)";
    const BadInput cases[] = {
        {"broken.json", R"({"type":"Topology","arcs":[)", "JSON として読めません"},
        {"notopology.topojson", R"({"type":"FeatureCollection","features":[]})", "TopoJSON（type が Topology）ではありません"},
        // Other .json files are GeoJSON, read through GDAL.
        {"geojson.json", R"({"type":"FeatureCollection","features":[]})", "取り込める市区町村が 1 つもありません"},
        {"range.json", oneArc + R"({"type":"Polygon","arcs":[[0,5]],"properties":{"N03_007":"13101"}}]}}})",
         "オブジェクト「t」の 1 番目の図形（13101）: 弧番号 5 が範囲外です（弧は 1 本）"},
        {"reversed.json", oneArc + R"({"type":"Polygon","arcs":[[-3]],"properties":{"N03_007":"13101"}}]}}})",
         "弧番号 -3 が範囲外です"},
        {"code.json", oneArc + R"({"type":"Polygon","arcs":[[0]],"properties":{"N03_007":"1310"}}]}}})",
         "N03_007 が 5 桁の市区町村コードではありません"},
        {"nothing.json", oneArc + R"({"type":"Polygon","arcs":[[0]],"properties":{"N03_004":"所属未定地"}}]}}})",
         "取り込める市区町村が 1 つもありません"},
        {"infinite.json",
         // Qt's parser refuses 1e999 itself; a quantized arc can still overflow the double range.
         R"({"type":"Topology","transform":{"scale":[1e308,1],"translate":[0,0]},"arcs":[[[0,35],[10,0]]],)"
         R"("objects":{"t":{"type":"GeometryCollection","geometries":[)"
         R"({"type":"Polygon","arcs":[[0]],"properties":{"N03_007":"13101"}}]}}})",
         "弧 0 の 2 番目の座標が有限の数ではありません"},
        {"absent.json", {}, "読めません"},
        {"boundary.shp", "x", "読めません（形式が分からないか、壊れています）"},
        {"boundary.txt", "x", "読める形式ではありません"},
    };
    for (const BadInput& c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QString::fromLatin1(c.name);
        const QString file = c.content.isEmpty() ? QDir(prefFolder(QString())).filePath(name) : inputFile(name, c.content);
        EXPECT_EQ(runImport({file}), 1);
        const std::string e = err();
        const std::string expectedStart = "miratos import: " + QDir::toNativeSeparators(file).toStdString() + ": ";
        EXPECT_EQ(e.substr(0, expectedStart.size()), expectedStart) << e;
        EXPECT_NE(e.find(c.problem), std::string::npos) << e;
        EXPECT_EQ(std::count(e.begin(), e.end(), '\n'), 1) << e;
    }
    for (const char* written : {"Tiku.dat", "Line.dat", "Point.dat"})
        EXPECT_EQ(fileText(QStringLiteral("東京都"), QString::fromLatin1(written)), "<missing>") << written;
}

TEST_F(ImportFolder, AnInputOfNoKnownKindSaysWhichKindsImportKnows)
{
    const std::pair<const char*, QByteArray> cases[] = {
        {"points.geojson", R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{"名前":"x"},)"
                           R"("geometry":{"type":"Point","coordinates":[139,35]}}]})"},
        {"own.csv", "コード,値\n13,1\n"},
        {"notes.txt", "メモ\n"},
    };
    for (const auto& [name, content] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(runImport({inputFile(QString::fromLatin1(name), content)}), 1);
        for (const char* kind : {"行政区域", "鉄道の路線と駅", "公共施設", "小地域境界", "小地域集計", "国勢調査結果"})
            EXPECT_NE(err().find(kind), std::string::npos) << kind << "\n" << err();
    }
}

TEST_F(ImportFolder, SummaryOfATableSaysHokaOnlyWhenMoreThanOneFileWasWritten)
{
    writeInitIni({QStringLiteral("[Pref]"), QStringLiteral("13=東京都")});
    const QByteArray header = "都道府県コード,市区町村コード,都道府県名,市区町村名,人口_総数,人口_男,人口_女\n";
    const QByteArray tokyo = "13,13000,東京都,東京都,14047594,6898388,7149206\n";
    const QByteArray chiyoda = "13,13101,東京都,千代田区,66680,33637,33043\n";
    struct Case {
        QByteArray rows;
        int files;
    };
    const Case cases[] = {{tokyo, 1}, {tokyo + chiyoda, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.files);
        ASSERT_EQ(runImport({inputFile(QStringLiteral("results.csv"), header + c.rows)}), 0) << err();
        const std::string line = "ファイルを書きました";
        const std::string o = out();
        const size_t at = o.find(std::to_string(c.files) + " " + line);
        ASSERT_NE(at, std::string::npos) << o;
        const std::string rest = o.substr(at, o.find('\n', at) - at);
        EXPECT_EQ(rest.find("ほか") != std::string::npos, c.files > 1) << rest;
        EXPECT_NE(rest.find("statistic3.csv"), std::string::npos) << rest;
    }
}

} // namespace
