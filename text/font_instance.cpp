// text/font_instance.cpp -- creating and activating a sized instance of a face.
#include "text/font_instance.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H

namespace {
constexpr long kPointTo26Dot6 = 64;
}

FontInstance::FontInstance(FontFace& face) : face_(face) {}

FontInstance::~FontInstance()
{
    // The face frees its sizes when it closes, so the face must still be open here.
    release();
}

bool FontInstance::create(int pointSize)
{
    if (size_ != nullptr || !face_.isOpen())
        return false;
    FT_Size size = nullptr;
    if (FT_New_Size(face_.handle(), &size) != 0)
        return false;
    size_ = size;
    pointSize_ = pointSize;
    return activate()
        && FT_Set_Char_Size(face_.handle(), 0, static_cast<long>(pointSize) * kPointTo26Dot6, kFontDpi, kFontDpi) == 0;
}

void FontInstance::release()
{
    if (size_ != nullptr)
        FT_Done_Size(size_);
    size_ = nullptr;
}

bool FontInstance::activate()
{
    return size_ != nullptr && FT_Activate_Size(size_) == 0;
}
