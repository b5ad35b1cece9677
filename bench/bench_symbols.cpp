// Proportional symbols over the national data: the 47 prefectures' TopoJSON and the 2020 census
// workbook are imported into a temporary app folder, every municipality of Japan is loaded as the
// Pref mode loads it and the population is joined. Measured: the symbols of every municipality
// (values looked up by code, sorted, drawn) onto a 600 × 600 map.
#include "cli/import_command.h"
#include "layers/symbol_layer.h"
#include "mapview/loaders.h"
#include "mapview/viewport.h"
#include "platform/app_folder.h"
#include "platform/ini_file.h"
#include "state/mdl_main.h"
#include "state/prefectures.h"
#include "stats/extraction.h"
#include "stats/join.h"
#include "stats/painted_regions.h"
#include "store/statistic_file.h"

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

struct Loaded {
    QTemporaryDir dir;
    mapview::MapTables tables;
    QString problem;
};

Loaded& loaded()
{
    static Loaded l;
    static bool ready = false;
    if (ready)
        return l;
    ready = true;
    if (!QFileInfo::exists(shared(QStringLiteral("README.md")))) {
        l.problem = QStringLiteral("../shared/data is absent");
        return l;
    }
    QFile::copy(QStringLiteral(MIRATOS_SOURCE_DIR "/data/Init.ini"), l.dir.filePath(QStringLiteral("Init.ini")));
    QDir(l.dir.path()).mkpath(QStringLiteral("MapData"));
    platform::AppFolder::set(l.dir.path());
    QStringList files;
    for (int p = 1; p <= 47; ++p)
        files << shared(QStringLiteral("n03-2021/topojson/N03-21_%1_210101.json").arg(p, 2, 10, QLatin1Char('0')));
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    if (cli::runImportCommand(files, out, err) != 0 ||
        cli::runImportCommand({shared(QStringLiteral("census/major_results_2020.xlsx"))}, out, err) != 0) {
        l.problem = errText.left(200);
        return l;
    }
    state::resetMdlMain();
    auto& s = state::mdlMain();
    s.MapMode = QStringLiteral("Pref");
    for (int i = 1; i <= state::kPrefectureCount; ++i) {
        QString name = platform::GetINIValue(state::prefectureCodeText(i), QStringLiteral("Pref"), platform::AppFolder::initIni());
        s.PrefTable[static_cast<size_t>(i)] = {QStringLiteral("TRUE"), name, QString()};
    }
    (void)mapview::loadPref(l.tables, s, platform::AppFolder::initIni(), {});
    for (const auto& [path, name] : stats::statisticFiles(mapview::MapMode::Pref, 6, s))
        (void)store::appendStatisticFile(path, s.StatTable, s.StatColCount, s.StatRowCount, false, {}, nullptr);
    s.StatColumn = 2; // 人口(人)
    (void)stats::joinStatistic(l.tables, s, mapview::MapMode::Pref);
    return l;
}

void BM_SymbolsAllMunicipalities600(benchmark::State& state)
{
    Loaded& l = loaded();
    if (!l.problem.isEmpty())
        return state.SkipWithError(l.problem.toStdString().c_str());
    mapview::Viewport viewport;
    viewport.setInitialView(l.tables.DataExtent);
    platform::Canvas canvas(600, 600);
    canvas.setScale(viewport.view.X1, viewport.view.Y1, viewport.view.X2, viewport.view.Y2);
    const auto regions = stats::paintedRegions(l.tables, mapview::MapMode::Pref);
    layers::SymbolOptions options;
    options.enabled = true;
    options.column = QStringLiteral("人口(人)");
    size_t drawn = 0;
    for (auto _ : state) {
        auto symbols = stats::symbolsOf(regions, state::mdlMain(), mapview::MapMode::Pref, options.column);
        if (!symbols)
            return state.SkipWithError(symbols.error().toStdString().c_str());
        drawn = symbols->size();
        const layers::SymbolLegend legend = layers::drawSymbols(canvas, std::move(*symbols), options, options.column);
        benchmark::DoNotOptimize(legend.values);
    }
    state.counters["symbols"] = static_cast<double>(drawn);
}

// The drawing alone, the values already looked up.
void BM_SymbolsDrawOnly600(benchmark::State& state)
{
    Loaded& l = loaded();
    if (!l.problem.isEmpty())
        return state.SkipWithError(l.problem.toStdString().c_str());
    mapview::Viewport viewport;
    viewport.setInitialView(l.tables.DataExtent);
    platform::Canvas canvas(600, 600);
    canvas.setScale(viewport.view.X1, viewport.view.Y1, viewport.view.X2, viewport.view.Y2);
    layers::SymbolOptions options;
    auto symbols = stats::symbolsOf(stats::paintedRegions(l.tables, mapview::MapMode::Pref), state::mdlMain(), mapview::MapMode::Pref, QString());
    for (auto _ : state)
        benchmark::DoNotOptimize(layers::drawSymbols(canvas, *symbols, options, QString()).values);
}

} // namespace

BENCHMARK(BM_SymbolsDrawOnly600)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1);
BENCHMARK(BM_SymbolsAllMunicipalities600)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1);

int main(int argc, char** argv)
{
    return miratos::bench::runQtBenchmarks(argc, argv);
}
