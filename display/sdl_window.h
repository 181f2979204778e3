// display/sdl_window.h -- what the SDL-based files share: the window back end's state, the host window
// path, the cover windows on the other displays and the input grab.
#pragma once

#include "display/backend.h"

#include <SDL.h>

namespace display {

constexpr int kMaxDisplayModes = 256;
constexpr int kMaxCovers = 15;   // displays beyond the primary one that get a black window
constexpr int kWindowDepthBits = 24;   // as deep as an off-screen page's depth buffer

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

struct SdlState {
    bool console;                    // SDL's kmsdrm driver instead of a window system
    ScreenInfo desktop;              // desktop mode of display 0
    Size modes[kMaxDisplayModes];    // the display's own modes
    int modeCount;
    SDL_Window* window;              // null when no mode is set
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
    } host;
    struct {
        SDL_Window* windows[kMaxCovers];   // black, borderless, full screen on their display
        SDL_Point offset[kMaxCovers];      // their display's origin less the mode window's, pixels
        bool pointerSeen[kMaxCovers];      // the first report of where the pointer already is has come
        int count;
    } covers;
};

extern SdlState gSdl;

// Host window (backend_window.cpp uses these in place of its own window).
bool adoptHostWindow(unsigned long xWindow);
void pumpHostWindow();   // quit events, size changes, the viewport

// Cover windows (window_covers.cpp).
void coverOtherDisplays();
void closeCovers();
void repaintCover(uint32_t windowId);
// True for the mode's window and every cover; the offset turns a cover's pixels into positions
// relative to the mode window's display.
bool ourWindow(uint32_t windowId);
bool coverOffset(uint32_t windowId, int* dx, int* dy);
// False for a cover's first pointer report: where the pointer already was when it appeared.
bool coverMotionCounts(uint32_t windowId);

// Input grab (input_grab.cpp).
bool sdlGrabInput(bool on);

}  // namespace display
