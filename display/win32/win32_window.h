// display/win32/win32_window.h -- what the Windows back end's files share: its state (the topmost window,
// its WGL context, the display modes and the one set), the message pump, the preview's parent window
// and the OpenGL loader.
#pragma once

#include "display/backend.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>
#include <vector>

namespace display {

constexpr int kMaxDisplayModes = 512;
constexpr int kWindowDepthBits = 16;   // at least as deep as an off-screen page's depth buffer

struct DisplayMode {
    int width;          // pixels
    int height;         // pixels
    int bitsPerPixel;   // 8, 16, 24 or 32 as the display reports it
};

struct Win32State {
    HINSTANCE instance;
    ScreenInfo desktop;                      // the desktop mode when the back end opened
    DisplayMode modes[kMaxDisplayModes];     // EnumDisplaySettingsA's list, each size and depth once
    int modeCount;
    HWND window;                             // null when no mode is set
    HDC dc;                                  // the window's own (CS_OWNDC)
    HGLRC context;                           // null without OpenGL
    int windowDepthBits;                     // the pixel format's depth buffer, 0 without one
    bool framebufferObjects;                 // the context has them (else pages are the back buffer)
    bool backBufferProbed;                   // backBufferKept has been found out for this context
    bool backBufferKept;                     // a swap leaves the back buffer as it was
    struct {
        bool asked;                          // wglSwapIntervalEXT(1) was accepted
        bool waits;                          // and swaps were seen to wait for a refresh
        int counted;                         // swaps timed so far
        uint64_t firstUs;                    // monotonic time of the first timed swap
    } swap;
    struct {
        DEVMODEA mode;                       // the mode to hold while the saver is in front
        bool wanted;                         // setMode changed the display's mode
        bool inEffect;                       // and it is on the display now
    } displayMode;
    bool focusLost;                          // a suspend has been posted, the resume not yet
    bool cursorVisible;
    int lastMouseX, lastMouseY;              // the last move posted, page pixels; -1 before the first
    struct {
        bool active;                         // setInputGrab(true): the window keeps the front
        uint64_t lastCheckUs;                // monotonic time it last looked
    } lock;
    struct {
        HPALETTE palette;                    // 3-3-2 for OpenGL on an 8-bit display, null otherwise
        bool systemTaken;                    // SYSPAL_NOSTATIC256 is in effect
    } palette;
    struct {
        bool active;                         // the window is a child of the preview's parent
        HWND parent;
        uint64_t nextSizeCheckUs;            // monotonic time of the next look at the parent's size
    } preview;
    std::vector<uint8_t> zoomPixels;         // a 1.1 page read back for stretching, sized once a mode
};

extern Win32State gWin;

// Window class, procedure and message pump (win32_input.cpp).
bool registerWindowClass();
extern const char* const kWindowClassName;
void pumpMessages();
void postQuit();

// Display modes, the palette (win32_modes.cpp).
void readDisplayModes();
bool displayOffers(int width, int height, int bitsPerPixel);
bool changeDisplayMode(int width, int height, int bitsPerPixel);   // false: refused, nothing changed
void releaseDisplayMode();          // the desktop's mode back, for a while (suspend) or for good
void retakeDisplayMode();           // the mode set, again (resume)
void takeOverPalette();             // on an 8-bit display: OpenGL's palette, static colours too if asked
void giveBackPalette();
int currentRefreshHz();

// Preview into another program's window (preview.cpp).
// "/p HWND", "/p:HWND" or "-p HWND" after the program path (quoted or not): the handle, decimal,
// nothing after it; null for anything else. Whether the window exists is not asked.
HWND parsePreviewRequest(const char* commandLine);
HWND previewParent();               // the window of "/p HWND" when it exists, else null
bool openPreviewWindow(const char* title);
void followPreviewParent();         // ends the run when the parent is gone; follows its size

// OpenGL beyond 1.1 (gl_loader.cpp).
bool loadGlCalls();                 // with a context current; true when framebuffer objects can be made
void forgetGlCalls();
bool framebufferCallsLoaded();

}  // namespace display
