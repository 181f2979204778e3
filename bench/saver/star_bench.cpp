// bench/saver/star_bench.cpp -- one animation step of the four star layers at the largest star count.
#include <benchmark/benchmark.h>

#include <memory>

#include "platform/random.h"
#include "saver/star_field.h"

namespace {

constexpr int kLargestLayer = 8191;   // 32,767 stars over four layers, truncated
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

void BM_AdvanceFourLayers(benchmark::State& state)
{
    int orientation = static_cast<int>(state.range(0));
    platform::srand(1);
    auto layers = std::make_unique<StarLayer[]>(kStarLayerCount);
    for (int i = 0; i < kStarLayerCount; ++i) initStarLayer(layers[i], kScreenWidth, kScreenHeight, kLargestLayer);
    for (auto _ : state) {
        for (int i = 0; i < kStarLayerCount; ++i) advanceStarLayer(layers[i], orientation, 2 + 3 - i);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kStarLayerCount * kLargestLayer);
}
BENCHMARK(BM_AdvanceFourLayers)->Arg(kStarsHorizontal)->Arg(kStarsVertical)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
