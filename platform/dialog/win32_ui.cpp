// platform/dialog/win32_ui.cpp -- the Win32 realisation: dialogs from in-memory templates, USER32 controls,
// the polling message loop and GDI painting.
//
// The model in dialog.cpp stays the one truth, as with FLTK: a dialog procedure works on the records, each
// change is pushed into the native control, and each native notification becomes the user* call that a
// person's action is. The native dialog procedure below is only that translation.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/dialog/ui_backend.h"
#include "platform/dialog/win32_template.h"
#include "platform/stop_signals.h"

namespace platform {
namespace {

// The installer's backdrop is the one application window the programs open; its class has this name.
constexpr char kAppWindowClass[] = "Setup";
constexpr char kIconResource[] = "MAINICON";
constexpr UINT kStopPollMs = 250;                   // the longest a wait for the user runs before a signal is seen
constexpr UINT kFocusMovedMessage = WM_APP + 1;     // posted when a control lost the focus: see where it went

// What was last copied into a window through a canvas, shown again when the window is uncovered.
struct KeptPaint {
    HWND window = nullptr;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ oldBitmap = nullptr;
    int x = 0, y = 0, width = 0, height = 0;
};

// One memory device context with its bitmap: the off-screen image of a canvas.
struct GdiCanvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ oldBitmap = nullptr;
};

struct Win32Ui {
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;             // "MAINICON" of the program file; null where it has none
    bool classRegistered = false;
    int syncing = 0;                  // > 0 while the model is pushed into controls: their echoes are not the user's
    std::vector<KeptPaint> kept;
};
Win32Ui gUi;

void setUp()
{
    if (gUi.instance) return;
    gUi.instance = GetModuleHandleA(nullptr);
    gUi.icon = LoadIconA(gUi.instance, kIconResource);
}

HWND hwndOf(const Window* window) { return window ? static_cast<HWND>(window->native) : nullptr; }

// Windows opens a screen saver's settings from its control panel with "/c:HWND": the dialog then belongs to
// that window, as a dialog of the control panel's own would. Null for any other command line, or for a
// handle that names no window.
HWND configurationOwner()
{
    const char* line = GetCommandLineA();
    if (*line == '"') {
        const char* close = std::strchr(line + 1, '"');
        line = close ? close + 1 : line + std::strlen(line);
    } else {
        while (*line && *line != ' ') ++line;
    }
    while (*line == ' ') ++line;
    if ((line[0] != '/' && line[0] != '-') || (line[1] != 'c' && line[1] != 'C') || line[2] != ':') return nullptr;
    char* end = nullptr;
    unsigned long long handle = std::strtoull(line + 3, &end, 0);
    if (end == line + 3 || handle == 0) return nullptr;
    HWND owner = reinterpret_cast<HWND>(static_cast<uintptr_t>(handle));
    return IsWindow(owner) ? owner : nullptr;
}

// A dialog with no owner of its own: the control panel's window where Windows named one.
HWND ownerHwnd(Window* owner)
{
    HWND hwnd = hwndOf(liveWindow(owner));
    return hwnd ? hwnd : configurationOwner();
}
HWND controlHwnd(const Control* c) { return c ? static_cast<HWND>(c->widget) : nullptr; }

COLORREF colorRef(Rgb rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

Window* recordOf(HWND hwnd)
{
    return liveWindow(reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)));
}

// The control a native window belongs to: itself, or the control it is part of (a combo box's list).
Control* controlFor(Window* window, HWND hwnd)
{
    HWND dialog = hwndOf(window);
    while (hwnd && GetParent(hwnd) != dialog) hwnd = GetParent(hwnd);
    if (!hwnd) return nullptr;
    for (Control& c : window->controls)
        if (c.widget == hwnd) return &c;
    return nullptr;
}

// A modal wait (a dialog box, a message box) runs Windows' own loop; a thread timer looks at the stop
// request meanwhile, so that a stop signal ends the program within a second there too.
void CALLBACK lookForStop(HWND, UINT, UINT_PTR, DWORD)
{
    if (stopSignal()) endForStopSignal();
}

