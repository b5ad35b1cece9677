#include "imports/import_engine.h"

#include "imports/census_results.h"
#include "imports/facility_import.h"
#include "imports/maps_reader.h"
#include "imports/prefecture_set_writer.h"
#include "imports/railway_import.h"
#include "imports/small_area_import.h"
#include "imports/topojson_reader.h"
#include "platform/app_folder.h"
#include "platform/cp932.h"
#include "platform/import_lock.h"
#include "platform/read_limits.h"
#include "platform/safe_write.h"
#include "state/pref_folders.h"
#include "store/railway_files.h"

#include <QDir>
#include <new>

namespace miratos::imports {
namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// The boundary formats, tried in order; the first whose test accepts the path reads it.
struct BoundaryFormat {
    bool (*accepts)(const QString& path);
    Result<BoundaryTopology> (*read)(const QString& path, const GisBoundaryOptions& options, const ProgressFn& progress);
};

const BoundaryFormat kFormats[] = {
    {isTopoJsonFile, [](const QString& p, const GisBoundaryOptions&, const ProgressFn& progress) { return readTopoJson(p, progress); }},
    {isMapsDatabase, [](const QString& p, const GisBoundaryOptions&, const ProgressFn&) { return readMapsDatabase(p); }},
    {isGisBoundaryFile, readGisBoundaries},
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
    const QString name = shown(file);
    return message.startsWith(name) ? message : name + QStringLiteral(": ") + message;
}

// "ほか" only when more than the one named file was written.
QString writtenTablesLine(const QString& file, const QStringList& written)
{
    if (written.isEmpty())
        return QStringLiteral("統計: %1 から書いたファイルはありません").arg(shown(file));
    return QStringLiteral("統計: %1 から %2 ファイルを書きました（%3%4）")
        .arg(shown(file))
        .arg(written.size())
        .arg(shown(written.first()), written.size() > 1 ? QStringLiteral(" ほか") : QString());
}

class Run {
public:
    Run(const ImportOptions& options, const ImportHooks& hooks, int total)
        : m_options(options), m_hooks(hooks), m_total(total)
    {
    }

