#include <gtest/gtest.h>

#include "platform/command_line.h"

TEST(CommandLine, ProgramPathBlankThenArgumentsJoinedByBlanks)
{
    const char* argv[] = {"/usr/bin/tockwheel", "/s", "-window-id", "42"};
    EXPECT_EQ(platform::buildCommandLine(4, argv), "/usr/bin/tockwheel /s -window-id 42");
    EXPECT_EQ(platform::buildCommandLine(1, argv), "/usr/bin/tockwheel");
    const char* empty[] = {"tockwheel", ""};
    EXPECT_EQ(platform::buildCommandLine(2, empty), "tockwheel ");
    EXPECT_EQ(platform::buildCommandLine(0, argv), "");
    // A program path with a blank is quoted, as Windows quotes it, so the argument still follows the path.
    const char* blank[] = {"/home/me/my dir/tockwheel", "/s"};
    EXPECT_EQ(platform::buildCommandLine(2, blank), "\"/home/me/my dir/tockwheel\" /s");
}
