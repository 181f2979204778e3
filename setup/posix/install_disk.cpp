// setup/posix/install_disk.cpp -- which folder is the distribution disk the installer reads: the one it is
// started in, as on a floppy, or, for a packaged installation started anywhere, the disk the package
// carries.
#include "setup/install_disk.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#ifndef TOCKWHEEL_DISK_FROM_PROGRAM
#define TOCKWHEEL_DISK_FROM_PROGRAM "../share/tockwheel/disk"
#endif

namespace setup {

namespace {

bool holds(const std::string& folder, const char* scriptName)
{
    struct stat info;
    return ::stat((folder + "/" + scriptName).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Links resolved, so that a link to the program still finds the disk installed beside the real one.
std::string installedDisk()
{
    char program[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", program, sizeof program - 1);
    if (length <= 0) return std::string();
    std::string path(program, static_cast<size_t>(length));
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return std::string();
    // The way up is taken here, so that the folder named on stderr reads plainly even where it is missing.
    std::string folder = path.substr(0, slash);
    std::string rest = TOCKWHEEL_DISK_FROM_PROGRAM;
    while (rest.compare(0, 3, "../") == 0 && folder.rfind('/') != std::string::npos) {
        folder.erase(folder.rfind('/'));
        rest.erase(0, 3);
    }
    return folder + "/" + rest;
}

}  // namespace

bool findInstallDisk(const char* scriptName)
{
    char buffer[PATH_MAX];
    const std::string here = ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string(".");
    if (holds(".", scriptName)) return true;
    const std::string disk = installedDisk();
    if (!disk.empty() && holds(disk, scriptName) && ::chdir(disk.c_str()) == 0) {
        std::fprintf(stderr, "tockwheel-setup: no %s in %s; installing from %s\n", scriptName, here.c_str(),
                     disk.c_str());
        return true;
    }
    std::fprintf(stderr, "tockwheel-setup: no %s in %s nor in %s\n", scriptName, here.c_str(),
                 disk.empty() ? "the disk installed with the program (its folder is unknown)" : disk.c_str());
    return false;
}

}  // namespace setup
