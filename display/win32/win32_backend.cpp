// display/win32/win32_backend.cpp -- the Windows back end: a topmost full-screen popup with a WGL context
// (double buffer, the page's depth buffer), real display modes for DirectDraw, the desktop stretched
// for Full screen DIB, the retrace wait through WGL_EXT_swap_control, QueryPerformanceCounter's clock,
// and a preview's child window in place of our own.
#include "display/win32/win32_window.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>

namespace display {

Win32State gWin;

namespace {

// Swaps timed before trusting WGL_EXT_swap_control: a driver may accept the interval and not wait (a
// virtual display has no retrace), and then the loop must pace itself.
constexpr int kSwapsTimed = 30;

using SwapIntervalCall = BOOL(WINAPI*)(int);

uint64_t performanceFrequency()
{
    LARGE_INTEGER frequency = {};
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart > 0 ? static_cast<uint64_t>(frequency.QuadPart) : 1;
}

uint64_t nowUs()
{
    static const uint64_t frequency = performanceFrequency();
    LARGE_INTEGER count = {};
    QueryPerformanceCounter(&count);
    const uint64_t ticks = static_cast<uint64_t>(count.QuadPart);
    return ticks / frequency * 1000000u + ticks % frequency * 1000000u / frequency;
}

bool openWin32(ScreenInfo* screen)
{
    gWin.instance = GetModuleHandleA(nullptr);
    gWin.lastMouseX = gWin.lastMouseY = -1;
    gWin.cursorVisible = true;
    DEVMODEA desktop = {};
    desktop.dmSize = sizeof desktop;
    if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &desktop)) return false;
    gWin.desktop = {static_cast<int>(desktop.dmPelsWidth), static_cast<int>(desktop.dmPelsHeight),
                    static_cast<int>(desktop.dmBitsPerPel)};
    readDisplayModes();
    *screen = gWin.desktop;
    return true;
}

// DirectDraw serves the display's own modes at their depth (a real mode change), Full screen DIB every
// standard size that fits on the desktop, at any depth (the page is reduced and stretched). The
// WinDirect families need a DOS box that Windows NT does not have.
int modePages(int driver, int xRes, int yRes, int bitsPerPixel)
{
    // A preview shows whatever the settings name at its window's size.
    if (previewParent()) return 1;
    if (driver == kDriverDirectDraw) return displayOffers(xRes, yRes, bitsPerPixel) ? 3 : 0;
    if (driver == kDriverFullScreenDib) return xRes <= gWin.desktop.width && yRes <= gWin.desktop.height ? 1 : 0;
    return 0;
}

// A pixel format with a depth buffer where the page may be drawn on screen; a stretched page never is.
bool choosePixelFormat(bool depthBuffer)
{
    PIXELFORMATDESCRIPTOR wanted = {};
    wanted.nSize = sizeof wanted;
    wanted.nVersion = 1;
    wanted.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    wanted.iPixelType = PFD_TYPE_RGBA;
    wanted.cColorBits = static_cast<BYTE>(GetDeviceCaps(gWin.dc, BITSPIXEL) * GetDeviceCaps(gWin.dc, PLANES));
    wanted.cDepthBits = depthBuffer ? kWindowDepthBits : 0;
    wanted.iLayerType = PFD_MAIN_PLANE;
    int format = ChoosePixelFormat(gWin.dc, &wanted);
    if (!format && depthBuffer) {
        wanted.cDepthBits = 0;
        format = ChoosePixelFormat(gWin.dc, &wanted);
    }
    return format && SetPixelFormat(gWin.dc, format, &wanted);
}

HWND createTopWindow(int width, int height, bool windowed, const char* title)
{
    if (windowed) {
        RECT frame = {0, 0, width, height};
        const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
        AdjustWindowRect(&frame, style, FALSE);
        return CreateWindowExA(0, kWindowClassName, title, style, CW_USEDEFAULT, CW_USEDEFAULT,
                               frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, gWin.instance,
                               nullptr);
    }
    return CreateWindowExA(WS_EX_TOPMOST | WS_EX_APPWINDOW, kWindowClassName, title,
                           WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, width, height, nullptr, nullptr,
                           gWin.instance, nullptr);
}

