// display/page_stretch.cpp -- a page drawn off screen shown through a window's own pixels: read back
// once at the page's size, its colours reduced to the mode's depth and stretched nearest-neighbour over
// the window by the processor.
//
// A window of another shape than the page's shows the page whole with its shape kept, centred between
// black bars (letterbox), as a display shows a mode of another shape.
//
// A software renderer (Mesa's llvmpipe) spends about 5 ns on every pixel of a textured pass, so a pass
// at the window's size (the stretch, or the colour-depth pass drawn over the whole screen) costs 11 to
// 20 ms a frame at 1920 x 1080, more than the whole scene. Reading the page back and stretching it here
// costs about a tenth of that: the page is read once, each of its rows is packed once, and every window
// row that shows the same page row is a copy of the one before.
#include "display/backend.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace display {

namespace {

struct Stretch {
    std::vector<uint8_t> page;       // the page as read back: RGBA, rows bottom-up
    std::vector<int> runs;           // how many window columns each page column fills, left to right
    int widestRun;                   // the most any page column fills
    int uncheckedColumns;            // leading page columns whose widest write stays inside the row
    uint32_t channel[3][256];        // each 8-bit value reduced and shifted into place
    bool xrgb;                       // full precision into 0xXXRRGGBB: no tables needed
    // What `runs` and `channel` were made for.
    int pageWidth;
    int windowWidth;
    int bitsPerPixel;
    int shifts[3];
    uint32_t opaque;
};

Stretch gStretch;

// As the colour-depth pass computes it: the nearest of `levels` + 1 steps, back to 8 bits. No 8-bit value
// lies halfway between two steps for 3, 7, 31 or 63 levels, so the shader and this agree exactly.
uint8_t reducedValue(int value, float levels)
{
    double step = std::floor(value * static_cast<double>(levels) / 255.0 + 0.5);
    return static_cast<uint8_t>(std::lround(step * 255.0 / levels));
}

void prepareChannels(int bitsPerPixel, const WindowPixels& window)
{
    float levels[3];
    const bool reduced = levelsForDepth(bitsPerPixel, levels);
    for (int c = 0; c < 3; ++c)
        for (int value = 0; value < 256; ++value)
            gStretch.channel[c][value] = static_cast<uint32_t>(reduced ? reducedValue(value, levels[c]) : value)
                                         << window.shifts[c];
    gStretch.xrgb = !reduced && window.shifts[0] == 16 && window.shifts[1] == 8 && window.shifts[2] == 0;
    gStretch.bitsPerPixel = bitsPerPixel;
    std::memcpy(gStretch.shifts, window.shifts, sizeof gStretch.shifts);
    gStretch.opaque = window.opaque;
}

// Window column x shows the page column under its centre, as GL_NEAREST samples it; each page column
// so fills a run of neighbouring window columns (none where the page is wider than the window).
void prepareColumns(int pageWidth, int windowWidth)
{
    gStretch.runs.assign(static_cast<size_t>(pageWidth), 0);
    for (int x = 0; x < windowWidth; ++x)
        ++gStretch.runs[static_cast<size_t>((2 * static_cast<int64_t>(x) + 1) * pageWidth /
                                            (2 * static_cast<int64_t>(windowWidth)))];
    gStretch.widestRun = 0;
    for (int run : gStretch.runs) gStretch.widestRun = run > gStretch.widestRun ? run : gStretch.widestRun;
    gStretch.uncheckedColumns = 0;
    for (int start = 0; gStretch.uncheckedColumns < pageWidth && start + gStretch.widestRun <= windowWidth;)
        start += gStretch.runs[static_cast<size_t>(gStretch.uncheckedColumns++)];
    gStretch.pageWidth = pageWidth;
    gStretch.windowWidth = windowWidth;
}

void prepare(int pageWidth, int bitsPerPixel, const WindowPixels& window)
{
    if (bitsPerPixel != gStretch.bitsPerPixel || window.opaque != gStretch.opaque ||
        std::memcmp(window.shifts, gStretch.shifts, sizeof gStretch.shifts) != 0)
        prepareChannels(bitsPerPixel, window);
    if (pageWidth != gStretch.pageWidth || window.width != gStretch.windowWidth)
        prepareColumns(pageWidth, window.width);
}

// The tables as locals the compiler may keep in registers: the window's pixels are 32-bit values like
// the tables, and stores into them could otherwise be taken to change the tables.
struct TablePacker {
    const uint32_t* red;
    const uint32_t* green;
    const uint32_t* blue;
    uint32_t opaque;
    uint32_t operator()(const uint8_t* rgba) const { return red[rgba[0]] | green[rgba[1]] | blue[rgba[2]] | opaque; }
};

// A full-precision page into X11's usual 0xXXRRGGBB pixels: the bytes only change places.
struct XrgbPacker {
    uint32_t opaque;
    uint32_t operator()(const uint8_t* rgba) const
    {
        uint32_t value;
        std::memcpy(&value, rgba, sizeof value);
        return (__builtin_bswap32(value) >> 8) | opaque;
    }
};

// One page row packed into the window's pixels and stretched over one window row. Each page pixel is
// written kWidest times and the next one starts where its own run ends, overwriting the surplus, so
// the loop has no branch per pixel; the last pixels, whose surplus would pass the row's end, are
// written run by run.
template <int kWidest, typename Packer>
void stretchRow(const Packer pack, const uint8_t* rgba, int pageWidth, uint32_t* out)
{
    const int* runs = gStretch.runs.data();
    const int unchecked = kWidest > 0 ? gStretch.uncheckedColumns : 0;
    int page = 0;
    for (; page < unchecked; ++page, rgba += 4) {
        const uint32_t pixel = pack(rgba);
        for (int k = 0; k < kWidest; ++k) out[k] = pixel;
        out += runs[page];
    }
    for (; page < pageWidth; ++page, rgba += 4) {
        const uint32_t pixel = pack(rgba);
        for (int k = 0; k < runs[page]; ++k) *out++ = pixel;
    }
}

template <typename Packer>
void stretchRow(const Packer pack, const uint8_t* rgba, int pageWidth, uint32_t* out)
{
    switch (gStretch.widestRun) {
    case 1: stretchRow<1>(pack, rgba, pageWidth, out); break;
    case 2: stretchRow<2>(pack, rgba, pageWidth, out); break;
    case 3: stretchRow<3>(pack, rgba, pageWidth, out); break;
    case 4: stretchRow<4>(pack, rgba, pageWidth, out); break;
    default: stretchRow<0>(pack, rgba, pageWidth, out); break;   // run by run throughout
    }
}

void stretchRow(const uint8_t* rgba, int pageWidth, uint32_t* out)
{
    if (gStretch.xrgb) {
        stretchRow(XrgbPacker{gStretch.opaque}, rgba, pageWidth, out);
        return;
    }
    const TablePacker tables = {gStretch.channel[0], gStretch.channel[1], gStretch.channel[2], gStretch.opaque};
    stretchRow(tables, rgba, pageWidth, out);
}

}  // namespace

