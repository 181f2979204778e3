// platform/posix/whole_file.cpp -- mkstemp, fsync and rename over the old file.
#include "platform/whole_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/paths.h"

namespace platform {

namespace {

bool writeAll(int fd, const unsigned char* data, size_t size)
{
    while (size > 0) {
        ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

std::string folderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

bool fail(const std::string& target, std::string* failure)
{
    int cause = errno;
    std::string where = target.empty() || target[0] == '/' ? target : currentDirectory() + "/" + target;
    *failure = where + ": " + std::strerror(cause);
    return false;
}

}  // namespace

bool replaceFileWhole(const char* windowsPath, const void* data, size_t size, std::string* failure)
{
    std::string target = resolvePath(windowsPath);
    std::string folder = folderOf(target);
    if (::mkdir(folder.c_str(), S_IRWXU) != 0 && errno != EEXIST) return fail(target, failure);
    std::string temporary = folder + "/.Tockwheel.ini.XXXXXX";
    std::vector<char> name(temporary.begin(), temporary.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) return fail(target, failure);
    bool written = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0 &&
                   writeAll(fd, static_cast<const unsigned char*>(data), size) && ::fsync(fd) == 0;
    if (::close(fd) != 0) written = false;
    if (!written || std::rename(name.data(), target.c_str()) != 0) {
        int cause = errno;
        ::unlink(name.data());
        errno = cause;
        return fail(target, failure);
    }
    return true;
}

}  // namespace platform