void closeMode();

bool setMode(int xRes, int yRes, int bitsPerPixel, int driver, bool windowed, const char* title)
{
    if (!registerWindowClass()) fatalError("Unable to register Window Class!");
    gWin.focusLost = false;
    gWin.lastMouseX = gWin.lastMouseY = -1;
    gWin.lock.lastCheckUs = 0;
    if (previewParent()) {
        if (!openPreviewWindow(title)) return false;
    } else {
        int windowW = xRes, windowH = yRes;
        if (!windowed && driver == kDriverDirectDraw && !changeDisplayMode(xRes, yRes, bitsPerPixel)) return false;
        // Full screen DIB: the desktop as it is, the page stretched over it.
        if (!windowed && driver != kDriverDirectDraw) {
            windowW = GetSystemMetrics(SM_CXSCREEN);
            windowH = GetSystemMetrics(SM_CYSCREEN);
        }
        gWin.window = createTopWindow(windowW, windowH, windowed, title);
        if (!gWin.window) {
            releaseDisplayMode();
            gWin.displayMode.wanted = false;
            return false;
        }
    }
    gWin.dc = GetDC(gWin.window);
    RECT client = {};
    GetClientRect(gWin.window, &client);
    const bool pageFillsWindow = gWin.preview.active || (client.right == xRes && client.bottom == yRes);
    if (!gWin.dc || !choosePixelFormat(pageFillsWindow)) {
        closeMode();
        return false;
    }
    if (!gWin.preview.active) {
        ShowWindow(gWin.window, SW_SHOW);
        SetForegroundWindow(gWin.window);
        SetFocus(gWin.window);
    }
    UpdateWindow(gWin.window);
    return true;
}

void askForSwapInterval()
{
    gWin.swap = {};
    PROC found = wglGetProcAddress("wglSwapIntervalEXT");
    auto swapInterval = reinterpret_cast<SwapIntervalCall>(reinterpret_cast<void*>(found));
    gWin.swap.asked = swapInterval && swapInterval(1);
}

