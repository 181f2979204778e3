// platform/dialog/fltk_ui.cpp -- the FLTK realisation: windows, widgets and painting for people (boxes: fltk_box.cpp).
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Image.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Scrollbar.H>
#include <FL/Fl_Window.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xlib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/dialog/ui_backend.h"
#include "platform/dialog/fltk_look.h"
#include "platform/dialog/fltk_private.h"
#include "platform/stop_signals.h"

// The off-screen macros name X's Window, which platform::Window would hide inside the namespace.
namespace {

void beginOffscreen(Fl_Offscreen pixmap, void (*draw)(const void* what), const void* what)
{
    fl_begin_offscreen(pixmap);
    draw(what);
    fl_end_offscreen();
}

}  // namespace

namespace platform {
namespace {

constexpr int kScrollbarPx = 16;                // list box scroll bars
constexpr int kSunkenInsetPx = 2;               // text inside a sunken static keeps off its frame
constexpr int kLabelShrinkLimitPx = 2;          // a label too long for its dialog loses at most this much size
constexpr int kGroupLabelIndentPx = 8;          // a group box's caption from its left edge
constexpr int kGroupLabelPadPx = 2;             // frame cleared either side of the caption
constexpr double kStopPollSeconds = 0.25;       // the longest a wait for the user runs before a signal is seen

}  // namespace

DialogBase gBase;

// A signal can land just before the wait begins, when nothing interrupts it: the wait is therefore kept
// short, so that a stop request ends the program well within a second whatever is on the screen.
void waitForUser()
{
    Fl::wait(kStopPollSeconds);
    if (stopSignal()) endForStopSignal();
}

namespace {

double screenScale()
{
    ScaleSources sources;
    sources.override = std::getenv("TOCKWHEEL_UI_SCALE");
    sources.gdkScale = std::getenv("GDK_SCALE");
    sources.qtScale = std::getenv("QT_SCALE_FACTOR");
    sources.xResources = fl_display ? XResourceManagerString(fl_display) : nullptr;
    return uiScaleFrom(sources);
}

}  // namespace

void setUpFont()
{
    if (gBase.ready) return;
    gBase.scale = screenScale();
    gBase.fontPx = static_cast<int>(std::lround(kDialogFontPx * gBase.scale));
    Fl::scrollbar_size(static_cast<int>(std::lround(kScrollbarPx * gBase.scale)));
    Fl::set_font(kDialogFont, "Liberation Sans");
    // The dialog base units of Windows: the average width of the alphabet, rounded, and the font height,
    // taken at scale 1 and multiplied by the scale, so that every control keeps its place exactly (the
    // font's own metrics do not grow quite in proportion).
    fl_font(kDialogFont, kDialogFontPx);
    double alphabet = fl_width("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    gBase.width = (static_cast<int>(alphabet) / 26 + 1) / 2;
    gBase.height = fl_height();
    gBase.ready = true;
}

int scaled(int pixels) { return static_cast<int>(std::lround(pixels * gBase.scale)); }

namespace {

// As dialogUnitsToPixelsX/Y (rounded to the nearest pixel), at the screen's scale.
int px(int units) { return static_cast<int>(std::lround(units * gBase.width * gBase.scale / 4.0)); }
int py(int units) { return static_cast<int>(std::lround(units * gBase.height * gBase.scale / 8.0)); }

// ---- The program's icon ----


struct ProgramIcon {
    const IconImage* source = nullptr;
    std::vector<unsigned char> rgba;
    std::unique_ptr<Fl_RGB_Image> image;
};
ProgramIcon gIcon;   // the first template icon met: the program's own, shown by every window it opens

}  // namespace

void setWindowIcon(Fl_Window* window)
{
    if (gIcon.image) window->icon(gIcon.image.get());
}

namespace {

// Windows give every window of a program its class icon; here the first dialog that names an icon
// makes it the program's, and windows already open (the installer's backdrop) take it too.
void adoptIcon(const IconImage* icon)
{
    if (!icon || gIcon.source) return;
    gIcon.source = icon;
    if (!iconPixels(*icon, &gIcon.rgba)) return;
    gIcon.image = std::make_unique<Fl_RGB_Image>(gIcon.rgba.data(), icon->width, icon->height, 4);
    for (Window* open : openWindows())
        if (open->native) setWindowIcon(static_cast<Fl_Window*>(open->native));
}

// FLTK reads '@' in labels as a symbol; the programs' texts mean the character.
std::string labelText(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '@') out += '@';
        out += c;
    }
    return out;
}

// Menu paths treat '/', '\\' and a leading '_' specially.
std::string menuText(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '/' || c == '\\' || c == '_' || c == '&') out += '\\';
        out += c;
    }
    return out;
}

