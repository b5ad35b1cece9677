#pragma once
// Today's census result tables for Japan and Pref mode:
//  - the 2020 major results by prefecture and municipality (CSV, or the published workbook)
//    become MapData\statistic3.csv (prefectures) and each prefecture's statistic6.csv
//    (municipalities), with every value column the file holds;
//  - the prefecture time series 1920-2015 (one line per prefecture and census) becomes
//    MapData\statistic4.csv, one line per prefecture with population, men and women of every
//    census year.
#include "platform/result.h"

#include <QString>
#include <QStringList>

namespace miratos::imports {

// True for a CSV whose header starts with 都道府県コード and 市区町村コード, or for the workbook
// edition (first sheet: 都道府県名 and 都道府県・市区町村名 in row 9).
bool isMunicipalResults(const QString& path);

// Value columns: 人口(人), 男性(人), 女性(人), 男女比(男/女) (computed), then every further column
// of the file under the title its header gives (line breaks removed, unit kept); from the
// workbook those of its first sheet, then those of its second. Numbers are
// written with "."; "-", "…", "X" stay as they are and an empty cell is written "-": no data on
// the map. A character CP932 cannot hold is written "〓" and noted.
Result<QStringList> importMunicipalResults(const QString& path, const QString& mapData, const QString& initIni,
                                           QStringList* notes = nullptr);

// True for a CSV whose header names 都道府県コード, 西暦（年） and 人口（総数）, 人口（男）, 人口（女）.
bool isPrefectureSeries(const QString& path);

// The prefectures 01..47 only (the nation 00 and the extra areas such as 0A are left out). Columns
// "人口 1920年", "男 1920年", "女 1920年", then the same for each later year in the file; a
// missing value ("-", or a year a prefecture lacks) is written "-". The table goes to MapData
// itself, so initIni is not read; it is taken for the same call as the other tables.
Result<QStringList> importPrefectureSeries(const QString& path, const QString& mapData, const QString& initIni,
                                           QStringList* notes = nullptr);

} // namespace miratos::imports
