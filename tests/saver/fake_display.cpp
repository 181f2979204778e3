// tests/saver/fake_display.cpp -- records the saver's display calls instead of drawing.
#include "tests/saver/fake_display.h"

#include <cstdlib>

display::Framework* framework = nullptr;
FakeDisplay fake;

void resetFakeDisplay() { fake = FakeDisplay{}; }

namespace display {

bool startOpenGL(unsigned) { return false; }
bool pageSize(int*, int*) { return false; }   // no page: the saver keeps the size it has
int lastError() { return kErrGeneral; }
const char* errorMessage(int) { return "fake display"; }
void fatalError(const char*) { std::abort(); }
Bitmap* loadBitmap(const char*, bool) { return nullptr; }
void hideCursor() {}
void setColorRGB(uint8_t red, uint8_t green, uint8_t blue)
{
    fake.color[0] = red;
    fake.color[1] = green;
    fake.color[2] = blue;
}
void beginPixels() {}
void plotPixel(int x, int y) { fake.pixels.push_back({x, y}); }
void endPixels() { ++fake.pixelBrackets; }
void fillRectAround(int cx, int cy, int halfWidth, int halfHeight) { fake.rects.push_back({cx, cy, halfWidth, halfHeight}); }
void putBitmap(int x, int y, const Bitmap*, int)
{
    fake.bitmapX = x;
    fake.bitmapY = y;
    ++fake.bitmapPuts;
}
uint32_t timerLap() { return fake.lapUs; }
void timerOn() { ++fake.timerOns; }
void timerOff() { ++fake.timerOffs; }
void requestExit() { ++fake.exitRequests; }
void swapBuffers(bool) { ++fake.swaps; }

}  // namespace display
