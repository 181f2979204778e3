// platform/posix/os_version.cpp -- a fixed Windows version for a system that has none.
#include "platform/os_version.h"

namespace platform {

// Linux has no Windows version. We answer as a current NT system (10.0, build 19041) would, which is
// neither of the two values that make the installer pick its alternative script.
constexpr uint32_t kReportedVersion = 0x4A61000Au;

uint32_t getVersion()
{
    return kReportedVersion;
}

}  // namespace platform
