// tests/desktop/install_test.cpp -- `cmake --install` into a staging directory, and the Debian package:
// the listing Debian expects, the manual pages rendered by man without a warning, the installed saver
// finding its data for a user who has none, the xscreensaver list made for a user, and the unpacked
// package's saver drawing.
#include "tests/golden/golden_image.h"
#include "tests/support/program_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <map>

#include "config/settings.h"
#include "config/settings_file.h"

namespace {

const char* const kInstalledFiles[] = {
    "usr/bin/tockwheel",
    "usr/bin/tockwheel-setup",
    "usr/bin/tockwheel-add-to-xscreensaver",
    "usr/share/tockwheel/orvask/pass.pag",
    "usr/share/tockwheel/orvask/pass2x.pag",
    "usr/share/tockwheel/tockwheel.xml",
    "usr/share/tockwheel/tockwheel.svg",
    "usr/share/tockwheel/disk/setup.xdt",
    "usr/share/tockwheel/disk/setup.wri",
    "usr/share/tockwheel/disk/support.txt",
    "usr/share/tockwheel/disk/pass.pag",
    "usr/share/xscreensaver/config/tockwheel.xml",
    "usr/share/icons/hicolor/scalable/apps/tockwheel.svg",
    "usr/share/applications/tockwheel-settings.desktop",
    "usr/share/metainfo/tockwheel.metainfo.xml",
    "usr/share/man/man6/tockwheel.6.gz",
    "usr/share/man/man1/tockwheel-setup.1.gz",
    "usr/share/man/man1/tockwheel-add-to-xscreensaver.1.gz",
    "usr/share/doc/tockwheel/copyright",
    "usr/share/doc/tockwheel/changelog.Debian.gz",
};
const char* const kXscreensaverDefaults = "/etc/X11/app-defaults/XScreenSaver";
constexpr double kSaverRunSeconds = 60;

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

std::string linkTarget(const std::string& path)
{
    char target[4096];
    ssize_t length = ::readlink(path.c_str(), target, sizeof target);
    return length > 0 ? std::string(target, static_cast<size_t>(length)) : std::string();
}

std::string shell(const std::string& command, int* status = nullptr)
{
    ProgramRun run = runProgram("/bin/sh", {"-c", command}, {}, "/", 60);
    if (status) *status = run.exitCode;
    return run.out + run.err;
}

// The package's one dependency that the unpacked tree links into: fonts-liberation2 as this system has it.
void provideFontPackage(const std::string& root)
{
    std::string fontFolder = std::string(TOCKWHEEL_FONT_FILE).substr(0, std::string(TOCKWHEEL_FONT_FILE).rfind('/'));
    std::string inRoot = root + fontFolder;
    makeDirectories(inRoot.substr(0, inRoot.rfind('/')));
    ASSERT_EQ(::symlink(fontFolder.c_str(), inRoot.c_str()), 0) << inRoot;
}

// The environment of a user who has never run Tockwheel: a home of their own, no Windows directory,
// and no data directories but those given.
std::map<std::string, std::string> freshUser(const std::string& home, const std::string& dataDirs)
{
    return {
        {"HOME", home},
        {"WINDIR", ""},
        {"XDG_DATA_HOME", ""},
        {"XDG_DATA_DIRS", dataDirs},
        {"TOCKWHEEL_DISPLAY", "offscreen"},
        {"TOCKWHEEL_SCREEN", "1024x768"},
        {"TOCKWHEEL_TIME", "2024-03-05T15:30:07"},
        {"TOCKWHEEL_PASSES", "2000"},
        {"TOCKWHEEL_UI", ""},
        {"TOCKWHEEL_UI_LOG", home + "/ui.log"},
        {"DISPLAY", ""},
        {"WAYLAND_DISPLAY", ""},
    };
}

// Pixels that are not black in the rectangle.
int litIn(const Image& image, int x0, int y0, int w, int h)
{
    int lit = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
            const uint8_t* p = image.at(x, y);
            if (p[0] | p[1] | p[2]) ++lit;
        }
    return lit;
}

