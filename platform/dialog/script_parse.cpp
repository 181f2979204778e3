// platform/dialog/script_parse.cpp -- reading UI script lines into actions.
#include "platform/dialog/script.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <strings.h>

#include "platform/dialog/dialog.h"

namespace platform {
namespace {

constexpr long kMaxControlId = 0xFFFF;   // ids travel in a 16-bit word
constexpr long kMaxCount = 1000000000;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Splits off the next blank-separated word; pos moves past it and the blanks after it.
std::string nextWord(const std::string& line, size_t* pos)
{
    size_t start = *pos;
    while (start < line.size() && isBlank(line[start])) ++start;
    size_t end = start;
    while (end < line.size() && !isBlank(line[end])) ++end;
    size_t after = end;
    while (after < line.size() && isBlank(line[after])) ++after;
    *pos = after;
    return line.substr(start, end - start);
}

bool parseNumber(const std::string& word, long low, long high, long* out)
{
    if (word.empty()) return false;
    for (char c : word)
        if (c < '0' || c > '9') return false;
    errno = 0;
    long value = std::strtol(word.c_str(), nullptr, 10);
    if (errno != 0 || value < low || value > high) return false;
    *out = value;
    return true;
}

bool same(const std::string& word, const char* name) { return strcasecmp(word.c_str(), name) == 0; }

struct ScrollName {
    const char* name;
    unsigned request;
};
const ScrollName kScrollNames[] = {
    {"lineup", kSbLineUp}, {"linedown", kSbLineDown}, {"pageup", kSbPageUp},  {"pagedown", kSbPageDown},
    {"top", kSbTop},       {"bottom", kSbBottom},     {"thumb", kSbThumbPosition},
};

struct AnswerName {
    const char* name;
    unsigned result;
};
const AnswerName kAnswerNames[] = {{"ok", kIdOk}, {"yes", kIdYes}, {"no", kIdNo}, {"cancel", kIdCancel}};

ParseResult bad(std::string* error, const std::string& why)
{
    *error = why;
    return ParseResult::Bad;
}

bool takeId(const std::string& line, size_t* pos, ScriptAction* action)
{
    long id = 0;
    if (!parseNumber(nextWord(line, pos), 0, kMaxControlId, &id)) return false;
    action->id = static_cast<int>(id);
    return true;
}

ParseResult parseScroll(const std::string& line, size_t* pos, ScriptAction* action, std::string* error)
{
    std::string request = nextWord(line, pos);
    for (const ScrollName& name : kScrollNames) {
        if (!same(request, name.name)) continue;
        action->request = name.request;
        if (name.request == kSbThumbPosition) {
            long value = 0;
            if (!parseNumber(nextWord(line, pos), 0, 0xFFFF, &value))
                return bad(error, "scroll thumb needs a position 0..65535");
            action->number = static_cast<int>(value);
        }
        return ParseResult::Action;
    }
    return bad(error, "scroll needs lineup, linedown, pageup, pagedown, top, bottom or thumb N");
}

}  // namespace

ParseResult parseScriptLine(const std::string& rawLine, ScriptAction* action, std::string* error)
{
    std::string line = rawLine;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    size_t pos = 0;
    std::string verb = nextWord(line, &pos);
    if (verb.empty() || verb[0] == '#') return ParseResult::Skip;

    *action = ScriptAction{};
    action->source = line;
    bool takesId = same(verb, "click") || same(verb, "type") || same(verb, "select") || same(verb, "pick") ||
                   same(verb, "scroll");
    if (takesId && !takeId(line, &pos, action)) return bad(error, verb + " needs a control id 0..65535");

    if (same(verb, "click")) {
        action->verb = ScriptVerb::Click;
    } else if (same(verb, "type") || same(verb, "select")) {
        action->verb = same(verb, "type") ? ScriptVerb::Type : ScriptVerb::Select;
        action->text = line.substr(pos);
        return ParseResult::Action;   // the text is the rest of the line, whatever it holds
    } else if (same(verb, "pick")) {
        long index = 0;
        if (!parseNumber(nextWord(line, &pos), 0, kMaxCount, &index)) return bad(error, "pick needs an index");
        action->verb = ScriptVerb::Pick;
        action->number = static_cast<int>(index);
    } else if (same(verb, "scroll")) {
        action->verb = ScriptVerb::Scroll;
        ParseResult scroll = parseScroll(line, &pos, action, error);
        if (scroll != ParseResult::Action) return scroll;
    } else if (same(verb, "key")) {
        std::string key = nextWord(line, &pos);
        action->verb = ScriptVerb::Key;
        if (same(key, "enter") || same(key, "return")) action->key = ScriptKey::Enter;
        else if (same(key, "esc") || same(key, "escape")) action->key = ScriptKey::Escape;
        else return bad(error, "key needs enter or esc");
    } else if (same(verb, "close")) {
        action->verb = ScriptVerb::Close;
        std::string which = nextWord(line, &pos);
        if (!which.empty() && !same(which, "main")) return bad(error, "close takes nothing or main");
        action->mainWindow = !which.empty();
    } else if (same(verb, "answer")) {
        std::string answer = nextWord(line, &pos);
        action->verb = ScriptVerb::Answer;
        bool known = false;
        for (const AnswerName& name : kAnswerNames)
            if (same(answer, name.name)) { action->request = name.result; known = true; }
        if (!known) return bad(error, "answer needs ok, yes, no or cancel");
    } else if (same(verb, "dump")) {
        action->verb = ScriptVerb::Dump;
    } else if (same(verb, "steps")) {
        long count = 0;
        if (!parseNumber(nextWord(line, &pos), 0, kMaxCount, &count)) return bad(error, "steps needs a count");
        action->verb = ScriptVerb::Steps;
        action->number = static_cast<int>(count);
    } else {
        return bad(error, "unknown verb '" + verb + "'");
    }
    if (pos < line.size()) return bad(error, "unexpected text after the action: '" + line.substr(pos) + "'");
    return ParseResult::Action;
}

bool parseScript(const std::string& text, const std::string& name, std::vector<ScriptAction>* actions,
                 std::string* error)
{
    actions->clear();
    size_t start = 0;
    int lineNumber = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        ++lineNumber;
        ScriptAction action;
        std::string why;
        ParseResult result = parseScriptLine(text.substr(start, end - start), &action, &why);
        if (result == ParseResult::Bad) {
            *error = name + ":" + std::to_string(lineNumber) + ": " + why;
            return false;
        }
        if (result == ParseResult::Action) {
            action.line = lineNumber;
            actions->push_back(action);
        }
        start = end + 1;
    }
    return true;
}

}  // namespace platform
