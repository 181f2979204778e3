// Flattening synthetic outlines: the six point patterns, the wrap, curve precision, repeated points,
// the area and turn, and the order of outer contours and holes.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include <utility>
#include <vector>

#include "outline_builder.h"
#include "text/glyph_vectorizer.h"

namespace {

constexpr double kCoarse = 100.0;   // pixels: no curve in these outlines gets an inner point
constexpr double kTolerance = 1e-9;

using Points = std::vector<std::pair<double, double>>;

Points pointsOf(const Contour& contour)
{
    Points points;
    for (int i = 0; i < contour.pointCount(); ++i)
        points.emplace_back(contour.point(i).x, contour.point(i).y);
    return points;
}

void expectPoints(const Contour& contour, const Points& expected)
{
    Points got = pointsOf(contour);
    ASSERT_EQ(got.size(), expected.size()) << "got " << ::testing::PrintToString(got) << " expected "
                                           << ::testing::PrintToString(expected);
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i].first, expected[i].first, kTolerance) << "point " << i;
        EXPECT_NEAR(got[i].second, expected[i].second, kTolerance) << "point " << i;
    }
}

// One contour flattened at a precision.
Contour flattenOne(std::initializer_list<PixelPoint> points, double precision)
{
    GlyphOutline outline;
    addContour(outline, points);
    GlyphVectorizer vectorizer;
    vectorizer.setPrecision(precision);
    EXPECT_TRUE(vectorizer.vectorize(outline));
    EXPECT_EQ(vectorizer.contourCount(), 1);
    return vectorizer.contour(0);
}

// The quadratic curve from a to c with control b at t.
std::pair<double, double> curveAt(PixelPoint a, PixelPoint b, PixelPoint c, double t)
{
    double u = 1.0 - t;
    return {a.x * u * u + b.x * 2 * t * u + c.x * t * t, a.y * u * u + b.y * 2 * t * u + c.y * t * t};
}

}  // namespace

// ---- Point patterns ---------------------------------------------------------------------------------

TEST(GlyphVectorizerPatterns, PointsOnTheCurveBecomeCornersAndTheLastIsKept)
{
    expectPoints(flattenOne({{0, 0, true}, {0, 10, true}, {10, 10, true}, {10, 0, true}}, 4.0),
                 {{0, 0}, {0, 10}, {10, 10}, {10, 0}});
}

TEST(GlyphVectorizerPatterns, OnOffOnCurveEndsAtItsLastPoint)
{
    PixelPoint a{0, 0, true}, b{5, 10, false}, c{10, 0, true};
    // Extent 10 at precision 4: three segments, two inner points.
    Contour contour = flattenOne({a, b, c}, 4.0);
    expectPoints(contour, {{0, 0}, curveAt(a, b, c, 1.0 / 3), curveAt(a, b, c, 2.0 / 3), {10, 0}});
}

TEST(GlyphVectorizerPatterns, TwoControlPointsMeetAtTheirMidpoint)
{
    // on, off, off, on: the curves join at the midpoint of the two controls; the last point is kept.
    expectPoints(flattenOne({{0, 0, true}, {0, 8, false}, {8, 8, false}, {8, 0, true}}, kCoarse),
                 {{0, 0}, {4, 8}, {8, 0}});
}

TEST(GlyphVectorizerPatterns, ThreeControlPointsInARowAndTheWrapToTheFirstPoint)
{
    // on, off, off, off: implied points between each pair of controls, the last curve ends on the first
    // point, which is not repeated.
    expectPoints(flattenOne({{0, 0, true}, {0, 8, false}, {8, 8, false}, {8, 0, false}}, kCoarse),
                 {{0, 0}, {4, 8}, {8, 4}});
}

TEST(GlyphVectorizerPatterns, LastPointOffCurvesBackToTheFirst)
{
    PixelPoint a{0, 0, true}, d{10, 0, false}, c{10, 10, true};
    Contour contour = flattenOne({a, {0, 10, true}, c, d}, 4.0);
    expectPoints(contour, {{0, 0}, {0, 10}, {10, 10}, curveAt(c, d, a, 1.0 / 3), curveAt(c, d, a, 2.0 / 3)});
}

