// tests/display/render_test.cpp -- offscreen runs checked in pixels: the scene and the 2D operations on
// one page, the saver's GL state kept, colour depths (by the colour-depth pass and by the processor's
// stretch), the virtual clock and snapshots.
#include "tests/display/display_test_support.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

const bool kOffscreen = displaytest::useOffscreen();

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kNavy = 0x000080;

void drawTriangle()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(1, 0, 0);
    glBegin(GL_TRIANGLES);
    glVertex2f(-0.5f, -0.5f);
    glVertex2f(0.5f, -0.5f);
    glVertex2f(0.0f, 0.5f);
    glEnd();
}

void drawScene()
{
    glClearColor(0, 0, 128 / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawTriangle();
    display::setColorRGB(0, 255, 0);
    display::beginPixels();
    display::plotPixel(10, 10);
    display::plotPixel(11, 10);
    display::plotPixel(-1, 5);      // clipped
    display::plotPixel(640, 5);     // clipped
    display::plotPixel(639, 479);   // bottom right corner
    display::endPixels();
    display::setColorRGB(0, 0, 255);
    display::fillRectAround(100, 50, 2, 3);
    display::swapBuffers(true);
    display::requestExit();
}

class OffscreenPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        displaytest::clearHooks();
        display::lastError();
    }
    void TearDown() override { display::restoreDesktop(); }
};

TEST_F(OffscreenPage, SceneAndPixelsShareThePage)
{
    ASSERT_TRUE(displaytest::openMode(640, 480, 32)) << display::errorMessage(display::lastError());
    display::setDrawHook(drawScene);
    display::runMainLoop();
    // The loop's tear-down forgot the display; the last page stays readable only while it exists, so
    // this run is repeated by hand below.
    ASSERT_TRUE(displaytest::openMode(640, 480, 32));
    drawScene();
    displaytest::Page page = displaytest::presentedPage();
    ASSERT_EQ(page.width, 640);
    ASSERT_EQ(page.height, 480);
    EXPECT_RGB(page, 320, 240, kRed);
    EXPECT_RGB(page, 5, 5, kNavy);
    EXPECT_RGB(page, 10, 10, kGreen);
    EXPECT_RGB(page, 11, 10, kGreen);
    EXPECT_RGB(page, 12, 10, kNavy);
    EXPECT_RGB(page, 10, 11, kNavy);
    EXPECT_RGB(page, 639, 479, kGreen);
    EXPECT_RGB(page, 98, 47, kBlue);
    EXPECT_RGB(page, 102, 53, kBlue);
    EXPECT_RGB(page, 103, 50, kNavy);
    EXPECT_RGB(page, 100, 46, kNavy);
    EXPECT_RGB(page, 320, 120, kNavy) << "the triangle's tip is at row 120; the origin is the top left";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(OffscreenPage, TwoDimensionalCallsLeaveTheSceneStateAlone)
{
    ASSERT_TRUE(displaytest::openMode(320, 240, 32));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1, 1, -1, 1, 1, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, -5);
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    GLfloat before[16], after[16], projection[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);

    display::beginPixels();
    display::plotPixel(1, 1);
    display::endPixels();
    display::fillRectAround(5, 5, 1, 1);
    display::Bitmap bitmap = {2, 1, 32, {}, {0xFFFFFFFFu, 0xFF000000u}};
    display::putBitmap(3, 3, &bitmap, 0);

    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(before[i], after[i]) << i;
    EXPECT_FLOAT_EQ(projection[0], 1.0f) << "the frustum is still there";
    GLint matrixMode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    EXPECT_EQ(matrixMode, GL_MODELVIEW);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(OffscreenPage, BitmapsLandTopDownAtTheirCorner)
{
    ASSERT_TRUE(displaytest::openMode(320, 240, 32));
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    // 2 x 2: top row red, green; bottom row blue, white.
    display::Bitmap bitmap = {2, 2, 24, {}, {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu}};
    display::putBitmap(20, 30, &bitmap, 0);
    display::putBitmap(-1, -1, &bitmap, 0);   // only its bottom-right pixel shows
    display::swapBuffers(false);
    displaytest::Page page = displaytest::presentedPage();
    EXPECT_RGB(page, 20, 30, kRed);
    EXPECT_RGB(page, 21, 30, kGreen);
    EXPECT_RGB(page, 20, 31, kBlue);
    EXPECT_RGB(page, 21, 31, 0xFFFFFF);
    EXPECT_RGB(page, 22, 30, 0);
    EXPECT_RGB(page, 0, 0, 0xFFFFFF);
    EXPECT_RGB(page, 1, 0, 0);
}

TEST_F(OffscreenPage, ScissorLeftByTheSceneDoesNotCutThePresentedPage)
{
    for (int bits : {32, 16}) {
        ASSERT_TRUE(displaytest::openMode(320, 240, bits));
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, 10, 10);
        display::swapBuffers(false);
        displaytest::Page page = displaytest::presentedPage();
        EXPECT_RGB(page, 200, 100, 0xFFFFFF) << bits << " bits";
        EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
        display::restoreDesktop();
    }
}

