// tests/saver/movement_test.cpp -- the movement styles: bounds, reversals, periods and the random pick.
#include "saver/movement.h"

#include <cmath>

#include "tests/saver/saver_test_support.h"

namespace {

class MovementTest : public SaverTest {
protected:
    ClockScene scene;

    void style(int value) { Settings.movementStyle = static_cast<int16_t>(value); }
    void steps(int n)
    {
        for (int i = 0; i < n; ++i) advanceMovement(scene);
    }
};

TEST_F(MovementTest, EveryStepBringsTheTimeAndMarkersOn)
{
    setenv("TOCKWHEEL_TIME", "2026-03-04T23:59:59", 1);
    style(99);   // no style: nothing moves, but the clock still keeps time
    steps(3);
    EXPECT_EQ(359.0f, scene.hourAngle);
    EXPECT_EQ(6.0f, scene.markerSpin);
    EXPECT_EQ(0.0f, scene.posX);
    EXPECT_EQ(0.0f, scene.posZ);
}

TEST_F(MovementTest, FlatBounceTurnsAtTwoPointEightWithoutClamping)
{
    style(kMove2DBounce);
    scene.speedX = 0.19f;
    scene.speedY = 0.07f;
    scene.dirX = 1;
    scene.dirY = 0;
    int turnsX = 0, turnsY = 0;
    int16_t lastDirX = 1, lastDirY = 0;
    for (int i = 0; i < 2000; ++i) {
        advanceMovement(scene);
        EXPECT_EQ(2.0f, scene.posZ);
        if (scene.dirX != lastDirX) {
            ++turnsX;
            // It turns on the step that reaches the bound, and may overshoot it by less than one step.
            EXPECT_TRUE(lastDirX == 1 ? scene.posX >= 2.8 : scene.posX <= -2.8) << scene.posX;
            EXPECT_LT(std::fabs(scene.posX) - 2.8, 0.19);
        }
        if (scene.dirY != lastDirY) ++turnsY;
        lastDirX = scene.dirX;
        lastDirY = scene.dirY;
    }
    EXPECT_GT(turnsX, 10);
    EXPECT_GT(turnsY, 3);
}

TEST_F(MovementTest, SpeedZeroNeverMovesNorFlips)
{
    for (int s : {kMove2DBounce, kMoveTwisty, kMove3DBounce, kMoveZigZag, kMoveRoll}) {
        scene = ClockScene();
        style(s);
        scene.speedX = 0;
        scene.speedZ = 0;
        scene.dirX = 0;
        scene.dirZ = 1;
        steps(500);
        EXPECT_EQ(0.0f, scene.posX) << "style " << s;
        EXPECT_EQ(0, scene.dirX) << "style " << s;
        EXPECT_EQ(1, scene.dirZ) << "style " << s;
    }
}

TEST_F(MovementTest, BoundsAreComparedInDoublePrecision)
{
    // 2.8f is above 2.8, so a float that equals 2.8f counts as reaching the bound.
    style(kMove2DBounce);
    scene.posX = 2.7f;
    scene.speedX = 2.8f - 2.7f;
    scene.dirX = 1;
    float reached = 2.7f + (2.8f - 2.7f);
    advanceMovement(scene);
    EXPECT_EQ(reached, scene.posX);
    EXPECT_EQ(reached >= 2.8 ? 0 : 1, scene.dirX);
}

TEST_F(MovementTest, TwistyTiltsToExactlyNinetyTwoEachWay)
{
    style(kMoveTwisty);
    scene.tiltDir = 1;
    float highest = 0, lowest = 0;
    for (int i = 0; i < 200; ++i) {
        advanceMovement(scene);
        highest = std::max(highest, scene.spinY);
        lowest = std::min(lowest, scene.spinY);
    }
    EXPECT_EQ(92.0f, highest);
    EXPECT_EQ(-92.0f, lowest);
    EXPECT_EQ(-1, scene.spinCount) << "the tilt is not counted";
}

TEST_F(MovementTest, SwingReversesAtExactlyOneHundredTen)
{
    style(kMoveSwing);
    scene.dirX = 1;
    scene.spinStep = 1;
    steps(110);
    EXPECT_EQ(110.0f, scene.swingZ);
    EXPECT_EQ(0, scene.dirX);
    EXPECT_EQ(-3.0f, scene.posY);
    EXPECT_EQ(2.0f, scene.posZ);
    steps(220);
    EXPECT_EQ(-110.0f, scene.swingZ);
    EXPECT_EQ(1, scene.dirX);
    EXPECT_EQ(330.0f, scene.spinX) << "the spins turn alongside";
}

TEST_F(MovementTest, BounceRisesNineStepsFallsNineAndLands)
{
    style(kMoveBounce);
    scene.speedZ = 0.1f;
    scene.dirZ = 1;
    scene.spinStep = 1;
    const float rise[9] = {2.2f, 4.7f, 5.95f, 6.575f, 6.8875f, 7.0435f, 7.1215f, 7.1605f, 7.18f};
    float y = -2.8f;
    for (int i = 0; i < 9; ++i) {
        advanceMovement(scene);
        y += bounceSteps[i];
        EXPECT_EQ(y, scene.posY) << "rise " << i;
        EXPECT_NEAR(rise[i], scene.posY, 1e-4) << "rise " << i;
    }
    EXPECT_EQ(-1, scene.dirY);
    for (int i = 9; i >= 2; --i) {
        advanceMovement(scene);
        y -= bounceSteps[i];
        EXPECT_EQ(y, scene.posY) << "fall " << i;
    }
    EXPECT_NEAR(4.69, scene.posY, 0.01);
    advanceMovement(scene);
    EXPECT_EQ(-2.8f, scene.posY) << "the 18th update lands on the floor";
    EXPECT_EQ(1, scene.dirY);
    EXPECT_EQ(0, bounceStep);
    advanceMovement(scene);
    EXPECT_EQ(-2.8f + 5.0f, scene.posY) << "and the next bounce starts";
    EXPECT_EQ(19.0f, scene.spinX);
}

TEST_F(MovementTest, DeepStylesRunDepthFromZeroToTwentyFive)
{
    for (int s : {kMove3DBounce, kMoveZigZag, kMoveBounce}) {
        scene = ClockScene();
        style(s);
        scene.speedZ = 0.39f;
        scene.dirZ = 1;
        float deepest = 0, nearest = 0;
        int turns = 0;
        int16_t lastDir = 1;
        for (int i = 0; i < 1000; ++i) {
            advanceMovement(scene);
            deepest = std::max(deepest, scene.posZ);
            nearest = std::min(nearest, scene.posZ);
            turns += scene.dirZ != lastDir;
            lastDir = scene.dirZ;
        }
        EXPECT_GE(deepest, 25.0f) << s;
        EXPECT_LT(deepest, 25.0f + 0.39f) << s;
        EXPECT_LE(nearest, 0.0f) << s;
        EXPECT_GT(nearest, -0.39f) << s;
        EXPECT_GE(turns, 10) << s;
    }
}

TEST_F(MovementTest, ThreeDBounceWidensTheBoxWithDepth)
{
    style(kMove3DBounce);
    scene.posZ = 25.0f;
    scene.dirZ = 1;
    scene.speedZ = 0;   // hold the depth
    scene.posX = 27.5f;
    scene.speedX = 0.2f;
    scene.dirX = 1;
    advanceMovement(scene);
    EXPECT_EQ(1, scene.dirX) << "27.7 is inside +-27.8";
    advanceMovement(scene);
    EXPECT_EQ(0, scene.dirX) << "27.9 is past the bound at depth 25";
    scene.posY = -27.78f;
    scene.speedY = 0.05f;
    scene.dirY = 0;
    advanceMovement(scene);
    EXPECT_EQ(1, scene.dirY);
}

TEST_F(MovementTest, TurningFromZeroWithMinusOneGoesTo359)
{
    style(kMoveTopSpin);
    scene.spinStep = -1;
    advanceMovement(scene);
    EXPECT_EQ(359.0f, scene.spinY);
    EXPECT_EQ(0.5f, scene.posZ);
    advanceMovement(scene);
    EXPECT_EQ(358.0f, scene.spinY);
}

TEST_F(MovementTest, TurningWithPlusOneShows360ThenOne)
{
    style(kMoveSideSpin);
    scene.spinStep = 1;
    steps(360);
    EXPECT_EQ(360.0f, scene.spinX) << "angles stay in (0, 360]";
    advanceMovement(scene);
    EXPECT_EQ(1.0f, scene.spinX);
}

TEST_F(MovementTest, SpinReversesOnceTheCountReachesFiveThousand)
{
    style(kMoveHorizontalOrbit);
    scene.spinStep = 1;
    steps(5000);
    EXPECT_EQ(4999, scene.spinCount);
    EXPECT_EQ(1, scene.spinStep);
    advanceMovement(scene);   // the count starts at -1, so the 5001st update reaches 5000
    EXPECT_EQ(0, scene.spinCount);
    EXPECT_EQ(-1, scene.spinStep);
    float angle = scene.orbitY;
    advanceMovement(scene);
    EXPECT_EQ(angle - 1, scene.orbitY);
    steps(4999);
    EXPECT_EQ(1, scene.spinStep) << "and again every 5000 updates";
    EXPECT_EQ(3.05f, scene.posZ);
}

TEST_F(MovementTest, OrbitsAndRollTurnOnlyTheirOwnAngle)
{
    style(kMoveVerticalOrbit);
    scene.spinStep = 1;
    steps(3);
    EXPECT_EQ(3.0f, scene.orbitX);
    EXPECT_EQ(0.0f, scene.orbitY);
    scene = ClockScene();
    style(kMoveRoll);
    scene.spinStep = 1;
    steps(4);
    EXPECT_EQ(4.0f, scene.spinZ);
    EXPECT_EQ(0.0f, scene.spinX);
    EXPECT_EQ(2.0f, scene.posZ);
    scene = ClockScene();
    style(kMoveXYZRotate);
    scene.spinStep = -1;
    steps(2);
    EXPECT_EQ(358.0f, scene.spinX);
    EXPECT_EQ(358.0f, scene.spinY);
    EXPECT_EQ(358.0f, scene.spinZ);
}

TEST_F(MovementTest, RandomMovementPicksOnceNeverZeroNeverRoll)
{
    for (uint32_t seed = 0; seed < 400; ++seed) {
        scene = ClockScene();
        style(kMoveRandom);
        platform::srand(seed);
        advanceMovement(scene);
        ASSERT_GE(Settings.movementStyle, 1) << seed;
        ASSERT_LE(Settings.movementStyle, 11) << seed;
        EXPECT_EQ(0.0f, scene.posZ) << "the picking update moves nothing";
        EXPECT_EQ(-1, scene.spinCount);
    }
    // A seed whose first draw is a multiple of 12 has to draw again.
    uint32_t seed = 0;
    while (drawsAfterSeed(seed, 1)[0] % 12 != 0) ++seed;
    std::vector<int> d = drawsAfterSeed(seed, 10);
    int expected = 0;
    for (int k = 0; expected == 0; ++k) expected = d[k] % 12;
    style(kMoveRandom);
    advanceMovement(scene);
    EXPECT_EQ(expected, Settings.movementStyle);
}

}  // namespace
