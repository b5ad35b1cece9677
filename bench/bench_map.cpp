// Loading and redrawing real boundaries: all 47 prefectures imported from the published
// TopoJSON, and the same data densified 50 times (points interpolated along every line, about
// the density of the unsimplified government data). Memory is the growth of the resident set
// while loading, next to the size of the files read.
#include "state/mdl_main.h"
#include "state/prefectures.h"
#include "cli/import_command.h"
#include "mapview/loaders.h"
#include "mapview/renderer.h"
#include "mapview/viewport.h"
#include "platform/app_folder.h"
#include "store/line_geometry.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>
#include "qt_bench_main.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <malloc.h>

using namespace miratos;

namespace {

QString sharedTopo(int code)
{
    return QStringLiteral(MIRATOS_SHARED_DATA "/n03-2021/topojson/N03-21_%1_210101.json").arg(code, 2, 10, QLatin1Char('0'));
}

long residentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

// Writes Line.dat again with `factor` - 1 points interpolated between every two points.
void densify(const QString& lineFile, int factor)
{
    auto lines = store::readLineGeometry(lineFile);
    QByteArray out;
    char buf[64];
    for (const auto& l : *lines) {
        out += l.key.toLatin1() + "\r\n";
        bool first = true;
        auto put = [&](double lat, double lon) {
            const int n = std::snprintf(buf, sizeof buf, first ? "%.10g %.10g" : " %.10g %.10g", lat, lon);
            out.append(buf, n);
            first = false;
        };
        for (qsizetype i = 0; i < l.points.size(); ++i) {
            const QPointF p = l.points[i];
            if (i > 0) {
                const QPointF a = l.points[i - 1];
                for (int k = 1; k < factor; ++k) {
                    const double t = static_cast<double>(k) / factor;
                    put(a.y() + (p.y() - a.y()) * t, a.x() + (p.x() - a.x()) * t);
                }
            }
            put(p.y(), p.x());
        }
        out += "\r\n";
    }
    QFile f(lineFile);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(out);
}

struct Dataset {
    QTemporaryDir dir;
    qint64 bytes = 0; // size of the files a load of all prefectures reads
    bool ok = false;
};

Dataset& dataset(bool dense)
{
    static Dataset simple, densified;
    Dataset& d = dense ? densified : simple;
    if (d.ok || !QFile::exists(sharedTopo(13)))
        return d;
    QFile::copy(QStringLiteral(MIRATOS_SOURCE_DIR "/data/Init.ini"), d.dir.filePath(QStringLiteral("Init.ini")));
    platform::AppFolder::set(d.dir.path());
    QStringList files;
    for (int i = 1; i <= 47; ++i)
        files << sharedTopo(i);
    QString log;
    QTextStream out(&log), err(&log);
    if (cli::runImportCommand(files, out, err) != 0)
        return d;
    QDirIterator it(d.dir.filePath(QStringLiteral("MapData")), {QStringLiteral("*.dat")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        if (dense && f.endsWith(QLatin1String("/Line.dat")))
            densify(f, 50);
        d.bytes += QFileInfo(f).size();
    }
    d.ok = true;
    return d;
}

void selectAll(state::MdlMain& s, const QString& mode)
{
    state::resetMdlMain();
    s.MapMode = mode;
    s.UseSpecialCoordinate = true;
    s.HideSeparate = false;
    for (int i = 1; i <= 47; ++i) {
        s.PrefTable[static_cast<size_t>(i)] = {QStringLiteral("TRUE"), state::prefectureName(i), QStringLiteral("65535")};
    }
}

void load(mapview::MapTables& t, bool japan)
{
    auto& s = state::mdlMain();
    selectAll(s, japan ? QStringLiteral("Japan") : QStringLiteral("Pref"));
    const QString ini = platform::AppFolder::initIni();
    if (japan)
        mapview::loadJapan(t, s, ini, {});
    else
        mapview::loadPref(t, s, ini, {});
}

void BM_Load(benchmark::State& state)
{
    const bool dense = state.range(0) != 0;
    const bool japan = state.range(1) != 0;
    Dataset& d = dataset(dense);
    if (!d.ok) {
        state.SkipWithError("shared data not available");
        return;
    }
    platform::AppFolder::set(d.dir.path());
    long grownKb = 0;
    for (auto _ : state) {
        state.PauseTiming();
        malloc_trim(0); // hand freed memory back so the growth below is this load's own
        const long before = residentKb();
        state.ResumeTiming();
        auto* t = new mapview::MapTables;
        load(*t, japan);
        state.PauseTiming();
        grownKb = residentKb() - before;
        delete t;
        state.ResumeTiming();
    }
    state.counters["files_MB"] = static_cast<double>(d.bytes) / 1e6;
    state.counters["memory_MB"] = static_cast<double>(grownKb) / 1024;
    state.counters["memory_x_files"] = grownKb * 1024.0 / static_cast<double>(d.bytes);
}
BENCHMARK(BM_Load)
    ->ArgNames({"dense", "japan"})
    ->Args({0, 0})->Args({0, 1})->Args({1, 0})->Args({1, 1})
    ->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Redraw(benchmark::State& state)
{
    const bool dense = state.range(0) != 0;
    const bool japan = state.range(1) != 0;
    const int style = static_cast<int>(state.range(2));
    const int size = static_cast<int>(state.range(3));
    Dataset& d = dataset(dense);
    if (!d.ok) {
        state.SkipWithError("shared data not available");
        return;
    }
    platform::AppFolder::set(d.dir.path());
    mapview::MapTables t;
    load(t, japan);
    mapview::Viewport vp;
    vp.setInitialView(t.DataExtent);
    platform::Canvas canvas(size, size);
    for (auto _ : state) {
        canvas.setScale(vp.view.X1, vp.view.Y1, vp.view.X2, vp.view.Y2);
        canvas.clear();
        mapview::Renderer r(canvas, t, state::mdlMain());
        r.drawBoundaries(japan ? mapview::MapMode::Japan : mapview::MapMode::Pref, style);
    }
}
BENCHMARK(BM_Redraw)
    ->ArgNames({"dense", "japan", "style", "px"})
    ->ArgsProduct({{0, 1}, {0}, {0, 2}, {600, 2600}})
    ->ArgsProduct({{0, 1}, {1}, {0, 2}, {600}})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return miratos::bench::runQtBenchmarks(argc, argv);
}
