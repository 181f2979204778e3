// display/input_grab.cpp -- the mode's window holding keyboard and pointer while a password guards the
// desktop, and the check that the X server really gave them to us.
#include "display/sdl_window.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace display {

namespace {

constexpr unsigned kPointerEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;

// In a Wayland session the X server is XWayland (or nested in it): it grants X grabs, but they hold only
// what X clients see, and the compositor keeps its own key combinations. XWayland 23.1 and later also
// names itself with an extension; older ones are known by the session.
bool underWayland(::Display* x)
{
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* session = std::getenv("XDG_SESSION_TYPE");
    int opcode = 0, event = 0, error = 0;
    return (wayland && *wayland) || (session && std::strcmp(session, "wayland") == 0) ||
           XQueryExtension(x, "XWAYLAND", &opcode, &event, &error);
}

// SDL asks for the grab only while its window has the focus and does not report a refusal. Asking the
// X server again from SDL's own connection is harmless when SDL already holds it (the same client just
// renews it) and tells us whether another client holds it instead.

bool xServerGrants(const SDL_SysWMinfo& info)
{
    ::Display* x = info.info.x11.display;
    ::Window window = info.info.x11.window;
    int keyboard = XGrabKeyboard(x, window, True, GrabModeAsync, GrabModeAsync, CurrentTime);
    int pointer = XGrabPointer(x, window, True, kPointerEvents, GrabModeAsync, GrabModeAsync, window, None,
                               CurrentTime);
    XSync(x, False);
    if (keyboard != GrabSuccess)
        std::fprintf(stderr, "display: the keyboard is held by another program; key combinations may reach the "
                             "desktop while the password prompt works on\n");
    if (pointer != GrabSuccess)
        std::fprintf(stderr, "display: the pointer is held by another program; it may leave the saver's screen\n");
    if (keyboard == GrabSuccess && underWayland(x)) {
        std::fprintf(stderr, "display: the keyboard cannot be held here (an X server of a Wayland session); "
                             "key combinations may reach the desktop\n");
        return false;
    }
    return keyboard == GrabSuccess && pointer == GrabSuccess;
}

}  // namespace

bool sdlGrabInput(bool on)
{
    if (gSdl.host.active) return true;   // the host locks the screen and reads the keyboard itself
    if (!gSdl.window) return false;
    SDL_SetHint(SDL_HINT_GRAB_KEYBOARD, "1");
    SDL_SetWindowKeyboardGrab(gSdl.window, on ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowMouseGrab(gSdl.window, on ? SDL_TRUE : SDL_FALSE);
    if (!on) return true;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(gSdl.window, &info) && info.subsystem == SDL_SYSWM_X11) return xServerGrants(info);
    if (SDL_GetWindowKeyboardGrab(gSdl.window)) return true;
    std::fprintf(stderr, "display: the keyboard cannot be held here; key combinations may reach the desktop\n");
    return false;
}

}  // namespace display
