// Hostile inputs read through GDAL, names taken from data, characters CP932 cannot hold and
// numbers that make no map: each row gives its message, changes no file that existed and writes
// nothing outside the app folder (nor beside the user's download). The README's "Bad input"
// section lists the same rows.
#include "bad_input_support.h"

#include "mapview/name_labels.h"
#include "cli/render_command.h"
#include "platform/gis_reader.h"
#include "platform/keyed_table.h"
#include "state/district_selection.h"
#include "state/mdl_main.h"
#include "stats/extraction.h"
#include "store/district_file_name.h"

#include <gdal.h>
#include <ogr_api.h>

using namespace bad_input;

namespace {

// Files a boundary import of Tokyo writes.
QStringList tokyoSet()
{
    QStringList files;
    for (const char* name : {"Tiku.dat", "NEWS.dat", "Line.dat", "Polygon.dat", "PrefLine.dat", "Point.dat", "出典.txt"})
        files << QStringLiteral("app/MapData/東京都/") + QString::fromUtf8(name);
    return files;
}

QByteArray ward(const QByteArray& name, const QByteArray& code = "13101")
{
    return R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{"N03_001":"東京都","N03_002":null,)"
           R"("N03_003":null,"N03_004":")"
        + name + R"(","N03_007":")" + code
        + R"("},"geometry":{"type":"Polygon","coordinates":[[[139.7,35.6],[139.8,35.6],[139.8,35.7],[139.7,35.7],[139.7,35.6]]]}}]})";
}

QByteArray facilities(const QList<std::pair<QByteArray, QByteArray>>& nameAndLonLat)
{
    QByteArray text = R"({"type":"FeatureCollection","features":[)";
    for (qsizetype i = 0; i < nameAndLonLat.size(); ++i) {
        text += (i ? ",\n" : "\n");
        text += R"({"type":"Feature","properties":{"P02_001":"13101","P02_002":"3","P02_003":"03001","P02_004":")"
            + nameAndLonLat.at(i).first + R"(","P02_005":"千代田1-1","P02_006":"2"},"geometry":{"type":"Point","coordinates":[)"
            + nameAndLonLat.at(i).second + "]}}";
    }
    return text + "]}";
}

QByteArray station(const QByteArray& name)
{
    return R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{"N02_001":"11","N02_002":"2",)"
           R"("N02_003":"山手線","N02_004":"東日本旅客鉄道","N02_005":")"
        + name + R"("},"geometry":{"type":"LineString","coordinates":[[139.70,35.68],[139.71,35.69]]}}]})";
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A GeoPackage of one square ward (layer "ward") with, when endless, a second layer: a view over a
// recursive query that never ends, registered as a feature table. Made through GDAL's SQLite.
QString geoPackage(Sandbox& b, bool endless, int wards = 1)
{
    QTemporaryDir made;
    const QString json = made.filePath(QStringLiteral("ward.geojson"));
    QByteArray features = ward("千代田区");
    for (int i = 1; i < wards; ++i)
        features.replace("}}]}", "}}," + ward("千代田区").mid(QByteArray(R"({"type":"FeatureCollection","features":[)").size()));
    Sandbox::write(json, features);
    const QString gpkg = made.filePath(QStringLiteral("endless.gpkg"));
    const Status translated = platform::translateGisFile(json, gpkg, QStringLiteral("GPKG"), {QStringLiteral("-nln"), QStringLiteral("ward")});
    EXPECT_TRUE(translated.ok()) << translated.error().toStdString();
    if (endless) {
        GDALDatasetH ds = GDALOpenEx(QFile::encodeName(gpkg).constData(), GDAL_OF_VECTOR | GDAL_OF_UPDATE, nullptr, nullptr, nullptr);
        EXPECT_NE(ds, nullptr);
        for (const char* sql : {
                 "CREATE VIEW endless AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) "
                 "SELECT n.i AS fid, (SELECT geom FROM ward) AS geom FROM n",
                 "INSERT INTO gpkg_contents (table_name, data_type, identifier, srs_id) VALUES ('endless', 'features', 'endless', 4326)",
                 "INSERT INTO gpkg_geometry_columns (table_name, column_name, geometry_type_name, srs_id, z, m) "
                 "VALUES ('endless', 'geom', 'POLYGON', 4326, 0, 0)"}) {
            if (OGRLayerH result = GDALDatasetExecuteSQL(ds, sql, nullptr, nullptr))
                GDALDatasetReleaseResultSet(ds, result);
        }
        GDALClose(ds);
    }
    return b.in(QStringLiteral("endless.gpkg"), fileBytes(gpkg));
}

