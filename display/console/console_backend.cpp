// display/console/console_backend.cpp -- the console back end: SDL's KMS/DRM driver without a window system,
// serving the WinDirect families, and only where the device can really be opened.
#include "display/backend.h"

namespace display {

namespace {

bool openConsole(ScreenInfo* screen)
{
    return sdlOpen(screen, true);
}

}  // namespace

// Everything but the opening is the window back end's: SDL hides which video driver it runs on.
Backend makeConsoleBackend()
{
    Backend backend = makeWindowBackend();
    backend.name = "console";
    backend.open = openConsole;
    return backend;
}

}  // namespace display
