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
#include <vector>

namespace miratos::platform {

struct GisFeature {
    // Field name -> value bytes as stored (UTF-8 in most files; some government files hold CP932
    // bytes, which the caller decodes). Empty for a null field.
    QHash<QString, QByteArray> fields;
    // Lines and polygon rings as parts, points as single-point parts; x = longitude, y = latitude.
    std::vector<QVector<QPointF>> parts;
    enum class Kind { None, Point, Line, Polygon } kind = Kind::None;
};

struct GisLayer {
    QString name;
    QStringList fieldNames;
    std::vector<GisFeature> features;
};

// Reads every layer of a file. Coordinates of a projected layer are turned into longitude and
// latitude (WGS 84); a geographic layer's are taken as they are. Errors name the file.
Result<std::vector<GisLayer>> readGisFile(const QString& path);

} // namespace miratos::platform
