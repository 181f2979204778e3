// The video mode chooser: detection for the enabled drivers, the filtered list and its pairing with
// Settings.modeList, the message lines, the notification latch and the pending mode.
#include <gtest/gtest.h>

#include <cstring>

#include "config/settings.h"
#include "config/video_modes.h"
#include "config/video_modes_internal.h"
#include "dialog_harness.h"
#include "display/display.h"

namespace {

const std::vector<std::string> kNoModeLines = {"No graphics modes", "Select a different color depth",
                                               "Or enable some graphics drivers."};

void onlyDrivers(std::initializer_list<int> elements)
{
    for (int16_t& flag : Settings.driverEnabled) flag = 0;
    for (int element : elements) Settings.driverEnabled[element] = 1;
}

}  // namespace

// ---- Which modes are listed ----

TEST_F(ConfigDialogTest, ListShowsTheModesOfTheCheckedDepthInAscendingOrder)
{
    open();
    std::vector<std::string> entries = items(150);
    ASSERT_EQ(entries.size(), 11u);   // the 16-bit modes up to 1024 x 768 on the virtual screen
    EXPECT_EQ(entries[0], "320 x 200 SVGA 64k color  3 Pages  DDRAW16.DRV");
    EXPECT_EQ(entries[8], "640 x 480 SVGA 64k color  3 Pages  DDRAW16.DRV");
    EXPECT_EQ(entries[10], "1024 x 768 SVGA 64k color  3 Pages  DDRAW16.DRV");
    EXPECT_TRUE(enabled(150));
    for (int k = 0; k < 11; ++k) EXPECT_EQ(Settings.modeList[k], 41 + k) << k;
}

TEST_F(ConfigDialogTest, OnePageModeSaysPageAndNamesItsDriverFile)
{
    onlyDrivers({0});   // Full screen DIB
    open();
    std::vector<std::string> entries = items(150);
    ASSERT_GT(entries.size(), 8u);
    EXPECT_EQ(entries[8], "640 x 480 SVGA 64k color  1 Page  FDIB16.DRV");
}

TEST_F(ConfigDialogTest, EveryDriverOffShowsTheThreeLinesGreyed)
{
    open();
    for (int id = 160; id <= 167; ++id) click(id);
    for (int element = 0; element < kDriverCount; ++element) EXPECT_EQ(Settings.driverEnabled[element], 0);
    EXPECT_EQ(items(150), kNoModeLines);
    EXPECT_FALSE(enabled(150));
    EXPECT_EQ(text(151), "640 x 480 SVGA 64k color");   // the label and the pending mode keep their values
    EXPECT_EQ(pendingVideoMode, 49);
}

TEST_F(ConfigDialogTest, StandardVgaAndModeXWithoutWinDirectListNothingAtAnyDepth)
{
    onlyDrivers({3, 4});
    open();
    for (int id = 152; id <= 156; ++id) {
        click(id);
        EXPECT_EQ(items(150), kNoModeLines) << id;
    }
}

TEST_F(ConfigDialogTest, WinDirectLetsStandardVgaAndModeXIn)
{
    onlyDrivers({3, 4, 6});
    Settings.colorDepth = 152;
    open();
    std::vector<std::string> entries = items(150);
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0], "320 x 200 VGAX 256 color  2 Pages  VGAX.DRV");
    EXPECT_EQ(entries[4], "320 x 200 VGA 256 color  1 Page  VGA.DRV");
}

TEST_F(ConfigDialogTest, ADriverBoxTogglesAndRebuildsAtOnce)
{
    open();
    click(165);   // DirectDraw off: the full-screen DIB driver serves what is left
    EXPECT_FALSE(checked(165));
    EXPECT_EQ(Settings.driverEnabled[5], 0);
    EXPECT_EQ(items(150)[0].find("DDRAW"), std::string::npos);
    EXPECT_TRUE(applyAndCancelEnabled());
    click(165);
    EXPECT_TRUE(checked(165));
    EXPECT_EQ(Settings.driverEnabled[5], 1);
}

