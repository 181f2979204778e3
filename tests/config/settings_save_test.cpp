// Saving and loading through the disk: the file appears whole or not at all, and only its owner reads it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "config/settings.h"
#include "platform/paths.h"

namespace {

class SettingsDiskTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tockwheel-settings-XXXXXX";
        root = mkdtemp(pattern);
        previous = platform::currentDirectory();
        ASSERT_EQ(chdir(root.c_str()), 0);
        resetSettings();
    }
    void TearDown() override
    {
        ASSERT_EQ(chdir(previous.c_str()), 0);
        std::string command = "rm -rf '" + root + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
        resetSettings();
    }
    static std::vector<char> readAll(const char* path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::string root;
    std::string previous;
};

}  // namespace

TEST_F(SettingsDiskTest, SaveThenLoadInAFolderSpelledInAnotherCase)
{
    ASSERT_EQ(mkdir("orvask", 0755), 0);
    Settings.videoMode = 64;
    Settings.starAmount = 1234;
    ASSERT_EQ(saveSettings(kSettingsPath), 0);
    EXPECT_EQ(readAll("orvask/Tockwheel.ini").size(), 74u);

    resetSettings();
    ASSERT_EQ(loadSettings(kSettingsPath), 0);
    EXPECT_EQ(Settings.videoMode, 64);
    EXPECT_EQ(Settings.starAmount, 1234);
}

TEST_F(SettingsDiskTest, FileIsReadableByItsOwnerOnly)
{
    ASSERT_EQ(mkdir("Orvask", 0755), 0);
    std::FILE* old = std::fopen("Orvask/Tockwheel.ini", "wb");
    ASSERT_NE(old, nullptr);
    std::fclose(old);
    ASSERT_EQ(chmod("Orvask/Tockwheel.ini", 0644), 0);

    Settings.passwordEnabled = 1;
    std::strcpy(Settings.password, "hunter2");
    ASSERT_EQ(saveSettings(kSettingsPath), 0);
    struct stat info;
    ASSERT_EQ(stat("Orvask/Tockwheel.ini", &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(SettingsDiskTest, MissingFolderIsMadeOwnerOnlyAFileInItsPlaceFailsAndMissingFileLoadsNothing)
{
    Settings.videoMode = 11;
    EXPECT_EQ(loadSettings(kSettingsPath), 1);
    EXPECT_EQ(Settings.videoMode, 11);

    ASSERT_EQ(saveSettings(kSettingsPath), 0);
    struct stat info;
    ASSERT_EQ(stat("Orvask", &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(readAll("Orvask/Tockwheel.ini").size(), 74u);

    ASSERT_EQ(std::system("rm -r Orvask && : > Orvask"), 0);
    EXPECT_EQ(saveSettings(kSettingsPath), 1);
}

TEST_F(SettingsDiskTest, FullDiskReturnsOneAndLeavesTheOldFileWhole)
{
    ASSERT_EQ(mkdir("Orvask", 0755), 0);
    Settings.passwordEnabled = 1;
    std::strcpy(Settings.password, "a password long enough to need a second block");
    ASSERT_EQ(saveSettings(kSettingsPath), 0);
    std::vector<char> before = readAll("Orvask/Tockwheel.ini");

    // A child process whose file size limit is below one settings file stands in for a full disk.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {40, 40};
        setrlimit(RLIMIT_FSIZE, &limit);
        Settings.passwordEnabled = 0;
        _exit(saveSettings(kSettingsPath));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(readAll("Orvask/Tockwheel.ini"), before);

    // No temporary file is left behind.
    std::string listing;
    std::FILE* ls = popen("ls -A Orvask", "r");
    char line[256];
    while (std::fgets(line, sizeof line, ls)) listing += line;
    pclose(ls);
    EXPECT_EQ(listing, "Tockwheel.ini\n");
}

TEST_F(SettingsDiskTest, ResetKeepsTheModeList)
{
    uint8_t list[] = {49, 255};
    Settings.modeList = list;
    Settings.frameSkip = 9;
    resetSettings();
    EXPECT_EQ(Settings.modeList, list);
    EXPECT_EQ(Settings.frameSkip, 0);
    Settings.modeList = nullptr;
}
