// The copy engine: loading, directories, disk prompts, slices, failures and the progress numbers.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>

#include <csignal>
#include <string>

#include "platform/dialog/message_box.h"
#include "platform/stop_signals.h"
#include "setup/messages.h"
#include "setup_fixture.h"

using setup_test::readBytes;
using setup_test::shownMessages;
using setup_test::writeBytes;

namespace {

class CopyEngineTest : public setup_test::SetupFixture {
protected:
    bool load(const std::string& script)
    {
        writeBytes(disk("setup.xdt"), script);
        return setup::loadInstall(*engine, "setup.xdt");
    }
    void expectOnlyMessage(const char* text, const char* caption = setup::kFatalCaption)
    {
        ASSERT_EQ(shownMessages().size(), 1u);
        EXPECT_EQ(shownMessages()[0].text, text);
        EXPECT_EQ(shownMessages()[0].caption, caption);
        EXPECT_EQ(shownMessages()[0].flags, platform::kMbOk | platform::kMbIconError);
    }
};

std::vector<std::string>& labelsShown()
{
    static std::vector<std::string> labels;
    return labels;
}

void recordLabels(const char* source, const char* destination)
{
    labelsShown().push_back(std::string(source) + " -> " + destination);
    shownMessages().push_back(setup_test::ShownMessage{"labels", source, 0});
}

std::string pattern(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = char((i * 131 + seed) & 0xFF);
    return bytes;
}

}  // namespace

TEST_F(CopyEngineTest, InstallsDirectoriesLogAndFiles)
{
    writeBytes(disk("tockwheel"), pattern(60000, 1));
    writeBytes(disk("pass.pag"), pattern(10, 2));
    ASSERT_TRUE(load("Tockwheel\n60010\n%D\\orvask\n%D\\orvask\\sub\n%Rtockwheel\n%W\\tockwheel\n"
                     "%Rpass.pag\n%W\\orvask\\sub\\pass.pag\n"));
    EXPECT_TRUE(engine->copyEnabled);
    EXPECT_TRUE(shownMessages().empty());
    EXPECT_EQ(platform::currentDirectory(), root + "/disk");
    EXPECT_EQ(setup::progressPercent(*engine), 0);

    ASSERT_TRUE(copyAll());
    EXPECT_EQ(readBytes(windows("tockwheel")), pattern(60000, 1));
    EXPECT_EQ(readBytes(windows("orvask/sub/pass.pag")), pattern(10, 2));
    EXPECT_EQ(readBytes(windows("orvask/install.log")), std::string("\1\0\0\0Tockwheel\0", 14));
    EXPECT_EQ(engine->bytesCopied, 60010);
    EXPECT_EQ(setup::progressPercent(*engine), 100);
    EXPECT_TRUE(shownMessages().empty());
}

TEST_F(CopyEngineTest, ProgramsStayRunnableOtherFilesGainNothing)
{
    writeBytes(disk("prog"), "#!/bin/sh\n");
    writeBytes(disk("data"), "d");
    ASSERT_EQ(::chmod(disk("prog").c_str(), 0755), 0);
    ASSERT_EQ(::chmod(disk("data").c_str(), 0644), 0);
    ASSERT_TRUE(load("P\n1\n%D\\orvask\n%Rprog\n%W\\prog\n%Rdata\n%W\\data\n"));
    ASSERT_TRUE(copyAll());
    struct stat info;
    ASSERT_EQ(::stat(windows("prog").c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IXUSR);
    ASSERT_EQ(::stat(windows("data").c_str(), &info), 0);
    EXPECT_FALSE(info.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH));
}

TEST_F(CopyEngineTest, OpeningAndSlicesAreSeparateSteps)
{
    writeBytes(disk("big"), pattern(setup::kSliceBytes * 2, 3));
    ASSERT_TRUE(load("P\n50000\n%D\\orvask\n%Rbig\n%W\\big\n"));
    ASSERT_EQ(setup::copyStep(*engine), setup::StepResult::Continue);   // opens, copies nothing
    EXPECT_EQ(engine->bytesCopied, 0);
    EXPECT_FALSE(engine->needOpen);
    setup::copyStep(*engine);
    EXPECT_EQ(engine->bytesCopied, int64_t(setup::kSliceBytes));
    EXPECT_EQ(setup::progressPercent(*engine), 50);
    setup::copyStep(*engine);
    EXPECT_FALSE(engine->done);   // a file of whole slices ends on the next, empty read
    setup::copyStep(*engine);
    EXPECT_TRUE(engine->done);
    EXPECT_EQ(engine->bytesCopied, int64_t(2 * setup::kSliceBytes));
}

