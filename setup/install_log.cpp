// setup/install_log.cpp -- reading, planning and writing the log of installed products.
#include "setup/install_log.h"

#include <unistd.h>

#include <cstdio>
#include <vector>

#include "platform/paths.h"
#include "platform/regular_file.h"
#include "setup/install_script.h"

namespace setup {

namespace {

constexpr size_t kCountBytes = 4;

int32_t readCount(const unsigned char* log)
{
    uint32_t value = uint32_t(log[0]) | uint32_t(log[1]) << 8 | uint32_t(log[2]) << 16 | uint32_t(log[3]) << 24;
    return int32_t(value);
}

std::string countBytes(int32_t count)
{
    uint32_t value = uint32_t(count);
    std::string bytes(kCountBytes, '\0');
    for (size_t i = 0; i < kCountBytes; ++i) bytes[i] = char((value >> (8 * i)) & 0xFF);
    return bytes;
}

// The next name at `at`: up to 19 bytes and its 0x00. A 19-byte name keeps its 0x00, so it is not
// taken for an empty name of its own. False when no 0x00 ends the name in time.
bool nextName(const unsigned char* log, size_t size, size_t& at, std::string& name)
{
    size_t end = at;
    while (end < size && end - at < kMaxProductName && log[end] != 0) ++end;
    if (end >= size || log[end] != 0) return false;
    name.assign(reinterpret_cast<const char*>(log + at), end - at);
    at = end + 1;
    return true;
}

// Every complete name from the start of the names up to `limit` names (or all, when limit < 0); `at`
// ends past the last one read.
std::vector<std::string> readNames(const unsigned char* log, size_t size, int64_t limit, size_t& at)
{
    std::vector<std::string> names;
    at = kCountBytes;
    std::string name;
    while ((limit < 0 || int64_t(names.size()) < limit) && nextName(log, size, at, name))
        names.push_back(name);
    return names;
}

bool listed(const std::vector<std::string>& names, const std::string& product)
{
    for (const std::string& name : names)
        if (name == product) return true;
    return false;
}

std::string nameBytes(const std::string& name)
{
    return name + '\0';
}

bool readWhole(std::FILE* file, std::vector<unsigned char>& bytes)
{
    unsigned char block[4096];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
        if (bytes.size() + got > kMaxLogBytes) return false;
        bytes.insert(bytes.end(), block, block + got);
    }
    return !std::ferror(file);
}

bool writeAt(std::FILE* file, long offset, int whence, const std::string& bytes)
{
    return std::fseek(file, offset, whence) == 0 &&
           std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

bool applyUpdate(std::FILE* file, const LogUpdate& update)
{
    switch (update.change) {
    case LogChange::None:
        return true;
    case LogChange::Append:
        return writeAt(file, 0, SEEK_SET, countBytes(update.count)) && writeAt(file, 0, SEEK_END, update.bytes);
    case LogChange::Rewrite:
        return writeAt(file, 0, SEEK_SET, update.bytes) && std::fflush(file) == 0 &&
               ::ftruncate(::fileno(file), off_t(update.bytes.size())) == 0;
    }
    return false;
}

LogResult updateLogHere(const std::string& product)
{
    std::string path = platform::resolvePath(kLogFileName);
    // A FIFO or device at the log's name is never opened: reading it would wait, or never end.
    platform::FileCheck check = platform::FileCheck::Ok;
    std::FILE* file = platform::openRegularFile(path, "r+b", &check);
    if (!file && check != platform::FileCheck::Missing) return LogResult::CannotCreate;
    if (file) {
        std::vector<unsigned char> bytes;
        bool ok = readWhole(file, bytes);
        if (ok) ok = applyUpdate(file, planLogUpdate(bytes.data(), bytes.size(), product));
        if (std::fclose(file) != 0) ok = false;
        return ok ? LogResult::Ok : LogResult::CannotCreate;
    }
    file = platform::createNewFile(path);
    if (!file) return LogResult::CannotCreate;
    std::string fresh = newLogBytes(product);
    bool ok = std::fwrite(fresh.data(), 1, fresh.size(), file) == fresh.size();
    if (std::fclose(file) != 0) ok = false;
    return ok ? LogResult::Ok : LogResult::CannotCreate;
}

}  // namespace

std::string newLogBytes(const std::string& product)
{
    return countBytes(1) + nameBytes(product);
}

LogUpdate planLogUpdate(const unsigned char* log, size_t size, const std::string& product)
{
    LogUpdate update;
    if (size >= kCountBytes) {
        int32_t count = readCount(log);
        size_t end = 0;
        std::vector<std::string> names = readNames(log, size, count < 0 ? 0 : count, end);
        bool wellFormed = count >= 0 && int64_t(names.size()) == count && end == size && count < INT32_MAX;
        if (wellFormed) {
            if (listed(names, product)) return update;
            update.change = LogChange::Append;
            update.count = count + 1;
            update.bytes = nameBytes(product);
            return update;
        }
    }
    // Not a log we can extend in place: keep the names it does hold and list the product after them.
    size_t end = 0;
    std::vector<std::string> names;
    if (size >= kCountBytes) names = readNames(log, size, -1, end);
    if (listed(names, product)) return update;
    update.change = LogChange::Rewrite;
    update.count = int32_t(names.size() + 1);
    update.bytes = countBytes(update.count);
    for (const std::string& name : names) update.bytes += nameBytes(name);
    update.bytes += nameBytes(product);
    return update;
}

LogResult recordProduct(const std::string& sharedFolder, const std::string& product)
{
    std::string startDirectory = platform::currentDirectory();
    // Without the shared folder the log would land on the distribution disk; count that as failing to
    // create it.
    if (!platform::setCurrentDirectory(sharedFolder.c_str())) return LogResult::CannotCreate;
    LogResult result = updateLogHere(product);
    // The start directory is a real path, not a Windows one: a backslash in it is part of a name.
    if (::chdir(startDirectory.c_str()) != 0) result = LogResult::CannotCreate;
    return result;
}

}  // namespace setup
