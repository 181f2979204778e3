// saver/movement.cpp -- the movement styles: bounces, spins, orbits and the swing, in fixed steps.
#include "saver/movement.h"

#include <GL/gl.h>

#include "config/settings.h"
#include "platform/random.h"

const float bounceSteps[kBounceStepCount] = {5.0f,   2.5f,   1.25f,   0.625f,   0.3125f,
                                             0.156f, 0.078f, 0.039f, 0.0195f, 0.00975f};
int16_t bounceStep = 0;

namespace {

// Bounds are compared in double precision, as the decimal constants are written.
constexpr double kFlatBound = 2.8;        // scene units, X and Y of the flat styles
constexpr double kTwistyXBound = 4.8;
constexpr double kFullTurnDeg = 360.0;
constexpr float kDepthFar = 25.0f;        // scene units
constexpr float kDepthNear = 0.0f;
constexpr float kDepthFlat = 2.0f;
constexpr float kDepthSpin = 0.5f;
constexpr float kDepthOrbit = 3.05f;
constexpr float kSwingHeight = -3.0f;
constexpr float kSwingLimitDeg = 110.0f;
constexpr float kSwingStepDeg = 1.0f;
constexpr float kTiltLimitDeg = 90.0f;
constexpr float kTiltStepDeg = 4.0f;
constexpr float kBounceFloor = -2.8f;
constexpr float kBounceFirstStep = 5.0f;
constexpr int kBounceTop = 9;             // bounceStep at which a rise turns into a fall
constexpr int32_t kSpinReversalSteps = 5000;
constexpr int kRandomStylePicks = 12;     // styles 0..11: "Roll" is never picked

// Moves one axis by its speed and turns it at the bounds; it may overshoot by less than a step.
void bounceAxis(float& pos, float speed, int16_t& dir, double upper, double lower)
{
    if (dir == 1) {
        pos += speed;
        if (pos >= upper) dir = 0;
    } else {
        pos -= speed;
        if (pos <= lower) dir = 1;
    }
}

void bounceFlat(float& pos, float speed, int16_t& dir, double bound) { bounceAxis(pos, speed, dir, bound, -bound); }

// The box of the deep styles widens with the distance, so the clock may reach the screen's edges.
void bounceDeep(float& pos, float speed, int16_t& dir, float depth)
{
    bounceAxis(pos, speed, dir, depth + kFlatBound, -kFlatBound - depth);
}

void bounceDepth(ClockScene& s) { bounceAxis(s.posZ, s.speedZ, s.dirZ, kDepthFar, kDepthNear); }

void turn(float& angle, int16_t step)
{
    angle += step;
    if (angle > kFullTurnDeg)
        angle -= kFullTurnDeg;
    else if (angle <= 0)
        angle += kFullTurnDeg;
}

void countSpin(ClockScene& s)
{
    ++s.spinCount;
    if (s.spinCount == kSpinReversalSteps) {
        s.spinCount = 0;
        s.spinStep = static_cast<int16_t>(-s.spinStep);
    }
}

void turnAll(ClockScene& s)
{
    turn(s.spinX, s.spinStep);
    turn(s.spinY, s.spinStep);
    turn(s.spinZ, s.spinStep);
}

void tilt(ClockScene& s) { bounceAxis(s.spinY, kTiltStepDeg, s.tiltDir, kTiltLimitDeg, -kTiltLimitDeg); }

// The swing keeps its direction in dirX, which no other part of the swinging style reads.
void swing(ClockScene& s) { bounceAxis(s.swingZ, kSwingStepDeg, s.dirX, kSwingLimitDeg, -kSwingLimitDeg); }

// Rises through bounceSteps 0..8, falls back through 9..1, and lands on the floor again.
void bounceHeight(ClockScene& s)
{
    // A step index outside the table cannot come from the pattern itself; start it over rather than
    // read past the table.
    bool outside = bounceStep < 0 || bounceStep >= kBounceStepCount;
    if (s.spinCount == -1 || outside) {
        s.speedY = kBounceFirstStep;
        s.dirY = 1;
        s.posY = kBounceFloor;
        bounceStep = 0;
    }
    if (s.dirY == 1) {
        s.speedY = bounceSteps[bounceStep];
        ++bounceStep;
        s.posY += s.speedY;
        if (bounceStep == kBounceTop) s.dirY = -1;
    } else {
        s.speedY = bounceSteps[bounceStep];
        --bounceStep;
        s.posY -= s.speedY;
        if (bounceStep == 0) {
            s.dirY = 1;
            s.posY = kBounceFloor;
        }
    }
}

// The pick takes effect from the next step; this one moves nothing.
void pickStyle(ClockScene&) { Settings.movementStyle = static_cast<int16_t>(platform::rand() % kRandomStylePicks); }

void bounce2D(ClockScene& s)
{
    s.posZ = kDepthFlat;
    bounceFlat(s.posX, s.speedX, s.dirX, kFlatBound);
    bounceFlat(s.posY, s.speedY, s.dirY, kFlatBound);
}

// The spinning and orbiting styles hold the clock at one depth and turn one angle by spinStep.
void spinAt(ClockScene& s, float depth, float& angle)
{
    s.posZ = depth;
    turn(angle, s.spinStep);
    countSpin(s);
}

void rotateXYZ(ClockScene& s)
{
    s.posZ = kDepthSpin;
    turnAll(s);
    countSpin(s);
}

void twist(ClockScene& s)
{
    s.posZ = kDepthFlat;
    bounceFlat(s.posX, s.speedX, s.dirX, kTwistyXBound);
    bounceFlat(s.posY, s.speedY, s.dirY, kFlatBound);
    tilt(s);
}

void bounce3D(ClockScene& s)
{
    bounceDeep(s.posX, s.speedX, s.dirX, s.posZ);
    bounceDeep(s.posY, s.speedY, s.dirY, s.posZ);
    bounceDepth(s);
}

void spinTop(ClockScene& s) { spinAt(s, kDepthSpin, s.spinY); }

void spinSide(ClockScene& s) { spinAt(s, kDepthSpin, s.spinX); }

void swingUnder(ClockScene& s)
{
    s.posZ = kDepthFlat;
    s.posY = kSwingHeight;
    swing(s);
    turnAll(s);
    countSpin(s);
}

void zigZag(ClockScene& s)
{
    bounceFlat(s.posX, s.speedX, s.dirX, kFlatBound);
    bounceDepth(s);
}

void bounceAndSpin(ClockScene& s)
{
    bounceHeight(s);
    bounceDepth(s);
    bounceDeep(s.posX, s.speedX, s.dirX, s.posZ);
    turnAll(s);
    countSpin(s);
}

void orbitHorizontally(ClockScene& s) { spinAt(s, kDepthOrbit, s.orbitY); }

void orbitVertically(ClockScene& s) { spinAt(s, kDepthOrbit, s.orbitX); }

void roll(ClockScene& s)
{
    bounce2D(s);
    turn(s.spinZ, s.spinStep);
    countSpin(s);
}

using StyleStep = void (*)(ClockScene&);

// Indexed by MovementStyle.
constexpr StyleStep kStyleSteps[] = {
    pickStyle, bounce2D, rotateXYZ, twist, bounce3D, spinTop, spinSide,             // 0 to 6
    swingUnder, zigZag, bounceAndSpin, orbitHorizontally, orbitVertically, roll,   // 7 to 12
};
static_assert(sizeof kStyleSteps / sizeof kStyleSteps[0] == kMoveRoll + 1, "one step per movement style");

// A style number from a hand-edited settings file that names no style moves nothing.
void stepStyle(ClockScene& s)
{
    const int style = Settings.movementStyle;
    if (style >= kMoveRandom && style <= kMoveRoll) kStyleSteps[style](s);
}

void rotateIfTurned(float angle, float x, float y, float z)
{
    if (angle != 0.0f) glRotatef(angle, x, y, z);
}

}  // namespace

void advanceMovement(ClockScene& scene)
{
    updateClockTime(scene);
    // "Random Movement" is among its own picks: a draw of 0 draws again at once, so that from the next
    // step on the run is in a real style; the picked style's own step waits for that next step.
    do {
        stepStyle(scene);
    } while (Settings.movementStyle == kMoveRandom);
}

void placeClock(const ClockScene& scene)
{
    rotateIfTurned(scene.orbitX, 1, 0, 0);
    rotateIfTurned(scene.orbitY, 0, 1, 0);
    rotateIfTurned(scene.swingZ, 0, 0, 1);
    glTranslatef(scene.posX, scene.posY, scene.posZ);
    rotateIfTurned(scene.spinX, 1, 0, 0);
    rotateIfTurned(scene.spinY, 0, 1, 0);
    rotateIfTurned(scene.spinZ, 0, 0, 1);
}
