#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/calendar.h"

TEST(Calendar, FrozenTimeInBothForms)
{
    std::time_t when = 0;
    EXPECT_TRUE(platform::parseFrozenTime("1000000000", &when));
    EXPECT_EQ(when, 1000000000);
    ASSERT_TRUE(platform::parseFrozenTime("2024-03-05T15:30:07", &when));
    std::tm local{};
    ASSERT_TRUE(platform::localTime(when, &local));
    EXPECT_EQ(local.tm_year, 124);
    EXPECT_EQ(local.tm_mon, 2);
    EXPECT_EQ(local.tm_mday, 5);
    EXPECT_EQ(local.tm_hour, 15);
    EXPECT_EQ(local.tm_min, 30);
    EXPECT_EQ(local.tm_sec, 7);
}

TEST(Calendar, MalformedFrozenTimeIsIgnored)
{
    std::time_t when = 7;
    EXPECT_FALSE(platform::parseFrozenTime("", &when));
    EXPECT_FALSE(platform::parseFrozenTime("12abc", &when));
    EXPECT_FALSE(platform::parseFrozenTime("2024-03-05", &when));
    EXPECT_FALSE(platform::parseFrozenTime(nullptr, &when));
    EXPECT_EQ(when, 7);

    setenv("TOCKWHEEL_TIME", "86400", 1);
    EXPECT_EQ(platform::currentTime(), 86400);
    setenv("TOCKWHEEL_TIME", "not a time", 1);
    EXPECT_GT(platform::currentTime(), 1600000000);
    unsetenv("TOCKWHEEL_TIME");
}
