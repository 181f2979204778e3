// tests/display/allocation_test.cpp -- a steady-state main-loop pass allocates nothing: this program
// counts operator new calls (tests/support/allocation_counter).
#include "tests/display/display_test_support.h"

#include <GL/gl.h>

#include "tests/support/allocation_counter.h"

namespace {

const bool kOffscreen = displaytest::useOffscreen();

constexpr int kWarmUpPasses = 10;
constexpr int kCountedPasses = 100;
int gPass = 0;

void drawFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (int layer = 0; layer < 4; ++layer) {
        display::setColorRGB(static_cast<uint8_t>(60 * layer), 200, 255);
        display::beginPixels();
        for (int i = 0; i < 9999; ++i) display::plotPixel((i * 37 + layer) % 1100 - 40, (i * 11) % 800 - 20);
        display::endPixels();
    }
    display::fillRectAround(512, 384, 92, 18);
    display::swapBuffers(true);
}

void gameLogic()
{
    ++gPass;
    if (gPass == kWarmUpPasses) gCounting = true;
    // Input arrives in the steady state as well.
    display::postEvent(display::Event{display::kEventMouseMove, 0, gPass, 1, 0, 0, 0});
    if (gPass == kWarmUpPasses + kCountedPasses) {
        gCounting = false;
        display::requestExit();
    }
}

void mouseMove(const display::Event&) {}

TEST(DisplayAllocation, SteadyStatePassesAllocateNothing)
{
    ASSERT_TRUE(displaytest::openMode(1024, 768, 16));
    displaytest::clearHooks();
    display::setDrawHook(drawFrame);
    display::setGameLogicHook(gameLogic);
    display::setMouseMoveHook(mouseMove);
    display::runMainLoop();
    EXPECT_EQ(gPass, kWarmUpPasses + kCountedPasses);
    EXPECT_EQ(gAllocations.load(), 0) << "operator new calls during " << kCountedPasses << " passes";
}

}  // namespace
