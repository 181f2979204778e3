// platform/command_line.h -- the program's full command line, rebuilt from argv as Windows hands it over.
#pragma once

#include <string>

namespace platform {

// Program path (in double quotes when it holds a blank), a blank, then the arguments joined by blanks.
std::string buildCommandLine(int argc, const char* const* argv);
void setCommandLine(int argc, const char* const* argv);
const char* commandLine();   // "" until setCommandLine

}  // namespace platform
