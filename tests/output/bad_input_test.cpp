// The table of hostile inputs: each row writes one bad file (or makes the folder unwritable),
// runs the reader or command that takes it, and checks the message the user gets, that no file
// that existed before changed, and that nothing was written outside the app folder. The README's
// "Bad input" section lists the same rows.
#include "bad_input_support.h"

using namespace bad_input;

namespace {


QString readStat(Sandbox& b, const QByteArray& bytes, bool guess, QString* note = nullptr, store::StatRows* out = nullptr)
{
    const QString path = b.in(QStringLiteral("own.csv"), bytes);
    store::StatRows table;
    int16_t cols = 0;
    int32_t rows = 0;
    const Status s = store::appendStatisticFile(path, table, cols, rows, guess, {}, note);
    if (out)
        *out = table;
    return messageOf(s);
}

const std::vector<BadInput>& rows()
{
    using B = Sandbox;
    static const std::vector<BadInput> table = {
        // MapData geometry files.
        {"NewsEmpty", [](B& b) { return messageOf(store::readNewsFile(b.in("NEWS.dat", ""))); }, "4 行のはずが 0 行あります"},
        {"NewsMissingLine", [](B& b) { return messageOf(store::readNewsFile(b.in("NEWS.dat", "139\r\n140\r\n35\r\n"))); },
         "4 行のはずが 3 行あります"},
        {"NewsExtraLine", [](B& b) { return messageOf(store::readNewsFile(b.in("NEWS.dat", "139\r\n140\r\n35\r\n36\r\n37\r\n"))); },
         "4 行のはずが 5 行あります"},
        {"NewsNotNumeric", [](B& b) { return messageOf(store::readNewsFile(b.in("NEWS.dat", "139\r\nabc\r\n35\r\n36\r\n"))); },
         "2 行目が数値ではありません"},
        {"NewsNotFinite", [](B& b) { return messageOf(store::readNewsFile(b.in("NEWS.dat", "139\r\ninf\r\nnan\r\n36\r\n"))); },
         "2 行目が数値ではありません"},
        {"NewsBeyondDouble", [](B& b) { return messageOf(store::readNewsFile(b.in("NEWS.dat", "139\r\n1e999\r\n35\r\n36\r\n"))); },
         "2 行目が数値ではありません"},
        {"NewsHundredMegabyteLine",
         [](B& b) {
             QByteArray line(100 * 1024 * 1024, '9');
             line[50] = 'x';
             return messageOf(store::readNewsFile(b.in("NEWS.dat", line)));
         },
         "4 行のはずが 1 行あります"},
        {"LineRecordCutShort",
         [](B& b) { return messageOf(store::readLineFile(b.in("Line.dat", "13c1\r\n35.6 139.6 35.7 139.7\r\n13c2\r\n"))); },
         "2 番目のレコード（3 行目から）が途中で終わっています（2 行のうち 1 行）"},
        {"LineCoordinatesNotNumbers",
         [](B& b) { return messageOf(store::readLineGeometry(b.in("Line.dat", "13c1\r\n35.6 139.6 abc 139.7\r\n"))); },
         "2 行目が座標の並びではありません"},
        {"LineOddCoordinateCount",
         [](B& b) { return messageOf(store::readLineGeometry(b.in("Line.dat", "13c1\r\n35.6 139.6 35.7\r\n"))); },
         "2 行目が座標の並びではありません"},
        {"PolygonRecordCutShort",
         [](B& b) { return messageOf(store::readPolygonFile(b.in("Polygon.dat", "13p1\r\n13c1\r\n13p2\r\n"))); },
         "途中で終わっています"},
        {"PrefLineBlankLine", [](B& b) { return messageOf(store::readPrefLineFile(b.in("PrefLine.dat", "13c1\r\n\r\n13c2\r\n"))); },
         "空"},
        {"PointRecordCutShort", [](B& b) { return messageOf(store::readPointFile(b.in("Point.dat", "13pt1\r\n"))); },
         "途中で終わっています"},
        {"TikuMissingLines", [](B& b) { return messageOf(store::readTikuFile(b.in("Tiku.dat", cp932({"13p1", "東京都@千代田区"})))); },
         "途中で終わっています"},
        {"DistrictHeaderNotExtent",
         [](B& b) { return messageOf(store::readDistrictFile(b.in("17_13101_千代田区.dat", "139.7 35.6 abc\r\n"))); },
         "1 行目が範囲（4 つの数値）ではありません"},
        {"DistrictRecordCutShort",
         [](B& b) {
             return messageOf(store::readDistrictFile(b.in("17_13101_千代田区.dat", "139.7 35.6 139.8 35.7\r\n139.7 35.6 139.8 35.6 139.7 35.6\r\n1.5\r\n")));
         },
         "途中で終わっています"},
        {"Utf16File",
         [](B& b) {
             const QString text = QStringLiteral("13c1\r\n35.6 139.6\r\n");
             QByteArray bytes("\xFF\xFE", 2);
             bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
             return messageOf(store::readLineFile(b.in("Line.dat", bytes)));
         },
         "UTF-16 のため読めません"},
        {"CrOnlyLineEnds",
         [](B& b) {
             auto read = store::readNewsFile(b.in("NEWS.dat", "139.5\r139.9\r35.5\r35.8\r"));
             return read.ok() && read->east == 139.9 ? QString() : QStringLiteral("not read: ") + messageOf(read);
         },
         ""},
        // Statistic files and own-data tables.
        {"StatEmptyFile", [](B& b) { return readStat(b, "", true); }, ""},
        {"StatFewerFields", [](B& b) { return readStat(b, cp932({"Code,地区名,人口", "13101,千代田区"}), true); },
         "2 行目の項目が見出しより少ないため読み込めません"},
        {"StatExtraFieldsDropped",
         [](B& b) {
             store::StatRows t;
             const QString m = readStat(b, cp932({"Code,人口", "13101,1,2,3"}), true, nullptr, &t);
             return m.isEmpty() && t.at(1).size() == 2 ? QString() : QStringLiteral("extra fields kept ") + m;
         },
         ""},
        {"StatUtf16", [](B& b) { return readStat(b, QByteArray("\xFE\xFF\0C\0,", 6), true); }, "UTF-16 のため読めません"},
        {"StatInvalidCp932ExportsAndReports",
         [](B& b) {
             // Bytes that are not CP932 are read as 〓, said once, and the table can be exported.
             QString note;
             store::StatRows t;
             const QString m = readStat(b, QByteArray("Code,\x8A\x99\r\n13101,\x82\xA0\xFF\x81\r\n"), false, &note, &t);
             if (!m.isEmpty())
                 return m;
             const Status exported = store::exportStatisticTable(b.app(QStringLiteral("statistic_data.txt")), t, 1, 1, false);
             const Status report = store::writeUnmatchedReport(b.app(QStringLiteral("不一致地区.txt")), QString(), t[1][1] + QStringLiteral("\r\n"));
             return !exported.ok() ? exported.error() : !report.ok() ? report.error() : note;
         },
         "文字として読めないバイトが 2 個あり、「〓」として読みました",
         {QStringLiteral("app/statistic_data.txt"), QStringLiteral("app/不一致地区.txt")}},
        {"RankColoursTooMany", [](B& b) { return messageOf(store::readRankColorFile(b.in("rank.txt", "11\r\n255\r\n"))); },
         "1 行目がランク数 3～10 ではありません"},
        {"RankColourBeyondRange",
         [](B& b) { return messageOf(store::readRankColorFile(b.in("rank.txt", "3\r\n255\r\n16777216\r\n1e39\r\n"))); },
         "3 行目が色の値ではありません"},
        // Init.ini and names that would leave the app folder.
        {"IniValueDotDot",
         [](B& b) {
             b.put(b.app(QStringLiteral("Init.ini")), cp932({"[Pref]", "13=..\\..\\outside"}));
             return imports::prefectureFolderName(13, b.app(QStringLiteral("Init.ini"))) == QStringLiteral("東京都")
                        ? QString()
                        : QStringLiteral("folder name taken from Init.ini");
         },
         "", {QStringLiteral("app/Init.ini")}},
        {"IniValueAbsolutePath",
         [](B& b) {
             b.put(b.app(QStringLiteral("Init.ini")), cp932({"[Pref]", "13=/tmp/outside"}));
             return imports::prefectureFolderName(13, b.app(QStringLiteral("Init.ini"))) == QStringLiteral("東京都")
                        ? QString()
                        : QStringLiteral("folder name taken from Init.ini");
         },
         "", {QStringLiteral("app/Init.ini")}},
        {"IniValueTooLong",
         [](B& b) {
             b.put(b.app(QStringLiteral("Init.ini")), QByteArray("[Pref]\r\n13=") + QByteArray(100000, 'a'));
             return QString::number(platform::GetINIValue(QStringLiteral("13"), QStringLiteral("Pref"), b.app(QStringLiteral("Init.ini"))).size());
         },
         "254"},
        {"DistrictNameWithSeparators",
         [](B& b) {
             // A municipality name from the XML becomes part of a file name without its separators.
             const QByteArray xml = QByteArrayLiteral(
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<GeometricFeatures><Coordinates>139.7 35.6 139.8 35.7</Coordinates>"
                 "<GeometricFeature><OuterBoundary><Ring><Coordinates>139.7 35.6 139.8 35.6 139.7 35.7 139.7 35.6</Coordinates></Ring>"
                 "</OuterBoundary><Property name=\"AREA\">1</Property><Property name=\"HCODE\">8101</Property><Property name=\"KEN\">13</Property>"
                 "<Property name=\"KEYCODE2\">001</Property><Property name=\"AREA_MAX_F\">M</Property><Property name=\"MOJI\">町</Property>"
                 "<Property name=\"X_CODE\">139.75</Property><Property name=\"Y_CODE\">35.65</Property>"
                 "<Property name=\"GST_NAME\">../../../outside/x</Property></GeometricFeature></GeometricFeatures>\n");
             auto r = convert::convertSmallAreaBoundary(b.in(QStringLiteral("h17ka13101.xml"), xml), 17, QStringLiteral("13101"),
                                                        b.app(QStringLiteral("MapData/東京都")));
             return r.ok() ? QDir(b.root()).relativeFilePath(r->path) : r.error();
         },
         "app/MapData/東京都/17_13101_......outsidex.dat", {QStringLiteral("app/MapData/東京都/17_13101_......outsidex.dat")}},
        {"SmallAreaExtentNotNumbers",
         [](B& b) {
             // The extent becomes the district file's header: a file the map could not open is not written.
             const QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<GeometricFeatures><Coordinates>139.75,35.,35.69</Coordinates>"
                                    "<GeometricFeature><OuterBoundary><LinearRing><Coordinates>139.7,35.6 139.8,35.6 139.7,35.6</Coordinates>"
                                    "</LinearRing></OuterBoundary><Property name=\"AREA\">1</Property></GeometricFeature></GeometricFeatures>\n";
             return messageOf(convert::convertSmallAreaBoundary(b.in(QStringLiteral("h17ka13101.xml"), xml), 17, QStringLiteral("13101"),
                                                                b.app(QStringLiteral("MapData/東京都"))));
         },
         "範囲（最初の Coordinates）が 4 つの数値ではありません"},
        {"SmallAreaFeatureMissingAttributes",
         [](B& b) {
             // A feature without HCODE, KEN and KEYCODE2 keeps its eight lines: the next record is not shifted.
             auto feature = [](const char* ring, const char* extra) {
                 return QByteArray("<GeometricFeature><OuterBoundary><LinearRing><Coordinates>") + ring +
                        "</Coordinates></LinearRing></OuterBoundary><Property name=\"AREA\">1</Property>" + extra +
                        "<Property name=\"AREA_MAX_F\">M</Property><Property name=\"MOJI\">町</Property>"
                        "<Property name=\"X_CODE\">139.75</Property><Property name=\"Y_CODE\">35.65</Property></GeometricFeature>";
             };
             const QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<GeometricFeatures><Coordinates>139.7,35.6 139.8,35.7</Coordinates>" +
                                    feature("139.7,35.6 139.8,35.6 139.7,35.6", "") +
                                    feature("139.7,35.6 139.8,35.7 139.7,35.6",
                                            "<Property name=\"HCODE\">8101</Property><Property name=\"KEN\">13</Property>"
                                            "<Property name=\"KEYCODE2\">002</Property>") +
                                    "</GeometricFeatures>\n";
             auto r = convert::convertSmallAreaBoundary(b.in(QStringLiteral("h17ka13101.xml"), xml), 17, QStringLiteral("13101"),
                                                        b.app(QStringLiteral("MapData/東京都")));
             if (!r)
                 return r.error();
             auto back = store::readDistrictFile(r->path);
             if (!back)
                 return back.error();
             return back->records.size() == 2 && back->records[0].code.isEmpty() && back->records[1].code == QStringLiteral("13002") &&
                            back->records[1].labelY == QStringLiteral("35.65")
                        ? QString()
                        : QStringLiteral("records shifted");
         },
         "", {QStringLiteral("app/MapData/東京都/17_13101.dat")}},
        // XML converters.
        {"XmlEmpty",
         [](B& b) {
             return messageOf(convert::buildBoundaryFiles({b.in("KS-META-N03.xml", boundaryMeta()), b.in("N03.xml", ""), 13}));
         },
         "N03.xml"},
        {"XmlTruncated",
         [](B& b) {
             return messageOf(convert::buildRailwayFiles(b.in("N02.xml", "<?xml version=\"1.0\"?>\n<ksj:Dataset><jps:GM_Point id=\"n1\"><jps:")));
         },
         "N02.xml"},
        {"XmlUnknownReference",
         [](B& b) {
             const QByteArray data = QByteArrayLiteral(
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ksj:Dataset><jps:GM_Point id=\"n1\"><jps:GM_Point.position><jps:DirectPosition>"
                 "<DirectPosition.coordinate>35.6 139.6</DirectPosition.coordinate></jps:DirectPosition></jps:GM_Point.position></jps:GM_Point>"
                 "<jps:GM_Curve id=\"c1\"><jps:GM_CurveSegment><jps:GM_LineString><jps:GM_LineString.controlPoint><jps:GM_PointArray>"
                 "<jps:GM_PointArray.column><jps:GM_Position.indirect><jps:GM_PointRef.point idref=\"nowhere\"/></jps:GM_Position.indirect>"
                 "</jps:GM_PointArray.column></jps:GM_PointArray></jps:GM_LineString.controlPoint></jps:GM_LineString></jps:GM_CurveSegment>"
                 "</jps:GM_Curve></ksj:Dataset>\n");
             return messageOf(convert::buildBoundaryFiles({b.in("KS-META-N03.xml", boundaryMeta()), b.in("N03.xml", data), 13}));
         },
         "N03.xml"},
        {"XmlDeepNesting",
         [](B& b) {
             QByteArray xml = "<?xml version=\"1.0\"?>\n";
             for (int i = 0; i < 200000; ++i)
                 xml += "<a>";
             return messageOf(convert::buildRailwayFiles(b.in("N02.xml", xml)));
         },
         "N02.xml"},
        {"XmlEntityExpansion",
         [](B& b) {
             QByteArray xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE d [<!ENTITY a \"aaaaaaaaaa\">";
             for (int i = 1; i < 10; ++i)
                 xml += QStringLiteral("<!ENTITY %1 \"&%2;&%2;&%2;&%2;&%2;&%2;&%2;&%2;&%2;&%2;\">").arg(QChar('a' + i)).arg(QChar('a' + i - 1)).toUtf8();
             xml += "]>\n<ksj:Dataset><ksj:RailroadSection id=\"s\"><ksj:railwayLineName>&j;</ksj:railwayLineName></ksj:RailroadSection></ksj:Dataset>\n";
             return messageOf(convert::buildRailwayFiles(b.in("N02.xml", xml)));
         },
         "N02.xml: ksj:EB02 も ksj:EB03 もありません（鉄道データではないようです）"},
        {"XmlExternalEntity",
         [](B& b) {
             const QString secret = b.root() + QStringLiteral("/outside/keep.txt");
             const QByteArray xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE d [<!ENTITY x SYSTEM \"file://" + secret.toUtf8() +
                                    "\">]>\n<ksj:Dataset><jps:GM_Point id=\"&x;\"/></ksj:Dataset>\n";
             auto r = convert::buildRailwayFiles(b.in("N02.xml", xml));
             const QString text = r.ok() ? QString::fromUtf8(r->files.rosen + r->files.lineRr) : r.error();
             return text.contains(QStringLiteral("outside\r\n")) ? QStringLiteral("external entity read") : text;
         },
         "N02.xml: ksj:EB02 も ksj:EB03 もありません"},
        {"RailwaySectionMissingElement",
         [](B& b) {
             const QByteArray xml = QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ksj:Dataset>"
                                                      "<ksj:EB02 id=\"eb02_1\"><ksj:LOC idref=\"cv1\"/></ksj:EB02></ksj:Dataset>\n");
             return messageOf(convert::buildRailwayFiles(b.in("N02.xml", xml)));
         },
         "N02.xml"},
        {"RailwayFilesMissingRosen",
         [](B& b) {
             b.put(b.app(QStringLiteral("MapData/鉄道/Line_rr.dat")), "cv_rr1\r\n35.6 139.6 35.7 139.7\r\n");
             return store::readRailwayFiles(b.app(QStringLiteral("MapData/鉄道"))).problems.join(QLatin1Char('\n'));
         },
         "Rosen.dat"},
        // Road text.
        {"RoadCoordinatesNotNumbers",
         [](B& b) {
             const QByteArray text = "head\r\nL1310100100000000000000000000000001       357  0012\r\n5030123 12x7000\r\n";
             auto r = convert::buildRoadFile(b.in("N13.txt", text));
             return r.ok() ? r->problems.join(QLatin1Char('\n')) : r.error();
         },
         "3 行目"},
        {"RoadNumberWithCr",
         [](B& b) {
             // A CR in the route number of a lone road: Road.dat, one line without LF, would have
             // been read back as CR-only lines, the key cut from its points.
             const QByteArray text = "L1310100100000000000000000000000001     35\r7  0012\n5030123 1277000\n";
             auto r = convert::buildRoadFile(b.in("N13.txt", text));
             if (!r)
                 return r.error();
             store::RoadSet set;
             const auto back = store::readRoadFile(b.in("Road.dat", r->bytes), set, {});
             if (!back.problems.isEmpty() || set.roads.size() != 1 || set.roads[0].count != 1)
                 return QStringLiteral("Road.dat does not read back as one road: ") + back.problems.join('\n');
             return r->problems.join(QLatin1Char('\n'));
         },
         "1 行目: 路線番号に改行文字（CR）があります（路線番号なしとしました）"},
        {"RoadDatUtf16",
         [](B& b) {
             store::RoadSet set;
             return store::readRoadFile(b.in("Road.dat", QByteArrayLiteral("\xFF\xFER\x001\x00@\x00")), set, {}).problems.join('\n');
         },
         "UTF-16 のため読めません"},
        {"RoadNameWithAt",
         [](B& b) {
             QByteArray line = "h1\r\nh2\r\n   0000000357   2" + QByteArray(48, ' ') + "\r\n";
             line.replace(8 + 25, 1, "@"); // in the first name field
             auto r = convert::buildRoadNameFile(b.in("N00台.txt", line));
             return r.ok() ? r->problems.join(QLatin1Char('\n')) : r.error();
         },
         "@"},
        {"RoadNameLeadByteAtFieldEnd",
         [](B& b) {
             // A lead byte followed by a blank at the end of a name field: trimmed, it would take the
             // "@" after it as its second byte and RoadName.dat would lose a field.
             QByteArray line = "h1\r\nh2\r\n002       357    2" + QByteArray(50, ' ') + "\r\n";
             line.replace(8 + 18, 3, "\x93\x8C\x93");
             auto r = convert::buildRoadNameFile(b.in("N00台.txt", line));
             if (!r)
                 return r.error();
             const QString written = b.put(b.app(QStringLiteral("変換フォルダ/RoadName.dat")), r->bytes);
             const store::RoadNameRead back = store::readRoadNames(written);
             return back.problems.isEmpty() && back.rows.size() == 1 ? back.rows[0].name1 : back.problems.join(QLatin1Char('\n'));
         },
         "東〓"},
        {"RoadDatNotNumbers",
         [](B& b) {
             store::RoadSet set;
             return store::readRoadFile(b.in("Road.dat", "R1@139.7 35.6 1e39 abc\r\n"), set, [](double, double) { return true; })
                 .problems.join(QLatin1Char('\n'));
         },
         "数値"},
        // Facilities.
        {"BuildDatFieldsMissing",
         [](B& b) {
             return store::readBuildDat(b.in("Build.dat", cp932({"34.3 134.0|37201|学校|小学校|Ａ|住所|国", "34.4 134.1|37201|学校"}))).problem;
         },
         "1 行を読み飛ばしました（最初は 2 行目「34.4 134.1|37201|学校」）"},
        {"FacilityCsvShortLine",
         [](B& b) {
             auto read = store::readFacilityCsv(b.in("施設.csv", cp932({"大分類,小分類,名称,定員,住所,,経度,緯度", "学校,大学,Ｘ,1,備考,,134"})));
             return read ? read->problem : read.error();
         },
         "1 行を読み飛ばしました（最初は 2 行目"},
        {"FacilityXmlUnknownPoint",
         [](B& b) {
             const QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ksj:Dataset>"
                                    "<ksj:FB01 id=\"f1\"><ksj:POS idref=\"n9\"/><ksj:AAC>13101</ksj:AAC></ksj:FB01></ksj:Dataset>\n";
             return messageOf(convert::公共施設(b.in("P02-13.xml", xml), b.app(QStringLiteral("Init.ini")),
                                                b.app(QStringLiteral("MapData/東京都"))));
         },
         "n9"},
        // Workbooks.
        {"WorkbookThatBreaksFreeXl",
         [](B& b) {
             // A workbook on which FreeXL reads past a buffer (found by fuzzing the census workbooks).
             QFile fixture(QStringLiteral(MIRATOS_SOURCE_DIR "/tests/output/fixtures/freexl_overread.xls"));
             EXPECT_TRUE(fixture.open(QIODevice::ReadOnly));
             return messageOf(platform::Sheet::open(b.in("12a001.xls", fixture.readAll())));
         },
         "12a001.xls: Excel のブック（.xls）として読めません"},
        {"WorkbookGarbage", [](B& b) { return messageOf(platform::Sheet::open(b.in("12a001.xls", "not a workbook"))); },
         "Excel のブック（.xls）として読めません"},
        {"WorkbookEmpty", [](B& b) { return messageOf(platform::Sheet::open(b.in("12a001.xls", ""))); },
         "Excel のブック（.xls）として読めません"},
        {"WorkbookZipTruncated", [](B& b) { return messageOf(platform::Sheet::open(b.in("12a001.xlsx", "PK\x03\x04\x14\0\0\0"))); },
         "Excel のブック（.xlsx）として読めません"},
        {"WorkbookCellsBeyondTheSheet",
         [](B& b) {
             // References past XFD1048576, or past any int, would have the sheet allocate
             // gigabytes or overflow: they are left out, and the cells inside load.
             const QByteArray book = test_support::xlsxBytes(
                 "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\"><v>12</v></c>"
                 "<c r=\"XFE1\"><v>1</v></c><c r=\"A99999999999\"><v>2</v></c>"
                 "<c r=\"ZZZZZZZZZZZZZZ1\"><v>3</v></c></row>"
                 "<row r=\"2000000000\"><c><v>4</v></c></row><row r=\"-5\"><c><v>5</v></c></row>",
                 "<si><t>東京都</t></si>");
             EXPECT_FALSE(book.isEmpty());
             auto sheet = platform::Sheet::open(b.in("major_results.xlsx", book));
             if (!sheet)
                 return sheet.error();
             if (sheet->text(1, 1) != QStringLiteral("東京都") || sheet->text(1, 2) != QStringLiteral("12") || sheet->lastRow() != 1 ||
                 sheet->lastColumn() != 2)
                 return QStringLiteral("cells beyond the sheet were taken: last cell %1,%2").arg(sheet->lastRow()).arg(sheet->lastColumn());
             return QString();
         },
         ""},
        {"WorkbookRowsReachingTheLastColumn",
         [](B& b) {
             // 2,000 rows with a cell in column XFD: 90 KB of XML that would ask for 1.5 GB.
             QByteArray rows;
             for (int r = 1; r <= 2000; ++r)
                 rows += "<row><c r=\"XFD" + QByteArray::number(r) + "\"><v>1</v></c></row>";
             const QByteArray book = test_support::xlsxBytes(rows);
             EXPECT_FALSE(book.isEmpty());
             return messageOf(platform::Sheet::open(b.in("major_results.xlsx", book)));
         },
         "major_results.xlsx: ワークシートが大きすぎて読めません（1025 行目まで、16384 列目まで）"},
        // TopoJSON and GeoJSON through "miratos import".
        {"TopoJsonTruncated", [](B& b) { return runImport(b.in("japan.topojson", "{\"type\":\"Topology\",\"arcs\":[[[1,")); },
         "japan.topojson"},
        {"TopoJsonArcOutOfRange",
         [](B& b) {
             return runImport(b.in("japan.topojson",
                                   "{\"type\":\"Topology\",\"objects\":{\"N03\":{\"type\":\"GeometryCollection\",\"geometries\":["
                                   "{\"type\":\"Polygon\",\"arcs\":[[7]],\"properties\":{\"N03_001\":\"東京都\",\"N03_007\":\"13101\"}}]}},"
                                   "\"arcs\":[[[139.6,35.6],[139.7,35.6],[139.6,35.6]]]}"));
         },
         "japan.topojson"},
        {"GeoJsonNotFinite",
         [](B& b) {
             return runImport(b.in("n03.geojson",
                                   "{\"type\":\"FeatureCollection\",\"features\":[{\"type\":\"Feature\",\"properties\":{\"N03_001\":\"東京都\","
                                   "\"N03_007\":\"13101\"},\"geometry\":{\"type\":\"Polygon\",\"coordinates\":[[[1e999,35.6],[139.7,NaN],"
                                   "[139.7,35.7],[1e999,35.6]]]}}]}"));
         },
         "n03.geojson"},
        {"GeoJsonBeyondTheGlobeSnapped",
         [](B& b) {
             // Finite but no place on earth: such points are left out like NaN (they used to
             // overflow the cell numbers of the snapping grid).
             return runImport(b.in("n03.geojson",
                                   "{\"type\":\"FeatureCollection\",\"features\":[{\"type\":\"Feature\",\"properties\":{\"N03_001\":\"東京都\","
                                   "\"N03_007\":\"13101\"},\"geometry\":{\"type\":\"Polygon\",\"coordinates\":[[[1e39,35.6],[139.7,-1e39],"
                                   "[1e39,1e39],[1e39,35.6]]]}}]}"),
                              {QStringLiteral("--snap")});
         },
         "東京都: 書き出せる面がありません"},
        // Folders that cannot be written.
        {"ReadOnlyMapData",
         [](B& b) {
             const QString folder = b.app(QStringLiteral("MapData/東京都"));
             if (!makeReadOnly(b, folder)) {
                 g_skip = "MapData cannot be made read-only here (no mount permission as root)";
                 return QString();
             }
             return messageOf(store::writeNewsFile(b.tokyo(QStringLiteral("NEWS.dat")), {1, 2, 3, 4}));
         },
         "NEWS.dat に書き込めません"},
        {"FullDisk",
         [](B& b) {
             const QString folder = b.app(QStringLiteral("MapData/東京都"));
             if (!mountSmallDisk(b, folder)) {
                 g_skip = "no small tmpfs can be mounted here (needs root with mount permission)";
                 return QString();
             }
             QVector<store::LineRecord> records;
             for (int i = 0; i < 2000; ++i)
                 records.append({QStringLiteral("13c%1").arg(i), QStringLiteral("35.6 139.6 35.7 139.7 35.8 139.8")});
             return messageOf(store::writeLineFile(b.tokyo(QStringLiteral("Line.dat")), records));
         },
         "Line.dat に書き込めません"},
        {"StatisticExportOnFullDisk",
         [](B& b) {
             const QString folder = b.app(QStringLiteral("MapData/東京都"));
             if (!mountSmallDisk(b, folder)) {
                 g_skip = "no small tmpfs can be mounted here (needs root with mount permission)";
                 return QString();
             }
             // An export appended to an earlier one: the disk fills part-way, the earlier one stays.
             const QByteArray earlier = cp932({QStringLiteral("市区町村,人口"), QStringLiteral("千代田区,66680")});
             const QString path = b.put(b.tokyo(QStringLiteral("集計.csv")), earlier);
             store::StatRows table{{QStringLiteral("市区町村"), QStringLiteral("人口")}};
             for (int i = 0; i < 20000; ++i)
                 table.push_back({QStringLiteral("市区町村%1").arg(i), QString::number(i)});
             const QString message = messageOf(store::exportStatisticTable(path, table, 1, 20000, false));
             QFile file(path);
             if (!file.open(QIODevice::ReadOnly) || file.readAll() != earlier)
                 return QStringLiteral("the earlier export changed");
             return message;
         },
         "集計.csv に書き込めません"},
    };
    return table;
}

MIRATOS_BAD_INPUT_TABLE(BadInputTable);

} // namespace
