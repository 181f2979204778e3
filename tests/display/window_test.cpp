// tests/display/window_test.cpp -- the window back end on a real X server: Xvfb started here, input
// from xdotool. Skipped where Xvfb is not installed.
#include "tests/display/display_test_support.h"
#include "display/window/sdl_window.h"
#include "tests/support/x_screen.h"
#include "tests/support/program_run.h"
#include "tests/support/xvfb.h"

#include <GL/gl.h>
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

namespace {

// One Xvfb for this process, ended when the process ends.
PrivateXvfb gServer;

bool startWindowSystem()
{
    static const bool started = [] {
        if (!onPath("Xvfb")) return false;
        unsetenv("TOCKWHEEL_EVENTS");
        unsetenv("TOCKWHEEL_SNAPSHOT");
        setenv("TOCKWHEEL_DISPLAY", "window", 1);
        setenv("TOCKWHEEL_PASSES", "1200", 1);   // 20 seconds at 60 Hz: no test hangs
        if (!gServer.start()) return false;
        setenv("DISPLAY", gServer.display.c_str(), 1);
        return true;
    }();
    return started;
}

#define REQUIRE_X_SERVER()                                                     \
    if (!startWindowSystem()) GTEST_SKIP() << "Xvfb is not installed here or did not start"; \
    ASSERT_STREQ(display::activeBackend()->name, "window")

bool openWindowMode(int xRes, int yRes, int bits)
{
    displaytest::clearHooks();
    if (!display::initFramework("Tockwheel window test")) return false;
    display::setDriverOptions(displaytest::allDrivers());
    display::ModeInfo mode;
    if (!display::findMode(xRes, yRes, bits, &mode)) return false;
    return display::setMode(mode, false, 3, false) && display::startOpenGL(display::kGlDoubleBuffer | display::kGlDepthBuffer);
}

struct Received {
    std::vector<int> keys;
    std::vector<std::pair<int, int>> moves;
    int passes = 0;
    pid_t helper = -1;
};
Received gReceived;

void swapPage()
{
    display::swapBuffers(true);
}

TEST(WindowBackend, DirectDrawModeIsAFullScreenWindowAtTheModeSize)
{
    REQUIRE_X_SERVER();
    ASSERT_TRUE(openWindowMode(1024, 768, 32)) << display::errorMessage(display::lastError());
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN);
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    display::restoreDesktop();
    EXPECT_EQ(SDL_GL_GetCurrentWindow(), nullptr);
}

TEST(WindowBackend, FullScreenDibStretchesASmallerPageOverTheDesktop)
{
    REQUIRE_X_SERVER();
    display::clearDriverTable();
    display::addDisplayDrivers(false, false, false, false, false, false, false, true);
    display::detectGraph(-1, -1);
    EXPECT_STREQ(display::modeDriverName(49), "FDIB16.DRV");
    display::DriverOptions fdibOnly = {0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0x0F};
    ASSERT_NE(display::initFramework("Tockwheel window test"), nullptr);
    display::setDriverOptions(fdibOnly);
    display::ModeInfo mode;
    ASSERT_TRUE(display::findMode(640, 480, 16, &mode));
    ASSERT_TRUE(display::setMode(mode, false, 3, false));
    ASSERT_TRUE(display::startOpenGL(display::kGlDoubleBuffer));
    // The page is shown through shared memory: the full-screen window has no OpenGL, the context lives on
    // a hidden window of one pixel.
    SDL_Window* window = display::gSdl.window;
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(display::gSdl.hiddenContext);
    EXPECT_NE(SDL_GL_GetCurrentWindow(), window);
    EXPECT_EQ(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP, SDL_WINDOW_FULLSCREEN_DESKTOP);
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    EXPECT_EQ(w, 1024);
    // Without a window manager SDL's idea of the size is not enough: the X window itself must cover the
    // screen, or the stretched page shows only its corner.
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_TRUE(SDL_GetWindowWMInfo(window, &info));
    XWindowAttributes attributes;
    XSync(info.info.x11.display, False);
    ASSERT_TRUE(XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes));
    EXPECT_EQ(attributes.width, 1024);
    EXPECT_EQ(attributes.height, 768);
    EXPECT_EQ(display::gFramework.screen.mode.xRes, 640) << "the page keeps the mode's size";
    display::restoreDesktop();
}

void keyDown(const display::Event& event)
{
    gReceived.keys.push_back(static_cast<int>(event.message & 0xFF));
    if ((event.message & 0xFF) == 13) display::requestExit();
}

