#include "imports/topojson_reader.h"

#include "imports/topology_builder.h"

#include "platform/read_limits.h"
#include "platform/number_text.h"
#include "state/prefectures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace miratos::imports {
namespace {

struct Transform {
    bool quantized = false;
    double kx = 1, ky = 1, tx = 0, ty = 0;
};

// Everything one file's geometries add up to, plus what was left out for the summary messages.
struct Reading {
    QString path;
    qsizetype arcCount = 0;
    qint64 arcPoints = 0;      // points of all arcs as the file holds them
    qint64 expandedPoints = 0; // points the rings so far walk, arcs counted each time they are named
    BoundaryTopology topology;
    QHash<QString, int> municipalityOfCode;
    SkippedFeatures skipped;
};

Error fail(const QString& path, const QString& what)
{
    return Error{QDir::toNativeSeparators(path) + QStringLiteral(": ") + what};
}

bool isPair(const QJsonValue& v)
{
    const QJsonArray a = v.toArray();
    return v.isArray() && a.size() >= 2 && a.at(0).isDouble() && a.at(1).isDouble();
}

Result<Transform> readTransform(const QJsonObject& root, const QString& path)
{
    Transform t;
    if (!root.contains(QLatin1String("transform")))
        return t;
    const QJsonObject o = root.value(QLatin1String("transform")).toObject();
    const QJsonValue scale = o.value(QLatin1String("scale"));
    const QJsonValue translate = o.value(QLatin1String("translate"));
    if (!isPair(scale) || !isPair(translate))
        return fail(path, QStringLiteral("transform に scale と translate（数値 2 つずつ）がありません"));
    t.quantized = true;
    t.kx = scale.toArray().at(0).toDouble();
    t.ky = scale.toArray().at(1).toDouble();
    t.tx = translate.toArray().at(0).toDouble();
    t.ty = translate.toArray().at(1).toDouble();
    return t;
}

// Quantized arcs hold the first position as it is and each further one as the step from the
// one before; both are integers on the grid that the transform maps to degrees.
Status readArcs(const QJsonArray& arcs, const Transform& t, Reading& r)
{
    r.topology.lines.reserve(arcs.size());
    for (qsizetype i = 0; i < arcs.size(); ++i) {
        if (!arcs.at(i).isArray())
            return fail(r.path, QStringLiteral("弧 %1 が座標の配列ではありません").arg(i));
        const QJsonArray positions = arcs.at(i).toArray();
        TopoLine line;
        line.points.reserve(positions.size());
        double x = 0, y = 0;
        for (qsizetype k = 0; k < positions.size(); ++k) {
            if (!isPair(positions.at(k)))
                return fail(r.path, QStringLiteral("弧 %1 の %2 番目の座標が数値 2 つではありません").arg(i).arg(k + 1));
            const QJsonArray p = positions.at(k).toArray();
            QPointF point;
            if (t.quantized) {
                x += p.at(0).toDouble();
                y += p.at(1).toDouble();
                point = QPointF(x * t.kx + t.tx, y * t.ky + t.ty);
            } else {
                point = QPointF(p.at(0).toDouble(), p.at(1).toDouble());
            }
            // A number beyond the double range reads as infinite; drawn it would be a spike.
            if (!std::isfinite(point.x()) || !std::isfinite(point.y()))
                return fail(r.path, QStringLiteral("弧 %1 の %2 番目の座標が有限の数ではありません").arg(i).arg(k + 1));
            // A transform (or a position) that puts a point off the globe would stretch the map
            // to nothing; the GeoJSON reader holds points to the same bounds.
            if (std::abs(point.x()) > 360 || std::abs(point.y()) > 90)
                return fail(r.path, QStringLiteral("弧 %1 の %2 番目の座標（%3 %4）が地球の上にありません（transform の scale と translate を確かめてください）")
                                        .arg(i)
                                        .arg(k + 1)
                                        .arg(platform::formatDouble(point.x()), platform::formatDouble(point.y())));
            line.points.append(point);
        }
        r.topology.lines.append(std::move(line));
    }
    r.arcCount = arcs.size();
    for (const TopoLine& line : r.topology.lines)
        r.arcPoints += line.points.size();
    return {};
}

QString textProperty(const QJsonObject& properties, const char* name)
{
    const QJsonValue v = properties.value(QLatin1String(name));
    return v.isString() ? v.toString().trimmed() : QString();
}

// The code as five digits. Codes written as numbers have lost their leading zero (1101 for
// 01101). Empty when there is none; nothing when there is one that is not a municipality code.
std::optional<QString> municipalityCode(const QJsonObject& properties)
{
    const QJsonValue v = properties.value(QLatin1String("N03_007"));
    QString code;
    if (v.isString()) {
        code = v.toString().trimmed();
    } else if (v.isDouble()) {
        const double d = v.toDouble();
        if (d != std::floor(d) || d < 0 || d > 99999)
            return std::nullopt;
        code = QStringLiteral("%1").arg(qint64(d), 5, 10, QLatin1Char('0'));
    } else if (!v.isNull() && !v.isUndefined()) {
        return std::nullopt;
    }
    if (code.isEmpty())
        return code;
    if (code.size() != 5)
        return std::nullopt;
    for (QChar c : code) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    const int pref = code.left(2).toInt();
    if (pref < 1 || pref > state::kPrefectureCount)
        return std::nullopt;
    return code;
}

// Rings name arcs, and an arc named again and again costs its points each time once the rings
// are walked: a small file could ask for billions. Real boundaries walk each arc about twice.
qint64 expandedPointLimit(const Reading& r)
{
    return std::max<qint64>(10'000'000, 50 * r.arcPoints);
}

Result<TopoPolygon> readPolygon(const QJsonArray& rings, Reading& r, const QString& where)
{
    TopoPolygon polygon;
    for (const QJsonValue& ringValue : rings) {
        if (!ringValue.isArray())
            return fail(r.path, where + QStringLiteral(": 環が弧番号の配列ではありません"));
        TopoRing ring;
        for (const QJsonValue& v : ringValue.toArray()) {
            const double d = v.toDouble(0.5);
            if (!v.isDouble() || d != std::floor(d))
                return fail(r.path, where + QStringLiteral(": 弧番号が整数ではありません"));
            // ~i (that is -i-1) is arc i walked backwards.
            if (d >= double(r.arcCount) || d < -double(r.arcCount))
                return fail(r.path, where + QStringLiteral(": 弧番号 %1 が範囲外です（弧は %2 本）").arg(d, 0, 'f', 0).arg(r.arcCount));
            const qint64 index = qint64(d);
            const qint64 line = index >= 0 ? index : -index - 1;
            ring.append(TopoLineRef{int(line), index < 0});
            r.expandedPoints += r.topology.lines.at(line).points.size();
            if (r.expandedPoints > expandedPointLimit(r))
                return fail(r.path, where + QStringLiteral(": 環がたどる点が合わせて上限の %1 個を超えます（弧そのものの点は %2 個）").arg(expandedPointLimit(r)).arg(r.arcPoints));
        }
        polygon.rings.append(std::move(ring));
    }
    return polygon;
}

Status addMunicipalityPolygons(const QJsonObject& geometry, const QJsonArray& polygons, Reading& r, const QString& where)
{
    const QJsonObject properties = geometry.value(QLatin1String("properties")).toObject();
    const std::optional<QString> code = municipalityCode(properties);
    if (!code)
        return fail(r.path, where + QStringLiteral(": N03_007 が 5 桁の市区町村コードではありません"));
    if (code->isEmpty()) {
        r.skipped.addWithoutCode(textProperty(properties, "N03_004"));
        return {};
    }
    auto found = r.municipalityOfCode.constFind(*code);
    if (found == r.municipalityOfCode.constEnd()) {
        TopoMunicipality m;
        m.code = *code;
        m.prefCode = code->left(2).toInt();
        QString pref = textProperty(properties, "N03_001");
        m.nameParts << (pref.isEmpty() ? state::prefectureName(m.prefCode) : pref);
        for (const char* part : {"N03_003", "N03_004"}) {
            const QString text = textProperty(properties, part);
            if (!text.isEmpty())
                m.nameParts << text;
        }
        found = r.municipalityOfCode.insert(*code, int(r.topology.municipalities.size()));
        r.topology.municipalities.append(std::move(m));
    }
    TopoMunicipality& m = r.topology.municipalities[*found];
    const QString here = where + QStringLiteral("（%1）").arg(*code);
    for (const QJsonValue& p : polygons) {
        auto polygon = readPolygon(p.toArray(), r, here);
        if (!polygon)
            return Error{polygon.error()};
        if (!polygon->rings.isEmpty())
            m.polygons.append(std::move(*polygon));
    }
    return {};
}

Status readGeometry(const QJsonObject& geometry, Reading& r, const QString& where)
{
    const QJsonValue typeValue = geometry.value(QLatin1String("type"));
    if (typeValue.isNull() || typeValue.isUndefined())
        return {}; // a null geometry: a feature without shape
    const QString type = typeValue.toString();
    const QJsonValue arcs = geometry.value(QLatin1String("arcs"));
    if (type == QLatin1String("GeometryCollection")) {
        const QJsonArray members = geometry.value(QLatin1String("geometries")).toArray();
        for (qsizetype i = 0; i < members.size(); ++i) {
            const QString memberWhere = where + QStringLiteral("の %1 番目の図形").arg(i + 1);
            if (Status s = readGeometry(members.at(i).toObject(), r, memberWhere); !s)
                return s;
        }
        return {};
    }
    if (type == QLatin1String("Polygon") || type == QLatin1String("MultiPolygon")) {
        if (!arcs.isArray())
            return fail(r.path, where + QStringLiteral(": arcs がありません"));
        const QJsonArray polygons = type == QLatin1String("Polygon") ? QJsonArray{arcs} : arcs.toArray();
        return addMunicipalityPolygons(geometry, polygons, r, where);
    }
    r.skipped.addOtherType(type);
    return {};
}

} // namespace

