// platform/dialog/message_box.h -- message boxes, and the choice of who answers them.
//
// Three realisations: FLTK windows where a display exists; the scripted realisation chosen with
// TOCKWHEEL_UI=script:FILE, which plays the script's lines as the user's answers and logs every box to
// TOCKWHEEL_UI_LOG (or stderr) as one line; and, with neither a display nor a script, the box written to
// stderr with its default button taken, so that nothing ever waits for an answer that cannot come.
// Dialogs from templates build on the same choice (platform/dialog/dialog.h).
#pragma once

namespace platform {

struct Window;   // an owner window (a dialog or an application window); null for no owner

// Buttons and icons, as the Windows message-box flags.
constexpr unsigned kMbOk = 0x00;
constexpr unsigned kMbOkCancel = 0x01;
constexpr unsigned kMbYesNoCancel = 0x03;
constexpr unsigned kMbYesNo = 0x04;
constexpr unsigned kMbIconError = 0x10;
constexpr unsigned kMbIconQuestion = 0x20;
constexpr unsigned kMbIconExclamation = 0x30;
constexpr unsigned kMbIconInformation = 0x40;

// Results, as the Windows command ids.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// Shows a modal message box and returns the button chosen. Its caption and text also go to stderr.
int messageBox(Window* owner, const char* text, const char* caption, unsigned flags);

// The realisation that answers: "script" (TOCKWHEEL_UI=script:FILE), "fltk" on X11 or "win32" on Windows
// (a display, or TOCKWHEEL_UI naming it), or "stderr" (neither, or TOCKWHEEL_UI=stderr). Chosen at first use.
const char* uiRealisation();
// No window may open (the program runs for a screen-saver host, whose window covers the screen): boxes
// and dialogs go to stderr as with no display. A script, which opens none, keeps answering.
void answerWithoutWindows();
// Forgets the choice (and answerWithoutWindows), the script's progress and every window, so that the
// next use chooses afresh.
void resetUi();

}  // namespace platform
