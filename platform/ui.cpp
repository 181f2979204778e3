// platform/ui.cpp -- message boxes (first cut: written to stderr with the default button taken).
#include "platform/ui.h"

#include <cstdio>

namespace platform {

int messageBox(Window*, const char* text, const char* caption, unsigned flags)
{
    std::fprintf(stderr, "%s\n%s\n", caption ? caption : "", text ? text : "");
    return (flags & 0x0F) == kMbYesNo ? kIdYes : kIdOk;
}

}  // namespace platform
