// tests/golden/prompt_golden_test.cpp -- the wake-up password prompt in whole runs: its pictures at both
// bitmap sizes with typed marks, and how Enter ends the run or puts the prompt away.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/golden/golden_image.h"
#include "tests/golden/golden_run.h"

namespace {

constexpr int kWakePass = 30;
constexpr int kPassLimit = 120;
constexpr int kKeySpace = 32;
constexpr int kKeyEnter = 13;
constexpr int kKeyBackspace = 8;

SettingsRecord passwordSettings(int videoMode)
{
    SettingsRecord settings = pictureSettings();
    settings.videoMode = videoMode;
    settings.passwordEnabled = 1;
    std::strcpy(settings.password, "abc");
    return settings;
}

// Event lines: the key that wakes the saver, then one key per character of typed, one pass apart.
std::string wakeAndType(const std::string& typed)
{
    std::string events = "at " + std::to_string(kWakePass) + " key " + std::to_string(kKeySpace) + "\n";
    int pass = kWakePass;
    for (char c : typed) events += "at " + std::to_string(++pass) + " key " + std::to_string(int(c)) + "\n";
    return events;
}

std::string at(int pass, const std::string& action) { return "at " + std::to_string(pass) + " " + action + "\n"; }

// Pixels of the given colour inside the rectangle.
int countColour(const Image& image, int x0, int y0, int x1, int y1, uint8_t r, uint8_t g, uint8_t b)
{
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const uint8_t* p = image.at(x, y);
            count += p[0] == r && p[1] == g && p[2] == b;
        }
    return count;
}

struct PromptCase {
    const char* name;
    int videoMode;
    int scale;   // 1: the 184 x 36 bitmap, 2: the 370 x 72 one
};

void PrintTo(const PromptCase& prompt, std::ostream* out) { *out << prompt.name; }

class PromptGolden : public ::testing::TestWithParam<PromptCase> {};

TEST_P(PromptGolden, ThreeTypedCharactersShowThreeMarks)
{
    const PromptCase& prompt = GetParam();
    SaverWorld world;
    std::string snapshot = snapshotPath(prompt.name);
    std::string events = wakeAndType("xyz") + at(kWakePass + 6, "snapshot " + snapshot);
    ProgramRun run = runWithEvents(world, passwordSettings(prompt.videoMode), events, kPassLimit);
    EXPECT_EQ(run.exitCode, 4) << "the prompt stays up until Enter\n" << run.err;
    ASSERT_TRUE(matchesGolden(snapshot, prompt.name));

    // Each mark is a black square of 2s + 1 pixels a side, centred on the line y = height / 2 + s, the
    // first 8s in from the bitmap's left edge and the next ones 4s apart: three full squares, no fourth.
    Image image;
    ASSERT_TRUE(readPng(snapshot, &image));
    int s = prompt.scale;
    int left = image.width / 2 - (s == 2 ? 185 : 92);
    int y = image.height / 2 + s;
    int side = 2 * s + 1;
    for (int k = 0; k < 4; ++k) {
        int x = left + 8 * s + 4 * s * k;
        int black = countColour(image, x - s, y - s, x + s + 1, y + s + 1, 0, 0, 0);
        EXPECT_EQ(black, k < 3 ? side * side : 0) << "mark place " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, PromptGolden,
                         ::testing::Values(PromptCase{"prompt_640x480", kMode640x480x24, 1},
                                           PromptCase{"prompt_800x600", kMode800x600x24, 2}),
                         [](const ::testing::TestParamInfo<PromptCase>& info) { return info.param.name; });

TEST(PromptRun, EnterWithTheRightPasswordEndsWithExitZero)
{
    SaverWorld world;
    std::string events = wakeAndType("abc") + at(kWakePass + 4, "key " + std::to_string(kKeyEnter));
    ProgramRun run = runWithEvents(world, passwordSettings(kMode640x480x24), events, kPassLimit);
    EXPECT_EQ(run.exitCode, 0) << run.err;
}

TEST(PromptRun, BackspaceTakesBackOneCharacterBeforeEnter)
{
    SaverWorld world;
    std::string events = wakeAndType("abX") + at(kWakePass + 4, "key " + std::to_string(kKeyBackspace)) +
                         at(kWakePass + 5, "key 99") + at(kWakePass + 6, "key " + std::to_string(kKeyEnter));
    ProgramRun run = runWithEvents(world, passwordSettings(kMode640x480x24), events, kPassLimit);
    EXPECT_EQ(run.exitCode, 0) << run.err;
}

TEST(PromptRun, WrongPasswordPutsThePromptAwayAndTheSaverRunsOn)
{
    SaverWorld world;
    std::string before = snapshotPath("prompt_wrong_before");
    std::string after = snapshotPath("prompt_wrong_after");
    std::string events = wakeAndType("abd") + at(kWakePass + 4, "snapshot " + before) +
                         at(kWakePass + 4, "key " + std::to_string(kKeyEnter)) +
                         at(kWakePass + 6, "snapshot " + after);
    ProgramRun run = runWithEvents(world, passwordSettings(kMode640x480x24), events, kPassLimit);
    EXPECT_EQ(run.exitCode, 4) << "a wrong password must not end the saver\n" << run.err;

    // The prompt bitmap is light grey where the clock never draws; count that grey at the centre line.
    Image up, gone;
    ASSERT_TRUE(readPng(before, &up));
    ASSERT_TRUE(readPng(after, &gone));
    int promptLeft = up.width / 2 - 92, promptTop = up.height / 2 - 18;
    const uint8_t* face = up.at(promptLeft + 2, promptTop + 2);
    int withPrompt = countColour(up, promptLeft, promptTop, promptLeft + 184, promptTop + 36, face[0], face[1], face[2]);
    int withoutPrompt =
        countColour(gone, promptLeft, promptTop, promptLeft + 184, promptTop + 36, face[0], face[1], face[2]);
    EXPECT_GT(withPrompt, 184 * 36 / 4);
    EXPECT_LT(withoutPrompt, withPrompt / 10) << "the prompt must be gone after a wrong password";
}

TEST(PromptRun, AfterAWrongPasswordTheNextKeyRaisesAnEmptyPrompt)
{
    SaverWorld world;
    std::string snapshot = snapshotPath("prompt_empty_after_wrong");
    std::string events = wakeAndType("abd") + at(kWakePass + 4, "key " + std::to_string(kKeyEnter)) +
                         at(kWakePass + 8, "key 97") + at(kWakePass + 10, "snapshot " + snapshot);
    ProgramRun run = runWithEvents(world, passwordSettings(kMode640x480x24), events, kPassLimit);
    EXPECT_EQ(run.exitCode, 4) << run.err;
    EXPECT_TRUE(matchesGolden(snapshot, "prompt_empty_after_wrong"));
}

}  // namespace
