// Text fonts on an offscreen OpenGL context: creating, compiling lists on first use, drawing and
// measuring, read back through the model-view matrix and the pixels drawn.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <fstream>
#include <iterator>
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

void putBig(std::vector<char>& bytes, uint32_t value, int count)
{
    for (int shift = 8 * (count - 1); shift >= 0; shift -= 8)
        bytes.push_back(static_cast<char>(value >> shift));
}

// The font with an embedded bitmap strike at `ppem` pixels (EBLC and EBDT tables, added after the
// others) holding one 8 x 8 black square for glyph `index`.
std::vector<char> withBitmapStrike(const std::vector<char>& font, uint16_t index, uint8_t ppem)
{
    const size_t tableCount = static_cast<uint8_t>(font[4]) << 8 | static_cast<uint8_t>(font[5]);
    const size_t directoryEnd = 12 + 16 * tableCount;
    const uint32_t shift = 32;   // two more directory entries

    std::vector<char> eblc;
    putBig(eblc, 0x00020000, 4);
    putBig(eblc, 1, 4);                    // one strike
    putBig(eblc, 8 + 48, 4);               // its index subtable array: where, how long, how many
    putBig(eblc, 8 + 20, 4);
    putBig(eblc, 1, 4);
    putBig(eblc, 0, 4);                    // no colour
    for (int line = 0; line < 2; ++line)   // horizontal and vertical line metrics
        for (int value : {8, 0, 8, 1, 0, 0, 0, 0, 8, 0, 0, 0})
            putBig(eblc, static_cast<uint32_t>(value), 1);
    putBig(eblc, index, 2);
    putBig(eblc, index, 2);
    for (int value : {int{ppem}, int{ppem}, 1, 1})   // ppem x and y, 1 bit deep, horizontal
        putBig(eblc, static_cast<uint32_t>(value), 1);
    putBig(eblc, index, 2);                // the array: one subtable for the glyph, 8 bytes on
    putBig(eblc, index, 2);
    putBig(eblc, 8, 4);
    putBig(eblc, 2, 2);                    // index format 2: one size for all glyphs
    putBig(eblc, 5, 2);                    // image format 5: bit-aligned, metrics here
    putBig(eblc, 4, 4);                    // the image follows EBDT's version
    putBig(eblc, 8, 4);                    // 8 bytes per image
    for (int value : {8, 8, 0, 8, 9, 0, 0, 8})   // 8 x 8, bearings, advance 9
        putBig(eblc, static_cast<uint32_t>(value), 1);
    std::vector<char> ebdt;
    putBig(ebdt, 0x00020000, 4);
    ebdt.insert(ebdt.end(), 8, static_cast<char>(0xFF));

    std::vector<char> out(font.begin(), font.begin() + 12);
    out[4] = static_cast<char>((tableCount + 2) >> 8);
    out[5] = static_cast<char>(tableCount + 2);
    for (size_t at = 12; at < directoryEnd; at += 16) {
        out.insert(out.end(), font.begin() + static_cast<long>(at), font.begin() + static_cast<long>(at) + 8);
        uint32_t offset = 0;
        for (int i = 8; i < 12; ++i)
            offset = offset << 8 | static_cast<uint8_t>(font[at + i]);
        putBig(out, offset + shift, 4);
        out.insert(out.end(), font.begin() + static_cast<long>(at) + 12, font.begin() + static_cast<long>(at) + 16);
    }
    size_t eblcAt = (font.size() + shift + 3) / 4 * 4;
    size_t ebdtAt = (eblcAt + eblc.size() + 3) / 4 * 4;
    auto addEntry = [&out](const char* tag, size_t at, size_t size) {
        out.insert(out.end(), tag, tag + 4);
        putBig(out, 0, 4);   // the engine does not check sums
        putBig(out, static_cast<uint32_t>(at), 4);
        putBig(out, static_cast<uint32_t>(size), 4);
    };
    addEntry("EBLC", eblcAt, eblc.size());
    addEntry("EBDT", ebdtAt, ebdt.size());
    out.insert(out.end(), font.begin() + static_cast<long>(directoryEnd), font.end());
    out.resize(eblcAt, 0);
    out.insert(out.end(), eblc.begin(), eblc.end());
    out.resize(ebdtAt, 0);
    out.insert(out.end(), ebdt.begin(), ebdt.end());
    return out;
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

TEST_F(TextFontTest, GlyphsAreOutlinesEvenWhereTheFontHasABitmapStrike)
{
    std::ifstream in(TOCKWHEEL_FONT_FILE, std::ios::binary);
    std::vector<char> font{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    // 20 points at 96 dpi ask for 26.67 pixels, which picks a strike of 27.
    std::vector<char> struck = withBitmapStrike(font, static_cast<uint16_t>(face.glyphIndex('1')), 27);
    const std::string path = std::string(TOCKWHEEL_BINARY_DIR) + "/tests/text/bitmap-strike.ttf";
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(struck.data(), static_cast<std::streamsize>(struck.size()));
    FontFace struckFace;
    ASSERT_TRUE(struckFace.open(path.c_str()));
    ASSERT_EQ(struckFace.handle()->num_fixed_sizes, 1);
    std::remove(path.c_str());

    FilledTextFont filled(struckFace);
    OutlineTextFont outline(struckFace);
    for (TextFont* font : {static_cast<TextFont*>(&filled), static_cast<TextFont*>(&outline)}) {
        ASSERT_TRUE(font->create(20));
        const Glyph* one = font->glyphSet()->glyph('1');
        ASSERT_NE(one, nullptr);
        EXPECT_TRUE(one->hasOutline());
        glLoadIdentity();
        EXPECT_GT(litPixels(*context, [&] { glScalef(4, 4, 1); font->draw("1"); }), 100);
        glLoadIdentity();
        glCallList(font->listBase() + '1');
        EXPECT_FLOAT_EQ(modelviewX(), one->metrics().advance / 64.0f);
        glLoadIdentity();
    }
}

TEST_F(TextFontTest, FontsWhoseFaceClosedStillDrawAndMeasureAsBefore)
{
    FilledTextFont kept(face);
    ASSERT_TRUE(kept.create(20));
    const int keptPixels = litPixels(*context, [&] { kept.draw("12:30 PM"); });
    ASSERT_GT(keptPixels, 100);

    Counting<FilledTextFont> filled(face);
    Counting<OutlineTextFont> outline(face);
    ASSERT_TRUE(filled.create(20));
    ASSERT_TRUE(outline.create(20));
    const int outlinePixels = litPixels(*context, [&] { outline.draw("AM"); });
    kept.releaseFace();   // every font on the face gives its instance back before the face closes
    filled.releaseFace();
    outline.releaseFace();
    face.close();
    EXPECT_FALSE(face.isOpen());

    // Lists not compiled before the face closed are compiled from the glyphs' own outlines.
    EXPECT_EQ(litPixels(*context, [&] { filled.draw("12:30 PM"); }), keptPixels);
    EXPECT_EQ(filled.compiled, 8);
    EXPECT_EQ(litPixels(*context, [&] { outline.draw("AM"); }), outlinePixels);
    EXPECT_EQ(filled.getWidth("12:30 PM"), kept.getWidth("12:30 PM"));
    EXPECT_EQ(filled.getHeight(), kept.getHeight());

    // A font on the closed face is not made; the face opens again and serves new fonts.
    OutlineTextFont late(face);
    EXPECT_FALSE(late.create(20));
    ASSERT_TRUE(face.open(TOCKWHEEL_FONT_FILE));
    EXPECT_TRUE(late.create(20));
    EXPECT_EQ(litPixels(*context, [&] { late.draw("AM"); }), outlinePixels);
}
