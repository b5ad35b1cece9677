#pragma once
// Today's railway data (national land numerical information as GeoJSON, TopoJSON or Shapefile)
// turned into the four railway files, read through the GIS reader. Understood layers:
//  - stations as short lines with N02_001 class, N02_002 operator type, N02_003 line,
//    N02_004 operator, N02_005 name (station names may be CP932 bytes inside the JSON);
//  - stations as points in the time-series form: stationName (or N05_011) name, lineName
//    (N05_002) line, company (N05_003) operator; a point is written as a curve of two equal points;
//  - railway sections as lines: N02_001…N02_004 as above, or the time-series form with
//    N05_001/type (operator type), N05_002/lineName, N05_003/company and no class.
// The map keeps a railway curve only when its first point lies inside the view, and the
// time-series form holds a whole line (up to thousands of points) as one part. So every line part
// is cut into curves of at most kRailCurvePoints points, each piece starting at the last point of
// the one before (nothing is lost at the joints), and each piece gets a section record of its own
// with the line's class, operator type and name. Cutting by count rather than at stations keeps
// lines and stations independent, so either may be imported alone or first.
// Identifiers are made the way the railway converter writes them: sections "EB02_n" on curves
// "cv_rrn", stations "EB03_n" on curves "cv_stn", numbered in import order, so the layer cannot
// tell the two sources apart.
#include "platform/gis_reader.h"
#include "platform/result.h"
#include "store/railway_files.h"

#include <QString>
#include <QPointF>
#include <QStringList>
#include <QVector>
#include <functional>
#include <vector>

namespace miratos::imports {

// The most points of one railway curve written by the import.
inline constexpr qsizetype kRailCurvePoints = 50;

// Cuts a line into pieces of at most kRailCurvePoints points, consecutive pieces sharing their
// joint point; a line of fewer than two points gives none.
std::vector<QVector<QPointF>> splitRailCurve(const QVector<QPointF>& line);

// What a railway download holds, looked up by its attribute names: stations (N02 Station, N05
// station points), lines (N02 sections, N05 lines), or no railway data.
enum class RailwayFileKind { None, Lines, Stations };
RailwayFileKind railwayFileKind(const QString& path);

// True for a file that holds railway data.
bool isRailwayDataset(const QString& path);

// The class written for a section without one: the most frequent N02 class of the stations of
// the same line and operator (operator names compared without a bracketed suffix such as
// "（旧国鉄）"), otherwise "11" (JR ordinary railway) for operator types 1 and 2 (Shinkansen, JR
// conventional lines) and "12" (ordinary railway) for the others.
struct RailClassRule {
    void addStation(const QString& line, const QString& operatorName, const QString& railClass);
    // Which rule decided is told through fromStations.
    QString classOf(const QString& line, const QString& operatorName, const QString& operatorType, bool* fromStations) const;

private:
    QHash<QString, QHash<QString, int>> m_counts; // line + "\t" + operator -> class -> stations
};

struct RailwayImportReport {
    int sections = 0;          // section records (one per curve piece)
    int stations = 0;
    int classFromStations = 0; // sections without class whose class came from the stations
    int classFromOperator = 0; // … from the operator type
    QStringList notes;         // layers that were skipped, and why
};

struct RailwayImport {
    store::RailwayTables tables;
    RailwayImportReport report;
};

// Builds the tables from the layers of several files (stations first, so their classes are
// known when the sections are made).
Result<RailwayImport> buildRailwayImport(const std::vector<std::vector<platform::GisLayer>>& files);

// Reads the files, builds the four railway files and writes them into railwayFolder (created
// when missing).
Result<RailwayImportReport> importRailways(const QStringList& files, const QString& railwayFolder,
                                           const std::function<void(const QString&)>& progress = {});

} // namespace miratos::imports
