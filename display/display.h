// display/display.h -- the display framework's whole public interface: modes and drivers, the main loop
// and its hooks, 2D operations on the page, bitmaps, the microsecond timer and the library's errors.
//
// The saver calls only what is declared here and never learns which back end (offscreen, window,
// console) answers. Every operation that can fail returns false or null and leaves its reason in the
// last error; nothing throws.
#pragma once

#include <cstdint>
#include <vector>

namespace display {

// ---- Modes ------------------------------------------------------------------------------------------

constexpr int kModeCount = 86;          // standard modes 0..85
constexpr uint8_t kModeListEnd = 255;   // ends the byte list of availableModes()

struct ModeInfo {
    int mode;            // library mode number 0..85, or -1 for a mode made up by the framework
    int xRes;            // pixels
    int yRes;            // pixels
    int bitsPerPixel;    // 8, 15, 16, 24 or 32
    int pages;           // video pages the mode can hold
    uint32_t flags;      // capability flags (back-end specific)
    int stretch;         // 0 none, 1 "1x2 stretched", 2 "2x2 stretched"
};

// The driver choices handed to the framework, in the library's order.
struct DriverOptions {
    int32_t winDirect;
    int32_t directDraw;
    int32_t standardVga;
    int32_t modeX;
    int32_t vbe;
    int32_t linear;
    int32_t vbeAf;
    int32_t fullScreenDib;
    int32_t openGL;        // 1: the OpenGL display drivers are available too
    uint8_t reserved;      // always 0
    uint8_t depthFilter;   // bit 0: 8-bit, bit 1: 15/16-bit, bit 2: 24-bit, bit 3: 32-bit modes
};

// Resolution and depth of a standard mode; false (outputs untouched) outside 0..85.
bool modeResolution(int mode, int* xRes, int* yRes, int* bitsPerPixel);
// "640 x 480 SVGA 64k color"; "Invalid graphics mode" outside the table.
const char* modeName(int mode);

// ---- Driver table and detection (configuration dialog) ---------------------------------------------

void clearDriverTable();
void addDisplayDrivers(bool winDirect, bool directDraw, bool standardVga, bool modeX, bool vbe,
                       bool linear, bool vbeAf, bool fullScreenDib);
void detectGraph(int driver, int mode);   // (-1, -1): probe every driver in the table
// Ascending mode numbers, ended by kModeListEnd. The list belongs to the library but the configuration
// dialog may rewrite its front (it pairs list-box entries with it); it stays valid until the next detectGraph.
uint8_t* availableModes();
int availablePages(int mode);             // pages of a detected mode, 0 when not detected
const char* modeDriverName(int mode);     // "FDIB16.DRV"...; "Invalid graphics mode" when none serves it

// ---- Framework life cycle -----------------------------------------------------------------------------

struct Framework;   // the framework context; one per process

Framework* initFramework(const char* title);
void setDriverOptions(const DriverOptions& options);
void takeOverSystemPalette(bool on);
bool findMode(int xRes, int yRes, int bitsPerPixel, ModeInfo* out);   // bits -1 matches any depth
bool setMode(const ModeInfo& mode, bool windowed, int pages, bool forceSystemMemory);
constexpr unsigned kGlDoubleBuffer = 0x02;
constexpr unsigned kGlDepthBuffer = 0x10;
bool startOpenGL(unsigned flags);
// The page's size in pixels once a mode is set: the mode's, or under a screen-saver host its window's.
bool pageSize(int* width, int* height);
// The saver runs for a screen-saver host: XSCREENSAVER_WINDOW is set, or -root or -window-id follow the
// saver switch. The host's window covers the screen, so nothing may open a window of its own over it.
bool runsForHost();
// The command line asks for a preview into a window that exists (Windows' "/p HWND"): the run draws
// there under the host rules instead of opening the configuration dialog. Never on Linux.
bool previewRequested();

// ---- Events and hooks ---------------------------------------------------------------------------------

enum EventType : int {
    kEventKeyDown = 1,
    kEventKeyRepeat = 2,
    kEventKeyUp = 4,
    kEventMouseDown = 8,
    kEventMouseUp = 16,
    kEventMouseMove = 32,
};

struct Event {
    int type;            // EventType, or another value for other events
    uint32_t message;    // key events: the character code (ANSI) in the low 8 bits
    int x;               // mouse position, pixels from the left of the screen
    int y;               // pixels from the top
    int buttons;         // mouse buttons held, bit 0 left, bit 1 right, bit 2 middle
    int modifiers;       // shift 1, control 2, alt 4
    uint32_t when;       // timer count at which the event was queued, microseconds
};

using DrawHook = void (*)();
using GameLogicHook = void (*)();
using ExitHook = void (*)();
using EventHook = void (*)(const Event& event);
using SuspendHook = int (*)(Framework* context, int flag);   // flag 1: taken away, 2: given back
constexpr int kSuspendTakenAway = 1;
constexpr int kSuspendGivenBack = 2;

void setDrawHook(DrawHook hook);
void setKeyDownHook(EventHook hook);
void setKeyRepeatHook(EventHook hook);
void setKeyUpHook(EventHook hook);
void setMouseDownHook(EventHook hook);
void setMouseUpHook(EventHook hook);
void setMouseMoveHook(EventHook hook);
void setEventHook(EventHook hook);
void setGameLogicHook(GameLogicHook hook);
void setExitHook(ExitHook hook);
void setSuspendHook(SuspendHook hook);

void runMainLoop();                       // until requestExit(); then restores the desktop
void requestExit();
void swapBuffers(bool waitForRetrace);
void hideCursor();                        // counted: each hide is matched by one show
void showCursor();
// While on, the mode's window holds the keyboard and the pointer, so no key combination reaches the
// desktop; false (with the reason on stderr) when they cannot be had, and nothing else changes. Under a
// screen-saver host the host holds them and this does nothing.
bool setInputGrab(bool on);

// ---- 2D operations on the current page (pixels, origin top left, clipped to the page) ----------------

void setColorRGB(uint8_t red, uint8_t green, uint8_t blue);
void beginPixels();
void plotPixel(int x, int y);
void endPixels();
void fillRectAround(int cx, int cy, int halfWidth, int halfHeight);

// ---- Bitmaps --------------------------------------------------------------------------------------------

struct Bitmap {
    int width;                      // pixels
    int height;                     // pixels
    int bitsPerPixel;               // as stored in the file
    std::vector<uint32_t> palette;  // 0xAARRGGBB entries; empty when the file has none
    std::vector<uint32_t> pixels;   // width * height, 0xAARRGGBB, rows top-down
};

// Windows bitmap file, found as given or in a "BITMAPS\\" subdirectory; null with error -23 when missing.
Bitmap* loadBitmap(const char* fileName, bool loadPalette);
bool bitmapExists(const char* fileName);
void unloadBitmap(Bitmap* bitmap);         // accepts null
void putBitmap(int x, int y, const Bitmap* bitmap, int op);   // op 0 replaces the pixels

// ---- Timer ----------------------------------------------------------------------------------------------

void timerInit();
void timerOn();
void timerOff();
uint32_t timerLap();    // microseconds since timerOn(), wrapping at 32 bits

// ---- Errors ---------------------------------------------------------------------------------------------

constexpr int kErrNone = 0;
constexpr int kErrGraphicsNotDetected = -2;
constexpr int kErrInvalidMode = -6;
constexpr int kErrGeneral = -8;
constexpr int kErrNoMemory = -10;
constexpr int kErrModeNotSupported = -11;
constexpr int kErrInvalidBitmap = -22;
constexpr int kErrBitmapNotFound = -23;
constexpr int kErrNoDoubleBuffer = -28;

int lastError();                           // returns and clears the last error
void setLastError(int code);
const char* errorMessage(int code);        // codes 0..-31; "NONE" otherwise
[[noreturn]] void fatalError(const char* message);   // restores the desktop, "MGL Fatal Error!", exit 255

}  // namespace display
