// tests/win32/display_win32_test.cpp -- the Windows display back end under Wine: the preview request's
// forms, the DirectDraw modes as the display lists them with their depth, a mode change given back at
// the end, and window messages reaching the hooks (characters with the repeat flag, the mouse in page
// pixels, activation as suspend and resume). Needs an X display for Wine; skipped without one.
#include "display/win32/win32_window.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Wine without an X display has no window driver: no window can be made at all.
bool haveScreen()
{
    HWND probe = CreateWindowA("STATIC", "probe", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (!probe) return false;
    DestroyWindow(probe);
    return display::initFramework("Windows display test") != nullptr;
}

display::DriverOptions drivers(bool directDraw, bool fullScreenDib)
{
    return {0, directDraw, 0, 0, 0, 0, 0, fullScreenDib, 1, 0, 0x0F};
}

DEVMODEA currentMode()
{
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
    return mode;
}

bool displayLists(int width, int height, int bits)
{
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    for (DWORD i = 0; EnumDisplaySettingsA(nullptr, i, &mode); ++i)
        if (int(mode.dmPelsWidth) == width && int(mode.dmPelsHeight) == height && int(mode.dmBitsPerPel) == bits)
            return true;
    return false;
}

TEST(Win32Preview, TheWindowHandleIsReadFromEveryFormWindowsWrites)
{
    using display::parsePreviewRequest;
    const HWND h1234 = reinterpret_cast<HWND>(static_cast<uintptr_t>(1234));
    EXPECT_EQ(parsePreviewRequest("tockwheel.scr /p 1234"), h1234);
    EXPECT_EQ(parsePreviewRequest("\"C:\\Program Files\\Tock Wheel\\tockwheel.scr\" /p 1234"), h1234);
    EXPECT_EQ(parsePreviewRequest("C:\\WINDOWS\\TOCKWH~1.SCR /P:1234"), h1234);
    EXPECT_EQ(parsePreviewRequest("tockwheel.scr -p   1234  "), h1234);
    // Anything else is the configuration run's.
    EXPECT_EQ(parsePreviewRequest("tockwheel.scr /p"), nullptr);
    EXPECT_EQ(parsePreviewRequest("tockwheel.scr /p 0"), nullptr);
    EXPECT_EQ(parsePreviewRequest("tockwheel.scr /p 12ab"), nullptr);
    EXPECT_EQ(parsePreviewRequest("tockwheel.scr /p 1234 5"), nullptr);
    EXPECT_EQ(parsePreviewRequest("tockwheel.scr /p 99999999999999999999999"), nullptr);
    EXPECT_EQ(parsePreviewRequest("tockwheel.scr /c 1234"), nullptr);
    EXPECT_EQ(parsePreviewRequest("\"C:\\a b\\tockwheel.scr /p 1234"), nullptr) << "no closing quote";
    EXPECT_EQ(parsePreviewRequest(nullptr), nullptr);
}

TEST(Win32Display, DirectDrawOffersTheDisplaysModesAtTheirDepthAndFullScreenDibWhatFits)
{
    if (!haveScreen()) GTEST_SKIP() << "no display for Wine";
    display::setDriverOptions(drivers(true, false));
    ASSERT_GT(display::gFramework.modes.count, 0) << "the desktop's own mode at least";
    for (int i = 0; i < display::gFramework.modes.count; ++i) {
        const display::ModeInfo& mode = display::gFramework.modes.list[i];
        const int listedBits = mode.bitsPerPixel == 15 ? 16 : mode.bitsPerPixel;
        EXPECT_TRUE(displayLists(mode.xRes, mode.yRes, listedBits))
            << mode.xRes << "x" << mode.yRes << "x" << mode.bitsPerPixel;
        EXPECT_EQ(mode.pages, 3);
    }
    display::ModeInfo mode;
    const DEVMODEA desktop = currentMode();
    EXPECT_EQ(display::findMode(int(desktop.dmPelsWidth), int(desktop.dmPelsHeight), 24, &mode),
              displayLists(int(desktop.dmPelsWidth), int(desktop.dmPelsHeight), 24))
        << "a depth the display does not list is no DirectDraw mode";

    display::setDriverOptions(drivers(false, true));
    for (int i = 0; i < display::gFramework.modes.count; ++i) {
        EXPECT_LE(display::gFramework.modes.list[i].xRes, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_LE(display::gFramework.modes.list[i].yRes, GetSystemMetrics(SM_CYSCREEN));
        EXPECT_EQ(display::gFramework.modes.list[i].pages, 1);
    }
    EXPECT_TRUE(display::findMode(320, 200, 8, &mode)) << "every depth, reduced on the page";
}

// A standard mode the display lists besides the desktop's own (an Xvfb given more RandR modes has some):
// 800 x 600 where there is one.
bool otherListedMode(display::ModeInfo* out)
{
    if (display::findMode(800, 600, 32, out) && currentMode().dmPelsWidth != 800) return true;
    const DEVMODEA desktop = currentMode();
    for (int i = 0; i < display::gFramework.modes.count; ++i) {
        const display::ModeInfo& mode = display::gFramework.modes.list[i];
        const bool desktopSize = DWORD(mode.xRes) == desktop.dmPelsWidth && DWORD(mode.yRes) == desktop.dmPelsHeight;
        if (mode.bitsPerPixel == 32 && !desktopSize) {
            *out = mode;
            return true;
        }
    }
    return false;
}

TEST(Win32Display, ADirectDrawModeChangesTheDisplayUntilTheDesktopIsRestored)
{
    if (!haveScreen()) GTEST_SKIP() << "no display for Wine";
    display::setDriverOptions(drivers(true, false));
    display::ModeInfo mode;
    if (!otherListedMode(&mode)) GTEST_SKIP() << "the display lists no mode besides the desktop's";
    const DEVMODEA before = currentMode();
    ASSERT_TRUE(display::setMode(mode, false, 3, false));
    ASSERT_TRUE(display::startOpenGL(display::kGlDoubleBuffer | display::kGlDepthBuffer));
    EXPECT_EQ(int(currentMode().dmPelsWidth), mode.xRes);
    EXPECT_EQ(int(currentMode().dmPelsHeight), mode.yRes);
    // Switched away from, the desktop gets its own mode; back in front, the saver's again.
    SendMessageA(display::gWin.window, WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_EQ(currentMode().dmPelsWidth, before.dmPelsWidth);
    SendMessageA(display::gWin.window, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(int(currentMode().dmPelsWidth), mode.xRes);
    display::restoreDesktop();
    display::gFramework.loop.count = 0;   // the suspend and resume were for a loop that never ran
    EXPECT_EQ(currentMode().dmPelsWidth, before.dmPelsWidth);
    EXPECT_EQ(currentMode().dmPelsHeight, before.dmPelsHeight);
    EXPECT_EQ(display::gWin.window, nullptr);
}

std::vector<display::Event> gEvents;
std::vector<int> gSuspends;
int gPass = 0;

void record(const display::Event& event) { gEvents.push_back(event); }
int suspend(display::Framework*, int flag)
{
    gSuspends.push_back(flag);
    return 1;
}

// Messages go in at the first pass, as the system would queue them; the loop ends at the sixth.
void drawAndFeed()
{
    HWND window = display::gWin.window;
    if (++gPass == 1) {
        constexpr LPARAM kRepeatBit = LPARAM(1) << 30;
        PostMessageA(window, WM_KEYDOWN, 'A', 1);
        PostMessageA(window, WM_KEYDOWN, 'A', 1 | kRepeatBit);
        PostMessageA(window, WM_KEYUP, 'A', 1 | kRepeatBit | (LPARAM(1) << 31));
        PostMessageA(window, WM_KEYDOWN, VK_RETURN, 1);
        PostMessageA(window, WM_KEYDOWN, VK_LEFT, 1);
        const LPARAM middle = MAKELPARAM(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
        PostMessageA(window, WM_MOUSEMOVE, 0, middle);
    }
    if (gPass == 2) SendMessageA(window, WM_ACTIVATEAPP, FALSE, 0);
    if (gPass == 4) SendMessageA(window, WM_ACTIVATEAPP, TRUE, 0);
    if (gPass >= 6) display::requestExit();
    display::swapBuffers(false);
}

// The draw hook stops while the screen is taken away; the game logic keeps the passes counted then.
void logic()
{
    if (!display::gFramework.loop.active) drawAndFeed();
}

TEST(Win32Display, MessagesReachTheHooksAsCharactersMovesAndSuspends)
{
    if (!haveScreen()) GTEST_SKIP() << "no display for Wine";
    display::setDriverOptions(drivers(false, true));
    display::ModeInfo mode;
    ASSERT_TRUE(display::findMode(640, 480, 32, &mode));
    ASSERT_TRUE(display::setMode(mode, false, 3, false));
    ASSERT_TRUE(display::startOpenGL(display::kGlDoubleBuffer | display::kGlDepthBuffer));
    gEvents.clear();
    gSuspends.clear();
    gPass = 0;
    display::setKeyDownHook(record);
    display::setKeyRepeatHook(record);
    display::setKeyUpHook(record);
    display::setMouseMoveHook(record);
    display::setSuspendHook(suspend);
    display::setDrawHook(drawAndFeed);
    display::setGameLogicHook(logic);
    display::runMainLoop();
    display::setDrawHook(nullptr);
    display::setGameLogicHook(nullptr);

    std::vector<display::Event> keys, moves;
    for (const display::Event& event : gEvents)
        (event.type == display::kEventMouseMove ? moves : keys).push_back(event);
    ASSERT_EQ(keys.size(), 5u);
    EXPECT_EQ(keys[0].type, display::kEventKeyDown);
    EXPECT_EQ(keys[0].message, uint32_t('a'));
    EXPECT_EQ(keys[1].type, display::kEventKeyRepeat);
    EXPECT_EQ(keys[1].message, uint32_t('a'));
    EXPECT_EQ(keys[2].type, display::kEventKeyUp);
    EXPECT_EQ(keys[2].message, uint32_t('a'));
    EXPECT_EQ(keys[3].message, 13u) << "Enter";
    EXPECT_EQ(keys[4].message, 0u) << "a key without a character still wakes the saver";
    ASSERT_GE(moves.size(), 1u);
    // The page of 640 x 480 is stretched over the desktop: the middle of the screen is the page's.
    EXPECT_EQ(moves.back().x, 320);
    EXPECT_EQ(moves.back().y, 240);
    EXPECT_EQ(gSuspends, (std::vector<int>{display::kSuspendTakenAway, display::kSuspendGivenBack}));
    EXPECT_EQ(display::gWin.window, nullptr) << "the loop's end restores the desktop";
}

}  // namespace
