// config/video_modes.h -- the video mode chooser of the configuration dialog: depth, drivers, mode list.
#pragma once

#include <cstdint>

#include "platform/dialog/dialog.h"
#include "resources/control_ids.h"

using resources::config_ids::kCurrentModeLabelId;
using resources::config_ids::kFirstDriverBoxId;   // "Full screen DIB", driverEnabled[0]
using resources::config_ids::kLastDriverBoxId;    // "Linear", driverEnabled[7]
using resources::config_ids::kModeListId;
constexpr int kFirstDepthButtonId = resources::config_ids::kDepth8Id;
constexpr int kLastDepthButtonId = resources::config_ids::kDepth32Id;

// The mode chosen in the list and not yet applied; 49 until a dialog is opened.
int32_t pendingMode();
// Refills the list with the modes of the checked depth, pairing entry k with Settings.modeList[k].
void rebuildModeList(platform::Window* dialog);

// Opening (and "Default"): the stored depth checked, the list built, the stored mode shown and pending.
void showVideoSettings(platform::Window* dialog);
void handleDepthButton(platform::Window* dialog, int id);
void handleDriverBox(platform::Window* dialog, int id);
// Nonzero only for the notification that the latch swallows.
intptr_t handleModeListNotify(platform::Window* dialog);
