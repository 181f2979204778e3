// platform/windows_dir.h -- the Windows directory (on Windows GetWindowsDirectoryA; on Linux $WINDIR, else
// ${XDG_DATA_HOME:-~/.local/share}/tockwheel), and where the data files the programs read from it are found.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

std::string windowsDirectory();
// Like GetWindowsDirectoryA: copies at most size - 1 characters and a NUL; returns the full length,
// which is size or more when the buffer was too small (the text is then cut).
size_t getWindowsDirectory(char* buffer, size_t size);

// The data file that `windowsPath` names (a path relative to the Windows directory, backslashes, any
// case), as an absolute Linux path: relative to the current directory (start-up makes it the user's
// Windows directory) when a regular file is there, else in the data installed with the program
// (<program's folder>/../share/tockwheel), else in tockwheel/ under each folder of $XDG_DATA_DIRS
// (default /usr/local/share:/usr/share). On Windows: relative to the current directory, else beside the
// program. Empty when none holds it. For reading only: every write goes to the user's Windows directory.
std::string findDataFile(const std::string& windowsPath);
// Start-up: makes the Windows directory current. `length` is what getWindowsDirectory returned for the
// `capacity` of its buffer. True when it is current. False when it is missing (a new user's has not been
// made yet: nothing is created then, since a saver run writes nothing, and the first save creates it),
// longer than the buffer holds, or unusable: the settings must then stay at their defaults, and no data
// file is looked for in the current directory, which is still wherever the program was started.
bool enterWindowsDirectory(const char* windowsDir, size_t length, size_t capacity);
// Before a save: creates the Windows directory that start-up found missing, with every missing folder
// above it, owner-only, and makes it current. True when there was nothing to do or it was done; false
// with the path and the reason on stderr, always so for a directory longer than the buffer or unusable.
bool createMissingWindowsDirectory();

}  // namespace platform
