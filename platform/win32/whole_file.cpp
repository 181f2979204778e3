// platform/win32/whole_file.cpp -- a temporary file beside the old one, flushed, then MoveFileExA over it.
#include "platform/whole_file.h"

#include <windows.h>

#include <cstdio>

#include "platform/paths.h"

namespace platform {

namespace {

std::string folderOf(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string absolutePath(const std::string& path)
{
    char buffer[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return length == 0 || length >= sizeof buffer ? path : std::string(buffer, length);
}

bool fail(const std::string& target, DWORD error, std::string* failure)
{
    char text[256] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                  text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == '.'))
        text[--length] = '\0';
    char code[32];
    std::snprintf(code, sizeof code, "error %lu", static_cast<unsigned long>(error));
    *failure = absolutePath(target) + ": " + (length > 0 ? text : code);
    return false;
}

bool writeAll(HANDLE file, const unsigned char* data, size_t size)
{
    while (size > 0) {
        DWORD chunk = size > 0x10000000u ? 0x10000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, data, chunk, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

}  // namespace

bool replaceFileWhole(const char* windowsPath, const void* data, size_t size, std::string* failure)
{
    std::string target = windowsPath;
    std::string folder = folderOf(target);
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return fail(target, GetLastError(), failure);
    char temporary[MAX_PATH];
    if (!GetTempFileNameA(folder.c_str(), "Tw", 0, temporary)) return fail(target, GetLastError(), failure);
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        DeleteFileA(temporary);
        return fail(target, error, failure);
    }
    bool written = writeAll(file, static_cast<const unsigned char*>(data), size) && FlushFileBuffers(file);
    DWORD error = written ? 0 : GetLastError();
    if (!CloseHandle(file) && written) {
        written = false;
        error = GetLastError();
    }
    if (written && !MoveFileExA(temporary, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        written = false;
        error = GetLastError();
    }
    if (!written) {
        DeleteFileA(temporary);
        return fail(target, error, failure);
    }
    return true;
}

}  // namespace platform
