#include "cli/convert_command.h"

#include "state/prefectures.h"
#include "convert/boundary_converter.h"
#include "cli/census_command.h"
#include "convert/facility_converter.h"
#include "imports/prefecture_set_writer.h"
#include "convert/railway_converter.h"
#include "convert/road_converter.h"
#include "cli/small_area_command.h"
#include "store/railway_files.h"
#include "platform/import_lock.h"
#include "platform/app_folder.h"

#include <QDir>

namespace miratos::cli {
namespace {

void printUsage(QTextStream& err)
{
    err << convertUsage();
}

// The value after option name in args, or empty text; false when the option is given without value
// or more than once.
bool optionValue(const QStringList& args, const QString& name, QString* value)
{
    int found = 0;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i) != name)
            continue;
        if (i + 1 >= args.size() || ++found > 1)
            return false;
        *value = args.at(i + 1);
    }
    return true;
}

// Every argument must be one of the options with its value.
bool onlyKnownOptions(const QStringList& args, const QStringList& names)
{
    for (qsizetype i = 0; i < args.size(); i += 2) {
        if (!names.contains(args.at(i)))
            return false;
    }
    return args.size() % 2 == 0;
}

} // namespace

static int runRailwayCommand(const QStringList& options, QTextStream& out, QTextStream& err)
{
    QString data;
    const QString dataName = QStringLiteral("--data");
    if (!onlyKnownOptions(options, {dataName}) || !optionValue(options, dataName, &data) || !convert::isXmlPath(data)) {
        if (!data.isEmpty() && !convert::isXmlPath(data))
            err << "miratos convert: --data には名前が xml で終わるファイルを指定してください\n";
        printUsage(err);
        return 2;
    }
    const QString folder = store::railwayFolder(platform::AppFolder::mapData());
    convert::RailwayProgress progress;
    progress.step = [&out](const QString& line) {
        out << "鉄道: " << line << "\n";
        out.flush();
    };
    const auto report = convert::鉄道(data, folder, progress);
    if (!report) {
        err << "miratos convert: " << report.error() << "\n";
        err.flush();
        return 1;
    }
    out << "鉄道: 変換終了！ 点 " << report->points << ", 鉄道区間 " << report->sections << ", 駅 " << report->stations
        << ", 鉄道の曲線 " << report->railCurves << ", 駅の曲線 " << report->stationCurves << " 件（要素 " << report->counter
        << "）を " << QDir::toNativeSeparators(folder) << " に書きました\n";
    out.flush();
    return 0;
}

// road: one prefecture's road text into its Road.dat; road-name: the road-name list into
// MapData/RoadName.dat. Malformed lines are listed and the rest is written.
static int runRoadCommand(bool names, const QStringList& options, QTextStream& out, QTextStream& err)
{
    QString pref, data;
    const QString prefName = QStringLiteral("--pref"), dataName = QStringLiteral("--data");
    const QStringList known = names ? QStringList{dataName} : QStringList{prefName, dataName};
    bool codeOk = names;
    const bool parsed = onlyKnownOptions(options, known) && optionValue(options, prefName, &pref) && optionValue(options, dataName, &data);
    const int code = names ? 0 : pref.toInt(&codeOk);
    if (!parsed || !codeOk || (!names && (code < 1 || code > state::kPrefectureCount)) || !convert::isTxtPath(data)) {
        if (parsed && !convert::isTxtPath(data))
            err << "miratos convert: --data には名前が txt で終わるファイルを指定してください\n";
        printUsage(err);
        return 2;
    }
    QString label = QStringLiteral("道路名");
    QString folder = platform::AppFolder::mapData();
    if (!names) {
        label = imports::prefectureFolderName(code, platform::AppFolder::initIni());
        folder = QDir(folder).filePath(label);
    }
    const auto result = names ? convert::道路名(data, folder) : convert::道路(data, folder);
    if (!result) {
        err << "miratos convert: " << result.error() << "\n";
        err.flush();
        return 1;
    }
    for (const QString& problem : result->problems)
        out << label << ": 注意: " << problem << "\n";
    out << label << ": 変換終了！ " << result->sourceLines << " 行から " << result->records << (names ? " 路線" : " 本の道路")
        << "を " << QDir::toNativeSeparators(QDir(folder).filePath(QString::fromUtf16(names ? u"RoadName.dat" : u"Road.dat")))
        << " に書きました\n";
    out.flush();
    return 0;
}

static int runFacilityCommand(const QStringList& options, QTextStream& out, QTextStream& err)
{
    QString pref, data;
    const QString prefName = QStringLiteral("--pref"), dataName = QStringLiteral("--data");
    bool codeOk = false;
    const bool parsed = onlyKnownOptions(options, {prefName, dataName}) && optionValue(options, prefName, &pref)
                        && optionValue(options, dataName, &data);
    const int code = pref.toInt(&codeOk);
    if (!parsed || !codeOk || code < 1 || code > state::kPrefectureCount || !convert::isXmlPath(data)) {
        if (parsed && !data.isEmpty() && !convert::isXmlPath(data))
            err << "miratos convert: --data には名前が xml で終わるファイルを指定してください\n";
        printUsage(err);
        return 2;
    }
    const QString initIni = platform::AppFolder::initIni();
    const QString folderName = imports::prefectureFolderName(code, initIni);
    const QString folder = QDir(platform::AppFolder::mapData()).filePath(folderName);
    convert::FacilityProgress progress;
    progress.step = [&out, &folderName](const QString& line) {
        out << folderName << ": 公共施設: " << line << "\n";
        out.flush();
    };
    const auto report = convert::公共施設(data, initIni, folder, progress);
    if (!report) {
        err << "miratos convert: " << report.error() << "\n";
        err.flush();
        return 1;
    }
    out << folderName << ": 公共施設: 変換終了！ 点 " << report->points << ", 施設 " << report->facilities << " 件（要素 "
        << report->counter << "）を " << QDir::toNativeSeparators(QDir(folder).filePath(QStringLiteral("Build.dat"))) << " に書きました\n";
    if (report->unknownCodes > 0)
        out << folderName << ": 注意: Init.ini にないコードが " << report->unknownCodes << " 種類あり、「ERROR」と書きました\n";
    for (const QString& note : report->notes)
        out << folderName << ": 注意: " << note << "\n";
    out.flush();
    return 0;
}

