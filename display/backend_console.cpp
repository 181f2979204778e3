// display/backend_console.cpp -- the console back end: SDL's KMS/DRM driver without a window system,
// serving the WinDirect families, and only where the device can really be opened.
#include "display/backend.h"

namespace display {

namespace {

bool openConsole(ScreenInfo* screen)
{
    return sdlOpen(screen, true);
}

}  // namespace

const Backend kConsoleBackend = {
    "console",
    openConsole,
    kWindowBackend.modePages,
    kWindowBackend.setMode,
    kWindowBackend.createContext,
    kWindowBackend.pumpEvents,
    kWindowBackend.present,
    kWindowBackend.nowUs,
    kWindowBackend.setCursorVisible,
    kWindowBackend.refreshHz,
    kWindowBackend.closeMode,
    kWindowBackend.imposedPageSize,
    kWindowBackend.grabInput,
    kWindowBackend.pageOnScreen,
    kWindowBackend.presentPixels,
};

}  // namespace display
