// tests/faults/disk_faults_test.cpp -- saving settings from the dialog and installing, into a full disk
// and into a read-only folder: each ends with its message and leaves what was on disk before as it was.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/faults/fault_run.h"
#include "tests/startup/saver_world.h"

namespace {

const std::string kBuild = TOCKWHEEL_BINARY_DIR;
constexpr char kSaveMessage[] = "Error: Could not save settings to INI file.";

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::string listing(const std::string& folder)
{
    std::string out;
    std::FILE* ls = popen(("ls -A " + quoted(folder)).c_str(), "r");
    char line[512];
    while (ls && std::fgets(line, sizeof line, ls)) out += line;
    if (ls) pclose(ls);
    return out;
}

// The configuration dialog of a world holding its own settings, played to change the star amount and
// press Apply, then Ok; the dialog's messages go to stderr, since the disk may take no log.
class SettingsApplyFault : public ::testing::Test {
protected:
    void SetUp() override
    {
        SettingsRecord settings = defaultSettingsRecord();
        settings.starAmount = 1234;
        world.saveSettings(settings);
        before = readFile(ini());
        ASSERT_EQ(before.size(), 74u);
        writeFile(world.windows.file("script.txt"), "type 505 999\nclick 113\nanswer ok\nclick 110\n");
        world.environment["TOCKWHEEL_UI"] = "script:" + world.windows.file("script.txt");
        world.environment["TOCKWHEEL_UI_LOG"] = "";
    }
    std::string ini() const { return world.windows.file("Orvask/Tockwheel.ini"); }
    ProgramRun runDialog(const std::string& commandLine)
    {
        return runProgram("/bin/sh", {"-c", commandLine}, world.environment, "/", 60);
    }
    std::string dialogCommand() const { return quoted(TOCKWHEEL_PROGRAM) + " /c"; }

    SaverWorld world;
    std::string before;
};

TEST_F(SettingsApplyFault, FullDiskShowsTheMessageAndKeepsTheOldFile)
{
    ProgramRun run = runWithFileSizeLimit(TOCKWHEEL_PROGRAM, {"/c"}, world.environment, "/", 0, 60);
    EXPECT_TRUE(contains(run.err, kSaveMessage)) << run.err;
    EXPECT_TRUE(contains(run.err, "caption=\"Error\"")) << run.err;
    EXPECT_EQ(readFile(ini()), before);
    EXPECT_EQ(listing(world.windows.file("Orvask")), "Tockwheel.ini\npass.pag\npass2x.pag\n");

    // The same dialog with room on the disk saves the change: the fault was the disk alone.
    ProgramRun fine = runDialog(dialogCommand());
    EXPECT_FALSE(contains(fine.err, kSaveMessage)) << fine.err;
    EXPECT_NE(readFile(ini()), before);
}

TEST_F(SettingsApplyFault, ReadOnlyFolderShowsTheMessageAndKeepsTheOldFile)
{
    std::string command = withReadOnlyFolder(dialogCommand(), world.windows.file("Orvask"));
    if (command.empty()) GTEST_SKIP() << "no private read-only mount here (unshare -m refused), and root ignores chmod";
    ProgramRun run = runDialog(command);
    EXPECT_TRUE(contains(run.err, kSaveMessage)) << run.err;
    EXPECT_EQ(readFile(ini()), before);
}

// The installer run from the build's distribution disk over an earlier installation: old program and
// bitmap files, the user's settings and a log naming another product.
class InstallFault : public ::testing::Test {
protected:
    void SetUp() override
    {
        disk = kBuild + "/disk";
        ASSERT_EQ(access((disk + "/setup").c_str(), X_OK), 0) << "build the disk target first";
        windows = dir.file("windows");
        ASSERT_TRUE(makeDirectories(windows + "/orvask") && makeDirectories(windows + "/fonts"));
        writeFile(windows + "/tockwheel", "the saver installed last year");
        writeFile(windows + "/orvask/pass.pag", "the old prompt bitmap");
        writeFile(windows + "/orvask/Tockwheel.ini", "the user's settings");
        writeFile(windows + "/orvask/install.log", std::string("\1\0\0\0Other\0", 10));
        writeFile(dir.file("answers.txt"), "answer ok\ntype 102 " + windows + "\nclick 1\nanswer ok\nanswer ok\nclose\n");
        environment = {{"TOCKWHEEL_UI", "script:" + dir.file("answers.txt")},
                       {"TOCKWHEEL_UI_LOG", ""},
                       {"WINDIR", dir.file("default-windows")},
                       {"DISPLAY", ""},
                       {"WAYLAND_DISPLAY", ""}};
    }
    ProgramRun runSetup(const std::string& commandLine)
    {
        return runProgram("/bin/sh", {"-c", commandLine}, environment, disk, 120);
    }
    void expectOldFilesKept()
    {
        EXPECT_EQ(readFile(windows + "/tockwheel"), "the saver installed last year");
        EXPECT_EQ(readFile(windows + "/orvask/pass.pag"), "the old prompt bitmap");
        EXPECT_EQ(readFile(windows + "/orvask/Tockwheel.ini"), "the user's settings");
        EXPECT_FALSE(contains(listing(windows) + listing(windows + "/orvask"), "partial"));
    }

    TempDir dir;
    std::string disk, windows;
    std::map<std::string, std::string> environment;
};

TEST_F(InstallFault, FullDiskStopsWithTheMessageAndKeepsTheFilesItWasReplacing)
{
    // Room for the log, not for the 4 MB program that comes first.
    ProgramRun run = runWithFileSizeLimit(disk + "/setup", {}, environment, disk, 64 * 1024, 120);
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_TRUE(contains(run.err, "caption=\"Fatal error\"")) << run.err;
    EXPECT_TRUE(contains(run.err, "Destination file could not be created!\\nAborting setup!")) << run.err;
    expectOldFilesKept();
    EXPECT_EQ(readFile(windows + "/orvask/install.log"), std::string("\2\0\0\0Other\0Tockwheel\0", 20));
}

TEST_F(InstallFault, ReadOnlyFolderStopsAtTheLogAndTouchesNothing)
{
    std::string command = withReadOnlyFolder("./setup", windows);
    if (command.empty()) GTEST_SKIP() << "no private read-only mount here (unshare -m refused), and root ignores chmod";
    ProgramRun run = runSetup(command);
    EXPECT_TRUE(contains(run.err, "caption=\"Fatal Error\"")) << run.err;
    EXPECT_TRUE(contains(run.err, "Error: Could not create install.log.")) << run.err;
    expectOldFilesKept();
    EXPECT_EQ(readFile(windows + "/orvask/install.log"), std::string("\1\0\0\0Other\0", 10));
}

}  // namespace
