// The configuration dialog: the Apply/Cancel pair, closing, Apply, defaults, the speed bar, hand-edited files.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "config/config_dialog.h"
#include "config/settings.h"
#include "config/video_modes.h"
#include "dialog_harness.h"
#include "platform/dialog/ui_backend.h"

namespace {

constexpr int kApply = 113, kOk = 110, kCancel = 111, kAbout = 112, kDefault = 114, kHelp = 115;

bool logHas(const std::vector<std::string>& lines, const std::string& part)
{
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& line) { return line.find(part) != std::string::npos; });
}

const std::string kNoPasswordBox =
    "box caption=\"Error\" icon=error buttons=ok text=\"Error: Password enabled but no password set.\"";
const std::string kNotSavedBox =
    "box caption=\"Error\" icon=error buttons=ok text=\"Error: Could not save settings to INI file.\"";

}  // namespace

// ---- Cancel and Apply follow unsaved changes ----

TEST_F(ConfigDialogTest, PairIsGreyedAfterOpeningEnabledByCubesAndGreyedAgainByApply)
{
    open();
    EXPECT_FALSE(applyAndCancelEnabled());
    EXPECT_TRUE(enabled(kOk));
    click(300);
    EXPECT_TRUE(applyAndCancelEnabled());
    click(kApply);
    EXPECT_FALSE(applyAndCancelEnabled());
    EXPECT_TRUE(settingsFileExists());
}

TEST_F(ConfigDialogTest, ChangingOnlyTheDepthLeavesThePairGreyedWhileChoosingAModeEnablesIt)
{
    open();
    click(155);
    EXPECT_FALSE(applyAndCancelEnabled());
    EXPECT_EQ(Settings.colorDepth, 155);   // taken at once all the same
    pick(150, 0);
    EXPECT_TRUE(applyAndCancelEnabled());
}

TEST_F(ConfigDialogTest, EveryNotificationOfTheSettingControlsCountsAsAChange)
{
    open();
    click(504);   // only the focus arrives in the star-speed box
    EXPECT_TRUE(applyAndCancelEnabled());
    click(kApply);
    EXPECT_FALSE(applyAndCancelEnabled());
    click(501);
    EXPECT_TRUE(applyAndCancelEnabled());
}

TEST_F(ConfigDialogTest, DefaultEnablesThePair)
{
    open();
    click(kDefault);
    EXPECT_TRUE(applyAndCancelEnabled());
}

// ---- Closing saves nothing ----

TEST_F(ConfigDialogTest, OkAfterChangesLeavesTheFileUntouched)
{
    writeSettingsFile();
    std::vector<uint8_t> before = settingsBytes();
    open();
    click(300);
    click(900);
    type(505, "42");
    click(kOk);
    EXPECT_FALSE(dialogOpen());
    EXPECT_EQ(settingsBytes(), before);
    EXPECT_EQ(Settings.rotationEnabled, 0);   // taken at once, but never saved
}

TEST_F(ConfigDialogTest, CancelEscapeAndTheCloseBoxEndTheDialogWithoutSaving)
{
    open();
    click(300);
    click(kCancel);
    EXPECT_FALSE(dialogOpen());
    open();
    notify(platform::kIdCancel, platform::kBnClicked);   // what Esc sends in the modal dialog
    EXPECT_FALSE(dialogOpen());
    open();
    platform::userClose(dialog);
    EXPECT_FALSE(dialogOpen());
    EXPECT_FALSE(settingsFileExists());
}

TEST_F(ConfigDialogTest, EnterDoesNothing)
{
    open();
    pressEnter();
    EXPECT_TRUE(dialogOpen());
    EXPECT_FALSE(applyAndCancelEnabled());
    click(300);
    pressEnter();
    EXPECT_TRUE(dialogOpen());
    EXPECT_FALSE(settingsFileExists());
    EXPECT_TRUE(logLines().empty());
}

// ---- Apply ----

TEST_F(ConfigDialogTest, PasswordEnabledWithoutAPasswordIsRefusedAndNothingIsWritten)
{
    open();
    click(170);
    EXPECT_EQ(Settings.passwordEnabled, 1);
    EXPECT_TRUE(enabled(171));
    click(300);
    click(kApply);
    EXPECT_TRUE(logHas(logLines(), kNoPasswordBox));
    EXPECT_FALSE(settingsFileExists());
    EXPECT_TRUE(applyAndCancelEnabled());
    EXPECT_EQ(Settings.showCubes, 1);   // nothing was taken from the controls
}

