// platform/dialog/dialog.h -- dialogs from templates, application windows, off-screen painting and the message loop.
//
// Shaped like the Windows interfaces both programs were written against: a dialog is a template (caption,
// size in dialog units, font, controls with id, kind, text, position and styles) and a dialog procedure
// that receives initialisation, command, scroll and close messages and works on its controls by id.
// The same procedures run on real FLTK windows and on the scripted realisation (TOCKWHEEL_UI=script:FILE);
// see platform/dialog/message_box.h for the choice and docs/ui.md for the script language and the log.
#pragma once

#include <cstdint>

#include "platform/dialog/message_box.h"

namespace platform {

// ---- Templates (the data lives in resources/) ----

enum class ControlKind {
    PushButton,
    CheckBox,          // plain: the dialog procedure sets its state
    AutoCheckBox,      // toggles itself before it reports the click
    RadioButton,       // plain
    AutoRadioButton,   // checks itself before it reports the click
    GroupBox,
    Label,             // static text
    Edit,
    ComboBox,
    ListBox,
    ScrollBar,
};

// Control and dialog styles, with their Windows values.
constexpr unsigned kWsTabStop = 0x00010000;
constexpr unsigned kWsVScroll = 0x00200000;
constexpr unsigned kWsBorder = 0x00800000;
constexpr unsigned kWsDisabled = 0x08000000;
constexpr unsigned kWsVisible = 0x10000000;
constexpr unsigned kWsSysMenu = 0x00080000;
constexpr unsigned kWsCaption = 0x00C00000;
constexpr unsigned kDs3dLook = 0x0004;
constexpr unsigned kDsModalFrame = 0x0080;
constexpr unsigned kDsSetForeground = 0x0200;
constexpr unsigned kDsCenter = 0x0800;
constexpr unsigned kEsAutoHScroll = 0x0080;
constexpr unsigned kEsPassword = 0x0020;
constexpr unsigned kEsNumber = 0x2000;        // digits only
constexpr unsigned kSsSunken = 0x1000;
constexpr unsigned kLbsNotify = 0x0001;
constexpr unsigned kCbsDropDownList = 0x0003;
constexpr unsigned kSbsVert = 0x0001;

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;        // "" for none
    int x, y, width, height; // dialog units
    unsigned style;          // kWs*, kEs*, ... (kWsVisible unless hidden)
};

// A small picture for a window's title bar and task list: one character per pixel, each a key of the
// colour table; a character the table lacks is transparent.
struct IconColour {
    char key;
    uint32_t rgb;            // 0xRRGGBB
};

struct IconImage {
    int width, height;       // pixels
    const char* const* rows; // height rows of width characters
    const IconColour* colours;
    int colourCount;
};

struct DialogTemplate {
    const char* name;        // resource name, "DIALOG_1"
    const char* caption;
    int x, y, width, height; // dialog units
    const char* fontName;    // "Helv"
    int fontPoints;
    unsigned style;          // kWs*, kDs*
    const ControlTemplate* controls;
    int controlCount;
    const IconImage* icon = nullptr;   // the program's icon, shown by the dialog and the windows it owns
};

// ---- Messages ----

constexpr unsigned kWmDestroy = 0x0002;
constexpr unsigned kWmPaint = 0x000F;
constexpr unsigned kWmClose = 0x0010;
constexpr unsigned kWmInitDialog = 0x0110;   // lParam: the creation parameter
constexpr unsigned kWmCommand = 0x0111;      // wParam: id | code << 16
constexpr unsigned kWmVScroll = 0x0115;      // wParam: request | position << 16; lParam: the scroll bar's id

// Notification codes carried in a command's high word.
constexpr unsigned kBnClicked = 0;
constexpr unsigned kEnSetFocus = 0x100;
constexpr unsigned kEnKillFocus = 0x200;
constexpr unsigned kEnChange = 0x300;
constexpr unsigned kCbnSelChange = 1;
constexpr unsigned kCbnSetFocus = 3;
constexpr unsigned kCbnKillFocus = 4;
constexpr unsigned kLbnSelChange = 1;
constexpr unsigned kLbnSetFocus = 4;
constexpr unsigned kLbnKillFocus = 5;

// Scroll requests carried in a scroll message's low word.
constexpr unsigned kSbLineUp = 0;
constexpr unsigned kSbLineDown = 1;
constexpr unsigned kSbPageUp = 2;
constexpr unsigned kSbPageDown = 3;
constexpr unsigned kSbThumbPosition = 4;
constexpr unsigned kSbThumbTrack = 5;
constexpr unsigned kSbTop = 6;
constexpr unsigned kSbBottom = 7;
constexpr unsigned kSbEndScroll = 8;

constexpr unsigned kBstUnchecked = 0;
constexpr unsigned kBstChecked = 1;

inline unsigned loWord(uintptr_t value) { return static_cast<unsigned>(value & 0xFFFF); }
inline unsigned hiWord(uintptr_t value) { return static_cast<unsigned>((value >> 16) & 0xFFFF); }
inline uintptr_t makeWParam(unsigned low, unsigned high) { return (low & 0xFFFF) | ((high & 0xFFFFu) << 16); }

