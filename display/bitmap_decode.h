// display/bitmap_decode.h -- a Windows bitmap file's pixels, decoded by SDL (bitmap_sdl.cpp, where SDL is
// linked) or by our own reader (bitmap_bmp.cpp, the Windows build). Both fill the same Bitmap.
#pragma once

#include <string>

#include "display/display.h"

namespace display {

// The file at `path` (already found, header checked by the caller) into *bitmap: size, depth, the
// palette when asked for and the file has one, pixels as opaque 0xFFRRGGBB top-down. False when the
// file cannot be read or uses an encoding the reader does not know.
bool decodeBitmapFile(const std::string& path, Bitmap* bitmap, bool loadPalette);
bool decodeBitmapFileOwn(const std::string& path, Bitmap* bitmap, bool loadPalette);   // bitmap_bmp.cpp

}  // namespace display
