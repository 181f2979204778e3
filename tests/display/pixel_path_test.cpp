// tests/display/pixel_path_test.cpp -- pixel brackets stored by the compute shader land exactly where
// and how GL_POINTS put them: colours, clipping, large brackets, and drawing order against geometry.
#include "tests/display/display_test_support.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdlib>
#include <functional>

namespace {

const bool kOffscreen = displaytest::useOffscreen();

constexpr uint32_t kRed = 0xFF0000, kNavy = 0x000080;

void clearToNavy()
{
    glClearColor(0, 0, 128 / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// A red triangle over the middle of the page, drawn with depth test on as a scene would.
void drawTriangle(float depth)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glColor3f(1, 0, 0);
    glBegin(GL_TRIANGLES);
    glVertex3f(-0.5f, -0.5f, depth);
    glVertex3f(0.5f, -0.5f, depth);
    glVertex3f(0.0f, 0.5f, depth);
    glEnd();
    glDisable(GL_DEPTH_TEST);
}

// Scattered pixels in several colours, some off every edge, some twice, a colour change mid-bracket.
void plotMixedBrackets(int width, int height)
{
    uint32_t seed = 7;
    for (int layer = 0; layer < 4; ++layer) {
        display::setColorRGB(static_cast<uint8_t>(50 * layer + 1), static_cast<uint8_t>(255 - 60 * layer), 3);
        display::beginPixels();
        for (int i = 0; i < 3000; ++i) {
            seed = seed * 214013 + 2531011;
            int x = static_cast<int>((seed >> 16) % static_cast<uint32_t>(width + 40)) - 20;
            int y = static_cast<int>((seed >> 4) % static_cast<uint32_t>(height + 40)) - 20;
            display::plotPixel(x, y);
            if (i == 1500) display::setColorRGB(200, 100, static_cast<uint8_t>(layer));
        }
        display::plotPixel(0, 0);
        display::plotPixel(width - 1, 0);
        display::plotPixel(0, height - 1);
        display::plotPixel(width - 1, height - 1);
        display::plotPixel(width, height);
        display::plotPixel(-1, -1);
        display::plotPixel(-2147483647 - 1, 2147483647);
        display::endPixels();
    }
}

// Renders one frame on a fresh page through the path asked for and returns what was presented.
displaytest::Page renderWith(int path, int width, int height, int bits, const std::function<void()>& frame)
{
    displaytest::Page page;
    EXPECT_TRUE(displaytest::openMode(width, height, bits));
    display::choosePixelPath(path);
    frame();
    display::swapBuffers(false);
    page = displaytest::presentedPage();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    display::restoreDesktop();
    return page;
}

// Compares two pages pixel by pixel; reports the first few differences and how many there are.
void expectSamePages(const displaytest::Page& stores, const displaytest::Page& points)
{
    ASSERT_EQ(stores.width, points.width);
    ASSERT_EQ(stores.height, points.height);
    ASSERT_GT(stores.width, 0);
    int differing = 0;
    for (int y = 0; y < stores.height; ++y)
        for (int x = 0; x < stores.width; ++x) {
            if (stores.rgb(x, y) == points.rgb(x, y)) continue;
            if (++differing <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): image stores 0x" << std::hex << stores.rgb(x, y)
                              << ", GL_POINTS 0x" << points.rgb(x, y) << std::dec;
        }
    EXPECT_EQ(differing, 0) << "pixels that differ from GL_POINTS";
}

class PixelStores : public ::testing::Test {
protected:
    void SetUp() override
    {
        displaytest::clearHooks();
        ASSERT_TRUE(displaytest::openMode(320, 240, 32));
        display::choosePixelPath(display::kPixelPathFastest);
        bool stores = display::pixelsUseImageStore();
        display::restoreDesktop();
        if (!stores) GTEST_SKIP() << "this OpenGL context has no compute shaders; brackets use GL_POINTS only";
    }
    void TearDown() override
    {
        display::choosePixelPath(display::kPixelPathFastest);
        display::restoreDesktop();
    }
};

TEST_F(PixelStores, ScatteredBracketsMatchPointsAtEveryDepth)
{
    for (int bits : {32, 16, 8}) {
        SCOPED_TRACE(bits);
        auto frame = [] {
            clearToNavy();
            drawTriangle(0);
            plotMixedBrackets(640, 480);
        };
        expectSamePages(renderWith(display::kPixelPathStores, 640, 480, bits, frame),
                        renderWith(display::kPixelPathPoints, 640, 480, bits, frame));
    }
}

TEST_F(PixelStores, ColoursAndEdgesAreExact)
{
    auto frame = [] {
        clearToNavy();
        display::setColorRGB(1, 2, 3);
        display::beginPixels();
        display::plotPixel(0, 0);
        display::plotPixel(319, 0);
        display::plotPixel(0, 239);
        display::plotPixel(319, 239);
        display::plotPixel(320, 10);   // clipped, as are the rest
        display::plotPixel(10, 240);
        display::plotPixel(-1, 10);
        display::plotPixel(10, -1);
        display::setColorRGB(254, 128, 255);
        display::plotPixel(160, 120);
        display::endPixels();
    };
    displaytest::Page page = renderWith(display::kPixelPathStores, 320, 240, 32, frame);
    EXPECT_RGB(page, 0, 0, 0x010203);
    EXPECT_RGB(page, 319, 0, 0x010203);
    EXPECT_RGB(page, 0, 239, 0x010203);
    EXPECT_RGB(page, 319, 239, 0x010203);
    EXPECT_RGB(page, 160, 120, 0xFE80FF);
    EXPECT_RGB(page, 1, 0, kNavy);
    EXPECT_RGB(page, 318, 239, kNavy);
    EXPECT_RGB(page, 10, 0, kNavy) << "(10, -1) is off the page, not wrapped onto row 0";
    EXPECT_RGB(page, 10, 239, kNavy) << "(10, 240) is off the page, not wrapped onto the last row";
    expectSamePages(page, renderWith(display::kPixelPathPoints, 320, 240, 32, frame));
}

// More pixels than one batch holds: the bracket is stored in several dispatches, none lost.
TEST_F(PixelStores, BracketLargerThanABatchIsStoredWhole)
{
    constexpr int kWidth = 320, kHeight = 240;   // 76,800 pixels, above the 65,536 of a batch
    auto frame = [] {
        clearToNavy();
        display::setColorRGB(9, 200, 90);
        display::beginPixels();
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) display::plotPixel(x, y);
        display::endPixels();
    };
    displaytest::Page page = renderWith(display::kPixelPathStores, kWidth, kHeight, 32, frame);
    int others = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) others += page.rgb(x, y) != 0x09C85Au;
    EXPECT_EQ(others, 0) << "pixels of the bracket that did not land";
}

