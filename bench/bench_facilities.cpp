// Facilities of 東京都 from today's data (14,414, and the same set repeated to about 100,000):
// reading Build.dat, markers and names of every class, painting them, the rank circles, and
// unticking a major class before markers are made again.
#include "convert/facility_converter.h"
#include "imports/facility_import.h"
#include "layers/facility_layer.h"
#include "mapview/name_labels.h"
#include "platform/text_file.h"
#include "state/mdl_main.h"
#include "store/facility_files.h"
#include "qt_bench_main.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace miratos;

namespace {

const QString kTokyo = QStringLiteral(MIRATOS_SHARED_DATA "/facilities-p02-2006/P02-06_13-g_PublicFacility.geojson");

// Build.dat of Tokyo written once (repeat 1) and the same lines seven times.
const QString& buildDat(int repeat)
{
    static QTemporaryDir dir;
    static QHash<int, QString> paths;
    if (paths.contains(repeat))
        return paths[repeat];
    const QString mapData = dir.filePath(QStringLiteral("MapData"));
    QString one = QDir(mapData).filePath(QStringLiteral("東京都/Build.dat"));
    if (!QFile::exists(one)) {
        const auto report = imports::importFacilities({kTokyo}, mapData, QStringLiteral(MIRATOS_SOURCE_DIR "/data/Init.ini"));
        if (!report)
            return paths[repeat] = QString();
    }
    if (repeat == 1)
        return paths[repeat] = one;
    QFile in(one);
    in.open(QIODevice::ReadOnly);
    const QByteArray bytes = in.readAll();
    const QString many = dir.filePath(QStringLiteral("Build%1.dat").arg(repeat));
    QFile out(many);
    out.open(QIODevice::WriteOnly);
    for (int i = 0; i < repeat; ++i)
        out.write(bytes);
    return paths[repeat] = many;
}

platform::Canvas& scale()
{
    static platform::Canvas canvas = [] {
        platform::Canvas c(600, 600);
        c.setScale(138.92, 36.1, 139.94, 35.3);
        return c;
    }();
    return canvas;
}

layers::FacilityLayer& tokyo(int repeat)
{
    static QHash<int, layers::FacilityLayer*> layers;
    if (!layers.contains(repeat)) {
        auto* layer = new layers::FacilityLayer;
        layer->append(store::readBuildDat(buildDat(repeat)).rows);
        layers.insert(repeat, layer);
    }
    return *layers[repeat];
}

void prepare(mapview::LabelLayer& labels)
{
    state::mdlMain().LayerProperty = state::layerPropertyDefaults(QStringLiteral("Pref"));
    for (auto kind : {mapview::LabelKind::BuildP, mapview::LabelKind::Build})
        labels.array(kind).restyle(mapview::labelStyleOf(state::mdlMain(), kind));
}

bool haveData(benchmark::State& state)
{
    if (QFile::exists(kTokyo))
        return true;
    state.SkipWithError("shared facility data absent");
    return false;
}

void BM_LoadBuildDat(benchmark::State& state)
{
    if (!haveData(state))
        return;
    const QString path = buildDat(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        layers::FacilityLayer layer;
        layer.append(store::readBuildDat(path).rows);
        benchmark::DoNotOptimize(layer.BuildCount());
    }
    state.counters["facilities"] = tokyo(static_cast<int>(state.range(0))).BuildCount();
}
BENCHMARK(BM_LoadBuildDat)->Arg(1)->Arg(7)->Unit(benchmark::kMillisecond);

void BM_MarkersAndNames(benchmark::State& state)
{
    if (!haveData(state))
        return;
    auto& layer = tokyo(static_cast<int>(state.range(0)));
    mapview::LabelLayer labels;
    prepare(labels);
    for (auto _ : state)
        layer.markers(labels, true, true, QString(), scale());
    state.counters["labels"] = 2 * (labels.array(mapview::LabelKind::Build).count() - 1);
}
BENCHMARK(BM_MarkersAndNames)->Arg(1)->Arg(7)->Unit(benchmark::kMillisecond);

void BM_RepaintMarkersAndNames(benchmark::State& state)
{
    if (!haveData(state))
        return;
    auto& layer = tokyo(1);
    mapview::LabelLayer labels;
    prepare(labels);
    layer.markers(labels, true, true, QString(), scale());
    QImage image(600, 600, QImage::Format_RGB32);
    const bool cached = state.range(0) == 1;
    for (auto _ : state) {
        QPainter p(&image);
        if (cached)
            labels.paintCached(p, scale(), image.rect());
        else
            labels.paint(p, scale(), image.rect());
    }
}
// 0: laid out anew (after a change), 1: the window's repaint from the kept picture.
BENCHMARK(BM_RepaintMarkersAndNames)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_RankCircles(benchmark::State& state)
{
    if (!haveData(state))
        return;
    // Every facility gets a value: its line number.
    static layers::FacilityLayer layer = [] {
        std::vector<store::BuildRow> rows = store::readBuildDat(buildDat(1)).rows;
        for (size_t k = 0; k < rows.size(); ++k)
            rows[k][store::kBuildValue] = QString::number(k);
        layers::FacilityLayer l;
        l.append(std::move(rows));
        return l;
    }();
    mapview::LabelLayer labels;
    const layers::RankSettings settings{0.003, 3, false, 255};
    for (auto _ : state)
        benchmark::DoNotOptimize(layer.rankCircles(labels, true, settings));
    state.counters["circles"] = static_cast<double>(labels.circles().size());
}
BENCHMARK(BM_RankCircles)->Unit(benchmark::kMillisecond);

void BM_UntickMajorClassAndRetick(benchmark::State& state)
{
    if (!haveData(state))
        return;
    auto& layer = tokyo(1);
    mapview::LabelLayer labels;
    prepare(labels);
    const int school = layer.tvwBuild().indexOf(QStringLiteral("学校p"));
    bool on = false;
    for (auto _ : state) {
        layer.tvwBuild().setChecked(school, on);
        layer.markers(labels, false, true, QString(), scale()); // unticked 施設指標 removes them
        layer.markers(labels, true, true, QString(), scale());
        on = !on;
    }
    layer.tvwBuild().setChecked(school, true);
}
BENCHMARK(BM_UntickMajorClassAndRetick)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return miratos::bench::runQtBenchmarks(argc, argv);
}
