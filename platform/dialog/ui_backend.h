// platform/dialog/ui_backend.h -- what the realisations of message boxes and dialogs share (not for the programs).
//
// The model of every window and control lives here and is the same for all realisations; a realisation
// builds its own widgets from it (FLTK) or has none (scripted), and turns its user's actions into the
// user* calls below, which update the model and send the messages a real control would send.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/dialog/dialog.h"

namespace platform {

struct Control {
    const ControlTemplate* source = nullptr;
    int id = 0;
    ControlKind kind = ControlKind::Label;
    unsigned style = 0;
    std::string text;                 // edit and static text, button label
    bool enabled = true;
    bool visible = true;
    unsigned checked = kBstUnchecked;
    std::vector<std::string> items;   // list box and combo box entries
    int selection = -1;               // -1: none
    int scrollMin = 0, scrollMax = 100, scrollPos = 0;
    void* widget = nullptr;           // the realisation's widget, if any
};

enum class WindowKind { Dialog, AppWindow };

struct Window {
    WindowKind kind = WindowKind::Dialog;
    const DialogTemplate* source = nullptr;
    DialogProc proc = nullptr;
    Window* owner = nullptr;
    std::string title;
    Rgb background = 0;
    bool modal = false;
    bool alive = true;
    bool destroying = false;
    bool ended = false;               // endDialog called
    intptr_t result = 0;
    int focus = -1;                   // index into controls, -1: none
    std::vector<Control> controls;
    std::string lastPaint;            // the scripted realisation's record of the last canvas copied in
    void* native = nullptr;           // the realisation's window, if any
};

struct Canvas {
    Window* window = nullptr;
    int width = 0, height = 0;
    int mix = kR2CopyPen;
    std::string record;               // what was drawn, for the log
    std::uintptr_t native = 0;        // the realisation's off-screen image, if any (an X pixmap, a GDI record)
};

// A control's size in pixels from the nominal base units of the Windows dialog font (6 x 13).
void nominalControlPixels(Window* window, const Control& control, int* width, int* height);

// One realisation of windows and message boxes: FLTK or Win32, scripted or stderr. Every slot starts as the stub
// beside it (no widgets, no painting, nominal control sizes, a message box answered OK: the model alone,
// nothing lost); each realisation's make…() sets the slots it realises by name, so none is ever null.
struct UiBackend {
    explicit UiBackend(const char* backendName) : name(backendName) {}
    const char* name;                                          // "fltk", "win32", "script", "stderr"
    int (*messageBox)(Window* owner, const char* text, const char* caption, unsigned flags) =
        [](Window*, const char*, const char*, unsigned) { return kIdOk; };
    // Builds the widgets; false when it cannot be shown.
    bool (*createWindow)(Window* window) = [](Window*) { return true; };
    // After initialisation (modal dialogs: runModal shows them).
    void (*showWindow)(Window* window) = [](Window*) {};
    void (*destroyWindow)(Window* window) = [](Window*) {};
    // The model changed: show it.
    void (*syncControl)(Window* window, Control* control) = [](Window*, Control*) {};
    void (*syncTitle)(Window* window) = [](Window*) {};
    // The program asked for the focus there.
    void (*moveFocus)(Window* window, Control* control) = [](Window*, Control*) {};
    // Waits until the dialog has ended.
    intptr_t (*runModal)(Window* dialog) = [](Window*) -> intptr_t { return -1; };
    int (*runMessageLoop)(IdleStep idle) = [](IdleStep) { return 0; };
    bool (*createCanvas)(Canvas* canvas) = [](Canvas*) { return true; };   // records what is drawn
    void (*canvasRectangle)(Canvas* canvas, int left, int top, int right, int bottom, Rgb pen, Rgb brush) =
        [](Canvas*, int, int, int, int, Rgb, Rgb) {};
    void (*canvasText)(Canvas* canvas, int x, int y, const char* text) = [](Canvas*, int, int, const char*) {};
    void (*copyCanvas)(Canvas* canvas, int x, int y, int width, int height) = [](Canvas*, int, int, int, int) {};
    void (*destroyCanvas)(Canvas* canvas) = [](Canvas*) {};
    void (*controlPixels)(Window* window, const Control& control, int* width, int* height) = nominalControlPixels;
    // The system's colour for a COLOR_* index; false: the nominal colours of dialog.cpp.
    bool (*systemColour)(int index, Rgb* colour) = [](int, Rgb*) { return false; };
};

UiBackend makeScriptUiBackend();   // script_ui.cpp
UiBackend makeFltkUiBackend();     // fltk_ui.cpp
UiBackend makeWin32UiBackend();    // win32_ui.cpp
UiBackend makeStderrUiBackend();   // stderr_ui.cpp

// The realisation with real windows on this system, as the build links it: FLTK on X11 (fltk_ui.cpp),
// USER32 on Windows (win32_ui.cpp). Its name is also the TOCKWHEEL_UI value that asks for it.
extern const char* const kWindowedUiName;
bool windowedUiAvailable();
UiBackend makeWindowedUiBackend();

const UiBackend& uiBackend();       // chosen at first use
Window* liveWindow(Window* window); // null unless the window is open
Window* focusWindow();              // the topmost open window: where script actions and `close` go
Control* findControl(Window* window, int id);
const std::vector<Window*>& openWindows();

// User actions, shared by the realisations: each updates the model and sends the real notifications.
void userClick(Window* window, Control* control);
void userType(Window* window, Control* control, const char* text);
void userPick(Window* window, Control* control, int index);
void userScroll(Window* window, Control* control, unsigned request, int thumbPos);
void userKeyEnter(Window* window);
void userKeyEscape(Window* window);
void userClose(Window* window);
void userFocus(Window* window, Control* control);   // the focus moved there (null: nowhere)

// Realisation set-up, called by the choice at first use and by resetUi.
bool startScript(const char* path, std::string* error);
void resetScript();
bool fltkDisplayAvailable();
void resetWindows();

// Quit state of the message loop.
bool quitPosted(int* exitCode);

// The log: TOCKWHEEL_UI_LOG (appended) or stderr.
void logLine(const std::string& line);
std::string quoteLogText(const char* text);
// What a log shows of a password: one '*' for each of its characters.
std::string maskedText(const std::string& text);
const char* boxButtonNames(unsigned flags);   // "ok", "ok,cancel", "yes,no", "yes,no,cancel"
std::string describeBox(const char* caption, unsigned flags, const char* text);
std::string dumpWindow(const Window& window);
const char* controlKindName(ControlKind kind);
void endScriptRun(const std::string& why);   // stderr, exit status 3

// Dialog units to pixels with the base units of the realisation.
int dialogUnitsToPixelsX(int units, int baseWidth);
int dialogUnitsToPixelsY(int units, int baseHeight);

}  // namespace platform
