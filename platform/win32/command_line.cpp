// platform/win32/command_line.cpp -- the command line exactly as Windows hands it over (GetCommandLineA),
// quotes around a program path with blanks included.
#include "platform/command_line.h"

#include <windows.h>

namespace platform {

namespace {

std::string theCommandLine;

// Quoted when it holds a blank, as Windows hands such a program path over.
std::string programPath(const char* path)
{
    std::string text = path ? path : "";
    return text.find(' ') == std::string::npos ? text : '"' + text + '"';
}

}  // namespace

std::string buildCommandLine(int argc, const char* const* argv)
{
    std::string line;
    for (int i = 0; i < argc; ++i) {
        if (i > 0) line += ' ';
        if (i == 0) line += programPath(argv[0]);
        else if (argv[i]) line += argv[i];
    }
    return line;
}

// argv is what the C run-time made of the line; the line itself is the system's.
void setCommandLine(int, const char* const*)
{
    const char* line = GetCommandLineA();
    theCommandLine = line ? line : "";
}

const char* commandLine() { return theCommandLine.c_str(); }

}  // namespace platform
