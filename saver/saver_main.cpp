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
#include "saver/saver_screen.h"
#include "saver/scene_setup.h"


namespace {

constexpr int kWindowsDirCapacity = 256;
constexpr const char* kWindowTitle = "Tockwheel 3D clock screen saver";

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

int runSaver()
{
    // A box would open under the host's window, where no one sees it and the run waits for ever: under
    // a host a refused start and a fatal error are told on stderr and end the program at once.
    if (display::runsForHost()) platform::answerWithoutWindows();
    if (Settings.passwordEnabled == 1 && !passwordBitmapsPresent()) return 0;

    if (!openSaverScreen(kWindowTitle)) failWithLastError();
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
    size_t length = platform::getWindowsDirectory(windowsDir, sizeof windowsDir);
    bool inWindowsDir = platform::enterWindowsDirectory(windowsDir, length, sizeof windowsDir);

    resetSettings();
    // Outside the Windows directory a relative path would read some other folder's settings.
    if (inWindowsDir) loadSettings(kSettingsPath);

    RunChoice choice = chooseRunMode(findArgument(platform::commandLine()));
    if (choice.mode == RunMode::Configuration && !display::previewRequested()) {
        runConfiguration();
        return choice.configurationExitCode;
    }
    return runSaver();
}
