// platform/frozen_time.cpp -- TOCKWHEEL_TIME's two forms, read the same on every system.
#include "platform/calendar.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

bool parseFrozenTime(const char* text, std::time_t* out)
{
    if (!text || !*text) return false;
    std::tm parts{};
    char tail = 0;
    if (std::sscanf(text, "%d-%d-%dT%d:%d:%d%c", &parts.tm_year, &parts.tm_mon, &parts.tm_mday,
                    &parts.tm_hour, &parts.tm_min, &parts.tm_sec, &tail) == 6) {
        parts.tm_year -= 1900;
        parts.tm_mon -= 1;
        parts.tm_isdst = -1;
        std::time_t when = std::mktime(&parts);
        if (when == static_cast<std::time_t>(-1)) return false;
        *out = when;
        return true;
    }
    char* end = nullptr;
    long long seconds = std::strtoll(text, &end, 10);
    if (end == text || *end != '\0') return false;
    *out = static_cast<std::time_t>(seconds);
    return true;
}

}  // namespace platform
