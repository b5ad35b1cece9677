// The administrative boundary conversion on small hand-made XML: the six files byte for byte,
// the label-point search, the outline, odd features left out and named, and the problems that
// stop a conversion before anything is written.
#include "boundary_fixture.h"

#include <QRegularExpression>
#include <map>

namespace {

using miratos::bench::BoundaryXmlWriter;
using miratos::convert::BoundaryProgress;
using miratos::convert::行政区域;

// Prefecture 13: two wards sharing the curve cv77 (no inner vertex), the east ward with a hole
// (ring rn2_ec2) around an enclave, a one-curve island, a crescent whose extent centre lies in its
// notch, and a thin L on which neither the centre nor a quarter-offset seed lies.
void writeWards(BoundaryXmlWriter& w)
{
    const std::pair<const char*, const char*> points[] = {{"n1", "36 139.5"}, {"n2", "35 139.5"}, {"n3", "35 141"},
                                                          {"n4", "35.4 139.7"}, {"n5", "35 142"}, {"n6", "35 144"},
                                                          {"n7", "35.1 144.1"}};
    for (const auto& [id, c] : points)
        w.point(id, c);
    w.curve("cv77", "n1", {}, "n2");
    w.curve("cv2", "n2", {"35 139", "36 139"}, "n1");
    w.curve("cv3", "n1", {"36 140", "35 140"}, "n2");
    w.curve("cv4", "n3", {"35 141.25", "35.25 141.25", "35.2 141"}, "n3");
    w.curve("cv5", "n4", {"35.4 139.8", "35.6 139.8", "35.6 139.7"}, "n4");
    w.curve("cv6", "n5", {"35 143", "35.3 143", "35.3 142.4", "35.7 142.4", "35.7 143", "36 143", "36 142"}, "n5");
    w.curve("cv7", "n6", {"35 145", "35.1 145"}, "n7");
    w.curve("cv8", "n7", {"36 144.1", "36 144"}, "n6");
    w.orientableCurve("oc77", "cv77");
    w.orientableCurve("oc5", "cv5");
    w.surface("sf1ec", {{"rn1_ec1", {"cv77", "cv2"}}});
    w.surface("sf2ec", {{"rn2_ec1", {"oc77", "cv3"}}, {"rn2_ec2", {"oc5"}}});
    w.surface("sf3ec", {{"rn3_ec1", {"cv4"}}});
    w.surface("sf4ec", {{"rn4_ec1", {"cv5"}}});
    w.surface("sf5ec", {{"rn5_ec1", {"cv6"}}});
    w.surface("sf6ec", {{"rn6_ec1", {"cv7", "cv8"}}});
    w.feature("ec1", "sf1ec", QStringLiteral("東京都"), {}, QStringLiteral("千代田区"), QStringLiteral("13101"));
    w.feature("ec2", "sf2ec", QStringLiteral("東京都"), QStringLiteral("西多摩郡"), QStringLiteral("瑞穂町"), QStringLiteral("13303"));
    w.feature("ec3", "sf3ec", QStringLiteral("東京都"), {}, QStringLiteral("大島町"), QStringLiteral("13361"));
    w.feature("ec4", "sf4ec", QStringLiteral("東京都"), {}, QStringLiteral("飛地村"), QStringLiteral("13398"));
    w.feature("ec5", "sf5ec", QStringLiteral("東京都"), {}, QStringLiteral("三日月町"), QStringLiteral("13399"));
    w.feature("ec6", "sf6ec", QStringLiteral("東京都"), {}, QStringLiteral("鉤町"), QStringLiteral("13400"));
}

TEST_F(BoundaryFolder, WritesTheSixFilesAsTheTopologyHasThem)
{
    const QString meta = inputFile(QStringLiteral("KS-META-N03-21_13.xml"), metaXml());
    const QString data = inputFile(QStringLiteral("N03-21_13.xml"), dataXml(writeWards));
    const auto report = 行政区域({meta, data, 13}, tokyoFolder());
    ASSERT_TRUE(report.ok()) << report.error().toStdString();

    EXPECT_EQ(fileText(QStringLiteral("NEWS.dat")), "139\r\n145\r\n35\r\n36\r\n");
    EXPECT_EQ(fileText(QStringLiteral("Line.dat")),
              "13c77\r\n36 139.5 35 139.5\r\n"
              "13c2\r\n35 139.5 35 139 36 139 36 139.5\r\n"
              "13c3\r\n36 139.5 36 140 35 140 35 139.5\r\n"
              "13c4\r\n35 141 35 141.25 35.25 141.25 35.2 141 35 141\r\n"
              "13c5\r\n35.4 139.7 35.4 139.8 35.6 139.8 35.6 139.7 35.4 139.7\r\n"
              "13c6\r\n35 142 35 143 35.3 143 35.3 142.4 35.7 142.4 35.7 143 36 143 36 142 35 142\r\n"
              "13c7\r\n35 144 35 145 35.1 145 35.1 144.1\r\n"
              "13c8\r\n35.1 144.1 36 144.1 36 144 35 144\r\n");
    // The hole rn2_ec2 adds nothing; "oc77" is written "_13c77"; no line break at the very end.
    EXPECT_EQ(fileText(QStringLiteral("Polygon.dat")),
              "13a1ec\r\n13c77@13c2\r\n13a2ec\r\n_13c77@13c3\r\n13a3ec\r\n13c4\r\n13a4ec\r\n13c5\r\n"
              "13a5ec\r\n13c6\r\n13a6ec\r\n13c7@13c8");
    // Label points: the extent centre; for the east ward the centre lies in the enclave, so the
    // seed a quarter south; the crescent's centre lies in its notch, the seed a quarter south
    // does not; the L gets the first point of its last curve (cv8 starts at n7).
    EXPECT_EQ(fileText(QStringLiteral("Point.dat")),
              "13p1ec\r\n35.5 139.25\r\n13p2ec\r\n35.25 139.75\r\n13p3ec\r\n35.125 141.125\r\n"
              "13p4ec\r\n35.5 139.75\r\n13p5ec\r\n35.25 142.5\r\n13p6ec\r\n35.1 144.1\r\n");
    // The shared cv77 and the enclave's cv5 (its own ring and the hole) are used twice: not outline.
    EXPECT_EQ(fileText(QStringLiteral("PrefLine.dat")), "13c2@13c3\r\n13c4\r\n13c6\r\n13c7@13c8\r\n");
    EXPECT_EQ(fileText(QStringLiteral("Tiku.dat")),
              "13a1ec\r\n東京都@千代田区\r\n13101\r\n13a2ec\r\n東京都@西多摩郡@瑞穂町\r\n13303\r\n"
              "13a3ec\r\n東京都@大島町\r\n13361\r\n13a4ec\r\n東京都@飛地村\r\n13398\r\n"
              "13a5ec\r\n東京都@三日月町\r\n13399\r\n13a6ec\r\n東京都@鉤町\r\n13400\r\n");
    EXPECT_EQ(report->polygons, 6);
    EXPECT_EQ(report->outlineRings, 4);
    EXPECT_TRUE(report->warnings.isEmpty()) << report->warnings.join(QLatin1Char('\n')).toStdString();
}

// A 6 × 6 grid of municipalities whose edges are lines shared by neighbours, made with the
// generator: the outline is one ring of the 24 edges of the border, and the counter keeps growing
// from pass to pass.
miratos::imports::BoundaryTopology grid(int n)
{
    using namespace miratos;
    imports::BoundaryTopology t;
    QHash<QString, int> edges;
    auto node = [](int i, int j) { return QPointF(139 + 0.1 * i, 35 + 0.1 * j); };
    auto edge = [&](int i1, int j1, int i2, int j2) {
        const QString key = QStringLiteral("%1,%2,%3,%4");
        if (const auto found = edges.constFind(key.arg(i2).arg(j2).arg(i1).arg(j1)); found != edges.constEnd())
            return imports::TopoLineRef{*found, true};
        const QPointF a = node(i1, j1), b = node(i2, j2);
        t.lines.append(imports::TopoLine{{a, (a + b) / 2, b}});
        edges.insert(key.arg(i1).arg(j1).arg(i2).arg(j2), int(t.lines.size() - 1));
        return imports::TopoLineRef{int(t.lines.size() - 1), false};
    };
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            imports::TopoMunicipality m{13, QStringLiteral("13%1").arg(100 + i * n + j), {QStringLiteral("東京都"), QStringLiteral("区%1").arg(i * n + j)}, {}};
            m.polygons.append(imports::TopoPolygon{{{edge(i, j, i + 1, j), edge(i + 1, j, i + 1, j + 1), edge(i + 1, j + 1, i, j + 1), edge(i, j + 1, i, j)}}});
            t.municipalities.append(m);
        }
    }
    return t;
}

