#pragma once
// The main function of the benchmarks that need a Qt application (fonts, images).
namespace miratos::bench {

int runQtBenchmarks(int argc, char** argv);

} // namespace miratos::bench
