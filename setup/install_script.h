// setup/install_script.h -- the install script: its record, its name and its reader.
//
// A script reads, line by line: the product name; the total size in bytes; then records introduced by
// "%" and a letter: %D a directory below the Windows directory, %R a source name on the disk, %W its
// destination below the Windows directory (completing one file entry), %C a disk prompt shown before the
// next file. Text outside records is commentary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace setup {

constexpr size_t kMaxProductName = 19;    // characters
constexpr size_t kMaxName = 255;          // characters of a directory, source or destination name
constexpr size_t kMaxLabel = 14;          // characters of a disk label
constexpr size_t kMaxDirectories = 10000;
constexpr size_t kMaxFiles = 10000;
constexpr size_t kMaxDiskPrompts = 1000;
// A script at every capacity above takes under 8 MB (each record a line of at most 255 characters and
// its "%X" and line end); a larger file, or a device that never ends, is refused before it is read.
constexpr size_t kMaxScriptBytes = size_t(16) << 20;

struct FileEntry {
    std::string source;        // as written, relative to the start directory (the distribution disk)
    std::string destination;   // appended to the Windows directory; begins with a backslash
};

struct DiskPrompt {
    int fileIndex;             // the file before which the prompt is shown
    std::string label;         // the disk number as written
};

struct InstallScript {
    std::string productName;               // line 1, at most kMaxProductName characters
    int32_t totalBytes = 0;                // line 2; may understate, or be 0 or negative
    std::vector<std::string> directories;  // in script order, parents first
    std::vector<FileEntry> files;
    std::vector<DiskPrompt> diskPrompts;   // in script order
};

enum class ScriptResult {
    Ok,
    CannotOpen,      // the file is missing or unreadable
    OutsideFormat,   // a name, label or list beyond the capacities above, or a NUL in the product name
};

// "setupNT.xdt" for the two NT 4 version values, "setup.xdt" for every other.
const char* installScriptName(uint32_t osVersion);

// Reads a script from bytes as they lie in the file (LF or CR LF line ends). `script` is replaced.
ScriptResult parseInstallScript(const char* bytes, size_t size, InstallScript& script);

// Reads the script file `path` (a Windows-style path relative to the current directory). A file that is
// not a regular file, or holds more than kMaxScriptBytes, cannot be opened; the reason goes to stderr.
ScriptResult readInstallScript(const char* path, InstallScript& script);

}  // namespace setup
