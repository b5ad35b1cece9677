// Writes the seed corpus of every fuzz target into OUT/<target>/: small valid files made by the
// program's own writers and the benchmark generators, plus the hand-written converter fixtures of
// the tests. Usage: make_seeds OUT SOURCE_DIR
#include "boundary_xml_generator.h"
#include "convert/boundary_converter.h"
#include "convert/road_converter.h"
#include "platform/cp932.h"
#include "platform/text_file.h"
#include "railway_xml_generator.h"
#include "small_area_xml.h"
#include "store/district_file.h"
#include "store/railway_files.h"
#include "store/statistic_file.h"
#include "xlsx_writer.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtMath>
#include <cstdio>

using namespace miratos;

namespace {

QString g_out;
int g_written = 0;

void seed(const char* target, const QString& name, const QByteArray& bytes)
{
    const QString folder = g_out + QLatin1Char('/') + QLatin1String(target);
    QDir().mkpath(folder);
    QFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "make_seeds: cannot write %s\n", qPrintable(file.fileName()));
        std::exit(1);
    }
    ++g_written;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "make_seeds: cannot read %s\n", qPrintable(path));
        std::exit(1);
    }
    return file.readAll();
}

QByteArray cp932Lines(const QStringList& lines)
{
    auto bytes = platform::encodeLines(lines);
    if (!bytes) {
        std::fprintf(stderr, "make_seeds: %s\n", qPrintable(bytes.error()));
        std::exit(1);
    }
    return *bytes;
}

QByteArray joined(std::initializer_list<QByteArray> parts)
{
    QByteArray out;
    for (const QByteArray& p : parts) {
        if (!out.isEmpty() || &p != parts.begin())
            out += "\r\n====\r\n";
        out += p;
    }
    return out;
}

// Two municipalities of 東京都 sharing one border, the first with an island.
imports::BoundaryTopology twoMunicipalities()
{
    imports::BoundaryTopology t;
    t.lines = {{{{139.70, 35.60}, {139.70, 35.70}}},
               {{{139.70, 35.70}, {139.60, 35.70}, {139.60, 35.60}, {139.70, 35.60}}},
               {{{139.70, 35.60}, {139.80, 35.60}, {139.80, 35.70}, {139.70, 35.70}}},
               {{{139.90, 35.50}, {139.95, 35.50}, {139.95, 35.55}, {139.90, 35.50}}}};
    imports::TopoMunicipality a{13, QStringLiteral("13101"), {QStringLiteral("東京都"), QStringLiteral("千代田区")}, {}};
    a.polygons = {imports::TopoPolygon{{{{0, false}, {1, false}}}}, imports::TopoPolygon{{{{3, false}}}}};
    imports::TopoMunicipality b{13, QStringLiteral("13102"), {QStringLiteral("東京都"), QStringLiteral("中央区")}, {}};
    b.polygons = {imports::TopoPolygon{{{{0, true}, {2, false}}}}};
    t.municipalities = {a, b};
    return t;
}

void boundarySeeds(const QString& scratch)
{
    QByteArray meta, data;
    if (!bench::writeBoundaryXml(twoMunicipalities(), 13, [&](const QByteArray& b) { meta += b; },
                                 [&](const QByteArray& b) { data += b; })
             .ok())
        std::exit(1);
    seed("boundary_converter", QStringLiteral("two_municipalities"), joined({meta, data}));
    seed("xml_document", QStringLiteral("boundary_meta.xml"), meta);
    seed("xml_document", QStringLiteral("boundary_data.xml"), data);

    // The converter's six files are the seeds of the geometry readers (first byte: file kind).
    const QString metaPath = scratch + QStringLiteral("/meta.xml"), dataPath = scratch + QStringLiteral("/data.xml");
    platform::writeFileAtomically(metaPath, meta).ok();
    platform::writeFileAtomically(dataPath, data).ok();
    auto built = convert::buildBoundaryFiles({metaPath, dataPath, 13});
    if (!built) {
        std::fprintf(stderr, "make_seeds: %s\n", qPrintable(built.error()));
        std::exit(1);
    }
    const auto& f = built->files;
    const std::pair<char, const QByteArray*> kinds[] = {{0, &f.news}, {1, &f.line}, {2, &f.prefLine},
                                                        {3, &f.polygon}, {4, &f.point}, {5, &f.tiku}};
    for (const auto& [kind, bytes] : kinds)
        seed("geometry_files", QStringLiteral("kind%1").arg(int(kind)), QByteArray(1, kind) + *bytes);
    seed("text", QStringLiteral("tiku.dat"), f.tiku);
}

