#pragma once
// Reading today's GIS files (GeoJSON, TopoJSON, Shapefile, GeoPackage, …) through GDAL/OGR:
// every layer's features with their attribute values as the file stores them and their geometry
// as longitude/latitude parts. The only place that talks to GDAL.
#include "platform/result.h"

#include <QByteArray>
#include <QHash>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <vector>

namespace miratos::platform {

struct GisFeature {
    // Field name -> value bytes as stored (UTF-8 in most files; some government files hold CP932
    // bytes, which the caller decodes). Empty for a null field.
    QHash<QString, QByteArray> fields;
    // Lines and polygon rings as parts, points as single-point parts; x = longitude, y = latitude.
    std::vector<QVector<QPointF>> parts;
    // For polygon geometries, the same rings grouped by polygon: each polygon's outer ring first,
    // then its holes. Rings are as the file has them (closed or not, repeated points kept).
    std::vector<std::vector<QVector<QPointF>>> polygons;
    enum class Kind { None, Point, Line, Polygon } kind = Kind::None;
    QString geometryName; // the geometry type as GDAL names it ("MultiPolygon"); empty without one
};

struct GisLayer {
    QString name;
    QStringList fieldNames;
    std::vector<GisFeature> features;
};

// How far a read may go. The feature cap stops a file that never ends (a GeoPackage view over a
// recursive query) long before memory runs out; national data has well under a million features.
struct GisReadLimits {
    qint64 maxFeatures = 5'000'000;
    std::function<bool()> cancelled; // asked between features; true ends the read with an error
};

// The GDAL drivers a user's file may be opened with; anything else (VRT, network drivers, …) is
// refused, so that a file cannot make GDAL read another file or reach the network.
const QStringList& allowedGisDrivers();

// Reads every layer of a file. Coordinates of a projected layer are turned into longitude and
// latitude (WGS 84); a geographic layer's are taken as they are. Errors name the file.
Result<std::vector<GisLayer>> readGisFile(const QString& path, const GisReadLimits& limits = {});

// Every file's layers in turn, each file's feature count reported through progress ("…: N
// 件の地物を読みました"); the first file that cannot be read ends it with its error.
Result<std::vector<std::vector<GisLayer>>> readGisFiles(const QStringList& paths, const std::function<void(const QString&)>& progress,
                                                        const GisReadLimits& limits = {});

// Streams the features of every layer to visit, one at a time, so that a large file is never held
// whole; layer carries the name and field names (its features stay empty). Returning an error
// from visit stops the reading with that error.
using GisFeatureVisitor = std::function<Status(const GisLayer& layer, GisFeature&& feature)>;
Status forEachGisFeature(const QString& path, const GisFeatureVisitor& visit, const GisReadLimits& limits = {});

// Writes source into target in the format GDAL's driver named format (e.g. "ESRI Shapefile",
// "GPKG", "GML"), with further ogr2ogr options such as {"-lco", "ENCODING=CP932"}. For making
// files of today's formats from others (tests, benchmarks).
Status translateGisFile(const QString& source, const QString& target, const QString& format,
                        const QStringList& options = {});

} // namespace miratos::platform
