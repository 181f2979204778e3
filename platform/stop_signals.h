// platform/stop_signals.h -- SIGTERM, SIGINT and SIGHUP turned into a request to stop that every wait of
// the programs looks at, so that each ends within a second, cleanly, whatever it is doing.
#pragma once

namespace platform {

// From now on the three signals only note the request; SDL leaves a handler that is not the default alone.
void catchStopSignals();
// The signal that asked the program to stop; 0 while none did.
int stopSignal();
// What must be undone before the program ends from inside a wait (the desktop's display mode).
void setStopCleanUp(void (*cleanUp)());
// Runs the clean-up and ends the program with 128 + the signal, as a shell reports a signal's end.
[[noreturn]] void endForStopSignal();

}  // namespace platform
