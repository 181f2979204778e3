// tests/win32/preview_host.cpp -- a small stand-in for the screen-saver control panel's preview: a window
// of its own, the saver started with "/p HWND" on it, the window destroyed after a while, and the
// saver's end awaited. Prints the window's handle, the saver's exit code and how long it took to end
// after the window went; exits 0 when the saver ended within the limit.
// With "settings" it stands in for the panel's Settings button instead: the saver started with
// "/c:HWND", its dialog looked for among the windows the host's window owns, then closed; exits 0 when
// that dialog was owned by the host and the saver ended with 0 after it.
//
//   preview_host PROGRAM SHOW_MS [LIMIT_MS [settings]]
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kClientWidth = 320;     // pixels, about a preview monitor's screen
constexpr int kClientHeight = 240;
constexpr DWORD kDefaultLimitMs = 3000;

void pumpFor(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(10);
    }
}

HWND openHostWindow()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = "PreviewHost";
    RegisterClassA(&windowClass);
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowExA(0, "PreviewHost", "Preview host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    return window;
}

struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK findOwned(HWND window, LPARAM search)
{
    auto* s = reinterpret_cast<OwnedSearch*>(search);
    if (GetWindow(window, GW_OWNER) != s->owner || !IsWindowVisible(window)) return TRUE;
    s->found = window;
    return FALSE;
}

int awaitOwnedDialog(HWND host, const PROCESS_INFORMATION& process, DWORD showMs, DWORD limitMs)
{
    OwnedSearch search = {host, nullptr};
    const DWORD start = GetTickCount();
    while (!search.found && GetTickCount() - start < showMs) {
        pumpFor(50);
        EnumWindows(findOwned, reinterpret_cast<LPARAM>(&search));
    }
    std::printf("dialog owned by the host: %s\n", search.found ? "yes" : "no");
    if (search.found) PostMessageA(search.found, WM_CLOSE, 0, 0);
    DWORD waited = WAIT_TIMEOUT;
    const DWORD closed = GetTickCount();
    while (waited == WAIT_TIMEOUT && GetTickCount() - closed < limitMs) {
        pumpFor(20);
        waited = WaitForSingleObject(process.hProcess, 0);
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    std::printf("ended: %s, exit code %lu\n", waited == WAIT_OBJECT_0 ? "yes" : "no", exitCode);
    if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    return search.found && waited == WAIT_OBJECT_0 && exitCode == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: preview_host PROGRAM SHOW_MS [LIMIT_MS [settings]]\n");
        return 2;
    }
    const DWORD showMs = static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10));
    const DWORD limitMs = argc > 3 ? static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)) : kDefaultLimitMs;
    HWND window = openHostWindow();
    if (!window) return 2;
    const unsigned long long handle = reinterpret_cast<uintptr_t>(window);
    std::printf("window %llu\n", handle);
    std::fflush(stdout);

    const bool settings = argc > 4 && std::strcmp(argv[4], "settings") == 0;
    std::string commandLine = "\"" + std::string(argv[1]) + (settings ? "\" /c:" : "\" /p ") + std::to_string(handle);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "preview_host: cannot start %s (error %lu)\n", argv[1], GetLastError());
        return 2;
    }
    if (settings) return awaitOwnedDialog(window, process, showMs, limitMs);
    pumpFor(showMs);
    const DWORD running = WaitForSingleObject(process.hProcess, 0);
    std::printf("running before the window went: %s\n", running == WAIT_TIMEOUT ? "yes" : "no");
    const DWORD gone = GetTickCount();
    DestroyWindow(window);
    DWORD waited = WAIT_TIMEOUT;
    while (waited == WAIT_TIMEOUT && GetTickCount() - gone < limitMs) {
        pumpFor(20);
        waited = WaitForSingleObject(process.hProcess, 0);
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    std::printf("ended: %s, exit code %lu, %lu ms after the window went\n", waited == WAIT_OBJECT_0 ? "yes" : "no",
                exitCode, GetTickCount() - gone);
    if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    return waited == WAIT_OBJECT_0 && exitCode == 0 && running == WAIT_TIMEOUT ? 0 : 1;
}
