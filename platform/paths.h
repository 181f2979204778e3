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

// Dialog text is UTF-8 on every system; paths are what this system's file calls take: the same bytes on
// Linux, the ANSI code page of the ...A calls on Windows. pathFromText is empty when the text holds a
// character that code page lacks, so that no other file is named.
std::string textFromPath(const std::string& path);
std::string pathFromText(const std::string& text);

}  // namespace platform
