// platform/dialog/message_box.cpp -- the choice of realisation, message boxes and the one-line log.
#include "platform/dialog/message_box.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/dialog/ui_backend.h"
#include "platform/regular_file.h"

namespace platform {
namespace {

UiBackend gBackend("none");    // the realisation chosen
bool gBackendChosen = false;   // false until first use
bool gWindowsForbidden = false;   // answerWithoutWindows: no window may open

UiBackend chooseBackend()
{
    const char* choice = std::getenv("TOCKWHEEL_UI");
    if (choice && std::strncmp(choice, "script:", 7) == 0) {
        std::string error;
        if (!startScript(choice + 7, &error)) endScriptRun(error);
        return makeScriptUiBackend();
    }
    if ((choice && std::strcmp(choice, "stderr") == 0) || gWindowsForbidden) return makeStderrUiBackend();
    if (choice && *choice && std::strcmp(choice, kWindowedUiName) != 0)
        std::fprintf(stderr, "TOCKWHEEL_UI=%s not understood; use script:FILE, %s or stderr\n", choice,
                     kWindowedUiName);
    if (windowedUiAvailable()) return makeWindowedUiBackend();
    return makeStderrUiBackend();
}

const char* iconName(unsigned flags)
{
    switch (flags & 0xF0) {
    case kMbIconError: return "error";
    case kMbIconQuestion: return "question";
    case kMbIconExclamation: return "exclamation";
    case kMbIconInformation: return "information";
    default: return "none";
    }
}

void appendEscaped(std::string* out, unsigned char c)
{
    static const char kHex[] = "0123456789abcdef";
    switch (c) {
    case '\\': *out += "\\\\"; return;
    case '"': *out += "\\\""; return;
    case '\n': *out += "\\n"; return;
    case '\r': *out += "\\r"; return;
    case '\t': *out += "\\t"; return;
    default: break;
    }
    if (c < 0x20 || c == 0x7F) {
        *out += "\\x";
        *out += kHex[c >> 4];
        *out += kHex[c & 0x0F];
        return;
    }
    *out += static_cast<char>(c);
}

void appendList(std::string* out, const std::vector<std::string>& items)
{
    *out += " items=[";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) *out += ',';
        *out += quoteLogText(items[i].c_str());
    }
    *out += ']';
}

}  // namespace

const UiBackend& uiBackend()
{
    if (!gBackendChosen) {
        gBackend = chooseBackend();
        gBackendChosen = true;
    }
    return gBackend;
}

const char* uiRealisation() { return uiBackend().name; }

void answerWithoutWindows()
{
    gWindowsForbidden = true;
    if (gBackendChosen && std::strcmp(gBackend.name, kWindowedUiName) == 0) gBackendChosen = false;
}

void resetUi()
{
    resetWindows();
    resetScript();
    gBackendChosen = false;
    gWindowsForbidden = false;
}

// Whoever answers, the box's caption and text also reach stderr, so that no failure is silent in a
// terminal (or in a host's log). A script's log without a file of its own is written there already.
int messageBox(Window* owner, const char* text, const char* caption, unsigned flags)
{
    const UiBackend& backend = uiBackend();
    text = text ? text : "";
    caption = caption ? caption : "";
    const char* log = std::getenv("TOCKWHEEL_UI_LOG");
    if (std::strcmp(backend.name, "script") != 0 || (log && *log)) {
        std::fprintf(stderr, "%s\n%s\n", caption, text);
        std::fflush(stderr);
    }
    return backend.messageBox(liveWindow(owner), text, caption, flags);
}

// ---- The log ----

void logLine(const std::string& line)
{
    const char* path = std::getenv("TOCKWHEEL_UI_LOG");
    // Opened without waiting: a FIFO that nobody reads sends the line to stderr instead of holding the program.
    std::FILE* out = (path && *path) ? openForWriting(path, true) : nullptr;
    std::FILE* target = out ? out : stderr;
    std::fprintf(target, "%s\n", line.c_str());
    if (out) std::fclose(out);
    else std::fflush(stderr);
}