QString convertUsage()
{
    return QString::fromUtf8("usage: miratos convert boundary [--app-folder DIR] --pref CODE --meta KS-META-N….xml --data N….xml\n"
           "       miratos convert railway [--app-folder DIR] --data N….xml\n"
           "       miratos convert road [--app-folder DIR] --pref CODE --data N….txt\n"
           "       miratos convert road-name [--app-folder DIR] --data N～～台.txt\n"
           "       miratos convert census [--app-folder DIR] [--pref CODE] WORKBOOK...\n"
           "       miratos convert small-area [--app-folder DIR] --year YY --data FILE.xml\n"
           "       miratos convert small-area-census [--app-folder DIR] --year YY --code CODE --table N --data FILE.txt\n"
           "       miratos convert facility [--app-folder DIR] --pref CODE --data P….xml\n"
           "       CODE is the prefecture code 1..47; the prefecture's folder (railway: MapData/鉄道) must exist.\n");
}

QStringList convertSubcommands()
{
    return {QStringLiteral("boundary"), QStringLiteral("railway"), QStringLiteral("road"), QStringLiteral("road-name"),
            QStringLiteral("census"), QStringLiteral("small-area"), QStringLiteral("small-area-census"),
            QStringLiteral("facility")};
}

static int runConvertCommandLocked(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.isEmpty() || !convertSubcommands().contains(args.first())) {
        printUsage(err);
        return 2;
    }
    if (!args.isEmpty() && args.first() == QLatin1String("railway"))
        return runRailwayCommand(args.mid(1), out, err);
    if (!args.isEmpty() && (args.first() == QLatin1String("road") || args.first() == QLatin1String("road-name")))
        return runRoadCommand(args.first() == QLatin1String("road-name"), args.mid(1), out, err);
    if (!args.isEmpty() && args.first() == QLatin1String("census"))
        return runCensusCommand(args.mid(1), out, err);
    if (!args.isEmpty() && args.first() == QLatin1String("small-area"))
        return runSmallAreaCommand(args.mid(1), out, err);
    if (!args.isEmpty() && args.first() == QLatin1String("small-area-census"))
        return runSmallAreaCensusCommand(args.mid(1), out, err);
    if (!args.isEmpty() && args.first() == QLatin1String("facility"))
        return runFacilityCommand(args.mid(1), out, err);
    if (args.isEmpty() || args.first() != QLatin1String("boundary")) {
        printUsage(err);
        return 2;
    }
    const QStringList options = args.mid(1);
    QString pref, meta, data;
    const QString prefName = QStringLiteral("--pref"), metaName = QStringLiteral("--meta"), dataName = QStringLiteral("--data");
    bool codeOk = false;
    const bool parsed = onlyKnownOptions(options, {prefName, metaName, dataName}) && optionValue(options, prefName, &pref)
                        && optionValue(options, metaName, &meta) && optionValue(options, dataName, &data);
    const int code = pref.toInt(&codeOk);
    if (!parsed || !codeOk || code < 1 || code > state::kPrefectureCount || !convert::isXmlPath(meta) || !convert::isXmlPath(data)) {
        if (parsed && (!convert::isXmlPath(meta) || !convert::isXmlPath(data)))
            err << "miratos convert: --meta と --data には名前が xml で終わるファイルを指定してください\n";
        printUsage(err);
        return 2;
    }

    const QString folderName = imports::prefectureFolderName(code, platform::AppFolder::initIni());
    const QString folder = QDir(platform::AppFolder::mapData()).filePath(folderName);
    convert::BoundaryProgress progress;
    progress.step = [&out, &folderName](const QString& line) {
        out << folderName << ": " << line << "\n";
        out.flush();
    };
    const auto report = convert::行政区域({meta, data, code}, folder, progress);
    if (!report) {
        err << "miratos convert: " << report.error() << "\n";
        err.flush();
        return 1;
    }
    out << folderName << ": 変換終了！ 点 " << report->points << ", 線 " << report->lines << ", 面 " << report->polygons
        << ", 外周 " << report->outlineRings << ", 市区町村 " << report->municipalityRecords << " 件（要素 "
        << report->counter << "）を " << QDir::toNativeSeparators(folder) << " に書きました\n";
    for (const QString& warning : report->warnings + report->skipped)
        out << folderName << ": 注意: " << warning << "\n";
    out.flush();
    return 0;
}

int runConvertCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.isEmpty()) {
        printUsage(err);
        return 2;
    }
    platform::ImportLock lock;
    if (!lock.acquireOrSay(err, "miratos convert: "))
        return 1;
    return runConvertCommandLocked(args, out, err);
}

} // namespace miratos::cli
