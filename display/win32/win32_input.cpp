// display/win32/win32_input.cpp -- the window class and the messages of the Windows back end: keys with
// their character and repeat flag, the mouse in page pixels, activation as suspend and resume, the
// cursor, and a password run's window that keeps the front.
#include "display/win32/win32_window.h"

#include <cstdio>

#include "platform/ansi_text.h"

namespace display {

const char* const kWindowClassName = "Tockwheel";

namespace {

constexpr uint64_t kLockCheckUs = 100000;   // how often a password run looks whether it is still in front

int modifiersNow()
{
    return ((GetKeyState(VK_SHIFT) & 0x8000) ? 1 : 0) | ((GetKeyState(VK_CONTROL) & 0x8000) ? 2 : 0) |
           ((GetKeyState(VK_MENU) & 0x8000) ? 4 : 0);
}

int buttonsNow()
{
    return ((GetKeyState(VK_LBUTTON) & 0x8000) ? 1 : 0) | ((GetKeyState(VK_RBUTTON) & 0x8000) ? 2 : 0) |
           ((GetKeyState(VK_MBUTTON) & 0x8000) ? 4 : 0);
}

Event makeEvent(int type, uint32_t message, int x, int y)
{
    return Event{type, message, x, y, buttonsNow(), modifiersNow(), timerLap()};
}

void postSuspend(int flag)
{
    postEvent(makeEvent(kEventInternalSuspend, static_cast<uint32_t>(flag), 0, 0));
}

// Window pixels to page pixels: a stretched page reports positions in its own pixels, from the corner of
// the rectangle it is shown in (positions on the bars lie off the page).
void toPage(int* x, int* y)
{
    RECT client = {};
    GetClientRect(gWin.window, &client);
    const ModeInfo& page = gFramework.screen.mode;
    if (client.right > 0 && client.bottom > 0 && (client.right != page.xRes || client.bottom != page.yRes)) {
        const ShownRect shown = letterbox(page.xRes, page.yRes, client.right, client.bottom);
        *x = static_cast<int>(static_cast<int64_t>(*x - shown.x) * page.xRes / shown.width);
        *y = static_cast<int>(static_cast<int64_t>(*y - shown.y) * page.yRes / shown.height);
    }
}

// Windows repeats WM_MOUSEMOVE where nothing moved (a window shown, a cursor changed); only real
// moves reach the saver, the first one included.
void postMouse(int type, LPARAM position)
{
    int x = static_cast<short>(LOWORD(position)), y = static_cast<short>(HIWORD(position));
    toPage(&x, &y);
    if (type == kEventMouseMove) {
        if (x == gWin.lastMouseX && y == gWin.lastMouseY) return;
        gWin.lastMouseX = x;
        gWin.lastMouseY = y;
    }
    postEvent(makeEvent(type, 0, x, y));
}

// A task switch away from a changed display mode gives the desktop its own mode and the other
// windows the static colours; both come back with the saver.
void activateApp(bool active)
{
    if (gWin.lock.active) {
        gWin.lock.lastCheckUs = 0;   // take the front back at the next pump
        return;
    }
    if (!active && !gWin.focusLost) {
        gWin.focusLost = true;
        postSuspend(kSuspendTakenAway);
        giveBackPalette();
        if (gWin.displayMode.inEffect) {
            releaseDisplayMode();
            ShowWindow(gWin.window, SW_MINIMIZE);
        }
    } else if (active && gWin.focusLost) {
        gWin.focusLost = false;
        if (gWin.displayMode.wanted && !gWin.displayMode.inEffect) {
            retakeDisplayMode();
            ShowWindow(gWin.window, SW_RESTORE);
        }
        takeOverPalette();
        postSuspend(kSuspendGivenBack);
    }
}

LRESULT previewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        // The parent went and took its children along.
        if (window == gWin.window) postQuit();
        return 0;
    case WM_SETCURSOR:
        // The class has no cursor of its own (the saver's window decides); over a preview the pointer
        // stays the arrow the control panel shows.
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        return TRUE;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: ValidateRect(window, nullptr); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A window on its way out (closeMode) reports nothing: its deactivation is no suspend.
    if (window != gWin.window) return DefWindowProcA(window, message, wParam, lParam);
    if (gWin.preview.active) return previewProcedure(window, message, wParam, lParam);
    switch (message) {
    case WM_MOUSEMOVE: postMouse(kEventMouseMove, lParam); return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: postMouse(kEventMouseDown, lParam); return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: postMouse(kEventMouseUp, lParam); return 0;
    case WM_ACTIVATEAPP: activateApp(wParam != FALSE); return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) != HTCLIENT) break;
        SetCursor(gWin.cursorVisible ? LoadCursorA(nullptr, IDC_ARROW) : nullptr);
        return TRUE;
    case WM_SYSCOMMAND:
        // The running saver is the screen saver the system would start; Alt's menu and a close from
        // the system menu must not end a password run.
        if ((wParam & 0xFFF0) == SC_SCREENSAVE || (wParam & 0xFFF0) == SC_KEYMENU) return 0;
        if ((wParam & 0xFFF0) == SC_CLOSE && gWin.lock.active) return 0;
        break;
    case WM_CLOSE:
        if (!gWin.lock.active) postQuit();
        return 0;
    case WM_QUERYNEWPALETTE:
    case WM_PALETTECHANGED:
        if (message == WM_PALETTECHANGED && reinterpret_cast<HWND>(wParam) == window) return 0;
        if (gWin.palette.palette) {
            SelectPalette(gWin.dc, gWin.palette.palette, FALSE);
            RealizePalette(gWin.dc);
        }
        return TRUE;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: ValidateRect(window, nullptr); return 0;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Keys go no further than here: TranslateMessage puts the key's character (if any) in front of the
// queue, and one key-down event carries both. Alt combinations never reach DefWindowProc, so Alt+F4
// cannot close a password run's window.
void translateKey(MSG& msg)
{
    const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    if (!down) {
        UINT plain = MapVirtualKeyA(static_cast<UINT>(msg.wParam), MAPVK_VK_TO_CHAR) & 0x7FFF;
        if (plain >= 'A' && plain <= 'Z' && !(modifiersNow() & 1)) plain += 'a' - 'A';
        if (!gWin.preview.active) postEvent(makeEvent(kEventKeyUp, plain & 0xFF, 0, 0));
        return;
    }
    TranslateMessage(&msg);
    uint32_t character = 0;
    MSG text;
    // Taken as UTF-16 and put into Windows-1252 whatever the system's ANSI code page, as the prompt and the
    // settings file hold passwords; a character that code page lacks is '?', as on Linux.
    if (PeekMessageW(&text, msg.hwnd, WM_CHAR, WM_DEADCHAR, PM_REMOVE) ||
        PeekMessageW(&text, msg.hwnd, WM_SYSCHAR, WM_SYSDEADCHAR, PM_REMOVE)) {
        if (text.message == WM_CHAR || text.message == WM_SYSCHAR) {
            uint32_t code = static_cast<uint32_t>(text.wParam & 0xFFFF);
            int ansi = code < 0x80 ? static_cast<int>(code) : platform::unicodeToAnsi(code);
            character = ansi < 0 ? '?' : static_cast<uint32_t>(ansi);
        }
    }
    // Bit 30: the key was already down, so this is the keyboard's repeat.
    const int type = (msg.lParam & (1L << 30)) ? kEventKeyRepeat : kEventKeyDown;
    if (!gWin.preview.active) postEvent(makeEvent(type, character, 0, 0));
}

// Another window that takes the front in a password run is put back behind the saver's.
void holdFront()
{
    if (!gWin.lock.active || !gWin.window) return;
    uint64_t now = monotonicUs();
    if (now - gWin.lock.lastCheckUs < kLockCheckUs) return;
    gWin.lock.lastCheckUs = now;
    if (GetForegroundWindow() == gWin.window) return;
    SetWindowPos(gWin.window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(gWin.window);
}

}  // namespace

bool registerWindowClass()
{
    static bool registered = false;
    if (registered) return true;
    WNDCLASSA windowClass = {};
    windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = gWin.instance;
    windowClass.hIcon = LoadIconA(gWin.instance, "MAINICON");
    windowClass.hCursor = nullptr;   // WM_SETCURSOR decides
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kWindowClassName;
    registered = RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return registered;
}

void postQuit()
{
    postEvent(makeEvent(kEventInternalQuit, 0, 0, 0));
}

void pumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        switch (msg.message) {
        case WM_QUIT: postQuit(); break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP:
            if (msg.hwnd == gWin.window && gWin.window) {
                translateKey(msg);
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            break;
        default: DispatchMessageA(&msg); break;
        }
    }
    if (gWin.preview.active) followPreviewParent();
    holdFront();
}

}  // namespace display