TEST_F(CopyEngineTest, EmptyFileIsCopiedAndNextOpensInTheFollowingStep)
{
    writeBytes(disk("empty"), "");
    writeBytes(disk("next"), "x");
    ASSERT_TRUE(load("P\n1\n%D\\orvask\n%Rempty\n%W\\empty\n%Rnext\n%W\\next\n"));
    setup::copyStep(*engine);   // open
    setup::copyStep(*engine);   // first read fails: file done
    EXPECT_TRUE(setup_test::exists(windows("empty")));
    EXPECT_EQ(engine->currentFile, 1);
    EXPECT_TRUE(engine->needOpen);
    ASSERT_TRUE(copyAll());
    EXPECT_EQ(readBytes(windows("empty")), "");
    EXPECT_EQ(readBytes(windows("next")), "x");
}

TEST_F(CopyEngineTest, InstallingAgainReplacesFilesAndKeepsTheLog)
{
    ASSERT_EQ(::mkdir(windows("orvask").c_str(), 0755), 0);
    writeBytes(windows("orvask/pass.pag"), pattern(5000, 9));
    std::string log = std::string("\1\0\0\0P\0", 6);
    writeBytes(windows("orvask/install.log"), log);
    writeBytes(disk("pass.pag"), "new");
    ASSERT_TRUE(load("P\n3\n%D\\orvask\n%Rpass.pag\n%W\\orvask\\pass.pag\n"));
    ASSERT_TRUE(copyAll());
    EXPECT_EQ(readBytes(windows("orvask/pass.pag")), "new");
    EXPECT_EQ(readBytes(windows("orvask/install.log")), log);
}

TEST_F(CopyEngineTest, DiskPromptsComeBeforeTheirFileInOrderOnce)
{
    writeBytes(disk("a"), "a");
    writeBytes(disk("b"), "b");
    engine->hooks.showLabels = recordLabels;
    // A prompt before the first file, then two prompts in a row before the second file.
    ASSERT_TRUE(load("P\n2\n%D\\orvask\n%C1\n%Ra\n%W\\a\n%C2\n%C3\n%Rb\n%W\\b\n"));
    ASSERT_TRUE(copyAll());
    std::vector<std::string> seen;
    for (const setup_test::ShownMessage& m : shownMessages()) seen.push_back(m.text + "|" + m.caption);
    std::vector<std::string> expected = {
        "Please insert disk number 1\nPress OK to continue installation|Disk Change",
        "labels|a",
        "Please insert disk number 2\nPress OK to continue installation|Disk Change",
        "labels|b",
    };
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(shownMessages()[0].flags, platform::kMbOk | platform::kMbIconInformation);
    EXPECT_EQ(labelsShown().back(), "b -> " + root + "/windows\\b");
}

TEST_F(CopyEngineTest, LoadFailuresShowTheirMessage)
{
    EXPECT_FALSE(setup::loadInstall(*engine, "setup.xdt"));
    expectOnlyMessage(setup::kScriptMessage);

    shownMessages().clear();
    EXPECT_FALSE(load("P\n1\n%D\\made\n%D\\missing\\child\n"));
    expectOnlyMessage(setup::kDirectoryMessage);
    EXPECT_TRUE(setup_test::exists(windows("made")));   // no rollback
    EXPECT_FALSE(engine->copyEnabled);

    shownMessages().clear();
    EXPECT_FALSE(load("P\n1\n%Rx\n%W\\x\n"));   // no shared folder, so no log
    expectOnlyMessage(setup::kLogMessage, setup::kLogFatalCaption);

    shownMessages().clear();
    EXPECT_FALSE(load("P\n1\n%C" + std::string(15, '1') + "\n"));
    expectOnlyMessage(setup::kScriptMessage);
    EXPECT_EQ(platform::currentDirectory(), root + "/disk");
}

