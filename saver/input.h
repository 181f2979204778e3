// saver/input.h -- the saver's run state and the input hooks that change it.
#pragma once

#include <cstdint>

#include "display/display.h"

constexpr int32_t kSaverRunning = -1;
constexpr int32_t kSaverPrompt = 1;
constexpr int32_t kSaverEnding = 0;

constexpr int kTypedCapacity = 44;   // 43 characters and the terminating zero
constexpr int kTypedMaxLength = kTypedCapacity - 1;

constexpr int32_t kPromptIdle = 0;
constexpr int32_t kPromptRestart = 1;   // input asked for the idle timer to start again
constexpr int32_t kPromptTiming = 2;

constexpr uint32_t kFirstRetryDelayUs = 1'000'000;   // after the first wrong password
constexpr uint32_t kMaxRetryDelayUs = 30'000'000;

extern int32_t saverState;               // kSaverRunning, kSaverPrompt or kSaverEnding
// What the password prompt holds between passes.
struct PasswordEntry {
    char typedPassword[kTypedCapacity] = {};
    int32_t typedLength = 0;                  // 0 .. kTypedMaxLength
    int32_t promptTimerState = kPromptIdle;   // kPromptIdle, kPromptRestart or kPromptTiming
    uint32_t promptStart = 0;                 // stopwatch lap, microseconds, at which the idle timer started
    uint32_t retryDelayUs = 0;                // the last wrong password's delay; 0 before one, and after the right one
    uint32_t retryFrom = 0;                   // stopwatch lap of that wrong password
};

// Where the mouse was first and last reported; the anchor is never moved once set.
struct MouseAnchor {
    int32_t mouseAnchorX = -1, mouseAnchorY = -1;   // -1, -1 before the first report
    int32_t mouseX = 0, mouseY = 0;
};

extern PasswordEntry prompt;
extern MouseAnchor mouse;

// Key down and key repeat: wakes the saver, or types into the prompt (Enter checks, Backspace erases).
void handleKey(const display::Event& event);
// Any mouse button: wakes the saver; with the prompt up it only restarts the idle timer.
void handleMouseDown(const display::Event& event);
// Mouse movement beyond 4 pixels from the first reported position counts as input.
void handleMouseMove(const display::Event& event);
// Without a password a task switch ends the process at once; with one, every switch is refused (0).
int handleSuspend(display::Framework* context, int flag);

// How long, in microseconds from the stopwatch lap `lapUs`, the prompt still takes no new try after a
// wrong password; 0 when it takes one.
uint32_t retryDelayLeftUs(uint32_t lapUs);

// Empties the typed text, overwriting every byte so that no part of a password stays in memory.
void clearTypedPassword();
// The state that input leads to: the prompt when a password is set, the end otherwise.
int32_t wakeState();