store::DistrictFile smallDistricts()
{
    store::DistrictFile file;
    file.header = store::formatDistrictHeader({139.75, 35.67, 139.77, 35.69});
    store::DistrictRecord r;
    r.rings = QStringLiteral("139.75 35.67 139.77 35.67 139.77 35.69 139.75 35.67@139.76 35.675 139.765 35.675 139.76 35.68 139.76 35.675");
    r.area = QStringLiteral("123456.78");
    r.areaClass = QStringLiteral("0");
    r.code = QStringLiteral("13001001");
    r.representative = QStringLiteral("M");
    r.townName = QStringLiteral("丸の内１丁目");
    r.labelX = QStringLiteral("139.765");
    r.labelY = QStringLiteral("35.68");
    file.records = {r};
    r.rings = QStringLiteral("139.77 35.69 139.78 35.69 139.78 35.70 139.77 35.69");
    r.areaClass = QStringLiteral("8154");
    r.code = QStringLiteral("13001002");
    r.representative = QString();
    r.townName = QStringLiteral("皇居外苑");
    file.records.append(r);
    return file;
}

void cityAndStatisticSeeds(const QString& scratch)
{
    const store::DistrictFile districts = smallDistricts();
    const QString path = scratch + QStringLiteral("/17_13101_千代田区.dat");
    if (!store::writeDistrictFile(path, districts).ok())
        std::exit(1);
    seed("district_file", QStringLiteral("two_records.dat"), fileBytes(path));
    QByteArray inverted = fileBytes(path);
    inverted.replace(0, inverted.indexOf('\r'), "139.77 35.69 139.75 35.67");
    seed("district_file", QStringLiteral("inverted_extent.dat"), inverted);
    const QByteArray xml = bench::smallAreaXml(districts, {QStringLiteral("千代田区"), QString(), false});
    seed("small_area", QStringLiteral("boundary.xml"), QByteArray(1, 0) + xml);
    seed("xml_document", QStringLiteral("small_area.xml"), xml);
    seed("small_area", QStringLiteral("table.txt"),
         QByteArray(1, 1) + cp932Lines({QStringLiteral("KEY_CODE,HYOSYO,CITYNAME,NAME,HTKSYORI,T000572001,T000572002"),
                                        QStringLiteral(",,,,,総数,男"),
                                        QStringLiteral("13101001001,3,千代田区,丸の内,１丁目,1234,600"),
                                        QStringLiteral("13101001002,3,千代田区,丸の内,２丁目,-,X")}));

    store::StatRows table = {{QStringLiteral("Code"), QStringLiteral("地区名"), QStringLiteral("人口")},
                             {QStringLiteral("13101"), QStringLiteral("千代田区"), QStringLiteral("58406")},
                             {QStringLiteral("13102"), QStringLiteral("中央区"), QStringLiteral("1.5E+05")}};
    const QString csv = scratch + QStringLiteral("/statistic1.csv");
    if (!store::exportStatisticTable(csv, table, 2, 2, false).ok())
        std::exit(1);
    seed("statistic_file", QStringLiteral("cp932.csv"), QByteArray(1, 0) + fileBytes(csv));
    seed("statistic_file", QStringLiteral("utf8_bom.csv"),
         QByteArray(1, 1) + "\xEF\xBB\xBF" + QStringLiteral("Code,地区名,人口\r\n13101,千代田区,58406\r\n").toUtf8());
    seed("statistic_file", QStringLiteral("utf8.csv"), QByteArray(1, 1) + QStringLiteral("Code,地区名,人口\n01,北海道,5224614\n").toUtf8());
    // The encoding doubts: UTF-8 where CP932 is expected, CP932 half-width kana that form UTF-8.
    seed("statistic_file", QStringLiteral("utf8_as_cp932.csv"), QByteArray(1, 0) + QStringLiteral("コード,人口\r\n13101,58406\r\n").toUtf8());
    seed("statistic_file", QStringLiteral("kana_as_utf8.csv"), QByteArray(1, 1) + QByteArray("Code,\xC2\xB1\r\n13101,1\r\n"));
    // A header of more columns than a table may have.
    QByteArray wide = "Code";
    for (int i = 0; i < 5000; ++i)
        wide += ",c";
    seed("statistic_file", QStringLiteral("wide.csv"), QByteArray(1, 0) + wide + "\r\n13101" + QByteArray(5000, ',') + "\r\n");
    const QString colours = scratch + QStringLiteral("/rank.txt");
    if (!store::writeRankColorFile(colours, 5, {255, 33023, 65535, 65280, 16711680}).ok())
        std::exit(1);
    seed("statistic_file", QStringLiteral("rank_colours.txt"), QByteArray(1, 2) + fileBytes(colours));
    seed("text", QStringLiteral("statistic.csv"), fileBytes(csv));
    seed("text", QStringLiteral("numbers.txt"), QByteArray("1\r\n-2.5E-3\r\n 3.25 \r\n1e308\r\n0.1\r\n16777215\r\n"));
}