class StopWatch {
public:
    StopWatch() : timer_(SetTimer(nullptr, 0, kStopPollMs, lookForStop)) {}
    ~StopWatch()
    {
        if (timer_) KillTimer(nullptr, timer_);
    }
    StopWatch(const StopWatch&) = delete;
    StopWatch& operator=(const StopWatch&) = delete;

private:
    UINT_PTR timer_;
};

// The model holds text as UTF-8, as every toolkit hands it over; the controls hold UTF-16. Text the
// program put into the model from an ANSI call (a path from GetWindowsDirectoryA) is not UTF-8 when it
// holds other than ASCII: that is shown in the ANSI code page it came in.
std::wstring wideText(const std::string& text)
{
    if (text.empty()) return std::wstring();
    int size = static_cast<int>(text.size());
    UINT codePage = CP_UTF8;
    int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0) {
        codePage = CP_ACP;
        length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    }
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0, text.data(), size, &wide[0],
                        length);
    return wide;
}

std::string windowText(HWND hwnd)
{
    int length = GetWindowTextLengthW(hwnd);
    if (length <= 0) return std::string();
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    int copied = GetWindowTextW(hwnd, &wide[0], length + 1);
    if (copied <= 0) return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), copied, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), copied, &text[0], size, nullptr, nullptr);
    return text;
}

// ---- The model into the controls ----

struct ListMessages {
    UINT count, reset, add, getSelection, setSelection;
};
constexpr ListMessages kComboMessages = {CB_GETCOUNT, CB_RESETCONTENT, CB_ADDSTRING, CB_GETCURSEL, CB_SETCURSEL};
constexpr ListMessages kListMessages = {LB_GETCOUNT, LB_RESETCONTENT, LB_ADDSTRING, LB_GETCURSEL, LB_SETCURSEL};

// Every change of a list reaches the control as it happens, so the control holds a prefix of the entries.
void syncList(HWND hwnd, const Control& c, const ListMessages& m)
{
    LRESULT count = SendMessageA(hwnd, m.count, 0, 0);
    if (count < 0 || count > static_cast<LRESULT>(c.items.size())) {
        SendMessageA(hwnd, m.reset, 0, 0);
        count = 0;
    }
    for (size_t i = static_cast<size_t>(count); i < c.items.size(); ++i)
        SendMessageW(hwnd, m.add, 0, reinterpret_cast<LPARAM>(wideText(c.items[i]).c_str()));
    if (SendMessageA(hwnd, m.getSelection, 0, 0) != c.selection)
        SendMessageA(hwnd, m.setSelection, static_cast<WPARAM>(c.selection), 0);
}

void syncText(HWND hwnd, const std::string& text)
{
    if (windowText(hwnd) != text) SetWindowTextW(hwnd, wideText(text).c_str());   // leaves the caret alone while typing
}

void win32SyncControl(Window*, Control* c)
{
    HWND hwnd = controlHwnd(c);
    if (!hwnd) return;
    ++gUi.syncing;
    if ((IsWindowEnabled(hwnd) != FALSE) != c->enabled) EnableWindow(hwnd, c->enabled);
    bool shown = (GetWindowLongA(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown != c->visible) ShowWindow(hwnd, c->visible ? SW_SHOWNA : SW_HIDE);
    switch (c->kind) {
    case ControlKind::ComboBox:
        syncList(hwnd, *c, kComboMessages);
        break;
    case ControlKind::ListBox:
        syncList(hwnd, *c, kListMessages);
        break;
    case ControlKind::ScrollBar:
        SetScrollRange(hwnd, SB_CTL, c->scrollMin, c->scrollMax, FALSE);
        SetScrollPos(hwnd, SB_CTL, c->scrollPos, TRUE);
        break;
    case ControlKind::CheckBox:
    case ControlKind::AutoCheckBox:
    case ControlKind::RadioButton:
    case ControlKind::AutoRadioButton:
        SendMessageA(hwnd, BM_SETCHECK, c->checked, 0);
        syncText(hwnd, c->text);
        break;
    default:
        syncText(hwnd, c->text);
        break;
    }
    --gUi.syncing;
}

void syncAll(Window* window)
{
    for (Control& c : window->controls) win32SyncControl(window, &c);
}

void focusControl(Window* window, Control* c)
{
    HWND dialog = hwndOf(window);
    if (!dialog || !controlHwnd(c)) return;
    ++gUi.syncing;
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(controlHwnd(c)), TRUE);
    --gUi.syncing;
}