TEST(GlyphVectorizerPatterns, FirstPointOffIsWalkedAsACurve)
{
    // The contour starts on a control point: the curve through it must not become a straight edge.
    PixelPoint control{0, 10, false}, end{10, 10, true}, corner{0, 0, true};
    Contour contour = flattenOne({control, end, {10, 0, true}, corner}, 4.0);
    expectPoints(contour, {{10, 10}, {10, 0}, {0, 0}, curveAt(corner, control, end, 1.0 / 3),
                           curveAt(corner, control, end, 2.0 / 3)});
}

TEST(GlyphVectorizerPatterns, ContourOfControlPointsOnlyIsARoundedShape)
{
    expectPoints(flattenOne({{0, 0, false}, {0, 10, false}, {10, 10, false}, {10, 0, false}}, kCoarse),
                 {{5, 0}, {0, 5}, {5, 10}, {10, 5}});
}

TEST(GlyphVectorizerPatterns, ContoursOfOneOrTwoPointsStayInsideTheirOutline)
{
    GlyphOutline outline;
    addContour(outline, {{3, 3, true}});
    addContour(outline, {{0, 0, true}, {4, 4, false}});
    GlyphVectorizer vectorizer;
    ASSERT_TRUE(vectorizer.vectorize(outline));
    ASSERT_EQ(vectorizer.contourCount(), 2);
    EXPECT_EQ(vectorizer.contour(0).pointCount(), 0);
    EXPECT_EQ(vectorizer.contour(1).point(0).x, 0.0);
}

TEST(GlyphVectorizerPatterns, MalformedOutlinesAreRefused)
{
    GlyphVectorizer vectorizer;
    GlyphOutline beyond;
    addContour(beyond, {{0, 0, true}, {1, 1, true}});
    beyond.contourEnds.back() = 5;
    EXPECT_FALSE(vectorizer.vectorize(beyond));
    GlyphOutline backwards;
    addContour(backwards, {{0, 0, true}, {1, 1, true}, {2, 0, true}});
    backwards.contourEnds = {2, 1};
    EXPECT_FALSE(vectorizer.vectorize(backwards));
    GlyphOutline missingFlags;
    addContour(missingFlags, {{0, 0, true}, {1, 1, true}});
    missingFlags.flags.pop_back();
    EXPECT_FALSE(vectorizer.vectorize(missingFlags));
    EXPECT_FALSE(GlyphVectorizer(nullptr).vectorize());
}

// ---- Precision ---------------------------------------------------------------------------------------

TEST(GlyphVectorizerPrecision, InnerPointsFollowExtentOverPrecisionRounded)
{
    struct Case {
        double precision;
        int innerPoints;
    };
    // Extent 10 pixels: n = floor(10 / p + 0.5) segments, n - 1 inner points, none when n is 0.
    const Case cases[] = {{4.0, 2}, {2.5, 3}, {6.0, 1}, {13.0, 0}, {20.0, 0}, {21.0, 0}, {1.0, 9}, {0.0, 999}};
    for (const Case& c : cases) {
        Contour contour = flattenOne({{0, 0, true}, {5, 10, false}, {10, 0, true}}, c.precision);
        EXPECT_EQ(contour.pointCount(), 2 + c.innerPoints) << "precision " << c.precision;
    }
}

TEST(GlyphVectorizerPrecision, NeverFinerThanAHundredthOfAPixel)
{
    GlyphVectorizer vectorizer;
    vectorizer.setPrecision(-3.0);
    EXPECT_EQ(vectorizer.precision(), kMinPrecisionPixels);
    vectorizer.setPrecision(0.5);
    EXPECT_EQ(vectorizer.precision(), 0.5);
}

