// The データ取込 window listing 50 dropped downloads (the 47 N03 GeoJSON files of the shared
// data and the three railway files): recognition of each, rows in the table, as a drop does it.
#include "imports/frm_import.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <benchmark/benchmark.h>

namespace {

QStringList fiftyDownloads()
{
    const QString data = QStringLiteral(MIRATOS_SHARED_DATA);
    QStringList paths;
    const QDir n03(data + QStringLiteral("/n03-2021/geojson"));
    for (const QString& name : n03.entryList({QStringLiteral("N03-21_*.json")}, QDir::Files, QDir::Name))
        paths << n03.filePath(name);
    for (const char* name : {"N02-23_Station.shiftjis.geojson", "N05-16_railroad.topojson.json", "N05-16_station.topojson.json"})
        paths << data + QStringLiteral("/railway/") + QString::fromUtf8(name);
    return paths;
}

void BM_ImportWindowListsFiftyFiles(benchmark::State& state)
{
    const QStringList paths = fiftyDownloads();
    if (paths.size() < 50 || !QFileInfo::exists(paths.last())) {
        state.SkipWithError("shared data absent");
        return;
    }
    for (auto _ : state) {
        miratos::imports::frmImport window;
        window.addInputs(paths);
        if (window.inputs().size() != static_cast<size_t>(paths.size()))
            state.SkipWithError("not every file was listed");
    }
    state.counters["files"] = static_cast<double>(paths.size());
}

} // namespace

BENCHMARK(BM_ImportWindowListsFiftyFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
