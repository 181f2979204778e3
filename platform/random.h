// platform/random.h -- the process-wide pseudo-random generator with the original C library's sequence.
//
// glibc's rand has another range and sequence, so it is never used: runs must reproduce from a seed.
#pragma once

#include <cstdint>

namespace platform {

constexpr int kRandMax = 32767;

void srand(uint32_t seed);
int rand();    // 0..kRandMax

}  // namespace platform