// Found by fuzzing: an outline with coordinates in the millions of pixels cut one curve into billions of
// points (and the count overflowed an int); a curve now has at most 16,384 segments.
TEST(GlyphVectorizerPrecision, HugeCurvesAreCutIntoABoundedNumberOfSegments)
{
    GlyphOutline outline;
    // Outline coordinates are C longs: 32 bits on Windows, where 2^30 is as far as they go.
    const long far = static_cast<long>(std::min<long long>(1LL << 40, std::numeric_limits<long>::max() / 2));
    outline.points = {{0, 0}, {far, far}, {2 * far, 0}};
    outline.flags = {kOnCurveFlag, 0, kOnCurveFlag};
    outline.contourEnds = {2};
    GlyphVectorizer vectorizer;
    vectorizer.setPrecision(kMinPrecisionPixels);
    ASSERT_TRUE(vectorizer.vectorize(outline));
    EXPECT_EQ(vectorizer.contour(0).pointCount(), 2 + 16383);
}

// ---- Points, area and turn ----------------------------------------------------------------------------

TEST(ContourPoints, RepeatsWithinOneHundredMillionthArePassedOver)
{
    Contour contour;
    contour.addPoint(1.0, 1.0);
    contour.addPoint(1.0 + 5e-9, 1.0 - 5e-9);
    EXPECT_EQ(contour.pointCount(), 1);
    contour.addPoint(1.0 + 2e-8, 1.0);   // apart in x alone is enough
    contour.addPoint(1.0 + 2e-8, 1.0 + 2e-8);
    EXPECT_EQ(contour.pointCount(), 3);
    EXPECT_EQ(contour.point(2).data, nullptr);
}

TEST(ContourPoints, RepeatedOutlinePointsAndMeetingCurvesGiveNoZeroLengthEdge)
{
    Contour contour = flattenOne({{0, 0, true}, {0, 0, true}, {0, 10, true}, {0, 10, false}, {10, 10, true}}, 4.0);
    for (int i = 1; i < contour.pointCount(); ++i)
        EXPECT_FALSE(contour.point(i).x == contour.point(i - 1).x && contour.point(i).y == contour.point(i - 1).y)
            << "point " << i << " repeats its predecessor";
}

TEST(ContourPoints, ArrayGrowsByHalfWhenFull)
{
    Contour contour;
    EXPECT_EQ(contour.capacity(), 8);
    for (int i = 0; i < 9; ++i)
        contour.addPoint(i, 0);
    EXPECT_EQ(contour.capacity(), 12);
    for (int i = 9; i < 13; ++i)
        contour.addPoint(i, 0);
    EXPECT_EQ(contour.capacity(), 18);
}

TEST(ContourArea, ClockwiseOutlinesHaveNegativeArea)
{
    GlyphOutline outline;
    addSquare(outline, 0, 0, 10, true);
    addSquare(outline, 20, 0, 4, false);
    addContour(outline, {{1, 1, true}});
    GlyphVectorizer vectorizer;
    ASSERT_TRUE(vectorizer.vectorize(outline));
    ASSERT_EQ(vectorizer.contourCount(), 3);
    EXPECT_DOUBLE_EQ(vectorizer.contour(0).area(), -100.0);
    EXPECT_TRUE(vectorizer.contour(0).isClockwise());
    EXPECT_DOUBLE_EQ(vectorizer.contour(1).area(), 16.0);
    EXPECT_FALSE(vectorizer.contour(1).isClockwise());
    EXPECT_EQ(vectorizer.contour(2).area(), 0.0);   // a single point encloses nothing
    EXPECT_FALSE(vectorizer.contour(2).isClockwise());
}

TEST(ContourArea, BoundingBoxTakesEveryPoint)
{
    Contour contour = flattenOne({{2, 3, true}, {2, 9, true}, {7, 9, true}, {7, 3, true}}, 4.0);
    EXPECT_EQ(contour.xMin(), 2.0);
    EXPECT_EQ(contour.xMax(), 7.0);
    EXPECT_EQ(contour.yMin(), 3.0);
    EXPECT_EQ(contour.yMax(), 9.0);
    Contour empty;
    EXPECT_EQ(empty.xMin(), 1e20);
    EXPECT_EQ(empty.xMax(), -1e20);
}

