// saver/password_prompt.cpp -- the wake-up prompt: its bitmap, one mark per character, the time-out.
#include "saver/password_prompt.h"

#include "config/settings.h"
#include "saver/input.h"
#include "saver/scene_setup.h"

namespace {

constexpr int kSmallScreenWidth = 640;    // pixels; larger in both directions uses the double-size prompt
constexpr int kSmallScreenHeight = 480;
constexpr int kHalfWidthPx = 92;          // half-extents of the single-size bitmap (184 x 36)
constexpr int kHalfHeightPx = 18;
constexpr int kLargeHalfWidthPx = 185;    // of the double-size bitmap (370 x 72)
constexpr int kLargeHalfHeightPx = 36;
constexpr int kFirstMarkOffsetPx = 8;     // per scale unit, from the bitmap's left edge
constexpr int kMarkSpacingPx = 4;         // per scale unit
constexpr int kReplaceOp = 0;
constexpr int kDelayBarLengthPx = 170;    // per scale unit, when the whole delay is still to run

// After a wrong password the entry field shows, in the marks' row, a red bar that shrinks to nothing as
// the delay runs out; until then the prompt takes no new try, so no mark is shown there meanwhile.
void drawRetryDelay(const PromptLayout& layout, uint32_t lapUs)
{
    uint32_t left = retryDelayLeftUs(lapUs);
    if (left == 0) return;
    int fullPx = kDelayBarLengthPx * layout.scale;
    int lengthPx = static_cast<int>(static_cast<uint64_t>(fullPx) * left / prompt.retryDelayUs);
    if (lengthPx < 2) lengthPx = 2;
    int barLeft = promptMarkX(layout, 0) - layout.scale;
    display::setColorRGB(200, 0, 0);
    display::fillRectAround(barLeft + lengthPx / 2, layout.markY, lengthPx / 2,
                            layout.scale);
}

}  // namespace

bool promptIsDoubleSize(int screenWidth, int screenHeight)
{
    return screenWidth > kSmallScreenWidth && screenHeight > kSmallScreenHeight;
}

PromptLayout promptLayout(int screenWidth, int screenHeight)
{
    bool large = promptIsDoubleSize(screenWidth, screenHeight);
    PromptLayout layout;
    layout.scale = large ? 2 : 1;
    layout.left = screenWidth / 2 - (large ? kLargeHalfWidthPx : kHalfWidthPx);
    layout.top = screenHeight / 2 - (large ? kLargeHalfHeightPx : kHalfHeightPx);
    layout.markY = screenHeight / 2 + layout.scale;
    return layout;
}

int promptMarkX(const PromptLayout& layout, int k)
{
    return layout.left + kFirstMarkOffsetPx * layout.scale + kMarkSpacingPx * layout.scale * k;
}

void checkPromptIdle(uint32_t lapUs)
{
    if (prompt.promptTimerState == kPromptRestart) {
        prompt.promptStart = lapUs;
        prompt.promptTimerState = kPromptTiming;
        return;
    }
    // Unsigned difference: a stopwatch restarted while timing gives a huge value and ends the prompt.
    if (prompt.promptTimerState == kPromptTiming && lapUs - prompt.promptStart > kPromptIdleLimitUs) {
        prompt.promptTimerState = kPromptIdle;
        saverState = kSaverRunning;
        clearTypedPassword();
        prompt.promptStart = lapUs;
    }
}

void drawPasswordPrompt(display::Framework*)
{
    PromptLayout layout = promptLayout(Settings.screenWidth, Settings.screenHeight);
    if (passwordBitmap) display::putBitmap(layout.left, layout.top, passwordBitmap, kReplaceOp);
    display::setColorRGB(0, 0, 0);
    for (int k = 0; k < prompt.typedLength; ++k)
        display::fillRectAround(promptMarkX(layout, k), layout.markY, layout.scale, layout.scale);
    uint32_t lap = display::timerLap();
    drawRetryDelay(layout, lap);
    checkPromptIdle(lap);
}
