// text/font_instance.h -- a face at one point size, 96 x 96 dots per inch.
#pragma once

#include "text/font_face.h"

struct FT_SizeRec_;

constexpr int kFontDpi = 96;   // dots per inch, both directions

class FontInstance {
public:
    explicit FontInstance(FontFace& face);
    virtual ~FontInstance();
    FontInstance(const FontInstance&) = delete;
    FontInstance& operator=(const FontInstance&) = delete;

    // Makes the sized instance; false when the face is closed or the engine refuses the size.
    bool create(int pointSize);
    // Glyphs load at the size of the face's active instance.
    bool activate();
    // Gives the sized instance back to the face, so that the face can close; glyphs loaded before keep
    // their outlines, and the point size stays known.
    void release();

    FontFace& face() const { return face_; }
    int pointSize() const { return pointSize_; }
    int verticalResolution() const { return kFontDpi; }

private:
    FontFace& face_;                  // not owned
    FT_SizeRec_* size_ = nullptr;     // owned
    int pointSize_ = 0;
};
