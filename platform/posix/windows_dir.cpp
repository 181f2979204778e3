// platform/posix/windows_dir.cpp -- where the Windows directory lives on Linux, and where its data files are found.
#include "platform/windows_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/paths.h"

#ifndef TOCKWHEEL_DATA_FROM_PROGRAM
#define TOCKWHEEL_DATA_FROM_PROGRAM "../share/tockwheel"
#endif

namespace platform {

namespace {

constexpr const char* kDefaultDataDirs = "/usr/local/share:/usr/share";

bool isRegularFile(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The program's own file, links resolved, so that a link to it (xscreensaver's folder of display
// modes) still finds the data installed beside the real program.
std::string installedDataDirectory()
{
    char program[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", program, sizeof program - 1);
    if (length <= 0) return std::string();
    std::string path(program, static_cast<size_t>(length));
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return std::string();
    return path.substr(0, slash + 1) + TOCKWHEEL_DATA_FROM_PROGRAM;
}

// `windowsPath` under `directory`, matched as the programs match every path; empty when no regular file is there.
std::string findUnder(const std::string& directory, const std::string& windowsPath)
{
    if (directory.empty()) return std::string();
    std::string path = resolvePath(directory + "/" + windowsPath);
    return isRegularFile(path) ? path : std::string();
}

std::string findAlongDataDirs(const std::string& windowsPath)
{
    const char* dirs = std::getenv("XDG_DATA_DIRS");
    std::string list = dirs && *dirs ? dirs : kDefaultDataDirs;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        std::string dir = list.substr(start, end - start);
        // Relative entries are not data directories.
        if (!dir.empty() && dir[0] == '/') {
            std::string found = findUnder(dir + "/tockwheel", windowsPath);
            if (!found.empty()) return found;
        }
        start = end + 1;
    }
    return std::string();
}

constexpr mode_t kOwnerOnlyFolder = S_IRWXU;   // the settings file may hold the password in plain text

std::string gMissingWindowsDir;   // noted at start-up; empty when the directory was there
std::string gUnusableWindowsDir;  // the path and why it cannot be used; empty when it can
bool gWindowsDirCurrent = true;   // false once start-up failed to make it current

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

std::string findDataFile(const std::string& windowsPath)
{
    if (windowsPath.empty()) return std::string();
    std::string here = resolvePath(windowsPath);
    bool absolute = here[0] == '/';
    // A relative path is relative to the Windows directory only while that is current.
    if ((absolute || gWindowsDirCurrent) && isRegularFile(here))
        return absolute ? here : currentDirectory() + "/" + here;
    if (absolute) return std::string();
    std::string installed = findUnder(installedDataDirectory(), windowsPath);
    return installed.empty() ? findAlongDataDirs(windowsPath) : installed;
}

bool enterWindowsDirectory(const char* windowsDir, size_t length, size_t capacity)
{
    gMissingWindowsDir.clear();
    gUnusableWindowsDir.clear();
    if (length >= capacity) {
        // The buffer holds a cut path, which names another folder: never use it.
        gUnusableWindowsDir = windowsDirectory() + ": " + std::to_string(length) +
                              " characters long, more than the " + std::to_string(capacity - 1) +
                              " the program can hold";
    } else if (length == 0) {
        gUnusableWindowsDir = "(empty): no Windows directory is named";
    } else if (setCurrentDirectory(windowsDir)) {
        gWindowsDirCurrent = true;
        return true;
    } else if (errno == ENOENT) {
        gMissingWindowsDir = windowsDir;
    } else {
        gUnusableWindowsDir = std::string(windowsDir) + ": " + std::strerror(errno);
    }
    gWindowsDirCurrent = false;
    return false;
}

bool createMissingWindowsDirectory()
{
    if (!gUnusableWindowsDir.empty()) {
        std::fprintf(stderr, "settings: cannot use the Windows directory %s\n", gUnusableWindowsDir.c_str());
        return false;
    }
    if (gMissingWindowsDir.empty()) return true;
    if (!makeFolders(gMissingWindowsDir) || ::chdir(gMissingWindowsDir.c_str()) != 0) {
        std::fprintf(stderr, "settings: cannot make the Windows directory %s: %s\n", gMissingWindowsDir.c_str(),
                     std::strerror(errno));
        return false;
    }
    gMissingWindowsDir.clear();
    gWindowsDirCurrent = true;
    return true;
}

}  // namespace platform
