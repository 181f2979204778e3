// setup/setup_main.cpp -- the installer's start-up: backdrop, notice, install path, progress dialog, loop.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/dialog/dialog.h"
#include "platform/dialog/message_box.h"
#include "platform/os_version.h"
#include "platform/stop_signals.h"
#include "platform/windows_dir.h"
#include "resources/dialog_templates.h"
#include "setup/copy_engine.h"
#include "setup/install_disk.h"
#include "setup/messages.h"
#include "setup/setup_windows.h"

namespace {

constexpr char kSetupWindowTitle[] = "Halvorne Setup";
constexpr int kAbortStatus = 1;

// With no one to show windows to (no display, no script) the install runs as the dialogs would have
// run it with their defaults: the default Windows directory, every message on stderr.
int installWithoutWindows(const char* scriptName)
{
    setup::markDefaultWindowsDirectory();
    if (!setup::loadInstall(setup::copyEngine, scriptName)) return kAbortStatus;
    while (!setup::copyEngine.done) {
        if (platform::stopSignal()) platform::endForStopSignal();
        if (setup::copyStep(setup::copyEngine) == setup::StepResult::MustEnd) return kAbortStatus;
    }
    platform::messageBox(nullptr, setup::kFinishedMessage, setup::kFinishedCaption,
                         platform::kMbOk | platform::kMbIconExclamation);
    platform::messageBox(nullptr, setup::kInformationMessage, setup::kInformationCaption,
                         platform::kMbOk | platform::kMbIconInformation);
    return 0;
}

constexpr const char* kSetupUsage =
    "Usage: tockwheel-setup\n"
    "       tockwheel-setup --help | --version\n"
    "\n"
    "Installs the Tockwheel screen saver from its distribution disk, the current directory, as its\n"
    "install script setup.xdt directs: a notice, the Windows directory to install into, then the\n"
    "files with a progress bar. Installed products are recorded in orvask/install.log. Started\n"
    "where no setup.xdt is, it installs from the disk installed with it (../share/tockwheel/disk\n"
    "beside its bin/ folder).\n"
    "\n"
    "Environment:\n"
    "  WINDIR            the Windows directory offered (default ${XDG_DATA_HOME:-~/.local/share}/tockwheel)\n"
    "  TOCKWHEEL_UI      script:FILE answers the dialogs, stderr sends them to stderr\n"
    "  TOCKWHEEL_UI_LOG  the file every message box is logged to\n"
    "\n"
    "See tockwheel-setup(1).\n";

// The installer takes no arguments; these two are answered without a window, as a Linux user expects,
// and every other argument is ignored as before.
bool answeredInformation(int argc, char** argv, int* status)
{
    if (argc < 2) return false;
    if (std::strcmp(argv[1], "--version") == 0) std::printf("tockwheel-setup %s\n", TOCKWHEEL_VERSION);
    else if (std::strcmp(argv[1], "--help") == 0) std::fputs(kSetupUsage, stdout);
    else return false;
    *status = std::fflush(stdout) == 0 ? 0 : 1;
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace setup;
    int informationStatus = 0;
    if (answeredInformation(argc, argv, &informationStatus)) return informationStatus;
    removeTemporaryOnSignals();
    findInstallDisk(installScriptName(platform::getVersion()));
    platform::Rgb background = platform::getSysColor(platform::kColorAppWorkspace);
    setupWindows.setupWindow = platform::createAppWindow(kSetupWindowTitle, background, setupWindowProc);
    platform::messageBox(nullptr, kNoticeMessage, kNoticeCaption, platform::kMbOk | platform::kMbIconInformation);

    copyEngine.windowsDirectory = platform::windowsDirectory();
    platform::dialogBoxParam(&resources::kPathDialogTemplate, setupWindows.setupWindow, pathDialogProc, 0);
    if (copyEngine.done) return kAbortStatus;

    const char* scriptName = installScriptName(platform::getVersion());
    platform::Window* progress = platform::createDialogParam(&resources::kProgressDialogTemplate,
                                                             setupWindows.setupWindow, progressDialogProc,
                                                             reinterpret_cast<intptr_t>(scriptName));
    if (!progress && !setupWindows.loadAttempted) return installWithoutWindows(scriptName);
    int status = platform::runMessageLoop(installerIdle);
    // The setup window may be closed in the middle of a file: a file being replaced stays as it was.
    stopCopying(copyEngine);
    if (setupWindows.exitStatus != 0) return setupWindows.exitStatus;
    // With message boxes on stderr no one can see the backdrop, let alone close it, after a failed
    // load: the run ends as the failure it is.
    if (setupWindows.loadFailed && std::strcmp(platform::uiRealisation(), "stderr") == 0) return kAbortStatus;
    return status;
}
