// saver/input.cpp -- keys, mouse and task switches: waking the saver and typing the password.
#include "saver/input.h"

#include <cstdlib>
#include <cstring>
#include <string.h>

#include "config/settings.h"
#include "platform/secret_memory.h"

int32_t saverState = kSaverRunning;
PasswordEntry prompt;
MouseAnchor mouse;

namespace {

constexpr int kKeyEnter = 13;
constexpr int kKeyBackspace = 8;
constexpr int kFirstTypable = 31;
constexpr int kLastTypable = 126;
constexpr int kMouseJitterPx = 4;

bool typedMatchesPassword()
{
    // Bounded by the record's size, so a stored password without its zero byte cannot be overrun.
    return std::strncmp(Settings.password, prompt.typedPassword, sizeof Settings.password) == 0;
}

void wakeUp()
{
    saverState = wakeState();
    prompt.promptTimerState = kPromptRestart;
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
    platform::wipeSecret(prompt.typedPassword, sizeof prompt.typedPassword);
    prompt.typedLength = 0;
}

void handleKey(const display::Event& event)
{
    prompt.promptTimerState = kPromptRestart;
    if (saverState == kSaverRunning) {
        // The key that wakes the saver is not typed into the prompt.
        saverState = wakeState();
        return;
    }
    int c = static_cast<int>(event.message & 0xFFu);
    if (c == kKeyEnter) {
        // Right or wrong, the typed text is wiped at once: a right password must not stay in memory
        // for the rest of the process's life.
        bool right = typedMatchesPassword();
        clearTypedPassword();
        saverState = right ? kSaverEnding : kSaverRunning;
    }
    if (c == kKeyBackspace) {
        if (prompt.typedLength > 0) --prompt.typedLength;
        prompt.typedPassword[prompt.typedLength] = '\0';
    }
    if (prompt.typedLength >= kTypedMaxLength) return;
    if (c >= kFirstTypable && c <= kLastTypable) {
        prompt.typedPassword[prompt.typedLength] = static_cast<char>(c);
        ++prompt.typedLength;
        prompt.typedPassword[prompt.typedLength] = '\0';
    }
}

void handleMouseDown(const display::Event&) { wakeUp(); }

void handleMouseMove(const display::Event& event)
{
    mouse.mouseX = event.x;
    mouse.mouseY = event.y;
    if (mouse.mouseAnchorX == -1 && mouse.mouseAnchorY == -1) {
        // The window's first report of where the pointer already is sets the anchor.
        mouse.mouseAnchorX = mouse.mouseX;
        mouse.mouseAnchorY = mouse.mouseY;
        return;
    }
    int64_t dx = static_cast<int64_t>(mouse.mouseX) - mouse.mouseAnchorX;
    int64_t dy = static_cast<int64_t>(mouse.mouseY) - mouse.mouseAnchorY;
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
