// saver/saver_screen.cpp -- from the settings to a scene on the screen, ready for the main loop.
#include "saver/saver_screen.h"

#include "config/settings.h"
#include "saver/frame_loop.h"
#include "saver/input.h"
#include "saver/scene_setup.h"

display::Framework* framework = nullptr;
display::DriverOptions driverOptions = {};

namespace {

constexpr int kSaverPages = 3;

void handOverDriverOptions()
{
    driverOptions = driverOptionsFromSettings(Settings.driverEnabled);
    driverOptions.openGL = 1;
    driverOptions.reserved = 0;
    driverOptions.depthFilter = 0x0F;
    display::setDriverOptions(driverOptions);
}

void installHooks()
{
    display::setGameLogicHook(advanceFrame);
    display::setDrawHook(drawFrame);
    display::setKeyDownHook(handleKey);
    display::setMouseDownHook(handleMouseDown);
    display::setMouseMoveHook(handleMouseMove);
    display::setKeyRepeatHook(handleKey);
    display::setSuspendHook(handleSuspend);
}

}  // namespace

bool openSaverScreen(const char* title)
{
    display::timerInit();
    display::timerOn();
    handOverDriverOptions();
    display::takeOverSystemPalette(true);
    framework = display::initFramework(title);
    if (!framework) return false;
    installHooks();

    // In the saver run colorDepth holds bits per pixel. An unknown mode number leaves all three as they were.
    display::modeResolution(Settings.videoMode, &Settings.screenWidth, &Settings.screenHeight, &Settings.colorDepth);
    display::ModeInfo modeInfo{};
    if (!display::findMode(Settings.screenWidth, Settings.screenHeight, Settings.colorDepth, &modeInfo)) return false;
    // A password guards the desktop only if no key combination can switch away from the saver; asked
    // before the mode is set, so that the windows are made for holding the screen.
    if (Settings.passwordEnabled == 1) display::setInputGrab(true);
    if (!display::setMode(modeInfo, false, kSaverPages, false)) return false;
    // Under a screen-saver host the page is the host's window, not the mode: the scene and the stars
    // fill what is really there.
    display::pageSize(&Settings.screenWidth, &Settings.screenHeight);
    setUpScene();
    return true;
}
