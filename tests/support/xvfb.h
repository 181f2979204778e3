// tests/support/xvfb.h -- a private Xvfb for a test, on a display number no other test is using or just left.
//
// Xvfb's -displayfd alone starts its search at :0, so tests that start and stop servers side by side can
// land on a number whose socket another server is still removing. A random number far from the usual
// ones, not locked now, avoids that; it is passed before -displayfd, which then reports when it is ready.
#pragma once

#include <sys/types.h>

#include <string>

std::string freeXvfbDisplay();   // ":N"
// True once `display` accepts connections (within about three seconds).
bool waitForXServer(const std::string& display);
// Reads the ":N" an X server started with -displayfd reports on `fd` (whole line), then closes `fd`.
bool readReportedDisplay(int fd, std::string* display);

// One Xvfb, ended with the object.
struct PrivateXvfb {
    pid_t pid = -1;
    std::string display;   // ":N" once started
    PrivateXvfb() = default;
    PrivateXvfb(const PrivateXvfb&) = delete;
    PrivateXvfb& operator=(const PrivateXvfb&) = delete;
    ~PrivateXvfb();
    // False when Xvfb cannot be started or does not come up.
    bool start(const std::string& screen = "1024x768x24");
    void stop();

private:
    bool startOnce(const std::string& screen);
};
