#include "imports/import_inputs.h"

#include "imports/attribute_probe.h"
#include "imports/census_results.h"
#include "imports/facility_import.h"
#include "imports/gis_boundary_reader.h"
#include "imports/maps_reader.h"
#include "imports/railway_import.h"
#include "imports/small_area_import.h"
#include "imports/topojson_reader.h"
#include "platform/cp932.h"
#include "platform/read_limits.h"
#include "platform/text_file.h"
#include "state/prefectures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtEndian>
#include <algorithm>

namespace miratos::imports {
namespace {

QString shownPath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Counting features means scanning the text of a file; beyond this size the row shows no count.
constexpr qint64 kCountedBytes = 256LL * 1024 * 1024;

QByteArray wholeOf(const QString& path)
{
    const auto bytes = platform::readCheckedFile(path, kCountedBytes);
    return bytes ? *bytes : QByteArray();
}

// The four-digit year of a national land information file name: N03-21_13_210101 and
// N03-20240101_13 are 2021 and 2024, N05-16 2016, P02-06 2006.
QString landInfoYear(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Z]\\d\\d-(\\d\\d)(\\d\\d\\d\\d\\d\\d)?(?=[_.-])"));
    const auto m = pattern.match(name);
    if (!m.hasMatch())
        return {};
    return m.captured(2).isEmpty() ? QStringLiteral("20") + m.captured(1) : m.captured(1) + m.captured(2).left(2);
}

// The prefecture a file name names with "_13" (N03, P02) or "C13" (e-Stat tables).
QString prefectureOfName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("(?:_|C)(\\d\\d)(?=[_.-])"));
    const auto m = pattern.match(name);
    const int code = m.hasMatch() ? m.captured(1).toInt() : 0;
    return code >= 1 && code <= 47 ? state::prefectureName(code) : QString();
}

bool isTopoJsonText(const QByteArray& head)
{
    static const QRegularExpression topology(QStringLiteral(R"("type"\s*:\s*"Topology")"));
    return topology.match(QString::fromUtf8(head)).hasMatch();
}

// A Shapefile's record count and first record, from its .dbf: a 32-byte header (count at 4,
// header length at 8, record length at 10), 32-byte field descriptors, then the records.
struct DbfPeek {
    qint64 records = -1;
    QHash<QByteArray, QByteArray> first;
};

DbfPeek peekDbf(const QString& shp)
{
    const QByteArray head = attributeProbe(shp, 64 * 1024);
    DbfPeek peek;
    if (head.size() < 32)
        return peek;
    const auto* bytes = reinterpret_cast<const uchar*>(head.constData());
    peek.records = qFromLittleEndian<quint32>(bytes + 4);
    const int headerLength = qFromLittleEndian<quint16>(bytes + 8);
    int offset = 1; // the deletion flag
    for (qsizetype at = 32; at + 32 <= head.size() && head.at(at) != '\r'; at += 32) {
        const QByteArray name = QByteArray(head.constData() + at, 11).split('\0').first();
        const int length = static_cast<uchar>(head.at(at + 16));
        if (headerLength + offset + length <= head.size())
            peek.first.insert(name, head.mid(headerLength + offset, length).trimmed());
        offset += length;
    }
    return peek;
}

QString dbfText(const DbfPeek& peek, const char* field)
{
    return platform::fromCp932(peek.first.value(field)).remove(QLatin1Char(' ')).remove(QChar(0x3000));
}

void describeSmallAreaBoundary(ImportInput& input)
{
    const int year = smallAreaYearOfFileName(input.path);
    if (year > 0)
        input.year = QString::number(1988 + year);
    else
        input.problems << QStringLiteral("ファイル名から調査年が分かりません（h27ka… や r2ka… の名前で取り込みます）");
    const DbfPeek peek = peekDbf(input.path);
    input.count = peek.records;
    input.countUnit = QStringLiteral("地物");
    const QString prefecture = dbfText(peek, "KEN_NAME");
    // A file of one municipality is named by its five-digit code; a prefecture's by two digits.
    static const QRegularExpression oneCity(QStringLiteral("ka\\d{5}\\.shp$"), QRegularExpression::CaseInsensitiveOption);
    QString city = dbfText(peek, "CSS_NAME");
    if (city.isEmpty())
        city = dbfText(peek, "GST_NAME");
    input.places = oneCity.match(input.path).hasMatch() && !city.isEmpty() ? prefecture + QStringLiteral(" ") + city : prefecture;
}

