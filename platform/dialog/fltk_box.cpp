// platform/dialog/fltk_box.cpp -- FLTK message boxes: icon, text sized to its lines, buttons in our order.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/dialog/fltk_private.h"

namespace platform {
namespace {

// Message box metrics at scale 1.
constexpr int kBoxButtonWidthPx = 75;
constexpr int kBoxButtonHeightPx = 23;
constexpr int kBoxButtonGapPx = 6;
constexpr int kBoxMarginPx = 12;
constexpr int kBoxIconPx = 32;
constexpr int kBoxIconGlyphPx = 22;
constexpr int kBoxMaxTextWidthPx = 420;

struct BoxButton {
    const char* label;
    int result;
};

class BoxWindow : public Fl_Window {
public:
    BoxWindow(int w, int h, const char* title) : Fl_Window(w, h, title) {}
    int result = 0;
    int closeResult = 0;   // 0: the close box and Esc do nothing (a question without Cancel)
    Fl_Button* first = nullptr;

    int handle(int event) override
    {
        if (event == FL_SHORTCUT && (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter)) {
            Fl_Widget* focus = Fl::focus();
            Fl_Button* target = focus && focus->window() == this && dynamic_cast<Fl_Button*>(focus)
                                    ? static_cast<Fl_Button*>(focus) : first;
            if (target) target->do_callback();
            return 1;
        }
        return Fl_Window::handle(event);
    }
};

void boxButtonCallback(Fl_Widget* widget, void* result)
{
    auto* box = static_cast<BoxWindow*>(widget->window());
    box->result = static_cast<int>(reinterpret_cast<intptr_t>(result));
    box->hide();
}

void boxCloseCallback(Fl_Widget* widget, void*)
{
    auto* box = static_cast<BoxWindow*>(widget);
    if (!box->closeResult) return;
    box->result = box->closeResult;
    box->hide();
}

int boxButtons(unsigned flags, BoxButton* out)
{
    switch (flags & 0x0F) {
    case kMbOkCancel:
        out[0] = {"OK", kIdOk};
        out[1] = {"Cancel", kIdCancel};
        return 2;
    case kMbYesNoCancel:
        out[0] = {"&Yes", kIdYes};
        out[1] = {"&No", kIdNo};
        out[2] = {"Cancel", kIdCancel};
        return 3;
    case kMbYesNo:
        out[0] = {"&Yes", kIdYes};
        out[1] = {"&No", kIdNo};
        return 2;
    default:
        out[0] = {"OK", kIdOk};
        return 1;
    }
}

void styleIcon(Fl_Box* icon, unsigned flags)
{
    icon->box(FL_OVAL_BOX);
    icon->labelfont(FL_HELVETICA_BOLD);
    icon->labelsize(scaled(kBoxIconGlyphPx));
    icon->labelcolor(FL_WHITE);
    switch (flags & 0xF0) {
    case kMbIconError: icon->color(FL_RED); icon->label("X"); break;
    case kMbIconQuestion: icon->color(FL_BLUE); icon->label("?"); break;
    case kMbIconExclamation: icon->color(FL_YELLOW); icon->labelcolor(FL_BLACK); icon->label("!"); break;
    default: icon->color(FL_BLUE); icon->label("i"); break;
    }
}

// The message: broken where the text breaks it, wrapped at the widest a box may grow, and drawn from
// the widget's left edge with the very call that measured it, so the box fits the lines it shows.
class BoxText : public Fl_Widget {
public:
    BoxText(int x, int y, int w, int h, const char* text, int wrapWidth)
        : Fl_Widget(x, y, w, h), text_(text), wrapWidth_(wrapWidth) {}

    static void measure(const char* text, int wrapWidth, int* width, int* height)
    {
        fl_font(kDialogFont, gBase.fontPx);
        *width = wrapWidth;
        *height = 0;
        fl_measure(text, *width, *height, 0);
    }

