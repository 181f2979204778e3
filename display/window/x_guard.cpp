// display/window/x_guard.cpp -- a password run's windows kept in their place against the session's other
// clients. Any client may restack, move, resize, reparent or unmap any window; a thread with an X
// connection of its own hears of each change as the server makes it and undoes it at once, between the
// saver's frames as well as during them (a client that unmaps the saver every 20 ms must not show the
// desktop). It also shows the warning, on every monitor, while another client holds the keyboard or
// the pointer. The saver's own thread only tells it where its windows belong and what to warn of.
#include "display/window/sdl_window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
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

// The warning's words, drawn with the X server's built-in "fixed" font at twice its size where they fit.
const char* const kKeyboardLines[] = {"ANOTHER PROGRAM HOLDS THE KEYBOARD.",
                                      "What you type now goes to it, not to the saver."};
const char* const kPointerLines[] = {"ANOTHER PROGRAM HOLDS THE POINTER.", "Clicks now go to it, not to the saver."};
const char* const kAdviceLine = "Do not type your password until this warning has gone.";
constexpr int kMaxLines = 5;
constexpr int kMaxLineChars = 56;
constexpr int kTextScale = 2;
constexpr int kBannerPaddingPx = 12;
constexpr int kBannerGapPx = 90;     // between the banner's bottom and the middle of the monitor (the prompt)
constexpr int kMaxTextPixels = kMaxLines * kMaxLineChars * 6 * 13;
constexpr unsigned long kBannerRed = 0xB00000;

struct Guard {
    ::Display* x = nullptr;          // the guard's connection; used by its thread only once that runs
    ::Window root = 0;
    // Made for each run and never destroyed: a process that exits while the guard runs (Xlib's handler of
    // a fatal X error) must not be ended by a joinable thread's destructor.
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
    int count = 0;
    unsigned version = 0;
    ::Window banners[kMaxPlaces] = {};
    int bannerCount = 0;
    bool warning = false;            // banners shown
    bool warnedKeyboard = false, warnedPointer = false;
    XFontStruct* font = nullptr;
    GC gc = nullptr;
    unsigned long bannerPixel = 0;
    XPoint textPixels[kMaxTextPixels];   // the words' lit pixels at the font's own size
    int textPixelCount = 0;
    int textWidth = 0, textHeight = 0;   // pixels, at the font's own size
};

Guard gGuard;

void poke()
{
    if (gGuard.wake[1] < 0) return;
    char byte = 1;
    ssize_t written = write(gGuard.wake[1], &byte, 1);
    (void)written;   // a full pipe has a poke in it already
}

bool isBanner(::Window window)
{
    for (int i = 0; i < gGuard.bannerCount; ++i)
        if (gGuard.banners[i] == window) return true;
    return false;
}

bool isOurs(::Window window)
{
    for (int i = 0; i < gGuard.count; ++i)
        if (gGuard.places[i].window == window) return true;
    return isBanner(window);
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

// True when some window of another client lies above the lowest of ours among the root's children.
bool anotherWindowAbove()
{
    ::Window rootReturn = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(gGuard.x, gGuard.root, &rootReturn, &parent, &children, &count)) return false;
    bool oursSeen = false, above = false;
    for (unsigned i = 0; i < count && !above; ++i) {   // bottom to top
        bool ours = isOurs(children[i]);
        oursSeen = oursSeen || ours;
        above = oursSeen && !ours;
    }
    if (children) XFree(children);
    return above;
}

void raiseAll()
{
    // The covers, then the mode window (the first place), then the warnings over both.
    for (int i = gGuard.count - 1; i >= 0; --i) XRaiseWindow(gGuard.x, gGuard.places[i].window);
    if (gGuard.warning)
        for (int i = 0; i < gGuard.bannerCount; ++i) XRaiseWindow(gGuard.x, gGuard.banners[i]);
}

SDL_Rect bannerPlace(const SDL_Rect& monitor);

void putBack()
{
    bool tookBack = false;
    for (int i = 0; i < gGuard.count; ++i)
        tookBack = !putBackWindow(gGuard.places[i].window, gGuard.places[i].at, true) || tookBack;
    for (int i = 0; i < gGuard.bannerCount; ++i)
        putBackWindow(gGuard.banners[i], bannerPlace(gGuard.places[i].at), gGuard.warning);
    if (tookBack || anotherWindowAbove()) raiseAll();
    // The focus and the grabs went with a window that was unmapped or moved away.
    if (tookBack) gGuard.tookBack = true;
}

