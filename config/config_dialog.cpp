// config/config_dialog.cpp -- the configuration dialog: opening, the command table, Apply, the speed bar.
#include "config/config_dialog.h"

#include <algorithm>

#include "config/password_dialog.h"
#include "config/setting_controls.h"
#include "config/settings.h"
#include "config/video_modes.h"
#include "platform/dialog/message_box.h"
#include "platform/windows_dir.h"
#include "resources/dialog_templates.h"
#include "resources/control_ids.h"

using platform::Window;

const char* const kAboutText =
    "Tockwheel 3D Clock Screen Saver, version 1.1\n"
    "Copyright (c) Halvorne. All rights reserved.";

const char* const kHelpText =
    "If you are experiencing any problems with this screen saver, there are a few things you can do to get "
    "support. First, you can read support.txt which contains common problems that people run into and the "
    "solutions for them. Or you can visit Halvorne on the Internet at http://www.halvorne.com/ and contact "
    "our support department.";

namespace {

using namespace resources::config_ids;

constexpr char kSettingsChangedCaption[] = "Settings changed";
constexpr char kSettingsChangedText[] =
    "The settings were saved by another program after this window read them.\n"
    "Replace them with the settings shown here?";

constexpr int kFastestFrameSkip = 0;    // top of the bar, "Fast"
constexpr int kSlowestFrameSkip = 20;   // bottom of the bar, "Slow"

// Every notification of these controls counts as a change: clicks, typing, even the focus arriving.
constexpr int kFirstChangingId = kFirstDriverBoxId;
constexpr int kLastChangingId = kColorLabelId;

void showError(Window* dialog, const char* text)
{
    platform::messageBox(dialog, text, "Error", platform::kMbIconError);
}

void initialiseDialog(Window* dialog)
{
    showVideoSettings(dialog);
    platform::setScrollRange(dialog, kSpeedBarId, kFastestFrameSkip, kSlowestFrameSkip, false);
    platform::setScrollPos(dialog, kSpeedBarId, Settings.frameSkip, true);
    showSettingControls(dialog);
    setApplyCancelEnabled(dialog, false);
}

void apply(Window* dialog)
{
    // Any non-zero flag (a hand-edited file) makes the saver ask, so it needs a password just as 1 does.
    if (Settings.passwordEnabled != 0 && Settings.password[0] == '\0') {
        showError(dialog, "Error: Password enabled but no password set.");
        return;
    }
    applySettingControls(dialog);
    Settings.videoMode = pendingMode();
    // A new user's first Apply makes the Windows directory that start-up did not find.
    bool ready = platform::createMissingWindowsDirectory();
    // Another dialog or program saved since this one read the file (a new password, say): overwriting
    // it unasked would silently undo that. No keeps the pair enabled and writes nothing.
    if (ready && settingsFileChanged(kSettingsPath) &&
        platform::messageBox(dialog, kSettingsChangedText, kSettingsChangedCaption,
                             platform::kMbYesNo | platform::kMbIconExclamation) != platform::kIdYes)
        return;
    if (!ready || saveSettings(kSettingsPath) == 1) showError(dialog, "Error: Could not save settings to INI file.");
    setApplyCancelEnabled(dialog, false);
}

void restoreDefaults(Window* dialog)
{
    resetSettings();
    initialiseDialog(dialog);
    setApplyCancelEnabled(dialog, true);
}

void togglePasswordEnabled(Window* dialog)
{
    bool enabled = platform::isDlgButtonChecked(dialog, kPasswordBoxId) != platform::kBstChecked;
    platform::checkDlgButton(dialog, kPasswordBoxId, enabled ? platform::kBstChecked : platform::kBstUnchecked);
    platform::enableDlgItem(dialog, kChangePasswordId, enabled);
    Settings.passwordEnabled = enabled ? 1 : 0;
}

void toggleCustomColor(Window* dialog)
{
    Settings.useCustomColor = Settings.useCustomColor == 1 ? 0 : 1;
    showCustomColorChoice(dialog);
    platform::checkDlgButton(dialog, kCustomColorBoxId,
                             Settings.useCustomColor ? platform::kBstChecked : platform::kBstUnchecked);
}

void toggleRotation(Window* dialog)
{
    bool enabled = platform::isDlgButtonChecked(dialog, kRotationBoxId) != platform::kBstChecked;
    platform::checkDlgButton(dialog, kRotationBoxId, enabled ? platform::kBstChecked : platform::kBstUnchecked);
    Settings.rotationEnabled = enabled ? 1 : 0;
}

void chooseRadio(Window* dialog, int16_t* field, int firstId, int lastId, int id)
{
    *field = static_cast<int16_t>(id);
    platform::checkRadioButton(dialog, firstId, lastId, id);
}

intptr_t handleCommand(Window* dialog, int id)
{
    if (id >= kFirstChangingId && id <= kLastChangingId) setApplyCancelEnabled(dialog, true);
    switch (id) {
    case platform::kIdCancel:
    case kOkId:
    case kCancelId: platform::endDialog(dialog, id); return 0;
    case kAboutId: platform::messageBox(dialog, kAboutText, "About", platform::kMbIconInformation); return 0;
    case kApplyId: apply(dialog); return 0;
    case kDefaultId: restoreDefaults(dialog); return 0;
    case kHelpId: platform::messageBox(dialog, kHelpText, "Help", platform::kMbIconInformation); return 0;
    case kModeListId: return handleModeListNotify(dialog);
    case kPasswordBoxId: togglePasswordEnabled(dialog); return 0;
    case kChangePasswordId:
        platform::dialogBoxParam(resources::findDialogTemplate("DIALOG_2"), dialog, PasswordDialog, 0);
        return 0;
    case kCustomColorBoxId: toggleCustomColor(dialog); return 0;
    case kHorizontalId:
    case kVerticalId: chooseRadio(dialog, &Settings.starDirection, kHorizontalId, kVerticalId, id); return 0;
    case kWireframeId:
    case kSolidId: chooseRadio(dialog, &Settings.renderMode, kWireframeId, kSolidId, id); return 0;
    case kRotationBoxId: toggleRotation(dialog); return 0;
    default: break;
    }
    if (id >= kFirstDepthButtonId && id <= kLastDepthButtonId) handleDepthButton(dialog, id);
    else if (id >= kFirstDriverBoxId && id <= kLastDriverBoxId) handleDriverBox(dialog, id);
    return 0;   // everything else (the Enter key's command 1 included) only counts as a change, if at all
}

// A value loaded from a hand-edited file may lie outside the bar; the arrows move from where the thumb shows.
void handleSpeedScroll(Window* dialog, unsigned request, unsigned position)
{
    int shown = std::clamp<int>(Settings.frameSkip, kFastestFrameSkip, kSlowestFrameSkip);
    switch (request) {
    case platform::kSbLineUp: shown = std::max(kFastestFrameSkip, shown - 1); break;
    case platform::kSbLineDown: shown = std::min(kSlowestFrameSkip, shown + 1); break;
    case platform::kSbThumbPosition:
    case platform::kSbThumbTrack:
        shown = std::clamp<int>(static_cast<int>(position), kFastestFrameSkip, kSlowestFrameSkip);
        break;
    default: return;   // page requests, top, bottom and the end of scrolling change nothing
    }
    Settings.frameSkip = static_cast<int16_t>(shown);
    platform::setScrollPos(dialog, kSpeedBarId, Settings.frameSkip, true);
    setApplyCancelEnabled(dialog, true);
}

}  // namespace

void setApplyCancelEnabled(Window* dialog, bool enable)
{
    platform::enableDlgItem(dialog, kCancelId, enable);
    platform::enableDlgItem(dialog, kApplyId, enable);
}

intptr_t ConfigDialog(Window* dialog, unsigned message, uintptr_t wParam, intptr_t lParam)
{
    switch (message) {
    case platform::kWmInitDialog: initialiseDialog(dialog); return 0;
    case platform::kWmCommand: return handleCommand(dialog, static_cast<int>(platform::loWord(wParam)));
    case platform::kWmVScroll:
        if (lParam == kSpeedBarId) handleSpeedScroll(dialog, platform::loWord(wParam), platform::hiWord(wParam));
        return 0;
    default: return 0;
    }
}
