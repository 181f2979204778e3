// display/main_loop.cpp -- hooks, the event queue, the main loop with suspend and resume, page flips,
// the cursor count and the tear-down that gives the desktop back.
#include "display/backend.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/stop_signals.h"

namespace display {

namespace {

// TOCKWHEEL_PASSES: a run still going after this many passes ends with this status, so no test hangs.
constexpr int kPassLimitExitStatus = 4;

uint32_t passLimitFromEnvironment()
{
    const char* text = std::getenv("TOCKWHEEL_PASSES");
    if (!text || !*text) return 0;
    char* end = nullptr;
    unsigned long passes = std::strtoul(text, &end, 10);
    if (*end != '\0' || passes == 0 || passes > 0xFFFFFFFFul) {
        std::fprintf(stderr, "TOCKWHEEL_PASSES=%s is not a pass count; ignored\n", text);
        return 0;
    }
    return static_cast<uint32_t>(passes);
}

// TOCKWHEEL_GL_CHECK=1: every OpenGL error raised while a page was drawn and presented is reported on
// stderr with the page's number, so that long runs prove the draw path clean. Reports stop after a
// few dozen, so a broken driver cannot flood the log.
constexpr int kGlErrorReportLimit = 32;

void checkGlErrorsAfterPresent()
{
    static const bool enabled = [] {
        const char* text = std::getenv("TOCKWHEEL_GL_CHECK");
        return text && std::strcmp(text, "1") == 0;
    }();
    static uint64_t page = 0;
    static int reported = 0;
    if (!enabled) return;
    ++page;
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
        if (reported++ < kGlErrorReportLimit)
            std::fprintf(stderr, "OpenGL error 0x%04X after page %llu\n", static_cast<unsigned>(error),
                         static_cast<unsigned long long>(page));
    }
}

void writeSnapshotFromEnvironment()
{
    const char* file = std::getenv("TOCKWHEEL_SNAPSHOT");
    if (file && *file) writeSnapshot(startDirectoryPath(file));
}

// The inactive mark comes before the hook is asked and holds until the screen is given back. The
// hook's answer would accept or refuse the switch; on Linux focus moves whatever the answer is.
void suspendApplication(int flag)
{
    if (flag == kSuspendTakenAway) gFramework.loop.active = false;
    if (flag == kSuspendGivenBack) gFramework.loop.active = true;
    if (gFramework.hooks.suspend) gFramework.hooks.suspend(&gFramework, flag);
}

EventHook hookFor(int type)
{
    const auto& hooks = gFramework.hooks;
    switch (type) {
    case kEventKeyDown: return hooks.keyDown;
    case kEventKeyRepeat: return hooks.keyRepeat;
    case kEventKeyUp: return hooks.keyUp;
    case kEventMouseDown: return hooks.mouseDown;
    case kEventMouseUp: return hooks.mouseUp;
    case kEventMouseMove: return hooks.mouseMove;
    default: return hooks.other;
    }
}

void dispatchEvent(const Event& event)
{
    if (event.type == kEventInternalSuspend) {
        suspendApplication(static_cast<int>(event.message));
        return;
    }
    if (event.type == kEventInternalQuit) {
        requestExit();
        return;
    }
    if (EventHook hook = hookFor(event.type)) hook(event);
}

// Events a hook posts while this runs wait for the next pass.
void dispatchQueuedEvents()
{
    auto& loop = gFramework.loop;
    for (int pending = loop.count; pending > 0; --pending) {
        Event event = loop.queue[loop.head];
        loop.head = (loop.head + 1) % kEventQueueSize;
        --loop.count;
        dispatchEvent(event);
    }
}

void runOnePass()
{
    runScriptSteps(gFramework.loop.pass);
    if (const Backend* backend = activeBackend()) backend->pumpEvents();
    dispatchQueuedEvents();
    if (gFramework.hooks.gameLogic) gFramework.hooks.gameLogic();
    if (gFramework.loop.active && gFramework.hooks.draw) gFramework.hooks.draw();
}

void sleepUs(uint64_t us)
{
    timespec pause = {static_cast<time_t>(us / 1000000u), static_cast<long>(us % 1000000u) * 1000L};
    while (nanosleep(&pause, &pause) != 0) {
    }
}

// Where the swap cannot wait for the retrace (Xvfb refuses a swap interval), the flip waits for one
// refresh period since the last one, so the saver never spins a processor at full speed.
void paceToRefresh(const Backend* backend)
{
    int hz = backend->refreshHz();
    uint64_t periodUs = 1000000u / static_cast<uint64_t>(hz > 0 ? hz : 60);
    uint64_t now = monotonicUs();
    uint64_t due = gFramework.time.lastPresentUs + periodUs;
    if (now < due && due - now <= periodUs) {
        sleepUs(due - now);
        now = due;
    }
    gFramework.time.lastPresentUs = now;
}

// While the screen is taken away nothing is drawn, so no flip paces the loop: it waits one refresh
// period a pass instead of spinning a processor. The offscreen back end's time is virtual.
void waitWhileInactive()
{
    const Backend* backend = activeBackend();
    if (gFramework.loop.active || !backend || std::strcmp(backend->name, "offscreen") == 0) return;
    int hz = backend->refreshHz();
    sleepUs(1000000u / static_cast<uint64_t>(hz > 0 ? hz : 60));
}

}  // namespace

