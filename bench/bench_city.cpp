// City mode on the 23 wards of Tokyo cut into about 3,000 made-up small areas each (about 70,000
// district polygons): loading the district files and redrawing them. Goals: load under 2 s,
// redraw under 0.3 s.
#include "state/mdl_main.h"
#include "imports/topojson_reader.h"
#include "mapview/loaders.h"
#include "mapview/renderer.h"
#include "mapview/viewport.h"
#include "platform/app_folder.h"
#include "small_area_generator.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include "qt_bench_main.h"

#include <benchmark/benchmark.h>

using namespace miratos;

namespace {

constexpr int kAreasPerWard = 3000;
constexpr int kYear = 17;

struct Dataset {
    QTemporaryDir dir;
    // Per ward, as the district dialog takes them from the file list: path, name, code.
    QStringList paths, names, codes;
    qint64 bytes = 0;
    int records = 0;
    bool ok = false;
};

Dataset& dataset()
{
    static Dataset d;
    static bool tried = false;
    if (tried)
        return d;
    tried = true;
    auto topo = imports::readTopoJson(QStringLiteral(MIRATOS_SHARED_DATA "/n03-2021/topojson/N03-21_13_210101.json"));
    if (!topo)
        return d;
    const QString folder = d.dir.filePath(QStringLiteral("MapData/東京都"));
    QDir().mkpath(folder);
    for (const imports::TopoMunicipality& m : topo->municipalities) {
        const int code = m.code.toInt();
        if (code < 13101 || code > 13123)
            continue;
        bench::SmallAreaCounts counts;
        const auto path = bench::writeSmallAreas(m, *topo, kAreasPerWard, kYear, folder, 1, &counts);
        if (!path)
            return d;
        d.paths << *path;
        d.names << m.nameParts.last();
        d.codes << m.code;
        d.bytes += QFileInfo(*path).size();
        d.records += counts.records;
    }
    d.ok = d.paths.size() == 23;
    return d;
}

// What the district dialog leaves behind when every ward is picked.
void selectWards(const Dataset& d, mapview::MapTables& t)
{
    state::resetMdlMain();
    auto& s = state::mdlMain();
    s.MapMode = QStringLiteral("City");
    s.DataYear = kYear;
    s.PrefTable[13] = {QStringLiteral("TRUE"), QStringLiteral("東京都"), QStringLiteral("65535")};
    s.clearTikuSelection();
    t.lvwTikuColor.clear();
    for (qsizetype k = 0; k < d.paths.size(); ++k) {
        const QString& path = d.paths.at(k);
        s.TikuPath.push_back(path);
        s.TikuPrefix.push_back(path.left(path.lastIndexOf(QLatin1Char('_')) + 1));
        s.TikuTable.push_back({d.names.at(k), QString(), QString(), d.codes.at(k)});
        t.lvwTikuColor.add(d.codes.at(k) + QLatin1Char('G'), QString::number(state::kYellow));
    }
    s.TikuCount = static_cast<int16_t>(d.paths.size());
}

void BM_CityLoad(benchmark::State& state)
{
    Dataset& d = dataset();
    if (!d.ok) {
        state.SkipWithError("shared data not available or generation failed");
        return;
    }
    platform::AppFolder::set(d.dir.path());
    size_t districts = 0;
    int codes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto* t = new mapview::MapTables;
        selectWards(d, *t);
        state.ResumeTiming();
        mapview::loadCity(*t, state::mdlMain(), {});
        state.PauseTiming();
        districts = t->DistrictRecords.size();
        codes = t->lvwUseTiku.count();
        delete t;
        state.ResumeTiming();
    }
    state.counters["districts"] = static_cast<double>(districts);
    state.counters["codes"] = codes;
    state.counters["files_MB"] = static_cast<double>(d.bytes) / 1e6;
}
BENCHMARK(BM_CityLoad)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CityRedraw(benchmark::State& state)
{
    const int style = static_cast<int>(state.range(0));
    const int size = static_cast<int>(state.range(1));
    Dataset& d = dataset();
    if (!d.ok) {
        state.SkipWithError("shared data not available or generation failed");
        return;
    }
    platform::AppFolder::set(d.dir.path());
    mapview::MapTables t;
    selectWards(d, t);
    mapview::loadCity(t, state::mdlMain(), {});
    mapview::Viewport vp;
    vp.setInitialView(t.DataExtent);
    platform::Canvas canvas(size, size);
    for (auto _ : state) {
        canvas.setScale(vp.view.X1, vp.view.Y1, vp.view.X2, vp.view.Y2);
        canvas.clear();
        mapview::Renderer r(canvas, t, state::mdlMain());
        r.drawBoundaries(mapview::MapMode::City, style);
    }
    state.counters["districts"] = static_cast<double>(t.DistrictRecords.size());
}
BENCHMARK(BM_CityRedraw)->ArgNames({"style", "px"})->Args({0, 600})->Args({2, 600})->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return miratos::bench::runQtBenchmarks(argc, argv);
}
