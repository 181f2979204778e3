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
// Start-up could not make the Windows directory current: a new user's has not been made yet. Nothing is
// created then (a saver run writes nothing); the first save creates it.
void noteMissingWindowsDirectory(const char* windowsDir);
// Before a save: creates the noted Windows directory with every missing folder above it, owner-only, and
// makes it current. True when there was nothing to do or it was done; false with the reason on stderr.
bool createMissingWindowsDirectory();

}  // namespace platform