void setDrawHook(DrawHook hook) { gFramework.hooks.draw = hook; }
void setKeyDownHook(EventHook hook) { gFramework.hooks.keyDown = hook; }
void setKeyRepeatHook(EventHook hook) { gFramework.hooks.keyRepeat = hook; }
void setKeyUpHook(EventHook hook) { gFramework.hooks.keyUp = hook; }
void setMouseDownHook(EventHook hook) { gFramework.hooks.mouseDown = hook; }
void setMouseUpHook(EventHook hook) { gFramework.hooks.mouseUp = hook; }
void setMouseMoveHook(EventHook hook) { gFramework.hooks.mouseMove = hook; }
void setEventHook(EventHook hook) { gFramework.hooks.other = hook; }
void setGameLogicHook(GameLogicHook hook) { gFramework.hooks.gameLogic = hook; }
void setExitHook(ExitHook hook) { gFramework.hooks.exit = hook; }
void setSuspendHook(SuspendHook hook) { gFramework.hooks.suspend = hook; }

void postEvent(const Event& event)
{
    auto& loop = gFramework.loop;
    if (loop.count == kEventQueueSize) return;
    loop.queue[(loop.head + loop.count) % kEventQueueSize] = event;
    ++loop.count;
}

void runMainLoop()
{
    loadEventScriptFromEnvironment();
    uint32_t passLimit = passLimitFromEnvironment();
    auto& loop = gFramework.loop;
    loop.exitRequested = false;
    loop.pass = 0;
    for (;;) {
        ++loop.pass;
        runOnePass();
        // A stop signal (a host's SIGTERM, a terminal's SIGINT or SIGHUP) ends the run as the input
        // handlers end it: the desktop comes back and the program returns normally.
        if (loop.exitRequested || platform::stopSignal()) break;
        waitWhileInactive();
        if (passLimit != 0 && loop.pass >= passLimit) {
            writeSnapshotFromEnvironment();
            std::fprintf(stderr, "display: the main loop was still running after %u passes (TOCKWHEEL_PASSES)\n",
                         passLimit);
            restoreDesktop();
            std::exit(kPassLimitExitStatus);
        }
    }
    writeSnapshotFromEnvironment();
    if (gFramework.hooks.exit) gFramework.hooks.exit();
    restoreDesktop();
    // What the window system still had queued belongs to the window just gone.
    if (const Backend* backend = activeBackend()) backend->pumpEvents();
    loop.head = 0;
    loop.count = 0;
    loop.active = true;
}

void requestExit()
{
    gFramework.loop.exitRequested = true;
}

void swapBuffers(bool waitForRetrace)
{
    const Backend* backend = activeBackend();
    if (!backend || !gFramework.screen.openGL) return;
    drawFpsOverlay();
    const ModeInfo& page = gFramework.screen.mode;
    bool synced = false;
    // A page read back for a snapshot must have been through the colour-depth pass.
    bool shown = !pagesOnScreen() && !snapshotsWanted() && backend->presentPixels(page.xRes, page.yRes, &synced);
    if (!shown) {
        presentPage();
        synced = backend->present(presentedFramebuffer(), page.xRes, page.yRes);
    }
    checkGlErrorsAfterPresent();
    if (!followWindowSize()) {
        std::fprintf(stderr, "display: no page of %d x %d for the window; ending\n", page.xRes, page.yRes);
        postEvent(Event{kEventInternalQuit, 0, 0, 0, 0, 0, timerLap()});
    }
    if (waitForRetrace && !synced) paceToRefresh(backend);
}

void hideCursor()
{
    if (--gFramework.cursorCount == -1)
        if (const Backend* backend = activeBackend()) backend->setCursorVisible(false);
}

void showCursor()
{
    if (++gFramework.cursorCount == 0)
        if (const Backend* backend = activeBackend()) backend->setCursorVisible(true);
}

void restoreDesktop()
{
    if (!gFramework.screen.set) return;
    if (gFramework.screen.openGL) {
        releaseCanvas();
        destroyPages();
    }
    if (const Backend* backend = activeBackend()) backend->closeMode();
    gFramework.screen.set = false;
    gFramework.screen.openGL = false;
}

}  // namespace display
