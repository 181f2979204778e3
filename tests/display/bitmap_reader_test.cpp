// tests/display/bitmap_reader_test.cpp -- our own bitmap reader (the Windows build's) gives the same
// picture as SDL's loader for every encoding it takes, and refuses what it does not know.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "display/bitmap_decode.h"

namespace {

struct Shape {
    int bits;
    uint32_t compression;   // 0 plain, 3 bit fields
    bool topDown;
    int width;
};

void put16(std::vector<uint8_t>* out, unsigned v)
{
    out->push_back(v & 0xFF);
    out->push_back((v >> 8) & 0xFF);
}
void put32(std::vector<uint8_t>* out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// A bitmap whose pixel bytes are a fixed scramble, so every index, channel and row position shows.
std::vector<uint8_t> makeBitmap(const Shape& s, int height)
{
    bool paletted = s.bits <= 8;
    int colors = paletted ? 1 << s.bits : 0;
    int masks = s.compression == 3 ? 12 : 0;
    size_t rowBytes = ((static_cast<size_t>(s.width) * static_cast<size_t>(s.bits) + 31) / 32) * 4;
    uint32_t offset = 14 + 40 + static_cast<uint32_t>(masks + colors * 4);
    std::vector<uint8_t> bmp = {'B', 'M'};
    put32(&bmp, offset + static_cast<uint32_t>(rowBytes * static_cast<size_t>(height)));
    put32(&bmp, 0);
    put32(&bmp, offset);
    put32(&bmp, 40);
    put32(&bmp, static_cast<uint32_t>(s.width));
    put32(&bmp, static_cast<uint32_t>(s.topDown ? -height : height));
    put16(&bmp, 1);
    put16(&bmp, static_cast<unsigned>(s.bits));
    put32(&bmp, s.compression);
    for (int i = 0; i < 5; ++i) put32(&bmp, 0);
    if (s.compression == 3) {
        if (s.bits == 16) {   // 5-6-5
            put32(&bmp, 0xF800);
            put32(&bmp, 0x07E0);
            put32(&bmp, 0x001F);
        } else {
            put32(&bmp, 0x0000FF00);   // an unusual order: red in the second byte
            put32(&bmp, 0x00FF0000);
            put32(&bmp, 0xFF000000);
        }
    }
    for (int i = 0; i < colors; ++i) put32(&bmp, static_cast<uint32_t>(i * 0x3B1D07) & 0xFFFFFF);
    for (size_t i = 0; i < rowBytes * static_cast<size_t>(height); ++i)
        bmp.push_back(static_cast<uint8_t>((i * 167 + 13) ^ (i >> 3)));
    return bmp;
}

std::string writeTemp(const std::vector<uint8_t>& bytes, const char* name)
{
    std::string path = std::string(::testing::TempDir()) + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return std::string();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return path;
}

TEST(BitmapReader, SamePixelsAndPaletteAsSdlForEveryPlainAndBitFieldEncoding)
{
    const Shape shapes[] = {{1, 0, false, 13}, {4, 0, false, 7}, {8, 0, false, 5}, {8, 0, true, 6},
                            {16, 0, false, 3}, {16, 3, false, 5}, {24, 0, false, 5}, {24, 0, true, 3},
                            {32, 0, false, 4}, {32, 3, true, 2}};
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(std::to_string(shape.bits) + " bits, compression " + std::to_string(shape.compression) +
                     (shape.topDown ? ", top-down" : ", bottom-up"));
        std::string path = writeTemp(makeBitmap(shape, 3), "tockwheel_reader.bmp");
        ASSERT_FALSE(path.empty());
        display::Bitmap sdl, own;
        ASSERT_TRUE(display::decodeBitmapFile(path, &sdl, true));
        ASSERT_TRUE(display::decodeBitmapFileOwn(path, &own, true));
        EXPECT_EQ(own.width, sdl.width);
        EXPECT_EQ(own.height, sdl.height);
        // SDL's 5-6-5 conversion rounds some greens one level lower; every other encoding matches exactly.
        int tolerance = shape.bits == 16 && shape.compression == 3 ? 1 : 0;
        ASSERT_EQ(own.pixels.size(), sdl.pixels.size());
        for (size_t i = 0; i < own.pixels.size(); ++i)
            for (int shift = 0; shift < 32; shift += 8)
                EXPECT_NEAR(int(own.pixels[i] >> shift & 0xFF), int(sdl.pixels[i] >> shift & 0xFF), tolerance)
                    << "pixel " << i << ", bits " << shift;
        // SDL widens small depths to 8 bits and its palette to 256 entries; ours keeps the file's.
        EXPECT_EQ(own.bitsPerPixel, shape.bits);
        EXPECT_EQ(own.palette.size(), shape.bits <= 8 ? size_t(1) << shape.bits : 0u);
        for (size_t i = 0; i < own.palette.size(); ++i) EXPECT_EQ(own.palette[i], sdl.palette[i]) << "entry " << i;
        std::remove(path.c_str());
    }
}

TEST(BitmapReader, RunLengthEncodingUnknownDepthsAndCutPixelDataAreRefused)
{
    std::vector<uint8_t> rle = makeBitmap({8, 0, false, 4}, 2);
    rle[30] = 1;   // BI_RLE8
    std::string path = writeTemp(rle, "tockwheel_rle.bmp");
    display::Bitmap bitmap;
    EXPECT_FALSE(display::decodeBitmapFileOwn(path, &bitmap, true));

    std::vector<uint8_t> twoBits = makeBitmap({8, 0, false, 4}, 2);
    twoBits[28] = 2;   // no such depth
    path = writeTemp(twoBits, "tockwheel_depth.bmp");
    EXPECT_FALSE(display::decodeBitmapFileOwn(path, &bitmap, true));

    std::vector<uint8_t> cut = makeBitmap({24, 0, false, 5}, 4);
    cut.resize(cut.size() - 1);
    path = writeTemp(cut, "tockwheel_cut.bmp");
    EXPECT_FALSE(display::decodeBitmapFileOwn(path, &bitmap, true));
    std::remove(path.c_str());
}

}  // namespace
