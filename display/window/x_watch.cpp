// display/window/x_watch.cpp -- the X server watched on a connection of our own beside SDL's: RandR changes
// (monitors added, removed or resized); in a password run the guard (x_guard.cpp) keeps our windows in
// place.
#include "display/window/sdl_window.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/Xrandr.h>

namespace display {

namespace {

struct XWatch {
    ::Display* x;          // our own connection; null when closed or off X
    ::Window root;
    int randrEventBase;    // -1 without RandR 1.5: SDL's displays are the monitors then
    bool stacking;         // the guard runs
};

XWatch gWatch = {nullptr, 0, -1, false};

XErrorHandler gPreviousErrorHandler = nullptr;
int gRandrOpcode = -1;   // the RANDR extension's major opcode, -1 until known

// Four kinds of X error must not end the run at once. SDL restores display modes from the monitors it read at
// start, so its RandR requests fail once another client changed them; another client may unmap or
// destroy a window between our look and our request, so that ending the lock would otherwise take one
// XUnmapWindow; the guard's connection asks about windows that may be gone by then; and a password run's
// window destroyed by another client ends through the fatal-error path (holdInput), not through Xlib's
// exit. Every other error goes where it went before.
int surviveXErrors(::Display* display, XErrorEvent* error)
{
    if (guardConnection(display)) return 0;
    bool badWindow = error->error_code == BadWindow || error->error_code == BadDrawable;
    bool aboutOurWindow = error->resourceid != 0 && error->resourceid == gSdl.xWindow;
    if (badWindow && aboutOurWindow && (gSdl.lock.active || guardWindowLost())) {
        guardNoteWindowLost();
        return 0;
    }
    bool randr = gRandrOpcode >= 0 && error->request_code == gRandrOpcode;
    bool windowGone = (error->request_code == X_SetInputFocus || error->request_code == X_ConfigureWindow ||
                       error->request_code == X_MapWindow) &&
                      (error->error_code == BadMatch || error->error_code == BadWindow);
    if (randr || windowGone) return 0;
    return gPreviousErrorHandler ? gPreviousErrorHandler(display, error) : 0;
}

void installErrorHandler(::Display* display)
{
    static bool installed = false;
    if (installed) return;
    installed = true;
    int firstEvent = 0, firstError = 0;
    if (!XQueryExtension(display, "RANDR", &gRandrOpcode, &firstEvent, &firstError)) gRandrOpcode = -1;
    gPreviousErrorHandler = XSetErrorHandler(surviveXErrors);
}

constexpr long kRandrChanges = RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask;

bool randrEvent(const XEvent& event)
{
    int base = gWatch.randrEventBase;
    return base >= 0 && (event.type == base + RRScreenChangeNotify || event.type == base + RRNotify);
}

}  // namespace

bool openXWatch()
{
    closeXWatch();
    if (!gSdl.x) return false;
    gWatch.x = XOpenDisplay(XDisplayString(gSdl.x));
    if (!gWatch.x) return false;
    gWatch.root = DefaultRootWindow(gWatch.x);
    installErrorHandler(gWatch.x);
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (XRRQueryExtension(gWatch.x, &eventBase, &errorBase) && XRRQueryVersion(gWatch.x, &major, &minor) &&
        (major > 1 || (major == 1 && minor >= 5))) {
        gWatch.randrEventBase = eventBase;
        XRRSelectInput(gWatch.x, gWatch.root, kRandrChanges);
    }
    XFlush(gWatch.x);
    return true;
}

void closeXWatch()
{
    stopXGuard();
    if (gWatch.x) XCloseDisplay(gWatch.x);
    gWatch = {nullptr, 0, -1, false};
}

void watchStacking(bool on)
{
    if (!gWatch.x || gWatch.stacking == on) return;
    gWatch.stacking = on;
    if (on) startXGuard();
    else stopXGuard();
}

void pumpXWatch()
{
    if (!gWatch.x) return;
    bool monitorsChanged = false;
    while (XPending(gWatch.x) > 0) {
        XEvent event;
        XNextEvent(gWatch.x, &event);
        monitorsChanged = monitorsChanged || randrEvent(event);
    }
    if (monitorsChanged) followMonitors();
}

int readXMonitors(SDL_Rect* out, int capacity)
{
    if (!gWatch.x || gWatch.randrEventBase < 0) return 0;
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(gWatch.x, gWatch.root, True, &count);
    if (!monitors) return 0;
    int kept = 0;
    // The primary monitor first, as SDL lists its displays.
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < count && kept < capacity; ++i)
            if ((monitors[i].primary != 0) == (pass == 0))
                out[kept++] = {monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height};
    XRRFreeMonitors(monitors);
    return kept;
}

}  // namespace display
