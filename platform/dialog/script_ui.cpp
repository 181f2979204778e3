// platform/dialog/script_ui.cpp -- the scripted realisation: no window; the script's lines are the user.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/dialog/ui_backend.h"
#include "platform/dialog/script.h"
#include "platform/regular_file.h"

namespace platform {
namespace {

struct ScriptRun {
    std::vector<ScriptAction> actions;
    size_t next = 0;   // index of the next action to play
};
ScriptRun gScript;

const ScriptAction* peekAction()
{
    return gScript.next < gScript.actions.size() ? &gScript.actions[gScript.next] : nullptr;
}

bool takeAction(ScriptAction* action)
{
    const ScriptAction* next = peekAction();
    if (!next) return false;
    *action = *next;
    ++gScript.next;
    return true;
}

// A password typed by the script is shown no more than one a person types: an echoed `type` line keeps
// only the length of its text, unless it is meant for an edit box that shows what it holds.
std::string echoed(const ScriptAction& action)
{
    if (action.verb != ScriptVerb::Type) return action.source;
    Window* window = focusWindow();
    Control* c = window ? findControl(window, action.id) : nullptr;
    if (c && c->kind == ControlKind::Edit && !(c->style & kEsPassword)) return action.source;
    return "type " + std::to_string(action.id) + " " + maskedText(action.text);
}

std::string where(const ScriptAction& action)
{
    return "line " + std::to_string(action.line) + " (" + echoed(action) + ")";
}

const char* answerName(unsigned result)
{
    switch (result) {
    case kIdYes: return "yes";
    case kIdNo: return "no";
    case kIdCancel: return "cancel";
    default: return "ok";
    }
}

bool boxHasButton(unsigned flags, unsigned result)
{
    switch (flags & 0x0F) {
    case kMbOkCancel: return result == kIdOk || result == kIdCancel;
    case kMbYesNo: return result == kIdYes || result == kIdNo;
    case kMbYesNoCancel: return result == kIdYes || result == kIdNo || result == kIdCancel;
    default: return result == kIdOk;
    }
}

// A box with only an OK button is acknowledged without an answer line; a question needs one.
int scriptMessageBox(Window*, const char* text, const char* caption, unsigned flags)
{
    std::string line = describeBox(caption, flags, text);
    const ScriptAction* next = peekAction();
    if (next && next->verb == ScriptVerb::Answer) {
        ScriptAction answer;
        takeAction(&answer);
        logLine(line + " answer=" + answerName(answer.request) + " by=script");
        if (!boxHasButton(flags, answer.request))
            endScriptRun(where(answer) + ": the box \"" + caption + "\" has no button '" +
                         answerName(answer.request) + "' (buttons " + boxButtonNames(flags) + ")");
        return static_cast<int>(answer.request);
    }
    if ((flags & 0x0F) == kMbOk) {
        logLine(line + " answer=ok by=default");
        return kIdOk;
    }
    logLine(line + " answer=none");
    endScriptRun((next ? where(*next) + ": expected" : std::string("the script ended before")) +
                 " an answer line for the question box \"" + caption + "\"");
    return kIdCancel;
}

void logIgnored(const ScriptAction& action, const char* reason)
{
    logLine("ignored line=" + std::to_string(action.line) + " action=" + quoteLogText(echoed(action).c_str()) +
            " reason=" + reason);
}

Control* targetControl(Window* window, const ScriptAction& action)
{
    Control* c = findControl(window, action.id);
    if (!c)
        endScriptRun(where(action) + ": the window \"" + window->title + "\" has no control " +
                     std::to_string(action.id));
    return c;
}

void requireKind(const ScriptAction& action, const Control& c, bool fits, const char* needs)
{
    if (!fits)
        endScriptRun(where(action) + ": control " + std::to_string(c.id) + " is a " + controlKindName(c.kind) +
                     ", not " + needs);
}

void playControlAction(Window* window, const ScriptAction& action)
{
    Control* c = targetControl(window, action);
    if (!c->enabled || !c->visible) {
        logIgnored(action, c->enabled ? "hidden" : "disabled");
        return;
    }
    bool list = c->kind == ControlKind::ListBox || c->kind == ControlKind::ComboBox;
    switch (action.verb) {
    case ScriptVerb::Click:
        userClick(window, c);
        break;
    case ScriptVerb::Type:
        requireKind(action, *c, c->kind == ControlKind::Edit, "an edit box");
        userType(window, c, action.text.c_str());
        break;
    case ScriptVerb::Select: {
        requireKind(action, *c, list, "a list or combo box");
        int index = -1;
        for (size_t i = 0; i < c->items.size() && index < 0; ++i)
            if (c->items[i] == action.text) index = static_cast<int>(i);
        if (index < 0) endScriptRun(where(action) + ": no entry \"" + action.text + "\" in control " +
                                    std::to_string(c->id));
        userPick(window, c, index);
        break;
    }
    case ScriptVerb::Pick:
        requireKind(action, *c, list, "a list or combo box");
        if (action.number >= static_cast<int>(c->items.size()))
            endScriptRun(where(action) + ": control " + std::to_string(c->id) + " has " +
                         std::to_string(c->items.size()) + " entries");
        userPick(window, c, action.number);
        break;
    case ScriptVerb::Scroll:
        requireKind(action, *c, c->kind == ControlKind::ScrollBar, "a scroll bar");
        userScroll(window, c, action.request, action.number);
        break;
    default:
        break;
    }
}

// A modeless dialog does not hide its owner's close box: the user can close the application window under it.
Window* mainWindow(const ScriptAction& action)
{
    for (Window* window : openWindows())
        if (window->kind == WindowKind::AppWindow) return window;
    endScriptRun(where(action) + ": no application window is open");
    return nullptr;
}

void playAction(const ScriptAction& action)
{
    Window* window = focusWindow();
    switch (action.verb) {
    case ScriptVerb::Dump:
        logLine(window ? dumpWindow(*window) : std::string("dump window=none"));
        return;
    case ScriptVerb::Steps:
        logIgnored(action, "no idle work here");
        return;
    case ScriptVerb::Answer:
        endScriptRun(where(action) + ": no message box is waiting for an answer");
        return;
    default:
        break;
    }
    if (!window) endScriptRun(where(action) + ": no window is open");
    switch (action.verb) {
    case ScriptVerb::Close:
        if (Window* closed = action.mainWindow ? mainWindow(action) : window) userClose(closed);
        return;
    case ScriptVerb::Key:
        if (window->kind != WindowKind::Dialog || !window->modal) logIgnored(action, "no dialog keys here");
        else if (action.key == ScriptKey::Enter) userKeyEnter(window);
        else userKeyEscape(window);
        return;
    default:
        playControlAction(window, action);
        return;
    }
}

intptr_t scriptRunModal(Window* dialog)
{
    while (liveWindow(dialog) && !dialog->ended) {
        ScriptAction action;
        if (!takeAction(&action))
            endScriptRun("the script ended while the dialog \"" + dialog->title + "\" waits for the user");
        playAction(action);
    }
    return dialog->result;
}

// Idle work runs until it has nothing to do, then the next line is played; `steps N` plays the line after
// it once N idle steps have run, so that a script can act in the middle of long idle work.
int scriptMessageLoop(IdleStep idle)
{
    int armedSteps = -1;   // -1: no `steps` line pending
    int code = 0;
    for (;;) {
        if (quitPosted(&code)) return code;
        const ScriptAction* next = peekAction();
        if (armedSteps < 0 && next && next->verb == ScriptVerb::Steps) {
            armedSteps = next->number;
            ++gScript.next;
            continue;
        }
        if (armedSteps != 0 && idle && idle()) {
            if (armedSteps > 0) --armedSteps;
            continue;
        }
        armedSteps = -1;
        if (quitPosted(&code)) return code;
        if (openWindows().empty()) return 0;
        ScriptAction action;
        if (!takeAction(&action)) endScriptRun("the script ended while the program waits for the user");
        playAction(action);
    }
}


}  // namespace

bool startScript(const char* path, std::string* error)
{
    gScript = ScriptRun{};
    std::string text;
    FileCheck check = readRegularFile(path ? path : "", kScriptLimitBytes, &text);
    if (check != FileCheck::Ok) {
        std::string why = check == FileCheck::TooLarge ? "is larger than 1 MiB" : describeFileCheck(check);
        *error = std::string("cannot read the script \"") + (path ? path : "") + "\": it " + why;
        return false;
    }
    return parseScript(text, path, &gScript.actions, error);
}

void resetScript() { gScript = ScriptRun{}; }

// No widgets: the model is the whole window, and the script's lines are the user.
UiBackend makeScriptUiBackend()
{
    UiBackend backend("script");
    backend.messageBox = scriptMessageBox;
    backend.runModal = scriptRunModal;
    backend.runMessageLoop = scriptMessageLoop;
    return backend;
}

}  // namespace platform
