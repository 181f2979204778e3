// platform/win32/os_version.cpp -- the system's own version word.
#include "platform/os_version.h"

#include <windows.h>

namespace platform {

uint32_t getVersion()
{
    return static_cast<uint32_t>(GetVersion());
}

}  // namespace platform
