// Reads a rectangle of the root window with XGetImage and writes it with libpng.
#include "x_capture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <cstdio>
#include <vector>

namespace {

// The TrueColor channels of a pixel, scaled to 8 bits whatever the visual's masks.
unsigned channel(unsigned long pixel, unsigned long mask)
{
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    unsigned long max = mask >> shift;
    return static_cast<unsigned>(((pixel & mask) >> shift) * 255 / max);
}

bool writePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int row = 0; row < height; ++row)
        png_write_row(png, const_cast<unsigned char*>(&rgb[static_cast<size_t>(row) * width * 3]));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

}  // namespace

bool captureScreenRect(const std::string& displayName, int x, int y, int width, int height, const std::string& path)
{
    if (width <= 0 || height <= 0) return false;
    Display* display = XOpenDisplay(displayName.c_str());
    if (!display) return false;
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    bool written = false;
    if (image) {
        std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
        for (int row = 0; row < height; ++row) {
            for (int col = 0; col < width; ++col) {
                unsigned long pixel = XGetPixel(image, col, row);
                unsigned char* out = &rgb[(static_cast<size_t>(row) * width + col) * 3];
                out[0] = static_cast<unsigned char>(channel(pixel, image->red_mask));
                out[1] = static_cast<unsigned char>(channel(pixel, image->green_mask));
                out[2] = static_cast<unsigned char>(channel(pixel, image->blue_mask));
            }
        }
        written = writePng(path, width, height, rgb);
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return written;
}
