// display/mode_table.cpp -- the library's fixed table of the 86 standard video modes and their names.
#include "display/display.h"

#include <cstdio>

namespace display {

namespace {

struct Resolution {
    int x;   // pixels
    int y;   // pixels
};

constexpr Resolution kVga16Res[6] = {{320, 200}, {640, 200}, {640, 350}, {640, 400}, {640, 480}, {800, 600}};
constexpr Resolution kModeXRes[4] = {{320, 200}, {320, 240}, {320, 400}, {320, 480}};
constexpr int kSvgaResCount = 15;
constexpr Resolution kSvgaRes[kSvgaResCount] = {
    {320, 200}, {320, 240}, {320, 400}, {320, 480}, {400, 300},  {512, 384},  {640, 350},   {640, 400},
    {640, 480}, {800, 600}, {1024, 768}, {1152, 864}, {1280, 960}, {1280, 1024}, {1600, 1200}};

// The five SVGA depths in mode-number order, from mode 11 on.
struct SvgaDepth {
    int bits;
    const char* suffix;
};
constexpr int kFirstSvgaMode = 11;
constexpr SvgaDepth kSvgaDepths[5] = {
    {8, "SVGA 256 color"}, {15, "SVGA 32k color"}, {16, "SVGA 64k color"}, {24, "SVGA 16m color"},
    {32, "SVGA 4G color"}};

struct ModeEntry {
    int x;
    int y;
    int bits;
    char name[32];   // "1600 x 1200 SVGA 16m color" is the longest
};

void fillEntry(ModeEntry* entry, Resolution res, int bits, const char* suffix)
{
    entry->x = res.x;
    entry->y = res.y;
    entry->bits = bits;
    std::snprintf(entry->name, sizeof entry->name, "%d x %d %s", res.x, res.y, suffix);
}

struct ModeTable {
    ModeEntry entries[kModeCount];
    ModeTable()
    {
        for (int i = 0; i < 6; ++i)
            fillEntry(&entries[i], kVga16Res[i], 4, i == 5 ? "SVGA 16 color" : "VGA 16 color");
        for (int i = 0; i < 4; ++i) fillEntry(&entries[6 + i], kModeXRes[i], 8, "VGAX 256 color");
        fillEntry(&entries[10], {320, 200}, 8, "VGA 256 color");
        for (int d = 0; d < 5; ++d)
            for (int r = 0; r < kSvgaResCount; ++r)
                fillEntry(&entries[kFirstSvgaMode + d * kSvgaResCount + r], kSvgaRes[r], kSvgaDepths[d].bits,
                          kSvgaDepths[d].suffix);
    }
};

const ModeTable& table()
{
    static const ModeTable modes;
    return modes;
}

}  // namespace

bool modeResolution(int mode, int* xRes, int* yRes, int* bitsPerPixel)
{
    if (mode < 0 || mode >= kModeCount) return false;
    const ModeEntry& entry = table().entries[mode];
    if (xRes) *xRes = entry.x;
    if (yRes) *yRes = entry.y;
    if (bitsPerPixel) *bitsPerPixel = entry.bits;
    return true;
}

const char* modeName(int mode)
{
    if (mode < 0 || mode >= kModeCount) return "Invalid graphics mode";
    return table().entries[mode].name;
}

}  // namespace display
