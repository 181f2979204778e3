// tests/support/xvfb.h -- a display number for a private Xvfb that no other test is using or just left.
//
// Xvfb's -displayfd alone starts its search at :0, so tests that start and stop servers side by side can
// land on a number whose socket another server is still removing. A random number far from the usual
// ones, not locked now, avoids that; pass it before -displayfd, which then reports when it is ready.
#pragma once

#include <string>

std::string freeXvfbDisplay();   // ":N"
