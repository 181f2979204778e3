// display/window/x_guard.cpp -- a password run's windows kept in their place against the session's other
// clients. Any client may restack, move, resize, reparent or unmap any window; a thread with an X
// connection of its own hears of each change as the server makes it and undoes it at once, between the
// saver's frames as well as during them (a client that unmaps the saver every 20 ms must not show the
// desktop). It also shows the warning (lock_warning.cpp), on every monitor, while another client holds
// the keyboard or the pointer. The saver's own thread only tells it where its windows belong and what
// to warn of.
#include "display/window/sdl_window.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

namespace display {

namespace {

constexpr int kMaxPlaces = kMaxCovers + 1;   // the mode window and the covers
constexpr int kIdleWaitMs = 100;             // the thread looks at its flags at least this often

struct Place {
    unsigned long window;
    SDL_Rect at;   // root coordinates, pixels
};

// Written by the saver's thread, read by the guard's, under `mutex`.
struct Wanted {
    std::mutex mutex;
    Place places[kMaxPlaces];
    int count = 0;
    unsigned version = 0;   // counts the changes, so that the guard takes each one once
};

struct Guard {
    ::Display* x = nullptr;          // the guard's connection; used by its thread only once that runs
    ::Window root = 0;
    // Held by pointer: a process that exits while the guard runs (Xlib's handler of a fatal X error) must
    // not be ended by a joinable thread's destructor at exit.
    std::thread* thread = nullptr;
    int wake[2] = {-1, -1};          // a pipe: the saver's thread pokes the guard through it
    std::atomic<bool> stop{false};
    std::atomic<bool> putBackDue{false};
    std::atomic<bool> tookBack{false};
    std::atomic<bool> keyboardElsewhere{false};
    std::atomic<bool> pointerElsewhere{false};
    std::atomic<bool> windowLost{false};   // another client destroyed the mode window
    Wanted wanted;
    SDL_Rect modeWindowAt = {0, 0, 0, 0};   // saver's thread only

