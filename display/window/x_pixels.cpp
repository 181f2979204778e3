// display/window/x_pixels.cpp -- a page drawn off screen shown in an X window through a shared-memory
// image a band of rows at a time: the page's colours reduced and stretched by the processor
// (page_stretch.cpp) into two bands that take turns, each handed to the X server with one put.
//
// A window-sized image would keep 8 MB resident at 1920 x 1080 for pixels the server copies away at
// once; two bands of 64 rows keep 1 MB, and the server copies one band while the next is filled. The
// black bars beside a page of another shape are filled by the server, which costs no transfer.
#include "display/window/sdl_window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>
#include <cstring>

namespace display {

namespace {

constexpr int kBandRows = 64;   // window rows a band holds
constexpr int kBands = 2;       // filled and put in turn

struct Bands {
    ::Display* x;               // the connection the image lives on
    unsigned long window;       // what it was made for
    GC gc;                      // black foreground, for the bars
    XShmSegmentInfo shm;
    XImage* image;              // kBands bands one above the other
    int width;                  // pixels a band row holds
    int shifts[3];              // the window visual's red, green and blue positions
    uint32_t opaque;            // a 32-bit visual's alpha bits, set in every pixel
    bool pending[kBands];       // put since the last sync
};

Bands gBands;
bool gAttachFailed;

int lowestBit(unsigned long mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

int noteAttachError(::Display*, XErrorEvent*)
{
    gAttachFailed = true;
    return 0;
}

// The server maps our memory only when it runs on this machine; a remote one refuses the attach.
bool localServer(::Display* x)
{
    const char* name = XDisplayString(x);
    return name && (name[0] == ':' || std::strncmp(name, "unix:", 5) == 0);
}

bool makeBands(::Display* x, unsigned long window, int width)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x, window, &attributes)) return false;
    // SDL gives its own windows a DirectColor visual where there is one (for gamma ramps), with
    // colour maps that pass every value through.
    const bool colourMasks = attributes.visual &&
                             (attributes.visual->c_class == TrueColor || attributes.visual->c_class == DirectColor);
    if (!colourMasks || (attributes.depth != 24 && attributes.depth != 32)) return false;
    gBands.image = XShmCreateImage(x, attributes.visual, static_cast<unsigned>(attributes.depth), ZPixmap, nullptr,
                                   &gBands.shm, static_cast<unsigned>(width), kBandRows * kBands);
    if (!gBands.image) return false;
    if (gBands.image->bits_per_pixel != 32) return false;
    const size_t bytes = static_cast<size_t>(gBands.image->bytes_per_line) * kBandRows * kBands;
    gBands.shm.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (gBands.shm.shmid < 0) return false;
    gBands.shm.shmaddr = static_cast<char*>(shmat(gBands.shm.shmid, nullptr, 0));
    // Marked for removal at once: the segment goes with the last process that has it mapped.
    shmctl(gBands.shm.shmid, IPC_RMID, nullptr);
    if (gBands.shm.shmaddr == reinterpret_cast<char*>(-1)) {
        gBands.shm.shmaddr = nullptr;
        return false;
    }
    gBands.image->data = gBands.shm.shmaddr;
    gBands.shm.readOnly = True;
    XSync(x, False);
    gAttachFailed = false;
    auto* previous = XSetErrorHandler(noteAttachError);
    XShmAttach(x, &gBands.shm);
    XSync(x, False);
    XSetErrorHandler(previous);
    if (gAttachFailed) return false;
    XGCValues values;
    values.foreground = 0;
    values.graphics_exposures = False;
    gBands.gc = XCreateGC(x, window, GCForeground | GCGraphicsExposures, &values);
    gBands.x = x;
    gBands.window = window;
    gBands.width = width;
    gBands.shifts[0] = lowestBit(attributes.visual->red_mask);
    gBands.shifts[1] = lowestBit(attributes.visual->green_mask);
    gBands.shifts[2] = lowestBit(attributes.visual->blue_mask);
    const unsigned long colours = attributes.visual->red_mask | attributes.visual->green_mask |
                                  attributes.visual->blue_mask;
    gBands.opaque = attributes.depth == 32 ? static_cast<uint32_t>(~colours) : 0;
    return true;
}

void syncBands()
{
    XSync(gBands.x, False);
    for (bool& pending : gBands.pending) pending = false;
}

// The black around the page, filled by the server.
void fillBars(const ShownRect& shown, int windowWidth, int windowHeight)
{
    XRectangle bars[4];
    int count = 0;
    auto add = [&](int x, int y, int w, int h) {
        if (w > 0 && h > 0)
            bars[count++] = {static_cast<short>(x), static_cast<short>(y), static_cast<unsigned short>(w),
                             static_cast<unsigned short>(h)};
    };
    add(0, 0, windowWidth, shown.y);
    add(0, shown.y + shown.height, windowWidth, windowHeight - shown.y - shown.height);
    add(0, shown.y, shown.x, shown.height);
    add(shown.x + shown.width, shown.y, windowWidth - shown.x - shown.width, shown.height);
    if (count) XFillRectangles(gBands.x, gBands.window, gBands.gc, bars, count);
}

}  // namespace

void releaseXPixels()
{
    if (gBands.x) {
        XSync(gBands.x, False);
        if (gBands.image) XShmDetach(gBands.x, &gBands.shm);
        if (gBands.gc) XFreeGC(gBands.x, gBands.gc);
        XSync(gBands.x, False);
    }
    if (gBands.image) {
        gBands.image->data = nullptr;
        XDestroyImage(gBands.image);
    }
    if (gBands.shm.shmaddr) shmdt(gBands.shm.shmaddr);
    gBands = {};
}

bool xPixelsAvailable(::_XDisplay* x, unsigned long window)
{
    return x && window && localServer(x) && XShmQueryExtension(x);
}

bool putPageInXWindow(::_XDisplay* x, unsigned long window, int windowWidth, int windowHeight, bool fill)
{
    if (windowWidth <= 0 || windowHeight <= 0) return false;
    const ModeInfo& page = gFramework.screen.mode;
    const ShownRect shown = fill ? ShownRect{0, 0, windowWidth, windowHeight}
                                 : letterbox(page.xRes, page.yRes, windowWidth, windowHeight);
    if (gBands.x != x || gBands.window != window || gBands.width != shown.width) {
        releaseXPixels();
        if (!makeBands(x, window, shown.width)) {
            releaseXPixels();
            return false;
        }
    }
    fillBars(shown, windowWidth, windowHeight);
    const int bandBytes = gBands.image->bytes_per_line * kBandRows;
    for (int first = 0, band = 0; first < shown.height; first += kBandRows, band = (band + 1) % kBands) {
        if (gBands.pending[band]) syncBands();
        WindowPixels rows = {reinterpret_cast<uint32_t*>(gBands.image->data + band * bandBytes),
                             gBands.image->bytes_per_line, shown.width, kBandRows,
                             {gBands.shifts[0], gBands.shifts[1], gBands.shifts[2]}, gBands.opaque};
        if (!stretchPageBand(rows, first, shown.height)) return false;
        const int count = shown.height - first < kBandRows ? shown.height - first : kBandRows;
        XShmPutImage(x, window, gBands.gc, gBands.image, 0, band * kBandRows, shown.x, shown.y + first,
                     static_cast<unsigned>(shown.width), static_cast<unsigned>(count), False);
        gBands.pending[band] = true;
    }
    XFlush(x);
    return true;
}

}  // namespace display
