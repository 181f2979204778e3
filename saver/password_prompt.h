// saver/password_prompt.h -- the wake-up prompt drawn over the page: bitmap, marks and idle time-out.
#pragma once

#include <cstdint>

#include "display/display.h"

constexpr uint32_t kPromptIdleLimitUs = 20'000'000;   // quiet time after which the prompt goes away

// Geometry of the prompt on a screen: the double-size bitmap on screens larger than 640 x 480 in both
// directions.
struct PromptLayout {
    int scale;        // 1 or 2
    int left, top;    // bitmap's top-left corner, pixels
    int markY;        // centre row of the marks
};

// True where the double-size prompt bitmap ("pass2x.pag") is the one shown.
bool promptIsDoubleSize(int screenWidth, int screenHeight);
PromptLayout promptLayout(int screenWidth, int screenHeight);
// Centre column of the mark of typed character k (0-based).
int promptMarkX(const PromptLayout& layout, int k);
// The idle time-out, fed with the stopwatch lap of this prompt frame (microseconds).
void checkPromptIdle(uint32_t lapUs);
// Draws the prompt bitmap and one mark per typed character, then checks the idle time-out.
void drawPasswordPrompt(display::Framework* framework);
