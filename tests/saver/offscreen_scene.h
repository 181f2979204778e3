// tests/saver/offscreen_scene.h -- the saver's start-up on the offscreen display, for whole-scene tests
// and benchmarks: a Windows directory with the font, the mode, the hooks and the scene.
#pragma once

#include <string>

// Makes dir a Windows directory holding fonts/Arial.ttf (and the prompt bitmaps when promptDir is not
// empty), and makes it current. False when a file cannot be placed.
bool prepareWindowsDirectory(const std::string& dir, const std::string& promptDir);
// Offscreen display of at least width x height, the framework, the saver's hooks, a 32-bit mode of
// that size, then setUpScene with the current Settings. False when the mode cannot be set.
bool startOffscreenScene(int width, int height);
// Runs the main loop for the given number of passes, then lets it end and restore the desktop.
void runPasses(int passes);
