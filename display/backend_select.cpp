// display/backend_select.cpp -- which back end serves this process, and the start directory for paths.
#include "display/backend.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace display {

namespace {

// The saver makes the Windows directory current at start-up; paths handed in through the environment
// are meant relative to where the user started it.
std::string captureStartDirectory()
{
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string(".");
}
const std::string gStartDirectory = captureStartDirectory();

const Backend* chooseBackend(ScreenInfo* screen)
{
    const BackendTable& table = systemBackends();
    const char* forced = std::getenv("TOCKWHEEL_DISPLAY");
    if (forced && *forced) {
        for (int i = 0; i < table.count; ++i) {
            const Backend& backend = table.all[i];
            if (std::strcmp(forced, backend.name) == 0) return backend.open(screen) ? &backend : nullptr;
        }
        std::string names;   // "offscreen, window or console"
        for (int i = 0; i < table.count; ++i) {
            names += i == 0 ? "" : i + 1 == table.count ? " or " : ", ";
            names += table.all[i].name;
        }
        std::fprintf(stderr, "TOCKWHEEL_DISPLAY=%s is not %s; choosing by itself\n", forced, names.c_str());
    }
    if (table.desktopPresent() && table.desktop->open(screen)) return table.desktop;
    // Drawing where nobody can see it would leave a saver running unseen until it is killed.
    std::fprintf(stderr,
                 "display: no display was found (DISPLAY and WAYLAND_DISPLAY name no display server that answers); "
                 "to draw without one, run with TOCKWHEEL_DISPLAY=offscreen\n");
    return nullptr;
}

ScreenInfo gScreen = {0, 0, 0};

}  // namespace

const Backend* activeBackend()
{
    static const Backend* const backend = chooseBackend(&gScreen);
    return backend;
}

const ScreenInfo& activeScreen()
{
    activeBackend();
    return gScreen;
}

std::string startDirectoryPath(const std::string& path)
{
#ifdef _WIN32
    bool absolute = !path.empty() && (path[0] == '\\' || path[0] == '/' || (path.size() > 1 && path[1] == ':'));
#else
    bool absolute = !path.empty() && path[0] == '/';
#endif
    if (path.empty() || absolute) return path;
    return gStartDirectory + "/" + path;
}

uint64_t monotonicUs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000u + static_cast<uint64_t>(now.tv_nsec) / 1000u;
}

}  // namespace display
