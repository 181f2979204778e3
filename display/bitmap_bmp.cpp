// display/bitmap_bmp.cpp -- our own reader of Windows bitmap files, for the build that links no SDL:
// uncompressed 1, 4, 8, 16, 24 and 32 bits per pixel, 16 and 32 with bit-field masks, OS/2 core headers,
// rows bottom-up or top-down. Run-length encoded files are refused.
#include "display/bitmap_decode.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace display {

namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kFileHeaderBytes = 14;

uint32_t le32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

struct Layout {
    int32_t width;
    int32_t height;        // positive: rows stored bottom-up
    int bits;
    uint32_t compression;
    uint32_t masks[3];     // red, green, blue for 16 and 32 bits
    uint32_t paletteColors;
    uint32_t paletteEntryBytes;   // 3 after a core header, else 4
    uint32_t pixelOffset;
};

bool readLayout(const std::vector<uint8_t>& file, Layout* out)
{
    if (file.size() < kFileHeaderBytes + kCoreHeaderBytes) return false;
    const uint8_t* info = file.data() + kFileHeaderBytes;
    uint32_t infoBytes = le32(info);
    // Sums in 64 bits: a 32-bit program's size_t would wrap on a hostile header.
    if (file.size() < uint64_t(kFileHeaderBytes) + infoBytes) return false;
    Layout l = {};
    l.pixelOffset = le32(file.data() + 10);
    if (infoBytes == kCoreHeaderBytes) {
        l.width = le16(info + 4);
        l.height = le16(info + 6);
        l.bits = le16(info + 10);
        l.compression = kBiRgb;
        l.paletteEntryBytes = 3;
    } else {
        if (infoBytes < 40) return false;
        l.width = static_cast<int32_t>(le32(info + 4));
        l.height = static_cast<int32_t>(le32(info + 8));
        l.bits = le16(info + 14);
        l.compression = le32(info + 16);
        l.paletteColors = le32(info + 32);
        l.paletteEntryBytes = 4;
    }
    bool depthKnown = l.bits == 1 || l.bits == 4 || l.bits == 8 || l.bits == 16 || l.bits == 24 || l.bits == 32;
    if (!depthKnown) return false;
    if (l.bits <= 8 && l.paletteColors == 0) l.paletteColors = 1u << l.bits;
    if (l.compression == kBiBitfields && (l.bits == 16 || l.bits == 32)) {
        // The masks follow a 40-byte header, or sit inside a larger one at the same place.
        const uint8_t* masks = info + 40;
        if (file.size() < kFileHeaderBytes + 40 + 12) return false;
        for (int i = 0; i < 3; ++i) l.masks[i] = le32(masks + 4 * i);
    } else if (l.compression == kBiRgb && l.bits == 16) {
        l.masks[0] = 0x7C00; l.masks[1] = 0x03E0; l.masks[2] = 0x001F;
    } else if (l.compression == kBiRgb && l.bits == 32) {
        l.masks[0] = 0x00FF0000; l.masks[1] = 0x0000FF00; l.masks[2] = 0x000000FF;
    } else if (l.compression != kBiRgb) {
        return false;
    }
    *out = l;
    return l.width > 0 && l.height != 0;
}

// One mask's field scaled to 0..255, rounding down as SDL's loader does.
uint32_t channel(uint32_t value, uint32_t mask)
{
    if (mask == 0) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1u)) ++shift;
    uint64_t field = (value & mask) >> shift;
    uint64_t max = mask >> shift;
    return static_cast<uint32_t>(field * 255u / max);
}

}  // namespace

bool decodeBitmapFileOwn(const std::string& path, Bitmap* bitmap, bool loadPalette)
{
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (!stream) return false;
    std::vector<uint8_t> file;
    uint8_t chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, stream)) > 0) file.insert(file.end(), chunk, chunk + got);
    std::fclose(stream);

    Layout l;
    if (!readLayout(file, &l)) return false;
    bool topDown = l.height < 0;
    int64_t height = topDown ? -int64_t(l.height) : l.height;
    uint64_t rowBytes64 = ((uint64_t(l.width) * uint64_t(l.bits) + 31) / 32) * 4;
    if (l.pixelOffset > file.size() || rowBytes64 * uint64_t(height) > file.size() - l.pixelOffset) return false;
    size_t rowBytes = static_cast<size_t>(rowBytes64);

    std::vector<uint32_t> palette;
    if (l.bits <= 8) {
        if (l.paletteColors > 256u) return false;
        uint64_t start = uint64_t(kFileHeaderBytes) + le32(file.data() + kFileHeaderBytes);
        if (start + uint64_t(l.paletteColors) * l.paletteEntryBytes > file.size()) return false;
        for (uint32_t i = 0; i < l.paletteColors; ++i) {
            const uint8_t* e = file.data() + start + i * l.paletteEntryBytes;
            palette.push_back(0xFF000000u | uint32_t(e[2]) << 16 | uint32_t(e[1]) << 8 | e[0]);
        }
    }

    bitmap->width = l.width;
    bitmap->height = static_cast<int>(height);
    bitmap->bitsPerPixel = l.bits;
    if (loadPalette) bitmap->palette = palette;
    bitmap->pixels.assign(static_cast<size_t>(l.width) * static_cast<size_t>(height), 0xFF000000u);
    for (int64_t row = 0; row < height; ++row) {
        size_t stored = static_cast<size_t>(topDown ? row : height - 1 - row);
        const uint8_t* in = file.data() + l.pixelOffset + stored * rowBytes;
        uint32_t* out = bitmap->pixels.data() + static_cast<size_t>(row) * static_cast<size_t>(l.width);
        for (int32_t col = 0; col < l.width; ++col) {
            uint32_t rgb = 0;
            if (l.bits <= 8) {
                int perByte = 8 / l.bits;
                uint32_t index = (in[col / perByte] >> ((perByte - 1 - col % perByte) * l.bits)) & ((1u << l.bits) - 1);
                rgb = index < palette.size() ? palette[index] : 0;   // an index past the palette is black
            } else if (l.bits == 24) {
                const uint8_t* p = in + col * 3;
                rgb = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
            } else {
                uint32_t value = l.bits == 16 ? le16(in + col * 2) : le32(in + col * 4);
                rgb = channel(value, l.masks[0]) << 16 | channel(value, l.masks[1]) << 8 | channel(value, l.masks[2]);
            }
            out[col] = 0xFF000000u | rgb;
        }
    }
    return true;
}

#ifdef _WIN32
bool decodeBitmapFile(const std::string& path, Bitmap* bitmap, bool loadPalette)
{
    return decodeBitmapFileOwn(path, bitmap, loadPalette);
}
#endif

}  // namespace display
