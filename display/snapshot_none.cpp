// display/snapshot_none.cpp -- the build without libpng writes no snapshot files; pictures of its
// screen are taken from outside (the X server under Wine).
#include "display/backend.h"

#include <cstdio>

namespace display {

bool writeSnapshot(const std::string& linuxPath)
{
    std::fprintf(stderr, "display: this build writes no snapshots; none written to %s\n", linuxPath.c_str());
    return false;
}

}  // namespace display
