// tests/text/recording_sink.h -- a polygon sink that keeps the tessellator's triangles and errors.
#pragma once

#include <GL/gl.h>

#include <cmath>
#include <vector>

#include "text/glyph_polygonizer.h"

class RecordingSink : public PolygonSink {
public:
    void begin(unsigned int type) override
    {
        primitive = type;
        strip.clear();
    }
    void vertex(const ContourPoint& point) override { strip.push_back(&point); }
    void end() override { collectTriangles(); }
    void error(unsigned int code) override { errors.push_back(code); }

    double filledArea() const
    {
        double area = 0;
        for (size_t i = 0; i + 2 < triangles.size(); i += 3) {
            const ContourPoint& a = *triangles[i];
            const ContourPoint& b = *triangles[i + 1];
            const ContourPoint& c = *triangles[i + 2];
            area += std::fabs((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y)) / 2;
        }
        return area;
    }

    std::vector<const ContourPoint*> triangles;   // three per triangle
    std::vector<unsigned int> errors;
    int primitives = 0;

private:
    void collectTriangles()
    {
        ++primitives;
        for (size_t i = 2; i < strip.size(); ++i) {
            if (primitive == GL_TRIANGLES && i % 3 != 2)
                continue;
            if (primitive == GL_TRIANGLE_FAN)
                triangles.insert(triangles.end(), {strip[0], strip[i - 1], strip[i]});
            else
                triangles.insert(triangles.end(), {strip[i - 2], strip[i - 1], strip[i]});
        }
    }

    unsigned int primitive = 0;
    std::vector<const ContourPoint*> strip;
};