// Pixels over geometry drawn earlier in the frame stay on top; geometry drawn after them hides them,
// whether it is drawn with the depth test or without.
TEST_F(PixelStores, DrawingOrderAgainstGeometryIsKept)
{
    auto frame = [] {
        clearToNavy();
        drawTriangle(0.5f);
        display::setColorRGB(0, 255, 0);
        display::beginPixels();
        display::plotPixel(160, 120);   // on the triangle
        display::plotPixel(160, 10);    // on the background
        display::endPixels();
        // A second, nearer triangle over the top of the first covers the stars there.
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glTranslatef(0, 0.3f, 0);
        drawTriangle(-0.5f);
        glPopMatrix();
        display::setColorRGB(255, 255, 0);
        display::beginPixels();
        display::plotPixel(161, 120);
        display::endPixels();
    };
    displaytest::Page page = renderWith(display::kPixelPathStores, 320, 240, 32, frame);
    EXPECT_RGB(page, 160, 160, kRed) << "the first triangle";
    EXPECT_RGB(page, 160, 10, 0x00FF00) << "a star on the background";
    EXPECT_RGB(page, 160, 120, kRed) << "the nearer triangle drawn after the star hides it";
    EXPECT_RGB(page, 161, 120, 0xFFFF00) << "a star plotted after the triangles is over them";
    expectSamePages(page, renderWith(display::kPixelPathPoints, 320, 240, 32, frame));
}

TEST_F(PixelStores, TheSceneKeepsItsProgramAndBuffers)
{
    ASSERT_TRUE(displaytest::openMode(320, 240, 32));
    const char* source = "#version 120\nvoid main() { gl_Position = ftransform(); }\n";
    GLuint shader = glCreateShader(GL_VERTEX_SHADER);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLuint program = glCreateProgram();
    glAttachShader(program, shader);
    glLinkProgram(program);
    glUseProgram(program);
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, buffer);

    display::choosePixelPath(display::kPixelPathStores);
    display::beginPixels();
    display::plotPixel(3, 3);
    display::endPixels();

    GLint current = 0, bound = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    glGetIntegerv(GL_SHADER_STORAGE_BUFFER_BINDING, &bound);
    EXPECT_EQ(current, static_cast<GLint>(program));
    EXPECT_EQ(bound, static_cast<GLint>(buffer));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glUseProgram(0);
    glDeleteProgram(program);
    glDeleteShader(shader);
    glDeleteBuffers(1, &buffer);
}

TEST_F(PixelStores, EnvironmentCanKeepThePoints)
{
    setenv("TOCKWHEEL_PIXELS", "points", 1);
    ASSERT_TRUE(displaytest::openMode(320, 240, 32));
    EXPECT_FALSE(display::pixelsUseImageStore());
    display::restoreDesktop();
    unsetenv("TOCKWHEEL_PIXELS");
    ASSERT_TRUE(displaytest::openMode(320, 240, 32));
    EXPECT_TRUE(display::pixelsUseImageStore()) << "asked again on each new context";
}

}  // namespace
