// "miratos import" of boundaries that repeat their borders (GeoJSON, Shapefile, GML, GeoPackage,
// read through GDAL): the shared lines found, written once and walked back by the neighbour.
#include "import_fixture.h"
#include "platform/gis_reader.h"
#include "store/coord_list.h"
#include "store/line_file.h"
#include "store/map_keys.h"
#include "store/pref_line_file.h"

#include <QDirIterator>
#include <QHash>

namespace {

using miratos::platform::translateGisFile;

QByteArray featureCollection(const QList<QByteArray>& features)
{
    QByteArray text = R"({"type":"FeatureCollection","features":[)";
    for (qsizetype i = 0; i < features.size(); ++i)
        text += (i ? ",\n" : "\n") + features.at(i);
    return text + "]}";
}

QByteArray feature(const QByteArray& code, const QByteArray& town, const QByteArray& geometry,
                   const QByteArray& pref = "東京都")
{
    const QByteArray codeValue = code.isEmpty() ? QByteArray("null") : '"' + code + '"';
    return R"({"type":"Feature","properties":{"N03_001":")" + pref + R"(","N03_002":null,"N03_003":null,"N03_004":")"
        + town + R"(","N03_007":)" + codeValue + R"(},"geometry":)" + geometry + "}";
}

QByteArray polygon(const QByteArray& rings)
{
    return R"({"type":"Polygon","coordinates":[)" + rings + "]}";
}

// Two wards side by side, the west one 139–139.5, the east one 139.5–140, sharing the meridian
// 139.5 from 35 to 36. Anticlockwise and closed, as GeoJSON has it.
const QByteArray kWest = "[[139,35],[139.5,35],[139.5,36],[139,36],[139,35]]";
const QByteArray kEast = "[[139.5,35],[140,35],[140,36],[139.5,36],[139.5,35]]";

const std::string kTwoSquaresLines = "13c1\r\n35 139 36 139 36 139.5\r\n"
                                     "13c2\r\n36 139.5 35 139.5\r\n"
                                     "13c3\r\n35 139.5 35 139\r\n"
                                     "13c4\r\n36 139.5 36 140 35 140 35 139.5\r\n";
const std::string kTwoSquaresPolygons = "13a1\r\n13c1@13c2@13c3\r\n13a2\r\n_13c2@13c4\r\n";
const std::string kTwoSquaresOutline = "13c1@13c4@13c3\r\n";

class GisImport : public ImportFolder {
protected:
    // The key -> points of a prefecture's Line.dat.
    QHash<QString, QVector<QPointF>> lines(const QString& pref) const
    {
        QHash<QString, QVector<QPointF>> out;
        const auto records = miratos::store::readLineFile(prefFolder(pref) + QStringLiteral("/Line.dat"));
        EXPECT_TRUE(records.ok()) << records.error().toStdString();
        if (!records)
            return out;
        for (const auto& r : *records) {
            QVector<QPointF> points;
            EXPECT_TRUE(miratos::store::parseLatLonList(r.coords, points));
            out.insert(r.key, points);
        }
        return out;
    }

    // Number of outline rings of a prefecture, failing the test on a ring that does not close or
    // refers to a missing line.
    int closedOutlineRings(const QString& pref) const
    {
        const auto byKey = lines(pref);
        const auto rings = miratos::store::readPrefLineFile(prefFolder(pref) + QStringLiteral("/PrefLine.dat"));
        EXPECT_TRUE(rings.ok());
        if (!rings)
            return 0;
        for (const QString& ring : *rings) {
            QVector<QPointF> walked;
            for (const auto& part : miratos::store::parseRing(ring)) {
                EXPECT_TRUE(byKey.contains(part.key)) << part.key.toStdString();
                QVector<QPointF> p = byKey.value(part.key);
                if (part.reversed)
                    std::reverse(p.begin(), p.end());
                if (!walked.isEmpty() && !p.isEmpty()) {
                    EXPECT_EQ(walked.last(), p.first()) << pref.toStdString() << ": " << ring.toStdString();
                }
                walked += p;
            }
            EXPECT_TRUE(!walked.isEmpty() && walked.first() == walked.last()) << pref.toStdString() << ": " << ring.toStdString();
        }
        return int(rings->size());
    }
};

