// platform/regular_file.cpp -- opening files without waiting on FIFOs and devices, and bounded whole reads.
#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

constexpr mode_t kNewFileMode = 0666;   // narrowed by the umask, as any new file

FileCheck missingOrDenied(int error)
{
    return error == ENOENT || error == ENOTDIR ? FileCheck::Missing : FileCheck::Denied;
}

// Blocking again once open, so that reads and writes of a slow reader or writer are whole.
std::FILE* streamWithoutNonBlock(int fd, const char* mode)
{
    int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    std::FILE* stream = ::fdopen(fd, mode);
    if (!stream) ::close(fd);
    return stream;
}

std::FILE* refuse(FileCheck* why, FileCheck check)
{
    if (why) *why = check;
    return nullptr;
}

}  // namespace

std::FILE* openRegularFile(const std::string& path, const char* mode, FileCheck* why)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) return refuse(why, missingOrDenied(errno));
    if (!S_ISREG(info.st_mode)) return refuse(why, FileCheck::NotRegular);
    int access = std::strcmp(mode, "r+b") == 0 ? O_RDWR : O_RDONLY;
    // Non-blocking in case a FIFO took the file's place between the check and the open.
    int fd = ::open(path.c_str(), access | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return refuse(why, missingOrDenied(errno));
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return refuse(why, FileCheck::NotRegular);
    }
    std::FILE* stream = streamWithoutNonBlock(fd, mode);
    if (why) *why = stream ? FileCheck::Ok : FileCheck::Denied;
    return stream;
}

FileCheck readRegularFile(const std::string& path, size_t limitBytes, std::string* bytes)
{
    bytes->clear();
    FileCheck check = FileCheck::Ok;
    std::FILE* file = openRegularFile(path, "rb", &check);
    if (!file) return check;
    struct stat info;
    if (::fstat(::fileno(file), &info) == 0 && static_cast<unsigned long long>(info.st_size) > limitBytes) {
        std::fclose(file);
        return FileCheck::TooLarge;
    }
    // The file may grow while it is read: never more than the limit and one byte is taken.
    char block[16384];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
        if (bytes->size() + got > limitBytes) {
            check = FileCheck::TooLarge;
            break;
        }
        bytes->append(block, got);
    }
    if (check == FileCheck::Ok && std::ferror(file)) check = FileCheck::Denied;
    std::fclose(file);
    if (check != FileCheck::Ok) bytes->clear();
    return check;
}

FileCheck checkWritableFile(const std::string& path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) return missingOrDenied(errno);
    if (!S_ISREG(info.st_mode)) return FileCheck::NotRegular;
    int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return FileCheck::Denied;
    ::close(fd);
    return FileCheck::Ok;
}

std::FILE* createNewFile(const std::string& path)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kNewFileMode);
    return fd < 0 ? nullptr : streamWithoutNonBlock(fd, "wb");
}

std::FILE* openForWriting(const std::string& path, bool append)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC | (append ? O_APPEND : 0), kNewFileMode);
    if (fd < 0) return nullptr;
    struct stat info;
    if (!append && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return nullptr;
    }
    return streamWithoutNonBlock(fd, append ? "ab" : "wb");
}

std::string describeFileCheck(FileCheck check)
{
    switch (check) {
    case FileCheck::Ok: return "is fine";
    case FileCheck::Missing: return "does not exist";
    case FileCheck::NotRegular: return "is not a regular file";
    case FileCheck::TooLarge: return "is larger than its limit";
    case FileCheck::Denied: return std::string("cannot be opened: ") + std::strerror(errno);
    }
    return "cannot be used";
}

}  // namespace platform
