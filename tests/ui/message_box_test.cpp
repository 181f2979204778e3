// tests/ui/message_box_test.cpp -- message boxes answered by script, by default, and with no one to answer.
#include "platform/dialog/message_box.h"
#include "ui_test_support.h"

using namespace platform;

namespace {

class ScriptedBox : public uitest::ScriptedUi {};

}  // namespace

TEST_F(ScriptedBox, AnswersComeFromTheScriptAndEveryBoxIsOneLogLine)
{
    script("answer no\nanswer yes\nanswer cancel\n");
    EXPECT_EQ(messageBox(nullptr, "Installation is not complete!\nAre you sure you want to abort?", "Abort",
                         kMbYesNo | kMbIconQuestion), kIdNo);
    EXPECT_EQ(messageBox(nullptr, "Again?", "Abort", kMbYesNo | kMbIconQuestion), kIdYes);
    EXPECT_EQ(messageBox(nullptr, "Insert disk 2", "Disk", kMbOkCancel | kMbIconExclamation), kIdCancel);
    std::vector<std::string> log = logLines();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "box caption=\"Abort\" icon=question buttons=yes,no text=\"Installation is not complete!\\n"
                      "Are you sure you want to abort?\" answer=no by=script");
    EXPECT_EQ(log[2], "box caption=\"Disk\" icon=exclamation buttons=ok,cancel text=\"Insert disk 2\" "
                      "answer=cancel by=script");
}

TEST_F(ScriptedBox, AnOkOnlyBoxWithoutAnAnswerLineIsAcknowledgedByDefault)
{
    script("answer ok\n");
    EXPECT_EQ(messageBox(nullptr, "Fatal Error: Unable to find file pass.pag.", "Error", kMbOk | kMbIconError), kIdOk);
    EXPECT_EQ(messageBox(nullptr, "Setup complete!", "Finished setup", kMbOk | kMbIconExclamation), kIdOk);
    std::vector<std::string> log = logLines();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "box caption=\"Error\" icon=error buttons=ok text=\"Fatal Error: Unable to find file "
                      "pass.pag.\" answer=ok by=script");
    EXPECT_EQ(log[1], "box caption=\"Finished setup\" icon=exclamation buttons=ok text=\"Setup complete!\" "
                      "answer=ok by=default");
}

TEST_F(ScriptedBox, AQuestionWithoutAnAnswerOrAWrongAnswerEndsTheRunWithStatus3)
{
    script("click 1\n");
    EXPECT_EXIT(messageBox(nullptr, "Sure?", "Abort", kMbYesNo | kMbIconQuestion), ::testing::ExitedWithCode(3),
                "line 1 \\(click 1\\): expected an answer line for the question box \"Abort\"");
    script("");
    EXPECT_EXIT(messageBox(nullptr, "Sure?", "Abort", kMbYesNo), ::testing::ExitedWithCode(3),
                "script ended before an answer line");
    script("answer ok\n");
    EXPECT_EXIT(messageBox(nullptr, "Sure?", "Abort", kMbYesNo), ::testing::ExitedWithCode(3), "has no button 'ok'");
}

TEST_F(ScriptedBox, AMissingScriptEndsTheRunWithStatus3)
{
    setenv("TOCKWHEEL_UI", ("script:" + dir + "/none.txt").c_str(), 1);
    resetUi();
    EXPECT_EXIT(messageBox(nullptr, "x", "y", kMbOk), ::testing::ExitedWithCode(3), "cannot read the script");
}

TEST(NoOneToAnswer, BoxGoesToStderrAndTheDefaultButtonIsTaken)
{
    setenv("TOCKWHEEL_UI", "stderr", 1);
    unsetenv("TOCKWHEEL_UI_LOG");
    resetUi();
    EXPECT_STREQ(uiRealisation(), "stderr");
    ::testing::internal::CaptureStderr();
    int ok = messageBox(nullptr, "Error: Could not save settings to INI file.", "Error", kMbOk | kMbIconError);
    int yes = messageBox(nullptr, "Installation is not complete!\nAre you sure you want to abort?", "Abort",
                         kMbYesNo | kMbIconQuestion);
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(ok, kIdOk);
    EXPECT_EQ(yes, kIdYes);
    EXPECT_EQ(err, "Error\nError: Could not save settings to INI file.\n"
                   "Abort\nInstallation is not complete!\nAre you sure you want to abort?\n");
}

TEST(NoOneToAnswer, WithoutADisplayDialogsTakeEnterAndGiveUpWhenItDoesNotEndThem)
{
    unsetenv("TOCKWHEEL_UI");
    const char* display = std::getenv("DISPLAY");
    std::string saved = display ? display : "";
    unsetenv("DISPLAY");
    resetUi();
    EXPECT_STREQ(uiRealisation(), "stderr");
    auto endsOnOk = [](Window* d, unsigned message, uintptr_t wParam, intptr_t) -> intptr_t {
        if (message == kWmInitDialog) setDlgItemText(d, 102, "C:\\WINDOWS");
        if (message == kWmCommand && loWord(wParam) == kIdOk) endDialog(d, 5);
        return 0;
    };
    auto ignoresOk = [](Window*, unsigned, uintptr_t, intptr_t) -> intptr_t { return 0; };
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(dialogBoxParam(&resources::kPathDialogTemplate, nullptr, endsOnOk, 0), 5);
    EXPECT_EQ(dialogBoxParam(&resources::kConfigDialogTemplate, nullptr, ignoresOk, 0), -1);
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "Install path: no display and no UI script; pressing Enter\n"
                   "Tockwheel: no display and no UI script; pressing Enter\n"
                   "Tockwheel: the dialog did not end on Enter; giving up\n");
    if (display) setenv("DISPLAY", saved.c_str(), 1);
    resetUi();
}
