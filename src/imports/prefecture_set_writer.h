#pragma once
// Writes a BoundaryTopology as the prefecture-level geometry files of MapData (NEWS.dat,
// Line.dat, Polygon.dat, Point.dat, PrefLine.dat, Tiku.dat), one folder per prefecture.
//
// Keys, for prefecture code pc (two digits): lines pc + "c" + n, polygons pc + "a" + n, label
// points pc + "p" + n, numbered from 1 in the order written. Lines are numbered in the order the
// written rings first use them; a line shared with another prefecture gets a key of each.
// Only a polygon's outer ring goes to Polygon.dat (the map fills every ring it draws, so a hole
// written as a ring would be painted over); holes still count for the outline, so the boundary
// of an enclave, used by the enclave and by the hole around it, is not part of it.
#include "imports/boundary_topology.h"
#include "store/line_file.h"
#include "store/news_file.h"
#include "store/point_file.h"
#include "store/polygon_file.h"
#include "store/tiku_file.h"

#include <QSet>

namespace miratos::imports {

struct PrefectureSet {
    int prefCode = 0;
    int municipalityCount = 0; // those with at least one polygon written
    int droppedLines = 0;    // lines without two distinct points, left out of rings
    int droppedPolygons = 0; // polygons left without an outer ring by that
    store::NewsExtent extent;
    QVector<store::LineRecord> lines;
    QVector<store::PolygonRecord> polygons;
    QVector<store::PointRecord> points;
    QStringList outline; // PrefLine.dat
    QVector<store::TikuRecord> tiku;
};

// Codes of the prefectures that the municipalities belong to, ascending.
QVector<int> prefecturesOf(const BoundaryTopology& topology);

// The records of one prefecture. Polygons are written municipality by municipality in the
// topology's order, a municipality's largest polygon first (the map labels a municipality at
// its first polygon); a polygon lying in a hole of another comes after it, so that an enclave is
// painted over the polygon around it. Fails on a ring that refers to a missing line, a
// municipality whose code does not start with its prefecture code, or a prefecture with nothing
// left to draw.
Result<PrefectureSet> buildPrefectureSet(const BoundaryTopology& topology, int prefCode);

// The folder name of a prefecture: its entry in Init.ini's [Pref] section, or the built-in name
// when the entry is missing or is no plain folder name.
QString prefectureFolderName(int prefCode, const QString& initIni);

// What writePrefectureSets wrote, added up over its calls.
struct WrittenTotals {
    QSet<int> prefectures;
    qsizetype municipalities = 0, polygons = 0, lines = 0;
};

// Builds and writes every prefecture of the topology into mapDataFolder + "/" + its folder name,
// creating the folder when missing. Tiku.dat, the only file holding names from the source, is
// written first and Point.dat, which marks a folder as holding data, last.
Status writePrefectureSets(const BoundaryTopology& topology, const QString& mapDataFolder, const QString& initIni,
                           const ProgressFn& progress, WrittenTotals* totals = nullptr);

} // namespace miratos::imports
