// platform/dialog/stderr_ui.cpp -- the stderr realisation: no display and no script, so every box is written
// to stderr and every dialog takes its default button.
#include <cstdio>
#include <cstdlib>

#include "platform/dialog/message_box.h"
#include "platform/dialog/ui_backend.h"

namespace platform {
namespace {

int stderrMessageBox(Window*, const char* text, const char* caption, unsigned flags)
{
    const char* log = std::getenv("TOCKWHEEL_UI_LOG");
    int answer = (flags & 0x0F) == kMbYesNo || (flags & 0x0F) == kMbYesNoCancel ? kIdYes : kIdOk;
    if (log && *log) logLine(describeBox(caption, flags, text) + (answer == kIdYes ? " answer=yes" : " answer=ok") +
                             " by=default");
    return answer;
}

// The default button of a dialog is what Enter presses: the program goes on as if the user had accepted.
intptr_t stderrRunModal(Window* dialog)
{
    std::fprintf(stderr, "%s: no display and no UI script; pressing Enter\n", dialog->title.c_str());
    userKeyEnter(dialog);
    if (liveWindow(dialog) && !dialog->ended) {
        std::fprintf(stderr, "%s: the dialog did not end on Enter; giving up\n", dialog->title.c_str());
        return -1;
    }
    return dialog->result;
}

// Nothing can arrive from a user here, so the loop ends once the idle work is done.
int stderrMessageLoop(IdleStep idle)
{
    int code = 0;
    while (!quitPosted(&code)) {
        if (!idle || !idle()) return 0;
    }
    return code;
}

}  // namespace

UiBackend makeStderrUiBackend()
{
    UiBackend backend("stderr");
    backend.messageBox = stderrMessageBox;
    backend.runModal = stderrRunModal;
    backend.runMessageLoop = stderrMessageLoop;
    return backend;
}

}  // namespace platform