bool createContext(unsigned)
{
    if (!gWin.window || !gWin.dc) return false;
    gWin.context = wglCreateContext(gWin.dc);
    if (!gWin.context || !wglMakeCurrent(gWin.dc, gWin.context)) {
        if (gWin.context) wglDeleteContext(gWin.context);
        gWin.context = nullptr;
        return false;
    }
    gWin.framebufferObjects = loadGlCalls();
    if (!gWin.framebufferObjects)
        std::fprintf(stderr, "display: OpenGL %s offers no framebuffer objects; pages are drawn on screen\n",
                     reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    askForSwapInterval();
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    gWin.windowDepthBits = depthBits;
    gWin.backBufferProbed = false;
    gWin.backBufferKept = false;
    takeOverPalette();
    gFramework.time.lastPresentUs = monotonicUs();
    return true;
}

void swapWindow()
{
    SwapBuffers(gWin.dc);
}

bool clientSize(int* width, int* height)
{
    RECT client = {};
    if (!gWin.window || !GetClientRect(gWin.window, &client)) return false;
    *width = client.right;
    *height = client.bottom;
    return true;
}

bool pageOnScreen(int width, int height, bool depthBuffer)
{
    if (!gWin.context) return false;
    if (depthBuffer && gWin.windowDepthBits < kWindowDepthBits) return false;
    int windowW = 0, windowH = 0;
    if (!gWin.preview.active && (!clientSize(&windowW, &windowH) || windowW != width || windowH != height))
        return false;
    if (!gWin.backBufferProbed) {
        gWin.backBufferKept = backBufferSurvivesSwap(swapWindow);
        gWin.backBufferProbed = true;
    }
    return gWin.backBufferKept;
}

// Where the swap was asked to wait, the first swaps are timed unpaced: on average at least half a
// refresh period apart, or the loop paces itself from then on.
bool swapWaited()
{
    if (!gWin.swap.asked) return false;
    if (gWin.swap.counted >= kSwapsTimed) return gWin.swap.waits;
    const uint64_t now = monotonicUs();
    if (gWin.swap.counted++ == 0) gWin.swap.firstUs = now;
    if (gWin.swap.counted < kSwapsTimed) return true;
    const int hz = currentRefreshHz();
    const uint64_t halfPeriodUs = 500000u / static_cast<uint64_t>(hz > 0 ? hz : 60);
    gWin.swap.waits = now - gWin.swap.firstUs >= (kSwapsTimed - 1) * halfPeriodUs;
    if (!gWin.swap.waits) std::fprintf(stderr, "display: the driver's swaps do not wait for the retrace; pacing\n");
    return gWin.swap.waits;
}

// Draws the page read back (zoomPixels) with its lower left corner at the window's, zoomed to fill
// `width` x `height` pixels, whatever the scene's state.
// The bars beside a page of another shape than the screen's.
void clearToBlack()
{
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glPopAttrib();
}

void drawReadPage(int pageWidth, int pageHeight, const ShownRect& shown)
{
    const int width = shown.width, height = shown.height;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_COLOR_LOGIC_OP);
    glDisable(GL_SCISSOR_TEST);
    glViewport(shown.x, shown.y, width, height);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRasterPos2f(-1.0f, -1.0f);
    glPixelZoom(static_cast<float>(width) / pageWidth, static_cast<float>(height) / pageHeight);
    glDrawPixels(pageWidth, pageHeight, GL_RGBA, GL_UNSIGNED_BYTE, gWin.zoomPixels.data());
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopClientAttrib();
    glPopAttrib();
}

// A context of 1.1 has no framebuffer objects: the page is the back buffer's lower left corner. One
// smaller than the window is read back and drawn zoomed over it before the swap; and where the swap
// does not keep the back buffer as it was, or the zoom covered the page, the page read back is put
// where it was after the swap, so that passes which skip the scene (the password prompt) draw over
// the last page as everywhere else.
void presentBackBufferPage(int pageWidth, int pageHeight, int windowWidth, int windowHeight)
{
    if (!gWin.backBufferProbed) {
        gWin.backBufferKept = backBufferSurvivesSwap(swapWindow);
        gWin.backBufferProbed = true;
    }
    const bool stretched = windowWidth != pageWidth || windowHeight != pageHeight;
    const bool putBack = stretched || !gWin.backBufferKept;
    // Rows from the bottom, as GL counts them.
    ShownRect shown = gWin.preview.active ? ShownRect{0, 0, windowWidth, windowHeight}
                                          : letterbox(pageWidth, pageHeight, windowWidth, windowHeight);
    shown.y = windowHeight - shown.y - shown.height;
    if (putBack) {
        gWin.zoomPixels.resize(static_cast<size_t>(pageWidth) * static_cast<size_t>(pageHeight) * 4);
        glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, pageWidth, pageHeight, GL_RGBA, GL_UNSIGNED_BYTE, gWin.zoomPixels.data());
        glPopClientAttrib();
    }
    if (stretched) {
        if (shown.width != windowWidth || shown.height != windowHeight) clearToBlack();
        drawReadPage(pageWidth, pageHeight, shown);
    }
    SwapBuffers(gWin.dc);
    if (putBack) drawReadPage(pageWidth, pageHeight, ShownRect{0, 0, pageWidth, pageHeight});
}

