// setup/win32/install_disk.cpp -- the distribution disk is the folder setup.exe is started in: Windows
// installs nothing of Tockwheel's beside a program, so there is no other disk to fall back on.
#include "setup/install_disk.h"

#include <windows.h>

#include <cstdio>

namespace setup {

bool findInstallDisk(const char* scriptName)
{
    DWORD attributes = GetFileAttributesA(scriptName);
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
    char here[MAX_PATH] = ".";
    GetCurrentDirectoryA(sizeof here, here);
    std::fprintf(stderr, "setup: no %s in %s\n", scriptName, here);
    return false;
}

}  // namespace setup
