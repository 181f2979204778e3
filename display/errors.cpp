// display/errors.cpp -- the library's error codes, their messages, the last error and the fatal path.
#include "display/backend.h"
#include "platform/dialog/message_box.h"

#include <cstdlib>

namespace display {

namespace {

constexpr int kMessageCount = 32;   // codes 0 .. -31
constexpr const char* kMessages[kMessageCount] = {
    "No error",
    "Graphics driver has not been installed",
    "Graphics hardware not detected",
    "Couldn't find graphics driver",
    "Graphics driver file corrupted",
    "Not enough memory to load graphics driver",
    "Invalid mode for selected driver",
    "Invalid driver number",
    "General graphics error",
    "Invalid graphics driver name",
    "Not enough memory to perform operation",
    "Selected graphics mode not supported",
    "Invalid font data",
    "Font file corrupted",
    "Couldn't find font file",
    "Incorrect version for driver file",
    "Invalid device type for operation",
    "Invalid device context",
    "Invalid cursor file",
    "Cursor file was not found",
    "Invalid icon file",
    "Icon file was not found",
    "Invalid bitmap file",
    "Bitmap file was not found",
    "Invalid error number",
    "Zbuffer allocation is too large",
    "Only Windows 2.x font files supported",
    "MGL_endRegion() was not called",
    "Double buffering is not available",
    "OffscreenDC's require hardware bitBlt support",
    "No available Offscreen display memory",
    "Invalid pixel format for memory DC",
};

int gLastError = kErrNone;   // held until read by lastError()

}  // namespace

int lastError()
{
    int code = gLastError;
    gLastError = kErrNone;
    return code;
}

void setLastError(int code)
{
    gLastError = code;
}

const char* errorMessage(int code)
{
    if (code > 0 || code <= -kMessageCount) return "NONE";
    return kMessages[-code];
}

void fatalError(const char* message)
{
    restoreDesktop();
    platform::messageBox(nullptr, message ? message : "", "MGL Fatal Error!", platform::kMbOk | platform::kMbIconError);
    std::exit(255);
}

}  // namespace display
