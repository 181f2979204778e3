// platform/secret_memory.h -- keeping passwords out of core files and out of swap.
#pragma once

#include <cstddef>

namespace platform {

// Makes the process non-dumpable (no core file; no debugger of the same user may attach or read its
// memory) and sets its core file size to 0, soft and hard. Called before any password is read; false
// when the system refused either, which leaves the process running as it was.
bool protectProcessMemory();

// Keeps the pages under [address, address + bytes) in memory, never written to swap. False where the
// system does not allow it (a small RLIMIT_MEMLOCK, no privilege); the memory works the same then.
bool lockInMemory(const void* address, size_t bytes);

// Clears `bytes` at `address` in a way the compiler may not leave out, however dead the memory looks.
void wipeSecret(void* address, size_t bytes);

}  // namespace platform
