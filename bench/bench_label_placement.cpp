// "ラベル配置" on 埼玉・千葉・東京・神奈川 with municipality and station names, on the 600 px
// window canvas and on an A4 300 dpi canvas (3508×2480, fonts scaled by 300/96). The data are the
// 2021 boundaries and the 2016 railways of ../shared/data, imported once into a temporary app
// folder; only the placement is timed. The counters are the names placed.
#include "cli/import_command.h"
#include "cli/render_command.h"
#include "layers/label_placement.h"
#include "layers/railway_layer.h"
#include "mapview/loaders.h"
#include "mapview/name_labels.h"
#include "mapview/viewport.h"
#include "platform/app_folder.h"
#include "state/mdl_main.h"
#include "store/railway_files.h"

#include "qt_bench_main.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <benchmark/benchmark.h>
#include <memory>

using namespace miratos;

namespace {

QString shared(const QString& rel)
{
    return QStringLiteral(MIRATOS_SHARED_DATA "/") + rel;
}

struct Scene {
    mapview::MapTables tables;
    layers::RailwayLayer railway;
    QString problem;
};

// Imports the four prefectures and the railways once.
Scene* kanto()
{
    static std::unique_ptr<Scene> scene;
    static QTemporaryDir dir;
    if (scene)
        return scene.get();
    scene = std::make_unique<Scene>();
    if (!QFileInfo::exists(shared(QStringLiteral("README.md")))) {
        scene->problem = QStringLiteral("../shared/data is absent");
        return scene.get();
    }
    QFile::copy(QStringLiteral(MIRATOS_SOURCE_DIR "/data/Init.ini"), dir.filePath(QStringLiteral("Init.ini")));
    QDir(dir.path()).mkpath(QStringLiteral("MapData"));
    platform::AppFolder::set(dir.path());
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    QStringList files;
    for (int p : {11, 12, 13, 14})
        files << shared(QStringLiteral("n03-2021/topojson/N03-21_%1_210101.json").arg(p));
    cli::runImportCommand(files, out, err);
    cli::runImportCommand({shared(QStringLiteral("railway/N05-16_railroad.topojson.json")),
                           shared(QStringLiteral("railway/N05-16_station.topojson.json"))},
                          out, err);
    state::resetMdlMain();
    state::MdlMain& s = state::mdlMain();
    const QStringList prefs{QStringLiteral("埼玉県"), QStringLiteral("千葉県"), QStringLiteral("東京都"), QStringLiteral("神奈川県")};
    if (const auto problem = cli::applyMapChoices(QStringLiteral("Pref"), prefs, {}, s, scene->tables.lvwTikuColor)) {
        scene->problem = *problem;
        return scene.get();
    }
    mapview::loadPref(scene->tables, s, platform::AppFolder::initIni(), {});
    scene->railway.load(store::railwayFolder(platform::AppFolder::mapData()));
    scene->railway.buildTables(scene->tables.DataExtent);
    return scene.get();
}

// The labels of the scene on a canvas of the given size, fonts scaled by dpi / 96.
void labelsOn(Scene& scene, platform::Canvas& canvas, mapview::LabelLayer& labels, double dpi)
{
    mapview::Viewport viewport;
    viewport.setInitialView(scene.tables.DataExtent);
    const mapview::ViewRect& v = viewport.view;
    // The square view widened to the canvas' shape.
    const double aspect = static_cast<double>(canvas.width()) / canvas.height();
    const double w = v.X2 - v.X1, h = v.Y1 - v.Y2;
    const double cx = (v.X1 + v.X2) / 2;
    const double halfW = std::max(w, h * aspect) / 2;
    const double halfH = halfW / aspect;
    const double cy = (v.Y1 + v.Y2) / 2;
    canvas.setScale(cx - halfW, cy + halfH, cx + halfW, cy - halfH);
    for (int k = 0; k < mapview::kLabelKinds; ++k) {
        const auto kind = static_cast<mapview::LabelKind>(k);
        mapview::LabelStyle style = mapview::labelStyleOf(state::mdlMain(), kind);
        style.font.setPointSizeF(style.font.pointSizeF() * dpi / 96);
        labels.array(kind).restyle(style);
    }
    mapview::buildNameLabels(labels, scene.tables, state::mdlMain(), mapview::MapMode::Pref, true, canvas);
    scene.railway.stationLabels(labels, true);
}

int visible(const mapview::LabelArray& a)
{
    int n = 0;
    for (int i = 1; i < a.count(); ++i)
        n += a.at(i).visible ? 1 : 0;
    return n;
}

void placeOn(benchmark::State& state, int width, int height, double dpi)
{
    Scene* scene = kanto();
    if (!scene->problem.isEmpty())
        return state.SkipWithError(scene->problem.toStdString().c_str());
    platform::Canvas canvas(width, height);
    mapview::LabelLayer start;
    labelsOn(*scene, canvas, start, dpi);
    layers::PlacementOptions options;
    options.placeLabels = true;
    mapview::LabelLayer labels;
    for (auto _ : state) {
        state.PauseTiming();
        labels = start;
        state.ResumeTiming();
        layers::applyPlacementOptions(labels, canvas, scene->tables, mapview::MapMode::Pref, false, scene->railway.stationLines(), options);
    }
    state.counters["municipalities"] = visible(labels.array(mapview::LabelKind::Pref));
    state.counters["of_municipalities"] = start.array(mapview::LabelKind::Pref).count() - 1;
    state.counters["stations"] = visible(labels.array(mapview::LabelKind::Eki));
    state.counters["of_stations"] = visible(start.array(mapview::LabelKind::Eki));
}

void BM_PlaceKanto600(benchmark::State& state)
{
    placeOn(state, 600, 600, 96);
}
BENCHMARK(BM_PlaceKanto600)->Unit(benchmark::kMillisecond);

void BM_PlaceKantoA4At300Dpi(benchmark::State& state)
{
    placeOn(state, 3508, 2480, 300);
}
BENCHMARK(BM_PlaceKantoA4At300Dpi)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::runQtBenchmarks(argc, argv);
}
