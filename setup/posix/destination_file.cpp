// setup/destination_file.cpp -- destinations opened for writing; replacements through an exclusive temporary.
#include "setup/destination_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "platform/paths.h"
#include "platform/regular_file.h"
#include "platform/stop_signals.h"
#include "setup/install_paths.h"

namespace setup {

namespace {

// One short fixed name per folder: it always fits beside any name, and what an interrupted run left there
// is removed at the next replacement in that folder. A destination that is itself called so gets the other.
constexpr char kTemporaryName[] = ".setup-partial";
constexpr char kTemporaryNameForItself[] = ".setup-partial-2";
constexpr mode_t kNewFileMode = 0666;      // narrowed by the umask, as any new file
constexpr mode_t kTemporaryMode = 0600;    // the installed file's mode is set once it is whole

// The temporary's path for the signal handler, which may only read it once it is whole.
char gTemporaryPath[PATH_MAX];
volatile std::sig_atomic_t gTemporaryArmed = 0;

void armTemporary(const std::string& path)
{
    gTemporaryArmed = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    if (path.size() >= sizeof gTemporaryPath) return;
    std::memcpy(gTemporaryPath, path.c_str(), path.size() + 1);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    gTemporaryArmed = 1;
}

void disarmTemporary()
{
    gTemporaryArmed = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
}

// Runs when a stop signal ends the program from one of its waits: the copy in progress goes with it.
void removeArmedTemporary()
{
    if (gTemporaryArmed) ::unlink(gTemporaryPath);
}

std::FILE* streamFor(int fd)
{
    std::FILE* stream = fd < 0 ? nullptr : ::fdopen(fd, "wb");
    if (!stream && fd >= 0) ::close(fd);
    return stream;
}

// A path that does not exist yet is created, never through a link planted at its name.
std::FILE* createNewFile(const std::string& path)
{
    return streamFor(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kNewFileMode));
}

std::string folderOf(const std::string& path)
{
    size_t cut = path.find_last_of('/');
    if (cut == std::string::npos) return ".";
    return cut == 0 ? "/" : path.substr(0, cut);
}

std::string nameOf(const std::string& path)
{
    size_t cut = path.find_last_of('/');
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// Renaming the temporary over the old file would part it from its other links, or hand it to whoever runs
// the installer: then the same file is rewritten once the new content is whole.
bool mustRewriteInPlace(const struct stat& old, int temporaryFd)
{
    if (old.st_nlink > 1) return true;
    struct stat made;
    if (::fstat(temporaryFd, &made) != 0) return true;
    if (made.st_uid == old.st_uid && made.st_gid == old.st_gid) return false;
    return ::fchown(temporaryFd, old.st_uid, old.st_gid) != 0;
}

std::FILE* openReplacement(const std::string& path, ReplacedFile& replaced)
{
    int installedFd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    struct stat old;
    if (installedFd < 0) return nullptr;
    if (::fstat(installedFd, &old) != 0 || !S_ISREG(old.st_mode)) {
        ::close(installedFd);
        return nullptr;
    }
    std::string name = nameOf(path) == kTemporaryName ? kTemporaryNameForItself : kTemporaryName;
    std::string temporary = folderOf(path) + "/" + name;
    // A leftover of an interrupted run, or whatever was planted there: a link goes, not what it points at.
    ::unlink(temporary.c_str());
    armTemporary(temporary);
    int temporaryFd = ::open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kTemporaryMode);
    if (temporaryFd < 0) {
        // No file can be made beside it (a writable file in a read-only folder): it is written in place.
        disarmTemporary();
        if (::ftruncate(installedFd, 0) != 0) {
            ::close(installedFd);
            return nullptr;
        }
        return streamFor(installedFd);
    }
    replaced.installedPath = path;
    replaced.temporaryPath = temporary;
    replaced.installedFd = installedFd;
    replaced.mode = old.st_mode & 07777;
    replaced.rewriteInPlace = mustRewriteInPlace(old, temporaryFd);
    replaced.temporaryFd = ::dup(temporaryFd);
    std::FILE* stream = replaced.temporaryFd < 0 ? nullptr : streamFor(temporaryFd);
    if (!stream) {
        if (replaced.temporaryFd < 0) ::close(temporaryFd);
        dropReplacedFile(replaced);
    }
    return stream;
}

bool writeAll(int fd, const char* bytes, size_t size, off_t at)
{
    while (size > 0) {
        ssize_t wrote = ::pwrite(fd, bytes, size, at);
        if (wrote <= 0) return false;
        bytes += wrote;
        size -= size_t(wrote);
        at += wrote;
    }
    return true;
}

// Room for the new content is reserved first where the file system can, so a full disk fails before the
// old file is touched; a write that fails after that leaves it cut, and is reported.
bool rewriteInPlace(const ReplacedFile& replaced, char* buffer, size_t bufferBytes)
{
    struct stat made;
    if (::fstat(replaced.temporaryFd, &made) != 0) return false;
    if (made.st_size > 0 && ::fallocate(replaced.installedFd, FALLOC_FL_KEEP_SIZE, 0, made.st_size) != 0 &&
        (errno == ENOSPC || errno == EDQUOT || errno == EFBIG))
        return false;
    for (off_t at = 0; at < made.st_size;) {
        ssize_t got = ::pread(replaced.temporaryFd, buffer, bufferBytes, at);
        if (got <= 0 || !writeAll(replaced.installedFd, buffer, size_t(got), at)) return false;
        at += got;
    }
    if (::ftruncate(replaced.installedFd, made.st_size) != 0) return false;
    // Only the execute permission can have changed; a file of someone else's keeps what it had.
    struct stat now;
    if (::fstat(replaced.installedFd, &now) == 0 && (now.st_mode & 07777) != replaced.mode)
        ::fchmod(replaced.installedFd, replaced.mode);
    return true;
}

// The new content reaches the disk before it takes the old file's name, so a crash leaves one or the other.
bool renameIntoPlace(const ReplacedFile& replaced)
{
    return ::fchmod(replaced.temporaryFd, replaced.mode) == 0 && ::fsync(replaced.temporaryFd) == 0 &&
           std::rename(replaced.temporaryPath.c_str(), replaced.installedPath.c_str()) == 0;
}

}  // namespace