TEST_F(CopyEngineTest, DestinationWithoutLogFailsBeforeAnyCopy)
{
    // The directory is created, but install.log cannot be: its place is taken by a directory.
    ASSERT_EQ(::mkdir(windows("orvask").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(windows("orvask/install.log").c_str(), 0755), 0);
    EXPECT_FALSE(load("P\n1\n%D\\orvask\n"));
    expectOnlyMessage(setup::kLogMessage, setup::kLogFatalCaption);
}

TEST_F(CopyEngineTest, DestinationWithoutSourceFailsWithTheSourceMessage)
{
    ASSERT_TRUE(load("P\n1\n%D\\orvask\n%W\\orvask\\x\n"));
    EXPECT_EQ(setup::copyStep(*engine), setup::StepResult::MustEnd);
    expectOnlyMessage(setup::kSourceMessage);
    EXPECT_FALSE(setup_test::exists(windows("orvask/x")));
}

TEST_F(CopyEngineTest, MissingSourceDirectoryEndsAfterEarlierFilesStay)
{
    writeBytes(disk("first"), "1");
    ASSERT_TRUE(load("P\n2\n%D\\orvask\n%Rfirst\n%W\\first\n%Rdisk2\\second\n%W\\second\n"));
    EXPECT_FALSE(copyAll());
    expectOnlyMessage(setup::kSourceMessage);
    EXPECT_EQ(readBytes(windows("first")), "1");
    EXPECT_FALSE(setup_test::exists(windows("second")));
}

TEST_F(CopyEngineTest, DestinationInAnUncreatedDirectoryFails)
{
    writeBytes(disk("a"), "a");
    ASSERT_TRUE(load("P\n1\n%D\\orvask\n%Ra\n%W\\forgotten\\a\n"));
    EXPECT_FALSE(copyAll());
    expectOnlyMessage(setup::kDestinationMessage);
}

TEST_F(CopyEngineTest, ScriptWithoutFilesFailsOnItsEmptySource)
{
    ASSERT_TRUE(load("P\n0\n%D\\orvask\n"));
    EXPECT_FALSE(copyAll());
    expectOnlyMessage(setup::kSourceMessage);
}

TEST_F(CopyEngineTest, PercentagePassesHundredWhenTheTotalUnderstates)
{
    writeBytes(disk("a"), pattern(30000, 4));
    ASSERT_TRUE(load("P\n10000\n%D\\orvask\n%Ra\n%W\\a\n"));
    ASSERT_TRUE(copyAll());
    EXPECT_EQ(setup::progressPercent(*engine), 300);
    EXPECT_DOUBLE_EQ(setup::progressFraction(*engine), 3.0);
}

TEST_F(CopyEngineTest, TotalOfZeroOrLessShowsZero)
{
    engine->bytesCopied = 500;
    engine->script.totalBytes = 0;
    EXPECT_EQ(setup::progressPercent(*engine), 0);
    engine->script.totalBytes = -10;
    EXPECT_EQ(setup::progressPercent(*engine), 0);
    EXPECT_EQ(setup::progressFraction(*engine), 0.0);
    engine->script.totalBytes = 3;
    engine->bytesCopied = 2;
    EXPECT_EQ(setup::progressPercent(*engine), 66);   // truncated, not rounded
}

TEST_F(CopyEngineTest, StopCopyingWritesNothingFurther)
{
    writeBytes(disk("a"), pattern(80000, 5));
    ASSERT_TRUE(load("P\n80000\n%D\\orvask\n%Ra\n%W\\a\n"));
    setup::copyStep(*engine);
    setup::copyStep(*engine);
    setup::stopCopying(*engine);
    for (int i = 0; i < 10; ++i) setup::copyStep(*engine);
    EXPECT_EQ(readBytes(windows("a")).size(), setup::kSliceBytes);
    EXPECT_FALSE(engine->done);
}

// A full disk: every write to /dev/full fails, whether the slice goes straight through or sits in the
// stream's buffer until the file is closed.
TEST_F(CopyEngineTest, WriteErrorIsReportedNotCounted)
{
    for (size_t size : {size_t(100), size_t(60000)}) {
        shownMessages().clear();
        writeBytes(disk("a"), pattern(size, 6));
        engine->windowsDirectory = "/dev";
        engine->script = setup::InstallScript();
        engine->script.files.push_back(setup::FileEntry{"a", "\\full"});
        engine->script.totalBytes = int32_t(size);
        engine->currentFile = 0;
        engine->bytesCopied = 0;
        engine->needOpen = true;
        engine->done = false;
        engine->copyEnabled = true;
        EXPECT_FALSE(copyAll()) << size;
        expectOnlyMessage(setup::kDestinationMessage);
        EXPECT_FALSE(engine->done);
        EXPECT_LT(engine->bytesCopied, int64_t(size));
    }
}

// The same through a file-size limit, in a child so the limit and its signal stay there.
TEST_F(CopyEngineTest, FileSizeLimitIsReportedAsADestinationFailure)
{
    writeBytes(disk("a"), pattern(70000, 7));
    ASSERT_TRUE(load("P\n70000\n%D\\orvask\n%Ra\n%W\\a\n"));
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {30000, 30000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        bool ended = !copyAll();
        bool reported = shownMessages().size() == 1 && shownMessages()[0].text == setup::kDestinationMessage;
        ::_exit(ended && reported && engine->bytesCopied < 70000 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// Ended by a signal in the middle of replacing a file: the old file stays and the new copy goes with the
// process. In a child, so the signal ends only it.
TEST_F(CopyEngineTest, SignalWhileReplacingLeavesTheOldFileAndNoCopy)
{
    writeBytes(windows("a"), "old");
    writeBytes(disk("a"), pattern(80000, 8));
    ASSERT_TRUE(load("P\n80000\n%D\\orvask\n%Ra\n%W\\a\n"));
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setup::removeTemporaryOnSignals();
        setup::copyStep(*engine);
        setup::copyStep(*engine);
        std::raise(setup_test::exists(windows(".setup-partial")) ? SIGTERM : SIGKILL);
        if (platform::stopSignal()) platform::endForStopSignal();   // as the installer's next wait does
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGTERM) << status;
    EXPECT_EQ(readBytes(windows("a")), "old");
    EXPECT_FALSE(setup_test::exists(windows(".setup-partial")));
}
