// tests/display/bitmap_test.cpp -- bitmap files: found as given or under BITMAPS\, loaded, refused.
#include "tests/display/display_test_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace {

void put16(std::vector<uint8_t>* out, unsigned v)
{
    out->push_back(v & 0xFF);
    out->push_back((v >> 8) & 0xFF);
}
void put32(std::vector<uint8_t>* out, unsigned v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// A 24-bit bottom-up Windows bitmap, pixels given top-down as 0xRRGGBB.
std::vector<uint8_t> makeBmp24(int width, int height, const std::vector<uint32_t>& pixels)
{
    int rowBytes = (width * 3 + 3) & ~3;
    std::vector<uint8_t> bmp;
    bmp.push_back('B');
    bmp.push_back('M');
    put32(&bmp, 54 + rowBytes * height);
    put32(&bmp, 0);
    put32(&bmp, 54);
    put32(&bmp, 40);
    put32(&bmp, width);
    put32(&bmp, height);
    put16(&bmp, 1);
    put16(&bmp, 24);
    for (int i = 0; i < 6; ++i) put32(&bmp, 0);
    for (int row = height - 1; row >= 0; --row) {
        for (int col = 0; col < width; ++col) {
            uint32_t p = pixels[static_cast<size_t>(row * width + col)];
            bmp.push_back(p & 0xFF);
            bmp.push_back((p >> 8) & 0xFF);
            bmp.push_back((p >> 16) & 0xFF);
        }
        for (int pad = width * 3; pad < rowBytes; ++pad) bmp.push_back(0);
    }
    return bmp;
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

class Bitmaps : public ::testing::Test {
protected:
    void SetUp() override
    {
        directory_ = displaytest::tempPath("bitmaps_here");
        ::mkdir(directory_.c_str(), 0755);
        ::mkdir((directory_ + "/bitmaps").c_str(), 0755);   // found as "BITMAPS" whatever its case
        char buffer[4096];
        ASSERT_NE(::getcwd(buffer, sizeof buffer), nullptr);
        previous_ = buffer;
        ASSERT_EQ(::chdir(directory_.c_str()), 0);
        display::lastError();
    }
    void TearDown() override { ASSERT_EQ(::chdir(previous_.c_str()), 0); }

    std::string directory_, previous_;
};

TEST_F(Bitmaps, LoadsPixelsTopDown)
{
    writeFile("Pass.pag", makeBmp24(3, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFFFFFF, 0x000000}));
    display::Bitmap* bitmap = display::loadBitmap("pass.PAG", false);   // names match ignoring case
    ASSERT_NE(bitmap, nullptr) << display::errorMessage(display::lastError());
    EXPECT_EQ(bitmap->width, 3);
    EXPECT_EQ(bitmap->height, 2);
    EXPECT_EQ(bitmap->bitsPerPixel, 24);
    ASSERT_EQ(bitmap->pixels.size(), 6u);
    EXPECT_EQ(bitmap->pixels[0], 0xFFFF0000u);
    EXPECT_EQ(bitmap->pixels[2], 0xFF0000FFu);
    EXPECT_EQ(bitmap->pixels[3], 0xFF123456u);
    EXPECT_TRUE(bitmap->palette.empty());
    EXPECT_TRUE(display::bitmapExists("Pass.pag"));
    display::unloadBitmap(bitmap);
    display::unloadBitmap(nullptr);
}

TEST_F(Bitmaps, FoundInTheBitmapsSubdirectory)
{
    writeFile("bitmaps/only_there.bmp", makeBmp24(1, 1, {0x00FF00}));
    display::Bitmap* bitmap = display::loadBitmap("only_there.bmp", true);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->pixels[0], 0xFF00FF00u);
    display::unloadBitmap(bitmap);
    EXPECT_TRUE(display::bitmapExists("ONLY_THERE.BMP"));
}

TEST_F(Bitmaps, MissingFileIsError23)
{
    EXPECT_EQ(display::loadBitmap("Orvask\\nothing.pag", false), nullptr);
    EXPECT_EQ(display::lastError(), display::kErrBitmapNotFound);
    EXPECT_FALSE(display::bitmapExists("nothing.pag"));
    EXPECT_EQ(display::loadBitmap("", false), nullptr);
    EXPECT_EQ(display::lastError(), display::kErrBitmapNotFound);
    EXPECT_FALSE(display::bitmapExists(nullptr));
}

