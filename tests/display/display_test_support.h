// tests/display/display_test_support.h -- offscreen set-up and pixel helpers shared by the display tests.
#pragma once

#include "display/backend.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace displaytest {

// Every display test runs on the offscreen back end of a known virtual screen, with nothing injected
// from the environment the suite itself runs in.
inline bool useOffscreen()
{
    setenv("TOCKWHEEL_DISPLAY", "offscreen", 1);
    setenv("TOCKWHEEL_SCREEN", "1024x768", 1);
    unsetenv("TOCKWHEEL_EVENTS");
    unsetenv("TOCKWHEEL_PASSES");
    unsetenv("TOCKWHEEL_SNAPSHOT");
    return true;
}

inline void clearHooks()
{
    display::setDrawHook(nullptr);
    display::setKeyDownHook(nullptr);
    display::setKeyRepeatHook(nullptr);
    display::setKeyUpHook(nullptr);
    display::setMouseDownHook(nullptr);
    display::setMouseUpHook(nullptr);
    display::setMouseMoveHook(nullptr);
    display::setEventHook(nullptr);
    display::setGameLogicHook(nullptr);
    display::setExitHook(nullptr);
    display::setSuspendHook(nullptr);
}

// All eight families, every depth.
inline display::DriverOptions allDrivers(uint8_t depthFilter = 0x0F)
{
    return display::DriverOptions{1, 1, 1, 1, 1, 1, 1, 1, 1, 0, depthFilter};
}

struct Page {
    std::vector<uint8_t> rgba;
    int width = 0;
    int height = 0;

    uint32_t rgb(int x, int y) const
    {
        const uint8_t* p = rgba.data() + (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 4;
        return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    }
};

inline Page presentedPage()
{
    Page page;
    display::readPresentedPage(&page.rgba, &page.width, &page.height);
    return page;
}

// Sets an offscreen mode with OpenGL; fails the test when the framework refuses.
inline bool openMode(int xRes, int yRes, int bits)
{
    if (!display::initFramework("Display test")) return false;
    display::setDriverOptions(allDrivers());
    display::ModeInfo mode;
    if (!display::findMode(xRes, yRes, bits, &mode)) return false;
    return display::setMode(mode, false, 3, false) && display::startOpenGL(display::kGlDoubleBuffer | display::kGlDepthBuffer);
}

inline std::string tempPath(const std::string& name)
{
    return std::string(TOCKWHEEL_BINARY_DIR) + "/tests/display/" + name;
}

}  // namespace displaytest

#define EXPECT_RGB(page, x, y, expected)                                                                  \
    EXPECT_EQ((page).rgb((x), (y)), static_cast<uint32_t>(expected))                                     \
        << "pixel (" << (x) << ", " << (y) << "): got 0x" << std::hex << (page).rgb((x), (y)) << " expected 0x" \
        << static_cast<uint32_t>(expected) << std::dec
