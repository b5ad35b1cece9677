#pragma once
// Today's census downloads for City, Pref and Japan mode:
//  - the small-area boundary Shapefile (KEN, CITY, KEYCODE2, HCODE, AREA, AREA_MAX_F, MOJI, X_CODE,
//    Y_CODE, GST_NAME, CSS_NAME; CP932 attributes) becomes the district file of each municipality
//    in it, with the records the boundary XML job writes from the same attributes;
//  - the small-area tables (KEY_CODE, HYOSYO, CITYNAME, MOJI or NAME, HTKSYORI, HTKSAKI, GASSAN, values)
//    become YY_code_statisticN.csv beside the district file.
#include "platform/gis_reader.h"
#include "platform/result.h"
#include "store/district_file.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace miratos::imports {

struct SmallAreaDistricts {
    QString prefCode; // KEN
    QString code;     // 5-digit municipality code
    QString name;     // ward name, or the municipality name
    store::DistrictFile file;
};

// True for a .shp whose .dbf carries the small-area attributes.
bool isSmallAreaShapefile(const QString& path);

// True when a layer carries the small-area attributes.
bool isSmallAreaLayer(const platform::GisLayer& layer);

// The district files of every municipality in the layer, in order of first appearance. A
// multi-part feature gives one record per outer ring; rings lying inside an outer ring are its
// inner rings ("@").
std::vector<SmallAreaDistricts> buildSmallAreaDistricts(const platform::GisLayer& layer);

// Two-digit census year of a boundary file name, from its start only: h27ka13119.shp 27,
// r2ka13119.shp or r2ka13.shp 32 (2020); 0 when none.
int smallAreaYearOfFileName(const QString& path);

using ImportProgress = std::function<void(const QString&)>;

// Writes the district files of the shapefile into MapData (prefecture folders from Init.ini,
// created when missing). year 0: from the file name. A character CP932 cannot hold is written as
// "〓", noted once per file written in notes (when given); so in the tables below.
Result<QStringList> importSmallAreaShapefile(const QString& path, int year, const QString& mapData, const QString& initIni,
                                             QStringList* notes = nullptr);

// True for a CSV or .txt whose header starts with KEY_CODE.
bool isSmallAreaTable(const QString& path);

// One statistic file per municipality in the table (a prefecture's table holds them all). year 0:
// the year of the municipality's district file already in its prefecture folder; a municipality
// without one is left out and named in notes (an error when that leaves none). Today's edition
// (column codes on line 1, their titles on line 2, NAME for MOJI) takes its titles from line 2;
// the values of a secret area (HTKSYORI 1) are written "X".
Result<QStringList> importSmallAreaTable(const QString& path, int year, const QString& mapData, const QString& initIni,
                                         QStringList* notes = nullptr);

} // namespace miratos::imports
