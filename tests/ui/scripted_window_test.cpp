// tests/ui/scripted_window_test.cpp -- the installer's shape: backdrop, modeless dialog, idle loop, painting.
#include "platform/dialog/message_box.h"
#include "ui_test_support.h"

using namespace platform;

namespace {

int gIdleSteps = 0;
int gIdleLimit = 0;
std::vector<std::string> gEvents;
Window* gProgress = nullptr;

bool countingIdle()
{
    if (gIdleSteps >= gIdleLimit) return false;
    ++gIdleSteps;
    return true;
}

intptr_t progressProc(Window* dialog, unsigned message, uintptr_t wParam, intptr_t)
{
    if (message == kWmCommand) {
        gEvents.push_back("command " + std::to_string(loWord(wParam)) + " after " + std::to_string(gIdleSteps));
        if (loWord(wParam) == kIdCancel) destroyWindow(dialog);
        return 1;
    }
    if (message == kWmClose) {
        gEvents.push_back("close dialog");
        return 1;   // handled here: no cancel command follows
    }
    return 0;
}

intptr_t backdropProc(Window*, unsigned message, uintptr_t, intptr_t)
{
    if (message == kWmClose) gEvents.push_back("close backdrop");
    if (message == kWmDestroy) {
        gEvents.push_back("destroy backdrop");
        postQuitMessage(7);
    }
    return 0;   // the close goes on to destroy the window
}

class ScriptedWindows : public uitest::ScriptedUi {
protected:
    void SetUp() override
    {
        ScriptedUi::SetUp();
        gIdleSteps = 0;
        gIdleLimit = 100;
        gEvents.clear();
    }

    int runInstaller(const std::string& text)
    {
        script(text);
        Window* backdrop = createAppWindow("Halvorne Setup", getSysColor(kColorAppWorkspace), backdropProc);
        EXPECT_NE(backdrop, nullptr);
        gProgress = createDialogParam(&resources::kProgressDialogTemplate, backdrop, progressProc, 0);
        EXPECT_NE(gProgress, nullptr);
        return runMessageLoop(countingIdle);
    }
};

}  // namespace

TEST_F(ScriptedWindows, StepsLetIdleWorkRunBeforeTheNextAction)
{
    EXPECT_EQ(runInstaller("steps 3\nclick 2\nclose\n"), 7);
    std::vector<std::string> expected = {"command 2 after 3", "close backdrop", "destroy backdrop"};
    EXPECT_EQ(gEvents, expected);
    EXPECT_FALSE(isWindow(gProgress));
}

TEST_F(ScriptedWindows, WithoutStepsActionsWaitUntilTheIdleWorkIsDone)
{
    gIdleLimit = 40;
    EXPECT_EQ(runInstaller("close\nclick 2\nclose\n"), 7);
    std::vector<std::string> expected = {"close dialog", "command 2 after 40", "close backdrop",
                                         "destroy backdrop"};
    EXPECT_EQ(gEvents, expected);
}

TEST_F(ScriptedWindows, TheModelessDialogHasNoDialogKeys)
{
    EXPECT_EQ(runInstaller("key esc\nkey enter\nclose\nclick 2\nclose\n"), 7);
    std::vector<std::string> log = logLines();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "ignored line=1 action=\"key esc\" reason=no dialog keys here");
    EXPECT_EQ(gEvents.front(), "close dialog");
}

TEST_F(ScriptedWindows, ScriptEndingWhileTheLoopWaitsExitsWithStatus3)
{
    EXPECT_EXIT(runInstaller("steps 2\nclick 2\n"), ::testing::ExitedWithCode(3),
                "script ended while the program waits for the user");
}

TEST_F(ScriptedWindows, PaintingIsRecordedAndDumped)
{
    script("dump\nclick 2\n");
    Window* dialog = createDialogParam(&resources::kProgressDialogTemplate, nullptr, progressProc, 0);
    ASSERT_NE(dialog, nullptr);
    int w = 0, h = 0;
    ASSERT_TRUE(getControlClientSize(dialog, 202, &w, &h));
    EXPECT_EQ(w, 387);   // 258 x 18 dialog units with the nominal 6 x 13 base units
    EXPECT_EQ(h, 29);
    Canvas* canvas = createCanvas(dialog, w + 1, h + 1);
    ASSERT_NE(canvas, nullptr);
    canvasRectangle(canvas, 0, 0, w, h, 0x000000, 0xFFFFFF);
    canvasText(canvas, w / 2, h / 2 - 8, "0% complete");
    canvasSetMix(canvas, kR2MergePenNot);
    canvasRectangle(canvas, 1, 1, 0, h - 1, 0x00000A, 0x0000FF);
    EXPECT_TRUE(copyCanvas(canvas, dialog, 8, 82, w, h));
    destroyCanvas(canvas);
    EXPECT_EQ(runMessageLoop(nullptr), 0);   // the cancel closes the last window
    std::vector<std::string> log = logLines();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find(" paint=\"rect 0,0,387,29 pen=000000 brush=ffffff; text 193,6 0% complete; "
                          "mix mergepennot; rect 1,1,0,28 pen=00000a brush=0000ff; copy 387x29 to 8,82\""),
              std::string::npos)
        << log[0];
}
