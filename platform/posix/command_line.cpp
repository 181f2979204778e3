// platform/posix/command_line.cpp -- the full command line, rebuilt from argv.
#include "platform/command_line.h"

namespace platform {

namespace {
std::string theCommandLine;
}

std::string buildCommandLine(int argc, const char* const* argv)
{
    std::string line;
    for (int i = 0; i < argc; ++i) {
        if (i > 0) line += ' ';
        if (argv[i]) line += argv[i];
    }
    return line;
}

void setCommandLine(int argc, const char* const* argv) { theCommandLine = buildCommandLine(argc, argv); }

const char* commandLine() { return theCommandLine.c_str(); }

}  // namespace platform
