#include "platform/gis_reader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cpl_conv.h>
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

// Every way to the network is shut while the program starts, before any GDAL call (the .xlsx
// reader's /vsizip/ too): /vsicurl/ and the cloud file systems built on it accept no name, and
// GML never fetches a schema or resolves a link.
const bool kNetworkClosed = [] {
    CPLSetConfigOption("CPL_VSIL_CURL_ALLOWED_FILENAME", "/nonexistent/no-network");
    CPLSetConfigOption("GML_DOWNLOAD_WFS_SCHEMA", "NO");
    CPLSetConfigOption("GML_SKIP_RESOLVE_ELEMS", "ALL");
    return true;
}();

void registerGdal()
{
    static std::once_flag registered;
    std::call_once(registered, [] { GDALAllRegister(); });
}

using Dataset = std::unique_ptr<void, DatasetCloser>;

// Opens a user's file read-only, and only as one of the allowed formats. A name GDAL would take
// as a virtual file system (/vsi…) or anything but a regular file is refused before GDAL sees it.
// GML is opened so that it writes no .gfs beside the user's download.
Result<Dataset> openUserFile(const QString& path)
{
    registerGdal();
    const QFileInfo info(path);
    const QString absolute = info.absoluteFilePath();
    if (absolute.startsWith(QLatin1String("/vsi")) || path.startsWith(QLatin1String("/vsi")))
        return Error{QStringLiteral("%1: このような名前のファイルは読みません").arg(shown(path))};
    if (!info.exists())
        return Error{QStringLiteral("%1: 読めません（ファイルがありません）").arg(shown(path))};
    if (!info.isFile())
        return Error{QStringLiteral("%1: 読めません（ファイルではありません）").arg(shown(path))};
    const QByteArray native = QFile::encodeName(absolute);
    std::vector<QByteArray> names;
    for (const QString& d : allowedGisDrivers())
        names.push_back(d.toLatin1());
    std::vector<const char*> allowed;
    for (const QByteArray& n : names)
        allowed.push_back(n.constData());
    allowed.push_back(nullptr);
    GDALDriverH driver = GDALIdentifyDriverEx(native.constData(), GDAL_OF_VECTOR, allowed.data(), nullptr);
    if (!driver) {
        if (GDALDriverH other = GDALIdentifyDriverEx(native.constData(), GDAL_OF_VECTOR, nullptr, nullptr))
            return Error{QStringLiteral("%1: %2 形式のファイルは読みません（読めるのは GeoJSON, TopoJSON, Shapefile, GML, GeoPackage）")
                             .arg(shown(path), QString::fromUtf8(GDALGetDriverShortName(other)))};
    }
    const bool gml = driver && qstrcmp(GDALGetDriverShortName(driver), "GML") == 0;
    const char* const gmlOptions[] = {"WRITE_GFS=NO", "DOWNLOAD_SCHEMA=NO", nullptr};
    CPLErrorReset();
    Dataset ds(GDALOpenEx(native.constData(), GDAL_OF_VECTOR | GDAL_OF_READONLY, allowed.data(), gml ? gmlOptions : nullptr, nullptr));
    if (!ds)
        return Error{QStringLiteral("%1: 読めません（%2）").arg(shown(path), lastGdalError())};
    return ds;
}

// The first layer of a GeoPackage that is an SQL view, or empty. A view runs a query of the
// file's own making, which may never return its next row (a recursive query): neither the
// feature cap nor a cancel can stop it inside SQLite, so views are not read.
QString firstView(GDALDatasetH ds)
{
    if (qstrcmp(GDALGetDriverShortName(GDALGetDatasetDriver(ds)), "GPKG") != 0)
        return {};
    OGRLayerH views = GDALDatasetExecuteSQL(ds, "SELECT name FROM sqlite_master WHERE type = 'view'", nullptr, nullptr);
    if (!views)
        return {};
    QStringList names;
    while (OGRFeatureH f = OGR_L_GetNextFeature(views)) {
        names << QString::fromUtf8(OGR_F_GetFieldAsString(f, 0));
        OGR_F_Destroy(f);
    }
    GDALDatasetReleaseResultSet(ds, views);
    for (int l = 0; l < GDALDatasetGetLayerCount(ds); ++l) {
        const QString name = QString::fromUtf8(OGR_L_GetName(GDALDatasetGetLayer(ds, l)));
        if (names.contains(name))
            return name;
    }
    return {};
}

} // namespace

const QStringList& allowedGisDrivers()
{
    static const QStringList drivers{QStringLiteral("GeoJSON"), QStringLiteral("TopoJSON"), QStringLiteral("ESRI Shapefile"),
                                     QStringLiteral("GML"), QStringLiteral("GPKG")};
    return drivers;
}

// GDAL's own warnings (an unclosed ring it accepts) stay off the console; failures are reported
// through the returned errors, which take CPLGetLastErrorMsg.
struct QuietGdal {
    QuietGdal() { CPLPushErrorHandler(CPLQuietErrorHandler); }
    ~QuietGdal() { CPLPopErrorHandler(); }
};

Status forEachGisFeature(const QString& path, const GisFeatureVisitor& visit, const GisReadLimits& limits)
{
    const QuietGdal quiet;
    auto opened = openUserFile(path);
    if (!opened)
        return Error{opened.error()};
    const Dataset ds = std::move(*opened);
    if (const QString view = firstView(ds.get()); !view.isEmpty())
        return Error{QStringLiteral("%1: レイヤー「%2」はビュー（問い合わせ）のため読みません").arg(shown(path), view)};
    qint64 featuresRead = 0;

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
            if (++featuresRead > limits.maxFeatures) {
                OGR_F_Destroy(f);
                return Error{QStringLiteral("%1: 地物が多すぎます（%2 件まで読めます）").arg(shown(path)).arg(limits.maxFeatures)};
            }
            if (limits.cancelled && limits.cancelled()) {
                OGR_F_Destroy(f);
                return Error{QStringLiteral("%1: 読み込みを取り消しました").arg(shown(path))};
            }
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

Result<std::vector<GisLayer>> readGisFile(const QString& path, const GisReadLimits& limits)
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
    }, limits);
    if (!read)
        return Error{read.error()};
    return layers;
}

Status translateGisFile(const QString& source, const QString& target, const QString& format, const QStringList& options)
{
    registerGdal();
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

Result<std::vector<std::vector<GisLayer>>> readGisFiles(const QStringList& paths, const std::function<void(const QString&)>& progress,
                                                        const GisReadLimits& limits)
{
    std::vector<std::vector<GisLayer>> read;
    for (const QString& path : paths) {
        auto layers = readGisFile(path, limits);
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
