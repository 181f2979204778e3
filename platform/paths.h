// platform/paths.h -- Windows-style paths, on Windows (win32/: the system's own) and on a Linux file system.
//
// The programs write every path with backslashes ("Orvask\\Tockwheel.ini"). Windows file names are
// case-insensitive, so on Linux (posix/) each component is matched case-insensitively when the exact name
// does not exist: the installer creates "orvask", the saver reads "Orvask". A name that matches nothing is
// kept as written, so a new file is created in an existing directory whatever that directory's case.
#pragma once

#include <cstdio>
#include <string>

namespace platform {

std::string resolvePath(const std::string& windowsPath);

std::FILE* openFile(const char* windowsPath, const char* mode);
bool fileExists(const char* windowsPath);        // a regular file
bool isDirectory(const char* windowsPath);
bool createDirectory(const char* windowsPath);   // one level, like CreateDirectory
bool setCurrentDirectory(const char* windowsPath);
std::string currentDirectory();

}  // namespace platform
