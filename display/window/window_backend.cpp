// display/window/window_backend.cpp -- the window back end on SDL2 (X11 or Wayland): full-screen windows with
// or without a mode change, keys as characters, mouse, focus as suspend and resume, a host's window in
// place of our own; the console back end reuses it on SDL's KMS/DRM driver.
#include "display/window/sdl_window.h"

#include <SDL_syswm.h>

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

namespace display {

SdlState gSdl;

namespace {

int modifiersNow()
{
    SDL_Keymod mod = SDL_GetModState();
    return ((mod & KMOD_SHIFT) ? 1 : 0) | ((mod & KMOD_CTRL) ? 2 : 0) | ((mod & KMOD_ALT) ? 4 : 0);
}

int buttonsNow()
{
    uint32_t state = SDL_GetMouseState(nullptr, nullptr);
    return ((state & SDL_BUTTON_LMASK) ? 1 : 0) | ((state & SDL_BUTTON_RMASK) ? 2 : 0) |
           ((state & SDL_BUTTON_MMASK) ? 4 : 0);
}

// Keys whose character the hooks expect though SDL sends no text for them.
int specialCharacter(SDL_Keycode sym)
{
    switch (sym) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return 13;
    case SDLK_BACKSPACE: return 8;
    case SDLK_ESCAPE: return 27;
    case SDLK_TAB: return 9;
    default: return -1;
    }
}

uint32_t keysymCharacter(SDL_Keycode sym, int modifiers)
{
    int special = specialCharacter(sym);
    if (special >= 0) return static_cast<uint32_t>(special);
    if (sym < 32 || sym > 126) return 0;
    if ((modifiers & 1) && sym >= 'a' && sym <= 'z') return static_cast<uint32_t>(sym - 'a' + 'A');
    return static_cast<uint32_t>(sym);
}

// The first character of UTF-8 text in the ANSI range (Latin-1 part), '?' beyond it.
uint32_t ansiFromUtf8(const char* text)
{
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    if (s[0] < 0x80) return s[0];
    if ((s[0] & 0xE0) == 0xC0 && (s[1] & 0xC0) == 0x80) {
        uint32_t code = (uint32_t(s[0] & 0x1F) << 6) | (s[1] & 0x3F);
        return code < 256 ? code : '?';
    }
    return '?';
}

Event makeEvent(int type, uint32_t message, int x, int y)
{
    return Event{type, message, x, y, buttonsNow(), modifiersNow(), timerLap()};
}

void flushPendingKey(uint32_t character)
{
    if (!gSdl.pending.waiting) return;
    Event event = makeEvent(gSdl.pending.type, character, 0, 0);
    event.modifiers = gSdl.pending.modifiers;
    postEvent(event);
    gSdl.pending.waiting = false;
}

// Window pixels to page pixels: a stretched page reports positions in its own pixels.
void toPage(int* x, int* y)
{
    int windowW = 0, windowH = 0;
    SDL_GetWindowSize(gSdl.window, &windowW, &windowH);
    const ModeInfo& page = gFramework.screen.mode;
    if (windowW > 0 && windowH > 0 && (windowW != page.xRes || windowH != page.yRes)) {
        *x = static_cast<int>(static_cast<int64_t>(*x) * page.xRes / windowW);
        *y = static_cast<int>(static_cast<int64_t>(*y) * page.yRes / windowH);
    }
}

// A cover's pixels are placed beside the mode's display, so leaving the anchor there counts as a move.
void postMouse(int type, uint32_t windowId, int x, int y)
{
    int dx = 0, dy = 0;
    if (coverOffset(windowId, &dx, &dy)) {
        x += dx;
        y += dy;
    } else {
        toPage(&x, &y);
    }
    postEvent(makeEvent(type, 0, x, y));
}

void postSuspend(int flag)
{
    postEvent(makeEvent(kEventInternalSuspend, static_cast<uint32_t>(flag), 0, 0));
}

// Focus moving between the mode's window and a cover stays with the saver; only leaving all of them
// takes the screen away. With covers the X server may pass the focus on through "no window" first, so
// the loss counts once it has lasted a moment.
constexpr uint64_t kCoverFocusGraceUs = 300000;

void takeScreenAway()
{
    gSdl.focusLeftUs = 0;
    gSdl.focusLost = true;
    postSuspend(kSuspendTakenAway);
}

bool focusIsOurs()
{
    SDL_Window* focus = SDL_GetKeyboardFocus();
    return focus && ourWindow(SDL_GetWindowID(focus));
}

// In a password run the focus is not the user's to give away: losing it is an attack, not a task
// switch, and the prompt and its time-out run on while it is taken back.
void translateWindowEvent(const SDL_WindowEvent& window)
{
    if (window.event == SDL_WINDOWEVENT_EXPOSED) repaintCover(window.windowID);
    if (gSdl.lock.active) {
        if (window.event == SDL_WINDOWEVENT_FOCUS_LOST || window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
            gSdl.lock.checkDue = true;
        return;
    }
    if (window.event == SDL_WINDOWEVENT_FOCUS_LOST && !gSdl.focusLost && !focusIsOurs()) {
        if (gSdl.covers.count == 0) {
            takeScreenAway();
        } else if (gSdl.focusLeftUs == 0) {
            gSdl.focusLeftUs = monotonicUs();
        }
    } else if (window.event == SDL_WINDOWEVENT_FOCUS_GAINED && ourWindow(window.windowID)) {
        gSdl.focusLeftUs = 0;
        if (gSdl.focusLost) {
            gSdl.focusLost = false;
            postSuspend(kSuspendGivenBack);
        }
    }
}

void checkFocusGrace()
{
    if (gSdl.focusLeftUs == 0) return;
    if (focusIsOurs()) {
        gSdl.focusLeftUs = 0;
    } else if (monotonicUs() - gSdl.focusLeftUs >= kCoverFocusGraceUs) {
        takeScreenAway();
    }
}

void translateKeyDown(const SDL_KeyboardEvent& key)
{
    int type = key.repeat ? kEventKeyRepeat : kEventKeyDown;
    int modifiers = modifiersNow();
    int special = specialCharacter(key.keysym.sym);
    if (special >= 0) {
        postEvent(makeEvent(type, static_cast<uint32_t>(special), 0, 0));
        return;
    }
    // The character comes as text input right after the key; one key-down event carries both.
    gSdl.pending = {true, type, keysymCharacter(key.keysym.sym, modifiers), modifiers};
}

void translate(const SDL_Event& event)
{
    if (event.type != SDL_TEXTINPUT) flushPendingKey(gSdl.pending.fallback);
    switch (event.type) {
    case SDL_KEYDOWN: translateKeyDown(event.key); break;
    case SDL_TEXTINPUT:
        if (gSdl.pending.waiting) {
            flushPendingKey(ansiFromUtf8(event.text.text));
        } else {
            postEvent(makeEvent(kEventKeyDown, ansiFromUtf8(event.text.text), 0, 0));
        }
        break;
    case SDL_KEYUP: postEvent(makeEvent(kEventKeyUp, keysymCharacter(event.key.keysym.sym, modifiersNow()), 0, 0)); break;
    case SDL_MOUSEMOTION:
        if (coverMotionCounts(event.motion.windowID))
            postMouse(kEventMouseMove, event.motion.windowID, event.motion.x, event.motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
        postMouse(kEventMouseDown, event.button.windowID, event.button.x, event.button.y);
        break;
    case SDL_MOUSEBUTTONUP: postMouse(kEventMouseUp, event.button.windowID, event.button.x, event.button.y); break;
    case SDL_WINDOWEVENT: translateWindowEvent(event.window); break;
    case SDL_DISPLAYEVENT: followMonitors(); break;
    case SDL_QUIT: postEvent(makeEvent(kEventInternalQuit, 0, 0, 0)); break;
    default: break;
    }
}

void pumpEvents()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    if (gSdl.host.active) {
        pumpHostWindow();
        return;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event)) translate(event);
    flushPendingKey(gSdl.pending.fallback);
    checkFocusGrace();
    pumpXWatch();
    holdInput();
}

bool displayOffers(int xRes, int yRes)
{
    for (int i = 0; i < gSdl.modeCount; ++i)
        if (gSdl.modes[i].w == xRes && gSdl.modes[i].h == yRes) return true;
    return false;
}

void readDisplayModes()
{
    gSdl.modeCount = 0;
    int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count && gSdl.modeCount < kMaxDisplayModes; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) == 0) gSdl.modes[gSdl.modeCount++] = {mode.w, mode.h};
    }
}