// The controls in template order: the dialog manager makes them in that order, each with its id (the
// unnamed labels and groups share one id, so the order decides among them).
void attachControls(Window* window, HWND dialog)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    std::vector<bool> taken(children.size(), false);
    for (Control& c : window->controls) {
        c.widget = nullptr;
        for (size_t i = 0; i < children.size() && !c.widget; ++i) {
            if (taken[i] || GetDlgCtrlID(children[i]) != c.id) continue;
            taken[i] = true;
            c.widget = children[i];
        }
    }
}

void attachDialog(HWND hwnd, Window* window)
{
    window->native = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    if (gUi.icon) {
        SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(gUi.icon));
        SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(gUi.icon));
    }
    attachControls(window, hwnd);
    syncAll(window);
    // A modal dialog's procedure ran before its window existed: the focus it asked for is given now.
    if (window->focus >= 0) focusControl(window, &window->controls[window->focus]);
}

// ---- Kept paint ----

KeptPaint* keptFor(HWND hwnd)
{
    for (KeptPaint& k : gUi.kept)
        if (k.window == hwnd) return &k;
    return nullptr;
}

void releaseKept(KeptPaint* k)
{
    if (k->dc) {
        SelectObject(k->dc, k->oldBitmap);
        DeleteDC(k->dc);
    }
    if (k->bitmap) DeleteObject(k->bitmap);
    *k = KeptPaint();
}

void forgetKept(HWND hwnd)
{
    for (size_t i = 0; i < gUi.kept.size(); ++i) {
        if (gUi.kept[i].window != hwnd) continue;
        releaseKept(&gUi.kept[i]);
        gUi.kept.erase(gUi.kept.begin() + static_cast<long>(i));
        return;
    }
}

void keepPaint(HWND hwnd, HDC from, int x, int y, int width, int height)
{
    KeptPaint* k = keptFor(hwnd);
    if (k && (k->width != width || k->height != height)) {
        forgetKept(hwnd);
        k = nullptr;
    }
    if (!k) {
        KeptPaint fresh;
        fresh.window = hwnd;
        fresh.dc = CreateCompatibleDC(from);
        fresh.bitmap = CreateCompatibleBitmap(from, width, height);
        if (!fresh.dc || !fresh.bitmap) {
            releaseKept(&fresh);
            return;
        }
        fresh.oldBitmap = SelectObject(fresh.dc, fresh.bitmap);
        fresh.width = width;
        fresh.height = height;
        gUi.kept.push_back(fresh);
        k = &gUi.kept.back();
    }
    k->x = x;
    k->y = y;
    BitBlt(k->dc, 0, 0, width, height, from, 0, 0, SRCCOPY);
}

// ---- Native messages into the user's actions ----

void commandFromControl(Window* window, Control* c, unsigned code)
{
    HWND hwnd = controlHwnd(c);
    switch (c->kind) {
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
    case ControlKind::AutoCheckBox:
    case ControlKind::RadioButton:
    case ControlKind::AutoRadioButton:
        if (code == BN_CLICKED) userClick(window, c);
        break;
    case ControlKind::Edit:
        if (code == EN_CHANGE) userType(window, c, windowText(hwnd).c_str());
        else if (code == EN_SETFOCUS) userFocus(window, c);
        else if (code == EN_KILLFOCUS) PostMessageA(hwndOf(window), kFocusMovedMessage, 0, 0);
        break;
    case ControlKind::ComboBox:
        if (code == CBN_SELCHANGE)
            userPick(window, c, static_cast<int>(SendMessageA(hwnd, CB_GETCURSEL, 0, 0)));
        else if (code == CBN_SETFOCUS) userFocus(window, c);
        else if (code == CBN_KILLFOCUS) PostMessageA(hwndOf(window), kFocusMovedMessage, 0, 0);
        break;
    case ControlKind::ListBox:
        if (code == LBN_SELCHANGE)
            userPick(window, c, static_cast<int>(SendMessageA(hwnd, LB_GETCURSEL, 0, 0)));
        else if (code == LBN_SETFOCUS) userFocus(window, c);
        else if (code == LBN_KILLFOCUS) PostMessageA(hwndOf(window), kFocusMovedMessage, 0, 0);
        break;
    default:
        break;
    }
}

