#pragma once
// What a list of dropped or named files holds, before anything is imported: each file (folders
// walked) is recognised as one kind of download, with its year, the places it covers and its
// feature or row count, as far as its name and a look at its start can tell.
#include "imports/zip_input.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace miratos::imports {

enum class InputKind {
    Boundary,          // 行政区域 (N03, TopoJSON, R maps database, other GIS boundary files)
    RailwayLines,      // 鉄道（路線）
    RailwayStations,   // 鉄道（駅）
    Facility,          // 公共施設 (P02)
    SmallAreaBoundary, // 小地域境界 (e-Stat Shapefile)
    SmallAreaTable,    // 小地域集計 (e-Stat KEY_CODE table)
    CensusResults,     // 国勢調査結果 (2020 municipal results)
    PrefectureSeries,  // 都道府県時系列 (1920–2015 prefecture populations)
    Unknown,
};

// "行政区域", "鉄道（路線）", … as the import window shows the kind; "不明" for Unknown.
QString kindName(InputKind kind);

struct ImportInput {
    QString path;  // what the readers open
    QString shown; // what messages show (the native path)
    InputKind kind = InputKind::Unknown;
    QString year;   // "2021", "1920〜2015"; empty when the name does not say
    QString places; // "東京都", "東京都 板橋区", "13 都道府県"; empty when not known without reading
    qint64 count = -1; // features or rows; -1 when not counted
    QString countUnit; // "地物" or "行"
    QStringList problems; // why it cannot be imported, or what to watch
};

// One file. Reads only the start of the file (and of a Shapefile's .dbf), or the whole of a table.
ImportInput recogniseInput(const QString& path);

// Every file of the expanded inputs (zips unpacked, folders walked: imports/zip_input.h); the
// parts of a Shapefile other than its .shp are not listed on their own, and a zip's member is
// shown as "ZIP の member". Files that do not exist are listed with the problem.
std::vector<ImportInput> recogniseInputs(const ExpandedInputs& expanded);

// The same for paths as given: what a zip or folder gave is kept alive in expanded.
std::vector<ImportInput> recogniseInputs(const QStringList& paths, ExpandedInputs& expanded);

// TopoJSON and GeoJSON share the suffix .json: a topology says so near its start.
bool isTopoJsonFile(const QString& path);

// Said with an input that is none of the tables or layers import knows.
QString knownKindsText();

} // namespace miratos::imports
