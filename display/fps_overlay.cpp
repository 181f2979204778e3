// display/fps_overlay.cpp -- TOCKWHEEL_FPS=1: frames per second and processor load in the page's top
// left corner, drawn with the framework's own 2D operations just before each page is presented.
#include "display/backend.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace display {

namespace {

constexpr uint64_t kMeasureUs = 1000000;   // one reading per second of the back end's clock
constexpr int kGlyphColumns = 3;           // cells
constexpr int kGlyphRows = 5;
constexpr int kCellPx = 2;                 // pixels per cell side
constexpr int kAdvancePx = (kGlyphColumns + 1) * kCellPx;
constexpr int kMarginPx = 4;               // from the page's corner to the text
constexpr int kPaddingPx = 3;              // black around the text
constexpr int kTextChars = 24;

struct Glyph {
    char c;
    uint8_t rows[kGlyphRows];   // bit 2 is the left cell
};

const Glyph kGlyphs[] = {
    {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}}, {'2', {7, 1, 7, 4, 7}}, {'3', {7, 1, 3, 1, 7}},
    {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 7, 1, 7}}, {'6', {7, 4, 7, 5, 7}}, {'7', {7, 1, 1, 2, 2}},
    {'8', {7, 5, 7, 5, 7}}, {'9', {7, 5, 7, 1, 7}}, {'F', {7, 4, 6, 4, 4}}, {'P', {6, 5, 6, 4, 4}},
    {'S', {3, 4, 2, 1, 6}}, {'C', {3, 4, 4, 4, 3}}, {'U', {5, 5, 5, 5, 7}}, {'%', {5, 1, 2, 4, 5}},
    {'-', {0, 0, 7, 0, 0}},
};

struct Overlay {
    bool started;               // a measuring window is open
    uint64_t windowStartUs;     // back-end clock at the start of the window
    uint64_t cpuStartNs;        // process processor time then
    uint32_t frames;            // pages presented in the window
    char text[kTextChars + 1];  // what the corner shows
};

// Read at the first presented page, not at load time, so that a program may set it before its first frame.
bool overlayWanted()
{
    static const bool wanted = [] {
        const char* value = std::getenv("TOCKWHEEL_FPS");
        return value && std::strcmp(value, "1") == 0;
    }();
    return wanted;
}

Overlay gOverlay = {false, 0, 0, 0, "FPS -- CPU --%"};

uint64_t processCpuNs()
{
    timespec used;
    if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used) != 0) return 0;
    return static_cast<uint64_t>(used.tv_sec) * 1000000000u + static_cast<uint64_t>(used.tv_nsec);
}

const Glyph* glyphFor(char c)
{
    for (const Glyph& glyph : kGlyphs)
        if (glyph.c == c) return &glyph;
    return nullptr;   // a blank
}

void measure(const Backend& backend)
{
    uint64_t now = backend.nowUs();
    uint64_t cpu = processCpuNs();
    if (!gOverlay.started) {
        gOverlay = {true, now, cpu, 0, "FPS -- CPU --%"};
        return;
    }
    ++gOverlay.frames;
    uint64_t elapsedUs = now - gOverlay.windowStartUs;
    if (elapsedUs < kMeasureUs) return;
    unsigned fps = static_cast<unsigned>((gOverlay.frames * 1000000ull + elapsedUs / 2) / elapsedUs);
    unsigned load = static_cast<unsigned>((cpu - gOverlay.cpuStartNs) / 10u / elapsedUs);   // percent
    std::snprintf(gOverlay.text, sizeof gOverlay.text, "FPS %u CPU %u%%", fps > 999 ? 999 : fps,
                  load > 999 ? 999 : load);
    gOverlay.windowStartUs = now;
    gOverlay.cpuStartNs = cpu;
    gOverlay.frames = 0;
}

void plotGlyph(const Glyph& glyph, int left, int top)
{
    for (int row = 0; row < kGlyphRows; ++row)
        for (int column = 0; column < kGlyphColumns; ++column) {
            if (!(glyph.rows[row] & (4 >> column))) continue;
            for (int dy = 0; dy < kCellPx; ++dy)
                for (int dx = 0; dx < kCellPx; ++dx)
                    plotPixel(left + column * kCellPx + dx, top + row * kCellPx + dy);
        }
}

void drawText()
{
    int length = static_cast<int>(std::strlen(gOverlay.text));
    int widthPx = length * kAdvancePx - kCellPx;
    int heightPx = kGlyphRows * kCellPx;
    // fillRectAround takes a centre and half extents; the box is made one pixel wider when odd.
    int halfWidth = (widthPx + 2 * kPaddingPx) / 2;
    int halfHeight = (heightPx + 2 * kPaddingPx) / 2;
    setColorRGB(0, 0, 0);
    fillRectAround(kMarginPx - kPaddingPx + halfWidth, kMarginPx - kPaddingPx + halfHeight, halfWidth, halfHeight);
    setColorRGB(255, 255, 0);
    beginPixels();
    for (int i = 0; i < length; ++i)
        if (const Glyph* glyph = glyphFor(gOverlay.text[i])) plotGlyph(*glyph, kMarginPx + i * kAdvancePx, kMarginPx);
    endPixels();
}

}  // namespace

// Drawn into the page itself, so that snapshots show it too. The current 2D colour is the overlay's
// afterwards; every drawing of the saver sets its own colour first.
void drawFpsOverlay()
{
    if (!overlayWanted()) return;
    const Backend* backend = activeBackend();
    if (!backend || !gFramework.screen.openGL) return;
    measure(*backend);
    drawText();
}

}  // namespace display