void railwaySeeds(const QString& scratch)
{
    store::RailwayTables t;
    t.sections = {{QStringLiteral("EB02_1"), QStringLiteral("cv_rr1"), QStringLiteral("11"), QStringLiteral("2"),
                   QStringLiteral("山手線"), QStringLiteral("EB02_2")},
                  {QStringLiteral("EB02_2"), QStringLiteral("cv_rr2"), QStringLiteral("12"), QStringLiteral("5"),
                   QStringLiteral("銀座線"), QString()}};
    t.stations = {{QStringLiteral("EB03_1"), QStringLiteral("cv_st3"), QStringLiteral("東京")}};
    t.railCurves = {{QStringLiteral("cv_rr1"), QStringLiteral("35.68 139.76 35.69 139.77 35.70 139.77")},
                    {QStringLiteral("cv_rr2"), QStringLiteral("35.67 139.76 35.68 139.76")}};
    t.stationCurves = {{QStringLiteral("cv_st3"), QStringLiteral("35.681 139.766 35.682 139.767")}};
    auto bytes = store::encodeRailwayFiles(t);
    if (!bytes)
        std::exit(1);
    seed("railway_files", QStringLiteral("four_files"), joined({bytes->lineRr, bytes->rosen, bytes->eki, bytes->lineSt}));
    const QString xml = scratch + QStringLiteral("/N02.xml");
    if (!bench::writeRailwayXml(t, xml).ok())
        std::exit(1);
    seed("railway_converter", QStringLiteral("generated.xml"), fileBytes(xml));
    seed("xml_document", QStringLiteral("railway.xml"), fileBytes(xml));
}

void roadSeeds(const QString& source, const QString& scratch)
{
    const QString fixtures = source + QStringLiteral("/tests/convert/fixtures/road/");
    seed("road_converter", QStringLiteral("roads.txt"), QByteArray(1, 0) + fileBytes(fixtures + QStringLiteral("N13.txt")));
    seed("road_converter", QStringLiteral("names.txt"), QByteArray(1, 1) + fileBytes(fixtures + QStringLiteral("N00台.txt")));
    auto roads = convert::buildRoadFile(fixtures + QStringLiteral("N13.txt"));
    auto names = convert::buildRoadNameFile(fixtures + QStringLiteral("N00台.txt"));
    if (!roads || !names)
        std::exit(1);
    seed("road_files", QStringLiteral("Road.dat"), QByteArray(1, 0) + roads->bytes);
    seed("road_files", QStringLiteral("RoadName.dat"), QByteArray(1, 1) + names->bytes);
    (void)scratch;
}

void facilitySeeds(const QString& source)
{
    const QString fixtures = source + QStringLiteral("/tests/convert/fixtures/facility/");
    seed("facility_converter", QStringLiteral("P37-facilities.xml"), QByteArray(1, 0) + fileBytes(fixtures + QStringLiteral("P37-facilities.xml")));
    seed("facility_files", QStringLiteral("Build.dat"), QByteArray(1, 0) + fileBytes(fixtures + QStringLiteral("Build.dat.golden")));
    seed("facility_files", QStringLiteral("import.csv"),
         QByteArray(1, 1) + cp932Lines({QStringLiteral("大分類,小分類,名称,入学定員,住所,,経度,緯度"),
                                        QStringLiteral("学校,大学,香川大学,6000,幸町1-1,,134.04,34.34"),
                                        QStringLiteral("病院,一般,Ｈ,-,備考,,133.1,34.1")}));
    const QByteArray geojson = QStringLiteral(
        R"({"type":"FeatureCollection","features":[)"
        R"({"type":"Feature","properties":{"P02_001":"37201","P02_002":"3","P02_003":"03001","P02_004":"美術館","P02_005":"玉藻町","P02_006":"2"},)"
        R"("geometry":{"type":"Point","coordinates":[134.041375,34.338215]}},)"
        R"({"type":"Feature","properties":{"P02_001":"13101","P02_002":"16","P02_003":"16001","P02_004":"小学校","P02_005":"千代田1","P02_006":"3"},)"
        R"("geometry":{"type":"Point","coordinates":[139.75,35.68]}}]})")
                                 .toUtf8();
    seed("facility_converter", QStringLiteral("P02.geojson"), QByteArray(1, 1) + geojson);
}

