// The install script: its name, its two header lines and the record state machine.
#include <gtest/gtest.h>

#include <string>

#include "setup/install_script.h"

namespace {

setup::InstallScript parse(const std::string& text, setup::ScriptResult expected = setup::ScriptResult::Ok)
{
    setup::InstallScript script;
    EXPECT_EQ(setup::parseInstallScript(text.data(), text.size(), script), expected) << text;
    return script;
}

const char kSample[] =
    "Tockwheel\n"
    "12345\n"
    "%D\\orvask\n"
    "commentary without a per-cent sign\n"
    "%Rtockwheel\n"
    "%W\\tockwheel\n"
    "%C2\n"
    "%Rpass.pag\n"
    "%W\\orvask\\pass.pag\n";

std::string withCrLf(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

}  // namespace

TEST(ScriptName, OnlyTheTwoWholeNt4ValuesPickTheNtScript)
{
    EXPECT_STREQ(setup::installScriptName(0x00040004u), "setupNT.xdt");
    EXPECT_STREQ(setup::installScriptName(0x00040000u), "setupNT.xdt");
    EXPECT_STREQ(setup::installScriptName(0x05650004u), "setup.xdt");   // same low word, build bits set
    EXPECT_STREQ(setup::installScriptName(0x80040004u), "setup.xdt");
    EXPECT_STREQ(setup::installScriptName(0x4A61000Au), "setup.xdt");
}

TEST(ScriptLines, LfAndCrLfReadTheSame)
{
    for (const std::string& text : {std::string(kSample), withCrLf(kSample)}) {
        setup::InstallScript script = parse(text);
        EXPECT_EQ(script.productName, "Tockwheel");
        EXPECT_EQ(script.totalBytes, 12345);
        ASSERT_EQ(script.directories.size(), 1u);
        EXPECT_EQ(script.directories[0], "\\orvask");
        ASSERT_EQ(script.files.size(), 2u);
        EXPECT_EQ(script.files[0].source, "tockwheel");
        EXPECT_EQ(script.files[0].destination, "\\tockwheel");
        EXPECT_EQ(script.files[1].source, "pass.pag");
        EXPECT_EQ(script.files[1].destination, "\\orvask\\pass.pag");
        ASSERT_EQ(script.diskPrompts.size(), 1u);
        EXPECT_EQ(script.diskPrompts[0].fileIndex, 1);
        EXPECT_EQ(script.diskPrompts[0].label, "2");
    }
}

TEST(ScriptLines, LastRecordWithoutLineEndIsComplete)
{
    setup::InstallScript script = parse("P\n1\n%Ra\n%W\\b");
    ASSERT_EQ(script.files.size(), 1u);
    EXPECT_EQ(script.files[0].destination, "\\b");
    EXPECT_EQ(parse("P\n1\r\n%Ra\r\n%W\\b\r").files.at(0).destination, "\\b");
}

TEST(ScriptLines, HeaderLinesStopAtTheFirstCrOrLf)
{
    setup::InstallScript script = parse("Name\rtail\n 77 bytes\n");
    EXPECT_EQ(script.productName, "Name");
    EXPECT_EQ(script.totalBytes, 77);
    setup::InstallScript bare = parse("Only a name");
    EXPECT_EQ(bare.productName, "Only a name");
    EXPECT_EQ(bare.totalBytes, 0);
    EXPECT_TRUE(bare.files.empty());
}

TEST(ScriptLines, TotalFollowsTheDecimalRule)
{
    EXPECT_EQ(parse("P\n  -12abc\n").totalBytes, -12);
    EXPECT_EQ(parse("P\n+40\n").totalBytes, 40);
    EXPECT_EQ(parse("P\nabc\n").totalBytes, 0);
    EXPECT_EQ(parse("P\n- 5\n").totalBytes, 0);
    EXPECT_EQ(parse("P\n99999999999999999999\n").totalBytes, INT32_MAX);
    EXPECT_EQ(parse("P\n-99999999999999999999\n").totalBytes, INT32_MIN);
}

TEST(ScriptRecords, PercentStaysPendingUntilAnUpperCaseLetter)
{
    // "%d" starts nothing; the "%" waits through other text and line ends for "D".
    setup::InstallScript script = parse("P\n1\n%d and more\nskipped D\\orvask\n");
    ASSERT_EQ(script.directories.size(), 1u);
    EXPECT_EQ(script.directories[0], "\\orvask");
    EXPECT_EQ(parse("P\n1\n%%D\\x\n").directories.at(0), "\\x");
    EXPECT_EQ(parse("P\n1\n%\nD\\y\n").directories.at(0), "\\y");
    EXPECT_TRUE(parse("P\n1\nD\\z R W C\n").directories.empty());
}

TEST(ScriptRecords, RecordTextRunsToTheLineEndAndMayHoldPerCent)
{
    setup::InstallScript script = parse("P\n1\n%R a%b \n%W\n");
    ASSERT_EQ(script.files.size(), 1u);
    EXPECT_EQ(script.files[0].source, " a%b ");
    EXPECT_EQ(script.files[0].destination, "");
}

TEST(ScriptRecords, SecondSourceReplacesTheFirstAndWCompletesTheEntry)
{
    setup::InstallScript script = parse("P\n1\n%Rfirst\n%Rsecond\n%W\\one\n%W\\two\n");
    ASSERT_EQ(script.files.size(), 2u);
    EXPECT_EQ(script.files[0].source, "second");
    EXPECT_EQ(script.files[1].source, "");   // a %W without its own %R
    EXPECT_EQ(script.files[1].destination, "\\two");
}

TEST(ScriptRecords, DiskPromptsCarryTheIndexOfTheNextFile)
{
    setup::InstallScript script = parse("P\n1\n%C1\n%Ra\n%W\\a\n%C2\n%C3\n%Rb\n%W\\b\n");
    ASSERT_EQ(script.diskPrompts.size(), 3u);
    EXPECT_EQ(script.diskPrompts[0].fileIndex, 0);
    EXPECT_EQ(script.diskPrompts[1].fileIndex, 1);
    EXPECT_EQ(script.diskPrompts[2].fileIndex, 1);
    EXPECT_EQ(script.diskPrompts[2].label, "3");
}

TEST(ScriptCapacity, ScriptsBeyondTheTablesAreRejected)
{
    using setup::ScriptResult;
    parse("P\n1\n%R" + std::string(255, 'n') + "\n%W\\x\n");
    parse("P\n1\n%R" + std::string(256, 'n') + "\n%W\\x\n", ScriptResult::OutsideFormat);
    parse("P\n1\n%D" + std::string(256, 'd'), ScriptResult::OutsideFormat);
    parse("P\n1\n%C" + std::string(14, '9') + "\n");
    parse("P\n1\n%C" + std::string(15, '9') + "\n", ScriptResult::OutsideFormat);
    parse(std::string(19, 'p') + "\n1\n");
    parse(std::string(20, 'p') + "\n1\n", ScriptResult::OutsideFormat);
    parse(std::string("P\0Q\n1\n", 6), ScriptResult::OutsideFormat);

    std::string files = "P\n1\n";
    for (int i = 0; i < 10000; ++i) files += "%Rs\n%W\\d\n";
    EXPECT_EQ(parse(files).files.size(), 10000u);
    parse(files + "%W\\one-too-many\n", ScriptResult::OutsideFormat);

    std::string directories = "P\n1\n";
    for (int i = 0; i < 10001; ++i) directories += "%D\\d\n";
    parse(directories, ScriptResult::OutsideFormat);

    std::string prompts = "P\n1\n";
    for (int i = 0; i < 1001; ++i) prompts += "%C1\n";
    parse(prompts, ScriptResult::OutsideFormat);
}

TEST(ScriptFile, MissingFileCannotBeOpened)
{
    setup::InstallScript script;
    EXPECT_EQ(setup::readInstallScript("/nonexistent-dir\\setup.xdt", script), setup::ScriptResult::CannotOpen);
    EXPECT_EQ(setup::readInstallScript("/tmp", script), setup::ScriptResult::CannotOpen);
}
