// Text fonts on an offscreen OpenGL context: creating, compiling lists on first use, drawing and
// measuring, read back through the model-view matrix and the pixels drawn.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <vector>

#include "gl_context.h"
#include "text/text.h"

namespace {

constexpr int kContextPixels = 256;

// Pixels that drawing lights on a cleared page, one unit per pixel.
template <typename Draw>
int litPixels(OffscreenContext& context, Draw draw)
{
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1, 1, 1);
    draw();
    std::vector<uint8_t> pixels = context.readPixels();
    int lit = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
        lit += pixels[i] > 0;
    return lit;
}

float modelviewX()
{
    GLfloat matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    return matrix[12];
}

// Counts how many glyphs a font compiles (Mesa reports reserved list names as lists already).
template <typename Font>
class Counting : public Font {
public:
    using Font::Font;
    int compiled = 0;

protected:
    void compileGlyph(unsigned int list, const Glyph& glyph) override
    {
        ++compiled;
        Font::compileGlyph(list, glyph);
    }
};

class TextFontTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { context = new OffscreenContext(kContextPixels, kContextPixels); }
    static void TearDownTestSuite()
    {
        delete context;
        context = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(context->isReady()) << context->failure();
        ASSERT_TRUE(face.open(TOCKWHEEL_FONT_FILE));
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-10, kContextPixels - 10, -60, kContextPixels - 60, -1, 1);   // one unit per pixel
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    void TearDown() override { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); }

    static OffscreenContext* context;
    FontFace face;
};

OffscreenContext* TextFontTest::context = nullptr;

}  // namespace

TEST_F(TextFontTest, CreateLoadsGlyphsAndReservesListsButCompilesNone)
{
    Counting<FilledTextFont> font(face);
    EXPECT_EQ(font.listBase(), 0u);
    EXPECT_EQ(font.precision(), 4.0);
    ASSERT_TRUE(font.create(20));
    ASSERT_NE(font.listBase(), 0u);
    for (int code = 0; code < kCharCodeCount; ++code)
        EXPECT_NE(font.glyphSet()->glyph(code), nullptr) << "code " << code;
    EXPECT_EQ(font.compiled, 0);
    EXPECT_EQ(font.getHeight(), 26);
}

TEST_F(TextFontTest, PointSizeBelowOneMakesAOnePointFont)
{
    OutlineTextFont font(face);
    ASSERT_TRUE(font.create(0));
    EXPECT_EQ(font.getHeight(), 1);   // 1 x 64 x 96 / 4608
    ASSERT_TRUE(font.create(-7));
    EXPECT_EQ(font.getHeight(), 1);
}

TEST_F(TextFontTest, FontOnAClosedFaceIsNotCreated)
{
    FontFace closed;
    FilledTextFont font(closed);
    EXPECT_FALSE(font.create(20));
    EXPECT_FALSE(font.loadGlyph('A'));
    font.draw("A");   // nothing to draw with
    EXPECT_EQ(font.getWidth("A"), 0);
    EXPECT_EQ(font.getHeight(), 0);
}

TEST_F(TextFontTest, CodesOutsideTheByteRangeAreRefused)
{
    FilledTextFont font(face);
    EXPECT_FALSE(font.loadGlyph('A'));   // not created yet
    ASSERT_TRUE(font.create(20));
    EXPECT_FALSE(font.loadGlyph(256));
    EXPECT_FALSE(font.loadGlyph(-1));
    EXPECT_TRUE(font.loadGlyph(255));
    EXPECT_TRUE(font.loadGlyph(255));
}

TEST_F(TextFontTest, SpaceIsOnlyAnAdvance)
{
    for (bool filled : {true, false}) {
        FilledTextFont filledFont(face);
        OutlineTextFont outlineFont(face);
        TextFont& font = filled ? static_cast<TextFont&>(filledFont) : outlineFont;
        ASSERT_TRUE(font.create(20));
        ASSERT_TRUE(font.loadGlyph(' '));
        glLoadIdentity();
        EXPECT_EQ(litPixels(*context, [&] { glCallList(font.listBase() + ' '); }), 0);
        glLoadIdentity();
        glCallList(font.listBase() + ' ');
        EXPECT_FLOAT_EQ(modelviewX(), font.glyphSet()->glyph(' ')->metrics().advance / 64.0f);
        EXPECT_EQ(font.getWidth(" "), font.glyphSet()->glyph(' ')->metrics().advance / 64);
        glLoadIdentity();
    }
}

TEST_F(TextFontTest, CodeWithoutAGlyphDrawsTheMissingGlyphBox)
{
    OutlineTextFont font(face);
    ASSERT_TRUE(font.create(20));
    EXPECT_GT(litPixels(*context, [&] { font.draw("\x01"); }), 20);
    EXPECT_GT(font.getWidth("\x01"), 0);
}