uint32_t presentedColour(int bits, uint8_t r, uint8_t g, uint8_t b)
{
    EXPECT_TRUE(displaytest::openMode(320, 240, bits));
    display::setColorRGB(r, g, b);
    display::fillRectAround(10, 10, 5, 5);
    display::swapBuffers(false);
    uint32_t rgb = displaytest::presentedPage().rgb(10, 10);
    display::restoreDesktop();
    return rgb;
}

// Expected values: each channel rounded to its nearest level, then scaled back to 0..255.
TEST_F(OffscreenPage, EightBitPagesUseThe332Palette)
{
    EXPECT_EQ(presentedColour(8, 100, 100, 100), 0x6D6D55u);   // 3/7, 3/7, 1/3
    EXPECT_EQ(presentedColour(8, 200, 30, 240), 0xB624FFu);    // 5/7, 1/7, 3/3
    EXPECT_EQ(presentedColour(8, 255, 255, 255), 0xFFFFFFu);
}

TEST_F(OffscreenPage, SixteenAndFifteenBitPagesKeep565And555)
{
    EXPECT_EQ(presentedColour(16, 100, 100, 100), 0x636563u);   // 12/31, 25/63, 12/31
    EXPECT_EQ(presentedColour(15, 100, 100, 100), 0x636363u);
    EXPECT_EQ(presentedColour(32, 100, 101, 102), 0x646566u);
    EXPECT_EQ(presentedColour(24, 1, 2, 3), 0x010203u);
}

void swapOnly()
{
    display::swapBuffers(true);
}

int gPasses = 0;
void stopAfterFour()
{
    if (++gPasses == 4) display::requestExit();
}

TEST_F(OffscreenPage, EachPresentedPageIsOneVirtualRefresh)
{
    ASSERT_TRUE(displaytest::openMode(320, 240, 32));
    display::timerOn();
    EXPECT_EQ(display::timerLap(), 0u);
    gPasses = 0;
    display::setDrawHook(swapOnly);
    display::setGameLogicHook(stopAfterFour);
    display::runMainLoop();
    EXPECT_EQ(display::timerLap(), 4 * display::kRefreshUs);
}

TEST_F(OffscreenPage, SnapshotIsAPngOfThePresentedPage)
{
    std::string path = displaytest::tempPath("render_snapshot.png");
    std::remove(path.c_str());
    setenv("TOCKWHEEL_SNAPSHOT", path.c_str(), 1);
    ASSERT_TRUE(displaytest::openMode(640, 480, 16));
    display::setDrawHook(drawScene);
    display::runMainLoop();
    unsetenv("TOCKWHEEL_SNAPSHOT");
    FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    unsigned char header[24] = {};
    ASSERT_EQ(std::fread(header, 1, sizeof header, file), sizeof header);
    std::fclose(file);
    EXPECT_EQ(header[1], 'P');
    EXPECT_EQ(header[2], 'N');
    EXPECT_EQ((header[16] << 24 | header[17] << 16 | header[18] << 8 | header[19]), 640);
    EXPECT_EQ((header[20] << 24 | header[21] << 16 | header[22] << 8 | header[23]), 480);
}

TEST_F(OffscreenPage, WindowedModesFollowTheWindowRules)
{
    ASSERT_NE(display::initFramework("Display test"), nullptr);
    display::setDriverOptions(displaytest::allDrivers());
    display::ModeInfo mode;
    ASSERT_TRUE(display::findMode(640, 350, 8, &mode));
    ASSERT_TRUE(display::setMode(mode, true, 3, false));
    EXPECT_EQ(display::gFramework.screen.mode.yRes, 480);
    ASSERT_TRUE(display::findMode(320, 200, 8, &mode));
    ASSERT_TRUE(display::setMode(mode, true, 3, false));
    EXPECT_EQ(display::gFramework.screen.mode.yRes, 240);
    ASSERT_TRUE(display::setMode(mode, false, 3, false));
    EXPECT_EQ(display::gFramework.screen.mode.yRes, 200);
    EXPECT_EQ(display::gFramework.screen.pages, 3);
}

