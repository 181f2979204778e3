// display/window/covers.cpp -- the other monitors while the saver runs full screen on the primary one:
// each covered by a black window without a cursor, whose input wakes the saver like the mode's own, and
// covered anew when monitors come, go or change size.
#include "display/window/sdl_window.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <cstdio>

namespace display {

namespace {

// On X the server itself keeps a cover black, from its background, at every exposure: SDL's window
// surface may be drawn through OpenGL, which does not always reach the screen (Xorg's dummy driver,
// on a monitor added while the saver runs).
void paintBlack(SDL_Window* cover, unsigned long xWindow)
{
    if (gSdl.x && xWindow) {
        XSetWindowBackground(gSdl.x, xWindow, BlackPixel(gSdl.x, DefaultScreen(gSdl.x)));
        XClearWindow(gSdl.x, xWindow);
        XFlush(gSdl.x);
        return;
    }
    SDL_Surface* surface = SDL_GetWindowSurface(cover);
    if (!surface) return;
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    SDL_UpdateWindowSurface(cover);
}

int coverIndex(uint32_t windowId)
{
    for (int i = 0; i < gSdl.covers.count; ++i)
        if (SDL_GetWindowID(gSdl.covers.windows[i]) == windowId) return i;
    return -1;
}

SDL_Point centreOf(const SDL_Rect& r) { return {r.x + r.w / 2, r.y + r.h / 2}; }

bool sameRect(const SDL_Rect& a, const SDL_Rect& b) { return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h; }

// The X server's own list where it has one, so that a monitor SDL has not heard of is covered too;
// SDL's displays otherwise.
int listMonitors(SDL_Rect out[kMaxCovers + 1])
{
    int count = readXMonitors(out, kMaxCovers + 1);
    if (count > 0) return count;
    int displays = SDL_GetNumVideoDisplays();
    for (int i = 0; i < displays && count < kMaxCovers + 1; ++i)
        if (SDL_GetDisplayBounds(i, &out[count]) == 0) ++count;
    return count;
}

// The monitor under the middle of the mode window: where it was put when the mode was set, or the
// primary monitor the last covering found.
int primaryMonitor(const SDL_Rect* monitors, int count)
{
    SDL_Point middle;
    if (gSdl.covers.monitorCount > 0) {
        middle = centreOf(gSdl.covers.monitors[0]);
    } else {
        SDL_Rect window = {0, 0, 0, 0};
        SDL_GetWindowPosition(gSdl.window, &window.x, &window.y);
        SDL_GetWindowSize(gSdl.window, &window.w, &window.h);
        middle = centreOf(window);
    }
    for (int i = 0; i < count; ++i)
        if (SDL_PointInRect(&middle, &monitors[i])) return i;
    return 0;
}

int sdlDisplayAt(const SDL_Rect& bounds)
{
    int displays = SDL_GetNumVideoDisplays();
    for (int i = 0; i < displays; ++i) {
        SDL_Rect display;
        if (SDL_GetDisplayBounds(i, &display) == 0 && sameRect(display, bounds)) return i;
    }
    return -1;
}

// SDL's own full-screen placement where SDL knows the monitor; a monitor it has not heard of (added
// while the saver runs, or one RandR made of part of a screen) gets a window of its exact size.
SDL_Window* makeCover(const SDL_Rect& bounds)
{
    constexpr uint32_t kFlags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR;
    int display = sdlDisplayAt(bounds);
    if (display >= 0)
        return SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED_DISPLAY(display), SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                                bounds.w, bounds.h, kFlags | SDL_WINDOW_FULLSCREEN_DESKTOP);
    return SDL_CreateWindow("", bounds.x, bounds.y, bounds.w, bounds.h, kFlags | SDL_WINDOW_ALWAYS_ON_TOP);
}

unsigned long xWindowOf(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return 0;
    return info.info.x11.window;
}

// A cover of the old set already on this monitor, or -1.
int coverOn(const CoverWindows& old, const SDL_Rect& bounds)
{
    for (int i = 0; i < old.count; ++i)
        if (old.windows[i] && sameRect(old.monitors[i + 1], bounds)) return i;
    return -1;
}

void addCover(SDL_Window* cover, unsigned long xWindow, bool pointerSeen, const SDL_Rect& bounds,
              const SDL_Rect& primary)
{
    int n = gSdl.covers.count++;
    gSdl.covers.windows[n] = cover;
    gSdl.covers.offset[n] = {bounds.x - primary.x, bounds.y - primary.y};
    gSdl.covers.pointerSeen[n] = pointerSeen;
    gSdl.covers.xWindow[n] = xWindow;
    gSdl.covers.monitors[gSdl.covers.monitorCount++] = bounds;
}

// A cover whose monitor stays keeps its window, and new covers come before old ones go, so no part of
// the desktop shows meanwhile. A monitor overlapping the primary one (a mirror) is left alone: a cover
// there would hide the scene.
void coverMonitors(const SDL_Rect* monitors, int count, int primary)
{
    CoverWindows old = gSdl.covers;
    gSdl.covers.count = 0;
    gSdl.covers.monitors[0] = monitors[primary];
    gSdl.covers.monitorCount = 1;
    bool made = false;
    for (int i = 0; i < count && gSdl.covers.count < kMaxCovers; ++i) {
        const SDL_Rect& bounds = monitors[i];
        if (i == primary || SDL_HasIntersection(&bounds, &monitors[primary])) continue;
        int kept = coverOn(old, bounds);
        if (kept >= 0) {
            addCover(old.windows[kept], old.xWindow[kept], old.pointerSeen[kept], bounds, monitors[primary]);
            old.windows[kept] = nullptr;
            continue;
        }
        SDL_Window* cover = makeCover(bounds);
        if (!cover) {
            std::fprintf(stderr, "display: the monitor at %d,%d stays uncovered: %s\n", bounds.x, bounds.y,
                         SDL_GetError());
            continue;
        }
        unsigned long xWindow = xWindowOf(cover);
        addCover(cover, xWindow, false, bounds, monitors[primary]);
        paintBlack(cover, xWindow);
        made = true;
    }
    for (int i = 0; i < old.count; ++i)
        if (old.windows[i]) SDL_DestroyWindow(old.windows[i]);
    guardOurWindows();
    // The keyboard belongs to the mode's window, where the prompt is, not to whichever window the
    // pointer happens to be over.
    if (made) {
        SDL_RaiseWindow(gSdl.window);
        SDL_SetWindowInputFocus(gSdl.window);
        gSdl.lock.checkDue = true;
    }
}

bool sameMonitors(const SDL_Rect* monitors, int count, int primary)
{
    if (count != gSdl.covers.monitorCount || !sameRect(monitors[primary], gSdl.covers.monitors[0])) return false;
    for (int i = 0; i < count; ++i) {
        bool known = false;
        for (int j = 0; j < gSdl.covers.monitorCount && !known; ++j)
            known = sameRect(monitors[i], gSdl.covers.monitors[j]);
        if (!known) return false;
    }
    return true;
}

// Only an X server says where the primary monitor went; elsewhere the window stays where SDL put it.
void moveModeWindow(const SDL_Rect& bounds)
{
    if (!gSdl.x) return;
    guardModeWindowAt(bounds);
    XMoveResizeWindow(gSdl.x, gSdl.xWindow, bounds.x, bounds.y, static_cast<unsigned>(bounds.w),
                      static_cast<unsigned>(bounds.h));
    XFlush(gSdl.x);
}

}  // namespace

