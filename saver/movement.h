// saver/movement.h -- the thirteen movement styles and the clock's placement transform.
#pragma once

#include <cstdint>

#include "saver/clock_scene.h"

enum MovementStyle : int16_t {
    kMoveRandom = 0,
    kMove2DBounce = 1,
    kMoveXYZRotate = 2,
    kMoveTwisty = 3,
    kMove3DBounce = 4,
    kMoveTopSpin = 5,
    kMoveSideSpin = 6,
    kMoveSwing = 7,
    kMoveZigZag = 8,
    kMoveBounce = 9,
    kMoveHorizontalOrbit = 10,
    kMoveVerticalOrbit = 11,
    kMoveRoll = 12,
};

constexpr int kBounceStepCount = 10;
// Rise and fall sizes of "Bounce", scene units; the small ones are these decimals, not exact halves.
extern const float bounceSteps[kBounceStepCount];
extern int16_t bounceStep;   // index into bounceSteps, 0..9

// One animation step: brings the hands up to date, then moves the clock in Settings.movementStyle.
void advanceMovement(ClockScene& scene);
// Multiplies the current model-view matrix by the clock's placement: orbit and swing about the eye-space
// origin, the translation, then the clock's own spin. Zero angles issue no rotation.
void placeClock(const ClockScene& scene);
