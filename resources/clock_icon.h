// resources/clock_icon.h -- the programs' icon: a small clock face, as data.
#pragma once

#include "platform/dialog/dialog.h"

namespace resources {

// "MAINICON" of the installer, 32 x 32 pixels in 16-colour style; the screen saver's dialogs show the same clock.
extern const platform::IconImage kMainIcon;

// Null for an unknown name; names compare case-insensitively, as resource names do.
const platform::IconImage* findIconResource(const char* name);

}  // namespace resources