TEST_F(ConfigDialogTest, AnyNonZeroPasswordFlagFromAFileNeedsAPassword)
{
    Settings.passwordEnabled = 5;
    open();
    EXPECT_TRUE(checked(170));
    EXPECT_TRUE(enabled(171));
    click(300);
    click(kApply);
    EXPECT_TRUE(logHas(logLines(), kNoPasswordBox));
    EXPECT_FALSE(settingsFileExists());
}

TEST_F(ConfigDialogTest, StarNumbersKeepTheirLowSixteenBits)
{
    open();
    type(505, "70000");
    type(504, "40000");
    click(kApply);
    EXPECT_EQ(Settings.starAmount, 4464);
    EXPECT_EQ(Settings.starSpeed, -25536);
    std::vector<uint8_t> bytes = settingsBytes();
    EXPECT_EQ(tailInt16(bytes, 58), 4464);
    EXPECT_EQ(tailInt16(bytes, 56), -25536);
}

TEST_F(ConfigDialogTest, ApplyWritesTheLoadedColoursBackRoundedToFivePlaces)
{
    Settings.customRed = 0.123456f;
    Settings.customGreen = 0.5f;
    Settings.customBlue = 0.987654321f;
    open();
    EXPECT_EQ(text(201), ".12346");
    EXPECT_EQ(text(203), ".98765");
    click(504);
    click(kApply);
    std::vector<uint8_t> bytes = settingsBytes();
    ASSERT_EQ(bytes.size(), 74u);
    EXPECT_EQ(tailFloat(bytes, 28), 0.12346f);   // red
    EXPECT_EQ(tailFloat(bytes, 32), 0.98765f);   // blue, stored before green
    EXPECT_EQ(tailFloat(bytes, 36), 0.5f);       // green
}

TEST_F(ConfigDialogTest, TypedColoursAreReadOnApplyAndTextThatIsNoNumberGivesZero)
{
    open();
    click(200);
    type(201, ".25");
    type(202, "green");
    type(203, "0.7500000001");   // only nine characters are read
    EXPECT_EQ(Settings.customRed, 0.0f);
    click(kApply);
    EXPECT_FLOAT_EQ(Settings.customRed, 0.25f);
    EXPECT_EQ(Settings.customGreen, 0.0f);
    EXPECT_FLOAT_EQ(Settings.customBlue, 0.75f);
}

TEST_F(ConfigDialogTest, PlainControlsChangeSettingsAtOnceAndAutomaticOnesOnApply)
{
    open();
    click(600);
    click(501);
    click(900);
    click(301);
    click(205);
    EXPECT_EQ(Settings.renderMode, 600);
    EXPECT_EQ(Settings.starDirection, 501);
    EXPECT_EQ(Settings.rotationEnabled, 0);
    EXPECT_EQ(Settings.showSpheres, 0);
    EXPECT_EQ(Settings.colorCycling, 1);
    click(kApply);
    EXPECT_EQ(Settings.showSpheres, 1);
    EXPECT_EQ(Settings.colorCycling, 0);
}

TEST_F(ConfigDialogTest, ComboChoicesAreTakenByNameOnApply)
{
    open();
    pick(204, 7);
    pick(700, 12);
    EXPECT_EQ(Settings.colorScheme, 12);
    EXPECT_EQ(Settings.movementStyle, 2);
    click(kApply);
    EXPECT_EQ(Settings.colorScheme, 7);     // "Fire Red"
    EXPECT_EQ(Settings.movementStyle, 12);  // "Roll"
    std::vector<uint8_t> bytes = settingsBytes();
    EXPECT_EQ(tailInt16(bytes, 40), 7);
    EXPECT_EQ(tailInt16(bytes, 62), 12);
}