TEST_F(Bitmaps, FileThatIsNotABitmapIsError22)
{
    writeFile("text.pag", std::vector<uint8_t>(200, 'x'));
    EXPECT_EQ(display::loadBitmap("text.pag", false), nullptr);
    EXPECT_EQ(display::lastError(), display::kErrInvalidBitmap);
    EXPECT_FALSE(display::bitmapExists("text.pag"));

    std::vector<uint8_t> truncated = makeBmp24(4, 4, std::vector<uint32_t>(16, 0));
    truncated.resize(20);
    writeFile("short.pag", truncated);
    EXPECT_EQ(display::loadBitmap("short.pag", false), nullptr);
    EXPECT_EQ(display::lastError(), display::kErrInvalidBitmap);
    EXPECT_FALSE(display::bitmapExists("short.pag"));

    std::vector<uint8_t> noPlanes = makeBmp24(4, 4, std::vector<uint32_t>(16, 0));
    noPlanes[26] = 0;   // planes must be 1
    writeFile("planes.pag", noPlanes);
    EXPECT_FALSE(display::bitmapExists("planes.pag"));
}

// Found by fuzzing: SDL's loader took an unknown info-header size and asked for 16 GiB; a header
// promising a huge image is refused before anything is allocated for it.
TEST_F(Bitmaps, HeadersThatPromiseTooMuchAreRefusedBeforeLoading)
{
    std::vector<uint8_t> odd = makeBmp24(2, 2, std::vector<uint32_t>(4, 0));
    odd[16] = 0x28;   // info-header size 0x00280000
    odd[14] = 0;
    writeFile("odd.pag", odd);
    EXPECT_EQ(display::loadBitmap("odd.pag", false), nullptr);
    EXPECT_EQ(display::lastError(), display::kErrInvalidBitmap);

    std::vector<uint8_t> huge = makeBmp24(1, 1, {0});
    for (int i = 0; i < 4; ++i) huge[static_cast<size_t>(18 + i)] = i == 2 ? 1 : 0;   // 65,536 wide
    for (int i = 0; i < 4; ++i) huge[static_cast<size_t>(22 + i)] = i == 2 ? 1 : 0;   // 65,536 high
    writeFile("huge.pag", huge);
    EXPECT_EQ(display::loadBitmap("huge.pag", false), nullptr);
    EXPECT_EQ(display::lastError(), display::kErrInvalidBitmap);
}

TEST_F(Bitmaps, PaletteOfAnEightBitFileOnRequest)
{
    // 2 x 1, 8 bits, two palette entries: red and blue.
    std::vector<uint8_t> bmp = {'B', 'M'};
    put32(&bmp, 54 + 8 + 4);
    put32(&bmp, 0);
    put32(&bmp, 54 + 8);
    put32(&bmp, 40);
    put32(&bmp, 2);
    put32(&bmp, 1);
    put16(&bmp, 1);
    put16(&bmp, 8);
    put32(&bmp, 0);
    put32(&bmp, 4);
    put32(&bmp, 0);
    put32(&bmp, 0);
    put32(&bmp, 2);
    put32(&bmp, 0);
    for (uint8_t b : {0, 0, 255, 0, 255, 0, 0, 0}) bmp.push_back(b);   // BGRA: red, blue
    for (uint8_t b : {1, 0, 0, 0}) bmp.push_back(b);                   // blue, red, padding
    writeFile("eight.bmp", bmp);
    display::Bitmap* bitmap = display::loadBitmap("eight.bmp", true);
    ASSERT_NE(bitmap, nullptr) << display::errorMessage(display::lastError());
    EXPECT_EQ(bitmap->bitsPerPixel, 8);
    ASSERT_GE(bitmap->palette.size(), 2u);
    EXPECT_EQ(bitmap->palette[0], 0xFFFF0000u);
    EXPECT_EQ(bitmap->palette[1], 0xFF0000FFu);
    EXPECT_EQ(bitmap->pixels[0], 0xFF0000FFu);
    EXPECT_EQ(bitmap->pixels[1], 0xFFFF0000u);
    display::unloadBitmap(bitmap);
}

}  // namespace
