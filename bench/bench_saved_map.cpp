// Saved maps over real data: the four Kanto prefectures and the 2020 census workbook are imported
// into a temporary app folder. Measured: the Kanto density map made by render from its options,
// the same map from the saved map those options wrote, and reading the saved map alone. Opening
// a saved map should cost no more than the loads it stands for.
#include "cli/import_command.h"
#include "cli/render_command.h"
#include "platform/app_folder.h"
#include "state/saved_map.h"

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

struct Folder {
    QTemporaryDir dir;
    QString map;
    QString problem;
};

int render(const QStringList& args, QString* errors = nullptr)
{
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    const int code = cli::runRenderCommand(args, out, err);
    err.flush();
    if (errors)
        *errors = errText;
    return code;
}

QStringList kantoOptions(const Folder& f)
{
    QStringList args = {QStringLiteral("--mode"), QStringLiteral("Pref")};
    for (const char* pref : {"埼玉県", "千葉県", "東京都", "神奈川県"})
        args << QStringLiteral("--pref") << QString::fromUtf8(pref);
    return args << QStringLiteral("--stat") << QStringLiteral("6") << QStringLiteral("--compute")
                << QStringLiteral("密度=[人口(人)] ÷ 面積()") << QStringLiteral("--column") << QStringLiteral("密度")
                << QStringLiteral("--classes") << QStringLiteral("jenks") << QStringLiteral("--labels") << QStringLiteral("--out")
                << f.dir.filePath(QStringLiteral("options.png"));
}

Folder& folder()
{
    static Folder f;
    static bool ready = false;
    if (ready)
        return f;
    ready = true;
    if (!QFileInfo::exists(shared(QStringLiteral("README.md")))) {
        f.problem = QStringLiteral("../shared/data is absent");
        return f;
    }
    QFile::copy(QStringLiteral(MIRATOS_SOURCE_DIR "/data/Init.ini"), f.dir.filePath(QStringLiteral("Init.ini")));
    QDir(f.dir.path()).mkpath(QStringLiteral("MapData"));
    platform::AppFolder::set(f.dir.path());
    QStringList files;
    for (int p : {11, 12, 13, 14})
        files << shared(QStringLiteral("n03-2021/topojson/N03-21_%1_210101.json").arg(p));
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    if (cli::runImportCommand(files, out, err) != 0 ||
        cli::runImportCommand({shared(QStringLiteral("census/major_results_2020.xlsx"))}, out, err) != 0) {
        err.flush();
        f.problem = errText.left(200);
        return f;
    }
    f.map = f.dir.filePath(QStringLiteral("関東.miratos"));
    QString errors;
    if (render(kantoOptions(f) << QStringLiteral("--save-map") << f.map, &errors) != 0)
        f.problem = errors.left(200);
    return f;
}

void BM_KantoDensityFromOptions(benchmark::State& state)
{
    Folder& f = folder();
    if (!f.problem.isEmpty()) {
        state.SkipWithError(qPrintable(f.problem));
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(render(kantoOptions(f)));
}

void BM_KantoDensityFromSavedMap(benchmark::State& state)
{
    Folder& f = folder();
    if (!f.problem.isEmpty()) {
        state.SkipWithError(qPrintable(f.problem));
        return;
    }
    const QStringList args = {QStringLiteral("--map"), f.map, QStringLiteral("--out"), f.dir.filePath(QStringLiteral("map.png"))};
    for (auto _ : state)
        benchmark::DoNotOptimize(render(args));
}

void BM_ReadSavedMap(benchmark::State& state)
{
    Folder& f = folder();
    if (!f.problem.isEmpty()) {
        state.SkipWithError(qPrintable(f.problem));
        return;
    }
    for (auto _ : state) {
        QStringList problems;
        auto map = state::readSavedMap(f.map, problems);
        if (map)
            state::resolveSavedPaths(*map, problems);
        benchmark::DoNotOptimize(problems);
    }
}

} // namespace

BENCHMARK(BM_KantoDensityFromOptions)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_KantoDensityFromSavedMap)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_ReadSavedMap)->Unit(benchmark::kMicrosecond)->UseRealTime();

int main(int argc, char** argv)
{
    return miratos::bench::runQtBenchmarks(argc, argv);
}
