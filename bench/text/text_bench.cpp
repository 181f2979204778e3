// Outline text costs at the saver's size: making a font (all 256 glyphs loaded) and compiling every
// printable glyph, filled and outlined, on Mesa's software renderer.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include "../../tests/text/gl_context.h"
#include "text/font_engine.h"
#include "text/font_instance.h"
#include "text/glyph.h"
#include "text/glyph_polygonizer.h"
#include "text/glyph_vectorizer.h"
#include "text/text.h"

namespace {

constexpr int kSaverPointSize = 20;
constexpr int kFirstPrintable = 32;
constexpr int kLastPrintable = 126;

OffscreenContext& context()
{
    static OffscreenContext shared(64, 64);
    return shared;
}

FontFace& face()
{
    static FontFace shared;
    static bool opened = shared.open(TOCKWHEEL_FONT_FILE);
    (void)opened;
    return shared;
}

bool ready(benchmark::State& state)
{
    if (!context().isReady() || !face().isOpen()) {
        state.SkipWithError("no OpenGL context or no font");
        return false;
    }
    return true;
}

template <typename Font>
void BM_CreateFont(benchmark::State& state)
{
    if (!ready(state))
        return;
    for (auto _ : state) {
        Font font(face());
        benchmark::DoNotOptimize(font.create(kSaverPointSize));
    }
}

template <typename Font>
void BM_CompilePrintable(benchmark::State& state)
{
    if (!ready(state))
        return;
    for (auto _ : state) {
        state.PauseTiming();
        Font font(face());
        font.create(kSaverPointSize);
        state.ResumeTiming();
        font.load(kFirstPrintable, kLastPrintable);
        glFinish();
    }
    state.SetItemsProcessed(state.iterations() * (kLastPrintable - kFirstPrintable + 1));
}

// What the saver pays at start-up and on the first frames: both fonts made and every printable glyph
// compiled.
void BM_BothFontsReady(benchmark::State& state)
{
    if (!ready(state))
        return;
    for (auto _ : state) {
        FilledTextFont filled(face());
        OutlineTextFont outline(face());
        filled.create(kSaverPointSize);
        outline.create(kSaverPointSize);
        filled.load(kFirstPrintable, kLastPrintable);
        outline.load(kFirstPrintable, kLastPrintable);
        glFinish();
    }
}

}  // namespace

BENCHMARK_TEMPLATE(BM_CreateFont, FilledTextFont)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_CompilePrintable, FilledTextFont)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_CompilePrintable, OutlineTextFont)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BothFontsReady)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
