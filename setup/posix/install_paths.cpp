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
bool linksStayInside(const std::string& realFolder, const std::string& path)
{
    std::string probe = path;
    for (;;) {
        struct stat info;
        if (::lstat(probe.c_str(), &info) == 0) {
            std::string real = realPath(probe);
            return !real.empty() && within(real, realFolder);
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
    if (!namesStayInside(windowsDirectory, entry)) return false;
    std::string realWindows = realPath(platform::resolvePath(windowsDirectory));
    return realWindows.empty() || linksStayInside(realWindows, platform::resolvePath(windowsDirectory + entry));
}

bool isUsableWindowsDirectory(const std::string& windowsDirectory)
{
    return !windowsDirectory.empty() && (windowsDirectory[0] == '/' || windowsDirectory[0] == '\\');
}

bool staysInsideDiskFolder(const std::string& diskFolderOrEmpty, const std::string& source)
{
    // An empty name stays: it fails to open, as a %W without its %R does.
    if (source.empty()) return true;
    std::string diskFolder = diskFolderOrEmpty.empty() ? platform::currentDirectory() : diskFolderOrEmpty;
    if (source[0] == '\\' || source[0] == '/') return false;
    if (!namesStayInside(diskFolder + "/", source)) return false;
    std::string realDisk = realPath(diskFolder);
    // The disk folder is the real path the installer started in; the source is resolved from there.
    return !realDisk.empty() && linksStayInside(realDisk, diskFolder + "/" + platform::resolvePath(source));
}

}  // namespace setup