void gisSeeds()
{
    const QByteArray boundaries = QStringLiteral(
        R"({"type":"FeatureCollection","features":[)"
        R"({"type":"Feature","properties":{"N03_001":"東京都","N03_003":null,"N03_004":"千代田区","N03_007":"13101"},)"
        R"("geometry":{"type":"Polygon","coordinates":[[[139.6,35.6],[139.7,35.6],[139.7,35.7],[139.6,35.7],[139.6,35.6]]]}},)"
        R"({"type":"Feature","properties":{"N03_001":"東京都","N03_003":null,"N03_004":"中央区","N03_007":"13102"},)"
        R"("geometry":{"type":"MultiPolygon","coordinates":[[[[139.7,35.6],[139.8,35.6],[139.8,35.7],[139.7,35.7],[139.7,35.6]]]]}}]})")
                                    .toUtf8();
    seed("gis_import", QStringLiteral("boundaries.geojson"), QByteArray(1, 0) + boundaries);
    const QByteArray railways = QStringLiteral(
        R"({"type":"FeatureCollection","features":[)"
        R"({"type":"Feature","properties":{"N02_001":"11","N02_002":"2","N02_003":"山手線","N02_004":"東日本旅客鉄道","N02_005":"東京"},)"
        R"("geometry":{"type":"LineString","coordinates":[[139.766,35.681],[139.767,35.682]]}},)"
        R"({"type":"Feature","properties":{"N02_001":"11","N02_002":"2","N02_003":"山手線","N02_004":"東日本旅客鉄道"},)"
        R"("geometry":{"type":"MultiLineString","coordinates":[[[139.76,35.68],[139.77,35.69]]]}}]})")
                                  .toUtf8();
    seed("gis_import", QStringLiteral("railways.geojson"), QByteArray(1, 1) + railways);
    const QByteArray topo = QStringLiteral(
        R"({"type":"Topology","transform":{"scale":[0.001,0.001],"translate":[139.6,35.6]},)"
        R"("objects":{"N03":{"type":"GeometryCollection","geometries":[)"
        R"({"type":"Polygon","arcs":[[0,1]],"properties":{"N03_001":"東京都","N03_003":null,"N03_004":"千代田区","N03_007":"13101"}},)"
        R"({"type":"MultiPolygon","arcs":[[[-1,2]]],"properties":{"N03_001":"東京都","N03_003":null,"N03_004":"中央区","N03_007":"13102"}}]}},)"
        R"("arcs":[[[100,0],[0,100]],[[100,100],[-100,0],[0,-100],[100,0]],[[100,0],[100,0],[0,100],[-100,0]]]})")
                              .toUtf8();
    seed("topojson", QStringLiteral("two_municipalities.topojson"), topo);
    // A ring that walks one arc again and again: the points it expands to are counted.
    QByteArray walks = "0";
    for (int i = 0; i < 2000; ++i)
        walks += ",0";
    seed("topojson", QStringLiteral("ring_walks_one_arc.topojson"),
         R"({"type":"Topology","arcs":[[[139.6,35.6],[139.7,35.6],[139.7,35.7],[139.6,35.6]]],"objects":{"m":{"type":"Polygon","arcs":[[)" +
             walks + R"(]],"properties":{"N03_007":"13101"}}}})");
    seed("text", QStringLiteral("topo.json"), topo);
    // Hostile shapes of the same inputs: a VRT under a GeoJSON name that names another file,
    // names with "@", "_", a line break and a character CP932 cannot hold, and a transform that
    // puts the points off the globe.
    seed("gis_import", QStringLiteral("vrt.geojson"),
         QByteArray(1, 0) + "<OGRVRTDataSource><OGRVRTLayer name=\"n03\"><SrcDataSource>other.geojson</SrcDataSource></OGRVRTLayer></OGRVRTDataSource>\n");
    QByteArray names = boundaries;
    names.replace("千代田区", "鳥取市@本庁_𠮷");
    seed("gis_import", QStringLiteral("names.geojson"), QByteArray(1, 0) + names);
    QByteArray station = railways;
    station.replace("\"東京\"", "\"東\\r\\n𠮷\"");
    seed("gis_import", QStringLiteral("station_names.geojson"), QByteArray(1, 1) + station);
    QByteArray offGlobe = topo;
    offGlobe.replace("[139.6,35.6]", "[1e6,35.6]");
    seed("topojson", QStringLiteral("off_the_globe.topojson"), offGlobe);
}

