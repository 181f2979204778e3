// resources/icon_file.cpp -- the .ico layout: directory, bitmap header, palette, colour bits, mask.
#include "resources/icon_file.h"

#include <climits>

namespace resources {
namespace {

constexpr int kPaletteSize = 16;
constexpr uint32_t kClassicPalette[kPaletteSize] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};
constexpr uint32_t kIconDirBytes = 6;
constexpr uint32_t kIconDirEntryBytes = 16;
constexpr uint32_t kBitmapHeaderBytes = 40;

void put16(std::vector<uint8_t>* out, uint32_t value)
{
    out->push_back(static_cast<uint8_t>(value & 0xFF));
    out->push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

void put32(std::vector<uint8_t>* out, uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

int channel(uint32_t rgb, int shift) { return static_cast<int>((rgb >> shift) & 0xFF); }

int nearestPaletteIndex(uint32_t rgb)
{
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < kPaletteSize; ++i) {
        int distance = 0;
        for (int shift : {16, 8, 0}) {
            int d = channel(rgb, shift) - channel(kClassicPalette[i], shift);
            distance += d * d;
        }
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

// -1 for a transparent pixel.
int pixelIndex(const platform::IconImage& image, int x, int y)
{
    char key = image.rows[y][x];
    for (int i = 0; i < image.colourCount; ++i)
        if (image.colours[i].key == key) return nearestPaletteIndex(image.colours[i].rgb);
    return -1;
}

}  // namespace

std::vector<uint8_t> iconFileBytes(const platform::IconImage& image)
{
    const int size = image.width;
    if (size < 1 || size > 256 || image.height != size) return {};
    const uint32_t colourRowBytes = static_cast<uint32_t>((size * 4 + 31) / 32 * 4);
    const uint32_t maskRowBytes = static_cast<uint32_t>((size + 31) / 32 * 4);
    const uint32_t imageBytes =
        kBitmapHeaderBytes + kPaletteSize * 4 + (colourRowBytes + maskRowBytes) * static_cast<uint32_t>(size);
    std::vector<uint8_t> out;
    // ICONDIR and its one entry.
    put16(&out, 0);
    put16(&out, 1);   // an icon
    put16(&out, 1);   // one image
    out.push_back(static_cast<uint8_t>(size % 256));   // 256 is written as 0
    out.push_back(static_cast<uint8_t>(size % 256));
    out.push_back(kPaletteSize);
    out.push_back(0);
    put16(&out, 1);   // planes
    put16(&out, 4);   // bits per pixel
    put32(&out, imageBytes);
    put32(&out, kIconDirBytes + kIconDirEntryBytes);
    // BITMAPINFOHEADER: the height counts the colour bits and the mask.
    put32(&out, kBitmapHeaderBytes);
    put32(&out, static_cast<uint32_t>(size));
    put32(&out, static_cast<uint32_t>(size * 2));
    put16(&out, 1);
    put16(&out, 4);
    put32(&out, 0);   // BI_RGB
    put32(&out, (colourRowBytes + maskRowBytes) * static_cast<uint32_t>(size));
    put32(&out, 0);
    put32(&out, 0);
    put32(&out, kPaletteSize);
    put32(&out, 0);
    for (uint32_t rgb : kClassicPalette) {
        out.push_back(static_cast<uint8_t>(rgb & 0xFF));
        out.push_back(static_cast<uint8_t>((rgb >> 8) & 0xFF));
        out.push_back(static_cast<uint8_t>((rgb >> 16) & 0xFF));
        out.push_back(0);
    }
    // Rows bottom up: the colour bits (transparent pixels black), then the mask (1: transparent).
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(colourRowBytes, 0);
        for (int x = 0; x < size; ++x) {
            int index = pixelIndex(image, x, y);
            if (index > 0) row[x / 2] |= static_cast<uint8_t>(x % 2 ? index : index << 4);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(maskRowBytes, 0);
        for (int x = 0; x < size; ++x)
            if (pixelIndex(image, x, y) < 0) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace resources
