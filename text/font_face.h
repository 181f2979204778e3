// text/font_face.h -- one opened TrueType file and its table from character codes to glyph indices.
#pragma once

#include <cstdint>

class FontEngine;
struct FT_FaceRec_;

constexpr int kCharCodeCount = 256;   // single-byte character codes 0..255

// A character map as the face lists it.
struct CharmapId {
    int platform;   // 0 Apple Unicode, 1 Macintosh, 3 Microsoft
    int encoding;   // meaning depends on the platform
};

// Index of the first map that is Microsoft Unicode (3, 1) or Apple Unicode (0, 0); -1 when none is.
int findUnicodeCharmap(const CharmapId* maps, int mapCount);

// The glyph a code gets from a face without a Unicode map: code 32 (the space) is glyph 1, and so on.
int32_t fallbackGlyphIndex(int code, long glyphCount);

class FontFace {
public:
    FontFace();                              // uses the process engine
    explicit FontFace(FontEngine* engine);   // not owned; null means no face can be opened
    virtual ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    // False when a face is already open, there is no engine, or the file is not a TrueType face.
    bool open(const char* path);

    // Lets go of the file and the engine's copy of its tables; every instance made on it must have been
    // released first. Glyphs already loaded keep their outlines.
    void close();

    bool isOpen() const { return face_ != nullptr; }
    int32_t glyphIndex(int code) const;   // 0 for codes outside 0..255 and before open
    FT_FaceRec_* handle() const { return face_; }
    FontEngine* engine() const { return engine_; }

private:
    void buildGlyphTable();

    FontEngine* engine_;                          // shared, not owned
    FT_FaceRec_* face_ = nullptr;                 // owned; null while closed
    int32_t glyphTable_[kCharCodeCount] = {};     // glyph index per character code
};
