// setup/progress_bar.cpp -- the progress bar: drawn off screen, inverted under the bar, copied in one go.
#include <cmath>
#include <string>

#include "setup/copy_engine.h"
#include "setup/setup_windows.h"

namespace setup {

namespace {

constexpr platform::Rgb kBlack = 0x000000;
constexpr platform::Rgb kWhite = 0xFFFFFF;
constexpr platform::Rgb kBarBrush = 0x0000FF;   // pure blue
constexpr platform::Rgb kBarPen = 0x00000A;     // red 0, green 0, blue 10
constexpr int kTextRise = 8;                    // pixels above the middle where the text's top sits

}  // namespace

void paintProgressBar()
{
    platform::Window* dialog = setupWindows.progressDialog;
    if (!dialog || !copyEngine.copyEnabled || copyEngine.script.files.empty()) return;
    std::string text = std::to_string(progressPercent(copyEngine)) + "% complete";
    int w = 0;
    int h = 0;
    if (!platform::getControlClientSize(dialog, kFrameProgressBar, &w, &h)) return;
    platform::Canvas* canvas = platform::createCanvas(dialog, w + 1, h + 1);
    if (!canvas) return;
    platform::canvasRectangle(canvas, 0, 0, w, h, kBlack, kWhite);
    platform::canvasText(canvas, w / 2, h / 2 - kTextRise, text.c_str());
    // Under this mix the white inside the bar turns blue and the black text white, so the figure stays
    // readable where the bar covers it.
    platform::canvasSetMix(canvas, platform::kR2MergePenNot);
    int barRight = int(std::floor((w - 1) * progressFraction(copyEngine)));
    if (barRight > 1) platform::canvasRectangle(canvas, 1, 1, barRight, h - 1, kBarPen, kBarBrush);
    platform::copyCanvas(canvas, dialog, kProgressBarX, kProgressBarY, w, h);
    platform::destroyCanvas(canvas);
}

}  // namespace setup