void noteXWindow()
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    bool x11 = SDL_GetWindowWMInfo(gSdl.window, &info) && info.subsystem == SDL_SYSWM_X11;
    gSdl.x = x11 ? info.info.x11.display : nullptr;
    gSdl.xWindow = x11 ? info.info.x11.window : 0;
}

bool setMode(int xRes, int yRes, int, int driver, bool windowed, const char* title)
{
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    if (hostRequest().hosted) {
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, kWindowDepthBits);
        return adoptHostWindow(hostRequest().window);
    }
    // A password run's windows are placed by nobody but us, so no window manager can stack another
    // client's window above them or keep ours from being raised.
    SDL_SetHint(SDL_HINT_X11_FORCE_OVERRIDE_REDIRECT, gFramework.screen.inputGrab ? "1" : "0");
    uint32_t flags = SDL_WINDOW_OPENGL;
    if (!windowed) flags |= driver == kDriverFullScreenDib ? SDL_WINDOW_FULLSCREEN_DESKTOP : SDL_WINDOW_FULLSCREEN;
    // A desktop-sized window from the start: without a window manager (a bare X server, a locked
    // session) nobody enlarges a mode-sized window, and the stretched page would show only its corner.
    int windowW = xRes, windowH = yRes;
    SDL_DisplayMode desktop;
    if (!windowed && driver == kDriverFullScreenDib && SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
        windowW = desktop.w;
        windowH = desktop.h;
    }
    // A depth buffer of the window's own lets a page of the window's size be drawn on screen
    // (pageOnScreen). A page stretched over the window never is, and a software renderer clears every
    // buffer it makes: 8 MB resident for nothing at 1920 x 1080.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, windowW == xRes && windowH == yRes ? kWindowDepthBits : 0);
    gSdl.window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, windowW, windowH, flags);
    if (!gSdl.window) {
        // A display without such a visual still shows pages drawn off screen.
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
        gSdl.window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, windowW, windowH, flags);
    }
    if (!gSdl.window) return false;
    gSdl.focusLost = false;
    gSdl.focusLeftUs = 0;
    gSdl.pending.waiting = false;
    gSdl.lock = {};
    noteXWindow();
    gSdl.windowPixelsRefused = false;
    SDL_StartTextInput();
    SDL_RaiseWindow(gSdl.window);
    if (!windowed && !gSdl.console) {
        openXWatch();
        coverOtherDisplays();
    }
    return true;
}

