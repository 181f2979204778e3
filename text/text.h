// text/text.h -- outline text, the whole public interface: TrueType lettering as OpenGL display lists.
//
// Hold a FontFace for the life of the program, open the font file with it, and make FilledTextFont or
// OutlineTextFont objects on it; their lists need the caller's OpenGL context to be current. Once the
// fonts are made, each may give the face back (releaseFace) and the face may close.
#pragma once

#include "text/font_face.h"
#include "text/text_font.h"
