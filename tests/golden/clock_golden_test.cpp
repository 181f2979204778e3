// tests/golden/clock_golden_test.cpp -- the whole clock at a frozen time, solid and wireframe, with each kind
// of marker, with and without numerals and the AM/PM label, compared with the stored pictures.
#include <gtest/gtest.h>

#include "tests/golden/golden_image.h"
#include "tests/golden/golden_run.h"

namespace {

constexpr int kPicturePass = 60;   // far enough for "2D Bounce" to have moved the clock off the centre

struct ClockPicture {
    const char* name;
    const char* time;       // TOCKWHEEL_TIME, local
    int16_t renderMode;     // 600 wireframe, 601 solid
    int16_t showCubes;
    int16_t showSpheres;
    int16_t showNumbers;
    int16_t showAmPm;
};

// 15:30:07 puts the hour hand at 105 degrees, the minute hand at 180 and the second hand at 42;
// 09:05:40 at 272, 30 and 240; 00:45:15 at 22, 270 and 90.
const ClockPicture kClockPictures[] = {
    {"solid_cubes_numerals_pm", "2024-03-05T15:30:07", 601, 1, 0, 1, 1},
    {"wire_cubes_numerals_pm", "2024-03-05T15:30:07", 600, 1, 0, 1, 1},
    {"solid_spheres_plain_am", "2024-03-05T09:05:40", 601, 0, 1, 0, 0},
    {"wire_spheres_numerals_am", "2024-03-05T09:05:40", 600, 0, 1, 1, 1},
    {"solid_both_numerals_am", "2024-03-05T00:45:15", 601, 1, 1, 1, 1},
    {"wire_both_plain", "2024-03-05T00:45:15", 600, 1, 1, 0, 0},
    {"solid_no_markers_ampm", "2024-03-05T15:30:07", 601, 0, 0, 0, 1},
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ClockPicture& picture, std::ostream* out) { *out << picture.name; }

class ClockGolden : public ::testing::TestWithParam<ClockPicture> {};

TEST_P(ClockGolden, MatchesTheStoredPicture)
{
    const ClockPicture& picture = GetParam();
    SaverWorld world;
    world.environment["TOCKWHEEL_TIME"] = picture.time;
    SettingsRecord settings = pictureSettings();
    settings.renderMode = picture.renderMode;
    settings.showCubes = picture.showCubes;
    settings.showSpheres = picture.showSpheres;
    settings.showNumbers = picture.showNumbers;
    settings.showAmPm = picture.showAmPm;
    std::string snapshot = snapshotPath(picture.name);
    ProgramRun run = runToSnapshot(world, settings, kPicturePass, snapshot);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(matchesGolden(snapshot, picture.name));
}

INSTANTIATE_TEST_SUITE_P(Pictures, ClockGolden, ::testing::ValuesIn(kClockPictures),
                         [](const ::testing::TestParamInfo<ClockPicture>& info) { return info.param.name; });

}  // namespace
