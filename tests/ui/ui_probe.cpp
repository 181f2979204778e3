// tests/ui/ui_probe.cpp -- opens one dialog template on FLTK, reports what arrives, takes screenshots.
//
// ui_probe TEMPLATE [--shot FILE.png] [--exit] [--cover]
// ui_probe BOX [--shot FILE.png]
// Prints "control ID X Y W H" (screen pixels) for every control and "ready" once the dialog is up, then
// "command ID CODE checked=N" and "scroll REQUEST POS" as messages arrive. --shot writes the dialog's
// pixels to a PNG; --exit ends after the shot. The cancel command (Esc, or "Cancel") ends the probe.
// With the shot, "label-cut TEXT" names every one-line label whose end is missing from the picture.
// --cover (DLG) then stops the painter, puts a message box over the dialog, closes it, and compares
// what was under the box before and after: "cover compared N blue K differing M".
// BOX shows the installer's start notice and reports where its text lies: "box W H BUTTONTOP LINEHEIGHT"
// and "text TOP BOTTOM" (rows of the box holding dark text pixels above the buttons).
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/dialog/ui_backend.h"
#include "resources/dialog_templates.h"

using namespace platform;

// Under the leak checker: fontconfig keeps its caches (read through Xft) until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

const char* gShotPath = nullptr;
bool gExitAfterShot = false;
bool gCover = false;
bool gPaintStopped = false;   // the painter has nothing to draw, as after the installer's last copy
platform::Window* gDialog = nullptr;
XImage* gBeforeCover = nullptr;
int gCoverX = 0, gCoverY = 0, gCoverW = 0, gCoverH = 0;   // the box, in dialog coordinates
constexpr double kSettleSeconds = 0.4;
constexpr int kProgressPercent = 55;   // the text lies half inside the bar
constexpr unsigned long kRgbMask = 0xFFFFFF;
constexpr unsigned long kBarBlue = 0x0000FF;
constexpr double kLabelEndShare = 0.2;   // the last fifth of a label's text must show ink
constexpr int kDarkChannel = 0x50;
constexpr int kFramePx = 2;             // the dialog's raised edge       // text pixels: every channel below this
const char kNoticeText[] =
    "Please note: It is recommended that you shut down all\nprograms that are currently running before "
    "continuing.\nIf you have problems installing, restart your computer\nthen try to run this setup "
    "program.\nWhen ready click ok to continue installation.";

bool writePng(const char* path, XImage* image, int w, int h)
{
    std::FILE* out = std::fopen(path, "wb");
    if (!out) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(out);
        return false;
    }
    png_init_io(png, out);
    png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::string row(static_cast<size_t>(w) * 3, '\0');
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            unsigned long pixel = XGetPixel(image, x, y);
            row[x * 3] = static_cast<char>((pixel >> 16) & 0xFF);
            row[x * 3 + 1] = static_cast<char>((pixel >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<char>(pixel & 0xFF);
        }
        png_write_row(png, reinterpret_cast<png_const_bytep>(row.data()));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(out);
    return true;
}

unsigned long backgroundRgb()
{
    uchar r = 0, g = 0, b = 0;
    Fl::get_color(FL_BACKGROUND_COLOR, r, g, b);
    return static_cast<unsigned long>(r) << 16 | g << 8 | b;
}

// A one-line label must show its whole text: ink in the last fifth of where its text should reach, inside
// the dialog.
void checkLabels(XImage* image)
{
    unsigned long background = backgroundRgb();
    int checked = 0;
    for (const Control& c : gDialog->controls) {
        auto* widget = static_cast<Fl_Widget*>(c.widget);
        if (c.kind != ControlKind::Label || !widget || !c.visible || c.text.empty() || (c.style & kSsSunken) ||
            c.source->height > 10)
            continue;
        fl_font(widget->labelfont(), widget->labelsize());
        int textWidth = static_cast<int>(fl_width(c.text.c_str()));
        int from = widget->x() + static_cast<int>(textWidth * (1.0 - kLabelEndShare));
        int to = widget->x() + textWidth;
        bool inside = to <= image->width - kFramePx;   // running onto the dialog's frame cuts it
        bool ink = false;
        for (int y = widget->y(); inside && y < widget->y() + widget->h() && y < image->height && !ink; ++y)
            for (int x = from; x < to && !ink; ++x) ink = (XGetPixel(image, x, y) & kRgbMask) != background;
        if (!inside || !ink) std::printf("label-cut %s\n", c.text.c_str());
        ++checked;
    }
    std::printf("labels checked %d\n", checked);
}

