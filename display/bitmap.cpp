// display/bitmap.cpp -- Windows bitmap files: found by the library's search, read by SDL's BMP loader.
#include "display/backend.h"
#include "platform/windows_dir.h"

#include <SDL.h>

#include <cstdio>
#include <new>

namespace display {

namespace {

constexpr size_t kBmpHeaderBytes = 26;   // file header and the start of any info header
// SDL's loader allocates the whole surface from the header before reading a pixel, and takes header
// sizes it does not know: a few bytes of a damaged file must not cost gigabytes.
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

bool copyPixels(SDL_Surface* loaded, Bitmap* bitmap, bool loadPalette)
{
    bitmap->width = loaded->w;
    bitmap->height = loaded->h;
    bitmap->bitsPerPixel = loaded->format->BitsPerPixel;
    if (loadPalette && loaded->format->palette) {
        const SDL_Palette* palette = loaded->format->palette;
        bitmap->palette.resize(static_cast<size_t>(palette->ncolors));
        for (int i = 0; i < palette->ncolors; ++i) {
            const SDL_Color& c = palette->colors[i];
            bitmap->palette[static_cast<size_t>(i)] = 0xFF000000u | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
        }
    }
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    if (!argb) return false;
    bitmap->pixels.resize(static_cast<size_t>(argb->w) * static_cast<size_t>(argb->h));
    SDL_LockSurface(argb);
    for (int row = 0; row < argb->h; ++row) {
        const auto* source = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) +
                                                              static_cast<size_t>(row) * static_cast<size_t>(argb->pitch));
        uint32_t* target = bitmap->pixels.data() + static_cast<size_t>(row) * static_cast<size_t>(argb->w);
        for (int col = 0; col < argb->w; ++col) target[col] = source[col] | 0xFF000000u;
    }
    SDL_UnlockSurface(argb);
    SDL_FreeSurface(argb);
    return true;
}

}  // namespace

Bitmap* loadBitmap(const char* fileName, bool loadPalette)
{
    std::string path = findBitmapFile(fileName);
    if (path.empty()) {
        setLastError(kErrBitmapNotFound);
        return nullptr;
    }
    SDL_Surface* loaded = headerLoadable(path) ? SDL_LoadBMP_RW(SDL_RWFromFile(path.c_str(), "rb"), 1) : nullptr;
    if (!loaded) {
        setLastError(kErrInvalidBitmap);
        return nullptr;
    }
    Bitmap* bitmap = new (std::nothrow) Bitmap();
    bool ok = bitmap && copyPixels(loaded, bitmap, loadPalette);
    SDL_FreeSurface(loaded);
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