// A maps database of two squares sharing a line, as R writes one (little-endian, radians).
void mapsSeeds()
{
    const QVector<QVector<QPointF>> lines = {{{134, 34}, {134, 35}}, {{134, 35}, {133, 35}, {133, 34}, {134, 34}},
                                             {{134, 34}, {135, 34}, {135, 35}, {134, 35}}};
    const QVector<QVector<qint32>> polygons = {{1, 2}, {-1, 3}};
    QByteArray l, g;
    {
        QDataStream s(&l, QIODevice::WriteOnly);
        s.setByteOrder(QDataStream::LittleEndian);
        s.setFloatingPointPrecision(QDataStream::SinglePrecision);
        s << qint32(2) << qint32(lines.size());
        qint32 offset = 8 + 28 * qint32(lines.size());
        for (const auto& line : lines) {
            s << offset << quint16(line.size()) << quint16(0) << quint16(0) << quint16(0) << 0.0f << 0.0f << 0.0f << 0.0f;
            offset += 8 * qint32(line.size());
        }
        for (const auto& line : lines)
            for (const QPointF& p : line)
                s << float(qDegreesToRadians(p.x())) << float(qDegreesToRadians(p.y()));
    }
    {
        QDataStream s(&g, QIODevice::WriteOnly);
        s.setByteOrder(QDataStream::LittleEndian);
        s.setFloatingPointPrecision(QDataStream::SinglePrecision);
        s << quint16(polygons.size());
        qint32 offset = 2 + 24 * qint32(polygons.size());
        for (const auto& polygon : polygons) {
            s << offset << qint32(polygon.size()) << 0.0f << 0.0f << 0.0f << 0.0f;
            offset += 4 * qint32(polygon.size());
        }
        for (const auto& polygon : polygons)
            for (qint32 ref : polygon)
                s << ref;
    }
    seed("maps_database", QStringLiteral("two_prefectures"), joined({l, g, QByteArray("Kagawa\t1\nTokushima:\t2\n")}));
}

void fixtureSeeds(const QString& source)
{
    seed("ini_file", QStringLiteral("Init.ini"), fileBytes(source + QStringLiteral("/data/Init.ini")));
    seed("ini_file", QStringLiteral("small.ini"),
         cp932Lines({QStringLiteral("[Pref]"), QStringLiteral("13=東京都"), QStringLiteral("01 = \"北海道\" "),
                     QStringLiteral("[WaterColor]"), QStringLiteral("R=153"), QStringLiteral("G=204"), QStringLiteral("B=255")}));
    seed("text", QStringLiteral("Init.ini"), fileBytes(source + QStringLiteral("/data/Init.ini")));
    const QString census = source + QStringLiteral("/tests/convert/fixtures/census/");
    for (const QString& name : QDir(census).entryList({QStringLiteral("*.xls")}, QDir::Files))
        seed("census_workbook", name, fileBytes(census + name));
    // An .xlsx with shared, inline and plain cells, rows with and without references.
    const QByteArray book = test_support::xlsxBytes(
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c></row>"
        "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>01</t></is></c><c r=\"B2\"><v>5224614</v></c></row>"
        "<row><c t=\"str\"><v>13</v></c><c><v>14047594</v></c><c t=\"e\"><v>#N/A</v></c></row>",
        "<si><t>都道府県</t></si><si><r><t>人口</t></r><rPh><t>ジンコウ</t></rPh></si>");
    if (book.isEmpty()) {
        std::fprintf(stderr, "make_seeds: GDAL could not make the .xlsx seed\n");
        std::exit(1);
    }
    seed("census_workbook", QStringLiteral("book.xlsx"), book);
    seed("railway_converter", QStringLiteral("N02-test.xml"),
         fileBytes(source + QStringLiteral("/tests/convert/fixtures/railway/N02-test.xml")));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_seeds OUT SOURCE_DIR\n");
        return 2;
    }
    g_out = QString::fromLocal8Bit(argv[1]);
    const QString source = QString::fromLocal8Bit(argv[2]);
    QTemporaryDir scratch;
    boundarySeeds(scratch.path());
    cityAndStatisticSeeds(scratch.path());
    railwaySeeds(scratch.path());
    roadSeeds(source, scratch.path());
    facilitySeeds(source);
    gisSeeds();
    mapsSeeds();
    fixtureSeeds(source);
    std::printf("make_seeds: %d seed files in %s\n", g_written, argv[1]);
    return 0;
}