TEST_F(TextFontTest, ListsAreCompiledOnFirstDrawAndOnlyThen)
{
    Counting<FilledTextFont> font(face);
    ASSERT_TRUE(font.create(20));
    font.draw("");
    EXPECT_EQ(font.compiled, 0);
    font.draw("12 21");
    EXPECT_EQ(font.compiled, 3);
    font.draw("12 21");
    font.load("2 1");
    font.load('1', '2');
    EXPECT_EQ(font.compiled, 3);
    font.load('0', '9');
    EXPECT_EQ(font.compiled, 11);
}

TEST_F(TextFontTest, DrawLeavesTheMatrixAsItWas)
{
    FilledTextFont font(face);
    ASSERT_TRUE(font.create(20));
    glTranslatef(5, 0, 0);
    font.draw("12:30 PM");
    EXPECT_FLOAT_EQ(modelviewX(), 5.0f);
    font.draw("");
    font.draw(nullptr);
    EXPECT_FLOAT_EQ(modelviewX(), 5.0f);
}

TEST_F(TextFontTest, WidthIsTheSumOfWholePixelAdvances)
{
    FilledTextFont font(face);
    ASSERT_TRUE(font.create(20));
    long advances = 0;
    for (const char* c = "10 PM"; *c != 0; ++c)
        advances += font.glyphSet()->glyph(static_cast<unsigned char>(*c))->metrics().advance;
    EXPECT_EQ(font.getWidth("10 PM"), advances / 64);
    EXPECT_EQ(font.getWidth(""), 0);
    EXPECT_EQ(font.getWidth(nullptr), 0);
    // Drawing moves along +x by the same advances.
    glLoadIdentity();
    for (const char* c = "10 PM"; *c != 0; ++c) {
        font.loadGlyph(static_cast<unsigned char>(*c));
        glCallList(font.listBase() + static_cast<unsigned char>(*c));
    }
    EXPECT_FLOAT_EQ(modelviewX(), advances / 64.0f);
}

TEST_F(TextFontTest, FilledGlyphsCoverMoreThanTheirOutlines)
{
    FilledTextFont filled(face);
    OutlineTextFont outline(face);
    ASSERT_TRUE(filled.create(20));
    ASSERT_TRUE(outline.create(20));
    glScalef(4, 4, 1);   // strokes much wider than a line
    int solid = litPixels(*context, [&] { filled.draw("08"); });
    int lines = litPixels(*context, [&] { outline.draw("08"); });
    EXPECT_GT(lines, 300);
    EXPECT_GT(solid, lines * 3 / 2);
}

TEST_F(TextFontTest, PrecisionAppliesToGlyphsCompiledAfterwards)
{
    OutlineTextFont font(face);
    ASSERT_TRUE(font.create(20));
    std::vector<uint8_t> coarse;
    litPixels(*context, [&] { font.draw("O"); });
    coarse = context->readPixels();
    font.setPrecision(0.25);
    litPixels(*context, [&] { font.draw("O"); });
    EXPECT_EQ(context->readPixels(), coarse) << "a compiled list changed";
    litPixels(*context, [&] { font.draw("OO"); });
    std::vector<uint8_t> both = context->readPixels();
    ASSERT_TRUE(font.create(20));
    litPixels(*context, [&] { font.draw("OO"); });
    EXPECT_NE(context->readPixels(), both) << "the precision did not reach new glyphs";
}

template <typename Font>
void expectRecreatedAtAnotherSize(FontFace& face)
{
    Counting<Font> font(face);
    ASSERT_TRUE(font.create(20));
    font.draw("0123456789");
    int width20 = font.getWidth("0123456789");
    ASSERT_TRUE(font.create(40));
    EXPECT_EQ(font.getHeight(), 53);
    EXPECT_NEAR(font.getWidth("0123456789"), 2 * width20, 10);
    font.draw("0123456789");
    EXPECT_EQ(font.compiled, 20) << "lists of the old size were kept";
    font.destroy();
    EXPECT_EQ(font.listBase(), 0u);
    EXPECT_FALSE(font.loadGlyph('5'));
    font.destroy();
}

TEST_F(TextFontTest, CreatingAgainChangesTheSize)
{
    expectRecreatedAtAnotherSize<FilledTextFont>(face);
    expectRecreatedAtAnotherSize<OutlineTextFont>(face);
}

TEST_F(TextFontTest, FontsOfTwoSizesShareOneFace)
{
    FilledTextFont small(face);
    FilledTextFont large(face);
    ASSERT_TRUE(small.create(10));
    ASSERT_TRUE(large.create(30));
    EXPECT_NE(small.listBase(), large.listBase());
    EXPECT_LT(small.getWidth("12"), large.getWidth("12"));
    // Glyphs keep the size they were loaded at, whichever size the face loaded last.
    EXPECT_EQ(small.getWidth("12"), small.glyphSet()->glyph('1')->metrics().advance * 2 / 64);
}