TEST_F(ConfigDialogTest, DetectionLeavesTheDriverTableEmpty)
{
    uint8_t* modes = detectAvailableModes();
    ASSERT_NE(modes, nullptr);
    EXPECT_NE(modes[0], display::kModeListEnd);
    EXPECT_STREQ(display::modeDriverName(49), "Invalid graphics mode");
}

// ---- Choosing a mode ----

TEST_F(ConfigDialogTest, TheThirdEntryChoosesTheThirdModeOfTheFilteredList)
{
    open();
    click(155);
    pick(150, 2);
    EXPECT_EQ(pendingVideoMode, 58);   // 320 x 400 in 24 bits, not the library list's third mode
    EXPECT_EQ(text(151), "320 x 400 SVGA 16m color");
    EXPECT_EQ(Settings.videoMode, 49);
    click(113);
    EXPECT_EQ(Settings.videoMode, 58);
    EXPECT_EQ(tailInt32(settingsBytes(), 0), 58);
    EXPECT_EQ(tailInt32(settingsBytes(), 4), 155);
}

TEST_F(ConfigDialogTest, TheFirstNotificationAfterARebuildIsSwallowed)
{
    open();
    platform::setCurSel(dialog, 150, 3);
    notify(150, platform::kLbnSelChange);
    EXPECT_EQ(pendingVideoMode, 49);
    EXPECT_EQ(text(151), "640 x 480 SVGA 64k color");
    EXPECT_FALSE(applyAndCancelEnabled());
    notify(150, platform::kLbnSelChange);
    EXPECT_EQ(pendingVideoMode, 44);
    EXPECT_EQ(text(151), "320 x 480 SVGA 64k color");
    EXPECT_TRUE(applyAndCancelEnabled());

    click(156);   // a rebuild that lists modes arms the latch again
    platform::setCurSel(dialog, 150, 0);
    notify(150, platform::kLbnSelChange);
    EXPECT_EQ(pendingVideoMode, 44);
    notify(150, platform::kLbnSelChange);
    EXPECT_EQ(pendingVideoMode, 71);
}

TEST_F(ConfigDialogTest, ANotificationWithoutSelectionKeepsThePendingMode)
{
    open();
    notify(150, platform::kLbnSetFocus);
    notify(150, platform::kLbnKillFocus);
    EXPECT_EQ(pendingVideoMode, 49);
    EXPECT_EQ(text(151), "640 x 480 SVGA 64k color");
    EXPECT_TRUE(applyAndCancelEnabled());
}

TEST_F(ConfigDialogTest, AModeChosenEarlierSurvivesADepthChange)
{
    open();
    pick(150, 9);   // 800 x 600, 16 bits
    EXPECT_EQ(pendingVideoMode, 50);
    click(155);
    EXPECT_EQ(pendingVideoMode, 50);
    EXPECT_EQ(text(151), "800 x 600 SVGA 64k color");
    click(113);
    EXPECT_EQ(Settings.videoMode, 50);
    EXPECT_EQ(Settings.colorDepth, 155);
}

TEST_F(ConfigDialogTest, NotificationsFromTheMessageLinesChooseNothing)
{
    open();
    for (int id = 160; id <= 167; ++id) click(id);
    platform::setCurSel(dialog, 150, 1);
    notify(150, platform::kLbnSelChange);
    notify(150, platform::kLbnSelChange);
    EXPECT_EQ(pendingVideoMode, 49);
    EXPECT_EQ(text(151), "640 x 480 SVGA 64k color");
}

TEST_F(ConfigDialogTest, OpeningSetsThePendingModeFromTheStoredOne)
{
    pendingVideoMode = 12;
    Settings.videoMode = 64;
    Settings.colorDepth = 155;
    open();
    EXPECT_EQ(pendingVideoMode, 64);
    EXPECT_EQ(text(151), "640 x 480 SVGA 16m color");
    EXPECT_TRUE(checked(155));
}
