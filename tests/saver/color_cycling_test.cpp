// tests/saver/color_cycling_test.cpp -- colours walking between 0 and 1 and turning at the ends.
#include "saver/color_cycling.h"

#include "tests/saver/saver_test_support.h"

namespace {

using ColorCyclingTest = SaverTest;

TEST_F(ColorCyclingTest, ClampsAtOneAndTurnsTheRate)
{
    ClockScene scene;
    scene.partColors[0][0] = 0.95f;
    scene.partRates[0][0] = 0.1f;
    cycleColors(scene);
    EXPECT_EQ(1.0f, scene.partColors[0][0]);
    EXPECT_EQ(-0.1f, scene.partRates[0][0]);
    cycleColors(scene);
    EXPECT_EQ(1.0f - 0.1f, scene.partColors[0][0]);
}

TEST_F(ColorCyclingTest, ClampsAtZeroAndTurnsTheRate)
{
    ClockScene scene;
    scene.markerColors[11][2] = 0.0f;
    scene.markerRates[11][2] = -0.05f;
    cycleColors(scene);
    EXPECT_EQ(0.0f, scene.markerColors[11][2]);
    EXPECT_EQ(0.05f, scene.markerRates[11][2]);
    cycleColors(scene);
    EXPECT_EQ(0.05f, scene.markerColors[11][2]);
}

TEST_F(ColorCyclingTest, EqualSlotsStayEqualAndAlphaNeverMoves)
{
    ClockScene scene;
    for (auto* color : {scene.partColors[1], scene.markerColors[4]}) {
        color[0] = 0.3f, color[1] = 0.77f, color[2] = 0.01f, color[3] = 0.5f;
    }
    for (auto* rates : {scene.partRates[1], scene.markerRates[4]}) {
        rates[0] = 0.07f, rates[1] = -0.03f, rates[2] = 0.1f;
    }
    for (int step = 0; step < 5000; ++step) {
        cycleColors(scene);
        for (int c = 0; c < 4; ++c) ASSERT_EQ(scene.partColors[1][c], scene.markerColors[4][c]) << step;
        for (float v : scene.partColors[1]) {
            ASSERT_GE(v, 0.0f);
            ASSERT_LE(v, 1.0f);
        }
    }
    EXPECT_EQ(0.5f, scene.partColors[1][3]);
}

TEST_F(ColorCyclingTest, NothingMovesWhenCyclingIsOff)
{
    Settings.colorCycling = 0;
    ClockScene scene;
    scene.partColors[2][1] = 0.4f;
    scene.partRates[2][1] = 0.1f;
    for (int step = 0; step < 10; ++step) cycleColors(scene);
    EXPECT_EQ(0.4f, scene.partColors[2][1]);
    EXPECT_EQ(0.1f, scene.partRates[2][1]);
}

}  // namespace
