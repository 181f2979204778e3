// config/password_dialog.h -- the change-password dialog "DIALOG_2".
#pragma once

#include <cstdint>

#include "platform/dialog/dialog.h"

// Dialog procedure for "DIALOG_2", shown modally over the configuration dialog. Changes Settings.password
// in memory only; the configuration dialog's Apply saves it.
intptr_t PasswordDialog(platform::Window* dialog, unsigned message, uintptr_t wParam, intptr_t lParam);
