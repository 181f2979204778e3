// config/setting_controls.cpp -- the tables pairing the dialog's controls with Settings fields, shown at
// opening and taken back on Apply.
#include "config/setting_controls.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "config/color_text.h"
#include "config/settings.h"
#include "config/video_modes.h"
#include "resources/control_ids.h"

using platform::Window;

const char* const kColorSchemeNames[kColorSchemeNameCount] = {
    "Random Scheme", "Random Colors", "The Blues", "Green Suprise", "Steel clock", "Candy Cane", "Ice Cold",
    "Fire Red",      "Green Ooz",     "Red Fade",  "Blue Fade",     "Green Fade",  "RGB Fade",   "Bannana Blend",
};

const char* const kMovementStyleNames[kMovementStyleNameCount] = {
    "Random Movement", "2D Bounce", "XYZ Rotate", "Twisty",           "3D Bounce",      "Top Spin", "Side Spin",
    "Swing",           "Zig Zag",   "Bounce",     "Horizontal Orbit", "Vertical Orbit", "Roll",
};

namespace {

using namespace resources::config_ids;

constexpr int kNumberTextCapacity = 10;   // Apply reads at most 9 characters of a number box
constexpr int kNameTextCapacity = 100;    // and at most 99 of a combo box

// Check boxes and the yes/no field each shows. The plain ones change their field at once (the dialog
// procedure handles their clicks); the automatic ones toggle themselves and are read back on Apply.
struct FlagBox {
    int id;
    int16_t SettingsRecord::*field;
    bool storedOnApply;
};
const FlagBox kFlagBoxes[] = {
    {kPasswordBoxId, &SettingsRecord::passwordEnabled, false},
    {kCustomColorBoxId, &SettingsRecord::useCustomColor, false},
    {kColorCyclingId, &SettingsRecord::colorCycling, true},
    {kKeepLikeColorsId, &SettingsRecord::keepLikeColors, true},
    {kCubesId, &SettingsRecord::showCubes, true},
    {kSpheresId, &SettingsRecord::showSpheres, true},
    {kAmPmId, &SettingsRecord::showAmPm, true},
    {kNumbersId, &SettingsRecord::showNumbers, true},
    {kStarFieldId, &SettingsRecord::starFieldEnabled, true},
    {kRotationBoxId, &SettingsRecord::rotationEnabled, false},
};

struct ColorBox {
    int id;
    float SettingsRecord::*field;
};
const ColorBox kColorBoxes[] = {
    {kRedEditId, &SettingsRecord::customRed},
    {kGreenEditId, &SettingsRecord::customGreen},
    {kBlueEditId, &SettingsRecord::customBlue},
};

struct NumberBox {
    int id;
    int16_t SettingsRecord::*field;
};
const NumberBox kNumberBoxes[] = {
    {kStarSpeedId, &SettingsRecord::starSpeed},
    {kStarAmountId, &SettingsRecord::starAmount},
};

struct RadioPair {
    int firstId, lastId;
    int16_t SettingsRecord::*field;   // holds the checked button's id
};
const RadioPair kRadioPairs[] = {
    {kHorizontalId, kVerticalId, &SettingsRecord::starDirection},
    {kWireframeId, kSolidId, &SettingsRecord::renderMode},
};

struct NameCombo {
    int id;
    const char* const* names;
    int count;
    int16_t SettingsRecord::*field;   // index into names
};
const NameCombo kNameCombos[] = {
    {kSchemeComboId, kColorSchemeNames, kColorSchemeNameCount, &SettingsRecord::colorScheme},
    {kStyleComboId, kMovementStyleNames, kMovementStyleNameCount, &SettingsRecord::movementStyle},
};

unsigned checkState(int16_t value) { return value != 0 ? platform::kBstChecked : platform::kBstUnchecked; }

// A stored index outside the names (a hand-edited file) leaves the box without a selection.
void fillNameCombo(Window* dialog, const NameCombo& combo)
{
    platform::resetContent(dialog, combo.id);
    for (int i = 0; i < combo.count; ++i) platform::addString(dialog, combo.id, combo.names[i]);
    int index = Settings.*combo.field;
    if (index >= 0 && index < combo.count) platform::selectString(dialog, combo.id, combo.names[index]);
}

// Without an exact match the stored index stays.
void applyNameCombo(Window* dialog, const NameCombo& combo)
{
    char text[kNameTextCapacity];
    platform::getDlgItemText(dialog, combo.id, text, sizeof text);
    for (int i = 0; i < combo.count; ++i) {
        if (std::strcmp(text, combo.names[i]) != 0) continue;
        Settings.*combo.field = static_cast<int16_t>(i);
        return;
    }
}

// The low 16 bits of the typed number, as a 16-bit field holds it; strtol keeps overlong text defined.
int16_t lowSixteenBits(const char* text)
{
    long value = std::strtol(text, nullptr, 10);
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<unsigned long>(value) & 0xFFFFu));
}

}  // namespace

void showCustomColorChoice(Window* dialog)
{
    bool custom = Settings.useCustomColor != 0;
    platform::enableDlgItem(dialog, kColorLabelId, custom);
    for (const ColorBox& box : kColorBoxes) platform::enableDlgItem(dialog, box.id, custom);
    platform::enableDlgItem(dialog, kSchemeLabelId, !custom);
    platform::enableDlgItem(dialog, kSchemeComboId, !custom);
}

void showSettingControls(Window* dialog)
{
    for (int i = 0; i < kDriverCount; ++i)
        platform::checkDlgButton(dialog, kFirstDriverBoxId + i, checkState(Settings.driverEnabled[i]));
    for (const FlagBox& box : kFlagBoxes) platform::checkDlgButton(dialog, box.id, checkState(Settings.*box.field));
    platform::enableDlgItem(dialog, kChangePasswordId, Settings.passwordEnabled != 0);
    for (const ColorBox& box : kColorBoxes) {
        char text[kColorTextCapacity];
        platform::setDlgItemText(dialog, box.id, formatColorComponent(Settings.*box.field, text, sizeof text));
    }
    showCustomColorChoice(dialog);
    for (const NameCombo& combo : kNameCombos) fillNameCombo(dialog, combo);
    for (const RadioPair& pair : kRadioPairs)
        platform::checkRadioButton(dialog, pair.firstId, pair.lastId, Settings.*pair.field);
    for (const NumberBox& box : kNumberBoxes) {
        char text[kNumberTextCapacity + 2];
        std::snprintf(text, sizeof text, "%d", Settings.*box.field);
        platform::setDlgItemText(dialog, box.id, text);
    }
}

void applySettingControls(Window* dialog)
{
    for (const ColorBox& box : kColorBoxes) {
        char text[kNumberTextCapacity];
        platform::getDlgItemText(dialog, box.id, text, sizeof text);
        Settings.*box.field = parseColorComponent(text);
    }
    applyNameCombo(dialog, kNameCombos[0]);
    for (const FlagBox& box : kFlagBoxes)
        if (box.storedOnApply)
            Settings.*box.field = platform::isDlgButtonChecked(dialog, box.id) == platform::kBstChecked ? 1 : 0;
    for (const NumberBox& box : kNumberBoxes) {
        char text[kNumberTextCapacity];
        platform::getDlgItemText(dialog, box.id, text, sizeof text);
        Settings.*box.field = lowSixteenBits(text);
    }
    applyNameCombo(dialog, kNameCombos[1]);
}