QStringList csvFieldsOf(const QString& line)
{
    QStringList fields = line.split(QLatin1Char(','));
    for (QString& f : fields)
        f = f.trimmed().remove(QLatin1Char('"'));
    return fields;
}

void describeTable(ImportInput& input, QStringList lines)
{
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    input.countUnit = QStringLiteral("行");
    if (input.kind == InputKind::CensusResults) {
        input.year = QStringLiteral("2020");
        input.places = QStringLiteral("全国");
    } else if (input.kind == InputKind::PrefectureSeries) {
        input.year = QStringLiteral("1920〜2015");
        input.places = QStringLiteral("47 都道府県");
    }
    if (lines.isEmpty())
        return;
    qint64 headerLines = 1;
    if (input.kind == InputKind::SmallAreaTable) {
        if (lines.size() > 1 && lines.at(1).startsWith(QLatin1Char(',')))
            headerLines = 2; // today's edition: titles under the column codes
        const QStringList head = csvFieldsOf(lines.first());
        const qsizetype cityName = head.indexOf(QStringLiteral("CITYNAME"));
        if (lines.size() > headerLines && cityName >= 0) {
            const QString city = csvFieldsOf(lines.at(headerLines)).value(cityName);
            const QString pref = prefectureOfName(QFileInfo(input.path).fileName());
            input.places = pref.isEmpty() ? city : pref + (city.isEmpty() || city == pref ? QString() : QStringLiteral(" ") + city);
        }
        if (input.places.isEmpty())
            input.places = prefectureOfName(QFileInfo(input.path).fileName());
    }
    input.count = std::max<qint64>(0, lines.size() - headerLines);
}

// Features of a JSON or GML file, counted from its text: every GeoJSON feature and every
// TopoJSON geometry carries "properties"; every GML feature stands in a featureMember.
qint64 countFeatures(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("shp"))
        return peekDbf(path).records;
    if (suffix != QLatin1String("json") && suffix != QLatin1String("geojson") && suffix != QLatin1String("topojson")
        && suffix != QLatin1String("gml") && suffix != QLatin1String("xml"))
        return -1;
    const QByteArray text = wholeOf(path);
    if (text.isEmpty())
        return -1;
    if (suffix == QLatin1String("gml") || suffix == QLatin1String("xml"))
        return text.count("featureMember>") / 2; // its opening and closing tags
    return text.count("\"properties\"");
}

void describeGis(ImportInput& input)
{
    const QString name = QFileInfo(input.path).fileName();
    input.year = landInfoYear(name);
    input.count = countFeatures(input.path);
    input.countUnit = QStringLiteral("地物");
    if (input.kind == InputKind::RailwayLines || input.kind == InputKind::RailwayStations)
        input.places = QStringLiteral("全国");
    else
        input.places = prefectureOfName(name);
}

const QStringList kShapefileParts{"dbf", "shx", "prj", "cpg", "sbn", "sbx", "qix", "fix", "xml", "qmd"};

// True for a part of a Shapefile whose .shp is in the same list.
bool isPartOfListedShapefile(const QFileInfo& info, const QSet<QString>& listed)
{
    if (!kShapefileParts.contains(info.suffix().toLower()))
        return false;
    QString base = info.absolutePath() + QLatin1Char('/') + info.completeBaseName();
    if (base.endsWith(QLatin1String(".shp"), Qt::CaseInsensitive)) // .shp.xml
        base.chop(4);
    return listed.contains(base.toLower() + QStringLiteral(".shp"));
}

} // namespace

QString kindName(InputKind kind)
{
    switch (kind) {
    case InputKind::Boundary: return QStringLiteral("行政区域");
    case InputKind::RailwayLines: return QStringLiteral("鉄道（路線）");
    case InputKind::RailwayStations: return QStringLiteral("鉄道（駅）");
    case InputKind::Facility: return QStringLiteral("公共施設");
    case InputKind::SmallAreaBoundary: return QStringLiteral("小地域境界");
    case InputKind::SmallAreaTable: return QStringLiteral("小地域集計");
    case InputKind::CensusResults: return QStringLiteral("国勢調査結果");
    case InputKind::PrefectureSeries: return QStringLiteral("都道府県時系列");
    case InputKind::Unknown: break;
    }
    return QStringLiteral("不明");
}

