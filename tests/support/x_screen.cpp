// tests/support/x_screen.cpp -- reads the screen with XGetImage and writes it with libpng.
#include "tests/support/x_screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <cstdio>

namespace {

// A TrueColor channel scaled to 8 bits, whatever the visual's masks.
unsigned channel(unsigned long pixel, unsigned long mask)
{
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    return static_cast<unsigned>(((pixel & mask) >> shift) * 255 / (mask >> shift));
}

void copyImage(XImage* image, ScreenPixels& pixels)
{
    pixels.rgb.resize(static_cast<size_t>(pixels.width) * pixels.height * 3);
    for (int row = 0; row < pixels.height; ++row)
        for (int column = 0; column < pixels.width; ++column) {
            unsigned long pixel = XGetPixel(image, column, row);
            unsigned char* p = &pixels.rgb[(static_cast<size_t>(row) * pixels.width + column) * 3];
            p[0] = static_cast<unsigned char>(channel(pixel, image->red_mask));
            p[1] = static_cast<unsigned char>(channel(pixel, image->green_mask));
            p[2] = static_cast<unsigned char>(channel(pixel, image->blue_mask));
        }
}

}  // namespace

ScreenPixels readScreen(const std::string& displayName, unsigned long window, int x, int y, int width, int height,
                        int screen)
{
    ScreenPixels pixels;
    Display* display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (!display) return pixels;
    Window target = window ? window : RootWindow(display, screen);
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, target, &attributes)) {
        if (width < 0 || height < 0) {
            width = attributes.width - x;
            height = attributes.height - y;
        }
        XImage* image = width > 0 && height > 0
                            ? XGetImage(display, target, x, y, static_cast<unsigned>(width),
                                        static_cast<unsigned>(height), AllPlanes, ZPixmap)
                            : nullptr;
        if (image) {
            pixels.width = width;
            pixels.height = height;
            copyImage(image, pixels);
            XDestroyImage(image);
        }
    }
    XCloseDisplay(display);
    return pixels;
}

bool writeRgbPng(const ScreenPixels& pixels, const std::string& path)
{
    if (pixels.width <= 0 || pixels.height <= 0) return false;
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
    png_set_IHDR(png, info, pixels.width, pixels.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int row = 0; row < pixels.height; ++row)
        png_write_row(png, const_cast<png_bytep>(&pixels.rgb[static_cast<size_t>(row) * pixels.width * 3]));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

bool captureScreenRect(const std::string& displayName, int x, int y, int width, int height, const std::string& path)
{
    return writeRgbPng(readScreen(displayName, 0, x, y, width, height), path);
}
