// tests/support/xvfb.cpp -- picks an unused display number for a test's own Xvfb.
#include "tests/support/xvfb.h"

#include <unistd.h>

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
