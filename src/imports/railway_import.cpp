#include "imports/railway_import.h"

#include "imports/attribute_probe.h"
#include "imports/gis_encoding.h"

#include "platform/import_lock.h"
#include "platform/read_limits.h"
#include "platform/cp932.h"
#include "platform/number_text.h"
#include "platform/safe_write.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>

namespace miratos::imports {
namespace {

QString field(const platform::GisFeature& f, std::initializer_list<const char*> names, bool cp932)
{
    for (const char* name : names) {
        const auto it = f.fields.constFind(QLatin1String(name));
        if (it != f.fields.constEnd())
            return (cp932 ? platform::fromCp932(*it) : QString::fromUtf8(*it)).trimmed();
    }
    return {};
}

bool hasField(const platform::GisLayer& layer, const char* name)
{
    return layer.fieldNames.contains(QLatin1String(name));
}

// Operator names are compared without a bracketed suffix ("北海道旅客鉄道（旧国鉄）").
QString operatorKey(const QString& name)
{
    static const QRegularExpression suffix(QStringLiteral("[（(][^）)]*[）)]\\s*$"));
    return QString(name).remove(suffix).trimmed();
}

// "lat lon lat lon …" of a part (x = longitude).
QString coordsOf(const QVector<QPointF>& part)
{
    QString text;
    text.reserve(part.size() * 24);
    for (const QPointF& p : part) {
        if (!text.isEmpty())
            text += QLatin1Char(' ');
        text += platform::formatDouble(p.y());
        text += QLatin1Char(' ');
        text += platform::formatDouble(p.x());
    }
    return text;
}

// A station has a name; the sections of a layer that mixes both have none.
bool isStation(const platform::GisFeature& f)
{
    return f.fields.contains(QStringLiteral("N02_005"));
}

// Stations drawn as short lines (N02), stations as points (the time-series form), sections.
enum class LayerKind { Stations, StationPoints, Sections, Other };

LayerKind kindOf(const platform::GisLayer& layer)
{
    if (hasField(layer, "N02_005"))
        return LayerKind::Stations;
    // Checked before the sections: a station point also names its line.
    if (hasField(layer, "N05_011") || hasField(layer, "stationName"))
        return LayerKind::StationPoints;
    if (hasField(layer, "N02_003") || hasField(layer, "N05_002") || hasField(layer, "lineName"))
        return LayerKind::Sections;
    return LayerKind::Other;
}

// An import that brings only sections, or only stations, keeps the other half of the set already
// in the folder: lines and stations are published as separate downloads.
void keepMissingHalf(const QString& railwayFolder, RailwayImport& import)
{
    store::RailwayTables& t = import.tables;
    if (!t.sections.empty() && !t.stations.empty())
        return;
    store::RailwayRead old = store::readRailwayFiles(railwayFolder);
    if (!old.present)
        return;
    for (const QString& problem : old.problems)
        import.report.notes << QStringLiteral("今ある鉄道ファイル: ") + problem;
    if (t.sections.empty()) {
        t.sections = std::move(old.tables.sections);
        t.railCurves = std::move(old.tables.railCurves);
        if (!t.sections.empty())
            import.report.notes << QStringLiteral("鉄道区間がないため、今ある鉄道区間 %1 件を残しました").arg(t.sections.size());
    } else {
        t.stations = std::move(old.tables.stations);
        t.stationCurves = std::move(old.tables.stationCurves);
        if (!t.stations.empty())
            import.report.notes << QStringLiteral("駅がないため、今ある駅 %1 件を残しました").arg(t.stations.size());
    }
}

// Text from the data made writable: a line break becomes a space (it would split the record of
// the file), a character CP932 cannot hold becomes "〓"; each kind is noted once, for its first.
struct TextCleaner {
    int breaks = 0;
    QString firstBreak;
    qsizetype marks = 0;
    QString firstMark;

