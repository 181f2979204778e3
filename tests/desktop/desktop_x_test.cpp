// tests/desktop/desktop_x_test.cpp -- the saver on real X servers started here: inside a host's window
// (made by this test, as xscreensaver makes one), holding the keyboard while a password is set, and
// covering a second monitor (Xorg's dummy driver). Each case skips when its server is missing.
#include "tests/desktop/desktop_support.h"

#include <gtest/gtest.h>
// After gtest: Xlib's macros (None, Bool) would break its headers.
#include <X11/Xlib.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

using namespace desktoptest;

const std::string kShotPrefix = std::string(TOCKWHEEL_BINARY_DIR) + "/desktop-shot-";

void pause(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

// A plain window of another client, as a screen-saver host would make and hand over.
struct HostWindow {
    Display* x = nullptr;
    Window window = 0;
    HostWindow(const std::string& display, int width, int height)
    {
        x = XOpenDisplay(display.c_str());
        if (!x) return;
        window = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, width, height, 0, 0, 0);
        XMapWindow(x, window);
        XSync(x, False);
    }
    ~HostWindow()
    {
        if (x) XCloseDisplay(x);
    }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    void resize(int width, int height)
    {
        XResizeWindow(x, window, width, height);
        XSync(x, False);
    }
};

std::string hexId(unsigned long window)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", window);
    return text;
}

// Polls until the window (0: the root) shows more than `minimum` lit pixels in the rectangle.
bool waitForPicture(const std::string& display, unsigned long window, int x, int y, int w, int h, int minimum)
{
    for (int i = 0; i < 100; ++i) {
        if (readWindow(display, window).litIn(x, y, w, h) > minimum) return true;
        pause(0.1);
    }
    return false;
}

void xdotool(const std::string& display, const std::string& arguments)
{
    runTool("DISPLAY=" + display + " xdotool " + arguments + " 2>/dev/null");
}

TEST(DesktopHost, DrawsIntoTheHostWindowFollowsItsSizeAndEndsCleanlyOnSigterm)
{
    XServer server;
    if (!server.startXvfb()) GTEST_SKIP() << "Xvfb is not installed";
    WindowsDir windows;
    HostWindow host(server.display, 640, 400);
    ASSERT_NE(host.window, 0ul);
    auto env = windows.environment(server.display);
    env["XSCREENSAVER_WINDOW"] = hexId(host.window);
    std::string err = windows.dir.file("err.txt");
    pid_t saver = spawnProgram(TOCKWHEEL_PROGRAM, {"/s", "-root"}, env, err);
    ASSERT_GT(saver, 0);

    ASSERT_TRUE(waitForPicture(server.display, host.window, 0, 0, 640, 400, 2000)) << readFile(err);
    // The host reads keys and pointer: nothing of theirs ends the saver.
    xdotool(server.display, "mousemove 10 10 mousemove 400 300 click 1 key a");
    pause(0.5);
    EXPECT_TRUE(running(saver));
    host.resize(1000, 300);
    // The page takes the new size: the clock, centred, now reaches past where the old window ended.
    EXPECT_TRUE(waitForPicture(server.display, host.window, 640, 0, 360, 300, 50)) << readFile(err);
    Pixels shot = readWindow(server.display, host.window);
    EXPECT_EQ(shot.width, 1000);
    writePng(shot, kShotPrefix + "host.png");

    kill(saver, SIGTERM);
    EXPECT_EQ(waitExit(saver, 10), 0) << readFile(err);
}

