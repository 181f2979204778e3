// display/framework.cpp -- the framework record, start-up, driver options, the mode list and the mode switch.
#include "display/backend.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/stop_signals.h"

namespace display {

// Until the caller hands its own options, every family may serve, at every depth.
Framework gFramework = [] {
    Framework state = {};
    state.modes.options = {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0x0F};
    state.loop.active = true;
    return state;
}();

namespace {

constexpr int kFirstListedMode = 11;   // the mode list skips the 4-bit and VGA/Mode X modes

bool sameOptions(const DriverOptions& a, const DriverOptions& b)
{
    return a.winDirect == b.winDirect && a.directDraw == b.directDraw && a.standardVga == b.standardVga &&
           a.modeX == b.modeX && a.vbe == b.vbe && a.linear == b.linear && a.vbeAf == b.vbeAf &&
           a.fullScreenDib == b.fullScreenDib && a.openGL == b.openGL && a.reserved == b.reserved &&
           a.depthFilter == b.depthFilter;
}

bool depthAdmitted(int bits, uint8_t filter)
{
    switch (bits) {
    case 8: return filter & 0x01;
    case 15:
    case 16: return filter & 0x02;
    case 24: return filter & 0x04;
    case 32: return filter & 0x08;
    default: return false;
    }
}

void fillModeList(const DetectedMode detected[kModeCount], uint8_t filter)
{
    gFramework.modes.count = 0;
    for (int mode = kFirstListedMode; mode < kModeCount; ++mode) {
        if (detected[mode].driver == kDriverNone) continue;
        ModeInfo info = {mode, 0, 0, 0, detected[mode].pages, static_cast<uint32_t>(detected[mode].driver), 0};
        modeResolution(mode, &info.xRes, &info.yRes, &info.bitsPerPixel);
        if (!depthAdmitted(info.bitsPerPixel, filter)) continue;
        gFramework.modes.list[gFramework.modes.count++] = info;
    }
}

// The windowed rules: the low 320-wide modes show as 320 x 240, every 640-wide mode as 640 x 480.
void windowedSize(int* xRes, int* yRes)
{
    if (*xRes == 320 && (*yRes == 200 || *yRes == 400 || *yRes == 480)) *yRes = 240;
    if (*xRes == 640) *yRes = 480;
}

}  // namespace

void rebuildModeList()
{
    const DriverOptions& o = gFramework.modes.options;
    bool enabled[kDriverCount];
    driversFromFlags(o.winDirect, o.directDraw, o.standardVga, o.modeX, o.vbe, o.linear, o.vbeAf, o.fullScreenDib,
                     enabled);
    DetectedMode detected[kModeCount];
    detectModes(enabled, detected);
    fillModeList(detected, o.depthFilter);
    if (gFramework.modes.count == 0) fillModeList(detected, 0x0F);
}

Framework* initFramework(const char* title)
{
    if (!activeBackend()) {
        setLastError(kErrGraphicsNotDetected);
        return nullptr;
    }
    std::strncpy(gFramework.app.title, title ? title : "", kTitleChars);
    gFramework.app.title[kTitleChars] = '\0';
    if (!gFramework.app.initialised) rebuildModeList();
    gFramework.app.initialised = true;
    // A stop signal met in a message box must still give the desktop its display mode back.
    platform::setStopCleanUp(restoreDesktop);
    return &gFramework;
}

void setDriverOptions(const DriverOptions& options)
{
    if (sameOptions(options, gFramework.modes.options)) return;
    gFramework.modes.options = options;
    rebuildModeList();
}

// Linux gives every application the whole colour range; the Windows back end reads the flag when it
// makes an OpenGL context on an 8-bit display (display/win32/win32_modes.cpp).
void takeOverSystemPalette(bool on)
{
    gFramework.app.paletteTakenOver = on;
}

bool findMode(int xRes, int yRes, int bitsPerPixel, ModeInfo* out)
{
    for (int i = 0; i < gFramework.modes.count; ++i) {
        const ModeInfo& info = gFramework.modes.list[i];
        if (info.xRes != xRes || info.yRes != yRes) continue;
        if (bitsPerPixel != -1 && info.bitsPerPixel != bitsPerPixel) continue;
        if (out) *out = info;
        return true;
    }
    setLastError(kErrModeNotSupported);
    return false;
}

bool setMode(const ModeInfo& mode, bool windowed, int pages, bool)
{
    const Backend* backend = activeBackend();
    if (!backend) {
        setLastError(kErrGraphicsNotDetected);
        return false;
    }
    if (mode.xRes <= 0 || mode.yRes <= 0 || mode.xRes > 16384 || mode.yRes > 16384) {
        setLastError(kErrInvalidMode);
        return false;
    }
    if (gFramework.screen.set) restoreDesktop();
    ModeInfo page = mode;
    if (windowed) windowedSize(&page.xRes, &page.yRes);
    // A mode made up by the framework has no driver of its own; it is shown like a desktop bitmap.
    int driver = mode.mode >= 0 && mode.flags < kDriverCount ? static_cast<int>(mode.flags) : kDriverFullScreenDib;
    if (!backend->setMode(page.xRes, page.yRes, page.bitsPerPixel, driver, windowed, gFramework.app.title)) {
        setLastError(kErrModeNotSupported);
        return false;
    }
    gFramework.screen.modeWidth = page.xRes;
    gFramework.screen.modeHeight = page.yRes;
    // Under a host the page takes the host window's shape, at the mode's detail.
    int windowW = 0, windowH = 0;
    if (backend->imposedPageSize(&windowW, &windowH))
        pageForHostWindow(page.xRes, page.yRes, windowW, windowH, &page.xRes, &page.yRes);
    // Asking for more pages than the mode holds gives the pages it has: the saver draws every frame
    // whole, so fewer pages change nothing but how the flip is done.
    int available = mode.pages > 0 ? mode.pages : 1;
    gFramework.screen.mode = page;
    gFramework.screen.pages = pages < 1 ? 1 : pages > available ? available : pages;
    gFramework.screen.set = true;
    gFramework.screen.openGL = false;
    backend->setCursorVisible(gFramework.cursorCount >= 0);
    if (gFramework.screen.inputGrab) backend->grabInput(true);
    return true;
}

bool pageSize(int* width, int* height)
{
    if (!gFramework.screen.set) return false;
    *width = gFramework.screen.mode.xRes;
    *height = gFramework.screen.mode.yRes;
    return true;
}

bool setInputGrab(bool on)
{
    gFramework.screen.inputGrab = on;
    const Backend* backend = activeBackend();
    if (!backend || !gFramework.screen.set) return true;   // taken when the next mode is set
    return backend->grabInput(on);
}

namespace {

// Whether the page of the mode set belongs on screen now: the back end can show it as drawn, its colours
// need no reducing, and nobody will read presented pages back.
bool pageBelongsOnScreen()
{
    const Backend* backend = activeBackend();
    const ModeInfo& mode = gFramework.screen.mode;
    return backend && fullPrecisionPage(mode.bitsPerPixel) &&
           backend->pageOnScreen(mode.xRes, mode.yRes, gFramework.screen.depthBuffer) && !snapshotsWanted();
}

// On a context of OpenGL 1.1 there are no framebuffer objects: the page is the back buffer, whatever
// the mode, and its depth is the display's own.
bool pageGoesOnScreen()
{
    const Backend* backend = activeBackend();
    return pageBelongsOnScreen() || (backend && !backend->offScreenPages());
}

bool createPagesForScreen()
{
    const ModeInfo& mode = gFramework.screen.mode;
    return createPages(mode.xRes, mode.yRes, mode.bitsPerPixel, gFramework.screen.depthBuffer, pageGoesOnScreen());
}

bool recreatePages()
{
    destroyPages();
    if (createPagesForScreen()) return true;
    gFramework.screen.openGL = false;
    setLastError(kErrNoMemory);
    return false;
}

}  // namespace

bool startOpenGL(unsigned flags)
{
    const Backend* backend = activeBackend();
    if (!backend || !gFramework.screen.set) {
        setLastError(kErrInvalidMode);
        return false;
    }
    if (gFramework.screen.openGL) return true;
    if (!backend->createContext(flags)) {
        setLastError(kErrGeneral);
        return false;
    }
    gFramework.screen.depthBuffer = (flags & kGlDepthBuffer) != 0;
    if (!createPagesForScreen()) {
        setLastError(kErrNoMemory);
        return false;
    }
    gFramework.screen.openGL = true;
    return true;
}

// Scaled down until it no longer has more pixels than the mode in both directions (never up): a
// 640 x 480 mode in a 1920 x 1080 window draws 853 x 480, which the window shows 2.25 times enlarged.
void pageForHostWindow(int modeWidth, int modeHeight, int windowWidth, int windowHeight, int* width, int* height)
{
    *width = windowWidth;
    *height = windowHeight;
    if (windowWidth <= 0 || windowHeight <= 0 || modeWidth <= 0 || modeHeight <= 0) return;
    double scale = std::max(static_cast<double>(modeWidth) / windowWidth, static_cast<double>(modeHeight) / windowHeight);
    if (scale >= 1) return;
    *width = std::max(1, static_cast<int>(std::lround(windowWidth * scale)));
    *height = std::max(1, static_cast<int>(std::lround(windowHeight * scale)));
}

// The scene keeps drawing as it did; only the page under it changes size (the saver follows it at its
// next frame). A page that cannot be had at the new size ends the run the way a failed mode switch would.
bool resizePages(int windowWidth, int windowHeight)
{
    ModeInfo& mode = gFramework.screen.mode;
    int width = 0, height = 0;
    pageForHostWindow(gFramework.screen.modeWidth, gFramework.screen.modeHeight, windowWidth, windowHeight, &width,
                      &height);
    if (width == mode.xRes && height == mode.yRes) return true;
    mode.xRes = width;
    mode.yRes = height;
    if (!gFramework.screen.openGL) return true;
    return recreatePages();
}

// Checked after every present: a window manager may resize the window under the page.
bool followWindowSize()
{
    if (!gFramework.screen.openGL || pageGoesOnScreen() == pagesOnScreen()) return true;
    return recreatePages();
}

}  // namespace display
