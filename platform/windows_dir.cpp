// platform/windows_dir.cpp -- where the Windows directory lives on Linux.
#include "platform/windows_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

constexpr mode_t kOwnerOnlyFolder = S_IRWXU;   // the settings file may hold the password in plain text

std::string gMissingWindowsDir;   // noted at start-up; empty when the directory was there

// Every missing folder of the path, from the top down; false with errno set.
bool makeFolders(const std::string& path)
{
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        std::string folder = path.substr(0, slash);
        if (!folder.empty() && ::mkdir(folder.c_str(), kOwnerOnlyFolder) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) return true;
    }
}

}  // namespace

std::string windowsDirectory()
{
    const char* windir = std::getenv("WINDIR");
    if (windir && *windir) return windir;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && *dataHome) return std::string(dataHome) + "/tockwheel";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.local/share/tockwheel";
}

size_t getWindowsDirectory(char* buffer, size_t size)
{
    std::string directory = windowsDirectory();
    if (size > 0) {
        size_t copied = directory.size() < size - 1 ? directory.size() : size - 1;
        std::memcpy(buffer, directory.data(), copied);
        buffer[copied] = '\0';
    }
    return directory.size();
}

void noteMissingWindowsDirectory(const char* windowsDir) { gMissingWindowsDir = windowsDir ? windowsDir : ""; }

bool createMissingWindowsDirectory()
{
    if (gMissingWindowsDir.empty()) return true;
    if (!makeFolders(gMissingWindowsDir) || ::chdir(gMissingWindowsDir.c_str()) != 0) {
        std::fprintf(stderr, "settings: cannot make the Windows directory %s: %s\n", gMissingWindowsDir.c_str(),
                     std::strerror(errno));
        return false;
    }
    gMissingWindowsDir.clear();
    return true;
}

}  // namespace platform