    // The guard thread's own.
    Place places[kMaxPlaces];
    ::Window backstops[kMaxPlaces] = {};   // black, right under each place
    int count = 0;
    unsigned version = 0;
    bool restackDue = false;         // the backstops are new, over the saver's windows
};

Guard gGuard;

void poke()
{
    if (gGuard.wake[1] < 0) return;
    char byte = 1;
    ssize_t written = write(gGuard.wake[1], &byte, 1);
    (void)written;   // a full pipe has a poke in it already
}

bool isBackstop(::Window window)
{
    for (int i = 0; i < gGuard.count; ++i)
        if (gGuard.backstops[i] == window) return true;
    return false;
}

bool isOurs(::Window window)
{
    for (int i = 0; i < gGuard.count; ++i)
        if (gGuard.places[i].window == window) return true;
    return isBackstop(window) || isLockWarningWindow(window);
}

// A black window of the guard's under each window of the saver's: one that another client unmaps leaves
// black behind it, not the desktop, until it is mapped again.
void makeBackstops()
{
    for (int i = 0; i < kMaxPlaces; ++i)
        if (gGuard.backstops[i]) XDestroyWindow(gGuard.x, gGuard.backstops[i]);
    std::memset(gGuard.backstops, 0, sizeof gGuard.backstops);
    for (int i = 0; i < gGuard.count; ++i) {
        const SDL_Rect& at = gGuard.places[i].at;
        XSetWindowAttributes attributes = {};
        attributes.override_redirect = True;
        attributes.background_pixel = BlackPixel(gGuard.x, DefaultScreen(gGuard.x));
        gGuard.backstops[i] =
            XCreateWindow(gGuard.x, gGuard.root, at.x, at.y, static_cast<unsigned>(at.w), static_cast<unsigned>(at.h),
                          0, CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel,
                          &attributes);
    }
}

// ---- Where the windows belong ----

void adoptWantedPlaces()
{
    std::lock_guard<std::mutex> hold(gGuard.wanted.mutex);
    if (gGuard.version == gGuard.wanted.version) return;
    gGuard.version = gGuard.wanted.version;
    gGuard.count = gGuard.wanted.count;
    std::memcpy(gGuard.places, gGuard.wanted.places, sizeof gGuard.places);
    for (int i = 0; i < gGuard.count; ++i) {
        ::Window window = gGuard.places[i].window;
        // Heard of wherever the window is, a new parent included.
        XSelectInput(gGuard.x, window, StructureNotifyMask);
        // Mapped again, the window is black at once, not whatever was under it until the next frame.
        XSetWindowBackground(gGuard.x, window, BlackPixel(gGuard.x, DefaultScreen(gGuard.x)));
    }
    makeBackstops();
    gGuard.restackDue = true;
    gGuard.putBackDue = true;
}

bool samePlace(const XWindowAttributes& attributes, const SDL_Rect& at)
{
    return attributes.x == at.x && attributes.y == at.y && attributes.width == at.w && attributes.height == at.h;
}

// One window of ours as it should be: a child of the root, at its place, mapped. False when it was not.
bool putBackWindow(::Window window, const SDL_Rect& at, bool mapped)
{
    XWindowAttributes attributes;
    ::Window rootReturn = 0, parent = 0, *children = nullptr;
    unsigned childCount = 0;
    if (!XGetWindowAttributes(gGuard.x, window, &attributes)) return true;   // gone: nothing to put back
    if (!XQueryTree(gGuard.x, window, &rootReturn, &parent, &children, &childCount)) return true;
    if (children) XFree(children);
    bool right = true;
    if (parent != gGuard.root) {
        XReparentWindow(gGuard.x, window, gGuard.root, at.x, at.y);
        right = false;
    }
    if (!samePlace(attributes, at)) {
        XMoveResizeWindow(gGuard.x, window, at.x, at.y, static_cast<unsigned>(at.w), static_cast<unsigned>(at.h));
        right = false;
    }
    if (mapped && (attributes.map_state == IsUnmapped || !right)) {
        XMapWindow(gGuard.x, window);
        right = false;
    }
    return right;
}

// True when the root's children are not, from the top: the warning, the saver's windows, the backstops,
// then everything else.
bool stackedWrong()
{
    ::Window rootReturn = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(gGuard.x, gGuard.root, &rootReturn, &parent, &children, &count)) return false;
    bool oursSeen = false, overBackstopsSeen = false, wrong = false;
    for (unsigned i = 0; i < count && !wrong; ++i) {   // bottom to top
        bool backstop = isBackstop(children[i]);
        bool ours = backstop || isOurs(children[i]);
        wrong = (oursSeen && !ours) || (backstop && overBackstopsSeen);
        oursSeen = oursSeen || ours;
        overBackstopsSeen = overBackstopsSeen || (ours && !backstop);
    }
    if (children) XFree(children);
    return wrong;
}

void raiseAll()
{
    // The backstops, the covers, then the mode window (the first place), then the warning over them all.
    for (int i = 0; i < gGuard.count; ++i) XRaiseWindow(gGuard.x, gGuard.backstops[i]);
    for (int i = gGuard.count - 1; i >= 0; --i) XRaiseWindow(gGuard.x, gGuard.places[i].window);
    unsigned long banners[kMaxPlaces];
    SDL_Rect at[kMaxPlaces];
    int bannerCount = lockWarningBanners(banners, at, kMaxPlaces);
    for (int i = 0; i < bannerCount; ++i) XRaiseWindow(gGuard.x, banners[i]);
}

void putBack()
{
    bool tookBack = false;
    bool restack = gGuard.restackDue;
    gGuard.restackDue = false;
    for (int i = 0; i < gGuard.count; ++i) {
        tookBack = !putBackWindow(gGuard.places[i].window, gGuard.places[i].at, true) || tookBack;
        restack = !putBackWindow(gGuard.backstops[i], gGuard.places[i].at, true) || restack;
    }
    unsigned long banners[kMaxPlaces];
    SDL_Rect at[kMaxPlaces];
    int bannerCount = lockWarningBanners(banners, at, kMaxPlaces);
    bool bannerMoved = false;
    for (int i = 0; i < bannerCount; ++i) bannerMoved = !putBackWindow(banners[i], at[i], true) || bannerMoved;
    if (tookBack || restack || bannerMoved || stackedWrong()) raiseAll();
    // The focus and the grabs went with a window that was unmapped or moved away.
    if (tookBack) gGuard.tookBack = true;
}

void showWarning()
{
    SDL_Rect monitors[kMaxPlaces];
    for (int i = 0; i < gGuard.count; ++i) monitors[i] = gGuard.places[i].at;
    showLockWarning(gGuard.x, monitors, gGuard.count, gGuard.keyboardElsewhere, gGuard.pointerElsewhere);
}

// ---- The thread ----

// An unmapped window of ours is mapped again before anything is asked of the server: each round trip
// of the full look (putBack) is time the desktop shows.
void mapAgainAtOnce(const XEvent& event)
{
    if (event.type != UnmapNotify) return;
    for (int i = 0; i < gGuard.count; ++i)
        if (gGuard.places[i].window == event.xunmap.window || gGuard.backstops[i] == event.xunmap.window) {
            XMapRaised(gGuard.x, event.xunmap.window);
            XFlush(gGuard.x);
            gGuard.tookBack = true;
        }
}

void drainWake()
{
    char bytes[64];
    while (read(gGuard.wake[0], bytes, sizeof bytes) > 0) {
    }
}

void guardLoop()
{
    pollfd watched[2] = {{ConnectionNumber(gGuard.x), POLLIN, 0}, {gGuard.wake[0], POLLIN, 0}};
    while (!gGuard.stop) {
        drainWake();
        adoptWantedPlaces();
        bool check = gGuard.putBackDue.exchange(false);
        while (XPending(gGuard.x) > 0) {
            XEvent event;
            XNextEvent(gGuard.x, &event);
            if (event.type == Expose && event.xexpose.count == 0) {
                drawLockWarning(gGuard.x, event.xexpose.window);
            } else if (event.type == DestroyNotify && event.xdestroywindow.window == gGuard.places[0].window) {
                gGuard.windowLost = true;
            } else if (event.type != Expose) {
                mapAgainAtOnce(event);
                check = true;
            }
        }
        showWarning();
        if (check) putBack();
        XFlush(gGuard.x);
        // What our own requests brought in is read before waiting.
        if (XPending(gGuard.x) > 0) continue;
        poll(watched, 2, kIdleWaitMs);
    }
}

// SDL takes an unmapped full-screen window for a hidden one and leaves and re-enters full screen, waiting
// 100 ms each time: a client that unmaps the window every 20 ms would keep the saver's thread there for
// ever. While the guard keeps the windows in place SDL is not told of their structure; it is told of a
// new size by a ConfigureNotify of our own (guardModeWindowAt).
void sdlHearsStructure(unsigned long window, bool hears)
{
    XWindowAttributes attributes;
    if (!window || !XGetWindowAttributes(gSdl.x, window, &attributes)) return;
    long mask = hears ? attributes.your_event_mask | StructureNotifyMask
                      : attributes.your_event_mask & ~StructureNotifyMask;
    if (mask != attributes.your_event_mask) XSelectInput(gSdl.x, window, mask);
}

void publishPlaces()
{
    std::lock_guard<std::mutex> hold(gGuard.wanted.mutex);
    Wanted& wanted = gGuard.wanted;
    wanted.count = 0;
    wanted.places[wanted.count++] = {gSdl.xWindow, gGuard.modeWindowAt};
    for (int i = 0; i < gSdl.covers.count && wanted.count < kMaxPlaces; ++i)
        if (gSdl.covers.xWindow[i])
            wanted.places[wanted.count++] = {gSdl.covers.xWindow[i], gSdl.covers.monitors[i + 1]};
    ++wanted.version;
    for (int i = 0; i < wanted.count; ++i) sdlHearsStructure(wanted.places[i].window, false);
    XFlush(gSdl.x);
}

}  // namespace

