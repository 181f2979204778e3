// The configuration run of the whole program: a scripted session checked against the file's bytes, the
// exit codes of the command lines that open the dialog, and a hand-edited settings file.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::string kProgram = std::string(TOCKWHEEL_PROGRAM);

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// The settings file written field by field, little-endian, independently of the program's writer.
class FileImage {
public:
    FileImage& i16(int value) { return put(static_cast<uint32_t>(value), 2); }
    FileImage& i32(int32_t value) { return put(static_cast<uint32_t>(value), 4); }
    FileImage& f32(float value)
    {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return put(bits, 4);
    }
    const std::string& bytes() const { return data; }

private:
    FileImage& put(uint32_t value, int size)
    {
        for (int i = 0; i < size; ++i) data += static_cast<char>((value >> (8 * i)) & 0xFF);
        return *this;
    }
    std::string data;
};

struct TailFields {
    int32_t videoMode = 49, colorDepth = 154;
    int frameSkip = 0, useCustomColor = 0;
    float red = 0.0f, blue = 1.0f, green = 0.0f;
    int scheme = 12, cycling = 1, spheres = 0, cubes = 1, amPm = 1, numbers = 1, stars = 1, direction = 502;
    int starSpeed = 2, starAmount = 700, render = 601, style = 2, rotation = 1, keepLike = 1;
};

// One control's record in a `dump` line of the UI log: "{id=151 kind=label ... text=\"...\"}".
std::string controlRecord(const std::string& log, int id)
{
    size_t start = log.find("{id=" + std::to_string(id) + " ");
    if (start == std::string::npos) return "";
    size_t end = log.find('}', start);
    return log.substr(start, end == std::string::npos ? std::string::npos : end - start + 1);
}

std::string settingsImage(const TailFields& t)
{
    FileImage image;
    image.f32(1.1f).i16(0).i32(t.videoMode).i32(t.colorDepth);
    for (int i = 0; i < 8; ++i) image.i16(1);
    image.i16(t.frameSkip).i16(t.useCustomColor).f32(t.red).f32(t.blue).f32(t.green);
    for (int value : {t.scheme, t.cycling, t.spheres, t.cubes, t.amPm, t.numbers, t.stars, t.direction, t.starSpeed,
                      t.starAmount, t.render, t.style, t.rotation, t.keepLike})
        image.i16(value);
    return image.bytes();
}

// The same file with the password block: `flag` as the enabled field, then the length and the characters.
std::string settingsImageWithPassword(const TailFields& t, const std::string& password, int flag = 1)
{
    std::string plain = settingsImage(t);
    FileImage block;
    block.i16(flag).i16(static_cast<int>(password.size()));
    return plain.substr(0, 4) + block.bytes() + password + plain.substr(6);
}

constexpr char kSaveFailed[] = "box caption=\"Error\" icon=error buttons=ok text=\"Error: Could not save settings to "
                               "INI file.\"";

class ConfigProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tockwheel-configrun-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        ASSERT_EQ(mkdir((root + "/windows").c_str(), 0755), 0);
        ASSERT_EQ(mkdir((root + "/windows/Orvask").c_str(), 0755), 0);
        ASSERT_EQ(access(kProgram.c_str(), X_OK), 0) << kProgram;
    }
    void TearDown() override
    {
        std::string command = "rm -rf '" + root + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    // Runs `tockwheel ARGS` with the script as the user, from a directory other than the Windows one.
    // `asUser`: as a user bound by file permissions, which root is not: root hands the scratch directory to
    // "nobody" and runs the program as that user.
    int run(const std::string& args, const std::string& script, const std::string& windowsDir = "/windows",
            bool asUser = false)
    {
        writeFile(root + "/script.txt", script);
        std::string user;
        if (asUser && geteuid() == 0) {
            if (std::system(("chown -R nobody:nogroup '" + root + "'").c_str()) != 0) return -1;
            user = "setpriv --reuid=nobody --regid=nogroup --clear-groups ";
        }
        std::string command = "cd '" + root + "' && " + user + "env -u DISPLAY -u WAYLAND_DISPLAY WINDIR='" + root +
                              windowsDir + "' TOCKWHEEL_DISPLAY=offscreen TOCKWHEEL_SCREEN=1024x768 TOCKWHEEL_UI=script:'" +
                              root + "/script.txt' TOCKWHEEL_UI_LOG='" + root + "/ui.log' timeout 60 '" + kProgram +
                              "' " + args + " > '" + root + "/out.txt' 2>&1";
        int status = std::system(command.c_str());
        uiLog = readFile(root + "/ui.log");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string settingsFile() const { return root + "/windows/Orvask/Tockwheel.ini"; }

    std::string root;
    std::string uiLog;
};

}  // namespace