void typeAfterFivePasses()
{
    if (++gReceived.passes == 5) gReceived.helper = spawnQuietly({"xdotool", "key", "a", "shift+b", "BackSpace", "Escape", "Return"});
}

TEST(WindowBackend, KeysArriveAsCharactersAndEndTheLoop)
{
    REQUIRE_X_SERVER();
    if (!onPath("xdotool")) GTEST_SKIP() << "xdotool is not installed here";
    gReceived = Received();
    ASSERT_TRUE(openWindowMode(1024, 768, 32));
    display::setKeyDownHook(keyDown);
    display::setGameLogicHook(typeAfterFivePasses);
    display::setDrawHook(swapPage);
    display::runMainLoop();
    if (gReceived.helper > 0) waitpid(gReceived.helper, nullptr, 0);
    // Shift is a key of its own, with no character; like every key it would wake the saver.
    EXPECT_EQ(gReceived.keys, (std::vector<int>{'a', 0, 'B', 8, 27, 13}));
}

void mouseMove(const display::Event& event)
{
    gReceived.moves.push_back({event.x, event.y});
    display::requestExit();
}

TEST(WindowBackend, FirstMouseMoveArrivesWhenTheWindowAppears)
{
    REQUIRE_X_SERVER();
    gReceived = Received();
    ASSERT_TRUE(openWindowMode(1024, 768, 32));
    display::setMouseMoveHook(mouseMove);
    display::setDrawHook(swapPage);
    display::runMainLoop();
    ASSERT_EQ(gReceived.moves.size(), 1u);
    EXPECT_GE(gReceived.moves[0].first, 0);
    EXPECT_LT(gReceived.moves[0].first, 1024);
}

int gSwaps = 0;
void countSwaps()
{
    display::swapBuffers(true);
    if (++gSwaps == 30) display::requestExit();
}

TEST(WindowBackend, RetraceWaitIsPacedWhereTheSwapIntervalIsRefused)
{
    REQUIRE_X_SERVER();
    ASSERT_TRUE(openWindowMode(1024, 768, 32));
    gSwaps = 0;
    display::setDrawHook(countSwaps);
    auto start = std::chrono::steady_clock::now();
    display::runMainLoop();
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(seconds, 29 / 60.0 * 0.9) << "30 flips at 60 Hz";
    EXPECT_LT(seconds, 5.0);
}

// A blue page with a red band 100 x 50 in its top left corner, presented.
void presentBandedPage()
{
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, display::gFramework.screen.mode.yRes - 50, 100, 50);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    display::swapBuffers(false);
}

bool redAt(const std::vector<uint8_t>& rgba, int width, int x, int y)
{
    const uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
    return p[0] == 255 && p[1] == 0 && p[2] == 0;
}

bool redOnScreen(const ScreenPixels& screen, int x, int y)
{
    const unsigned char* p = &screen.rgb[(static_cast<size_t>(y) * screen.width + x) * 3];
    return p[0] == 255 && p[1] == 0 && p[2] == 0;
}

// A Full screen DIB mode (the only family enabled) at 640 x 480, full screen or in a window.
bool openFullScreenDib(int bits, bool windowed, unsigned glFlags)
{
    const display::DriverOptions fdibOnly = {0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0x0F};
    if (!display::initFramework("Tockwheel window test")) return false;
    display::setDriverOptions(fdibOnly);
    display::ModeInfo mode;
    return display::findMode(640, 480, bits, &mode) && display::setMode(mode, windowed, 1, false) &&
           display::startOpenGL(glFlags);
}

// Drawn on screen, the page costs no copy to present; what the screen shows and the depth test must not
// change for it. Only a run that takes snapshots keeps it off screen, where it can be read back.
TEST(WindowBackend, FullPrecisionPageTheSizeOfTheWindowIsDrawnOnScreen)
{
    REQUIRE_X_SERVER();
    ASSERT_TRUE(openWindowMode(1024, 768, 32));
    EXPECT_TRUE(display::pagesOnScreen());
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);
    presentBandedPage();
    ScreenPixels screen = readScreen(gServer.display);
    ASSERT_EQ(screen.width, 1024);
    EXPECT_TRUE(redOnScreen(screen, 99, 49));
    EXPECT_FALSE(redOnScreen(screen, 100, 49));
    EXPECT_FALSE(redOnScreen(screen, 99, 50));
    display::restoreDesktop();

    setenv("TOCKWHEEL_SNAPSHOT", "unused.png", 1);
    bool opened = openWindowMode(1024, 768, 32);
    bool onScreen = display::pagesOnScreen();
    presentBandedPage();
    std::vector<uint8_t> rgba;
    int width = 0, height = 0;
    bool read = display::readPresentedPage(&rgba, &width, &height);
    unsetenv("TOCKWHEEL_SNAPSHOT");
    ASSERT_TRUE(opened);
    EXPECT_FALSE(onScreen);
    ASSERT_TRUE(read);
    ASSERT_EQ(width, 1024);
    EXPECT_TRUE(redAt(rgba, width, 99, 49));
    EXPECT_FALSE(redAt(rgba, width, 100, 49));
    screen = readScreen(gServer.display);
    EXPECT_TRUE(redOnScreen(screen, 99, 49));
    display::restoreDesktop();
}

