// tests/golden/golden_image.h -- PNG pictures read and written with libpng, compared against the stored
// golden images with a per-pixel tolerance, and the switch that rewrites the golden images.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;   // rows top-down, three bytes a pixel
    const uint8_t* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

constexpr int kChannelTolerance = 8;            // levels of 255 a channel may differ without counting
constexpr double kDifferingShareLimit = 0.005;  // share of pixels that may differ by more than that

bool readPng(const std::string& path, Image* image);
bool writePng(const std::string& path, const Image& image);

struct ImageComparison {
    bool sameSize = false;
    long differingPixels = 0;   // pixels with a channel off by more than the tolerance
    long totalPixels = 0;
    int largestDifference = 0;  // over all channels, 0..255
};
// The diff image, when asked for, shows differing pixels in red over a dimmed copy of the expected image.
ImageComparison compareImages(const Image& got, const Image& expected, int channelTolerance, Image* diff);

// True when TOCKWHEEL_UPDATE_GOLDEN=1: matchesGolden then stores the snapshot as the new golden image.
bool updatingGoldenImages();
std::string goldenImagePath(const std::string& name);
// Compares the snapshot with tests/golden/images/NAME.png; on failure writes SNAPSHOT.diff.png beside it.
::testing::AssertionResult matchesGolden(const std::string& snapshotPath, const std::string& name);