// ---- The warning ----

int warningLines(const char* lines[kMaxLines])
{
    int count = 0;
    if (gGuard.warnedKeyboard)
        for (const char* line : kKeyboardLines) lines[count++] = line;
    if (gGuard.warnedPointer)
        for (const char* line : kPointerLines) lines[count++] = line;
    lines[count++] = kAdviceLine;
    return count;
}

// The words drawn once into a bitmap of the server's, read back as lit pixels.
void renderWarningText()
{
    gGuard.textPixelCount = 0;
    if (!gGuard.font) return;
    const char* lines[kMaxLines];
    int count = warningLines(lines);
    int lineHeight = gGuard.font->ascent + gGuard.font->descent;
    int width = 1;
    for (int i = 0; i < count; ++i)
        width = std::max(width, XTextWidth(gGuard.font, lines[i], static_cast<int>(std::strlen(lines[i]))));
    int height = lineHeight * count;
    Pixmap bitmap = XCreatePixmap(gGuard.x, gGuard.root, static_cast<unsigned>(width), static_cast<unsigned>(height), 1);
    XGCValues values;
    values.font = gGuard.font->fid;
    values.foreground = 0;
    GC gc = XCreateGC(gGuard.x, bitmap, GCFont | GCForeground, &values);
    XFillRectangle(gGuard.x, bitmap, gc, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSetForeground(gGuard.x, gc, 1);
    for (int i = 0; i < count; ++i) {
        int lineWidth = XTextWidth(gGuard.font, lines[i], static_cast<int>(std::strlen(lines[i])));
        XDrawString(gGuard.x, bitmap, gc, (width - lineWidth) / 2, i * lineHeight + gGuard.font->ascent, lines[i],
                    static_cast<int>(std::strlen(lines[i])));
    }
    XImage* image = XGetImage(gGuard.x, bitmap, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 1,
                              XYPixmap);
    if (image) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width && gGuard.textPixelCount < kMaxTextPixels; ++x)
                if (XGetPixel(image, x, y)) gGuard.textPixels[gGuard.textPixelCount++] = {static_cast<short>(x),
                                                                                          static_cast<short>(y)};
        XDestroyImage(image);
    }
    XFreeGC(gGuard.x, gc);
    XFreePixmap(gGuard.x, bitmap);
    gGuard.textWidth = width;
    gGuard.textHeight = height;
}

int textScale(const SDL_Rect& monitor)
{
    int room = monitor.w - 2 * kBannerPaddingPx;
    return gGuard.textWidth * kTextScale <= room ? kTextScale : 1;
}

// Above the middle of the monitor, where the prompt is, across as much as the words need.
SDL_Rect bannerPlace(const SDL_Rect& monitor)
{
    int scale = textScale(monitor);
    int w = std::min(monitor.w, gGuard.textWidth * scale + 2 * kBannerPaddingPx);
    int h = gGuard.textHeight * scale + 2 * kBannerPaddingPx;
    int y = std::max(monitor.y, monitor.y + monitor.h / 2 - kBannerGapPx - h);
    return {monitor.x + (monitor.w - w) / 2, y, std::max(w, 1), std::max(h, 1)};
}

void drawBanner(int i)
{
    int scale = textScale(gGuard.places[i].at);
    XSetForeground(gGuard.x, gGuard.gc, WhitePixel(gGuard.x, DefaultScreen(gGuard.x)));
    constexpr int kBatch = 512;
    XRectangle batch[kBatch];
    int n = 0;
    for (int p = 0; p < gGuard.textPixelCount; ++p) {
        batch[n++] = {static_cast<short>(kBannerPaddingPx + gGuard.textPixels[p].x * scale),
                      static_cast<short>(kBannerPaddingPx + gGuard.textPixels[p].y * scale),
                      static_cast<unsigned short>(scale), static_cast<unsigned short>(scale)};
        if (n == kBatch || p + 1 == gGuard.textPixelCount) {
            XFillRectangles(gGuard.x, gGuard.banners[i], gGuard.gc, batch, n);
            n = 0;
        }
    }
}

