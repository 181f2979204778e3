// display/window/window_backend.cpp -- the window back end on SDL2 (X11 or Wayland): full-screen windows with
// or without a mode change, keys as characters, mouse, focus as suspend and resume, a host's window in
// place of our own; the console back end reuses it on SDL's KMS/DRM driver.
#include "display/window/sdl_window.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdlib>
#include <cstring>

#include "platform/ansi_text.h"

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

// The first character of UTF-8 text in the Windows ANSI code page, '?' when it has no place there.
uint32_t ansiFromUtf8(const char* text)
{
    uint32_t code = 0;
    platform::decodeUtf8(text, &code);
    int ansi = code == platform::kNoCodePoint ? -1 : platform::unicodeToAnsi(code);
    return ansi < 0 ? '?' : static_cast<uint32_t>(ansi);
}

// Key, button and motion events that another client made with XSendEvent carry the send-event flag;
// SDL does not pass it on, but reports every X event (SDL_SYSWMEVENT) before the events it makes of it.
// Those of a sent event are dropped as they are queued, so no client of the session types or clicks
// for the user.
bool gSentInput = false;   // the X event being turned into SDL events was sent by a client

bool xInputEvent(int type)
{
    return type == KeyPress || type == KeyRelease || type == ButtonPress || type == ButtonRelease ||
           type == MotionNotify;
}

bool sdlInputEvent(uint32_t type)
{
    return type == SDL_KEYDOWN || type == SDL_KEYUP || type == SDL_TEXTINPUT || type == SDL_TEXTEDITING ||
           type == SDL_MOUSEMOTION || type == SDL_MOUSEBUTTONDOWN || type == SDL_MOUSEBUTTONUP ||
           type == SDL_MOUSEWHEEL;
}

int dropSentInput(void*, SDL_Event* event)
{
    if (event->type == SDL_SYSWMEVENT) {
        const SDL_SysWMmsg* message = event->syswm.msg;
        if (message && message->subsystem == SDL_SYSWM_X11) {
            const XEvent& x = message->msg.x11.event;
            gSentInput = x.xany.send_event && xInputEvent(x.type);
        }
        return 0;   // read here only, never queued
    }
    return gSentInput && sdlInputEvent(event->type) ? 0 : 1;
}

void ignoreSentInput()
{
    gSentInput = false;
    SDL_SetEventFilter(dropSentInput, nullptr);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
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

// Window pixels to page pixels: a stretched page reports positions in its own pixels, from the corner
// of the rectangle it is shown in (positions on the bars lie off the page).
void toPage(int* x, int* y)
{
    int windowW = 0, windowH = 0;
    SDL_GetWindowSize(gSdl.window, &windowW, &windowH);
    const ModeInfo& page = gFramework.screen.mode;
    if (windowW > 0 && windowH > 0 && (windowW != page.xRes || windowH != page.yRes)) {
        const ShownRect shown = letterbox(page.xRes, page.yRes, windowW, windowH);
        *x = static_cast<int>(static_cast<int64_t>(*x - shown.x) * page.xRes / shown.width);
        *y = static_cast<int>(static_cast<int64_t>(*y - shown.y) * page.yRes / shown.height);
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
    // A close request (the window manager's, or any client's WM_DELETE_WINDOW) must not end a password
    // run: to whoever started the saver, that end would read as the right password.
    case SDL_QUIT:
        if (!gSdl.lock.active) postEvent(makeEvent(kEventInternalQuit, 0, 0, 0));
        break;
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

}  // namespace

void noteXWindow()
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    bool x11 = SDL_GetWindowWMInfo(gSdl.window, &info) && info.subsystem == SDL_SYSWM_X11;
    gSdl.x = x11 ? info.info.x11.display : nullptr;
    gSdl.xWindow = x11 ? info.info.x11.window : 0;
}

namespace {

// X gives the focus to a window, not back: when ours goes, the focus is nobody's, and the keys typed next
// are lost on a server without a window manager. What had it is noted before our window takes it.
void noteFocus()
{
    gSdl.focusNoted = false;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "x11") != 0) return;
    ::Display* x = XOpenDisplay(nullptr);
    if (!x) return;
    Window focus = None;
    int revert = RevertToPointerRoot;
    XGetInputFocus(x, &focus, &revert);
    XCloseDisplay(x);
    gSdl.focusBefore = focus;
    gSdl.focusRevertBefore = revert;
    gSdl.focusNoted = true;
}

bool gFocusRefused;

int noteFocusError(::Display*, XErrorEvent*)
{
    gFocusRefused = true;
    return 0;
}

