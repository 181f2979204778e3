// tests/ui/fltk_look_test.cpp -- the dialogs' scale factor from the environment, and the clock icon's pixels.
#include <gtest/gtest.h>

#include <vector>

#include "platform/dialog/fltk_look.h"
#include "resources/clock_icon.h"
#include "resources/dialog_templates.h"

using namespace platform;

namespace {

ScaleSources withOverride(const char* value)
{
    ScaleSources s;
    s.override = value;
    return s;
}

// The RGBA of one pixel as 0xRRGGBBAA.
uint32_t pixelAt(const std::vector<unsigned char>& rgba, int width, int x, int y)
{
    const unsigned char* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
    return static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

}  // namespace

TEST(UiScale, FirstUsableSourceDecides)
{
    ScaleSources all;
    all.override = "1.5";
    all.gdkScale = "2";
    all.qtScale = "3";
    all.xResources = "Xft.dpi:\t384\n";
    EXPECT_DOUBLE_EQ(uiScaleFrom(all), 1.5);
    all.override = nullptr;
    EXPECT_DOUBLE_EQ(uiScaleFrom(all), 2.0);
    all.gdkScale = nullptr;
    EXPECT_DOUBLE_EQ(uiScaleFrom(all), 3.0);
    all.qtScale = nullptr;
    EXPECT_DOUBLE_EQ(uiScaleFrom(all), 4.0);
    EXPECT_DOUBLE_EQ(uiScaleFrom(ScaleSources()), 1.0);
}

TEST(UiScale, UnusableValuesArePassedOver)
{
    ScaleSources s;
    s.xResources = "Xft.dpi: 144\n";
    for (const char* bad : {"", "abc", "0", "-2", "2x", "nan-ish"}) {
        s.override = bad;
        EXPECT_DOUBLE_EQ(uiScaleFrom(s), 1.5) << '"' << bad << '"';
    }
    s.override = nullptr;
    s.gdkScale = "1.5";   // GDK scales by whole numbers only
    EXPECT_DOUBLE_EQ(uiScaleFrom(s), 1.5);
    s.gdkScale = " 2 ";
    EXPECT_DOUBLE_EQ(uiScaleFrom(s), 2.0);
}

TEST(UiScale, ClampedToOneToFour)
{
    EXPECT_DOUBLE_EQ(uiScaleFrom(withOverride("0.5")), kMinUiScale);
    EXPECT_DOUBLE_EQ(uiScaleFrom(withOverride("12")), kMaxUiScale);
    EXPECT_DOUBLE_EQ(uiScaleFrom(withOverride("1e300")), kMaxUiScale);
    ScaleSources lowDpi;
    lowDpi.xResources = "Xft.dpi: 72\n";
    EXPECT_DOUBLE_EQ(uiScaleFrom(lowDpi), 1.0);
}

TEST(UiScale, XftDpiIsReadFromItsOwnLineOnly)
{
    EXPECT_DOUBLE_EQ(xftDpiFrom("Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n"), 192.0);
    EXPECT_DOUBLE_EQ(xftDpiFrom("  Xft.dpi :  120"), 120.0);   // last line without a line break
    EXPECT_DOUBLE_EQ(xftDpiFrom("Xft.dpiX: 200\n*Xft.dpi: 200\n"), 0.0);
    EXPECT_DOUBLE_EQ(xftDpiFrom("Xft.dpi: lots\n"), 0.0);
    EXPECT_DOUBLE_EQ(xftDpiFrom(""), 0.0);
    EXPECT_DOUBLE_EQ(xftDpiFrom(nullptr), 0.0);
}

TEST(ClockIcon, IsARoundOpaqueFaceOnATransparentSquare)
{
    const IconImage& icon = resources::kMainIcon;
    ASSERT_EQ(icon.width, 32);
    ASSERT_EQ(icon.height, 32);
    std::vector<unsigned char> rgba;
    ASSERT_TRUE(iconPixels(icon, &rgba));
    ASSERT_EQ(rgba.size(), 32u * 32u * 4u);
    for (auto corner : {std::pair<int, int>{0, 0}, {31, 0}, {0, 31}, {31, 31}})
        EXPECT_EQ(pixelAt(rgba, 32, corner.first, corner.second) & 0xFF, 0u) << corner.first << "," << corner.second;
    EXPECT_EQ(pixelAt(rgba, 32, 16, 16), 0xFF0000FFu);   // the red hub
    EXPECT_EQ(pixelAt(rgba, 32, 0, 15), 0x000000FFu);    // the outline at the left edge
    EXPECT_EQ(pixelAt(rgba, 32, 8, 16), 0xFFFFFFFFu);    // the white face
    // Every key in the picture is in the colour table or is the transparent blank.
    for (int y = 0; y < icon.height; ++y) {
        for (int x = 0; x < icon.width; ++x) {
            char key = icon.rows[y][x];
            bool known = key == ' ';
            for (int i = 0; i < icon.colourCount; ++i) known = known || icon.colours[i].key == key;
            EXPECT_TRUE(known) << "row " << y << " column " << x << " key '" << key << "'";
        }
    }
}

TEST(ClockIcon, MalformedPicturesAreRefusedWithoutWriting)
{
    const char* const shortRows[] = {"ab", "a"};
    const IconColour colours[] = {{'a', 0x123456}};
    std::vector<unsigned char> rgba{1, 2, 3};
    EXPECT_FALSE(iconPixels(IconImage{2, 2, shortRows, colours, 1}, &rgba));
    EXPECT_FALSE(iconPixels(IconImage{0, 2, shortRows, colours, 1}, &rgba));
    EXPECT_FALSE(iconPixels(IconImage{2, 2, nullptr, colours, 1}, &rgba));
    EXPECT_FALSE(iconPixels(IconImage{2, 1, shortRows, nullptr, 1}, &rgba));
    EXPECT_EQ(rgba, (std::vector<unsigned char>{1, 2, 3}));
    ASSERT_TRUE(iconPixels(IconImage{2, 1, shortRows, colours, 1}, &rgba));
    EXPECT_EQ(rgba, (std::vector<unsigned char>{0x12, 0x34, 0x56, 0xFF, 0, 0, 0, 0}));
}

TEST(ClockIcon, EveryDialogAndTheNameMainiconCarryIt)
{
    for (const char* name : {"DIALOG_1", "DIALOG_2", "PATH", "DLG"})
        EXPECT_EQ(resources::findDialogTemplate(name)->icon, &resources::kMainIcon) << name;
    EXPECT_EQ(resources::findIconResource("mainicon"), &resources::kMainIcon);
    EXPECT_EQ(resources::findIconResource("OTHER"), nullptr);
    EXPECT_EQ(resources::findIconResource(nullptr), nullptr);
}
