// "属性非重" in City mode on 20,000 town labels, 5,000 station labels and 5,000 facility names
// spread over one ward, with the municipality labels as obstacles.
#include "layers/label_declutter.h"

#include <benchmark/benchmark.h>
#include <random>

using namespace miratos::layers;

namespace {

std::vector<LabelBox> scatter(std::mt19937& random, int count)
{
    // Labels of 3 to 8 characters at about 12 px per character on a 600 px view of 0.2°.
    std::uniform_real_distribution<float> x(139.6f, 139.8f);
    std::uniform_real_distribution<float> y(35.7f, 35.9f);
    std::uniform_int_distribution<int> chars(3, 8);
    std::vector<LabelBox> boxes;
    boxes.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        boxes.push_back({x(random), y(random), chars(random) * 0.004f, 0.005f, true});
    return boxes;
}

void BM_DeclutterCity(benchmark::State& state)
{
    std::mt19937 random(42);
    const DeclutterSet start{scatter(random, 23), scatter(random, 20000), scatter(random, 5000), scatter(random, 5000)};
    for (auto _ : state) {
        state.PauseTiming();
        DeclutterSet set = start;
        state.ResumeTiming();
        declutter(set, {true, true, true, true});
        benchmark::DoNotOptimize(set.towns.data());
    }
}
BENCHMARK(BM_DeclutterCity)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
