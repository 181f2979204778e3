// setup/install_script.cpp -- choosing the script's name and reading it: two lines, then the record machine.
#include "setup/install_script.h"

#include <cstdio>

#include "platform/paths.h"
#include "platform/regular_file.h"

namespace setup {

namespace {

constexpr uint32_t kNt4VersionA = 0x00040004u;
constexpr uint32_t kNt4VersionB = 0x00040000u;

// The script is a text file: a CR LF pair reads as one LF, as a text-mode stream would deliver it.
struct TextReader {
    const char* bytes;
    size_t size;
    size_t at;
};

bool atEnd(const TextReader& reader)
{
    return reader.at >= reader.size;
}

char nextChar(TextReader& reader)
{
    char c = reader.bytes[reader.at++];
    if (c == '\r' && reader.at < reader.size && reader.bytes[reader.at] == '\n') {
        ++reader.at;
        return '\n';
    }
    return c;
}

// One header line: everything up to the LF is consumed; the text kept ends at the first CR or LF.
std::string readHeaderLine(TextReader& reader)
{
    std::string text;
    bool cut = false;
    while (!atEnd(reader)) {
        char c = nextChar(reader);
        if (c == '\n') break;
        if (c == '\r') cut = true;
        if (!cut) text += c;
    }
    return text;
}

// A record's text: every character up to the next CR or LF, which is consumed, or up to the end.
// Returns false as soon as the text grows past `limit`.
bool readRecordText(TextReader& reader, size_t limit, std::string& text)
{
    text.clear();
    while (!atEnd(reader)) {
        char c = nextChar(reader);
        if (c == '\r' || c == '\n') break;
        if (text.size() == limit) return false;
        text += c;
    }
    return true;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The usual decimal rule (blanks, one sign, digits up to the first non-digit), held inside 32 bits.
int32_t decimalValue(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    constexpr int64_t kLimit = int64_t(INT32_MAX) + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kLimit) value = kLimit;
    }
    if (negative) return value >= kLimit ? INT32_MIN : int32_t(-value);
    return value >= kLimit ? INT32_MAX : int32_t(value);
}

enum RecordState { kOutside = 0, kPercentSeen = 1, kDirectory = 2, kSource = 3, kDestination = 4, kDiskChange = 5 };

RecordState recordFor(char letter)
{
    switch (letter) {
    case 'D': return kDirectory;
    case 'R': return kSource;
    case 'W': return kDestination;
    case 'C': return kDiskChange;
    default: return kPercentSeen;
    }
}

// Applies one record; false when the script outgrows a table.
bool applyRecord(RecordState record, const std::string& text, std::string& pendingSource,
                 InstallScript& script)
{
    switch (record) {
    case kDirectory:
        if (script.directories.size() == kMaxDirectories) return false;
        script.directories.push_back(text);
        return true;
    case kSource:
        pendingSource = text;
        return true;
    case kDestination:
        if (script.files.size() == kMaxFiles) return false;
        script.files.push_back(FileEntry{pendingSource, text});
        pendingSource.clear();
        return true;
    case kDiskChange:
        if (text.size() > kMaxLabel || script.diskPrompts.size() == kMaxDiskPrompts) return false;
        script.diskPrompts.push_back(DiskPrompt{int(script.files.size()), text});
        return true;
    default:
        return true;
    }
}

}  // namespace

const char* installScriptName(uint32_t osVersion)
{
    return osVersion == kNt4VersionA || osVersion == kNt4VersionB ? "setupNT.xdt" : "setup.xdt";
}

ScriptResult parseInstallScript(const char* bytes, size_t size, InstallScript& script)
{
    script = InstallScript();
    TextReader reader{bytes, size, 0};
    script.productName = readHeaderLine(reader);
    // The name goes into install.log NUL-ended: an embedded NUL would split it there.
    if (script.productName.size() > kMaxProductName ||
        script.productName.find('\0') != std::string::npos)
        return ScriptResult::OutsideFormat;
    script.totalBytes = decimalValue(readHeaderLine(reader));

    RecordState state = kOutside;
    std::string pendingSource;
    std::string text;
    while (!atEnd(reader)) {
        char c = nextChar(reader);
        if (c == '%') {
            state = kPercentSeen;
            continue;
        }
        if (state != kPercentSeen) continue;
        state = recordFor(c);
        if (state == kPercentSeen) continue;
        if (!readRecordText(reader, kMaxName, text)) return ScriptResult::OutsideFormat;
        if (!applyRecord(state, text, pendingSource, script)) return ScriptResult::OutsideFormat;
        state = kOutside;
    }
    return ScriptResult::Ok;
}

ScriptResult readInstallScript(const char* path, InstallScript& script)
{
    script = InstallScript();
    std::string bytes;
    platform::FileCheck check = platform::readRegularFile(platform::resolvePath(path), kMaxScriptBytes, &bytes);
    if (check == platform::FileCheck::TooLarge)
        std::fprintf(stderr, "setup: %s is larger than %zu MiB\n", path, kMaxScriptBytes >> 20);
    else if (check == platform::FileCheck::NotRegular)
        std::fprintf(stderr, "setup: %s is not a regular file\n", path);
    if (check != platform::FileCheck::Ok) return ScriptResult::CannotOpen;
    return parseInstallScript(bytes.data(), bytes.size(), script);
}

}  // namespace setup
