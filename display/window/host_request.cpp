// display/window/host_request.cpp -- the window a screen-saver host (xscreensaver) hands over: where its id comes
// from (command line, environment), and its size, read from the X server as the host resizes it.
#include "display/backend.h"

#include "platform/command_line.h"

#include <X11/Xlib.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace display {

namespace {

constexpr unsigned long kLargestXid = 0xFFFFFFFFul;   // X resource ids are 32-bit values
constexpr size_t kMaxToken = 64;                     // characters of one command-line word kept

const char* skipBlanks(const char* text)
{
    while (*text == ' ') ++text;
    return text;
}

// Copies the word at `text` (cut to the buffer) and returns where the next word starts.
const char* nextWord(const char* text, char word[kMaxToken])
{
    size_t length = 0;
    while (*text && *text != ' ') {
        if (length + 1 < kMaxToken) word[length++] = *text;
        ++text;
    }
    word[length] = '\0';
    return skipBlanks(text);
}

bool sameIgnoringCase(const char* a, const char* b)
{
    while (*a && *b && std::tolower(static_cast<unsigned char>(*a)) == std::tolower(static_cast<unsigned char>(*b))) {
        ++a;
        ++b;
    }
    return *a == '\0' && *b == '\0';
}

// The same switches that start the saver ("-s" and "s" only as the whole argument); a configuration
// run is never hosted.
bool isSaverSwitch(const char* word, const char* rest)
{
    if (word[0] == '/' && (word[1] == 's' || word[1] == 'S')) return true;
    return *rest == '\0' && (sameIgnoringCase(word, "-s") || sameIgnoringCase(word, "s"));
}

bool isOption(const char* word, const char* name)
{
    // Hosts write X options with one dash or two.
    if (word[0] == '-' && word[1] == '-') ++word;
    return std::strcmp(word, name) == 0;
}

// Display (X) connection of our own for the host window's geometry; SDL's stays SDL's.
Display* gHostDisplay = nullptr;
unsigned long gWatchedWindow = 0;   // the host's window, once drawing into it has begun
bool gWindowGone = false;           // an X request about it failed: the host destroyed it
XErrorHandler gPreviousHandler = nullptr;

// Errors about the host's window (from any connection, SDL's swaps included) mean the host took it
// away; the run then ends at the next size check. Every other error goes where it went before.
int noteMissingWindow(Display* display, XErrorEvent* error)
{
    bool aboutHostWindow = gWatchedWindow != 0 && error->resourceid == gWatchedWindow;
    if (aboutHostWindow && (error->error_code == BadWindow || error->error_code == BadDrawable)) {
        gWindowGone = true;
        return 0;
    }
    return gPreviousHandler ? gPreviousHandler(display, error) : 0;
}

Display* hostDisplay()
{
    if (!gHostDisplay) gHostDisplay = XOpenDisplay(nullptr);
    return gHostDisplay;
}

HostRequest readHostRequest()
{
    const char* environmentWindow = std::getenv("XSCREENSAVER_WINDOW");
    HostRequest request = parseHostRequest(platform::commandLine(), environmentWindow);
    if (!request.hosted || request.window != 0) return request;
    // "-root" without a window of the host's: the X server's root window, as X screen hacks do.
    if (Display* x = hostDisplay()) request.window = DefaultRootWindow(x);
    if (request.window == 0) {
        std::fprintf(stderr, "display: -root given but no X display can be opened; running full screen\n");
        request.hosted = false;
    }
    return request;
}

}  // namespace

bool parseWindowId(const char* text, unsigned long* window)
{
    if (!text || !*text) return false;
    bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* digits = hex ? text + 2 : text;
    if (!*digits) return false;
    unsigned long value = 0;
    for (const char* c = digits; *c; ++c) {
        int digit;
        if (*c >= '0' && *c <= '9') {
            digit = *c - '0';
        } else if (hex && std::isxdigit(static_cast<unsigned char>(*c))) {
            digit = std::tolower(static_cast<unsigned char>(*c)) - 'a' + 10;
        } else {
            return false;
        }
        unsigned long base = hex ? 16 : 10;
        if (value > (kLargestXid - static_cast<unsigned long>(digit)) / base) return false;
        value = value * base + static_cast<unsigned long>(digit);
    }
    if (value == 0) return false;
    *window = value;
    return true;
}

HostRequest parseHostRequest(const char* commandLine, const char* environmentWindow)
{
    HostRequest request = {false, 0};
    if (!commandLine) return request;
    char word[kMaxToken];
    // The program path, then the switch; the host's options follow the switch.
    const char* rest = nextWord(commandLine, word);
    rest = nextWord(rest, word);
    if (!isSaverSwitch(word, rest)) return request;
    bool root = false;
    unsigned long commandLineWindow = 0;
    while (*rest) {
        rest = nextWord(rest, word);
        if (isOption(word, "-root")) {
            root = true;
        } else if (isOption(word, "-window-id")) {
            rest = nextWord(rest, word);
            if (!parseWindowId(word, &commandLineWindow))
                std::fprintf(stderr, "display: -window-id %s is not a window id (hex 0x... or decimal); ignored\n",
                             word);
        }
    }
    unsigned long environment = 0;
    if (environmentWindow && *environmentWindow && !parseWindowId(environmentWindow, &environment))
        std::fprintf(stderr, "display: XSCREENSAVER_WINDOW=%s is not a window id; ignored\n", environmentWindow);
    request.window = commandLineWindow ? commandLineWindow : environment;
    request.hosted = request.window != 0 || root;
    return request;
}

const HostRequest& hostRequest()
{
    static const HostRequest request = readHostRequest();
    return request;
}

bool runsForHost()
{
    const char* environmentWindow = std::getenv("XSCREENSAVER_WINDOW");
    return hostRequest().hosted || (environmentWindow && *environmentWindow);
}

// X hosts hand their window over with the saver switch; there is no preview request of Windows' kind.
bool previewRequested()
{
    return false;
}

// A host may destroy its window at any time; that must end the run, not the process through Xlib's
// default error handler.
void watchHostWindow(unsigned long window)
{
    if (gWatchedWindow == 0) gPreviousHandler = XSetErrorHandler(noteMissingWindow);
    gWatchedWindow = window;
    gWindowGone = false;
}

bool hostWindowSize(unsigned long window, int* width, int* height)
{
    Display* x = hostDisplay();
    if (!x || window == 0 || (window == gWatchedWindow && gWindowGone)) return false;
    bool watched = window == gWatchedWindow;
    if (!watched) watchHostWindow(window);
    XWindowAttributes attributes;
    Status ok = XGetWindowAttributes(x, static_cast<Window>(window), &attributes);
    XSync(x, False);
    bool gone = gWindowGone;
    if (!watched) gWatchedWindow = 0;
    if (!ok || gone || attributes.width <= 0 || attributes.height <= 0) return false;
    *width = attributes.width;
    *height = attributes.height;
    return true;
}

}  // namespace display
