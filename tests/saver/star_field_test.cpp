// tests/saver/star_field_test.cpp -- seeding, wrapping, the slow reversal and plotting of star layers.
#include "saver/star_field.h"

#include <memory>

#include "tests/saver/fake_display.h"
#include "tests/saver/saver_test_support.h"

namespace {

class StarFieldTest : public SaverTest {
protected:
    std::unique_ptr<StarLayer> owned = std::make_unique<StarLayer>();
    StarLayer& layer = *owned;
};

TEST_F(StarFieldTest, SeedsXThenYOnWholePixelsPerStar)
{
    std::vector<int> d = drawsAfterSeed(3, 2 * 175 + 1);
    initStarLayer(layer, 640, 480, 175);
    EXPECT_EQ(d[350], platform::rand());
    EXPECT_EQ(175, layer.count);
    for (int i = 0; i < 175; ++i) {
        EXPECT_EQ(static_cast<float>(d[2 * i] % 640), layer.xs[i]);
        EXPECT_EQ(static_cast<float>(d[2 * i + 1] % 480), layer.ys[i]);
    }
    EXPECT_EQ(0, layer.drift);
    EXPECT_EQ(0, layer.tick);
    EXPECT_EQ(1, layer.direction);
}

TEST_F(StarFieldTest, CountsOutsideTheRoomGiveEmptyOrFullLayers)
{
    std::vector<int> d = drawsAfterSeed(8, 1);
    initStarLayer(layer, 640, 480, -2048);
    EXPECT_EQ(0, layer.count);
    EXPECT_EQ(d[0], platform::rand()) << "an empty layer draws nothing";
    initStarLayer(layer, 640, 480, 8191);
    EXPECT_EQ(8191, layer.count);
    initStarLayer(layer, 640, 480, 20000);
    EXPECT_EQ(kStarLayerCapacity, layer.count);
}

TEST_F(StarFieldTest, StarsWrapAtBothEdges)
{
    initStarLayer(layer, 640, 480, 2);
    layer.xs[0] = 2;
    layer.xs[1] = 638;
    advanceStarLayer(layer, kStarsHorizontal, 5);   // direction 1: left
    EXPECT_EQ(637.0f, layer.xs[0]);
    EXPECT_EQ(633.0f, layer.xs[1]);
    layer.direction = -1;
    layer.xs[1] = 638;
    advanceStarLayer(layer, kStarsHorizontal, 5);
    EXPECT_EQ(3.0f, layer.xs[1]);
    layer.ys[0] = 478;
    advanceStarLayer(layer, kStarsVertical, 2);
    EXPECT_EQ(480.0f, layer.ys[0]) << "exactly the height is not above it";
    advanceStarLayer(layer, kStarsVertical, 2);
    EXPECT_EQ(2.0f, layer.ys[0]);
}

TEST_F(StarFieldTest, OtherOrientationsMoveNothing)
{
    initStarLayer(layer, 640, 480, 50);
    StarLayer before = layer;
    for (int orientation : {0, 500, 503, -501}) advanceStarLayer(layer, orientation, 4);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(before.xs[i], layer.xs[i]);
        EXPECT_EQ(before.ys[i], layer.ys[i]);
    }
    EXPECT_EQ(4, layer.tick) << "the reversal cycle still counts";
}

// Steps until the layer's direction next changes.
int stepsToReversal(StarLayer& layer, int speed)
{
    int16_t direction = layer.direction;
    for (int n = 1; n < 100000; ++n) {
        advanceStarLayer(layer, kStarsHorizontal, speed);
        if (layer.direction != direction) return n;
    }
    return -1;
}

TEST_F(StarFieldTest, ReversesAfterItsCruiseThenEveryCycle)
{
    for (int v : {1, 3, 5, 8}) {
        SCOPED_TRACE(v);
        initStarLayer(layer, 640, 480, 1);
        EXPECT_EQ(42000 + v - 1, stepsToReversal(layer, v));
        EXPECT_EQ(42000 + 2 * v, stepsToReversal(layer, v));
        EXPECT_EQ(42000 + 2 * v, stepsToReversal(layer, v));
    }
}

TEST_F(StarFieldTest, SlowsToAHaltAndSpeedsUpTheOtherWay)
{
    initStarLayer(layer, 1000000, 480, 1);
    layer.xs[0] = 500000;
    for (int n = 0; n < 41999; ++n) advanceStarLayer(layer, kStarsHorizontal, 5);
    EXPECT_EQ(500000.0f - 5 * 41999, layer.xs[0]);
    float moves[11];
    for (float& move : moves) {
        float before = layer.xs[0];
        advanceStarLayer(layer, kStarsHorizontal, 5);
        move = layer.xs[0] - before;
    }
    const float expected[11] = {-4, -3, -2, -1, 0, 1, 2, 3, 4, 5, 5};
    for (int i = 0; i < 11; ++i) EXPECT_EQ(expected[i], moves[i]) << "step " << 42000 + i;
    EXPECT_EQ(0, layer.tick) << "the cycle of 42,010 steps starts again";
}

TEST_F(StarFieldTest, SpeedZeroNeverMoves)
{
    initStarLayer(layer, 640, 480, 10);
    StarLayer before = layer;
    for (int n = 0; n < 43000; ++n) advanceStarLayer(layer, kStarsVertical, 0);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(before.ys[i], layer.ys[i]);
}

TEST_F(StarFieldTest, PlotsEveryStarTruncatedInOneBracket)
{
    resetFakeDisplay();
    initStarLayer(layer, 640, 480, 3);
    layer.xs[0] = 10.9f, layer.ys[0] = 20.2f;
    layer.xs[1] = 640.0f, layer.ys[1] = 0.0f;
    layer.xs[2] = 0.5f, layer.ys[2] = 479.99f;
    drawStarLayer(layer, 120, 121, 122);
    EXPECT_EQ(120, fake.color[0]);
    EXPECT_EQ(122, fake.color[2]);
    EXPECT_EQ(1, fake.pixelBrackets);
    ASSERT_EQ(3u, fake.pixels.size());
    EXPECT_EQ(10, fake.pixels[0].x);
    EXPECT_EQ(20, fake.pixels[0].y);
    EXPECT_EQ(640, fake.pixels[1].x) << "the framework clips it";
    EXPECT_EQ(0, fake.pixels[2].x);
    EXPECT_EQ(479, fake.pixels[2].y);
}

}  // namespace
