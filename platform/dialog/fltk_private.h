// platform/dialog/fltk_private.h -- what the FLTK realisation's files share: the dialog font, its scale, the icon.
#pragma once

#include <FL/Enumerations.H>

#include "platform/dialog/ui_backend.h"

class Fl_Window;

namespace platform {

constexpr Fl_Font kDialogFont = FL_FREE_FONT;   // "Helv" of the templates, realised as Liberation Sans
constexpr int kDialogFontPx = 11;               // 8 points at 96 dots per inch, before scaling

struct DialogBase {
    bool ready = false;
    double scale = 1.0;           // the screen's scale factor, kMinUiScale..kMaxUiScale
    int fontPx = kDialogFontPx;   // the dialog font's size at that scale
    int width = 6;                // pixels per 4 horizontal dialog units, at scale 1
    int height = 13;              // pixels per 8 vertical dialog units, at scale 1
};
extern DialogBase gBase;

void setUpFont();                           // the font, base units and scale, once
int scaled(int pixels);                     // a length at scale 1, on this screen
void setWindowIcon(Fl_Window* window);      // the program's icon, once one is known
void waitForUser();                         // Fl::wait, ending the program on a stop signal

int fltkMessageBox(Window* owner, const char* text, const char* caption, unsigned flags);

}  // namespace platform
