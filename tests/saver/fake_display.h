// tests/saver/fake_display.h -- a recording stand-in for the display framework, for tests without a screen.
#pragma once

#include <cstdint>
#include <vector>

#include "display/display.h"

struct FakePixel {
    int x, y;
};

struct FakeRect {
    int cx, cy, halfWidth, halfHeight;
};

struct FakeDisplay {
    uint8_t color[3];
    std::vector<FakePixel> pixels;
    int pixelBrackets;            // beginPixels .. endPixels pairs completed
    std::vector<FakeRect> rects;
    int bitmapX, bitmapY, bitmapPuts;
    uint32_t lapUs;               // what timerLap() answers
    int timerOns, timerOffs, exitRequests, swaps;
};

extern FakeDisplay fake;
void resetFakeDisplay();
