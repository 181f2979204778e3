// saver/color_schemes.h -- the clock's start colours and cycling rates from the colour settings.
#pragma once

#include "saver/clock_scene.h"

constexpr int kColorSchemeCount = 14;   // 0 "Random Scheme" .. 13 "Bannana Blend"
constexpr int kSchemeRandomScheme = 0;
constexpr int kSchemeRandomColors = 1;

// Fills the colours and rates of scene from Settings (custom colour, scheme, "keep like colors").
// Scheme 0 draws the scheme to use and leaves it in Settings.colorScheme for the rest of the run.
// An index outside 0..13 gets the colours of scheme 12.
void applyColorScheme(ClockScene& scene);
