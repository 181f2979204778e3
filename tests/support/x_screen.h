// tests/support/x_screen.h -- pictures of an X server's screen or of one window, as RGB bytes and PNG files.
#pragma once

#include <string>
#include <vector>

struct ScreenPixels {
    int width = 0;                    // pixels; 0 when nothing could be read
    int height = 0;
    std::vector<unsigned char> rgb;   // width * height * 3, rows top-down
};

// A rectangle of `window` (the root window of `screen` when 0) on display `displayName` ("" for $DISPLAY);
// a negative width or height means the whole window.
ScreenPixels readScreen(const std::string& displayName, unsigned long window = 0, int x = 0, int y = 0,
                        int width = -1, int height = -1, int screen = 0);
bool writeRgbPng(const ScreenPixels& pixels, const std::string& path);
// True when the rectangle (in root coordinates) of `displayName` was written to `path`.
bool captureScreenRect(const std::string& displayName, int x, int y, int width, int height, const std::string& path);
