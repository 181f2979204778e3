// tests/faults/missing_data_test.cpp -- the saver started without what it reads: the font, the "fonts"
// folder, the prompt bitmaps, the Windows directory itself, each missing or there but unreadable. Every
// case ends at once with its message and leaves the settings file as it was.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <functional>
#include <string>

#include "tests/startup/saver_world.h"

namespace {

constexpr double kPromptEndSeconds = 30;   // an ending run takes well under a second

struct MissingCase {
    const char* what;
    bool password;                              // the prompt bitmaps are needed only with a password
    std::function<void(SaverWorld&)> damage;
    int exitCode;
    const char* message;
};

void replaceWithFolder(SaverWorld& world, const std::string& file)
{
    world.removeFile(file);
    ::mkdir(world.windows.file(file).c_str(), 0755);
}

void replaceWithJunk(SaverWorld& world, const std::string& file)
{
    writeFile(world.windows.file(file), "not what it should be");
}

const MissingCase kCases[] = {
    {"font is a folder", false, [](SaverWorld& w) { replaceWithFolder(w, "fonts/Arial.ttf"); }, 255,
     "Can't open arial.ttf"},
    {"font is not a font", false, [](SaverWorld& w) { replaceWithJunk(w, "fonts/Arial.ttf"); }, 255,
     "Can't open arial.ttf"},
    {"fonts folder missing", false, [](SaverWorld& w) { std::system(("rm -r '" + w.windows.file("fonts") + "'").c_str()); },
     255, "Can't open arial.ttf"},
    {"fonts folder is a file", false,
     [](SaverWorld& w) {
         std::system(("rm -r '" + w.windows.file("fonts") + "'").c_str());
         writeFile(w.windows.file("fonts"), "x");
     },
     255, "Can't open arial.ttf"},
    {"small bitmap missing", true, [](SaverWorld& w) { w.removeFile("Orvask/pass.pag"); }, 0,
     "Fatal Error: Unable to find file pass.pag."},
    {"small bitmap is a folder", true, [](SaverWorld& w) { replaceWithFolder(w, "Orvask/pass.pag"); }, 0,
     "Fatal Error: Unable to find file pass.pag."},
    {"large bitmap is not a bitmap", true, [](SaverWorld& w) { replaceWithJunk(w, "Orvask/pass2x.pag"); }, 0,
     "Fatal Error: Unable to find file pass2x.pag."},
};

TEST(MissingData, EachCaseEndsWithItsMessageAndKeepsTheSettings)
{
    for (const MissingCase& c : kCases) {
        SaverWorld world;
        SettingsRecord settings = defaultSettingsRecord();
        settings.passwordEnabled = c.password ? 1 : 0;
        std::strcpy(settings.password, c.password ? "pw" : "");
        world.saveSettings(settings);
        std::string before = readFile(world.windows.file("Orvask/Tockwheel.ini"));
        c.damage(world);
        ProgramRun run = world.run("/s", kPromptEndSeconds);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.what << "\n" << run.err;
        EXPECT_NE(world.uiLog().find(c.message), std::string::npos) << c.what << "\n" << world.uiLog();
        EXPECT_EQ(readFile(world.windows.file("Orvask/Tockwheel.ini")), before) << c.what;
    }
}

// The Windows directory itself: the saver cannot make it current, finds no settings and no font, and
// says so; it creates nothing in its place.
TEST(MissingData, WindowsDirectoryMissingOrAFile)
{
    for (bool asFile : {false, true}) {
        SaverWorld world;
        std::string elsewhere = world.windows.file(asFile ? "a-file" : "not-there");
        if (asFile) writeFile(elsewhere, "x");
        world.environment["WINDIR"] = elsewhere;
        ProgramRun run = world.run("/s", kPromptEndSeconds);
        EXPECT_EQ(run.exitCode, 255) << run.err;
        EXPECT_NE(world.uiLog().find("Can't open arial.ttf"), std::string::npos) << world.uiLog();
        struct stat info;
        if (asFile) EXPECT_EQ(readFile(elsewhere), "x");
        else EXPECT_NE(::stat(elsewhere.c_str(), &info), 0);
    }
}

}  // namespace
