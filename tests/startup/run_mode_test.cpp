// The command line decides the run mode and the exit code of a configuration run.
#include <gtest/gtest.h>

#include <string>

#include "config/settings.h"
#include "saver/run_mode.h"

namespace {

struct Case {
    const char* commandLine;
    RunMode mode;
    int exitCode;
};

}  // namespace

TEST(RunMode, CommandLinesAsTheSystemStartsTheSaver)
{
    const Case cases[] = {
        {"tockwheel /s", RunMode::Saver, 0},
        {"tockwheel /S", RunMode::Saver, 0},
        {"tockwheel /s 1234", RunMode::Saver, 0},
        {"tockwheel /sx", RunMode::Saver, 0},
        {"tockwheel /s -root", RunMode::Saver, 0},
        {"tockwheel     /s", RunMode::Saver, 0},
        {"tockwheel -s", RunMode::Saver, 0},
        {"tockwheel -S", RunMode::Saver, 0},
        {"tockwheel s", RunMode::Saver, 0},
        {"tockwheel S", RunMode::Saver, 0},
        {"tockwheel -s 1234", RunMode::Configuration, 0},
        {"tockwheel s 1", RunMode::Configuration, 0},
        {"tockwheel /c", RunMode::Configuration, 1},
        {"tockwheel /C", RunMode::Configuration, 1},
        {"tockwheel -c", RunMode::Configuration, 1},
        {"tockwheel c", RunMode::Configuration, 1},
        {"tockwheel /c:123", RunMode::Configuration, 0},
        {"tockwheel /p 123", RunMode::Configuration, 0},
        {"tockwheel /a", RunMode::Configuration, 0},
        {"tockwheel ", RunMode::Configuration, 0},
        {"tockwheel", RunMode::Configuration, 0},
        {"/s", RunMode::Configuration, 0},   // only the program path: no blank, no argument
        {"", RunMode::Configuration, 0},
        {"tockwheel /", RunMode::Configuration, 0},
        // A quoted program path, as Windows hands over one with blanks: its blanks are its own.
        {"\"C:\\My Savers\\tockwheel.scr\" /s", RunMode::Saver, 0},
        {"\"/home/me/my dir/tockwheel\"   /c", RunMode::Configuration, 1},
        {"\"/home/me/my dir/tockwheel\"", RunMode::Configuration, 0},
        {"\"a\"b c\" /s", RunMode::Saver, 0},   // a quote inside the path: the one before the blank closes it
        {"\"unclosed /s", RunMode::Saver, 0},   // no closing quote: the first blank counts
    };
    for (const Case& c : cases) {
        RunChoice choice = chooseRunMode(findArgument(c.commandLine));
        EXPECT_EQ(choice.mode, c.mode) << '"' << c.commandLine << '"';
        EXPECT_EQ(choice.configurationExitCode, c.exitCode) << '"' << c.commandLine << '"';
    }
}

TEST(RunMode, ArgumentStartsAfterEveryLeadingBlank)
{
    EXPECT_STREQ(findArgument("prog   /s  x"), "/s  x");
    EXPECT_STREQ(findArgument("prog"), "");
    EXPECT_STREQ(findArgument(""), "");
}

TEST(DriverFlags, SettingsOrderBecomesTheLibraryOrder)
{
    // Settings order: Full screen DIB, VBE 2.0, VBE/AF, Standard VGA, Mode X, DirectDraw, WinDirect, Linear.
    for (int element = 0; element < 8; ++element) {
        int16_t enabled[8] = {};
        enabled[element] = 1;
        const display::DriverOptions options = driverOptionsFromSettings(enabled);
        const int32_t flags[8] = {options.winDirect, options.directDraw, options.standardVga, options.modeX,
                                  options.vbe,       options.linear,     options.vbeAf,       options.fullScreenDib};
        // Library order: WinDirect, DirectDraw, Standard VGA, Mode X, VBE 2.0, Linear, VBE/AF, Full screen DIB.
        static const int kFlagOfElement[8] = {7, 4, 6, 2, 3, 1, 0, 5};
        for (int flag = 0; flag < 8; ++flag)
            EXPECT_EQ(flags[flag], flag == kFlagOfElement[element] ? 1 : 0) << "element " << element;
    }
}
