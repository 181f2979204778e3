// tests/desktop/lock_hold_test.cpp -- a password run against the tricks left after the focus and stacking
// attacks (lock_attack_test.cpp), each played by a small X client of the same session on a private Xvfb:
// a close request, the saver's window lowered, moved off screen, reparented, unmapped while the keyboard
// is grabbed, unmapped every 20 ms; keys sent with XSendEvent; a burst of wrong guesses; a password with
// an accent set in the dialog and typed at the prompt; the UI script's log of a password; a host window
// that does not exist. How long the saver took to undo each attack is printed.
//
// TOCKWHEEL_LOCK_TEST_PROGRAM names another build of the saver to attack (an older one, for comparison).
#include "tests/desktop/desktop_support.h"

#include <gtest/gtest.h>
// After gtest: Xlib's macros (None, Bool) would break its headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "config/settings.h"
#include "config/settings_file.h"

namespace {

using namespace desktoptest;
using Clock = std::chrono::steady_clock;

constexpr double kComeBackLimitSeconds = 10;        // generous for a loaded two-core machine
constexpr unsigned long kDesktopColour = 0xFF00FF;  // the attacker's window: magenta, nowhere in the saver's picture
constexpr int kScreenW = 1024, kScreenH = 768;

std::string saverProgram()
{
    const char* other = std::getenv("TOCKWHEEL_LOCK_TEST_PROGRAM");
    return other && *other ? other : TOCKWHEEL_PROGRAM;
}

void pause(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

template <class Condition>
double millisecondsUntil(Clock::time_point start, Condition done, double limitSeconds = kComeBackLimitSeconds)
{
    while (millisecondsSince(start) < limitSeconds * 1000) {
        if (done()) return millisecondsSince(start);
        pause(0.005);
    }
    return -1;
}

void xdotool(const std::string& display, const std::string& arguments)
{
    runTool("DISPLAY=" + display + " xdotool " + arguments + " 2>/dev/null");
}

int pixelsOfColour(const Pixels& shot, unsigned long rgb)
{
    int count = 0;
    for (size_t i = 0; i + 2 < shot.rgb.size(); i += 3)
        if (shot.rgb[i] == ((rgb >> 16) & 0xFF) && shot.rgb[i + 1] == ((rgb >> 8) & 0xFF) &&
            shot.rgb[i + 2] == (rgb & 0xFF))
            ++count;
    return count;
}

// The attacker's window is as large as the screen: shown, it is most of the picture. The clock's own colours
// may hit magenta on a hand or a numeral, a few thousand pixels at most.
constexpr int kDesktopShownPixels = 100000;
constexpr int kWarningShownPixels = 5000;   // the banner is about 700 x 100 pixels

bool desktopShows(const Pixels& shot) { return pixelsOfColour(shot, kDesktopColour) > kDesktopShownPixels; }
bool desktopShows(const std::string& display) { return desktopShows(readWindow(display, 0)); }

// The prompt's bitmap (370 x 72, in the middle) is light grey and a pale field: nothing else on the
// screen is that light over most of its rectangle.
bool promptShown(const std::string& display)
{
    Pixels shot = readWindow(display, 0);
    int light = 0;
    for (int row = kScreenH / 2 - 36; row < kScreenH / 2 + 36; ++row)
        for (int column = kScreenW / 2 - 185; column < kScreenW / 2 + 185; ++column) {
            const unsigned char* p = &shot.rgb[(static_cast<size_t>(row) * shot.width + column) * 3];
            if (p[0] >= 160 && p[1] >= 160 && p[2] >= 160) ++light;
        }
    return light > 370 * 72 * 6 / 10;
}

// The warning's banner: dark red with white words.
int warningPixels(const std::string& display) { return pixelsOfColour(readWindow(display, 0), 0xB00000); }

// The attacker: a connection of its own, and the "desktop" it wants to show, a magenta window under the saver.
struct Attacker {
    Display* x = nullptr;
    Window desktop = 0;
    explicit Attacker(const std::string& display) { x = XOpenDisplay(display.c_str()); }
    ~Attacker()
    {
        if (x) XCloseDisplay(x);
    }
    Attacker(const Attacker&) = delete;
    Attacker& operator=(const Attacker&) = delete;
    Window makeWindow(int left, int top, int width, int height)
    {
        XSetWindowAttributes attributes = {};
        attributes.background_pixel = kDesktopColour;
        attributes.override_redirect = True;
        attributes.event_mask = ButtonPressMask | KeyPressMask;
        return XCreateWindow(x, DefaultRootWindow(x), left, top, width, height, 0, CopyFromParent, InputOutput,
                             CopyFromParent, CWBackPixel | CWOverrideRedirect | CWEventMask, &attributes);
    }
    // Mapped at the bottom of the stack, so that only a saver gone from the screen lets it show.
    void mapDesktop()
    {
        desktop = makeWindow(0, 0, kScreenW, kScreenH);
        XMapWindow(x, desktop);
        XLowerWindow(x, desktop);
        XSync(x, False);
    }
};

// May a third client take the keyboard and the pointer now? It lets go at once when it may.
bool bothHeldElsewhere(const std::string& display)
{
    Display* x = XOpenDisplay(display.c_str());
    if (!x) return false;
    Window root = DefaultRootWindow(x);
    int keyboard = XGrabKeyboard(x, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    int pointer = XGrabPointer(x, root, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    XCloseDisplay(x);
    return keyboard == AlreadyGrabbed && pointer == AlreadyGrabbed;
}

struct Geometry {
    Window parent = 0;
    int x = 0, y = 0, width = 0, height = 0;
    bool viewable = false;
};

Geometry geometryOf(Display* x, Window window)
{
    Geometry g;
    Window root = 0, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(x, window, &root, &g.parent, &children, &count) && children) XFree(children);
    XWindowAttributes attributes;
    if (XGetWindowAttributes(x, window, &attributes)) {
        g.x = attributes.x;
        g.y = attributes.y;
        g.width = attributes.width;
        g.height = attributes.height;
        g.viewable = attributes.map_state == IsViewable;
    }
    return g;
}

bool coversTheScreen(Display* x, Window window)
{
    Geometry g = geometryOf(x, window);
    return g.parent == DefaultRootWindow(x) && g.x == 0 && g.y == 0 && g.width == kScreenW && g.height == kScreenH &&
           g.viewable;
}

void sendKey(Display* x, Window window, const char* keysymName)
{
    XKeyEvent key = {};
    key.display = x;
    key.window = window;
    key.root = DefaultRootWindow(x);
    key.same_screen = True;
    key.keycode = XKeysymToKeycode(x, XStringToKeysym(keysymName));
    key.type = KeyPress;
    XSendEvent(x, window, True, KeyPressMask, reinterpret_cast<XEvent*>(&key));
    key.type = KeyRelease;
    XSendEvent(x, window, True, KeyReleaseMask, reinterpret_cast<XEvent*>(&key));
}

// Puts é on a keycode nothing uses, as a French keyboard has it: xdotool then types it with that key,
// where it would otherwise remap a key for a moment, which the saver may read after it was mapped back.
void addEacuteKey(const std::string& display)
{
    Display* x = XOpenDisplay(display.c_str());
    if (!x) return;
    int first = 0, last = 0, perCode = 0;
    XDisplayKeycodes(x, &first, &last);
    KeySym* map = XGetKeyboardMapping(x, static_cast<KeyCode>(first), last - first + 1, &perCode);
    for (int code = last; code >= first && map; --code) {
        bool unused = true;
        for (int i = 0; i < perCode; ++i) unused = unused && map[(code - first) * perCode + i] == NoSymbol;
        if (!unused) continue;
        KeySym eacute[2] = {XStringToKeysym("eacute"), XStringToKeysym("Eacute")};
        XChangeKeyboardMapping(x, code, 2, eacute, 1);
        break;
    }
    if (map) XFree(map);
    XSync(x, False);
    XCloseDisplay(x);
}

class LockHold : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!server.startXvfb()) GTEST_SKIP() << "Xvfb is not installed";
        err = windows.dir.file("err.txt");
    }
    void TearDown() override
    {
        if (saver > 0 && running(saver)) {
            kill(saver, SIGKILL);
            waitExit(saver, 10);
        }
    }
    void startSaver(const char* password = "abc")
    {
        if (password) windows.writeSettings(password);
        saver = spawnProgram(saverProgram(), {"/s"}, windows.environment(server.display), err);
        ASSERT_GT(saver, 0);
        bool shown = false;
        for (int i = 0; i < 100 && !shown; ++i) {
            shown = readWindow(server.display, 0).litIn(0, 0, kScreenW, kScreenH) > 2000;
            if (!shown) pause(0.1);
        }
        ASSERT_TRUE(shown) << readFile(err);
        own = saverWindow(server.display);
        ASSERT_NE(own, 0ul);
    }
    void typeAndExpectTheEnd(const std::string& password)
    {
        // Escape raises the prompt and is never typed into it.
        xdotool(server.display, "key Escape");
        pause(0.3);
        xdotool(server.display, "type '" + password + "'");
        xdotool(server.display, "key Return");
        EXPECT_EQ(waitExit(saver, 10), 0) << readFile(err);
        saver = -1;
    }
    void expectStillRunning(double seconds)
    {
        pause(seconds);
        EXPECT_TRUE(running(saver)) << "the saver ended: " << readFile(err);
    }
    static void report(const char* what, double ms) { std::printf("[ measured ] %s: %.0f ms\n", what, ms); }