// Given back only where nobody took it meanwhile (a window manager gives it on by itself); to PointerRoot
// where the window that had it is gone or was none.
void giveFocusBack(::Display* x)
{
    if (!x || !gSdl.focusNoted) return;
    gSdl.focusNoted = false;
    Window now = None;
    int revert = 0;
    XGetInputFocus(x, &now, &revert);
    if (now != None && now != PointerRoot) return;
    XSync(x, False);
    gFocusRefused = false;
    auto* previous = XSetErrorHandler(noteFocusError);
    const Window before = gSdl.focusBefore;
    if (before != None && before != PointerRoot) {
        XSetInputFocus(x, before, gSdl.focusRevertBefore, CurrentTime);
        XSync(x, False);
    }
    if (before == None || before == PointerRoot || gFocusRefused) {
        XSetInputFocus(x, PointerRoot, RevertToPointerRoot, CurrentTime);
        XSync(x, False);
    }
    XSetErrorHandler(previous);
}

// A page stretched over the window on X is shown through shared memory (x_pixels.cpp) and never drawn
// into the window by OpenGL, whose drawable there would keep a window-sized buffer resident for nothing
// (8 MB at 1920 x 1080): the window is made without OpenGL and the context lives on a hidden window of
// one pixel. Nothing is made where the server cannot take shared memory.
void openStretchedWindow(const char* title, int windowW, int windowH, uint32_t flags)
{
    const char* video = SDL_GetCurrentVideoDriver();
    if (!video || std::strcmp(video, "x11") != 0) return;
    gSdl.window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, windowW, windowH, flags);
    if (!gSdl.window) return;
    noteXWindow();
    if (xPixelsAvailable(gSdl.x, gSdl.xWindow)) {
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
        gSdl.glWindow = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        gSdl.hiddenContext = gSdl.glWindow != nullptr;
    }
    if (gSdl.hiddenContext) return;
    SDL_DestroyWindow(gSdl.window);
    gSdl.window = nullptr;
}

bool setMode(int xRes, int yRes, int, int driver, bool windowed, const char* title)
{
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    if (hostRequest().hosted) return adoptHostWindow(hostRequest().window, xRes, yRes);
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
    noteFocus();
    gSdl.hiddenContext = false;
    const bool stretched = windowW != xRes || windowH != yRes;
    if (stretched && !gSdl.console) openStretchedWindow(title, windowW, windowH, flags & ~SDL_WINDOW_OPENGL);
    if (!gSdl.window)
        gSdl.window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, windowW, windowH, flags);
    if (!gSdl.window) {
        // A display without such a visual still shows pages drawn off screen.
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
        gSdl.window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, windowW, windowH, flags);
    }
    if (!gSdl.window) return false;
    if (!gSdl.hiddenContext) gSdl.glWindow = gSdl.window;
    gSdl.focusLost = false;
    gSdl.focusLeftUs = 0;
    gSdl.pending.waiting = false;
    gSdl.lock = {};
    noteXWindow();
    if (gSdl.x) ignoreSentInput();
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
    SDL_GL_SwapWindow(gSdl.glWindow);
}

bool createContext(unsigned)
{
    if (!gSdl.glWindow) return false;
    gSdl.context = SDL_GL_CreateContext(gSdl.glWindow);
    if (!gSdl.context || SDL_GL_MakeCurrent(gSdl.glWindow, gSdl.context) != 0) return false;
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
    if (!gSdl.context || gSdl.hiddenContext) return false;
    if (depthBuffer && gSdl.windowDepthBits < kWindowDepthBits) return false;
    // SDL does not track a host's window's size; host_drawing.cpp looks at it.
    int drawableW = gSdl.host.width, drawableH = gSdl.host.height;
    if (!gSdl.host.active) SDL_GL_GetDrawableSize(gSdl.window, &drawableW, &drawableH);
    if (drawableW != width || drawableH != height) return false;
    if (!gSdl.backBufferProbed) {
        gSdl.backBufferKept = backBufferSurvivesSwap(swapWindow);
        gSdl.backBufferProbed = true;
    }
    return gSdl.backBufferKept;
}

