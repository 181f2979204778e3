// saver/saver_screen.h -- the saver's screen: the framework started on the settings' drivers, the hooks,
// the chosen mode set and the scene set up on it.
#pragma once

#include "display/display.h"

extern display::Framework* framework;         // the framework context, from initFramework
extern display::DriverOptions driverOptions;  // the driver choices handed to the framework

// Starts the stopwatch and the framework, installs the saver's hooks, sets Settings.videoMode (an unknown
// number keeps the stored size) and sets up the scene on the page. False when the framework cannot start
// or the mode cannot be found or set; display::lastError() then says why.
bool openSaverScreen(const char* title);
