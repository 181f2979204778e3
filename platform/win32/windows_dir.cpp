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
std::string gUnusableWindowsDir;  // the path and why it cannot be used; empty when it can
bool gWindowsDirCurrent = true;   // false once start-up failed to make it current

std::string systemMessage(DWORD error)
{
    char text[256] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                  text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == '.'))
        text[--length] = '\0';
    return length > 0 ? std::string(text, length) : "error " + std::to_string(error);
}

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

// GetWindowsDirectoryA returns the length when the path fits, else the size it needs with its NUL.
std::string windowsDirectory()
{
    char buffer[MAX_PATH];
    UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
    if (length < sizeof buffer) return std::string(buffer, length);
    std::string longer(length, '\0');
    length = GetWindowsDirectoryA(&longer[0], static_cast<UINT>(longer.size()));
    longer.resize(length < longer.size() ? length : 0);
    return longer;
}

size_t getWindowsDirectory(char* buffer, size_t size)
{
    UINT capacity = size > 0xFFFFu ? 0xFFFFu : static_cast<UINT>(size);
    UINT length = GetWindowsDirectoryA(buffer, capacity);
    if (length < capacity) return length;
    // Too small: the full length is reported, with the text cut as the interface promises.
    std::string directory = windowsDirectory();
    if (size > 0) {
        size_t copied = directory.size() < size - 1 ? directory.size() : size - 1;
        std::memcpy(buffer, directory.data(), copied);
        buffer[copied] = '\0';
    }
    return directory.size() >= size ? directory.size() : size;
}

std::string findDataFile(const std::string& windowsPath)
{
    if (windowsPath.empty()) return std::string();
    bool absolute =
        windowsPath.size() > 1 && (windowsPath[1] == ':' || windowsPath[0] == '\\' || windowsPath[0] == '/');
    // A relative path is relative to the Windows directory only while that is current.
    if ((absolute || gWindowsDirCurrent) && fileExists(windowsPath.c_str())) return absolutePath(windowsPath);
    if (absolute) return std::string();
    std::string besideProgram = programFolder();
    if (besideProgram.empty()) return std::string();
    besideProgram += windowsPath;
    return fileExists(besideProgram.c_str()) ? besideProgram : std::string();
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
        gUnusableWindowsDir = "(none): GetWindowsDirectoryA failed: " + systemMessage(GetLastError());
    } else if (SetCurrentDirectoryA(windowsDir)) {
        gWindowsDirCurrent = true;
        return true;
    } else if (GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND) {
        gMissingWindowsDir = windowsDir;
    } else {
        gUnusableWindowsDir = std::string(windowsDir) + ": " + systemMessage(GetLastError());
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
    if (!makeFolders(gMissingWindowsDir) || !SetCurrentDirectoryA(gMissingWindowsDir.c_str())) {
        std::fprintf(stderr, "settings: cannot make the Windows directory %s: %s\n", gMissingWindowsDir.c_str(),
                     systemMessage(GetLastError()).c_str());
        return false;
    }
    gMissingWindowsDir.clear();
    gWindowsDirCurrent = true;
    return true;
}

}  // namespace platform
