// platform/regular_file.h -- files opened without waiting, and inputs read whole within a limit.
//
// A FIFO named where a file is expected makes a plain open wait for a writer (or a reader) for ever, and a
// device such as /dev/zero never ends. So a file the programs read is opened only when it is a regular file,
// and one that must be read whole is refused when it is larger than its limit, before it is read; a file
// they write is opened without waiting for a reader.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace platform {

enum class FileCheck {
    Ok,
    Missing,      // nothing at that name
    NotRegular,   // a folder, FIFO, device or socket
    TooLarge,     // more bytes than the limit
    Denied,       // there, but it cannot be opened (permissions); errno tells why
};

// Opens the regular file at `path` (a path of this system, links followed) with the stdio mode `mode`,
// "rb" or "r+b"; null with the reason in `why` for anything else. Nothing but a regular file is opened at
// all, since even opening a device can act on it.
std::FILE* openRegularFile(const std::string& path, const char* mode, FileCheck* why = nullptr);

// The whole regular file at `path` in `bytes`, when it holds at most `limitBytes` bytes.
FileCheck readRegularFile(const std::string& path, size_t limitBytes, std::string* bytes);

// What lies at `path` before a file is saved there: Missing, Ok (a regular file this user may write),
// NotRegular, or Denied (errno tells why). Nothing is changed.
FileCheck checkWritableFile(const std::string& path);

// Creates a file at `path` that did not exist, never through a link planted at its name.
std::FILE* createNewFile(const std::string& path);

// Opens `path` for binary writing, created when missing and emptied (or appended to) when a regular file,
// without waiting: a FIFO that nobody reads fails at once instead of waiting for a reader.
std::FILE* openForWriting(const std::string& path, bool append);

// A few words for a message: "is not a regular file", "is larger than its limit" ...
std::string describeFileCheck(FileCheck check);

}  // namespace platform
