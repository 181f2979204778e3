// tests/desktop/screen_shape_test.cpp -- the clock keeps its shape on screens and in host windows of the
// common shapes, a page of another shape shows whole between black bars, a host's window is filled
// edge to edge, and the keyboard focus goes back where it was when the saver ends.
#include "tests/desktop/desktop_support.h"

#include <gtest/gtest.h>
// After gtest: Xlib's macros (None, Bool) would break its headers.
#include <X11/Xlib.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <thread>

#include "config/settings.h"
#include "config/settings_file.h"

namespace {

using namespace desktoptest;

void pause(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

struct Shape {
    const char* name;
    int width, height;   // pixels; 1200 high, so that the centre sphere is about 100 pixels across
};
const Shape kShapes[] = {
    {"4:3", 1600, 1200}, {"5:4", 1500, 1200}, {"16:10", 1920, 1200}, {"16:9", 2133, 1200}, {"21:9", 2800, 1200},
};
constexpr int kMode1600x1200x32 = 85;   // the library's mode number
constexpr int kMode1280x960x32 = 83;
constexpr const char* kNoon = "2024-03-05T12:00:00";

// The centre sphere alone in its own colour: "Ramp" gives the hub (0, 0.7, 0.8) and the hands pure
// green, blue and red; no markers, numerals, label or stars. "Spin Top" keeps the clock at the centre
// of the view (off the axis a perspective view draws any sphere a little long), and at 12:00:00 every
// hand points straight up, along the axis it spins about, so none ever passes in front of the hub.
SettingsRecord sphereSettings(int mode)
{
    resetSettings();
    SettingsRecord record = Settings;
    record.videoMode = mode;
    record.colorScheme = 12;
    record.colorCycling = 0;
    record.showSpheres = 0;
    record.showCubes = 0;
    record.showAmPm = 0;
    record.showNumbers = 0;
    record.starFieldEnabled = 0;
    record.movementStyle = 5;
    return record;
}

void writeRecord(WindowsDir& windows, const SettingsRecord& record)
{
    uint8_t image[kSettingsMaxFileSize];
    size_t size = encodeSettings(record, image);
    writeFile(windows.dir.file("Orvask/Tockwheel.ini"), std::string(reinterpret_cast<char*>(image), size));
}

struct Box {
    int count = 0;
    int minX = INT_MAX, maxX = -1, minY = INT_MAX, maxY = -1;
    int width() const { return maxX - minX + 1; }
    int height() const { return maxY - minY + 1; }
    void add(int x, int y)
    {
        ++count;
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
};

// Pixels of the hub's colour at any shade the light gives it: green and blue both present, red far below.
Box hubPixels(const Pixels& pixels)
{
    Box box;
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x) {
            const unsigned char* p = &pixels.rgb[3 * (static_cast<size_t>(y) * pixels.width + x)];
            if (p[1] > 12 && p[2] > 12 && 3 * p[0] < std::min(p[1], p[2])) box.add(x, y);
        }
    return box;
}

// Every lit pixel of the picture.
Box litPixels(const Pixels& pixels)
{
    Box box;
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x) {
            const unsigned char* p = &pixels.rgb[3 * (static_cast<size_t>(y) * pixels.width + x)];
            if (p[0] + p[1] + p[2] > 24) box.add(x, y);
        }
    return box;
}

// The hub once the clock has settled at its place: the same box in two pictures a moment apart (the
// very first frame draws the clock a little nearer, and a picture read while bands are being put may
// hold parts of two frames).
Box waitForHub(const std::string& display, unsigned long window)
{
    Box previous, hub;
    for (int i = 0; i < 150; ++i) {
        pause(0.2);
        previous = hub;
        hub = hubPixels(readWindow(display, window));
        if (hub.count > 500 && hub.minX == previous.minX && hub.maxX == previous.maxX && hub.minY == previous.minY &&
            hub.maxY == previous.maxY)
            break;
    }
    return hub;
}

void expectRound(const Box& hub, const std::string& where)
{
    ASSERT_GT(hub.count, 500) << where << ": no centre sphere";
    const double ratio = static_cast<double>(hub.width()) / hub.height();
    EXPECT_NEAR(ratio, 1.0, 0.02) << where << ": sphere " << hub.width() << " x " << hub.height();
}

struct Saver {
    pid_t pid = -1;
    ~Saver() { stop(); }
    int stop()
    {
        if (pid <= 0) return -1;
        kill(pid, SIGTERM);
        int status = waitExit(pid, 20);
        pid = -1;
        return status;
    }
};

TEST(ScreenShape, StandaloneTheSphereIsRoundAndAPageOfAnotherShapeKeepsItBetweenBlackBars)
{
    for (const Shape& shape : kShapes) {
        XServer server;
        if (!server.startXvfb(std::to_string(shape.width) + "x" + std::to_string(shape.height) + "x24"))
            GTEST_SKIP() << "Xvfb is not installed";
        WindowsDir windows;
        // 1600 x 1200 shows pixel for pixel, between bars where the screen is wider; 1280 x 960 on the
        // 5:4 screen is scaled up, between bars above and below.
        const bool narrow = shape.width < 1600;
        writeRecord(windows, sphereSettings(narrow ? kMode1280x960x32 : kMode1600x1200x32));
        auto env = windows.environment(server.display);
        env["TOCKWHEEL_TIME"] = kNoon;
        Saver saver;
        saver.pid = spawnProgram(TOCKWHEEL_PROGRAM, {"/s"}, env, windows.dir.file("err.txt"));
        ASSERT_GT(saver.pid, 0);
        const Box hub = waitForHub(server.display, 0);
        expectRound(hub, std::string("screen ") + shape.name);
        // The hub sits at the centre of the screen, and nothing is drawn on the bars.
        EXPECT_NEAR((hub.minX + hub.maxX) / 2.0, shape.width / 2.0, 3) << shape.name;
        EXPECT_NEAR((hub.minY + hub.maxY) / 2.0, shape.height / 2.0, 3) << shape.name;
        const Pixels screen = readWindow(server.display, 0);
        const int shownWidth = narrow ? shape.width : 1600;
        const int shownHeight = narrow ? shape.width * 960 / 1280 : 1200;
        const int barX = (shape.width - shownWidth) / 2, barY = (shape.height - shownHeight) / 2;
        if (barX > 0) {
            EXPECT_EQ(screen.litIn(0, 0, barX, shape.height), 0) << shape.name;
            EXPECT_EQ(screen.litIn(shape.width - barX, 0, barX, shape.height), 0) << shape.name;
        }
        if (barY > 0) {
            EXPECT_EQ(screen.litIn(0, 0, shape.width, barY), 0) << shape.name;
            EXPECT_EQ(screen.litIn(0, shape.height - barY, shape.width, barY), 0) << shape.name;
        }
        EXPECT_EQ(saver.stop(), 0) << readFile(windows.dir.file("err.txt"));
    }
}

std::string hexId(unsigned long window)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", window);
    return text;
}

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
};