class DesktopInstall : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        staging = new TempDir();
        install = new ProgramRun(runProgram(CMAKE_COMMAND_PATH, {"--install", TOCKWHEEL_BINARY_DIR, "--prefix", "/usr"},
                                            {{"DESTDIR", staging->path}}, "/", 120));
        provideFontPackage(staging->path);
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
    for (const char* program : {"tockwheel", "tockwheel-setup", "tockwheel-add-to-xscreensaver"})
        EXPECT_TRUE(executable(staging->file(std::string("usr/bin/") + program))) << program;
    // The host description is the one shipped, in both places.
    EXPECT_EQ(readFile(staging->file("usr/share/xscreensaver/config/tockwheel.xml")),
              readFile(std::string(TOCKWHEEL_SOURCE_DIR) + "/packaging/tockwheel.xml"));
    // Links within /usr are relative, so they hold wherever the tree is unpacked.
    EXPECT_EQ(linkTarget(staging->file("usr/libexec/xscreensaver/tockwheel")), "../../bin/tockwheel");
    EXPECT_EQ(linkTarget(staging->file("usr/share/tockwheel/fonts/Arial.ttf")),
              "../../fonts/truetype/liberation2/LiberationSans-Regular.ttf");
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

TEST_F(DesktopInstall, EveryManualPageRendersWithoutWarnings)
{
    ASSERT_EQ(install->exitCode, 0);
    if (std::system("command -v man >/dev/null 2>&1") != 0) GTEST_SKIP() << "man-db is not installed";
    for (const char* page : {"usr/share/man/man6/tockwheel.6.gz", "usr/share/man/man1/tockwheel-setup.1.gz",
                             "usr/share/man/man1/tockwheel-add-to-xscreensaver.1.gz"}) {
        ProgramRun man = runProgram("/bin/sh", {"-c", "man --warnings -E UTF-8 -l \"$0\"", staging->file(page)},
                                    {{"MANWIDTH", "80"}, {"MANPAGER", "cat"}, {"PAGER", "cat"}}, "/", 60);
        EXPECT_EQ(man.exitCode, 0) << page << man.err;
        EXPECT_EQ(man.err, "") << page;
        EXPECT_NE(man.out.find("NAME"), std::string::npos) << page;
        EXPECT_NE(man.out.find("EXIT STATUS"), std::string::npos) << page;
    }
}

// A user with nothing but a settings file asking for the password: the prompt bitmaps and the font come
// from the installed data, found beside the installed program, or along XDG_DATA_DIRS for a program
// elsewhere; a file in the user's own Windows directory comes first, even a broken one.
TEST_F(DesktopInstall, TheInstalledSaverFindsItsDataForAUserWhoHasNone)
{
    ASSERT_EQ(install->exitCode, 0);
    struct Case {
        const char* what;
        std::string program;
        std::string dataDirs;
        bool brokenUserFont;
        int exitCode;
    };
    const std::string staged = staging->file("usr/bin/tockwheel");
    const Case cases[] = {
        {"beside the program", staged, "/nowhere", false, 0},
        {"along XDG_DATA_DIRS", TOCKWHEEL_PROGRAM,
         "relative/share:/nowhere:" + staging->file("usr/share"), false, 0},
        {"the user's copy first", staged, "/nowhere", true, 255},
    };
    for (const Case& c : cases) {
        TempDir home;
        std::string windows = home.file(".local/share/tockwheel");
        makeDirectories(windows + "/Orvask");
        resetSettings();
        SettingsRecord record = Settings;
        record.passwordEnabled = 1;
        std::snprintf(record.password, sizeof record.password, "pw");
        uint8_t image[kSettingsMaxFileSize];
        size_t size = encodeSettings(record, image);
        writeFile(windows + "/Orvask/Tockwheel.ini", std::string(reinterpret_cast<char*>(image), size));
        if (c.brokenUserFont) {
            makeDirectories(windows + "/fonts");
            writeFile(windows + "/fonts/arial.ttf", "not a font");
        }
        // Wake, type the password, Enter: the run ends with 0 only through the prompt.
        writeFile(home.file("events.txt"), "at 5 key 32\nat 8 key 112\nat 9 key 119\nat 10 key 13\n");
        std::map<std::string, std::string> env = freshUser(home.path, c.dataDirs);
        env["TOCKWHEEL_EVENTS"] = home.file("events.txt");
        ProgramRun run = runProgram(c.program, {"/s"}, env, home.path, kSaverRunSeconds);
        std::string log = readFile(home.file("ui.log"));
        EXPECT_EQ(run.exitCode, c.exitCode) << c.what << "\n" << run.err << log;
        if (c.brokenUserFont) EXPECT_NE(log.find("Can't open arial.ttf"), std::string::npos) << log;
        else EXPECT_EQ(log, "") << c.what;
    }
}