void command(Window* window, unsigned id, unsigned code, HWND from)
{
    Control* c = from ? controlFor(window, from) : nullptr;
    if (c) {
        commandFromControl(window, c, code);
        return;
    }
    // The dialog manager's Enter or Esc where no button has that id.
    if (id == IDOK) userKeyEnter(window);
    else if (id == IDCANCEL) userKeyEscape(window);
}

// Windows reports the end of every scroll itself; userScroll sends it after each request as it is made.
void scroll(Window* window, WPARAM wParam, HWND from)
{
    Control* c = from ? controlFor(window, from) : nullptr;
    unsigned request = LOWORD(wParam);
    if (!c || request == SB_ENDSCROLL) return;
    userScroll(window, c, request, static_cast<short>(HIWORD(wParam)));
}

// A control lost the focus: to another control (buttons do not report gaining it), or out of the dialog.
void noticeFocus(Window* window)
{
    Control* c = controlFor(window, GetFocus());
    if (c && window->focus >= 0 && &window->controls[window->focus] == c) return;
    userFocus(window, c);
}

// The dialog's own painting (its background), then what a canvas last copied in, then the program's.
void paint(Window* window, HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (const KeptPaint* k = keptFor(hwnd)) BitBlt(dc, k->x, k->y, k->width, k->height, k->dc, 0, 0, SRCCOPY);
    EndPaint(hwnd, &ps);
    sendMessage(window, kWmPaint, 0, 0);
}

// The model ended a modal dialog: the dialog box's loop takes it down.
void finishModal(Window* window, HWND hwnd)
{
    if (liveWindow(window) && window->modal && window->ended && window->native == hwnd) EndDialog(hwnd, window->result);
}

INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        attachDialog(hwnd, reinterpret_cast<Window*>(lParam));
        return FALSE;   // the focus is the model's: given above, or none
    }
    Window* window = recordOf(hwnd);
    if (!window) return FALSE;
    INT_PTR handled = TRUE;
    switch (message) {
    case WM_COMMAND:
        if (!gUi.syncing) command(window, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        break;
    case WM_VSCROLL:
        if (!gUi.syncing) scroll(window, wParam, reinterpret_cast<HWND>(lParam));
        break;
    case WM_CLOSE:
        userClose(window);
        break;
    case WM_PAINT:
        paint(window, hwnd);
        break;
    case kFocusMovedMessage:
        noticeFocus(window);
        break;
    default:
        handled = FALSE;
        break;
    }
    finishModal(window, hwnd);
    return handled;
}

LRESULT CALLBACK appWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window* window = recordOf(hwnd);
    if (window && message == WM_CLOSE) {
        userClose(window);   // unhandled, the model destroys the window
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// ---- Windows ----

bool createAppWindow(Window* window)
{
    if (!gUi.classRegistered) {
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = appWindowProc;
        windowClass.hInstance = gUi.instance;
        windowClass.hIcon = gUi.icon;
        windowClass.hIconSm = gUi.icon;
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = CreateSolidBrush(colorRef(window->background));
        windowClass.lpszClassName = kAppWindowClass;
        gUi.classRegistered = RegisterClassExA(&windowClass) != 0;
    }
    HWND hwnd = CreateWindowExA(0, kAppWindowClass, window->title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, gUi.instance, nullptr);
    if (!hwnd) return false;
    window->native = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    return true;
}

bool win32CreateWindow(Window* window)
{
    setUp();
    if (window->kind == WindowKind::AppWindow) return createAppWindow(window);
    if (window->modal) return true;   // made by runModal, once the procedure has initialised the record
    // Shown by showWindow once the procedure has initialised it, as a visible template would show it.
    std::vector<uint32_t> bytes = buildDialogTemplate(*window->source, true);
    HWND hwnd = CreateDialogIndirectParamA(gUi.instance, reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()),
                                           hwndOf(liveWindow(window->owner)), dialogProc,
                                           reinterpret_cast<LPARAM>(window));
    return hwnd != nullptr;
}

