// saver/clock_draw.h -- the clock drawn with OpenGL: hub, markers, hands, numerals and AM/PM label.
#pragma once

#include "saver/clock_scene.h"

// Compiles the shapes that never change (the marker and hub sphere, the marker cube) once, in both
// renderings. Needs the OpenGL context; without lists the shapes are sent in immediate mode instead.
void buildClockGeometry();
// Draws the clock under the current model-view matrix, which it changes (callers push and pop).
void drawClock(const ClockScene& scene);
