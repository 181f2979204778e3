// Pictures of an X server's screen: a rectangle of the root window written as a PNG file.
#pragma once

#include <string>

// True when the rectangle (in root coordinates) of display `displayName` was written to `path`.
bool captureScreenRect(const std::string& displayName, int x, int y, int width, int height, const std::string& path);