void win32ShowWindow(Window* window)
{
    HWND hwnd = hwndOf(window);
    if (!hwnd) return;
    if (window->kind == WindowKind::AppWindow) {
        ShowWindow(hwnd, SW_SHOWMAXIMIZED);
        UpdateWindow(hwnd);
        return;
    }
    if (!(window->source->style & kWsVisible)) return;
    ShowWindow(hwnd, SW_SHOW);
    if (window->source->style & kDsSetForeground) SetForegroundWindow(hwnd);
    if (window->focus >= 0) focusControl(window, &window->controls[window->focus]);
    UpdateWindow(hwnd);
}

void win32DestroyWindow(Window* window)
{
    HWND hwnd = hwndOf(window);
    if (!hwnd) return;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    forgetKept(hwnd);
    for (Control& c : window->controls) c.widget = nullptr;
    window->native = nullptr;
    if (window->kind == WindowKind::Dialog && window->modal) EndDialog(hwnd, window->result);
    else DestroyWindow(hwnd);
}

void win32SyncTitle(Window* window)
{
    if (HWND hwnd = hwndOf(window)) SetWindowTextW(hwnd, wideText(window->title).c_str());
}

void win32MoveFocus(Window* window, Control* c)
{
    HWND dialog = hwndOf(window);
    if (dialog && c && IsWindowVisible(dialog)) focusControl(window, c);   // else given when shown
}

intptr_t win32RunModal(Window* dialog)
{
    std::vector<uint32_t> bytes = buildDialogTemplate(*dialog->source, false);
    StopWatch watch;
    INT_PTR made = DialogBoxIndirectParamA(gUi.instance, reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()),
                                           ownerHwnd(dialog->owner), dialogProc,
                                           reinterpret_cast<LPARAM>(dialog));
    if (dialog->native) {
        forgetKept(hwndOf(dialog));
        dialog->native = nullptr;
        for (Control& c : dialog->controls) c.widget = nullptr;
    }
    return made == -1 ? -1 : dialog->result;
}

// Messages go straight to their windows (no dialog keyboard handling for modeless dialogs); the idle work
// runs whenever the queue is empty. With neither, the loop sleeps until the next message rather than poll.
int win32MessageLoop(IdleStep idle)
{
    int code = 0;
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
            if (quitPosted(&code)) return code;
        }
        if (quitPosted(&code)) return code;
        if (idle && idle()) continue;
        if (quitPosted(&code)) return code;
        if (openWindows().empty()) return 0;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kStopPollMs, QS_ALLINPUT);
        if (stopSignal()) endForStopSignal();
    }
}

int win32MessageBox(Window* owner, const char* text, const char* caption, unsigned flags)
{
    setUp();
    if (std::getenv("TOCKWHEEL_UI_LOG")) logLine(describeBox(caption, flags, text) + " shown=win32");
    StopWatch watch;
    int answer = MessageBoxA(hwndOf(owner), text, caption, flags);
    if (answer != 0) return answer;
    // The box could not be shown: its first button is taken, as with no one to answer.
    unsigned buttons = flags & 0x0F;
    return buttons == kMbYesNo || buttons == kMbYesNoCancel ? kIdYes : kIdOk;
}

void win32ControlPixels(Window* window, const Control& c, int* width, int* height)
{
    RECT r;
    if (controlHwnd(&c) && GetClientRect(controlHwnd(&c), &r)) {
        *width = r.right - r.left;
        *height = r.bottom - r.top;
        return;
    }
    nominalControlPixels(window, c, width, height);
}

bool win32SystemColour(int index, Rgb* colour)
{
    COLORREF value = GetSysColor(index);
    *colour = (static_cast<Rgb>(GetRValue(value)) << 16) | (static_cast<Rgb>(GetGValue(value)) << 8) |
              GetBValue(value);
    return true;
}

// ---- Off-screen painting: a memory device context with a bitmap compatible with the window's ----

GdiCanvas* gdiOf(const Canvas* canvas) { return reinterpret_cast<GdiCanvas*>(canvas->native); }

