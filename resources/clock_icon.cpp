// resources/clock_icon.cpp -- the clock picture of "MAINICON": a blue-rimmed face at ten past ten.
#include "resources/clock_icon.h"

#include <strings.h>

namespace resources {

namespace {

constexpr int kIconSizePx = 32;

// Colours of the classic 16-colour palette; ' ' is transparent.
const platform::IconColour kClockColours[] = {
    {'k', 0x000000},   // outline
    {'B', 0x0000FF},   // rim
    {'n', 0x000080},   // hour marks and hands
    {'g', 0x808080},   // minute marks
    {'w', 0xFFFFFF},   // face
    {'r', 0xFF0000},   // second hand and hub
};

const char* const kClockRows[kIconSizePx] = {
    "              kkkk              ",
    "          kkkkBBBBkkkk          ",
    "        kkBBBBBBBBBBBBkk        ",
    "       kBBBBBBBBBBBBBBBBk       ",
    "     kkBBBBnnnwwwwnnnBBBBkk     ",
    "    kkBBBnnwwwwnnwwwwnnBBBkk    ",
    "    kBBBnwgwwwwnnwwwwgwnBBBk    ",
    "   kBBBnwwggwwwwwwwwggwwnBBBk   ",
    "  kBBBnwwwwwwwwwwwwwwwwwwnBBBk  ",
    "  kBBnwwwwwwwwwwwwwwwwwwwwnBBk  ",
    " kBBBnggwwwwwwwwwwwwwwwwggnBBBk ",
    " kBBnwwgwwwwwwwwwwwwwwnngwwnBBk ",
    " kBBnwwwwwwnwwwwwwwwnnnnwwwnBBk ",
    " kBBnwwwwwnnnnwrwwwnnnwwwwwnBBk ",
    "kBBBwwwwwwwnnnnrrnnnwwwwwwwwBBBk",
    "kBBBwnnwwwwwwnrrrrwwwwwwwnnwBBBk",
    "kBBBwnnwwwwwwwrrrrwwwwwwwnnwBBBk",
    "kBBBwwwwwwwwwwwrrwwwwwwwwwwwBBBk",
    " kBBnwwwwwwwwwwwrwwwwwwwwwwnBBk ",
    " kBBnwwwwwwwwwwwrwwwwwwwwwwnBBk ",
    " kBBnwwgwwwwwwwwrwwwwwwwgwwnBBk ",
    " kBBBnggwwwwwwwwrwwwwwwwggnBBBk ",
    "  kBBnwwwwwwwwwwrwwwwwwwwwnBBk  ",
    "  kBBBnwwwwwwwwwrwwwwwwwwnBBBk  ",
    "   kBBBnwwggwwwwrwwwggwwnBBBk   ",
    "    kBBBnwgwwwwnrwwwwgwnBBBk    ",
    "    kkBBBnnwwwwnnwwwwnnBBBkk    ",
    "     kkBBBBnnnwwwwnnnBBBBkk     ",
    "       kBBBBBBBBBBBBBBBBk       ",
    "        kkBBBBBBBBBBBBkk        ",
    "          kkkkBBBBkkkk          ",
    "              kkkk              ",
};

}  // namespace

const platform::IconImage kMainIcon = {kIconSizePx, kIconSizePx, kClockRows, kClockColours,
                                       static_cast<int>(sizeof kClockColours / sizeof kClockColours[0])};

const platform::IconImage* findIconResource(const char* name)
{
    return name && strcasecmp(name, "MAINICON") == 0 ? &kMainIcon : nullptr;
}

}  // namespace resources
