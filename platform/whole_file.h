// platform/whole_file.h -- a file replaced whole: readers see the old bytes or the new ones, never a part.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// Writes `size` bytes to a temporary file beside `windowsPath`, makes sure they reached the disk, then
// puts that file in the old one's place in one step. A missing folder is made first (its owner's alone
// where the system has owners), and the file is readable by its owner only: it may hold a password.
// False with "<absolute path>: <cause>" in *failure; the old file is then untouched.
bool replaceFileWhole(const char* windowsPath, const void* data, size_t size, std::string* failure);

}  // namespace platform
