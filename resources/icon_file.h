// resources/icon_file.h -- an icon image as the bytes of a Windows .ico file, for the programs' icon resource.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/dialog/dialog.h"

namespace resources {

// One image in 16 colours (the classic palette; each colour of the image is taken to the nearest entry),
// with the AND mask marking the transparent pixels: the layout windres embeds as an ICON resource.
// Empty for an image that is not 1..256 pixels square.
std::vector<uint8_t> iconFileBytes(const platform::IconImage& image);

}  // namespace resources