// Window pixels as X11 has them (0x00RRGGBB) and as the displaytest pages read them.
display::WindowPixels xrgbWindow(std::vector<uint32_t>* pixels, int width, int height)
{
    pixels->assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0xDEADBEEF);
    return display::WindowPixels{pixels->data(), width * 4, width, height, {16, 8, 0}, 0};
}

// The window back end reduces a page on the processor while snapshots and the other back ends use the
// colour-depth pass: both must give every 8-bit value of every channel the same level. A grey ramp
// and its inverse over every value, in each channel, at every depth.
TEST_F(OffscreenPage, ProcessorReductionMatchesTheColourDepthPass)
{
    display::Bitmap ramp = {256, 2, 32, {}, std::vector<uint32_t>(512)};
    for (uint32_t v = 0; v < 256; ++v) {
        ramp.pixels[v] = 0xFF000000u | v << 16 | v << 8 | v;
        ramp.pixels[256 + v] = 0xFF000000u | (255 - v) << 16 | ((v * 37) & 255) << 8 | ((v * 101) & 255);
    }
    for (int bits : {8, 15, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        ASSERT_TRUE(displaytest::openMode(320, 240, bits));
        glClearColor(0, 0, 0.5f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        display::putBitmap(10, 20, &ramp, 0);
        std::vector<uint8_t> drawn(320 * 240 * 4);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, display::pageFramebuffer());
        glReadPixels(0, 0, 320, 240, GL_RGBA, GL_UNSIGNED_BYTE, drawn.data());
        display::swapBuffers(false);
        const displaytest::Page presented = displaytest::presentedPage();
        std::vector<uint32_t> pixels;
        display::reduceAndStretch(drawn.data(), 320, 240, bits, xrgbWindow(&pixels, 320, 240));
        int differing = 0;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) {
                const uint32_t want = presented.rgb(x, y), got = pixels[static_cast<size_t>(y) * 320 + x];
                if (got != want && differing++ < 5)
                    ADD_FAILURE() << x << "," << y << ": " << std::hex << got << " not " << want;
            }
        EXPECT_EQ(differing, 0);
        display::restoreDesktop();
    }
}

// A page stretched by the processor shows each of its pixels as a block of whole window pixels, the
// one under each window pixel's centre (GL_NEAREST), and every page row and column somewhere: a 640 x
// 480 page keeps 640 x 480 worth of detail on any screen.
TEST_F(OffscreenPage, ProcessorStretchIsNearestNeighbourAndLosesNoPagePixel)
{
    constexpr int kPageWidth = 640, kPageHeight = 480;
    std::vector<uint8_t> page(kPageWidth * kPageHeight * 4);
    for (int row = 0; row < kPageHeight; ++row)   // OpenGL's rows, from the bottom
        for (int x = 0; x < kPageWidth; ++x) {
            uint8_t* p = &page[(static_cast<size_t>(row) * kPageWidth + x) * 4];
            const int top = kPageHeight - 1 - row;
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(top);
            p[2] = static_cast<uint8_t>((x >> 8) | (top >> 8) << 4);
            p[3] = 255;
        }
    const int windows[][2] = {{1920, 1080}, {1024, 768}, {640, 480}, {2560, 1440}, {800, 600}};
    for (const auto& size : windows) {
        const int width = size[0], height = size[1];
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        std::vector<uint32_t> pixels;
        display::reduceAndStretch(page.data(), kPageWidth, kPageHeight, 32, xrgbWindow(&pixels, width, height));
        std::vector<bool> columnSeen(kPageWidth), rowSeen(kPageHeight);
        int wrong = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const int px = (2 * x + 1) * kPageWidth / (2 * width), py = (2 * y + 1) * kPageHeight / (2 * height);
                const uint32_t want =
                    uint32_t(px & 255) << 16 | uint32_t(py & 255) << 8 | uint32_t((px >> 8) | (py >> 8) << 4);
                const uint32_t got = pixels[static_cast<size_t>(y) * width + x];
                if (got != want && wrong++ < 5)
                    ADD_FAILURE() << x << "," << y << ": " << std::hex << got << " not " << want;
                columnSeen[static_cast<size_t>(got >> 16 | (got & 0x03) << 8)] = true;
                rowSeen[static_cast<size_t>((got >> 8 & 255) | (got >> 4 & 0x03) << 8)] = true;
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(std::count(columnSeen.begin(), columnSeen.end(), true), kPageWidth);
        EXPECT_EQ(std::count(rowSeen.begin(), rowSeen.end(), true), kPageHeight);
    }
}

