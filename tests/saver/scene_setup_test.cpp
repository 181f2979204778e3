// tests/saver/scene_setup_test.cpp -- scene set-up's choices and its fatal ends on the offscreen display.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "config/settings.h"
#include "platform/random.h"
#include "saver/frame_loop.h"
#include "saver/scene_setup.h"
#include "saver/star_field.h"
#include "tests/saver/offscreen_scene.h"

namespace {

namespace fs = std::filesystem;

class SceneSetupTest : public ::testing::Test {
protected:
    std::string dir;
    std::string promptDir = std::string(TOCKWHEEL_BINARY_DIR) + "/tools/prompt";

    void SetUp() override
    {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        dir = std::string(TOCKWHEEL_BINARY_DIR) + "/tests/saver/setups/" + name;
        fs::create_directories(dir);
        resetSettings();
        setenv("TOCKWHEEL_TIME", "2026-03-04T10:08:30", 1);
        unsetenv("TOCKWHEEL_SNAPSHOT");
        unsetenv("TOCKWHEEL_EVENTS");
    }

    bool havePromptBitmaps() const { return fs::exists(promptDir + "/pass.pag"); }
};

// Exits 0 when set-up finished; a fatal end exits 255 with its message on stderr.
#define SET_UP_IN_CHILD(width, height, prepare)                        \
    do {                                                               \
        platform::srand(1);                                            \
        if (!prepareWindowsDirectory(dir, promptDir)) std::exit(2);    \
        prepare;                                                       \
        if (!startOffscreenScene(width, height)) std::exit(3);         \
        std::exit(0);                                                  \
    } while (0)

TEST_F(SceneSetupTest, MissingFontEndsWithItsOwnMessage)
{
    EXPECT_EXIT(SET_UP_IN_CHILD(640, 480, fs::remove(fs::path(dir) / "fonts" / "Arial.ttf")),
                ::testing::ExitedWithCode(255), "Can't open arial.ttf");
}

TEST_F(SceneSetupTest, FontIsFoundWhateverTheCaseOfItsName)
{
    EXPECT_EXIT(SET_UP_IN_CHILD(640, 480,
                                fs::rename(fs::path(dir) / "fonts" / "Arial.ttf", fs::path(dir) / "fonts" / "ARIAL.TTF")),
                ::testing::ExitedWithCode(0), "");
}

TEST_F(SceneSetupTest, SmallScreensLoadTheSingleSizePrompt)
{
    if (!havePromptBitmaps()) GTEST_SKIP() << "prompt bitmaps not built";
    Settings.passwordEnabled = 1;
    for (auto [width, height] : {std::pair{640, 480}, {512, 384}}) {
        EXPECT_EXIT(SET_UP_IN_CHILD(width, height, fs::remove(fs::path(dir) / "Orvask" / "pass2x.pag")),
                    ::testing::ExitedWithCode(0), "")
            << width << "x" << height;
    }
}

TEST_F(SceneSetupTest, LargeScreensLoadTheDoubleSizePrompt)
{
    if (!havePromptBitmaps()) GTEST_SKIP() << "prompt bitmaps not built";
    Settings.passwordEnabled = 1;
    EXPECT_EXIT(SET_UP_IN_CHILD(800, 600, fs::remove(fs::path(dir) / "Orvask" / "pass2x.pag")),
                ::testing::ExitedWithCode(255), "Bitmap file was not found");
    EXPECT_EXIT(SET_UP_IN_CHILD(800, 600, fs::remove(fs::path(dir) / "Orvask" / "pass.pag")),
                ::testing::ExitedWithCode(0), "");
}

TEST_F(SceneSetupTest, NoPromptIsLoadedWithoutAPassword)
{
    Settings.passwordEnabled = 0;
    EXPECT_EXIT(SET_UP_IN_CHILD(640, 480, fs::remove_all(fs::path(dir) / "Orvask")), ::testing::ExitedWithCode(0), "");
}

TEST_F(SceneSetupTest, StarsAreSharedOutByQuartersAndTheFirstPassRenders)
{
    Settings.starAmount = 703;
    Settings.frameSkip = 7;
    // Checked in a child: a second set-up in one process would open the font face twice.
    EXPECT_EXIT(
        {
            platform::srand(1);
            if (!prepareWindowsDirectory(dir, "") || !startOffscreenScene(640, 480)) std::exit(3);
            bool quarters = true;
            for (const StarLayer& layer : starLayers)
                quarters = quarters && layer.count == 175 && layer.width == 640 && layer.height == 480;
            std::exit(quarters && frameCounter == 7 && passwordBitmap == nullptr ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