// The font, the drawing context and the banner's red, made once.
void loadBannerLook()
{
    if (gGuard.gc) return;
    gGuard.font = XLoadQueryFont(gGuard.x, "fixed");
    gGuard.gc = XCreateGC(gGuard.x, gGuard.root, 0, nullptr);
    if (gGuard.font) XSetFont(gGuard.x, gGuard.gc, gGuard.font->fid);
    XColor red = {};
    red.red = static_cast<unsigned short>(((kBannerRed >> 16) & 0xFF) * 257);
    red.green = static_cast<unsigned short>(((kBannerRed >> 8) & 0xFF) * 257);
    red.blue = static_cast<unsigned short>((kBannerRed & 0xFF) * 257);
    int screen = DefaultScreen(gGuard.x);
    gGuard.bannerPixel = XAllocColor(gGuard.x, DefaultColormap(gGuard.x, screen), &red)
                             ? red.pixel
                             : WhitePixel(gGuard.x, screen) ^ BlackPixel(gGuard.x, screen);
}

void makeBanners()
{
    for (int i = 0; i < gGuard.bannerCount; ++i) XDestroyWindow(gGuard.x, gGuard.banners[i]);
    gGuard.bannerCount = 0;
    for (int i = 0; i < gGuard.count; ++i) {
        SDL_Rect at = bannerPlace(gGuard.places[i].at);
        XSetWindowAttributes attributes = {};
        attributes.override_redirect = True;
        attributes.background_pixel = gGuard.bannerPixel;
        attributes.event_mask = ExposureMask;
        gGuard.banners[gGuard.bannerCount++] =
            XCreateWindow(gGuard.x, gGuard.root, at.x, at.y, static_cast<unsigned>(at.w), static_cast<unsigned>(at.h),
                          0, CopyFromParent, InputOutput, CopyFromParent,
                          CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
    }
}

void showWarning()
{
    bool keyboard = gGuard.keyboardElsewhere, pointer = gGuard.pointerElsewhere;
    bool wanted = keyboard || pointer;
    bool sameWords = keyboard == gGuard.warnedKeyboard && pointer == gGuard.warnedPointer;
    if (wanted == gGuard.warning && (sameWords || !wanted) && gGuard.bannerCount == gGuard.count) return;
    gGuard.warnedKeyboard = keyboard;
    gGuard.warnedPointer = pointer;
    gGuard.warning = wanted;
    if (!wanted) {
        for (int i = 0; i < gGuard.bannerCount; ++i) XUnmapWindow(gGuard.x, gGuard.banners[i]);
        return;
    }
    loadBannerLook();
    renderWarningText();
    makeBanners();
    for (int i = 0; i < gGuard.bannerCount; ++i) XMapRaised(gGuard.x, gGuard.banners[i]);
}

// ---- The thread ----

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
                for (int i = 0; i < gGuard.bannerCount; ++i)
                    if (gGuard.banners[i] == event.xexpose.window) drawBanner(i);
            } else if (event.type == DestroyNotify && event.xdestroywindow.window == gGuard.places[0].window) {
                gGuard.windowLost = true;
            } else if (event.type != Expose) {
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
    long mask = hears ? attributes.your_event_mask | StructureNotifyMask : attributes.your_event_mask & ~StructureNotifyMask;
    if (mask != attributes.your_event_mask) XSelectInput(gSdl.x, window, mask);
}

void publishPlaces()
{
    std::lock_guard<std::mutex> hold(gGuard.wanted.mutex);
    Wanted& wanted = gGuard.wanted;
    wanted.count = 0;
    wanted.places[wanted.count++] = {gSdl.xWindow, gGuard.modeWindowAt};
    for (int i = 0; i < gSdl.covers.count && wanted.count < kMaxPlaces; ++i)
        if (gSdl.covers.xWindow[i]) wanted.places[wanted.count++] = {gSdl.covers.xWindow[i], gSdl.covers.monitors[i + 1]};
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
    gGuard.bannerCount = 0;
    gGuard.warning = gGuard.warnedKeyboard = gGuard.warnedPointer = false;
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
    if (gGuard.font) XFreeFont(gGuard.x, gGuard.font);
    if (gGuard.gc) XFreeGC(gGuard.x, gGuard.gc);
    gGuard.font = nullptr;
    gGuard.gc = nullptr;
    // The banners go with the connection.
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
