// fuzz/event_script_fuzz.cpp -- feeds arbitrary text to the TOCKWHEEL_EVENTS parser, within the size the
// loader reads, and checks what a parsed script may hold: passes of 1 or more in order, codes and
// coordinates within their ranges, a file for every snapshot, a line number for every refusal.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "display/backend.h"

namespace {

void require(bool condition)
{
    if (!condition) std::abort();
}

constexpr int kCoordinateLimit = 65535;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The loader refuses a larger file before reading it.
    if (size > display::kEventScriptLimitBytes) return 0;
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<display::ScriptStep> steps;
    int badLine = 0;
    std::string reason;
    if (!display::parseEventScript(text, &steps, &badLine, &reason)) {
        long lines = std::count(text.begin(), text.end(), '\n') + 1;
        require(badLine >= 1 && badLine <= lines && !reason.empty());
        return 0;
    }
    uint32_t previous = 1;
    for (const display::ScriptStep& step : steps) {
        require(step.pass >= previous);
        previous = step.pass;
        if (step.action == display::kScriptSnapshot) {
            require(!step.file.empty());
            continue;
        }
        require(step.action == display::kScriptEvent);
        require(step.event.x >= -kCoordinateLimit && step.event.x <= kCoordinateLimit);
        require(step.event.y >= -kCoordinateLimit && step.event.y <= kCoordinateLimit);
        if (step.event.type == display::kEventKeyDown || step.event.type == display::kEventKeyRepeat)
            require(step.event.message <= 255);
    }
    return 0;
}
