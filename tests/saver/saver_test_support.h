// tests/saver/saver_test_support.h -- shared helpers: settings reset, seeded draws, float comparison.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "config/settings.h"
#include "platform/random.h"

// The next n values the generator would give after srand(seed); leaves it seeded as before the draws.
inline std::vector<int> drawsAfterSeed(uint32_t seed, int n)
{
    std::vector<int> values;
    platform::srand(seed);
    for (int i = 0; i < n; ++i) values.push_back(platform::rand());
    platform::srand(seed);
    return values;
}

// Settings at their defaults and the hands frozen at a known time, so that no test sees another's state.
class SaverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetSettings();
        setenv("TOCKWHEEL_TIME", "0", 1);
        setenv("TZ", "UTC", 1);
        tzset();
    }
};

// Exact float equality, printing both sides in full when it fails.
#define EXPECT_FLOAT_BITS(expected, actual) EXPECT_EQ(static_cast<float>(expected), static_cast<float>(actual))
