// config/password_dialog.cpp -- the old password checked, the new one confirmed, then kept in Settings.
#include "config/password_dialog.h"

#include <string.h>

#include <cstring>

#include "config/password_match.h"
#include "config/settings.h"
#include "platform/dialog/message_box.h"
#include "platform/secret_memory.h"
#include "resources/control_ids.h"

using platform::Window;

namespace {

using namespace resources::password_ids;

constexpr const char* kNotAnsiMessage =
    "Error: A password can only hold characters of the Windows-1252 (Western European) code page!";

// The three entries as read from the fields: kept out of swap, and wiped as soon as they are compared.
struct PasswordEntries {
    char oldPassword[kPasswordCapacity];
    char newPassword[kPasswordCapacity];
    char confirmation[kPasswordCapacity];
};
PasswordEntries entries;

// Text beyond the field's 43 characters is cut off here, so two entries that agree that far are equal.
// The saver's prompt takes Windows-1252 characters only, so the entries are read in that code page;
// false when one holds a character it has no place for.
bool readPassword(Window* dialog, int id, char (&text)[kPasswordCapacity])
{
    return platform::getDlgItemAnsiText(dialog, id, text, kPasswordCapacity);
}

bool samePassword(const char* a, const char* b) { return std::strncmp(a, b, kPasswordMaxLength) == 0; }

// False with the message box shown when the entries do not allow the change. An old password set before
// passwords were kept in Windows-1252 may hold any character: it is compared as the field holds it too.
bool entriesAgree(Window* dialog)
{
    bool oldIsAnsi = readPassword(dialog, kOldPasswordId, entries.oldPassword);
    bool oldValid = oldIsAnsi && passwordMatches(Settings.password, entries.oldPassword);
    if (!oldValid) {
        platform::getDlgItemText(dialog, kOldPasswordId, entries.oldPassword, kPasswordCapacity);
        oldValid = samePassword(entries.oldPassword, Settings.password);
    }
    if (!oldValid) {
        platform::messageBox(dialog, "Error: Your old password is not valid!", "Error", platform::kMbIconError);
        return false;
    }
    bool newIsAnsi = readPassword(dialog, kNewPasswordId, entries.newPassword);
    bool confirmationIsAnsi = readPassword(dialog, kConfirmPasswordId, entries.confirmation);
    if (!newIsAnsi || !confirmationIsAnsi) {
        platform::messageBox(dialog, kNotAnsiMessage, "Error", platform::kMbIconError);
        return false;
    }
    if (!samePassword(entries.newPassword, entries.confirmation)) {
        platform::messageBox(dialog, "Error: Your new password was not confirmed!", "Error", platform::kMbIconError);
        return false;
    }
    return true;
}

void changePassword(Window* dialog)
{
    bool agree = entriesAgree(dialog);
    if (agree) std::memcpy(Settings.password, entries.newPassword, sizeof Settings.password);
    platform::wipeSecret(&entries, sizeof entries);
    if (!agree) return;
    platform::messageBox(dialog, "Your password has been changed.", "Password", platform::kMbIconExclamation);
    platform::endDialog(dialog, 0);
}

}  // namespace

intptr_t PasswordDialog(Window* dialog, unsigned message, uintptr_t wParam, intptr_t)
{
    if (message == platform::kWmInitDialog) {
        platform::lockInMemory(&entries, sizeof entries);
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