void reduceAndStretchRows(const uint8_t* rgba, int pageWidth, int pageHeight, int bitsPerPixel,
                          const WindowPixels& rows, int firstRow, int shownHeight, int rgbaFirstRow)
{
    if (!rgba || pageWidth <= 0 || pageHeight <= 0 || rows.width <= 0 || rows.height <= 0 || shownHeight <= 0) return;
    prepare(pageWidth, bitsPerPixel, rows);
    const size_t rowBytes = static_cast<size_t>(rows.width) * sizeof(uint32_t);
    int shownRow = -1;
    uint8_t* previous = nullptr;
    for (int i = 0; i < rows.height && firstRow + i < shownHeight; ++i) {
        const int y = firstRow + i;
        auto* out = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(rows.pixels) +
                                                static_cast<size_t>(i) * static_cast<size_t>(rows.pitchBytes));
        // The page row under the window row's centre; OpenGL's rows count from the bottom.
        const int top = static_cast<int>((2 * static_cast<int64_t>(y) + 1) * pageHeight /
                                         (2 * static_cast<int64_t>(shownHeight)));
        if (top == shownRow) {
            std::memcpy(out, previous, rowBytes);
            continue;
        }
        shownRow = top;
        previous = reinterpret_cast<uint8_t*>(out);
        const int glRow = pageHeight - 1 - top - rgbaFirstRow;
        const uint8_t* source = rgba + static_cast<size_t>(glRow) * static_cast<size_t>(pageWidth) * 4;
        stretchRow(source, pageWidth, out);
    }
}

