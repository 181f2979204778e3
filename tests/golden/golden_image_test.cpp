// tests/golden/golden_image_test.cpp -- the comparison that every golden test relies on: what it lets pass,
// what it catches, and that pictures survive a trip through a PNG file.
#include <gtest/gtest.h>

#include "tests/golden/golden_image.h"
#include "tests/support/program_run.h"

namespace {

Image filled(int width, int height, uint8_t level)
{
    Image image;
    image.width = width;
    image.height = height;
    image.rgb.assign(static_cast<size_t>(width) * height * 3, level);
    return image;
}

TEST(GoldenComparison, DifferencesWithinTheToleranceDoNotCount)
{
    Image expected = filled(10, 10, 100);
    Image got = expected;
    got.rgb[0] = 100 + kChannelTolerance;
    got.rgb[4] = 100 - kChannelTolerance;
    ImageComparison comparison = compareImages(got, expected, kChannelTolerance, nullptr);
    EXPECT_TRUE(comparison.sameSize);
    EXPECT_EQ(comparison.differingPixels, 0);
    EXPECT_EQ(comparison.largestDifference, kChannelTolerance);
}

TEST(GoldenComparison, OneChannelBeyondTheToleranceCountsItsPixelOnce)
{
    Image expected = filled(10, 10, 100);
    Image got = expected;
    got.rgb[3 * 7 + 2] = 100 + kChannelTolerance + 1;   // blue of pixel 7
    got.rgb[3 * 9 + 0] = 0;                             // red and green of pixel 9
    got.rgb[3 * 9 + 1] = 255;
    Image diff;
    ImageComparison comparison = compareImages(got, expected, kChannelTolerance, &diff);
    EXPECT_EQ(comparison.differingPixels, 2);
    EXPECT_EQ(comparison.totalPixels, 100);
    EXPECT_EQ(comparison.largestDifference, 155);
    const uint8_t* marked = diff.at(7, 0);
    EXPECT_EQ(marked[0], 255);
    EXPECT_EQ(marked[1], 0);
    const uint8_t* dimmed = diff.at(0, 1);
    EXPECT_EQ(dimmed[0], 25);
}

TEST(GoldenComparison, PicturesOfAnotherSizeNeverMatch)
{
    ImageComparison comparison = compareImages(filled(10, 10, 0), filled(10, 11, 0), kChannelTolerance, nullptr);
    EXPECT_FALSE(comparison.sameSize);
}

TEST(GoldenComparison, PngRoundTripKeepsEveryByte)
{
    Image image = filled(7, 5, 0);
    for (size_t i = 0; i < image.rgb.size(); ++i) image.rgb[i] = static_cast<uint8_t>(i * 37);
    TempDir dir;
    ASSERT_TRUE(writePng(dir.file("round.png"), image));
    Image back;
    ASSERT_TRUE(readPng(dir.file("round.png"), &back));
    EXPECT_EQ(back.width, 7);
    EXPECT_EQ(back.height, 5);
    EXPECT_TRUE(back.rgb == image.rgb);
    EXPECT_FALSE(readPng(dir.file("missing.png"), &back));
    writeFile(dir.file("text.png"), "not a picture");
    EXPECT_FALSE(readPng(dir.file("text.png"), &back));
}

}  // namespace
