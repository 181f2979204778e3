// tests/saver/clock_scene_test.cpp -- the clock's start values, its random draws and its hands.
#include "saver/clock_scene.h"

#include <ctime>

#include "tests/saver/saver_test_support.h"

namespace {

std::tm at(int hour, int minute, int second)
{
    std::tm time{};
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    return time;
}

using ClockSceneTest = SaverTest;

TEST_F(ClockSceneTest, ConstructorDrawsSpeedsThenSixFlagsThenSpinStepInOrder)
{
    for (uint32_t seed : {1u, 42u, 1234567u}) {
        std::vector<int> d = drawsAfterSeed(seed, 11);
        ClockScene scene(1.5f, -2.0f, 3.0f);
        EXPECT_EQ(platform::rand(), d[10]) << "the constructor takes exactly ten draws, seed " << seed;
        EXPECT_FLOAT_BITS((d[0] % 20) * 0.01, scene.speedX);
        EXPECT_FLOAT_BITS((d[1] % 20) * 0.01, scene.speedY);
        EXPECT_FLOAT_BITS((d[2] % 40) * 0.01, scene.speedZ);
        EXPECT_EQ(d[3] % 2, scene.dirX);
        EXPECT_EQ(d[4] % 2, scene.dirY);
        EXPECT_EQ(d[5] % 2, scene.dirZ);
        EXPECT_EQ(d[6] % 2, scene.tiltDir);
        EXPECT_EQ(d[7] % 2, scene.dirSpareA);
        EXPECT_EQ(d[8] % 2, scene.dirSpareB);
        EXPECT_EQ(d[9] % 2 == 0 ? -1 : 1, scene.spinStep);
        EXPECT_EQ(1.5f, scene.posX);
        EXPECT_EQ(-2.0f, scene.posY);
        EXPECT_EQ(3.0f, scene.posZ);
    }
}

TEST_F(ClockSceneTest, ConstructorStartsStillWithFixedLengths)
{
    ClockScene scene(0, 0, 0);
    EXPECT_EQ(-1, scene.spinCount);
    for (float angle : {scene.spinX, scene.spinY, scene.spinZ, scene.orbitX, scene.orbitY, scene.swingZ})
        EXPECT_EQ(0.0f, angle);
    EXPECT_EQ(3.1f, scene.hourLength);
    EXPECT_EQ(3.8f, scene.minuteLength);
    EXPECT_EQ(4.0f, scene.secondLength);
    EXPECT_EQ(0.0f, scene.markerSpin) << "the first frame shows the markers unturned";
}

TEST_F(ClockSceneTest, ConstructorShowsTheCurrentTimeForTheFirstFrame)
{
    setenv("TOCKWHEEL_TIME", "2026-03-04T15:42:07", 1);
    ClockScene scene(0, 0, 0);
    EXPECT_EQ(1, scene.isPM);
    EXPECT_EQ(90.0f + 21.0f, scene.hourAngle);
    EXPECT_EQ(252.0f, scene.minuteAngle);
    EXPECT_EQ(42.0f, scene.secondAngle);
}

TEST_F(ClockSceneTest, HandAnglesFollowTheLocalTime)
{
    struct Case {
        std::tm time;
        float hour, minute, second;
        int isPM;
    } cases[] = {
        {at(0, 0, 0), 0, 0, 0, 0},
        {at(3, 30, 0), 105, 180, 0, 0},   // the hour hand moves on by minute / 2
        {at(12, 0, 0), 0, 0, 0, 1},
        {at(11, 59, 59), 359, 354, 354, 0},
        {at(23, 59, 59), 359, 354, 354, 1},
        {at(13, 1, 30), 30, 6, 180, 1},   // one minute is not yet a degree of the hour hand
    };
    for (const Case& c : cases) {
        ClockScene scene;
        setClockTime(scene, c.time);
        EXPECT_EQ(c.hour, scene.hourAngle) << c.time.tm_hour << ":" << c.time.tm_min;
        EXPECT_EQ(c.minute, scene.minuteAngle);
        EXPECT_EQ(c.second, scene.secondAngle);
        EXPECT_EQ(c.isPM, scene.isPM);
    }
}

TEST_F(ClockSceneTest, UpdateReadsTheFrozenTimeAndTurnsTheMarkers)
{
    setenv("TOCKWHEEL_TIME", "2026-03-04T03:30:00", 1);
    ClockScene scene;
    updateClockTime(scene);
    EXPECT_EQ(105.0f, scene.hourAngle);
    EXPECT_EQ(30, scene.localTime.tm_min);
    EXPECT_EQ(2.0f, scene.markerSpin);
}

TEST_F(ClockSceneTest, MarkerSpinRunsInStepsOfTwoAndWrapsToZero)
{
    ClockScene scene;
    for (int step = 1; step <= 179; ++step) {
        advanceMarkerSpin(scene);
        ASSERT_EQ(2.0f * step, scene.markerSpin);
    }
    advanceMarkerSpin(scene);
    EXPECT_EQ(0.0f, scene.markerSpin) << "358 + 2 wraps to 0, never shows 360";
    advanceMarkerSpin(scene);
    EXPECT_EQ(2.0f, scene.markerSpin);
}

}  // namespace
