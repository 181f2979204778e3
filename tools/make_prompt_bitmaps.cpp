// tools/make_prompt_bitmaps.cpp -- draws the password prompt bitmaps "pass.pag" and "pass2x.pag" at build time.
//
// Usage: make_prompt_bitmaps FONT.ttf OUTPUT_DIR
// Each is a raised grey panel with a title above a light, sunken field across its middle. The saver draws
// one black mark per typed character centred s pixels below the middle row, from 8·s to 176·s pixels
// right of the left edge (s = 1 for the small bitmap, 2 for the large), so the field spans that band.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Rgb {
    uint8_t r, g, b;
};

constexpr Rgb kBlack = {0, 0, 0};
constexpr Rgb kShadow = {128, 128, 128};
constexpr Rgb kHighlight = {255, 255, 255};
constexpr Rgb kFace = {192, 192, 192};
constexpr Rgb kField = {255, 255, 240};
constexpr Rgb kHint = {72, 72, 72};

constexpr int kTitlePixels = 10;      // title height in pixels at s = 1
constexpr int kHintPixels = 8;
constexpr int kTitleBaseline = 11;    // rows from the top at s = 1
constexpr int kHintBaseline = 33;
constexpr int kFieldTop = 13;         // the marks sit at row 19·s, so the field runs 13·s to 26·s
constexpr int kFieldBottom = 26;
constexpr int kFieldInset = 4;        // pixels from the left and right edges at s = 1

struct Canvas {
    int width, height;
    std::vector<Rgb> pixels;   // top-down
};

void fill(Canvas& canvas, int x0, int y0, int x1, int y1, Rgb colour)
{
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (x >= 0 && y >= 0 && x < canvas.width && y < canvas.height) canvas.pixels[y * canvas.width + x] = colour;
}

// A frame `thickness` pixels wide inside (x0, y0)-(x1, y1): `topLeft` on the top and left, `bottomRight`
// on the bottom and right; raised or sunken by the choice of the two.
void bevel(Canvas& canvas, int x0, int y0, int x1, int y1, int thickness, Rgb topLeft, Rgb bottomRight)
{
    fill(canvas, x0, y0, x1, y0 + thickness, topLeft);
    fill(canvas, x0, y0, x0 + thickness, y1, topLeft);
    fill(canvas, x0, y1 - thickness, x1, y1, bottomRight);
    fill(canvas, x1 - thickness, y0, x1, y1, bottomRight);
}

void blend(Canvas& canvas, int x, int y, uint8_t coverage, Rgb ink)
{
    if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return;
    Rgb& p = canvas.pixels[y * canvas.width + x];
    auto mix = [coverage](uint8_t under, uint8_t over) { return uint8_t((under * (255 - coverage) + over * coverage) / 255); };
    p = Rgb{mix(p.r, ink.r), mix(p.g, ink.g), mix(p.b, ink.b)};
}

int textWidth(FT_Face face, const std::string& text)
{
    int width = 0;
    for (unsigned char c : text)
        if (FT_Load_Char(face, c, FT_LOAD_DEFAULT) == 0) width += int(face->glyph->advance.x >> 6);
    return width;
}

bool drawText(Canvas& canvas, FT_Face face, int pixels, const std::string& text, int baseline, Rgb ink)
{
    if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixels)) != 0) return false;
    int penX = (canvas.width - textWidth(face, text)) / 2;
    for (unsigned char c : text) {
        if (FT_Load_Char(face, c, FT_LOAD_RENDER) != 0) return false;
        const FT_GlyphSlot glyph = face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        for (unsigned row = 0; row < bitmap.rows; ++row)
            for (unsigned column = 0; column < bitmap.width; ++column)
                blend(canvas, penX + glyph->bitmap_left + int(column), baseline - glyph->bitmap_top + int(row),
                      bitmap.buffer[row * bitmap.pitch + column], ink);
        penX += int(glyph->advance.x >> 6);
    }
    return true;
}

bool drawPrompt(Canvas& canvas, FT_Face face, int s)
{
    const int w = canvas.width;
    const int h = canvas.height;
    fill(canvas, 0, 0, w, h, kFace);
    bevel(canvas, 0, 0, w, h, 1, kBlack, kBlack);
    bevel(canvas, 1, 1, w - 1, h - 1, s, kHighlight, kShadow);
    const int fieldLeft = kFieldInset * s;
    const int fieldRight = w - kFieldInset * s;
    fill(canvas, fieldLeft, kFieldTop * s, fieldRight, kFieldBottom * s, kField);
    bevel(canvas, fieldLeft, kFieldTop * s, fieldRight, kFieldBottom * s, s, kShadow, kHighlight);
    return drawText(canvas, face, kTitlePixels * s, "Enter your password", kTitleBaseline * s, kBlack) &&
           drawText(canvas, face, kHintPixels * s, "then press Enter", kHintBaseline * s, kHint);
}

void putLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

// A Windows bitmap file: 24 bits per pixel, blue-green-red, rows bottom-up and padded to 4 bytes.
bool writeBmp(const Canvas& canvas, const std::string& path)
{
    constexpr uint32_t kHeaderBytes = 14 + 40;
    const uint32_t rowBytes = (uint32_t(canvas.width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * uint32_t(canvas.height);
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    putLittleEndian(out, kHeaderBytes + imageBytes, 4);
    putLittleEndian(out, 0, 4);
    putLittleEndian(out, kHeaderBytes, 4);
    putLittleEndian(out, 40, 4);
    putLittleEndian(out, uint32_t(canvas.width), 4);
    putLittleEndian(out, uint32_t(canvas.height), 4);
    putLittleEndian(out, 1, 2);    // planes
    putLittleEndian(out, 24, 2);   // bits per pixel
    putLittleEndian(out, 0, 4);    // no compression
    putLittleEndian(out, imageBytes, 4);
    putLittleEndian(out, 3780, 4); // 96 dots per inch, in pixels per metre
    putLittleEndian(out, 3780, 4);
    putLittleEndian(out, 0, 4);
    putLittleEndian(out, 0, 4);
    for (int y = canvas.height - 1; y >= 0; --y) {
        size_t rowStart = out.size();
        for (int x = 0; x < canvas.width; ++x) {
            const Rgb& p = canvas.pixels[y * canvas.width + x];
            out.push_back(p.b);
            out.push_back(p.g);
            out.push_back(p.r);
        }
        out.resize(rowStart + rowBytes, 0);
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && ok;
}

bool makeBitmap(FT_Face face, int width, int height, int s, const std::string& path)
{
    Canvas canvas{width, height, std::vector<Rgb>(size_t(width) * size_t(height))};
    if (!drawPrompt(canvas, face, s)) return false;
    return writeBmp(canvas, path);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FONT.ttf OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, argv[1], 0, &face) != 0) {
        std::fprintf(stderr, "make_prompt_bitmaps: cannot open font %s\n", argv[1]);
        return 1;
    }
    const std::string directory = argv[2];
    bool ok = makeBitmap(face, 184, 36, 1, directory + "/pass.pag") &&
              makeBitmap(face, 370, 72, 2, directory + "/pass2x.pag");
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    if (!ok) std::fprintf(stderr, "make_prompt_bitmaps: cannot write the bitmaps into %s\n", argv[2]);
    return ok ? 0 : 1;
}
