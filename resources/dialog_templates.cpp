// resources/dialog_templates.cpp -- every control of the four dialogs: id, kind, text, place, styles.
#include "resources/dialog_templates.h"

#include <strings.h>

#include "resources/clock_icon.h"
#include "resources/control_ids.h"

namespace resources {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::DialogTemplate;
using namespace platform;  // the style constants

namespace {

constexpr unsigned kStatic = kWsVisible;
constexpr unsigned kButton = kWsVisible | kWsTabStop;
constexpr unsigned kEdit = kWsVisible | kWsTabStop | kWsBorder | kEsAutoHScroll;
constexpr unsigned kCombo = kWsVisible | kWsTabStop | kWsVScroll | kCbsDropDownList;
constexpr unsigned kList = kWsVisible | kWsTabStop | kWsBorder | kWsVScroll | kLbsNotify;
constexpr unsigned kVertScroll = kWsVisible | kSbsVert;

constexpr ControlKind kGroup = ControlKind::GroupBox;
constexpr ControlKind kLabel = ControlKind::Label;
constexpr ControlKind kPush = ControlKind::PushButton;
constexpr ControlKind kCheck = ControlKind::CheckBox;
constexpr ControlKind kAutoCheck = ControlKind::AutoCheckBox;
constexpr ControlKind kRadio = ControlKind::RadioButton;

const ControlTemplate kConfigControls[] = {
    // Top level.
    {kUnnamedId, kGroup, "Video options", 1, 1, 222, 135, kStatic},
    {kUnnamedId, kGroup, "Password", 226, 1, 80, 42, kStatic},
    {config_ids::kPasswordBoxId, kCheck, "Password enabled", 229, 12, 72, 10, kButton},
    {config_ids::kChangePasswordId, kPush, "Change password", 234, 26, 63, 12, kButton | kWsDisabled},
    {config_ids::kApplyId, kPush, "Apply", 311, 2, 36, 12, kButton},
    {config_ids::kOkId, kPush, "Ok", 351, 2, 36, 12, kButton},
    {config_ids::kCancelId, kPush, "Cancel", 311, 17, 36, 12, kButton},
    {config_ids::kDefaultId, kPush, "Default", 351, 17, 36, 12, kButton},
    {config_ids::kAboutId, kPush, "About", 311, 31, 36, 12, kButton},
    {config_ids::kHelpId, kPush, "Help", 351, 31, 36, 12, kButton},
    {kUnnamedId, kGroup, "Speed", 225, 45, 31, 91, kStatic},
    {kUnnamedId, kLabel, "Fast", 227, 55, 16, 8, kStatic},
    {config_ids::kSpeedBarId, ControlKind::ScrollBar, "", 231, 65, 11, 55, kVertScroll},
    {kUnnamedId, kLabel, "Slow", 228, 123, 19, 8, kStatic},
    {kUnnamedId, kGroup, "Rendering", 257, 45, 120, 25, kStatic},
    {config_ids::kWireframeId, kRadio, "Wireframe", 262, 56, 47, 10, kButton},
    {config_ids::kSolidId, kRadio, "Solid", 315, 56, 40, 10, kButton},
    {kUnnamedId, kGroup, "Movement styles", 257, 72, 120, 31, kStatic},
    {config_ids::kStyleComboId, ControlKind::ComboBox, "", 261, 85, 108, 67, kCombo},
    {kUnnamedId, kGroup, "Star field", 257, 106, 120, 107, kStatic},
    {kUnnamedId, kGroup, "Clock", 1, 137, 254, 76, kStatic},
    // Video options.
    {kUnnamedId, kLabel, "Available modes", 5, 11, 58, 8, kStatic},
    {config_ids::kModeListId, ControlKind::ListBox, "", 5, 20, 215, 42, kList},
    {kUnnamedId, kLabel, "Current Mode", 5, 64, 47, 8, kStatic},
    {config_ids::kCurrentModeLabelId, kLabel, "No mode selected", 59, 64, 128, 8, kStatic},
    {kUnnamedId, kGroup, "Color depth", 4, 74, 94, 60, kStatic},
    {config_ids::kDepth8Id, kRadio, "8 bit   (256 colors)", 6, 83, 77, 10, kButton},
    {config_ids::kDepth15Id, kRadio, "15 bit (32768 colors)", 6, 93, 88, 10, kButton},
    {config_ids::kDepth16Id, kRadio, "16 bit (65536 colors)", 6, 103, 84, 10, kButton},
    {config_ids::kDepth24Id, kRadio, "24 bit (16777216 colors)", 6, 113, 88, 10, kButton},
    {config_ids::kDepth32Id, kRadio, "32 bit (16777216 colors)", 6, 122, 88, 10, kButton},
    {kUnnamedId, kGroup, "Graphics device drivers", 100, 74, 120, 60, kStatic},
    {config_ids::kFirstDriverBoxId, kCheck, "Full screen DIB", 103, 84, 61, 10, kButton},
    {config_ids::kFirstDriverBoxId + 1, kCheck, "VESA VBE 2.0", 103, 94, 59, 10, kButton},
    {config_ids::kFirstDriverBoxId + 2, kCheck, "VESA VBE/AF", 103, 104, 60, 10, kButton},
    {config_ids::kFirstDriverBoxId + 3, kCheck, "Standard VGA", 103, 114, 59, 10, kButton},
    {config_ids::kFirstDriverBoxId + 4, kCheck, "Mode X", 167, 84, 40, 10, kButton},
    {config_ids::kFirstDriverBoxId + 5, kCheck, "DirectDraw", 167, 94, 49, 10, kButton},
    {config_ids::kFirstDriverBoxId + 6, kCheck, "WinDirect", 167, 104, 46, 10, kButton},
    {config_ids::kLastDriverBoxId, kCheck, "Linear", 167, 114, 40, 10, kButton},
    // Clock.
    {kUnnamedId, kGroup, "Color", 4, 146, 247, 40, kStatic},
    {config_ids::kCustomColorBoxId, kCheck, "Choose color", 7, 154, 56, 10, kButton},
    {config_ids::kColorLabelId, kLabel, "Red     Green   Blue", 73, 152, 67, 8, kStatic},
    {config_ids::kRedEditId, ControlKind::Edit, "", 73, 160, 18, 12, kEdit},
    {config_ids::kGreenEditId, ControlKind::Edit, "", 97, 160, 18, 12, kEdit},
    {config_ids::kBlueEditId, ControlKind::Edit, "", 121, 160, 18, 12, kEdit},
    {config_ids::kSchemeLabelId, kLabel, "Color schemes", 147, 152, 49, 8, kStatic},
    {config_ids::kSchemeComboId, ControlKind::ComboBox, "", 147, 160, 66, 55, kCombo},
    {config_ids::kColorCyclingId, kAutoCheck, "Color cycling", 7, 174, 60, 10, kButton},
    {config_ids::kKeepLikeColorsId, kAutoCheck, "Keep like colors", 69, 174, 65, 10, kButton},
    {kUnnamedId, kGroup, "Shapes", 4, 187, 93, 23, kStatic},
    {config_ids::kCubesId, kAutoCheck, "Cubes", 6, 197, 40, 10, kButton},
    {config_ids::kSpheresId, kAutoCheck, "Spheres", 50, 197, 40, 10, kButton},
    {kUnnamedId, kGroup, "Text", 101, 187, 99, 23, kStatic},
    {config_ids::kAmPmId, kAutoCheck, "AM/PM", 108, 197, 40, 10, kButton},
    {config_ids::kNumbersId, kAutoCheck, "Numbers", 151, 197, 45, 10, kButton},
    {kUnnamedId, kGroup, "Rotation", 203, 187, 48, 23, kStatic},
    {config_ids::kRotationBoxId, kCheck, "Enable", 207, 197, 40, 10, kButton},
    // Star field.
    {config_ids::kStarFieldId, kAutoCheck, "Enable star field", 261, 116, 64, 10, kButton},
    {config_ids::kHorizontalId, kRadio, "Horizontal", 261, 130, 47, 10, kButton},
    {config_ids::kVerticalId, kRadio, "Vertical", 261, 140, 49, 10, kButton},
    {kUnnamedId, kLabel, "Star speed", 261, 156, 45, 8, kStatic},
    {config_ids::kStarSpeedId, ControlKind::Edit, "", 309, 154, 21, 12, kEdit | kEsNumber},
    {kUnnamedId, kLabel, "Star amount", 261, 171, 39, 8, kStatic},
    {config_ids::kStarAmountId, ControlKind::Edit, "", 309, 169, 21, 12, kEdit | kEsNumber},
};

const ControlTemplate kPasswordControls[] = {
    {password_ids::kOldLabelId, kLabel, "Enter old password", 5, 3, 100, 8, kStatic},
    {password_ids::kOldPasswordId, ControlKind::Edit, "", 5, 12, 119, 12, kEdit | kEsPassword},
    {password_ids::kNewLabelId, kLabel, "Enter new password", 5, 29, 108, 8, kStatic},
    {password_ids::kNewPasswordId, ControlKind::Edit, "", 5, 38, 119, 12, kEdit | kEsPassword},
    {password_ids::kConfirmLabelId, kLabel, "Confirm new password", 5, 54, 89, 8, kStatic},
    {password_ids::kConfirmPasswordId, ControlKind::Edit, "", 5, 63, 119, 12, kEdit | kEsPassword},
    {password_ids::kCancelId, kPush, "Cancel", 5, 80, 40, 14, kButton},
    {password_ids::kOkId, kPush, "Ok", 83, 80, 40, 14, kButton},
};

const ControlTemplate kPathControls[] = {
    {path_ids::kPromptId, kLabel, "Please enter the full path to your windows directory including the drive.", 3, 2, 223, 8,
     kStatic},
    {path_ids::kEditWindowsDirectory, ControlKind::Edit, "", 3, 12, 223, 12, kEdit},
    {path_ids::kOkId, kPush, "Ok", 59, 27, 40, 14, kButton},
    {path_ids::kCancelId, kPush, "Cancel Setup", 106, 27, 58, 14, kButton},
};

const ControlTemplate kProgressControls[] = {
    {progress_ids::kCancelId, kPush, "Cancel", 115, 72, 40, 14, kButton},
    {progress_ids::kReadLabelId, kLabel, "Read:", 3, 2, 22, 8, kStatic},
    {progress_ids::kFieldSource, kLabel, "", 11, 12, 253, 9, kStatic | kSsSunken},
    {progress_ids::kWriteLabelId, kLabel, "Write:", 3, 23, 23, 8, kStatic},
    {progress_ids::kFieldDestination, kLabel, "", 11, 33, 253, 9, kStatic | kSsSunken},
    {progress_ids::kFrameProgressBar, kLabel, "", 5, 50, 258, 18, 0},   // hidden: only gives the progress bar its size
};

constexpr unsigned kSaverDialogStyle = kWsVisible | kWsCaption | kDsModalFrame;
constexpr unsigned kSetupDialogStyle = kWsVisible | kWsCaption | kDsModalFrame | kDs3dLook | kDsCenter;

template <int N>
constexpr int countOf(const ControlTemplate (&)[N]) { return N; }

}  // namespace

const DialogTemplate kConfigDialogTemplate = {
    "DIALOG_1", "Tockwheel", 11, 17, 389, 215, "Helv", 8,
    kSaverDialogStyle | kWsSysMenu | kDsCenter, kConfigControls, countOf(kConfigControls), &kMainIcon};

const DialogTemplate kPasswordDialogTemplate = {
    "DIALOG_2", "Change password", 147, 31, 129, 97, "Helv", 8,
    kSaverDialogStyle, kPasswordControls, countOf(kPasswordControls), &kMainIcon};

const DialogTemplate kPathDialogTemplate = {
    "PATH", "Install path", 119, 79, 230, 44, "Helv", 8,
    kSetupDialogStyle, kPathControls, countOf(kPathControls), &kMainIcon};

const DialogTemplate kProgressDialogTemplate = {
    "DLG", "Halvorne screen saver install", 125, 110, 269, 90, "Helv", 8,
    kSetupDialogStyle | kDsSetForeground, kProgressControls, countOf(kProgressControls), &kMainIcon};

const DialogTemplate* findDialogTemplate(const char* name)
{
    static const DialogTemplate* const kAll[] = {&kConfigDialogTemplate, &kPasswordDialogTemplate,
                                                 &kPathDialogTemplate, &kProgressDialogTemplate};
    if (!name) return nullptr;
    for (const DialogTemplate* candidate : kAll)
        if (strcasecmp(candidate->name, name) == 0) return candidate;
    return nullptr;
}

}  // namespace resources
