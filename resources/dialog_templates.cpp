// resources/dialog_templates.cpp -- every control of the four dialogs: id, kind, text, place, styles.
#include "resources/dialog_templates.h"

#include <strings.h>

#include "resources/clock_icon.h"

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
constexpr int kUnnamedId = 100;   // labels and group boxes the dialog never addresses

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
    {170, kCheck, "Password enabled", 229, 12, 72, 10, kButton},
    {171, kPush, "Change password", 234, 26, 63, 12, kButton | kWsDisabled},
    {113, kPush, "Apply", 311, 2, 36, 12, kButton},
    {110, kPush, "Ok", 351, 2, 36, 12, kButton},
    {111, kPush, "Cancel", 311, 17, 36, 12, kButton},
    {114, kPush, "Default", 351, 17, 36, 12, kButton},
    {112, kPush, "About", 311, 31, 36, 12, kButton},
    {115, kPush, "Help", 351, 31, 36, 12, kButton},
    {kUnnamedId, kGroup, "Speed", 225, 45, 31, 91, kStatic},
    {kUnnamedId, kLabel, "Fast", 227, 55, 16, 8, kStatic},
    {190, ControlKind::ScrollBar, "", 231, 65, 11, 55, kVertScroll},
    {kUnnamedId, kLabel, "Slow", 228, 123, 19, 8, kStatic},
    {kUnnamedId, kGroup, "Rendering", 257, 45, 120, 25, kStatic},
    {600, kRadio, "Wireframe", 262, 56, 47, 10, kButton},
    {601, kRadio, "Solid", 315, 56, 40, 10, kButton},
    {kUnnamedId, kGroup, "Movement styles", 257, 72, 120, 31, kStatic},
    {700, ControlKind::ComboBox, "", 261, 85, 108, 67, kCombo},
    {kUnnamedId, kGroup, "Star field", 257, 106, 120, 107, kStatic},
    {kUnnamedId, kGroup, "Clock", 1, 137, 254, 76, kStatic},
    // Video options.
    {kUnnamedId, kLabel, "Available modes", 5, 11, 58, 8, kStatic},
    {150, ControlKind::ListBox, "", 5, 20, 215, 42, kList},
    {kUnnamedId, kLabel, "Current Mode", 5, 64, 47, 8, kStatic},
    {151, kLabel, "No mode selected", 59, 64, 128, 8, kStatic},
    {kUnnamedId, kGroup, "Color depth", 4, 74, 94, 60, kStatic},
    {152, kRadio, "8 bit   (256 colors)", 6, 83, 77, 10, kButton},
    {153, kRadio, "15 bit (32768 colors)", 6, 93, 88, 10, kButton},
    {154, kRadio, "16 bit (65536 colors)", 6, 103, 84, 10, kButton},
    {155, kRadio, "24 bit (16777216 colors)", 6, 113, 88, 10, kButton},
    {156, kRadio, "32 bit (16777216 colors)", 6, 122, 88, 10, kButton},
    {kUnnamedId, kGroup, "Graphics device drivers", 100, 74, 120, 60, kStatic},
    {160, kCheck, "Full screen DIB", 103, 84, 61, 10, kButton},
    {161, kCheck, "VESA VBE 2.0", 103, 94, 59, 10, kButton},
    {162, kCheck, "VESA VBE/AF", 103, 104, 60, 10, kButton},
    {163, kCheck, "Standard VGA", 103, 114, 59, 10, kButton},
    {164, kCheck, "Mode X", 167, 84, 40, 10, kButton},
    {165, kCheck, "DirectDraw", 167, 94, 49, 10, kButton},
    {166, kCheck, "WinDirect", 167, 104, 46, 10, kButton},
    {167, kCheck, "Linear", 167, 114, 40, 10, kButton},
    // Clock.
    {kUnnamedId, kGroup, "Color", 4, 146, 247, 40, kStatic},
    {200, kCheck, "Choose color", 7, 154, 56, 10, kButton},
    {1101, kLabel, "Red     Green   Blue", 73, 152, 67, 8, kStatic},
    {201, ControlKind::Edit, "", 73, 160, 18, 12, kEdit},
    {202, ControlKind::Edit, "", 97, 160, 18, 12, kEdit},
    {203, ControlKind::Edit, "", 121, 160, 18, 12, kEdit},
    {1100, kLabel, "Color schemes", 147, 152, 49, 8, kStatic},
    {204, ControlKind::ComboBox, "", 147, 160, 66, 55, kCombo},
    {205, kAutoCheck, "Color cycling", 7, 174, 60, 10, kButton},
    {206, kAutoCheck, "Keep like colors", 69, 174, 65, 10, kButton},
    {kUnnamedId, kGroup, "Shapes", 4, 187, 93, 23, kStatic},
    {300, kAutoCheck, "Cubes", 6, 197, 40, 10, kButton},
    {301, kAutoCheck, "Spheres", 50, 197, 40, 10, kButton},
    {kUnnamedId, kGroup, "Text", 101, 187, 99, 23, kStatic},
    {400, kAutoCheck, "AM/PM", 108, 197, 40, 10, kButton},
    {401, kAutoCheck, "Numbers", 151, 197, 45, 10, kButton},
    {kUnnamedId, kGroup, "Rotation", 203, 187, 48, 23, kStatic},
    {900, kCheck, "Enable", 207, 197, 40, 10, kButton},
    // Star field.
    {500, kAutoCheck, "Enable star field", 261, 116, 64, 10, kButton},
    {501, kRadio, "Horizontal", 261, 130, 47, 10, kButton},
    {502, kRadio, "Vertical", 261, 140, 49, 10, kButton},
    {kUnnamedId, kLabel, "Star speed", 261, 156, 45, 8, kStatic},
    {504, ControlKind::Edit, "", 309, 154, 21, 12, kEdit | kEsNumber},
    {kUnnamedId, kLabel, "Star amount", 261, 171, 39, 8, kStatic},
    {505, ControlKind::Edit, "", 309, 169, 21, 12, kEdit | kEsNumber},
};

