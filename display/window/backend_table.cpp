// display/window/backend_table.cpp -- Linux's back ends: the SDL window with a display server; the
// offscreen page and the console only when asked for.
#include "display/backend.h"

#include <cstdlib>

namespace display {

namespace {

bool displayServerNamed()
{
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

}  // namespace

const BackendTable& systemBackends()
{
    static const Backend kAll[] = {makeOffscreenBackend(), makeWindowBackend(), makeConsoleBackend()};
    static const BackendTable kTable = {kAll, 3, &kAll[1], displayServerNamed};
    return kTable;
}

}  // namespace display
