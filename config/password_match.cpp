// config/password_match.cpp -- the exact comparison, and the UTF-8 form that older settings files hold.
#include "config/password_match.h"

#include <cstring>

#include "config/settings.h"
#include "platform/ansi_text.h"
#include "platform/secret_memory.h"

namespace {

constexpr size_t kUtf8PerAnsi = 3;   // bytes the longest Windows-1252 character takes in UTF-8

bool hasNonAscii(const char* text)
{
    for (const char* c = text; *c; ++c)
        if (static_cast<unsigned char>(*c) >= 0x80) return true;
    return false;
}

}  // namespace

bool passwordMatches(const char* stored, const char* typed)
{
    // Bounded by the field's size, so a stored password without its zero byte cannot be overrun.
    if (std::strncmp(stored, typed, kPasswordCapacity) == 0) return true;
    if (!hasNonAscii(typed)) return false;
    char asUtf8[kPasswordCapacity * kUtf8PerAnsi];
    platform::ansiToUtf8(typed, asUtf8, sizeof asUtf8);
    // The dialog kept the first 43 bytes of what it read, as it keeps 43 characters now.
    asUtf8[kPasswordMaxLength] = '\0';
    bool same = std::strncmp(stored, asUtf8, kPasswordCapacity) == 0;
    platform::wipeSecret(asUtf8, sizeof asUtf8);
    return same;
}