std::string quoteLogText(const char* text)
{
    std::string out = "\"";
    for (const char* p = text ? text : ""; *p; ++p) appendEscaped(&out, static_cast<unsigned char>(*p));
    out += '"';
    return out;
}

const char* boxButtonNames(unsigned flags)
{
    switch (flags & 0x0F) {
    case kMbOkCancel: return "ok,cancel";
    case kMbYesNoCancel: return "yes,no,cancel";
    case kMbYesNo: return "yes,no";
    default: return "ok";
    }
}

std::string describeBox(const char* caption, unsigned flags, const char* text)
{
    return std::string("box caption=") + quoteLogText(caption) + " icon=" + iconName(flags) +
           " buttons=" + boxButtonNames(flags) + " text=" + quoteLogText(text);
}

const char* controlKindName(ControlKind kind)
{
    switch (kind) {
    case ControlKind::PushButton: return "button";
    case ControlKind::CheckBox: return "check";
    case ControlKind::AutoCheckBox: return "autocheck";
    case ControlKind::RadioButton: return "radio";
    case ControlKind::AutoRadioButton: return "autoradio";
    case ControlKind::GroupBox: return "group";
    case ControlKind::Label: return "label";
    case ControlKind::Edit: return "edit";
    case ControlKind::ComboBox: return "combo";
    case ControlKind::ListBox: return "list";
    case ControlKind::ScrollBar: return "scrollbar";
    }
    return "control";
}

std::string maskedText(const std::string& text)
{
    std::string out;
    // UTF-8 continuation bytes are not characters of their own.
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) out += '*';
    return out;
}

std::string dumpWindow(const Window& window)
{
    std::string out = "dump window=" + quoteLogText(window.title.c_str());
    out += " focus=" + std::to_string(window.focus >= 0 ? window.controls[window.focus].id : -1);
    for (const Control& control : window.controls) {
        out += " {id=" + std::to_string(control.id) + " kind=" + controlKindName(control.kind);
        out += std::string(" enabled=") + (control.enabled ? "1" : "0");
        out += std::string(" visible=") + (control.visible ? "1" : "0");
        switch (control.kind) {
        case ControlKind::CheckBox:
        case ControlKind::AutoCheckBox:
        case ControlKind::RadioButton:
        case ControlKind::AutoRadioButton:
            out += " text=" + quoteLogText(control.text.c_str()) + " checked=" + std::to_string(control.checked);
            break;
        case ControlKind::ComboBox:
        case ControlKind::ListBox:
            appendList(&out, control.items);
            out += " sel=" + std::to_string(control.selection);
            break;
        case ControlKind::ScrollBar:
            out += " range=" + std::to_string(control.scrollMin) + ".." + std::to_string(control.scrollMax);
            out += " pos=" + std::to_string(control.scrollPos);
            break;
        case ControlKind::Edit:
            out += " text=" + quoteLogText((control.style & kEsPassword) ? maskedText(control.text).c_str()
                                                                         : control.text.c_str());
            break;
        default:
            out += " text=" + quoteLogText(control.text.c_str());
            break;
        }
        out += '}';
    }
    if (!window.lastPaint.empty()) out += " paint=" + quoteLogText(window.lastPaint.c_str());
    return out;
}

void endScriptRun(const std::string& why)
{
    std::fprintf(stderr, "UI script: %s\n", why.c_str());
    std::fflush(nullptr);
    std::_Exit(3);
}

// Nominal dialog base units of the Windows dialog font, used where no font is measured.
constexpr int kNominalBaseWidthPx = 6;
constexpr int kNominalBaseHeightPx = 13;

void nominalControlPixels(Window*, const Control& control, int* width, int* height)
{
    *width = dialogUnitsToPixelsX(control.source ? control.source->width : 0, kNominalBaseWidthPx);
    *height = dialogUnitsToPixelsY(control.source ? control.source->height : 0, kNominalBaseHeightPx);
}

int dialogUnitsToPixelsX(int units, int baseWidth) { return (units * baseWidth + 2) / 4; }
int dialogUnitsToPixelsY(int units, int baseHeight) { return (units * baseHeight + 4) / 8; }

}  // namespace platform