    XServer server;
    WindowsDir windows;
    std::string err;
    pid_t saver = -1;
    unsigned long own = 0;   // the saver's full-screen window
};

TEST_F(LockHold, ACloseRequestDoesNotEndAPasswordRun)
{
    startSaver();
    Attacker attacker(server.display);
    ASSERT_NE(attacker.x, nullptr);
    XEvent close = {};
    close.xclient.type = ClientMessage;
    close.xclient.window = own;
    close.xclient.message_type = XInternAtom(attacker.x, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(attacker.x, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(attacker.x, own, False, NoEventMask, &close);
    XSync(attacker.x, False);
    expectStillRunning(1.5);
    typeAndExpectTheEnd("abc");
}

TEST_F(LockHold, ALoweredOrMovedSaverIsPutBackAtOnce)
{
    startSaver();
    Attacker attacker(server.display);
    ASSERT_NE(attacker.x, nullptr);
    attacker.mapDesktop();
    pause(0.5);   // the desktop settled under the saver, as a session's windows are

    XLowerWindow(attacker.x, own);
    XSync(attacker.x, False);
    double loweredMs = millisecondsUntil(Clock::now(), [&] { return !desktopShows(server.display); });
    report("saver lowered: desktop hidden again", loweredMs);
    EXPECT_GE(loweredMs, 0) << "the desktop stayed visible after XLowerWindow";

    XMoveWindow(attacker.x, own, 5000, 5000);
    XSync(attacker.x, False);
    Clock::time_point moved = Clock::now();
    double placeMs = millisecondsUntil(moved, [&] { return coversTheScreen(attacker.x, own); });
    double grabMs = millisecondsUntil(moved, [&] { return bothHeldElsewhere(server.display); });
    report("saver moved to 5000,5000: back in place", placeMs);
    report("saver moved to 5000,5000: grabs held", grabMs);
    EXPECT_GE(placeMs, 0) << "the saver stayed off screen";
    EXPECT_GE(grabMs, 0) << "the pointer or keyboard stayed free";

    XResizeWindow(attacker.x, own, 10, 10);
    XSync(attacker.x, False);
    double sizeMs = millisecondsUntil(Clock::now(), [&] { return coversTheScreen(attacker.x, own); });
    report("saver resized to 10 x 10: back to full size", sizeMs);
    EXPECT_GE(sizeMs, 0) << "the saver stayed small";
    pause(0.5);
    EXPECT_FALSE(desktopShows(server.display));
    typeAndExpectTheEnd("abc");
}

TEST_F(LockHold, AReparentedSaverGoesBackToTheRootAndOutlivesTheOtherWindow)
{
    startSaver();
    Attacker attacker(server.display);
    ASSERT_NE(attacker.x, nullptr);
    attacker.mapDesktop();
    Window trap = attacker.makeWindow(0, 0, 10, 10);
    XMapRaised(attacker.x, trap);
    XReparentWindow(attacker.x, own, trap, 0, 0);
    XSync(attacker.x, False);
    double backMs = millisecondsUntil(Clock::now(), [&] { return coversTheScreen(attacker.x, own); });
    report("saver reparented into a 10 x 10 window: back on the root", backMs);
    EXPECT_GE(backMs, 0) << "the saver stayed inside the other client's window";
    pause(0.3);
    XDestroyWindow(attacker.x, trap);
    XSync(attacker.x, False);
    expectStillRunning(1);
    EXPECT_FALSE(desktopShows(server.display));
    typeAndExpectTheEnd("abc");
}

// Reparented and destroyed with the other window in one go, the saver's window is gone before anyone can
// put it back: the run cannot go on, and ends through the fatal-error path, never with status 0 or a crash.
TEST_F(LockHold, ASaverWindowDestroyedWithAnotherEndsThroughTheFatalErrorPath)
{
    windows.writeSettings("abc");
    std::string noAnswers = windows.dir.file("empty.txt");
    writeFile(noAnswers, "");
    std::map<std::string, std::string> env = windows.environment(server.display);
    env["TOCKWHEEL_UI"] = "script:" + noAnswers;   // the box is answered with its default button
    saver = spawnProgram(saverProgram(), {"/s"}, env, err);
    ASSERT_GT(saver, 0);
    for (int i = 0; i < 100 && own == 0; ++i) {
        own = saverWindow(server.display);
        if (own == 0) pause(0.1);
    }
    ASSERT_NE(own, 0ul);
    pause(1);
    Attacker attacker(server.display);
    ASSERT_NE(attacker.x, nullptr);
    Window trap = attacker.makeWindow(0, 0, 10, 10);
    XMapWindow(attacker.x, trap);
    XReparentWindow(attacker.x, own, trap, 0, 0);
    XDestroyWindow(attacker.x, trap);
    XSync(attacker.x, False);
    EXPECT_EQ(waitExit(saver, 10), 255) << readFile(err);
    saver = -1;
    EXPECT_NE(readFile(windows.dir.file("ui.log")).find("The saver's window was destroyed by another program."),
              std::string::npos);
}

TEST_F(LockHold, AKeyboardTakenWhileTheSaverIsUnmappedIsShownOnTheScreen)
{
    startSaver();
    Attacker attacker(server.display);
    ASSERT_NE(attacker.x, nullptr);
    attacker.mapDesktop();
    XUnmapWindow(attacker.x, own);
    int grabbed = XGrabKeyboard(attacker.x, attacker.desktop, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    XSync(attacker.x, False);
    Clock::time_point attacked = Clock::now();
    ASSERT_EQ(grabbed, GrabSuccess);
    double warnedMs = millisecondsUntil(attacked, [&] { return warningPixels(server.display) > kWarningShownPixels; });
    report("saver unmapped and keyboard grabbed: warning on screen", warnedMs);
    EXPECT_GE(warnedMs, 0) << "no warning while another client holds the keyboard";
    EXPECT_LT(warnedMs, 500);
    writePng(readWindow(server.display, 0), std::string(TOCKWHEEL_BINARY_DIR) + "/lock-shot-keyboard-held.png");
    // It stays as long as the other client holds the keyboard.
    for (int i = 0; i < 10; ++i) {
        pause(0.2);
        EXPECT_GT(warningPixels(server.display), kWarningShownPixels)
            << "the warning went after " << (i + 1) * 200 << " ms";
    }
    EXPECT_FALSE(desktopShows(server.display));

    XUngrabKeyboard(attacker.x, CurrentTime);
    XSync(attacker.x, False);
    Clock::time_point released = Clock::now();
    double heldMs = millisecondsUntil(released, [&] { return bothHeldElsewhere(server.display); });
    double goneMs = millisecondsUntil(released, [&] { return warningPixels(server.display) < kWarningShownPixels; });
    report("keyboard let go: grabs held", heldMs);
    report("keyboard let go: warning gone", goneMs);
    EXPECT_GE(heldMs, 0);
    EXPECT_GE(goneMs, 0);
    typeAndExpectTheEnd("abc");
}

TEST_F(LockHold, ASaverUnmappedEvery20MillisecondsKeepsTheDesktopHidden)
{
    startSaver();
    std::atomic<bool> stop{false};
    std::atomic<int> unmaps{0};
    std::thread loop([&] {
        Attacker attacker(server.display);
        if (!attacker.x) return;
        attacker.mapDesktop();
        while (!stop) {
            XUnmapWindow(attacker.x, own);
            XSync(attacker.x, False);
            ++unmaps;
            pause(0.02);
        }
    });
    pause(0.1);
    int visible = 0;
    constexpr int kSamples = 20;
    for (int i = 0; i < kSamples; ++i) {
        Pixels shot = readWindow(server.display, 0);
        if (desktopShows(shot)) {
            ++visible;
            writePng(shot, std::string(TOCKWHEEL_BINARY_DIR) + "/lock-shot-unmap-loop-" + std::to_string(visible) +
                               ".png");
        }
        pause(0.15);
    }
    stop = true;
    loop.join();
    std::printf("[ measured ] unmapped every 20 ms (%d times): desktop visible in %d of %d samples\n", unmaps.load(),
                visible, kSamples);
    EXPECT_LE(visible, 1);
    EXPECT_GT(unmaps.load(), 50);
    typeAndExpectTheEnd("abc");
}

TEST_F(LockHold, KeysAndClicksSentByAnotherClientAreNotInput)
{
    startSaver();
    Attacker attacker(server.display);
    ASSERT_NE(attacker.x, nullptr);
    for (const char* key : {"x", "a", "b", "c", "Return"}) sendKey(attacker.x, own, key);
    XButtonEvent click = {};
    click.type = ButtonPress;
    click.window = own;
    click.root = DefaultRootWindow(attacker.x);
    click.button = Button1;
    click.x = click.y = 300;
    click.same_screen = True;
    XSendEvent(attacker.x, own, True, ButtonPressMask, reinterpret_cast<XEvent*>(&click));
    XSync(attacker.x, False);
    expectStillRunning(1.5);
    EXPECT_FALSE(promptShown(server.display)) << "the keys or the click raised the prompt";
    typeAndExpectTheEnd("abc");
}

TEST_F(LockHold, WrongGuessesCostAGrowingDelay)
{
    startSaver();
    xdotool(server.display, "key x");
    pause(0.3);
    xdotool(server.display, "type zzz");
    xdotool(server.display, "key Return");
    // At once the right password: the prompt takes no try during the delay.
    xdotool(server.display, "key x");
    xdotool(server.display, "type abc");
    xdotool(server.display, "key Return");
    // The delay shows as a red bar in the prompt's field.
    Pixels shot = readWindow(server.display, 0);
    writePng(shot, std::string(TOCKWHEEL_BINARY_DIR) + "/lock-shot-retry-delay.png");
    expectStillRunning(0.3);
    EXPECT_TRUE(promptShown(server.display));
    // It runs out a second after the wrong password.
    pause(1);
    typeAndExpectTheEnd("abc");
}

// The dialog keeps "café" in Windows-1252 (é is one byte, 0xE9), and the prompt takes it typed.
TEST_F(LockHold, APasswordWithAnAccentSetInTheDialogIsTypedAtThePrompt)
{
    windows.writeSettings(nullptr);
    std::string script = windows.dir.file("script.txt");
    writeFile(script, "click 170\nclick 171\ntype 101 café\ntype 102 café\nclick 1\nclick 113\nclick 110\n");
    std::map<std::string, std::string> env = windows.environment("");
    env["TOCKWHEEL_UI"] = "script:" + script;
    pid_t config = spawnProgram(saverProgram(), {"/c"}, env, err);
    ASSERT_GT(config, 0);
    EXPECT_EQ(waitExit(config, 30), 1) << readFile(err) << readFile(windows.dir.file("ui.log"));   // "/c" ends with 1
    std::string file = readFile(windows.dir.file("Orvask/Tockwheel.ini"));
    EXPECT_NE(file.find("caf\xE9"), std::string::npos) << "not stored in Windows-1252";

    addEacuteKey(server.display);
    saver = spawnProgram(saverProgram(), {"/s"}, windows.environment(server.display), err);
    ASSERT_GT(saver, 0);
    pause(2);
    typeAndExpectTheEnd("café");
}

// A settings file from before holds "café" as UTF-8 (63 61 66 c3 a9): typed as it was set, it still opens.
TEST_F(LockHold, AnOlderPasswordHeldAsUtf8StillOpens)
{
    addEacuteKey(server.display);
    startSaver("caf\xC3\xA9");
    typeAndExpectTheEnd("café");
}

TEST_F(LockHold, TheScriptLogShowsAPasswordByItsLengthOnly)
{
    windows.writeSettings(nullptr);
    std::string script = windows.dir.file("script.txt");
    // The old-password field is disabled without a password: typing there is echoed as an ignored line.
    writeFile(script, "click 170\nclick 171\ntype 100 topsecret\ntype 101 secret\ndump\nkey esc\nclick 111\n");
    std::map<std::string, std::string> env = windows.environment("");
    env["TOCKWHEEL_UI"] = "script:" + script;
    pid_t config = spawnProgram(saverProgram(), {"/c"}, env, err);
    ASSERT_GT(config, 0);
    waitExit(config, 30);
    std::string log = readFile(windows.dir.file("ui.log")) + readFile(err);
    EXPECT_EQ(log.find("secret"), std::string::npos) << log;
    EXPECT_NE(log.find("text=\"******\""), std::string::npos) << log;
    EXPECT_NE(log.find("type 100 *********"), std::string::npos) << log;
}

TEST_F(LockHold, AHostWindowThatDoesNotExistEndsThroughTheFatalErrorPath)
{
    windows.writeSettings(nullptr);
    pid_t hosted = spawnProgram(saverProgram(), {"/s", "-window-id", "0x400001"}, windows.environment(server.display),
                                err);
    ASSERT_GT(hosted, 0);
    EXPECT_EQ(waitExit(hosted, 20), 255) << readFile(err);
    EXPECT_NE(readFile(err).find("MGL Fatal Error!"), std::string::npos) << readFile(err);

    std::map<std::string, std::string> env = windows.environment(server.display);
    env["XSCREENSAVER_WINDOW"] = "0x400001";
    hosted = spawnProgram(saverProgram(), {"/s"}, env, err);
    ASSERT_GT(hosted, 0);
    EXPECT_EQ(waitExit(hosted, 20), 255) << readFile(err);
}

}  // namespace
