// platform/win32/regular_file.cpp -- opening only disk files (never a folder, device or pipe), bounded whole
// reads, and new files that are never made through a link planted at their name.
#include "platform/regular_file.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

// The callers' messages say why through errno, as on every system.
void setErrnoFrom(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        errno = ENOENT;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        errno = EACCES;
        break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        errno = EEXIST;
        break;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
        errno = EINVAL;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        errno = ENOSPC;
        break;
    default:
        errno = EIO;
        break;
    }
}

FileCheck missingOrDenied(DWORD error)
{
    setErrnoFrom(error);
    return errno == ENOENT ? FileCheck::Missing : FileCheck::Denied;
}

std::FILE* refuse(FileCheck* why, FileCheck check)
{
    if (why) *why = check;
    return nullptr;
}

// A C stream over the handle; the handle is closed when that fails.
std::FILE* streamFor(HANDLE file, int flags, const char* mode)
{
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), flags | _O_BINARY);
    if (fd < 0) {
        CloseHandle(file);
        return nullptr;
    }
    std::FILE* stream = _fdopen(fd, mode);
    if (!stream) _close(fd);
    return stream;
}

// The file at `path` opened with `access` when it is a file on a disk (links followed); otherwise
// INVALID_HANDLE_VALUE with the reason in `why`. A folder is refused by its attributes, a device, console
// or pipe by the type of what was opened (opening a pipe never waits: a busy one fails at once).
HANDLE openDiskFile(const std::string& path, DWORD access, FileCheck* why)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        *why = missingOrDenied(GetLastError());
        return INVALID_HANDLE_VALUE;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        *why = FileCheck::NotRegular;
        return INVALID_HANDLE_VALUE;
    }
    HANDLE file = CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *why = missingOrDenied(GetLastError());
        return INVALID_HANDLE_VALUE;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(file);
        *why = FileCheck::NotRegular;
        return INVALID_HANDLE_VALUE;
    }
    *why = FileCheck::Ok;
    return file;
}

}  // namespace

std::FILE* openRegularFile(const std::string& path, const char* mode, FileCheck* why)
{
    bool update = std::strcmp(mode, "r+b") == 0;
    FileCheck check = FileCheck::Ok;
    HANDLE file = openDiskFile(path, GENERIC_READ | (update ? GENERIC_WRITE : 0), &check);
    if (file == INVALID_HANDLE_VALUE) return refuse(why, check);
    std::FILE* stream = streamFor(file, update ? _O_RDWR : _O_RDONLY, mode);
    if (why) *why = stream ? FileCheck::Ok : FileCheck::Denied;
    return stream;
}

FileCheck readRegularFile(const std::string& path, size_t limitBytes, std::string* bytes)
{
    bytes->clear();
    FileCheck check = FileCheck::Ok;
    HANDLE file = openDiskFile(path, GENERIC_READ, &check);
    if (file == INVALID_HANDLE_VALUE) return check;
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size) && static_cast<unsigned long long>(size.QuadPart) > limitBytes) {
        CloseHandle(file);
        return FileCheck::TooLarge;
    }
    // The file may grow while it is read: never more than the limit and one block is taken.
    char block[16384];
    DWORD got = 0;
    for (;;) {
        if (!ReadFile(file, block, sizeof block, &got, nullptr)) {
            setErrnoFrom(GetLastError());
            check = FileCheck::Denied;
            break;
        }
        if (got == 0) break;
        if (bytes->size() + got > limitBytes) {
            check = FileCheck::TooLarge;
            break;
        }
        bytes->append(block, got);
    }
    CloseHandle(file);
    if (check != FileCheck::Ok) bytes->clear();
    return check;
}

FileCheck checkWritableFile(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return missingOrDenied(GetLastError());
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileCheck::NotRegular;
    // A read-only file may not be replaced either (an administrator's open for writing would succeed
    // under some systems' emulation of it; the attribute is what Windows users set).
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        errno = EACCES;
        return FileCheck::Denied;
    }
    FileCheck check = FileCheck::Ok;
    HANDLE file = openDiskFile(path, GENERIC_WRITE, &check);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return check == FileCheck::Missing ? FileCheck::Denied : check;
}

std::FILE* createNewFile(const std::string& path)
{
    // CREATE_NEW fails on any name that exists, a link included, and the link is never followed.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        setErrnoFrom(GetLastError());
        return nullptr;
    }
    return streamFor(file, _O_WRONLY, "wb");
}

std::FILE* openForWriting(const std::string& path, bool append)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        errno = EISDIR;
        return nullptr;
    }
    // Opening a pipe never waits for its reader: one that cannot take a client fails at once.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        setErrnoFrom(GetLastError());
        return nullptr;
    }
    if (GetFileType(file) == FILE_TYPE_DISK) {
        LARGE_INTEGER start = {};
        bool placed = append ? SetFilePointerEx(file, start, nullptr, FILE_END) != 0
                             : SetFilePointerEx(file, start, nullptr, FILE_BEGIN) && SetEndOfFile(file);
        if (!placed) {
            setErrnoFrom(GetLastError());
            CloseHandle(file);
            return nullptr;
        }
    }
    return streamFor(file, _O_WRONLY | (append ? _O_APPEND : 0), append ? "ab" : "wb");
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
