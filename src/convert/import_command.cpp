#include "convert/import_command.h"

#include "convert/facility_import.h"
#include "convert/maps_reader.h"
#include "convert/prefecture_set_writer.h"
#include "convert/railway_import.h"
#include "store/railway_files.h"
#include "convert/topojson_reader.h"
#include "platform/app_folder.h"

#include <QDir>
#include <QFileInfo>

namespace miratos::convert {
namespace {

bool isTopoJsonFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("json") || suffix == QLatin1String("topojson");
}

// The boundary formats import understands, tried in order; the first whose test accepts the
// path reads it. The R maps database reader (convert/maps_reader.h, readMapsDatabase) joins as
// one more entry, e.g. {isMapsDatabase, [](const QString& p, const ProgressFn&) { return readMapsDatabase(p); }}.
struct BoundaryFormat {
    bool (*accepts)(const QString& path);
    Result<BoundaryTopology> (*read)(const QString& path, const ProgressFn& progress);
};

const BoundaryFormat kFormats[] = {
    {isTopoJsonFile, readTopoJson},
    {isMapsDatabase, [](const QString& p, const ProgressFn&) { return readMapsDatabase(p); }},
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

} // namespace

int runImportCommand(const QStringList& files, QTextStream& out, QTextStream& err)
{
    if (files.isEmpty()) {
        err << "usage: miratos import [--app-folder DIR] FILE...\n";
        return 2;
    }
    const QString mapData = platform::AppFolder::mapData();
    if (!QDir().mkpath(mapData)) {
        err << "miratos import: " << QDir::toNativeSeparators(mapData) << ": フォルダを作れません\n";
        return 1;
    }
    const QString initIni = platform::AppFolder::initIni();
    const ProgressFn progress = [&out](const QString& line) {
        out << line << "\n";
        out.flush();
    };

    int result = 0;
    // Railway datasets are taken together (the stations give the sections their class) and
    // written as the four railway files.
    QStringList railways;
    QStringList facilities;
    QStringList boundaries;
    for (const QString& file : files)
        (isFacilityDataset(file) ? facilities : isRailwayDataset(file) ? railways : boundaries) << file;
    // Public facilities go to the Build.dat of the prefecture of each facility's area code.
    if (!facilities.isEmpty()) {
        const auto report = importFacilities(facilities, mapData, initIni, progress);
        if (!report) {
            err << "miratos import: " << report.error() << "\n";
            result = 1;
        } else {
            for (const QString& line : report->written)
                progress(line);
            if (report->skipped > 0)
                progress(QStringLiteral("注意: 公共施設 %1 件を飛ばしました（最初は %2）").arg(report->skipped).arg(report->firstSkipped));
            if (report->unknownCodes > 0)
                progress(QStringLiteral("注意: Init.ini の BuildMa・BuildMi・BuildAd にないコードが %1 種類あり、「ERROR」と書きました").arg(report->unknownCodes));
        }
    }
    if (!railways.isEmpty()) {
        const QString folder = store::railwayFolder(mapData);
        const auto report = importRailways(railways, folder, progress);
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
    for (const QString& file : boundaries) {
        const BoundaryFormat* format = formatFor(file);
        if (!format) {
            err << "miratos import: " << QDir::toNativeSeparators(file)
                << ": 読める形式ではありません（TopoJSON は .json か .topojson）\n";
            result = 1;
            continue;
        }
        const auto topology = format->read(file, progress);
        if (!topology) {
            err << "miratos import: " << problemOf(file, topology.error()) << "\n";
            result = 1;
            continue;
        }
        if (topology->municipalities.isEmpty()) {
            err << "miratos import: " << QDir::toNativeSeparators(file) << ": 取り込める市区町村が 1 つもありません\n";
            result = 1;
            continue;
        }
        progress(QStringLiteral("%1: %2 市区町村, %3 線を読みました")
                     .arg(QDir::toNativeSeparators(file))
                     .arg(topology->municipalities.size())
                     .arg(topology->lines.size()));
        if (Status written = writePrefectureSets(*topology, mapData, initIni, progress); !written) {
            err << "miratos import: " << QDir::toNativeSeparators(file) << ": " << written.error() << "\n";
            result = 1;
        }
    }
    err.flush();
    return result;
}

} // namespace miratos::convert
