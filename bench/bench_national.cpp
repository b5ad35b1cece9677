// The commands a user runs on the national data, end to end and in process: "miratos import" of
// the 47 prefectures' TopoJSON, of the railway lines and stations, of the public facilities and of
// the 2020 census results, then "miratos render" of Japan filled by population, and of 東京都
// and of 東京都 + 神奈川県 with their railways. ./bench.sh --before REV runs the same file against
// an older revision, so that a change can be judged side by side on one machine.
#include "cli/import_command.h"
#include "cli/render_command.h"
#include "platform/app_folder.h"

#include "qt_bench_main.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <benchmark/benchmark.h>

using namespace miratos;

namespace {

QString shared(const QString& rel)
{
    return QStringLiteral(MIRATOS_SHARED_DATA "/") + rel;
}

QStringList prefectureTopoJson()
{
    QStringList files;
    for (int p = 1; p <= 47; ++p)
        files << shared(QStringLiteral("n03-2021/topojson/N03-21_%1_210101.json").arg(p, 2, 10, QLatin1Char('0')));
    return files;
}

QStringList facilityFiles()
{
    QStringList files;
    for (const char* code : {"13", "31", "37", "47"})
        files << shared(QStringLiteral("facilities-p02-2006/P02-06_%1-g_PublicFacility.geojson").arg(QLatin1String(code)));
    return files;
}

// One app folder for the whole run, with the shipped Init.ini; the boundaries are imported once
// before the renders need them.
QString appFolder()
{
    static QTemporaryDir dir;
    static bool ready = false;
    if (!ready) {
        QFile::copy(QStringLiteral(MIRATOS_SOURCE_DIR "/data/Init.ini"), dir.filePath(QStringLiteral("Init.ini")));
        QDir(dir.path()).mkpath(QStringLiteral("MapData"));
        ready = true;
    }
    return dir.path();
}

bool run(int (*command)(const QStringList&, QTextStream&, QTextStream&), const QStringList& args, QString* errors)
{
    platform::AppFolder::set(appFolder());
    QString outText;
    QTextStream out(&outText), err(errors);
    return command(args, out, err) == 0;
}

void runCommand(benchmark::State& state, int (*command)(const QStringList&, QTextStream&, QTextStream&),
                const QStringList& args)
{
    if (!QFileInfo::exists(shared(QStringLiteral("README.md"))))
        return state.SkipWithError("../shared/data is absent");
    for (auto _ : state) {
        QString errors;
        if (!run(command, args, &errors))
            return state.SkipWithError(errors.left(200).toStdString().c_str());
    }
}

void ensureBoundaries()
{
    static bool done = false;
    if (!done) {
        QString errors;
        run(cli::runImportCommand, prefectureTopoJson(), &errors);
        run(cli::runImportCommand, {shared(QStringLiteral("census/major_results_2020.csv"))}, &errors);
        run(cli::runImportCommand,
            {shared(QStringLiteral("railway/N05-16_railroad.topojson.json")), shared(QStringLiteral("railway/N05-16_station.topojson.json"))},
            &errors);
        done = true;
    }
}

void BM_ImportPrefectures(benchmark::State& state)
{
    runCommand(state, cli::runImportCommand, prefectureTopoJson());
}

void BM_ImportRailways(benchmark::State& state)
{
    runCommand(state, cli::runImportCommand,
               {shared(QStringLiteral("railway/N05-16_railroad.topojson.json")), shared(QStringLiteral("railway/N05-16_station.topojson.json"))});
}

void BM_ImportFacilities(benchmark::State& state)
{
    runCommand(state, cli::runImportCommand, facilityFiles());
}

void BM_ImportResults2020(benchmark::State& state)
{
    ensureBoundaries();
    runCommand(state, cli::runImportCommand, {shared(QStringLiteral("census/major_results_2020.csv"))});
}

void BM_RenderJapanByPopulation(benchmark::State& state)
{
    ensureBoundaries();
    const QString out = QDir(appFolder()).filePath(QStringLiteral("japan.png"));
    runCommand(state, cli::runRenderCommand,
               {QStringLiteral("--mode"), QStringLiteral("Japan"), QStringLiteral("--own-data"),
                QDir(appFolder()).filePath(QStringLiteral("MapData/statistic3.csv")), QStringLiteral("--column"),
                QStringLiteral("人口(人)"), QStringLiteral("--labels"), QStringLiteral("--out"), out});
}

void BM_RenderTokyoWithRailways(benchmark::State& state)
{
    ensureBoundaries();
    const QString out = QDir(appFolder()).filePath(QStringLiteral("tokyo.png"));
    runCommand(state, cli::runRenderCommand,
               {QStringLiteral("--mode"), QStringLiteral("Pref"), QStringLiteral("--pref"), QStringLiteral("東京都"),
                QStringLiteral("--labels"), QStringLiteral("--railways"), QStringLiteral("--stations"), QStringLiteral("--out"), out});
}

// Two prefectures whose railways cross their border: the lines come as short curves, so many more
// curves pass the extent filter than the whole lines did.
void BM_RenderTokyoKanagawaWithRailways(benchmark::State& state)
{
    ensureBoundaries();
    const QString out = QDir(appFolder()).filePath(QStringLiteral("tokyo_kanagawa.png"));
    runCommand(state, cli::runRenderCommand,
               {QStringLiteral("--mode"), QStringLiteral("Pref"), QStringLiteral("--pref"), QStringLiteral("東京都"), QStringLiteral("--pref"),
                QStringLiteral("神奈川県"), QStringLiteral("--labels"), QStringLiteral("--railways"), QStringLiteral("--stations"),
                QStringLiteral("--out"), out});
}

// A print of every municipality of Japan with its name: the map drawn again at A4 300 dpi and
// written as a smoothed PNG.
void BM_RenderAllMunicipalitiesA4At300Dpi(benchmark::State& state)
{
    ensureBoundaries();
    const QString out = QDir(appFolder()).filePath(QStringLiteral("japan_a4.png"));
    runCommand(state, cli::runRenderCommand,
               {QStringLiteral("--mode"), QStringLiteral("Pref"), QStringLiteral("--labels"), QStringLiteral("--paper"), QStringLiteral("A4L"),
                QStringLiteral("--dpi"), QStringLiteral("300"), QStringLiteral("--out"), out});
}

// The same print with ラベル配置: the names placed apart (and hidden where none fits) first.
void BM_RenderAllMunicipalitiesA4At300DpiPlaced(benchmark::State& state)
{
    ensureBoundaries();
    const QString out = QDir(appFolder()).filePath(QStringLiteral("japan_a4_placed.png"));
    runCommand(state, cli::runRenderCommand,
               {QStringLiteral("--mode"), QStringLiteral("Pref"), QStringLiteral("--labels"), QStringLiteral("--place-labels"),
                QStringLiteral("--paper"), QStringLiteral("A4L"), QStringLiteral("--dpi"), QStringLiteral("300"), QStringLiteral("--out"), out});
}

} // namespace

BENCHMARK(BM_ImportPrefectures)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_ImportRailways)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_ImportFacilities)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_ImportResults2020)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_RenderJapanByPopulation)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_RenderTokyoWithRailways)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_RenderTokyoKanagawaWithRailways)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_RenderAllMunicipalitiesA4At300Dpi)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_RenderAllMunicipalitiesA4At300DpiPlaced)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

int main(int argc, char** argv)
{
    return miratos::bench::runQtBenchmarks(argc, argv);
}
