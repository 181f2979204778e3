// resources/dialog_templates.h -- the dialog templates of both programs, as data.
#pragma once

#include "platform/dialog/dialog.h"

namespace resources {

// "DIALOG_1" (configuration) and "DIALOG_2" (change password) of the screen saver; "PATH" (install path)
// and "DLG" (progress) of the installer. Null for an unknown name; names compare case-insensitively, as
// resource names do.
const platform::DialogTemplate* findDialogTemplate(const char* name);

extern const platform::DialogTemplate kConfigDialogTemplate;     // "DIALOG_1"
extern const platform::DialogTemplate kPasswordDialogTemplate;   // "DIALOG_2"
extern const platform::DialogTemplate kPathDialogTemplate;       // "PATH"
extern const platform::DialogTemplate kProgressDialogTemplate;   // "DLG"

}  // namespace resources
