// config/settings.h -- the one record of user choices, its defaults and its binary file.
#pragma once

#include <cstdint>

#include "display/display.h"

constexpr float settingsVersion = 1.1f;
constexpr int kPasswordCapacity = 44;        // 43 characters and a NUL
constexpr int kPasswordMaxLength = kPasswordCapacity - 1;
constexpr int kDriverCount = 8;
constexpr const char* kSettingsPath = "Orvask\\Tockwheel.ini";

// Fields in declared order. Yes/no fields hold 1 or 0; colorDepth, starDirection and renderMode hold
// the id of the chosen radio button of the configuration dialog.
struct SettingsRecord {
    float version;                   // 1.1; a file with another stamp is not loaded
    int16_t passwordEnabled;         // 1: the saver asks for the password before it ends
    char password[kPasswordCapacity];// plain text, NUL-terminated
    uint8_t* modeList;               // the library's available mode numbers, ended by 255; not stored
    int32_t colorDepth;              // 152..156 (8, 15, 16, 24, 32 bit); bits per pixel in the saver run
    int32_t videoMode;               // library mode number 0..85
    int32_t screenWidth;             // pixels of videoMode; not stored
    int32_t screenHeight;            // pixels of videoMode; not stored
    int16_t driverEnabled[kDriverCount];   // Full screen DIB, VBE 2.0, VBE/AF, VGA, Mode X, DirectDraw, WinDirect, Linear
    int16_t frameSkip;               // 0 ("Fast") .. 20 ("Slow"): frames skipped between redraws
    int16_t useCustomColor;          // 1: the custom colour instead of a scheme
    float customRed;                 // 0..1
    float customBlue;                // 0..1, stored before green
    float customGreen;               // 0..1
    int16_t colorScheme;             // 0..13
    int16_t colorCycling;
    int16_t showSpheres;
    int16_t showCubes;
    int16_t showAmPm;
    int16_t showNumbers;
    int16_t starFieldEnabled;
    int16_t starDirection;           // 501 horizontal, 502 vertical
    int16_t starSpeed;               // pixels per step of the slowest layer
    int16_t starAmount;              // stars over all four layers
    int16_t renderMode;              // 600 wireframe, 601 solid
    int16_t movementStyle;           // 0..12
    int16_t rotationEnabled;         // 1: the hour markers spin
    int16_t keepLikeColors;          // 1: all parts share one set of cycling rates
};

extern SettingsRecord Settings;

// Every field to its default; modeList is left alone.
void resetSettings();
// 0 when the file was opened and its stamp matched, 1 otherwise (the record is then unchanged).
int loadSettings(const char* path);
// 0 when the whole file was written and put in place, 1 otherwise (the old file is then untouched). A
// file that this user may not write, or that is not a regular file, is not replaced: 1.
int saveSettings(const char* path);
// True when the file at `path` holds other bytes than when this program last loaded or saved it, or was
// made since: another dialog or program saved after this one read it.
bool settingsFileChanged(const char* path);
// The eight driver flags, from the settings' check-box order into the display framework's own; the
// other fields are left 0 for the caller.
display::DriverOptions driverOptionsFromSettings(const int16_t driverEnabled[kDriverCount]);
