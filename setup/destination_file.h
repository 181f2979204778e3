// setup/destination_file.h -- opening a destination for writing, and putting a replaced file into place.
//
// A new destination is created and written in place; it stays as far as written when the user stops the
// copy, and is removed when the copy fails. A destination that exists is first opened for writing, without
// truncating it, which is the proof that the user may write it; the new content then goes to a temporary
// file beside it, created exclusively, and only once that is whole does it become the installed file. So a
// full disk, an abort or a closed window part-way leaves the old file as it was.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <string>

namespace setup {

// A destination that existed, while its new content is being written.
struct ReplacedFile {
    std::string installedPath;     // the existing file's real path; empty when no file is being replaced
    std::string temporaryPath;     // the exclusive temporary in the same folder, holding the new content
    int installedFd = -1;          // the existing file, open for writing
    int temporaryFd = -1;          // the temporary, open for reading it back
    mode_t mode = 0;               // the old file's permissions, which the installed file keeps
    bool rewriteInPlace = false;   // other links share it, or its owner cannot be kept: the same file is rewritten
    std::string createdPath;       // a destination that did not exist, made by this copy; empty otherwise
    unsigned long attributes = 0;  // Windows: the old file's attributes, which the installed file keeps
};

// Opens the destination `entry` below `windowsDirectory` for writing: a new file, an existing one through
// `replaced`, or (a device, say) the thing itself. Null when it cannot be opened for writing, or when the
// path leads outside the Windows directory.
std::FILE* openDestinationFile(const std::string& windowsDirectory, const std::string& entry, ReplacedFile& replaced);

// After the stream of a replacement closed cleanly: the temporary becomes the installed file. False when
// that fails; the temporary is gone either way.
bool installReplacedFile(ReplacedFile& replaced, char* buffer, size_t bufferBytes);

// Removes the temporary of a replacement that will not be finished; the old file stays as it was.
void dropReplacedFile(ReplacedFile& replaced);

// A copy that failed (a full disk): the new destination it made is removed, so no partial file stays.
void removeUnfinishedNewFile(ReplacedFile& replaced);

// A program on the disk must stay runnable once installed: its execute permission is carried over,
// granted to whoever may read the new file; a replaced file starts from the old one's mode. Either way
// the installed file gets no permission its source lacks: a private file on the disk stays private.
// (Windows has no such permissions: a program runs by its name, and a new file inherits its folder's.)
void setInstalledPermissions(std::FILE* source, std::FILE* destination, ReplacedFile& replaced);

// The shared folder holds the saver's settings, which every user of the machine may save. Where the
// installer runs with rights a user lacks (an elevated setup.exe on Windows), the folder is opened to
// every user; elsewhere its owner's rights are the installer's and nothing changes. Best effort: the
// install goes on whatever the answer.
void shareFolderWithUsers(const std::string& folder);

// The stop signals (SIGINT, SIGTERM, SIGHUP) end the program at its next wait, and the temporary of a
// replacement in progress goes before it ends.
void removeTemporaryOnSignals();

}  // namespace setup