TEST_F(GisImport, SharedEdgeIsOneLineWalkedBackByTheSecondSquareWhateverTheRingsLookLike)
{
    struct Case {
        const char* name;
        QByteArray west, east;
    };
    const Case cases[] = {
        {"closed anticlockwise rings", polygon(kWest), polygon(kEast)},
        {"rings not closed", polygon("[[139,35],[139.5,35],[139.5,36],[139,36]]"), polygon("[[139.5,35],[140,35],[140,36],[139.5,36]]")},
        {"repeated points", polygon("[[139,35],[139,35],[139.5,35],[139.5,36],[139.5,36],[139.5,36],[139,36],[139,35],[139,35]]"),
         polygon("[[139.5,35],[140,35],[140,35],[140,36],[139.5,36],[139.5,35]]")},
        {"clockwise rings", polygon("[[139,35],[139,36],[139.5,36],[139.5,35],[139,35]]"),
         polygon("[[139.5,35],[139.5,36],[140,36],[140,35],[139.5,35]]")},
        {"multipolygons", R"({"type":"MultiPolygon","coordinates":[[)" + kWest + "]]}",
         R"({"type":"MultiPolygon","coordinates":[[)" + kEast + "]]}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = inputFile(QStringLiteral("squares.geojson"),
                                       featureCollection({feature("13101", "千代田区", c.west), feature("13102", "中央区", c.east)}));
        ASSERT_EQ(runImport({file}), 0) << err();
        EXPECT_EQ(fileText(QStringLiteral("東京都"), QStringLiteral("Line.dat")), kTwoSquaresLines);
        EXPECT_EQ(fileText(QStringLiteral("東京都"), QStringLiteral("Polygon.dat")), kTwoSquaresPolygons);
        EXPECT_EQ(fileText(QStringLiteral("東京都"), QStringLiteral("PrefLine.dat")), kTwoSquaresOutline);
        EXPECT_EQ(fileText(QStringLiteral("東京都"), QStringLiteral("Tiku.dat")),
                  "13a1\r\n東京都@千代田区\r\n13101\r\n13a2\r\n東京都@中央区\r\n13102\r\n");
    }
    EXPECT_NE(out().find("合計: 1 都道府県, 2 市区町村, 2 面, 4 線, 飛ばした地物 0 件"), std::string::npos) << out();
}

// The west square has a point half way along the shared edge that the east one lacks, and the
// east one's corners on the edge are a few centimetres off the west one's.
TEST_F(GisImport, VertexOnlyInOneNeighbourIsJoinedOnlyWhenSnapping)
{
    const QString file = inputFile(
        QStringLiteral("uneven.geojson"),
        featureCollection({feature("13101", "千代田区", polygon("[[139,35],[139.5,35],[139.5,35.5],[139.5,36],[139,36],[139,35]]")),
                           feature("13102", "中央区", polygon("[[139.5000003,35],[140,35],[140,36],[139.5000004,36.0000002],[139.5000003,35]]"))}));

    ASSERT_EQ(runImport({file}), 0) << err();
    // Exact: nothing is shared, so each square is one closed line, all of it outline.
    EXPECT_EQ(fileText(QStringLiteral("東京都"), QStringLiteral("Polygon.dat")), "13a1\r\n13c1\r\n13a2\r\n13c2\r\n");
    EXPECT_EQ(fileText(QStringLiteral("東京都"), QStringLiteral("PrefLine.dat")), "13c1\r\n13c2\r\n");

    ASSERT_EQ(runImport({QStringLiteral("--snap"), file}), 0) << err();
    EXPECT_EQ(fileText(QStringLiteral("東京都"), QStringLiteral("Line.dat")),
              "13c1\r\n35 139 36 139 36 139.5\r\n"
              "13c2\r\n36 139.5 35.5 139.5 35 139.5\r\n"
              "13c3\r\n35 139.5 35 139\r\n"
              "13c4\r\n36 139.5 36 140 35 140 35 139.5\r\n");
    EXPECT_EQ(fileText(QStringLiteral("東京都"), QStringLiteral("Polygon.dat")), kTwoSquaresPolygons);
    EXPECT_EQ(fileText(QStringLiteral("東京都"), QStringLiteral("PrefLine.dat")), kTwoSquaresOutline);
    EXPECT_NE(out().find("許容差内の点 3 個を隣の境界に合わせました"), std::string::npos) << out();

    // A tolerance below the offsets joins nothing.
    ASSERT_EQ(runImport({QStringLiteral("--snap=0.0000001"), file}), 0) << err();
    EXPECT_EQ(fileText(QStringLiteral("東京都"), QStringLiteral("PrefLine.dat")), "13c1\r\n13c2\r\n");
    EXPECT_EQ(runImport({QStringLiteral("--snap=abc"), file}), 2);
}

