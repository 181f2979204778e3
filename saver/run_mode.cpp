// saver/run_mode.cpp -- the run-mode rules of the screen-saver command line.
#include "saver/run_mode.h"


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
    // A quoted program path ends at the quote that a blank or the end follows; its blanks are its own.
    if (*blank == '"') {
        const char* close = blank + 1;
        while (*close && !(close[0] == '"' && (close[1] == ' ' || close[1] == '\0'))) ++close;
        blank = *close ? close + 1 : commandLine;
    }
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
