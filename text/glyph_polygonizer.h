// text/glyph_polygonizer.h -- cuts a flattened glyph into triangles with the GLU tessellator and hands
// them to a sink.
#pragma once

#include <deque>
#include <memory>

#include "text/glyph_vectorizer.h"

class GlyphPolygonizer;
struct GLUtesselator;

// Receives the tessellator's output. The default sink draws it with OpenGL immediate-mode calls.
class PolygonSink {
public:
    virtual ~PolygonSink();
    virtual void begin(unsigned int primitiveType);   // a GLenum such as GL_TRIANGLES
    virtual void vertex(const ContourPoint& point);
    virtual void end();
    virtual void error(unsigned int code);           // a GLU error code

    bool verbose = false;                       // print tessellator errors on stdout
    GlyphPolygonizer* polygonizer = nullptr;    // the polygonizer being served
};

class GlyphPolygonizer {
public:
    // With a vectorizer of its own (none given) it flattens the glyph itself; a given one is used as it
    // stands and is not owned.
    explicit GlyphPolygonizer(const Glyph* glyph, GlyphVectorizer* vectorizer = nullptr);
    virtual ~GlyphPolygonizer();
    GlyphPolygonizer(const GlyphPolygonizer&) = delete;
    GlyphPolygonizer& operator=(const GlyphPolygonizer&) = delete;

    void setPrecision(double pixels);   // for an own vectorizer

    // Feeds every outer contour and its holes to the tessellator as one polygon; the output goes to
    // the sink (the default sink when null). False when no tessellator or no outline could be had.
    bool polygonize(PolygonSink* sink = nullptr);

    // A vertex where two edges cross, kept until the polygon that needs it is finished.
    ContourPoint* addCrossing(double x, double y);

private:
    void feedContours(GLUtesselator* tess);
    void endPolygon(GLUtesselator* tess);

    const Glyph* glyph_;                                // not owned
    std::unique_ptr<GlyphVectorizer> ownVectorizer_;   // null when the caller gave one
    GlyphVectorizer* vectorizer_;                       // the one in use
    PolygonSink defaultSink_;
    std::deque<ContourPoint> crossings_;                // stable addresses while a polygon is open
};
