// 20,000 town labels: rebuilding them from the districts, painting them over the map, and the
// hover look-up of the tooltip under the mouse.
#include "state/mdl_main.h"
#include "mapview/name_labels.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include "qt_bench_main.h"

#include <benchmark/benchmark.h>

using namespace miratos;
using namespace miratos::mapview;

namespace {

constexpr int kTowns = 20000;

MapTables& towns()
{
    static MapTables t = [] {
        MapTables tables;
        QRandomGenerator random(7);
        const QStringList stems = {QStringLiteral("本町"), QStringLiteral("栄町"), QStringLiteral("大山東町"),
                                   QStringLiteral("仲宿"), QStringLiteral("常盤台"), QStringLiteral("高島平")};
        for (int i = 0; i < kTowns; ++i) {
            DistrictRecord d;
            d.code = QStringLiteral("131190%1").arg(i, 5, 10, QLatin1Char('0'));
            d.townName = stems.at(i % stems.size()) + QString(QChar(0xFF11 + i % 9)) + QStringLiteral("丁目");
            d.labelX = QString::number(139.6 + random.generateDouble() * 0.2, 'f', 6);
            d.labelY = QString::number(35.7 + random.generateDouble() * 0.2, 'f', 6);
            d.area = QStringLiteral("30000");
            d.representative = QStringLiteral("M");
            tables.lvwUseTiku.add(QStringLiteral("G") + d.code, d.townName);
            tables.DistrictRecords.push_back(std::move(d));
        }
        return tables;
    }();
    return t;
}

platform::Canvas& scale()
{
    static platform::Canvas canvas = [] {
        platform::Canvas c(600, 600);
        c.setScale(139.6, 35.9, 139.8, 35.7);
        return c;
    }();
    return canvas;
}

void prepare(LabelLayer& layer)
{
    state::mdlMain().LayerProperty = state::layerPropertyDefaults(QStringLiteral("City"));
    layer.lblTiku().restyle(labelStyleOf(state::mdlMain(), LabelKind::Tiku));
}

void BM_RebuildTownLabels(benchmark::State& state)
{
    LabelLayer layer;
    prepare(layer);
    for (auto _ : state)
        buildTownLabels(layer, towns(), state::mdlMain(), true, {}, scale());
    state.counters["labels"] = layer.lblTiku().count() - 1;
}
BENCHMARK(BM_RebuildTownLabels)->Unit(benchmark::kMillisecond);

void BM_PaintTownLabels(benchmark::State& state)
{
    LabelLayer layer;
    prepare(layer);
    buildTownLabels(layer, towns(), state::mdlMain(), true, {}, scale());
    QImage target(600, 600, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&target);
        layer.paint(p, scale(), target.rect());
    }
}
BENCHMARK(BM_PaintTownLabels)->Unit(benchmark::kMillisecond);

// What the window does on every repaint: the layer's picture is reused until a label changes.
void BM_RepaintTownLabels(benchmark::State& state)
{
    LabelLayer layer;
    prepare(layer);
    buildTownLabels(layer, towns(), state::mdlMain(), true, {}, scale());
    QImage target(600, 600, QImage::Format_RGB32);
    {
        QPainter first(&target);
        layer.paintCached(first, scale(), target.rect());
    }
    for (auto _ : state) {
        QPainter p(&target);
        layer.paintCached(p, scale(), target.rect());
    }
}
BENCHMARK(BM_RepaintTownLabels)->Unit(benchmark::kMillisecond);

// Dragging one label in the edit mode: every mouse move repaints the window with the label at
// its new offset over the kept picture of the other 19,999.
void BM_DragTownLabel(benchmark::State& state)
{
    LabelLayer layer;
    prepare(layer);
    buildTownLabels(layer, towns(), state::mdlMain(), true, {}, scale());
    QImage target(600, 600, QImage::Format_RGB32);
    layer.setFloating(LabelHit{LabelKind::Tiku, 1});
    {
        QPainter first(&target);
        layer.paintCached(first, scale(), target.rect());
    }
    int i = 0;
    for (auto _ : state) {
        layer.setFloatingOffset(QPoint(i % 200, i % 150));
        QPainter p(&target);
        layer.paintCached(p, scale(), target.rect());
        ++i;
    }
}
BENCHMARK(BM_DragTownLabel)->Unit(benchmark::kMillisecond);

void BM_HoverLookup(benchmark::State& state)
{
    LabelLayer layer;
    prepare(layer);
    buildTownLabels(layer, towns(), state::mdlMain(), true, {}, scale());
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(layer.hitTest(QPoint(i % 600, (i * 7) % 600), scale()));
        ++i;
    }
}
BENCHMARK(BM_HoverLookup)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return miratos::bench::runQtBenchmarks(argc, argv);
}