// The window's own pixels in memory: on X11 shared-memory bands of our own (x_pixels.cpp), elsewhere
// SDL's. Either way no pass of the renderer runs at the window's size. SDL makes its pixels only with
// the window system's own means, never with a renderer on our window (the hint set at start-up), so on
// Wayland and the console the page goes through OpenGL. SDL does not follow a host's window's size;
// the bands are made for the size host_drawing.cpp sees.
bool presentPixels(int pageWidth, int pageHeight, bool* synced)
{
    if (!gSdl.window) return false;
    *synced = false;
    int windowW = gSdl.host.width, windowH = gSdl.host.height;
    if (!gSdl.host.active) SDL_GetWindowSize(gSdl.window, &windowW, &windowH);
    if (xPixelsAvailable(gSdl.x, gSdl.xWindow) &&
        putPageInXWindow(gSdl.x, gSdl.xWindow, windowW, windowH, gSdl.host.active))
        return true;
    if (gSdl.host.active || gSdl.windowPixelsRefused) return false;
    SDL_Surface* surface = SDL_GetWindowSurface(gSdl.window);
    if (!surface || surface->format->BytesPerPixel != 4 || SDL_MUSTLOCK(surface)) {
        gSdl.windowPixelsRefused = true;
        return false;
    }
    const SDL_PixelFormat& format = *surface->format;
    const ShownRect shown = letterbox(pageWidth, pageHeight, surface->w, surface->h);
    if (shown.width != surface->w || shown.height != surface->h) SDL_FillRect(surface, nullptr, 0);
    auto* corner = static_cast<uint8_t*>(surface->pixels) + static_cast<size_t>(shown.y) * surface->pitch +
                   static_cast<size_t>(shown.x) * 4;
    WindowPixels window = {reinterpret_cast<uint32_t*>(corner), surface->pitch, shown.width, shown.height,
                           {format.Rshift, format.Gshift, format.Bshift}, format.Amask};
    if (!stretchPageInto(window)) return false;
    SDL_UpdateWindowSurface(gSdl.window);
    return true;
}

// The presented page is stretched over the window's drawable, its shape kept between black bars (a
// host's window: over all of it, the page having its shape), then the buffers swap; a page drawn on
// screen only needs the swap.
bool present(unsigned presented, int pageWidth, int pageHeight)
{
    // Reduced by the bands' own tables, exactly as the colour-depth pass reduces it.
    if (gSdl.hiddenContext) {
        int windowW = gSdl.host.width, windowH = gSdl.host.height;
        if (!gSdl.host.active) SDL_GetWindowSize(gSdl.window, &windowW, &windowH);
        putPageInXWindow(gSdl.x, gSdl.xWindow, windowW, windowH, gSdl.host.active);
        return false;
    }
    if (!presented) {
        SDL_GL_SwapWindow(gSdl.window);
        return gSdl.swapIntervalSet;
    }
    GLint drawBinding = 0, readBinding = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawBinding);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readBinding);
    int drawableW = gSdl.host.width, drawableH = gSdl.host.height;
    if (!gSdl.host.active) SDL_GL_GetDrawableSize(gSdl.window, &drawableW, &drawableH);
    ShownRect shown = {0, 0, drawableW, drawableH};
    if (!gSdl.host.active) shown = letterbox(pageWidth, pageHeight, drawableW, drawableH);
    glPushAttrib(GL_SCISSOR_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, presented);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    if (shown.width != drawableW || shown.height != drawableH) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    // GL counts rows from the bottom; the bars above and below are the same height give or take one.
    const int bottom = drawableH - shown.y - shown.height;
    glBlitFramebuffer(0, 0, pageWidth, pageHeight, shown.x, bottom, shown.x + shown.width, bottom + shown.height,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
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
    // A window another client destroyed is left alone: SDL would wait for ever to see it unmapped.
    bool lost = gSdl.x && guardWindowLost();
    closeXWatch();
    closeCovers();
    releaseXPixels();
    if (gSdl.context && !lost) SDL_GL_DeleteContext(gSdl.context);
    ::Display* x = gSdl.x;
    // SDL leaves a foreign window to its owner.
    if (gSdl.window && !lost) SDL_DestroyWindow(gSdl.window);
    if (gSdl.glWindow && gSdl.glWindow != gSdl.window && !lost) SDL_DestroyWindow(gSdl.glWindow);
    if (!gSdl.host.active && !lost) giveFocusBack(x);
    gSdl.context = nullptr;
    gSdl.window = nullptr;
    gSdl.glWindow = nullptr;
    gSdl.hiddenContext = false;
    gSdl.x = nullptr;
    gSdl.xWindow = 0;
    gSdl.lock = {};
    gSdl.host.active = false;
    SDL_StopTextInput();
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_SetEventFilter(nullptr, nullptr);
        SDL_EventState(SDL_SYSWMEVENT, SDL_IGNORE);
    }
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

// Only the display servers the session names: asked with none named, libwayland tries a socket of its
// own choosing and prints its complaint about XDG_RUNTIME_DIR beside the saver's own message.
const char* namedDisplayServers()
{
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const bool xNamed = x && *x, waylandNamed = wayland && *wayland;
    if (xNamed && waylandNamed) return "x11,wayland";
    if (xNamed) return "x11";
    return waylandNamed ? "wayland" : nullptr;
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
    if (console) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "kmsdrm");
    } else if (!chosen || !*chosen) {
        const char* named = namedDisplayServers();
        if (!named) return false;
        SDL_SetHint(SDL_HINT_VIDEODRIVER, named);
    }
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
