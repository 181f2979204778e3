// tests/desktop/lock_attack_test.cpp -- a password run attacked by other X clients on a private Xvfb:
// the focus taken with XSetInputFocus, the keyboard grabbed before the saver starts, an
// override-redirect window mapped and raised above it, the saver's own window unmapped. After each
// attack a third client's grabs must fail with AlreadyGrabbed and the screen must show the saver
// again; how long that took is printed. The saver's core file limit is checked here too.
#include "tests/desktop/desktop_support.h"

#include <gtest/gtest.h>
// After gtest: Xlib's macros (None, Bool) would break its headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

using namespace desktoptest;
using Clock = std::chrono::steady_clock;

// Generous for a loaded two-core machine; the times printed are what counts.
constexpr double kComeBackLimitSeconds = 10;
constexpr unsigned long kAttackColour = 0xFF00FF;   // magenta: nowhere in the saver's picture
const std::string kShotPrefix = std::string(TOCKWHEEL_BINARY_DIR) + "/lock-shot-";

void pause(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Polls until `done` holds; the milliseconds it took from `start`, or -1 when it never did.
template <class Condition>
double millisecondsUntil(Clock::time_point start, Condition done)
{
    while (millisecondsSince(start) < kComeBackLimitSeconds * 1000) {
        if (done()) return millisecondsSince(start);
        pause(0.005);
    }
    return -1;
}

void xdotool(const std::string& display, const std::string& arguments)
{
    runTool("DISPLAY=" + display + " xdotool " + arguments + " 2>/dev/null");
}

// The second client: the attacker, with one window of its own in the attack colour.
struct Attacker {
    Display* x = nullptr;
    Window window = 0;
    explicit Attacker(const std::string& display) { x = XOpenDisplay(display.c_str()); }
    ~Attacker()
    {
        if (x) XCloseDisplay(x);
    }
    Attacker(const Attacker&) = delete;
    Attacker& operator=(const Attacker&) = delete;
    void mapWindow(int left, int top, int width, int height, bool overrideRedirect)
    {
        XSetWindowAttributes attributes = {};
        attributes.background_pixel = kAttackColour;
        attributes.override_redirect = overrideRedirect ? True : False;
        window = XCreateWindow(x, DefaultRootWindow(x), left, top, width, height, 0, CopyFromParent, InputOutput,
                               CopyFromParent, CWBackPixel | CWOverrideRedirect, &attributes);
        XMapRaised(x, window);
        XSync(x, False);
    }
    bool hasFocus()
    {
        Window focus = 0;
        int revertTo = 0;
        XGetInputFocus(x, &focus, &revertTo);
        return focus == window;
    }
};

// The third client: may it take the keyboard and the pointer now? It lets go at once when it may.
struct GrabProbe {
    Display* x = nullptr;
    explicit GrabProbe(const std::string& display) { x = XOpenDisplay(display.c_str()); }
    ~GrabProbe()
    {
        if (x) XCloseDisplay(x);
    }
    GrabProbe(const GrabProbe&) = delete;
    GrabProbe& operator=(const GrabProbe&) = delete;
    bool bothHeldElsewhere()
    {
        Window root = DefaultRootWindow(x);
        int keyboard = XGrabKeyboard(x, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
        int pointer = XGrabPointer(x, root, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None,
                                   CurrentTime);
        XUngrabKeyboard(x, CurrentTime);
        XUngrabPointer(x, CurrentTime);
        XSync(x, False);
        return keyboard == AlreadyGrabbed && pointer == AlreadyGrabbed;
    }
};

int attackPixels(const Pixels& shot, int left, int top, int width, int height)
{
    int count = 0;
    for (int row = top; row < top + height && row < shot.height; ++row)
        for (int column = left; column < left + width && column < shot.width; ++column) {
            const unsigned char* p = &shot.rgb[(static_cast<size_t>(row) * shot.width + column) * 3];
            if (p[0] == 0xFF && p[1] == 0x00 && p[2] == 0xFF) ++count;
        }
    return count;
}

int occurrences(const std::string& text, const std::string& part)
{
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// A saver with the password "abc" on its own Xvfb, showing its picture.
class LockAttack : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!server.startXvfb()) GTEST_SKIP() << "Xvfb is not installed";
        windows.writeSettings("abc");
        err = windows.dir.file("err.txt");
    }
    void TearDown() override
    {
        if (saver > 0 && running(saver)) {
            kill(saver, SIGKILL);
            waitExit(saver, 10);
        }
    }
    void startSaver()
    {
        saver = spawnProgram(TOCKWHEEL_PROGRAM, {"/s"}, windows.environment(server.display), err);
        ASSERT_GT(saver, 0);
        bool shown = false;
        for (int i = 0; i < 100 && !shown; ++i) {
            shown = readWindow(server.display, 0).litIn(0, 0, 1024, 768) > 2000;
            if (!shown) pause(0.1);
        }
        ASSERT_TRUE(shown) << readFile(err);
    }
    // The prompt, raised before the attack, still takes the password after it: the keys reach the saver.
    void typePasswordAndExpectTheEnd()
    {
        xdotool(server.display, "type abc");
        xdotool(server.display, "key Return");
        EXPECT_EQ(waitExit(saver, 10), 0) << readFile(err);
        saver = -1;
    }
    void report(const char* what, double ms)
    {
        std::printf("[ measured ] %s: %.0f ms\n", what, ms);
    }

    XServer server;
    WindowsDir windows;
    std::string err;
    pid_t saver = -1;
};

