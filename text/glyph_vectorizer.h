// text/glyph_vectorizer.h -- flattens a glyph's quadratic outline into closed polygons, outer contours
// each followed by their holes.
#pragma once

#include <vector>

#include "text/contour.h"
#include "text/glyph.h"

constexpr double kDefaultPrecisionPixels = 4.0;
constexpr double kMinPrecisionPixels = 0.01;

class GlyphVectorizer {
public:
    explicit GlyphVectorizer(const Glyph* glyph = nullptr);   // not owned
    virtual ~GlyphVectorizer();

    // The largest step, in pixels, that a curve is cut into; never below 0.01.
    void setPrecision(double pixels);
    double precision() const { return precision_; }

    // Flattens the glyph's outline; false when there is no glyph or it has no outline.
    bool vectorize();
    // Flattens an outline given directly; false when it is not well formed.
    bool vectorize(const GlyphOutline& outline);

    int contourCount() const { return static_cast<int>(contours_.size()); }
    const Contour& contour(int i) const { return contours_[i]; }
    Contour& contour(int i) { return contours_[i]; }

private:
    struct CurvePoint {
        double x;
        double y;
        bool on;
    };

    bool flattenOutline();
    void gatherContour(int first, int last);
    void flattenContour(Contour& contour);
    void addCurve(Contour& contour, const CurvePoint& a, const CurvePoint& b, const CurvePoint& c) const;
    void orderContours();

    const Glyph* glyph_;                  // not owned
    GlyphOutline outline_;
    double precision_ = kDefaultPrecisionPixels;
    std::vector<Contour> contours_;
    std::vector<CurvePoint> walk_;        // one contour's points in pixels, in the order they are walked
};
