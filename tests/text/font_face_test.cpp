// Opening faces: the choice of character map, the fall-back table, and files that are not fonts.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "text/font_engine.h"
#include "text/font_instance.h"
#include "text/glyph.h"
#include "text/glyph_polygonizer.h"
#include "text/glyph_vectorizer.h"
#include "text/text.h"

namespace {

std::string scratchPath(const char* name)
{
    return std::string(TOCKWHEEL_BINARY_DIR) + "/tests/text/" + name;
}

void writeFile(const std::string& path, const std::vector<char>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<char> fontBytes()
{
    std::ifstream in(TOCKWHEEL_FONT_FILE, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(FontFaceCharmap, FirstUnicodeMapWins)
{
    const CharmapId liberation[] = {{0, 3}, {1, 0}, {3, 1}};   // Apple Unicode 2.0 is not (0, 0)
    EXPECT_EQ(findUnicodeCharmap(liberation, 3), 2);
    const CharmapId appleFirst[] = {{1, 0}, {0, 0}, {3, 1}};
    EXPECT_EQ(findUnicodeCharmap(appleFirst, 3), 1);
    const CharmapId none[] = {{1, 0}, {3, 0}, {3, 10}};
    EXPECT_EQ(findUnicodeCharmap(none, 3), -1);
    EXPECT_EQ(findUnicodeCharmap(nullptr, 0), -1);
}

TEST(FontFaceCharmap, WithoutAUnicodeMapTheSpaceIsGlyphOne)
{
    EXPECT_EQ(fallbackGlyphIndex(32, 100), 1);
    EXPECT_EQ(fallbackGlyphIndex(31, 100), 0);
    EXPECT_EQ(fallbackGlyphIndex(0, 100), 0);
    EXPECT_EQ(fallbackGlyphIndex(130, 100), 99);
    EXPECT_EQ(fallbackGlyphIndex(131, 100), 0);   // beyond the face's glyphs
    EXPECT_EQ(fallbackGlyphIndex(255, 0), 0);
}

TEST(FontFaceCharmap, TableFollowsTheMicrosoftUnicodeMapOfTheRealFont)
{
    FontFace face;
    ASSERT_TRUE(face.open(TOCKWHEEL_FONT_FILE));
    FT_Face ft = face.handle();
    FT_CharMap microsoft = nullptr;
    for (int i = 0; i < ft->num_charmaps; ++i)
        if (ft->charmaps[i]->platform_id == 3 && ft->charmaps[i]->encoding_id == 1)
            microsoft = ft->charmaps[i];
    ASSERT_NE(microsoft, nullptr);
    ASSERT_EQ(FT_Set_Charmap(ft, microsoft), 0);
    for (int code = 0; code < kCharCodeCount; ++code)
        EXPECT_EQ(face.glyphIndex(code), static_cast<int32_t>(FT_Get_Char_Index(ft, code))) << "code " << code;
    EXPECT_EQ(face.glyphIndex(1), 0);        // a control code has no glyph: the missing-glyph box
    EXPECT_NE(face.glyphIndex('0'), 0);
    EXPECT_EQ(face.glyphIndex(-1), 0);
    EXPECT_EQ(face.glyphIndex(256), 0);
}

TEST(FontFaceOpen, OnlyOnceAndOnlyWithAnEngine)
{
    FontFace face;
    EXPECT_FALSE(face.isOpen());
    EXPECT_EQ(face.glyphIndex('A'), 0);
    ASSERT_TRUE(face.open(TOCKWHEEL_FONT_FILE));
    EXPECT_FALSE(face.open(TOCKWHEEL_FONT_FILE));
    EXPECT_TRUE(face.isOpen());
    FontFace engineless(nullptr);
    EXPECT_FALSE(engineless.open(TOCKWHEEL_FONT_FILE));
    FontEngine own;
    FontFace withOwnEngine(&own);
    EXPECT_TRUE(withOwnEngine.open(TOCKWHEEL_FONT_FILE));
}

TEST(FontFaceOpen, FilesThatAreNotWholeTrueTypeFontsAreRefused)
{
    std::vector<char> font = fontBytes();
    ASSERT_GT(font.size(), 1000u);
    const std::string notFont = scratchPath("not-a-font.ttf");
    const std::string empty = scratchPath("empty.ttf");
    const std::string halved = scratchPath("halved.ttf");
    const std::string lastByteCut = scratchPath("last-byte-cut.ttf");
    const std::string headerOnly = scratchPath("header-only.ttf");
    writeFile(notFont, std::vector<char>(2000, 'x'));
    writeFile(empty, {});
    writeFile(halved, std::vector<char>(font.begin(), font.begin() + font.size() / 2));
    writeFile(lastByteCut, std::vector<char>(font.begin(), font.end() - 1));
    writeFile(headerOnly, std::vector<char>(font.begin(), font.begin() + 12));

    const std::string missing = scratchPath("no-such-font.ttf");
    for (const std::string& path : {missing, notFont, empty, halved, lastByteCut, headerOnly}) {
        FontFace face;
        EXPECT_FALSE(face.open(path.c_str())) << path;
        EXPECT_FALSE(face.isOpen()) << path;
        EXPECT_EQ(face.glyphIndex('A'), 0) << path;
        EXPECT_TRUE(face.open(TOCKWHEEL_FONT_FILE)) << "a refused file leaves the face closed";
    }
    FontFace face;
    EXPECT_FALSE(face.open(nullptr));
    for (const std::string& path : {notFont, empty, halved, lastByteCut, headerOnly})
        std::remove(path.c_str());
}
