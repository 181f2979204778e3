// config/video_modes.cpp -- detection for the enabled drivers, the filtered mode list and its handlers.
#include "config/video_modes.h"
#include "config/video_modes_internal.h"

#include <cstdio>

#include "config/config_dialog.h"
#include "config/settings.h"
#include "display/display.h"

using platform::Window;

int32_t pendingVideoMode = 49;
bool listNotifyArmed = false;

int32_t pendingMode() { return pendingVideoMode; }

namespace {

constexpr int kDepthButtonCount = kLastDepthButtonId - kFirstDepthButtonId + 1;
constexpr int kDepthBits[kDepthButtonCount] = {8, 15, 16, 24, 32};
constexpr int kNoDepth = -1;
constexpr int kEntryCapacity = 160;   // name, pages and driver file name with room to spare

// Entries of list 150 that are modes (paired with the front of Settings.modeList); 0 while the list
// shows the three message lines.
int gListedModeCount = 0;

const char* const kNoModeLines[] = {"No graphics modes", "Select a different color depth",
                                    "Or enable some graphics drivers."};

void addDriversFromSettings()
{
    const display::DriverOptions on = driverOptionsFromSettings(Settings.driverEnabled);
    display::addDisplayDrivers(on.winDirect != 0, on.directDraw != 0, on.standardVga != 0, on.modeX != 0, on.vbe != 0,
                               on.linear != 0, on.vbeAf != 0, on.fullScreenDib != 0);
}

int checkedDepthBits(Window* dialog)
{
    for (int i = 0; i < kDepthButtonCount; ++i)
        if (platform::isDlgButtonChecked(dialog, kFirstDepthButtonId + i) == platform::kBstChecked)
            return kDepthBits[i];
    return kNoDepth;
}

void formatModeEntry(int mode, char* text, size_t capacity)
{
    int pages = display::availablePages(mode);
    std::snprintf(text, capacity, "%s  %d %s  %s", display::modeName(mode), pages, pages >= 2 ? "Pages" : "Page",
                  display::modeDriverName(mode));
}

// Moves the modes of the wanted depth to the front of the list, in order, and lists each one.
int listModesOfDepth(Window* dialog, uint8_t* modes, int bits)
{
    if (!modes || bits == kNoDepth) return 0;
    int listed = 0;
    for (int i = 0; modes[i] != display::kModeListEnd; ++i) {
        int mode = modes[i];
        int modeBits = 0;
        if (!display::modeResolution(mode, nullptr, nullptr, &modeBits) || modeBits != bits) continue;
        modes[listed++] = static_cast<uint8_t>(mode);
        char entry[kEntryCapacity];
        formatModeEntry(mode, entry, sizeof entry);
        platform::addString(dialog, kModeListId, entry);
    }
    return listed;
}

}  // namespace

uint8_t* detectAvailableModes()
{
    display::clearDriverTable();
    addDriversFromSettings();
    display::detectGraph(-1, -1);
    uint8_t* modes = display::availableModes();
    display::clearDriverTable();
    return modes;
}

void rebuildModeList(Window* dialog)
{
    platform::resetContent(dialog, kModeListId);
    Settings.modeList = detectAvailableModes();
    addDriversFromSettings();   // the driver names are looked up in the table
    gListedModeCount = listModesOfDepth(dialog, Settings.modeList, checkedDepthBits(dialog));
    if (gListedModeCount > 0) {
        listNotifyArmed = false;
        platform::enableDlgItem(dialog, kModeListId, true);
    } else {
        for (const char* line : kNoModeLines) platform::addString(dialog, kModeListId, line);
        platform::enableDlgItem(dialog, kModeListId, false);
    }
    display::clearDriverTable();
}

void showVideoSettings(Window* dialog)
{
    platform::checkRadioButton(dialog, kFirstDepthButtonId, kLastDepthButtonId, Settings.colorDepth);
    rebuildModeList(dialog);
    platform::setDlgItemText(dialog, kCurrentModeLabelId, display::modeName(Settings.videoMode));
    pendingVideoMode = Settings.videoMode;
}

void handleDepthButton(Window* dialog, int id)
{
    Settings.colorDepth = id;
    platform::checkRadioButton(dialog, kFirstDepthButtonId, kLastDepthButtonId, id);
    rebuildModeList(dialog);
}

void handleDriverBox(Window* dialog, int id)
{
    bool nowOn = platform::isDlgButtonChecked(dialog, id) != platform::kBstChecked;
    platform::checkDlgButton(dialog, id, nowOn ? platform::kBstChecked : platform::kBstUnchecked);
    Settings.driverEnabled[id - kFirstDriverBoxId] = nowOn ? 1 : 0;
    rebuildModeList(dialog);
}

// After a rebuild the list's first notification is usually the focus arriving, not a choice.
intptr_t handleModeListNotify(Window* dialog)
{
    if (!listNotifyArmed) {
        listNotifyArmed = true;
        return 1;
    }
    int selected = platform::getCurSel(dialog, kModeListId);
    if (selected >= 0 && selected < gListedModeCount && Settings.modeList)
        pendingVideoMode = Settings.modeList[selected];
    platform::setDlgItemText(dialog, kCurrentModeLabelId, display::modeName(pendingVideoMode));
    setApplyCancelEnabled(dialog, true);
    return 0;
}