// Dialog procedure: returns nonzero when it handled the message. For the initialisation message nonzero
// also asks for the keyboard focus on the first enabled tab-stop control.
using DialogProc = intptr_t (*)(Window* dialog, unsigned message, uintptr_t wParam, intptr_t lParam);
// Window procedure of an application window: returns nonzero when it handled the message; an unhandled
// close message destroys the window.
using WindowProc = DialogProc;

// ---- Dialogs ----

// Runs a modal dialog and returns endDialog's result; -1 when no dialog can be shown (no display, no script).
intptr_t dialogBoxParam(const DialogTemplate* dialogTemplate, Window* owner, DialogProc proc, intptr_t param);
// Creates a modeless dialog; null when it cannot be shown or its procedure destroyed it while initialising.
// A modeless dialog gets no dialog keyboard handling: Enter and Esc do nothing special in it.
Window* createDialogParam(const DialogTemplate* dialogTemplate, Window* owner, DialogProc proc, intptr_t param);
bool endDialog(Window* dialog, intptr_t result);
// Closes any window (a modeless dialog, an application window) and sends it the destroy message.
bool destroyWindow(Window* window);
bool isWindow(Window* window);   // still open
intptr_t sendMessage(Window* window, unsigned message, uintptr_t wParam, intptr_t lParam);

// ---- Controls, by id ----

bool checkDlgButton(Window* dialog, int id, unsigned state);
unsigned isDlgButtonChecked(Window* dialog, int id);
bool checkRadioButton(Window* dialog, int firstId, int lastId, int checkId);
bool enableDlgItem(Window* dialog, int id, bool enable);
bool isDlgItemEnabled(Window* dialog, int id);
bool setDlgItemText(Window* dialog, int id, const char* text);
// Copies at most maxCount - 1 characters and a terminating zero; returns the characters copied.
// A drop-down combo box's text is its selected entry.
unsigned getDlgItemText(Window* dialog, int id, char* buffer, int maxCount);
// The control's text in the Windows ANSI code page (Windows-1252), cut to maxCount - 1 characters; false
// when it holds a character that code page has no place for (written as '?').
bool getDlgItemAnsiText(Window* dialog, int id, char* buffer, int maxCount);
bool setWindowText(Window* window, const char* text);

// List box and combo box contents (both kinds answer all of these). Indexes from 0; -1 is "none".
bool resetContent(Window* dialog, int id);
int addString(Window* dialog, int id, const char* text);    // index of the new entry, -1 on failure
int getCount(Window* dialog, int id);
int getCurSel(Window* dialog, int id);
bool setCurSel(Window* dialog, int id, int index);          // -1 clears the selection
int getItemText(Window* dialog, int id, int index, char* buffer, int maxCount);
// Selects the first entry whose text equals text exactly; returns its index or -1 (selection unchanged).
int selectString(Window* dialog, int id, const char* text);

// Scroll bar.
bool setScrollRange(Window* dialog, int id, int minPos, int maxPos, bool redraw);
int setScrollPos(Window* dialog, int id, int pos, bool redraw);  // returns the previous position
int getScrollPos(Window* dialog, int id);

// Size of a control's client area in pixels (the installer sizes its bar from a hidden frame).
bool getControlClientSize(Window* dialog, int id, int* width, int* height);

// ---- Application windows and the message loop ----

using Rgb = uint32_t;   // 0xRRGGBB
constexpr int kColorAppWorkspace = 12;
Rgb getSysColor(int index);

// A maximised, titled application window that draws nothing but its background.
Window* createAppWindow(const char* title, Rgb background, WindowProc proc);

// Idle step: does one slice of work and returns true, or returns false when there is nothing to do.
using IdleStep = bool (*)();
// Runs until postQuitMessage: dispatches pending events; when none waits runs one idle step; when the idle
// step has nothing to do, waits for the next event. Returns the quit code (0 when no window is left).
int runMessageLoop(IdleStep idle);
void postQuitMessage(int exitCode);

// ---- Off-screen painting, copied into a window in one operation ----

struct Canvas;
constexpr int kR2CopyPen = 13;
constexpr int kR2MergePenNot = 14;   // pen or brush colour OR NOT destination

Canvas* createCanvas(Window* window, int width, int height);
// Like Rectangle(): a one-pixel pen border and brush interior, right and bottom edges excluded.
void canvasRectangle(Canvas* canvas, int left, int top, int right, int bottom, Rgb pen, Rgb brush);
// Black text with its top centre at (x, y), in the dialog font.
void canvasText(Canvas* canvas, int x, int y, const char* text);
void canvasSetMix(Canvas* canvas, int mixMode);
bool copyCanvas(Canvas* canvas, Window* window, int x, int y, int width, int height);
void destroyCanvas(Canvas* canvas);

}  // namespace platform
