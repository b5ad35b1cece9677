// Hostile set-ups for the writers: links planted in the app folder, an import that fails part-way,
// two imports at once, a dataset that brings half a set, and an input with no record of its kind.
// Each row checks the message, that no file that existed before changed and that nothing was
// written outside the app folder (bad_input_support.h).
#include "bad_input_support.h"

#include "platform/import_lock.h"

#include <QLockFile>

using namespace bad_input;

namespace {

const QStringList kTokyoFiles = {
    QStringLiteral("app/MapData/東京都/NEWS.dat"),    QStringLiteral("app/MapData/東京都/Line.dat"),
    QStringLiteral("app/MapData/東京都/Polygon.dat"), QStringLiteral("app/MapData/東京都/Point.dat"),
    QStringLiteral("app/MapData/東京都/PrefLine.dat"), QStringLiteral("app/MapData/東京都/Tiku.dat"),
    QStringLiteral("app/MapData/東京都/出典.txt")};

const QStringList kRailwayFiles = {
    QStringLiteral("app/MapData/鉄道/Rosen.dat"), QStringLiteral("app/MapData/鉄道/Eki.dat"),
    QStringLiteral("app/MapData/鉄道/Line_rr.dat"), QStringLiteral("app/MapData/鉄道/Line_st.dat"),
    QStringLiteral("app/MapData/鉄道/RailwaySet.dat")};

// One square municipality as a GeoJSON boundary file.
QByteArray boundary(const char* prefName, const char* code)
{
    return QByteArray("{\"type\":\"FeatureCollection\",\"features\":[{\"type\":\"Feature\",\"properties\":{\"N03_001\":\"") + prefName +
           "\",\"N03_007\":\"" + code +
           "\"},\"geometry\":{\"type\":\"Polygon\",\"coordinates\":[[[139.6,35.6],[139.7,35.6],[139.7,35.7],[139.6,35.7],[139.6,35.6]]]}}]}";
}

// Railway GeoJSON: sections (no station name) or stations (with N02_005), one each.
QByteArray railway(bool stations)
{
    const QByteArray name = stations ? ",\"N02_005\":\"東京\"" : "";
    return "{\"type\":\"FeatureCollection\",\"features\":[{\"type\":\"Feature\",\"properties\":{\"N02_001\":\"11\",\"N02_002\":\"2\","
           "\"N02_003\":\"山手線\",\"N02_004\":\"東日本旅客鉄道\"" + name +
           "},\"geometry\":{\"type\":\"LineString\",\"coordinates\":[[139.76,35.68],[139.77,35.69]]}}]}";
}

QString plantLink(const QString& target, const QString& link)
{
    QFile::remove(link);
    QDir().rmdir(link);
    return QFile::link(target, link) ? QString() : QStringLiteral("cannot plant the link");
}

const std::vector<BadInput>& rows()
{
    using B = Sandbox;
    static const std::vector<BadInput> table = {
        {"LinkOutAsPrefectureFolder",
         [](B& b) {
             if (QString s = plantLink(b.root() + QStringLiteral("/outside"), b.app(QStringLiteral("MapData/県14"))); !s.isEmpty())
                 return s;
             return runImport(b.in("n03.geojson", boundary("神奈川県", "14101")));
         },
         "MapData/県14 は app フォルダの外", {QStringLiteral("app/MapData/県14")}},
        {"LinkOutAsRailwayFolder",
         [](B& b) {
             if (QString s = plantLink(b.root() + QStringLiteral("/outside"), b.app(QStringLiteral("MapData/鉄道"))); !s.isEmpty())
                 return s;
             return runImport(b.in("N02.geojson", railway(false)));
         },
         "MapData/鉄道 は app フォルダの外", {QStringLiteral("app/MapData/鉄道")}},
        {"LinkOutAsLineDat",
         [](B& b) {
             if (QString s = plantLink(b.root() + QStringLiteral("/outside/keep.txt"), b.tokyo(QStringLiteral("Line.dat"))); !s.isEmpty())
                 return s;
             return runImport(b.in("n03.geojson", boundary("東京都", "13101")));
         },
         "東京都/Line.dat は app フォルダの外", {QStringLiteral("app/MapData/東京都/Line.dat")}},
        {"LinkInsideIsReplacedNotWrittenThrough",
         [](B& b) {
             // Line.dat links to a file of another prefecture, which must stay as it was.
             QDir().mkpath(b.app(QStringLiteral("MapData/県14")));
             const QString other = b.app(QStringLiteral("MapData/県14/Line.dat"));
             B::write(other, "14c1\r\n35.6 139.6 35.7 139.7\r\n");
             if (QString s = plantLink(other, b.tokyo(QStringLiteral("Line.dat"))); !s.isEmpty())
                 return s;
             const QString message = runImport(b.in("n03.geojson", boundary("東京都", "13101")));
             if (!message.isEmpty())
                 return message;
             if (QFileInfo(b.tokyo(QStringLiteral("Line.dat"))).isSymLink())
                 return QStringLiteral("Line.dat is still a link");
             QFile kept(other);
             if (!kept.open(QIODevice::ReadOnly) || kept.readAll() != "14c1\r\n35.6 139.6 35.7 139.7\r\n")
                 return QStringLiteral("written through the link");
             return QString();
         },
         "", kTokyoFiles + QStringList{QStringLiteral("app/MapData/県14/Line.dat")}},
        {"ResultsImportFailingHalfway",
         [](B& b) {
             // The unknown prefecture comes after a good one: neither statistic3.csv nor Tokyo's
             // statistic6.csv may be written.
             return runImport(b.in("results.csv", "都道府県コード,市区町村コード,都道府県名,市区町村名,人口_総数,人口_男,人口_女\n"
                                                   "13,13000,東京都,東京都,14047594,6898388,7149206\n"
                                                   "13,13101,東京都,千代田区,66680,33637,33043\n"
                                                   "99,99101,不明,不明市,100,50,50\n"));
         },
         "都道府県コード 99 が Init.ini の [Pref] にありません"},
        {"TwoImportsAtOnce",
         [](B& b) {
             QLockFile running(platform::ImportLock::path());
             if (!running.tryLock(0))
                 return QStringLiteral("cannot hold the lock");
             return runImport(b.in("n03.geojson", boundary("東京都", "13101")));
         },
         "別の取込が実行中です"},
        {"TwoConversionsAtOnce",
         [](B& b) {
             QLockFile running(platform::ImportLock::path());
             if (!running.tryLock(0))
                 return QStringLiteral("cannot hold the lock");
             const QString xml = b.in("N02.xml", "<ksj:Dataset></ksj:Dataset>");
             return messageOf(convert::鉄道(xml, store::railwayFolder(b.app(QStringLiteral("MapData")))));
         },
         "別の取込が実行中です"},
        {"RailwayLinesThenStationsKeepsBoth",
         [](B& b) {
             if (QString m = runImport(b.in("N02_RailroadSection.geojson", railway(false))); !m.isEmpty())
                 return m;
             if (QString m = runImport(b.in("N02_Station.geojson", railway(true))); !m.isEmpty())
                 return m;
             const auto read = store::readRailwayFiles(store::railwayFolder(b.app(QStringLiteral("MapData"))));
             if (!read.problems.isEmpty())
                 return read.problems.join(QLatin1Char('\n'));
             return QStringLiteral("sections %1, stations %2").arg(read.tables.sections.size()).arg(read.tables.stations.size());
         },
         "sections 1, stations 1", kRailwayFiles},
        {"RailwaySetHalfReplaced",
         [](B& b) {
             if (QString m = runImport(b.in("N02.geojson", railway(false))); !m.isEmpty())
                 return m;
             // Rosen.dat of another import beside the other three files.
             B::write(b.app(QStringLiteral("MapData/鉄道/Rosen.dat")), "EB02_1\r\ncv_rr1\r\n12\r\n3\r\n別線\r\n\r\n");
             const auto read = store::readRailwayFiles(store::railwayFolder(b.app(QStringLiteral("MapData"))));
             return read.tables.sections.empty() ? read.problems.join(QLatin1Char('\n')) : QStringLiteral("read a mixed set");
         },
         "鉄道の 4 ファイルが同じ取込のものではありません", kRailwayFiles},
        {"FacilityXmlWithoutFacilities",
         [](B& b) {
             const QByteArray old = "35.6 139.7|13101|学校|大学|Ｘ大学|住所|国\r\n";
             B::write(b.tokyo(QStringLiteral("Build.dat")), old);
             const QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ksj:Dataset><jps:GM_Point id=\"n1\">"
                                    "<DirectPosition.coordinate>35.6 139.7</DirectPosition.coordinate></jps:GM_Point></ksj:Dataset>\n";
             const QString message = messageOf(convert::公共施設(b.in("P02-13.xml", xml), b.app(QStringLiteral("Init.ini")),
                                                                 b.app(QStringLiteral("MapData/東京都"))));
             QFile kept(b.tokyo(QStringLiteral("Build.dat")));
             if (!kept.open(QIODevice::ReadOnly) || kept.readAll() != old)
                 return QStringLiteral("Build.dat replaced");
             return message;
         },
         "公共施設（ksj:FB01）が 1 つもありません", {QStringLiteral("app/MapData/東京都/Build.dat")}},
    };
    return table;
}

MIRATOS_BAD_INPUT_TABLE(BadInputWritesTable);

} // namespace
