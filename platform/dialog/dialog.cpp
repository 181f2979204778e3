// platform/dialog/dialog.cpp -- windows and controls as records: the calls the programs make and the user's actions.
#include "platform/dialog/dialog.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/ansi_text.h"
#include "platform/dialog/ui_backend.h"
#include "platform/stop_signals.h"

namespace platform {
namespace {

std::vector<std::unique_ptr<Window>> gWindows;   // every record; closed modeless and app windows stay as dead records
std::vector<Window*> gOpen;                       // open windows, oldest first
bool gQuitPosted = false;
int gQuitCode = 0;

constexpr Rgb kAppWorkspaceRgb = 0xABABAB;
constexpr Rgb kButtonFaceRgb = 0xF0F0F0;
constexpr Rgb kWindowRgb = 0xFFFFFF;
constexpr int kColorWindow = 5;
constexpr int kColorButtonFace = 15;

bool isButtonKind(ControlKind kind)
{
    return kind == ControlKind::CheckBox || kind == ControlKind::AutoCheckBox || kind == ControlKind::RadioButton ||
           kind == ControlKind::AutoRadioButton || kind == ControlKind::PushButton;
}

bool isListKind(ControlKind kind) { return kind == ControlKind::ListBox || kind == ControlKind::ComboBox; }

bool takesFocus(const Control& control)
{
    if (!control.enabled || !control.visible) return false;
    return control.kind != ControlKind::Label && control.kind != ControlKind::GroupBox &&
           control.kind != ControlKind::ScrollBar;
}

unsigned setFocusCode(ControlKind kind)
{
    if (kind == ControlKind::Edit) return kEnSetFocus;
    if (kind == ControlKind::ComboBox) return kCbnSetFocus;
    if (kind == ControlKind::ListBox) return kLbnSetFocus;
    return 0xFFFF;   // buttons report focus only with a style these dialogs do not use
}

unsigned killFocusCode(ControlKind kind)
{
    if (kind == ControlKind::Edit) return kEnKillFocus;
    if (kind == ControlKind::ComboBox) return kCbnKillFocus;
    if (kind == ControlKind::ListBox) return kLbnKillFocus;
    return 0xFFFF;
}

// Sends a message with the default handling of dialogs and windows after an unhandled one.
intptr_t dispatch(Window* window, unsigned message, uintptr_t wParam, intptr_t lParam)
{
    if (!liveWindow(window)) return 0;
    intptr_t handled = window->proc ? window->proc(window, message, wParam, lParam) : 0;
    if (handled || message != kWmClose || !liveWindow(window)) return handled;
    if (window->kind == WindowKind::Dialog) return dispatch(window, kWmCommand, makeWParam(kIdCancel, 0), 0);
    destroyWindow(window);
    return 0;
}

void sendNotification(Window* window, const Control& control, unsigned code)
{
    if (code == 0xFFFF) return;
    dispatch(window, kWmCommand, makeWParam(static_cast<unsigned>(control.id), code), 0);
}

int indexOf(Window* window, const Control* control)
{
    return control ? static_cast<int>(control - window->controls.data()) : -1;
}

// Moves the focus, telling the control that loses it and then the one that gets it.
void changeFocus(Window* window, int index, bool moveNative)
{
    if (window->focus == index) return;
    int old = window->focus;
    window->focus = index;
    if (moveNative) uiBackend().moveFocus(window, index >= 0 ? &window->controls[index] : nullptr);
    if (old >= 0) sendNotification(window, window->controls[old], killFocusCode(window->controls[old].kind));
    if (index >= 0 && liveWindow(window) && window->focus == index)
        sendNotification(window, window->controls[index], setFocusCode(window->controls[index].kind));
}

Control* control(Window* window, int id)
{
    return liveWindow(window) ? findControl(window, id) : nullptr;
}

void sync(Window* window, Control* c) { uiBackend().syncControl(window, c); }

void forget(Window* window)
{
    gOpen.erase(std::remove(gOpen.begin(), gOpen.end(), window), gOpen.end());
}

Window* openWindow(std::unique_ptr<Window> record)
{
    Window* window = record.get();
    gWindows.push_back(std::move(record));
    if (!uiBackend().createWindow(window)) {
        window->alive = false;
        return nullptr;
    }
    gOpen.push_back(window);
    return window;
}

Window* openDialog(const DialogTemplate* dialogTemplate, Window* owner, DialogProc proc, intptr_t param, bool modal)
{
    if (!dialogTemplate) return nullptr;
    auto record = std::make_unique<Window>();
    record->source = dialogTemplate;
    record->proc = proc;
    record->owner = liveWindow(owner);
    record->title = dialogTemplate->caption ? dialogTemplate->caption : "";
    record->modal = modal;
    for (int i = 0; i < dialogTemplate->controlCount; ++i) {
        const ControlTemplate& source = dialogTemplate->controls[i];
        Control c;
        c.source = &source;
        c.id = source.id;
        c.kind = source.kind;
        c.style = source.style;
        c.text = source.text ? source.text : "";
        c.enabled = (source.style & kWsDisabled) == 0;
        c.visible = (source.style & kWsVisible) != 0;
        record->controls.push_back(c);
    }
    Window* dialog = openWindow(std::move(record));
    if (!dialog) return nullptr;
    intptr_t wantsFocus = dispatch(dialog, kWmInitDialog, 0, param);
    if (!liveWindow(dialog)) return nullptr;
    if (wantsFocus && dialog->focus < 0) {
        for (Control& c : dialog->controls) {
            if (takesFocus(c) && (c.style & kWsTabStop)) {
                changeFocus(dialog, indexOf(dialog, &c), true);
                break;
            }
        }
    }
    return liveWindow(dialog);
}

void eraseRecord(Window* window)
{
    forget(window);
    gWindows.erase(std::remove_if(gWindows.begin(), gWindows.end(),
                                  [window](const std::unique_ptr<Window>& w) { return w.get() == window; }),
                   gWindows.end());
}

}  // namespace

// ---- Records ----

Window* liveWindow(Window* window)
{
    if (!window) return nullptr;
    return std::find(gOpen.begin(), gOpen.end(), window) != gOpen.end() ? window : nullptr;
}

Window* focusWindow() { return gOpen.empty() ? nullptr : gOpen.back(); }

const std::vector<Window*>& openWindows() { return gOpen; }

Control* findControl(Window* window, int id)
{
    for (Control& c : window->controls)
        if (c.id == id) return &c;
    return nullptr;
}

void resetWindows()
{
    for (Window* window : gOpen) uiBackend().destroyWindow(window);
    gOpen.clear();
    gWindows.clear();
    gQuitPosted = false;
    gQuitCode = 0;
}

bool quitPosted(int* exitCode)
{
    if (gQuitPosted) *exitCode = gQuitCode;
    return gQuitPosted;
}

// ---- Dialogs and windows ----

intptr_t dialogBoxParam(const DialogTemplate* dialogTemplate, Window* owner, DialogProc proc, intptr_t param)
{
    if (!dialogTemplate) return -1;
    size_t before = gWindows.size();
    Window* dialog = openDialog(dialogTemplate, owner, proc, param, true);
    Window* record = gWindows.size() > before ? gWindows[before].get() : nullptr;
    if (!record) return -1;
    intptr_t result = -1;
    if (dialog && !dialog->ended) result = uiBackend().runModal(dialog);
    if (record->ended) result = record->result;
    destroyWindow(record);
    eraseRecord(record);
    return result;
}

Window* createDialogParam(const DialogTemplate* dialogTemplate, Window* owner, DialogProc proc, intptr_t param)
{
    Window* dialog = openDialog(dialogTemplate, owner, proc, param, false);
    if (dialog) uiBackend().showWindow(dialog);
    return dialog;
}

bool endDialog(Window* dialog, intptr_t result)
{
    if (!liveWindow(dialog) || dialog->kind != WindowKind::Dialog) return false;
    if (!dialog->modal) return destroyWindow(dialog);   // a modeless dialog ended is a modeless dialog closed
    dialog->ended = true;
    dialog->result = result;
    return true;
}

bool destroyWindow(Window* window)
{
    if (!liveWindow(window) || window->destroying) return false;
    window->destroying = true;   // the destroy message may not start a second destruction
    if (window->proc) window->proc(window, kWmDestroy, 0, 0);
    forget(window);
    window->alive = false;
    if (window->modal && !window->ended) {
        window->ended = true;
        window->result = 0;
    }
    uiBackend().destroyWindow(window);
    return true;
}

bool isWindow(Window* window) { return liveWindow(window) != nullptr; }

intptr_t sendMessage(Window* window, unsigned message, uintptr_t wParam, intptr_t lParam)
{
    return dispatch(window, message, wParam, lParam);
}

bool setWindowText(Window* window, const char* text)
{
    if (!liveWindow(window)) return false;
    window->title = text ? text : "";
    uiBackend().syncTitle(window);
    return true;
}

// ---- Controls ----

bool checkDlgButton(Window* dialog, int id, unsigned state)
{
    Control* c = control(dialog, id);
    if (!c || !isButtonKind(c->kind) || state > 2) return false;
    c->checked = state;
    sync(dialog, c);
    return true;
}

unsigned isDlgButtonChecked(Window* dialog, int id)
{
    Control* c = control(dialog, id);
    return c && isButtonKind(c->kind) ? c->checked : 0;
}

bool checkRadioButton(Window* dialog, int firstId, int lastId, int checkId)
{
    if (!liveWindow(dialog)) return false;
    for (Control& c : dialog->controls) {
        if (c.id < firstId || c.id > lastId || !isButtonKind(c.kind)) continue;
        c.checked = c.id == checkId ? kBstChecked : kBstUnchecked;
        sync(dialog, &c);
    }
    return true;
}

bool enableDlgItem(Window* dialog, int id, bool enable)
{
    Control* c = control(dialog, id);
    if (!c) return false;
    c->enabled = enable;
    sync(dialog, c);
    return true;
}

bool isDlgItemEnabled(Window* dialog, int id)
{
    Control* c = control(dialog, id);
    return c && c->enabled;
}

bool setDlgItemText(Window* dialog, int id, const char* text)
{
    Control* c = control(dialog, id);
    if (!c || c->kind == ControlKind::ComboBox || c->kind == ControlKind::ListBox) return false;
    c->text = text ? text : "";
    sync(dialog, c);
    // An edit box reports text set by the program as a change, as it reports typing.
    if (c->kind == ControlKind::Edit) sendNotification(dialog, *c, kEnChange);
    return true;
}

unsigned getDlgItemText(Window* dialog, int id, char* buffer, int maxCount)
{
    if (!buffer || maxCount <= 0) return 0;
    buffer[0] = '\0';
    Control* c = control(dialog, id);
    if (!c) return 0;
    const std::string* text = &c->text;
    static const std::string kEmpty;
    if (c->kind == ControlKind::ComboBox || c->kind == ControlKind::ListBox)
        text = c->selection >= 0 ? &c->items[c->selection] : &kEmpty;
    size_t count = std::min(text->size(), static_cast<size_t>(maxCount - 1));
    std::memcpy(buffer, text->data(), count);
    buffer[count] = '\0';
    return static_cast<unsigned>(count);
}

// The toolkits hold text as UTF-8.
bool getDlgItemAnsiText(Window* dialog, int id, char* buffer, int maxCount)
{
    if (!buffer || maxCount <= 0) return false;
    buffer[0] = '\0';
    Control* c = control(dialog, id);
    if (!c || c->kind == ControlKind::ComboBox || c->kind == ControlKind::ListBox) return false;
    return utf8ToAnsi(c->text.c_str(), buffer, static_cast<size_t>(maxCount));
}

bool resetContent(Window* dialog, int id)
{
    Control* c = control(dialog, id);
    if (!c || !isListKind(c->kind)) return false;
    c->items.clear();
    c->selection = -1;
    sync(dialog, c);
    return true;
}

int addString(Window* dialog, int id, const char* text)
{
    Control* c = control(dialog, id);
    if (!c || !isListKind(c->kind)) return -1;
    c->items.push_back(text ? text : "");
    sync(dialog, c);
    return static_cast<int>(c->items.size()) - 1;
}

int getCount(Window* dialog, int id)
{
    Control* c = control(dialog, id);
    return c && isListKind(c->kind) ? static_cast<int>(c->items.size()) : -1;
}

int getCurSel(Window* dialog, int id)
{
    Control* c = control(dialog, id);
    return c && isListKind(c->kind) ? c->selection : -1;
}

bool setCurSel(Window* dialog, int id, int index)
{
    Control* c = control(dialog, id);
    if (!c || !isListKind(c->kind)) return false;
    bool inRange = index >= 0 && index < static_cast<int>(c->items.size());
    c->selection = inRange ? index : -1;
    sync(dialog, c);
    return inRange || index == -1;
}

int getItemText(Window* dialog, int id, int index, char* buffer, int maxCount)
{
    Control* c = control(dialog, id);
    if (!c || !isListKind(c->kind) || index < 0 || index >= static_cast<int>(c->items.size())) return -1;
    if (!buffer || maxCount <= 0) return -1;
    const std::string& text = c->items[index];
    size_t count = std::min(text.size(), static_cast<size_t>(maxCount - 1));
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

int selectString(Window* dialog, int id, const char* text)
{
    Control* c = control(dialog, id);
    if (!c || !isListKind(c->kind) || !text) return -1;
    for (size_t i = 0; i < c->items.size(); ++i) {
        if (c->items[i] != text) continue;
        c->selection = static_cast<int>(i);
        sync(dialog, c);
        return c->selection;
    }
    return -1;
}

bool setScrollRange(Window* dialog, int id, int minPos, int maxPos, bool)
{
    Control* c = control(dialog, id);
    if (!c || c->kind != ControlKind::ScrollBar || minPos > maxPos) return false;
    c->scrollMin = minPos;
    c->scrollMax = maxPos;
    c->scrollPos = std::clamp(c->scrollPos, minPos, maxPos);
    sync(dialog, c);
    return true;
}

int setScrollPos(Window* dialog, int id, int pos, bool)
{
    Control* c = control(dialog, id);
    if (!c || c->kind != ControlKind::ScrollBar) return 0;
    int previous = c->scrollPos;
    c->scrollPos = std::clamp(pos, c->scrollMin, c->scrollMax);
    sync(dialog, c);
    return previous;
}

int getScrollPos(Window* dialog, int id)
{
    Control* c = control(dialog, id);
    return c && c->kind == ControlKind::ScrollBar ? c->scrollPos : 0;
}

bool getControlClientSize(Window* dialog, int id, int* width, int* height)
{
    Control* c = control(dialog, id);
    if (!c || !width || !height) return false;
    uiBackend().controlPixels(dialog, *c, width, height);
    return true;
}

// ---- Application windows and the loop ----

Rgb getSysColor(int index)
{
    Rgb colour = 0;
    if (uiBackend().systemColour(index, &colour)) return colour;
    if (index == kColorAppWorkspace) return kAppWorkspaceRgb;
    if (index == kColorWindow) return kWindowRgb;
    if (index == kColorButtonFace) return kButtonFaceRgb;
    return kButtonFaceRgb;
}

Window* createAppWindow(const char* title, Rgb background, WindowProc proc)
{
    auto record = std::make_unique<Window>();
    record->kind = WindowKind::AppWindow;
    record->title = title ? title : "";
    record->background = background;
    record->proc = proc;
    Window* window = openWindow(std::move(record));
    if (window) uiBackend().showWindow(window);
    return window;
}

namespace {

IdleStep gProgramIdle = nullptr;   // the idle work of the running message loop

// Idle work runs in steps however long it is, so a stop signal is looked at between any two of them.
bool idleUnlessStopped()
{
    if (stopSignal()) endForStopSignal();
    return gProgramIdle && gProgramIdle();
}

}  // namespace

int runMessageLoop(IdleStep idle)
{
    gQuitPosted = false;
    gProgramIdle = idle;
    return uiBackend().runMessageLoop(idleUnlessStopped);
}

void postQuitMessage(int exitCode)
{
    gQuitPosted = true;
    gQuitCode = exitCode;
}

// ---- Off-screen painting ----

namespace {

std::string hexColour(Rgb colour)
{
    char text[8];
    std::snprintf(text, sizeof text, "%06x", static_cast<unsigned>(colour & 0xFFFFFF));
    return text;
}

void record(Canvas* canvas, const std::string& what)
{
    if (!canvas->record.empty()) canvas->record += "; ";
    canvas->record += what;
}

}  // namespace

Canvas* createCanvas(Window* window, int width, int height)
{
    if (!liveWindow(window) || width <= 0 || height <= 0) return nullptr;
    auto canvas = std::make_unique<Canvas>();
    canvas->window = window;
    canvas->width = width;
    canvas->height = height;
    if (!uiBackend().createCanvas(canvas.get())) return nullptr;
    return canvas.release();
}

void canvasRectangle(Canvas* canvas, int left, int top, int right, int bottom, Rgb pen, Rgb brush)
{
    if (!canvas) return;
    record(canvas, "rect " + std::to_string(left) + "," + std::to_string(top) + "," + std::to_string(right) + "," +
                       std::to_string(bottom) + " pen=" + hexColour(pen) + " brush=" + hexColour(brush));
    uiBackend().canvasRectangle(canvas, left, top, right, bottom, pen, brush);
}

void canvasText(Canvas* canvas, int x, int y, const char* text)
{
    if (!canvas || !text) return;
    record(canvas, "text " + std::to_string(x) + "," + std::to_string(y) + " " + text);
    uiBackend().canvasText(canvas, x, y, text);
}

void canvasSetMix(Canvas* canvas, int mixMode)
{
    if (!canvas || (mixMode != kR2CopyPen && mixMode != kR2MergePenNot)) return;
    canvas->mix = mixMode;
    record(canvas, mixMode == kR2MergePenNot ? "mix mergepennot" : "mix copypen");
}

bool copyCanvas(Canvas* canvas, Window* window, int x, int y, int width, int height)
{
    if (!canvas || !liveWindow(window) || window != canvas->window) return false;
    width = std::min(width, canvas->width);
    height = std::min(height, canvas->height);
    window->lastPaint = canvas->record + "; copy " + std::to_string(width) + "x" + std::to_string(height) + " to " +
                        std::to_string(x) + "," + std::to_string(y);
    uiBackend().copyCanvas(canvas, x, y, width, height);
    return true;
}

void destroyCanvas(Canvas* canvas)
{
    if (!canvas) return;
    uiBackend().destroyCanvas(canvas);
    delete canvas;
}

// ---- The user's actions ----

void userFocus(Window* window, Control* c)
{
    if (!liveWindow(window)) return;
    changeFocus(window, c && takesFocus(*c) ? indexOf(window, c) : -1, false);
}

void userClick(Window* window, Control* c)
{
    if (!liveWindow(window) || !c || !c->enabled || !c->visible) return;
    if (takesFocus(*c) && window->focus != indexOf(window, c)) changeFocus(window, indexOf(window, c), true);
    if (!liveWindow(window)) return;
    switch (c->kind) {
    case ControlKind::AutoCheckBox:
        c->checked = c->checked == kBstChecked ? kBstUnchecked : kBstChecked;
        sync(window, c);
        break;
    case ControlKind::AutoRadioButton:
        c->checked = kBstChecked;
        sync(window, c);
        break;
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
        break;
    default:
        return;   // statics, edit boxes, lists and scroll bars report no click
    }
    sendNotification(window, *c, kBnClicked);
}

void userType(Window* window, Control* c, const char* text)
{
    if (!liveWindow(window) || !c || c->kind != ControlKind::Edit || !c->enabled) return;
    changeFocus(window, indexOf(window, c), true);
    if (!liveWindow(window)) return;
    std::string typed;
    for (const char* p = text ? text : ""; *p; ++p) {
        bool digit = *p >= '0' && *p <= '9';
        if (digit || !(c->style & kEsNumber)) typed += *p;   // a digits-only box refuses every other key
    }
    c->text = typed;
    sync(window, c);
    sendNotification(window, *c, kEnChange);
}

void userPick(Window* window, Control* c, int index)
{
    if (!liveWindow(window) || !c || !isListKind(c->kind) || !c->enabled) return;
    if (index < 0 || index >= static_cast<int>(c->items.size())) return;
    changeFocus(window, indexOf(window, c), true);
    if (!liveWindow(window)) return;
    c->selection = index;
    sync(window, c);
    if (c->kind == ControlKind::ComboBox) sendNotification(window, *c, kCbnSelChange);
    else if (c->style & kLbsNotify) sendNotification(window, *c, kLbnSelChange);
}

void userScroll(Window* window, Control* c, unsigned request, int thumbPos)
{
    if (!liveWindow(window) || !c || c->kind != ControlKind::ScrollBar || !c->enabled) return;
    unsigned pos = request == kSbThumbPosition || request == kSbThumbTrack
                       ? static_cast<unsigned>(std::clamp(thumbPos, c->scrollMin, c->scrollMax)) : 0;
    dispatch(window, kWmVScroll, makeWParam(request, pos), c->id);
    if (request != kSbThumbTrack && request != kSbEndScroll)
        dispatch(window, kWmVScroll, makeWParam(kSbEndScroll, 0), c->id);
}

void userKeyEnter(Window* window)
{
    if (!liveWindow(window) || window->kind != WindowKind::Dialog || !window->modal) return;
    int id = kIdOk;
    if (window->focus >= 0 && window->controls[window->focus].kind == ControlKind::PushButton)
        id = window->controls[window->focus].id;   // Enter presses the focused push button
    dispatch(window, kWmCommand, makeWParam(static_cast<unsigned>(id), kBnClicked), 0);
}

void userKeyEscape(Window* window)
{
    if (!liveWindow(window) || window->kind != WindowKind::Dialog || !window->modal) return;
    dispatch(window, kWmCommand, makeWParam(kIdCancel, kBnClicked), 0);
}

void userClose(Window* window) { dispatch(window, kWmClose, 0, 0); }

}  // namespace platform
