// display/window/input_grab.cpp -- a password run's hold on keyboard, pointer and focus: taken with the mode,
// looked at every tenth of a second and after every focus change, and taken back from any other client
// that got them.
#include "display/window/sdl_window.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace display {

namespace {

constexpr unsigned kPointerEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
constexpr uint64_t kLockCheckUs = 100000;   // a grab another client holds is asked for this often

void reportKeyboard(int status)
{
    if (gSdl.lock.keyboardReported) return;
    gSdl.lock.keyboardReported = true;
    if (status == AlreadyGrabbed) {
        std::fprintf(stderr, "display: the keyboard is held by another program; key combinations may reach the "
                             "desktop while the password prompt works on\n");
    } else {
        std::fprintf(stderr, "display: the keyboard cannot be held now (X grab status %d); the saver keeps "
                             "asking for it\n", status);
    }
}

void reportPointer(int status)
{
    if (gSdl.lock.pointerReported) return;
    gSdl.lock.pointerReported = true;
    if (status == AlreadyGrabbed) {
        std::fprintf(stderr, "display: the pointer is held by another program; it may leave the saver's screen\n");
    } else {
        std::fprintf(stderr, "display: the pointer cannot be held now (X grab status %d); the saver keeps "
                             "asking for it\n", status);
    }
}

// Asking again while we hold them renews our own grabs, and no focus events follow; while another
// client holds one the answer is AlreadyGrabbed, and the next look asks again.
void takeGrabs()
{
    ::Display* x = gSdl.x;
    ::Window window = gSdl.xWindow;
    int keyboard = XGrabKeyboard(x, window, True, GrabModeAsync, GrabModeAsync, CurrentTime);
    int pointer = XGrabPointer(x, window, True, kPointerEvents, GrabModeAsync, GrabModeAsync, window, None,
                               CurrentTime);
    gSdl.lock.keyboardHeld = keyboard == GrabSuccess;
    gSdl.lock.pointerHeld = pointer == GrabSuccess;
    // Not viewable: another client moved, unmapped or reparented a window of ours, and the guard puts it
    // back. Held elsewhere: the saver's screen says so while it lasts, since keys typed meanwhile go to
    // that client.
    if (keyboard == GrabNotViewable || pointer == GrabNotViewable) guardPutBackNow();
    guardWarn(keyboard == AlreadyGrabbed || keyboard == GrabFrozen, pointer == AlreadyGrabbed || pointer == GrabFrozen);
    if (!gSdl.lock.keyboardHeld) reportKeyboard(keyboard);
    if (!gSdl.lock.pointerHeld) reportPointer(pointer);
}

// Keys reach the grab window wherever the focus is, but SDL reads text only for a window of its own
// that has the focus.
void takeFocus()
{
    ::Window focus = None;
    int revertTo = 0;
    XGetInputFocus(gSdl.x, &focus, &revertTo);
    if (!ourXWindow(focus)) XSetInputFocus(gSdl.x, gSdl.xWindow, RevertToParent, CurrentTime);
}

void lookAtTheHold()
{
    gSdl.lock.checkDue = false;
    gSdl.lock.lastCheckUs = monotonicUs();
    takeGrabs();
    takeFocus();
    XFlush(gSdl.x);
}

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

bool grabWithSdl(bool on)
{
    SDL_SetWindowMouseGrab(gSdl.window, on ? SDL_TRUE : SDL_FALSE);
    if (!on || SDL_GetWindowKeyboardGrab(gSdl.window)) return true;
    std::fprintf(stderr, "display: the keyboard cannot be held here; key combinations may reach the desktop\n");
    return false;
}

}  // namespace

bool sdlGrabInput(bool on)
{
    if (gSdl.host.active) return true;   // the host locks the screen and reads the keyboard itself
    if (!gSdl.window) return false;
    gSdl.lock.active = on;
    if (on) {
        // SDL would let Alt+Tab minimise a grabbing full-screen window, and a lost focus give the
        // display mode back.
        SDL_SetHint(SDL_HINT_ALLOW_ALT_TAB_WHILE_GRABBED, "0");
        SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    }
    SDL_SetHint(SDL_HINT_GRAB_KEYBOARD, "1");
    // With the flag set SDL takes the keyboard back itself whenever the focus returns.
    SDL_SetWindowKeyboardGrab(gSdl.window, on ? SDL_TRUE : SDL_FALSE);
    if (!gSdl.x) return grabWithSdl(on);
    // SDL's own pointer grab waits five seconds for a pointer another client holds and then never asks
    // again; on X the pointer is asked for here, as often as it takes.
    SDL_SetWindowMouseGrab(gSdl.window, SDL_FALSE);
    watchStacking(on);
    if (!on) {
        XUngrabPointer(gSdl.x, CurrentTime);
        XFlush(gSdl.x);
        return true;
    }
    lookAtTheHold();
    if (gSdl.lock.keyboardHeld && underWayland(gSdl.x)) {
        static bool reported = false;
        if (!reported)
            std::fprintf(stderr, "display: the keyboard cannot be held here (an X server of a Wayland session); "
                                 "key combinations may reach the desktop\n");
        reported = true;
        return false;
    }
    return gSdl.lock.keyboardHeld && gSdl.lock.pointerHeld;
}

void holdInput()
{
    if (!gSdl.lock.active || !gSdl.x) return;
    if (guardWindowLost()) {
        std::fprintf(stderr, "display: another program destroyed the saver's window; the lock cannot go on\n");
        fatalError("The saver's window was destroyed by another program.");
    }
    if (guardTookBack()) gSdl.lock.checkDue = true;
    if (!gSdl.lock.checkDue && monotonicUs() - gSdl.lock.lastCheckUs < kLockCheckUs) return;
    lookAtTheHold();
}

}  // namespace display
