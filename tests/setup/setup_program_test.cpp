// The whole installer, played by a UI script: notice, install path, disk prompt, completion, abort.
#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
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
    // An empty script runs it with no one to answer: no display, no UI script. `asUser`: as a user bound by
    // file permissions, which root is not: root hands the scratch directory to "nobody" and runs it as that.
    // `shellSetup` runs in the shell first (a file-size limit, say).
    int runSetup(const std::string& diskDir, const std::string& script, bool asUser = false,
                 const std::string& shellSetup = "")
    {
        writeBytes(root + "/answers.txt", script);
        writeBytes(root + "/ui.log", "");
        std::string ui = script.empty() ? "-u TOCKWHEEL_UI" : "TOCKWHEEL_UI=script:'" + root + "/answers.txt'";
        std::string command = "cd '" + diskDir + "' && " + shellSetup + "env -u DISPLAY -u WAYLAND_DISPLAY " + ui +
                              " TOCKWHEEL_UI_LOG='" + root + "/ui.log' WINDIR='" + root +
                              "/default-windows' timeout 120 ./setup > '" + root + "/out.txt' 2>&1";
        int status = asUser && ::geteuid() == 0 ? runAsNobody(command) : std::system(command.c_str());
        uiLog = readBytes(root + "/ui.log");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    int runAsNobody(const std::string& command)
    {
        const passwd* nobody = ::getpwnam("nobody");
        if (!nobody) return -1;
        std::string owner = std::to_string(nobody->pw_uid) + ":" + std::to_string(nobody->pw_gid);
        if (std::system(("chown -R " + owner + " '" + root + "'").c_str()) != 0) return -1;
        pid_t child = ::fork();
        if (child == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)
                ::_exit(126);
            ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = -1;
        ::waitpid(child, &status, 0);
        return status;
    }
    void copySetupOntoTheDisk(const std::string& diskDir)
    {
        ASSERT_EQ(std::system(("cp '" + kBuild + "/disk/setup' '" + diskDir + "/setup'").c_str()), 0);
    }
    // A disk in the scratch directory with the script `records` and one file "data" holding "new bytes".
    void makeDisk(const std::string& records)
    {
        copySetupOntoTheDisk(root + "/disk");
        writeBytes(disk("data"), "new bytes");
        writeBytes(disk("setup.xdt"), "Tockwheel\n9\n" + records);
    }
    std::string listing(const std::string& folder) const
    {
        std::string out;
        std::FILE* ls = ::popen(("ls -A '" + folder + "'").c_str(), "r");
        char line[512];
        while (ls && std::fgets(line, sizeof line, ls)) out += line;
        if (ls) ::pclose(ls);
        return out;
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

// --help and --version answer on stdout and end: no notice, no path dialog, nothing installed.
TEST_F(SetupProgramTest, HelpAndVersionPrintAndOpenNoWindow)
{
    makeDisk("%D\\orvask\n%Rdata\n%W\\orvask\\data\n");
    for (const char* argument : {"--help", "--version"}) {
        std::string command = "cd '" + root + "/disk' && env -u DISPLAY -u WAYLAND_DISPLAY TOCKWHEEL_UI=stderr "
                              "TOCKWHEEL_UI_LOG='" + root + "/ui.log' WINDIR='" + root + "/windows' ./setup " +
                              argument + " > '" + root + "/out.txt' 2>&1";
        writeBytes(root + "/ui.log", "");
        int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << argument;
        EXPECT_EQ(WEXITSTATUS(status), 0) << argument;
        std::string out = readBytes(root + "/out.txt");
        EXPECT_EQ(out.find(argument[2] == 'h' ? "Usage: tockwheel-setup" : "tockwheel-setup "), 0u) << out;
        EXPECT_EQ(readBytes(root + "/ui.log"), "") << argument;
        EXPECT_FALSE(exists(windows("orvask/install.log"))) << argument;
    }
}

// With no display and no script nobody can close the backdrop: the failed load ends with status 1.
TEST_F(SetupProgramTest, LoadFailureWithNoOneToAskEndsWithStatusOne)
{
    writeBytes(disk("setup.xdt.missing"), "");
    copySetupOntoTheDisk(root + "/disk");
    EXPECT_EQ(runSetup(root + "/disk", ""), 1) << readBytes(root + "/out.txt");
    EXPECT_NE(readBytes(root + "/out.txt").find("Could not open setup file!"), std::string::npos);
    EXPECT_FALSE(exists(root + "/default-windows/orvask/install.log"));
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

TEST_F(SetupProgramTest, ReadOnlyDestinationIsKeptAndAReplacedFileKeepsModeAndLinks)
{
    makeDisk("%D\\orvask\n%Rdata\n%W\\data\n");
    writeBytes(windows("data"), "old");
    ASSERT_EQ(::link(windows("data").c_str(), windows("link").c_str()), 0);
    ASSERT_EQ(::chmod(windows("data").c_str(), 0444), 0);
    EXPECT_EQ(runSetup(root + "/disk", typedPath(root + "/windows") + "answer ok\n", true), 1)
        << readBytes(root + "/out.txt");
    EXPECT_TRUE(logged("Fatal error", "Destination file could not be created!\\nAborting setup!")) << uiLog;
    EXPECT_EQ(uiLog.find("Setup complete!"), std::string::npos) << uiLog;
    struct stat data, link;
    ASSERT_EQ(::stat(windows("data").c_str(), &data), 0);
    ASSERT_EQ(::stat(windows("link").c_str(), &link), 0);
    EXPECT_EQ(readBytes(windows("data")), "old");
    EXPECT_EQ(data.st_mode & 07777, 0444u);
    EXPECT_EQ(data.st_ino, link.st_ino);

    // Writable to its owner alone: replaced, with its mode, and still the file its other link names.
    ASSERT_EQ(::chmod(windows("data").c_str(), 0640), 0);
    EXPECT_EQ(runSetup(root + "/disk", typedPath(root + "/windows") + "answer ok\nanswer ok\n", true), 0)
        << readBytes(root + "/out.txt");
    EXPECT_TRUE(logged("Finished setup", "Setup complete!")) << uiLog;
    ASSERT_EQ(::stat(windows("data").c_str(), &data), 0);
    EXPECT_EQ(readBytes(windows("link")), "new bytes");
    EXPECT_EQ(data.st_mode & 07777, 0640u);
    EXPECT_EQ(data.st_ino, link.st_ino);
    EXPECT_EQ(listing(root + "/windows"), "data\nlink\norvask\n");
}

TEST_F(SetupProgramTest, FileWithTheLongestNamesIsReplaced)
{
    const std::string name(250, 'n');
    makeDisk("%D\\orvask\n%Rdata\n%W\\" + name + "\n");
    writeBytes(windows(name), "old");
    EXPECT_EQ(runSetup(root + "/disk", typedPath(root + "/windows") + "answer ok\nanswer ok\n"), 0)
        << readBytes(root + "/out.txt");
    EXPECT_EQ(readBytes(windows(name)), "new bytes") << uiLog;
}

TEST_F(SetupProgramTest, LinksPlantedWhereTheNewCopyGoesAreNotFollowed)
{
    makeDisk("%D\\orvask\n%Rdata\n%W\\data\n");
    writeBytes(windows("data"), "old");
    writeBytes(root + "/elsewhere", "not the installer's");
    for (const char* planted : {"data.setup-partial", ".setup-partial"})
        ASSERT_EQ(::symlink((root + "/elsewhere").c_str(), windows(planted).c_str()), 0);
    EXPECT_EQ(runSetup(root + "/disk", typedPath(root + "/windows") + "answer ok\nanswer ok\n"), 0)
        << readBytes(root + "/out.txt");
    EXPECT_EQ(readBytes(root + "/elsewhere"), "not the installer's");
    struct stat data;
    ASSERT_EQ(::lstat(windows("data").c_str(), &data), 0);
    EXPECT_TRUE(S_ISREG(data.st_mode));
    EXPECT_EQ(readBytes(windows("data")), "new bytes");
}

TEST_F(SetupProgramTest, RecordsLeavingTheWindowsDirectoryAreRefusedBeforeAnythingIsMade)
{
    ASSERT_EQ(::symlink((root + "/made-through-link").c_str(), windows("dangling").c_str()), 0);
    struct Case {
        std::string records;
        const char* message;
        std::string outside;
    };
    const Case cases[] = {
        {"%D\\orvask\n%Rdata\n%W\\..\\climbed\n", "Destination file could not be created!", root + "/climbed"},
        {"%D\\orvask\n%Rdata\n%Wsibling\n", "Destination file could not be created!", root + "/windowssibling"},
        {"%D\\orvask\n%D\\orvask\\..\\..\\climbed\n", "Directory could not be created!", root + "/climbed"},
        {"%D\\orvask\n%Rdata\n%W\\dangling\n", "Destination file could not be created!",
         root + "/made-through-link"},
    };
    makeDisk("");
    for (const Case& c : cases) {
        writeBytes(disk("setup.xdt"), "Tockwheel\n9\n" + c.records);
        EXPECT_EQ(runSetup(root + "/disk", typedPath(root + "/windows") + "answer ok\nclose\n"), 0)
            << readBytes(root + "/out.txt");
        EXPECT_TRUE(logged("Fatal error", std::string(c.message) + "\\nAborting setup!")) << c.records << uiLog;
        EXPECT_FALSE(exists(c.outside)) << c.records;
        EXPECT_EQ(listing(root + "/windows"), "dangling\n") << c.records;
    }
}

TEST_F(SetupProgramTest, DiskFolderWithABackslashInItsNameInstalls)
{
    const std::string diskDir = root + "/disk\\one";
    ASSERT_EQ(::mkdir(diskDir.c_str(), 0755), 0);
    copySetupOntoTheDisk(diskDir);
    writeBytes(diskDir + "/data", "new bytes");
    writeBytes(diskDir + "/setup.xdt", "Tockwheel\n9\n%D\\orvask\n%Rdata\n%W\\data\n");
    EXPECT_EQ(runSetup(diskDir, typedPath(root + "/windows") + "answer ok\nanswer ok\n"), 0)
        << readBytes(root + "/out.txt");
    EXPECT_TRUE(logged("Finished setup", "Setup complete!")) << uiLog;
    EXPECT_EQ(readBytes(windows("data")), "new bytes");
}

TEST_F(SetupProgramTest, DiskWithoutScriptLeavesTheDefaultDirectoryUnmade)
{
    copySetupOntoTheDisk(root + "/disk");
    // The default path accepted in the dialog, and the same run with no one to ask.
    EXPECT_EQ(runSetup(root + "/disk", "answer ok\nclick 1\nanswer ok\nclose\n"), 0) << readBytes(root + "/out.txt");
    EXPECT_TRUE(logged("Fatal error", "Could not open setup file!\\nSetup not complete!")) << uiLog;
    runSetup(root + "/disk", "");
    EXPECT_NE(readBytes(root + "/out.txt").find("Could not open setup file!"), std::string::npos);
    EXPECT_FALSE(exists(root + "/default-windows"));
}

TEST_F(SetupProgramTest, ClosingTheSetupWindowWhileAFileIsReplacedKeepsItAndLeavesNoCopy)
{
    copySetupOntoTheDisk(root + "/disk");
    writeBytes(disk("big"), std::string(200000, 'b'));
    writeBytes(disk("setup.xdt"), "Tockwheel\n200000\n%D\\orvask\n%Rbig\n%W\\big\n");
    writeBytes(windows("big"), "old");
    writeBytes(windows(".setup-partial"), "left by a run that was killed");
    // Opened and one slice copied, then the backdrop's close box under the progress dialog.
    EXPECT_EQ(runSetup(root + "/disk", typedPath(root + "/windows") + "steps 2\nclose main\n"), 0)
        << readBytes(root + "/out.txt");
    EXPECT_EQ(uiLog.find("Setup complete!"), std::string::npos) << uiLog;
    EXPECT_EQ(readBytes(windows("big")), "old");
    EXPECT_EQ(listing(root + "/windows"), "big\norvask\n");
}

// A folder (or FIFO, or device) named as a source fails that source before its destination is touched:
// an installed file is never replaced by an empty one and the install never reports success.
TEST_F(SetupProgramTest, ASourceThatIsNotARegularFileFailsBeforeTheDestinationIsTouched)
{
    makeDisk("%D\\orvask\n%Rfolder\n%W\\orvask\\pass.pag\n");
    ASSERT_EQ(::mkdir(disk("folder").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(windows("orvask").c_str(), 0755), 0);
    writeBytes(windows("orvask/pass.pag"), "the installed bitmap");
    ASSERT_EQ(::chmod(windows("orvask/pass.pag").c_str(), 0644), 0);
    EXPECT_EQ(runSetup(root + "/disk", typedPath(root + "/windows") + "answer ok\n"), 1)
        << readBytes(root + "/out.txt");
    EXPECT_TRUE(logged("Fatal error", "Source file could not be opened!\\nAborting setup!")) << uiLog;
    EXPECT_EQ(uiLog.find("Setup complete!"), std::string::npos) << uiLog;
    EXPECT_EQ(readBytes(windows("orvask/pass.pag")), "the installed bitmap");
    struct stat info;
    ASSERT_EQ(::stat(windows("orvask/pass.pag").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
}

// A full disk (here a file-size limit) part-way through a new file: the partial file goes with the
// failure; nothing of the copy stays behind.
TEST_F(SetupProgramTest, ACopyThatFailsRemovesThePartialFileItMade)
{
    makeDisk("%D\\orvask\n%Rbig\n%W\\big\n");
    writeBytes(disk("big"), std::string(300000, 'b'));
    // 200 blocks of 512 or 1024 bytes, whichever the shell counts: either way less than the file.
    const std::string smallDisk = "trap '' XFSZ; ulimit -f 200; ";
    EXPECT_EQ(runSetup(root + "/disk", typedPath(root + "/windows") + "answer ok\n", false, smallDisk), 1)
        << readBytes(root + "/out.txt");
    EXPECT_TRUE(logged("Fatal error", "Destination file could not be created!\\nAborting setup!")) << uiLog;
    EXPECT_FALSE(exists(windows("big")));
    EXPECT_EQ(listing(root + "/windows"), "orvask\n");
}

// Sources are read from the disk only: an absolute name, ".." or a link that leads off the disk is
// refused when the script is loaded, before anything is made; and a private file stays private.
TEST_F(SetupProgramTest, SourcesOffTheDiskAreRefusedAndAnInstalledFileIsNoWiderThanItsSource)
{
    writeBytes(root + "/secret", "a private key");
    ASSERT_EQ(::chmod((root + "/secret").c_str(), 0600), 0);
    std::string absolute = root + "/secret";
    for (char& c : absolute)
        if (c == '/') c = '\\';
    makeDisk("");
    ASSERT_EQ(::symlink((root + "/secret").c_str(), disk("link").c_str()), 0);
    for (const std::string& source : {absolute, std::string("..\\secret"), std::string("link")}) {
        writeBytes(disk("setup.xdt"), "Tockwheel\n9\n%D\\orvask\n%R" + source + "\n%W\\copied\n");
        EXPECT_EQ(runSetup(root + "/disk", typedPath(root + "/windows") + "answer ok\nclose\n"), 0)
            << readBytes(root + "/out.txt");
        EXPECT_TRUE(logged("Fatal error", "Source file could not be opened!\\nAborting setup!")) << source << uiLog;
        EXPECT_EQ(listing(root + "/windows"), "") << source;
    }

    ASSERT_EQ(::chmod(disk("data").c_str(), 0600), 0);
    writeBytes(disk("setup.xdt"), "Tockwheel\n9\n%D\\orvask\n%Rdata\n%W\\orvask\\data\n");
    EXPECT_EQ(runSetup(root + "/disk", typedPath(root + "/windows") + "answer ok\nanswer ok\n"), 0)
        << readBytes(root + "/out.txt");
    struct stat info;
    ASSERT_EQ(::stat(windows("orvask/data").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
}

// An empty edit field (or a relative path) would put every record below the root (or wherever setup
// runs): it is answered as an unusable directory, before anything is made. Run as a user, so that even a
// mistake could not write into the root.
TEST_F(SetupProgramTest, AnEmptyOrRelativeWindowsDirectoryIsRefused)
{
    makeDisk("%Rdata\n%W\\data\n");
    for (const char* typed : {"", "."}) {
        EXPECT_EQ(runSetup(root + "/disk", typedPath(typed) + "answer ok\nclose\n", true), 0)
            << readBytes(root + "/out.txt");
        EXPECT_TRUE(logged("Fatal error", "Directory could not be created!\\nAborting setup!")) << typed << uiLog;
        EXPECT_EQ(listing(root + "/disk"), "data\nsetup\nsetup.xdt\n") << typed;
    }
}

// install.log is refused through a link that leads out of the Windows directory, or nowhere, as a record
// through such a link is: nothing is created where it points.
TEST_F(SetupProgramTest, AnInstallLogLinkedOutsideTheWindowsDirectoryIsRefused)
{
    makeDisk("%D\\orvask\n%Rdata\n%W\\orvask\\data\n");
    ASSERT_EQ(::mkdir(windows("orvask").c_str(), 0755), 0);
    ASSERT_EQ(::symlink((root + "/outside.log").c_str(), windows("orvask/install.log").c_str()), 0);
    EXPECT_EQ(runSetup(root + "/disk", typedPath(root + "/windows") + "answer ok\nclose\n"), 0)
        << readBytes(root + "/out.txt");
    EXPECT_TRUE(logged("Fatal Error", "Error: Could not create install.log.")) << uiLog;
    EXPECT_FALSE(exists(root + "/outside.log"));
    EXPECT_FALSE(exists(windows("orvask/data")));
}
