// saver/saver_main.h -- the screen saver's entry: start-up, run modes and shut-down.
#pragma once

// The program's main routine; its result is the exit code. Reads the command line itself.
int saverMain();
