// platform/os_version.h -- the operating-system version query (GetVersion) of the installer.
#pragma once

#include <cstdint>

namespace platform {

// The 32-bit value GetVersion would return: major version in the low byte, minor in the next, build and
// platform bits in the high word.
uint32_t getVersion();

}  // namespace platform