TEST_F(BoundaryFolder, GridOutlineIsOneRingAndTheCounterGrowsAcrossPasses)
{
    QByteArray meta, data;
    ASSERT_TRUE(miratos::bench::writeBoundaryXml(grid(6), 13, [&](const QByteArray& b) { meta += b; },
                                                 [&](const QByteArray& b) { data += b; }).ok());
    std::vector<std::pair<QString, qint64>> calls; // the pass a call came in, the counter
    QString pass;
    BoundaryProgress progress;
    progress.step = [&](const QString& s) { pass = s; };
    progress.counter = [&](qint64 c) { calls.emplace_back(pass, c); };
    const auto report = 行政区域({inputFile(QStringLiteral("m.xml"), meta), inputFile(QStringLiteral("d_13.xml"), data), 13},
                                     tokyoFolder(), progress);
    ASSERT_TRUE(report.ok()) << report.error().toStdString();

    const std::string outline = fileText(QStringLiteral("PrefLine.dat"));
    EXPECT_EQ(std::count(outline.begin(), outline.end(), '@'), 23) << outline;
    EXPECT_EQ(std::count(outline.begin(), outline.end(), '\n'), 1) << outline;
    EXPECT_EQ(report->polygons, 36);
    EXPECT_EQ(report->lines, 84);

    ASSERT_FALSE(calls.empty());
    std::map<QString, int> perPass;
    for (size_t i = 0; i < calls.size(); ++i) {
        ++perPass[calls[i].first];
        EXPECT_TRUE(calls[i].second % 100 == 0) << calls[i].second;
        if (i > 0) {
            EXPECT_GT(calls[i].second, calls[i - 1].second);
        }
    }
    EXPECT_GE(perPass.size(), 3u); // points, lines, rings and municipalities each report
    EXPECT_GE(report->counter, calls.back().second);
}