XImage* grab(Fl_Window* window)
{
    return XGetImage(fl_display, RootWindow(fl_display, fl_screen), window->x(), window->y(), window->w(),
                     window->h(), AllPlanes, ZPixmap);
}

void closeCover(void*)
{
    Fl_Window* box = Fl::modal();
    auto* native = static_cast<Fl_Window*>(gDialog->native);
    if (!box) return;
    gCoverX = box->x() - native->x();
    gCoverY = box->y() - native->y();
    gCoverW = box->w();
    gCoverH = box->h();
    box->hide();
}

void compareCover(void*)
{
    auto* native = static_cast<Fl_Window*>(gDialog->native);
    XImage* after = grab(native);
    long compared = 0, blue = 0, differing = 0;
    for (int y = std::max(0, gCoverY); y < std::min(native->h(), gCoverY + gCoverH); ++y) {
        for (int x = std::max(0, gCoverX); x < std::min(native->w(), gCoverX + gCoverW); ++x) {
            unsigned long before = XGetPixel(gBeforeCover, x, y) & kRgbMask;
            ++compared;
            blue += before == kBarBlue;
            differing += before != (XGetPixel(after, x, y) & kRgbMask);
        }
    }
    std::printf("cover compared %ld blue %ld differing %ld\n", compared, blue, differing);
    std::fflush(stdout);
    XDestroyImage(after);
    XDestroyImage(gBeforeCover);
    std::exit(0);
}

void coverWithBox()
{
    gBeforeCover = grab(static_cast<Fl_Window*>(gDialog->native));
    gPaintStopped = true;
    Fl::add_timeout(kSettleSeconds, closeCover);
    messageBox(gDialog, "Setup complete!", "Finished setup", kMbOk | kMbIconExclamation);
    Fl::add_timeout(kSettleSeconds, compareCover);
}

