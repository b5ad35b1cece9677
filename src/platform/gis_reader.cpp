#include "platform/gis_reader.h"

#include <QDir>
#include <QFile>
#include <gdal.h>
#include <gdal_utils.h>
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

// GDAL's reason for the last failure; opening a file of no known format leaves none.
QString lastGdalError()
{
    const QString message = QString::fromUtf8(CPLGetLastErrorMsg()).trimmed();
    return message.isEmpty() ? QStringLiteral("形式が分からないか、壊れています") : message;
}

void appendParts(OGRGeometryH g, OGRCoordinateTransformationH transform, GisFeature& feature)
{
    const OGRwkbGeometryType type = wkbFlatten(OGR_G_GetGeometryType(g));
    const int children = OGR_G_GetGeometryCount(g);
    if (type == wkbPolygon || type == wkbMultiLineString || type == wkbMultiPolygon || type == wkbMultiPoint
        || type == wkbGeometryCollection) {
        if (type == wkbPolygon) {
            const size_t first = feature.parts.size();
            for (int i = 0; i < children; ++i)
                appendParts(OGR_G_GetGeometryRef(g, i), transform, feature);
            if (feature.parts.size() > first)
                feature.polygons.emplace_back(feature.parts.begin() + static_cast<std::ptrdiff_t>(first), feature.parts.end());
        } else {
            for (int i = 0; i < children; ++i)
                appendParts(OGR_G_GetGeometryRef(g, i), transform, feature);
        }
        if (type == wkbPolygon || type == wkbMultiPolygon)
            feature.kind = GisFeature::Kind::Polygon;
        return;
    }
    // Curved geometries (GML arcs) come as straight segments.
    if (type == wkbCircularString || type == wkbCompoundCurve || type == wkbCurvePolygon || type == wkbMultiSurface
        || type == wkbMultiCurve) {
        OGRGeometryH linear = OGR_G_GetLinearGeometry(g, 0, nullptr);
        if (linear) {
            appendParts(linear, transform, feature);
            OGR_G_DestroyGeometry(linear);
        }
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

// GDAL's own warnings (an unclosed ring it accepts) stay off the console; failures are reported
// through the returned errors, which take CPLGetLastErrorMsg.
struct QuietGdal {
    QuietGdal() { CPLPushErrorHandler(CPLQuietErrorHandler); }
    ~QuietGdal() { CPLPopErrorHandler(); }
};

Status forEachGisFeature(const QString& path, const GisFeatureVisitor& visit)
{
    static std::once_flag registered;
    std::call_once(registered, [] { GDALAllRegister(); });
    const QuietGdal quiet;
    CPLErrorReset();
    const QByteArray native = QFile::encodeName(path);
    std::unique_ptr<void, DatasetCloser> ds(
        GDALOpenEx(native.constData(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr));
    if (!ds)
        return Error{QStringLiteral("%1: 読めません（%2）").arg(shown(path), lastGdalError())};

    std::unique_ptr<void, void (*)(OGRSpatialReferenceH)> wgs84(OSRNewSpatialReference(nullptr), OSRDestroySpatialReference);
    OSRImportFromEPSG(wgs84.get(), 4326);
    OSRSetAxisMappingStrategy(wgs84.get(), OAMS_TRADITIONAL_GIS_ORDER);
    const int layerCount = GDALDatasetGetLayerCount(ds.get());
    for (int l = 0; l < layerCount; ++l) {
        OGRLayerH layer = GDALDatasetGetLayer(ds.get(), l);
        GisLayer info;
        info.name = QString::fromUtf8(OGR_L_GetName(layer));
        OGRFeatureDefnH defn = OGR_L_GetLayerDefn(layer);
        const int fieldCount = OGR_FD_GetFieldCount(defn);
        for (int i = 0; i < fieldCount; ++i)
            info.fieldNames << QString::fromUtf8(OGR_Fld_GetNameRef(OGR_FD_GetFieldDefn(defn, i)));
        std::unique_ptr<void, void (*)(OGRCoordinateTransformationH)> transform(nullptr, OCTDestroyCoordinateTransformation);
        if (OGRSpatialReferenceH srs = OGR_L_GetSpatialRef(layer); srs && !OSRIsGeographic(srs)) {
            OGRSpatialReferenceH source = OSRClone(srs);
            OSRSetAxisMappingStrategy(source, OAMS_TRADITIONAL_GIS_ORDER);
            transform.reset(OCTNewCoordinateTransformation(source, wgs84.get()));
            OSRDestroySpatialReference(source);
            if (!transform)
                return Error{QStringLiteral("%1: 座標系を経緯度に変換できません").arg(shown(path))};
        }
        OGR_L_ResetReading(layer);
        while (OGRFeatureH f = OGR_L_GetNextFeature(layer)) {
            GisFeature feature;
            for (int i = 0; i < fieldCount; ++i) {
                if (OGR_F_IsFieldSetAndNotNull(f, i))
                    feature.fields.insert(info.fieldNames.at(i), QByteArray(OGR_F_GetFieldAsString(f, i)));
            }
            if (OGRGeometryH g = OGR_F_GetGeometryRef(f)) {
                feature.geometryName = QString::fromUtf8(OGRGeometryTypeToName(wkbFlatten(OGR_G_GetGeometryType(g)))).remove(QLatin1Char(' '));
                appendParts(g, static_cast<OGRCoordinateTransformationH>(transform.get()), feature);
            }
            OGR_F_Destroy(f);
            if (Status s = visit(info, std::move(feature)); !s)
                return s;
        }
    }
    return {};
}

Result<std::vector<GisLayer>> readGisFile(const QString& path)
{
    std::vector<GisLayer> layers;
    Status read = forEachGisFeature(path, [&layers](const GisLayer& layer, GisFeature&& feature) -> Status {
        if (layers.empty() || layers.back().name != layer.name || layers.back().fieldNames != layer.fieldNames) {
            GisLayer out;
            out.name = layer.name;
            out.fieldNames = layer.fieldNames;
            layers.push_back(std::move(out));
        }
        layers.back().features.push_back(std::move(feature));
        return {};
    });
    if (!read)
        return Error{read.error()};
    return layers;
}

Status translateGisFile(const QString& source, const QString& target, const QString& format, const QStringList& options)
{
    static std::once_flag registered;
    std::call_once(registered, [] { GDALAllRegister(); });
    std::unique_ptr<void, DatasetCloser> src(
        GDALOpenEx(QFile::encodeName(source).constData(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr));
    if (!src)
        return Error{QStringLiteral("%1: 読めません（%2）").arg(shown(source), QString::fromUtf8(CPLGetLastErrorMsg()))};
    std::vector<QByteArray> args{QByteArray("-f"), format.toUtf8()};
    for (const QString& option : options)
        args.push_back(option.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    GDALVectorTranslateOptions* opts = GDALVectorTranslateOptionsNew(argv.data(), nullptr);
    if (!opts)
        return Error{QStringLiteral("変換の指定が正しくありません（%1）").arg(QString::fromUtf8(CPLGetLastErrorMsg()))};
    GDALDatasetH in = src.get();
    int usageError = 0;
    GDALDatasetH out = GDALVectorTranslate(QFile::encodeName(target).constData(), nullptr, 1, &in, opts, &usageError);
    GDALVectorTranslateOptionsFree(opts);
    if (!out)
        return Error{QStringLiteral("%1: 書けません（%2）").arg(shown(target), QString::fromUtf8(CPLGetLastErrorMsg()))};
    GDALClose(out);
    return {};
}

Result<std::vector<std::vector<GisLayer>>> readGisFiles(const QStringList& paths, const std::function<void(const QString&)>& progress)
{
    std::vector<std::vector<GisLayer>> read;
    for (const QString& path : paths) {
        auto layers = readGisFile(path);
        if (!layers)
            return Error{layers.error()};
        if (progress) {
            size_t features = 0;
            for (const auto& layer : *layers)
                features += layer.features.size();
            progress(QStringLiteral("%1: %2 件の地物を読みました").arg(QDir::toNativeSeparators(path)).arg(features));
        }
        read.push_back(std::move(*layers));
    }
    return read;
}

} // namespace miratos::platform
