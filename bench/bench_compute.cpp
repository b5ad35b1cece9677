// Computed columns over the national data: the 47 prefectures' TopoJSON and the 2020 census
// workbook are imported into a temporary app folder, the municipalities of all of Japan are
// loaded as the Pref mode loads them, and the municipalities' table is extracted. Measured: a
// computed column over every row, and 面積() of every municipality. Before the runs, the
// densities of a few inland municipalities from their polygons are set beside the census's.
#include "cli/import_command.h"
#include "mapview/loaders.h"
#include "platform/app_folder.h"
#include "platform/ini_file.h"
#include "state/mdl_main.h"
#include "state/prefectures.h"
#include "stats/expression.h"
#include "stats/extraction.h"
#include "stats/region_area.h"
#include "store/statistic_file.h"

#include "qt_bench_main.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace miratos;

namespace {

QString shared(const QString& rel)
{
    return QStringLiteral(MIRATOS_SHARED_DATA "/") + rel;
}

struct Loaded {
    QTemporaryDir dir;
    mapview::MapTables tables;
    stats::StatRows table;
    int16_t cols = 0;
    int rows = 0;
    QString problem;
};

const QString kDensityTitle = QStringLiteral("人口密度（人/km2）");

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
        (void)store::appendStatisticFile(path, l.table, l.cols, l.rows, false, {}, nullptr);
    return l;
}

// 人口 ÷ 面積() beside the census's density, for a few inland municipalities.
void reportDensities(Loaded& l)
{
    stats::RegionAreas areas;
    const stats::AreaLookup area = areas.lookup(l.tables, mapview::MapMode::Pref);
    const auto density = stats::Expression::parse(QStringLiteral("[人口(人)] ÷ 面積()"), l.table.front());
    const auto census = stats::Expression::parse(QLatin1Char('[') + kDensityTitle + QLatin1Char(']'), l.table.front());
    if (!density || !census) {
        std::fprintf(stderr, "%s\n", qPrintable(density ? census.error() : density.error()));
        return;
    }
    const auto ours = density->evaluate(l.table, l.rows, area);
    const auto theirs = census->evaluate(l.table, l.rows, area);
    for (const char* code : {"09201", "10202", "19201", "20202", "11208", "29201"}) {
        for (int r = 1; r <= l.rows; ++r) {
            if (l.table[static_cast<size_t>(r)][0] != QLatin1String(code))
                continue;
            const double a = ours[static_cast<size_t>(r - 1)].value_or(0), c = theirs[static_cast<size_t>(r - 1)].value_or(0);
            std::fprintf(stderr, "%s %s: 面積() %.2f km2, density %.1f, census %.1f, %+.2f %%\n", code,
                         qPrintable(l.table[static_cast<size_t>(r)][1]), area(QString::fromLatin1(code)).value_or(0), a, c,
                         c ? (a - c) / c * 100 : 0.0);
        }
    }
}

void BM_ComputedColumnAllMunicipalities(benchmark::State& state)
{
    Loaded& l = loaded();
    if (!l.problem.isEmpty())
        return state.SkipWithError(l.problem.toStdString().c_str());
    static bool reported = false;
    if (!reported) {
        reportDensities(l);
        reported = true;
    }
    // Areas worked out beforehand: this measures the column itself.
    stats::RegionAreas areas;
    const stats::AreaLookup area = areas.lookup(l.tables, mapview::MapMode::Pref);
    (void)area(QString());
    const QString expr = QStringLiteral("[人口(人)] ÷ 面積() + 構成比([人口(人)]) - 増減率([人口(人)], [男性(人)])");
    for (auto _ : state) {
        state.PauseTiming();
        stats::StatRows table = l.table;
        int16_t cols = l.cols;
        state.ResumeTiming();
        const Status added = stats::addComputedColumn(QStringLiteral("計算"), expr, table, cols, l.rows, area);
        if (!added.ok())
            return state.SkipWithError(added.error().toStdString().c_str());
        benchmark::DoNotOptimize(table.back().back());
    }
    state.counters["rows"] = l.rows;
}

void BM_AreaOfAllMunicipalities(benchmark::State& state)
{
    Loaded& l = loaded();
    if (!l.problem.isEmpty())
        return state.SkipWithError(l.problem.toStdString().c_str());
    qsizetype regions = 0;
    for (auto _ : state) {
        stats::RegionAreas areas;
        regions = areas.of(l.tables, mapview::MapMode::Pref).size();
        benchmark::DoNotOptimize(regions);
    }
    state.counters["regions"] = static_cast<double>(regions);
}

} // namespace

BENCHMARK(BM_ComputedColumnAllMunicipalities)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1);
BENCHMARK(BM_AreaOfAllMunicipalities)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1);

int main(int argc, char** argv)
{
    return miratos::bench::runQtBenchmarks(argc, argv);
}
