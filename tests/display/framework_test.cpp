// tests/display/framework_test.cpp -- driver options, the mode list and its depth filter, findMode, and
// the main loop's dispatch, suspend and resume.
#include "tests/display/display_test_support.h"

#include <cstring>

namespace {

const bool kOffscreen = displaytest::useOffscreen();

class DisplayFramework : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(display::initFramework("Display test"), nullptr);
        displaytest::clearHooks();
        display::lastError();
    }
};

// ---- options and the mode list -------------------------------------------------------------------------

TEST_F(DisplayFramework, TitleIsCutTo80Characters)
{
    std::string title(120, 'T');
    display::initFramework(title.c_str());
    EXPECT_EQ(std::strlen(display::gFramework.app.title), 80u);
}

TEST_F(DisplayFramework, DepthFilterKeepsOnlyAdmittedDepths)
{
    display::setDriverOptions(displaytest::allDrivers(0x02));
    ASSERT_GT(display::gFramework.modes.count, 0);
    for (int i = 0; i < display::gFramework.modes.count; ++i) {
        int bits = display::gFramework.modes.list[i].bitsPerPixel;
        EXPECT_TRUE(bits == 15 || bits == 16) << bits;
        EXPECT_GE(display::gFramework.modes.list[i].mode, 11);
    }
    display::ModeInfo mode;
    EXPECT_FALSE(display::findMode(640, 480, 32, &mode));
    EXPECT_EQ(display::lastError(), display::kErrModeNotSupported);
    ASSERT_TRUE(display::findMode(640, 480, 16, &mode));
    EXPECT_EQ(mode.mode, 49);
    EXPECT_EQ(mode.pages, 3) << "DirectDraw serves it";
}

TEST_F(DisplayFramework, FilterThatLeavesNothingFallsBackToEveryDepth)
{
    display::setDriverOptions(displaytest::allDrivers(0x00));
    display::ModeInfo mode;
    EXPECT_TRUE(display::findMode(640, 480, 8, &mode));
    EXPECT_TRUE(display::findMode(640, 480, 32, &mode));
    // Only FDIB, depth filter 32-bit: the filter has something to keep, so no fall-back.
    display::DriverOptions fdibOnly = {0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0x08};
    display::setDriverOptions(fdibOnly);
    EXPECT_FALSE(display::findMode(640, 480, 8, &mode));
    ASSERT_TRUE(display::findMode(640, 480, 32, &mode));
    EXPECT_EQ(mode.pages, 1);
}

TEST_F(DisplayFramework, NoEnabledDriverLeavesNoModeAtAll)
{
    display::DriverOptions none = {0, 0, 1, 1, 0, 0, 0, 0, 1, 0, 0x0F};   // VGA and Mode X without WinDirect
    display::setDriverOptions(none);
    EXPECT_EQ(display::gFramework.modes.count, 0);
    display::ModeInfo mode;
    EXPECT_FALSE(display::findMode(640, 480, -1, &mode));
    EXPECT_STREQ(display::errorMessage(display::lastError()), "Selected graphics mode not supported");
}

TEST_F(DisplayFramework, FindModeAnyDepthTakesTheFirstEntry)
{
    display::setDriverOptions(displaytest::allDrivers());
    display::ModeInfo mode;
    ASSERT_TRUE(display::findMode(800, 600, -1, &mode));
    EXPECT_EQ(mode.mode, 20);
    EXPECT_EQ(mode.bitsPerPixel, 8);
    EXPECT_FALSE(display::findMode(1600, 1200, -1, &mode)) << "larger than the virtual screen";
    EXPECT_FALSE(display::findMode(333, 200, -1, &mode));
}

TEST_F(DisplayFramework, IdenticalOptionsDoNotRebuildTheList)
{
    display::setDriverOptions(displaytest::allDrivers(0x01));
    int count = display::gFramework.modes.count;
    display::gFramework.modes.count = 0;   // a rebuild would restore it
    display::setDriverOptions(displaytest::allDrivers(0x01));
    EXPECT_EQ(display::gFramework.modes.count, 0);
    display::setDriverOptions(displaytest::allDrivers(0x03));
    EXPECT_GT(display::gFramework.modes.count, count);
}