    // record names the record by the value with its line breaks already made spaces (so that the
    // note stays one line) and its characters still as the data has them.
    QString operator()(QString value, const std::function<QString(const QString&)>& record)
    {
        const bool broken = value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n'));
        value.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        if (broken && breaks++ == 0)
            firstBreak = record(value);
        qsizetype n = 0;
        const QString marked = platform::withCp932Marks(value, &n);
        if (n > 0 && marks == 0)
            firstMark = record(value);
        marks += n;
        return marked;
    }

    void addNotes(QStringList& notes) const
    {
        if (breaks > 0)
            notes << QStringLiteral("改行を含む名前が %1 件あり、改行を空白にしました（最初は %2）").arg(breaks).arg(firstBreak);
        if (marks > 0)
            notes << platform::cp932MarksNote(firstMark, marks);
    }
};

} // namespace

std::vector<QVector<QPointF>> splitRailCurve(const QVector<QPointF>& line)
{
    std::vector<QVector<QPointF>> pieces;
    if (line.size() < 2)
        return pieces;
    for (qsizetype start = 0; start + 1 < line.size(); start += kRailCurvePoints - 1)
        pieces.push_back(line.mid(start, std::min<qsizetype>(kRailCurvePoints, line.size() - start)));
    return pieces;
}

RailwayFileKind railwayFileKind(const QString& path)
{
    const QByteArray probe = attributeProbe(path, 256 * 1024, true);
    const auto any = [&probe](std::initializer_list<const char*> markers) {
        return std::any_of(markers.begin(), markers.end(), [&probe](const char* m) { return probe.contains(m); });
    };
    if (!any({"N02_00", "N05_00", "\"lineName\""}))
        return RailwayFileKind::None;
    // A station file names its line too.
    return any({"N02_005", "N05_011", "\"stationName\""}) ? RailwayFileKind::Stations : RailwayFileKind::Lines;
}

bool isRailwayDataset(const QString& path)
{
    return railwayFileKind(path) != RailwayFileKind::None;
}

void RailClassRule::addStation(const QString& line, const QString& operatorName, const QString& railClass)
{
    if (!railClass.isEmpty())
        ++m_counts[line + QLatin1Char('\t') + operatorKey(operatorName)][railClass];
}

QString RailClassRule::classOf(const QString& line, const QString& operatorName, const QString& operatorType,
                               bool* fromStations) const
{
    const auto it = m_counts.constFind(line + QLatin1Char('\t') + operatorKey(operatorName));
    if (it != m_counts.constEnd()) {
        QString best;
        int most = 0;
        for (auto c = it->constBegin(); c != it->constEnd(); ++c) {
            if (c.value() > most || (c.value() == most && c.key() < best)) {
                best = c.key();
                most = c.value();
            }
        }
        *fromStations = true;
        return best;
    }
    *fromStations = false;
    const auto type = platform::toNumber(operatorType);
    return type && (*type == 1 || *type == 2) ? QStringLiteral("11") : QStringLiteral("12");
}

Result<RailwayImport> buildRailwayImport(const std::vector<std::vector<platform::GisLayer>>& files)
{
    RailwayImport result;
    auto& t = result.tables;
    auto& report = result.report;
    RailClassRule rule;
    TextCleaner clean;
    int stationNo = 0;
    for (const auto& layers : files) {
        for (const platform::GisLayer& layer : layers) {
            const LayerKind kind = kindOf(layer);
            if (kind != LayerKind::Stations && kind != LayerKind::StationPoints)
                continue;
            const bool points = kind == LayerKind::StationPoints;
            const bool cp932 = gisLayerIsCp932(layer);
            int featureNo = 0;
            for (const platform::GisFeature& f : layer.features) {
                ++featureNo;
                if (!points && !isStation(f))
                    continue;
                const QString read = points ? field(f, {"stationName", "N05_011"}, cp932) : field(f, {"N02_005"}, cp932);
                const QString name = clean(read, [&](const QString& shown) {
                    return QStringLiteral("%1: %2 番目の駅「%3」").arg(layer.name).arg(featureNo).arg(shown);
                });
                if (!points)
                    rule.addStation(field(f, {"N02_003"}, cp932), field(f, {"N02_004"}, cp932), field(f, {"N02_001"}, cp932));
                for (const QVector<QPointF>& part : f.parts) {
                    if (part.isEmpty())
                        continue;
                    ++stationNo;
                    const QString n = QString::number(stationNo);
                    const QString curve = QStringLiteral("cv_st") + n;
                    t.stations.push_back({QStringLiteral("EB03_") + n, curve, name});
                    // A curve has two points at least: a station point is written twice.
                    t.stationCurves.push_back({curve, coordsOf(part.size() == 1 ? QVector<QPointF>{part[0], part[0]} : part)});
                }
            }
        }
    }
    int sectionNo = 0;
    for (const auto& layers : files) {
        for (const platform::GisLayer& layer : layers) {
            const LayerKind kind = kindOf(layer);
            if (kind == LayerKind::StationPoints)
                continue;
            if (kind == LayerKind::Other) {
                report.notes << QStringLiteral("%1: 鉄道のデータではありません").arg(layer.name);
                continue;
            }
            const bool cp932 = gisLayerIsCp932(layer);
            int featureNo = 0;
            for (const platform::GisFeature& f : layer.features) {
                ++featureNo;
                if (isStation(f))
                    continue;
                const QString lineRead = field(f, {"N02_003", "N05_002", "lineName"}, cp932);
                const QString lineShown = QString(lineRead).replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
                const auto record = [&](const QString&) {
                    return QStringLiteral("%1: %2 番目の鉄道区間「%3」").arg(layer.name).arg(featureNo).arg(lineShown);
                };
                const QString line = clean(lineRead, record);
                const QString operatorName = field(f, {"N02_004", "N05_003", "company"}, cp932);
                const QString operatorType = clean(field(f, {"N02_002", "N05_001", "type"}, cp932), record);
                QString railClass = clean(field(f, {"N02_001"}, cp932), record);
                bool fromStations = false;
                const bool classless = railClass.isEmpty();
                if (classless)
                    railClass = rule.classOf(lineRead, operatorName, operatorType, &fromStations);
                for (const QVector<QPointF>& part : f.parts) {
                    for (const QVector<QPointF>& piece : splitRailCurve(part)) {
                        ++sectionNo;
                        const QString n = QString::number(sectionNo);
                        const QString curve = QStringLiteral("cv_rr") + n;
                        t.sections.push_back({QStringLiteral("EB02_") + n, curve, railClass, operatorType, line, QString()});
                        t.railCurves.push_back({curve, coordsOf(piece)});
                        if (classless)
                            ++(fromStations ? report.classFromStations : report.classFromOperator);
                    }
                }
            }
        }
    }
    clean.addNotes(report.notes);
    report.sections = static_cast<int>(t.sections.size());
    report.stations = static_cast<int>(t.stations.size());
    if (t.sections.empty() && t.stations.empty())
        return Error{QStringLiteral("取り込める鉄道区間も駅も 1 つもありません")};
    return result;
}

Result<RailwayImportReport> importRailways(const QStringList& files, const QString& railwayFolder,
                                           const std::function<void(const QString&)>& progress)
{
    platform::ImportLock lock; // one import or conversion at a time in an app folder
    if (Status locked = lock.acquire(); !locked)
        return Error{locked.error()};
    auto layersRead = platform::readGisFiles(files, progress);
    if (!layersRead)
        return Error{layersRead.error()};
    const std::vector<std::vector<platform::GisLayer>>& read = *layersRead;
    auto built = buildRailwayImport(read);
    if (!built)
        return Error{built.error()};
    keepMissingHalf(railwayFolder, *built);
    auto bytes = store::encodeRailwayFiles(built->tables);
    if (!bytes)
        return Error{bytes.error()};
    if (Status s = platform::makeFolder(railwayFolder); !s)
        return Error{s.error()};
    if (Status s = store::writeRailwayFiles(railwayFolder, *bytes); !s)
        return Error{s.error()};
    return built->report;
}

} // namespace miratos::imports
