// tests/faults/signal_faults_test.cpp -- the saver in a window on Xvfb, hurt while it runs: the display
// server killed under it, and SIGTERM (the host's way of ending a display mode) while the saver runs,
// while the password prompt is up with typed text, and as the run ends. Each ends at once, cleanly. And
// SIGTERM, SIGINT and SIGHUP with a message box or a dialog on the screen, in both programs.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "tests/faults/fault_run.h"
#include "tests/startup/saver_world.h"
#include "tests/support/xvfb.h"

namespace {

constexpr double kStartSeconds = 10;     // Xvfb up, or the saver's first pages shown
constexpr double kEndSeconds = 10;       // a hurt saver must be gone by then
// A stop signal ends a program within a second; the margin absorbs a loaded machine, not a slow poll.
constexpr double kStopSeconds = 3;
const std::string kBuild = TOCKWHEEL_BINARY_DIR;

// A private Xvfb, killed when the test ends if the test did not kill it first.
struct PrivateServer {
    RunningProgram server;
    std::string display;
    ~PrivateServer()
    {
        if (server.pid > 0) {
            kill(server.pid, SIGKILL);
            waitForExit(server, kEndSeconds);
        }
    }
    bool start(const std::string& logPath)
    {
        display = freeXvfbDisplay();
        server = startProgram("Xvfb", {display, "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"}, {}, logPath);
        return waitForFile("/tmp/.X11-unix/X" + display.substr(1), kStartSeconds) && waitForXServer(display);
    }
};

// A saver with the password "pw" in a window on the private server, started with `events`; a snapshot
// at pass `readyPass` tells the test that the passes before it have been played.
class SaverInWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!onPath("Xvfb")) GTEST_SKIP() << "Xvfb is not installed here";
        ASSERT_TRUE(x.start(world.windows.file("xvfb.log")));
        SettingsRecord settings = defaultSettingsRecord();
        settings.passwordEnabled = 1;
        std::strcpy(settings.password, "pw");
        world.saveSettings(settings);
        world.environment["TOCKWHEEL_DISPLAY"] = "window";
        world.environment["DISPLAY"] = x.display;
        world.environment["TOCKWHEEL_PASSES"] = "36000";   // ten minutes at 60 Hz: only a hang reaches it
        world.environment["TOCKWHEEL_EVENTS"] = world.windows.file("events.txt");
    }
    void start(const std::string& events, int readyPass)
    {
        ready = world.windows.file("ready.png");
        writeFile(world.windows.file("events.txt"),
                  events + "at " + std::to_string(readyPass) + " snapshot " + ready + "\n");
        saver = startProgram(TOCKWHEEL_PROGRAM, {"/s"}, world.environment, world.windows.file("saver.out"));
    }
    std::string output() const { return readFile(world.windows.file("saver.out")) + world.uiLog(); }
    bool waitForOutput(const std::string& part) const
    {
        for (int i = 0; i < kStartSeconds * 20; ++i) {
            if (output().find(part) != std::string::npos) return true;
            usleep(50000);
        }
        return false;
    }

    SaverWorld world;
    PrivateServer x;
    RunningProgram saver;
    std::string ready;
};

TEST_F(SaverInWindow, DisplayServerKilledEndsTheRunWithAMessage)
{
    start("", 30);
    ASSERT_TRUE(waitForFile(ready, kStartSeconds)) << output();
    kill(x.server.pid, SIGKILL);
    waitForExit(x.server, kEndSeconds);
    int status = waitForExit(saver, kEndSeconds);
    EXPECT_NE(status, -1) << "the saver hung after its display server died\n" << output();
    EXPECT_NE(status, 0) << output();
    EXPECT_NE(output().find("X connection to " + x.display + " broken"), std::string::npos) << output();
}

TEST_F(SaverInWindow, SigtermWhileRunningEndsCleanly)
{
    start("", 30);
    ASSERT_TRUE(waitForFile(ready, kStartSeconds)) << output();
    kill(saver.pid, SIGTERM);
    EXPECT_EQ(waitForExit(saver, kEndSeconds), 0) << output();
}

TEST_F(SaverInWindow, SigtermWithThePromptUpAndTextTypedEndsCleanly)
{
    // A key wakes the prompt (and is not typed); two letters follow; the prompt waits 20 s for more.
    start("at 20 key 32\nat 24 key 120\nat 28 key 121\n", 40);
    ASSERT_TRUE(waitForFile(ready, kStartSeconds)) << output();
    kill(saver.pid, SIGTERM);
    EXPECT_EQ(waitForExit(saver, kEndSeconds), 0) << output();
    EXPECT_EQ(output().find("xy"), std::string::npos) << output();
}

TEST_F(SaverInWindow, SigtermAsTheRightPasswordEndsTheRunEndsCleanly)
{
    start("at 20 key 32\nat 24 key 112\nat 28 key 119\nat 32 key 13\n", 32);
    ASSERT_TRUE(waitForFile(ready, kStartSeconds)) << output();
    kill(saver.pid, SIGTERM);   // the run is ending, or has ended
    EXPECT_EQ(waitForExit(saver, kEndSeconds), 0) << output();
}

// FLTK's modal loops, a box after the saver took the screen, the installer: none of them waits for a
// person once a stop signal came. Each signal is tried where a user or a host would send it.
TEST_F(SaverInWindow, StopSignalsEndBothProgramsWithABoxOrADialogUp)
{
    // A terminal closed under the saver: it ends as a host's SIGTERM ends it, status 0.
    start("", 30);
    ASSERT_TRUE(waitForFile(ready, kStartSeconds)) << output();
    kill(saver.pid, SIGHUP);
    EXPECT_EQ(waitForExit(saver, kStopSeconds), 0) << output();

    world.removeFile("fonts/Arial.ttf");
    saver = startProgram(TOCKWHEEL_PROGRAM, {"/s"}, world.environment, world.windows.file("saver.out"));
    ASSERT_TRUE(waitForOutput("caption=\"MGL Fatal Error!\"")) << output();
    ASSERT_TRUE(waitForOutput("shown=fltk")) << output();
    EXPECT_NE(output().find("MGL Fatal Error!\nCan't open arial.ttf\n"), std::string::npos) << output();
    kill(saver.pid, SIGTERM);
    EXPECT_EQ(waitForExit(saver, kStopSeconds), 128 + SIGTERM) << output();

    saver = startProgram(TOCKWHEEL_PROGRAM, {"/c"}, world.environment, world.windows.file("saver.out"));
    std::string find = "DISPLAY=" + x.display + " timeout 10 xdotool search --sync --onlyvisible --name '^Tockwheel$'";
    ASSERT_EQ(std::system((find + " >/dev/null 2>&1").c_str()), 0) << "the settings dialog did not appear";
    kill(saver.pid, SIGINT);
    EXPECT_EQ(waitForExit(saver, kStopSeconds), 128 + SIGINT) << output();

    ::unlink(world.windows.file("ui.log").c_str());
    saver = startProgram(kBuild + "/disk/setup", {}, world.environment, world.windows.file("saver.out"));
    ASSERT_TRUE(waitForOutput("caption=\"Setup\"")) << output();
    kill(saver.pid, SIGHUP);
    EXPECT_EQ(waitForExit(saver, kStopSeconds), 128 + SIGHUP) << output();
}

}  // namespace
