// platform/windows_dir.h -- the Windows directory: $WINDIR, else ${XDG_DATA_HOME:-~/.local/share}/tockwheel.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

std::string windowsDirectory();
// Like GetWindowsDirectoryA: copies at most size - 1 characters and a NUL; returns the full length,
// which is size or more when the buffer was too small (the text is then cut).
size_t getWindowsDirectory(char* buffer, size_t size);

}  // namespace platform