TEST(DesktopHost, WindowIdOnTheCommandLineAndSigintWork)
{
    XServer server;
    if (!server.startXvfb()) GTEST_SKIP() << "Xvfb is not installed";
    WindowsDir windows;
    HostWindow host(server.display, 320, 240);
    ASSERT_NE(host.window, 0ul);
    std::string err = windows.dir.file("err.txt");
    pid_t saver = spawnProgram(TOCKWHEEL_PROGRAM, {"/s", "-window-id", std::to_string(host.window)},
                               windows.environment(server.display), err);
    ASSERT_GT(saver, 0);
    EXPECT_TRUE(waitForPicture(server.display, host.window, 0, 0, 320, 240, 500)) << readFile(err);
    // Nothing outside the host's window is drawn: the rest of the root stays black.
    EXPECT_EQ(readWindow(server.display, 0).litIn(330, 0, 600, 700), 0);
    kill(saver, SIGINT);
    EXPECT_EQ(waitExit(saver, 10), 0) << readFile(err);
}

TEST(DesktopHost, AHostWindowThatVanishesEndsTheRun)
{
    XServer server;
    if (!server.startXvfb()) GTEST_SKIP() << "Xvfb is not installed";
    WindowsDir windows;
    std::string err = windows.dir.file("err.txt");
    pid_t saver = -1;
    {
        HostWindow host(server.display, 320, 240);
        ASSERT_NE(host.window, 0ul);
        auto env = windows.environment(server.display);
        env["XSCREENSAVER_WINDOW"] = hexId(host.window);
        saver = spawnProgram(TOCKWHEEL_PROGRAM, {"/s"}, env, err);
        ASSERT_GT(saver, 0);
        ASSERT_TRUE(waitForPicture(server.display, host.window, 0, 0, 320, 240, 500)) << readFile(err);
    }   // closing the host's connection destroys its window
    EXPECT_EQ(waitExit(saver, 10), 0) << "not a clean end after its window went";
    EXPECT_NE(readFile(err).find("is gone"), std::string::npos) << readFile(err);
}

// The real dialog layer is in play (a display, no script): under a host a box would open behind the host's
// window and wait there for ever. It is told on stderr instead, and the run ends at once.
TEST(DesktopHost, ARefusedStartAndAFatalErrorOpenNoWindowAndEndAtOnce)
{
    XServer server;
    if (!server.startXvfb()) GTEST_SKIP() << "Xvfb is not installed";
    WindowsDir windows;
    windows.writeSettings("abc");
    ::unlink(windows.dir.file("Orvask/pass2x.pag").c_str());
    HostWindow host(server.display, 320, 240);
    ASSERT_NE(host.window, 0ul);
    auto env = windows.environment(server.display);
    env["XSCREENSAVER_WINDOW"] = hexId(host.window);
    env["TOCKWHEEL_UI_LOG"] = "";
    std::string err = windows.dir.file("err.txt");
    pid_t refused = spawnProgram(TOCKWHEEL_PROGRAM, {"/s"}, env, err);
    EXPECT_EQ(waitExit(refused, 10), 0) << readFile(err);
    EXPECT_EQ(readFile(err), "Error\nFatal Error: Unable to find file pass2x.pag.\n");

    windows.writeSettings();
    ::unlink(windows.dir.file("fonts/Arial.ttf").c_str());
    env.erase("XSCREENSAVER_WINDOW");
    pid_t fatal = spawnProgram(TOCKWHEEL_PROGRAM, {"/s", "-root"}, env, err);
    EXPECT_EQ(waitExit(fatal, 10), 255) << readFile(err);
    EXPECT_NE(readFile(err).find("MGL Fatal Error!\nCan't open arial.ttf\n"), std::string::npos) << readFile(err);
}

// Whether a second X client may take the keyboard and pointer now.
struct GrabAttempt {
    int keyboard;
    int pointer;
};

