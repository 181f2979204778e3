// setup/setup_windows.h -- the installer's windows: backdrop, install-path dialog, progress dialog, idle step.
#pragma once

#include "platform/dialog/dialog.h"
#include "resources/control_ids.h"

namespace setup {

// Program-wide window state of the installer.
struct SetupWindows {
    platform::Window* setupWindow = nullptr;      // the empty maximised backdrop
    platform::Window* progressDialog = nullptr;   // owner of the engine's message boxes; null once closed
    int exitStatus = 0;                           // the status the message loop ends with
    bool loadAttempted = false;                   // the progress dialog was initialised and ran Load
    bool loadFailed = false;                      // Load reported its failure and closed the dialog
};

extern SetupWindows setupWindows;

using resources::path_ids::kEditWindowsDirectory;
using resources::progress_ids::kFieldDestination;
using resources::progress_ids::kFieldSource;
using resources::progress_ids::kFrameProgressBar;
constexpr int kProgressBarX = 8;             // pixels in the progress dialog's client area
constexpr int kProgressBarY = 82;

intptr_t setupWindowProc(platform::Window* window, unsigned message, uintptr_t wParam, intptr_t lParam);
intptr_t pathDialogProc(platform::Window* dialog, unsigned message, uintptr_t wParam, intptr_t lParam);
intptr_t progressDialogProc(platform::Window* dialog, unsigned message, uintptr_t wParam, intptr_t lParam);

// The message loop's idle branch: one copy step, or the completion. False when there is nothing to do.
bool installerIdle();

// Repaints the progress bar into the progress dialog (after each slice and on paint).
void paintProgressBar();

// Lets the engine create the Windows directory, with its parents, once the script has loaded, when the
// confirmed one is the default: on a fresh Linux account it does not exist yet. A typed path is used as typed.
void markDefaultWindowsDirectory();

// The abort question; true when the user answered Yes.
bool confirmAbort(platform::Window* owner);

}  // namespace setup
