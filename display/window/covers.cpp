// display/window/covers.cpp -- the other displays while the saver runs full screen on the primary one:
// each covered by a black window without a cursor, whose input wakes the saver like the mode's own.
#include "display/window/sdl_window.h"

#include <cstdio>

namespace display {

namespace {

void paintBlack(SDL_Window* cover)
{
    SDL_Surface* surface = SDL_GetWindowSurface(cover);
    if (!surface) return;
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    SDL_UpdateWindowSurface(cover);
}

int coverIndex(uint32_t windowId)
{
    for (int i = 0; i < gSdl.covers.count; ++i)
        if (SDL_GetWindowID(gSdl.covers.windows[i]) == windowId) return i;
    return -1;
}

}  // namespace

// The cursor is hidden by the framework's count for every SDL window at once, covers included.
void coverOtherDisplays()
{
    closeCovers();
    int primary = SDL_GetWindowDisplayIndex(gSdl.window);
    SDL_Rect primaryBounds = {0, 0, 0, 0};
    SDL_GetDisplayBounds(primary, &primaryBounds);
    int displays = SDL_GetNumVideoDisplays();
    for (int i = 0; i < displays && gSdl.covers.count < kMaxCovers; ++i) {
        SDL_Rect bounds;
        if (i == primary || SDL_GetDisplayBounds(i, &bounds) != 0) continue;
        SDL_Window* cover = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED_DISPLAY(i), SDL_WINDOWPOS_CENTERED_DISPLAY(i),
                                             bounds.w, bounds.h,
                                             SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS |
                                                 SDL_WINDOW_SKIP_TASKBAR);
        if (!cover) {
            std::fprintf(stderr, "display: display %d stays uncovered: %s\n", i, SDL_GetError());
            continue;
        }
        int n = gSdl.covers.count++;
        gSdl.covers.windows[n] = cover;
        gSdl.covers.offset[n] = {bounds.x - primaryBounds.x, bounds.y - primaryBounds.y};
        gSdl.covers.pointerSeen[n] = false;
        paintBlack(cover);
    }
    // The keyboard belongs to the mode's window, where the prompt is, not to whichever window the
    // pointer happens to be over.
    if (gSdl.covers.count > 0) {
        SDL_RaiseWindow(gSdl.window);
        SDL_SetWindowInputFocus(gSdl.window);
    }
}

void closeCovers()
{
    for (int i = 0; i < gSdl.covers.count; ++i) SDL_DestroyWindow(gSdl.covers.windows[i]);
    gSdl.covers.count = 0;
}

void repaintCover(uint32_t windowId)
{
    int i = coverIndex(windowId);
    if (i >= 0) paintBlack(gSdl.covers.windows[i]);
}

bool ourWindow(uint32_t windowId)
{
    return (gSdl.window && SDL_GetWindowID(gSdl.window) == windowId) || coverIndex(windowId) >= 0;
}

bool coverOffset(uint32_t windowId, int* dx, int* dy)
{
    int i = coverIndex(windowId);
    if (i < 0) return false;
    *dx = gSdl.covers.offset[i].x;
    *dy = gSdl.covers.offset[i].y;
    return true;
}

// The mode's window has the mouse anchor for this; a cover appearing under a still pointer must not
// look like a move away from it.
bool coverMotionCounts(uint32_t windowId)
{
    int i = coverIndex(windowId);
    if (i < 0) return true;
    bool counts = gSdl.covers.pointerSeen[i];
    gSdl.covers.pointerSeen[i] = true;
    return counts;
}

}  // namespace display
