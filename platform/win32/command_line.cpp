// platform/win32/command_line.cpp -- the command line exactly as Windows hands it over (GetCommandLineA),
// quotes around a program path with blanks included.
#include "platform/command_line.h"

#include <windows.h>

namespace platform {

namespace {

std::string theCommandLine;

}  // namespace

// argv is what the C run-time made of the line; the line itself is the system's.
void setCommandLine(int, const char* const*)
{
    const char* line = GetCommandLineA();
    theCommandLine = line ? line : "";
}

const char* commandLine() { return theCommandLine.c_str(); }

}  // namespace platform
