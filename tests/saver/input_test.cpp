// tests/saver/input_test.cpp -- waking the saver, typing the password, the prompt's marks and time-out.
#include "saver/input.h"

#include <cstring>
#include <string>

#include "saver/password_prompt.h"
#include "tests/saver/fake_display.h"
#include "tests/saver/saver_test_support.h"

namespace {

class InputTest : public SaverTest {
protected:
    void SetUp() override
    {
        SaverTest::SetUp();
        resetFakeDisplay();
        saverState = kSaverRunning;
        clearTypedPassword();
        prompt.promptTimerState = kPromptIdle;
        prompt.promptStart = 0;
        prompt.retryDelayUs = 0;
        mouse.mouseAnchorX = mouse.mouseAnchorY = -1;
    }

    void setPassword(const char* password)
    {
        Settings.passwordEnabled = 1;
        std::strncpy(Settings.password, password, sizeof Settings.password - 1);
    }

    static display::Event key(int code)
    {
        display::Event event{};
        event.type = display::kEventKeyDown;
        event.message = static_cast<uint32_t>(code);
        return event;
    }
    static display::Event at(int x, int y)
    {
        display::Event event{};
        event.type = display::kEventMouseMove;
        event.x = x;
        event.y = y;
        return event;
    }
    void type(const std::string& text)
    {
        for (char c : text) handleKey(key(static_cast<unsigned char>(c)));
    }
    std::string typed() const { return std::string(prompt.typedPassword, static_cast<size_t>(prompt.typedLength)); }
};

TEST_F(InputTest, WithoutPasswordAnyInputEndsTheSaver)
{
    Settings.passwordEnabled = 0;
    handleKey(key('a'));
    EXPECT_EQ(kSaverEnding, saverState);
    saverState = kSaverRunning;
    handleMouseDown(display::Event{});
    EXPECT_EQ(kSaverEnding, saverState);
    EXPECT_EQ(kPromptRestart, prompt.promptTimerState);
}

TEST_F(InputTest, MouseJitterWithinFourPixelsOfTheFirstReportIsIgnored)
{
    Settings.passwordEnabled = 0;
    handleMouseMove(at(300, 200));
    EXPECT_EQ(300, mouse.mouseAnchorX);
    for (auto [x, y] : {std::pair{304, 200}, {296, 204}, {300, 196}, {304, 204}}) {
        handleMouseMove(at(x, y));
        EXPECT_EQ(kSaverRunning, saverState) << x << "," << y;
    }
    handleMouseMove(at(305, 200));
    EXPECT_EQ(kSaverEnding, saverState);
    EXPECT_EQ(300, mouse.mouseAnchorX) << "the anchor never moves";
    saverState = kSaverRunning;
    handleMouseMove(at(300, 195));
    EXPECT_EQ(kSaverEnding, saverState);
}

TEST_F(InputTest, FirstKeyRaisesThePromptWithoutBeingTyped)
{
    setPassword("secret");
    handleKey(key('s'));
    EXPECT_EQ(kSaverPrompt, saverState);
    EXPECT_EQ(0, prompt.typedLength);
    type("abc");
    EXPECT_EQ("abc", typed());
    handleKey(key(8));
    EXPECT_EQ("ab", typed());
    EXPECT_EQ('\0', prompt.typedPassword[2]);
}

TEST_F(InputTest, BackspaceOnAnEmptyPromptDoesNothing)
{
    setPassword("x");
    saverState = kSaverPrompt;
    handleKey(key(8));
    handleKey(key(8));
    EXPECT_EQ(0, prompt.typedLength);
    EXPECT_EQ(kSaverPrompt, saverState);
}

TEST_F(InputTest, OnlyPrintableCharactersAreTyped)
{
    setPassword("x");
    saverState = kSaverPrompt;
    // Control characters, DEL and the five bytes Windows-1252 leaves undefined.
    for (int c : {0, 9, 27, 30, 127, 0x81, 0x8D, 0x8F, 0x90, 0x9D}) handleKey(key(c));
    EXPECT_EQ(0, prompt.typedLength);
    handleKey(key(31));
    handleKey(key(126));
    handleKey(key(0x100 + 'q'));   // only the low byte is the character
    // Every other Windows-1252 character: the euro sign, e acute, y diaeresis.
    for (int c : {0x80, 0xE9, 0xFF}) handleKey(key(c));
    EXPECT_EQ(std::string("\x1f~q\x80\xE9\xFF"), typed());
}

TEST_F(InputTest, FortyFourthCharacterIsIgnored)
{
    setPassword("x");
    saverState = kSaverPrompt;
    type(std::string(50, 'k'));
    EXPECT_EQ(kTypedMaxLength, prompt.typedLength);
    EXPECT_EQ('\0', prompt.typedPassword[kTypedMaxLength]);
}

TEST_F(InputTest, RightPasswordEndsTheSaverAndLeavesNoTrace)
{
    setPassword("Open Sesame");
    handleKey(key(' '));
    type("Open Sesame");
    handleKey(key(13));
    EXPECT_EQ(kSaverEnding, saverState);
    EXPECT_EQ(0, prompt.typedLength);
    for (char byte : prompt.typedPassword) ASSERT_EQ('\0', byte);
}

TEST_F(InputTest, WrongPasswordPutsThePromptAwayAndClearsTheText)
{
    setPassword("Open Sesame");
    handleKey(key(' '));
    type("open sesame");
    handleKey(key(13));
    EXPECT_EQ(kSaverRunning, saverState);
    EXPECT_EQ(0, prompt.typedLength);
    for (char byte : prompt.typedPassword) ASSERT_EQ('\0', byte);
    handleKey(key('z'));
    EXPECT_EQ(kSaverPrompt, saverState);
    EXPECT_EQ(0, prompt.typedLength) << "the next key raises an empty prompt";
}

// 1 s after the first wrong password, then twice as long after each further one up to 30 s; the
// right one resets it. Meanwhile nothing is typed and Enter checks nothing.
TEST_F(InputTest, WrongPasswordsShutThePromptForAGrowingDelay)
{
    setPassword("ok");
    fake.lapUs = 1000;
    uint32_t expected[] = {1'000'000, 2'000'000, 4'000'000, 8'000'000, 16'000'000, 30'000'000, 30'000'000};
    for (uint32_t delay : expected) {
        handleKey(key(' '));
        type("no");
        handleKey(key(13));
        EXPECT_EQ(delay, retryDelayLeftUs(fake.lapUs));
        handleKey(key(' '));
        ASSERT_EQ(kSaverPrompt, saverState);
        fake.lapUs += delay - 1;
        type("ok");
        handleKey(key(13));
        EXPECT_EQ(kSaverPrompt, saverState) << "a try was taken during the delay of " << delay << " us";
        EXPECT_EQ(0, prompt.typedLength);
        fake.lapUs += 1;
        EXPECT_EQ(0u, retryDelayLeftUs(fake.lapUs));
        saverState = kSaverRunning;
    }
    handleKey(key(' '));
    type("ok");
    handleKey(key(13));
    EXPECT_EQ(kSaverEnding, saverState);
    EXPECT_EQ(0u, prompt.retryDelayUs) << "the right password resets the delay";
}

// A settings file written before passwords were kept in Windows-1252 holds "café" as UTF-8.
TEST_F(InputTest, AnAccentedPasswordOpensInWindows1252AndAsOlderUtf8)
{
    for (const char* stored : {"caf\xE9", "caf\xC3\xA9"}) {
        setPassword(stored);
        saverState = kSaverPrompt;
        type("caf\xE9");
        handleKey(key(13));
        EXPECT_EQ(kSaverEnding, saverState) << stored;
    }
    setPassword("caf\xC3\xA9");
    saverState = kSaverPrompt;
    type("caf\xC3\xA9");   // the UTF-8 bytes typed as two Windows-1252 characters match too
    handleKey(key(13));
    EXPECT_EQ(kSaverEnding, saverState);
    saverState = kSaverPrompt;
    type("cafe");
    handleKey(key(13));
    EXPECT_EQ(kSaverRunning, saverState);
}

TEST_F(InputTest, EmptyPasswordIsAcceptedByEnterAlone)
{
    setPassword("");
    handleKey(key('a'));
    handleKey(key(13));
    EXPECT_EQ(kSaverEnding, saverState);
}

TEST_F(InputTest, PasswordWithoutItsZeroByteIsComparedWithinItsRecord)
{
    Settings.passwordEnabled = 1;
    std::memset(Settings.password, 'p', sizeof Settings.password);
    saverState = kSaverPrompt;
    type(std::string(kTypedMaxLength, 'p'));
    handleKey(key(13));
    EXPECT_EQ(kSaverRunning, saverState);
}

TEST_F(InputTest, PromptInputRestartsTheIdleTimer)
{
    setPassword("x");
    saverState = kSaverPrompt;
    prompt.promptTimerState = kPromptTiming;
    handleMouseDown(display::Event{});
    EXPECT_EQ(kSaverPrompt, saverState);
    EXPECT_EQ(kPromptRestart, prompt.promptTimerState);
}

TEST_F(InputTest, OddStoredPasswordFlagEndsInsteadOfPrompting)
{
    Settings.passwordEnabled = 2;
    handleKey(key('a'));
    EXPECT_EQ(kSaverEnding, saverState);
}

TEST_F(InputTest, SuspendIsRefusedWithAPassword)
{
    setPassword("x");
    EXPECT_EQ(0, handleSuspend(nullptr, display::kSuspendTakenAway));
    EXPECT_EQ(0, handleSuspend(nullptr, display::kSuspendGivenBack));
    EXPECT_EQ(kSaverRunning, saverState);
    Settings.passwordEnabled = 0;
    EXPECT_EQ(0, handleSuspend(nullptr, display::kSuspendGivenBack));
    EXPECT_EQ(0, fake.exitRequests);
}

TEST_F(InputTest, SuspendWithoutPasswordEndsTheProcessAtOnce)
{
    Settings.passwordEnabled = 0;
    EXPECT_EXIT(handleSuspend(nullptr, display::kSuspendTakenAway), ::testing::ExitedWithCode(0), "");
}

// ---- The prompt ---------------------------------------------------------------------------------------

TEST_F(InputTest, PromptLayoutAtBothScales)
{
    PromptLayout small = promptLayout(640, 480);
    EXPECT_EQ(1, small.scale);
    EXPECT_EQ(320 - 92, small.left);
    EXPECT_EQ(240 - 18, small.top);
    EXPECT_EQ(241, small.markY);
    EXPECT_EQ(small.left + 8, promptMarkX(small, 0));
    EXPECT_EQ(small.left + 176, promptMarkX(small, 42));
    EXPECT_EQ(1, promptLayout(800, 480).scale) << "larger in one direction only";
    PromptLayout large = promptLayout(800, 600);
    EXPECT_EQ(2, large.scale);
    EXPECT_EQ(400 - 185, large.left);
    EXPECT_EQ(300 - 36, large.top);
    EXPECT_EQ(302, large.markY);
    EXPECT_EQ(large.left + 16, promptMarkX(large, 0));
    EXPECT_EQ(large.left + 24, promptMarkX(large, 1));
    EXPECT_EQ(large.left + 352, promptMarkX(large, 42));
}

TEST_F(InputTest, PromptDrawsTheBitmapAndOneBlackMarkPerCharacter)
{
    Settings.screenWidth = 1024;
    Settings.screenHeight = 768;
    setPassword("x");
    saverState = kSaverPrompt;
    type("abc");
    fake.color[0] = 99;
    drawPasswordPrompt(nullptr);
    EXPECT_EQ(0, fake.color[0]);
    ASSERT_EQ(3u, fake.rects.size());
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(512 - 185 + 16 + 8 * k, fake.rects[k].cx);
        EXPECT_EQ(386, fake.rects[k].cy);
        EXPECT_EQ(2, fake.rects[k].halfWidth);
        EXPECT_EQ(2, fake.rects[k].halfHeight);
    }
}

