#include "../../bench/small_area_xml.h"
#include "boundary_fixture.h"
#include "cli/small_area_command.h"
#include "convert/small_area_converter.h"
#include "platform/text_file.h"
#include "store/district_file.h"

using namespace miratos;
using namespace miratos::convert;

namespace {

class SmallAreaTest : public BoundaryFolder {};

// One feature: outer ring with pairs broken over lines, two inner rings, attributes in source
// order with others between them.
const char* kFeatureXml = R"(<?xml version="1.0" encoding="UTF-8"?>
<Dataset>
 <BoundingBox><Coordinates>139.7,35.6 139.8,35.7</Coordinates></BoundingBox>
 <GeometricFeature id="1">
  <Polygon>
   <OuterBoundary><LinearRing><Coordinates>139.70,35.60
       139.80,35.60   139.80,35.70
       139.70,35.60</Coordinates></LinearRing></OuterBoundary>
   <InnerBoundary><LinearRing><Coordinates>139.71,35.61 139.72,35.61 139.71,35.61</Coordinates></LinearRing></InnerBoundary>
   <InnerBoundary><LinearRing><Coordinates>139.73,35.63 139.74,35.63 139.73,35.63</Coordinates></LinearRing></InnerBoundary>
  </Polygon>
  <Property name="AREA">1234.5</Property>
  <Property name="GST_NAME">%GST%</Property>
  <Property name="CSS_NAME">%CSS%</Property>
  <Property name="HCODE">8101</Property>
  <Property name="KEN">13</Property>
  <Property name="CITY">101</Property>
  <Property name="KEYCODE2">101001001</Property>
  <Property name="AREA_MAX_F">M</Property>
  <Property name="MOJI">丸の内１丁目</Property>
  <Property name="X_CODE">139.76</Property>
  <Property name="Y_CODE">35.68</Property>
 </GeometricFeature>
</Dataset>
)";

QByteArray featureXml(const QString& gst, const QString& css)
{
    return QString::fromUtf8(kFeatureXml).replace(QStringLiteral("%GST%"), gst).replace(QStringLiteral("%CSS%"), css).toUtf8();
}

} // namespace

TEST_F(SmallAreaTest, CodeComesFromTheFileName)
{
    EXPECT_EQ(smallAreaCodeOfPath(QStringLiteral("/d/h12ka13101.xml")), QStringLiteral("13101"));
    for (const char* path : {"/d/h12ka13101.XML", "/d/h12ka13101.xmL", "/d/h12ka13101.txt", "", "a.xml"})
        EXPECT_FALSE(smallAreaCodeOfPath(QString::fromLatin1(path))) << path;
}

// The record order, an outer ring with two inner rings joined by "@", whitespace inside ring
// text as single spaces, and the file name from the municipality name when the ward is blank.
TEST_F(SmallAreaTest, BoundaryRecordAndInnerRings)
{
    const QString xml = inputFile(QStringLiteral("h17ka13101.xml"), featureXml(QStringLiteral("千代田区"), QStringLiteral("  ")));
    const auto report = convertSmallAreaBoundary(xml, 17, QStringLiteral("13101"), tokyoFolder());
    ASSERT_TRUE(report) << report.error().toStdString();
    EXPECT_EQ(QFileInfo(report->path).fileName(), QStringLiteral("17_13101_千代田区.dat"));
    EXPECT_EQ(report->records, 1);
    EXPECT_EQ(fileText(QStringLiteral("17_13101_千代田区.dat")),
              "139.7 35.6 139.8 35.7\r\n"
              "139.70 35.60 139.80 35.60 139.80 35.70 139.70 35.60@139.71 35.61 139.72 35.61 139.71 35.61"
              "@139.73 35.63 139.74 35.63 139.73 35.63\r\n"
              "1234.5\r\n8101\r\n13101001001\r\nM\r\n丸の内１丁目\r\n139.76\r\n35.68\r\n");
    // The district file reader takes it.
    const auto read = store::readDistrictFile(report->path);
    ASSERT_TRUE(read) << read.error().toStdString();
    EXPECT_EQ(read->records.first().code, QStringLiteral("13101001001"));

    // A ward of a designated city gets the ward's name.
    const QString ward = inputFile(QStringLiteral("h17ka01101.xml"), featureXml(QStringLiteral("札幌市"), QStringLiteral("中央区")));
    const auto wardReport = convertSmallAreaBoundary(ward, 12, QStringLiteral("01101"), tokyoFolder());
    ASSERT_TRUE(wardReport);
    EXPECT_EQ(QFileInfo(wardReport->path).fileName(), QStringLiteral("12_01101_中央区.dat"));
}

