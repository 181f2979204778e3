// platform/win32/secret_memory.cpp -- VirtualLock against the page file, SecureZeroMemory for wiping.
#include "platform/secret_memory.h"

#include <windows.h>

namespace platform {

// Windows writes no dump of a crashed process unless its administrator configured one, and a program
// cannot refuse a debugger of its own user: what is left to do is keeping the system's crash dialog,
// which would hold the process (and the password in it) alive on screen, out of the way.
bool protectProcessMemory()
{
    SetErrorMode(GetErrorMode() | SEM_NOGPFAULTERRORBOX);
    return true;
}

bool lockInMemory(const void* address, size_t bytes)
{
    return VirtualLock(const_cast<void*>(address), bytes) != 0;
}

void wipeSecret(void* address, size_t bytes)
{
    SecureZeroMemory(address, bytes);
}

}  // namespace platform
