// display/bitmap.cpp -- Windows bitmap files: found by the library's search, checked, then decoded.
#include "display/backend.h"
#include "display/bitmap_decode.h"
#include "platform/windows_dir.h"

#include <cstdio>
#include <new>

namespace display {

namespace {

constexpr size_t kBmpHeaderBytes = 26;   // file header and the start of any info header
// The decoders allocate the whole picture from the header before reading a pixel: a few bytes of a
// damaged file must not cost gigabytes.
constexpr int64_t kMaxBitmapPixels = 16 * 1024 * 1024;

// As given, then in the "BITMAPS\" subdirectory, each where the platform finds data files (the current
// directory first, then the installed data); empty when neither exists.
std::string findBitmapFile(const char* fileName)
{
    if (!fileName || !*fileName) return std::string();
    std::string direct = platform::findDataFile(fileName);
    if (!direct.empty()) return direct;
    return platform::findDataFile(std::string("BITMAPS\\") + fileName);
}

uint32_t readLe32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t readLe16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// The header of a bitmap file: "BM", an info header of a known size, a sane size and depth.
bool headerValid(const uint8_t h[kBmpHeaderBytes])
{
    if (h[0] != 'B' || h[1] != 'M') return false;
    uint32_t infoSize = readLe32(h + 14);
    if (infoSize == 12) {   // OS/2 core header: 16-bit width and height
        uint16_t bits = readLe16(h + 24);
        return readLe16(h + 18) > 0 && readLe16(h + 20) > 0 && readLe16(h + 22) == 1 &&
               (bits == 1 || bits == 4 || bits == 8 || bits == 24);
    }
    return infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 64 || infoSize == 108 ||
           infoSize == 124;
}

bool infoHeaderValid(std::FILE* file)
{
    uint8_t info[16];
    if (std::fseek(file, 18, SEEK_SET) != 0 || std::fread(info, 1, sizeof info, file) != sizeof info) return false;
    int32_t width = static_cast<int32_t>(readLe32(info));
    int32_t height = static_cast<int32_t>(readLe32(info + 4));
    uint16_t planes = readLe16(info + 8);
    uint16_t bits = readLe16(info + 10);
    bool depthKnown = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    return width > 0 && height != 0 && height != INT32_MIN && planes == 1 && depthKnown;
}

// The header checks of bitmapExists, and a size the loader may allocate.
bool headerLoadable(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    uint8_t header[kBmpHeaderBytes];
    bool ok = std::fread(header, 1, sizeof header, file) == sizeof header && headerValid(header);
    bool core = ok && readLe32(header + 14) == 12;
    if (ok && !core) ok = infoHeaderValid(file);
    std::fclose(file);
    if (!ok) return false;
    int64_t width = core ? readLe16(header + 18) : static_cast<int32_t>(readLe32(header + 18));
    int64_t height = core ? readLe16(header + 20) : static_cast<int32_t>(readLe32(header + 22));
    return width * (height < 0 ? -height : height) <= kMaxBitmapPixels;
}

}  // namespace

Bitmap* loadBitmap(const char* fileName, bool loadPalette)
{
    std::string path = findBitmapFile(fileName);
    if (path.empty()) {
        setLastError(kErrBitmapNotFound);
        return nullptr;
    }
    if (!headerLoadable(path)) {
        setLastError(kErrInvalidBitmap);
        return nullptr;
    }
    Bitmap* bitmap = new (std::nothrow) Bitmap();
    bool ok = bitmap && decodeBitmapFile(path, bitmap, loadPalette);
    if (!ok) {
        setLastError(bitmap ? kErrInvalidBitmap : kErrNoMemory);
        delete bitmap;
        return nullptr;
    }
    return bitmap;
}

bool bitmapExists(const char* fileName)
{
    std::string path = findBitmapFile(fileName);
    if (path.empty()) return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    uint8_t header[kBmpHeaderBytes];
    bool ok = std::fread(header, 1, sizeof header, file) == sizeof header && headerValid(header);
    if (ok && readLe32(header + 14) != 12) ok = infoHeaderValid(file);
    std::fclose(file);
    return ok;
}

void unloadBitmap(Bitmap* bitmap)
{
    delete bitmap;
}

}  // namespace display