void swapWindow()
{
    SDL_GL_SwapWindow(gSdl.window);
}

bool createContext(unsigned)
{
    if (!gSdl.window) return false;
    gSdl.context = SDL_GL_CreateContext(gSdl.window);
    if (!gSdl.context || SDL_GL_MakeCurrent(gSdl.window, gSdl.context) != 0) return false;
    gSdl.swapIntervalSet = SDL_GL_SetSwapInterval(1) == 0;
    // What the window really got: a host's window has the visual its host chose.
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    gSdl.windowDepthBits = depthBits;
    gSdl.backBufferProbed = false;
    gSdl.backBufferKept = false;
    gFramework.time.lastPresentUs = monotonicUs();
    return true;
}

bool pageOnScreen(int width, int height, bool depthBuffer)
{
    if (!gSdl.context) return false;
    if (depthBuffer && gSdl.windowDepthBits < kWindowDepthBits) return false;
    // A host's window is followed by resizing the page (host_drawing.cpp); SDL does not track its size.
    if (!gSdl.host.active) {
        int drawableW = 0, drawableH = 0;
        SDL_GL_GetDrawableSize(gSdl.window, &drawableW, &drawableH);
        if (drawableW != width || drawableH != height) return false;
    }
    if (!gSdl.backBufferProbed) {
        gSdl.backBufferKept = backBufferSurvivesSwap(swapWindow);
        gSdl.backBufferProbed = true;
    }
    return gSdl.backBufferKept;
}

