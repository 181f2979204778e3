// tests/golden/golden_image.cpp -- PNG reading and writing, the tolerant comparison and golden updates.
#include "tests/golden/golden_image.h"

#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

bool readPng(const std::string& path, Image* image)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) return false;
    png.format = PNG_FORMAT_RGB;
    image->width = static_cast<int>(png.width);
    image->height = static_cast<int>(png.height);
    image->rgb.resize(PNG_IMAGE_SIZE(png));
    if (png_image_finish_read(&png, nullptr, image->rgb.data(), 0, nullptr)) return true;
    png_image_free(&png);
    return false;
}

bool writePng(const std::string& path, const Image& image)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&png, path.c_str(), 0, image.rgb.data(), 0, nullptr) != 0;
}

ImageComparison compareImages(const Image& got, const Image& expected, int channelTolerance, Image* diff)
{
    ImageComparison result;
    result.sameSize = got.width == expected.width && got.height == expected.height &&
                      got.rgb.size() == expected.rgb.size();
    if (!result.sameSize) return result;
    result.totalPixels = static_cast<long>(got.width) * got.height;
    if (diff) *diff = expected;
    for (long i = 0; i < result.totalPixels; ++i) {
        const uint8_t* a = &got.rgb[static_cast<size_t>(i) * 3];
        const uint8_t* b = &expected.rgb[static_cast<size_t>(i) * 3];
        int largest = 0;
        for (int c = 0; c < 3; ++c) largest = std::max(largest, std::abs(int(a[c]) - int(b[c])));
        result.largestDifference = std::max(result.largestDifference, largest);
        bool differs = largest > channelTolerance;
        result.differingPixels += differs;
        if (!diff) continue;
        uint8_t* d = &diff->rgb[static_cast<size_t>(i) * 3];
        if (differs) {
            d[0] = 255, d[1] = 0, d[2] = 0;
        } else {
            for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>(d[c] / 4);
        }
    }
    return result;
}

bool updatingGoldenImages()
{
    const char* flag = std::getenv("TOCKWHEEL_UPDATE_GOLDEN");
    return flag && std::strcmp(flag, "1") == 0;
}

std::string goldenImagePath(const std::string& name)
{
    return std::string(TOCKWHEEL_SOURCE_DIR) + "/tests/golden/images/" + name + ".png";
}

::testing::AssertionResult matchesGolden(const std::string& snapshotPath, const std::string& name)
{
    Image got;
    if (!readPng(snapshotPath, &got)) return ::testing::AssertionFailure() << "no snapshot at " << snapshotPath;
    std::string goldenPath = goldenImagePath(name);
    if (updatingGoldenImages()) {
        // Written again through libpng rather than copied, so every golden file has the same encoding.
        if (!writePng(goldenPath, got)) return ::testing::AssertionFailure() << "cannot write " << goldenPath;
        return ::testing::AssertionSuccess();
    }
    Image expected;
    if (!readPng(goldenPath, &expected))
        return ::testing::AssertionFailure() << "no golden image " << goldenPath
                                             << " (TOCKWHEEL_UPDATE_GOLDEN=1 makes it from the snapshot)";
    Image diff;
    ImageComparison comparison = compareImages(got, expected, kChannelTolerance, &diff);
    if (!comparison.sameSize)
        return ::testing::AssertionFailure() << "snapshot " << got.width << "x" << got.height << ", golden image "
                                             << expected.width << "x" << expected.height;
    double share = double(comparison.differingPixels) / double(comparison.totalPixels);
    if (share <= kDifferingShareLimit) return ::testing::AssertionSuccess();
    std::string diffPath = snapshotPath + ".diff.png";
    writePng(diffPath, diff);
    return ::testing::AssertionFailure() << comparison.differingPixels << " of " << comparison.totalPixels
                                         << " pixels differ by more than " << kChannelTolerance
                                         << " (largest " << comparison.largestDifference << "); got " << snapshotPath
                                         << ", expected " << goldenPath << ", differences in " << diffPath;
}