TEST_F(InputTest, PromptGoesAwayAfterTwentyQuietSeconds)
{
    setPassword("x");
    handleKey(key('a'));
    type("ab");
    checkPromptIdle(1'000'000);   // the first prompt frame after the key starts the timer
    EXPECT_EQ(kPromptTiming, prompt.promptTimerState);
    EXPECT_EQ(1'000'000u, prompt.promptStart);
    checkPromptIdle(21'000'000);
    EXPECT_EQ(kSaverPrompt, saverState) << "exactly 20 s is not yet over the limit";
    checkPromptIdle(21'000'001);
    EXPECT_EQ(kSaverRunning, saverState);
    EXPECT_EQ(kPromptIdle, prompt.promptTimerState);
    EXPECT_EQ(0, prompt.typedLength);
    for (char byte : prompt.typedPassword) ASSERT_EQ('\0', byte);
    EXPECT_EQ(21'000'001u, prompt.promptStart);
}

TEST_F(InputTest, InputWhileTimingStartsTheTwentySecondsAgain)
{
    setPassword("x");
    handleKey(key('a'));
    checkPromptIdle(0);
    checkPromptIdle(15'000'000);
    type("q");
    checkPromptIdle(16'000'000);
    checkPromptIdle(30'000'000);
    EXPECT_EQ(kSaverPrompt, saverState);
    checkPromptIdle(36'000'001);
    EXPECT_EQ(kSaverRunning, saverState);
}

TEST_F(InputTest, StopwatchRestartWhileTimingEndsThePrompt)
{
    setPassword("x");
    handleKey(key('a'));
    checkPromptIdle(499'990'000);
    checkPromptIdle(16'667);   // the frame loop restarted the stopwatch
    EXPECT_EQ(kSaverRunning, saverState);
}

}  // namespace