// The window's own pixels in memory, which X11 shows with one shared-memory image put: no pass of the
// renderer at the window's size. SDL has them on X11; elsewhere (Wayland, the console) it would make
// them with a renderer of its own on our window, which the hint set at start-up forbids, so there the
// page goes through OpenGL. A host's window is left to OpenGL too: SDL does not follow its size.
bool presentPixels(int, int, bool* synced)
{
    if (!gSdl.window || gSdl.host.active || gSdl.windowPixelsRefused) return false;
    SDL_Surface* surface = SDL_GetWindowSurface(gSdl.window);
    if (!surface || surface->format->BytesPerPixel != 4 || SDL_MUSTLOCK(surface)) {
        gSdl.windowPixelsRefused = true;
        return false;
    }
    const SDL_PixelFormat& format = *surface->format;
    WindowPixels window = {static_cast<uint32_t*>(surface->pixels), surface->pitch, surface->w, surface->h,
                           {format.Rshift, format.Gshift, format.Bshift}, format.Amask};
    if (!stretchPageInto(window)) return false;
    SDL_UpdateWindowSurface(gSdl.window);
    *synced = false;
    return true;
}

// The presented page is stretched over the window's drawable, then the buffers swap; a page drawn on
// screen only needs the swap.
bool present(unsigned presented, int pageWidth, int pageHeight)
{
    if (!presented) {
        SDL_GL_SwapWindow(gSdl.window);
        return gSdl.swapIntervalSet;
    }
    GLint drawBinding = 0, readBinding = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawBinding);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readBinding);
    int drawableW = 0, drawableH = 0;
    SDL_GL_GetDrawableSize(gSdl.window, &drawableW, &drawableH);
    // SDL does not follow a foreign window's size; the page does, and fills it.
    if (gSdl.host.active) {
        drawableW = pageWidth;
        drawableH = pageHeight;
    }
    glPushAttrib(GL_SCISSOR_BIT);
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, presented);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBlitFramebuffer(0, 0, pageWidth, pageHeight, 0, 0, drawableW, drawableH, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    SDL_GL_SwapWindow(gSdl.window);
    glPopAttrib();
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawBinding));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readBinding));
    return gSdl.swapIntervalSet;
}

uint64_t nowUs()
{
    return monotonicUs();
}

// A host's window shows the host's cursor, if any.
void setCursorVisible(bool visible)
{
    if (gSdl.host.active) return;
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

int refreshHz()
{
    SDL_DisplayMode mode;
    if (gSdl.window && SDL_GetWindowDisplayMode(gSdl.window, &mode) == 0 && mode.refresh_rate > 0)
        return mode.refresh_rate;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) return mode.refresh_rate;
    return 0;
}

