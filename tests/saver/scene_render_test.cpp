// tests/saver/scene_render_test.cpp -- whole frames of the saver on the offscreen display, read back as PNG.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config/settings.h"
#include "platform/random.h"
#include "saver/input.h"
#include "saver/password_prompt.h"
#include "tests/golden/golden_image.h"
#include "tests/saver/offscreen_scene.h"

namespace {

bool isBlack(const uint8_t* p) { return p[0] == 0 && p[1] == 0 && p[2] == 0; }

int countGrey(const Image& image, int level)
{
    int count = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = image.at(x, y);
            count += p[0] == level && p[1] == level && p[2] == level;
        }
    return count;
}

class SceneRenderTest : public ::testing::Test {
protected:
    std::string dir;
    std::string snapshot;

    void SetUp() override
    {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        dir = std::string(TOCKWHEEL_BINARY_DIR) + "/tests/saver/scenes/" + name;
        snapshot = std::string(TOCKWHEEL_BINARY_DIR) + "/tests/saver/scenes/" + name + ".png";
        std::filesystem::create_directories(dir);
        std::filesystem::remove(snapshot);
        resetSettings();
        Settings.colorScheme = 5;     // "Candy Cane": a red hub
        Settings.colorCycling = 0;
        Settings.movementStyle = 99;  // hold still, so the picture is the set-up scene
        Settings.starFieldEnabled = 1;
        setenv("TOCKWHEEL_TIME", "2026-03-04T10:08:30", 1);
        setenv("TOCKWHEEL_SNAPSHOT", snapshot.c_str(), 1);
        unsetenv("TOCKWHEEL_EVENTS");
    }

    // Renders in a child process (the scene is built once per process), then reads the snapshot.
    void render(int width, int height, int passes, const std::string& promptDir, Image* image)
    {
        EXPECT_EXIT(
            {
                platform::srand(1);
                if (!prepareWindowsDirectory(dir, promptDir)) std::exit(2);
                if (!startOffscreenScene(width, height)) std::exit(3);
                runPasses(passes);
                std::exit(0);
            },
            ::testing::ExitedWithCode(0), "");
        ASSERT_TRUE(readPng(snapshot, image)) << snapshot;
        ASSERT_EQ(width, image->width);
        ASSERT_EQ(height, image->height);
    }
};

TEST_F(SceneRenderTest, SolidClockFacesTheViewerWithStarsBehind)
{
    Settings.renderMode = 601;
    Settings.starAmount = 700;
    Image image;
    render(640, 480, 1, "", &image);
    const uint8_t* hub = image.at(320, 240);
    EXPECT_GT(hub[0], 60) << "the lit red hub";
    EXPECT_LT(hub[1], hub[0] / 2);
    EXPECT_GT(countGrey(image, 255) + countGrey(image, 170) + countGrey(image, 120) + countGrey(image, 65), 500)
        << "stars in four shades";
    int lit = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) lit += !isBlack(image.at(x, y));
    EXPECT_GT(lit, 5000) << "markers, hands and numerals";
}

TEST_F(SceneRenderTest, WireframeWithoutStarsLeavesTheBackgroundBlack)
{
    Settings.renderMode = 600;
    Settings.starFieldEnabled = 0;
    Image image;
    render(800, 600, 1, "", &image);
    EXPECT_EQ(0, countGrey(image, 65));
    EXPECT_TRUE(isBlack(image.at(2, 2)));
    int lit = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) lit += !isBlack(image.at(x, y));
    EXPECT_GT(lit, 1000);
}

TEST_F(SceneRenderTest, PromptShowsOneBlackMarkPerTypedCharacter)
{
    std::string promptDir = std::string(TOCKWHEEL_BINARY_DIR) + "/tools/prompt";
    if (!std::filesystem::exists(promptDir + "/pass2x.pag")) GTEST_SKIP() << "prompt bitmaps not built";
    Settings.passwordEnabled = 1;
    std::snprintf(Settings.password, sizeof Settings.password, "%s", "tick");
    std::string events = dir + ".events";
    std::ofstream(events) << "at 1 key 32\nat 2 key 116\nat 3 key 111\nat 4 key 99\n";
    setenv("TOCKWHEEL_EVENTS", events.c_str(), 1);
    Image image;
    render(1024, 768, 6, promptDir, &image);
    PromptLayout layout = promptLayout(1024, 768);
    for (int k = 0; k < 3; ++k) EXPECT_TRUE(isBlack(image.at(promptMarkX(layout, k), layout.markY))) << k;
    EXPECT_FALSE(isBlack(image.at(promptMarkX(layout, 5), layout.markY))) << "no fourth mark";
    EXPECT_FALSE(isBlack(image.at(layout.left + 4, layout.top + 4))) << "the bitmap";
}

}  // namespace
