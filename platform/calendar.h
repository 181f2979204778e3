// platform/calendar.h -- calendar time and its local broken-down form.
//
// TOCKWHEEL_TIME freezes the clock (seconds since the epoch, or YYYY-MM-DDTHH:MM:SS local time), so that
// a run, whose seed and hands both come from the time, can be reproduced.
#pragma once

#include <ctime>

namespace platform {

std::time_t currentTime();
// Local broken-down time; false (out untouched) when the time cannot be converted.
bool localTime(std::time_t when, std::tm* out);
// Parses a TOCKWHEEL_TIME value; false when it is neither form.
bool parseFrozenTime(const char* text, std::time_t* out);

}  // namespace platform
