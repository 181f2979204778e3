// display/win32/win32_modes.cpp -- the display's own modes (EnumDisplaySettingsA, each with its colour
// depth), the switch into one with ChangeDisplaySettingsA(CDS_FULLSCREEN) and back, and the system
// palette on an 8-bit display.
#include "display/win32/win32_window.h"

namespace display {

namespace {

// Windows lists 15-bit modes (5-5-5) under 16 bits, as DirectDraw reports them.
int listedDepth(int bitsPerPixel)
{
    return bitsPerPixel == 15 ? 16 : bitsPerPixel;
}

bool listed(int width, int height, int bits)
{
    for (int i = 0; i < gWin.modeCount; ++i) {
        const DisplayMode& mode = gWin.modes[i];
        if (mode.width == width && mode.height == height && mode.bitsPerPixel == bits) return true;
    }
    return false;
}

DEVMODEA currentMode()
{
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) mode.dmBitsPerPel = 0;
    return mode;
}

// The 3-3-2 palette the page's 8-bit modes are reduced to: 8 reds, 8 greens, 4 blues.
HPALETTE make332Palette()
{
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[256];
    } logical = {0x300, 256, {}};
    for (int i = 0; i < 256; ++i) {
        PALETTEENTRY& entry = logical.entries[i];
        entry.peRed = static_cast<BYTE>(((i >> 5) & 7) * 255 / 7);
        entry.peGreen = static_cast<BYTE>(((i >> 2) & 7) * 255 / 7);
        entry.peBlue = static_cast<BYTE>((i & 3) * 255 / 3);
        entry.peFlags = PC_NOCOLLAPSE;
    }
    return CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical));
}

}  // namespace

void readDisplayModes()
{
    gWin.modeCount = 0;
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    for (DWORD i = 0; EnumDisplaySettingsA(nullptr, i, &mode) && gWin.modeCount < kMaxDisplayModes; ++i) {
        int width = static_cast<int>(mode.dmPelsWidth), height = static_cast<int>(mode.dmPelsHeight);
        int bits = static_cast<int>(mode.dmBitsPerPel);
        if (!listed(width, height, bits)) gWin.modes[gWin.modeCount++] = {width, height, bits};
    }
}

bool displayOffers(int width, int height, int bitsPerPixel)
{
    return listed(width, height, listedDepth(bitsPerPixel));
}

// A mode the display is in already needs no switch, and none to undo.
bool changeDisplayMode(int width, int height, int bitsPerPixel)
{
    DEVMODEA now = currentMode();
    DEVMODEA& wanted = gWin.displayMode.mode;
    wanted = {};
    wanted.dmSize = sizeof wanted;
    wanted.dmPelsWidth = static_cast<DWORD>(width);
    wanted.dmPelsHeight = static_cast<DWORD>(height);
    wanted.dmBitsPerPel = static_cast<DWORD>(listedDepth(bitsPerPixel));
    wanted.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    if (now.dmPelsWidth == wanted.dmPelsWidth && now.dmPelsHeight == wanted.dmPelsHeight &&
        now.dmBitsPerPel == wanted.dmBitsPerPel)
        return true;
    if (ChangeDisplaySettingsA(&wanted, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) return false;
    gWin.displayMode.wanted = true;
    gWin.displayMode.inEffect = true;
    return true;
}

void releaseDisplayMode()
{
    if (!gWin.displayMode.inEffect) return;
    ChangeDisplaySettingsA(nullptr, 0);
    gWin.displayMode.inEffect = false;
}

void retakeDisplayMode()
{
    if (!gWin.displayMode.wanted || gWin.displayMode.inEffect) return;
    gWin.displayMode.inEffect =
        ChangeDisplaySettingsA(&gWin.displayMode.mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

// OpenGL on a palette display draws through a logical palette of its own. With the system palette
// taken over, the twenty static colours are OpenGL's too while the saver is in front.
void takeOverPalette()
{
    if (!gWin.dc || !(GetDeviceCaps(gWin.dc, RASTERCAPS) & RC_PALETTE)) return;
    if (!gWin.palette.palette) gWin.palette.palette = make332Palette();
    if (gFramework.app.paletteTakenOver && !gWin.palette.systemTaken) {
        SetSystemPaletteUse(gWin.dc, SYSPAL_NOSTATIC256);
        gWin.palette.systemTaken = true;
    }
    SelectPalette(gWin.dc, gWin.palette.palette, FALSE);
    RealizePalette(gWin.dc);
}

// The static colours come back to every other window when the saver leaves the front or ends.
void giveBackPalette()
{
    if (!gWin.palette.systemTaken || !gWin.dc) return;
    SetSystemPaletteUse(gWin.dc, SYSPAL_STATIC);
    gWin.palette.systemTaken = false;
    UnrealizeObject(gWin.palette.palette);
    PostMessageA(HWND_BROADCAST, WM_SYSCOLORCHANGE, 0, 0);
}

int currentRefreshHz()
{
    DEVMODEA mode = currentMode();
    // 0 and 1 mean the hardware's default rate, which Windows does not tell.
    return mode.dmDisplayFrequency > 1 ? static_cast<int>(mode.dmDisplayFrequency) : 0;
}

}  // namespace display
