// saver/color_cycling.h -- the clock's colours drifting between 0 and 1 while the saver runs.
#pragma once

#include "saver/clock_scene.h"

// One step of every part and marker colour by its rates, turning back at 0.0 and 1.0; nothing when
// Settings.colorCycling is not 1. Alpha never changes.
void cycleColors(ClockScene& scene);
