// tests/ui/win32_probe.cpp -- opens one dialog template as a native Win32 dialog and checks that every control
// sits where its template puts it, read back from the control windows themselves.
//
// win32_probe NAME [HOLD_MS]: prints one line per control (id, class, template rectangle mapped to pixels,
// the window's rectangle in the dialog's client area) and ends with 0 when every control matches, 1 when
// one does not, 2 when the dialog cannot be made. HOLD_MS keeps the dialog on screen that long first (for
// a picture), pumping its messages.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

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
