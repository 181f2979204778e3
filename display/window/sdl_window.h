// display/window/sdl_window.h -- what the SDL-based files share: the window back end's state, the host window
// path, the cover windows on the other displays, the input grab and the X server watched beside SDL.
#pragma once

#include "display/backend.h"

#include <SDL.h>

struct _XDisplay;   // Xlib's Display, whose header and macros stay out of this one

namespace display {

constexpr int kMaxDisplayModes = 256;
constexpr int kMaxCovers = 15;   // displays beyond the primary one that get a black window
constexpr int kWindowDepthBits = 16;   // at least as deep as an off-screen page's depth buffer

struct Size {
    int w;   // pixels
    int h;   // pixels
};

// A key down whose character may still come as text input in the same batch of SDL events.
struct PendingKey {
    bool waiting;
    int type;            // kEventKeyDown or kEventKeyRepeat
    uint32_t fallback;   // character from the keysym when no text arrives
    int modifiers;
};

// Black windows over the monitors beside the mode window's.
struct CoverWindows {
    SDL_Window* windows[kMaxCovers];   // black, borderless, over their monitor
    SDL_Point offset[kMaxCovers];      // their monitor's origin less the mode window's, pixels
    bool pointerSeen[kMaxCovers];      // the first report of where the pointer already is has come
    unsigned long xWindow[kMaxCovers]; // their X ids, 0 off X
    int count;
    SDL_Rect monitors[kMaxCovers + 1]; // the monitors covered, the mode window's first
    int monitorCount;
};

struct SdlState {
    bool console;                    // SDL's kmsdrm driver instead of a window system
    ScreenInfo desktop;              // desktop mode of display 0
    Size modes[kMaxDisplayModes];    // the display's own modes
    int modeCount;
    SDL_Window* window;              // null when no mode is set; under a host, the hidden window or the host's
    ::_XDisplay* x;                  // SDL's X connection while `window` is on an X server, else null
    unsigned long xWindow;           // `window`'s X id, 0 off X
    SDL_GLContext context;           // null without OpenGL
    bool swapIntervalSet;            // the swap waits for the retrace by itself
    int windowDepthBits;             // the window's own depth buffer, 0 without one
    bool backBufferProbed;           // backBufferKept has been found out for this context
    bool backBufferKept;             // a swap leaves the back buffer as it was (a copy, not a flip)
    bool windowPixelsRefused;        // SDL has no pixels in memory for this window (presentPixels)
    bool focusLost;                  // a suspend has been posted, the resume not yet
    uint64_t focusLeftUs;            // monotonic time the focus left for a window not ours; 0: it has not
    PendingKey pending;
    struct {
        bool active;                 // `window` belongs to a screen-saver host
        unsigned long xWindow;       // its X id
        uint64_t nextSizeCheckUs;    // monotonic time of the next look at its size
        int width, height;           // its size as last looked at, pixels
    } host;
    SDL_Window* glWindow;            // where the context lives: `window`, or a hidden one of one pixel
    bool hiddenContext;              // glWindow is hidden: the page reaches `window` (or the host's)
                                     // through shared memory only
    unsigned long focusBefore;       // X window that had the focus before ours (PointerRoot 1, None 0)
    int focusRevertBefore;           // and its revert-to
    bool focusNoted;                 // focusBefore holds what to give back
    CoverWindows covers;
    // A password run: keyboard and pointer held, the focus and the top of the stack kept, however
    // other clients try to take them.
    struct {
        bool active;                 // setInputGrab(true) on this back end
        bool checkDue;               // look at grabs and focus at the next pump, whatever the time
        uint64_t lastCheckUs;        // monotonic time of the last look
        bool keyboardHeld, pointerHeld;        // as the last look found them
        bool keyboardReported, pointerReported;   // the one line on stderr has been written
    } lock;
};

extern SdlState gSdl;

// SDL's X connection and `window`'s X id into gSdl.x and gSdl.xWindow; null and 0 off X.
void noteXWindow();

// Host window (window_backend.cpp uses these in place of its own window).
// The page will be the mode's detail in the window's shape (pageForHostWindow).
bool adoptHostWindow(unsigned long xWindow, int modeWidth, int modeHeight);
void pumpHostWindow();   // quit events, size changes, the viewport

// A page drawn off screen shown in an X window through shared-memory bands (x_pixels.cpp); `fill`
// stretches it over the whole window, otherwise it keeps its shape between black bars. False where
// the server cannot take shared memory or the window's visual is not of 24 or 32 bits with colour masks.
bool xPixelsAvailable(::_XDisplay* x, unsigned long window);
bool putPageInXWindow(::_XDisplay* x, unsigned long window, int windowWidth, int windowHeight, bool fill);
void releaseXPixels();

// Cover windows (covers.cpp).
void coverOtherDisplays();
// After a RandR change: covers for the monitors as they are now, the mode window over the primary one.
void followMonitors();
void closeCovers();
void repaintCover(uint32_t windowId);
// True for the mode's window and every cover; the offset turns a cover's pixels into positions
// relative to the mode window's display.
bool ourWindow(uint32_t windowId);
bool ourXWindow(unsigned long xWindow);   // the same by X id
bool coverOffset(uint32_t windowId, int* dx, int* dy);
// False for a cover's first pointer report: where the pointer already was when it appeared.
bool coverMotionCounts(uint32_t windowId);

// Input grab (input_grab.cpp).
bool sdlGrabInput(bool on);
// In a password run: takes back keyboard, pointer and focus where another client has them, every tenth
// of a second and at once after a focus change.
void holdInput();

// A password run's windows kept in their place (x_guard.cpp): a thread on an X connection of its own undoes,
// as soon as the server reports it, what another client does to them (restacked under another window,
// moved, resized, reparented, unmapped), and warns on every monitor while another client holds the
// keyboard or the pointer. The saver's thread calls these.
bool startXGuard();
void stopXGuard();
void guardOurWindows();                    // the covers changed
void guardModeWindowAt(const SDL_Rect& at);   // the mode window's place from now on, root pixels
void guardPutBackNow();                    // a grab failed because a window of ours was not viewable
void guardWarn(bool keyboardElsewhere, bool pointerElsewhere);
bool guardTookBack();                      // a window was put back since the last call (the focus went with it)
bool guardConnection(::_XDisplay* x);      // the guard's own connection, whose errors are expected
// Another client destroyed the mode window (with a window it had reparented it into): the lock cannot go
// on, and the run ends through the fatal-error path, never with the right password's status.
void guardNoteWindowLost();
bool guardWindowLost();

// The warning of a password run (lock_warning.cpp), on the guard's thread and connection: a red banner
// above the prompt on every monitor while another client holds the keyboard or the pointer.
void showLockWarning(::_XDisplay* x, const SDL_Rect* monitors, int count, bool keyboard, bool pointer);
void drawLockWarning(::_XDisplay* x, unsigned long window);   // a banner was exposed
// The banners shown and where they belong; 0 while there is no warning.
int lockWarningBanners(unsigned long* windows, SDL_Rect* places, int capacity);
bool isLockWarningWindow(unsigned long window);
void forgetLockWarning(::_XDisplay* x);   // before the connection closes, which takes the banners

// The X server watched on a connection of our own (x_watch.cpp): monitors coming, going and changing
// size; in a password run the guard above keeps the saver's windows in place.
bool openXWatch();
void closeXWatch();
void watchStacking(bool on);   // starts and stops the guard
void pumpXWatch();
// The monitors as the X server shows them now (RandR 1.5); 0 when it cannot tell, SDL's displays then.
int readXMonitors(SDL_Rect* out, int capacity);

}  // namespace display
