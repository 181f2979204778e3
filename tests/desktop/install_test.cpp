// tests/desktop/install_test.cpp -- `cmake --install` into a staging directory: the listing a Debian
// package would carry, and both manual pages rendered by man without a warning.
#include "tests/support/program_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

namespace {

const char* const kInstalledFiles[] = {
    "usr/bin/tockwheel",
    "usr/bin/setup",
    "usr/share/tockwheel/fonts/Arial.ttf",
    "usr/share/tockwheel/fonts/Arial-licence.txt",
    "usr/share/tockwheel/orvask/pass.pag",
    "usr/share/tockwheel/orvask/pass2x.pag",
    "usr/share/tockwheel/tockwheel.xml",
    "usr/share/tockwheel/tockwheel.svg",
    "usr/share/xscreensaver/config/tockwheel.xml",
    "usr/share/icons/hicolor/scalable/apps/tockwheel.svg",
    "usr/share/applications/tockwheel-settings.desktop",
    "usr/share/man/man6/tockwheel.6",
    "usr/share/man/man1/setup.1",
};

bool executable(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & S_IXUSR);
}

bool nonEmptyFile(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
}

class DesktopInstall : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        staging = new TempDir();
        install = new ProgramRun(runProgram(CMAKE_COMMAND_PATH, {"--install", TOCKWHEEL_BINARY_DIR, "--prefix", "/usr"},
                                            {{"DESTDIR", staging->path}}, "/", 120));
    }
    static void TearDownTestSuite()
    {
        delete install;
        delete staging;
    }
    static TempDir* staging;
    static ProgramRun* install;
};
TempDir* DesktopInstall::staging = nullptr;
ProgramRun* DesktopInstall::install = nullptr;

TEST_F(DesktopInstall, EveryFileLandsWhereDebianLooksForIt)
{
    ASSERT_EQ(install->exitCode, 0) << install->out << install->err;
    for (const char* file : kInstalledFiles) EXPECT_TRUE(nonEmptyFile(staging->file(file))) << file;
    EXPECT_TRUE(executable(staging->file("usr/bin/tockwheel")));
    EXPECT_TRUE(executable(staging->file("usr/bin/setup")));
    // The host description is the one shipped, in both places.
    EXPECT_EQ(readFile(staging->file("usr/share/xscreensaver/config/tockwheel.xml")),
              readFile(std::string(TOCKWHEEL_SOURCE_DIR) + "/packaging/tockwheel.xml"));
    EXPECT_EQ(readFile(staging->file("usr/share/tockwheel/fonts/Arial.ttf")), readFile(TOCKWHEEL_FONT_FILE));
}

TEST_F(DesktopInstall, TheDesktopEntryStartsTheSettingsDialogWithTheInstalledIcon)
{
    ASSERT_EQ(install->exitCode, 0);
    std::string entry = readFile(staging->file("usr/share/applications/tockwheel-settings.desktop"));
    EXPECT_NE(entry.find("\nExec=tockwheel /c\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nIcon=tockwheel\n"), std::string::npos) << entry;
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") == 0) {
        ProgramRun check = runProgram("/bin/sh", {"-c", "desktop-file-validate \"$0\"",
                                                  staging->file("usr/share/applications/tockwheel-settings.desktop")},
                                      {}, "/", 30);
        EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
    }
}

TEST_F(DesktopInstall, BothManualPagesRenderWithoutWarnings)
{
    ASSERT_EQ(install->exitCode, 0);
    if (std::system("command -v man >/dev/null 2>&1") != 0) GTEST_SKIP() << "man-db is not installed";
    for (const char* page : {"usr/share/man/man6/tockwheel.6", "usr/share/man/man1/setup.1"}) {
        ProgramRun man = runProgram("/bin/sh", {"-c", "man --warnings -E UTF-8 -l \"$0\"", staging->file(page)},
                                    {{"MANWIDTH", "80"}, {"MANPAGER", "cat"}, {"PAGER", "cat"}}, "/", 60);
        EXPECT_EQ(man.exitCode, 0) << page << man.err;
        EXPECT_EQ(man.err, "") << page;
        EXPECT_NE(man.out.find("NAME"), std::string::npos) << page;
        EXPECT_NE(man.out.find("EXIT STATUS"), std::string::npos) << page;
    }
}

}  // namespace
