// platform/posix/stop_signals.cpp -- the stop signals' handler, the request it notes and the clean end it leads to.
#include "platform/stop_signals.h"

#include <signal.h>

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

constexpr int kStopSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int kSignalExitBase = 128;

volatile sig_atomic_t gStopSignal = 0;
void (*gCleanUp)() = nullptr;

void noteStop(int signal) { gStopSignal = signal; }

}  // namespace

void catchStopSignals()
{
    struct sigaction action = {};
    action.sa_handler = noteStop;
    sigemptyset(&action.sa_mask);
    // Not restarted: a call that waits (an open, a read or a write on a pipe or device) returns at the
    // signal, so the program reaches its next look at the request instead of waiting on. Reads and
    // writes of regular files are not interrupted, and the waits of the dialogs and the main loop poll
    // the request besides.
    action.sa_flags = 0;
    for (int signal : kStopSignals) sigaction(signal, &action, nullptr);
}

int stopSignal() { return gStopSignal; }

void setStopCleanUp(void (*cleanUp)()) { gCleanUp = cleanUp; }

void endForStopSignal()
{
    int signal = gStopSignal;
    if (gCleanUp) gCleanUp();
    std::fflush(nullptr);
    // The windows of a box or dialog still on the stack have nothing to save: end without unwinding them.
    std::_Exit(kSignalExitBase + signal);
}

}  // namespace platform
