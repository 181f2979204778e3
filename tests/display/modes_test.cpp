// tests/display/modes_test.cpp -- the mode table, error messages and the driver table's gating and detection.
#include "tests/display/display_test_support.h"

#include <cstring>
#include <set>

namespace {

const bool kOffscreen = displaytest::useOffscreen();

std::vector<int> detected()
{
    std::vector<int> modes;
    for (const uint8_t* m = display::availableModes(); *m != display::kModeListEnd; ++m) modes.push_back(*m);
    return modes;
}

std::vector<int> detectWith(bool winDirect, bool directDraw, bool vga, bool modeX, bool vbe, bool linear, bool vbeAf,
                            bool fdib)
{
    display::clearDriverTable();
    display::addDisplayDrivers(winDirect, directDraw, vga, modeX, vbe, linear, vbeAf, fdib);
    display::detectGraph(-1, -1);
    return detected();
}

TEST(ModeTable, NamesFollowTheTableRule)
{
    EXPECT_STREQ(display::modeName(0), "320 x 200 VGA 16 color");
    EXPECT_STREQ(display::modeName(5), "800 x 600 SVGA 16 color");
    EXPECT_STREQ(display::modeName(9), "320 x 480 VGAX 256 color");
    EXPECT_STREQ(display::modeName(10), "320 x 200 VGA 256 color");
    EXPECT_STREQ(display::modeName(19), "640 x 480 SVGA 256 color");
    EXPECT_STREQ(display::modeName(34), "640 x 480 SVGA 32k color");
    EXPECT_STREQ(display::modeName(49), "640 x 480 SVGA 64k color");
    EXPECT_STREQ(display::modeName(70), "1600 x 1200 SVGA 16m color");
    EXPECT_STREQ(display::modeName(85), "1600 x 1200 SVGA 4G color");
}

TEST(ModeTable, ResolutionInsideTheTable)
{
    int x = 0, y = 0, bits = 0;
    ASSERT_TRUE(display::modeResolution(49, &x, &y, &bits));
    EXPECT_EQ(x, 640);
    EXPECT_EQ(y, 480);
    EXPECT_EQ(bits, 16);
    ASSERT_TRUE(display::modeResolution(26, &x, &y, &bits));
    EXPECT_EQ(bits, 15);
    ASSERT_TRUE(display::modeResolution(7, &x, &y, &bits));
    EXPECT_EQ(y, 240);
    EXPECT_EQ(bits, 8);
}

TEST(ModeTable, OutsideTheTableIsRefusedAndOutputsStayUntouched)
{
    for (int mode : {-1, 86, 255, -1000}) {
        int x = 7, y = 8, bits = 9;
        EXPECT_FALSE(display::modeResolution(mode, &x, &y, &bits)) << mode;
        EXPECT_EQ(x, 7);
        EXPECT_EQ(y, 8);
        EXPECT_EQ(bits, 9);
        EXPECT_STREQ(display::modeName(mode), "Invalid graphics mode");
    }
}

TEST(DisplayErrors, MessagesForTheKnownCodesAndNoneOtherwise)
{
    EXPECT_STREQ(display::errorMessage(0), "No error");
    EXPECT_STREQ(display::errorMessage(-11), "Selected graphics mode not supported");
    EXPECT_STREQ(display::errorMessage(-23), "Bitmap file was not found");
    EXPECT_STREQ(display::errorMessage(-27), "MGL_endRegion() was not called");
    EXPECT_STREQ(display::errorMessage(-31), "Invalid pixel format for memory DC");
    EXPECT_STREQ(display::errorMessage(5), "NONE");
    EXPECT_STREQ(display::errorMessage(-32), "NONE");
}

TEST(DisplayErrors, LastErrorIsHeldUntilReadThenCleared)
{
    display::setLastError(display::kErrInvalidBitmap);
    EXPECT_EQ(display::lastError(), display::kErrInvalidBitmap);
    EXPECT_EQ(display::lastError(), display::kErrNone);
}

TEST(FatalError, RestoresAndExitsWith255)
{
    EXPECT_EXIT(display::fatalError("Selected graphics mode not supported"), ::testing::ExitedWithCode(255),
                "MGL Fatal Error!");
}

TEST(DriverTable, WinDirectGatesVgaModeXVbeLinearAndAf)
{
    EXPECT_TRUE(detectWith(false, false, true, true, false, false, false, false).empty());
    EXPECT_TRUE(detectWith(false, false, true, true, true, true, true, false).empty());
    EXPECT_TRUE(detectWith(true, false, false, true, false, false, false, false).empty()) << "Mode X needs Standard VGA";
    EXPECT_TRUE(detectWith(true, false, false, false, true, false, true, false).empty()) << "VBE needs Linear";

    std::vector<int> vga = detectWith(true, false, true, false, false, false, false, false);
    EXPECT_EQ(vga, (std::vector<int>{0, 1, 2, 3, 4, 5, 10}));
    EXPECT_STREQ(display::modeDriverName(10), "VGA.DRV");
    std::vector<int> withModeX = detectWith(true, false, true, true, false, false, false, false);
    EXPECT_EQ(withModeX.size(), 11u);
    EXPECT_STREQ(display::modeDriverName(7), "VGAX.DRV");
}

TEST(DriverTable, DriverNamesPerFamilyAndDepth)
{
    detectWith(true, false, false, false, true, true, false, false);
    EXPECT_STREQ(display::modeDriverName(19), "LINEAR8.DRV");
    EXPECT_STREQ(display::modeDriverName(34), "LINEAR16.DRV") << "15-bit modes count with 16";
    detectWith(true, false, false, false, true, true, true, false);
    EXPECT_STREQ(display::modeDriverName(64), "ACCEL24.DRV");
    detectWith(false, true, false, false, false, false, false, false);
    EXPECT_STREQ(display::modeDriverName(79), "DDRAW32.DRV");
    EXPECT_EQ(display::availablePages(79), 3);
    detectWith(false, false, false, false, false, false, false, true);
    EXPECT_STREQ(display::modeDriverName(49), "FDIB16.DRV");
    EXPECT_EQ(display::availablePages(49), 1);
    EXPECT_STREQ(display::modeDriverName(10), "Invalid graphics mode") << "FDIB serves no VGA mode";
    EXPECT_STREQ(display::modeDriverName(86), "Invalid graphics mode");
}

TEST(DriverTable, DetectionOffersOnlyWhatFitsTheVirtualScreen)
{
    std::vector<int> modes = detectWith(false, true, false, false, false, false, false, true);
    ASSERT_FALSE(modes.empty());
    for (size_t i = 1; i < modes.size(); ++i) EXPECT_LT(modes[i - 1], modes[i]);
    std::set<int> found(modes.begin(), modes.end());
    EXPECT_TRUE(found.count(21)) << "1024 x 768 fits";
    EXPECT_FALSE(found.count(22)) << "1152 x 864 does not fit 1024 x 768";
    EXPECT_FALSE(found.count(85));
    EXPECT_FALSE(found.count(10)) << "DirectDraw and FDIB start at mode 11";
}

TEST(DriverTable, ListSurvivesClearingAndIsWritable)
{
    detectWith(false, false, false, false, false, false, false, true);
    display::clearDriverTable();
    uint8_t* list = display::availableModes();
    EXPECT_EQ(list[0], 11);
    EXPECT_EQ(display::availablePages(11), 1);
    EXPECT_STREQ(display::modeDriverName(11), "Invalid graphics mode") << "no driver left in the table";
    list[0] = 49;   // the configuration dialog pairs list entries with the list's front
    EXPECT_EQ(display::availableModes()[0], 49);
    EXPECT_TRUE(detectWith(false, false, false, false, false, false, false, false).empty());
    EXPECT_EQ(display::availableModes()[0], display::kModeListEnd);
}

}  // namespace
