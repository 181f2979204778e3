// tests/golden/determinism_test.cpp -- a run is a function of the frozen time and the settings: repeated runs
// give the same bytes, and each of the thirteen movement styles matches its stored picture.
#include <gtest/gtest.h>

#include "tests/golden/golden_image.h"
#include "tests/golden/golden_run.h"

namespace {

std::string styleName(const ::testing::TestParamInfo<int16_t>& info)
{
    return "style_" + std::to_string(info.param);
}

constexpr int kMovedPass = 300;   // passes before the picture: well into each style's path

// Every moving part on: stars, colour cycling with separate rates, turning markers, numerals, label.
SettingsRecord movingSettings(int16_t style)
{
    SettingsRecord settings = defaultSettingsRecord();
    settings.videoMode = kMode640x480x24;
    settings.colorDepth = kColorDepth24;
    settings.movementStyle = style;
    settings.keepLikeColors = 0;
    settings.showSpheres = 1;
    return settings;
}

std::string snapshotBytes(const std::string& name, const char* time, const SettingsRecord& settings)
{
    SaverWorld world;
    world.environment["TOCKWHEEL_TIME"] = time;
    std::string snapshot = snapshotPath(name);
    ProgramRun run = runToSnapshot(world, settings, kMovedPass, snapshot);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return readFile(snapshot);
}

class SameRunTwice : public ::testing::TestWithParam<int16_t> {};

TEST_P(SameRunTwice, GivesByteIdenticalSnapshots)
{
    SettingsRecord settings = movingSettings(GetParam());
    std::string name = "twice_style_" + std::to_string(GetParam());
    std::string first = snapshotBytes(name + "_a", "2024-03-05T15:30:07", settings);
    std::string second = snapshotBytes(name + "_b", "2024-03-05T15:30:07", settings);
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(first == second) << "two runs at the same frozen time differ";

    // A second later the seed, and with it the start values, the colours and the stars, are others.
    std::string later = snapshotBytes(name + "_c", "2024-03-05T15:30:08", settings);
    EXPECT_FALSE(first == later) << "the frozen time must seed the run";
}

// "Random Movement", "Twisty", "Swing", "Bounce": a random pick, a tilt, a pendulum and the bounce table.
INSTANTIATE_TEST_SUITE_P(Styles, SameRunTwice, ::testing::Values<int16_t>(0, 3, 7, 9), styleName);

class MovementStyleGolden : public ::testing::TestWithParam<int16_t> {};

TEST_P(MovementStyleGolden, MatchesTheStoredPicture)
{
    char name[32];
    std::snprintf(name, sizeof name, "movement_%02d", GetParam());
    SaverWorld world;
    std::string snapshot = snapshotPath(name);
    ProgramRun run = runToSnapshot(world, movingSettings(GetParam()), kMovedPass, snapshot);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(matchesGolden(snapshot, name));
}

INSTANTIATE_TEST_SUITE_P(Styles, MovementStyleGolden, ::testing::Range<int16_t>(0, 13), styleName);

}  // namespace
