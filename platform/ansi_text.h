// platform/ansi_text.h -- the Windows ANSI code page (Windows-1252) beside the UTF-8 that toolkits and
// keyboards hand over: single characters and whole strings, both ways. No system calls: the Windows
// build shares it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

constexpr uint32_t kNoCodePoint = 0xFFFFFFFFu;

// The Unicode code point of an ANSI byte; kNoCodePoint for the five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
uint32_t ansiToUnicode(unsigned char c);
// The ANSI byte of a code point; -1 when the code page has no place for it.
int unicodeToAnsi(uint32_t codePoint);

// Decodes the UTF-8 character at `text` into `codePoint` and returns its length in bytes (0 at the end
// of the string); a malformed sequence gives one byte and kNoCodePoint.
size_t decodeUtf8(const char* text, uint32_t* codePoint);

// UTF-8 to ANSI, cut to `capacity` - 1 characters and zero-terminated. A character the code page cannot
// hold (or a malformed byte) becomes '?', and the answer is false.
bool utf8ToAnsi(const char* utf8, char* out, size_t capacity);
// ANSI to UTF-8, cut at a whole character to fit `capacity` - 1 bytes and zero-terminated; undefined
// bytes are left out. The number of bytes written.
size_t ansiToUtf8(const char* ansi, char* out, size_t capacity);

}  // namespace platform
