// display/timer.cpp -- the microsecond timer: the back end's clock, laps as unsigned 32-bit counts.
#include "display/backend.h"

namespace display {

namespace {

uint64_t nowUs()
{
    const Backend* backend = activeBackend();
    return backend ? backend->nowUs() : monotonicUs();
}

}  // namespace

// Linux's monotonic clock needs no calibration; choosing the back end here fixes which clock runs.
void timerInit()
{
    activeBackend();
}

void timerOn()
{
    gFramework.time.startUs = nowUs();
}

void timerOff()
{
    gFramework.time.stopUs = nowUs();
}

uint32_t timerLap()
{
    return static_cast<uint32_t>(nowUs() - gFramework.time.startUs);
}

}  // namespace display
