// setup/install_paths.cpp -- script paths checked against the Windows directory, by name and through links.
#include "setup/install_paths.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "platform/paths.h"

namespace setup {

namespace {

std::string withSlashes(std::string path)
{
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

// The entry must start a new component of the Windows directory and never climb out of it by name.
bool namesStayInside(const std::string& windowsDirectory, const std::string& entry)
{
    std::string base = withSlashes(windowsDirectory);
    std::string text = withSlashes(entry);
    bool startsComponent = text.empty() || text[0] == '/' || base.empty() || base.back() == '/';
    if (!startsComponent) return false;
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find('/', start);
        if (end == std::string::npos) end = text.size();
        if (text.compare(start, end - start, "..") == 0) return false;
        start = end + 1;
    }
    return true;
}

std::string realPath(const std::string& path)
{
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return std::string();
    std::string result = real;
    std::free(real);
    return result;
}

bool within(const std::string& path, const std::string& folder)
{
    if (folder == "/" || path == folder) return true;
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/';
}

std::string parentOf(const std::string& path)
{
    size_t end = path.find_last_not_of('/');
    if (end == std::string::npos) return "/";
    size_t cut = path.find_last_of('/', end);
    if (cut == std::string::npos) return ".";
    return cut == 0 ? "/" : path.substr(0, cut);
}

// The deepest part of `path` that exists decides where the rest would be made: followed through every
// link, it must lie inside the Windows directory. A link that leads nowhere counts as outside, since
// creating through it would make its target.
bool linksStayInside(const std::string& windowsDirectory, const std::string& path)
{
    std::string realWindows = realPath(platform::resolvePath(windowsDirectory));
    if (realWindows.empty()) return true;
    std::string probe = path;
    for (;;) {
        struct stat info;
        if (::lstat(probe.c_str(), &info) == 0) {
            std::string real = realPath(probe);
            return !real.empty() && within(real, realWindows);
        }
        if (errno != ENOENT && errno != ENOTDIR) return false;
        std::string parent = parentOf(probe);
        if (parent == probe) return true;
        probe = parent;
    }
}

}  // namespace

bool staysInsideWindowsDirectory(const std::string& windowsDirectory, const std::string& entry)
{
    return namesStayInside(windowsDirectory, entry) &&
           linksStayInside(windowsDirectory, platform::resolvePath(windowsDirectory + entry));
}

}  // namespace setup