// Tockwheel joins the user's xscreensaver list once, the default list kept: for a new user (started
// from a copy of the system's defaults) and for one whose file already holds their own choices.
TEST_F(DesktopInstall, TockwheelJoinsTheXscreensaverListOnceKeepingTheRest)
{
    ASSERT_EQ(install->exitCode, 0);
    if (access(kXscreensaverDefaults, R_OK) != 0) GTEST_SKIP() << "xscreensaver is not installed";
    TempDir home;
    copyFile(kXscreensaverDefaults, home.file("defaults"));
    const std::string add = "HOME='" + home.path + "' '" + staging->file("usr/bin/tockwheel-add-to-xscreensaver") +
                            "' --defaults '" + home.file("defaults") + "'";
    const std::string file = home.file(".xscreensaver");
    const std::string entry = "\"Tockwheel\"  tockwheel /s --root";
    int status = -1;

    shell(add, &status);
    ASSERT_EQ(status, 0);
    std::string first = readFile(file);
    // Every default entry is still there, in order, and Tockwheel ends the one list.
    std::string defaults = shell("sed -n '/^\\*programs:/,/[^\\\\]$/p' '" + home.file("defaults") + "' | sed 1d");
    EXPECT_NE(first.find(defaults.substr(0, defaults.size() - 1)), std::string::npos);
    EXPECT_NE(first.find("\\n\\\n  GL: \t\t\t\t" + entry), std::string::npos) << first;
    EXPECT_EQ(shell("grep -c '^programs:' '" + file + "'"), "1\n");
    std::string again = shell(add, &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(again.find("already"), std::string::npos) << again;
    EXPECT_EQ(readFile(file), first);

    // A user's own file: their settings and their short list stay, Tockwheel is added at its end.
    writeFile(file, "timeout:\t0:05:00\nprograms:\t\t\\\n\t\t\t\tmaze --root\t\t\\n\\\n- GL:\t\t\t\tgears --root\t\\n\\\n\n"
                    "lock:\t\tTrue\n");
    ::chmod(file.c_str(), 0600);
    shell(add, &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(file), "timeout:\t0:05:00\nprograms:\t\t\\\n\t\t\t\tmaze --root\t\t\\n\\\n"
                              "- GL:\t\t\t\tgears --root\t\\n\\\n  GL: \t\t\t\t" + entry + "\t    \\n\n\nlock:\t\tTrue\n");
    struct stat info;
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

// A package user runs tockwheel-setup from wherever they are: it installs from the disk installed with it,
// the two files its messages name included. Away from any disk the specified failure stays, and stderr
// names the folders looked in.
TEST_F(DesktopInstall, TheInstalledSetupFindsItsDiskAndSaysWhereItLookedWhenThereIsNone)
{
    ASSERT_EQ(install->exitCode, 0);
    TempDir home;
    const std::string windows = home.file("windows");
    std::map<std::string, std::string> env = {{"WINDIR", windows}, {"TOCKWHEEL_UI", "stderr"}, {"TOCKWHEEL_UI_LOG", ""},
                                              {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}};
    ProgramRun run = runProgram(staging->file("usr/bin/tockwheel-setup"), {}, env, home.path, 120);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("installing from " + staging->file("usr/share/tockwheel/disk")), std::string::npos)
        << run.err;
    EXPECT_EQ(readFile(windows + "/setup.wri"), readFile(staging->file("usr/share/tockwheel/disk/setup.wri")));
    EXPECT_EQ(readFile(windows + "/setup.wri").rfind("{\\rtf1", 0), 0u);
    EXPECT_NE(readFile(windows + "/support.txt").find("Reporting a problem"), std::string::npos);
    EXPECT_TRUE(nonEmptyFile(windows + "/orvask/pass2x.pag"));
    EXPECT_TRUE(nonEmptyFile(windows + "/orvask/install.log"));

    // The same program where no disk lies beside it.
    makeDirectories(home.file("bin"));
    copyFile(staging->file("usr/bin/tockwheel-setup"), home.file("bin/tockwheel-setup"));
    ::chmod(home.file("bin/tockwheel-setup").c_str(), 0755);
    run = runProgram(home.file("bin/tockwheel-setup"), {}, env, home.path, 120);
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(run.err.find("no setup.xdt in " + home.path + " nor in " + home.path + "/share/tockwheel/disk"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("Could not open setup file!"), std::string::npos) << run.err;
}

TEST_F(DesktopInstall, AddingToXscreensaverAnswersHelpOnStdout)
{
    ASSERT_EQ(install->exitCode, 0);
    ProgramRun help = runProgram(staging->file("usr/bin/tockwheel-add-to-xscreensaver"), {"--help"}, {}, "/", 30);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("usage: tockwheel-add-to-xscreensaver", 0), 0u) << help.out;
    EXPECT_EQ(help.err, "");
    ProgramRun wrong = runProgram(staging->file("usr/bin/tockwheel-add-to-xscreensaver"), {"--frobnicate"}, {}, "/", 30);
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_EQ(wrong.out, "");
    EXPECT_EQ(wrong.err.rfind("usage: tockwheel-add-to-xscreensaver", 0), 0u) << wrong.err;
}

// Lit pixels whose eight neighbours are all black: the stars, as the clock is drawn in shapes.
int isolatedIn(const Image& image)
{
    int isolated = 0;
    for (int y = 1; y + 1 < image.height; ++y)
        for (int x = 1; x + 1 < image.width; ++x) {
            if (litIn(image, x, y, 1, 1) == 0) continue;
            if (litIn(image, x - 1, y - 1, 3, 3) == 1) ++isolated;
        }
    return isolated;
}

// The package built from this build and unpacked into a throw-away root, away from /usr: its saver, run
// by a user with an empty home and no Windows directory, draws the clock and the stars and ends on a key.
TEST(DebianPackage, TheUnpackedSaverDrawsTheClockAndStarsAndEndsOnAKey)
{
    if (std::system("command -v dpkg-shlibdeps >/dev/null 2>&1") != 0) GTEST_SKIP() << "dpkg-dev is not installed";
    TempDir work;
    ProgramRun pack = runProgram(CPACK_COMMAND_PATH, {"--config", TOCKWHEEL_BINARY_DIR "/CPackConfig.cmake", "-B",
                                                      work.file("package")},
                                 {}, TOCKWHEEL_BINARY_DIR, 120);
    ASSERT_EQ(pack.exitCode, 0) << pack.out << pack.err;
    std::string deb = shell("ls '" + work.path + "'/package/tockwheel_*.deb");
    ASSERT_FALSE(deb.empty());
    deb.pop_back();
    std::string fields = shell("dpkg-deb -f '" + deb + "' Depends Recommends");
    EXPECT_NE(fields.find("fonts-liberation2"), std::string::npos) << fields;
    EXPECT_NE(fields.find("libsdl2"), std::string::npos) << fields;   // computed from the program
    EXPECT_NE(fields.find("Recommends: xscreensaver"), std::string::npos) << fields;
    int status = -1;
    shell("dpkg-deb -x '" + deb + "' '" + work.file("root") + "'", &status);
    ASSERT_EQ(status, 0);
    EXPECT_NE(shell("file -L '" + work.file("root/usr/bin/tockwheel") + "'").find(", stripped"), std::string::npos);
    provideFontPackage(work.file("root"));

    TempDir home;
    writeFile(work.file("events.txt"), "at 120 key 32\n");
    std::map<std::string, std::string> env = freshUser(home.path, "/nowhere");
    env["TOCKWHEEL_UI_LOG"] = work.file("ui.log");
    env["TOCKWHEEL_EVENTS"] = work.file("events.txt");
    env["TOCKWHEEL_SNAPSHOT"] = work.file("shot.png");
    ProgramRun run = runProgram(work.file("root/usr/bin/tockwheel"), {"/s"}, env, home.path, kSaverRunSeconds);
    EXPECT_EQ(run.exitCode, 0) << run.err << readFile(work.file("ui.log"));
    Image shot;
    ASSERT_TRUE(readPng(work.file("shot.png"), &shot));
    int lit = litIn(shot, 0, 0, shot.width, shot.height);
    int stars = isolatedIn(shot);
    EXPECT_GT(stars, 100) << "stars";
    EXPECT_GT(lit - stars, 2000) << "the clock";
}

}  // namespace
