// platform/win32/paths.cpp -- the programs' backslash paths are the system's own: Windows folds case itself.
#include "platform/paths.h"

#include <windows.h>

namespace platform {

std::string resolvePath(const std::string& windowsPath)
{
    return windowsPath;
}

std::FILE* openFile(const char* windowsPath, const char* mode)
{
    return std::fopen(windowsPath, mode);
}

bool fileExists(const char* windowsPath)
{
    DWORD attributes = GetFileAttributesA(windowsPath);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool isDirectory(const char* windowsPath)
{
    DWORD attributes = GetFileAttributesA(windowsPath);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool createDirectory(const char* windowsPath)
{
    return CreateDirectoryA(windowsPath, nullptr) != 0;
}

bool setCurrentDirectory(const char* windowsPath)
{
    return SetCurrentDirectoryA(windowsPath) != 0;
}

std::string currentDirectory()
{
    char buffer[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    if (length == 0 || length >= sizeof buffer) return std::string();
    return std::string(buffer, length);
}

}  // namespace platform
