// display/offscreen/offscreen_backend.cpp -- the back end without any display server: EGL surfaceless, a virtual
// screen of TOCKWHEEL_SCREEN pixels, and a virtual clock that one presented page advances by one refresh.
#include "display/backend.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>
#include <cstdlib>

namespace display {

namespace {

constexpr int kDefaultScreenWidth = 1024;   // pixels
constexpr int kDefaultScreenHeight = 768;   // pixels
constexpr int kScreenLimit = 16384;         // pixels, either way

struct Offscreen {
    int width;            // virtual screen, pixels
    int height;
    EGLDisplay display;   // EGL_NO_DISPLAY until the first context
    EGLContext context;   // EGL_NO_CONTEXT when none
};

Offscreen gOffscreen = {kDefaultScreenWidth, kDefaultScreenHeight, EGL_NO_DISPLAY, EGL_NO_CONTEXT};

void readScreenSize()
{
    const char* text = std::getenv("TOCKWHEEL_SCREEN");
    if (!text || !*text) return;
    int width = 0, height = 0;
    char rest = 0;
    if (std::sscanf(text, "%dx%d%c", &width, &height, &rest) == 2 && width > 0 && height > 0 &&
        width <= kScreenLimit && height <= kScreenLimit) {
        gOffscreen.width = width;
        gOffscreen.height = height;
        return;
    }
    std::fprintf(stderr, "TOCKWHEEL_SCREEN=%s is not WIDTHxHEIGHT; using %dx%d\n", text, kDefaultScreenWidth,
                 kDefaultScreenHeight);
}

bool open(ScreenInfo* screen)
{
    readScreenSize();
    *screen = {gOffscreen.width, gOffscreen.height, 32};
    return true;
}

// A virtual screen shows every family's modes that fit on it.
int modePages(int driver, int xRes, int yRes, int)
{
    if (xRes > gOffscreen.width || yRes > gOffscreen.height) return 0;
    switch (driver) {
    case kDriverDirectDraw: return 3;
    case kDriverFullScreenDib: return 1;
    case kDriverVga: return 1;
    default: return 2;
    }
}

bool setMode(int, int, int, int, bool, const char*)
{
    return true;
}

// Without a display server EGL needs the surfaceless platform named explicitly.
EGLDisplay openDisplay()
{
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) return EGL_NO_DISPLAY;
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) return EGL_NO_DISPLAY;
    return display;
}

bool createContext(unsigned)
{
    if (gOffscreen.display == EGL_NO_DISPLAY) gOffscreen.display = openDisplay();
    if (gOffscreen.display == EGL_NO_DISPLAY || !eglBindAPI(EGL_OPENGL_API)) return false;
    // Any config will do: the context renders into framebuffer objects, never into an EGL surface.
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, 0, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = EGL_NO_CONFIG_KHR;
    EGLint found = 0;
    if (!eglChooseConfig(gOffscreen.display, configAttributes, &config, 1, &found) || found < 1)
        config = EGL_NO_CONFIG_KHR;
    // The scene is OpenGL 1.1 immediate mode: a compatibility profile keeps all of it.
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                        EGL_NONE};
    gOffscreen.context = eglCreateContext(gOffscreen.display, config, EGL_NO_CONTEXT, contextAttributes);
    if (gOffscreen.context == EGL_NO_CONTEXT) return false;
    return eglMakeCurrent(gOffscreen.display, EGL_NO_SURFACE, EGL_NO_SURFACE, gOffscreen.context) == EGL_TRUE;
}

// Each presented page is one refresh of the virtual display.
bool present(unsigned, int, int)
{
    gFramework.time.virtualUs += kRefreshUs;
    return true;
}

uint64_t nowUs()
{
    return gFramework.time.virtualUs;
}

int refreshHz()
{
    return 60;
}

void closeMode()
{
    if (gOffscreen.context == EGL_NO_CONTEXT) return;
    eglMakeCurrent(gOffscreen.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(gOffscreen.display, gOffscreen.context);
    gOffscreen.context = EGL_NO_CONTEXT;
}

}  // namespace

// No input arrives, no cursor shows and no desktop's keys could be reached; the virtual screen is the
// page, so nothing imposes its size and no page is ever on screen: those slots keep their stubs.
Backend makeOffscreenBackend()
{
    Backend backend("offscreen");
    backend.open = open;
    backend.modePages = modePages;
    backend.setMode = setMode;
    backend.createContext = createContext;
    backend.present = present;
    backend.nowUs = nowUs;
    backend.refreshHz = refreshHz;
    backend.closeMode = closeMode;
    return backend;
}

}  // namespace display
