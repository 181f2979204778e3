// text/glyph.cpp -- loading glyphs from the font engine, reading their metrics and outlines.
#include "text/glyph.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H
#include FT_OUTLINE_H

bool isWellFormed(const GlyphOutline& outline)
{
    int pointCount = static_cast<int>(outline.points.size());
    if (outline.flags.size() != outline.points.size())
        return false;
    int previousEnd = -1;
    for (int end : outline.contourEnds) {
        if (end <= previousEnd || end >= pointCount)
            return false;
        previousEnd = end;
    }
    return true;
}

Glyph::Glyph(FontInstance& instance, int code) : instance_(instance), code_(code) {}

Glyph::~Glyph()
{
    if (glyph_ != nullptr)
        FT_Done_Glyph(glyph_);
}

bool Glyph::load(int32_t glyphIndex)
{
    FT_Face face = instance_.face().handle();
    if (glyph_ != nullptr || face == nullptr || glyphIndex < 0)
        return false;
    // The engine prefers an embedded bitmap strike of the size where the font has one; a bitmap has no
    // outline to flatten, and the glyph would draw nothing.
    if (FT_Load_Glyph(face, static_cast<FT_UInt>(glyphIndex), FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0)
        return false;
    FT_Glyph glyph = nullptr;
    if (FT_Get_Glyph(face->glyph, &glyph) != 0)
        return false;
    glyph_ = glyph;
    FT_BBox box;
    FT_Glyph_Get_CBox(glyph_, FT_GLYPH_BBOX_UNSCALED, &box);
    const FT_Glyph_Metrics& m = face->glyph->metrics;
    metrics_ = {box.xMin, box.yMin, box.xMax, box.yMax, m.horiBearingX, m.horiBearingY, m.horiAdvance};
    return true;
}

bool Glyph::hasOutline() const
{
    return glyph_ != nullptr && glyph_->format == FT_GLYPH_FORMAT_OUTLINE;
}

bool Glyph::readOutline(GlyphOutline& outline) const
{
    if (!hasOutline())
        return false;
    const FT_Outline& source = reinterpret_cast<FT_OutlineGlyph>(glyph_)->outline;
    outline.points.clear();
    outline.flags.clear();
    outline.contourEnds.clear();
    for (int i = 0; i < source.n_points; ++i) {
        outline.points.push_back({source.points[i].x, source.points[i].y});
        outline.flags.push_back(static_cast<uint8_t>(FT_CURVE_TAG(source.tags[i])));
    }
    for (int i = 0; i < source.n_contours; ++i)
        outline.contourEnds.push_back(source.contours[i]);
    return isWellFormed(outline);
}

GlyphSet::GlyphSet(FontInstance& instance) : instance_(instance) {}

GlyphSet::~GlyphSet() = default;

bool GlyphSet::create()
{
    if (!instance_.activate())
        return false;
    for (int code = 0; code < kCharCodeCount; ++code) {
        auto glyph = std::make_unique<Glyph>(instance_, code);
        if (glyph->load(instance_.face().glyphIndex(code)))
            glyphs_[code] = std::move(glyph);
        else
            glyphs_[code].reset();
    }
    return true;
}

const Glyph* GlyphSet::glyph(int code) const
{
    return (code >= 0 && code < kCharCodeCount) ? glyphs_[code].get() : nullptr;
}
