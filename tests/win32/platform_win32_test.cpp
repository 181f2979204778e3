// tests/win32/platform_win32_test.cpp -- the platform layer's Windows realisation, under Wine: the settings
// file replaced whole with MoveFileExA (and left as it was when that fails), the Windows directory and the
// command line as the system gives them, data found beside the program, secrets locked and wiped.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/command_line.h"
#include "platform/paths.h"
#include "platform/secret_memory.h"
#include "platform/whole_file.h"
#include "platform/windows_dir.h"

namespace {

std::string readAll(const std::string& path)
{
    std::string text;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return "<missing>";
    char buffer[256];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    std::fclose(file);
    return text;
}

int filesIn(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++count;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

std::string freshFolder(const char* name)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + name + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

TEST(Win32Platform, TheFileIsReplacedWholeAndAFailedReplaceLeavesTheOldOneAndNoTemporary)
{
    std::string folder = freshFolder("tockwheel-whole-");
    std::string target = folder + "\\Orvask\\Tockwheel.ini";   // the folder is made on the way
    std::string failure;
    ASSERT_TRUE(platform::replaceFileWhole(target.c_str(), "first", 5, &failure)) << failure;
    ASSERT_TRUE(platform::replaceFileWhole(target.c_str(), "second!", 7, &failure)) << failure;
    EXPECT_EQ(readAll(target), "second!");
    EXPECT_EQ(filesIn(folder + "\\Orvask"), 1) << "a temporary file was left beside the settings";

    // A reader holding the file without sharing delete keeps MoveFileExA from replacing it.
    HANDLE held = CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(platform::replaceFileWhole(target.c_str(), "third", 5, &failure));
    CloseHandle(held);
    EXPECT_NE(failure.find("Tockwheel.ini: "), std::string::npos) << failure;
    EXPECT_EQ(readAll(target), "second!");
    EXPECT_EQ(filesIn(folder + "\\Orvask"), 1);
}

TEST(Win32Platform, WindowsDirectoryAndCommandLineAreTheSystems)
{
    char system[MAX_PATH];
    UINT length = GetWindowsDirectoryA(system, sizeof system);
    EXPECT_EQ(platform::windowsDirectory(), std::string(system, length));
    char small[4];
    EXPECT_EQ(platform::getWindowsDirectory(small, sizeof small), length);
    EXPECT_EQ(std::string(small), std::string(system, 3));

    platform::setCommandLine(0, nullptr);
    EXPECT_STREQ(platform::commandLine(), GetCommandLineA());
}

TEST(Win32Platform, DataFilesAreFoundInTheCurrentFolderThenBesideTheProgram)
{
    char program[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    std::string path(program, length);
    std::string name = path.substr(path.find_last_of("\\/") + 1);
    std::string previous = platform::currentDirectory();
    std::string elsewhere = freshFolder("tockwheel-data-");
    ASSERT_TRUE(platform::setCurrentDirectory(elsewhere.c_str()));
    EXPECT_EQ(platform::findDataFile(name), path);   // not here: beside the program
    EXPECT_EQ(platform::findDataFile("no-such-file.pag"), "");
    std::string failure;
    ASSERT_TRUE(platform::replaceFileWhole((elsewhere + "\\" + name).c_str(), "x", 1, &failure)) << failure;
    EXPECT_EQ(platform::findDataFile(name), elsewhere + "\\" + name);   // here first
    ASSERT_TRUE(platform::setCurrentDirectory(previous.c_str()));
}

TEST(Win32Platform, SecretsAreLockedInMemoryAndWiped)
{
    static char secret[64] = "the password";
    EXPECT_TRUE(platform::lockInMemory(secret, sizeof secret));
    platform::wipeSecret(secret, sizeof secret);
    for (char c : secret) EXPECT_EQ(c, 0);
    EXPECT_TRUE(platform::protectProcessMemory());
}

}  // namespace