TEST(ScreenShape, InAHostWindowTheSceneTakesTheWindowsShapeAndTheSphereIsRound)
{
    XServer server;
    if (!server.startXvfb("2800x1200x24")) GTEST_SKIP() << "Xvfb is not installed";
    for (const Shape& shape : kShapes) {
        WindowsDir windows;
        writeRecord(windows, sphereSettings(kMode1600x1200x32));
        HostWindow host(server.display, shape.width, shape.height);
        ASSERT_NE(host.window, 0ul);
        auto env = windows.environment(server.display);
        env["XSCREENSAVER_WINDOW"] = hexId(host.window);
        env["TOCKWHEEL_TIME"] = kNoon;
        Saver saver;
        saver.pid = spawnProgram(TOCKWHEEL_PROGRAM, {"/s", "-root"}, env, windows.dir.file("err.txt"));
        ASSERT_GT(saver.pid, 0);
        const Box hub = waitForHub(server.display, host.window);
        expectRound(hub, std::string("host window ") + shape.name);
        EXPECT_NEAR((hub.minX + hub.maxX) / 2.0, shape.width / 2.0, 3) << shape.name;
        EXPECT_NEAR((hub.minY + hub.maxY) / 2.0, shape.height / 2.0, 3) << shape.name;
        EXPECT_EQ(saver.stop(), 0) << readFile(windows.dir.file("err.txt"));
    }
}

