// display/driver_table.cpp -- the driver table, the WinDirect gating and mode detection for the dialog.
#include "display/backend.h"

#include <cstdio>

namespace display {

namespace {

constexpr int kFirstSvgaMode = 11;
constexpr int kLastMode = kModeCount - 1;

bool gTable[kDriverCount];                     // drivers in the library's table
DetectedMode gDetected[kModeCount];            // the last detectGraph, kept after the table empties
uint8_t gAvailable[kModeCount + 1] = {kModeListEnd};   // ascending detected modes, 255-ended

// When two drivers serve a mode, the first of this order names it: exclusive modes and accelerated
// drivers ahead of the plain ones, the stretched desktop last.
constexpr DriverId kPreference[kDriverCount] = {kDriverDirectDraw, kDriverAccel, kDriverLinear,
                                                kDriverModeX,      kDriverVga,   kDriverFullScreenDib};

bool driverCovers(int driver, int mode)
{
    switch (driver) {
    case kDriverVga: return (mode >= 0 && mode <= 5) || mode == 10;
    case kDriverModeX: return mode >= 6 && mode <= 9;
    default: return mode >= kFirstSvgaMode && mode <= kLastMode;
    }
}

DetectedMode detectOne(const bool enabled[kDriverCount], int mode)
{
    DetectedMode found = {kDriverNone, 0};
    const Backend* backend = activeBackend();
    int x = 0, y = 0, bits = 0;
    if (!backend || !modeResolution(mode, &x, &y, &bits)) return found;
    for (DriverId driver : kPreference) {
        if (!enabled[driver] || !driverCovers(driver, mode)) continue;
        int pages = backend->modePages(driver, x, y, bits);
        if (pages > 0) return {driver, pages};
    }
    return found;
}

}  // namespace

void driversFromFlags(bool winDirect, bool directDraw, bool standardVga, bool modeX, bool vbe, bool linear,
                      bool vbeAf, bool fullScreenDib, bool enabled[kDriverCount])
{
    enabled[kDriverDirectDraw] = directDraw;
    enabled[kDriverVga] = winDirect && standardVga;
    enabled[kDriverModeX] = winDirect && standardVga && modeX;
    enabled[kDriverLinear] = winDirect && vbe && linear;
    enabled[kDriverAccel] = winDirect && vbe && linear && vbeAf;
    enabled[kDriverFullScreenDib] = fullScreenDib;
}

void detectModes(const bool enabled[kDriverCount], DetectedMode out[kModeCount])
{
    for (int mode = 0; mode < kModeCount; ++mode) out[mode] = detectOne(enabled, mode);
}

const char* driverFileName(int driver, int bitsPerPixel)
{
    static const char* const kNames[][4] = {
        {"DDRAW8.DRV", "DDRAW16.DRV", "DDRAW24.DRV", "DDRAW32.DRV"},
        {"VGA.DRV", "VGA.DRV", "VGA.DRV", "VGA.DRV"},
        {"VGAX.DRV", "VGAX.DRV", "VGAX.DRV", "VGAX.DRV"},
        {"LINEAR8.DRV", "LINEAR16.DRV", "LINEAR24.DRV", "LINEAR32.DRV"},
        {"ACCEL8.DRV", "ACCEL16.DRV", "ACCEL24.DRV", "ACCEL32.DRV"},
        {"FDIB8.DRV", "FDIB16.DRV", "FDIB24.DRV", "FDIB32.DRV"},
    };
    if (driver < 0 || driver >= kDriverCount) return nullptr;
    int depth = bitsPerPixel <= 8 ? 0 : bitsPerPixel <= 16 ? 1 : bitsPerPixel <= 24 ? 2 : 3;
    return kNames[driver][depth];
}

void clearDriverTable()
{
    for (bool& present : gTable) present = false;
}

void addDisplayDrivers(bool winDirect, bool directDraw, bool standardVga, bool modeX, bool vbe, bool linear,
                       bool vbeAf, bool fullScreenDib)
{
    bool enabled[kDriverCount];
    driversFromFlags(winDirect, directDraw, standardVga, modeX, vbe, linear, vbeAf, fullScreenDib, enabled);
    for (int driver = 0; driver < kDriverCount; ++driver) gTable[driver] = gTable[driver] || enabled[driver];
}

// Every call probes every driver in the table: the back ends answer for all their modes at once.
void detectGraph(int, int)
{
    detectModes(gTable, gDetected);
    int count = 0;
    for (int mode = 0; mode < kModeCount; ++mode)
        if (gDetected[mode].driver != kDriverNone) gAvailable[count++] = static_cast<uint8_t>(mode);
    gAvailable[count] = kModeListEnd;
}

uint8_t* availableModes()
{
    return gAvailable;
}

int availablePages(int mode)
{
    if (mode < 0 || mode >= kModeCount) return 0;
    return gDetected[mode].pages;
}

const char* modeDriverName(int mode)
{
    int bits = 0;
    if (!modeResolution(mode, nullptr, nullptr, &bits)) return "Invalid graphics mode";
    DetectedMode found = detectOne(gTable, mode);
    if (found.driver == kDriverNone) return "Invalid graphics mode";
    return driverFileName(found.driver, bits);
}

}  // namespace display
