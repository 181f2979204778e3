// fuzz/glyph_fuzz.cpp -- feeds arbitrary quadratic outlines to the glyph vectorizer and checks the
// flattened contours: only well-formed outlines are taken, every point is finite and inside the
// outline's control box, no contour is lost or duplicated by the ordering, and every hole follows the
// first outer contour that holds it.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "text/glyph_outline.h"
#include "text/glyph_vectorizer.h"

namespace {

constexpr int kMaxContours = 4;
constexpr int kMaxContourPoints = 16;
constexpr int kMaxScaleShift = 12;        // coordinates up to 2^27 in 26.6, about two million pixels
constexpr double kPixelsPer26Dot6 = 1.0 / 64.0;

void require(bool condition)
{
    if (!condition) std::abort();
}

struct ByteReader {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    uint8_t next() { return at < size ? data[at++] : 0; }
    int16_t next16() { return int16_t(next() | next() << 8); }
};

// Header: precision, scale, mode; a "raw" outline keeps its flags and contour ends as given, so that
// malformed outlines are offered too.
GlyphOutline readOutline(ByteReader& in, bool raw, int scaleShift)
{
    GlyphOutline outline;
    int contours = in.next() % (kMaxContours + 1);
    int point = -1;
    for (int c = 0; c < contours; ++c) {
        int count = raw ? int(in.next16()) : 1 + in.next() % kMaxContourPoints;
        for (int i = 0; i < (raw ? in.next() % kMaxContourPoints : count); ++i) {
            uint8_t flag = in.next();
            long x = long(in.next16()) * (1L << scaleShift);
            long y = long(in.next16()) * (1L << scaleShift);
            outline.points.push_back({x, y});
            outline.flags.push_back(flag);
        }
        point = raw ? count : point + count;
        outline.contourEnds.push_back(point);
    }
    if (raw && (in.next() & 1)) outline.flags.push_back(0);
    return outline;
}

struct Box {
    double xMin = 1e300, xMax = -1e300, yMin = 1e300, yMax = -1e300;
};

Box controlBox(const GlyphOutline& outline)
{
    Box box;
    for (const OutlinePoint& p : outline.points) {
        box.xMin = std::min(box.xMin, p.x * kPixelsPer26Dot6);
        box.xMax = std::max(box.xMax, p.x * kPixelsPer26Dot6);
        box.yMin = std::min(box.yMin, p.y * kPixelsPer26Dot6);
        box.yMax = std::max(box.yMax, p.y * kPixelsPer26Dot6);
    }
    return box;
}

void checkPoints(const GlyphVectorizer& vectorizer, const Box& box)
{
    double slack = 1e-9 * std::max({1.0, std::fabs(box.xMin), std::fabs(box.xMax), std::fabs(box.yMin),
                                    std::fabs(box.yMax)});
    for (int c = 0; c < vectorizer.contourCount(); ++c) {
        const Contour& contour = vectorizer.contour(c);
        require(contour.isClockwise() == (contour.area() < 0.0));
        for (int i = 0; i < contour.pointCount(); ++i) {
            const ContourPoint& p = contour.point(i);
            require(std::isfinite(p.x) && std::isfinite(p.y));
            require(p.x >= box.xMin - slack && p.x <= box.xMax + slack);
            require(p.y >= box.yMin - slack && p.y <= box.yMax + slack);
        }
    }
}

// Each contour flattened on its own, as (point count, area) pairs, to compare with the ordered set.
std::vector<std::pair<int, double>> contourKeys(const GlyphOutline& outline, double precision)
{
    std::vector<std::pair<int, double>> keys;
    int first = 0;
    for (int end : outline.contourEnds) {
        GlyphOutline one;
        one.points.assign(outline.points.begin() + first, outline.points.begin() + end + 1);
        one.flags.assign(outline.flags.begin() + first, outline.flags.begin() + end + 1);
        one.contourEnds.push_back(end - first);
        GlyphVectorizer single;
        single.setPrecision(precision);
        require(single.vectorize(one) && single.contourCount() == 1);
        keys.push_back({single.contour(0).pointCount(), single.contour(0).area()});
        first = end + 1;
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

bool holds(const Contour& outer, const Contour& hole)
{
    return hole.pointCount() > 0 && hole.boxLiesWithin(outer) && outer.encloses(hole.point(0).x, hole.point(0).y);
}

// A hole sits after the first outer contour (in output order) that holds it, with no other outer
// between them; a hole that no outer holds comes after every outer.
void checkOrder(const GlyphVectorizer& vectorizer)
{
    int count = vectorizer.contourCount();
    for (int h = 0; h < count; ++h) {
        const Contour& hole = vectorizer.contour(h);
        if (hole.isClockwise()) continue;
        int firstHolder = -1;
        for (int o = 0; o < count && firstHolder < 0; ++o)
            if (vectorizer.contour(o).isClockwise() && holds(vectorizer.contour(o), hole)) firstHolder = o;
        int lastOuterBefore = -1;
        for (int o = 0; o < h; ++o)
            if (vectorizer.contour(o).isClockwise()) lastOuterBefore = o;
        if (firstHolder >= 0) {
            require(firstHolder == lastOuterBefore);
        } else {
            for (int o = h + 1; o < count; ++o) require(!vectorizer.contour(o).isClockwise());
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ByteReader in{data, size};
    double precision = (in.next() + 1) / 16.0;   // 0.06 to 16 pixels
    uint8_t mode = in.next();
    bool raw = mode & 0x80;
    int scaleShift = (mode & 0x0F) % (kMaxScaleShift + 1);
    GlyphOutline outline = readOutline(in, raw, scaleShift);

    GlyphVectorizer vectorizer;
    vectorizer.setPrecision(precision);
    bool taken = vectorizer.vectorize(outline);
    require(taken == isWellFormed(outline));
    if (!taken) return 0;
    require(vectorizer.contourCount() == int(outline.contourEnds.size()));
    checkPoints(vectorizer, controlBox(outline));

    std::vector<std::pair<int, double>> ordered;
    for (int c = 0; c < vectorizer.contourCount(); ++c)
        ordered.push_back({vectorizer.contour(c).pointCount(), vectorizer.contour(c).area()});
    std::sort(ordered.begin(), ordered.end());
    require(ordered == contourKeys(outline, precision));
    checkOrder(vectorizer);
    return 0;
}
