// saver/scene_setup.h -- building the scene once before the main loop, and the objects it makes.
#pragma once

#include "display/display.h"
#include "saver/clock_scene.h"
#include "text/text.h"

extern ClockScene scene;                    // the one clock
extern display::Bitmap* passwordBitmap;     // the prompt; only when a password is set
extern FontFace& fontFace;                  // made at program load, open only while set-up makes the fonts
extern FilledTextFont* filledFont;          // 20 points, solid rendering
extern OutlineTextFont* outlineFont;        // 20 points, wireframe rendering

constexpr int kTextPointSize = 20;

// The OpenGL context and its fixed state, the clock and its colours, the star layers, the prompt
// bitmap and the fonts, then the cursor hidden. Every failure ends the program through fatalError.
void setUpScene();
// After a host resized its window: the viewport, the view's shape and the star field follow the page.
void followPageSize();
