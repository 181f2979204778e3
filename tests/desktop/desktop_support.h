// tests/desktop/desktop_support.h -- X servers started by the test itself (Xvfb, or Xorg's dummy driver
// for two monitors), the saver started beside them, and pixels read back from X windows.
#pragma once

#include "tests/support/x_screen.h"

#include <map>
#include <string>
#include <vector>

#include <sys/types.h>

#include "tests/support/program_run.h"

namespace desktoptest {


// One X server; ended with the object. DISPLAY is not touched: pass name() to whoever needs it.
struct XServer {
    pid_t pid = -1;
    std::string display;                 // ":N"
    std::string configPath;              // Xorg only
    ~XServer();
    bool startXvfb(const std::string& screen = "1024x768x24");
    // Xorg with the dummy driver: 16 virtual RandR outputs, the first enabled.
    bool startDummyXorg(const std::string& workDir);
};

constexpr int kMode1024x768x32 = 81;   // the library's mode number

// A Windows directory with the font and both prompt bitmaps, and optionally a settings file.
struct WindowsDir {
    TempDir dir;
    WindowsDir();
    // Writes Orvask/Tockwheel.ini: the defaults in 1024 x 768 x 32 (the test screens' size), with the
    // password when one is given.
    void writeSettings(const char* password = nullptr);
    std::map<std::string, std::string> environment(const std::string& display) const;
};

pid_t spawnProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::map<std::string, std::string>& environment, const std::string& errFile);
// Exit status (or 128 + signal), -1 when it did not end within the time (it is killed then).
int waitExit(pid_t pid, double seconds);
bool running(pid_t pid);   // not ended yet (an ended child is reaped and its status lost)
int runTool(const std::string& commandLine);   // through the shell; its status

struct Pixels : ScreenPixels {
    int litIn(int x, int y, int w, int h) const;   // pixels that are not black in the rectangle
};
// A window's (or the root's, window 0) pixels; empty when it cannot be read.
Pixels readWindow(const std::string& display, unsigned long window, int screen = 0);
bool writePng(const Pixels& pixels, const std::string& path);
// The saver's full-screen window among the root's children, found by its title; 0 when it is not there.
unsigned long saverWindow(const std::string& display);

}  // namespace desktoptest
