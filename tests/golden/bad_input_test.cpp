// tests/golden/bad_input_test.cpp -- whole runs on a damaged Windows directory: prompt bitmaps that are not
// bitmaps, a font folder that is a file, and settings files with values the dialog never writes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>

#include "tests/golden/golden_image.h"
#include "tests/golden/golden_run.h"

namespace {

constexpr int kExitFatal = 255;
constexpr int kExitPassLimit = 4;

::testing::AssertionResult contains(const std::string& text, const std::string& part)
{
    if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << part << "\" not found in:\n" << text;
}

SettingsRecord passwordSettings()
{
    SettingsRecord settings = pictureSettings();
    settings.passwordEnabled = 1;
    std::strcpy(settings.password, "abc");
    return settings;
}

TEST(BadPromptBitmap, TextInsteadOfABitmapRefusesTheStartAsIfItWereMissing)
{
    for (const char* name : {"pass.pag", "pass2x.pag"}) {
        SaverWorld world;
        writeFile(world.windows.file(std::string("Orvask/") + name), "This is not a picture.\n");
        ProgramRun run = runWithEvents(world, passwordSettings(), "at 5 key 32\n", 30);
        EXPECT_EQ(run.exitCode, 0) << name << "\n" << run.err;
        EXPECT_TRUE(contains(world.uiLog(), std::string("Fatal Error: Unable to find file ") + name + "."));
        EXPECT_FALSE(contains(world.uiLog(), "MGL Fatal Error!"));
    }
}

TEST(BadPromptBitmap, EmptyFileRefusesTheStart)
{
    SaverWorld world;
    writeFile(world.windows.file("Orvask/pass.pag"), "");
    ProgramRun run = runWithEvents(world, passwordSettings(), "at 5 key 32\n", 30);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(contains(world.uiLog(), "Fatal Error: Unable to find file pass.pag."));
}

TEST(BadPromptBitmap, ValidHeaderWithoutItsPixelsIsFatalAtSceneSetUp)
{
    SaverWorld world;
    std::string whole = readFile(world.windows.file("Orvask/pass.pag"));
    ASSERT_GT(whole.size(), 200u);
    writeFile(world.windows.file("Orvask/pass.pag"), whole.substr(0, 80));
    ProgramRun run = runWithEvents(world, passwordSettings(), "at 5 key 32\n", 30);
    EXPECT_EQ(run.exitCode, kExitFatal) << run.err;
    EXPECT_TRUE(contains(world.uiLog(), "MGL Fatal Error!"));
    EXPECT_TRUE(contains(world.uiLog(), "Invalid bitmap file"));
}

// A Windows bitmap file: the two headers for width x height at the given depth, then the given pixel bytes.
std::string bitmapFile(int32_t width, int32_t height, uint16_t bitsPerPixel, const std::string& pixels)
{
    auto le32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto le16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    constexpr uint32_t kHeadersBytes = 14 + 40;
    std::string file = "BM" + le32(kHeadersBytes + uint32_t(pixels.size())) + le32(0) + le32(kHeadersBytes);
    file += le32(40) + le32(uint32_t(width)) + le32(uint32_t(height)) + le16(1) + le16(bitsPerPixel);
    file += le32(0) + le32(uint32_t(pixels.size())) + le32(2835) + le32(2835) + le32(0) + le32(0);
    return file + pixels;
}

TEST(BadPromptBitmap, HeaderThatClaimsAHugePictureIsFatalNotACrash)
{
    SaverWorld world;
    writeFile(world.windows.file("Orvask/pass.pag"), bitmapFile(30000, 30000, 32, std::string(100, '\0')));
    ProgramRun run = runWithEvents(world, passwordSettings(), "at 5 key 32\n", 30);
    EXPECT_EQ(run.exitCode, kExitFatal) << run.err;
    EXPECT_TRUE(contains(world.uiLog(), "Invalid bitmap file"));
}

TEST(BadPromptBitmap, OnePixelBitmapStillGivesAWorkingPrompt)
{
    SaverWorld world;
    writeFile(world.windows.file("Orvask/pass.pag"), bitmapFile(1, 1, 24, std::string("\xff\xff\xff\0", 4)));
    std::string events = "at 5 key 32\nat 6 key 97\nat 7 key 98\nat 8 key 99\nat 9 key 13\n";
    ProgramRun run = runWithEvents(world, passwordSettings(), events, 60);
    EXPECT_EQ(run.exitCode, 0) << run.err;
}

TEST(BadPromptBitmap, LargeBitmapInPlaceOfTheSmallOneIsClippedNotOverrun)
{
    SaverWorld world;
    copyFile(world.windows.file("Orvask/pass2x.pag"), world.windows.file("Orvask/pass.pag"));
    std::string snapshot = snapshotPath("bad_large_small_prompt");
    std::string events = "at 5 key 32\nat 6 key 97\nat 7 key 98\nat 8 key 99\nat 10 snapshot " + snapshot +
                         "\nat 11 key 13\n";
    ProgramRun run = runWithEvents(world, passwordSettings(), events, 60);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    Image image;
    ASSERT_TRUE(readPng(snapshot, &image));
    EXPECT_EQ(image.width, 640);
}

TEST(BadFonts, FontsFolderThatIsAFileIsFatalAfterTheModeSwitch)
{
    SaverWorld world;
    world.removeFile("fonts/Arial.ttf");
    ASSERT_EQ(::rmdir(world.windows.file("fonts").c_str()), 0);
    writeFile(world.windows.file("fonts"), "not a folder\n");
    ProgramRun run = runWithEvents(world, pictureSettings(), "at 5 key 32\n", 30);
    EXPECT_EQ(run.exitCode, kExitFatal) << run.err;
    EXPECT_TRUE(contains(world.uiLog(), "MGL Fatal Error!"));
    EXPECT_TRUE(contains(world.uiLog(), "Can't open arial.ttf"));
}

TEST(BadFonts, FontFileThatIsNotAFontIsFatal)
{
    SaverWorld world;
    writeFile(world.windows.file("fonts/Arial.ttf"), std::string(4096, 'x'));
    ProgramRun run = runWithEvents(world, pictureSettings(), "at 5 key 32\n", 30);
    EXPECT_EQ(run.exitCode, kExitFatal) << run.err;
    EXPECT_TRUE(contains(world.uiLog(), "Can't open arial.ttf"));
}

// Runs with the settings to a snapshot at the given pass; the snapshot's path.
std::string pictureOf(const SettingsRecord& settings, const std::string& name, int pass = 120)
{
    SaverWorld world;
    std::string snapshot = snapshotPath(name);
    ProgramRun run = runToSnapshot(world, settings, pass, snapshot);
    EXPECT_EQ(run.exitCode, 0) << name << "\n" << run.err;
    return snapshot;
}

TEST(BadSettings, UnknownColourSchemeShowsTheColoursOfScheme12)
{
    // Scheme 12 draws no random number of its own, so with the same seed the pictures are the same bytes.
    SettingsRecord settings = pictureSettings();
    settings.colorScheme = 12;
    std::string rgbFade = readFile(pictureOf(settings, "bad_scheme_12"));
    ASSERT_FALSE(rgbFade.empty());
    for (int16_t scheme : {14, -1, -32768}) {
        settings.colorScheme = scheme;
        std::string unknown = readFile(pictureOf(settings, "bad_scheme_" + std::to_string(scheme)));
        EXPECT_TRUE(unknown == rgbFade) << "scheme " << scheme;
    }
    settings.colorScheme = 99;
    std::string snapshot = pictureOf(settings, "bad_scheme_99");
    EXPECT_TRUE(readFile(snapshot) == rgbFade);
    EXPECT_TRUE(matchesGolden(snapshot, "bad_scheme_99"));
}

TEST(BadSettings, UnknownMovementStyleHoldsTheClockStill)
{
    SettingsRecord settings = pictureSettings();
    settings.movementStyle = -5;
    settings.rotationEnabled = 0;     // the markers would turn in every style
    settings.starFieldEnabled = 0;    // and the stars drift
    std::string early = pictureOf(settings, "bad_style_-5_early", 20);
    std::string late = pictureOf(settings, "bad_style_-5", 200);
    EXPECT_TRUE(readFile(early) == readFile(late)) << "nothing may move in an unknown style";
    settings.movementStyle = 13;
    EXPECT_TRUE(readFile(pictureOf(settings, "bad_style_13", 200)) == readFile(late));
    EXPECT_TRUE(matchesGolden(late, "bad_style_-5"));
}

// Values only an edited file can hold: the run must neither crash nor stop early.
TEST(BadSettings, WildValuesStillRunUntilAKey)
{
    struct Wild {
        const char* what;
        void (*apply)(SettingsRecord&);
    };
    const Wild kWild[] = {
        {"negative star amount", [](SettingsRecord& s) { s.starAmount = -700; }},
        {"largest star amount", [](SettingsRecord& s) { s.starAmount = 32767; }},
        {"fast stars", [](SettingsRecord& s) { s.starSpeed = 32767; }},
        {"backward stars", [](SettingsRecord& s) { s.starSpeed = -32768; }},
        {"unknown star direction", [](SettingsRecord& s) { s.starDirection = 7; }},
        {"negative frame skip", [](SettingsRecord& s) { s.frameSkip = -9; }},
        {"huge frame skip", [](SettingsRecord& s) { s.frameSkip = 32767; }},
        {"unknown rendering", [](SettingsRecord& s) { s.renderMode = 0; }},
        {"flags other than 0 and 1",
         [](SettingsRecord& s) {
             s.showCubes = s.showSpheres = s.showNumbers = s.showAmPm = 7;
             s.rotationEnabled = s.keepLikeColors = s.colorCycling = s.starFieldEnabled = -1;
         }},
        {"custom colour out of range",
         [](SettingsRecord& s) {
             s.useCustomColor = 1;
             s.customRed = -4.0f;
             s.customGreen = 1e30f;
             s.customBlue = 0.5f;
         }},
    };
    for (const Wild& wild : kWild) {
        SettingsRecord settings = pictureSettings();
        settings.movementStyle = 9;
        wild.apply(settings);
        SaverWorld world;
        ProgramRun run = runWithEvents(world, settings, "at 60 key 32\n", 100);
        EXPECT_EQ(run.exitCode, 0) << wild.what << "\n" << run.err;
    }
}

}  // namespace
