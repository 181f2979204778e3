// config/config_dialog.h -- the configuration dialog "DIALOG_1": its procedure and the Apply/Cancel pair.
#pragma once

#include <cstdint>

#include "platform/dialog/dialog.h"

// Dialog procedure for "DIALOG_1", shown modally by the configuration run. Edits Settings in place and
// saves them on "Apply".
intptr_t ConfigDialog(platform::Window* dialog, unsigned message, uintptr_t wParam, intptr_t lParam);

// "Cancel" and "Apply" are enabled exactly while there are changes that Apply has not written.
void setApplyCancelEnabled(platform::Window* dialog, bool enable);

extern const char* const kAboutText;
extern const char* const kHelpText;
