#pragma once
// 鉄道: the nationwide railway data of the national land numerical information (one XML file of
// points, curves, railway sections EB02 and stations EB03) turned into the four railway files of
// MapData\鉄道\. Sections and stations are written as records in the order their elements stand;
// curves go to Line_st.dat when a station refers to them (their identifier with every "rr"
// replaced by "st", as in Eki.dat) and to Line_rr.dat otherwise.
//
// All four files are built in memory and written only when the whole file was read without a
// problem; an element that would shift the records (a section or station missing one of its
// elements, a curve without its end point, a reference to an unknown point, a value holding a line
// break) stops the conversion with a message naming the file and the element.
#include "platform/result.h"
#include "store/railway_files.h"

#include <QString>
#include <functional>

namespace miratos::convert {

struct RailwayProgress {
    // The node counter, never reset between passes; called every 1000 (points, curves) or 500
    // (sections, stations) nodes.
    std::function<void(qint64 counter)> counter;
    // Between chunks of reading the file.
    std::function<void()> yield;
    // A line when a pass starts (for the command line).
    std::function<void(const QString& step)> step;
};

struct RailwayReport {
    qint64 counter = 0;
    int points = 0;
    int sections = 0;
    int stations = 0;
    int railCurves = 0;
    int stationCurves = 0;
};

struct RailwayConversion {
    store::RailwayFileBytes files;
    RailwayReport report;
};

// Every "rr" of text replaced by "st", left to right.
QString stationCurveId(const QString& railCurveId);

// Reads the data file and builds the four files in memory.
Result<RailwayConversion> buildRailwayFiles(const QString& dataPath, const RailwayProgress& progress = {});

// The whole conversion into outputFolder (MapData\鉄道, which must exist).
Result<RailwayReport> 鉄道(const QString& dataPath, const QString& outputFolder, const RailwayProgress& progress = {});

} // namespace miratos::convert
