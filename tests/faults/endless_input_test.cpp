// tests/faults/endless_input_test.cpp -- FIFOs, and files too large to be what they claim, named where the
// programs read or write a file: the settings file, the event and UI scripts, the snapshot, an installer
// source and the install script. None is waited on or read without end: each run ends by itself, well
// within its time limit, with its message.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <map>
#include <string>

#include "tests/faults/fault_run.h"
#include "tests/startup/saver_world.h"

namespace {

// A run that waits on a FIFO is killed at this limit and reports -1.
constexpr double kLimitSeconds = 15;
constexpr size_t kScriptLimitBytes = 1 << 20;            // the event and UI scripts
constexpr size_t kInstallScriptLimitBytes = 16u << 20;   // setup.xdt
const std::string kBuild = TOCKWHEEL_BINARY_DIR;

::testing::AssertionResult contains(const std::string& text, const std::string& part)
{
    if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << part << "\" not found in:\n" << text;
}

// Comment lines after `start` up to one byte past `limit`.
std::string oversized(const std::string& start, size_t limit)
{
    std::string text = start;
    while (text.size() <= limit) text += "# padding padding padding padding padding padding\n";
    return text;
}

// The saver with every environment entry of `world` and the overrides; no file is written for it, since
// the overrides may name a FIFO.
ProgramRun runSaver(const SaverWorld& world, const std::string& argument,
                    const std::map<std::string, std::string>& overrides)
{
    std::map<std::string, std::string> environment = world.environment;
    for (const auto& entry : overrides) environment[entry.first] = entry.second;
    return runProgram(TOCKWHEEL_PROGRAM, {argument}, environment, "/", kLimitSeconds);
}

// A disk with the installer, installed into a fresh Windows directory by a user who confirms the notice
// and the path, answers the one box that follows and then closes the setup window.
struct Install {
    TempDir dir;
    std::string disk = dir.file("disk");
    std::string windows = dir.file("windows");
    Install()
    {
        makeDirectories(disk);
        makeDirectories(windows);
        copyFile(kBuild + "/disk/setup", disk + "/setup");
        chmod((disk + "/setup").c_str(), 0755);
        writeFile(dir.file("answers.txt"), "answer ok\ntype 102 " + windows + "\nclick 1\nanswer ok\nclose\n");
    }
    ProgramRun run()
    {
        return runProgram(disk + "/setup", {},
                          {{"TOCKWHEEL_UI", "script:" + dir.file("answers.txt")},
                           {"TOCKWHEEL_UI_LOG", dir.file("ui.log")},
                           {"WINDIR", dir.file("default-windows")},
                           {"DISPLAY", ""},
                           {"WAYLAND_DISPLAY", ""}},
                          disk, kLimitSeconds);
    }
    std::string uiLog() const { return readFile(dir.file("ui.log")); }
};

}  // namespace

TEST(EndlessInput, FifosAreNeitherWaitedOnNorRead)
{
    SaverWorld world;
    writeFile(world.windows.file("events.txt"), "at 5 key 32\n");
    writeFile(world.windows.file("empty.txt"), "");
    world.environment["TOCKWHEEL_EVENTS"] = world.windows.file("events.txt");
    world.environment["TOCKWHEEL_UI"] = "script:" + world.windows.file("empty.txt");
    const std::string fifo = world.windows.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

    // The settings file: the saver runs with the defaults; Apply cannot put a file in its place.
    const std::string settings = world.windows.file("Orvask/Tockwheel.ini");
    ASSERT_EQ(mkfifo(settings.c_str(), 0600), 0);
    ProgramRun saver = runSaver(world, "/s", {});
    EXPECT_EQ(saver.exitCode, 0) << saver.err;
    writeFile(world.windows.file("apply.txt"), "click 300\nclick 113\nanswer ok\nclick 110\n");
    ProgramRun dialog = runSaver(world, "/c", {{"TOCKWHEEL_UI", "script:" + world.windows.file("apply.txt")}});
    EXPECT_EQ(dialog.exitCode, 1) << dialog.err;
    EXPECT_TRUE(contains(world.uiLog(), "Error: Could not save settings to INI file."));
    EXPECT_TRUE(contains(dialog.err, "Tockwheel.ini: not a regular file"));
    struct stat info;
    ASSERT_EQ(stat(settings.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    ProgramRun events = runSaver(world, "/s", {{"TOCKWHEEL_EVENTS", fifo}});
    EXPECT_EQ(events.exitCode, 3);
    EXPECT_TRUE(contains(events.err, fifo + ": cannot read the event script: it is not a regular file"));

    ProgramRun snapshot = runSaver(world, "/s", {{"TOCKWHEEL_SNAPSHOT", fifo}});
    EXPECT_EQ(snapshot.exitCode, 0) << snapshot.err;
    EXPECT_TRUE(contains(snapshot.err, "cannot write the snapshot " + fifo));

    ProgramRun script = runSaver(world, "/c", {{"TOCKWHEEL_UI", "script:" + fifo}});
    EXPECT_EQ(script.exitCode, 3);
    EXPECT_TRUE(contains(script.err, "cannot read the script \"" + fifo + "\": it is not a regular file"));

    // An installer source: refused before the destination is made.
    Install install;
    ASSERT_EQ(mkfifo((install.disk + "/data").c_str(), 0600), 0);
    writeFile(install.disk + "/setup.xdt", "Tockwheel\n9\n%D\\orvask\n%Rdata\n%W\\data\n");
    ProgramRun setup = install.run();
    EXPECT_EQ(setup.exitCode, 1) << setup.err;
    EXPECT_TRUE(contains(install.uiLog(), "Source file could not be opened!\\nAborting setup!"));
    EXPECT_NE(stat((install.windows + "/data").c_str(), &info), 0);
}

// Each input read whole has a limit, checked before it is read: the event and UI scripts 1 MiB, the
// install script 16 MiB. Just past it, a well-formed file is refused with its message.
TEST(EndlessInput, InputsPastTheirLimitAreRefusedBeforeTheyAreRead)
{
    SaverWorld world;
    writeFile(world.windows.file("events.txt"), oversized("at 5 key 32\n", kScriptLimitBytes));
    writeFile(world.windows.file("script.txt"), oversized("click 110\n", kScriptLimitBytes));
    world.environment["TOCKWHEEL_EVENTS"] = world.windows.file("events.txt");
    world.environment["TOCKWHEEL_UI"] = "script:" + world.windows.file("script.txt");
    ProgramRun events = runSaver(world, "/s", {});
    EXPECT_EQ(events.exitCode, 3);
    EXPECT_TRUE(contains(events.err, "cannot read the event script: it is larger than 1 MiB"));
    ProgramRun script = runSaver(world, "/c", {{"TOCKWHEEL_EVENTS", ""}});
    EXPECT_EQ(script.exitCode, 3);
    EXPECT_TRUE(contains(script.err, "script.txt\": it is larger than 1 MiB"));

    Install install;
    writeFile(install.disk + "/data", "new bytes");
    writeFile(install.disk + "/setup.xdt",
              oversized("Tockwheel\n9\n%D\\orvask\n%Rdata\n%W\\data\n", kInstallScriptLimitBytes));
    ProgramRun setup = install.run();
    EXPECT_TRUE(contains(install.uiLog(), "Could not open setup file!\\nSetup not complete!"));
    EXPECT_TRUE(contains(setup.err, "setup.xdt is larger than 16 MiB"));
    EXPECT_EQ(readFile(install.windows + "/data"), "");
}
