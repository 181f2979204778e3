// platform/posix/calendar.cpp -- calendar time from time() and localtime_r, frozen by TOCKWHEEL_TIME when set.
#include "platform/calendar.h"

#include <cstdlib>
#include <cstring>

namespace platform {

std::time_t currentTime()
{
    std::time_t frozen;
    if (parseFrozenTime(std::getenv("TOCKWHEEL_TIME"), &frozen)) return frozen;
    return std::time(nullptr);
}

bool localTime(std::time_t when, std::tm* out)
{
    std::tm parts{};
    if (!localtime_r(&when, &parts)) return false;
    *out = parts;
    return true;
}

}  // namespace platform