// An XML that cannot be parsed, or has no Coordinates, leaves no file, and a good one from
// before stays as it was.
TEST_F(SmallAreaTest, BadXmlLeavesNoHalfWrittenFile)
{
    const QString target = tokyoFolder() + QStringLiteral("/17_13101_千代田区.dat");
    const QString good = inputFile(QStringLiteral("good13101.xml"), featureXml(QStringLiteral("千代田区"), QString()));
    ASSERT_TRUE(convertSmallAreaBoundary(good, 17, QStringLiteral("13101"), tokyoFolder()));
    const std::string before = fileText(QStringLiteral("17_13101_千代田区.dat"));
    QByteArray cut = featureXml(QStringLiteral("千代田区"), QString());
    cut.chop(200);
    QByteArray noBox = featureXml(QStringLiteral("千代田区"), QString());
    noBox.replace("<BoundingBox><Coordinates>139.7,35.6 139.8,35.7</Coordinates></BoundingBox>", "");
    noBox.replace("Coordinates>", "Coords>");
    for (const QByteArray& bytes : {cut, noBox}) {
        const QString bad = inputFile(QStringLiteral("bad13101.xml"), bytes);
        const auto report = convertSmallAreaBoundary(bad, 17, QStringLiteral("13101"), tokyoFolder());
        EXPECT_FALSE(report);
        EXPECT_EQ(fileText(QStringLiteral("17_13101_千代田区.dat")), before);
    }
    EXPECT_EQ(QDir(tokyoFolder()).entryList(QDir::Files), QStringList{QStringLiteral("17_13101_千代田区.dat")});
}

// The generator's XML of a district file converts back into the same file.
TEST_F(SmallAreaTest, GeneratedXmlConvertsBackToItsDistrictFile)
{
    store::DistrictFile file;
    file.header = QStringLiteral("139.6 35.7 139.8 35.8");
    file.records.append({QStringLiteral("139.6 35.7 139.7 35.7 139.7 35.8 139.6 35.7@139.61 35.71 139.62 35.71 139.61 35.71"),
                         QStringLiteral("100.5"), QStringLiteral("8101"), QStringLiteral("131190010"), QStringLiteral("M"),
                         QStringLiteral("板橋"), QStringLiteral("139.65"), QStringLiteral("35.75")});
    file.records.append({QStringLiteral("139.7 35.7 139.8 35.7 139.8 35.8 139.7 35.7"), QStringLiteral("20"), QStringLiteral("8154"),
                         QStringLiteral("13119001001"), QString(), QStringLiteral("板橋１丁目"), QStringLiteral("139.75"),
                         QStringLiteral("35.75")});
    const QString xml = inputFile(QStringLiteral("h27ka13119.xml"),
                                  bench::smallAreaXml(file, {QStringLiteral("板橋区"), QString(), true}));
    const auto report = convertSmallAreaBoundary(xml, 27, QStringLiteral("13119"), tokyoFolder());
    ASSERT_TRUE(report) << report.error().toStdString();
    const auto read = store::readDistrictFile(report->path);
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, file);
}