TEST_F(ConfigDialogTest, ChooseColorSwapsWhichControlsAreUsable)
{
    open();
    click(200);
    EXPECT_EQ(Settings.useCustomColor, 1);
    EXPECT_TRUE(checked(200));
    for (int id : {1101, 201, 202, 203}) EXPECT_TRUE(enabled(id)) << id;
    for (int id : {1100, 204}) EXPECT_FALSE(enabled(id)) << id;
    click(200);
    EXPECT_EQ(Settings.useCustomColor, 0);
    EXPECT_FALSE(checked(200));
    for (int id : {1101, 201, 202, 203}) EXPECT_FALSE(enabled(id)) << id;
    for (int id : {1100, 204}) EXPECT_TRUE(enabled(id)) << id;
}

TEST_F(ConfigDialogTest, AFailedSaveIsReportedAndThePairIsGreyedAnyway)
{
    // A file where the folder should be: the folder can be neither used nor made.
    std::string command = "rm -rf '" + root + "/Orvask' && : > '" + root + "/Orvask'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    open();
    type(505, "123");
    click(kApply);
    EXPECT_TRUE(logHas(logLines(), kNotSavedBox));
    EXPECT_FALSE(applyAndCancelEnabled());
    EXPECT_EQ(Settings.starAmount, 123);
    EXPECT_TRUE(dialogOpen());
}

// ---- What the dialog shows ----

TEST_F(ConfigDialogTest, TheDefaultsShowTheirColoursGreyedAndTheirNamedChoices)
{
    open();
    EXPECT_EQ(text(201), "0");
    EXPECT_EQ(text(202), "0");
    EXPECT_EQ(text(203), "1");
    for (int id : {1101, 201, 202, 203}) EXPECT_FALSE(enabled(id)) << id;
    EXPECT_TRUE(enabled(204));
    EXPECT_EQ(text(204), "RGB Fade");
    EXPECT_EQ(text(700), "XYZ Rotate");
    EXPECT_EQ(text(151), "640 x 480 SVGA 64k color");
    EXPECT_EQ(text(504), "2");
    EXPECT_EQ(text(505), "700");
    EXPECT_TRUE(checked(154));
    EXPECT_TRUE(checked(601));
    EXPECT_TRUE(checked(502));
    EXPECT_FALSE(checked(170));
    EXPECT_FALSE(enabled(171));
    for (int id = 160; id <= 167; ++id) EXPECT_TRUE(checked(id)) << id;
    EXPECT_EQ(scrollPos(190), 0);
}

TEST_F(ConfigDialogTest, DefaultRefillsEachComboOnceAndPutsBackTheDefaults)
{
    Settings.passwordEnabled = 1;
    std::strcpy(Settings.password, "pw");
    Settings.useCustomColor = 1;
    Settings.colorScheme = 3;
    Settings.frameSkip = 7;
    open();
    EXPECT_TRUE(enabled(171));
    click(kDefault);
    click(kDefault);
    EXPECT_EQ(items(204).size(), 14u);
    EXPECT_EQ(items(700).size(), 13u);
    EXPECT_EQ(text(204), "RGB Fade");
    EXPECT_FALSE(checked(170));
    EXPECT_FALSE(enabled(171));
    EXPECT_TRUE(enabled(204));
    for (int id : {201, 202, 203}) EXPECT_FALSE(enabled(id)) << id;
    EXPECT_EQ(scrollPos(190), 0);
    EXPECT_EQ(Settings.password[0], '\0');
    EXPECT_FALSE(settingsFileExists());   // nothing is saved until Apply
}

TEST_F(ConfigDialogTest, AboutAndHelpShowTheirTexts)
{
    open();
    click(kAbout);
    click(kHelp);
    std::vector<std::string> lines = logLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("box caption=\"About\" icon=information buttons=ok text=\"Tockwheel", 0), 0u);
    EXPECT_EQ(lines[1].rfind("box caption=\"Help\" icon=information buttons=ok text=\"If you are experiencing", 0),
              0u);
    EXPECT_TRUE(logHas(lines, "solutions for them. Or you can visit Halvorne on the Internet at "
                              "http://www.halvorne.com/ and contact our support department.\""));
    EXPECT_FALSE(applyAndCancelEnabled());
}

// ---- The speed bar ----

