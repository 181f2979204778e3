// setup/win32/install_paths.cpp -- script paths checked against the Windows directory by Windows' own rules.
//
// Windows reads a path its own way: "..", ". ." and trailing dots and blanks are folded away, "X:" names
// another drive, a colon inside a name opens a stream of a file. So the path is judged as Windows will
// use it (GetFullPathNameA), and then on the disk: no junction or symbolic link may lie on the way below
// the Windows directory, and what exists of the path must really be inside it.
#include "setup/install_paths.h"

#include <windows.h>

#include <cctype>
#include <cstring>

namespace setup {
namespace {

std::string fullPath(const std::string& path)
{
    char buffer[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    if (length == 0 || length >= sizeof buffer) return std::string();
    return std::string(buffer, length);
}

std::string withoutTrailingSeparator(std::string path)
{
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
}

// File names compare without case, as the file system does (the ASCII letters; the names are ASCII).
bool sameName(const std::string& a, size_t length, const std::string& b)
{
    return a.size() >= length && b.size() >= length && _strnicmp(a.c_str(), b.c_str(), length) == 0;
}

bool within(const std::string& path, const std::string& folder)
{
    if (!sameName(path, folder.size(), folder)) return false;
    if (path.size() == folder.size()) return true;
    return folder.back() == '\\' || path[folder.size()] == '\\';
}

// The path as the file system resolves it, links followed; empty when it cannot be opened.
std::string finalPath(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    char buffer[MAX_PATH + 8];
    DWORD length = GetFinalPathNameByHandleA(file, buffer, sizeof buffer, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    CloseHandle(file);
    if (length == 0 || length >= sizeof buffer) return std::string();
    std::string out(buffer, length);
    if (out.compare(0, 4, "\\\\?\\") == 0) out.erase(0, 4);
    return out;
}

// Every component below `folder` that exists is a plain file or folder, and the deepest one that exists
// lies, resolved, inside the resolved folder. A folder that does not exist holds no links.
bool linksStayInside(const std::string& folder, const std::string& path)
{
    std::string realFolder = finalPath(folder);
    if (realFolder.empty()) return true;
    std::string deepest;
    for (size_t at = folder.size() + 1; at <= path.size(); ++at) {
        if (at < path.size() && path[at] != '\\') continue;
        std::string prefix = path.substr(0, at);
        DWORD attributes = GetFileAttributesA(prefix.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) break;
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return false;
        deepest = prefix;
    }
    if (deepest.empty()) return true;
    std::string real = finalPath(deepest);
    return !real.empty() && within(real, withoutTrailingSeparator(realFolder));
}

}  // namespace

bool staysInsideWindowsDirectory(const std::string& windowsDirectory, const std::string& entry)
{
    // A colon past the drive is another drive ("%Wx:\\") or a stream of a file ("%W\\a.txt:hidden").
    if (entry.find(':') != std::string::npos) return false;
    std::string base = withoutTrailingSeparator(fullPath(windowsDirectory));
    std::string path = fullPath(windowsDirectory + entry);
    // Inside means below a separator: "C:\\WINDOWSsibling" does not lie in "C:\\WINDOWS".
    if (base.empty() || path.empty() || !within(path, base)) return false;
    return linksStayInside(base, withoutTrailingSeparator(path));
}

// "X:\\..." or a share "\\\\server\\..."; "\\folder" hangs on whichever drive is current, "X:folder" on
// that drive's current folder: neither is a place of its own.
bool isUsableWindowsDirectory(const std::string& windowsDirectory)
{
    const std::string& path = windowsDirectory;
    bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
                 (path[2] == '\\' || path[2] == '/');
    bool share = path.size() > 2 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/');
    return drive || share;
}

bool staysInsideDiskFolder(const std::string& diskFolderOrEmpty, const std::string& source)
{
    // An empty name stays: it fails to open, as a %W without its %R does.
    if (source.empty()) return true;
    // No absolute name, other drive ("X:") or stream of a file ("a.pag:hidden").
    if (source[0] == '\\' || source[0] == '/' || source.find(':') != std::string::npos) return false;
    std::string diskFolder = diskFolderOrEmpty;
    if (diskFolder.empty()) {
        char here[MAX_PATH];
        DWORD length = GetCurrentDirectoryA(sizeof here, here);
        if (length == 0 || length >= sizeof here) return false;
        diskFolder.assign(here, length);
    }
    std::string base = withoutTrailingSeparator(fullPath(diskFolder));
    bool separated = diskFolder.back() == '\\' || diskFolder.back() == '/';
    std::string path = fullPath(diskFolder + (separated ? "" : "\\") + source);
    // As Windows folds "..": it must still be inside the disk folder, by name and then through every link.
    if (base.empty() || path.empty() || !within(path, base) || finalPath(base).empty()) return false;
    return linksStayInside(base, withoutTrailingSeparator(path));
}

}  // namespace setup
