// saver/color_cycling.cpp -- one colour-cycling step: each component walks by its rate and bounces.
#include "saver/color_cycling.h"

#include "config/settings.h"

namespace {

// The rate's sign is the component's direction; its size never changes.
void cycleColor(float* color, float* rates)
{
    for (int c = 0; c < 3; ++c) {
        color[c] += rates[c];
        if (color[c] >= 1.0f) {
            color[c] = 1.0f;
            rates[c] = -rates[c];
        } else if (color[c] <= 0.0f) {
            color[c] = 0.0f;
            rates[c] = -rates[c];
        }
    }
}

}  // namespace

void cycleColors(ClockScene& scene)
{
    if (Settings.colorCycling != 1) return;
    for (int p = 0; p < kClockPartCount; ++p) cycleColor(scene.partColors[p], scene.partRates[p]);
    for (int m = 0; m < kMarkerCount; ++m) cycleColor(scene.markerColors[m], scene.markerRates[m]);
}