// The window back end hands the page over a band of rows at a time, each band from only the page rows it
// shows: band after band must give the picture a whole stretch gives, whatever the band's height, and
// a page of another shape keeps it inside the rectangle the letterbox gives, a host's page the window's.
TEST(PageShape, BandsFromTheirOwnRowsGiveTheWholeStretchAndShapesAreKept)
{
    constexpr int kPageWidth = 853, kPageHeight = 480;
    std::vector<uint8_t> page(kPageWidth * kPageHeight * 4);
    for (size_t i = 0; i < page.size(); ++i) page[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
    for (const int shownHeight : {1080, 480, 361}) {
        const int width = 1920;
        std::vector<uint32_t> whole, band;
        display::reduceAndStretch(page.data(), kPageWidth, kPageHeight, 16, xrgbWindow(&whole, width, shownHeight));
        for (const int rows : {64, 7}) {
            SCOPED_TRACE(std::to_string(shownHeight) + " rows in bands of " + std::to_string(rows));
            int wrong = 0;
            for (int first = 0; first < shownHeight; first += rows) {
                const int last = std::min(first + rows, shownHeight) - 1;
                // The page rows these window rows show, as OpenGL numbers them (from the bottom).
                const int top = (2 * first + 1) * kPageHeight / (2 * shownHeight);
                const int bottom = (2 * last + 1) * kPageHeight / (2 * shownHeight);
                const int glFirst = kPageHeight - 1 - bottom;
                const std::vector<uint8_t> own(page.begin() + static_cast<ptrdiff_t>(glFirst) * kPageWidth * 4,
                                               page.begin() + static_cast<ptrdiff_t>(kPageHeight - top) * kPageWidth * 4);
                display::reduceAndStretchRows(own.data(), kPageWidth, kPageHeight, 16, xrgbWindow(&band, width, rows),
                                              first, shownHeight, glFirst);
                for (int y = first; y <= last; ++y)
                    for (int x = 0; x < width; ++x)
                        if (band[static_cast<size_t>(y - first) * width + x] != whole[static_cast<size_t>(y) * width + x])
                            ++wrong;
            }
            EXPECT_EQ(wrong, 0);
        }
    }

    const display::ShownRect wide = display::letterbox(640, 480, 1920, 1080);   // bars left and right
    EXPECT_EQ(wide.x, 240);
    EXPECT_EQ(wide.y, 0);
    EXPECT_EQ(wide.width, 1440);
    EXPECT_EQ(wide.height, 1080);
    const display::ShownRect tall = display::letterbox(1280, 960, 1500, 1200);   // bars above and below
    EXPECT_EQ(tall.width, 1500);
    EXPECT_EQ(tall.height, 1125);
    EXPECT_EQ(tall.y, 37);
    const display::ShownRect same = display::letterbox(853, 480, 1920, 1080);    // a host's page: all of it
    EXPECT_EQ(same.width, 1920);
    EXPECT_EQ(same.height, 1080);

    int width = 0, height = 0;
    display::pageForHostWindow(640, 480, 1920, 1080, &width, &height);   // the mode's detail, the window's shape
    EXPECT_EQ(width, 853);
    EXPECT_EQ(height, 480);
    display::pageForHostWindow(640, 480, 2560, 1080, &width, &height);
    EXPECT_EQ(width, 1138);
    EXPECT_EQ(height, 480);
    display::pageForHostWindow(1024, 768, 1000, 300, &width, &height);   // smaller than the mode: as it is
    EXPECT_EQ(width, 1000);
    EXPECT_EQ(height, 300);
    display::pageForHostWindow(640, 480, 320, 240, &width, &height);     // never enlarged
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 240);
}

TEST_F(OffscreenPage, StartOpenGLWithoutAModeFails)
{
    EXPECT_FALSE(display::startOpenGL(display::kGlDoubleBuffer));
    EXPECT_NE(display::lastError(), display::kErrNone);
    display::beginPixels();
    display::plotPixel(1, 1);   // no page: nothing happens, nothing breaks
    display::endPixels();
    display::fillRectAround(1, 1, 1, 1);
}

}  // namespace
