#include "qt_bench_main.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace miratos::bench {

int runQtBenchmarks(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace miratos::bench
