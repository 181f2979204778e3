// The change-password dialog, opened from "Change password" and played by the UI script.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "config/settings.h"
#include "dialog_harness.h"

namespace {

const std::string kChangedBox =
    "box caption=\"Password\" icon=exclamation buttons=ok text=\"Your password has been changed.\"";
const std::string kOldInvalidBox =
    "box caption=\"Error\" icon=error buttons=ok text=\"Error: Your old password is not valid!\"";
const std::string kNotConfirmedBox =
    "box caption=\"Error\" icon=error buttons=ok text=\"Error: Your new password was not confirmed!\"";

int countLines(const std::vector<std::string>& lines, const std::string& part)
{
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.find(part) != std::string::npos;
    }));
}

}  // namespace

class PasswordDialogTest : public ConfigDialogTest {
protected:
    // Opens the configuration dialog with the password option on and presses "Change password"; the
    // script plays the password dialog.
    void changePassword(const std::string& script, const char* current)
    {
        Settings.passwordEnabled = 1;
        std::strcpy(Settings.password, current);
        useScript(script);
        open();
        click(171);
    }
};

TEST_F(PasswordDialogTest, WithoutAPasswordTheOldFieldIsGreyedAndMatchingEntriesSetIt)
{
    changePassword("dump\ntype 101 Secret\ntype 102 Secret\nclick 1\n", "");
    std::vector<std::string> lines = logLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NE(lines[0].find("{id=100 kind=edit enabled=0"), std::string::npos);
    EXPECT_NE(lines[0].find("focus=101"), std::string::npos);   // the first enabled field
    EXPECT_EQ(countLines(lines, kChangedBox), 1);
    EXPECT_STREQ(Settings.password, "Secret");
    EXPECT_EQ(Settings.passwordEnabled, 1);
    EXPECT_TRUE(dialogOpen());
}

TEST_F(PasswordDialogTest, TheOldPasswordIsComparedWithLetterCase)
{
    changePassword("type 100 secret\ntype 101 new\ntype 102 new\nclick 1\ndump\nclick 2\n", "Secret");
    std::vector<std::string> lines = logLines();
    EXPECT_EQ(countLines(lines, kOldInvalidBox), 1);
    EXPECT_EQ(countLines(lines, kChangedBox), 0);
    EXPECT_EQ(countLines(lines, "dump window=\"Change password\""), 1);   // still open after the message
    EXPECT_STREQ(Settings.password, "Secret");
}

TEST_F(PasswordDialogTest, TheRightOldPasswordAllowsTheChange)
{
    changePassword("type 100 Secret\ntype 101 other\ntype 102 other\nkey enter\n", "Secret");
    EXPECT_EQ(countLines(logLines(), kChangedBox), 1);
    EXPECT_STREQ(Settings.password, "other");
}

TEST_F(PasswordDialogTest, AnUnconfirmedNewPasswordChangesNothing)
{
    changePassword("type 101 one\ntype 102 two\nclick 1\ntype 102 one\nclick 1\n", "");
    std::vector<std::string> lines = logLines();
    EXPECT_EQ(countLines(lines, kNotConfirmedBox), 1);
    EXPECT_EQ(countLines(lines, kChangedBox), 1);   // the fields stayed as typed; the second try matched
    EXPECT_STREQ(Settings.password, "one");
}

TEST_F(PasswordDialogTest, EmptyEntriesClearThePasswordAndApplyThenRefuses)
{
    changePassword("type 100 pw\nclick 1\n", "pw");
    EXPECT_EQ(Settings.password[0], '\0');
    click(113);
    std::vector<std::string> lines = logLines();
    EXPECT_EQ(countLines(lines, "Error: Password enabled but no password set."), 1);
    EXPECT_FALSE(settingsFileExists());
}

TEST_F(PasswordDialogTest, OnlyTheFirstFortyThreeCharactersCount)
{
    std::string common(43, 'a');
    changePassword("type 101 " + common + "XYZ\ntype 102 " + common + "QRS\nclick 1\n", "");
    EXPECT_EQ(countLines(logLines(), kChangedBox), 1);
    EXPECT_EQ(std::string(Settings.password), common);
}

TEST_F(PasswordDialogTest, CancelEscapeAndTheCloseBoxLeaveThePassword)
{
    changePassword("type 100 pw\ntype 101 x\ntype 102 x\nclick 2\n"
                   "type 100 pw\ntype 101 y\ntype 102 y\nkey esc\n"
                   "type 100 pw\ntype 101 z\ntype 102 z\nclose\n",
                   "pw");
    click(171);
    click(171);
    EXPECT_STREQ(Settings.password, "pw");
    EXPECT_EQ(countLines(logLines(), "box "), 0);
    EXPECT_TRUE(dialogOpen());
}

TEST_F(PasswordDialogTest, AChangedPasswordReachesTheFileOnlyThroughApply)
{
    Settings.passwordEnabled = 1;
    std::strcpy(Settings.password, "old");
    writeSettingsFile();
    std::vector<uint8_t> before = settingsBytes();
    changePassword("type 100 old\ntype 101 newer\ntype 102 newer\nclick 1\n", "old");
    click(110);
    EXPECT_EQ(settingsBytes(), before);

    std::strcpy(Settings.password, "old");
    changePassword("type 100 old\ntype 101 newer\ntype 102 newer\nclick 1\n", "old");
    click(113);
    std::vector<uint8_t> after = settingsBytes();
    ASSERT_EQ(after.size(), 81u);
    EXPECT_EQ(std::string(after.begin() + 8, after.begin() + 13), "newer");
}

// The prompt takes Windows-1252 characters only: the dialog keeps a password in that code page, refuses
// one it cannot hold, and still takes an old password stored as UTF-8 before.
TEST_F(PasswordDialogTest, PasswordsAreKeptInWindows1252AndOthersAreRefused)
{
    changePassword("type 101 ça 10€\ntype 102 ça 10€\nclick 1\n", "");
    EXPECT_EQ(countLines(logLines(), kChangedBox), 1);
    EXPECT_STREQ(Settings.password, "\xE7" "a 10\x80");

    changePassword("type 100 \xE7" "a 10\x80\ntype 101 łódź\ntype 102 łódź\nclick 1\nclick 2\n",
                   "\xE7" "a 10\x80");
    std::vector<std::string> lines = logLines();
    EXPECT_EQ(countLines(lines, "Error: A password can only hold characters of the Windows-1252 (Western European) "
                                "code page!"), 1);
    EXPECT_EQ(countLines(lines, kChangedBox), 1);   // the first change only
    EXPECT_STREQ(Settings.password, "\xE7" "a 10\x80");
}

TEST_F(PasswordDialogTest, AnOldPasswordStoredAsUtf8IsTakenAsTyped)
{
    changePassword("type 100 café\ntype 101 new\ntype 102 new\nclick 1\n", "caf\xC3\xA9");
    EXPECT_EQ(countLines(logLines(), kChangedBox), 1);
    EXPECT_STREQ(Settings.password, "new");
}
