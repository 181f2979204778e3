// bench/saver/frame_bench.cpp -- whole rendered frames and star plotting on the offscreen display.
//
// The scene is built once per process, so each screen size or star count is its own run:
//   bench_saver_frame --screen=1024x768 --stars=700 [benchmark flags]
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config/settings.h"
#include "platform/random.h"
#include "saver/frame_loop.h"
#include "saver/star_field.h"
#include "tests/saver/offscreen_scene.h"

namespace {

void BM_RenderedFrame(benchmark::State& state)
{
    for (auto _ : state) {
        advanceFrame();
        drawFrame();
        glFinish();
    }
}

void BM_PlotStars(benchmark::State& state)
{
    for (auto _ : state) {
        for (int i = kStarLayerCount - 1; i >= 0; --i) drawStarLayer(starLayers[i], 200, 200, 200);
        glFinish();
    }
    state.SetItemsProcessed(state.iterations() * kStarLayerCount * starLayers[0].count);
}

// Takes --screen=WxH and --stars=N out of argv; the rest goes to the benchmark library.
void takeOwnFlags(int* argc, char** argv, int* width, int* height, int* stars)
{
    int kept = 1;
    for (int i = 1; i < *argc; ++i) {
        if (std::sscanf(argv[i], "--screen=%dx%d", width, height) == 2) continue;
        if (std::sscanf(argv[i], "--stars=%d", stars) == 1) continue;
        argv[kept++] = argv[i];
    }
    *argc = kept;
}

}  // namespace

int main(int argc, char** argv)
{
    int width = 1024, height = 768, stars = 700;
    takeOwnFlags(&argc, argv, &width, &height, &stars);
    resetSettings();   // defaults: the frame benchmark measures what a new user sees
    Settings.frameSkip = 0;
    Settings.starAmount = static_cast<int16_t>(stars);
    setenv("TOCKWHEEL_TIME", "2026-03-04T10:08:30", 1);
    platform::srand(1);
    std::string dir = std::string(TOCKWHEEL_BINARY_DIR) + "/bench/saver/windows";
    if (!prepareWindowsDirectory(dir, "") || !startOffscreenScene(width, height)) {
        std::fprintf(stderr, "cannot set up the scene at %dx%d\n", width, height);
        return 1;
    }
    benchmark::RegisterBenchmark("RenderedFrame", BM_RenderedFrame)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("PlotStars", BM_PlotStars)->Unit(benchmark::kMicrosecond);
    benchmark::AddCustomContext("screen", std::to_string(width) + "x" + std::to_string(height));
    benchmark::AddCustomContext("stars", std::to_string(stars));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