TEST_F(GisImport, EnclaveInAHoleAndIslandOfAMultipolygon)
{
    const QByteArray ring = "[[139,35],[140,35],[140,36],[139,36],[139,35]]";
    const QByteArray hole = "[[139.25,35.25],[139.25,35.75],[139.75,35.75],[139.75,35.25],[139.25,35.25]]";
    const QByteArray enclave = "[[139.25,35.25],[139.75,35.25],[139.75,35.75],[139.25,35.75],[139.25,35.25]]";
    const QByteArray island = "[[141,35],[141.25,35],[141.25,35.25],[141,35]]";
    const QString file = inputFile(
        QStringLiteral("enclave.geojson"),
        featureCollection({feature("13101", "千代田区", R"({"type":"MultiPolygon","coordinates":[[)" + island + "],[" + ring + "," + hole + "]]}"),
                           feature("13102", "中央区", polygon(enclave)),
                           feature("", "所属未定地", polygon("[[142,35],[142.5,35],[142.5,35.5],[142,35]]")),
                           feature("13103", "港区", R"({"type":"LineString","coordinates":[[139,35],[140,36]]})")}));
    ASSERT_EQ(runImport({file}), 0) << err();
    // The larger polygon first, its island next, the enclave after the polygon around it; the
    // enclave's boundary is one closed line, walked back by the enclave and not part of the outline.
    EXPECT_EQ(fileText(QStringLiteral("東京都"), QStringLiteral("Polygon.dat")), "13a1\r\n13c1\r\n13a2\r\n13c3\r\n13a3\r\n_13c2\r\n");
    EXPECT_EQ(fileText(QStringLiteral("東京都"), QStringLiteral("Line.dat")),
              "13c1\r\n35 139 36 139 36 140 35 140 35 139\r\n"
              "13c2\r\n35.25 139.25 35.25 139.75 35.75 139.75 35.75 139.25 35.25 139.25\r\n"
              "13c3\r\n35 141 35.25 141.25 35 141.25 35 141\r\n");
    EXPECT_EQ(fileText(QStringLiteral("東京都"), QStringLiteral("PrefLine.dat")), "13c1\r\n13c3\r\n");
    EXPECT_NE(out().find("のない図形 1 件を飛ばしました（所属未定地）"), std::string::npos) << out();
    EXPECT_NE(out().find("でない図形 1 件を飛ばしました（LineString 1 件）"), std::string::npos) << out();
}

// Two prefectures in one file: each gets its folder, and the border between them belongs to the
// outline of both.
TEST_F(GisImport, CountryFileSplitsIntoPrefecturesWithClosedOutlines)
{
    const QString file = inputFile(
        QStringLiteral("country.geojson"),
        featureCollection({feature("13101", "千代田区", polygon(kWest)), feature("11101", "西区", polygon(kEast), "埼玉県"),
                           feature("11102", "北区", polygon("[[140,35],[140.5,35],[140.5,36],[140,36],[140,35]]"), "埼玉県")}));
    ASSERT_EQ(runImport({file}), 0) << err();
    EXPECT_EQ(fileText(QStringLiteral("東京都"), QStringLiteral("PrefLine.dat")), "13c1@13c2@13c3\r\n");
    EXPECT_EQ(fileText(QStringLiteral("埼玉県"), QStringLiteral("Polygon.dat")), "11a1\r\n_11c1@11c2@11c3@11c4\r\n11a2\r\n_11c3@11c5\r\n");
    EXPECT_EQ(closedOutlineRings(QStringLiteral("東京都")), 1);
    EXPECT_EQ(closedOutlineRings(QStringLiteral("埼玉県")), 1);
    EXPECT_EQ(lines(QStringLiteral("東京都")).value(QStringLiteral("13c2")), lines(QStringLiteral("埼玉県")).value(QStringLiteral("11c1")));
    EXPECT_NE(out().find("合計: 2 都道府県, 3 市区町村, 3 面, 8 線"), std::string::npos) << out();
}