TEST_F(LockAttack, AWindowThatTakesTheFocusGetsNeitherKeysNorTheTopOfTheScreen)
{
    startSaver();
    xdotool(server.display, "key x");   // raises the prompt, which must outlive the attack
    pause(0.3);
    Attacker attacker(server.display);
    ASSERT_NE(attacker.x, nullptr);
    GrabProbe probe(server.display);
    ASSERT_NE(probe.x, nullptr);

    attacker.mapWindow(100, 100, 400, 300, false);
    XSetInputFocus(attacker.x, attacker.window, RevertToParent, CurrentTime);
    XSync(attacker.x, False);
    Clock::time_point attacked = Clock::now();

    // The grabs may still look held for a moment after the focus went: they count once it is back.
    double focusMs = millisecondsUntil(attacked, [&] { return !attacker.hasFocus(); });
    double grabMs = millisecondsUntil(attacked, [&] { return probe.bothHeldElsewhere(); });
    double onTopMs = millisecondsUntil(attacked, [&] {
        return attackPixels(readWindow(server.display, 0), 100, 100, 400, 300) == 0;
    });
    report("focus taken: focus back", focusMs);
    report("focus taken: grabs held", grabMs);
    report("focus taken: saver on top", onTopMs);
    EXPECT_GE(focusMs, 0) << "the focus stayed with the other client's window";
    EXPECT_GE(grabMs, 0) << "the keyboard and pointer stayed free for another client";
    EXPECT_GE(onTopMs, 0) << "the other client's window stayed above the saver";
    Pixels shot = readWindow(server.display, 0);
    writePng(shot, kShotPrefix + "focus.png");
    EXPECT_GT(shot.litIn(512 - 185, 384 - 36, 370, 72), 370 * 72 / 2) << "the prompt went away";
    typePasswordAndExpectTheEnd();
}

TEST_F(LockAttack, AKeyboardGrabbedByAnotherClientAtTheStartIsTakenOnceItIsLetGo)
{
    Display* holder = XOpenDisplay(server.display.c_str());
    ASSERT_NE(holder, nullptr);
    ASSERT_EQ(XGrabKeyboard(holder, DefaultRootWindow(holder), False, GrabModeAsync, GrabModeAsync, CurrentTime),
              GrabSuccess);
    XSync(holder, False);
    startSaver();
    pause(1);   // the saver keeps asking meanwhile, and says so only once

    XUngrabKeyboard(holder, CurrentTime);
    XSync(holder, False);
    Clock::time_point released = Clock::now();
    GrabProbe probe(server.display);
    ASSERT_NE(probe.x, nullptr);
    double grabMs = millisecondsUntil(released, [&] { return probe.bothHeldElsewhere(); });
    report("keyboard let go by another client: grabs held", grabMs);
    XCloseDisplay(holder);
    EXPECT_GE(grabMs, 0) << "the saver never took the keyboard and pointer";
    EXPECT_GT(readWindow(server.display, 0).litIn(0, 0, 1024, 768), 2000);

    std::string said = readFile(err);
    EXPECT_EQ(occurrences(said, "keyboard is held by another program"), 1) << said;
    xdotool(server.display, "key x");
    pause(0.3);
    typePasswordAndExpectTheEnd();
}

TEST_F(LockAttack, AnOverrideRedirectWindowAboveTheSaverGoesUnderAndAnUnmappedSaverComesBack)
{
    startSaver();
    xdotool(server.display, "key x");
    pause(0.3);
    Attacker attacker(server.display);
    ASSERT_NE(attacker.x, nullptr);
    GrabProbe probe(server.display);
    ASSERT_NE(probe.x, nullptr);
    auto saverOnTop = [&] { return attackPixels(readWindow(server.display, 0), 300, 200, 400, 300) == 0; };

    attacker.mapWindow(300, 200, 400, 300, true);
    double mappedMs = millisecondsUntil(Clock::now(), saverOnTop);
    XRaiseWindow(attacker.x, attacker.window);
    XSync(attacker.x, False);
    double raisedMs = millisecondsUntil(Clock::now(), saverOnTop);
    // Any client may unmap any window: the saver's own comes back over the attacker's.
    unsigned long saverOwn = saverWindow(server.display);
    ASSERT_NE(saverOwn, 0ul);
    XUnmapWindow(attacker.x, saverOwn);
    XSync(attacker.x, False);
    double remappedMs = millisecondsUntil(Clock::now(), saverOnTop);
    double grabMs = millisecondsUntil(Clock::now(), [&] { return probe.bothHeldElsewhere(); });
    report("override-redirect window mapped: saver on top", mappedMs);
    report("override-redirect window raised: saver on top", raisedMs);
    report("saver's window unmapped: saver on top", remappedMs);
    report("saver's window unmapped: grabs held", grabMs);
    EXPECT_GE(mappedMs, 0) << "the mapped window stayed above the saver";
    EXPECT_GE(raisedMs, 0) << "the raised window stayed above the saver";
    EXPECT_GE(remappedMs, 0) << "the saver's window stayed unmapped";
    EXPECT_GE(grabMs, 0);
    writePng(readWindow(server.display, 0), kShotPrefix + "override-redirect.png");
    typePasswordAndExpectTheEnd();
}

// A core file would hold the stored password and whatever was typed.
TEST_F(LockAttack, TheSaverWritesNoCoreFile)
{
    startSaver();
    std::ifstream limits("/proc/" + std::to_string(saver) + "/limits");
    std::string line;
    std::string core;
    while (std::getline(limits, line))
        if (line.rfind("Max core file size", 0) == 0) core = line;
    std::istringstream fields(core.substr(std::string("Max core file size").size()));
    std::string soft, hard;
    fields >> soft >> hard;
    EXPECT_EQ(soft, "0") << core;
    EXPECT_EQ(hard, "0") << core;
}

}  // namespace
