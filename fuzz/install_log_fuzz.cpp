// fuzz/install_log_fuzz.cpp -- feeds arbitrary logs and product names to the log planner and checks the
// log it leaves: well formed, listing the product once more at most, keeping every name it held, and
// left alone by a second install of the same product.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "setup/install_log.h"
#include "setup/install_script.h"

namespace {

constexpr size_t kCountBytes = 4;

void require(bool condition)
{
    if (!condition) std::abort();
}

int32_t countOf(const std::string& log)
{
    uint32_t value = 0;
    for (size_t i = 0; i < kCountBytes; ++i) value |= uint32_t(uint8_t(log[i])) << (8 * i);
    return int32_t(value);
}

// The names a log holds, walked from the first name while each ends with its 0x00 in time.
std::vector<std::string> walkNames(const std::string& log, size_t& end)
{
    std::vector<std::string> names;
    end = kCountBytes;
    if (log.size() < kCountBytes) return names;
    for (;;) {
        size_t zero = log.find('\0', end);
        if (zero == std::string::npos || zero - end > setup::kMaxProductName) break;
        names.push_back(log.substr(end, zero - end));
        end = zero + 1;
    }
    return names;
}

bool wellFormed(const std::string& log, std::vector<std::string>& names)
{
    size_t end = 0;
    names = walkNames(log, end);
    return log.size() >= kCountBytes && countOf(log) >= 0 && size_t(countOf(log)) == names.size() &&
           end == log.size();
}

std::string applied(const std::string& log, const setup::LogUpdate& update)
{
    switch (update.change) {
    case setup::LogChange::None:
        return log;
    case setup::LogChange::Append: {
        require(log.size() >= kCountBytes);
        std::string result = log;
        for (size_t i = 0; i < kCountBytes; ++i) result[i] = char((uint32_t(update.count) >> (8 * i)) & 0xFF);
        return result + update.bytes;
    }
    case setup::LogChange::Rewrite:
        return update.bytes;
    }
    std::abort();
}

setup::LogUpdate plan(const std::string& log, const std::string& product)
{
    return setup::planLogUpdate(reinterpret_cast<const unsigned char*>(log.data()), log.size(), product);
}

}  // namespace

// Input: one byte giving the product name's length, the name (an installer never takes a NUL into
// it), then the log's bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    size_t nameLength = std::min(size_t(data[0]) % (setup::kMaxProductName + 1), size - 1);
    std::string product(reinterpret_cast<const char*>(data + 1), nameLength);
    for (char& c : product)
        if (c == '\0') c = '_';
    std::string log(reinterpret_cast<const char*>(data + 1 + nameLength), size - 1 - nameLength);

    size_t end = 0;
    std::vector<std::string> before = walkNames(log, end);
    setup::LogUpdate update = plan(log, product);
    std::string after = applied(log, update);
    std::vector<std::string> names;
    if (update.change == setup::LogChange::None) {
        bool listed = false;
        for (const std::string& name : before) listed = listed || name == product;
        require(listed);
        return 0;
    }
    require(wellFormed(after, names));
    require(!names.empty() && names.back() == product);
    // Every name the old log held stays, in its order, ahead of the new one.
    require(names.size() >= 1 && names.size() - 1 <= before.size());
    for (size_t i = 0; i + 1 < names.size(); ++i) require(names[i] == before[i]);
    if (update.change == setup::LogChange::Append) require(after.size() == log.size() + product.size() + 1);
    require(plan(after, product).change == setup::LogChange::None);
    return 0;
}
