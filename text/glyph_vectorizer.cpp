// text/glyph_vectorizer.cpp -- walking quadratic contours point by point, cutting curves into segments
// and putting each hole right after the outer contour that holds it.
#include "text/glyph_vectorizer.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPixelsPer26Dot6 = 1.0 / 64.0;
// More segments than this add nothing visible to any curve, and an outline with huge coordinates would
// otherwise cut one curve into billions of points.
constexpr double kMaxCurveSegments = 16384.0;

double midpoint(double a, double b) { return (a + b) / 2.0; }

}  // namespace

GlyphVectorizer::GlyphVectorizer(const Glyph* glyph) : glyph_(glyph) {}

GlyphVectorizer::~GlyphVectorizer() = default;

void GlyphVectorizer::setPrecision(double pixels)
{
    precision_ = std::max(pixels, kMinPrecisionPixels);
}

bool GlyphVectorizer::vectorize()
{
    if (glyph_ == nullptr || !glyph_->readOutline(outline_))
        return false;
    return flattenOutline();
}

bool GlyphVectorizer::vectorize(const GlyphOutline& outline)
{
    if (!isWellFormed(outline))
        return false;
    outline_ = outline;
    return flattenOutline();
}

bool GlyphVectorizer::flattenOutline()
{
    contours_.clear();
    contours_.resize(outline_.contourEnds.size());
    int first = 0;
    for (size_t i = 0; i < contours_.size(); ++i) {
        int last = outline_.contourEnds[i];
        gatherContour(first, last);
        flattenContour(contours_[i]);
        first = last + 1;
    }
    orderContours();
    return true;
}

// Takes the contour's points in pixels, starting at a point on the curve. Starting at a control point
// would leave the curve through it unwalked and close the contour with a straight edge across it; a
// contour made only of control points starts at the implied point between its last and first ones.
void GlyphVectorizer::gatherContour(int first, int last)
{
    walk_.clear();
    int start = first;
    while (start <= last && (outline_.flags[start] & kOnCurveFlag) == 0)
        ++start;
    if (start > last) {
        const OutlinePoint& a = outline_.points[last];
        const OutlinePoint& b = outline_.points[first];
        walk_.push_back({midpoint(a.x, b.x) * kPixelsPer26Dot6, midpoint(a.y, b.y) * kPixelsPer26Dot6, true});
        start = first;
    }
    int count = last - first + 1;
    for (int i = 0; i < count; ++i) {
        int index = first + (start - first + i) % count;
        walk_.push_back({outline_.points[index].x * kPixelsPer26Dot6, outline_.points[index].y * kPixelsPer26Dot6,
                         (outline_.flags[index] & kOnCurveFlag) != 0});
    }
}

// Each step looks at three consecutive points P1, P2, P3 and adds what lies from P1 up to the next
// point that the following step starts from; curves between two control points run through their
// midpoint.
void GlyphVectorizer::flattenContour(Contour& contour)
{
    contour.clear();
    int last = static_cast<int>(walk_.size()) - 1;
    for (int k = 1; k <= last; ++k) {
        const CurvePoint& p1 = walk_[k - 1];
        const CurvePoint& p2 = walk_[k];
        const CurvePoint& p3 = walk_[k == last ? 0 : k + 1];
        CurvePoint m12 = {midpoint(p1.x, p2.x), midpoint(p1.y, p2.y), true};
        CurvePoint m23 = {midpoint(p2.x, p3.x), midpoint(p2.y, p3.y), true};
        bool closesAtP3 = k + 1 == last;
        if (p1.on && p2.on) {
            contour.addPoint(p1.x, p1.y);
            if (k == last)
                contour.addPoint(p2.x, p2.y);
        } else if (p1.on && p3.on) {
            contour.addPoint(p1.x, p1.y);
            addCurve(contour, p1, p2, p3);
            if (closesAtP3)
                contour.addPoint(p3.x, p3.y);
        } else if (p1.on) {
            contour.addPoint(p1.x, p1.y);
            addCurve(contour, p1, p2, m23);
        } else if (!p2.on && p3.on) {
            contour.addPoint(m12.x, m12.y);
            addCurve(contour, m12, p2, p3);
            if (closesAtP3)
                contour.addPoint(p3.x, p3.y);
        } else if (!p2.on) {
            contour.addPoint(m12.x, m12.y);
            addCurve(contour, m12, p2, m23);
        }
        // P1 off and P2 on: P2 starts the next step.
    }
    contour.close();
}

// The points strictly between A and C on the quadratic curve with control B, about one per
// `precision_` pixels of the curve's extent.
void GlyphVectorizer::addCurve(Contour& contour, const CurvePoint& a, const CurvePoint& b,
                               const CurvePoint& c) const
{
    double width = std::max({a.x, b.x, c.x}) - std::min({a.x, b.x, c.x});
    double height = std::max({a.y, b.y, c.y}) - std::min({a.y, b.y, c.y});
    int n = static_cast<int>(std::min(std::floor(std::max(width, height) / precision_ + 0.5), kMaxCurveSegments));
    if (n <= 0)
        return;
    double step = 1.0 / n;
    double t = step;
    for (int j = 1; j < n; ++j) {
        double u = 1.0 - t;
        contour.addPoint(a.x * u * u + b.x * 2.0 * t * u + c.x * t * t,
                         a.y * u * u + b.y * 2.0 * t * u + c.y * t * t);
        t += step;
    }
}

void GlyphVectorizer::orderContours()
{
    int count = contourCount();
    std::vector<bool> placed(static_cast<size_t>(count), false);
    std::vector<Contour> ordered;
    ordered.reserve(static_cast<size_t>(count));
    auto place = [&](int i) {
        placed[i] = true;
        ordered.push_back(std::move(contours_[i]));
    };
    for (;;) {
        int outer = 0;
        while (outer < count && (placed[outer] || !contours_[outer].isClockwise()))
            ++outer;
        if (outer == count)
            break;
        place(outer);
        size_t q = ordered.size() - 1;
        for (int r = 0; r < count; ++r) {
            const Contour& hole = contours_[r];
            if (placed[r] || hole.isClockwise() || hole.pointCount() == 0)
                continue;
            if (hole.boxLiesWithin(ordered[q]) && ordered[q].encloses(hole.point(0).x, hole.point(0).y))
                place(r);
        }
    }
    for (int i = 0; i < count; ++i)
        if (!placed[i])
            place(i);
    contours_ = std::move(ordered);
}