// ---- Contour order -----------------------------------------------------------------------------------

TEST(GlyphVectorizerOrder, EachHoleFollowsItsOuterContourAndStrayHolesComeLast)
{
    GlyphOutline outline;
    addSquare(outline, 2, 2, 4, false);     // 0: hole of the first outer contour, given first
    addSquare(outline, 50, 0, 3, false);    // 1: a hole outside every outer contour
    addSquare(outline, 0, 0, 10, true);     // 2: outer
    addSquare(outline, 20, 0, 10, true);    // 3: second outer
    addSquare(outline, 23, 3, 2, false);    // 4: hole of the second outer
    GlyphVectorizer vectorizer;
    ASSERT_TRUE(vectorizer.vectorize(outline));
    ASSERT_EQ(vectorizer.contourCount(), 5);
    const double expectedXMin[] = {0, 2, 20, 23, 50};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(vectorizer.contour(i).xMin(), expectedXMin[i]) << "contour " << i;
}

TEST(GlyphVectorizerOrder, HoleInTheNotchOfAConcaveOuterIsNotItsHole)
{
    GlyphOutline outline;
    // A "C" opening to the right (clockwise), and a small hole sitting in its notch.
    addContour(outline, {{0, 0, true}, {0, 10, true}, {10, 10, true}, {10, 8, true}, {2, 8, true}, {2, 2, true},
                         {10, 2, true}, {10, 0, true}});
    addSquare(outline, 5, 4, 2, false);
    addSquare(outline, 20, 0, 10, true);
    GlyphVectorizer vectorizer;
    ASSERT_TRUE(vectorizer.vectorize(outline));
    ASSERT_EQ(vectorizer.contourCount(), 3);
    EXPECT_EQ(vectorizer.contour(0).xMin(), 0.0);
    EXPECT_EQ(vectorizer.contour(1).xMin(), 20.0);
    EXPECT_EQ(vectorizer.contour(2).xMin(), 5.0);
}

TEST(ContourInside, RayThroughAVertexCrossesOnce)
{
    Contour square = flattenOne({{0, 0, true}, {0, 10, true}, {10, 10, true}, {10, 0, true}}, 4.0);
    EXPECT_TRUE(square.encloses(5, 5));
    EXPECT_FALSE(square.encloses(-1, 5));
    EXPECT_FALSE(square.encloses(11, 5));
    EXPECT_FALSE(square.encloses(5, 11));
    // The ray from the centre of a diamond runs through its left corner, where two edges meet.
    Contour diamond = flattenOne({{5, 0, true}, {0, 5, true}, {5, 10, true}, {10, 5, true}}, 4.0);
    EXPECT_TRUE(diamond.encloses(5, 5));
    EXPECT_FALSE(diamond.encloses(-1, 5));
}

TEST(GlyphVectorizerOrder, HoleLevelWithACornerOfItsOuterContourStillFollowsIt)
{
    GlyphOutline outline;
    addContour(outline, {{4, 5, true}, {5, 4, true}, {6, 5, true}, {5, 6, true}});         // the hole
    addContour(outline, {{5, 0, true}, {0, 5, true}, {5, 10, true}, {10, 5, true}});       // its outer
    addContour(outline, {{20, 0, true}, {20, 10, true}, {30, 10, true}, {30, 0, true}});   // a second outer
    GlyphVectorizer vectorizer;
    ASSERT_TRUE(vectorizer.vectorize(outline));
    EXPECT_EQ(vectorizer.contour(0).xMin(), 0.0);
    EXPECT_EQ(vectorizer.contour(1).xMin(), 4.0);
    EXPECT_EQ(vectorizer.contour(2).xMin(), 20.0);
}