// The window manager's icon of a window: "icon WIDTH HEIGHT" of the first image in _NET_WM_ICON, or "icon none".
void reportIcon(Fl_Window* window)
{
    Atom property = XInternAtom(fl_display, "_NET_WM_ICON", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool read = XGetWindowProperty(fl_display, fl_xid(window), property, 0, 2, False, XA_CARDINAL, &type, &format,
                                   &count, &after, &data) == Success;
    if (read && data && count == 2 && format == 32) {
        const auto* words = reinterpret_cast<const unsigned long*>(data);
        std::printf("icon %lu %lu\n", words[0], words[1]);
    } else {
        std::printf("icon none\n");
    }
    if (data) XFree(data);
}

void announce(void*)
{
    auto* native = static_cast<Fl_Window*>(gDialog->native);
    for (const Control& c : gDialog->controls) {
        auto* widget = static_cast<Fl_Widget*>(c.widget);
        if (!widget) continue;
        std::printf("control %d %d %d %d %d\n", c.id, native->x() + widget->x(), native->y() + widget->y(),
                    widget->w(), widget->h());
    }
    reportIcon(native);
    std::printf("window %d %d %d %d\nready\n", native->x(), native->y(), native->w(), native->h());
    if (gShotPath) {
        XImage* image = XGetImage(fl_display, RootWindow(fl_display, fl_screen), native->x(), native->y(),
                                  native->w(), native->h(), AllPlanes, ZPixmap);
        bool written = image && writePng(gShotPath, image, native->w(), native->h());
        if (image) checkLabels(image);
        if (image && gDialog->source == &resources::kProgressDialogTemplate) {
            // Inside the bar's left end, and inside the box near its right end.
            std::printf("bar %06lx %06lx\n", XGetPixel(image, 8 + 4, 82 + 4) & 0xFFFFFF,
                        XGetPixel(image, native->w() - 20, 82 + 4) & 0xFFFFFF);
        }
        if (image) XDestroyImage(image);
        std::printf(written ? "shot\n" : "shot failed\n");
    }
    std::fflush(stdout);
    if (gCover) coverWithBox();
    if (gExitAfterShot) std::exit(0);
}

// The start notice's text: dark rows between the top edge and the buttons, right of the icon.
void announceBox(void*)
{
    Fl_Window* box = Fl::modal();
    if (!box) std::exit(1);
    int buttonTop = box->h(), textLeft = box->w();
    for (int i = 0; i < box->children(); ++i) {
        Fl_Widget* child = box->child(i);
        if (dynamic_cast<Fl_Button*>(child)) {
            buttonTop = std::min(buttonTop, child->y());
            fl_font(child->labelfont(), child->labelsize());
        } else if (child->x() > 0 && !child->box()) {
            textLeft = std::min(textLeft, child->x());
        }
    }
    XImage* image = grab(box);
    if (!image) std::exit(1);
    int top = -1, bottom = -1;
    for (int y = 0; y < buttonTop; ++y) {
        for (int x = textLeft; x < box->w() - Fl::box_dw(box->box()); ++x) {
            unsigned long p = XGetPixel(image, x, y);
            bool dark = ((p >> 16) & 0xFF) < kDarkChannel && ((p >> 8) & 0xFF) < kDarkChannel && (p & 0xFF) < kDarkChannel;
            if (dark && y >= Fl::box_dy(box->box())) {
                if (top < 0) top = y;
                bottom = y;
                break;
            }
        }
    }
    std::printf("box %d %d %d %d\ntext %d %d\n", box->w(), box->h(), buttonTop, fl_height(), top, bottom);
    bool written = gShotPath && writePng(gShotPath, image, box->w(), box->h());
    std::printf(written ? "shot\n" : "no shot\n");
    std::fflush(stdout);
    XDestroyImage(image);
    std::exit(0);
}

void paintProgress(platform::Window* dialog)
{
    int w = 0, h = 0;
    getControlClientSize(dialog, 202, &w, &h);
    Canvas* canvas = createCanvas(dialog, w + 1, h + 1);
    if (!canvas) return;
    canvasRectangle(canvas, 0, 0, w, h, 0x000000, 0xFFFFFF);
    std::string text = std::to_string(kProgressPercent) + "% complete";
    canvasText(canvas, w / 2, h / 2 - 8, text.c_str());
    canvasSetMix(canvas, kR2MergePenNot);
    canvasRectangle(canvas, 1, 1, (w - 1) * kProgressPercent / 100, h - 1, 0x00000A, 0x0000FF);
    copyCanvas(canvas, dialog, 8, 82, w, h);
    destroyCanvas(canvas);
}

void fillSamples(platform::Window* dialog)
{
    if (dialog->source == &resources::kConfigDialogTemplate) {
        for (const char* mode : {"640 x 480 SVGA 64k color  1 Page  FDIB16.DRV",
                                 "800 x 600 SVGA 64k color  1 Page  FDIB16.DRV"})
            addString(dialog, 150, mode);
        setDlgItemText(dialog, 151, "640 x 480 SVGA 64k color");
        for (const char* name : {"Random Scheme", "RGB Fade"}) addString(dialog, 204, name);
        for (const char* name : {"Random Movement", "XYZ Rotate"}) addString(dialog, 700, name);
        selectString(dialog, 204, "RGB Fade");
        selectString(dialog, 700, "XYZ Rotate");
        checkRadioButton(dialog, 152, 156, 154);
        checkRadioButton(dialog, 600, 601, 601);
        checkRadioButton(dialog, 501, 502, 501);
        for (int id : {160, 165, 300, 301, 401, 500, 900}) checkDlgButton(dialog, id, kBstChecked);
        setScrollRange(dialog, 190, 0, 20, false);
        setScrollPos(dialog, 190, 4, true);
        for (int id : {201, 202, 203, 1101}) enableDlgItem(dialog, id, false);
        setDlgItemText(dialog, 201, "0");
        setDlgItemText(dialog, 202, "0");
        setDlgItemText(dialog, 203, "1");
        setDlgItemText(dialog, 504, "10");
        setDlgItemText(dialog, 505, "2000");
    } else if (dialog->source == &resources::kPathDialogTemplate) {
        setDlgItemText(dialog, 102, "C:\\WINDOWS");
    } else if (dialog->source == &resources::kProgressDialogTemplate) {
        setDlgItemText(dialog, 200, "A:\\TOCKWHEEL.SCR");
        setDlgItemText(dialog, 201, "C:\\WINDOWS\\TOCKWHEEL.SCR");
    }
}

intptr_t probeProc(platform::Window* dialog, unsigned message, uintptr_t wParam, intptr_t lParam)
{
    switch (message) {
    case kWmInitDialog:
        gDialog = dialog;
        fillSamples(dialog);
        Fl::add_timeout(kSettleSeconds, announce);
        return 0;
    case kWmCommand: {
        int id = static_cast<int>(loWord(wParam));
        std::printf("command %d %u checked=%u\n", id, hiWord(wParam), isDlgButtonChecked(dialog, id));
        std::fflush(stdout);
        if (id == kIdCancel) {
            if (dialog->modal) endDialog(dialog, kIdCancel);
            else std::exit(0);
        }
        return 0;
    }
    case kWmVScroll:
        std::printf("scroll %u %u bar=%ld\n", loWord(wParam), hiWord(wParam), static_cast<long>(lParam));
        std::fflush(stdout);
        if (loWord(wParam) == kSbLineDown) setScrollPos(dialog, 190, getScrollPos(dialog, 190) + 1, true);
        return 0;
    case kWmPaint:
        if (dialog->source == &resources::kProgressDialogTemplate && !gPaintStopped) paintProgress(dialog);
        return 0;
    default:
        return 0;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: ui_probe TEMPLATE [--shot FILE.png] [--exit]\n");
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--shot") == 0 && i + 1 < argc) gShotPath = argv[++i];
        else if (std::strcmp(argv[i], "--exit") == 0) gExitAfterShot = true;
        else if (std::strcmp(argv[i], "--cover") == 0) gCover = true;
    }
    if (std::strcmp(argv[1], "BOX") == 0) {
        setenv("TOCKWHEEL_UI", "fltk", 1);
        if (std::strcmp(uiRealisation(), "fltk") != 0) return 2;
        Fl::add_timeout(kSettleSeconds, announceBox);
        messageBox(nullptr, kNoticeText, "Setup", kMbOk | kMbIconInformation);
        return 1;   // the box was answered before it could be measured
    }
    const DialogTemplate* dialogTemplate = resources::findDialogTemplate(argv[1]);
    if (!dialogTemplate) return 2;
    setenv("TOCKWHEEL_UI", "fltk", 1);
    if (std::strcmp(uiRealisation(), "fltk") != 0) {
        std::fprintf(stderr, "ui_probe: no display\n");
        return 2;
    }
    if (dialogTemplate == &resources::kProgressDialogTemplate) {
        platform::Window* backdrop = createAppWindow("Halvorne Setup", getSysColor(kColorAppWorkspace), nullptr);
        createDialogParam(dialogTemplate, backdrop, probeProc, 0);
        return runMessageLoop(nullptr);
    }
    return dialogBoxParam(dialogTemplate, nullptr, probeProc, 0) == kIdCancel ? 0 : 1;
}
