// text/font_face.cpp -- opening a TrueType face and mapping single-byte codes to its glyphs.
#include "text/font_face.h"

#include "text/font_engine.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_FONT_FORMATS_H
#include FT_TRUETYPE_TABLES_H

namespace {

constexpr int kFallbackCodeOffset = 31;   // code 32 becomes glyph 1, after the missing-glyph box

constexpr FT_ULong kCollectionTag = 0x74746366;   // 'ttcf': several faces in one file
constexpr FT_ULong kTableRecordBytes = 16;        // tag, checksum, offset, length

// Reads a big-endian 32-bit number at an offset of the whole file (table tag 0).
bool readFileLong(FT_Face face, FT_ULong offset, FT_ULong& value)
{
    FT_Byte bytes[4];
    FT_ULong length = sizeof bytes;
    if (FT_Load_Sfnt_Table(face, 0, static_cast<FT_Long>(offset), bytes, &length) != 0 || length != sizeof bytes)
        return false;
    value = (FT_ULong(bytes[0]) << 24) | (FT_ULong(bytes[1]) << 16) | (FT_ULong(bytes[2]) << 8) | bytes[3];
    return true;
}

// The engine opens a truncated file as long as its table directory is there and only fails glyph by
// glyph later; a file cut short is damaged, so every table must lie wholly inside it.
bool tablesLieInsideFile(FT_Face face)
{
    FT_ULong fileLength = 0;
    if (FT_Load_Sfnt_Table(face, 0, 0, nullptr, &fileLength) != 0)
        return false;
    FT_ULong directory = 0;
    FT_ULong tag = 0;
    if (!readFileLong(face, 0, tag))
        return false;
    if (tag == kCollectionTag && !readFileLong(face, 12, directory))   // the first face's offset
        return false;
    FT_ULong tableCountWord = 0;
    if (!readFileLong(face, directory + 4, tableCountWord))
        return false;
    FT_ULong tableCount = tableCountWord >> 16;
    for (FT_ULong i = 0; i < tableCount; ++i) {
        FT_ULong record = directory + 12 + i * kTableRecordBytes;
        FT_ULong offset = 0;
        FT_ULong length = 0;
        if (!readFileLong(face, record + 8, offset) || !readFileLong(face, record + 12, length))
            return false;
        if (offset > fileLength || length > fileLength - offset)
            return false;
    }
    return true;
}

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
    if (format == nullptr || std::strcmp(format, "TrueType") != 0 || !FT_IS_SCALABLE(face)
        || !tablesLieInsideFile(face)) {
        FT_Done_Face(face);
        return false;
    }
    face_ = face;
    buildGlyphTable();
    return true;
}

void FontFace::close()
{
    if (face_ != nullptr)
        FT_Done_Face(face_);
    face_ = nullptr;
    for (int32_t& index : glyphTable_)
        index = 0;
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
