// Railways of all Japan from the shared data (every line of 2016 and about 10,000 station curves
// of 2023, imported once into a temporary folder): loading the four files, the first 鉄道描画
// (building the curve tables) and later redraws at 600 × 600 and at the largest zoom canvas
// (2600 × 2600), and the station labels with the merge. Then the railway conversion on railway XML
// generated from the same data, densified until it passes 50 MB, with its peak memory measured in
// a fresh process. Goals: load < 0.5 s, first draw < 0.3 s, redraw < 0.1 s, labels < 50 ms;
// conversion ≥ 50 MB/s with a peak below 4 times the file.
#include "convert/railway_converter.h"
#include "imports/railway_import.h"
#include "layers/railway_layer.h"
#include "qt_bench_main.h"
#include "railway_xml_generator.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace miratos;

namespace {

QTemporaryDir& workDir()
{
    static QTemporaryDir dir;
    return dir;
}

// The imported railway folder, or empty text when the shared data is absent.
const QString& railwayFolder()
{
    static const QString folder = [] {
        const QString data = QStringLiteral(MIRATOS_SHARED_DATA "/railway/");
        const QString out = workDir().filePath(QStringLiteral("鉄道"));
        const auto report = imports::importRailways({data + QStringLiteral("N05-16_railroad.topojson.json"),
                                                     data + QStringLiteral("N02-23_Station.shiftjis.geojson")},
                                                    out);
        return report ? out : QString();
    }();
    return folder;
}

// The extent of Japan's railways, a little wider so every curve starts strictly inside.
mapview::Extent japan()
{
    return {122.9f, 24.0f, 146.0f, 45.6f};
}

void BM_RailwayLoad(benchmark::State& state)
{
    if (railwayFolder().isEmpty())
        return state.SkipWithError("shared railway data absent");
    for (auto _ : state) {
        layers::RailwayLayer layer;
        benchmark::DoNotOptimize(layer.load(railwayFolder()));
    }
}
BENCHMARK(BM_RailwayLoad)->Unit(benchmark::kMillisecond);

const store::RailwayTables& tables()
{
    static const store::RailwayTables t = store::readRailwayFiles(railwayFolder()).tables;
    return t;
}

void BM_RailwayFirstDraw(benchmark::State& state)
{
    if (railwayFolder().isEmpty())
        return state.SkipWithError("shared railway data absent");
    platform::Canvas canvas(600, 600);
    canvas.setScale(122.9, 45.6, 146.0, 24.0);
    for (auto _ : state) {
        state.PauseTiming();
        layers::RailwayLayer layer;
        layer.setTables(tables());
        canvas.clear();
        state.ResumeTiming();
        layer.draw(canvas, japan(), {});
    }
    layers::RailwayLayer layer;
    layer.setTables(tables());
    layer.buildTables(japan());
    state.counters["railway_curves"] = layer.lvwLine_rr.count();
    state.counters["station_curves"] = layer.lvwLine_st.count();
}
BENCHMARK(BM_RailwayFirstDraw)->Unit(benchmark::kMillisecond);

void BM_RailwayRedraw(benchmark::State& state)
{
    if (railwayFolder().isEmpty())
        return state.SkipWithError("shared railway data absent");
    const int size = int(state.range(0));
    platform::Canvas canvas(size, size);
    canvas.setScale(122.9, 45.6, 146.0, 24.0);
    layers::RailwayLayer layer;
    layer.setTables(tables());
    layer.draw(canvas, japan(), {});
    for (auto _ : state)
        layer.draw(canvas, japan(), {});
}
BENCHMARK(BM_RailwayRedraw)->Arg(600)->Arg(2600)->Unit(benchmark::kMillisecond);

void BM_StationLabels(benchmark::State& state)
{
    if (railwayFolder().isEmpty())
        return state.SkipWithError("shared railway data absent");
    layers::RailwayLayer layer;
    layer.setTables(tables());
    layer.buildTables(japan());
    mapview::LabelLayer labels;
    for (auto _ : state) {
        layer.SameStationBuilt = false;
        layer.stationLabels(labels, true);
    }
    state.counters["stations"] = layer.lvwLine_st.count();
    state.counters["labels"] = layer.lvwSameStation.count();
}
BENCHMARK(BM_StationLabels)->Unit(benchmark::kMillisecond);

void BM_StationLabelsAgain(benchmark::State& state)
{
    if (railwayFolder().isEmpty())
        return state.SkipWithError("shared railway data absent");
    layers::RailwayLayer layer;
    layer.setTables(tables());
    layer.buildTables(japan());
    mapview::LabelLayer labels;
    layer.stationLabels(labels, true);
    for (auto _ : state)
        layer.stationLabels(labels, true);
}
BENCHMARK(BM_StationLabelsAgain)->Unit(benchmark::kMillisecond);

// ---- conversion

struct XmlFile {
    QString path, out;
    qint64 bytes = 0;
};

// Generated once, densified until the file passes 50 MB.
const XmlFile* xmlFile()
{
    static XmlFile f;
    static bool made = false;
    if (made)
        return f.bytes > 0 ? &f : nullptr;
    made = true;
    if (railwayFolder().isEmpty())
        return nullptr;
    f.path = workDir().filePath(QStringLiteral("N02-bench.xml"));
    f.out = workDir().filePath(QStringLiteral("out/鉄道"));
    QDir().mkpath(f.out);
    for (int densify = 1; densify <= 64; densify *= 2) {
        if (!bench::writeRailwayXml(tables(), f.path, densify).ok())
            return nullptr;
        f.bytes = QFileInfo(f.path).size();
        if (f.bytes >= 50'000'000)
            break;
    }
    return &f;
}

long statusKb(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(key.size()));
    }
    return -1;
}

int measurePeak(const char* data, const char* out)
{
    const long before = statusKb("VmHWM:");
    if (!convert::鉄道(QString::fromUtf8(data), QString::fromUtf8(out)))
        return 1;
    std::printf("%ld\n", statusKb("VmHWM:") - before);
    return 0;
}

long peakInFreshProcess(const XmlFile& f)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const std::string data = f.path.toStdString(), out = f.out.toStdString();
    const pid_t child = fork();
    if (child == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        execl("/proc/self/exe", "bench_railway", "--peak", data.c_str(), out.c_str(), nullptr);
        _exit(127);
    }
    close(fds[1]);
    char buffer[64] = {};
    const ssize_t got = child > 0 ? read(fds[0], buffer, sizeof buffer - 1) : -1;
    close(fds[0]);
    int status = 1;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || got <= 0)
        return -1;
    return std::atol(buffer);
}

void BM_RailwayConversion(benchmark::State& state)
{
    const XmlFile* f = xmlFile();
    if (!f)
        return state.SkipWithError("shared data absent or generation failed");
    for (auto _ : state) {
        const auto report = convert::鉄道(f->path, f->out);
        if (!report)
            return state.SkipWithError(report.error().toStdString().c_str());
        benchmark::DoNotOptimize(report->counter);
    }
    const double peakKb = double(peakInFreshProcess(*f));
    state.SetBytesProcessed(state.iterations() * f->bytes);
    state.counters["file_MB"] = double(f->bytes) / 1e6;
    state.counters["peak_MB"] = peakKb * 1024 / 1e6;
    state.counters["peak_per_file"] = peakKb * 1024 / double(f->bytes);
}
BENCHMARK(BM_RailwayConversion)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--peak")
        return measurePeak(argv[2], argv[3]);
    return bench::runQtBenchmarks(argc, argv);
}