std::FILE* openDestinationFile(const std::string& windowsDirectory, const std::string& entry, ReplacedFile& replaced)
{
    dropReplacedFile(replaced);
    if (!staysInsideWindowsDirectory(windowsDirectory, entry)) return nullptr;
    std::string path = platform::resolvePath(windowsDirectory + entry);
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0) {
        if (errno != ENOENT) return nullptr;
        std::FILE* made = createNewFile(path);
        if (made) replaced.createdPath = path;
        return made;
    }
    if (S_ISLNK(info.st_mode)) {
        // A link inside the Windows directory: its target is the file that is replaced.
        char* real = ::realpath(path.c_str(), nullptr);
        if (!real) return nullptr;
        path = real;
        std::free(real);
        if (::lstat(path.c_str(), &info) != 0) return nullptr;
    }
    // A device, written as it is; a FIFO that nobody reads fails at once rather than wait.
    if (!S_ISREG(info.st_mode)) return platform::openForWriting(path, false);
    return openReplacement(path, replaced);
}

bool installReplacedFile(ReplacedFile& replaced, char* buffer, size_t bufferBytes)
{
    if (replaced.installedPath.empty()) return true;
    bool installed = replaced.rewriteInPlace ? rewriteInPlace(replaced, buffer, bufferBytes) : renameIntoPlace(replaced);
    if (installed && !replaced.rewriteInPlace) replaced.temporaryPath.clear();   // it is the installed file now
    dropReplacedFile(replaced);
    return installed;
}

void dropReplacedFile(ReplacedFile& replaced)
{
    if (!replaced.temporaryPath.empty()) ::unlink(replaced.temporaryPath.c_str());
    disarmTemporary();
    if (replaced.installedFd >= 0) ::close(replaced.installedFd);
    if (replaced.temporaryFd >= 0) ::close(replaced.temporaryFd);
    replaced = ReplacedFile();
}

void removeUnfinishedNewFile(ReplacedFile& replaced)
{
    if (!replaced.createdPath.empty()) ::unlink(replaced.createdPath.c_str());
    replaced.createdPath.clear();
}

namespace {

mode_t installedMode(mode_t mode, const struct stat& from)
{
    if (from.st_mode & S_IXUSR) mode |= (mode & 0444) >> 2;
    return mode & from.st_mode & 0777;
}

}  // namespace

void setInstalledPermissions(std::FILE* source, std::FILE* destination, ReplacedFile& replaced)
{
    struct stat from;
    struct stat to;
    if (::fstat(::fileno(source), &from) != 0) return;
    if (!replaced.installedPath.empty()) {
        replaced.mode = installedMode(replaced.mode, from);
        return;
    }
    if (::fstat(::fileno(destination), &to) != 0 || !S_ISREG(to.st_mode)) return;
    ::fchmod(::fileno(destination), installedMode(to.st_mode & 07777, from));
}

void shareFolderWithUsers(const std::string&) {}

void removeTemporaryOnSignals()
{
    platform::catchStopSignals();
    platform::setStopCleanUp(removeArmedTemporary);
}

}  // namespace setup
