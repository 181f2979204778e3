// text/font_face.cpp -- opening a TrueType face and mapping single-byte codes to its glyphs.
#include "text/font_face.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_FONT_FORMATS_H

namespace {

constexpr int kFallbackCodeOffset = 31;   // code 32 becomes glyph 1, after the missing-glyph box

bool isUnicodeMap(const CharmapId& map)
{
    return (map.platform == 3 && map.encoding == 1) || (map.platform == 0 && map.encoding == 0);
}

}  // namespace

int findUnicodeCharmap(const CharmapId* maps, int mapCount)
{
    for (int i = 0; i < mapCount; ++i)
        if (isUnicodeMap(maps[i]))
            return i;
    return -1;
}

int32_t fallbackGlyphIndex(int code, long glyphCount)
{
    long index = static_cast<long>(code) - kFallbackCodeOffset;
    return (index >= 0 && index < glyphCount) ? static_cast<int32_t>(index) : 0;
}

FontFace::FontFace() : engine_(&FontEngine::processEngine()) {}

FontFace::FontFace(FontEngine* engine) : engine_(engine) {}

FontFace::~FontFace()
{
    if (face_ != nullptr)
        FT_Done_Face(face_);
}

bool FontFace::open(const char* path)
{
    if (face_ != nullptr || engine_ == nullptr || !engine_->isReady() || path == nullptr)
        return false;
    FT_Face face = nullptr;
    if (FT_New_Face(engine_->handle(), path, 0, &face) != 0)
        return false;
    // Other formats the engine reads (CFF, Type 1, bitmaps) have no quadratic outlines to flatten.
    const char* format = FT_Get_Font_Format(face);
    if (format == nullptr || std::strcmp(format, "TrueType") != 0 || !FT_IS_SCALABLE(face)) {
        FT_Done_Face(face);
        return false;
    }
    face_ = face;
    buildGlyphTable();
    return true;
}

int32_t FontFace::glyphIndex(int code) const
{
    return (code >= 0 && code < kCharCodeCount) ? glyphTable_[code] : 0;
}

void FontFace::buildGlyphTable()
{
    std::vector<CharmapId> maps;
    for (int i = 0; i < face_->num_charmaps; ++i)
        maps.push_back({face_->charmaps[i]->platform_id, face_->charmaps[i]->encoding_id});
    int chosen = findUnicodeCharmap(maps.data(), static_cast<int>(maps.size()));
    if (chosen >= 0 && FT_Set_Charmap(face_, face_->charmaps[chosen]) == 0) {
        for (int code = 0; code < kCharCodeCount; ++code) {
            FT_UInt index = FT_Get_Char_Index(face_, static_cast<FT_ULong>(code));
            glyphTable_[code] = index <= static_cast<FT_UInt>(INT32_MAX) ? static_cast<int32_t>(index) : 0;
        }
        return;
    }
    for (int code = 0; code < kCharCodeCount; ++code)
        glyphTable_[code] = fallbackGlyphIndex(code, face_->num_glyphs);
}