// The cursor is hidden by the framework's count for every SDL window at once, covers included.
void coverOtherDisplays()
{
    closeCovers();
    SDL_Rect monitors[kMaxCovers + 1];
    int count = listMonitors(monitors);
    if (count == 0) return;
    coverMonitors(monitors, count, primaryMonitor(monitors, count));
}

// The page is stretched over whatever size the mode window takes (followWindowSize), so the scene fills
// a primary monitor that changed size.
void followMonitors()
{
    // Only a full-screen run has covered the monitors (coverOtherDisplays).
    if (!gSdl.window || gSdl.covers.monitorCount == 0) return;
    SDL_Rect monitors[kMaxCovers + 1];
    int count = listMonitors(monitors);
    if (count == 0) return;
    int primary = primaryMonitor(monitors, count);
    if (sameMonitors(monitors, count, primary)) return;
    if (!sameRect(monitors[primary], gSdl.covers.monitors[0])) moveModeWindow(monitors[primary]);
    coverMonitors(monitors, count, primary);
}

void closeCovers()
{
    for (int i = 0; i < gSdl.covers.count; ++i) SDL_DestroyWindow(gSdl.covers.windows[i]);
    gSdl.covers.count = 0;
    gSdl.covers.monitorCount = 0;
}

void repaintCover(uint32_t windowId)
{
    int i = coverIndex(windowId);
    if (i >= 0) paintBlack(gSdl.covers.windows[i], gSdl.covers.xWindow[i]);
}

bool ourWindow(uint32_t windowId)
{
    return (gSdl.window && SDL_GetWindowID(gSdl.window) == windowId) || coverIndex(windowId) >= 0;
}

bool ourXWindow(unsigned long xWindow)
{
    if (xWindow == 0) return false;
    if (xWindow == gSdl.xWindow) return true;
    for (int i = 0; i < gSdl.covers.count; ++i)
        if (gSdl.covers.xWindow[i] == xWindow) return true;
    return false;
}

bool coverOffset(uint32_t windowId, int* dx, int* dy)
{
    int i = coverIndex(windowId);
    if (i < 0) return false;
    *dx = gSdl.covers.offset[i].x;
    *dy = gSdl.covers.offset[i].y;
    return true;
}

// The mode's window has the mouse anchor for this; a cover appearing under a still pointer must not
// look like a move away from it.
bool coverMotionCounts(uint32_t windowId)
{
    int i = coverIndex(windowId);
    if (i < 0) return true;
    bool counts = gSdl.covers.pointerSeen[i];
    gSdl.covers.pointerSeen[i] = true;
    return counts;
}

}  // namespace display
