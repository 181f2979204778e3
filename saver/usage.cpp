// saver/usage.cpp -- the usage text and the version line, printed without opening any window.
#include "saver/usage.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kUsage =
    "Usage: tockwheel [/s | /c | ARGUMENT]\n"
    "       tockwheel /s [-root] [-window-id ID]\n"
    "       tockwheel --help | --version\n"
    "\n"
    "A three-dimensional analog clock screen saver.\n"
    "\n"
    "The first word after the program name decides (letters in any case):\n"
    "  /s, /s..., -s, s   run the saver full screen; words after /s are the host's\n"
    "  /c, -c, c          open the settings dialog; exit status 1\n"
    "  anything else      open the settings dialog (also /p HANDLE, /c:HANDLE, none); exit status 0\n"
    "  --help, --version  print this text or the version and exit\n"
    "\n"
    "Screen-saver host options, after /s:\n"
    "  -window-id ID      draw into the X window ID (hex 0x... or decimal)\n"
    "  -root              draw into $XSCREENSAVER_WINDOW, else the X root window\n"
    "Under a host no window of the saver's own opens: messages go to stderr.\n"
    "SIGTERM, SIGINT and SIGHUP end the program within a second, the desktop restored.\n"
    "\n"
    "Environment:\n"
    "  WINDIR               the Windows directory (default ${XDG_DATA_HOME:-~/.local/share}/tockwheel)\n"
    "  XSCREENSAVER_WINDOW  the host's window to draw into\n"
    "  TOCKWHEEL_DISPLAY    offscreen, window or console: the display back end\n"
    "  TOCKWHEEL_SCREEN     the offscreen back end's screen, e.g. 1024x768\n"
    "  TOCKWHEEL_TIME       a frozen clock: seconds since the epoch or YYYY-MM-DDTHH:MM:SS\n"
    "  TOCKWHEEL_EVENTS     a file of input events for the offscreen back end\n"
    "  TOCKWHEEL_SNAPSHOT   a PNG file for the last page shown\n"
    "  TOCKWHEEL_PASSES     end a run still going after this many passes (status 4)\n"
    "  TOCKWHEEL_FPS        1: show frames per second and processor load\n"
    "  TOCKWHEEL_UI         script:FILE answers the dialogs, stderr sends them to stderr\n"
    "  TOCKWHEEL_UI_LOG     the file every message box is logged to\n"
    "\n"
    "Files, in the Windows directory (names matched without case):\n"
    "  Orvask/Tockwheel.ini             the settings (owner only; written by Apply)\n"
    "  Orvask/pass.pag, Orvask/pass2x.pag  the password prompt, needed while a password is set\n"
    "  fonts/Arial.ttf                  the numerals' font (Liberation Sans)\n"
    "\n"
    "See tockwheel(6).\n";

}  // namespace

bool isInformationRequest(const char* argument)
{
    return std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "--version") == 0;
}

int printInformation(const char* argument)
{
    if (std::strcmp(argument, "--version") == 0) std::printf("tockwheel %s\n", TOCKWHEEL_VERSION);
    else std::fputs(kUsage, stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
