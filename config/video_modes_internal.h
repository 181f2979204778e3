// config/video_modes_internal.h -- the mode chooser's state between notifications, and its detection
// step, for the tests that set them up or check them.
#pragma once

#include <cstdint>

// The mode chosen in the list and not yet applied; 49 until a dialog is opened.
extern int32_t pendingVideoMode;
// False after every rebuild that listed modes; the first list notification after it only sets it.
extern bool listNotifyArmed;

// The library's available modes for the enabled drivers, 255-ended; the driver table is empty afterwards.
uint8_t* detectAvailableModes();