TEST_F(ConfigProgramTest, AScriptedSessionWritesExactlyTheChosenSettings)
{
    const char* script =
        "click 300\n"            // cubes off
        "click 301\n"            // spheres on
        "click 600\n"            // wireframe
        "click 501\n"            // horizontal stars
        "type 504 5\n"
        "type 505 1234\n"
        "select 204 Fire Red\n"
        "select 700 Roll\n"
        "scroll 190 linedown\n"
        "scroll 190 linedown\n"
        "click 155\n"            // 24 bits
        "pick 150 8\n"           // 640 x 480
        "click 900\n"            // marker rotation off
        "click 113\n"
        "click 110\n";
    ASSERT_EQ(run("/c", script), 1) << readFile(root + "/out.txt");
    TailFields expected;
    expected.videoMode = 64;
    expected.colorDepth = 155;
    expected.frameSkip = 2;
    expected.scheme = 7;
    expected.spheres = 1;
    expected.cubes = 0;
    expected.direction = 501;
    expected.starSpeed = 5;
    expected.starAmount = 1234;
    expected.render = 600;
    expected.style = 12;
    expected.rotation = 0;
    EXPECT_EQ(readFile(settingsFile()), settingsImage(expected));
    EXPECT_EQ(uiLog, "");
}

TEST_F(ConfigProgramTest, ClosingWithoutApplyWritesNothing)
{
    ASSERT_EQ(run("/c", "click 300\nclick 900\nclick 110\n"), 1);
    struct stat info;
    EXPECT_NE(stat(settingsFile().c_str(), &info), 0);
}

TEST_F(ConfigProgramTest, ExitCodeIsOneOnlyForAPlainConfigurationSwitch)
{
    for (const char* args : {"/c", "-c", "c", "/C"}) EXPECT_EQ(run(args, "click 110\n"), 1) << args;
    for (const char* args : {"/c:123", "'/p 123'", "/p 123", "/a", ""}) EXPECT_EQ(run(args, "key esc\n"), 0) << args;
}

TEST_F(ConfigProgramTest, AHandEditedFileOutsideEveryListOpensAndIsWrittenBackAsItWas)
{
    TailFields odd;
    odd.colorDepth = 999;
    odd.scheme = 99;
    odd.style = -5;
    odd.videoMode = 200;
    writeFile(settingsFile(), settingsImage(odd));
    ASSERT_EQ(run("/c", "dump\nclick 504\nclick 113\nclick 110\n"), 1) << readFile(root + "/out.txt");
    EXPECT_NE(controlRecord(uiLog, 151).find("text=\"Invalid graphics mode\""), std::string::npos);
    EXPECT_NE(controlRecord(uiLog, 150).find("enabled=0 visible=1 items=[\"No graphics modes\","
                                             "\"Select a different color depth\",\"Or enable some graphics drivers.\"]"),
              std::string::npos);
    for (int id = 152; id <= 156; ++id) EXPECT_NE(controlRecord(uiLog, id).find("checked=0"), std::string::npos) << id;
    EXPECT_NE(uiLog.find("\"Bannana Blend\"] sel=-1"), std::string::npos);
    EXPECT_NE(uiLog.find("\"Roll\"] sel=-1"), std::string::npos);
    EXPECT_EQ(readFile(settingsFile()), settingsImage(odd));
}

TEST_F(ConfigProgramTest, AFirstApplyMakesTheWindowsDirectoryOwnerOnlyAndAFailedOneSaysWhyOnStderr)
{
    // A new user: neither the Windows directory nor the folders above it exist yet.
    ASSERT_EQ(run("/c", "type 505 1234\nclick 113\nclick 110\n", "/home/.local/share/tockwheel"), 1)
        << readFile(root + "/out.txt");
    TailFields expected;
    expected.starAmount = 1234;
    EXPECT_EQ(readFile(root + "/home/.local/share/tockwheel/Orvask/Tockwheel.ini"), settingsImage(expected));
    EXPECT_EQ(uiLog, "");
    for (const char* made : {"/home", "/home/.local/share", "/home/.local/share/tockwheel",
                             "/home/.local/share/tockwheel/Orvask"}) {
        struct stat info;
        ASSERT_EQ(stat((root + made).c_str(), &info), 0) << made;
        EXPECT_EQ(info.st_mode & 0777, 0700u) << made;
    }
    struct stat info;
    EXPECT_NE(stat((root + "/Orvask").c_str(), &info), 0) << "saved where the program was started";

    // A file where a folder must go: the dialog's message as ever, the path and the reason on stderr.
    writeFile(root + "/blocker", "");
    ASSERT_EQ(run("/c", "click 300\nclick 113\nclick 110\n", "/blocker/tockwheel"), 1);
    EXPECT_NE(uiLog.find("box caption=\"Error\" icon=error buttons=ok text=\"Error: Could not save settings to "
                         "INI file.\""),
              std::string::npos)
        << uiLog;
    std::string err = readFile(root + "/out.txt");
    EXPECT_NE(err.find(root + "/blocker/tockwheel: Not a directory"), std::string::npos) << err;
}

