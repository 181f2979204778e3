// tests/ui/screen_shot.cpp -- writes a rectangle of the X screen ($DISPLAY) to a PNG: pictures of whole programs.
//
// screen_shot FILE.png [X Y W H]   (the whole screen without a rectangle)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// A TrueColor channel scaled to 8 bits, whatever the visual's masks.
unsigned channel(unsigned long pixel, unsigned long mask)
{
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    return static_cast<unsigned>(((pixel & mask) >> shift) * 255 / (mask >> shift));
}

bool writePng(const char* path, XImage* image, int width, int height)
{
    std::FILE* file = std::fopen(path, "wb");
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
    std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned long pixel = XGetPixel(image, x, y);
            row[x * 3] = static_cast<unsigned char>(channel(pixel, image->red_mask));
            row[x * 3 + 1] = static_cast<unsigned char>(channel(pixel, image->green_mask));
            row[x * 3 + 2] = static_cast<unsigned char>(channel(pixel, image->blue_mask));
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 6) {
        std::fprintf(stderr, "usage: screen_shot FILE.png [X Y W H]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "screen_shot: no display\n");
        return 1;
    }
    int x = 0, y = 0;
    int w = DisplayWidth(display, DefaultScreen(display)), h = DisplayHeight(display, DefaultScreen(display));
    if (argc == 6) {
        x = std::atoi(argv[2]);
        y = std::atoi(argv[3]);
        w = std::atoi(argv[4]);
        h = std::atoi(argv[5]);
    }
    XImage* image = w > 0 && h > 0 ? XGetImage(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(w),
                                               static_cast<unsigned>(h), AllPlanes, ZPixmap)
                                   : nullptr;
    bool written = image && writePng(argv[1], image, w, h);
    if (image) XDestroyImage(image);
    XCloseDisplay(display);
    if (!written) std::fprintf(stderr, "screen_shot: could not capture or write %s\n", argv[1]);
    return written ? 0 : 1;
}
