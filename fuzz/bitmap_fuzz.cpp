// fuzz/bitmap_fuzz.cpp -- feeds arbitrary bytes, as a bitmap file on disk, to the bitmap check and the
// loader, and checks what a loaded bitmap must be: a positive size, every pixel present and opaque, a
// palette of at most 256 entries.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "display/display.h"

namespace {

constexpr size_t kMaxPaletteEntries = 256;

void require(bool condition)
{
    if (!condition) std::abort();
}

// One file per process, rewritten for each input; the loader only reads files.
const std::string& bitmapPath()
{
    static std::string path = [] {
        const char* folder = std::getenv("TMPDIR");
        std::string name = std::string(folder && *folder ? folder : "/tmp") + "/tockwheel-bitmap-fuzz-" +
                           std::to_string(::getpid()) + ".bmp";
        std::atexit([] { std::remove(bitmapPath().c_str()); });
        return name;
    }();
    return path;
}

bool writeFile(const std::string& path, const uint8_t* data, size_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && ok;
}

void checkBitmap(const display::Bitmap& bitmap, bool withPalette)
{
    require(bitmap.width > 0 && bitmap.height > 0);
    require(bitmap.pixels.size() == size_t(bitmap.width) * size_t(bitmap.height));
    for (uint32_t pixel : bitmap.pixels) require((pixel >> 24) == 0xFF);
    require(bitmap.palette.size() <= kMaxPaletteEntries);
    if (!withPalette) require(bitmap.palette.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& path = bitmapPath();
    require(writeFile(path, data, size));
    display::bitmapExists(path.c_str());
    for (bool withPalette : {false, true}) {
        display::Bitmap* bitmap = display::loadBitmap(path.c_str(), withPalette);
        if (!bitmap) {
            int error = display::lastError();
            require(error == display::kErrInvalidBitmap || error == display::kErrNoMemory);
            continue;
        }
        checkBitmap(*bitmap, withPalette);
        display::unloadBitmap(bitmap);
    }
    return 0;
}