    void progress(const QString& line) const
    {
        if (m_hooks.progress)
            m_hooks.progress(line);
    }
    // A line of the summary: what was written where, or a note on it.
    void result(const QString& line) const
    {
        progress(line);
        if (m_hooks.result)
            m_hooks.result(line);
    }
    void problem(const QString& message)
    {
        m_outcome.failed = true;
        if (m_hooks.problem)
            m_hooks.problem(message);
    }
    // After each input: counts it and tells whether the user asked to stop.
    bool stepDone(int inputs = 1)
    {
        m_done += inputs;
        if (m_hooks.step)
            m_hooks.step(m_done, m_total);
        return stopped();
    }
    bool stopped()
    {
        if (!m_outcome.cancelled && m_hooks.cancelled && m_hooks.cancelled())
            m_outcome.cancelled = true;
        return m_outcome.cancelled;
    }
    ImportOutcome& outcome() { return m_outcome; }
    const ImportOptions& options() const { return m_options; }

private:
    const ImportOptions& m_options;
    const ImportHooks& m_hooks;
    int m_total;
    int m_done = 0;
    ImportOutcome m_outcome;
};

void importSmallAreaBoundaries(Run& run, const std::vector<const ImportInput*>& inputs, const QString& mapData, const QString& initIni)
{
    for (const ImportInput* input : inputs) {
        QStringList notes;
        const auto written = importSmallAreaShapefile(input->path, run.options().year, mapData, initIni, &notes);
        if (!written) {
            run.problem(written.error());
        } else {
            for (const QString& note : notes)
                run.result(QStringLiteral("注意: ") + note);
            for (const QString& path : *written)
                run.result(QStringLiteral("小地域: %1 を書きました").arg(shown(path)));
        }
        if (run.stepDone())
            return;
    }
}

void importTables(Run& run, const std::vector<const ImportInput*>& inputs, const QString& mapData, const QString& initIni)
{
    for (const ImportInput* input : inputs) {
        QStringList notes;
        const auto written = input->kind == InputKind::SmallAreaTable     ? importSmallAreaTable(input->path, run.options().year, mapData, initIni, &notes)
                             : input->kind == InputKind::PrefectureSeries ? importPrefectureSeries(input->path, mapData, initIni, &notes)
                                                                          : importMunicipalResults(input->path, mapData, initIni, &notes);
        if (!written) {
            run.problem(written.error());
        } else {
            for (const QString& note : notes)
                run.result(QStringLiteral("注意: ") + note);
            run.result(writtenTablesLine(input->path, *written));
        }
        if (run.stepDone())
            return;
    }
}

QStringList pathsOf(const std::vector<const ImportInput*>& inputs)
{
    QStringList paths;
    for (const ImportInput* input : inputs)
        paths << input->path;
    return paths;
}

// Public facilities go to the Build.dat of the prefecture of each facility's area code.
void importFacilityFiles(Run& run, const std::vector<const ImportInput*>& inputs, const QString& mapData, const QString& initIni)
{
    if (inputs.empty())
        return;
    const auto report = importFacilities(pathsOf(inputs), mapData, initIni, [&run](const QString& l) { run.progress(l); });
    if (!report) {
        run.problem(report.error());
    } else {
        for (const QString& line : report->written)
            run.result(line);
        if (report->skipped > 0)
            run.result(QStringLiteral("注意: 公共施設 %1 件を飛ばしました（最初は %2）").arg(report->skipped).arg(report->firstSkipped));
        if (report->marked > 0)
            run.result(QStringLiteral("注意: ") + platform::cp932MarksNote(report->firstMarked, report->marked));
        if (report->unknownCodes > 0)
            run.result(QStringLiteral("注意: Init.ini の BuildMa・BuildMi・BuildAd にないコードが %1 種類あり、「ERROR」と書きました").arg(report->unknownCodes));
    }
    run.stepDone(static_cast<int>(inputs.size()));
}

// Railway datasets are taken together (the stations give the sections their class) and
// written as the four railway files.
void importRailwayFiles(Run& run, const std::vector<const ImportInput*>& inputs, const QString& mapData)
{
    if (inputs.empty())
        return;
    const QString folder = store::railwayFolder(mapData);
    const auto report = importRailways(pathsOf(inputs), folder, [&run](const QString& l) { run.progress(l); });
    if (!report) {
        run.problem(report.error());
    } else {
        for (const QString& note : report->notes)
            run.result(QStringLiteral("注意: ") + note);
        run.result(QStringLiteral("鉄道: 鉄道区間 %1 件（種別を駅から %2 件、事業者種別から %3 件）、駅 %4 件を %5 に書きました")
                         .arg(report->sections)
                         .arg(report->classFromStations)
                         .arg(report->classFromOperator)
                         .arg(report->stations)
                         .arg(shown(folder)));
    }
    run.stepDone(static_cast<int>(inputs.size()));
}

// One boundary file read and written as its prefectures' sets; its failure is told to the run.
void importBoundaryFile(Run& run, const ImportInput& input, const QString& mapData, const QString& initIni,
                        WrittenTotals& totals, int& skipped)
{
    const QString& file = input.path;
    const BoundaryFormat* format = input.kind == InputKind::Boundary ? formatFor(file) : nullptr;
    if (!format) {
        run.problem(input.problems.isEmpty() ? shown(file) + QStringLiteral(": 読める形式ではありません（.shp .geojson .json .topojson .gml .xml .gpkg）。") + knownKindsText()
                                             : problemOf(file, input.problems.first()));
        return;
    }
    const ProgressFn progress = [&run](const QString& l) { run.progress(l); };
    run.progress(QStringLiteral("%1: 読んでいます").arg(shown(file)));
    const auto topology = format->read(file, run.options().gis, progress);
    if (!topology) {
        run.problem(problemOf(file, topology.error()));
        return;
    }
    if (topology->municipalities.isEmpty()) {
        run.problem(shown(file) + QStringLiteral(": 取り込める市区町村が 1 つもありません。") + knownKindsText());
        return;
    }
    run.progress(QStringLiteral("%1: %2 市区町村, %3 線を読みました")
                     .arg(shown(file))
                     .arg(topology->municipalities.size())
                     .arg(topology->lines.size()));
    skipped += topology->skippedFeatures;
    if (Status written = writePrefectureSets(*topology, mapData, initIni, progress, &totals); !written)
        run.problem(shown(file) + QStringLiteral(": ") + written.error());
}

void importBoundaries(Run& run, const std::vector<const ImportInput*>& inputs, const QString& mapData, const QString& initIni)
{
    if (inputs.empty())
        return;
    WrittenTotals totals;
    int skipped = 0;
    for (const ImportInput* input : inputs) {
        importBoundaryFile(run, *input, mapData, initIni, totals, skipped);
        if (run.stepDone())
            return;
    }
    run.result(QStringLiteral("合計: %1 都道府県, %2 市区町村, %3 面, %4 線, 飛ばした地物 %5 件%6")
                   .arg(totals.prefectures.size())
                   .arg(totals.municipalities)
                   .arg(totals.polygons)
                   .arg(totals.lines)
                   .arg(skipped)
                   .arg(run.outcome().failed ? QStringLiteral("（失敗したファイルがあります）") : QString()));
}

void runKinds(Run& run, const std::vector<ImportInput>& inputs, const QString& mapData, const QString& initIni)
{
    std::vector<const ImportInput*> smallAreas, tables, facilities, railways, boundaries;
    for (const ImportInput& input : inputs) {
        switch (input.kind) {
        case InputKind::SmallAreaBoundary: smallAreas.push_back(&input); break;
        case InputKind::SmallAreaTable:
        case InputKind::CensusResults:
        case InputKind::PrefectureSeries: tables.push_back(&input); break;
        case InputKind::Facility: facilities.push_back(&input); break;
        case InputKind::RailwayLines:
        case InputKind::RailwayStations: railways.push_back(&input); break;
        default: boundaries.push_back(&input); break; // unknown files are told what import reads
        }
    }
    importSmallAreaBoundaries(run, smallAreas, mapData, initIni);
    if (run.stopped())
        return;
    importTables(run, tables, mapData, initIni);
    if (run.stopped())
        return;
    importFacilityFiles(run, facilities, mapData, initIni);
    if (run.stopped())
        return;
    importRailwayFiles(run, railways, mapData);
    if (run.stopped())
        return;
    importBoundaries(run, boundaries, mapData, initIni);
}

} // namespace

ImportOutcome runImport(const std::vector<ImportInput>& inputs, const ImportOptions& options, const ImportHooks& hooks)
{
    Run run(options, hooks, static_cast<int>(inputs.size()));
    platform::ImportLock lock;
    if (Status locked = lock.acquire(); !locked) {
        run.problem(locked.error());
        return run.outcome();
    }
    const QString mapData = platform::AppFolder::mapData();
    if (Status made = platform::makeFolder(mapData); !made) {
        run.problem(made.error());
        return run.outcome();
    }
    const QString initIni = platform::AppFolder::initIni();
    if (Status folders = state::checkPrefectureFolders(initIni); !folders) {
        run.problem(folders.error());
        return run.outcome();
    }
    // One batch for the whole run: a cancelled run changes no file, and the inputs that failed
    // dropped their own files when their jobs ended.
    platform::WriteBatch batch;
    try {
        runKinds(run, inputs, mapData, initIni);
    } catch (const std::bad_alloc&) {
        run.problem(platform::outOfMemoryMessage());
        return run.outcome();
    }
    if (run.stopped())
        return run.outcome();
    if (Status committed = batch.commit(); !committed)
        run.problem(committed.error());
    return run.outcome();
}

} // namespace miratos::imports
