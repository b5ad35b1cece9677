#include "cli/import_command.h"

#include "imports/gis_boundary_reader.h"
#include "imports/facility_import.h"
#include "imports/maps_reader.h"
#include "imports/prefecture_set_writer.h"
#include "imports/railway_import.h"
#include "convert/small_area_converter.h"
#include "imports/census_results.h"
#include "imports/small_area_import.h"
#include "store/railway_files.h"
#include "imports/topojson_reader.h"
#include "platform/read_limits.h"
#include "platform/app_folder.h"
#include "platform/import_lock.h"
#include "platform/safe_write.h"
#include "platform/cp932.h"
#include "platform/number_text.h"
#include "state/pref_folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace miratos::cli {
namespace {

// TopoJSON and GeoJSON share the suffix .json: a topology says so near its start.
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
    static const QRegularExpression topology(QStringLiteral(R"("type"\s*:\s*"Topology")"));
    return topology.match(QString::fromUtf8(file.read(64 * 1024))).hasMatch();
}

// Snapping tolerance of "--snap" (degrees) when none is given: about 0.1 m, well below the
// precision of the published boundaries and well above the rounding of their digits.
constexpr double kDefaultSnap = 1e-6;


// The boundary formats import understands, tried in order; the first whose test accepts the
// path reads it. The R maps database reader (convert/maps_reader.h, readMapsDatabase) joins as
// one more entry, e.g. {isMapsDatabase, [](const QString& p, const imports::ProgressFn&) { return readMapsDatabase(p); }}.
struct BoundaryFormat {
    bool (*accepts)(const QString& path);
    Result<imports::BoundaryTopology> (*read)(const QString& path, const imports::GisBoundaryOptions& options, const imports::ProgressFn& progress);
};

const BoundaryFormat kFormats[] = {
    {isTopoJsonFile, [](const QString& p, const imports::GisBoundaryOptions&, const imports::ProgressFn& progress) { return imports::readTopoJson(p, progress); }},
    {imports::isMapsDatabase, [](const QString& p, const imports::GisBoundaryOptions&, const imports::ProgressFn&) { return imports::readMapsDatabase(p); }},
    {imports::isGisBoundaryFile, imports::readGisBoundaries},
};

const BoundaryFormat* formatFor(const QString& path)
{
    for (const BoundaryFormat& format : kFormats) {
        if (format.accepts(path))
            return &format;
    }
    return nullptr;
}

// Readers name the file at the start of their messages; one that does not gets it added.
QString problemOf(const QString& file, const QString& message)
{
    const QString shown = QDir::toNativeSeparators(file);
    return message.startsWith(shown) ? message : shown + QStringLiteral(": ") + message;
}

// Said with an input that is none of the tables or layers import knows.
const QString kKnownKinds = QStringLiteral(
    "取り込めるのは 行政区域（国土数値情報 N03、TopoJSON、R の maps データベース）、鉄道の路線と駅（N02・N05）、"
    "公共施設（P02）、小地域境界（e-Stat の Shapefile）、小地域集計（e-Stat の KEY_CODE で始まる表）、"
    "国勢調査結果（市区町村別の主要結果）、都道府県時系列（国勢調査 1920〜2015 年の都道府県別人口）です");

// "ほか" only when more than the one named file was written.
QString writtenTablesLine(const QString& file, const QStringList& written)
{
    const QString source = QDir::toNativeSeparators(file);
    if (written.isEmpty())
        return QStringLiteral("統計: %1 から書いたファイルはありません").arg(source);
    return QStringLiteral("統計: %1 から %2 ファイルを書きました（%3%4）")
        .arg(source)
        .arg(written.size())
        .arg(QDir::toNativeSeparators(written.first()),
             written.size() > 1 ? QStringLiteral(" ほか") : QString());
}

} // namespace

int runImportCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QStringList files;
    imports::GisBoundaryOptions gisOptions;
    int year = 0; // --year YYYY (or YY): the census year of small-area boundaries and tables
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == QLatin1String("--snap")) {
            gisOptions.snapTolerance = kDefaultSnap;
        } else if (a.startsWith(QLatin1String("--snap="))) {
            const auto value = platform::toNumber(a.mid(7));
            if (!value || !(*value >= 0) || *value > 1) {
                err << "miratos import: " << a << ": 許容差は 0〜1 の度数で指定してください\n";
                return 2;
            }
            gisOptions.snapTolerance = *value;
        } else if (a == QLatin1String("--year")) {
            bool ok = false;
            year = i + 1 < arguments.size() ? arguments.at(++i).toInt(&ok) : 0;
            if (!ok || year <= 0) {
                err << "miratos import: --year には調査年（2015 か 27 の形）を指定してください\n";
                return 2;
            }
            if (year > 1900)
                year = convert::twoDigitCensusYear(year);
        } else {
            files << a;
        }
    }
    if (files.isEmpty()) {
        err << "usage: miratos import [--app-folder DIR] [--snap[=DEGREES]] [--year YEAR] FILE...\n";
        return 2;
    }
    platform::ImportLock lock;
    if (!lock.acquireOrSay(err, "miratos import: "))
        return 1;
    const QString mapData = platform::AppFolder::mapData();
    if (Status made = platform::makeFolder(mapData); !made) {
        err << "miratos import: " << made.error() << "\n";
        return 1;
    }
    const QString initIni = platform::AppFolder::initIni();
    if (Status folders = state::checkPrefectureFolders(initIni); !folders) {
        err << "miratos import: " << folders.error() << "\n";
        return 1;
    }
    const imports::ProgressFn progress = [&out](const QString& line) {
        out << line << "\n";
        out.flush();
    };
    int result = 0;

    // Railway datasets are taken together (the stations give the sections their class) and
    // written as the four railway files.
    QStringList railways;
    QStringList facilities;
    QStringList boundaries;
    QStringList smallAreas; // census small-area boundaries, then their tables
    QStringList tables;
    for (const QString& file : files) {
        if (imports::isSmallAreaTable(file) || imports::isMunicipalResults(file) || imports::isPrefectureSeries(file))
            tables << file;
        else if (imports::isSmallAreaShapefile(file))
            smallAreas << file;
        else
            (imports::isFacilityDataset(file) ? facilities : imports::isRailwayDataset(file) ? railways : boundaries) << file;
    }
    for (const QString& file : smallAreas) {
        QStringList notes;
        const auto written = imports::importSmallAreaShapefile(file, year, mapData, initIni, &notes);
        if (!written) {
            err << "miratos import: " << written.error() << "\n";
            result = 1;
            continue;
        }
        for (const QString& note : notes)
            progress(QStringLiteral("注意: ") + note);
        for (const QString& path : *written)
            progress(QStringLiteral("小地域: %1 を書きました").arg(QDir::toNativeSeparators(path)));
    }
    for (const QString& file : tables) {
        QStringList notes;
        const auto written = imports::isSmallAreaTable(file)   ? imports::importSmallAreaTable(file, year, mapData, initIni, &notes)
                             : imports::isPrefectureSeries(file) ? imports::importPrefectureSeries(file, mapData, initIni, &notes)
                                                                 : imports::importMunicipalResults(file, mapData, initIni, &notes);
        if (!written) {
            err << "miratos import: " << written.error() << "\n";
            result = 1;
            continue;
        }
        for (const QString& note : notes)
            progress(QStringLiteral("注意: ") + note);
        progress(writtenTablesLine(file, *written));
    }
    // Public facilities go to the Build.dat of the prefecture of each facility's area code.
    if (!facilities.isEmpty()) {
        const auto report = imports::importFacilities(facilities, mapData, initIni, progress);
        if (!report) {
            err << "miratos import: " << report.error() << "\n";
            result = 1;
        } else {
            for (const QString& line : report->written)
                progress(line);
            if (report->skipped > 0)
                progress(QStringLiteral("注意: 公共施設 %1 件を飛ばしました（最初は %2）").arg(report->skipped).arg(report->firstSkipped));
            if (report->marked > 0)
                progress(QStringLiteral("注意: ") + platform::cp932MarksNote(report->firstMarked, report->marked));
            if (report->unknownCodes > 0)
                progress(QStringLiteral("注意: Init.ini の BuildMa・BuildMi・BuildAd にないコードが %1 種類あり、「ERROR」と書きました").arg(report->unknownCodes));
        }
    }
    if (!railways.isEmpty()) {
        const QString folder = store::railwayFolder(mapData);
        const auto report = imports::importRailways(railways, folder, progress);
        if (!report) {
            err << "miratos import: " << report.error() << "\n";
            result = 1;
        } else {
            for (const QString& note : report->notes)
                progress(QStringLiteral("注意: ") + note);
            progress(QStringLiteral("鉄道: 鉄道区間 %1 件（種別を駅から %2 件、事業者種別から %3 件）、駅 %4 件を %5 に書きました")
                         .arg(report->sections)
                         .arg(report->classFromStations)
                         .arg(report->classFromOperator)
                         .arg(report->stations)
                         .arg(QDir::toNativeSeparators(folder)));
        }
    }
    imports::WrittenTotals totals;
    int skipped = 0;
    for (const QString& file : boundaries) {
        const BoundaryFormat* format = formatFor(file);
        if (!format) {
            err << "miratos import: " << QDir::toNativeSeparators(file)
                << ": 読める形式ではありません（.shp .geojson .json .topojson .gml .xml .gpkg）。" << kKnownKinds << "\n";
            result = 1;
            continue;
        }
        progress(QStringLiteral("%1: 読んでいます").arg(QDir::toNativeSeparators(file)));
        const auto topology = format->read(file, gisOptions, progress);
        if (!topology) {
            err << "miratos import: " << problemOf(file, topology.error()) << "\n";
            result = 1;
            continue;
        }
        if (topology->municipalities.isEmpty()) {
            err << "miratos import: " << QDir::toNativeSeparators(file) << ": 取り込める市区町村が 1 つもありません。" << kKnownKinds << "\n";
            result = 1;
            continue;
        }
        progress(QStringLiteral("%1: %2 市区町村, %3 線を読みました")
                     .arg(QDir::toNativeSeparators(file))
                     .arg(topology->municipalities.size())
                     .arg(topology->lines.size()));
        skipped += topology->skippedFeatures;
        if (Status written = imports::writePrefectureSets(*topology, mapData, initIni, progress, &totals); !written) {
            err << "miratos import: " << QDir::toNativeSeparators(file) << ": " << written.error() << "\n";
            result = 1;
        }
    }
    if (!boundaries.isEmpty()) {
        progress(QStringLiteral("合計: %1 都道府県, %2 市区町村, %3 面, %4 線, 飛ばした地物 %5 件%6")
                     .arg(totals.prefectures.size())
                     .arg(totals.municipalities)
                     .arg(totals.polygons)
                     .arg(totals.lines)
                     .arg(skipped)
                     .arg(result == 0 ? QString() : QStringLiteral("（失敗したファイルがあります）")));
    }
    err.flush();
    return result;
}

} // namespace miratos::cli
