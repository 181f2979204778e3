// saver/clock_scene.h -- the one clock's state record, its construction and its local-time hands.
#pragma once

#include <cstdint>
#include <ctime>

constexpr int kClockPartCount = 4;     // hour hand, minute hand, second hand, hub
constexpr int kMarkerCount = 12;       // hour markers, 12 o'clock first, then clockwise
constexpr int kPartHourHand = 0;
constexpr int kPartMinuteHand = 1;
constexpr int kPartSecondHand = 2;
constexpr int kPartHub = 3;

// The clock's state. A plain record: constructed once at scene set-up, then written only by the time
// update, the movement styles and colour cycling.
struct ClockScene {
    float posX = 0, posY = 0, posZ = 0;   // centre in eye space, scene units; larger posZ is farther away
    int16_t dirX = 0, dirY = 0, dirZ = 0; // travel direction per axis: 1 towards +, anything else towards -
    int16_t tiltDir = 0;                  // "Twisty" tilt: 1 towards +90 degrees
    int16_t dirSpareA = 0, dirSpareB = 0; // drawn at construction, read by nothing
    float speedX = 0, speedY = 0, speedZ = 0;   // scene units per animation step
    int16_t spinStep = 0;                 // degrees per step of the turning styles, +1 or -1
    int32_t spinCount = -1;               // steps since the last spin reversal; -1 before the first
    float spinX = 0, spinY = 0, spinZ = 0;      // self-rotation, degrees, after the translation
    float orbitX = 0, orbitY = 0, swingZ = 0;   // rotation about the eye-space axes, before the translation
    std::tm localTime{};                  // local time read at the latest time update
    float hourAngle = 0, minuteAngle = 0, secondAngle = 0;   // degrees clockwise from 12
    float hourLength = 0, minuteLength = 0, secondLength = 0; // scene units
    float markerSpin = 0;                 // degrees about (1, 1, 1), kept in 0..360
    float partColors[kClockPartCount][4] = {};     // RGBA 0..1: hour, minute, second hand, hub
    float markerColors[kMarkerCount][4] = {};      // RGBA 0..1; [i] also colours numeral i, [0] the AM/PM label
    float partRates[kClockPartCount][3] = {};      // colour-cycling step per animation step, RGB
    float markerRates[kMarkerCount][3] = {};
    int32_t isPM = 0;                     // 1 from noon on

    ClockScene() = default;               // an empty record: no random draws
    // Draws the start speeds and directions from the program's generator, in a fixed order, and shows
    // the current local time so that a frame drawn before the first update is already correct.
    ClockScene(float x, float y, float z);
};

// Hand angles and the AM/PM flag for a broken-down local time; markerSpin is left alone.
void setClockTime(ClockScene& scene, const std::tm& time);
// Reads the local time, sets the hands from it and turns the markers on by one step.
void updateClockTime(ClockScene& scene);
// One step of the markers' own spin, wrapping at 360 degrees.
void advanceMarkerSpin(ClockScene& scene);
