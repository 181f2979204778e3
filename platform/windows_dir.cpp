// platform/windows_dir.cpp -- where the Windows directory lives on Linux.
#include "platform/windows_dir.h"

#include <cstdlib>
#include <cstring>

namespace platform {

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

}  // namespace platform
