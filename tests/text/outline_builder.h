// tests/text/outline_builder.h -- synthetic glyph outlines written in whole pixels, for hand-checked cases.
#pragma once

#include <initializer_list>

#include "text/glyph_outline.h"

struct PixelPoint {
    double x;
    double y;
    bool on;
};

// Appends one closed contour; coordinates in pixels become 26.6 units.
inline void addContour(GlyphOutline& outline, std::initializer_list<PixelPoint> points)
{
    for (const PixelPoint& p : points) {
        outline.points.push_back({static_cast<long>(p.x * 64), static_cast<long>(p.y * 64)});
        outline.flags.push_back(p.on ? kOnCurveFlag : 0);
    }
    outline.contourEnds.push_back(static_cast<int>(outline.points.size()) - 1);
}

// Axis-aligned square of on-curve points, clockwise (outer) or counter-clockwise (hole) with y up.
inline void addSquare(GlyphOutline& outline, double x, double y, double side, bool clockwise)
{
    if (clockwise)
        addContour(outline, {{x, y, true}, {x, y + side, true}, {x + side, y + side, true}, {x + side, y, true}});
    else
        addContour(outline, {{x, y, true}, {x + side, y, true}, {x + side, y + side, true}, {x, y + side, true}});
}