// Layer names of a GIS file as the reader gives them, and the message of reading it with limits.
QString readWith(const QString& path, const platform::GisReadLimits& limits, QStringList* layers = nullptr)
{
    qint64 seen = 0;
    const Status s = platform::forEachGisFeature(
        path,
        [&](const platform::GisLayer& layer, platform::GisFeature&&) -> Status {
            if (layers && !layers->contains(layer.name))
                *layers << layer.name;
            ++seen;
            return {};
        },
        limits);
    return messageOf(s);
}

// Init.ini with lines replaced (an empty replacement removes the line), then an import of a ward.
QString withInitIni(Sandbox& b, const QList<std::pair<const char*, const char*>>& edits)
{
    QStringList ini = platform::readTextLines(b.app(QStringLiteral("Init.ini"))).value();
    for (const auto& [from, to] : edits) {
        const qsizetype at = ini.indexOf(QString::fromUtf8(from));
        EXPECT_GE(at, 0) << from;
        if (*to)
            ini.replace(at, QString::fromUtf8(to));
        else
            ini.removeAt(at);
    }
    b.put(b.app(QStringLiteral("Init.ini")), cp932(ini));
    return runImport(b.in(QStringLiteral("ward.geojson"), ward("千代田区")));
}

// Qt's warnings of one run (the painter's among them), so a row can show them with its message.
QStringList& qtWarnings()
{
    static QStringList warnings;
    return warnings;
}

QString renderMessage(const QStringList& args)
{
    qtWarnings().clear();
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
        qtWarnings() << text;
    });
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    const int code = cli::runRenderCommand(args, out, err);
    qInstallMessageHandler(previous);
    err.flush();
    QStringList all = qtWarnings();
    all.prepend(errText.trimmed());
    EXPECT_NE(code, 0);
    EXPECT_FALSE(all.join(QLatin1Char('\n')).contains(QStringLiteral("QPainter"))) << all.join(QLatin1Char('\n')).toStdString();
    return all.join(QLatin1Char('\n'));
}

const QByteArray kOffTheGlobe = "{\"type\":\"Topology\",\"transform\":{\"scale\":[1,1],\"translate\":[1e6,0]},"
                                "\"objects\":{\"N03\":{\"type\":\"GeometryCollection\",\"geometries\":["
                                "{\"type\":\"Polygon\",\"arcs\":[[0]],\"properties\":{\"N03_001\":\"東京都\",\"N03_007\":\"13101\"}}]}},"
                                "\"arcs\":[[[139,35],[1,0],[0,1],[-1,-1]]]}";

// A boundary data file of two points and the curve between them.
const QByteArray kTwoPointCurve = QByteArrayLiteral(
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ksj:Dataset>"
    "<jps:GM_Point id=\"n1\"><jps:GM_Point.position><jps:DirectPosition><DirectPosition.coordinate>35.6 139.6"
    "</DirectPosition.coordinate></jps:DirectPosition></jps:GM_Point.position></jps:GM_Point>"
    "<jps:GM_Point id=\"n2\"><jps:GM_Point.position><jps:DirectPosition><DirectPosition.coordinate>35.7 139.7"
    "</DirectPosition.coordinate></jps:DirectPosition></jps:GM_Point.position></jps:GM_Point>"
    "<jps:GM_Curve id=\"c1\"><jps:GM_CurveSegment><jps:GM_LineString><jps:GM_LineString.controlPoint><jps:GM_PointArray>"
    "<jps:GM_PointArray.column><jps:GM_Position.indirect><jps:GM_PointRef.point idref=\"n1\"/></jps:GM_Position.indirect></jps:GM_PointArray.column>"
    "<jps:GM_PointArray.column><jps:GM_Position.indirect><jps:GM_PointRef.point idref=\"n2\"/></jps:GM_Position.indirect></jps:GM_PointArray.column>"
    "</jps:GM_PointArray></jps:GM_LineString.controlPoint></jps:GM_LineString></jps:GM_CurveSegment></jps:GM_Curve></ksj:Dataset>\n");

