// text/text_font.cpp -- creating text fonts, compiling their glyph lists on first use, drawing and
// measuring text.
#include "text/text_font.h"

#include <GL/gl.h>

#include "text/font_face.h"
#include "text/font_instance.h"
#include "text/glyph.h"
#include "text/glyph_polygonizer.h"
#include "text/glyph_vectorizer.h"

namespace {
constexpr int kMinPointSize = 1;
constexpr long long k26Dot6PerPixel = 64;
constexpr long long kPointsPerInchTimes64 = 72 * 64;   // 4608: 26.6 points and dpi give pixels
}  // namespace

TextFont::TextFont(FontFace& face) : face_(face), precision_(kDefaultPrecisionPixels) {}

TextFont::~TextFont()
{
    destroy();
}

bool TextFont::create(int pointSize)
{
    destroy();
    if (pointSize < kMinPointSize)
        pointSize = kMinPointSize;
    instance_ = std::make_unique<FontInstance>(face_);
    if (!instance_->create(pointSize))
        return false;
    glyphSet_ = std::make_unique<GlyphSet>(*instance_);
    if (!glyphSet_->create())
        return false;
    listBase_ = glGenLists(kCharCodeCount);
    if (listBase_ == 0)
        return false;
    loaded_ = std::make_unique<int[]>(kCharCodeCount);   // all clear
    return true;
}

bool TextFont::loadGlyph(int code)
{
    if (code < 0 || code >= kCharCodeCount || !glyphSet_ || !loaded_)
        return false;
    if (loaded_[code])
        return true;
    loaded_[code] = 1;   // a glyph that fails below stays an empty list, not retried
    unsigned int list = listBase_ + static_cast<unsigned int>(code);
    const Glyph* glyph = glyphSet_->glyph(code);
    // A glyph whose outline cannot be read draws nothing and does not move the text on either.
    GlyphOutline outline;
    if (glyph == nullptr || !glyph->readOutline(outline)) {
        glNewList(list, GL_COMPILE);
        glEndList();
        return true;
    }
    compileGlyph(list, *glyph);
    return true;
}

void TextFont::load(int firstCode, int lastCode)
{
    for (int code = firstCode; code <= lastCode; ++code)
        loadGlyph(code);
}

void TextFont::load(const char* text)
{
    if (text == nullptr || !loaded_)
        return;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c != 0; ++c)
        if (!loaded_[*c])
            loadGlyph(*c);
}

void TextFont::draw(const char* text)
{
    if (text == nullptr || listBase_ == 0)
        return;
    glPushMatrix();
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c != 0; ++c) {
        if (!loaded_[*c])
            loadGlyph(*c);
        glCallList(listBase_ + *c);
    }
    glPopMatrix();
}

int TextFont::getWidth(const char* text) const
{
    if (text == nullptr || !glyphSet_)
        return 0;
    long long advance = 0;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c != 0; ++c)
        if (const Glyph* glyph = glyphSet_->glyph(*c))
            advance += glyph->metrics().advance;
    return static_cast<int>(advance / k26Dot6PerPixel);
}

int TextFont::getHeight() const
{
    if (!instance_)
        return 0;
    long long size = static_cast<long long>(instance_->pointSize()) * k26Dot6PerPixel;
    return static_cast<int>(size * instance_->verticalResolution() / kPointsPerInchTimes64);
}

void TextFont::releaseFace()
{
    if (instance_)
        instance_->release();
}

void TextFont::destroy()
{
    loaded_.reset();
    if (listBase_ != 0)
        glDeleteLists(listBase_, kCharCodeCount);
    listBase_ = 0;
    glyphSet_.reset();
    instance_.reset();
}

void TextFont::translateByAdvance(const Glyph& glyph)
{
    glTranslatef(static_cast<GLfloat>(glyph.metrics().advance / static_cast<double>(k26Dot6PerPixel)), 0.0f, 0.0f);
}

FilledTextFont::~FilledTextFont() = default;

void FilledTextFont::compileGlyph(unsigned int list, const Glyph& glyph)
{
    GlyphPolygonizer polygonizer(&glyph);
    polygonizer.setPrecision(precision());
    glNewList(list, GL_COMPILE);
    polygonizer.polygonize();
    translateByAdvance(glyph);   // a glyph that fails to fill still moves the text on
    glEndList();
}

OutlineTextFont::~OutlineTextFont() = default;

void OutlineTextFont::compileGlyph(unsigned int list, const Glyph& glyph)
{
    GlyphVectorizer vectorizer(&glyph);
    vectorizer.setPrecision(precision());
    vectorizer.vectorize();
    glNewList(list, GL_COMPILE);
    for (int i = 0; i < vectorizer.contourCount(); ++i) {
        const Contour& contour = vectorizer.contour(i);
        if (contour.pointCount() == 0)
            continue;
        glBegin(GL_LINE_LOOP);
        for (int j = 0; j < contour.pointCount(); ++j)
            glVertex2f(static_cast<GLfloat>(contour.point(j).x), static_cast<GLfloat>(contour.point(j).y));
        glEnd();
    }
    translateByAdvance(glyph);
    glEndList();
}
