// saver/frame_loop.h -- the game-logic and draw hooks: pacing, animation steps, rendering, presenting.
#pragma once

#include <cstdint>

constexpr uint32_t kStopwatchRestartUs = 500'000'000;   // restart well before the 32-bit count wraps

extern int32_t frameCounter;   // passes since the last rendered frame; -1 right after one

// Game-logic hook: one animation step after every rendered frame, and the end of the loop once the
// saver is ending.
void advanceFrame();
// Draw hook: renders on every (frameSkip + 1)-th pass, lays the prompt over the page, presents it.
void drawFrame();
