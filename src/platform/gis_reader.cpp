#include "platform/gis_reader.h"

#include <QDir>
#include <QFile>
#include <gdal.h>
#include <ogr_api.h>
#include <ogr_srs_api.h>
#include <memory>
#include <mutex>

namespace miratos::platform {
namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

void appendParts(OGRGeometryH g, OGRCoordinateTransformationH transform, GisFeature& feature)
{
    const OGRwkbGeometryType type = wkbFlatten(OGR_G_GetGeometryType(g));
    const int children = OGR_G_GetGeometryCount(g);
    if (type == wkbPolygon || type == wkbMultiLineString || type == wkbMultiPolygon || type == wkbMultiPoint
        || type == wkbGeometryCollection) {
        for (int i = 0; i < children; ++i)
            appendParts(OGR_G_GetGeometryRef(g, i), transform, feature);
        if (type == wkbPolygon || type == wkbMultiPolygon)
            feature.kind = GisFeature::Kind::Polygon;
        return;
    }
    const int n = OGR_G_GetPointCount(g);
    if (n <= 0)
        return;
    std::vector<double> x(static_cast<size_t>(n)), y(static_cast<size_t>(n));
    OGR_G_GetPoints(g, x.data(), sizeof(double), y.data(), sizeof(double), nullptr, 0);
    if (transform && !OCTTransform(transform, n, x.data(), y.data(), nullptr))
        return;
    QVector<QPointF> part;
    part.reserve(n);
    for (int i = 0; i < n; ++i)
        part.append(QPointF(x[static_cast<size_t>(i)], y[static_cast<size_t>(i)]));
    feature.parts.push_back(std::move(part));
    if (feature.kind == GisFeature::Kind::None)
        feature.kind = type == wkbPoint ? GisFeature::Kind::Point : GisFeature::Kind::Line;
}

struct DatasetCloser {
    void operator()(void* ds) const { GDALClose(ds); }
};

} // namespace

Result<std::vector<GisLayer>> readGisFile(const QString& path)
{
    static std::once_flag registered;
    std::call_once(registered, [] { GDALAllRegister(); });
    const QByteArray native = QFile::encodeName(path);
    std::unique_ptr<void, DatasetCloser> ds(
        GDALOpenEx(native.constData(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr));
    if (!ds)
        return Error{QStringLiteral("%1: 読めません（%2）").arg(shown(path), QString::fromUtf8(CPLGetLastErrorMsg()))};

    OGRSpatialReferenceH wgs84 = OSRNewSpatialReference(nullptr);
    OSRImportFromEPSG(wgs84, 4326);
    OSRSetAxisMappingStrategy(wgs84, OAMS_TRADITIONAL_GIS_ORDER);
    std::vector<GisLayer> layers;
    const int layerCount = GDALDatasetGetLayerCount(ds.get());
    for (int l = 0; l < layerCount; ++l) {
        OGRLayerH layer = GDALDatasetGetLayer(ds.get(), l);
        GisLayer out;
        out.name = QString::fromUtf8(OGR_L_GetName(layer));
        OGRFeatureDefnH defn = OGR_L_GetLayerDefn(layer);
        const int fieldCount = OGR_FD_GetFieldCount(defn);
        for (int i = 0; i < fieldCount; ++i)
            out.fieldNames << QString::fromUtf8(OGR_Fld_GetNameRef(OGR_FD_GetFieldDefn(defn, i)));
        OGRCoordinateTransformationH transform = nullptr;
        if (OGRSpatialReferenceH srs = OGR_L_GetSpatialRef(layer); srs && !OSRIsGeographic(srs)) {
            OGRSpatialReferenceH source = OSRClone(srs);
            OSRSetAxisMappingStrategy(source, OAMS_TRADITIONAL_GIS_ORDER);
            transform = OCTNewCoordinateTransformation(source, wgs84);
            OSRDestroySpatialReference(source);
            if (!transform) {
                OSRDestroySpatialReference(wgs84);
                return Error{QStringLiteral("%1: 座標系を経緯度に変換できません").arg(shown(path))};
            }
        }
        OGR_L_ResetReading(layer);
        while (OGRFeatureH f = OGR_L_GetNextFeature(layer)) {
            GisFeature feature;
            for (int i = 0; i < fieldCount; ++i) {
                if (OGR_F_IsFieldSetAndNotNull(f, i))
                    feature.fields.insert(out.fieldNames.at(i), QByteArray(OGR_F_GetFieldAsString(f, i)));
            }
            if (OGRGeometryH g = OGR_F_GetGeometryRef(f))
                appendParts(g, transform, feature);
            out.features.push_back(std::move(feature));
            OGR_F_Destroy(f);
        }
        if (transform)
            OCTDestroyCoordinateTransformation(transform);
        layers.push_back(std::move(out));
    }
    OSRDestroySpatialReference(wgs84);
    return layers;
}

} // namespace miratos::platform
