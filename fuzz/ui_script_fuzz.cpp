// fuzz/ui_script_fuzz.cpp -- feeds arbitrary text to the TOCKWHEEL_UI script parser, within the size the
// loader reads, and checks what a parsed script may hold: actions in line order, control ids in 16 bits,
// counts never negative, and for a refusal a message that names the file and the line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/dialog/script.h"

namespace {

void require(bool condition)
{
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The loader refuses a larger file before reading it.
    if (size > platform::kScriptLimitBytes) return 0;
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<platform::ScriptAction> actions;
    std::string error;
    if (!platform::parseScript(text, "fuzz.txt", &actions, &error)) {
        require(error.compare(0, 9, "fuzz.txt:") == 0);
        return 0;
    }
    int previous = 0;
    for (const platform::ScriptAction& action : actions) {
        require(action.line > previous);
        previous = action.line;
        require(action.id >= 0 && action.id <= 0xFFFF);
        require(action.number >= 0);
        bool takesText = action.verb == platform::ScriptVerb::Type || action.verb == platform::ScriptVerb::Select;
        require(takesText || action.text.empty());
        require(action.source.find('\n') == std::string::npos);
    }
    return 0;
}
