// Every geometry file family written byte for byte (CP932, CR LF after every line)
// and read back unchanged.
#include "store/district_file.h"
#include "store/line_file.h"
#include "store/news_file.h"
#include "store/point_file.h"
#include "store/polygon_file.h"
#include "store/pref_line_file.h"
#include "store/tiku_file.h"
#include "store/coord_list.h"
#include "comma_locale.h"
#include "store_fixture.h"

#include <string_view>

using namespace miratos;
using namespace miratos::store;

namespace {

// CP932 spellings of the Japanese texts below; kept as separate literals so that a following
// digit is never taken into a \x escape.
#define TOKYO "\x93\x8c\x8b\x9e\x93\x73"       // 東京都
#define CHIYODA "\x90\xe7\x91\xe3\x93\x63\x8b\xe6" // 千代田区
#define OSHIMA "\x91\xe5\x93\x87\x92\xac"      // 大島町
#define MARUNOUCHI1 "\x8a\xdb\x82\xcc\x93\xe0\x88\xea\x92\x9a\x96\xda" // 丸の内一丁目
#define KOKYO "\x8d\x63\x8b\x8f\x8a\x4f\x89\x91" // 皇居外苑

class GeometryFiles : public StoreFiles {
protected:
    template <class T, class Write, class Read>
    void expectRoundTrip(const QString& name, Write write, Read read, const T& value, std::string_view expected)
    {
        const QString file = path(name);
        const Status written = write(file, value);
        ASSERT_TRUE(written.ok()) << written.error().toStdString();
        EXPECT_EQ(bytesOf(file), QByteArray(expected.data(), qsizetype(expected.size())));
        const auto back = read(file);
        ASSERT_TRUE(back.ok()) << back.error().toStdString();
        EXPECT_EQ(*back, value);
    }
};

TEST_F(GeometryFiles, NewsRoundTrip)
{
    expectRoundTrip(QStringLiteral("NEWS.dat"), writeNewsFile, readNewsFile, NewsExtent{138.94, 139.92, 35.5, 35.8984375},
                    "138.94\r\n139.92\r\n35.5\r\n35.8984375\r\n");
}

TEST_F(GeometryFiles, CoordinatesKeepTheDecimalPointUnderACommaLocale)
{
    CommaLocale german;
    SKIP_WITHOUT_COMMA_LOCALE(german);
    expectRoundTrip(QStringLiteral("NEWS.dat"), writeNewsFile, readNewsFile, NewsExtent{138.94, 139.92, 35.5, 35.8984375},
                    "138.94\r\n139.92\r\n35.5\r\n35.8984375\r\n");
    EXPECT_EQ(formatLatLonList({QPointF(139.753, 35.684)}), QStringLiteral("35.684 139.753"));
    EXPECT_EQ(formatLonLatList({QPointF(139.753, 35.684)}), QStringLiteral("139.753 35.684"));
}

TEST_F(GeometryFiles, LineRoundTrip)
{
    const QVector<LineRecord> lines{{"13c1", "35.68 139.75 35.69 139.76 35.7 139.77"}, {"13c2", "35.7 139.77 35.68 139.75"}};
    expectRoundTrip(QStringLiteral("Line.dat"), writeLineFile, readLineFile, lines,
                    "13c1\r\n35.68 139.75 35.69 139.76 35.7 139.77\r\n13c2\r\n35.7 139.77 35.68 139.75\r\n");
}

TEST_F(GeometryFiles, PrefLineRoundTripWithReversedKeysAndOneKeyIsland)
{
    const QStringList rings{"13c1@_13c2@13c3", "13c9"};
    expectRoundTrip(QStringLiteral("PrefLine.dat"), writePrefLineFile, readPrefLineFile, rings,
                    "13c1@_13c2@13c3\r\n13c9\r\n");
}

TEST_F(GeometryFiles, PolygonRoundTrip)
{
    const QVector<PolygonRecord> polygons{{"13a1ec", "13c1@_13c2"}, {"13a2ec", "_13c3"}};
    expectRoundTrip(QStringLiteral("Polygon.dat"), writePolygonFile, readPolygonFile, polygons,
                    "13a1ec\r\n13c1@_13c2\r\n13a2ec\r\n_13c3\r\n");
}

TEST_F(GeometryFiles, PointRoundTrip)
{
    const QVector<PointRecord> points{{"13p1ec", "35.684 139.753"}, {"13p2ec", "34.75 139.38"}};
    expectRoundTrip(QStringLiteral("Point.dat"), writePointFile, readPointFile, points,
                    "13p1ec\r\n35.684 139.753\r\n13p2ec\r\n34.75 139.38\r\n");
}

TEST_F(GeometryFiles, TikuRoundTripInCp932WithOneMunicipalityOnTwoPolygons)
{
    const QVector<TikuRecord> tiku{{"13a1ec", "東京都@千代田区", "13101"},
                                   {"13a2ec", "東京都@大島町", "13361"},
                                   {"13a3ec", "東京都@大島町", "13361"}};
    expectRoundTrip(QStringLiteral("Tiku.dat"), writeTikuFile, readTikuFile, tiku,
                    "13a1ec\r\n" TOKYO "@" CHIYODA "\r\n13101\r\n"
                    "13a2ec\r\n" TOKYO "@" OSHIMA "\r\n13361\r\n"
                    "13a3ec\r\n" TOKYO "@" OSHIMA "\r\n13361\r\n");
}

TEST_F(GeometryFiles, DistrictRoundTripWithInnerRingsAndEmptyField)
{
    DistrictFile district;
    district.header = "139.73 35.67 139.78 35.7";
    district.records = {
        {"139.73 35.67 139.78 35.67 139.78 35.7@139.74 35.68 139.75 35.68 139.75 35.69@139.76 35.68 139.77 35.68 139.77 35.69",
         "12345.6", "8101", "13101001001", "M", "丸の内一丁目", "139.765", "35.68"},
        // A water surface without the representative mark: its empty line must keep its place.
        {"139.75 35.68 139.76 35.68 139.76 35.69", "800", "8154", "13101001002", "", "皇居外苑", "139.755", "35.685"},
    };
    expectRoundTrip(QStringLiteral("17_13101_千代田区.dat"), writeDistrictFile, readDistrictFile, district,
                    "139.73 35.67 139.78 35.7\r\n"
                    "139.73 35.67 139.78 35.67 139.78 35.7@139.74 35.68 139.75 35.68 139.75 35.69@139.76 35.68 139.77 35.68 139.77 35.69\r\n"
                    "12345.6\r\n8101\r\n13101001001\r\nM\r\n" MARUNOUCHI1 "\r\n139.765\r\n35.68\r\n"
                    "139.75 35.68 139.76 35.68 139.76 35.69\r\n"
                    "800\r\n8154\r\n13101001002\r\n\r\n" KOKYO "\r\n139.755\r\n35.685\r\n");
}

TEST_F(GeometryFiles, EmptyRecordListsWriteEmptyFiles)
{
    expectRoundTrip(QStringLiteral("Line.dat"), writeLineFile, readLineFile, QVector<LineRecord>{}, "");
    expectRoundTrip(QStringLiteral("17_13101_x.dat"), writeDistrictFile, readDistrictFile,
                    DistrictFile{"139 35 140 36", {}}, "139 35 140 36\r\n");
}

} // namespace