TEST(WindowBackend, StretchedOrReducedPagesStayOffScreen)
{
    REQUIRE_X_SERVER();
    ASSERT_TRUE(openWindowMode(1024, 768, 16));
    EXPECT_FALSE(display::pagesOnScreen()) << "a 16-bit page is reduced before it is shown";
    const unsigned page = display::pageColourTexture();
    presentBandedPage();
    presentBandedPage();
    EXPECT_EQ(display::pageColourTexture(), page) << "the page is kept from one present to the next";
    display::restoreDesktop();

    ASSERT_TRUE(openFullScreenDib(32, false, display::kGlDoubleBuffer | display::kGlDepthBuffer));
    EXPECT_FALSE(display::pagesOnScreen()) << "a 640 x 480 page is stretched over the desktop";
    presentBandedPage();
    ScreenPixels screen = readScreen(gServer.display);
    ASSERT_EQ(screen.width, 1024);
    EXPECT_TRUE(redOnScreen(screen, 150, 70)) << "the band is stretched by 1.6";
    EXPECT_FALSE(redOnScreen(screen, 170, 90));
    display::restoreDesktop();
}

bool colourOnScreen(const ScreenPixels& screen, int x, int y, uint32_t rgb)
{
    const unsigned char* p = &screen.rgb[(static_cast<size_t>(y) * screen.width + x) * 3];
    return (uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]) == rgb;
}

// One page pixel of a 16-bit 640 x 480 page stretched over the 1024 x 768 screen: a block of the
// window pixels whose centres fall on it, in its 5-6-5 colour, its neighbours untouched (nearest, not
// blended).
TEST(WindowBackend, AStretchedPagePixelIsABlockOfItsReducedColour)
{
    REQUIRE_X_SERVER();
    ASSERT_TRUE(openFullScreenDib(16, false, display::kGlDoubleBuffer | display::kGlDepthBuffer));
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    display::setColorRGB(100, 100, 100);
    display::fillRectAround(320, 240, 0, 0);
    display::swapBuffers(false);
    ScreenPixels screen = readScreen(gServer.display);
    ASSERT_EQ(screen.width, 1024);
    // Page column 320 lies under window columns 512 and 513 (x + 0.5 times 640 / 1024), row 240 under
    // window rows 384 and 385.
    constexpr uint32_t k565Grey = 0x636563, kBlue = 0x0000FF;
    for (int y : {384, 385})
        for (int x : {512, 513}) EXPECT_TRUE(colourOnScreen(screen, x, y, k565Grey)) << x << "," << y;
    EXPECT_TRUE(colourOnScreen(screen, 511, 384, kBlue));
    EXPECT_TRUE(colourOnScreen(screen, 514, 385, kBlue));
    EXPECT_TRUE(colourOnScreen(screen, 512, 383, kBlue));
    EXPECT_TRUE(colourOnScreen(screen, 513, 386, kBlue));
    display::restoreDesktop();
}

// A window manager may resize the window under a page drawn on screen: the page then moves off screen
// and is stretched, and comes back when the sizes match again.
TEST(WindowBackend, PageLeavesTheScreenWhileTheWindowDoesNotMatchIt)
{
    REQUIRE_X_SERVER();
    ASSERT_TRUE(openFullScreenDib(32, true, display::kGlDoubleBuffer | display::kGlDepthBuffer));
    EXPECT_TRUE(display::pagesOnScreen());
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    ASSERT_NE(window, nullptr);
    SDL_SetWindowSize(window, 800, 600);
    presentBandedPage();
    EXPECT_FALSE(display::pagesOnScreen());
    EXPECT_EQ(display::gFramework.screen.mode.xRes, 640) << "the page keeps its size";
    SDL_SetWindowSize(window, 640, 480);
    presentBandedPage();
    EXPECT_TRUE(display::pagesOnScreen());
    display::restoreDesktop();
}

}  // namespace
