// fuzz/install_script_fuzz.cpp -- feeds arbitrary bytes to the install script reader and checks that
// what it accepts stays within the installer's capacities, reads the same with CR LF line ends, and
// reads back unchanged when written out again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "setup/install_script.h"

namespace {

void require(bool condition)
{
    if (!condition) std::abort();
}

bool sameScript(const setup::InstallScript& a, const setup::InstallScript& b)
{
    if (a.productName != b.productName || a.totalBytes != b.totalBytes || a.directories != b.directories ||
        a.files.size() != b.files.size() || a.diskPrompts.size() != b.diskPrompts.size())
        return false;
    for (size_t i = 0; i < a.files.size(); ++i)
        if (a.files[i].source != b.files[i].source || a.files[i].destination != b.files[i].destination) return false;
    for (size_t i = 0; i < a.diskPrompts.size(); ++i)
        if (a.diskPrompts[i].fileIndex != b.diskPrompts[i].fileIndex || a.diskPrompts[i].label != b.diskPrompts[i].label)
            return false;
    return true;
}

bool holdsLineEnd(const std::string& text)
{
    return text.find('\n') != std::string::npos || text.find('\r') != std::string::npos;
}

void checkCapacities(const setup::InstallScript& script)
{
    require(script.productName.size() <= setup::kMaxProductName);
    require(script.productName.find('\0') == std::string::npos && !holdsLineEnd(script.productName));
    require(script.directories.size() <= setup::kMaxDirectories && script.files.size() <= setup::kMaxFiles);
    require(script.diskPrompts.size() <= setup::kMaxDiskPrompts);
    for (const std::string& name : script.directories) require(name.size() <= setup::kMaxName && !holdsLineEnd(name));
    for (const setup::FileEntry& file : script.files) {
        require(file.source.size() <= setup::kMaxName && !holdsLineEnd(file.source));
        require(file.destination.size() <= setup::kMaxName && !holdsLineEnd(file.destination));
    }
    int previous = 0;
    for (const setup::DiskPrompt& prompt : script.diskPrompts) {
        require(prompt.fileIndex >= previous && prompt.fileIndex <= int(script.files.size()));
        require(prompt.label.size() <= setup::kMaxLabel && !holdsLineEnd(prompt.label));
        previous = prompt.fileIndex;
    }
}

// The script as an installer author would write it: the two header lines, the directories, then the
// files with each disk prompt before the file it precedes.
std::string writeScript(const setup::InstallScript& script)
{
    std::string text = script.productName + "\n" + std::to_string(script.totalBytes) + "\n";
    for (const std::string& name : script.directories) text += "%D" + name + "\n";
    size_t prompt = 0;
    for (size_t i = 0; i <= script.files.size(); ++i) {
        for (; prompt < script.diskPrompts.size() && script.diskPrompts[prompt].fileIndex == int(i); ++prompt)
            text += "%C" + script.diskPrompts[prompt].label + "\n";
        if (i == script.files.size()) break;
        text += "%R" + script.files[i].source + "\n%W" + script.files[i].destination + "\n";
    }
    return text;
}

std::string withCrLf(const char* bytes, size_t size)
{
    std::string text;
    for (size_t i = 0; i < size; ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) text += '\r';
        text += bytes[i];
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The installer refuses a larger file before reading it: no such input reaches the parser.
    if (size > setup::kMaxScriptBytes) return 0;
    const char* bytes = reinterpret_cast<const char*>(data);
    setup::InstallScript script;
    setup::ScriptResult result = setup::parseInstallScript(bytes, size, script);
    require(result == setup::ScriptResult::Ok || result == setup::ScriptResult::OutsideFormat);

    std::string crlf = withCrLf(bytes, size);
    setup::InstallScript again;
    require(setup::parseInstallScript(crlf.data(), crlf.size(), again) == result);
    if (result != setup::ScriptResult::Ok) return 0;
    require(sameScript(script, again));
    checkCapacities(script);

    // A script within every capacity always fits the reader's size limit, commentary aside.
    std::string written = writeScript(script);
    require(written.size() <= setup::kMaxScriptBytes);
    setup::InstallScript reread;
    require(setup::parseInstallScript(written.data(), written.size(), reread) == setup::ScriptResult::Ok);
    require(sameScript(script, reread));
    return 0;
}
