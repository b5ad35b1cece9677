#include "../mapview/map_fixture.h"
#include "mapview/loaders.h"
#include "stats/region_area.h"

#include <cmath>

using namespace miratos;

namespace {

QVector<QPointF> cell(double west, double south, double size = 1.0)
{
    return {{west, south}, {west + size, south}, {west + size, south + size}, {west, south + size}, {west, south}};
}

// The area between two parallels and two meridians on GRS80 in km², from the closed form of
// the ellipsoid's zone area; the geodesic edges of a 1° cell differ from its parallels by far
// less than the tolerance used with it.
double quadrangleKm2(double south, double north, double degrees)
{
    const double a = 6378137.0, f = 1 / 298.257222101;
    const double e2 = f * (2 - f), e = std::sqrt(e2), b2 = a * a * (1 - e2);
    const auto zone = [&](double lat) {
        const double s = std::sin(lat * M_PI / 180);
        return s / (2 * (1 - e2 * s * s)) + std::log((1 + e * s) / (1 - e * s)) / (4 * e);
    };
    return b2 * degrees * M_PI / 180 * (zone(north) - zone(south)) / 1e6;
}

} // namespace

TEST(RegionArea, OneDegreeCellAt35NorthAgreesWithTheEllipsoid)
{
    const double expected = quadrangleKm2(35, 36, 1);
    ASSERT_NEAR(expected, 10066, 5); // the right magnitude: 1° is about 90.7 km by 111 km here
    QVector<QPointF> ring = cell(139, 35);
    EXPECT_NEAR(stats::ringAreaKm2(ring), expected, 0.5);
    std::reverse(ring.begin(), ring.end());
    EXPECT_NEAR(stats::ringAreaKm2(ring), expected, 0.5); // either direction
    EXPECT_EQ(stats::ringAreaKm2({{139, 35}, {140, 35}}), 0);
    EXPECT_EQ(stats::ringAreaKm2({{139, 35}, {140, 95}, {141, 35}}), 0); // off the globe
}

TEST(RegionArea, HolesAreSubtractedAndIslandsAdded)
{
    const double outer = stats::ringAreaKm2(cell(139, 35));
    const double hole = stats::ringAreaKm2(cell(139.25, 35.25, 0.5));
    const double islandInHole = stats::ringAreaKm2(cell(139.4, 35.4, 0.2));
    const double island = stats::ringAreaKm2(cell(141, 35));
    EXPECT_NEAR(stats::regionAreaKm2({cell(139, 35), cell(139.25, 35.25, 0.5)}), outer - hole, 1e-6);
    EXPECT_NEAR(stats::regionAreaKm2({cell(139.25, 35.25, 0.5), cell(139, 35), cell(141, 35)}), outer - hole + island, 1e-6);
    EXPECT_NEAR(stats::regionAreaKm2({cell(139, 35), cell(139.25, 35.25, 0.5), cell(139.4, 35.4, 0.2)}), outer - hole + islandInHole, 1e-6);
}

using RegionAreaOfTheMap = MapFixture;

TEST_F(RegionAreaOfTheMap, PrefecturesAndMunicipalitiesAreFoundByStatisticCode)
{
    writeSquarePrefectures();
    const double expected = quadrangleKm2(35, 36, 1);
    auto& s = state::mdlMain();
    mapview::MapTables japan, pref;
    (void)mapview::loadJapan(japan, s, platform::AppFolder::initIni(), {});
    (void)mapview::loadPref(pref, s, platform::AppFolder::initIni(), {});
    const auto byPrefecture = stats::regionAreas(japan, mapview::MapMode::Japan);
    const auto byMunicipality = stats::regionAreas(pref, mapview::MapMode::Pref);
    EXPECT_EQ(byPrefecture.keys().size(), 2);
    EXPECT_NEAR(byPrefecture.value(QStringLiteral("13")), expected, 0.5);
    EXPECT_NEAR(byPrefecture.value(QStringLiteral("14")), expected, 0.5);
    EXPECT_EQ(byMunicipality.keys().size(), 2);
    EXPECT_NEAR(byMunicipality.value(QStringLiteral("13101")), expected, 0.5);
    EXPECT_NEAR(byMunicipality.value(QStringLiteral("14101")), expected, 0.5);
}

TEST(RegionArea, DistrictsSubtractInnerRingsAndAreKeptUntilCleared)
{
    // A district's inner rings are holes, and the records of one code add up.
    mapview::MapTables city;
    mapview::DistrictRecord d;
    d.code = QStringLiteral("131010010");
    d.rings = {cell(139, 35, 0.1), cell(139.02, 35.02, 0.05)};
    city.DistrictRecords.push_back(d);
    d.rings = {cell(139.2, 35, 0.1)};
    city.DistrictRecords.push_back(d);
    const double expectedCity = 2 * stats::ringAreaKm2(cell(139, 35, 0.1)) - stats::ringAreaKm2(cell(139.02, 35.02, 0.05));
    EXPECT_NEAR(stats::regionAreas(city, mapview::MapMode::City).value(d.code), expectedCity, 1e-6);

    // Kept for the loaded set until the owner says another one was loaded.
    stats::RegionAreas cache;
    EXPECT_NEAR(cache.of(city, mapview::MapMode::City).value(d.code), expectedCity, 1e-6);
    city.DistrictRecords.pop_back();
    EXPECT_NEAR(cache.of(city, mapview::MapMode::City).value(d.code), expectedCity, 1e-6);
    cache.clear();
    EXPECT_LT(cache.of(city, mapview::MapMode::City).value(d.code), expectedCity * 0.75);

    // The lookup of computed columns: a total row gets the sum of the regions under its code.
    d.code = QStringLiteral("131010020");
    city.DistrictRecords.push_back(d);
    cache.clear();
    const stats::AreaLookup area = cache.lookup(city, mapview::MapMode::City);
    const double first = area(QStringLiteral("131010010")).value_or(0);
    EXPECT_NEAR(area(QStringLiteral("131010020")).value_or(0), stats::ringAreaKm2(cell(139.2, 35, 0.1)), 1e-6);
    EXPECT_NEAR(area(QStringLiteral("13101")).value_or(0), first + stats::ringAreaKm2(cell(139.2, 35, 0.1)), 1e-6);
    EXPECT_FALSE(area(QStringLiteral("13102")).has_value());
    EXPECT_FALSE(area(QString()).has_value());
}