// A settings file its owner made read-only is kept: Apply says it could not save, as for any file that
// cannot be opened for writing, instead of replacing it through a new file and a rename.
TEST_F(ConfigProgramTest, AReadOnlySettingsFileIsNotReplaced)
{
    TailFields kept;
    kept.starAmount = 1234;
    writeFile(settingsFile(), settingsImage(kept));
    ASSERT_EQ(chmod(settingsFile().c_str(), 0444), 0);
    ASSERT_EQ(run("/c", "type 505 999\nclick 113\nanswer ok\nclick 110\n", "/windows", true), 1)
        << readFile(root + "/out.txt");
    EXPECT_NE(uiLog.find(kSaveFailed), std::string::npos) << uiLog;
    EXPECT_NE(readFile(root + "/out.txt").find("Tockwheel.ini: Permission denied"), std::string::npos)
        << readFile(root + "/out.txt");
    EXPECT_EQ(readFile(settingsFile()), settingsImage(kept));
    struct stat info;
    ASSERT_EQ(stat(settingsFile().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0444u);
}

// A Windows directory longer than the 255 characters start-up holds is never cut to another folder's
// path: the settings of the folder the cut path names are not read, and Apply fails, saying why.
TEST_F(ConfigProgramTest, AWindowsDirectoryTooLongForItsBufferIsNeitherCutNorUsed)
{
    std::string full = root + "/" + std::string(120, 'w') + "/";
    full += std::string(287 - full.size(), 'x');
    ASSERT_EQ(full.size(), 287u);
    std::string cut = full.substr(0, 255);
    for (const std::string& folder : {full, cut}) {
        ASSERT_EQ(system(("mkdir -p '" + folder + "/Orvask'").c_str()), 0);
    }
    std::string cutFile = cut + "/Orvask/Tockwheel.ini";
    writeFile(cutFile, settingsImageWithPassword(TailFields(), "pw"));
    ASSERT_EQ(run("/c", "dump\nclick 300\nclick 113\nanswer ok\nclick 110\n", full.substr(root.size())), 1)
        << readFile(root + "/out.txt");
    EXPECT_NE(controlRecord(uiLog, 170).find("checked=0"), std::string::npos) << uiLog;
    EXPECT_NE(uiLog.find(kSaveFailed), std::string::npos) << uiLog;
    std::string err = readFile(root + "/out.txt");
    EXPECT_NE(err.find(full + ": 287 characters long"), std::string::npos) << err;
    EXPECT_EQ(readFile(cutFile), settingsImageWithPassword(TailFields(), "pw"));
    struct stat info;
    EXPECT_NE(stat((full + "/Orvask/Tockwheel.ini").c_str(), &info), 0);
}

// With the Windows directory missing, the current directory is still the one the program was started
// in: its Orvask folder is not the user's, and its settings (a password included) are not read.
TEST_F(ConfigProgramTest, AMissingWindowsDirectoryLeavesTheDefaultsNotTheStartFolders)
{
    ASSERT_EQ(mkdir((root + "/Orvask").c_str(), 0755), 0);
    const std::string startFolderFile = root + "/Orvask/Tockwheel.ini";
    writeFile(startFolderFile, settingsImageWithPassword(TailFields(), "pw"));
    ASSERT_EQ(run("/c", "dump\nclick 300\nclick 113\nclick 110\n", "/missing"), 1) << readFile(root + "/out.txt");
    EXPECT_NE(controlRecord(uiLog, 170).find("checked=0"), std::string::npos) << uiLog;
    EXPECT_EQ(readFile(startFolderFile), settingsImageWithPassword(TailFields(), "pw"));
    TailFields saved;
    saved.cubes = 0;
    EXPECT_EQ(readFile(root + "/missing/Orvask/Tockwheel.ini"), settingsImage(saved));
}
