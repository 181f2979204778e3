// config/password_dialog.cpp -- the old password checked, the new one confirmed, then kept in Settings.
#include "config/password_dialog.h"

#include <cstring>

#include "config/settings.h"
#include "platform/dialog/message_box.h"
#include "resources/control_ids.h"

using platform::Window;

namespace {

using namespace resources::password_ids;

// Text beyond the field's 43 characters is cut off here, so two entries that agree that far are equal.
void readPassword(Window* dialog, int id, char (&text)[kPasswordCapacity])
{
    platform::getDlgItemText(dialog, id, text, kPasswordCapacity);
}

bool samePassword(const char* a, const char* b) { return std::strncmp(a, b, kPasswordMaxLength) == 0; }

void changePassword(Window* dialog)
{
    char oldPassword[kPasswordCapacity] = {};
    readPassword(dialog, kOldPasswordId, oldPassword);
    if (!samePassword(oldPassword, Settings.password)) {
        platform::messageBox(dialog, "Error: Your old password is not valid!", "Error", platform::kMbIconError);
        return;
    }
    char newPassword[kPasswordCapacity] = {};
    char confirmation[kPasswordCapacity] = {};
    readPassword(dialog, kNewPasswordId, newPassword);
    readPassword(dialog, kConfirmPasswordId, confirmation);
    if (!samePassword(newPassword, confirmation)) {
        platform::messageBox(dialog, "Error: Your new password was not confirmed!", "Error", platform::kMbIconError);
        return;
    }
    std::memcpy(Settings.password, newPassword, sizeof Settings.password);
    platform::messageBox(dialog, "Your password has been changed.", "Password", platform::kMbIconExclamation);
    platform::endDialog(dialog, 0);
}

}  // namespace

intptr_t PasswordDialog(Window* dialog, unsigned message, uintptr_t wParam, intptr_t)
{
    if (message == platform::kWmInitDialog) {
        if (Settings.password[0] == '\0') platform::enableDlgItem(dialog, kOldPasswordId, false);
        return 1;   // the focus goes to the first enabled field
    }
    if (message != platform::kWmCommand) return 0;
    switch (platform::loWord(wParam)) {
    case platform::kIdOk: changePassword(dialog); return 1;
    case platform::kIdCancel: platform::endDialog(dialog, 0); return 1;
    default: return 0;
    }
}
