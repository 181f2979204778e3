// platform/win32/windows_dir.cpp -- the Windows directory is the system's (GetWindowsDirectoryA); data
// files are read from it, else from beside the program.
#include "platform/windows_dir.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "platform/paths.h"

namespace platform {

namespace {

std::string gMissingWindowsDir;   // noted at start-up; empty when the directory was there

std::string absolutePath(const std::string& path)
{
    char buffer[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    if (length == 0 || length >= sizeof buffer) return path;
    return std::string(buffer, length);
}

// The folder of the running program, with its trailing backslash; empty when it cannot be asked.
std::string programFolder()
{
    char program[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    if (length == 0 || length >= sizeof program) return std::string();
    std::string path(program, length);
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Every missing folder of the path, from the top down.
bool makeFolders(const std::string& path)
{
    for (size_t slash = path.find_first_of("\\/", 3); ; slash = path.find_first_of("\\/", slash + 1)) {
        std::string folder = path.substr(0, slash);
        if (!folder.empty() && !CreateDirectoryA(folder.c_str(), nullptr) &&
            GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
        if (slash == std::string::npos) return true;
    }
}

}  // namespace

std::string windowsDirectory()
{
    char buffer[MAX_PATH];
    UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer) return std::string();
    return std::string(buffer, length);
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
    if (fileExists(windowsPath.c_str())) return absolutePath(windowsPath);
    bool absolute =
        windowsPath.size() > 1 && (windowsPath[1] == ':' || windowsPath[0] == '\\' || windowsPath[0] == '/');
    if (absolute) return std::string();
    std::string besideProgram = programFolder();
    if (besideProgram.empty()) return std::string();
    besideProgram += windowsPath;
    return fileExists(besideProgram.c_str()) ? besideProgram : std::string();
}

void noteMissingWindowsDirectory(const char* windowsDir) { gMissingWindowsDir = windowsDir ? windowsDir : ""; }

bool createMissingWindowsDirectory()
{
    if (gMissingWindowsDir.empty()) return true;
    if (!makeFolders(gMissingWindowsDir) || !SetCurrentDirectoryA(gMissingWindowsDir.c_str())) {
        std::fprintf(stderr, "settings: cannot make the Windows directory %s: error %lu\n",
                     gMissingWindowsDir.c_str(), static_cast<unsigned long>(GetLastError()));
        return false;
    }
    gMissingWindowsDir.clear();
    return true;
}

}  // namespace platform
