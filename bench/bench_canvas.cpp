// The map canvas at the size of a large window: a full redraw of all 47 prefectures with a
// statistic fill at 1600 × 1200, one wheel step on the four southern Kanto prefectures with
// their names, and the look-up of the region under the pointer. Boundaries are the published
// TopoJSON of all prefectures, imported once.
#include "state/mdl_main.h"
#include "state/prefectures.h"
#include "cli/import_command.h"
#include "mapview/hover_index.h"
#include "mapview/loaders.h"
#include "mapview/map_drawing.h"
#include "mapview/view_navigation.h"
#include "platform/app_folder.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include "qt_bench_main.h"

#include <benchmark/benchmark.h>

using namespace miratos;

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 1200;

QString sharedTopo(int code)
{
    return QStringLiteral(MIRATOS_SHARED_DATA "/n03-2021/topojson/N03-21_%1_210101.json").arg(code, 2, 10, QLatin1Char('0'));
}

struct Dataset {
    QTemporaryDir dir;
    bool ok = false;
};

Dataset& dataset()
{
    static Dataset d;
    if (d.ok || !QFile::exists(sharedTopo(13)))
        return d;
    QFile::copy(QStringLiteral(MIRATOS_SOURCE_DIR "/data/Init.ini"), d.dir.filePath(QStringLiteral("Init.ini")));
    platform::AppFolder::set(d.dir.path());
    QStringList files;
    for (int i = 1; i <= 47; ++i)
        files << sharedTopo(i);
    QString log;
    QTextStream out(&log), err(&log);
    d.ok = cli::runImportCommand(files, out, err) == 0;
    return d;
}

// Loads the prefectures in Pref mode; each municipality gets a value and five ranks are set, as
// a ranking leaves them.
void loadWithStatistic(mapview::MapTables& t, const QList<int>& codes)
{
    state::resetMdlMain();
    auto& s = state::mdlMain();
    s.MapMode = QStringLiteral("Pref");
    s.UseSpecialCoordinate = true;
    for (int i : codes)
        s.PrefTable[static_cast<size_t>(i)] = {QStringLiteral("TRUE"), state::prefectureName(i), QStringLiteral("65535")};
    state::prepareMode(s);
    mapview::loadPref(t, s, platform::AppFolder::initIni(), {});
    int n = 0;
    for (auto& row : t.lvwUseTiku) {
        if (!row.key.isEmpty())
            row.setSubItem(3, QString::number((n++ * 7919) % 1000));
    }
    s.RankCount = 5;
    s.RankBound = {{0, 0}, {0, 200}, {200, 400}, {400, 600}, {600, 800}, {800, 1001}};
    s.RankColor = {0, 0xFFE0E0, 0xFFB0B0, 0xFF8080, 0xFF4040, 0xFF0000};
}

struct Scene {
    mapview::MapTables tables;
    platform::Canvas canvas{kWidth, kHeight};
    mapview::LabelLayer labels;
    state::WaterFill water;
    bool cacheValid = false;
    mapview::Viewport vp;

    void draw(const mapview::DrawOptions& options)
    {
        const mapview::ViewRect shown = mapview::shownRect(vp.view, kWidth, kHeight);
        mapview::drawScene({tables, canvas, labels, water, cacheValid}, shown, state::mdlMain(), mapview::MapMode::Pref, options);
    }
};

void BM_FullRedrawStatistic47(benchmark::State& state)
{
    if (!dataset().ok) {
        state.SkipWithError("shared data not available");
        return;
    }
    platform::AppFolder::set(dataset().dir.path());
    Scene scene;
    QList<int> all;
    for (int i = 1; i <= 47; ++i)
        all << i;
    loadWithStatistic(scene.tables, all);
    scene.vp.setInitialView(scene.tables.DataExtent);
    mapview::DrawOptions options;
    options.style = mapview::StatisticFill;
    for (auto _ : state) {
        scene.cacheValid = false; // classified again each time, as after a new ranking
        scene.draw(options);
    }
    state.counters["regions"] = static_cast<double>(scene.tables.TikuRecords.size());
}
BENCHMARK(BM_FullRedrawStatistic47)->Unit(benchmark::kMillisecond);

void BM_WheelStepKantoWithNames(benchmark::State& state)
{
    if (!dataset().ok) {
        state.SkipWithError("shared data not available");
        return;
    }
    platform::AppFolder::set(dataset().dir.path());
    Scene scene;
    loadWithStatistic(scene.tables, {11, 12, 13, 14});
    scene.vp.setInitialView(scene.tables.DataExtent);
    mapview::DrawOptions options;
    options.style = mapview::StatisticFill;
    options.cityNames = true;
    const double factor = mapview::zoomStepFactor(kWidth, kHeight);
    bool in = true;
    for (auto _ : state) {
        // One notch at 新宿, in and out by turns, so the view stays near the first one.
        scene.vp.view = mapview::zoomAbout(scene.vp.view, 139.70, 35.69, in ? factor : 1 / factor);
        in = !in;
        scene.draw(options);
    }
}
BENCHMARK(BM_WheelStepKantoWithNames)->Unit(benchmark::kMillisecond);

void BM_HoverLookup47(benchmark::State& state)
{
    if (!dataset().ok) {
        state.SkipWithError("shared data not available");
        return;
    }
    platform::AppFolder::set(dataset().dir.path());
    mapview::MapTables tables;
    QList<int> all;
    for (int i = 1; i <= 47; ++i)
        all << i;
    loadWithStatistic(tables, all);
    mapview::HoverIndex index;
    index.build(tables, state::mdlMain(), mapview::MapMode::Pref);
    int i = 0, found = 0;
    for (auto _ : state) {
        // Points over Honshu's bounding box in a fixed pseudo-random walk.
        const double lon = 130.0 + (i * 37 % 1000) / 1000.0 * 12.0;
        const double lat = 31.0 + (i * 61 % 1000) / 1000.0 * 10.0;
        ++i;
        const auto* region = index.at(lon, lat);
        found += region ? 1 : 0;
        benchmark::DoNotOptimize(mapview::hoverStatus(region, tables, state::mdlMain()));
    }
    state.counters["hit_ratio"] = static_cast<double>(found) / std::max(i, 1);
    state.counters["regions"] = index.size();
}
BENCHMARK(BM_HoverLookup47)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return miratos::bench::runQtBenchmarks(argc, argv);
}
