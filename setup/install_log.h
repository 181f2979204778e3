// setup/install_log.h -- "install.log": the products installed into the shared folder.
//
// Layout, raw bytes: a signed 32-bit little-endian count, then that many names, each at most 19 bytes
// followed by one 0x00 byte. No header beyond the count, no padding, no line ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace setup {

constexpr char kLogFileName[] = "install.log";
// Far more than any log of product names; a larger file is not walked, and the log cannot be recorded.
constexpr size_t kMaxLogBytes = size_t(16) << 20;

enum class LogChange {
    None,      // the product is already listed: the file stays byte for byte as it is
    Append,    // write `count` over the first four bytes and append `bytes` at the end
    Rewrite,   // the file was not a well-formed log: replace its whole content with `bytes`
};

struct LogUpdate {
    LogChange change = LogChange::None;
    int32_t count = 0;     // the new count, for Append
    std::string bytes;     // what to append, or the whole new file for Rewrite
};

// Decides how a log holding `log` (its whole content) must change to list `product`. A log that cannot
// be walked as written (short count field, negative count, names missing or without their 0x00, bytes
// after the last name) is rebuilt from the names it does hold, so it never grows garbage.
LogUpdate planLogUpdate(const unsigned char* log, size_t size, const std::string& product);

// The bytes of a fresh log listing `product` alone.
std::string newLogBytes(const std::string& product);

enum class LogResult { Ok, CannotCreate };

// Records `product` in "install.log" of the shared folder `sharedFolder` (a Windows-style path). The
// current directory is the same afterwards as before, on success and on failure alike. A log that is not
// a regular file, or is larger than kMaxLogBytes, cannot be recorded; a missing one is created, never
// through a link at its name.
LogResult recordProduct(const std::string& sharedFolder, const std::string& product);

}  // namespace setup