// ---- the main loop ---------------------------------------------------------------------------------------

struct LoopLog {
    std::vector<int> keyDowns;     // characters
    std::vector<int> mouseMoves;   // x
    std::vector<int> others;       // types
    std::vector<int> suspends;     // flags in order
    int gameLogicCalls = 0;
    int drawCalls = 0;
    int exitCalls = 0;
    int stopAfter = 3;             // passes
    bool activeWhenAsked = true;
    int answer = 1;
};
LoopLog gLog;

void onKeyDown(const display::Event& event) { gLog.keyDowns.push_back(static_cast<int>(event.message & 0xFF)); }
void onMouseMove(const display::Event& event) { gLog.mouseMoves.push_back(event.x); }
void onOther(const display::Event& event) { gLog.others.push_back(event.type); }
void onDraw() { ++gLog.drawCalls; }
void onExit() { ++gLog.exitCalls; }
void onGameLogic()
{
    if (++gLog.gameLogicCalls >= gLog.stopAfter) display::requestExit();
}
int onSuspend(display::Framework* context, int flag)
{
    EXPECT_EQ(context, &display::gFramework);
    gLog.suspends.push_back(flag);
    gLog.activeWhenAsked = display::gFramework.loop.active;
    return gLog.answer;
}

display::Event event(int type, uint32_t message = 0, int x = 0)
{
    return display::Event{type, message, x, 0, 0, 0, 0};
}

class MainLoop : public DisplayFramework {
protected:
    void SetUp() override
    {
        DisplayFramework::SetUp();
        gLog = LoopLog();
        display::setGameLogicHook(onGameLogic);
        display::setDrawHook(onDraw);
        display::setExitHook(onExit);
    }
};

TEST_F(MainLoop, EventsGoToTheHookOfTheirTypeAndMissingHooksDropThem)
{
    display::setKeyDownHook(onKeyDown);
    display::setMouseMoveHook(onMouseMove);
    display::postEvent(event(display::kEventKeyDown, 'a'));
    display::postEvent(event(display::kEventKeyRepeat, 'b'));   // no repeat hook: dropped
    display::postEvent(event(display::kEventMouseDown));        // no hook: dropped
    display::postEvent(event(display::kEventMouseMove, 0, 17));
    display::postEvent(event(64));                               // other type, no general hook: dropped
    display::runMainLoop();
    EXPECT_EQ(gLog.keyDowns, std::vector<int>{'a'});
    EXPECT_EQ(gLog.mouseMoves, std::vector<int>{17});
    EXPECT_EQ(gLog.gameLogicCalls, 3);
    EXPECT_EQ(gLog.drawCalls, 3);
    EXPECT_EQ(gLog.exitCalls, 1);
}

TEST_F(MainLoop, UnknownTypesGoToTheGeneralHook)
{
    display::setEventHook(onOther);
    display::postEvent(event(64));
    display::postEvent(event(display::kEventKeyUp));   // has its own hook slot, which is empty
    display::runMainLoop();
    EXPECT_EQ(gLog.others, std::vector<int>{64});
}

TEST_F(MainLoop, SuspendedStopsDrawingButNotEventsOrGameLogic)
{
    display::setSuspendHook(onSuspend);
    display::setKeyDownHook(onKeyDown);
    gLog.answer = 0;   // a refusal does not keep the application active
    display::postEvent(event(display::kEventInternalSuspend, display::kSuspendTakenAway));
    display::postEvent(event(display::kEventKeyDown, 'x'));
    display::runMainLoop();
    EXPECT_EQ(gLog.suspends, std::vector<int>{1});
    EXPECT_FALSE(gLog.activeWhenAsked) << "the inactive mark comes before the hook is asked";
    EXPECT_EQ(gLog.drawCalls, 0);
    EXPECT_EQ(gLog.gameLogicCalls, 3);
    EXPECT_EQ(gLog.keyDowns, std::vector<int>{'x'});
}