// The defaults (640 x 480) in a wide host window: the page takes the window's shape, so the stars
// reach every edge of it.
TEST(ScreenShape, TheStarFieldCoversTheWholeHostWindow)
{
    XServer server;
    if (!server.startXvfb("1920x1080x24")) GTEST_SKIP() << "Xvfb is not installed";
    WindowsDir windows;
    HostWindow host(server.display, 1920, 1080);
    ASSERT_NE(host.window, 0ul);
    auto env = windows.environment(server.display);
    env["XSCREENSAVER_WINDOW"] = hexId(host.window);
    Saver saver;
    saver.pid = spawnProgram(TOCKWHEEL_PROGRAM, {"/s"}, env, windows.dir.file("err.txt"));
    ASSERT_GT(saver.pid, 0);
    Box lit;
    for (int i = 0; i < 150 && lit.count < 2000; ++i) {
        pause(0.1);
        lit = litPixels(readWindow(server.display, host.window));
    }
    // 700 stars over the page; each strip of a tenth of the window along every edge holds some.
    const Pixels picture = readWindow(server.display, host.window);
    EXPECT_GT(picture.litIn(0, 0, 192, 1080), 10);
    EXPECT_GT(picture.litIn(1920 - 192, 0, 192, 1080), 10);
    EXPECT_GT(picture.litIn(0, 0, 1920, 108), 10);
    EXPECT_GT(picture.litIn(0, 1080 - 108, 1920, 108), 10);
    EXPECT_EQ(saver.stop(), 0) << readFile(windows.dir.file("err.txt"));
}

// With no window manager nobody passes the focus on: the saver gives it back to the window that had
// it, or to PointerRoot when that was where it was.
TEST(ScreenShape, TheFocusGoesBackWhereItWasWhenTheSaverEnds)
{
    XServer server;
    if (!server.startXvfb()) GTEST_SKIP() << "Xvfb is not installed";
    HostWindow editor(server.display, 300, 200);   // a client's ordinary window, not handed to anyone
    ASSERT_NE(editor.window, 0ul);
    for (bool toWindow : {true, false}) {
        if (toWindow) XSetInputFocus(editor.x, editor.window, RevertToParent, CurrentTime);
        else XSetInputFocus(editor.x, PointerRoot, RevertToPointerRoot, CurrentTime);
        XSync(editor.x, False);
        WindowsDir windows;
        windows.writeSettings();
        Saver saver;
        saver.pid = spawnProgram(TOCKWHEEL_PROGRAM, {"/s"}, windows.environment(server.display),
                                 windows.dir.file("err.txt"));
        ASSERT_GT(saver.pid, 0);
        // Running: its full-screen window has the focus.
        Window focus = 0;
        int revert = 0;
        for (int i = 0; i < 100; ++i) {
            pause(0.1);
            XGetInputFocus(editor.x, &focus, &revert);
            if (focus != editor.window && focus != PointerRoot && saverWindow(server.display) != 0) break;
        }
        EXPECT_EQ(saver.stop(), 0) << readFile(windows.dir.file("err.txt"));
        XGetInputFocus(editor.x, &focus, &revert);
        EXPECT_EQ(focus, toWindow ? editor.window : static_cast<Window>(PointerRoot)) << "focus 0x" << std::hex << focus;
    }
}

}  // namespace
