// text/glyph_outline.h -- a glyph's outline as quadratic contours, independent of the font engine.
#pragma once

#include <cstdint>
#include <vector>

constexpr uint8_t kOnCurveFlag = 0x01;   // bit 0 of a point's flag: the point lies on the curve

struct OutlinePoint {
    long x;   // 26.6 pixels
    long y;   // 26.6 pixels, y up
};

struct GlyphOutline {
    std::vector<OutlinePoint> points;
    std::vector<uint8_t> flags;        // one per point
    std::vector<int> contourEnds;      // index of the last point of each contour, increasing
};

// Points and flags agree in number and every contour end lies after the previous one and inside the
// points, so walking the contours never reads past the outline.
bool isWellFormed(const GlyphOutline& outline);
