// tests/platform/secret_memory_test.cpp -- a process that holds passwords leaves no core file, lets no
// debugger of its user in, and keeps the pages it asks for out of swap. Run in a child, since the
// test process itself must stay as it was.
#include <gtest/gtest.h>

#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "platform/secret_memory.h"

namespace {

enum ChildFault : int {
    kRefused = 1,        // protectProcessMemory reported failure
    kStillDumpable = 2,
    kCoreAllowed = 4,
    kLockNotShown = 8,   // lockInMemory said yes but the kernel shows nothing locked
};

char gSecret[64];

// Kilobytes locked, from the process's own status.
long lockedKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmLck:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

int protectAndLook()
{
    int faults = 0;
    if (!platform::protectProcessMemory()) faults |= kRefused;
    if (prctl(PR_GET_DUMPABLE, 0, 0, 0, 0) != 0) faults |= kStillDumpable;
    rlimit core = {1, 1};
    if (getrlimit(RLIMIT_CORE, &core) != 0 || core.rlim_cur != 0 || core.rlim_max != 0) faults |= kCoreAllowed;
    // Locking may be refused (a small RLIMIT_MEMLOCK); when it is granted, it must be real. The address
    // sanitizer makes mlock a call that does nothing and says yes.
#ifdef __SANITIZE_ADDRESS__
    constexpr bool kMlockIsReal = false;
#else
    constexpr bool kMlockIsReal = true;
#endif
    bool locked = platform::lockInMemory(gSecret, sizeof gSecret);
    if (kMlockIsReal && locked && lockedKilobytes() <= 0) faults |= kLockNotShown;
    return faults;
}

}  // namespace

TEST(SecretMemory, TheProcessBecomesNonDumpableWithoutCoreFilesAndLocksWhatItIsGiven)
{
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(protectAndLook());
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    int faults = WEXITSTATUS(status);
    EXPECT_FALSE(faults & kRefused);
    EXPECT_FALSE(faults & kStillDumpable);
    EXPECT_FALSE(faults & kCoreAllowed);
    EXPECT_FALSE(faults & kLockNotShown);
}
