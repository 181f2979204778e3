// tests/golden/golden_run.h -- whole saver runs that leave a snapshot: the settings of a picture, the frozen
// time, the screen, and where the snapshot is written.
#pragma once

#include <string>

#include "config/settings.h"
#include "tests/startup/saver_world.h"

constexpr int kMode640x480x24 = 64;     // library mode numbers
constexpr int kMode800x600x24 = 65;
constexpr int kColorDepth24 = 155;      // dialog id of the 24-bit choice

// Settings for a still clock picture: 640 x 480 in 24 bits, "Candy Cane" without colour cycling, the star
// field on, "2D Bounce", markers turning; the cases change what they show.
SettingsRecord pictureSettings();

// Folder of this build's snapshots (made when missing) and the snapshot path for a name.
std::string snapshotPath(const std::string& name);

// Runs the saver with the settings and the event lines on a screen of the mode's size, so that a snapshot
// is the whole screen; a run still going after passLimit passes ends with status 4.
ProgramRun runWithEvents(SaverWorld& world, const SettingsRecord& settings, const std::string& events,
                         int passLimit);

// Runs the saver with the settings until pass snapshotPass, snapshots there, then presses a key (exit 0
// without a password).
ProgramRun runToSnapshot(SaverWorld& world, const SettingsRecord& settings, int snapshotPass,
                         const std::string& snapshot);
