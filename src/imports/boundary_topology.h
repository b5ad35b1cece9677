#pragma once
// Boundaries as a topology: lines stored once and shared between neighbouring polygons, rings
// that refer to lines walked forwards or backwards. Every boundary source (TopoJSON, the R maps
// database, GeoJSON, Shapefile, GML, GeoPackage) is read into this form and written out as MapData's
// prefecture-level files by one writer.
#include "platform/result.h"
#include "store/source_file.h"

#include <QPointF>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace miratos::imports {

struct TopoLine {
    QVector<QPointF> points; // x = longitude, y = latitude, in drawing order
};

struct TopoLineRef {
    int line = 0;          // index into BoundaryTopology::lines
    bool reversed = false; // walked from its last point to its first
};

using TopoRing = QVector<TopoLineRef>;

struct TopoPolygon {
    QVector<TopoRing> rings; // rings[0] is the outer ring, the others are holes
};

struct TopoMunicipality {
    int prefCode = 0;      // JIS prefecture code 1..47
    QString code;          // five digits, the first two being the prefecture code
    QStringList nameParts; // prefecture name, then county/city, ward, town as the source names them
    QVector<TopoPolygon> polygons;
};

struct BoundaryTopology {
    QVector<TopoLine> lines;
    QVector<TopoMunicipality> municipalities;
    int skippedFeatures = 0; // features of the source left out (no code, not a polygon)
    // The credit of the source, in its terms' wording (written beside the boundaries).
    QString credit = QString::fromUtf16(store::kKsjBoundaryCredit);
};

// Progress of a long conversion: a line of text for the user.
using ProgressFn = std::function<void(const QString&)>;

} // namespace miratos::imports