void reduceAndStretch(const uint8_t* rgba, int pageWidth, int pageHeight, int bitsPerPixel,
                      const WindowPixels& window)
{
    reduceAndStretchRows(rgba, pageWidth, pageHeight, bitsPerPixel, window, 0, window.height, 0);
}

ShownRect letterbox(int pageWidth, int pageHeight, int windowWidth, int windowHeight)
{
    if (pageWidth <= 0 || pageHeight <= 0 || windowWidth <= 0 || windowHeight <= 0)
        return {0, 0, windowWidth, windowHeight};
    const int64_t wide = static_cast<int64_t>(pageWidth) * windowHeight;
    const int64_t tall = static_cast<int64_t>(pageHeight) * windowWidth;
    ShownRect shown = {0, 0, windowWidth, windowHeight};
    if (wide > tall) {
        shown.height = static_cast<int>((tall + pageWidth / 2) / pageWidth);
    } else if (tall > wide) {
        shown.width = static_cast<int>((wide + pageHeight / 2) / pageHeight);
    }
    // Shapes that differ by less than a pixel's rounding are the same shape: no bar one pixel wide.
    if (windowWidth - shown.width <= 1) shown.width = windowWidth;
    if (windowHeight - shown.height <= 1) shown.height = windowHeight;
    shown.width = shown.width < 1 ? 1 : shown.width;
    shown.height = shown.height < 1 ? 1 : shown.height;
    shown.x = (windowWidth - shown.width) / 2;
    shown.y = (windowHeight - shown.height) / 2;
    return shown;
}

namespace {

// Page rows [first, first + count) counted from the bottom, as OpenGL counts them, into gStretch.page.
bool readPageRows(int first, int count)
{
    const ModeInfo& mode = gFramework.screen.mode;
    const unsigned framebuffer = pageFramebuffer();
    if (!framebuffer || mode.xRes <= 0 || count <= 0) return false;
    const size_t bytes = static_cast<size_t>(mode.xRes) * static_cast<size_t>(count) * 4;
    if (gStretch.page.size() < bytes) gStretch.page.resize(bytes);
    GLint readBinding = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readBinding);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadPixels(0, first, mode.xRes, count, GL_RGBA, GL_UNSIGNED_BYTE, gStretch.page.data());
    glPopClientAttrib();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readBinding));
    return true;
}

int pageRowUnder(int windowRow, int pageHeight, int shownHeight)
{
    return static_cast<int>((2 * static_cast<int64_t>(windowRow) + 1) * pageHeight / (2 * static_cast<int64_t>(shownHeight)));
}

}  // namespace

bool stretchPageBand(const WindowPixels& rows, int firstRow, int shownHeight)
{
    const ModeInfo& mode = gFramework.screen.mode;
    if (mode.yRes <= 0 || shownHeight <= 0 || firstRow >= shownHeight) return false;
    const int lastRow = std::min(firstRow + rows.height, shownHeight) - 1;
    // Top-down page rows under the band's first and last window rows; OpenGL counts them upwards.
    const int top = pageRowUnder(firstRow, mode.yRes, shownHeight);
    const int bottom = pageRowUnder(lastRow, mode.yRes, shownHeight);
    const int glFirst = mode.yRes - 1 - bottom;
    if (!readPageRows(glFirst, bottom - top + 1)) return false;
    reduceAndStretchRows(gStretch.page.data(), mode.xRes, mode.yRes, mode.bitsPerPixel, rows, firstRow, shownHeight,
                         glFirst);
    return true;
}

bool stretchPageInto(const WindowPixels& window)
{
    const ModeInfo& mode = gFramework.screen.mode;
    if (!readPageRows(0, mode.yRes)) return false;
    reduceAndStretch(gStretch.page.data(), mode.xRes, mode.yRes, mode.bitsPerPixel, window);
    return true;
}

void releaseStretch()
{
    gStretch = {};
}

}  // namespace display