QString knownKindsText()
{
    return QStringLiteral(
        "取り込めるのは 行政区域（国土数値情報 N03、TopoJSON、R の maps データベース）、鉄道の路線と駅（N02・N05）、"
        "公共施設（P02）、小地域境界（e-Stat の Shapefile）、小地域集計（e-Stat の KEY_CODE で始まる表）、"
        "国勢調査結果（市区町村別の主要結果）、都道府県時系列（国勢調査 1920〜2015 年の都道府県別人口）です");
}

bool isTopoJsonFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("topojson"))
        return true;
    if (suffix != QLatin1String("json"))
        return false;
    QFile file;
    if (!platform::openForReading(file, path, platform::kAnySize))
        return true; // the TopoJSON reader names the problem
    return isTopoJsonText(file.read(64 * 1024));
}

ImportInput recogniseInput(const QString& path)
{
    ImportInput input;
    input.path = path;
    input.shown = shownPath(path);
    if (!QFileInfo::exists(path) && !isMapsDatabase(path)) {
        input.problems << QStringLiteral("%1: 読めません（見つかりません）").arg(input.shown);
        return input;
    }
    if (Status readable = platform::checkReadable(path, platform::kAnySize); !readable && !isMapsDatabase(path)) {
        input.problems << readable.error();
        return input;
    }
    // Each probe once: a workbook's probe reads its whole first sheet.
    if (isSmallAreaTable(path))
        input.kind = InputKind::SmallAreaTable;
    else if (isPrefectureSeries(path))
        input.kind = InputKind::PrefectureSeries;
    else if (isMunicipalResults(path))
        input.kind = InputKind::CensusResults;
    if (input.kind != InputKind::Unknown) {
        const QString suffix = QFileInfo(path).suffix().toLower();
        QStringList lines; // a workbook's rows are counted when it is read
        if (suffix == QLatin1String("csv") || suffix == QLatin1String("txt")) {
            if (auto read = platform::readTextLinesGuessing(path))
                lines = std::move(*read);
        }
        describeTable(input, lines);
        return input;
    }
    if (isSmallAreaShapefile(path)) {
        input.kind = InputKind::SmallAreaBoundary;
        describeSmallAreaBoundary(input);
        return input;
    }
    // The facility and railway probes look for attribute names, which a text about them holds too.
    const bool gisFile = isGisBoundaryFile(path) || QFileInfo(path).suffix().compare(QLatin1String("topojson"), Qt::CaseInsensitive) == 0;
    if (gisFile && isFacilityDataset(path))
        input.kind = InputKind::Facility;
    else if (const RailwayFileKind railway = gisFile ? railwayFileKind(path) : RailwayFileKind::None; railway != RailwayFileKind::None)
        input.kind = railway == RailwayFileKind::Stations ? InputKind::RailwayStations : InputKind::RailwayLines;
    else if (isTopoJsonFile(path) || isMapsDatabase(path) || isGisBoundaryFile(path))
        input.kind = InputKind::Boundary;
    if (input.kind == InputKind::Unknown) {
        input.problems << QStringLiteral("読める形式ではありません（.shp .geojson .json .topojson .gml .xml .gpkg）。") + knownKindsText();
        return input;
    }
    describeGis(input);
    return input;
}

std::vector<ImportInput> recogniseInputs(const ExpandedInputs& expanded)
{
    QSet<QString> listed;
    for (const QString& file : expanded.paths) {
        if (QFileInfo(file).suffix().compare(QLatin1String("shp"), Qt::CaseInsensitive) == 0)
            listed.insert(QFileInfo(file).absoluteFilePath().toLower());
    }
    std::vector<ImportInput> inputs;
    for (const QString& file : expanded.paths) {
        if (isPartOfListedShapefile(QFileInfo(file), listed))
            continue;
        ImportInput input = recogniseInput(file);
        input.shown = expanded.shown(input.shown);
        for (QString& problem : input.problems)
            problem = expanded.shown(problem);
        inputs.push_back(std::move(input));
    }
    return inputs;
}

std::vector<ImportInput> recogniseInputs(const QStringList& paths, ExpandedInputs& expanded)
{
    expanded = expandInputs(paths);
    return recogniseInputs(expanded);
}

} // namespace miratos::imports
