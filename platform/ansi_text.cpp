// platform/ansi_text.cpp -- Windows-1252 beside UTF-8: bytes below 0x80 and from 0xA0 are the code points
// of the same value; 0x80 to 0x9F hold the typographic marks of the table below.
#include "platform/ansi_text.h"

namespace platform {

namespace {

constexpr unsigned char kFirstTableByte = 0x80;
constexpr unsigned char kFirstLatin1Byte = 0xA0;

// 0x80 .. 0x9F; 0 for a byte the code page leaves undefined.
constexpr uint16_t kHighTable[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,   // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,        // 88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,   // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,   // 98
};

size_t utf8Length(uint32_t codePoint)
{
    return codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
}

void encodeUtf8(uint32_t codePoint, char* out)
{
    size_t length = utf8Length(codePoint);
    if (length == 1) {
        out[0] = static_cast<char>(codePoint);
        return;
    }
    static const unsigned char kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};
    for (size_t i = length - 1; i > 0; --i) {
        out[i] = static_cast<char>(0x80 | (codePoint & 0x3F));
        codePoint >>= 6;
    }
    out[0] = static_cast<char>(kLead[length] | codePoint);
}

}  // namespace

uint32_t ansiToUnicode(unsigned char c)
{
    if (c < kFirstTableByte || c >= kFirstLatin1Byte) return c;
    uint16_t code = kHighTable[c - kFirstTableByte];
    return code ? code : kNoCodePoint;
}

int unicodeToAnsi(uint32_t codePoint)
{
    if (codePoint < kFirstTableByte || (codePoint >= kFirstLatin1Byte && codePoint <= 0xFF))
        return static_cast<int>(codePoint);
    for (int i = 0; i < 32; ++i)
        if (kHighTable[i] != 0 && kHighTable[i] == codePoint) return kFirstTableByte + i;
    return -1;
}

size_t decodeUtf8(const char* text, uint32_t* codePoint)
{
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    *codePoint = kNoCodePoint;
    if (s[0] == 0) return 0;
    if (s[0] < 0x80) {
        *codePoint = s[0];
        return 1;
    }
    size_t length = (s[0] & 0xE0) == 0xC0 ? 2 : (s[0] & 0xF0) == 0xE0 ? 3 : (s[0] & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0) return 1;
    uint32_t code = s[0] & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((s[i] & 0xC0) != 0x80) return 1;
        code = (code << 6) | (s[i] & 0x3F);
    }
    // Overlong forms and surrogates are not characters.
    if (utf8Length(code) != length || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 1;
    *codePoint = code;
    return length;
}

bool utf8ToAnsi(const char* utf8, char* out, size_t capacity)
{
    if (capacity == 0) return false;
    bool whole = true;
    size_t written = 0;
    uint32_t code = 0;
    for (size_t step; (step = decodeUtf8(utf8, &code)) > 0; utf8 += step) {
        int ansi = code == kNoCodePoint ? -1 : unicodeToAnsi(code);
        if (ansi < 0) whole = false;
        if (written + 1 < capacity) out[written++] = static_cast<char>(ansi < 0 ? '?' : ansi);
    }
    out[written] = '\0';
    return whole;
}

size_t ansiToUtf8(const char* ansi, char* out, size_t capacity)
{
    if (capacity == 0) return 0;
    size_t written = 0;
    for (const auto* s = reinterpret_cast<const unsigned char*>(ansi); *s; ++s) {
        uint32_t code = ansiToUnicode(*s);
        if (code == kNoCodePoint) continue;
        if (written + utf8Length(code) + 1 > capacity) break;
        encodeUtf8(code, out + written);
        written += utf8Length(code);
    }
    out[written] = '\0';
    return written;
}

}  // namespace platform
