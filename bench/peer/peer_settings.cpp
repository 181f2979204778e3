// bench/peer/peer_settings.cpp -- writes the settings file for the peer comparison: the defaults a new user
// gets, in the 32-bit mode of the given size, so that the saver draws what it draws out of the box.
//
//   bench_peer_settings FILE WIDTHxHEIGHT
#include <cstdio>

#include "config/settings.h"
#include "config/settings_file.h"
#include "display/display.h"

namespace {

constexpr int kColorDepth32 = 156;    // dialog id of the 32-bit choice
constexpr int kBitsPerPixel = 32;

// The library's mode number of the resolution at 32 bits per pixel, or -1.
int modeOfSize(int width, int height)
{
    for (int mode = 0; mode <= 85; ++mode) {
        int x = 0, y = 0, bits = 0;
        if (display::modeResolution(mode, &x, &y, &bits) && x == width && y == height && bits == kBitsPerPixel)
            return mode;
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv)
{
    int width = 0, height = 0;
    if (argc != 3 || std::sscanf(argv[2], "%dx%d", &width, &height) != 2) {
        std::fprintf(stderr, "usage: %s FILE WIDTHxHEIGHT\n", argv[0]);
        return 2;
    }
    int mode = modeOfSize(width, height);
    if (mode < 0) {
        std::fprintf(stderr, "%s: no 32-bit mode of %dx%d\n", argv[0], width, height);
        return 2;
    }
    resetSettings();
    Settings.videoMode = mode;
    Settings.colorDepth = kColorDepth32;
    uint8_t image[kSettingsMaxFileSize];
    size_t size = encodeSettings(Settings, image);
    std::FILE* file = std::fopen(argv[1], "wb");
    bool ok = file && std::fwrite(image, 1, size, file) == size;
    if (file) ok = std::fclose(file) == 0 && ok;
    if (!ok) std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
    return ok ? 0 : 1;
}