const std::vector<BadInput>& rows()
{
    using B = Sandbox;
    static const std::vector<BadInput> table = {
        // GDAL opens a user's file only as one of the formats the imports read.
        {"VrtNamedJson",
         [](B& b) {
             const QString secret = b.put(b.root() + QStringLiteral("/outside/secret.geojson"), ward("秘密区"));
             return runImport(b.in(QStringLiteral("n03.json"), "<OGRVRTDataSource><OGRVRTLayer name=\"n03\"><SrcDataSource>"
                                                                   + QFile::encodeName(secret)
                                                                   + "</SrcDataSource></OGRVRTLayer></OGRVRTDataSource>\n"));
         },
         "n03.json: OGR_VRT 形式のファイルは読みません（読めるのは GeoJSON, TopoJSON, Shapefile, GML, GeoPackage）"},
        {"VirtualFileSystemName",
         [](B&) { return messageOf(platform::readGisFile(QStringLiteral("/vsicurl/http://127.0.0.1:9/n03.geojson"))); },
         "/vsicurl/http://127.0.0.1:9/n03.geojson: このような名前のファイルは読みません"},
        {"GmlLeavesNoGfsBesideTheDownload",
         [](B& b) {
             // Only the .gml is given, no .xsd: the case where GDAL would write a .gfs beside it.
             QTemporaryDir made;
             const QString json = made.filePath(QStringLiteral("ward.geojson"));
             Sandbox::write(json, ward("千代田区"));
             const QString gml = made.filePath(QStringLiteral("ward.gml"));
             const Status translated = platform::translateGisFile(json, gml, QStringLiteral("GML"));
             if (!translated)
                 return translated.error();
             const QString message = runImport(b.in(QStringLiteral("ward.gml"), fileBytes(gml)));
             const auto tiku = platform::readTextLines(b.tokyo(QStringLiteral("Tiku.dat")));
             EXPECT_TRUE(tiku && tiku->contains(QStringLiteral("東京都@千代田区")));
             return message;
         },
         "", tokyoSet()},
        // A feature cap and a cancel end a read that never ends.
        {"EndlessGeoPackageView",
         [](B& b) {
             QStringList layers;
             const QString message = readWith(geoPackage(b, true), {}, &layers);
             EXPECT_TRUE(layers.isEmpty()) << layers.join(QLatin1Char(' ')).toStdString();
             return message;
         },
         "endless.gpkg: レイヤー「endless」はビュー（問い合わせ）のため読みません"},
        {"FeatureCap", [](B& b) { return readWith(geoPackage(b, false, 3), {2, {}}); }, "endless.gpkg: 地物が多すぎます（2 件まで読めます）"},
        {"FeatureReadCancelled",
         [](B& b) {
             int asked = 0;
             return readWith(geoPackage(b, false, 3), {platform::GisReadLimits{}.maxFeatures, [&asked] { return ++asked > 1; }});
         },
         "endless.gpkg: 読み込みを取り消しました"},
        // Init.ini's prefecture folders.
        {"InitIniFolderParent", [](B& b) { return withInitIni(b, {{"13=東京都", "13=.."}}); },
         "Init.ini: [Pref] の 13=.. は都道府県のフォルダ名にできません"},
        {"InitIniFolderWithSeparator", [](B& b) { return withInitIni(b, {{"12=県12", "12=../東京都"}}); },
         "Init.ini: [Pref] の 12=../東京都 は都道府県のフォルダ名にできません"},
        {"InitIniTwoCodesOneFolder", [](B& b) { return withInitIni(b, {{"14=県14", "14=東京都"}}); },
         "Init.ini: [Pref] の 13 と 14 が同じフォルダ「東京都」を指しています"},
        {"InitIniMissingCodeMeetsItsName",
         [](B& b) { return withInitIni(b, {{"14=県14", ""}, {"11=県11", "11=神奈川県"}}); },
         "Init.ini: [Pref] の 11 と 14 が同じフォルダ「神奈川県」を指しています"},
        // Characters CP932 cannot hold, line breaks in names, points off the globe.
        {"FacilityOutsideCp932",
         [](B& b) {
             const QString message = importNotes({b.in(QStringLiteral("P02-06_13.geojson"),
                                                       facilities({{"𠮷野家会館", "139.75,35.68"}, {"千代田会館", "139.76,35.69"}}))});
             const QString build = platform::fromCp932(fileBytes(b.tokyo(QStringLiteral("Build.dat"))));
             EXPECT_TRUE(build.contains(QStringLiteral("|〓野家会館|"))) << build.toStdString();
             EXPECT_TRUE(build.contains(QStringLiteral("|千代田会館|"))) << build.toStdString();
             EXPECT_EQ(message.count(QStringLiteral("〓")), 1) << message.toStdString();
             return message;
         },
         "注意: CP932 で書けない文字が 1 文字あり、「〓」と書きました（最初は P02-06_13: 1 番目の施設「𠮷野家会館」）",
         {QStringLiteral("app/MapData/東京都/Build.dat")}},
        {"FacilityAtInfinity",
         [](B& b) {
             const QString message = importNotes({b.in(QStringLiteral("P02-06_13.geojson"),
                                                       facilities({{"無限会館", "1e999,-1e999"}, {"千代田会館", "139.76,35.69"}}))});
             const QString build = platform::fromCp932(fileBytes(b.tokyo(QStringLiteral("Build.dat"))));
             EXPECT_FALSE(build.contains(QStringLiteral("INF"), Qt::CaseInsensitive)) << build.toStdString();
             EXPECT_TRUE(build.contains(QStringLiteral("|千代田会館|"))) << build.toStdString();
             return message;
         },
         "注意: 公共施設 1 件を飛ばしました（最初は P02-06_13: 1 番目の施設「無限会館」: 位置（inf -inf）が経緯度ではありません）",
         {QStringLiteral("app/MapData/東京都/Build.dat")}},
        {"StationNameWithLineBreaks",
         [](B& b) {
             const QString message = importNotes({b.in(QStringLiteral("N02-22_Station.geojson"), station("高輪\\r\\nゲートウェイ"))});
             const QString eki = platform::fromCp932(fileBytes(b.app(QStringLiteral("MapData/鉄道/Eki.dat"))));
             EXPECT_EQ(eki, QStringLiteral("EB03_1\r\ncv_st1\r\n高輪  ゲートウェイ\r\n"));
             return message;
         },
         "注意: 改行を含む名前が 1 件あり、改行を空白にしました（最初は N02-22_Station: 1 番目の駅「高輪  ゲートウェイ」）",
         {QStringLiteral("app/MapData/鉄道/Rosen.dat"), QStringLiteral("app/MapData/鉄道/Eki.dat"), QStringLiteral("app/MapData/鉄道/Line_rr.dat"),
          QStringLiteral("app/MapData/鉄道/Line_st.dat"), QStringLiteral("app/MapData/鉄道/RailwaySet.dat")}},
        {"StationNameOutsideCp932",
         [](B& b) {
             const QString message = importNotes({b.in(QStringLiteral("N02-22_Station.geojson"), station("𠮷祥寺"))});
             const QString eki = platform::fromCp932(fileBytes(b.app(QStringLiteral("MapData/鉄道/Eki.dat"))));
             EXPECT_TRUE(eki.contains(QStringLiteral("\r\n〓祥寺\r\n"))) << eki.toStdString();
             return message;
         },
         "注意: CP932 で書けない文字が 1 文字あり、「〓」と書きました（最初は N02-22_Station: 1 番目の駅「𠮷祥寺」）",
         {QStringLiteral("app/MapData/鉄道/Rosen.dat"), QStringLiteral("app/MapData/鉄道/Eki.dat"), QStringLiteral("app/MapData/鉄道/Line_rr.dat"),
          QStringLiteral("app/MapData/鉄道/Line_st.dat"), QStringLiteral("app/MapData/鉄道/RailwaySet.dat")}},
        {"BoundaryNameOutsideCp932",
         [](B& b) {
             const QString message = importNotes({b.in(QStringLiteral("ward.geojson"), ward("𠮷野町"))});
             const auto tiku = store::readTikuFile(b.tokyo(QStringLiteral("Tiku.dat")));
             EXPECT_TRUE(tiku && tiku->size() == 1 && tiku->front().nameParts == QStringLiteral("東京都@〓野町"));
             return message;
         },
         "Tiku.dat: CP932 で書けない文字が 1 文字あり、「〓」と書きました（最初は 13a1「東京都@𠮷野町」）", tokyoSet()},
        {"SmallAreaTableOutsideCp932",
         [](B& b) {
             const QString message = importNotes({QStringLiteral("--year"), QStringLiteral("27"),
                                                  b.in(QStringLiteral("table.csv"), "KEY_CODE,CITYNAME,MOJI,GASSAN,人口総数\r\n"
                                                                                    "131010010,千代田区,𠮷町,,100\r\n131010020,千代田区,丸の内,,50\r\n")});
             const QString table = platform::fromCp932(fileBytes(b.tokyo(QStringLiteral("27_13101_statistic1.csv"))));
             EXPECT_TRUE(table.contains(QStringLiteral("131010010,千代田区・〓町,100"))) << table.toStdString();
             EXPECT_TRUE(table.contains(QStringLiteral("131010020,千代田区・丸の内,50"))) << table.toStdString();
             return message;
         },
         "27_13101_statistic1.csv: CP932 で書けない文字が 1 文字あり、「〓」と書きました（最初は 2 行目）",
         {QStringLiteral("app/MapData/東京都/27_13101_statistic1.csv")}},
        // Extents that make no map.
        {"NewsInverted", [](B& b) { return messageOf(store::readNewsFile(b.in("NEWS.dat", "140\r\n139\r\n35\r\n36\r\n"))); },
         "NEWS.dat: 1〜4 行目の範囲が地図になりません（西端 140 が東端 139 より大きい範囲です）"},
        {"NewsSouthAboveNorth", [](B& b) { return messageOf(store::readNewsFile(b.in("NEWS.dat", "139\r\n140\r\n36\r\n35\r\n"))); },
         "NEWS.dat: 1〜4 行目の範囲が地図になりません（南端 36 が北端 35 より大きい範囲です）"},
        {"NewsBeyondTheGlobe", [](B& b) { return messageOf(store::readNewsFile(b.in("NEWS.dat", "-1e308\r\n1e308\r\n35\r\n36\r\n"))); },
         "NEWS.dat: 1〜4 行目の範囲が地図になりません（経度 -1E+308 が地球の上にありません）"},
        {"DistrictHeaderInverted",
         [](B& b) {
             return messageOf(store::readDistrictFile(b.in("17_13101_千代田区.dat", "139.8 35.6 139.7 35.7\r\n")));
         },
         "17_13101_千代田区.dat: 1 行目の範囲が地図になりません（西端 139.8 が東端 139.7 より大きい範囲です）"},
        {"DistrictHeaderBeyondTheGlobe",
         [](B& b) { return messageOf(store::readDistrictFile(b.in("17_13101_千代田区.dat", "139.7 -1e308 139.8 1e308\r\n"))); },
         "17_13101_千代田区.dat: 1 行目の範囲が地図になりません（緯度 -1E+308 が地球の上にありません）"},
        {"SmallAreaExtentInverted",
         [](B& b) {
             const QString xml = b.in(QStringLiteral("h17ka13101.xml"),
                                      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Dataset><Coordinates>139.8,35.7,139.7,35.6</Coordinates></Dataset>\n");
             return messageOf(convert::convertSmallAreaBoundary(xml, 17, QStringLiteral("13101"), b.app(QStringLiteral("MapData/東京都")), {}));
         },
         "h17ka13101.xml: 範囲（最初の Coordinates）が地図になりません（西端 139.8 が東端 139.7 より大きい範囲です）"},
        {"BoundaryXmlMetadataInverted",
         [](B& b) {
             const QByteArray meta = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<MD_Metadata><EX_GeographicBoundingBox>"
                                     "<westBoundLongitude>139.6</westBoundLongitude><eastBoundLongitude>139.95</eastBoundLongitude>"
                                     "<southBoundLatitude>35.5</southBoundLatitude><northBoundLatitude>34.7</northBoundLatitude>"
                                     "</EX_GeographicBoundingBox></MD_Metadata>\n";
             return messageOf(convert::buildBoundaryFiles(
                 {b.in("KS-META-N03.xml", meta), b.in("N03.xml", kTwoPointCurve), 13}));
         },
         "KS-META-N03.xml: 範囲が地図になりません（南端 35.5 が北端 34.7 より大きい範囲です）"},
        {"TopoJsonTransformOffTheGlobe", [](B& b) { return runImport(b.in("n03.topojson", kOffTheGlobe)); },
         "n03.topojson: 弧 0 の 1 番目の座標（1000139 35）が地球の上にありません"},
        {"RenderExtentBeyondTheGlobe",
         [](B& b) {
             b.put(b.tokyo(QStringLiteral("NEWS.dat")), "-1e308\r\n1e308\r\n35\r\n36\r\n");
             return renderMessage({QStringLiteral("--mode"), QStringLiteral("Pref"), QStringLiteral("--pref"), QStringLiteral("東京都"),
                                   QStringLiteral("--out"), b.app(QStringLiteral("x.png"))});
         },
         "NEWS.dat: 1〜4 行目の範囲が地図になりません（経度 -1E+308 が地球の上にありません）\n"
         "miratos render: nothing to draw: no extent could be read for the chosen areas"},
    };
    return table;
}

MIRATOS_BAD_INPUT_TABLE(BadInputGdalTable);

// A "_" inside a municipality's name: the district file still leads to its statistic files, and
// the name shown is the whole name.
TEST(NamesFromData, UnderscoreInNameKeepsTheStatisticFileAndTheName)
{
    struct Case {
        const char* file;
        const char* name;
    };
    const Case cases[] = {{"17_13101_千代田区.dat", "千代田区"}, {"17_13101_千代_田区.dat", "千代_田区"}, {"22_01234_a_b_c.dat", "a_b_c"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QString fileName = QString::fromUtf8(c.file);
        const QString path = QStringLiteral("/app/MapData/東京都/") + fileName;
        const auto parsed = store::parseDistrictFileName(fileName);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(parsed->name, QString::fromUtf8(c.name));
        state::MdlMain s;
        platform::KeyedTable colours;
        state::fillDistrictSelection({{fileName, path}}, s, colours);
        ASSERT_EQ(s.TikuCount, 1);
        EXPECT_EQ(s.TikuTable[1][0], QString::fromUtf8(c.name));
        EXPECT_EQ(s.TikuTable[1][3], parsed->code);
        const auto files = stats::statisticFiles(mapview::MapMode::City, 2, s);
        ASSERT_EQ(files.size(), 1);
        EXPECT_EQ(files.at(0).first, path.left(path.indexOf(parsed->code) + parsed->code.size() + 1) + QStringLiteral("statistic2.csv"));
    }
}

// An "@" inside a name from the data cannot stand in Tiku.dat, whose name field is parted by "@":
// it is written full-width, and the label shows the whole name.
TEST(NamesFromData, AtInNameKeepsTheLabelWhole)
{
    Sandbox b;
    ASSERT_EQ(runImport(b.in(QStringLiteral("ward.geojson"), ward("鳥取市@本庁"))), QString());
    const auto tiku = store::readTikuFile(b.tokyo(QStringLiteral("Tiku.dat")));
    ASSERT_TRUE(tiku) << tiku.error().toStdString();
    ASSERT_EQ(tiku->size(), 1);
    EXPECT_EQ(tiku->front().nameParts, QStringLiteral("東京都@鳥取市＠本庁"));
    EXPECT_EQ(mapview::municipalityCaption(tiku->front().nameParts), QStringLiteral("鳥取市＠本庁"));
}

} // namespace
