// saver/input.cpp -- keys, mouse and task switches: waking the saver and typing the password.
#include "saver/input.h"

#include <cstdlib>
#include <cstring>
#include <string.h>

#include "config/settings.h"

int32_t saverState = kSaverRunning;
char typedPassword[kTypedCapacity] = {};
int32_t typedLength = 0;
int32_t promptTimerState = kPromptIdle;
uint32_t promptStart = 0;
int32_t mouseAnchorX = -1, mouseAnchorY = -1;
int32_t mouseX = 0, mouseY = 0;

namespace {

constexpr int kKeyEnter = 13;
constexpr int kKeyBackspace = 8;
constexpr int kFirstTypable = 31;
constexpr int kLastTypable = 126;
constexpr int kMouseJitterPx = 4;

bool typedMatchesPassword()
{
    // Bounded by the record's size, so a stored password without its zero byte cannot be overrun.
    return std::strncmp(Settings.password, typedPassword, sizeof Settings.password) == 0;
}

void wakeUp()
{
    saverState = wakeState();
    promptTimerState = kPromptRestart;
}

}  // namespace

int32_t wakeState()
{
    // Only a set password raises the prompt; any other stored value ends the saver, since there is then
    // no prompt bitmap to show.
    return Settings.passwordEnabled == 1 ? kSaverPrompt : kSaverEnding;
}

void clearTypedPassword()
{
    explicit_bzero(typedPassword, sizeof typedPassword);
    typedLength = 0;
}

void handleKey(const display::Event& event)
{
    promptTimerState = kPromptRestart;
    if (saverState == kSaverRunning) {
        // The key that wakes the saver is not typed into the prompt.
        saverState = wakeState();
        return;
    }
    int c = static_cast<int>(event.message & 0xFFu);
    if (c == kKeyEnter) {
        bool right = typedMatchesPassword();
        clearTypedPassword();
        saverState = right ? kSaverEnding : kSaverRunning;
    }
    if (c == kKeyBackspace) {
        if (typedLength > 0) --typedLength;
        typedPassword[typedLength] = '\0';
    }
    if (typedLength >= kTypedMaxLength) return;
    if (c >= kFirstTypable && c <= kLastTypable) {
        typedPassword[typedLength] = static_cast<char>(c);
        ++typedLength;
        typedPassword[typedLength] = '\0';
    }
}

void handleMouseDown(const display::Event&) { wakeUp(); }

void handleMouseMove(const display::Event& event)
{
    mouseX = event.x;
    mouseY = event.y;
    if (mouseAnchorX == -1 && mouseAnchorY == -1) {
        // The window's first report of where the pointer already is sets the anchor.
        mouseAnchorX = mouseX;
        mouseAnchorY = mouseY;
        return;
    }
    int64_t dx = static_cast<int64_t>(mouseX) - mouseAnchorX;
    int64_t dy = static_cast<int64_t>(mouseY) - mouseAnchorY;
    if (dx > kMouseJitterPx || dx < -kMouseJitterPx || dy > kMouseJitterPx || dy < -kMouseJitterPx) wakeUp();
}

int handleSuspend(display::Framework*, int flag)
{
    if (Settings.passwordEnabled != 1 && flag == display::kSuspendTakenAway) {
        saverState = kSaverEnding;
        display::timerOff();
        display::requestExit();
        std::exit(0);
    }
    return 0;
}
