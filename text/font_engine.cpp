// text/font_engine.cpp -- starting and stopping the font engine.
#include "text/font_engine.h"

#include <ft2build.h>
#include FT_FREETYPE_H

FontEngine::FontEngine()
{
    if (FT_Init_FreeType(&library) != 0)
        library = nullptr;
}

FontEngine::~FontEngine()
{
    if (library != nullptr)
        FT_Done_FreeType(library);
}

FontEngine& FontEngine::processEngine()
{
    // A function-local static finishes constructing before the first face that asks for it, so it is
    // destroyed after every such face, even faces with static storage.
    static FontEngine engine;
    return engine;
}
