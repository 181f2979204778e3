// platform/win32/stop_signals.cpp -- Ctrl+C, Ctrl+Break and the console's close, log-off and shut-down
// events turned into the same request to stop as the POSIX signals.
#include "platform/stop_signals.h"

#include <windows.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

constexpr int kSignalExitBase = 128;
// The system ends the process once a close event's handler returns (after 5 s at most): the handler
// waits this long for the main thread, which sees the request within a second, to end it cleanly.
constexpr DWORD kCloseGraceMs = 4000;

volatile LONG gStopSignal = 0;
void (*gCleanUp)() = nullptr;

BOOL WINAPI noteStop(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        InterlockedExchange(&gStopSignal, SIGINT);
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        InterlockedExchange(&gStopSignal, SIGTERM);
        Sleep(kCloseGraceMs);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

void catchStopSignals()
{
    SetConsoleCtrlHandler(noteStop, TRUE);
}

int stopSignal() { return static_cast<int>(gStopSignal); }

void setStopCleanUp(void (*cleanUp)()) { gCleanUp = cleanUp; }

void endForStopSignal()
{
    int signal = stopSignal();
    if (gCleanUp) gCleanUp();
    std::fflush(nullptr);
    // The windows of a box or dialog still on the stack have nothing to save: end without unwinding them.
    std::_Exit(kSignalExitBase + signal);
}

}  // namespace platform
