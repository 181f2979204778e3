// platform/posix/command_line.cpp -- the full command line, rebuilt from argv.
#include "platform/command_line.h"

namespace platform {

namespace {

std::string theCommandLine;

}  // namespace

void setCommandLine(int argc, const char* const* argv) { theCommandLine = buildCommandLine(argc, argv); }

const char* commandLine() { return theCommandLine.c_str(); }

}  // namespace platform
