// text/text_font.h -- text fonts: 256 display lists per font, one per character code, compiled from
// a face's glyphs the first time a code is drawn.
#pragma once

#include <memory>

class FontFace;
class FontInstance;
class Glyph;
class GlyphSet;

// What both kinds of text font share; they differ only in how a glyph becomes a list.
class TextFont {
public:
    explicit TextFont(FontFace& face);   // the face outlives the font, open until releaseFace
    virtual ~TextFont();
    TextFont(const TextFont&) = delete;
    TextFont& operator=(const TextFont&) = delete;

    // Loads all 256 glyphs at the point size (at least 1) and reserves 256 list names; compiles none.
    // A font made before is released first, so this also changes the size.
    bool create(int pointSize);
    // True when the code's list is ready, compiling it on first use.
    bool loadGlyph(int code);
    void load(int firstCode, int lastCode);
    void load(const char* text);
    // Draws the text from the current origin along +x; the caller's matrix is left as it was.
    void draw(const char* text);
    // Keeps the 256 glyphs that create loaded and gives the face its sized instance back, so that the face
    // can close: lists still compile on first use from the glyphs' own outlines. Until create is called
    // again, which needs the face open.
    void releaseFace();
    void setPrecision(double pixels) { precision_ = pixels; }
    int getWidth(const char* text) const;   // pixels
    int getHeight() const;                  // pixels
    void destroy();

    unsigned int listBase() const { return listBase_; }   // 0 before create
    double precision() const { return precision_; }
    const GlyphSet* glyphSet() const { return glyphSet_.get(); }

protected:
    // Compiles the glyph's geometry into `list`, ending with the move by its advance.
    virtual void compileGlyph(unsigned int list, const Glyph& glyph) = 0;
    static void translateByAdvance(const Glyph& glyph);

private:
    FontFace& face_;                            // shared, not owned
    std::unique_ptr<FontInstance> instance_;
    std::unique_ptr<GlyphSet> glyphSet_;
    std::unique_ptr<int[]> loaded_;             // per code: the list has been compiled
    unsigned int listBase_ = 0;                 // first of 256 consecutive list names
    double precision_;                          // pixels; the vectorizer's default until set
};

// Glyphs as flat filled shapes, triangulated by the tessellator.
class FilledTextFont : public TextFont {
public:
    explicit FilledTextFont(FontFace& face) : TextFont(face) {}
    ~FilledTextFont() override;

protected:
    void compileGlyph(unsigned int list, const Glyph& glyph) override;
};

// Glyphs as their contours only, one closed line loop each.
class OutlineTextFont : public TextFont {
public:
    explicit OutlineTextFont(FontFace& face) : TextFont(face) {}
    ~OutlineTextFont() override;

protected:
    void compileGlyph(unsigned int list, const Glyph& glyph) override;
};
