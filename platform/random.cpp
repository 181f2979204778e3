// platform/random.cpp -- seed = seed * 214013 + 2531011, value = (seed >> 16) & 0x7FFF.
#include "platform/random.h"

namespace platform {

namespace {
uint32_t randomState = 1;   // the C library starts as if seeded with 1
}

void srand(uint32_t seed) { randomState = seed; }

int rand()
{
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFFu);
}

}  // namespace platform
