// tests/ui/win32_probe.cpp -- opens one dialog template as a native Win32 dialog and checks that every control
// sits where its template puts it, read back from the control windows themselves.
//
// win32_probe NAME [HOLD_MS]: prints one line per control (id, class, template rectangle mapped to pixels,
// the window's rectangle in the dialog's client area) and ends with 0 when every control matches, 1 when
// one does not, 2 when the dialog cannot be made. HOLD_MS keeps the dialog on screen that long first (for
// a picture), pumping its messages.
// win32_probe NAME text: the dialog's text crosses between the model (UTF-8) and the native edit fields
// (UTF-16) whole: "café" put into the model shows natively as c a f U+00E9, and each field typed into
// natively hands the model UTF-8 that the Windows-1252 read turns into 63 61 66 e9; a character that code
// page lacks is refused by that read. Ends with 0 when all hold, 1 when one does not.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "platform/dialog/dialog.h"
#include "platform/dialog/ui_backend.h"
#include "resources/dialog_templates.h"

namespace {

intptr_t quietProc(platform::Window*, unsigned, uintptr_t, intptr_t) { return 0; }

// A drop-down list's template height is its dropped list, and a list box without LBS_NOINTEGRALHEIGHT
// rounds its height to whole lines: their heights are the system's to choose.
bool heightIsOurs(platform::ControlKind kind)
{
    return kind != platform::ControlKind::ComboBox && kind != platform::ControlKind::ListBox;
}

void holdOnScreen(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(20);
    }
}

// Characters as the keyboard delivers them to the focused field.
void typeInto(HWND control, const wchar_t* text)
{
    SetFocus(control);
    for (const wchar_t* c = text; *c; ++c) SendMessageW(control, WM_CHAR, *c, 1);
}

int checkText(platform::Window* dialog)
{
    int wrong = 0;
    int edits = 0;
    for (const platform::Control& c : dialog->controls) {
        HWND control = static_cast<HWND>(c.widget);
        if (c.kind != platform::ControlKind::Edit || !control) continue;
        ++edits;
        platform::setDlgItemText(dialog, c.id, "caf\xc3\xa9");
        wchar_t shown[16] = L"";
        GetWindowTextW(control, shown, 16);
        bool shownWhole = std::wcscmp(shown, L"caf\u00e9") == 0;
        SetWindowTextW(control, L"");
        typeInto(control, L"caf\u00e9");
        char ansi[16] = "";
        bool readWhole = platform::getDlgItemAnsiText(dialog, c.id, ansi, sizeof ansi);
        bool typedWhole = readWhole && std::strcmp(ansi, "caf\xe9") == 0;
        typeInto(control, L"\u0142");   // l with stroke: not in Windows-1252
        bool refused = !platform::getDlgItemAnsiText(dialog, c.id, ansi, sizeof ansi);
        if (!shownWhole || !typedWhole || !refused) ++wrong;
        std::printf("%s id=%d shown=%s typed=%s foreign=%s\n", shownWhole && typedWhole && refused ? "ok" : "WRONG",
                    c.id, shownWhole ? "whole" : "changed", typedWhole ? "63 61 66 e9" : "changed",
                    refused ? "refused" : "taken");
    }
    std::printf("%d of %d edit fields lose text\n", wrong, edits);
    return wrong || edits == 0 ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const platform::DialogTemplate* source = resources::findDialogTemplate(argc > 1 ? argv[1] : "DIALOG_1");
    if (!source) return 2;
    if (std::strcmp(platform::uiRealisation(), "win32") != 0) return 2;
    platform::Window* dialog = platform::createDialogParam(source, nullptr, quietProc, 0);
    HWND hwnd = dialog ? static_cast<HWND>(dialog->native) : nullptr;
    if (!hwnd) return 2;
    ShowWindow(hwnd, SW_SHOW);
    if (argc > 2 && std::strcmp(argv[2], "text") == 0) {
        int result = checkText(dialog);
        platform::destroyWindow(dialog);
        return result;
    }
    if (argc > 2) holdOnScreen(static_cast<DWORD>(std::atoi(argv[2])));
    int wrong = 0;
    for (const platform::Control& c : dialog->controls) {
        // The dialog manager converts the position and the size each on its own, as MapDialogRect does.
        RECT place = {c.source->x, c.source->y, c.source->width, c.source->height};
        MapDialogRect(hwnd, &place);
        RECT expected = {place.left, place.top, place.left + place.right, place.top + place.bottom};
        RECT actual = {0, 0, 0, 0};
        HWND control = static_cast<HWND>(c.widget);
        if (control) {
            GetWindowRect(control, &actual);
            MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&actual), 2);
        }
        char className[32] = "";
        if (control) GetClassNameA(control, className, sizeof className);
        bool same = control && GetDlgCtrlID(control) == c.id && actual.left == expected.left &&
                    actual.top == expected.top && actual.right == expected.right &&
                    (!heightIsOurs(c.kind) || actual.bottom == expected.bottom);
        if (!same) ++wrong;
        std::printf("%s id=%d class=%s template=%ld,%ld,%ld,%ld window=%ld,%ld,%ld,%ld\n", same ? "ok" : "WRONG",
                    c.id, className, expected.left, expected.top, expected.right - expected.left,
                    expected.bottom - expected.top, actual.left, actual.top, actual.right - actual.left,
                    actual.bottom - actual.top);
    }
    std::printf("%d of %zu controls misplaced\n", wrong, dialog->controls.size());
    platform::destroyWindow(dialog);
    return wrong ? 1 : 0;
}
