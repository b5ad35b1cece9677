// Roads of 東京都, 神奈川県, 埼玉県 and 千葉県 from the road generator (about 320,000 roads):
// the road conversion and the road-name conversion (goal ≥ 50 MB/s), loading the four Road.dat
// files with RoadName.dat (goal < 1 s, memory held < 3 times the files), and drawing all three
// classes at 600 × 600 (goal < 0.3 s) and on the largest zoom canvas, 2600 × 2600 (< 0.6 s).
#include "convert/road_converter.h"
#include "layers/road_layer.h"
#include "qt_bench_main.h"
#include "road_generator.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace miratos;

namespace {

struct Data {
    QTemporaryDir dir;
    bench::GeneratedRoads sources;
    QStringList roadFiles; // converted Road.dat files
    QString nameFile;      // converted RoadName.dat
    qint64 roadBytes = 0;
    bool ok = false;
};

Data& data()
{
    static Data d;
    static bool made = [] {
        const QString topo = QStringLiteral(MIRATOS_SHARED_DATA "/n03-2021/topojson");
        if (!QFileInfo::exists(topo))
            return false;
        auto sources = bench::writeRoadSources(topo, {13, 14, 11, 12}, d.dir.path());
        if (!sources)
            return false;
        d.sources = *sources;
        for (int i = 0; i < d.sources.roadFiles.size(); ++i) {
            const QString folder = d.dir.filePath(QStringLiteral("pref%1").arg(i));
            QDir().mkpath(folder);
            if (!convert::道路(d.sources.roadFiles[i], folder).ok())
                return false;
            d.roadFiles << QDir(folder).filePath(QStringLiteral("Road.dat"));
            d.roadBytes += QFileInfo(d.roadFiles.last()).size();
        }
        if (!convert::道路名(d.sources.nameFile, d.dir.path()).ok())
            return false;
        d.nameFile = d.dir.filePath(QStringLiteral("RoadName.dat"));
        d.ok = true;
        return true;
    }();
    (void)made;
    return d;
}

const mapview::Extent kExtent{138.0f, 34.0f, 141.5f, 37.0f};

void loadAll(layers::RoadLayer& layer)
{
    layer.loadNames(data().nameFile);
    for (const QString& f : data().roadFiles)
        layer.loadRoads(f, kExtent);
}

void BM_RoadConversion(benchmark::State& state)
{
    if (!data().ok)
        return state.SkipWithError("shared boundary data absent");
    const QString source = data().sources.roadFiles[0];
    for (auto _ : state)
        benchmark::DoNotOptimize(convert::buildRoadFile(source));
    state.SetBytesProcessed(state.iterations() * QFileInfo(source).size());
}
BENCHMARK(BM_RoadConversion)->Unit(benchmark::kMillisecond);

void BM_RoadNameConversion(benchmark::State& state)
{
    if (!data().ok)
        return state.SkipWithError("shared boundary data absent");
    for (auto _ : state)
        benchmark::DoNotOptimize(convert::buildRoadNameFile(data().sources.nameFile));
    state.SetBytesProcessed(state.iterations() * QFileInfo(data().sources.nameFile).size());
}
BENCHMARK(BM_RoadNameConversion)->Unit(benchmark::kMillisecond);

void BM_RoadLoad(benchmark::State& state)
{
    if (!data().ok)
        return state.SkipWithError("shared boundary data absent");
    size_t roads = 0;
    for (auto _ : state) {
        layers::RoadLayer layer;
        loadAll(layer);
        roads = layer.roads().roads.size();
        benchmark::DoNotOptimize(layer);
    }
    // What the layer holds against the files: points, roads (key strings are shared per key), boxes.
    layers::RoadLayer layer;
    loadAll(layer);
    const auto& set = layer.roads();
    const double held = static_cast<double>(set.coords.capacity() * sizeof(double) + set.roads.capacity() * sizeof(store::RoadSet::Road)
                                            + set.roads.size() * (sizeof(float) * 4 + 1));
    state.counters["roads"] = static_cast<double>(roads);
    state.counters["file_MB"] = static_cast<double>(data().roadBytes) / 1e6;
    state.counters["held_MB"] = held / 1e6;
}
BENCHMARK(BM_RoadLoad)->Unit(benchmark::kMillisecond);

void BM_RoadDraw(benchmark::State& state)
{
    if (!data().ok)
        return state.SkipWithError("shared boundary data absent");
    static layers::RoadLayer layer;
    static bool loaded = (loadAll(layer), true);
    (void)loaded;
    const int size = static_cast<int>(state.range(0));
    platform::Canvas canvas(size, size);
    // The four prefectures' extent, square.
    canvas.setScale(138.9, 36.3, 140.9, 34.3);
    for (auto _ : state) {
        canvas.clear();
        layer.draw(canvas, {}, {true, true, true});
    }
}
BENCHMARK(BM_RoadDraw)->Arg(600)->Arg(2600)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return miratos::bench::runQtBenchmarks(argc, argv);
}