// The six files as a run writes them, "<missing>" for one not written.
std::vector<std::string> writtenFiles(const std::function<std::string(const QString&)>& fileText)
{
    std::vector<std::string> files;
    for (const char16_t* name : miratos::convert::kBoundaryFileNames)
        files.push_back(fileText(QString::fromUtf16(name)));
    return files;
}

// An odd feature costs that feature only: the other features are written exactly as without it,
// and the report names the odd one by its identifier.
TEST_F(BoundaryFolder, OddFeatureIsSkippedAndNamedTheRestIsWritten)
{
    const QString meta = inputFile(QStringLiteral("KS-META-N03-21_13.xml"), metaXml());
    const QString clean = inputFile(QStringLiteral("N03-21_13.xml"), dataXml(writeWards));
    ASSERT_TRUE(行政区域({meta, clean, 13}, tokyoFolder()).ok());
    const std::vector<std::string> expected = writtenFiles([this](const QString& n) { return fileText(n); });

    using Body = std::function<void(BoundaryXmlWriter&)>;
    struct Case {
        const char* name;
        Body odd;                         // written after the wards
        std::vector<const char*> message; // parts the report line holds
        const char* utf8Tail = nullptr;   // written after the wards in a UTF-8 copy of the file
    };
    const Case cases[] = {
        {"unknown point", [](BoundaryXmlWriter& w) { w.curve("cv90", "n1", {}, "n99"); }, {"jps:GM_Curve「cv90」", "n99"}},
        {"curve without end point",
         [](BoundaryXmlWriter& w) { w.raw("<jps:GM_Curve id=\"cv90\"><GM_PointRef.point idref=\"n1\"/></jps:GM_Curve>"); },
         {"jps:GM_Curve「cv90」", "終点"}},
        {"inner vertex not a number", [](BoundaryXmlWriter& w) { w.curve("cv90", "n1", {"35 nan"}, "n2"); },
         {"jps:GM_Curve「cv90」", "35 nan"}},
        {"coordinate not lat lon", [](BoundaryXmlWriter& w) { w.point("n90", "35,139"); }, {"jps:GM_Point「n90」", "35,139"}},
        {"unknown curve", [](BoundaryXmlWriter& w) { w.surface("sf90ec", {{"rn90_ec1", {"oc91"}}}); },
         {"jps:GM_Ring「rn90_ec1」", "oc91"}},
        {"ring number missing", [](BoundaryXmlWriter& w) { w.surface("sf90", {{"rn90", {"oc91"}}}); }, {"jps:GM_Ring「rn90」", "番号"}},
        {"feature without area",
         [](BoundaryXmlWriter& w) { w.raw("<ksj:EC01 id=\"ec90\"><ksj:PRN>x</ksj:PRN><ksj:AAC>13101</ksj:AAC></ksj:EC01>"); },
         {"ksj:EC01「ec90」", "ksj:ARE"}},
        {"feature without code",
         [](BoundaryXmlWriter& w) { w.raw("<ksj:EC01 id=\"ec91\"><ksj:ARE idref=\"sf1ec\"/><ksj:PRN>x</ksj:PRN></ksj:EC01>"); },
         {"ksj:EC01「ec91」", "ksj:AAC"}},
        {"name outside CP932", {}, {"ksj:EC01「ec92」", "CP932"},
         "<ksj:EC01 id=\"ec92\"><ksj:ARE idref=\"sf1ec\"/><ksj:PRN>東京都</ksj:PRN><ksj:CN2>\xF0\xA0\xAE\xB7野町</ksj:CN2>"
         "<ksj:AAC>13999</ksj:AAC></ksj:EC01>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray data = dataXml([&c](BoundaryXmlWriter& w) {
            writeWards(w);
            if (c.odd)
                c.odd(w);
        });
        if (c.utf8Tail) {
            QString text = miratos::platform::fromCp932(data);
            text.replace(QStringLiteral("Shift_JIS"), QStringLiteral("UTF-8"));
            data = text.toUtf8().replace("</ksj:Dataset>", QByteArray(c.utf8Tail) + "</ksj:Dataset>");
        }
        for (const char16_t* name : miratos::convert::kBoundaryFileNames)
            QFile::remove(tokyoFolder() + QLatin1Char('/') + QString::fromUtf16(name));
        const auto report = 行政区域({meta, inputFile(QStringLiteral("N03-21_13.xml"), data), 13}, tokyoFolder());
        ASSERT_TRUE(report.ok()) << report.error().toStdString();
        EXPECT_EQ(writtenFiles([this](const QString& n) { return fileText(n); }), expected);
        ASSERT_EQ(report->skipped.size(), 1) << report->skipped.join(QLatin1Char('\n')).toStdString();
        for (const char* part : c.message)
            EXPECT_TRUE(report->skipped.first().contains(QString::fromUtf8(part))) << report->skipped.first().toStdString() << " lacks " << part;
        EXPECT_TRUE(report->skipped.first().contains(QStringLiteral("N03-21_13.xml")));
    }
}