TEST_F(MainLoop, ResumeMarksActiveAndDrawingStartsAgain)
{
    display::setSuspendHook(onSuspend);
    display::postEvent(event(display::kEventInternalSuspend, display::kSuspendTakenAway));
    gLog.stopAfter = 1;
    display::runMainLoop();
    EXPECT_EQ(gLog.drawCalls, 0);
    gLog.gameLogicCalls = 0;
    gLog.stopAfter = 2;
    display::gFramework.loop.active = false;   // as the suspend left it, before the tear-down
    display::postEvent(event(display::kEventInternalSuspend, display::kSuspendGivenBack));
    display::runMainLoop();
    EXPECT_EQ(gLog.suspends, (std::vector<int>{1, 2}));
    EXPECT_TRUE(gLog.activeWhenAsked);
    EXPECT_EQ(gLog.drawCalls, 2);
}

TEST_F(MainLoop, WithoutSuspendHookTheSwitchIsAllowedAndDrawingStops)
{
    display::postEvent(event(display::kEventInternalSuspend, display::kSuspendTakenAway));
    display::runMainLoop();
    EXPECT_EQ(gLog.drawCalls, 0);
    EXPECT_EQ(gLog.gameLogicCalls, 3);
}

TEST_F(MainLoop, EventScriptIsPlayedAtItsPasses)
{
    std::string path = displaytest::tempPath("loop_events.txt");
    FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("# keys at the second and third pass\nat 3 key 66\nat 2 key 65  # A\nat 3 move 40 9\n", file);
    std::fclose(file);
    setenv("TOCKWHEEL_EVENTS", path.c_str(), 1);
    display::setKeyDownHook(onKeyDown);
    display::setMouseMoveHook(onMouseMove);
    gLog.stopAfter = 2;
    display::runMainLoop();
    unsetenv("TOCKWHEEL_EVENTS");
    EXPECT_EQ(gLog.keyDowns, std::vector<int>{'A'}) << "pass 3 never came";
}

TEST_F(MainLoop, MalformedScriptEndsTheRunWithStatus3)
{
    std::string path = displaytest::tempPath("bad_events.txt");
    FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("at 1 key 65\nat two key 66\n", file);
    std::fclose(file);
    setenv("TOCKWHEEL_EVENTS", path.c_str(), 1);
    EXPECT_EXIT(display::runMainLoop(), ::testing::ExitedWithCode(3), "bad_events.txt:2:");
    unsetenv("TOCKWHEEL_EVENTS");
}

TEST_F(MainLoop, PassLimitEndsARunningLoopWithStatus4)
{
    gLog.stopAfter = 1000000;
    setenv("TOCKWHEEL_PASSES", "5", 1);
    EXPECT_EXIT(display::runMainLoop(), ::testing::ExitedWithCode(4), "5 passes");
    unsetenv("TOCKWHEEL_PASSES");
}

TEST(DisplayTimer, CountsMicrosecondsAcrossThe32BitWrap)
{
    display::timerInit();
    display::timerOn();
    display::gFramework.time.startUs = display::gFramework.time.virtualUs - 4000000000ull;
    EXPECT_EQ(display::timerLap(), 4000000000u);
    display::gFramework.time.startUs = display::gFramework.time.virtualUs - 4294967296ull - 5;
    EXPECT_EQ(display::timerLap(), 5u) << "laps are unsigned 32-bit counts";
}

}  // namespace

// SDL quietly takes its own offscreen video driver when the display server does not answer; the saver must
// not then run unseen in a "window", nor fall back to drawing off screen: no back end opens at all.
TEST(DisplayBackendChoice, AnSdlDriverThatShowsNothingIsNoWindow)
{
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "offscreen", 1);
            setenv("DISPLAY", ":31999", 1);
            unsetenv("TOCKWHEEL_DISPLAY");
            const display::Backend* backend = display::activeBackend();
            std::exit(backend ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "no display was found");
}
