// tests/platform/ansi_text_test.cpp -- Windows-1252 beside UTF-8, as the password dialog and the prompt use it.
#include "platform/ansi_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(AnsiText, EveryDefinedCharacterGoesToUtf8AndBack)
{
    int defined = 0;
    for (int c = 1; c < 256; ++c) {
        char ansi[2] = {static_cast<char>(c), '\0'};
        char utf8[8];
        size_t length = platform::ansiToUtf8(ansi, utf8, sizeof utf8);
        if (platform::ansiToUnicode(static_cast<unsigned char>(c)) == platform::kNoCodePoint) {
            EXPECT_EQ(0u, length) << c;
            continue;
        }
        ++defined;
        char back[2];
        ASSERT_TRUE(platform::utf8ToAnsi(utf8, back, sizeof back)) << c;
        EXPECT_EQ(c, static_cast<unsigned char>(back[0]));
    }
    EXPECT_EQ(250, defined);   // 255 less the five undefined bytes
    EXPECT_EQ(0x20AC, platform::ansiToUnicode(0x80));   // the euro sign
    EXPECT_EQ(0x9F, platform::unicodeToAnsi(0x0178));   // Y diaeresis
}

TEST(AnsiText, UnrepresentableAndMalformedTextIsRefusedAndCut)
{
    char out[8];
    EXPECT_FALSE(platform::utf8ToAnsi("\xC5\x82\xC3\xB3" "d\xC5\xBA", out, sizeof out));   // "łódź"
    EXPECT_EQ(std::string("?\xF3" "d?"), out);
    EXPECT_FALSE(platform::utf8ToAnsi("a\xC3(b", out, sizeof out));   // a lead byte without its follower
    EXPECT_FALSE(platform::utf8ToAnsi("\xC0\xAF", out, sizeof out));   // an overlong '/'
    EXPECT_TRUE(platform::utf8ToAnsi("caf\xC3\xA9 10\xE2\x82\xAC!", out, 5));   // cut to 4 characters
    EXPECT_EQ(std::string("caf\xE9"), out);
    char utf8[6];
    EXPECT_EQ(5u, platform::ansiToUtf8("caf\xE9\x80", utf8, sizeof utf8));   // the euro's 3 bytes do not fit
    EXPECT_EQ(std::string("caf\xC3\xA9"), utf8);
}

}  // namespace