// Blanks around numbers are not a fault: the files come out as from the tidy source; a metadata
// extent that is no number is replaced by the data's own extent and reported.
TEST_F(BoundaryFolder, BlanksAroundNumbersAreToleratedAndABadExtentComesFromTheData)
{
    const QString data = inputFile(QStringLiteral("N03-21_13.xml"), dataXml(writeWards));
    ASSERT_TRUE(行政区域({inputFile(QStringLiteral("m.xml"), metaXml()), data, 13}, tokyoFolder()).ok());
    const std::vector<std::string> expected = writtenFiles([this](const QString& n) { return fileText(n); });

    QByteArray blanks = dataXml(writeWards);
    blanks.replace("<DirectPosition.coordinate>36 139.5</", "<DirectPosition.coordinate> 36\t139.5 \r\n</");
    blanks.replace("<DirectPosition.coordinate>35.25 141.25</", "<DirectPosition.coordinate>35.25  141.25 </");
    blanks.replace("<ksj:AAC>13101</", "<ksj:AAC> 13101 </");
    const auto report = 行政区域({inputFile(QStringLiteral("m.xml"), BoundaryXmlWriter::metadata(" 139", "145 ", "35", "36")),
                                     inputFile(QStringLiteral("N03-21_13.xml"), blanks), 13},
                                    tokyoFolder());
    ASSERT_TRUE(report.ok()) << report.error().toStdString();
    EXPECT_EQ(writtenFiles([this](const QString& n) { return fileText(n); }), expected);
    EXPECT_TRUE(report->skipped.isEmpty()) << report->skipped.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(report->warnings.isEmpty()) << report->warnings.join(QLatin1Char('\n')).toStdString();

    const auto badExtent = 行政区域({inputFile(QStringLiteral("m.xml"), BoundaryXmlWriter::metadata("abc", "146", "35", "36")), data, 13},
                                       tokyoFolder());
    ASSERT_TRUE(badExtent.ok()) << badExtent.error().toStdString();
    EXPECT_EQ(fileText(QStringLiteral("NEWS.dat")), "139\r\n146\r\n35\r\n36\r\n"); // west from the lines
    ASSERT_EQ(badExtent->warnings.size(), 1);
    EXPECT_TRUE(badExtent->warnings.first().contains(QStringLiteral("westBoundLongitude の「abc」"))) << badExtent->warnings.first().toStdString();
}

