// display/backend.h -- what only the framework's own files share: the framework record, the driver
// families, and the narrow table of functions every back end (offscreen, window, console) supplies.
#pragma once

#include "display/display.h"

#include <cstdint>
#include <string>
#include <vector>

namespace display {

// ---- Driver families and detection ----------------------------------------------------------------

// The drivers a family puts into the table; DirectDraw, Linear, VBE/AF and Full screen DIB each stand
// for their 8/16/24/32-bit drivers (15-bit modes count with 16).
enum DriverId : int {
    kDriverDirectDraw,
    kDriverVga,
    kDriverModeX,
    kDriverLinear,
    kDriverAccel,
    kDriverFullScreenDib,
    kDriverCount,
    kDriverNone = -1,
};

// What detection found for one standard mode.
struct DetectedMode {
    int driver;   // DriverId serving the mode, kDriverNone when not detected
    int pages;    // video pages, 0 when not detected
};

// The enabled drivers after the WinDirect gating of the eight family flags.
void driversFromFlags(bool winDirect, bool directDraw, bool standardVga, bool modeX, bool vbe,
                      bool linear, bool vbeAf, bool fullScreenDib, bool enabled[kDriverCount]);
// Probes the active back end for every standard mode that an enabled driver covers.
void detectModes(const bool enabled[kDriverCount], DetectedMode out[kModeCount]);
// "DDRAW16.DRV" and the like; null for kDriverNone.
const char* driverFileName(int driver, int bitsPerPixel);

// ---- Back ends --------------------------------------------------------------------------------------

// Events that the back ends and the event script queue beside the hooks' types; the main loop acts on
// them itself and hands them to no hook.
constexpr int kEventInternalSuspend = 0x10000;   // message: 1 taken away, 2 given back
constexpr int kEventInternalQuit = 0x10001;      // the system asks the program to end

struct ScreenInfo {
    int width;          // desktop (or virtual screen) pixels
    int height;         // pixels
    int bitsPerPixel;   // desktop colour depth
};

uint64_t monotonicUs();   // the system's monotonic clock, microseconds (backend_select.cpp)

// One back end, as SDL's bootstrap records: a name, an open that says whether it can run here, and the
// operations the framework core calls. Every slot starts as the stub beside it (cannot open, offers no
// mode, no input, no cursor, the monotonic clock, nothing to hold, no page on screen, no window
// pixels); each back end's make…Backend() sets the slots it realises by name, so none is ever null.
struct Backend {
    explicit Backend(const char* backendName) : name(backendName) {}
    const char* name;                                          // "offscreen", "window", "console"
    bool (*open)(ScreenInfo* screen) = [](ScreenInfo*) { return false; };   // false: cannot run here
    // Pages a driver offers for a mode of this size and colour depth, 0: not offered.
    int (*modePages)(int driver, int xRes, int yRes, int bitsPerPixel) = [](int, int, int, int) { return 0; };
    bool (*setMode)(int xRes, int yRes, int bitsPerPixel, int driver, bool windowed, const char* title) =
        [](int, int, int, int, bool, const char*) { return false; };
    bool (*createContext)(unsigned flags) = [](unsigned) { return false; };   // makes an OpenGL context current
    void (*pumpEvents)() = [] {};                              // queues pending input with postEvent
    // Shows the page; presentedFramebuffer 0: the page is the window's back buffer already. False: no vsync.
    bool (*present)(unsigned presentedFramebuffer, int pageWidth, int pageHeight) = [](unsigned, int, int) {
        return false;
    };
    uint64_t (*nowUs)() = monotonicUs;                         // the back end's microsecond clock
    void (*setCursorVisible)(bool visible) = [](bool) {};
    int (*refreshHz)() = [] { return 0; };                     // display refresh, 0 when unknown
    void (*closeMode)() = [] {};                               // context and window gone, desktop back
    // A host's window decides the page's size.
    bool (*imposedPageSize)(int* width, int* height) = [](int*, int*) { return false; };
    // Keyboard and pointer held; false: refused. With no desktop whose keys could be reached, held.
    bool (*grabInput)(bool on) = [](bool) { return true; };
    // The scene can draw straight into the back end's own back buffer at this page size: nothing to
    // stretch, and a depth buffer there when the page needs one.
    bool (*pageOnScreen)(int width, int height, bool depthBuffer) = [](int, int, bool) { return false; };
    // Shows a page drawn off screen through the window's own pixels in memory, reduced and stretched
    // there by the processor (stretchPageInto); false where the back end has no such pixels, and the
    // page goes through present instead. *synced: the showing waited for the retrace.
    bool (*presentPixels)(int pageWidth, int pageHeight, bool* synced) = [](int, int, bool*) { return false; };
    // Pages can be framebuffer objects of their own. False on a context that offers only OpenGL 1.1: the
    // page is then the back buffer, whatever its size and depth, and the back end shows it from there.
    bool (*offScreenPages)() = [] { return true; };
};

Backend makeOffscreenBackend();   // offscreen/offscreen_backend.cpp
Backend makeWindowBackend();      // window/window_backend.cpp
Backend makeConsoleBackend();     // console/console_backend.cpp
Backend makeWin32Backend();       // win32/win32_backend.cpp

// The back ends this system offers, in one table per system (window/backend_table.cpp on Linux,
// win32/backend_table.cpp on Windows): every one by name for TOCKWHEEL_DISPLAY, the one that draws on
// the desktop when `desktopPresent` says there is one. With no desktop none is chosen: the others run
// only when asked for by name.
struct BackendTable {
    const Backend* all;
    int count;
    const Backend* desktop;
    bool (*desktopPresent)();
};
const BackendTable& systemBackends();

// The back end chosen for this process (TOCKWHEEL_DISPLAY, else window with a display server that
// answers), opened on first use; null when the forced one cannot run or no display was found (said on
// stderr: the offscreen back end runs only when asked for).
const Backend* activeBackend();
const ScreenInfo& activeScreen();

// Shared by the window and console back ends (window/window_backend.cpp).
bool sdlOpen(ScreenInfo* screen, bool console);
int sdlModePages(int driver, int xRes, int yRes, int bitsPerPixel);

// ---- Hosts (window/host_request.cpp) ---------------------------------------------------------------------------

// A screen-saver host's window to draw into instead of a screen of our own: `-window-id ID` after the
// saver switch, else XSCREENSAVER_WINDOW, else the root window when `-root` follows the switch.
struct HostRequest {
    bool hosted;            // the saver draws into `window` and leaves input and locking to the host
    unsigned long window;   // X window id; 0 with hosted only before the root window is known
};

// Hex "0x..." or decimal, non-zero, at most 32 bits; false (output untouched) for anything else.
bool parseWindowId(const char* text, unsigned long* window);
// From a full command line (program path, blank, arguments) and XSCREENSAVER_WINDOW's value (or null).
HostRequest parseHostRequest(const char* commandLine, const char* environmentWindow);
// This process's request, read once from platform::commandLine() and the environment.
const HostRequest& hostRequest();
// From now on X errors about this window mark it gone instead of ending the process.
void watchHostWindow(unsigned long window);
// The window's size on the X server; false when it is gone or cannot be asked.
bool hostWindowSize(unsigned long window, int* width, int* height);

// ---- The framework record ---------------------------------------------------------------------------

constexpr int kTitleChars = 80;
constexpr int kEventQueueSize = 256;      // events held between two passes; more are dropped
constexpr uint32_t kRefreshUs = 16667;    // one 60 Hz refresh, microseconds

struct Framework {
    struct {
        char title[kTitleChars + 1];      // window title, cut to 80 characters
        bool initialised;                 // initFramework has succeeded
        bool paletteTakenOver;            // takeOverSystemPalette(true); nothing to give back on Linux
    } app;
    struct {
        DriverOptions options;            // the record held; compared field by field
        ModeInfo list[kModeCount];        // usable modes, ascending mode number
        int count;                        // entries in list
    } modes;
    struct {
        ModeInfo mode;                    // the mode set, page size after the windowed rules
        int modeWidth, modeHeight;        // the mode's own size: a host's window gets its detail
        int pages;                        // pages granted, 1 or more
        bool set;                         // a mode is set (window or virtual screen exists)
        bool openGL;                      // the context and the page framebuffers exist
        bool depthBuffer;                 // the pages carry a depth buffer (kept for a resize)
        bool inputGrab;                   // setInputGrab(true): each mode's window holds the input
    } screen;
    struct {
        DrawHook draw;
        EventHook keyDown, keyRepeat, keyUp, mouseDown, mouseUp, mouseMove, other;
        GameLogicHook gameLogic;
        ExitHook exit;
        SuspendHook suspend;
    } hooks;
    struct {
        Event queue[kEventQueueSize];     // ring of events waiting for the next dispatch
        int head;                         // next event to dispatch
        int count;                        // events waiting
        bool active;                      // false while suspended: no draw hook
        bool exitRequested;               // requestExit() during this pass
        uint32_t pass;                    // main-loop pass, 1 for the first
    } loop;
    struct {
        uint64_t virtualUs;               // offscreen clock: one refresh per presented page
        uint64_t startUs;                 // timerOn(), back-end clock
        uint64_t stopUs;                  // timerOff()
        uint64_t lastPresentUs;           // monotonic time of the last paced present
    } time;
    int cursorCount;                      // 0 visible; each hide -1, each show +1
};

extern Framework gFramework;

// ---- Core services the files share --------------------------------------------------------------------

void postEvent(const Event& event);         // drops the event when the queue is full
void rebuildModeList();

// Pages: the framebuffer objects the scene and the 2D operations draw into (page.cpp). With `onScreen` the
// page is the window's back buffer itself (framebuffer 0) and costs no copy to present; the framework puts
// only a page of full precision there (fullPrecisionPage), or any page where there are no framebuffer objects.
bool createPages(int width, int height, int bitsPerPixel, bool depthBuffer, bool onScreen);
void destroyPages();
bool pagesOnScreen();
// Whether a swap leaves the back buffer as it was (a copy, not a flip): two near-black marks, each
// cleared, swapped with `swap` and read back. The scene's framebuffer, clear colour and scissor stay.
bool backBufferSurvivesSwap(void (*swap)());
bool fullPrecisionPage(int bitsPerPixel);    // 24 and 32 bits: shown without reducing its colours
// Steps per channel a page of this depth keeps (7-7-3, 31-31-31, 31-63-31); false for full precision.
bool levelsForDepth(int bitsPerPixel, float levels[3]);
void presentPage();                          // quantises the page into the presented framebuffer
unsigned presentedFramebuffer();
unsigned pageFramebuffer();                  // what the scene draws into; 0 for a page on screen
unsigned pageColourTexture();                // the page's RGBA8 colour texture, 0 when there is none
// Compiles one shader of the framework's own (GL object name, 0 on failure; the log goes to stderr).
unsigned compileShader(unsigned kind, const char* source, const char* purpose);
// Links compiled shaders into a program and deletes them; 0 when one is missing or linking fails.
unsigned linkProgram(const unsigned* shaders, int count);
// The last presented page, RGBA rows top-down; false when there is none.
bool readPresentedPage(std::vector<uint8_t>* rgba, int* width, int* height);
bool writeSnapshot(const std::string& linuxPath);   // PNG of the last presented page
void releaseCanvas();                       // the 2D operations' GL objects (page2d.cpp)

// A window's pixels in memory, 32 bits each, as a back end can show them (page_stretch.cpp).
struct WindowPixels {
    uint32_t* pixels;    // top row first
    int pitchBytes;      // from one row to the next
    int width;           // pixels
    int height;          // pixels
    int shifts[3];       // where red, green and blue sit in a pixel
    uint32_t opaque;     // bits set in every pixel (an alpha channel's mask)
};
// Reads the page back and fills the window with it: colours reduced to the mode's depth, exactly as
// the colour-depth pass reduces them, stretched nearest-neighbour. False when there is no page to read.
bool stretchPageInto(const WindowPixels& window);
// The same from page pixels already read: RGBA, rows bottom-up as OpenGL reads them.
void reduceAndStretch(const uint8_t* rgba, int pageWidth, int pageHeight, int bitsPerPixel,
                      const WindowPixels& window);
void releaseStretch();                      // the read-back buffers
// The same a band of rows at a time: rows [firstRow, firstRow + rows.height) of a picture shownHeight rows
// high, as the page shows stretched over it (rows past the picture's end are left alone), from page
// rows that start at OpenGL's row rgbaFirstRow (counted from the bottom).
void reduceAndStretchRows(const uint8_t* rgba, int pageWidth, int pageHeight, int bitsPerPixel,
                          const WindowPixels& rows, int firstRow, int shownHeight, int rgbaFirstRow);
// Reads back only the page rows that one band shows and fills the band with them; false without a page.
bool stretchPageBand(const WindowPixels& rows, int firstRow, int shownHeight);
// Where a page is shown in a window: the largest rectangle of the page's shape, centred; the rest black.
struct ShownRect {
    int x, y;            // window pixels from the top left
    int width, height;   // pixels
};
ShownRect letterbox(int pageWidth, int pageHeight, int windowWidth, int windowHeight);

// How pixel brackets reach the page: stored by a compute shader where the context can run one
// (page_pixels.cpp), else drawn as GL_POINTS; the fastest path keeps small batches on points. All give
// the same pixels; tests and benchmarks force one path or the other to compare them.
enum PixelPath : int { kPixelPathFastest, kPixelPathPoints, kPixelPathStores };
void choosePixelPath(int path);
bool pixelsUseImageStore();                 // large batches are stored on this context (builds the shader)
bool imageStoreAvailable(int capacity);     // builds the shader on first use; false where it cannot run
// Stores `count` pixel centres (x + 0.5, y + 0.5 from the top left, already clipped) in one colour.
void storePagePixels(const float* centres, int count, const uint8_t colour[3]);
void releaseImageStore();

// The page for a host's window of this size: the window's shape at the mode's detail, so that the scene
// fills the window undistorted and costs what the mode costs (framework.cpp).
void pageForHostWindow(int modeWidth, int modeHeight, int windowWidth, int windowHeight, int* width, int* height);
// A host resized its window: the pages take the window's shape, the viewport follows (framework.cpp).
bool resizePages(int windowWidth, int windowHeight);
// The window stopped (or started) matching the page: the page moves off (or onto) the screen.
bool followWindowSize();

// TOCKWHEEL_FPS=1: frames per second and processor load drawn into the page before it is presented
// (fps_overlay.cpp).
void drawFpsOverlay();

// Tear-down after the loop, and the part of it that fatalError needs.
void restoreDesktop();

// ---- Event scripts ------------------------------------------------------------------------------------

enum ScriptAction : int {
    kScriptEvent,      // post `event`
    kScriptSnapshot,   // write the last presented page to `file`
};

struct ScriptStep {
    uint32_t pass;     // main-loop pass at whose start the step runs, 1 or more
    int action;        // ScriptAction
    Event event;       // kScriptEvent: the event (internal suspend types included)
    std::string file;  // kScriptSnapshot: PNG path
};

// The most an event script may hold; a larger file (or /dev/zero) is refused before it is read.
constexpr size_t kEventScriptLimitBytes = 1 << 20;

// Parses an event script; on a malformed line returns false with its number (1-based) and a reason.
bool parseEventScript(const std::string& text, std::vector<ScriptStep>* steps, int* badLine,
                      std::string* reason);
// Loads TOCKWHEEL_EVENTS when set; a malformed file, or one that is not a regular file of at most
// kEventScriptLimitBytes, ends the run with status 3.
void loadEventScriptFromEnvironment();
// The script or TOCKWHEEL_SNAPSHOT will read presented pages back, so pages stay off screen.
bool snapshotsWanted();
// Runs the steps due at the start of `pass`.
void runScriptSteps(uint32_t pass);
// Relative paths from the environment are taken from the directory the program started in.
std::string startDirectoryPath(const std::string& path);

}  // namespace display
