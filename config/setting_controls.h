// config/setting_controls.h -- which control of the configuration dialog shows which setting, and the
// names of the colour schemes and movement styles.
#pragma once

#include "platform/dialog/dialog.h"

constexpr int kColorSchemeNameCount = 14;
constexpr int kMovementStyleNameCount = 13;
extern const char* const kColorSchemeNames[kColorSchemeNameCount];       // index = colorScheme
extern const char* const kMovementStyleNames[kMovementStyleNameCount];   // index = movementStyle

// Puts every setting outside the video options into its controls (drivers, password, colours, combo
// boxes, shapes, text, stars, rendering, rotation).
void showSettingControls(platform::Window* dialog);
// Takes the values that wait in the controls until Apply (colour boxes, schemes, shapes, text, star
// field, star numbers, movement style) into Settings.
void applySettingControls(platform::Window* dialog);
// Greys either the custom colour boxes or the scheme box, as useCustomColor says.
void showCustomColorChoice(platform::Window* dialog);
