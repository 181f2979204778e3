// platform/posix/paths.cpp -- backslash paths resolved case-insensitively per component.
#include "platform/paths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <strings.h>

namespace platform {

namespace {

bool exists(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

// The entry of `directory` whose name equals `name` ignoring case, or `name` when none does.
std::string matchComponent(const std::string& directory, const std::string& name)
{
    DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
    if (!dir) return name;
    std::string found = name;
    while (const dirent* entry = ::readdir(dir)) {
        if (::strcasecmp(entry->d_name, name.c_str()) == 0) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

}  // namespace

std::string resolvePath(const std::string& windowsPath)
{
    std::string path = windowsPath;
    for (char& c : path)
        if (c == '\\') c = '/';

    std::string resolved;
    size_t start = 0;
    if (!path.empty() && path[0] == '/') {
        resolved = "/";
        start = 1;
    }
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string name = path.substr(start, end - start);
        if (!name.empty()) {
            std::string exact = resolved + name;
            if (name != "." && name != ".." && !exists(exact)) {
                std::string parent = resolved.empty() ? "." : resolved;
                exact = resolved + matchComponent(parent, name);
            }
            resolved = exact;
            if (end < path.size()) resolved += '/';
        }
        start = end + 1;
    }
    return resolved;
}

std::FILE* openFile(const char* windowsPath, const char* mode)
{
    return std::fopen(resolvePath(windowsPath).c_str(), mode);
}

bool fileExists(const char* windowsPath)
{
    struct stat info;
    return ::stat(resolvePath(windowsPath).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool isDirectory(const char* windowsPath)
{
    struct stat info;
    return ::stat(resolvePath(windowsPath).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool createDirectory(const char* windowsPath)
{
    return ::mkdir(resolvePath(windowsPath).c_str(), 0755) == 0;
}

bool setCurrentDirectory(const char* windowsPath)
{
    return ::chdir(resolvePath(windowsPath).c_str()) == 0;
}

std::string currentDirectory()
{
    char buffer[PATH_MAX];
    if (!::getcwd(buffer, sizeof buffer)) return std::string();
    return buffer;
}

std::string textFromPath(const std::string& path) { return path; }

std::string pathFromText(const std::string& text) { return text; }

}  // namespace platform