// The presented page is stretched over the window's client area, its shape kept between black bars as a
// display shows a mode of another shape (a preview: over all of the host's window), then the buffers swap;
// a page drawn on screen only needs the swap.
bool present(unsigned presented, int pageWidth, int pageHeight)
{
    int windowW = pageWidth, windowH = pageHeight;
    if (!gWin.preview.active) clientSize(&windowW, &windowH);
    if (!presented) {
        if (gWin.framebufferObjects) {
            SwapBuffers(gWin.dc);
        } else {
            presentBackBufferPage(pageWidth, pageHeight, windowW, windowH);
        }
        return swapWaited();
    }
    GLint drawBinding = 0, readBinding = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawBinding);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readBinding);
    ShownRect shown = {0, 0, windowW, windowH};
    if (!gWin.preview.active) shown = letterbox(pageWidth, pageHeight, windowW, windowH);
    glPushAttrib(GL_SCISSOR_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, presented);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    if (shown.width != windowW || shown.height != windowH) clearToBlack();
    // GL counts rows from the bottom; the bars above and below are the same height give or take one.
    const int bottom = windowH - shown.y - shown.height;
    glBlitFramebuffer(0, 0, pageWidth, pageHeight, shown.x, bottom, shown.x + shown.width, bottom + shown.height,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    SwapBuffers(gWin.dc);
    glPopAttrib();
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawBinding));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readBinding));
    return swapWaited();
}

// A preview shows the control panel's cursor.
void setCursorVisible(bool visible)
{
    gWin.cursorVisible = visible;
    if (!gWin.window || gWin.preview.active) return;
    POINT pointer = {};
    if (GetCursorPos(&pointer) && WindowFromPoint(pointer) == gWin.window)
        SetCursor(visible ? LoadCursorA(nullptr, IDC_ARROW) : nullptr);
}

int refreshHz()
{
    return currentRefreshHz();
}

// The window and its context go, the desktop's mode and colours come back.
void closeMode()
{
    giveBackPalette();
    if (gWin.context) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(gWin.context);
        forgetGlCalls();
    }
    if (gWin.palette.palette) DeleteObject(gWin.palette.palette);
    HWND window = gWin.window;
    gWin.window = nullptr;
    if (gWin.dc) ReleaseDC(window, gWin.dc);
    if (window) DestroyWindow(window);
    if (gWin.lock.active) ClipCursor(nullptr);
    releaseDisplayMode();
    gWin.displayMode.wanted = false;
    gWin.context = nullptr;
    gWin.dc = nullptr;
    gWin.palette = {};
    gWin.preview.active = false;
    gWin.lock.active = false;
    gWin.framebufferObjects = false;
    gWin.zoomPixels = std::vector<uint8_t>();
}

bool imposedPageSize(int* width, int* height)
{
    int w = 0, h = 0;
    if (!gWin.preview.active || !clientSize(&w, &h) || w <= 0 || h <= 0) return false;
    *width = w;
    *height = h;
    return true;
}

// A password run's window keeps the front and the pointer (win32_input.cpp takes the front back).
// The system's own keys (Ctrl+Alt+Del, Win+L) are beyond any program's reach.
bool grabInput(bool on)
{
    if (gWin.preview.active) return true;
    gWin.lock.active = on;
    gWin.lock.lastCheckUs = 0;
    if (!on) {
        ClipCursor(nullptr);
        return true;
    }
    if (!gWin.window) return true;
    RECT screen = {};
    GetWindowRect(gWin.window, &screen);
    ClipCursor(&screen);
    SetWindowPos(gWin.window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(gWin.window);
    return true;
}

bool offScreenPages()
{
    return !gWin.context || gWin.framebufferObjects;
}

}  // namespace

Backend makeWin32Backend()
{
    Backend backend("window");
    backend.open = openWin32;
    backend.modePages = modePages;
    backend.setMode = setMode;
    backend.createContext = createContext;
    backend.pumpEvents = pumpMessages;
    backend.present = present;
    backend.nowUs = nowUs;
    backend.setCursorVisible = setCursorVisible;
    backend.refreshHz = refreshHz;
    backend.closeMode = closeMode;
    backend.imposedPageSize = imposedPageSize;
    backend.grabInput = grabInput;
    backend.pageOnScreen = pageOnScreen;
    backend.offScreenPages = offScreenPages;
    return backend;
}

}  // namespace display
