// Whole saver runs on the offscreen back end: start-up, the refused starts, fatal errors and the end.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>

#include "tests/startup/saver_world.h"

namespace {

::testing::AssertionResult contains(const std::string& text, const std::string& part)
{
    if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << part << "\" not found in:\n" << text;
}

}  // namespace

TEST(SaverRun, KeyEndsTheRunWithExitZero)
{
    SaverWorld world;
    world.events = "at 5 key 32\n";
    ProgramRun run = world.run();
    EXPECT_EQ(run.exitCode, 0) << run.err;
}

TEST(SaverRun, ClickAndFarMouseMoveEndTheRunButJitterDoesNot)
{
    SaverWorld world;
    world.events = "at 2 click 100 100\n";
    EXPECT_EQ(world.run().exitCode, 0);

    world.events = "at 2 move 100 100\nat 3 move 104 96\nat 4 move 100 104\n";
    world.environment["TOCKWHEEL_PASSES"] = "30";
    ProgramRun jitter = world.run();
    EXPECT_EQ(jitter.exitCode, 4) << "moves within 4 pixels must not end the saver";

    world.events = "at 2 move 100 100\nat 3 move 105 100\n";
    EXPECT_EQ(world.run().exitCode, 0);
}

TEST(SaverRun, RunStillGoingAfterThePassLimitEndsWithFour)
{
    SaverWorld world;
    world.environment["TOCKWHEEL_PASSES"] = "10";
    ProgramRun run = world.run();
    EXPECT_EQ(run.exitCode, 4);
    EXPECT_FALSE(run.err.empty());
}

TEST(SaverRun, PasswordOnWithoutTheLargeBitmapRefusesToStart)
{
    SaverWorld world;
    SettingsRecord settings = defaultSettingsRecord();
    settings.passwordEnabled = 1;
    std::strcpy(settings.password, "pw");
    settings.videoMode = 19;   // 640 x 480, where only the small bitmap would be shown
    world.saveSettings(settings);
    world.removeFile("Orvask/pass2x.pag");
    ProgramRun run = world.run();
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(contains(world.uiLog(), "Fatal Error: Unable to find file pass2x.pag."));
    EXPECT_TRUE(contains(world.uiLog(), "Error"));

    world.removeFile("Orvask/pass.pag");
    run = world.run();
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(contains(world.uiLog(), "Fatal Error: Unable to find file pass.pag."));
}

TEST(SaverRun, WithoutPasswordTheBitmapsAreNotNeeded)
{
    SaverWorld world;
    world.removeFile("Orvask/pass.pag");
    world.removeFile("Orvask/pass2x.pag");
    world.events = "at 3 key 65\n";
    EXPECT_EQ(world.run().exitCode, 0);
}

TEST(SaverRun, SettingsAreFoundInAFolderSpelledInLowerCase)
{
    SaverWorld world;
    world.removeFile("Orvask/pass.pag");
    world.removeFile("Orvask/pass2x.pag");
    ASSERT_EQ(::rmdir(world.windows.file("Orvask").c_str()), 0);
    SettingsRecord settings = defaultSettingsRecord();
    settings.passwordEnabled = 1;
    world.saveSettings(settings, "orvask");
    ProgramRun run = world.run();
    // The refusal proves that the password flag came from "orvask\\Tockwheel.ini".
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(contains(world.uiLog(), "Fatal Error: Unable to find file pass.pag."));
}

TEST(SaverRun, ModeTheScreenCannotShowIsFatal)
{
    SaverWorld world;
    world.environment["TOCKWHEEL_SCREEN"] = "640x480";
    SettingsRecord settings = defaultSettingsRecord();
    settings.videoMode = 85;   // 1600 x 1200, 32 bits per pixel
    world.saveSettings(settings);
    ProgramRun run = world.run();
    EXPECT_EQ(run.exitCode, 255);
    EXPECT_TRUE(contains(world.uiLog(), "MGL Fatal Error!"));
}

