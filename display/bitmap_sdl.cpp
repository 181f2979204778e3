// display/bitmap_sdl.cpp -- bitmap files decoded by SDL's BMP loader, where SDL is linked.
#include "display/bitmap_decode.h"

#include <SDL.h>

namespace display {

namespace {

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

bool decodeBitmapFile(const std::string& path, Bitmap* bitmap, bool loadPalette)
{
    SDL_Surface* loaded = SDL_LoadBMP_RW(SDL_RWFromFile(path.c_str(), "rb"), 1);
    if (!loaded) return false;
    bool ok = copyPixels(loaded, bitmap, loadPalette);
    SDL_FreeSurface(loaded);
    return ok;
}

}  // namespace display
