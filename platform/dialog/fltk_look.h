// platform/dialog/fltk_look.h -- what the FLTK realisation works out without a display: the scale factor, icon pixels.
#pragma once

#include <string>
#include <vector>

#include "platform/dialog/dialog.h"

namespace platform {

constexpr double kMinUiScale = 1.0;   // never shrink: "Helv" 8 pt is already the smallest readable size
constexpr double kMaxUiScale = 4.0;

// Where the screen's scale factor comes from, strongest first.
struct ScaleSources {
    const char* override = nullptr;     // TOCKWHEEL_UI_SCALE: a number, 1 to 4
    const char* gdkScale = nullptr;     // GDK_SCALE: a whole number
    const char* qtScale = nullptr;      // QT_SCALE_FACTOR: a number
    const char* xResources = nullptr;   // the X resource database as text, for Xft.dpi (96 is 1.0)
};

// The first source that holds a usable value decides, clamped to kMinUiScale..kMaxUiScale; 1.0 with none.
// Unusable values (not a number, zero, negative, trailing junk) are passed over.
double uiScaleFrom(const ScaleSources& sources);
// The value of Xft.dpi in an X resource database text, or 0 when it has none.
double xftDpiFrom(const char* xResources);

// The icon as RGBA, four bytes a pixel, row after row; transparent pixels have alpha 0. False (and nothing
// written) for a malformed picture: a size outside 1..256 or a row shorter than the width.
bool iconPixels(const IconImage& icon, std::vector<unsigned char>* rgba);

}  // namespace platform
