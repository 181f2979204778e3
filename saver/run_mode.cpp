// saver/run_mode.cpp -- the run-mode rules of the screen-saver command line.
#include "saver/run_mode.h"

#include "config/settings.h"

namespace {

char foldAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(const char* text, const char* lowerCase)
{
    while (*text && *lowerCase) {
        if (foldAsciiLetter(*text) != *lowerCase) return false;
        ++text;
        ++lowerCase;
    }
    return *text == '\0' && *lowerCase == '\0';
}

}  // namespace

const char* findArgument(const char* commandLine)
{
    const char* blank = commandLine;
    while (*blank && *blank != ' ') ++blank;
    while (*blank == ' ') ++blank;
    return blank;
}

RunChoice chooseRunMode(const char* argument)
{
    if (argument[0] == '/' && foldAsciiLetter(argument[1]) == 's')
        return {RunMode::Saver, 0};
    if (equalsIgnoringCase(argument, "-s") || equalsIgnoringCase(argument, "s")) return {RunMode::Saver, 0};
    if (equalsIgnoringCase(argument, "/c") || equalsIgnoringCase(argument, "-c") || equalsIgnoringCase(argument, "c"))
        return {RunMode::Configuration, 1};
    return {RunMode::Configuration, 0};
}

void driverFlagsInLibraryOrder(const int16_t driverEnabled[8], int32_t flags[8])
{
    const display::DriverOptions options = driverOptionsFromSettings(driverEnabled);
    const int32_t inLibraryOrder[8] = {options.winDirect, options.directDraw, options.standardVga, options.modeX,
                                       options.vbe,       options.linear,     options.vbeAf,       options.fullScreenDib};
    for (int i = 0; i < 8; ++i) flags[i] = inLibraryOrder[i];
}
