// text/text.h -- outline text, the whole public interface: TrueType lettering as OpenGL display lists.
//
// Hold a FontFace for the life of the program, open the font file with it, and make FilledTextFont or
// OutlineTextFont objects on it; their lists need the caller's OpenGL context to be current.
#pragma once

#include "text/font_engine.h"
#include "text/font_face.h"
#include "text/font_instance.h"
#include "text/glyph.h"
#include "text/glyph_polygonizer.h"
#include "text/glyph_vectorizer.h"
#include "text/text_font.h"
