// tests/win32/platform_win32_test.cpp -- the platform layer's Windows realisation, under Wine: the settings
// file replaced whole with MoveFileExA (and left as it was when that fails), the Windows directory and the
// command line as the system gives them, data found beside the program, secrets locked and wiped, only disk
// files opened and read within their limits, and a Windows directory the buffer cannot hold never entered.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/command_line.h"
#include "platform/paths.h"
#include "platform/regular_file.h"
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

TEST(Win32Platform, OnlyDiskFilesAreOpenedReadWithinTheirLimitAndNewFilesAreNeverOldOnes)
{
    using platform::FileCheck;
    std::string folder = freshFolder("tockwheel-regular-");
    std::string file = folder + "\\ten.txt";
    std::string failure;
    ASSERT_TRUE(platform::replaceFileWhole(file.c_str(), "0123456789", 10, &failure)) << failure;
    std::string bytes;
    EXPECT_EQ(platform::readRegularFile(file, 9, &bytes), FileCheck::TooLarge);
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(platform::readRegularFile(file, 10, &bytes), FileCheck::Ok);
    EXPECT_EQ(bytes, "0123456789");
    // A folder, a device and a missing name are no files to read, and a device is not even kept open.
    EXPECT_EQ(platform::readRegularFile(folder, 100, &bytes), FileCheck::NotRegular);
    EXPECT_EQ(platform::readRegularFile("NUL", 100, &bytes), FileCheck::NotRegular);
    FileCheck why = FileCheck::Ok;
    EXPECT_EQ(platform::openRegularFile("CONIN$", "rb", &why), nullptr);
    EXPECT_NE(why, FileCheck::Ok);
    EXPECT_EQ(platform::openRegularFile(folder + "\\none.txt", "rb", &why), nullptr);
    EXPECT_EQ(why, FileCheck::Missing);

    EXPECT_EQ(platform::checkWritableFile(file), FileCheck::Ok);
    EXPECT_EQ(platform::checkWritableFile(folder), FileCheck::NotRegular);
    EXPECT_EQ(platform::checkWritableFile(folder + "\\none.txt"), FileCheck::Missing);
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(platform::checkWritableFile(file), FileCheck::Denied);
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);

    EXPECT_EQ(platform::createNewFile(file), nullptr) << "an existing file was opened as a new one";
    EXPECT_EQ(readAll(file), "0123456789");
    DeleteFileA((folder + "\\new.txt").c_str());   // a rerun in the same prefix may find the last one's
    std::FILE* made = platform::createNewFile(folder + "\\new.txt");
    ASSERT_NE(made, nullptr);
    std::fputs("new", made);
    std::fclose(made);
    std::FILE* log = platform::openForWriting(folder + "\\new.txt", true);
    ASSERT_NE(log, nullptr);
    std::fputs(" line", log);
    std::fclose(log);
    EXPECT_EQ(readAll(folder + "\\new.txt"), "new line");
    log = platform::openForWriting(folder + "\\new.txt", false);
    ASSERT_NE(log, nullptr);
    std::fputs("x", log);
    std::fclose(log);
    EXPECT_EQ(readAll(folder + "\\new.txt"), "x");
}

// A path longer than the buffer is never cut into another folder's name, and a missing Windows directory
// leaves the settings where they are: nothing is read from the folder the program started in.
TEST(Win32Platform, AWindowsDirectoryThatCannotBeUsedIsNeverEntered)
{
    std::string start = freshFolder("tockwheel-start-");
    std::string failure;
    ASSERT_TRUE(platform::replaceFileWhole((start + "\\pass.pag").c_str(), "x", 1, &failure)) << failure;
    ASSERT_TRUE(platform::setCurrentDirectory(start.c_str()));
    char windows[MAX_PATH];
    size_t length = platform::getWindowsDirectory(windows, sizeof windows);
    EXPECT_FALSE(platform::enterWindowsDirectory(windows, length, length));   // one character too many
    EXPECT_EQ(platform::currentDirectory(), start);
    EXPECT_EQ(platform::findDataFile("pass.pag"), "");
    EXPECT_FALSE(platform::createMissingWindowsDirectory());

    std::string missing = start + "\\made\\later";
    RemoveDirectoryA(missing.c_str());   // a rerun in the same prefix may find the last one's
    RemoveDirectoryA((start + "\\made").c_str());
    EXPECT_FALSE(platform::enterWindowsDirectory(missing.c_str(), missing.size(), MAX_PATH));
    EXPECT_EQ(platform::currentDirectory(), start);
    EXPECT_EQ(platform::findDataFile("pass.pag"), "");
    // The first save makes it, and from then on it is the current folder.
    EXPECT_TRUE(platform::createMissingWindowsDirectory());
    EXPECT_EQ(platform::currentDirectory(), missing);

    EXPECT_TRUE(platform::enterWindowsDirectory(start.c_str(), start.size(), MAX_PATH));
    EXPECT_EQ(platform::findDataFile("pass.pag"), start + "\\pass.pag");
}

// The installer's path field holds UTF-8; the file calls take the ANSI code page. A name that code page
// cannot hold is no path at all, never a neighbour's ("l" for "ł").
TEST(Win32Platform, DialogTextBecomesAPathInTheAnsiCodePageOrNone)
{
    ASSERT_EQ(GetACP(), 1252u) << "the cases below are written for Windows-1252";
    EXPECT_EQ(platform::pathFromText("C:\\Caf\xc3\xa9"), "C:\\Caf\xe9");
    EXPECT_EQ(platform::textFromPath("C:\\Caf\xe9"), "C:\\Caf\xc3\xa9");
    EXPECT_EQ(platform::pathFromText("C:\\\xc5\x82\xc3\xb3" "d\xc5\xba"), "");
    EXPECT_EQ(platform::pathFromText("C:\\\xe9"), "");   // not UTF-8
    EXPECT_EQ(platform::pathFromText("C:\\windows"), "C:\\windows");
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
