// bench/display/display_bench.cpp -- the framework's own cost per main-loop pass, and plotting a star
// field's worth of pixels, on the offscreen back end.
#include "display/backend.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr int kPassesPerRun = 10000;
constexpr int kPixelsPerBracket = 8191;   // four brackets: 32,764 pixels

bool useOffscreen()
{
    setenv("TOCKWHEEL_DISPLAY", "offscreen", 1);
    setenv("TOCKWHEEL_SCREEN", "1024x768", 1);
    unsetenv("TOCKWHEEL_EVENTS");
    unsetenv("TOCKWHEEL_PASSES");
    unsetenv("TOCKWHEEL_SNAPSHOT");
    return display::initFramework("Display benchmark") != nullptr;
}

int gPasses = 0;
void emptyDraw() {}
void emptyEvent(const display::Event&) {}
void countPasses()
{
    if (++gPasses == kPassesPerRun) display::requestExit();
}

// One pass with every hook set but doing nothing, and one mouse move queued: what the framework itself
// spends between the saver's own work.
void BM_MainLoopPass(benchmark::State& state)
{
    if (!useOffscreen()) {
        state.SkipWithError("no offscreen display");
        return;
    }
    display::setDrawHook(emptyDraw);
    display::setGameLogicHook(countPasses);
    display::setMouseMoveHook(emptyEvent);
    for (auto _ : state) {
        gPasses = 0;
        display::postEvent(display::Event{display::kEventMouseMove, 0, 1, 1, 0, 0, 0});
        display::runMainLoop();
    }
    state.SetItemsProcessed(state.iterations() * kPassesPerRun);
    state.counters["time_per_pass"] = benchmark::Counter(static_cast<double>(state.iterations()) * kPassesPerRun,
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    display::setGameLogicHook(nullptr);
    display::setDrawHook(nullptr);
}
BENCHMARK(BM_MainLoopPass)->Unit(benchmark::kMillisecond);

// 32,764 pixels in four brackets at 1024 x 768, finished by the GL driver (llvmpipe renders on the CPU).
// Second argument: 2 compute-shader stores where the context has them (the fastest path takes them for
// batches of 1,024 pixels and more), 1 GL_POINTS, so both are measured in the same run.
void BM_Plot32764Pixels(benchmark::State& state)
{
    if (!useOffscreen()) {
        state.SkipWithError("no offscreen display");
        return;
    }
    display::setDriverOptions(display::DriverOptions{1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0x0F});
    display::ModeInfo mode;
    if (!display::findMode(1024, 768, 32, &mode) || !display::setMode(mode, false, 3, false) ||
        !display::startOpenGL(display::kGlDoubleBuffer | display::kGlDepthBuffer)) {
        state.SkipWithError("no 1024 x 768 mode");
        return;
    }
    display::choosePixelPath(static_cast<int>(state.range(1)));
    state.SetLabel(state.range(1) == display::kPixelPathStores && display::pixelsUseImageStore() ? "image stores"
                                                                                               : "GL_POINTS");
    uint32_t seed = 1;
    for (auto _ : state) {
        for (int layer = 0; layer < 4; ++layer) {
            display::setColorRGB(static_cast<uint8_t>(64 * layer), 255, 255);
            display::beginPixels();
            for (int i = 0; i < state.range(0); ++i) {
                seed = seed * 214013 + 2531011;
                display::plotPixel(static_cast<int>((seed >> 16) & 1023), static_cast<int>(((seed >> 6) & 0x3FF) % 768));
            }
            display::endPixels();
        }
        glFinish();
    }
    state.SetItemsProcessed(state.iterations() * 4 * state.range(0));
    display::choosePixelPath(display::kPixelPathFastest);
    display::restoreDesktop();
}
BENCHMARK(BM_Plot32764Pixels)
    ->ArgNames({"pixels", "points"})
    ->ArgsProduct({{kPixelsPerBracket, 16}, {display::kPixelPathStores, display::kPixelPathPoints}})
    ->Unit(benchmark::kMillisecond);

// The framework's share of the above: collecting the same pixels into the bracket's vertex array, with
// the bracket dropped before it is drawn.
void BM_CollectPixelsOnly(benchmark::State& state)
{
    uint32_t seed = 1;
    for (auto _ : state) {
        for (int layer = 0; layer < 4; ++layer) {
            display::beginPixels();
            for (int i = 0; i < kPixelsPerBracket; ++i) {
                seed = seed * 214013 + 2531011;
                display::plotPixel(static_cast<int>((seed >> 16) & 1023), static_cast<int>(((seed >> 6) & 0x3FF) % 768));
            }
        }
        benchmark::ClobberMemory();
    }
    display::endPixels();
    state.SetItemsProcessed(state.iterations() * 4 * kPixelsPerBracket);
}
BENCHMARK(BM_CollectPixelsOnly)->Unit(benchmark::kMillisecond);

// A page reduced and stretched by the processor into a 1920 x 1080 window's pixels (XRGB, as X11 has
// them), without the read-back: a 640 x 480 16-bit page (the defaults), 1024 x 768 and 1280 x 1024 at
// 32 bits. Arguments: page width, height, bits per pixel.
void BM_ReduceAndStretch(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    std::vector<uint8_t> page(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    uint32_t seed = 1;
    for (uint8_t& byte : page) {
        seed = seed * 214013 + 2531011;
        byte = static_cast<uint8_t>(seed >> 16);
    }
    constexpr int kWindowWidth = 1920, kWindowHeight = 1080;
    std::vector<uint32_t> pixels(static_cast<size_t>(kWindowWidth) * kWindowHeight);
    const display::WindowPixels window = {pixels.data(), kWindowWidth * 4, kWindowWidth, kWindowHeight, {16, 8, 0}, 0};
    for (auto _ : state) {
        display::reduceAndStretch(page.data(), width, height, static_cast<int>(state.range(2)), window);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWindowWidth * kWindowHeight);
}
BENCHMARK(BM_ReduceAndStretch)
    ->ArgNames({"width", "height", "bits"})
    ->Args({640, 480, 16})
    ->Args({1024, 768, 32})
    ->Args({1280, 1024, 32})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