Fl_Color flColour(Rgb colour)
{
    return fl_rgb_color((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

// ---- Windows ----

// What was last copied into a window through a canvas, kept so that the window can show it again when it
// is uncovered even while the program's painter has nothing to draw (as a backing store would).
struct KeptPaint {
    Fl_Offscreen pixels = 0;
    int x = 0, y = 0, width = 0, height = 0;
};

class DialogWindow : public Fl_Window {
public:
    DialogWindow(int w, int h) : Fl_Window(w, h) {}
    ~DialogWindow() override { forgetPaint(); }
    Window* record = nullptr;
    int pendingFocus = -1;
    KeptPaint kept;

    void forgetPaint()
    {
        if (kept.pixels) fl_delete_offscreen(kept.pixels);
        kept = KeptPaint();
    }

    int handle(int event) override
    {
        if (event == FL_SHORTCUT && liveWindow(record) &&
            (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter)) {
            userKeyEnter(record);
            return 1;
        }
        return Fl_Window::handle(event);
    }

    // Uncovered or redrawn: the controls, then the last canvas copied in, then the program's own painting.
    void draw() override
    {
        Fl_Window::draw();
        if (kept.pixels) fl_copy_offscreen(kept.x, kept.y, kept.width, kept.height, kept.pixels, 0, 0);
        if (liveWindow(record) && record->kind == WindowKind::Dialog) sendMessage(record, kWmPaint, 0, 0);
    }
};

Window* recordOf(Fl_Widget* widget)
{
    Fl_Window* top = widget->as_window() ? widget->as_window() : widget->window();
    DialogWindow* dialog = top ? dynamic_cast<DialogWindow*>(top) : nullptr;
    return dialog ? liveWindow(dialog->record) : nullptr;
}

Control* controlOf(Fl_Widget* widget) { return static_cast<Control*>(widget->user_data()); }

void windowCallback(Fl_Widget* widget, void*)
{
    Window* window = recordOf(widget);
    if (!window) return;
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) userKeyEscape(window);
    else userClose(window);
}

// ---- Widgets that report focus (and, for digits-only boxes, refuse other keys) ----

template <class Base>
class Reporting : public Base {
public:
    Reporting(int x, int y, int w, int h) : Base(x, y, w, h) {}
    bool digitsOnly = false;

    int handle(int event) override
    {
        if (digitsOnly && (event == FL_KEYBOARD || event == FL_PASTE) && refuses(Fl::event_text())) {
            if (event == FL_KEYBOARD) fl_beep();
            return 1;
        }
        int used = Base::handle(event);
        if (event == FL_FOCUS && used) {
            Window* window = recordOf(this);
            if (window) userFocus(window, controlOf(this));
        }
        return used;
    }

private:
    static bool refuses(const char* text)
    {
        if (!text || !*text || static_cast<unsigned char>(text[0]) < 0x20) return false;   // editing keys
        for (const char* p = text; *p; ++p)
            if (*p < '0' || *p > '9') return true;
        return false;
    }
};

class GroupBoxWidget : public Fl_Box {
public:
    GroupBoxWidget(int x, int y, int w, int h) : Fl_Box(x, y, w, h) {}
    void draw() override
    {
        fl_font(kDialogFont, gBase.fontPx);
        int half = fl_height() / 2;
        fl_draw_box(FL_ENGRAVED_FRAME, x(), y() + half, w(), h() - half, color());
        if (!label() || !*label()) return;
        int textWidth = static_cast<int>(fl_width(label()));
        int indent = scaled(kGroupLabelIndentPx), pad = scaled(kGroupLabelPadPx);
        fl_color(color());
        fl_rectf(x() + indent - pad, y(), textWidth + 2 * pad, fl_height());
        fl_color(active_r() ? labelcolor() : fl_inactive(labelcolor()));
        fl_draw(label(), x() + indent, y() + fl_height() - fl_descent());
    }
};

// Static text as Windows draws it: from the control's left edge, top-aligned. Liberation Sans runs a
// little wider than the font the templates were laid out for, so a one-line label runs past its box rather
// than lose a word to wrapping or clipping; taller labels wrap within their box. A sunken static (the
// installer's path fields) keeps its text inside its frame.
class LabelWidget : public Fl_Box {
public:
    LabelWidget(int x, int y, int w, int h) : Fl_Box(x, y, w, h) {}
    std::string text;      // shown as it is: no '@' symbols, no '&' underlines
    int drawnRight = 0;    // right edge of the text last drawn, window coordinates

    bool sunken() const { return box() == FL_THIN_DOWN_BOX; }
    bool oneLine() const { return h() < py(16); }   // less than two lines of the dialog font

    // The right edge the current text reaches when drawn.
    int textRight() const
    {
        if (sunken() || !oneLine() || text.empty()) return x() + w();
        fl_font(kDialogFont, labelsize());
        return std::max(x() + w(), x() + static_cast<int>(std::ceil(fl_width(text.c_str()))) + 1);
    }

    // Running past the box must not run out of the dialog: such a text is set a little smaller instead.
    void fitText()
    {
        labelsize(gBase.fontPx);
        const Fl_Window* top = window();
        if (sunken() || !oneLine() || text.empty() || !top) return;
        int room = top->w() - Fl::box_dw(top->box()) / 2 - x();
        int smallest = std::max(1, gBase.fontPx - scaled(kLabelShrinkLimitPx));
        for (int size = gBase.fontPx; size > smallest; --size) {
            fl_font(kDialogFont, size);
            if (fl_width(text.c_str()) <= room) break;
            labelsize(static_cast<Fl_Fontsize>(size - 1));
        }
    }

    void draw() override
    {
        if (sunken()) draw_box();
        drawnRight = textRight();
        if (text.empty()) return;
        fl_font(kDialogFont, labelsize());
        fl_color(active_r() ? FL_FOREGROUND_COLOR : fl_inactive(FL_FOREGROUND_COLOR));
        if (sunken()) {
            fl_push_clip(x() + Fl::box_dx(box()), y() + Fl::box_dy(box()), w() - Fl::box_dw(box()),
                         h() - Fl::box_dh(box()));
            fl_draw(text.c_str(), x() + kSunkenInsetPx, y() + (h() - fl_height()) / 2 + fl_height() - fl_descent());
            fl_pop_clip();
        } else if (oneLine()) {
            fl_draw(text.c_str(), x(), y() + fl_height() - fl_descent());
        } else {
            fl_draw(text.c_str(), x(), y(), w(), h(), FL_ALIGN_TOP_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_WRAP, nullptr, 0);
        }
    }

    // A label draws no background of its own: the window redraws the area it covers, the overrun
    // included, so old text never shows through new text.
    void refresh()
    {
        Fl_Window* top = window();
        int right = std::max(drawnRight, textRight());
        if (top && top->shown()) top->damage(FL_DAMAGE_ALL, x(), y(), right - x(), h());
        else redraw();
    }
};

// A vertical scroll bar that reports requests as Windows does and moves only when the program says so.
class ScrollWidget : public Fl_Scrollbar {
public:
    ScrollWidget(int x, int y, int w, int h) : Fl_Scrollbar(x, y, w, h) {}

    int handle(int event) override
    {
        Window* window = recordOf(this);
        Control* c = controlOf(this);
        if (!window || !c || !active_r()) return Fl_Scrollbar::handle(event);
        int ey = Fl::event_y();
        switch (event) {
        case FL_PUSH: {
            int arrow = std::min(w(), h() / 3);
            int top = 0, length = 0;
            slider(&top, &length);
            if (ey < y() + arrow) userScroll(window, c, kSbLineUp, 0);
            else if (ey >= y() + h() - arrow) userScroll(window, c, kSbLineDown, 0);
            else if (ey < top) userScroll(window, c, kSbPageUp, 0);
            else if (ey >= top + length) userScroll(window, c, kSbPageDown, 0);
            else {
                dragging_ = true;
                grab_ = ey - top;
                track_ = c->scrollPos;
            }
            return 1;
        }
        case FL_DRAG:
            if (dragging_) {
                int pos = positionAt(ey - grab_, c);
                if (pos != track_) userScroll(window, c, kSbThumbTrack, pos);
                track_ = pos;
            }
            return 1;
        case FL_RELEASE:
            if (dragging_) {
                dragging_ = false;
                userScroll(window, c, kSbThumbPosition, track_);
            }
            return 1;
        default:
            return Fl_Scrollbar::handle(event);
        }
    }

private:
    bool dragging_ = false;
    int grab_ = 0;
    int track_ = 0;

    void slider(int* top, int* length) const
    {
        int arrow = std::min(w(), h() / 3);
        int trackLength = h() - 2 * arrow;
        *length = std::max(static_cast<int>(slider_size() * trackLength + 0.5), arrow / 2);
        double span = maximum() - minimum();
        double fraction = span > 0 ? (value() - minimum()) / span : 0.0;
        *top = y() + arrow + static_cast<int>(fraction * (trackLength - *length) + 0.5);
    }

    int positionAt(int sliderTop, const Control* c) const
    {
        int arrow = std::min(w(), h() / 3);
        int top = 0, length = 0;
        slider(&top, &length);
        int travel = h() - 2 * arrow - length;
        if (travel <= 0) return c->scrollMin;
        double fraction = static_cast<double>(sliderTop - y() - arrow) / travel;
        int pos = c->scrollMin + static_cast<int>(fraction * (c->scrollMax - c->scrollMin) + 0.5);
        return std::clamp(pos, c->scrollMin, c->scrollMax);
    }
};

// ---- Widget callbacks: the user acted ----

void buttonCallback(Fl_Widget* widget, void*)
{
    Window* window = recordOf(widget);
    Control* c = controlOf(widget);
    if (!window || !c) return;
    // The widget toggled itself; the model decides (plain boxes wait for the program to set them).
    if (c->kind != ControlKind::PushButton) static_cast<Fl_Button*>(widget)->value(c->checked != 0);
    userClick(window, c);
}

void editCallback(Fl_Widget* widget, void*)
{
    Window* window = recordOf(widget);
    Control* c = controlOf(widget);
    if (!window || !c) return;
    userType(window, c, static_cast<Fl_Input*>(widget)->value());
}

void choiceCallback(Fl_Widget* widget, void*)
{
    Window* window = recordOf(widget);
    Control* c = controlOf(widget);
    if (window && c) userPick(window, c, static_cast<Fl_Choice*>(widget)->value());
}

void browserCallback(Fl_Widget* widget, void*)
{
    Window* window = recordOf(widget);
    Control* c = controlOf(widget);
    int line = static_cast<Fl_Hold_Browser*>(widget)->value();
    if (window && c && line > 0) userPick(window, c, line - 1);
}

// ---- Building a dialog ----

void styleWidget(Fl_Widget* widget, Control* c)
{
    widget->user_data(c);
    widget->labelfont(kDialogFont);
    widget->labelsize(gBase.fontPx);   // within the control's height, or check boxes grow out of it
}

Fl_Widget* makeWidget(Control* c, int x, int y, int w, int h)
{
    switch (c->kind) {
    case ControlKind::PushButton: {
        auto* button = new Reporting<Fl_Button>(x, y, w, h);
        button->callback(buttonCallback);
        return button;
    }
    case ControlKind::CheckBox:
    case ControlKind::AutoCheckBox: {
        auto* box = new Reporting<Fl_Check_Button>(x, y, w, h);
        box->callback(buttonCallback);
        return box;
    }
    case ControlKind::RadioButton:
    case ControlKind::AutoRadioButton: {
        auto* radio = new Reporting<Fl_Round_Button>(x, y, w, h);
        radio->type(FL_TOGGLE_BUTTON);
        radio->callback(buttonCallback);
        return radio;
    }
    case ControlKind::GroupBox:
        return new GroupBoxWidget(x, y, w, h);
    case ControlKind::Label: {
        auto* label = new LabelWidget(x, y, w, h);
        label->box((c->style & kSsSunken) ? FL_THIN_DOWN_BOX : FL_NO_BOX);
        return label;
    }
    case ControlKind::Edit: {
        auto* edit = new Reporting<Fl_Input>(x, y, w, h);
        if (c->style & kEsPassword) edit->type(FL_SECRET_INPUT);
        edit->digitsOnly = (c->style & kEsNumber) != 0;
        edit->textfont(kDialogFont);
        edit->textsize(gBase.fontPx);
        edit->when(FL_WHEN_CHANGED);
        edit->callback(editCallback);
        return edit;
    }
    case ControlKind::ComboBox: {
        // The template's height is the dropped-down list; the closed box is as tall as an edit box.
        auto* choice = new Reporting<Fl_Choice>(x, y, w, py(12));
        choice->textfont(kDialogFont);
        choice->textsize(gBase.fontPx);
        choice->callback(choiceCallback);
        return choice;
    }
    case ControlKind::ListBox: {
        auto* list = new Reporting<Fl_Hold_Browser>(x, y, w, h);
        list->format_char(0);
        list->textfont(kDialogFont);
        list->textsize(gBase.fontPx);
        list->when(FL_WHEN_CHANGED | FL_WHEN_NOT_CHANGED);
        list->callback(browserCallback);
        return list;
    }
    case ControlKind::ScrollBar: {
        auto* bar = new ScrollWidget(x, y, w, h);
        bar->type(FL_VERTICAL);
        return bar;
    }
    }
    return nullptr;
}

void placeWindow(Window* window, DialogWindow* native, int w, int h)
{
    int sx = 0, sy = 0, sw = 0, sh = 0;
    Fl::screen_work_area(sx, sy, sw, sh, 0);
    const DialogTemplate* source = window->source;
    Fl_Window* owner = window->owner ? static_cast<Fl_Window*>(window->owner->native) : nullptr;
    int x = sx + (sw - w) / 2, y = sy + (sh - h) / 2;
    if (source && !(source->style & kDsCenter)) {
        if (owner) {
            x = owner->x() + px(source->x);
            y = owner->y() + py(source->y);
        } else {
            x = sx + px(source->x);
            y = sy + py(source->y);
        }
    }
    // A dialog larger than the screen (a high scale on a small screen) keeps its caption and top left on it.
    native->resize(std::max(sx, x), std::max(sy, y), w, h);
}

void fltkSyncControl(Window*, Control* c);

bool fltkCreateWindow(Window* window)
{
    setUpFont();
    if (window->kind == WindowKind::AppWindow) {
        int sx = 0, sy = 0, sw = 0, sh = 0;
        Fl::screen_work_area(sx, sy, sw, sh, 0);
        auto* native = new DialogWindow(sw, sh);
        native->record = window;
        native->position(sx, sy);
        native->color(flColour(window->background));
        native->copy_label(window->title.c_str());
        native->callback(windowCallback);
        native->end();
        setWindowIcon(native);
        window->native = native;
        return true;
    }
    const DialogTemplate* source = window->source;
    adoptIcon(source->icon);
    int w = px(source->width), h = py(source->height);
    auto* native = new DialogWindow(w, h);
    native->record = window;
    native->box(FL_UP_BOX);   // the modal frame's raised edge, seen also where no window manager draws one
    native->copy_label(window->title.c_str());
    setWindowIcon(native);
    native->callback(windowCallback);
    if (window->modal) native->set_modal();
    for (Control& c : window->controls) {
        const ControlTemplate& t = *c.source;
        Fl_Widget* widget = makeWidget(&c, px(t.x), py(t.y), px(t.width), py(t.height));
        styleWidget(widget, &c);
        c.widget = widget;
        fltkSyncControl(window, &c);
    }
    native->end();
    placeWindow(window, native, w, h);
    window->native = native;
    return true;
}

void fltkShowWindow(Window* window)
{
    auto* native = static_cast<DialogWindow*>(window->native);
    if (!native) return;
    if (window->source && !(window->source->style & kWsVisible)) return;
    native->show();
    if (native->pendingFocus >= 0 && native->pendingFocus < static_cast<int>(window->controls.size())) {
        auto* widget = static_cast<Fl_Widget*>(window->controls[native->pendingFocus].widget);
        if (widget) widget->take_focus();
    }
}

void fltkDestroyWindow(Window* window)
{
    auto* native = static_cast<DialogWindow*>(window->native);
    if (!native) return;
    native->record = nullptr;
    for (Control& c : window->controls) {
        if (c.widget) static_cast<Fl_Widget*>(c.widget)->user_data(nullptr);
        c.widget = nullptr;
    }
    native->hide();
    Fl::delete_widget(native);   // a callback of one of its widgets may still be running
    window->native = nullptr;
}

void fillMenu(Fl_Choice* choice, const Control& c)
{
    choice->clear();
    for (const std::string& item : c.items) choice->add(menuText(item).c_str(), 0, nullptr, nullptr, 0);
    choice->value(c.selection);
}

void fillBrowser(Fl_Hold_Browser* list, const Control& c)
{
    list->clear();
    for (const std::string& item : c.items) list->add(item.c_str());
    if (c.selection >= 0) list->value(c.selection + 1);
    else list->deselect();
}

void fltkSyncControl(Window*, Control* c)
{
    auto* widget = static_cast<Fl_Widget*>(c->widget);
    if (!widget) return;
    if (c->enabled) widget->activate();
    else widget->deactivate();
    if (c->visible) widget->show();
    else widget->hide();
    switch (c->kind) {
    case ControlKind::Edit: {
        auto* edit = static_cast<Fl_Input*>(widget);
        if (c->text != edit->value()) edit->value(c->text.c_str());   // leaves the cursor alone while typing
        break;
    }
    case ControlKind::ComboBox:
        fillMenu(static_cast<Fl_Choice*>(widget), *c);
        break;
    case ControlKind::ListBox:
        fillBrowser(static_cast<Fl_Hold_Browser*>(widget), *c);
        break;
    case ControlKind::ScrollBar: {
        auto* bar = static_cast<ScrollWidget*>(widget);
        bar->bounds(c->scrollMin, c->scrollMax);
        bar->slider_size(std::max(0.1, 1.0 / (c->scrollMax - c->scrollMin + 1)));
        bar->value(c->scrollPos);
        break;
    }
    case ControlKind::CheckBox:
    case ControlKind::AutoCheckBox:
    case ControlKind::RadioButton:
    case ControlKind::AutoRadioButton:
        static_cast<Fl_Button*>(widget)->value(c->checked != 0);
        widget->copy_label(labelText(c->text).c_str());
        break;
    case ControlKind::Label: {
        auto* label = static_cast<LabelWidget*>(widget);
        label->text = c->text;
        label->fitText();
        label->refresh();
        return;
    }
    default:
        widget->copy_label(labelText(c->text).c_str());
        break;
    }
    widget->redraw();
}

void fltkSyncTitle(Window* window)
{
    if (window->native) static_cast<Fl_Window*>(window->native)->copy_label(window->title.c_str());
}

void fltkMoveFocus(Window* window, Control* c)
{
    auto* native = static_cast<DialogWindow*>(window->native);
    if (!native || !c) return;
    native->pendingFocus = static_cast<int>(c - window->controls.data());
    if (native->shown() && c->widget) static_cast<Fl_Widget*>(c->widget)->take_focus();
}

intptr_t fltkRunModal(Window* dialog)
{
    fltkShowWindow(dialog);
    while (liveWindow(dialog) && !dialog->ended) waitForUser();
    return dialog->result;
}

int fltkMessageLoop(IdleStep idle)
{
    int code = 0;
    for (;;) {
        Fl::check();
        if (quitPosted(&code)) return code;
        if (idle && idle()) continue;
        if (quitPosted(&code)) return code;
        if (openWindows().empty()) return 0;
        waitForUser();   // nothing to do: sleep until the user acts
    }
}

void fltkControlPixels(Window*, const Control& c, int* width, int* height)
{
    setUpFont();
    *width = c.source ? px(c.source->width) : 0;
    *height = c.source ? py(c.source->height) : 0;
}

// ---- Off-screen painting: an X pixmap, drawn with the GC's raster function for the mix mode ----

bool fltkCreateCanvas(Canvas* canvas)
{
    canvas->native = fl_create_offscreen(canvas->width, canvas->height);
    return canvas->native != 0;
}

void setMixFunction(const Canvas* canvas)
{
    // R2_MERGEPENNOT is pen OR NOT destination: X calls that GXorReverse (its "Inverted" negates the source).
    XSetFunction(fl_display, fl_gc, canvas->mix == kR2MergePenNot ? GXorReverse : GXcopy);
}

struct RectangleDraw {
    const Canvas* canvas;
    int left, top, right, bottom;
    Rgb pen, brush;
};

void drawRectangle(const void* what)
{
    const auto& r = *static_cast<const RectangleDraw*>(what);
    setMixFunction(r.canvas);
    if (r.right - r.left > 2 && r.bottom - r.top > 2) {
        fl_color(flColour(r.brush));
        fl_rectf(r.left + 1, r.top + 1, r.right - r.left - 2, r.bottom - r.top - 2);
    }
    fl_color(flColour(r.pen));
    fl_rect(r.left, r.top, r.right - r.left, r.bottom - r.top);
    XSetFunction(fl_display, fl_gc, GXcopy);
}

void fltkCanvasRectangle(Canvas* canvas, int left, int top, int right, int bottom, Rgb pen, Rgb brush)
{
    if (right - left < 1 || bottom - top < 1) return;
    RectangleDraw what = {canvas, left, top, right, bottom, pen, brush};
    beginOffscreen(static_cast<Fl_Offscreen>(canvas->native), drawRectangle, &what);
}

struct TextDraw {
    int x, y;
    const char* text;
};

void drawText(const void* what)
{
    const auto& t = *static_cast<const TextDraw*>(what);
    fl_font(kDialogFont, gBase.fontPx);
    fl_color(FL_BLACK);
    int width = static_cast<int>(fl_width(t.text));
    fl_draw(t.text, t.x - width / 2, t.y + fl_height() - fl_descent());
}

void fltkCanvasText(Canvas* canvas, int x, int y, const char* text)
{
    TextDraw what = {x, y, text};
    beginOffscreen(static_cast<Fl_Offscreen>(canvas->native), drawText, &what);
}

struct KeepDraw {
    Fl_Offscreen from;
    int width, height;
};

void drawKept(const void* what)
{
    const auto& k = *static_cast<const KeepDraw*>(what);
    fl_copy_offscreen(0, 0, k.width, k.height, k.from, 0, 0);
}

void keepPaint(DialogWindow* native, Fl_Offscreen from, int x, int y, int width, int height)
{
    KeptPaint& kept = native->kept;
    if (!kept.pixels || kept.width != width || kept.height != height) {
        native->forgetPaint();
        kept.pixels = fl_create_offscreen(width, height);
        if (!kept.pixels) return;
    }
    kept.x = x;
    kept.y = y;
    kept.width = width;
    kept.height = height;
    KeepDraw what = {from, width, height};
    beginOffscreen(kept.pixels, drawKept, &what);
}

// The position is in the programs' pixels, which are those of a screen at scale 1 (the installer places its
// bar at a fixed point); the size is the canvas's own, already measured from scaled controls.
void fltkCopyCanvas(Canvas* canvas, int x, int y, int width, int height)
{
    auto* native = static_cast<DialogWindow*>(canvas->window->native);
    if (!native || width < 1 || height < 1) return;
    x = scaled(x);
    y = scaled(y);
    keepPaint(native, static_cast<Fl_Offscreen>(canvas->native), x, y, width, height);
    if (!native->shown()) return;
    native->make_current();
    fl_copy_offscreen(x, y, width, height, static_cast<Fl_Offscreen>(canvas->native), 0, 0);
    XFlush(fl_display);
}

void fltkDestroyCanvas(Canvas* canvas)
{
    if (canvas->native) fl_delete_offscreen(static_cast<Fl_Offscreen>(canvas->native));
    canvas->native = 0;
}

}  // namespace

bool fltkDisplayAvailable()
{
    static int state = -1;   // -1 not yet tried, 0 none, 1 open
    if (state >= 0) return state == 1;
    const char* name = std::getenv("DISPLAY");
    state = 0;
    if (!name || !*name) return false;
    ::Display* probe = XOpenDisplay(name);   // FLTK would end the process on failure
    if (!probe) return false;
    XCloseDisplay(probe);
    fl_open_display();
    state = 1;
    return true;
}

const char* const kWindowedUiName = "fltk";
bool windowedUiAvailable() { return fltkDisplayAvailable(); }
UiBackend makeWindowedUiBackend() { return makeFltkUiBackend(); }

UiBackend makeFltkUiBackend()
{
    UiBackend backend("fltk");
    backend.messageBox = fltkMessageBox;
    backend.createWindow = fltkCreateWindow;
    backend.showWindow = fltkShowWindow;
    backend.destroyWindow = fltkDestroyWindow;
    backend.syncControl = fltkSyncControl;
    backend.syncTitle = fltkSyncTitle;
    backend.moveFocus = fltkMoveFocus;
    backend.runModal = fltkRunModal;
    backend.runMessageLoop = fltkMessageLoop;
    backend.createCanvas = fltkCreateCanvas;
    backend.canvasRectangle = fltkCanvasRectangle;
    backend.canvasText = fltkCanvasText;
    backend.copyCanvas = fltkCopyCanvas;
    backend.destroyCanvas = fltkDestroyCanvas;
    backend.controlPixels = fltkControlPixels;
    return backend;
}

}  // namespace platform