TEST_F(GisImport, ShapefileGmlAndGeoPackageGiveTheSameFilesAsGeoJson)
{
    const QString source = inputFile(QStringLiteral("squares.geojson"),
                                     featureCollection({feature("13101", "千代田区", polygon(kWest)), feature("13102", "中央区", polygon(kEast))}));
    QTemporaryDir made;
    struct Case {
        const char* format;
        QString file;
        QStringList options;
        bool stripEncoding; // no .cpg and no code page in the DBF: the names are bare CP932 bytes
    };
    const Case cases[] = {
        {"ESRI Shapefile", made.filePath(QStringLiteral("cpg/squares.shp")), {QStringLiteral("-lco"), QStringLiteral("ENCODING=CP932")}, false},
        {"ESRI Shapefile", made.filePath(QStringLiteral("bare/squares.shp")), {QStringLiteral("-lco"), QStringLiteral("ENCODING=CP932")}, true},
        {"ESRI Shapefile", made.filePath(QStringLiteral("utf8/squares.shp")), {QStringLiteral("-lco"), QStringLiteral("ENCODING=UTF-8")}, false},
        {"GML", made.filePath(QStringLiteral("squares.gml")), {}, false},
        {"GPKG", made.filePath(QStringLiteral("squares.gpkg")), {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        QDir().mkpath(QFileInfo(c.file).path());
        const miratos::Status written = translateGisFile(source, c.file, QString::fromLatin1(c.format), c.options);
        ASSERT_TRUE(written.ok()) << written.error().toStdString();
        if (c.stripEncoding) {
            const QString base = c.file.chopped(4);
            ASSERT_TRUE(QFile::remove(base + QStringLiteral(".cpg")));
            QFile dbf(base + QStringLiteral(".dbf"));
            ASSERT_TRUE(dbf.open(QIODevice::ReadWrite));
            ASSERT_TRUE(dbf.seek(29)); // the language driver byte
            dbf.write(QByteArray(1, '\0'));
            dbf.close();
            ASSERT_TRUE(dbf.open(QIODevice::ReadOnly));
            ASSERT_TRUE(dbf.readAll().contains(QByteArray("\x90\xe7\x91\xe3\x93\x63\x8b\xe6"))); // 千代田区 in CP932
        }
        ASSERT_EQ(runImport({c.file}), 0) << err();
        EXPECT_EQ(fileText(QStringLiteral("東京都"), QStringLiteral("Line.dat")), kTwoSquaresLines);
        EXPECT_EQ(fileText(QStringLiteral("東京都"), QStringLiteral("Polygon.dat")), kTwoSquaresPolygons);
        EXPECT_EQ(fileText(QStringLiteral("東京都"), QStringLiteral("PrefLine.dat")), kTwoSquaresOutline);
        EXPECT_EQ(fileText(QStringLiteral("東京都"), QStringLiteral("Tiku.dat")),
                  "13a1\r\n東京都@千代田区\r\n13101\r\n13a2\r\n東京都@中央区\r\n13102\r\n");
    }
}

TEST_F(GisImport, BadCodeNamesFileAndFeatureAndKeepsTheFilesWritten)
{
    const QString good = inputFile(QStringLiteral("good.geojson"),
                                   featureCollection({feature("13101", "千代田区", polygon(kWest)), feature("13102", "中央区", polygon(kEast))}));
    ASSERT_EQ(runImport({good}), 0) << err();
    const std::string before = fileText(QStringLiteral("東京都"), QStringLiteral("Polygon.dat"));

    const QString bad = inputFile(QStringLiteral("bad.geojson"),
                                  featureCollection({feature("13101", "千代田区", polygon(kEast)), feature("1310X", "中央区", polygon(kWest))}));
    EXPECT_EQ(runImport({bad}), 1);
    EXPECT_NE(err().find("bad.geojson: 地物 2: N03_007「1310X」が 5 桁の市区町村コードではありません"), std::string::npos) << err();
    EXPECT_EQ(fileText(QStringLiteral("東京都"), QStringLiteral("Polygon.dat")), before);

    EXPECT_EQ(runImport({inputFile(QStringLiteral("broken.geojson"), "{\"type\":\"FeatureCollection\",\"features\":[")}), 1);
    EXPECT_NE(err().find("broken.geojson"), std::string::npos) << err();
    EXPECT_EQ(fileText(QStringLiteral("東京都"), QStringLiteral("Polygon.dat")), before);
}

} // namespace
