// Windows paths on Linux: backslashes, and names matched whatever their case.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/paths.h"
#include "platform/windows_dir.h"

namespace {

class PathsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tockwheel-paths-XXXXXX";
        root = mkdtemp(pattern);
        previous = platform::currentDirectory();
        ASSERT_EQ(chdir(root.c_str()), 0);
    }
    void TearDown() override
    {
        ASSERT_EQ(chdir(previous.c_str()), 0);
        std::string command = "rm -rf '" + root + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    std::string root;
    std::string previous;
};

}  // namespace

TEST_F(PathsTest, BackslashesBecomeSlashesAndCaseIsFoldedPerComponent)
{
    ASSERT_TRUE(platform::createDirectory("orvask"));
    std::FILE* file = std::fopen("orvask/tockwheel.ini", "wb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);

    EXPECT_EQ(platform::resolvePath("Orvask\\Tockwheel.ini"), "orvask/tockwheel.ini");
    EXPECT_TRUE(platform::fileExists("ORVASK\\TOCKWHEEL.INI"));
    EXPECT_TRUE(platform::isDirectory("Orvask"));
    EXPECT_FALSE(platform::fileExists("Orvask"));
}

TEST_F(PathsTest, ExactNameWinsOverAnotherCase)
{
    ASSERT_EQ(mkdir("Fonts", 0755), 0);
    ASSERT_EQ(mkdir("fonts", 0755), 0);
    // As on Windows, a directory cannot be created beside one that differs only in case.
    EXPECT_FALSE(platform::createDirectory("FONTS"));
    EXPECT_EQ(platform::resolvePath("fonts"), "fonts");
    EXPECT_EQ(platform::resolvePath("Fonts"), "Fonts");
}

TEST_F(PathsTest, NewFileGoesIntoTheExistingDirectoryWhateverItsCase)
{
    ASSERT_TRUE(platform::createDirectory("orvask"));
    std::FILE* file = platform::openFile("Orvask\\New.ini", "wb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_EQ(access("orvask/New.ini", F_OK), 0);
}

TEST_F(PathsTest, AbsolutePathsAndMixedSeparators)
{
    ASSERT_TRUE(platform::createDirectory("Orvask"));
    std::string mixed = root + "\\orvask\\pass.pag";
    EXPECT_EQ(platform::resolvePath(mixed), root + "/Orvask/pass.pag");
    EXPECT_TRUE(platform::setCurrentDirectory("ORVASK"));
    EXPECT_EQ(platform::currentDirectory(), root + "/Orvask");
}

TEST(WindowsDirectory, FromWindirElseXdgDataHome)
{
    setenv("WINDIR", "/srv/windows", 1);
    EXPECT_EQ(platform::windowsDirectory(), "/srv/windows");
    char small[8];
    EXPECT_EQ(platform::getWindowsDirectory(small, sizeof small), 12u);
    EXPECT_STREQ(small, "/srv/wi");
    unsetenv("WINDIR");
    setenv("XDG_DATA_HOME", "/data", 1);
    EXPECT_EQ(platform::windowsDirectory(), "/data/tockwheel");
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(platform::windowsDirectory(), "/home/someone/.local/share/tockwheel");
}