TEST_F(ConfigDialogTest, SpeedBarStopsAtBothEnds)
{
    open();
    scroll(platform::kSbLineUp);
    EXPECT_EQ(Settings.frameSkip, 0);
    EXPECT_EQ(scrollPos(190), 0);
    EXPECT_TRUE(applyAndCancelEnabled());
    scroll(platform::kSbThumbPosition, 19);
    scroll(platform::kSbLineDown);
    scroll(platform::kSbLineDown);
    EXPECT_EQ(Settings.frameSkip, 20);
    EXPECT_EQ(scrollPos(190), 20);
    scroll(platform::kSbLineUp);
    EXPECT_EQ(Settings.frameSkip, 19);
}

TEST_F(ConfigDialogTest, SpeedBarIgnoresPageTopAndBottomRequests)
{
    Settings.frameSkip = 5;
    open();
    for (unsigned request : {platform::kSbPageUp, platform::kSbPageDown, platform::kSbTop, platform::kSbBottom})
        scroll(request);
    EXPECT_EQ(Settings.frameSkip, 5);
    EXPECT_FALSE(applyAndCancelEnabled());
    scroll(platform::kSbThumbTrack, 12);
    EXPECT_EQ(Settings.frameSkip, 12);
    EXPECT_EQ(scrollPos(190), 12);
}

// ---- A hand-edited settings file ----

TEST_F(ConfigDialogTest, ValuesOutsideEveryListOpenTheDialogWithoutAChoice)
{
    Settings.colorDepth = 999;
    Settings.colorScheme = 99;
    Settings.movementStyle = -5;
    Settings.videoMode = 200;
    Settings.frameSkip = 500;
    Settings.starDirection = 7;
    open();
    EXPECT_EQ(text(151), "Invalid graphics mode");
    for (int id = 152; id <= 156; ++id) EXPECT_FALSE(checked(id)) << id;
    EXPECT_EQ(items(150), (std::vector<std::string>{"No graphics modes", "Select a different color depth",
                                                    "Or enable some graphics drivers."}));
    EXPECT_FALSE(enabled(150));
    EXPECT_EQ(selection(204), -1);
    EXPECT_EQ(selection(700), -1);
    EXPECT_FALSE(checked(501));
    EXPECT_FALSE(checked(502));
    EXPECT_EQ(scrollPos(190), 20);
    scroll(platform::kSbLineUp);   // moves from where the thumb shows
    EXPECT_EQ(Settings.frameSkip, 19);

    click(kApply);
    EXPECT_EQ(Settings.colorScheme, 99);
    EXPECT_EQ(Settings.movementStyle, -5);
    EXPECT_EQ(Settings.videoMode, 200);
    std::vector<uint8_t> bytes = settingsBytes();
    EXPECT_EQ(tailInt32(bytes, 0), 200);
    EXPECT_EQ(tailInt32(bytes, 4), 999);
}

// ---- Another dialog saved meanwhile ----

// Dialog B is open when another dialog (a second `tockwheel /c`) sets a password and applies it. B's
// Apply must not silently write its stale copy over that: it asks, No keeps the other's file, Yes replaces it.
TEST_F(ConfigDialogTest, ApplyAsksBeforeOverwritingWhatAnotherDialogSavedSinceThisOneReadTheFile)
{
    writeSettingsFile();
    ASSERT_EQ(loadSettings(kSettingsPath), 0);   // B's start-up
    useScript("answer no\nanswer yes\n");
    open();
    pid_t other = fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
        Settings.passwordEnabled = 1;
        std::strcpy(Settings.password, "secret");
        _exit(saveSettings(kSettingsPath));
    }
    int status = -1;
    ASSERT_EQ(waitpid(other, &status, 0), other);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::vector<uint8_t> theirs = settingsBytes();
    ASSERT_EQ(theirs.size(), 82u);

    click(300);
    click(kApply);
    const std::string question = "box caption=\"Settings changed\" icon=exclamation buttons=yes,no";
    EXPECT_TRUE(logHas(logLines(), question));
    EXPECT_EQ(settingsBytes(), theirs);
    EXPECT_TRUE(applyAndCancelEnabled());

    click(kApply);
    EXPECT_EQ(settingsBytes().size(), 74u);
    EXPECT_FALSE(applyAndCancelEnabled());
    // Once B saved, its own file is what it last saw: a further Apply asks nothing.
    click(300);
    click(kApply);
    std::vector<std::string> lines = logLines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [&](const std::string& line) { return line.find(question) != std::string::npos; }),
              2);
}