// Destroying the full-screen window gives the desktop its own mode back.
void closeMode()
{
    closeXWatch();
    closeCovers();
    if (gSdl.context) SDL_GL_DeleteContext(gSdl.context);
    // SDL leaves a foreign window to its owner.
    if (gSdl.window) SDL_DestroyWindow(gSdl.window);
    gSdl.context = nullptr;
    gSdl.window = nullptr;
    gSdl.x = nullptr;
    gSdl.xWindow = 0;
    gSdl.lock = {};
    gSdl.host.active = false;
    SDL_StopTextInput();
}

bool imposedPageSize(int* width, int* height)
{
    if (!gSdl.host.active) return false;
    int w = 0, h = 0;
    if (!hostWindowSize(gSdl.host.xWindow, &w, &h)) SDL_GetWindowSize(gSdl.window, &w, &h);
    if (w <= 0 || h <= 0) return false;
    *width = w;
    *height = h;
    return true;
}

bool openWindow(ScreenInfo* screen)
{
    return sdlOpen(screen, false);
}

}  // namespace

bool sdlOpen(ScreenInfo* screen, bool console)
{
    // A screen saver must not stop the system's own blanking; SDL would by default.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // A window's pixels in memory must be the window system's own, never a renderer SDL would put on
    // the window beside our OpenGL context (presentPixels).
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Left to itself SDL goes on from a display server that does not answer to the console's DRM device
    // and to drivers that show nothing; on a machine with a graphics card that means taking the console
    // from under a desktop, or a wait on page flips nobody shows. A driver the user names is kept.
    const char* chosen = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (console) SDL_SetHint(SDL_HINT_VIDEODRIVER, "kmsdrm");
    else if (!chosen || !*chosen) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11,wayland");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    // SDL falls back to drivers that show nothing (its own offscreen one) when the display server does not
    // answer; a saver nobody can see is no window back end, and ours then takes over.
    const char* driver = SDL_GetCurrentVideoDriver();
    bool shows = driver && (console ? std::strcmp(driver, "kmsdrm") == 0
                                    : std::strcmp(driver, "x11") == 0 || std::strcmp(driver, "wayland") == 0);
    if (!shows) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    gSdl.console = console;
    int bits = SDL_BYTESPERPIXEL(desktop.format) == 4 ? 32 : static_cast<int>(SDL_BITSPERPIXEL(desktop.format));
    gSdl.desktop = {desktop.w, desktop.h, bits};
    readDisplayModes();
    *screen = gSdl.desktop;
    return true;
}

// The window system serves DirectDraw (a real mode change, only the display's modes) and Full screen
// DIB (the desktop stretched, any standard size that fits); the console serves the WinDirect families.
int sdlModePages(int driver, int xRes, int yRes, int)
{
    // Under a host no mode is ever set: whatever the settings name is shown at the host window's size.
    if (hostRequest().hosted) return 1;
    if (gSdl.console) {
        bool winDirect = driver == kDriverVga || driver == kDriverModeX || driver == kDriverLinear ||
                         driver == kDriverAccel;
        return winDirect && displayOffers(xRes, yRes) ? 2 : 0;
    }
    if (driver == kDriverDirectDraw) return displayOffers(xRes, yRes) ? 3 : 0;
    if (driver == kDriverFullScreenDib) return xRes <= gSdl.desktop.width && yRes <= gSdl.desktop.height ? 1 : 0;
    return 0;
}

Backend makeWindowBackend()
{
    Backend backend("window");
    backend.open = openWindow;
    backend.modePages = sdlModePages;
    backend.setMode = setMode;
    backend.createContext = createContext;
    backend.pumpEvents = pumpEvents;
    backend.present = present;
    backend.nowUs = nowUs;
    backend.setCursorVisible = setCursorVisible;
    backend.refreshHz = refreshHz;
    backend.closeMode = closeMode;
    backend.imposedPageSize = imposedPageSize;
    backend.grabInput = sdlGrabInput;
    backend.pageOnScreen = pageOnScreen;
    backend.presentPixels = presentPixels;
    return backend;
}

}  // namespace display