Result<BoundaryTopology> readTopoJson(const QString& path, const ProgressFn& progress)
{
    if (!QFileInfo::exists(path))
        return fail(path, QStringLiteral("読めません: ") + QString::fromLocal8Bit(std::strerror(ENOENT)));
    const auto bytes = platform::readCheckedFile(path);
    if (!bytes)
        return Error{bytes.error()};
    platform::ReadingFile reading(path);
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(*bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return fail(path, QStringLiteral("JSON として読めません（%1 バイト目: %2）").arg(parseError.offset).arg(parseError.errorString()));
    const QJsonObject root = document.object();
    if (root.value(QLatin1String("type")).toString() != QLatin1String("Topology"))
        return fail(path, QStringLiteral("TopoJSON（type が Topology）ではありません"));
    if (!root.value(QLatin1String("arcs")).isArray() || !root.value(QLatin1String("objects")).isObject())
        return fail(path, QStringLiteral("arcs または objects がありません"));

    Reading r;
    r.path = path;
    const auto transform = readTransform(root, path);
    if (!transform)
        return Error{transform.error()};
    if (Status s = readArcs(root.value(QLatin1String("arcs")).toArray(), *transform, r); !s)
        return Error{s.error()};
    const QJsonObject objects = root.value(QLatin1String("objects")).toObject();
    for (auto it = objects.constBegin(); it != objects.constEnd(); ++it) {
        const QString where = QStringLiteral("オブジェクト「%1」").arg(it.key());
        if (Status s = readGeometry(it.value().toObject(), r, where); !s)
            return Error{s.error()};
    }
    r.skipped.report(path, progress);
    r.topology.skippedFeatures = r.skipped.count();
    return std::move(r.topology);
}

} // namespace miratos::imports
