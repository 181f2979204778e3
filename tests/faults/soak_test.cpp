// tests/faults/soak_test.cpp -- a short soak: 20,000 passes at 320 x 200 on the offscreen back end with
// every OpenGL error reported; resident memory must not grow between an early and a late pass.
#include <gtest/gtest.h>

#include <signal.h>

#include <fstream>
#include <string>

#include "tests/faults/fault_run.h"
#include "tests/startup/saver_world.h"

namespace {

constexpr int kSoakPasses = 20000;
constexpr int kMode320x200x16 = 41;
constexpr long kRssGrowthLimitKb = 4096;
constexpr double kSoakSeconds = 120;
// Under AddressSanitizer resident memory measures the sanitizer's allocator and shadow, not the saver;
// there LeakSanitizer checks the run at its exit instead (a leak would change the exit status).
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kResidentMemoryMeaningful = false;
#else
constexpr bool kResidentMemoryMeaningful = true;
#endif

long residentKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

}  // namespace

TEST(Soak, TwentyThousandPassesLeaveMemoryFlatAndOpenGlClean)
{
    SaverWorld world;
    SettingsRecord settings = defaultSettingsRecord();
    settings.videoMode = kMode320x200x16;
    world.saveSettings(settings);
    const std::string early = world.windows.file("early.png");
    const std::string late = world.windows.file("late.png");
    writeFile(world.windows.file("events.txt"), "at 2000 snapshot " + early + "\nat 19000 snapshot " + late + "\n");
    world.environment["TOCKWHEEL_EVENTS"] = world.windows.file("events.txt");
    world.environment["TOCKWHEEL_PASSES"] = std::to_string(kSoakPasses);
    world.environment["TOCKWHEEL_GL_CHECK"] = "1";
    RunningProgram saver = startProgram(TOCKWHEEL_PROGRAM, {"/s"}, world.environment, world.windows.file("out.txt"));

    long rss[2] = {-1, -1};
    const std::string marks[2] = {early, late};
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(waitForFile(marks[i], kSoakSeconds)) << readFile(world.windows.file("out.txt"));
        kill(saver.pid, SIGSTOP);
        rss[i] = residentKb(saver.pid);
        kill(saver.pid, SIGCONT);
    }
    EXPECT_EQ(waitForExit(saver, kSoakSeconds), 4);   // ended by its pass limit, nothing else
    std::string out = readFile(world.windows.file("out.txt"));
    EXPECT_EQ(out.find("OpenGL error"), std::string::npos) << out;
    ASSERT_GT(rss[0], 0);
    if (!kResidentMemoryMeaningful) return;
    EXPECT_LE(rss[1] - rss[0], kRssGrowthLimitKb) << "resident kB at pass 2,000: " << rss[0] << ", at 19,000: " << rss[1];
}
