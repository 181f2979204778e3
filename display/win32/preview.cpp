// display/win32/preview.cpp -- "/p HWND": Windows asks for a preview whenever the saver is picked in its
// list. The run draws into a child window over that window's client area by the host rules (no mode
// change, no cursor, no input, no box), follows its size and ends when the window goes away.
#include "display/win32/win32_window.h"

#include "platform/command_line.h"

#include <GL/gl.h>

#include <cstdio>

namespace display {

namespace {

constexpr uint64_t kSizeCheckUs = 100000;   // how often the parent's size is looked at

// The argument after the program path, which Windows may quote when it holds blanks.
const char* argumentOf(const char* line)
{
    if (*line == '"') {
        ++line;
        while (*line && *line != '"') ++line;
        if (*line == '"') ++line;
    } else {
        while (*line && *line != ' ' && *line != '\t') ++line;
    }
    while (*line == ' ' || *line == '\t') ++line;
    return line;
}

}  // namespace

HWND parsePreviewRequest(const char* commandLine)
{
    const char* text = argumentOf(commandLine ? commandLine : "");
    if ((text[0] != '/' && text[0] != '-') || (text[1] != 'p' && text[1] != 'P')) return nullptr;
    text += 2;
    if (*text == ':') ++text;
    while (*text == ' ' || *text == '\t') ++text;
    uint64_t value = 0;
    const char* digits = text;
    for (; *text >= '0' && *text <= '9'; ++text) {
        const uint64_t digit = static_cast<uint64_t>(*text - '0');
        if (value > (UINTPTR_MAX - digit) / 10) return nullptr;
        value = value * 10 + digit;
    }
    while (*text == ' ' || *text == '\t') ++text;
    if (text == digits || *text != '\0' || value == 0) return nullptr;
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
}

namespace {

HWND findPreviewParent()
{
    HWND parent = parsePreviewRequest(platform::commandLine());
    return parent && IsWindow(parent) ? parent : nullptr;
}

bool parentClientSize(int* width, int* height)
{
    RECT client = {};
    if (!IsWindow(gWin.preview.parent) || !GetClientRect(gWin.preview.parent, &client)) return false;
    *width = client.right;
    *height = client.bottom;
    return client.right > 0 && client.bottom > 0;
}

}  // namespace

HWND previewParent()
{
    static const HWND parent = findPreviewParent();
    return parent;
}

bool previewRequested()
{
    return previewParent() != nullptr;
}

bool runsForHost()
{
    return previewRequested();
}

bool openPreviewWindow(const char* title)
{
    gWin.preview = {true, previewParent(), 0};
    int width = 0, height = 0;
    if (!parentClientSize(&width, &height)) {
        std::fprintf(stderr, "display: the preview window %p is gone or has no size\n",
                     static_cast<void*>(gWin.preview.parent));
        gWin.preview.active = false;
        return false;
    }
    // Disabled: clicks and keys belong to the dialog around the preview, not to the saver.
    gWin.window = CreateWindowExA(0, kWindowClassName, title, WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_CLIPSIBLINGS,
                                  0, 0, width, height, gWin.preview.parent, nullptr, gWin.instance, nullptr);
    if (!gWin.window) {
        std::fprintf(stderr, "display: cannot open a window in the preview window %p (error %lu)\n",
                     static_cast<void*>(gWin.preview.parent), GetLastError());
        gWin.preview.active = false;
        return false;
    }
    return true;
}

void followPreviewParent()
{
    // The scene set its viewport for the mode it asked for; in a preview the page is the window.
    if (gFramework.screen.openGL) glViewport(0, 0, gFramework.screen.mode.xRes, gFramework.screen.mode.yRes);
    uint64_t now = monotonicUs();
    if (now < gWin.preview.nextSizeCheckUs) return;
    gWin.preview.nextSizeCheckUs = now + kSizeCheckUs;
    int width = 0, height = 0;
    if (!parentClientSize(&width, &height)) {
        std::fprintf(stderr, "display: the preview window is gone; ending\n");
        postQuit();
        return;
    }
    RECT ours = {};
    GetClientRect(gWin.window, &ours);
    if (ours.right != width || ours.bottom != height) MoveWindow(gWin.window, 0, 0, width, height, FALSE);
    if (!resizePages(width, height)) {
        std::fprintf(stderr, "display: no page of %d x %d for the preview window; ending\n", width, height);
        postQuit();
    }
}

}  // namespace display
