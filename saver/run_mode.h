// saver/run_mode.h -- the run mode and exit code chosen from the command line, and the driver flags
// handed to the display framework.
#pragma once

#include <cstdint>

enum class RunMode { Saver, Configuration };

struct RunChoice {
    RunMode mode;
    int configurationExitCode;   // exit code after a configuration run
};

// The argument of a full command line: after the first blank and every blank that follows it; empty
// when the line has no blank. A program path in double quotes may hold blanks: the first blank after
// its closing quote counts.
const char* findArgument(const char* commandLine);
// "/s..." (first two characters), "-s" or "s" run the saver; "/c", "-c" or "c" configure with exit
// code 1; anything else configures with exit code 0. Letters compare case-insensitively.
RunChoice chooseRunMode(const char* argument);

