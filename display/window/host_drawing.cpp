// display/window/host_drawing.cpp -- the window back end's host path: drawing into a screen-saver host's X
// window, following its size, leaving input, cursor and locking to the host, ending on its signal.
#include "display/window/sdl_window.h"

#include <GL/gl.h>

#include <cstdint>
#include <cstdio>

namespace display {

namespace {

constexpr uint64_t kSizeCheckUs = 100000;   // how often the host window's size is looked at

void postQuit()
{
    postEvent(Event{kEventInternalQuit, 0, 0, 0, 0, 0, timerLap()});
}

void followHostSize()
{
    uint64_t now = monotonicUs();
    if (now < gSdl.host.nextSizeCheckUs) return;
    gSdl.host.nextSizeCheckUs = now + kSizeCheckUs;
    int width = 0, height = 0;
    if (!hostWindowSize(gSdl.host.xWindow, &width, &height)) {
        std::fprintf(stderr, "display: the host's window 0x%lx is gone; ending\n", gSdl.host.xWindow);
        postQuit();
        return;
    }
    gSdl.host.width = width;
    gSdl.host.height = height;
    if (!resizePages(width, height)) {
        std::fprintf(stderr, "display: no page of %d x %d for the host's window; ending\n", width, height);
        postQuit();
    }
}

}  // namespace

// A page drawn off screen and shown through shared memory (x_pixels.cpp) needs no drawable of the host
// window's size, which a software renderer would keep in memory (8 MB at 1920 x 1080) for nothing: the
// context then lives on a hidden window of one pixel. Where the server cannot take shared memory (a
// remote display) the context is made on the host's window itself and the page is blitted there.
bool adoptThroughHiddenWindow(unsigned long xWindow)
{
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    gSdl.window = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    gSdl.glWindow = gSdl.window;
    if (!gSdl.window) return false;
    noteXWindow();
    if (gSdl.x && xPixelsAvailable(gSdl.x, xWindow)) {
        gSdl.xWindow = xWindow;
        return true;
    }
    SDL_DestroyWindow(gSdl.window);
    gSdl.window = nullptr;
    gSdl.glWindow = nullptr;
    gSdl.x = nullptr;
    gSdl.xWindow = 0;
    return false;
}

// SDL takes a foreign window on trust and crashes on one that does not exist; the window is looked at
// first, with its errors caught, and again once SDL has it, since the host may destroy it meanwhile.
bool adoptHostWindow(unsigned long xWindow, int modeWidth, int modeHeight)
{
    int width = 0, height = 0;
    if (!hostWindowSize(xWindow, &width, &height)) {
        std::fprintf(stderr, "display: the host's window 0x%lx does not exist\n", xWindow);
        return false;
    }
    watchHostWindow(xWindow);
    // A page of the window's own size may be drawn straight into the window (pageOnScreen), which costs
    // less than any copy: that one keeps its context on the host's window.
    int pageW = 0, pageH = 0;
    pageForHostWindow(modeWidth, modeHeight, width, height, &pageW, &pageH);
    const bool stretched = pageW != width || pageH != height;
    gSdl.hiddenContext = stretched && adoptThroughHiddenWindow(xWindow);
    if (!gSdl.hiddenContext) {
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, kWindowDepthBits);
        SDL_SetHint(SDL_HINT_VIDEO_FOREIGN_WINDOW_OPENGL, "1");
        gSdl.window = SDL_CreateWindowFrom(reinterpret_cast<const void*>(static_cast<uintptr_t>(xWindow)));
        if (!gSdl.window) {
            std::fprintf(stderr, "display: cannot draw into the host's window 0x%lx: %s\n", xWindow, SDL_GetError());
            return false;
        }
        gSdl.glWindow = gSdl.window;
        noteXWindow();
    }
    if (!hostWindowSize(xWindow, &width, &height)) {
        std::fprintf(stderr, "display: the host's window 0x%lx went away while the saver started\n", xWindow);
        SDL_DestroyWindow(gSdl.window);
        gSdl.window = nullptr;
        gSdl.glWindow = nullptr;
        return false;
    }
    gSdl.host.active = true;
    gSdl.host.xWindow = xWindow;
    gSdl.host.nextSizeCheckUs = 0;
    gSdl.host.width = width;
    gSdl.host.height = height;
    gSdl.focusLost = false;
    gSdl.pending.waiting = false;
    return true;
}

// The host's SIGTERM ends the main loop through the stop-signal note (platform/stop_signals.h); a quit
// event SDL still reports ends it too. Input never reaches a foreign window, and the host reads the
// keyboard itself; whatever SDL might still report is dropped, so that only the host ends the run.
void pumpHostWindow()
{
    SDL_Event event;
    while (SDL_PollEvent(&event))
        if (event.type == SDL_QUIT) postQuit();
    followHostSize();
    // The scene set its viewport for the mode it asked for; under a host the page is the window.
    if (gFramework.screen.openGL) glViewport(0, 0, gFramework.screen.mode.xRes, gFramework.screen.mode.yRes);
}

}  // namespace display
