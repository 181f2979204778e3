// text/glyph.h -- glyphs loaded scaled and hinted, and the set of 256 that a font instance holds.
#pragma once

#include <memory>

#include "text/font_instance.h"
#include "text/glyph_outline.h"

struct FT_GlyphRec_;

struct GlyphMetrics {   // all 26.6 pixels
    long xMin = 0;
    long yMin = 0;
    long xMax = 0;
    long yMax = 0;
    long bearingX = 0;
    long bearingY = 0;
    long advance = 0;
};

class Glyph {
public:
    Glyph(FontInstance& instance, int code);
    virtual ~Glyph();
    Glyph(const Glyph&) = delete;
    Glyph& operator=(const Glyph&) = delete;

    // Loads the glyph's outline at the instance's size, hinted, never an embedded bitmap in its place;
    // false when the engine cannot.
    bool load(int32_t glyphIndex);

    bool hasOutline() const;
    // Copies the outline; false when the glyph has none (not loaded, or not an outline format).
    bool readOutline(GlyphOutline& outline) const;

    int code() const { return code_; }
    const GlyphMetrics& metrics() const { return metrics_; }

private:
    FontInstance& instance_;          // not owned
    FT_GlyphRec_* glyph_ = nullptr;   // owned
    int code_;                        // the character code it was loaded for
    GlyphMetrics metrics_;
};

class GlyphSet {
public:
    explicit GlyphSet(FontInstance& instance);
    virtual ~GlyphSet();
    GlyphSet(const GlyphSet&) = delete;
    GlyphSet& operator=(const GlyphSet&) = delete;

    // Loads a glyph for every code 0..255; a code whose glyph fails keeps a null slot. False only when
    // the instance cannot be made the active one.
    virtual bool create();

    const Glyph* glyph(int code) const;   // null outside 0..255 and where loading failed

private:
    FontInstance& instance_;                          // not owned
    std::unique_ptr<Glyph> glyphs_[kCharCodeCount];
};
