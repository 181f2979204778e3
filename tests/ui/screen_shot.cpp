// tests/ui/screen_shot.cpp -- writes a rectangle of the X screen ($DISPLAY) to a PNG: pictures of whole programs.
//
// screen_shot FILE.png [X Y W H]   (the whole screen without a rectangle)
#include <cstdio>
#include <cstdlib>

#include "tests/support/x_screen.h"

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 6) {
        std::fprintf(stderr, "usage: screen_shot FILE.png [X Y W H]\n");
        return 2;
    }
    int x = 0, y = 0, w = -1, h = -1;
    if (argc == 6) {
        x = std::atoi(argv[2]);
        y = std::atoi(argv[3]);
        w = std::atoi(argv[4]);
        h = std::atoi(argv[5]);
    }
    bool written = writeRgbPng(readScreen("", 0, x, y, w, h), argv[1]);
    if (!written) std::fprintf(stderr, "screen_shot: could not capture or write %s\n", argv[1]);
    return written ? 0 : 1;
}
