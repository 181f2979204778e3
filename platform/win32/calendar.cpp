// platform/win32/calendar.cpp -- calendar time from the system clock, frozen by TOCKWHEEL_TIME when set.
#include "platform/calendar.h"

#include <windows.h>

#include <cstdlib>

namespace platform {

namespace {

constexpr unsigned long long kFileTimeUnitsPerSecond = 10000000ull;       // 100 ns units
constexpr unsigned long long kFileTimeAtUnixEpoch = 116444736000000000ull;   // 1601-01-01 to 1970-01-01

}  // namespace

std::time_t currentTime()
{
    std::time_t frozen;
    if (parseFrozenTime(std::getenv("TOCKWHEEL_TIME"), &frozen)) return frozen;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    unsigned long long units = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<std::time_t>((units - kFileTimeAtUnixEpoch) / kFileTimeUnitsPerSecond);
}

bool localTime(std::time_t when, std::tm* out)
{
    std::tm parts{};
    if (localtime_s(&parts, &when) != 0) return false;
    *out = parts;
    return true;
}

}  // namespace platform
