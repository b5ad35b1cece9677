#pragma once
// 行政区域: the boundary data of one prefecture, as published in the XML of the national land
// numerical information (a metadata file and a topology file), turned into the six
// prefecture-level geometry files NEWS.dat, Line.dat, Polygon.dat, Point.dat, PrefLine.dat and
// Tiku.dat. The topology is kept: each curve becomes one line of Line.dat, rings refer to lines
// walked forwards or backwards, the lines that rings use an odd number of times make the outline.
//
// Everything is built in memory and written only when the conversion succeeded, so a failed run
// never leaves a half-converted prefecture behind. A feature the published data should not have
// (a point that is no "lat lon", a reference to an unknown point or curve, a curve without its end
// point, a municipality without its area reference or code, a name CP932 cannot hold, ...) is
// left out whole, as written it would shift the records of the files, and the report names it by
// its identifier; what depends on it (a curve on a skipped point, a polygon on a skipped curve)
// is left out too. Only a file that cannot be read or parsed, or holds no point or polygon at
// all, stops the conversion.
#include "platform/result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace miratos::convert {

struct BoundarySources {
    QString metaPath; // KS-META-N….xml: the extent of the data
    QString dataPath; // N….xml: points, curves, rings, municipality features
    int prefCode = 0; // 1..47; its two digits start every key written
};

struct BoundaryProgress {
    // The node counter, which runs through every pass without being reset; called every 100 or
    // 500 nodes as each pass gives.
    std::function<void(qint64 counter)> counter;
    // Between chunks of reading and converting a file.
    std::function<void()> yield;
    // A line when a pass starts (for the command line).
    std::function<void(const QString& step)> step;
};

// The six files' contents: CP932, CR LF, as they are written.
struct BoundaryFiles {
    QByteArray news;
    QByteArray line;
    QByteArray polygon; // its last line has no line break
    QByteArray point;
    QByteArray prefLine;
    QByteArray tiku;
};

struct BoundaryReport {
    qint64 counter = 0; // nodes visited, as the window shows them
    int points = 0;
    int lines = 0;
    int polygons = 0;
    int outlineRings = 0;
    int municipalityRecords = 0; // Tiku.dat records
    // Written anyway, but the user should know: outline chains that do not close, Tiku.dat keys
    // that name no polygon, a metadata extent replaced by the data's own.
    QStringList warnings;
    // One line per feature left out: the file, the element with its identifier, and why.
    QStringList skipped;
};

struct BoundaryConversion {
    BoundaryFiles files;
    BoundaryReport report;
};

// The file names, in the order they are written.
inline constexpr const char16_t* kBoundaryFileNames[] = {u"NEWS.dat", u"Line.dat", u"Polygon.dat",
                                                         u"Point.dat", u"PrefLine.dat", u"Tiku.dat"};

// A path the conversion takes: not empty, its last three characters "xml" (lower case).
bool isXmlPath(const QString& path);

// Reads both files and builds the six files in memory.
Result<BoundaryConversion> buildBoundaryFiles(const BoundarySources& sources, const BoundaryProgress& progress = {});

// Writes the files into folder, which must exist; each file is replaced only when written whole.
Status writeBoundaryFiles(const QString& folder, const BoundaryFiles& files);

// The whole conversion into outputFolder (a prefecture's folder under MapData, which must exist).
Result<BoundaryReport> 行政区域(const BoundarySources& sources, const QString& outputFolder,
                                   const BoundaryProgress& progress = {});

// The message at the end of the conversion: three lines joined by CR LF.
QString boundaryDoneText();

} // namespace miratos::convert
