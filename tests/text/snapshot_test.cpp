// The clock's lettering, filled and outlined, rendered offscreen to PNG and checked in pixels: the
// counter of the "0" stays empty, and the outline font draws the contours and nothing between them.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <string>
#include <vector>

#include "gl_context.h"
#include "text/font_engine.h"
#include "text/font_instance.h"
#include "text/glyph.h"
#include "text/glyph_polygonizer.h"
#include "text/glyph_vectorizer.h"
#include "text/text.h"

namespace {

constexpr int kWidth = 800;           // pixels
constexpr int kHeight = 110;          // pixels
constexpr float kScale = 3.0f;        // picture pixels per glyph pixel
constexpr float kOriginX = 30.0f;     // pixels from the left
constexpr float kBaselineY = 28.0f;   // pixels from the bottom
constexpr const char* kClockText = "0123456789 AM PM";

struct Picture {
    std::vector<uint8_t> rgba;   // top row first

    // True when any pixel within `radius` of the glyph-space point differs from the background.
    bool litNear(double x, double y, int radius = 0) const
    {
        int column = static_cast<int>(kOriginX + kScale * x);
        int row = kHeight - 1 - static_cast<int>(kBaselineY + kScale * y);
        for (int r = row - radius; r <= row + radius; ++r)
            for (int c = column - radius; c <= column + radius; ++c)
                if (r >= 0 && r < kHeight && c >= 0 && c < kWidth && rgba[(r * kWidth + c) * 4 + 1] > 100)
                    return true;
        return false;
    }
};

Picture render(OffscreenContext& context, TextFont& font, const std::string& pngName)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, kWidth, 0, kHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0.05f, 0.07f, 0.16f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1.0f, 0.82f, 0.35f);
    glTranslatef(kOriginX, kBaselineY, 0);
    glScalef(kScale, kScale, 1);
    font.draw(kClockText);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_TRUE(context.writePng(std::string(TOCKWHEEL_BINARY_DIR) + "/tests/text/" + pngName));
    return {context.readPixels()};
}

}  // namespace

TEST(TextSnapshot, ZeroKeepsItsCounterEmptyAndOutlinesDrawOnlyContours)
{
    OffscreenContext context(kWidth, kHeight);
    ASSERT_TRUE(context.isReady()) << context.failure();
    FontFace face;
    ASSERT_TRUE(face.open(TOCKWHEEL_FONT_FILE));
    FilledTextFont filledFont(face);
    OutlineTextFont outlineFont(face);
    ASSERT_TRUE(filledFont.create(20));
    ASSERT_TRUE(outlineFont.create(20));
    Picture filled = render(context, filledFont, "text-filled.png");
    Picture outline = render(context, outlineFont, "text-outline.png");

    GlyphVectorizer zero(filledFont.glyphSet()->glyph('0'));
    ASSERT_TRUE(zero.vectorize());
    ASSERT_EQ(zero.contourCount(), 2);
    const Contour& outer = zero.contour(0);
    const Contour& counter = zero.contour(1);
    ASSERT_TRUE(outer.isClockwise());
    ASSERT_FALSE(counter.isClockwise());
    double middleY = (counter.yMin() + counter.yMax()) / 2;
    double counterX = (counter.xMin() + counter.xMax()) / 2;
    double strokeX = (outer.xMin() + counter.xMin()) / 2;

    EXPECT_FALSE(filled.litNear(counterX, middleY, 3)) << "the counter of the 0 is filled";
    EXPECT_TRUE(filled.litNear(strokeX, middleY)) << "the stroke of the 0 is empty";
    EXPECT_FALSE(outline.litNear(counterX, middleY, 3));
    EXPECT_FALSE(outline.litNear(strokeX, middleY)) << "the outline font fills the stroke";
    EXPECT_TRUE(outline.litNear(outer.xMin(), middleY, 2)) << "no outer contour";
    EXPECT_TRUE(outline.litNear(counter.xMin(), middleY, 2)) << "no inner contour";
}
