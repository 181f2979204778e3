// The whole installer, played by a UI script: notice, install path, disk prompt, completion, abort.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <string>

#include "setup/install_script.h"
#include "setup_fixture.h"

using setup_test::exists;
using setup_test::readBytes;
using setup_test::writeBytes;

namespace {

const std::string kBuild = TOCKWHEEL_BINARY_DIR;

class SetupProgramTest : public setup_test::SetupFixture {
protected:
    // Runs the built installer in `diskDir` with `script` as the user's answers; returns its exit status.
    // An empty script runs it with no one to answer: no display, no UI script.
    int runSetup(const std::string& diskDir, const std::string& script)
    {
        writeBytes(root + "/answers.txt", script);
        std::string ui = script.empty() ? "-u TOCKWHEEL_UI" : "TOCKWHEEL_UI=script:'" + root + "/answers.txt'";
        std::string command = "cd '" + diskDir + "' && env -u DISPLAY -u WAYLAND_DISPLAY " + ui +
                              " TOCKWHEEL_UI_LOG='" + root + "/ui.log' WINDIR='" + root +
                              "/default-windows' timeout 120 ./setup > '" + root + "/out.txt' 2>&1";
        int status = std::system(command.c_str());
        uiLog = readBytes(root + "/ui.log");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    bool logged(const std::string& caption, const std::string& text) const
    {
        return uiLog.find("caption=\"" + caption + "\"") != std::string::npos &&
               uiLog.find("text=\"" + text + "\"") != std::string::npos;
    }
    // Every file of the disk's script lies at its destination with the same bytes.
    void expectInstalled(const std::string& diskDir)
    {
        std::string scriptBytes = readBytes(diskDir + "/setup.xdt");
        setup::InstallScript script;
        ASSERT_EQ(setup::parseInstallScript(scriptBytes.data(), scriptBytes.size(), script), setup::ScriptResult::Ok);
        ASSERT_FALSE(script.files.empty());
        int64_t total = 0;
        for (const setup::FileEntry& file : script.files) {
            std::string source = platform::resolvePath(diskDir + "/" + file.source);
            std::string destination = platform::resolvePath(root + "/windows" + file.destination);
            std::string bytes = readBytes(source);
            EXPECT_FALSE(bytes.empty()) << source;
            EXPECT_EQ(readBytes(destination), bytes) << destination;
            total += int64_t(bytes.size());
        }
        EXPECT_EQ(total, script.totalBytes);   // line 2 is the true count
        EXPECT_EQ(readBytes(windows("orvask/install.log")), std::string("\1\0\0\0Tockwheel\0", 14));
    }
    std::string uiLog;
};

std::string typedPath(const std::string& windowsDir)
{
    return "answer ok\ntype 102 " + windowsDir + "\nclick 1\n";
}

}  // namespace

TEST_F(SetupProgramTest, InstallsTheDiskIntoTheTypedDirectory)
{
    const std::string diskDir = kBuild + "/disk";
    ASSERT_TRUE(exists(diskDir + "/setup")) << "build the disk target first";
    // Two idle steps in: the first file is open and one slice copied; the dialog shows both.
    EXPECT_EQ(runSetup(diskDir, typedPath(root + "/windows") + "steps 2\ndump\nanswer ok\nanswer ok\n"), 0)
        << readBytes(root + "/out.txt");
    EXPECT_NE(uiLog.find("{id=200 kind=label enabled=1 visible=1 text=\"tockwheel\"}"), std::string::npos) << uiLog;
    EXPECT_NE(uiLog.find("% complete; mix mergepennot;"), std::string::npos) << uiLog;
    EXPECT_NE(uiLog.find("caption=\"Setup\" icon=information buttons=ok text=\"Please note: It is"),
              std::string::npos) << uiLog;
    EXPECT_TRUE(logged("Finished setup", "Setup complete!")) << uiLog;
    EXPECT_NE(uiLog.find("caption=\"Information\""), std::string::npos) << uiLog;
    EXPECT_EQ(uiLog.find("Fatal"), std::string::npos) << uiLog;
    expectInstalled(diskDir);
    EXPECT_FALSE(exists(root + "/default-windows"));
}

TEST_F(SetupProgramTest, SecondDiskIsAskedForOnce)
{
    const std::string diskDir = kBuild + "/disk-split/disk1";
    ASSERT_TRUE(exists(diskDir + "/setup")) << "build the disk target first";
    EXPECT_EQ(runSetup(diskDir, typedPath(root + "/windows") + "answer ok\nanswer ok\nanswer ok\n"), 0)
        << readBytes(root + "/out.txt");
    EXPECT_TRUE(logged("Disk Change", "Please insert disk number 2\\nPress OK to continue installation")) << uiLog;
    EXPECT_TRUE(logged("Finished setup", "Setup complete!")) << uiLog;
    expectInstalled(diskDir);
}

TEST_F(SetupProgramTest, CancelSetupAnsweredNoThenYesTouchesNothing)
{
    const std::string diskDir = kBuild + "/disk";
    ASSERT_TRUE(exists(diskDir + "/setup")) << "build the disk target first";
    std::string answers = "answer ok\ntype 102 " + root + "/windows\nclick 2\nanswer no\nclick 2\nanswer yes\n";
    EXPECT_EQ(runSetup(diskDir, answers), 1) << readBytes(root + "/out.txt");
    EXPECT_TRUE(logged("Abort", "Installation is not complete!\\nAre you sure you want to abort?")) << uiLog;
    EXPECT_EQ(std::system(("test -z \"$(ls -A '" + root + "/windows')\"").c_str()), 0);
    EXPECT_FALSE(exists(root + "/default-windows"));
}

TEST_F(SetupProgramTest, CancelWhileCopyingStopsThenTheBackdropEndsIt)
{
    ASSERT_EQ(std::system(("cp '" + kBuild + "/disk/setup' '" + disk("setup") + "'").c_str()), 0);
    writeBytes(disk("big"), std::string(200000, 'b'));
    writeBytes(disk("later"), "l");
    writeBytes(disk("setup.xdt"), "Tockwheel\n200001\n%D\\orvask\n%Rbig\n%W\\big\n%Rlater\n%W\\later\n");
    // Open and one slice, then Cancel answered No, one more slice, Cancel answered Yes; the backdrop
    // then waits until it is closed.
    std::string answers = typedPath(root + "/windows") + "steps 2\nclick 2\nanswer no\nsteps 1\nclick 2\nanswer yes\nclose\n";
    EXPECT_EQ(runSetup(root + "/disk", answers), 0) << readBytes(root + "/out.txt");
    EXPECT_EQ(readBytes(windows("big")).size(), 50000u);
    EXPECT_FALSE(exists(windows("later")));
    EXPECT_EQ(uiLog.find("Setup complete!"), std::string::npos) << uiLog;
}

TEST_F(SetupProgramTest, WithNoOneToAskInstallsIntoTheDefaultDirectory)
{
    const std::string diskDir = kBuild + "/disk";
    ASSERT_TRUE(exists(diskDir + "/setup")) << "build the disk target first";
    EXPECT_EQ(runSetup(diskDir, ""), 0) << readBytes(root + "/out.txt");
    std::string out = readBytes(root + "/out.txt");
    EXPECT_NE(out.find("Setup complete!"), std::string::npos) << out;
    // The default directory did not exist: it is made, the typed-path rule aside.
    EXPECT_TRUE(exists(root + "/default-windows/orvask/install.log"));
    EXPECT_TRUE(exists(root + "/default-windows/tockwheel"));
}

TEST_F(SetupProgramTest, TypedPathIsUsedUncheckedAndNotCreated)
{
    const std::string diskDir = kBuild + "/disk";
    EXPECT_EQ(runSetup(diskDir, typedPath(root + "/typo") + "answer ok\nclose\n"), 0) << readBytes(root + "/out.txt");
    EXPECT_TRUE(logged("Fatal error", "Directory could not be created!\\nAborting setup!")) << uiLog;
    EXPECT_FALSE(exists(root + "/typo"));
}

TEST_F(SetupProgramTest, LoadFailureLeavesTheBackdropUntilClosed)
{
    // A disk without its script: the failure is shown, nothing is created, closing the window ends it.
    writeBytes(disk("setup.xdt.missing"), "");
    ASSERT_EQ(std::system(("cp '" + kBuild + "/disk/setup' '" + disk("setup") + "'").c_str()), 0);
    EXPECT_EQ(runSetup(root + "/disk", typedPath(root + "/windows") + "answer ok\nclose\n"), 0)
        << readBytes(root + "/out.txt");
    EXPECT_TRUE(logged("Fatal error", "Could not open setup file!\\nSetup not complete!")) << uiLog;
    EXPECT_EQ(std::system(("test -z \"$(ls -A '" + root + "/windows')\"").c_str()), 0);
}

TEST_F(SetupProgramTest, MissingSourceEndsWithStatusOne)
{
    ASSERT_EQ(std::system(("cp '" + kBuild + "/disk/setup' '" + disk("setup") + "'").c_str()), 0);
    writeBytes(disk("setup.xdt"), "Tockwheel\n10\n%D\\orvask\n%Rnot-there\n%W\\orvask\\x\n");
    EXPECT_EQ(runSetup(root + "/disk", typedPath(root + "/windows") + "answer ok\n"), 1)
        << readBytes(root + "/out.txt");
    EXPECT_TRUE(logged("Fatal error", "Source file could not be opened!\\nAborting setup!")) << uiLog;
    EXPECT_TRUE(exists(windows("orvask/install.log")));   // no rollback
}
