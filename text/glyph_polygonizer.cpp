// text/glyph_polygonizer.cpp -- the tessellator's callbacks, the one current sink, and the order in
// which contours are announced.
#include "text/glyph_polygonizer.h"

#include <cstdio>

#include <GL/gl.h>
#include <GL/glu.h>

// The tessellator's callbacks take the GL calling convention, which Windows' headers call APIENTRY.
#ifndef GLAPIENTRY
#define GLAPIENTRY APIENTRY
#endif

namespace {

// The tessellator's callbacks take no user data here, so they forward to the sink of the polygonizer
// at work; polygonizing is therefore not re-entrant.
PolygonSink* currentSink = nullptr;

void GLAPIENTRY tessBegin(GLenum type) { currentSink->begin(type); }
void GLAPIENTRY tessVertex(void* data) { currentSink->vertex(*static_cast<const ContourPoint*>(data)); }
void GLAPIENTRY tessEnd() { currentSink->end(); }
void GLAPIENTRY tessError(GLenum code) { currentSink->error(code); }

// Flattened curves of a small glyph often cross their neighbours: without a vertex for each crossing
// the tessellator gives up and the whole glyph goes missing.
void GLAPIENTRY tessCombine(GLdouble coords[3], void* /*vertexData*/[4], GLfloat /*weights*/[4], void** outData)
{
    *outData = currentSink->polygonizer->addCrossing(coords[0], coords[1]);
}

using TessCallback = void(GLAPIENTRY*)();

}  // namespace

PolygonSink::~PolygonSink() = default;

void PolygonSink::begin(unsigned int primitiveType) { glBegin(primitiveType); }

void PolygonSink::vertex(const ContourPoint& point)
{
    glVertex2f(static_cast<GLfloat>(point.x), static_cast<GLfloat>(point.y));
}

void PolygonSink::end() { glEnd(); }

void PolygonSink::error(unsigned int code)
{
    if (!verbose)
        return;
    const GLubyte* text = gluErrorString(code);
    std::printf("GLU error #%d (%s)\n", static_cast<int>(code),
                text != nullptr ? reinterpret_cast<const char*>(text) : "");
}

GlyphPolygonizer::GlyphPolygonizer(const Glyph* glyph, GlyphVectorizer* vectorizer) : glyph_(glyph)
{
    if (vectorizer == nullptr) {
        ownVectorizer_ = std::make_unique<GlyphVectorizer>(glyph_);
        vectorizer = ownVectorizer_.get();
    }
    vectorizer_ = vectorizer;
}

GlyphPolygonizer::~GlyphPolygonizer() = default;

void GlyphPolygonizer::setPrecision(double pixels)
{
    if (ownVectorizer_)
        ownVectorizer_->setPrecision(pixels);
}

bool GlyphPolygonizer::polygonize(PolygonSink* sink)
{
    GLUtesselator* tess = gluNewTess();
    if (tess == nullptr)
        return false;
    if (ownVectorizer_ && !ownVectorizer_->vectorize()) {
        gluDeleteTess(tess);
        return false;
    }
    currentSink = sink != nullptr ? sink : &defaultSink_;
    currentSink->polygonizer = this;
    gluTessCallback(tess, GLU_TESS_BEGIN, reinterpret_cast<TessCallback>(tessBegin));
    gluTessCallback(tess, GLU_TESS_VERTEX, reinterpret_cast<TessCallback>(tessVertex));
    gluTessCallback(tess, GLU_TESS_END, reinterpret_cast<TessCallback>(tessEnd));
    gluTessCallback(tess, GLU_TESS_ERROR, reinterpret_cast<TessCallback>(tessError));
    gluTessCallback(tess, GLU_TESS_COMBINE, reinterpret_cast<TessCallback>(tessCombine));
    feedContours(tess);
    gluDeleteTess(tess);
    currentSink = nullptr;
    return true;
}

ContourPoint* GlyphPolygonizer::addCrossing(double x, double y)
{
    crossings_.push_back({x, y, nullptr});
    return &crossings_.back();
}

void GlyphPolygonizer::endPolygon(GLUtesselator* tess)
{
    gluEndPolygon(tess);
    crossings_.clear();   // the polygon's vertices have all been handed to the sink
}

// A clockwise contour starts a new polygon; each hole joins the polygon of the outer contour it
// follows. The points go in backwards, which turns the outer contours counter-clockwise.
void GlyphPolygonizer::feedContours(GLUtesselator* tess)
{
    bool polygonOpen = false;
    for (int i = 0; i < vectorizer_->contourCount(); ++i) {
        Contour& contour = vectorizer_->contour(i);
        if (contour.isClockwise()) {
            if (polygonOpen)
                endPolygon(tess);
            gluBeginPolygon(tess);
            gluNextContour(tess, GLU_EXTERIOR);
            polygonOpen = true;
        } else if (polygonOpen) {
            gluNextContour(tess, GLU_INTERIOR);
        } else {
            continue;   // a hole with no outer contour before it
        }
        for (int j = contour.pointCount() - 1; j >= 0; --j) {
            ContourPoint& point = contour.point(j);
            GLdouble coords[3] = {point.x, point.y, 0.0};
            gluTessVertex(tess, coords, &point);
        }
    }
    if (polygonOpen)
        endPolygon(tess);
}
