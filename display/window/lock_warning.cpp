// display/window/lock_warning.cpp -- the warning of a password run while another client holds the keyboard or
// the pointer: a red banner with white words above the prompt on every monitor, drawn by the X server
// from the words' pixels, on the guard's thread and X connection (x_guard.cpp keeps it on top).
#include "display/window/sdl_window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstring>

namespace display {

namespace {

// The words, in the X server's built-in "fixed" font (every server has it) at twice its size where they fit.
const char* const kKeyboardLines[] = {"ANOTHER PROGRAM HOLDS THE KEYBOARD.",
                                      "What you type now goes to it, not to the saver."};
const char* const kPointerLines[] = {"ANOTHER PROGRAM HOLDS THE POINTER.", "Clicks now go to it, not to the saver."};
const char* const kAdviceLine = "Do not type your password until this warning has gone.";
constexpr int kMaxLines = 5;
constexpr int kMaxLineChars = 56;
constexpr int kFixedCellPx = 6 * 13;   // the fixed font's cell
constexpr int kTextScale = 2;
constexpr int kBannerPaddingPx = 12;
constexpr int kBannerGapPx = 90;     // between the banner's bottom and the middle of the monitor (the prompt)
constexpr int kMaxTextPixels = kMaxLines * kMaxLineChars * kFixedCellPx;
constexpr unsigned long kBannerRed = 0xB00000;
constexpr int kMaxBanners = kMaxCovers + 1;

struct Warning {
    ::Window banners[kMaxBanners];
    SDL_Rect monitors[kMaxBanners];
    int count;
    bool shown;
    bool keyboard, pointer;          // what the words say
    XFontStruct* font;
    GC gc;
    unsigned long red;
    XPoint textPixels[kMaxTextPixels];   // the words' lit pixels at the font's own size
    int textPixelCount;
    int textWidth, textHeight;           // pixels, at the font's own size
};

Warning gWarning = {};

int warningLines(const char* lines[kMaxLines])
{
    int count = 0;
    if (gWarning.keyboard)
        for (const char* line : kKeyboardLines) lines[count++] = line;
    if (gWarning.pointer)
        for (const char* line : kPointerLines) lines[count++] = line;
    lines[count++] = kAdviceLine;
    return count;
}

int lineWidth(const char* line) { return XTextWidth(gWarning.font, line, static_cast<int>(std::strlen(line))); }

// The words drawn once into a bitmap of the server's and read back as lit pixels.
void renderWords(::Display* x, ::Window root)
{
    gWarning.textPixelCount = 0;
    gWarning.textWidth = gWarning.textHeight = 0;
    if (!gWarning.font) return;
    const char* lines[kMaxLines];
    int count = warningLines(lines);
    int lineHeight = gWarning.font->ascent + gWarning.font->descent;
    int width = 1;
    for (int i = 0; i < count; ++i) width = std::max(width, lineWidth(lines[i]));
    int height = lineHeight * count;
    Pixmap bitmap = XCreatePixmap(x, root, static_cast<unsigned>(width), static_cast<unsigned>(height), 1);
    XGCValues values;
    values.font = gWarning.font->fid;
    values.foreground = 0;
    GC gc = XCreateGC(x, bitmap, GCFont | GCForeground, &values);
    XFillRectangle(x, bitmap, gc, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSetForeground(x, gc, 1);
    for (int i = 0; i < count; ++i)
        XDrawString(x, bitmap, gc, (width - lineWidth(lines[i])) / 2, i * lineHeight + gWarning.font->ascent,
                    lines[i], static_cast<int>(std::strlen(lines[i])));
    XImage* image =
        XGetImage(x, bitmap, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 1, XYPixmap);
    if (image) {
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width && gWarning.textPixelCount < kMaxTextPixels; ++column)
                if (XGetPixel(image, column, row))
                    gWarning.textPixels[gWarning.textPixelCount++] = {static_cast<short>(column),
                                                                      static_cast<short>(row)};
        XDestroyImage(image);
    }
    XFreeGC(x, gc);
    XFreePixmap(x, bitmap);
    gWarning.textWidth = width;
    gWarning.textHeight = height;
}

int textScale(const SDL_Rect& monitor)
{
    return gWarning.textWidth * kTextScale <= monitor.w - 2 * kBannerPaddingPx ? kTextScale : 1;
}

// Above the middle of the monitor, where the prompt is, as wide as the words.
SDL_Rect bannerPlace(const SDL_Rect& monitor)
{
    int scale = textScale(monitor);
    int w = std::min(monitor.w, gWarning.textWidth * scale + 2 * kBannerPaddingPx);
    int h = gWarning.textHeight * scale + 2 * kBannerPaddingPx;
    int y = std::max(monitor.y, monitor.y + monitor.h / 2 - kBannerGapPx - h);
    return {monitor.x + (monitor.w - w) / 2, y, std::max(w, 1), std::max(h, 1)};
}

// The font, the drawing context and the banner's red, made once for the connection.
void loadLook(::Display* x, ::Window root)
{
    if (gWarning.gc) return;
    gWarning.font = XLoadQueryFont(x, "fixed");
    gWarning.gc = XCreateGC(x, root, 0, nullptr);
    XColor red = {};
    red.red = static_cast<unsigned short>(((kBannerRed >> 16) & 0xFF) * 257);
    red.green = static_cast<unsigned short>(((kBannerRed >> 8) & 0xFF) * 257);
    red.blue = static_cast<unsigned short>((kBannerRed & 0xFF) * 257);
    int screen = DefaultScreen(x);
    gWarning.red = XAllocColor(x, DefaultColormap(x, screen), &red) ? red.pixel : BlackPixel(x, screen);
}

void makeBanners(::Display* x, ::Window root, const SDL_Rect* monitors, int count)
{
    for (int i = 0; i < gWarning.count; ++i) XDestroyWindow(x, gWarning.banners[i]);
    gWarning.count = 0;
    for (int i = 0; i < count && i < kMaxBanners; ++i) {
        SDL_Rect at = bannerPlace(monitors[i]);
        XSetWindowAttributes attributes = {};
        attributes.override_redirect = True;
        attributes.background_pixel = gWarning.red;
        attributes.event_mask = ExposureMask;
        gWarning.monitors[i] = monitors[i];
        gWarning.banners[gWarning.count++] =
            XCreateWindow(x, root, at.x, at.y, static_cast<unsigned>(at.w), static_cast<unsigned>(at.h), 0,
                          CopyFromParent, InputOutput, CopyFromParent,
                          CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
    }
}

bool sameMonitors(const SDL_Rect* monitors, int count)
{
    if (count != gWarning.count) return false;
    for (int i = 0; i < count; ++i)
        if (std::memcmp(&monitors[i], &gWarning.monitors[i], sizeof monitors[i]) != 0) return false;
    return true;
}

}  // namespace

void showLockWarning(::_XDisplay* x, const SDL_Rect* monitors, int count, bool keyboard, bool pointer)
{
    bool wanted = keyboard || pointer;
    if (!wanted) {
        if (gWarning.shown)
            for (int i = 0; i < gWarning.count; ++i) XUnmapWindow(x, gWarning.banners[i]);
        gWarning.shown = false;
        return;
    }
    if (gWarning.shown && keyboard == gWarning.keyboard && pointer == gWarning.pointer && sameMonitors(monitors, count))
        return;
    ::Window root = DefaultRootWindow(x);
    gWarning.keyboard = keyboard;
    gWarning.pointer = pointer;
    gWarning.shown = true;
    loadLook(x, root);
    renderWords(x, root);
    makeBanners(x, root, monitors, count);
    for (int i = 0; i < gWarning.count; ++i) XMapRaised(x, gWarning.banners[i]);
}

void drawLockWarning(::_XDisplay* x, unsigned long window)
{
    for (int i = 0; i < gWarning.count; ++i) {
        if (gWarning.banners[i] != window) continue;
        int scale = textScale(gWarning.monitors[i]);
        XSetForeground(x, gWarning.gc, WhitePixel(x, DefaultScreen(x)));
        constexpr int kBatch = 512;
        XRectangle batch[kBatch];
        int n = 0;
        for (int p = 0; p < gWarning.textPixelCount; ++p) {
            batch[n++] = {static_cast<short>(kBannerPaddingPx + gWarning.textPixels[p].x * scale),
                          static_cast<short>(kBannerPaddingPx + gWarning.textPixels[p].y * scale),
                          static_cast<unsigned short>(scale), static_cast<unsigned short>(scale)};
            if (n == kBatch || p + 1 == gWarning.textPixelCount) {
                XFillRectangles(x, gWarning.banners[i], gWarning.gc, batch, n);
                n = 0;
            }
        }
    }
}

int lockWarningBanners(unsigned long* windows, SDL_Rect* places, int capacity)
{
    if (!gWarning.shown) return 0;
    int n = 0;
    for (int i = 0; i < gWarning.count && n < capacity; ++i, ++n) {
        windows[n] = gWarning.banners[i];
        places[n] = bannerPlace(gWarning.monitors[i]);
    }
    return n;
}

bool isLockWarningWindow(unsigned long window)
{
    for (int i = 0; i < gWarning.count; ++i)
        if (gWarning.banners[i] == window) return true;
    return false;
}

void forgetLockWarning(::_XDisplay* x)
{
    if (gWarning.font) XFreeFont(x, gWarning.font);
    if (gWarning.gc) XFreeGC(x, gWarning.gc);
    // The banners go with the connection.
    gWarning.font = nullptr;
    gWarning.gc = nullptr;
    gWarning.count = 0;
    gWarning.shown = false;
}

}  // namespace display
