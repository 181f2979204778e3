// platform/dialog/script.h -- the UI script language: one user action per line (see docs/ui.md).
#pragma once

#include <string>
#include <vector>

namespace platform {

// The most a UI script may hold; a larger file (or /dev/zero) is refused before it is read.
constexpr size_t kScriptLimitBytes = 1 << 20;

enum class ScriptVerb { Click, Type, Select, Pick, Scroll, Key, Close, Answer, Dump, Steps };

enum class ScriptKey { Enter, Escape };

struct ScriptAction {
    ScriptVerb verb = ScriptVerb::Dump;
    int line = 0;         // 1-based line in the script file
    int id = 0;           // control id (click, type, select, pick, scroll)
    std::string text;     // type, select: runs to the end of the line
    int number = 0;       // pick: index; scroll thumb: position; steps: count
    unsigned request = 0; // scroll: kSb* request; answer: kId* result
    ScriptKey key = ScriptKey::Enter;
    bool mainWindow = false; // close: the application window's close box, whatever has the focus
    std::string source;   // the line as written, for messages
};

enum class ParseResult { Action, Skip, Bad };

// Parses one line; Skip for blank and '#' comment lines; Bad with a reason in *error.
ParseResult parseScriptLine(const std::string& line, ScriptAction* action, std::string* error);
// Parses a whole script; false with "FILE:LINE: reason" in *error at the first bad line.
bool parseScript(const std::string& text, const std::string& name, std::vector<ScriptAction>* actions,
                 std::string* error);

}  // namespace platform