bool startXGuard()
{
    stopXGuard();
    if (!gSdl.x || !gSdl.xWindow) return false;
    XWindowAttributes attributes;
    XSync(gSdl.x, False);
    if (!XGetWindowAttributes(gSdl.x, gSdl.xWindow, &attributes)) return false;
    gGuard.modeWindowAt = {attributes.x, attributes.y, attributes.width, attributes.height};
    gGuard.x = XOpenDisplay(XDisplayString(gSdl.x));
    if (!gGuard.x) return false;
    if (pipe2(gGuard.wake, O_NONBLOCK | O_CLOEXEC) != 0) {
        XCloseDisplay(gGuard.x);
        gGuard.x = nullptr;
        return false;
    }
    gGuard.root = DefaultRootWindow(gGuard.x);
    XSelectInput(gGuard.x, gGuard.root, SubstructureNotifyMask);
    XFlush(gGuard.x);
    gGuard.stop = false;
    gGuard.putBackDue = true;
    gGuard.tookBack = false;
    gGuard.windowLost = false;
    gGuard.keyboardElsewhere = false;
    gGuard.pointerElsewhere = false;
    gGuard.count = 0;
    gGuard.version = 0;
    std::memset(gGuard.backstops, 0, sizeof gGuard.backstops);
    publishPlaces();
    gGuard.thread = new std::thread(guardLoop);
    return true;
}

