// tests/desktop/fps_overlay_test.cpp -- TOCKWHEEL_FPS=1 on the offscreen back end: the corner shows the
// reading, the rest of the page is the caller's, and presenting allocates nothing. This program
// counts operator new calls (tests/support/allocation_counter).
#include "display/backend.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "tests/support/allocation_counter.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

bool startOffscreenWithOverlay()
{
    setenv("TOCKWHEEL_DISPLAY", "offscreen", 1);
    setenv("TOCKWHEEL_SCREEN", "1024x768", 1);
    setenv("TOCKWHEEL_FPS", "1", 1);
    if (!display::initFramework("Tockwheel overlay test")) return false;
    display::ModeInfo mode{};
    if (!display::findMode(kWidth, kHeight, 32, &mode)) return false;
    return display::setMode(mode, false, 3, false) &&
           display::startOpenGL(display::kGlDoubleBuffer | display::kGlDepthBuffer);
}

void presentBluePage()
{
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    display::swapBuffers(true);
}

struct Counts {
    int yellow = 0;   // overlay text
    int black = 0;    // overlay box
    int blue = 0;     // the caller's page
};

Counts countColours(const std::vector<uint8_t>& rgba, int width, int x0, int y0, int x1, int y1)
{
    Counts counts;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
            if (p[0] == 255 && p[1] == 255 && p[2] == 0) ++counts.yellow;
            if (p[0] == 0 && p[1] == 0 && p[2] == 0) ++counts.black;
            if (p[0] == 0 && p[1] == 0 && p[2] == 255) ++counts.blue;
        }
    return counts;
}

class DesktopFpsOverlay : public ::testing::Test {
protected:
    static void SetUpTestSuite() { started = startOffscreenWithOverlay(); }
    static bool started;
};
bool DesktopFpsOverlay::started = false;

TEST_F(DesktopFpsOverlay, TheCornerShowsTheReadingAndTheRestStaysTheCallers)
{
    ASSERT_TRUE(started);
    // The offscreen clock advances one 60 Hz refresh per page: a reading after one virtual second.
    for (int i = 0; i < 75; ++i) presentBluePage();
    std::vector<uint8_t> rgba;
    int width = 0, height = 0;
    ASSERT_TRUE(display::readPresentedPage(&rgba, &width, &height));
    ASSERT_EQ(width, kWidth);
    Counts corner = countColours(rgba, width, 0, 0, 140, 20);
    EXPECT_GT(corner.yellow, 100);   // "FPS 60 CPU n%": dozens of 2 x 2 cells
    EXPECT_GT(corner.black, corner.yellow);
    Counts rest = countColours(rgba, width, 0, 24, width, height);
    EXPECT_EQ(rest.blue, width * (height - 24));
    // "FPS 60": the '6' begins at the fifth character cell; its top row is three cells lit.
    const int sixLeft = 4 + 4 * 8;
    for (int cell = 0; cell < 3; ++cell) {
        const uint8_t* p = &rgba[(static_cast<size_t>(4) * width + sixLeft + cell * 2) * 4];
        EXPECT_EQ(p[0], 255) << "cell " << cell;
        EXPECT_EQ(p[2], 0) << "cell " << cell;
    }
}

TEST_F(DesktopFpsOverlay, PresentingWithTheOverlayAllocatesNothing)
{
    ASSERT_TRUE(started);
    for (int i = 0; i < 10; ++i) presentBluePage();
    gAllocations = 0;
    gCounting = true;
    for (int i = 0; i < 200; ++i) presentBluePage();   // over three readings
    gCounting = false;
    EXPECT_EQ(gAllocations.load(), 0);
}

}  // namespace
