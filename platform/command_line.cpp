// platform/command_line.cpp -- the command line made from argv, as each system's realisation builds it.
#include "platform/command_line.h"

namespace platform {

namespace {

// A program path with a blank is quoted, as Windows hands over such a path, so that the first blank
// after it still starts the argument.
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

}  // namespace platform
