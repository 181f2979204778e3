// tests/security/password_secrecy_test.cpp -- what a typed password leaves behind: nothing in the log or
// on stderr, nothing in the picture but the count of its characters, and nothing in the saver's memory
// once the prompt has closed (Enter with a wrong password, or the prompt's time-out).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/faults/fault_run.h"
#include "tests/startup/saver_world.h"

namespace {

constexpr char kStoredPassword[] = "StoredSecret55";   // in memory for the whole run, by design
constexpr double kMarkSeconds = 60;
constexpr int kPromptIdlePasses = 1200;              // 20 s of quiet at 60 virtual refreshes a second

// One key event per character, two passes apart, from `pass` on.
std::string typeText(const std::string& text, int pass)
{
    std::string events;
    for (char c : text) events += "at " + std::to_string(pass += 2) + " key " + std::to_string(int(c)) + "\n";
    return events;
}

// Every readable mapping of the process, searched for `text` in blocks that overlap by its length.
// Mappings of many gigabytes are reservations (a sanitizer's shadow), not data, and are passed over.
constexpr unsigned long kLargestSearchedMapping = 4ul << 30;
constexpr size_t kSearchBlockBytes = 1 << 20;

bool memoryHolds(pid_t pid, const std::string& text)
{
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    int mem = open(("/proc/" + std::to_string(pid) + "/mem").c_str(), O_RDONLY);
    EXPECT_GE(mem, 0) << "cannot open the saver's memory";
    bool found = false;
    std::string line;
    std::string block(kSearchBlockBytes + text.size(), '\0');
    while (mem >= 0 && !found && std::getline(maps, line)) {
        unsigned long start = 0, end = 0;
        char perms[8] = {};
        if (std::sscanf(line.c_str(), "%lx-%lx %7s", &start, &end, perms) != 3 || perms[0] != 'r') continue;
        if (line.find("[vvar]") != std::string::npos || line.find("[vsyscall]") != std::string::npos) continue;
        if (end - start > kLargestSearchedMapping) continue;
        for (unsigned long at = start; at < end && !found; at += kSearchBlockBytes) {
            size_t want = size_t(std::min<unsigned long>(end - at, block.size()));
            ssize_t got = pread(mem, &block[0], want, off_t(at));
            if (got <= 0) break;
            found = memmem(block.data(), size_t(got), text.data(), text.size()) != nullptr;
        }
    }
    if (mem >= 0) close(mem);
    return found;
}

// The saver makes itself non-dumpable, so only a process with CAP_SYS_PTRACE may read its memory.
bool mayReadOtherProcessesMemory()
{
    constexpr int kCapSysPtrace = 19;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("CapEff:", 0) == 0) return (std::stoull(line.substr(7), nullptr, 16) >> kCapSysPtrace) & 1;
    return false;
}

// A saver offscreen with a password set, run long enough that a test can stop it at marks (snapshots
// written at given passes) and read its memory.
class PasswordSecrecy : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!mayReadOtherProcessesMemory())
            GTEST_SKIP() << "the saver is not dumpable; reading its memory needs CAP_SYS_PTRACE (run as root)";
        SettingsRecord settings = defaultSettingsRecord();
        settings.passwordEnabled = 1;
        std::strcpy(settings.password, kStoredPassword);
        world.saveSettings(settings);
        world.environment["TOCKWHEEL_PASSES"] = "100000000";
        world.environment["TOCKWHEEL_EVENTS"] = world.windows.file("events.txt");
    }
    void TearDown() override
    {
        if (saver.pid > 0) {
            kill(saver.pid, SIGKILL);
            waitForExit(saver, kMarkSeconds);
        }
    }
    std::string mark(int n) const { return world.windows.file("mark" + std::to_string(n) + ".png"); }
    void start(const std::string& events)
    {
        writeFile(world.windows.file("events.txt"), events);
        saver = startProgram(TOCKWHEEL_PROGRAM, {"/s"}, world.environment, world.windows.file("saver.out"));
    }
    // Waits for the mark, stops the saver there, searches its memory, and lets it go on.
    bool heldAtMark(int n, const std::string& text)
    {
        EXPECT_TRUE(waitForFile(mark(n), kMarkSeconds)) << readFile(world.windows.file("saver.out"));
        kill(saver.pid, SIGSTOP);
        bool held = memoryHolds(saver.pid, text);
        kill(saver.pid, SIGCONT);
        return held;
    }

    SaverWorld world;
    RunningProgram saver;
};

TEST_F(PasswordSecrecy, WrongPasswordIsWipedFromMemoryWhenEnterClosesThePrompt)
{
    const std::string typed = "TypedWrong77";
    start("at 10 key 32\n" + typeText(typed, 10) + "at 40 snapshot " + mark(1) + "\n" +
          "at 600 key 13\nat 610 snapshot " + mark(2) + "\n");   // seconds after the first mark
    EXPECT_TRUE(heldAtMark(1, typed)) << "the search must see the text while the prompt holds it";
    EXPECT_TRUE(heldAtMark(2, kStoredPassword)) << "the search must see the stored password";
    EXPECT_FALSE(heldAtMark(2, typed)) << "the typed text outlived the prompt";
    kill(saver.pid, SIGKILL);
    waitForExit(saver, kMarkSeconds);
    std::string said = readFile(world.windows.file("saver.out")) + world.uiLog();
    EXPECT_EQ(said.find(typed), std::string::npos) << said;
}

TEST_F(PasswordSecrecy, TypedTextIsWipedFromMemoryWhenThePromptTimesOut)
{
    const std::string typed = "QuietTyping42";
    const int quietEnd = 40 + kPromptIdlePasses + 60;
    start("at 10 key 32\n" + typeText(typed, 10) + "at 40 snapshot " + mark(1) + "\n" + "at " +
          std::to_string(quietEnd) + " snapshot " + mark(2) + "\n");
    EXPECT_TRUE(heldAtMark(1, typed));
    EXPECT_FALSE(heldAtMark(2, typed)) << "the typed text outlived the prompt's time-out";
}

// The prompt shows one square per character: two different passwords of one length give the same
// picture, pixel for pixel (the time is frozen, so the clock is the same too).
TEST(PasswordPicture, ShowsOnlyHowManyCharactersWereTyped)
{
    std::string pictures[2];
    const std::string texts[2] = {"abcdefgh", "ZYXWVUTS"};
    for (int i = 0; i < 2; ++i) {
        SaverWorld world;
        SettingsRecord settings = defaultSettingsRecord();
        settings.passwordEnabled = 1;
        std::strcpy(settings.password, kStoredPassword);
        world.saveSettings(settings);
        std::string picture = world.windows.file("prompt.png");
        world.events = "at 10 key 32\n" + typeText(texts[i], 10) + "at 40 snapshot " + picture + "\nat 41 key 27\n";
        world.environment["TOCKWHEEL_PASSES"] = "100";
        world.run();
        pictures[i] = readFile(picture);
        ASSERT_FALSE(pictures[i].empty());
    }
    EXPECT_TRUE(pictures[0] == pictures[1]);
}

}  // namespace
