// Filling flattened glyphs with the tessellator: outer contours with their holes, stray holes,
// intersecting contours, and every glyph of the real font.
#include <gtest/gtest.h>

#include <GL/glu.h>

#include <set>

#include "outline_builder.h"
#include "recording_sink.h"
#include "text/font_engine.h"
#include "text/font_instance.h"
#include "text/glyph.h"
#include "text/glyph_polygonizer.h"
#include "text/glyph_vectorizer.h"
#include "text/text.h"

namespace {

constexpr double kAreaTolerance = 1e-6;   // square pixels

// Polygonizes a synthetic outline with the recording sink; the sink's vertices live in the vectorizer.
bool fill(const GlyphOutline& outline, GlyphVectorizer& vectorizer, RecordingSink& sink)
{
    if (!vectorizer.vectorize(outline))
        return false;
    GlyphPolygonizer polygonizer(nullptr, &vectorizer);
    return polygonizer.polygonize(&sink);
}

// Net area of the flattened contours: outer contours turn clockwise (negative), holes the other way.
double netArea(const GlyphVectorizer& vectorizer)
{
    double area = 0;
    for (int i = 0; i < vectorizer.contourCount(); ++i)
        area -= vectorizer.contour(i).area();
    return area;
}

}  // namespace

TEST(GlyphPolygonizerShapes, HoleIsLeftEmptyAndEveryVertexIsAContourPoint)
{
    GlyphOutline outline;
    addSquare(outline, 3, 3, 4, false);
    addSquare(outline, 0, 0, 10, true);
    GlyphVectorizer vectorizer;
    ASSERT_TRUE(vectorizer.vectorize(outline));
    std::set<const ContourPoint*> points;
    for (int i = 0; i < vectorizer.contourCount(); ++i)
        for (int j = 0; j < vectorizer.contour(i).pointCount(); ++j)
            points.insert(&vectorizer.contour(i).point(j));
    RecordingSink sink;
    GlyphPolygonizer polygonizer(nullptr, &vectorizer);
    ASSERT_TRUE(polygonizer.polygonize(&sink));
    EXPECT_TRUE(sink.errors.empty());
    EXPECT_NEAR(sink.filledArea(), 100.0 - 16.0, kAreaTolerance);
    for (const ContourPoint* vertex : sink.triangles)
        EXPECT_EQ(points.count(vertex), 1u);
}

TEST(GlyphPolygonizerShapes, EachOuterContourIsItsOwnPolygon)
{
    GlyphOutline outline;
    addSquare(outline, 0, 0, 10, true);
    addSquare(outline, 5, 0, 10, true);   // overlaps the first: two polygons drawn over each other
    GlyphVectorizer vectorizer;
    RecordingSink sink;
    ASSERT_TRUE(fill(outline, vectorizer, sink));
    EXPECT_TRUE(sink.errors.empty());
    EXPECT_NEAR(sink.filledArea(), 200.0, kAreaTolerance);
}

TEST(GlyphPolygonizerShapes, HolesWithoutAnyOuterContourDrawNothing)
{
    GlyphOutline outline;
    addSquare(outline, 0, 0, 10, false);
    GlyphVectorizer vectorizer;
    RecordingSink sink;
    ASSERT_TRUE(fill(outline, vectorizer, sink));
    EXPECT_EQ(sink.primitives, 0);
    EXPECT_TRUE(sink.errors.empty());
}

TEST(GlyphPolygonizerShapes, HoleOutsideEveryOuterContourJoinsTheLastPolygon)
{
    GlyphOutline outline;
    addSquare(outline, 0, 0, 10, true);
    addSquare(outline, 20, 0, 4, false);
    GlyphVectorizer vectorizer;
    RecordingSink sink;
    ASSERT_TRUE(fill(outline, vectorizer, sink));
    // The odd winding rule fills a lone interior contour like any other region.
    EXPECT_NEAR(sink.filledArea(), 116.0, kAreaTolerance);
}

TEST(GlyphPolygonizerShapes, CrossingContoursAreFilledWithNewVerticesAtTheCrossings)
{
    GlyphOutline outline;
    addSquare(outline, 0, 0, 10, true);
    addSquare(outline, 5, 2, 10, false);   // a "hole" that sticks out of its outer contour
    GlyphVectorizer vectorizer;
    ASSERT_TRUE(vectorizer.vectorize(outline));
    RecordingSink sink;
    GlyphPolygonizer polygonizer(nullptr, &vectorizer);
    ASSERT_TRUE(polygonizer.polygonize(&sink));
    EXPECT_TRUE(sink.errors.empty());
    // Odd winding: the outer square and the stray square less twice their overlap of 5 x 8.
    EXPECT_NEAR(sink.filledArea(), 100.0 + 100.0 - 2 * 40.0, kAreaTolerance);
}

TEST(GlyphPolygonizerSink, DefaultSinkReportsErrorsOnlyWhenVerbose)
{
    PolygonSink sink;
    ::testing::internal::CaptureStdout();
    sink.error(GLU_TESS_NEED_COMBINE_CALLBACK);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    sink.verbose = true;
    ::testing::internal::CaptureStdout();
    sink.error(GLU_TESS_NEED_COMBINE_CALLBACK);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "GLU error #100156 (need combine callback)\n");
}

TEST(GlyphPolygonizerFont, EveryGlyphIsFilledWithoutErrorsAtSeveralSizes)
{
    constexpr int kRegisteredSign = 174;   // the R's counter goes with the ring, the first outer holding it
    FontFace face;
    ASSERT_TRUE(face.open(TOCKWHEEL_FONT_FILE));
    for (int pointSize : {8, 12, 20, 36}) {
        FontInstance instance(face);
        ASSERT_TRUE(instance.create(pointSize));
        GlyphSet glyphs(instance);
        ASSERT_TRUE(glyphs.create());
        for (int code = 32; code < kCharCodeCount; ++code) {
            const Glyph* glyph = glyphs.glyph(code);
            ASSERT_NE(glyph, nullptr) << "code " << code;
            GlyphVectorizer vectorizer(glyph);
            ASSERT_TRUE(vectorizer.vectorize());
            RecordingSink sink;
            GlyphPolygonizer polygonizer(nullptr, &vectorizer);
            ASSERT_TRUE(polygonizer.polygonize(&sink));
            EXPECT_TRUE(sink.errors.empty()) << "code " << code << " at " << pointSize << " points";
            // At small sizes the coarse segments of a curve cross the stroke's other side, so the
            // filled area comes close to the contours' net area rather than equal to it.
            if (code != kRegisteredSign) {
                EXPECT_NEAR(sink.filledArea(), netArea(vectorizer), 0.03 * netArea(vectorizer) + kAreaTolerance)
                    << "code " << code << " at " << pointSize << " points";
            }
        }
    }
}