// Nobody could see a saver drawn offscreen: with no display server named, or one named that does not
// answer, the run ends through the fatal-error box on stderr (no display, no script) and says how to
// draw offscreen on purpose.
TEST(SaverRun, NoReachableDisplayIsFatalAndSaysHowToRunOffscreen)
{
    SaverWorld world;
    std::map<std::string, std::string> env = world.environment;
    env["TOCKWHEEL_DISPLAY"] = "";
    env["TOCKWHEEL_UI"] = "";
    env["SDL_VIDEODRIVER"] = "";
    env["XDG_RUNTIME_DIR"] = "";   // no compositor's socket to find either, as over ssh
    for (const char* display : {"", ":64999"}) {   // none named; one named that no server answers
        env["DISPLAY"] = display;
        ProgramRun run = runProgram(TOCKWHEEL_PROGRAM, {"/s"}, env, "/", 60);
        EXPECT_EQ(run.exitCode, 255) << display << "\n" << run.err;
        EXPECT_TRUE(contains(run.err, "no display was found")) << display;
        EXPECT_TRUE(contains(run.err, "TOCKWHEEL_DISPLAY=offscreen")) << display;
        EXPECT_TRUE(contains(run.err, "MGL Fatal Error!")) << display;
        // Only the saver's own words: no Wayland connection is tried where the session names none.
        EXPECT_FALSE(contains(run.err, "XDG_RUNTIME_DIR")) << display << "\n" << run.err;
    }
}

TEST(SaverRun, MissingFontIsFatalAfterTheModeSwitch)
{
    SaverWorld world;
    world.removeFile("fonts/Arial.ttf");
    ProgramRun run = world.run();
    EXPECT_EQ(run.exitCode, 255);
    EXPECT_TRUE(contains(world.uiLog(), "Can't open arial.ttf"));
}

TEST(SaverRun, HelpAndVersionPrintAndOpenNothingWhileEveryOtherArgumentKeepsTheRunModeRules)
{
    SaverWorld world;   // an empty UI script: a dialog that opened would end the run with status 3
    ProgramRun help = world.run("--help");
    EXPECT_EQ(help.exitCode, 0) << help.err;
    for (const char* part : {"Usage: tockwheel", "/s", "/c", "-window-id ID", "-root", "--version", "WINDIR",
                             "XSCREENSAVER_WINDOW", "TOCKWHEEL_DISPLAY", "Orvask/Tockwheel.ini", "fonts/Arial.ttf"})
        EXPECT_TRUE(contains(help.out, part));
    EXPECT_EQ(help.err, "");
    ProgramRun version = world.run("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, std::string("tockwheel ") + TOCKWHEEL_VERSION + "\n");
    EXPECT_EQ(world.uiLog(), "");

    world.script = "dump\nclick 110\n";
    for (const char* argument : {"--HELP", "--help me", "-help", "--versions"}) {
        ProgramRun other = world.run(argument);
        EXPECT_EQ(other.exitCode, 0) << argument;
        EXPECT_EQ(other.out, "") << argument;
    }
    EXPECT_EQ(world.uiLog().find("dump window=\"Tockwheel\""), 0u) << world.uiLog();
    world.events = "at 5 key 32\n";
    EXPECT_EQ(world.run("s").exitCode, 0);
}

// Started through a path with a blank ("~/my dir/tockwheel"), the switches still count: the command line
// is rebuilt with the program path quoted, as Windows hands it over, and the argument starts after it.
TEST(SaverRun, AProgramPathWithABlankKeepsItsSwitches)
{
    SaverWorld world;
    const std::string folder = world.windows.file("my dir");
    ASSERT_TRUE(makeDirectories(folder));
    const std::string program = folder + "/tockwheel";
    ASSERT_EQ(::symlink(TOCKWHEEL_PROGRAM, program.c_str()), 0);
    world.events = "at 5 key 32\n";   // an empty UI script: a dialog that opened would end the run with 3
    ProgramRun saver = world.run("/s", 60, program);
    EXPECT_EQ(saver.exitCode, 0) << saver.err;
    world.script = "click 110\n";
    EXPECT_EQ(world.run("/c", 60, program).exitCode, 1);
}

// A hand-edited password flag of 2 comes with the password block, so it means "on" to both programs:
// a key brings the prompt up (the run goes on until its pass limit) and Apply writes the flag back as 1.
TEST(SaverRun, APasswordFlagOfTwoAsksForThePasswordAndIsSavedAsOne)
{
    SaverWorld world;
    SettingsRecord settings = defaultSettingsRecord();
    settings.passwordEnabled = 2;
    std::strcpy(settings.password, "pw");
    world.saveSettings(settings);
    world.events = "at 5 key 32\n";
    world.environment["TOCKWHEEL_PASSES"] = "60";
    ProgramRun saver = world.run();
    EXPECT_EQ(saver.exitCode, 4) << "the key ended a run that has a password\n" << saver.err;

    world.script = "click 300\nclick 113\nclick 110\n";
    EXPECT_EQ(world.run("/c").exitCode, 1);
    std::string saved = readFile(world.windows.file("Orvask/Tockwheel.ini"));
    ASSERT_EQ(saved.size(), 78u);
    EXPECT_EQ(saved.substr(4, 6), std::string("\1\0\2\0pw", 6));
}
