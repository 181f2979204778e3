// saver/frame_loop.cpp -- one main-loop pass: step the animation, render every (frameSkip + 1)-th pass,
// draw the prompt, present.
#include "saver/frame_loop.h"
#include "saver/frame_loop_internal.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "config/settings.h"
#include "display/display.h"
#include "saver/clock_draw.h"
#include "saver/color_cycling.h"
#include "saver/input.h"
#include "saver/movement.h"
#include "saver/password_prompt.h"
#include "saver/saver_screen.h"
#include "saver/scene_setup.h"
#include "saver/star_field.h"

int32_t frameCounter = 0;

namespace {

// Darkest layer first, so that no dim star hides a bright one; layer 0 is also the fastest.
const uint8_t kLayerGrey[kStarLayerCount] = {255, 170, 120, 65};

void drawStars()
{
    for (int i = kStarLayerCount - 1; i >= 0; --i)
        drawStarLayer(starLayers[i], kLayerGrey[i], kLayerGrey[i], kLayerGrey[i]);
}

void restartStopwatchIfLong()
{
    if (display::timerLap() > kStopwatchRestartUs) {
        display::timerOff();
        display::timerOn();
    }
}

// One animation step: the four star layers, the clock's time and movement, its colours.
void advanceAnimation()
{
    for (int i = 0; i < kStarLayerCount; ++i)
        advanceStarLayer(starLayers[i], Settings.starDirection, Settings.starSpeed + 3 - i);
    advanceMovement(scene);
    cycleColors(scene);
}

// Clear, camera, stars, clock.
void renderScene()
{
    followPageSize();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    gluLookAt(0, 0, -6, 0, 0, 0, 0, 1, 0);
    // Plotted into the page before any geometry, so the clock hides the stars behind it.
    if (Settings.starFieldEnabled == 1) drawStars();
    glPushMatrix();
    drawClock(scene);
    glPopMatrix();
    glFlush();
}

}  // namespace

bool animationDue() { return frameCounter == -1; }

void advanceFrame()
{
    if (animationDue()) advanceAnimation();
    if (saverState == kSaverEnding) display::requestExit();
}

bool takeRenderPass()
{
    ++frameCounter;
    if (frameCounter < Settings.frameSkip) return false;
    frameCounter = -1;
    return true;
}

void drawFrame()
{
    if (takeRenderPass()) renderScene();
    restartStopwatchIfLong();
    // The prompt is redrawn and the page presented on every pass, whatever frameSkip is.
    if (saverState == kSaverPrompt) drawPasswordPrompt(framework);
    display::swapBuffers(true);
}
