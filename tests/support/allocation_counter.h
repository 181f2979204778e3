// tests/support/allocation_counter.h -- counts operator new calls, to show a code path allocates nothing.
//
// Compile allocation_counter.cpp into a test program (not into a library: it replaces the global
// operator new and delete of the program that holds it).
#pragma once

#include <atomic>

extern std::atomic<bool> gCounting;      // allocations are counted while this is true
extern std::atomic<long> gAllocations;   // operator new calls counted so far