bool win32CreateCanvas(Canvas* canvas)
{
    HWND hwnd = hwndOf(canvas->window);
    HDC windowDc = GetDC(hwnd);
    auto* gdi = new GdiCanvas;
    gdi->dc = CreateCompatibleDC(windowDc);
    gdi->bitmap = CreateCompatibleBitmap(windowDc, canvas->width, canvas->height);
    ReleaseDC(hwnd, windowDc);
    if (!gdi->dc || !gdi->bitmap) {
        if (gdi->dc) DeleteDC(gdi->dc);
        if (gdi->bitmap) DeleteObject(gdi->bitmap);
        delete gdi;
        return false;
    }
    gdi->oldBitmap = SelectObject(gdi->dc, gdi->bitmap);
    canvas->native = reinterpret_cast<std::uintptr_t>(gdi);
    return true;
}

// Black pens and white brushes are the stock ones; other colours are made for the one rectangle.
HGDIOBJ makePen(Rgb colour)
{
    return colour == 0x000000 ? GetStockObject(BLACK_PEN) : CreatePen(PS_SOLID, 1, colorRef(colour));
}

HGDIOBJ makeBrush(Rgb colour)
{
    return colour == 0xFFFFFF ? GetStockObject(WHITE_BRUSH) : CreateSolidBrush(colorRef(colour));
}

void win32CanvasRectangle(Canvas* canvas, int left, int top, int right, int bottom, Rgb pen, Rgb brush)
{
    HDC dc = gdiOf(canvas)->dc;
    SetROP2(dc, canvas->mix == kR2MergePenNot ? R2_MERGEPENNOT : R2_COPYPEN);
    HGDIOBJ penObject = makePen(pen);
    HGDIOBJ brushObject = makeBrush(brush);
    HGDIOBJ oldPen = SelectObject(dc, penObject);
    HGDIOBJ oldBrush = SelectObject(dc, brushObject);
    Rectangle(dc, left, top, right, bottom);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(penObject);     // stock objects ignore it
    DeleteObject(brushObject);
}

// The memory context's own font and colours: black on white, as the bar's text is specified.
void win32CanvasText(Canvas* canvas, int x, int y, const char* text)
{
    HDC dc = gdiOf(canvas)->dc;
    SetTextAlign(dc, TA_TOP | TA_CENTER);
    TextOutA(dc, x, y, text, static_cast<int>(std::strlen(text)));
}

void win32CopyCanvas(Canvas* canvas, int x, int y, int width, int height)
{
    HWND hwnd = hwndOf(canvas->window);
    if (!hwnd || width < 1 || height < 1) return;
    HDC dc = GetDC(hwnd);
    BitBlt(dc, x, y, width, height, gdiOf(canvas)->dc, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, dc);
    keepPaint(hwnd, gdiOf(canvas)->dc, x, y, width, height);
}

void win32DestroyCanvas(Canvas* canvas)
{
    GdiCanvas* gdi = gdiOf(canvas);
    if (!gdi) return;
    SelectObject(gdi->dc, gdi->oldBitmap);
    DeleteObject(gdi->bitmap);
    DeleteDC(gdi->dc);
    delete gdi;
    canvas->native = 0;
}

}  // namespace

const char* const kWindowedUiName = "win32";

// Windows always has a desktop to show windows on.
bool windowedUiAvailable() { return true; }

UiBackend makeWindowedUiBackend() { return makeWin32UiBackend(); }

UiBackend makeWin32UiBackend()
{
    UiBackend backend("win32");
    backend.messageBox = win32MessageBox;
    backend.createWindow = win32CreateWindow;
    backend.showWindow = win32ShowWindow;
    backend.destroyWindow = win32DestroyWindow;
    backend.syncControl = win32SyncControl;
    backend.syncTitle = win32SyncTitle;
    backend.moveFocus = win32MoveFocus;
    backend.runModal = win32RunModal;
    backend.runMessageLoop = win32MessageLoop;
    backend.createCanvas = win32CreateCanvas;
    backend.canvasRectangle = win32CanvasRectangle;
    backend.canvasText = win32CanvasText;
    backend.copyCanvas = win32CopyCanvas;
    backend.destroyCanvas = win32DestroyCanvas;
    backend.controlPixels = win32ControlPixels;
    backend.systemColour = win32SystemColour;
    return backend;
}

}  // namespace platform
