// setup/win32/destination_file.cpp -- destinations opened for writing; replacements through an exclusive
// temporary put into place with MoveFileExA.
#include "setup/destination_file.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <aclapi.h>

#include <atomic>
#include <csignal>
#include <cstring>

#include "platform/stop_signals.h"
#include "setup/install_paths.h"

namespace setup {

namespace {

// One short fixed name per folder, as on every system: what an interrupted run left is replaced next time.
constexpr char kTemporaryName[] = ".setup-partial";
constexpr char kTemporaryNameForItself[] = ".setup-partial-2";
// The attributes a replaced file keeps; read-only never gets this far (it cannot be opened for writing).
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

// The temporary's path for the stop clean-up, which may only read it once it is whole.
char gTemporaryPath[MAX_PATH];
volatile std::sig_atomic_t gTemporaryArmed = 0;

void armTemporary(const std::string& path)
{
    gTemporaryArmed = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    if (path.size() >= sizeof gTemporaryPath) return;
    std::memcpy(gTemporaryPath, path.c_str(), path.size() + 1);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    gTemporaryArmed = 1;
}

void disarmTemporary()
{
    gTemporaryArmed = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
}

void removeArmedTemporary()
{
    if (gTemporaryArmed) DeleteFileA(gTemporaryPath);
}

std::FILE* streamFor(HANDLE file)
{
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_BINARY | _O_WRONLY);
    if (fd < 0) {
        CloseHandle(file);
        return nullptr;
    }
    std::FILE* stream = _fdopen(fd, "wb");
    if (!stream) _close(fd);
    return stream;
}

// Opened by the name itself: a junction or symbolic link planted there is never followed.
HANDLE openForWriting(const std::string& path, DWORD disposition)
{
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

std::string folderOf(const std::string& path)
{
    size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? "." : path.substr(0, cut);
}

std::string nameOf(const std::string& path)
{
    size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::FILE* openReplacement(const std::string& path, DWORD attributes, ReplacedFile& replaced)
{
    // Opening it for writing, without truncating, is the proof that it may be replaced (a read-only file,
    // or one another program holds, may not). Windows will not move a file over one held open: it closes.
    HANDLE proof = openForWriting(path, OPEN_EXISTING);
    if (proof == INVALID_HANDLE_VALUE) return nullptr;
    CloseHandle(proof);
    std::string name = nameOf(path) == kTemporaryName ? kTemporaryNameForItself : kTemporaryName;
    std::string temporary = folderOf(path) + "\\" + name;
    DeleteFileA(temporary.c_str());   // a leftover of an interrupted run; a link there goes, not its target
    armTemporary(temporary);
    HANDLE made = openForWriting(temporary, CREATE_NEW);
    if (made == INVALID_HANDLE_VALUE) {
        // No file can be made beside it: it is written in place.
        disarmTemporary();
        return streamFor(openForWriting(path, TRUNCATE_EXISTING));
    }
    replaced.installedPath = path;
    replaced.temporaryPath = temporary;
    replaced.attributes = attributes & kKeptAttributes;
    std::FILE* stream = streamFor(made);
    if (!stream) dropReplacedFile(replaced);
    return stream;
}

}  // namespace

std::FILE* openDestinationFile(const std::string& windowsDirectory, const std::string& entry, ReplacedFile& replaced)
{
    dropReplacedFile(replaced);
    if (!staysInsideWindowsDirectory(windowsDirectory, entry)) return nullptr;
    std::string path = windowsDirectory + entry;
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) return nullptr;
        // Shared for deletion, so that a copy that fails can remove it before its stream is closed.
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        std::FILE* made = streamFor(file);
        if (made) replaced.createdPath = path;
        return made;
    }
    // A folder is no file, and a link at the destination is not written through.
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) return nullptr;
    return openReplacement(path, attributes, replaced);
}

// The stream of the temporary closed cleanly: its bytes reach the disk, then it takes the old file's name in
// one step, so a crash leaves one or the other.
bool installReplacedFile(ReplacedFile& replaced, char*, size_t)
{
    if (replaced.installedPath.empty()) return true;
    HANDLE temporary = CreateFileA(replaced.temporaryPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    bool whole = temporary != INVALID_HANDLE_VALUE && FlushFileBuffers(temporary);
    if (temporary != INVALID_HANDLE_VALUE) CloseHandle(temporary);
    bool installed = whole && MoveFileExA(replaced.temporaryPath.c_str(), replaced.installedPath.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (installed) {
        if (replaced.attributes) SetFileAttributesA(replaced.installedPath.c_str(), replaced.attributes);
        replaced.temporaryPath.clear();   // it is the installed file now
    }
    dropReplacedFile(replaced);
    return installed;
}

void dropReplacedFile(ReplacedFile& replaced)
{
    if (!replaced.temporaryPath.empty()) DeleteFileA(replaced.temporaryPath.c_str());
    disarmTemporary();
    replaced = ReplacedFile();
}

// A file deleted while open goes when its last handle closes, which the failed copy does next.
void removeUnfinishedNewFile(ReplacedFile& replaced)
{
    if (!replaced.createdPath.empty()) DeleteFileA(replaced.createdPath.c_str());
    replaced.createdPath.clear();
}

// A program runs by its name and a new file takes its folder's rights: there are no bits to carry.
void setInstalledPermissions(std::FILE*, std::FILE*, ReplacedFile&) {}

// The built-in Users group may change what is in the folder (the saver's settings file is replaced whole,
// so creating and deleting files there is needed too), and so may it in every folder and file made below.
void shareFolderWithUsers(const std::string& folder)
{
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID users = nullptr;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS, 0, 0, 0, 0,
                                  0, 0, &users))
        return;
    EXPLICIT_ACCESSA access = {};
    access.grfAccessPermissions = FILE_GENERIC_READ | FILE_GENERIC_WRITE | FILE_GENERIC_EXECUTE | DELETE;
    access.grfAccessMode = GRANT_ACCESS;
    access.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
    access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    access.Trustee.ptstrName = static_cast<LPSTR>(users);
    PACL oldAcl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    std::string path = folder;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &oldAcl,
                              nullptr, &descriptor) == ERROR_SUCCESS) {
        PACL newAcl = nullptr;
        if (SetEntriesInAclA(1, &access, oldAcl, &newAcl) == ERROR_SUCCESS) {
            SetNamedSecurityInfoA(&path[0], SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, newAcl,
                                  nullptr);
            LocalFree(newAcl);
        }
        LocalFree(descriptor);
    }
    FreeSid(users);
}

void removeTemporaryOnSignals()
{
    platform::catchStopSignals();
    platform::setStopCleanUp(removeArmedTemporary);
}

}  // namespace setup
