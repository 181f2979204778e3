// saver/saver_main.h -- the screen saver's entry: start-up, run modes and shut-down.
#pragma once

#include "display/display.h"

extern display::Framework* framework;         // the framework context, from initFramework
extern display::DriverOptions driverOptions;  // the driver choices handed to the framework

// The program's main routine; its result is the exit code. Reads the command line itself.
int saverMain();