GrabAttempt tryToGrab(const std::string& display)
{
    Display* x = XOpenDisplay(display.c_str());
    if (!x) return {-1, -1};
    Window root = DefaultRootWindow(x);
    int keyboard = XGrabKeyboard(x, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    int pointer = XGrabPointer(x, root, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    XUngrabKeyboard(x, CurrentTime);
    XUngrabPointer(x, CurrentTime);
    XCloseDisplay(x);
    return {keyboard, pointer};
}

TEST(DesktopLock, WithAPasswordTheSaverHoldsKeyboardAndPointerWhileThePromptIsUp)
{
    XServer server;
    if (!server.startXvfb()) GTEST_SKIP() << "Xvfb is not installed";
    WindowsDir windows;
    windows.writeSettings("abc");
    std::string err = windows.dir.file("err.txt");
    pid_t saver = spawnProgram(TOCKWHEEL_PROGRAM, {"/s"}, windows.environment(server.display), err);
    ASSERT_GT(saver, 0);
    ASSERT_TRUE(waitForPicture(server.display, 0, 0, 0, 1024, 768, 2000)) << readFile(err);
    xdotool(server.display, "key x");   // raises the prompt
    pause(0.5);
    Pixels shot = readWindow(server.display, 0);
    writePng(shot, kShotPrefix + "prompt-grab.png");
    // The prompt: the double-size bitmap's light frame at the centre of 1024 x 768.
    EXPECT_GT(shot.litIn(512 - 185, 384 - 36, 370, 72), 370 * 72 / 2);

    GrabAttempt other = tryToGrab(server.display);
    EXPECT_EQ(other.keyboard, AlreadyGrabbed);
    EXPECT_EQ(other.pointer, AlreadyGrabbed);
    EXPECT_TRUE(running(saver));

    xdotool(server.display, "type abc");
    xdotool(server.display, "key Return");
    EXPECT_EQ(waitExit(saver, 10), 0) << readFile(err);
}

TEST(DesktopLock, WithoutAPasswordNothingIsHeld)
{
    XServer server;
    if (!server.startXvfb()) GTEST_SKIP() << "Xvfb is not installed";
    WindowsDir windows;
    std::string err = windows.dir.file("err.txt");
    pid_t saver = spawnProgram(TOCKWHEEL_PROGRAM, {"/s"}, windows.environment(server.display), err);
    ASSERT_GT(saver, 0);
    ASSERT_TRUE(waitForPicture(server.display, 0, 0, 0, 1024, 768, 2000)) << readFile(err);
    EXPECT_EQ(tryToGrab(server.display).keyboard, GrabSuccess);
    kill(saver, SIGTERM);
    EXPECT_EQ(waitExit(saver, 10), 0) << readFile(err);
}

TEST(DesktopLock, AKeyboardHeldElsewhereIsReportedAndThePromptStillWorks)
{
    XServer server;
    if (!server.startXvfb()) GTEST_SKIP() << "Xvfb is not installed";
    Display* holder = XOpenDisplay(server.display.c_str());
    ASSERT_NE(holder, nullptr);
    ASSERT_EQ(XGrabKeyboard(holder, DefaultRootWindow(holder), False, GrabModeAsync, GrabModeAsync, CurrentTime),
              GrabSuccess);
    XSync(holder, False);
    WindowsDir windows;
    windows.writeSettings("abc");
    std::string err = windows.dir.file("err.txt");
    pid_t saver = spawnProgram(TOCKWHEEL_PROGRAM, {"/s"}, windows.environment(server.display), err);
    ASSERT_GT(saver, 0);
    ASSERT_TRUE(waitForPicture(server.display, 0, 0, 0, 1024, 768, 2000)) << readFile(err);
    EXPECT_NE(readFile(err).find("keyboard is held by another program"), std::string::npos) << readFile(err);
    XUngrabKeyboard(holder, CurrentTime);
    XCloseDisplay(holder);
    // The prompt still takes the password.
    xdotool(server.display, "mousemove 10 10 mousemove 300 300");
    pause(0.3);
    xdotool(server.display, "type abc");
    xdotool(server.display, "key Return");
    EXPECT_EQ(waitExit(saver, 10), 0) << readFile(err);
}

// Xorg's dummy driver has sixteen virtual outputs; the second is switched on beside the first.
bool addSecondMonitor(const std::string& display)
{
    std::string xrandr = "DISPLAY=" + display + " xrandr ";
    return runTool(xrandr + "--newmode tw800 40.00 800 840 968 1056 600 601 605 628 +hsync +vsync >/dev/null 2>&1") ==
               0 &&
           runTool(xrandr + "--addmode DUMMY1 tw800 >/dev/null 2>&1") == 0 &&
           runTool(xrandr + "--output DUMMY1 --mode tw800 --right-of DUMMY0 >/dev/null 2>&1") == 0;
}

TEST(DesktopMonitors, TheSecondMonitorIsCoveredInBlackAndInputThereWakesTheSaver)
{
    TempDir work;
    XServer server;
    if (!server.startDummyXorg(work.path)) GTEST_SKIP() << "Xorg with the dummy driver cannot run here";
    ASSERT_TRUE(addSecondMonitor(server.display)) << readFile(work.file("xorg.log"));
    // Something to cover: the second monitor's part of the root painted white first.
    runTool("DISPLAY=" + server.display + " xsetroot -solid white 2>/dev/null");
    ASSERT_GT(readWindow(server.display, 0).litIn(1024, 0, 800, 600), 800 * 600 - 10);

    WindowsDir windows;
    windows.writeSettings();   // the primary monitor's own size: no mode change moves the pointer
    std::string err = windows.dir.file("err.txt");
    pid_t saver = spawnProgram(TOCKWHEEL_PROGRAM, {"/s"}, windows.environment(server.display), err);
    ASSERT_GT(saver, 0);
    // The saver's mode on the primary monitor, black on the other.
    bool covered = false;
    for (int i = 0; i < 100 && !covered; ++i) {
        pause(0.1);
        covered = readWindow(server.display, 0).litIn(1024, 0, 800, 600) == 0;
    }
    EXPECT_TRUE(covered) << readFile(err);
    // (What OpenGL draws on the dummy driver does not reach the root's pixels here; the primary monitor's
    // picture is checked on Xvfb by the other cases.)
    writePng(readWindow(server.display, 0), kShotPrefix + "two-monitors.png");
    EXPECT_TRUE(running(saver));

    xdotool(server.display, "mousemove 1400 300 click 1");
    EXPECT_EQ(waitExit(saver, 10), 0) << readFile(err);
}

// The size of the saver's full-screen window; 0 x 0 when it is not there.
struct WindowSize {
    unsigned width = 0;
    unsigned height = 0;
};

WindowSize saverWindowSize(const std::string& display)
{
    WindowSize size;
    unsigned long window = saverWindow(display);
    Display* x = XOpenDisplay(display.c_str());
    if (!x || window == 0) {
        if (x) XCloseDisplay(x);
        return size;
    }
    Window root = 0;
    int left = 0, top = 0;
    unsigned border = 0, depth = 0;
    XGetGeometry(x, window, &root, &left, &top, &size.width, &size.height, &border, &depth);
    XCloseDisplay(x);
    return size;
}

double millisecondsUntil(std::chrono::steady_clock::time_point start, bool (*done)(const std::string&),
                         const std::string& display)
{
    for (;;) {
        double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (done(display)) return ms;
        if (ms > 10000) return -1;
        pause(0.01);
    }
}

bool secondMonitorCovered(const std::string& display)
{
    return readWindow(display, 0).litIn(1024, 0, 800, 600) == 0;
}

bool modeWindowFollowedThePrimary(const std::string& display)
{
    WindowSize size = saverWindowSize(display);
    return size.width == 800 && size.height == 600;
}

// A RandR change while a password run holds the screen: nothing of the desktop may show on a monitor
// switched on meanwhile, and the scene's window takes the primary monitor's new size.
TEST(DesktopMonitors, AMonitorAddedDuringAPasswordRunIsCoveredAndTheWindowFollowsThePrimary)
{
    TempDir work;
    XServer server;
    if (!server.startDummyXorg(work.path)) GTEST_SKIP() << "Xorg with the dummy driver cannot run here";
    runTool("DISPLAY=" + server.display + " xsetroot -solid white 2>/dev/null");
    WindowsDir windows;
    windows.writeSettings("abc");
    std::string err = windows.dir.file("err.txt");
    pid_t saver = spawnProgram(TOCKWHEEL_PROGRAM, {"/s"}, windows.environment(server.display), err);
    ASSERT_GT(saver, 0);
    for (int i = 0; i < 100 && saverWindowSize(server.display).width == 0; ++i) pause(0.1);
    ASSERT_EQ(saverWindowSize(server.display).width, 1024u) << readFile(err);
    pause(0.5);

    ASSERT_TRUE(addSecondMonitor(server.display)) << readFile(work.file("xorg.log"));
    auto added = std::chrono::steady_clock::now();
    double coveredMs = millisecondsUntil(added, secondMonitorCovered, server.display);
    std::printf("[ measured ] monitor added: covered after %.0f ms\n", coveredMs);
    EXPECT_GE(coveredMs, 0) << "the new monitor shows the desktop";

    ASSERT_EQ(runTool("DISPLAY=" + server.display + " xrandr --output DUMMY0 --mode 800x600 >/dev/null 2>&1"), 0);
    auto resized = std::chrono::steady_clock::now();
    double followedMs = millisecondsUntil(resized, modeWindowFollowedThePrimary, server.display);
    std::printf("[ measured ] primary monitor resized: window followed after %.0f ms\n", followedMs);
    EXPECT_GE(followedMs, 0) << "the saver's window kept its old size";
    EXPECT_TRUE(secondMonitorCovered(server.display));
    writePng(readWindow(server.display, 0), kShotPrefix + "monitor-added.png");
    EXPECT_TRUE(running(saver)) << readFile(err);

    kill(saver, SIGTERM);
    EXPECT_EQ(waitExit(saver, 10), 0) << readFile(err);
}

// The warning of a password run while another client holds the keyboard is on both monitors, where the
// X server draws it (what OpenGL draws on the dummy driver does not reach the root's pixels).
TEST(DesktopMonitors, AKeyboardHeldElsewhereIsWarnedOfOnEveryMonitor)
{
    TempDir work;
    XServer server;
    if (!server.startDummyXorg(work.path)) GTEST_SKIP() << "Xorg with the dummy driver cannot run here";
    ASSERT_TRUE(addSecondMonitor(server.display)) << readFile(work.file("xorg.log"));
    WindowsDir windows;
    windows.writeSettings("abc");
    std::string err = windows.dir.file("err.txt");
    pid_t saver = spawnProgram(TOCKWHEEL_PROGRAM, {"/s"}, windows.environment(server.display), err);
    ASSERT_GT(saver, 0);
    for (int i = 0; i < 100 && !secondMonitorCovered(server.display); ++i) pause(0.1);
    pause(0.5);
    Display* holder = XOpenDisplay(server.display.c_str());
    ASSERT_NE(holder, nullptr);
    XUnmapWindow(holder, saverWindow(server.display));   // takes the saver's grab with its window
    ASSERT_EQ(XGrabKeyboard(holder, DefaultRootWindow(holder), False, GrabModeAsync, GrabModeAsync, CurrentTime),
              GrabSuccess);
    XSync(holder, False);
    auto warnedOn = [&](int left) {
        Pixels shot = readWindow(server.display, 0);
        int red = 0;
        for (int row = 0; row < 600; ++row)
            for (int column = left; column < left + 800; ++column) {
                const unsigned char* p = &shot.rgb[(static_cast<size_t>(row) * shot.width + column) * 3];
                if (p[0] == 0xB0 && p[1] == 0 && p[2] == 0) ++red;
            }
        return red > 5000;
    };
    bool both = false;
    for (int i = 0; i < 50 && !both; ++i) {
        pause(0.1);
        both = warnedOn(112) && warnedOn(1024);
    }
    writePng(readWindow(server.display, 0), kShotPrefix + "warning-two-monitors.png");
    EXPECT_TRUE(both) << "the warning is not on both monitors";
    XCloseDisplay(holder);
    kill(saver, SIGTERM);
    EXPECT_EQ(waitExit(saver, 10), 0) << readFile(err);
}

}  // namespace
