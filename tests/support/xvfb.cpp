// tests/support/xvfb.cpp -- a test's own Xvfb on an unused display number.
#include "tests/support/xvfb.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>

#include <cstring>

#include <random>

std::string freeXvfbDisplay()
{
    std::random_device seed;
    std::mt19937 pick(seed() ^ static_cast<unsigned>(::getpid()));
    std::uniform_int_distribution<int> range(200, 3999);
    for (int attempt = 0; attempt < 100; ++attempt) {
        int number = range(pick);
        std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
        std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        if (::access(lock.c_str(), F_OK) != 0 && ::access(socket.c_str(), F_OK) != 0) return ":" + std::to_string(number);
    }
    return ":4001";
}

// An X server writes the number and the newline separately; closing the pipe between the two writes
// kills it with SIGPIPE, and its client then waits for a server that is gone.
bool readReportedDisplay(int fd, std::string* display)
{
    char reported[32] = {};
    size_t length = 0;
    while (length < sizeof reported - 1 && !std::memchr(reported, '\n', length)) {
        ssize_t got = ::read(fd, reported + length, sizeof reported - 1 - length);
        if (got <= 0) break;
        length += static_cast<size_t>(got);
    }
    ::close(fd);
    if (!std::memchr(reported, '\n', length)) return false;
    *display = ":" + std::string(reported, std::strcspn(reported, "\n"));
    return true;
}

PrivateXvfb::~PrivateXvfb() { stop(); }

bool PrivateXvfb::start(const std::string& screen)
{
    // A server that reports its number but never takes a connection is stopped and another one tried.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (startOnce(screen)) return true;
        stop();
    }
    return false;
}

void PrivateXvfb::stop()
{
    if (pid > 0) {
        // A server that does not end on SIGTERM within five seconds is killed: a test's end never waits
        // on its server.
        ::kill(pid, SIGTERM);
        bool ended = false;
        for (int waited = 0; waited < 500 && !ended; ++waited) {
            ended = ::waitpid(pid, nullptr, WNOHANG) != 0;
            if (!ended) ::usleep(10000);
        }
        if (!ended) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
    pid = -1;
    display.clear();
}

bool PrivateXvfb::startOnce(const std::string& screen)
{
    int fds[2];
    if (::pipe(fds) != 0) return false;
    std::string number = freeXvfbDisplay();
    std::string fd = std::to_string(fds[1]);
    pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        int quiet = ::open("/dev/null", O_WRONLY);
        if (quiet >= 0) ::dup2(quiet, 2);
        // -noreset: a server whose last client leaves resets and refuses connections meanwhile, so the
        // client that follows our readiness probe could find no server (and SDL would walk on to others).
        ::execlp("Xvfb", "Xvfb", number.c_str(), "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
                 "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    ::close(fds[1]);
    if (pid <= 0) {
        ::close(fds[0]);
        return false;
    }
    return readReportedDisplay(fds[0], &display) && waitForXServer(display);
}

// Given a number of its own, Xvfb may report it before it accepts connections; a client that came too
// early would find no server (and SDL would quietly fall back to its own offscreen driver).
bool waitForXServer(const std::string& display)
{
    for (int attempt = 0; attempt < 300; ++attempt) {
        if (Display* connection = XOpenDisplay(display.c_str())) {
            XCloseDisplay(connection);
            return true;
        }
        ::usleep(10000);
    }
    return false;
}
