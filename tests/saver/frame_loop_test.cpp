// tests/saver/frame_loop_test.cpp -- pacing: which passes render and which advance the animation.
#include "saver/frame_loop.h"
#include "saver/frame_loop_internal.h"

#include "saver/input.h"
#include "saver/password_prompt.h"
#include "tests/saver/fake_display.h"
#include "tests/saver/saver_test_support.h"

namespace {

using FrameLoopTest = SaverTest;

// Plays passes as the main loop does (game logic, then draw) and records which rendered and which
// advanced.
struct Pass {
    bool advanced, rendered;
};

std::vector<Pass> play(int passes)
{
    std::vector<Pass> record;
    for (int i = 0; i < passes; ++i) {
        bool advanced = animationDue();
        bool rendered = takeRenderPass();
        record.push_back({advanced, rendered});
    }
    return record;
}

TEST_F(FrameLoopTest, FastRendersAndAdvancesEveryPassAfterTheFirst)
{
    Settings.frameSkip = 0;
    frameCounter = Settings.frameSkip;   // as scene set-up leaves it
    std::vector<Pass> passes = play(5);
    EXPECT_TRUE(passes[0].rendered);
    EXPECT_FALSE(passes[0].advanced) << "the first frame shows the scene as set up";
    for (int i = 1; i < 5; ++i) {
        EXPECT_TRUE(passes[i].rendered) << i;
        EXPECT_TRUE(passes[i].advanced) << i;
    }
}

TEST_F(FrameLoopTest, SlowRendersOnePassInTwentyOneAndAdvancesOnTheNext)
{
    Settings.frameSkip = 20;
    frameCounter = Settings.frameSkip;
    std::vector<Pass> passes = play(64);
    for (int i = 0; i < 64; ++i) {
        EXPECT_EQ(i % 21 == 0, passes[i].rendered) << i;
        EXPECT_EQ(i % 21 == 1, passes[i].advanced) << i;
    }
    EXPECT_EQ(-1, frameCounter) << "pass 63 rendered";
}

TEST_F(FrameLoopTest, EndingStateRequestsTheEndOfTheLoop)
{
    resetFakeDisplay();
    frameCounter = 0;
    saverState = kSaverRunning;
    advanceFrame();
    EXPECT_EQ(0, fake.exitRequests);
    saverState = kSaverEnding;
    advanceFrame();
    EXPECT_EQ(1, fake.exitRequests);
    saverState = kSaverRunning;
}

TEST_F(FrameLoopTest, PassesThatDoNotRenderStillDrawThePromptAndPresent)
{
    resetFakeDisplay();
    Settings.frameSkip = 20;
    Settings.screenWidth = 640;
    Settings.screenHeight = 480;
    frameCounter = 0;
    saverState = kSaverPrompt;
    clearTypedPassword();
    prompt.promptTimerState = kPromptRestart;
    drawFrame();
    EXPECT_EQ(1, frameCounter) << "nothing rendered";
    EXPECT_EQ(1, fake.swaps);
    EXPECT_EQ(kPromptTiming, prompt.promptTimerState) << "the prompt ran";
    saverState = kSaverRunning;
}

TEST_F(FrameLoopTest, StopwatchRestartsAfterFiveHundredSeconds)
{
    resetFakeDisplay();
    Settings.frameSkip = 20;
    frameCounter = 0;
    fake.lapUs = kStopwatchRestartUs;
    drawFrame();
    EXPECT_EQ(0, fake.timerOffs) << "500 s exactly is not over";
    fake.lapUs = kStopwatchRestartUs + 1;
    drawFrame();
    EXPECT_EQ(1, fake.timerOffs);
    EXPECT_EQ(1, fake.timerOns);
}

}  // namespace
