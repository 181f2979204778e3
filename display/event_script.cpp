// display/event_script.cpp -- TOCKWHEEL_EVENTS: input and snapshots played at given main-loop passes.
#include "display/backend.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/regular_file.h"

namespace display {

namespace {

constexpr int kMalformedScriptExitStatus = 3;
constexpr long kCoordinateLimit = 65535;   // pixels, either way

struct ScriptState {
    std::vector<ScriptStep> steps;   // sorted by pass, file order within a pass
    size_t next;                     // first step not yet run
    bool snapshots;                  // some step writes a snapshot
};

ScriptState gScript;

bool fail(std::string* reason, const std::string& text)
{
    *reason = text;
    return false;
}

bool readNumber(std::istringstream& words, long low, long high, long* value)
{
    std::string word;
    if (!(words >> word)) return false;
    char* end = nullptr;
    long number = std::strtol(word.c_str(), &end, 10);
    if (end == word.c_str() || *end != '\0' || number < low || number > high) return false;
    *value = number;
    return true;
}

Event makeEvent(int type, uint32_t message, int x, int y, int buttons)
{
    return Event{type, message, x, y, buttons, 0, 0};
}

// One step (or two, for a click) from the words after "at N"; false with a reason when malformed.
bool parseAction(std::istringstream& words, uint32_t pass, std::vector<ScriptStep>* steps, std::string* reason)
{
    std::string verb;
    words >> verb;
    long a = 0, b = 0;
    ScriptStep step = {pass, kScriptEvent, {}, {}};
    if (verb == "key" || verb == "repeat") {
        if (!readNumber(words, 0, 255, &a)) return fail(reason, "expected a character code 0..255");
        step.event = makeEvent(verb == "key" ? kEventKeyDown : kEventKeyRepeat, static_cast<uint32_t>(a), 0, 0, 0);
    } else if (verb == "move" || verb == "click") {
        if (!readNumber(words, -kCoordinateLimit, kCoordinateLimit, &a) ||
            !readNumber(words, -kCoordinateLimit, kCoordinateLimit, &b))
            return fail(reason, "expected X and Y in pixels");
        int x = static_cast<int>(a), y = static_cast<int>(b);
        if (verb == "move") {
            step.event = makeEvent(kEventMouseMove, 0, x, y, 0);
        } else {
            step.event = makeEvent(kEventMouseDown, 0, x, y, 1);
            steps->push_back(step);
            step.event = makeEvent(kEventMouseUp, 0, x, y, 0);
        }
    } else if (verb == "suspend" || verb == "resume") {
        step.event = makeEvent(kEventInternalSuspend, verb == "suspend" ? kSuspendTakenAway : kSuspendGivenBack, 0, 0, 0);
    } else if (verb == "snapshot") {
        step.action = kScriptSnapshot;
        if (!(words >> step.file)) return fail(reason, "expected a PNG file name");
    } else {
        return fail(reason, "unknown action '" + verb + "'");
    }
    std::string extra;
    if (words >> extra) return fail(reason, "unexpected '" + extra + "'");
    steps->push_back(step);
    return true;
}

bool parseLine(std::string line, std::vector<ScriptStep>* steps, std::string* reason)
{
    size_t comment = line.find('#');
    if (comment != std::string::npos) line.erase(comment);
    std::istringstream words(line);
    std::string at;
    if (!(words >> at)) return true;   // blank or comment only
    long pass = 0;
    if (at != "at" || !readNumber(words, 1, 0x7FFFFFFF, &pass))
        return fail(reason, "expected 'at PASS ACTION' with PASS 1 or more");
    return parseAction(words, static_cast<uint32_t>(pass), steps, reason);
}

}  // namespace

bool parseEventScript(const std::string& text, std::vector<ScriptStep>* steps, int* badLine, std::string* reason)
{
    steps->clear();
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    std::string why;
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!parseLine(line, steps, &why)) {
            if (badLine) *badLine = number;
            if (reason) *reason = why;
            return false;
        }
    }
    std::stable_sort(steps->begin(), steps->end(),
                     [](const ScriptStep& a, const ScriptStep& b) { return a.pass < b.pass; });
    return true;
}

void loadEventScriptFromEnvironment()
{
    gScript = {};
    const char* file = std::getenv("TOCKWHEEL_EVENTS");
    if (!file || !*file) return;
    std::string path = startDirectoryPath(file);
    std::string text;
    platform::FileCheck check = platform::readRegularFile(path, kEventScriptLimitBytes, &text);
    if (check != platform::FileCheck::Ok) {
        std::string why = check == platform::FileCheck::TooLarge ? "is larger than 1 MiB"
                                                                : platform::describeFileCheck(check);
        std::fprintf(stderr, "%s: cannot read the event script: it %s\n", path.c_str(), why.c_str());
        std::exit(kMalformedScriptExitStatus);
    }
    int badLine = 0;
    std::string reason;
    if (!parseEventScript(text, &gScript.steps, &badLine, &reason)) {
        std::fprintf(stderr, "%s:%d: %s\n", path.c_str(), badLine, reason.c_str());
        std::exit(kMalformedScriptExitStatus);
    }
    for (const ScriptStep& step : gScript.steps)
        gScript.snapshots = gScript.snapshots || step.action == kScriptSnapshot;
}

bool snapshotsWanted()
{
    const char* file = std::getenv("TOCKWHEEL_SNAPSHOT");
    return (file && *file) || gScript.snapshots;
}

void runScriptSteps(uint32_t pass)
{
    while (gScript.next < gScript.steps.size() && gScript.steps[gScript.next].pass <= pass) {
        ScriptStep& step = gScript.steps[gScript.next++];
        if (step.action == kScriptSnapshot) {
            writeSnapshot(startDirectoryPath(step.file));
        } else {
            step.event.when = timerLap();
            postEvent(step.event);
        }
    }
}

}  // namespace display