    void draw() override
    {
        fl_font(kDialogFont, gBase.fontPx);
        fl_color(FL_FOREGROUND_COLOR);
        fl_draw(text_.c_str(), x(), y(), wrapWidth_, h(), FL_ALIGN_TOP_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_WRAP,
                nullptr, 0);
    }

private:
    std::string text_;
    int wrapWidth_;
};

struct BoxLayout {
    int width = 0, height = 0;          // the window
    int margin = 0, iconSide = 0;
    int textX = 0, textY = 0, textWidth = 0, textHeight = 0, wrapWidth = 0;
    int buttonWidth = 0, buttonHeight = 0, buttonGap = 0, buttonsX = 0, buttonsY = 0;
};

// Windows' arrangement: the icon at the top left, the text beside it (centred on the icon when shorter),
// the buttons centred in a row below both.
BoxLayout layOutBox(const char* text, bool hasIcon, int buttonCount)
{
    BoxLayout l;
    l.margin = scaled(kBoxMarginPx);
    l.iconSide = hasIcon ? scaled(kBoxIconPx) : 0;
    l.wrapWidth = scaled(kBoxMaxTextWidthPx);
    BoxText::measure(text, l.wrapWidth, &l.textWidth, &l.textHeight);
    l.buttonWidth = scaled(kBoxButtonWidthPx);
    l.buttonHeight = scaled(kBoxButtonHeightPx);
    l.buttonGap = scaled(kBoxButtonGapPx);
    int buttonsWidth = buttonCount * l.buttonWidth + (buttonCount - 1) * l.buttonGap;
    int bodyHeight = std::max(l.textHeight, l.iconSide);
    l.textX = l.margin + (hasIcon ? l.iconSide + l.margin : 0);
    l.textY = l.margin + (bodyHeight - l.textHeight) / 2;
    l.width = std::max(l.textX + l.textWidth + l.margin, buttonsWidth + 2 * l.margin);
    l.buttonsX = (l.width - buttonsWidth) / 2;
    l.buttonsY = l.margin + bodyHeight + l.margin;
    l.height = l.buttonsY + l.buttonHeight + l.margin;
    return l;
}

void placeBox(BoxWindow* box, Window* owner)
{
    auto* ownerNative = owner ? static_cast<Fl_Window*>(owner->native) : nullptr;
    int sx = 0, sy = 0, sw = 0, sh = 0;
    Fl::screen_work_area(sx, sy, sw, sh, 0);
    int x = sx + (sw - box->w()) / 2, y = sy + (sh - box->h()) / 2;
    if (ownerNative && ownerNative->shown()) {
        x = ownerNative->x() + (ownerNative->w() - box->w()) / 2;
        y = ownerNative->y() + (ownerNative->h() - box->h()) / 2;
    }
    box->position(std::max(sx, x), std::max(sy, y));   // never with its caption off the screen
}

}  // namespace

int fltkMessageBox(Window* owner, const char* text, const char* caption, unsigned flags)
{
    setUpFont();
    BoxButton buttons[3];
    int count = boxButtons(flags, buttons);
    bool hasIcon = (flags & 0xF0) != 0;
    BoxLayout l = layOutBox(text, hasIcon, count);

    BoxWindow box(l.width, l.height, caption);
    box.box(FL_UP_BOX);   // a raised edge, so the box stands out where no window manager frames it
    box.set_modal();
    setWindowIcon(&box);
    if (hasIcon) styleIcon(new Fl_Box(l.margin, l.margin, l.iconSide, l.iconSide), flags);
    new BoxText(l.textX, l.textY, l.textWidth, l.textHeight, text, l.wrapWidth);
    for (int i = 0, x = l.buttonsX; i < count; ++i, x += l.buttonWidth + l.buttonGap) {
        auto* button = new Fl_Button(x, l.buttonsY, l.buttonWidth, l.buttonHeight, buttons[i].label);
        button->labelfont(kDialogFont);
        button->labelsize(gBase.fontPx);
        button->callback(boxButtonCallback, reinterpret_cast<void*>(static_cast<intptr_t>(buttons[i].result)));
        if (i == 0) box.first = button;
        if (buttons[i].result == kIdCancel || count == 1) box.closeResult = buttons[i].result;
    }
    box.end();
    box.callback(boxCloseCallback);
    placeBox(&box, owner);
    box.show();
    box.first->take_focus();
    if (std::getenv("TOCKWHEEL_UI_LOG")) logLine(describeBox(caption, flags, text) + " shown=fltk");
    while (box.shown()) waitForUser();
    return box.result ? box.result : buttons[0].result;
}

}  // namespace platform
