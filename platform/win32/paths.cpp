// platform/win32/paths.cpp -- the programs' backslash paths are the system's own: Windows folds case itself.
#include "platform/paths.h"

#include <windows.h>

namespace platform {

std::string resolvePath(const std::string& windowsPath)
{
    return windowsPath;
}

std::FILE* openFile(const char* windowsPath, const char* mode)
{
    return std::fopen(windowsPath, mode);
}

bool fileExists(const char* windowsPath)
{
    DWORD attributes = GetFileAttributesA(windowsPath);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool isDirectory(const char* windowsPath)
{
    DWORD attributes = GetFileAttributesA(windowsPath);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool createDirectory(const char* windowsPath)
{
    return CreateDirectoryA(windowsPath, nullptr) != 0;
}

bool setCurrentDirectory(const char* windowsPath)
{
    return SetCurrentDirectoryA(windowsPath) != 0;
}

std::string currentDirectory()
{
    char buffer[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    if (length == 0 || length >= sizeof buffer) return std::string();
    return std::string(buffer, length);
}

namespace {

std::wstring wideFrom(UINT codePage, DWORD flags, const std::string& text)
{
    int size = static_cast<int>(text.size());
    int length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), size, &wide[0], length);
    return wide;
}

}  // namespace

std::string textFromPath(const std::string& path)
{
    std::wstring wide = wideFrom(CP_ACP, 0, path);
    int size = static_cast<int>(wide.size());
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, &text[0], length, nullptr, nullptr);
    return text;
}

std::string pathFromText(const std::string& text)
{
    std::wstring wide = wideFrom(CP_UTF8, MB_ERR_INVALID_CHARS, text);
    if (wide.empty()) return std::string();
    int size = static_cast<int>(wide.size());
    // No best fit: "ł" must not quietly become "l" and name another folder.
    BOOL lossy = FALSE;
    int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, nullptr, &lossy);
    if (length <= 0 || lossy) return std::string();
    std::string path(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, &path[0], length, nullptr, nullptr);
    return path;
}

}  // namespace platform