void stopXGuard()
{
    if (!gGuard.x) return;
    {
        std::lock_guard<std::mutex> hold(gGuard.wanted.mutex);
        for (int i = 0; i < gGuard.wanted.count && gSdl.x; ++i) sdlHearsStructure(gGuard.wanted.places[i].window, true);
    }
    gGuard.stop = true;
    poke();
    if (gGuard.thread) gGuard.thread->join();
    delete gGuard.thread;
    gGuard.thread = nullptr;
    forgetLockWarning(gGuard.x);
    XCloseDisplay(gGuard.x);
    gGuard.x = nullptr;
    for (int& end : gGuard.wake) {
        close(end);
        end = -1;
    }
}

void guardOurWindows()
{
    if (!gGuard.x) return;
    publishPlaces();
    poke();
}

void guardModeWindowAt(const SDL_Rect& at)
{
    if (!gGuard.x) return;
    gGuard.modeWindowAt = at;
    guardOurWindows();
    XEvent configure = {};
    configure.xconfigure.type = ConfigureNotify;
    configure.xconfigure.event = gSdl.xWindow;
    configure.xconfigure.window = gSdl.xWindow;
    configure.xconfigure.x = at.x;
    configure.xconfigure.y = at.y;
    configure.xconfigure.width = at.w;
    configure.xconfigure.height = at.h;
    // An empty mask sends it to the window's creator: SDL.
    XSendEvent(gSdl.x, gSdl.xWindow, False, NoEventMask, &configure);
    XFlush(gSdl.x);
}

void guardPutBackNow()
{
    if (!gGuard.x) return;
    gGuard.putBackDue = true;
    poke();
}

void guardWarn(bool keyboardElsewhere, bool pointerElsewhere)
{
    if (!gGuard.x) return;
    if (gGuard.keyboardElsewhere == keyboardElsewhere && gGuard.pointerElsewhere == pointerElsewhere) return;
    gGuard.keyboardElsewhere = keyboardElsewhere;
    gGuard.pointerElsewhere = pointerElsewhere;
    poke();
}

bool guardTookBack()
{
    return gGuard.tookBack.exchange(false);
}

void guardNoteWindowLost()
{
    gGuard.windowLost = true;
}

bool guardWindowLost()
{
    return gGuard.windowLost;
}

bool guardConnection(::_XDisplay* x)
{
    return x != nullptr && x == gGuard.x;
}

}  // namespace display
