// display/snapshot_png.cpp -- the last presented page written as a PNG file.
#include "display/backend.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

#include "platform/regular_file.h"

namespace display {

namespace {

bool writePng(std::FILE* file, const std::vector<uint8_t>& rgba, int width, int height)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_filler(png, 0, PNG_FILLER_AFTER);   // rows carry RGBA; the file keeps RGB
    for (int row = 0; row < height; ++row)
        png_write_row(png, rgba.data() + static_cast<size_t>(row) * static_cast<size_t>(width) * 4);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool writeSnapshot(const std::string& linuxPath)
{
    std::vector<uint8_t> rgba;
    int width = 0, height = 0;
    if (!readPresentedPage(&rgba, &width, &height)) {
        std::fprintf(stderr, "display: no page presented yet; no snapshot written to %s\n", linuxPath.c_str());
        return false;
    }
    // A FIFO nobody reads fails at once instead of holding the run.
    std::FILE* file = platform::openForWriting(linuxPath, false);
    if (!file) {
        std::fprintf(stderr, "display: cannot write the snapshot %s\n", linuxPath.c_str());
        return false;
    }
    bool ok = writePng(file, rgba, width, height);
    ok = std::fclose(file) == 0 && ok;
    if (!ok) std::fprintf(stderr, "display: writing the snapshot %s failed\n", linuxPath.c_str());
    return ok;
}

}  // namespace display
