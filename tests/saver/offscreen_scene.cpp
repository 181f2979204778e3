// tests/saver/offscreen_scene.cpp -- start-up of the saver on the offscreen display, outside the program.
#include "tests/saver/offscreen_scene.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "config/settings.h"
#include "display/display.h"
#include "saver/frame_loop.h"
#include "saver/saver_screen.h"

namespace {

constexpr int kFullScreenDibElement = 0;   // first of the settings' driver flags
int passesLeft = 0;

void advanceFrameCounted()
{
    advanceFrame();
    if (--passesLeft <= 0) display::requestExit();
}

int findMode32(int width, int height)
{
    for (int mode = 0; mode < display::kModeCount; ++mode) {
        int x = 0, y = 0, bits = 0;
        if (display::modeResolution(mode, &x, &y, &bits) && x == width && y == height && bits == 32) return mode;
    }
    return -1;
}

}  // namespace

bool prepareWindowsDirectory(const std::string& dir, const std::string& promptDir)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::remove_all(dir, error);
    fs::create_directories(fs::path(dir) / "fonts", error);
    fs::create_directories(fs::path(dir) / "Orvask", error);
    auto copy = fs::copy_options::overwrite_existing;
    if (!fs::copy_file(TOCKWHEEL_FONT_FILE, fs::path(dir) / "fonts" / "Arial.ttf", copy, error)) return false;
    if (!promptDir.empty()) {
        for (const char* name : {"pass.pag", "pass2x.pag"})
            if (!fs::copy_file(fs::path(promptDir) / name, fs::path(dir) / "Orvask" / name, copy, error)) return false;
    }
    fs::current_path(dir, error);
    return !error;
}

bool startOffscreenScene(int width, int height)
{
    std::string screen = std::to_string(width < 1024 ? 1024 : width) + "x" + std::to_string(height < 768 ? 768 : height);
    setenv("TOCKWHEEL_DISPLAY", "offscreen", 1);
    setenv("TOCKWHEEL_SCREEN", screen.c_str(), 1);
    Settings.videoMode = findMode32(width, height);
    if (Settings.videoMode < 0) return false;
    // Full screen DIB alone, as the scenes' pictures were made.
    for (int16_t& enabled : Settings.driverEnabled) enabled = 0;
    Settings.driverEnabled[kFullScreenDibElement] = 1;
    if (!openSaverScreen("Tockwheel scene test")) return false;
    display::setGameLogicHook(advanceFrameCounted);
    return true;
}

void runPasses(int passes)
{
    passesLeft = passes;
    display::runMainLoop();
}