// Only a file that cannot be used at all stops the conversion, before anything is written; the
// message names the file.
TEST_F(BoundaryFolder, ProblemsAreReportedAndLeaveTheOldFilesAlone)
{
    using Body = std::function<void(BoundaryXmlWriter&)>;
    const Body points = [](BoundaryXmlWriter& w) {
        w.point("n1", "35 139");
        w.point("n2", "36 139");
    };
    struct Case {
        const char* name;
        Body body;
        std::vector<const char*> message; // parts the message holds
        QByteArray meta = {};
        bool noFolder = false;
    };
    const Case cases[] = {
        {"no boundary data", [](BoundaryXmlWriter& w) { w.raw("<ksj:P02/>"); }, {"jps:GM_Point がありません"}},
        {"no ring", [&](BoundaryXmlWriter& w) { points(w); w.curve("cv1", "n1", {"36 140"}, "n2"); }, {"N03-21_13.xml", "jps:GM_Ring"}},
        {"every polygon odd", [&](BoundaryXmlWriter& w) { points(w); w.curve("cv1", "n1", {"36 140"}, "n2"); w.surface("sf1ec", {{"rn1_ec1", {"cv1", "oc2"}}}); },
         {"N03-21_13.xml", "面"}},
        {"broken xml", [&](BoundaryXmlWriter& w) { points(w); w.raw("<jps:GM_Curve>"); }, {"N03-21_13.xml", "XML として読めません"}},
        {"broken metadata", [&](BoundaryXmlWriter& w) { writeWards(w); }, {"KS-META-N03-21_13.xml", "XML として読めません"},
         QByteArray("<r><westBoundLongitude>1</westBoundLongitude>")},
        {"missing folder", [&](BoundaryXmlWriter& w) { writeWards(w); }, {"MapData", "がありません"}, {}, true},
    };
    const QByteArray old("old\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString& name : {QStringLiteral("Line.dat"), QStringLiteral("Point.dat"), QStringLiteral("Tiku.dat")}) {
            ASSERT_TRUE(miratos::platform::writeFileAtomically(tokyoFolder() + QLatin1Char('/') + name, old).ok());
        }
        const QString meta = inputFile(QStringLiteral("KS-META-N03-21_13.xml"), c.meta.isEmpty() ? metaXml() : c.meta);
        const QString data = inputFile(QStringLiteral("N03-21_13.xml"), dataXml(c.body));
        const QString folder = c.noFolder ? path(QStringLiteral("MapData/無い県")) : tokyoFolder();
        const auto report = 行政区域({meta, data, 13}, folder);
        ASSERT_FALSE(report.ok());
        for (const char* part : c.message)
            EXPECT_TRUE(report.error().contains(QString::fromUtf8(part))) << report.error().toStdString() << " lacks " << part;
        EXPECT_EQ(fileText(QStringLiteral("Line.dat")), "old\r\n");
        EXPECT_EQ(fileText(QStringLiteral("Point.dat")), "old\r\n");
        EXPECT_EQ(fileText(QStringLiteral("NEWS.dat")), "<missing>");
    }
}

TEST_F(BoundaryFolder, OpenOutlineChainEndsWhereItStopsAndIsReported)
{
    // Two polygons whose shared boundary is given as two different curves: the outline has a
    // line whose end meets nothing.
    const QString data = inputFile(QStringLiteral("N03-21_13.xml"), dataXml([](BoundaryXmlWriter& w) {
        w.point("n1", "35 139");
        w.point("n2", "36 139");
        w.point("n3", "36 140");
        w.curve("cv1", "n1", {"35.5 138"}, "n2");
        w.curve("cv2", "n2", {}, "n3");
        w.surface("sf1ec", {{"rn1_ec1", {"cv1", "cv2"}}});
        w.feature("ec1", "sf1ec", QStringLiteral("東京都"), {}, QStringLiteral("港区"), QStringLiteral("13103"));
    }));
    const auto report = 行政区域({inputFile(QStringLiteral("m.xml"), metaXml()), data, 13}, tokyoFolder());
    ASSERT_TRUE(report.ok()) << report.error().toStdString();
    EXPECT_EQ(fileText(QStringLiteral("PrefLine.dat")), "13c1@13c2\r\n");
    ASSERT_EQ(report->warnings.size(), 1);
    EXPECT_TRUE(report->warnings.first().contains(QStringLiteral("閉じない"))) << report->warnings.first().toStdString();
}

} // namespace
