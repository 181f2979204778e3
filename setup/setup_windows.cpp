// setup/setup_windows.cpp -- the window and dialog procedures of the installer and its idle step.
#include "setup/setup_windows.h"

#include <string>

#include "platform/paths.h"
#include "platform/windows_dir.h"
#include "setup/copy_engine.h"
#include "setup/messages.h"

namespace setup {

SetupWindows setupWindows;

namespace {

constexpr int kWindowsDirectoryBytes = 256;

void showLabels(const char* source, const char* destination)
{
    platform::setDlgItemText(setupWindows.progressDialog, kFieldSource, platform::textFromPath(source).c_str());
    platform::setDlgItemText(setupWindows.progressDialog, kFieldDestination,
                             platform::textFromPath(destination).c_str());
}

void closeProgressDialog()
{
    platform::Window* dialog = setupWindows.progressDialog;
    setupWindows.progressDialog = nullptr;
    copyEngine.hooks.owner = nullptr;
    if (dialog) platform::destroyWindow(dialog);
}

// The user confirmed the abort: nothing further is opened or written; the backdrop waits to be closed.
void abortProgress()
{
    stopCopying(copyEngine);
    closeProgressDialog();
}

void finishInstall()
{
    platform::messageBox(setupWindows.progressDialog, kFinishedMessage, kFinishedCaption,
                         platform::kMbOk | platform::kMbIconExclamation);
    copyEngine.copyEnabled = false;
    platform::messageBox(setupWindows.progressDialog, kInformationMessage, kInformationCaption,
                         platform::kMbOk | platform::kMbIconInformation);
    platform::sendMessage(setupWindows.setupWindow, platform::kWmClose, 0, 0);
}

intptr_t pathCommand(platform::Window* dialog, unsigned id)
{
    if (id == platform::kIdOk) {
        char buffer[kWindowsDirectoryBytes];
        platform::getDlgItemText(dialog, kEditWindowsDirectory, buffer, sizeof buffer);
        // Used unchecked: a wrong path fails later, as a path (one the system cannot name is empty).
        copyEngine.windowsDirectory = platform::pathFromText(buffer);
        platform::endDialog(dialog, platform::kIdOk);
        return 1;
    }
    if (id == platform::kIdCancel) {
        copyEngine.done = confirmAbort(dialog);
        if (copyEngine.done) platform::endDialog(dialog, platform::kIdCancel);
        return 1;
    }
    return 0;
}

}  // namespace

void markDefaultWindowsDirectory()
{
    const std::string& path = copyEngine.windowsDirectory;
    copyEngine.createWindowsDirectory = !path.empty() && path == platform::windowsDirectory();
}

bool confirmAbort(platform::Window* owner)
{
    return platform::messageBox(owner, kAbortMessage, kAbortCaption, platform::kMbYesNo | platform::kMbIconQuestion) ==
           platform::kIdYes;
}

intptr_t setupWindowProc(platform::Window* window, unsigned message, uintptr_t, intptr_t)
{
    switch (message) {
    case platform::kWmClose:
        // Closing the backdrop ends the installer at any time, without the abort question.
        platform::destroyWindow(window);
        return 1;
    case platform::kWmDestroy:
        platform::postQuitMessage(0);
        return 1;
    default:
        return 0;
    }
}

intptr_t pathDialogProc(platform::Window* dialog, unsigned message, uintptr_t wParam, intptr_t)
{
    switch (message) {
    case platform::kWmInitDialog: {
        char buffer[kWindowsDirectoryBytes];
        // A path the buffer cannot hold is not offered cut, which would name another folder: the field
        // stays empty, and an empty path is refused like any unusable one.
        if (platform::getWindowsDirectory(buffer, sizeof buffer) >= sizeof buffer) buffer[0] = '\0';
        copyEngine.windowsDirectory = buffer;
        platform::setDlgItemText(dialog, kEditWindowsDirectory, platform::textFromPath(buffer).c_str());
        return 0;   // no control gets the focus
    }
    case platform::kWmCommand:
        return pathCommand(dialog, platform::loWord(wParam));
    default:
        return 0;
    }
}

intptr_t progressDialogProc(platform::Window* dialog, unsigned message, uintptr_t wParam, intptr_t lParam)
{
    switch (message) {
    case platform::kWmInitDialog:
        setupWindows.progressDialog = dialog;
        setupWindows.loadAttempted = true;
        copyEngine.hooks.owner = dialog;
        copyEngine.hooks.showLabels = showLabels;
        copyEngine.hooks.repaintProgress = paintProgressBar;
        markDefaultWindowsDirectory();
        if (!loadInstall(copyEngine, reinterpret_cast<const char*>(lParam))) {
            setupWindows.loadFailed = true;
            closeProgressDialog();
        }
        return 0;
    case platform::kWmPaint:
        paintProgressBar();
        return 0;   // the dialog's own painting goes on
    case platform::kWmClose:
        if (copyEngine.done || confirmAbort(dialog)) abortProgress();
        return 1;
    case platform::kWmCommand:
        if (platform::loWord(wParam) == platform::kIdCancel && confirmAbort(dialog)) abortProgress();
        return 1;
    default:
        return 0;
    }
}

bool installerIdle()
{
    if (!copyEngine.copyEnabled) return false;
    if (copyStep(copyEngine) == StepResult::MustEnd) {
        closeProgressDialog();
        setupWindows.exitStatus = 1;
        platform::postQuitMessage(1);
        return true;
    }
    if (copyEngine.done) finishInstall();
    return true;
}

}  // namespace setup
