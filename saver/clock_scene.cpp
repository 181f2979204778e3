// saver/clock_scene.cpp -- the clock's start values and its hands following the local time.
#include "saver/clock_scene.h"

#include "platform/calendar.h"
#include "platform/random.h"

namespace {

constexpr float kHourLength = 3.1f;     // scene units
constexpr float kMinuteLength = 3.8f;
constexpr float kSecondLength = 4.0f;
constexpr float kMarkerSpinStepDeg = 2.0f;
constexpr float kFullTurnDeg = 360.0f;

int16_t randomFlag() { return static_cast<int16_t>(platform::rand() % 2); }

// Speeds are whole hundredths, scaled in double and stored as single precision.
float randomHundredths(int range) { return static_cast<float>((platform::rand() % range) * 0.01); }

// Reads the local time; a time that cannot be converted keeps the one shown last.
void readLocalTime(std::tm* out) { platform::localTime(platform::currentTime(), out); }

}  // namespace

ClockScene::ClockScene(float x, float y, float z)
{
    posX = x;
    posY = y;
    posZ = z;
    // The order of these draws is what makes a run reproducible from its seed.
    speedX = randomHundredths(20);
    speedY = randomHundredths(20);
    speedZ = randomHundredths(40);
    dirX = randomFlag();
    dirY = randomFlag();
    dirZ = randomFlag();
    tiltDir = randomFlag();
    dirSpareA = randomFlag();
    dirSpareB = randomFlag();
    spinStep = randomFlag();
    if (spinStep == 0) spinStep = -1;
    spinCount = -1;
    spinX = spinY = spinZ = 0;
    orbitX = orbitY = swingZ = 0;
    hourLength = kHourLength;
    minuteLength = kMinuteLength;
    secondLength = kSecondLength;
    markerSpin = 0;
    // The first frame is drawn before the first animation step; give it the real time. No random draw
    // and no marker step happen here, so the sequence of the run is unchanged.
    readLocalTime(&localTime);
    setClockTime(*this, localTime);
}

void setClockTime(ClockScene& scene, const std::tm& time)
{
    scene.localTime = time;
    scene.isPM = (time.tm_hour < 0 || time.tm_hour > 11) ? 1 : 0;
    // The hour hand moves one degree every two minutes; the others jump once per minute or second.
    scene.hourAngle = static_cast<float>((time.tm_hour * 30) % 360 + time.tm_min / 2);
    scene.minuteAngle = static_cast<float>(time.tm_min * 6);
    scene.secondAngle = static_cast<float>(time.tm_sec * 6);
}

void advanceMarkerSpin(ClockScene& scene)
{
    scene.markerSpin += kMarkerSpinStepDeg;
    if (scene.markerSpin >= kFullTurnDeg) scene.markerSpin -= kFullTurnDeg;
}

void updateClockTime(ClockScene& scene)
{
    std::tm now = scene.localTime;
    readLocalTime(&now);
    setClockTime(scene, now);
    advanceMarkerSpin(scene);
}
