// saver/input.cpp -- keys, mouse and task switches: waking the saver and typing the password.
#include "saver/input.h"

#include <cstdlib>
#include <cstring>
#include <string.h>

#include "config/password_match.h"
#include "config/settings.h"
#include "platform/ansi_text.h"
#include "platform/secret_memory.h"

int32_t saverState = kSaverRunning;
PasswordEntry prompt;
MouseAnchor mouse;

namespace {

constexpr int kKeyEnter = 13;
constexpr int kKeyBackspace = 8;
constexpr int kFirstTypable = 31;
constexpr int kLastTypable = 126;
constexpr int kFirstHighAnsi = 0x80;     // from here on, every character Windows-1252 defines is typable
constexpr int kLastAnsi = 0xFF;
constexpr int kMouseJitterPx = 4;

bool typable(int c)
{
    if (c >= kFirstTypable && c <= kLastTypable) return true;
    return c >= kFirstHighAnsi && c <= kLastAnsi &&
           platform::ansiToUnicode(static_cast<unsigned char>(c)) != platform::kNoCodePoint;
}

// A wrong password shuts the prompt for kFirstRetryDelayUs, and each further one for twice as long as
// the last, up to kMaxRetryDelayUs: guessing costs time, a person who mistyped waits a second.
void startRetryDelay(uint32_t lapUs)
{
    prompt.retryDelayUs = prompt.retryDelayUs == 0 ? kFirstRetryDelayUs
                          : prompt.retryDelayUs >= kMaxRetryDelayUs / 2 ? kMaxRetryDelayUs
                                                                         : prompt.retryDelayUs * 2;
    prompt.retryFrom = lapUs;
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
    // While a wrong password's delay runs, nothing is typed and Enter checks nothing.
    if (retryDelayLeftUs(display::timerLap()) > 0) return;
    int c = static_cast<int>(event.message & 0xFFu);
    if (c == kKeyEnter) {
        // Right or wrong, the typed text is wiped at once: a right password must not stay in memory
        // for the rest of the process's life.
        bool right = passwordMatches(Settings.password, prompt.typedPassword);
        clearTypedPassword();
        saverState = right ? kSaverEnding : kSaverRunning;
        if (right) prompt.retryDelayUs = 0;
        else startRetryDelay(display::timerLap());
    }
    if (c == kKeyBackspace) {
        if (prompt.typedLength > 0) --prompt.typedLength;
        prompt.typedPassword[prompt.typedLength] = '\0';
    }
    if (prompt.typedLength >= kTypedMaxLength) return;
    if (typable(c)) {
        prompt.typedPassword[prompt.typedLength] = static_cast<char>(c);
        ++prompt.typedLength;
        prompt.typedPassword[prompt.typedLength] = '\0';
    }
}

uint32_t retryDelayLeftUs(uint32_t lapUs)
{
    if (prompt.retryDelayUs == 0) return 0;
    // Unsigned difference: a stopwatch restarted meanwhile ends the delay, as it ends the idle timer.
    uint32_t waited = lapUs - prompt.retryFrom;
    return waited >= prompt.retryDelayUs ? 0 : prompt.retryDelayUs - waited;
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