const ControlTemplate kPasswordControls[] = {
    {103, kLabel, "Enter old password", 5, 3, 100, 8, kStatic},
    {100, ControlKind::Edit, "", 5, 12, 119, 12, kEdit | kEsPassword},
    {104, kLabel, "Enter new password", 5, 29, 108, 8, kStatic},
    {101, ControlKind::Edit, "", 5, 38, 119, 12, kEdit | kEsPassword},
    {105, kLabel, "Confirm new password", 5, 54, 89, 8, kStatic},
    {102, ControlKind::Edit, "", 5, 63, 119, 12, kEdit | kEsPassword},
    {2, kPush, "Cancel", 5, 80, 40, 14, kButton},
    {1, kPush, "Ok", 83, 80, 40, 14, kButton},
};

const ControlTemplate kPathControls[] = {
    {100, kLabel, "Please enter the full path to your windows directory including the drive.", 3, 2, 223, 8,
     kStatic},
    {102, ControlKind::Edit, "", 3, 12, 223, 12, kEdit},
    {1, kPush, "Ok", 59, 27, 40, 14, kButton},
    {2, kPush, "Cancel Setup", 106, 27, 58, 14, kButton},
};

const ControlTemplate kProgressControls[] = {
    {2, kPush, "Cancel", 115, 72, 40, 14, kButton},
    {102, kLabel, "Read:", 3, 2, 22, 8, kStatic},
    {200, kLabel, "", 11, 12, 253, 9, kStatic | kSsSunken},
    {104, kLabel, "Write:", 3, 23, 23, 8, kStatic},
    {201, kLabel, "", 11, 33, 253, 9, kStatic | kSsSunken},
    {202, kLabel, "", 5, 50, 258, 18, 0},   // hidden: only gives the progress bar its size
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
