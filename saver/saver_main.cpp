// saver/saver_main.cpp -- start-up in its fixed order: settings, run mode, data files, framework, mode,
// scene, main loop, shut-down.
#include "saver/saver_main.h"

#include <cstdint>

#include "config/config_dialog.h"
#include "config/settings.h"
#include "platform/calendar.h"
#include "platform/command_line.h"
#include "platform/dialog/dialog.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "platform/dialog/message_box.h"
#include "platform/secret_memory.h"
#include "platform/windows_dir.h"
#include "resources/dialog_templates.h"
#include "saver/frame_loop.h"
#include "saver/input.h"
#include "saver/run_mode.h"
#include "saver/scene_setup.h"

display::Framework* framework = nullptr;
display::DriverOptions driverOptions = {};

namespace {

constexpr int kWindowsDirCapacity = 256;
constexpr const char* kWindowTitle = "Tockwheel 3D clock screen saver";
constexpr int kSaverPages = 3;

void runConfiguration()
{
    platform::dialogBoxParam(resources::findDialogTemplate("DIALOG_1"), nullptr, ConfigDialog, 0);
}

// Both prompt bitmaps are required although only one is shown, chosen later by the screen size.
bool passwordBitmapsPresent()
{
    if (!display::bitmapExists("Orvask\\pass.pag")) {
        platform::messageBox(nullptr, "Fatal Error: Unable to find file pass.pag.", "Error", platform::kMbIconError);
        return false;
    }
    if (!display::bitmapExists("Orvask\\pass2x.pag")) {
        platform::messageBox(nullptr, "Fatal Error: Unable to find file pass2x.pag.", "Error",
                             platform::kMbIconError);
        return false;
    }
    return true;
}

[[noreturn]] void failWithLastError() { display::fatalError(display::errorMessage(display::lastError())); }

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

int runSaver()
{
    // A box would open under the host's window, where no one sees it and the run waits for ever: under
    // a host a refused start and a fatal error are told on stderr and end the program at once.
    if (display::runsForHost()) platform::answerWithoutWindows();
    if (Settings.passwordEnabled == 1 && !passwordBitmapsPresent()) return 0;

    display::timerInit();
    display::timerOn();
    handOverDriverOptions();
    display::takeOverSystemPalette(true);
    framework = display::initFramework(kWindowTitle);
    if (!framework) failWithLastError();
    installHooks();

    // In the saver run colorDepth holds bits per pixel. An unknown mode number leaves all three as they were.
    display::modeResolution(Settings.videoMode, &Settings.screenWidth, &Settings.screenHeight, &Settings.colorDepth);
    display::ModeInfo modeInfo{};
    if (!display::findMode(Settings.screenWidth, Settings.screenHeight, Settings.colorDepth, &modeInfo))
        failWithLastError();
    // A password guards the desktop only if no key combination can switch away from the saver; asked
    // before the mode is set, so that the windows are made for holding the screen.
    if (Settings.passwordEnabled == 1) display::setInputGrab(true);
    if (!display::setMode(modeInfo, false, kSaverPages, false)) failWithLastError();
    // Under a screen-saver host the page is the host's window, not the mode: the scene and the stars
    // fill what is really there.
    display::pageSize(&Settings.screenWidth, &Settings.screenHeight);

    setUpScene();
    display::runMainLoop();

    if (Settings.passwordEnabled == 1) display::unloadBitmap(passwordBitmap);
    display::showCursor();
    display::timerOff();
    return 0;
}

// Before the settings, which hold the password, are read; the configuration run reads new ones too.
void keepPasswordsInProcess()
{
    platform::protectProcessMemory();
    platform::lockInMemory(&Settings, sizeof Settings);
    platform::lockInMemory(prompt.typedPassword, sizeof prompt.typedPassword);
}

}  // namespace

int saverMain()
{
    keepPasswordsInProcess();
    platform::srand(static_cast<uint32_t>(platform::currentTime()));

    char windowsDir[kWindowsDirCapacity];
    platform::getWindowsDirectory(windowsDir, sizeof windowsDir);
    if (!platform::setCurrentDirectory(windowsDir)) platform::noteMissingWindowsDirectory(windowsDir);

    resetSettings();
    loadSettings(kSettingsPath);

    RunChoice choice = chooseRunMode(findArgument(platform::commandLine()));
    if (choice.mode == RunMode::Configuration) {
        runConfiguration();
        return choice.configurationExitCode;
    }
    return runSaver();
}
