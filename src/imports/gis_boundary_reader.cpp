#include "imports/gis_boundary_reader.h"

#include "imports/topology_builder.h"
#include "platform/cp932.h"
#include "platform/gis_reader.h"
#include "state/prefectures.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

namespace miratos::imports {
namespace {

// The names of a municipality as the file stores them, decoded once the file's text encoding is
// known.
struct RawNames {
    QByteArray prefecture, county, town;
};

bool isUtf8(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return !utf8.hasError();
}

QByteArray fieldOf(const platform::GisFeature& f, const char* name)
{
    return f.fields.value(QLatin1String(name)).trimmed();
}

// Five digits with a valid prefecture code; empty for no code; nothing for anything else.
std::optional<QString> codeOf(const QByteArray& raw)
{
    QString code = QString::fromLatin1(raw).trimmed();
    if (code.isEmpty())
        return code;
    for (QChar c : code) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    if (code.size() == 4)
        code.prepend(QLatin1Char('0'));
    if (code.size() != 5)
        return std::nullopt;
    const int pref = code.left(2).toInt();
    if (pref < 1 || pref > state::kPrefectureCount)
        return std::nullopt;
    return code;
}

QString decoded(const QByteArray& bytes, bool cp932)
{
    return (cp932 ? platform::fromCp932(bytes) : QString::fromUtf8(bytes)).trimmed();
}

} // namespace

bool isGisBoundaryFile(const QString& path)
{
    static const QStringList kSuffixes{QStringLiteral("shp"), QStringLiteral("geojson"), QStringLiteral("json"),
                                       QStringLiteral("gml"), QStringLiteral("xml"), QStringLiteral("gpkg")};
    return kSuffixes.contains(QFileInfo(path).suffix().toLower());
}

Result<BoundaryTopology> readGisBoundaries(const QString& path, const GisBoundaryOptions& options, const ProgressFn& progress)
{
    TopologyBuilder builder(options.snapTolerance);
    QHash<QString, int> municipalityOfCode;
    std::vector<RawNames> names;
    SkippedFeatures skipped;
    std::vector<QByteArray> namesWithoutCode;
    bool cp932 = false;
    qint64 featureNo = 0;
    const QString shown = QDir::toNativeSeparators(path);

    const Status read = platform::forEachGisFeature(path, [&](const platform::GisLayer&, platform::GisFeature&& f) -> Status {
        ++featureNo;
        for (const QByteArray& value : f.fields) {
            if (!cp932 && !isUtf8(value))
                cp932 = true;
        }
        if (f.kind == platform::GisFeature::Kind::None)
            return {}; // a feature without shape
        if (f.kind != platform::GisFeature::Kind::Polygon) {
            skipped.addOtherType(f.geometryName);
            return {};
        }
        const QByteArray rawCode = fieldOf(f, "N03_007");
        const std::optional<QString> code = codeOf(rawCode);
        if (!code) {
            return Error{QStringLiteral("%1: 地物 %2: N03_007「%3」が 5 桁の市区町村コードではありません")
                             .arg(shown)
                             .arg(featureNo)
                             .arg(QString::fromUtf8(rawCode))};
        }
        if (code->isEmpty()) {
            namesWithoutCode.push_back(fieldOf(f, "N03_004"));
            for (const auto& polygon : f.polygons)
                builder.addPolygon(-1, polygon);
            return {};
        }
        auto found = municipalityOfCode.constFind(*code);
        if (found == municipalityOfCode.constEnd()) {
            TopoMunicipality m;
            m.code = *code;
            m.prefCode = code->left(2).toInt();
            found = municipalityOfCode.insert(*code, builder.addMunicipality(std::move(m)));
            names.push_back({fieldOf(f, "N03_001"), fieldOf(f, "N03_003"), fieldOf(f, "N03_004")});
        }
        for (const auto& polygon : f.polygons)
            builder.addPolygon(*found, polygon);
        return {};
    });
    if (!read)
        return Error{read.error()};

    for (int i = 0; i < builder.municipalityCount(); ++i) {
        TopoMunicipality& m = builder.municipality(i);
        const RawNames& raw = names[std::size_t(i)];
        const QString pref = decoded(raw.prefecture, cp932);
        m.nameParts << (pref.isEmpty() ? state::prefectureName(m.prefCode) : pref);
        for (const QByteArray* part : {&raw.county, &raw.town}) {
            const QString text = decoded(*part, cp932);
            if (!text.isEmpty())
                m.nameParts << text;
        }
    }
    for (const QByteArray& name : namesWithoutCode)
        skipped.addWithoutCode(decoded(name, cp932));

    TopologyCounts counts;
    BoundaryTopology topology = builder.finish(&counts);
    topology.skippedFeatures = skipped.count();
    skipped.report(path, progress);
    if (progress && counts.droppedRings > 0)
        progress(QStringLiteral("%1: 点が 3 つに満たない環 %2 個を省きました").arg(shown).arg(counts.droppedRings));
    if (progress && counts.snappedPoints > 0)
        progress(QStringLiteral("%1: 許容差内の点 %2 個を隣の境界に合わせました").arg(shown).arg(counts.snappedPoints));
    return topology;
}

} // namespace miratos::imports
