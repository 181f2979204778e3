// platform/posix/secret_memory.cpp -- prctl and setrlimit against core files, mlock against swap.
#include "platform/secret_memory.h"

#include <string.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>

namespace platform {

bool protectProcessMemory()
{
    bool notDumpable = ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
    rlimit noCore = {0, 0};
    bool noCoreFile = ::setrlimit(RLIMIT_CORE, &noCore) == 0;
    return notDumpable && noCoreFile;
}

bool lockInMemory(const void* address, size_t bytes)
{
    return ::mlock(address, bytes) == 0;
}

void wipeSecret(void* address, size_t bytes)
{
    ::explicit_bzero(address, bytes);
}

}  // namespace platform