// The census job: code kept as text, the two name parts joined by "・", the V value columns as
// numbers, missing fields empty, a header-only input a header-only file.
TEST_F(SmallAreaTest, CensusTableColumnsAndTextCodes)
{
    const SmallAreaTable& t1 = smallAreaTables().at(0);
    ASSERT_EQ(t1.valueHeaders.size(), 4);
    EXPECT_EQ(smallAreaTables().at(1).valueHeaders.size(), 66);
    EXPECT_EQ(smallAreaTables().at(1).valueHeaders.first(), QStringLiteral("総数(年齢「不詳」含む)"));
    EXPECT_EQ(smallAreaTables().at(1).valueHeaders.at(22), QStringLiteral("男の総数(年齢「不詳」含む)"));
    const QList<int> sizes{4, 66, 8, 9, 6, 9, 1, 17, 6, 5, 10};
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(smallAreaTables().at(static_cast<size_t>(i)).valueHeaders.size(), sizes.at(i));

    const QString in = path(QStringLiteral("変換フォルダ/P01101.txt"));
    ASSERT_TRUE(platform::writeTextLines(in, {QStringLiteral("KEY,a,b,c,d,e"), QStringLiteral("見出し2"),
                                              QStringLiteral("01101001001,1,x,札幌市中央区,大通西１丁目,0120,55,65,10"),
                                              QStringLiteral("0110100200,1,x,札幌市中央区,北一条,-,2.50,X"), QString()}));
    const QString out = tokyoFolder() + QStringLiteral("/17_01101_statistic1.csv");
    ASSERT_TRUE(convertSmallAreaTable(in, out, t1));
    EXPECT_EQ(fileText(QStringLiteral("17_01101_statistic1.csv")),
              "Code,地区名,人口総数,男,女,世帯総数\r\n"
              "01101001001,札幌市中央区・大通西１丁目,120,55,65,10\r\n"
              "0110100200,札幌市中央区・北一条,-,2.5,X,\r\n");

    ASSERT_TRUE(platform::writeTextLines(in, {QStringLiteral("KEY"), QStringLiteral("見出し2")}));
    ASSERT_TRUE(convertSmallAreaTable(in, out, smallAreaTables().at(2)));
    EXPECT_EQ(fileText(QStringLiteral("17_01101_statistic1.csv")),
              "Code,地区名,一般世帯数（世帯人員6人以上含む）,世帯人員1人,世帯人員2人,世帯人員3人,世帯人員4人,世帯人員5人,"
              "一般世帯人員(人),1世帯当り人員(人/世帯)\r\n");
}

// Both small-area jobs without a window: the same files as the window writes, and clear
// refusals of what cannot be converted.
TEST_F(SmallAreaTest, CommandsConvertBoundariesAndTables)
{
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    const QString xml = inputFile(QStringLiteral("h17ka13101.xml"), featureXml(QStringLiteral("千代田区"), QString()));
    ASSERT_EQ(cli::runSmallAreaCommand({QStringLiteral("--year"), QStringLiteral("2005"), QStringLiteral("--data"), xml}, out, err), 0)
        << errText.toStdString();
    EXPECT_NE(fileText(QStringLiteral("17_13101_千代田区.dat")), "<missing>");

    const QString table = path(QStringLiteral("変換フォルダ/P13101.txt"));
    ASSERT_TRUE(platform::writeTextLines(table, {QStringLiteral("KEY"), QStringLiteral("見出し2"),
                                                 QStringLiteral("13101001001,1,x,千代田区,丸の内１丁目,10,4,6,3")}));
    ASSERT_EQ(cli::runSmallAreaCensusCommand({QStringLiteral("--year"), QStringLiteral("17"), QStringLiteral("--code"), QStringLiteral("13101"),
                                         QStringLiteral("--table"), QStringLiteral("1"), QStringLiteral("--data"), table},
                                        out, err),
              0)
        << errText.toStdString();
    EXPECT_EQ(fileText(QStringLiteral("17_13101_statistic1.csv")),
              "Code,地区名,人口総数,男,女,世帯総数\r\n13101001001,千代田区・丸の内１丁目,10,4,6,3\r\n");

    const struct {
        QStringList args;
        int exit;
        const char* says;
    } refused[] = {
        {{QStringLiteral("--year"), QStringLiteral("17")}, 2, "usage:"},
        {{QStringLiteral("--year"), QStringLiteral("x"), QStringLiteral("--data"), xml}, 2, "--year"},
        {{QStringLiteral("--year"), QStringLiteral("17"), QStringLiteral("--data"), path(QStringLiteral("a.txt"))}, 2, "xml"},
        {{QStringLiteral("--year"), QStringLiteral("17"), QStringLiteral("--data"), path(QStringLiteral("h17ka14101.xml"))}, 1, "がありません"},
    };
    for (const auto& r : refused) {
        errText.clear();
        EXPECT_EQ(cli::runSmallAreaCommand(r.args, out, err), r.exit) << r.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(errText.contains(QString::fromUtf8(r.says))) << errText.toStdString();
    }
    errText.clear();
    EXPECT_EQ(cli::runSmallAreaCensusCommand({QStringLiteral("--year"), QStringLiteral("17"), QStringLiteral("--code"), QStringLiteral("../x1"),
                                         QStringLiteral("--table"), QStringLiteral("1"), QStringLiteral("--data"), table},
                                        out, err),
              2);
    EXPECT_TRUE(errText.contains(QStringLiteral("--code"))) << errText.toStdString();
}
