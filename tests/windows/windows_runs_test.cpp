// tests/windows/windows_runs_test.cpp -- the Windows programs (build-windows/<arch>/) run under Wine, each
// check on its own Wine prefix and its own Xvfb: the saver draws and a key ends it, the password prompt,
// the configuration dialog's Apply against the Linux build's, a refused start, the /p preview in a host.
//
// Without the Windows build the checks are skipped, unless TOCKWHEEL_REQUIRE_WINDOWS=1 (tools/test.sh)
// makes that a failure. The i686 programs run only where wine32 is installed.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "config/settings.h"
#include "config/settings_file.h"
#include "tests/support/program_run.h"
#include "tests/support/x_screen.h"
#include "tests/support/xvfb.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void sleepSeconds(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

bool exists(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

bool wine32Installed() { return exists("/usr/lib/wine/i386-windows/kernel32.dll"); }

// Waits for the child; its exit status, 128 + signal, or -1 when it was still running after `seconds`
// (it is then killed).
int waitForExit(pid_t pid, double seconds)
{
    Clock::time_point start = Clock::now();
    int status = 0;
    while (secondsSince(start) < seconds) {
        pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        sleepSeconds(0.02);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
}

bool stillRunning(pid_t pid)
{
    int status = 0;
    return ::waitpid(pid, &status, WNOHANG) == 0;
}

// Pixels of a picture that belong to the clock (clearly coloured) and to the stars (small grey dots).
struct PictureCounts {
    int coloured = 0;
    int grey = 0;
    int magenta = 0;       // the preview host's own background
};

PictureCounts countPixels(const ScreenPixels& picture)
{
    PictureCounts counts;
    for (size_t i = 0; i + 2 < picture.rgb.size(); i += 3) {
        int r = picture.rgb[i], g = picture.rgb[i + 1], b = picture.rgb[i + 2];
        int high = std::max(r, std::max(g, b)), low = std::min(r, std::min(g, b));
        if (high > 80 && high - low > 60) ++counts.coloured;
        else if (high > 60 && high - low < 20) ++counts.grey;
        if (r == 255 && g == 0 && b == 255) ++counts.magenta;
    }
    return counts;
}

// The password prompt in the middle of the screen: the least of its pale yellow field's pixels and its grey
// frame's (255,255,239 and 189,190,189 on a 24-bit screen), counted in a box around the centre.
int promptPixels(const ScreenPixels& picture)
{
    int field = 0, frame = 0;
    for (int y = picture.height / 2 - 80; y < picture.height / 2 + 80; ++y)
        for (int x = picture.width / 2 - 210; x < picture.width / 2 + 210; ++x) {
            size_t i = (static_cast<size_t>(y) * static_cast<size_t>(picture.width) + static_cast<size_t>(x)) * 3;
            int r = picture.rgb[i], g = picture.rgb[i + 1], b = picture.rgb[i + 2];
            if (r >= 250 && g >= 250 && b >= 234 && b <= 244) ++field;
            if (std::abs(r - 189) <= 4 && std::abs(g - 190) <= 4 && std::abs(b - 189) <= 4) ++frame;
        }
    return std::min(field, frame);
}

class WindowsRun : public ::testing::TestWithParam<const char*> {
protected:
    PrivateXvfb xvfb;
    TempDir prefix;
    std::string arch;
    std::string windowsDir;   // the prefix's C:\windows
    std::string pictures = std::string(TOCKWHEEL_BINARY_DIR) + "/tests/windows/pictures";

    void SetUp() override
    {
        arch = GetParam();
        const char* require = std::getenv("TOCKWHEEL_REQUIRE_WINDOWS");
        bool required = require && std::strcmp(require, "1") == 0;
        if (!exists(program())) {
            if (required) FAIL() << "no Windows build: " << program() << " (tools/build-windows.sh)";
            GTEST_SKIP() << "no Windows build at " << program();
        }
        if (arch == "i686" && !wine32Installed())
            GTEST_SKIP() << "wine32 is not installed here: the i686 program is built and checked, not run";
        ASSERT_TRUE(onPath("wine")) << "wine is not installed";
        ASSERT_TRUE(xvfb.start("1024x768x24"));
        setenv("DISPLAY", xvfb.display.c_str(), 1);
        setenv("WINEPREFIX", prefix.path.c_str(), 1);
        setenv("WINEDEBUG", "-all", 1);
        setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);   // no Mono or Gecko installer on first boot
        unsetenv("TOCKWHEEL_UI");
        unsetenv("TOCKWHEEL_TIME");
        // Without a window manager Wine waits 2 s for each managed window it takes down; unmanaged
        // windows go at once, as on Windows.
        ProgramRun boot = runProgram(
            "/bin/sh",
            {"-c", "wineboot -i && wine reg add 'HKCU\\Software\\Wine\\X11 Driver' /v Managed /d N /f >/dev/null && "
                   "wineserver -w"},
            {}, "/", 120);
        ASSERT_EQ(boot.exitCode, 0) << boot.err;
        windowsDir = prefix.file("drive_c/windows");
        ASSERT_TRUE(makeDirectories(windowsDir + "/Orvask"));
        ASSERT_TRUE(makeDirectories(windowsDir + "/fonts"));
        ASSERT_TRUE(copyFile(TOCKWHEEL_FONT_FILE, windowsDir + "/fonts/Arial.ttf"));
        ASSERT_TRUE(copyFile(std::string(TOCKWHEEL_PROMPT_DIR) + "/pass.pag", windowsDir + "/Orvask/pass.pag"));
        ASSERT_TRUE(copyFile(std::string(TOCKWHEEL_PROMPT_DIR) + "/pass2x.pag", windowsDir + "/Orvask/pass2x.pag"));
        makeDirectories(pictures);
        setenv("TOCKWHEEL_UI_LOG", prefix.file("ui.log").c_str(), 1);
    }

    void TearDown() override
    {
        runProgram("/bin/sh", {"-c", "wineserver -k"}, {}, "/", 30);
    }

    std::string program() const { return std::string(TOCKWHEEL_WINDOWS_DIR) + "/" + arch + "/tockwheel.scr"; }
    std::string picturePath(const std::string& name) const { return pictures + "/" + arch + "-" + name + ".png"; }

    void saveSettings(const SettingsRecord& record)
    {
        uint8_t image[kSettingsMaxFileSize];
        size_t size = encodeSettings(record, image);
        writeFile(windowsDir + "/Orvask/Tockwheel.ini", std::string(reinterpret_cast<char*>(image), size));
    }

    pid_t start(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> command = {"wine", program()};
        command.insert(command.end(), arguments.begin(), arguments.end());
        return spawnQuietly(command);
    }

    // A saver run with this password, woken so that its prompt shows; 0 when it did not start.
    pid_t startAtThePrompt(const char* password)
    {
        resetSettings();
        SettingsRecord settings = Settings;
        settings.passwordEnabled = 1;
        std::strcpy(settings.password, password);
        saveSettings(settings);
        pid_t saver = start({"/s"});
        if (saver <= 0) return 0;
        sleepSeconds(6);
        key("space");
        sleepSeconds(1.5);
        return saver;
    }

    ScreenPixels picture(const std::string& name)
    {
        ScreenPixels pixels = readScreen(xvfb.display);
        writeRgbPng(pixels, picturePath(name));
        return pixels;
    }

    void key(const std::string& keys)
    {
        pid_t pid = spawnQuietly({"xdotool", "key", "--delay", "60", keys});
        waitForExit(pid, 10);
    }

    void keys(const std::vector<std::string>& names)
    {
        std::vector<std::string> command = {"xdotool", "key", "--delay", "80"};
        command.insert(command.end(), names.begin(), names.end());
        waitForExit(spawnQuietly(command), 10);
    }

    // A top-level window whose title is exactly `title` exists on the X screen.
    bool windowNamed(const std::string& title)
    {
        ProgramRun found = runProgram("/usr/bin/xdotool", {"search", "--name", "^" + title + "$"}, {}, "/", 10);
        return found.exitCode == 0 && !found.out.empty();
    }

    std::string uiLog() const { return readFile(prefix.file("ui.log")); }
};

TEST_P(WindowsRun, SaverDrawsTheClockAndStarsAndAKeyEndsItWithZero)
{
    pid_t saver = start({"/s"});
    ASSERT_GT(saver, 0);
    sleepSeconds(6);
    ASSERT_TRUE(stillRunning(saver));
    PictureCounts counts = countPixels(picture("saver"));
    EXPECT_GT(counts.coloured, 1024 * 768 / 100) << "no clock on the screen";
    EXPECT_GT(counts.grey, 100) << "no stars on the screen";
    Clock::time_point pressed = Clock::now();
    key("space");
    EXPECT_EQ(waitForExit(saver, 10), 0);
    double seconds = secondsSince(pressed);
    std::printf("key to exit: %.2f s\n", seconds);
    EXPECT_LT(seconds, 1.0);
}

// Windows hands a program path with a blank over in quotes: the switch after it still counts.
TEST_P(WindowsRun, SlashSRunsTheSaverFromAFolderWithABlank)
{
    std::string folder = prefix.file("drive_c/my saver");
    ASSERT_TRUE(makeDirectories(folder));
    ASSERT_TRUE(copyFile(program(), folder + "/tockwheel.scr"));
    pid_t saver = spawnQuietly({"wine", folder + "/tockwheel.scr", "/s"});
    ASSERT_GT(saver, 0);
    sleepSeconds(6);
    ASSERT_TRUE(stillRunning(saver));
    PictureCounts counts = countPixels(picture("saver-blank-path"));
    EXPECT_GT(counts.coloured, 1024 * 768 / 100) << "no clock on the screen: the settings dialog opened instead?";
    key("space");
    EXPECT_EQ(waitForExit(saver, 10), 0);
}

TEST_P(WindowsRun, PasswordPromptKeepsAWrongPasswordAndTheRightOneEndsWithZero)
{
    pid_t saver = startAtThePrompt("pw");
    ASSERT_GT(saver, 0);
    EXPECT_GT(promptPixels(picture("prompt")), 2000) << "no password prompt";
    keys({"x", "y", "Return"});
    sleepSeconds(1.5);
    // A wrong password takes the prompt away and keeps the saver; the next key raises an empty prompt.
    EXPECT_TRUE(stillRunning(saver)) << "a wrong password ended the saver";
    EXPECT_LT(promptPixels(picture("prompt-after-wrong")), 300) << "the prompt stayed after a wrong password";
    key("space");
    sleepSeconds(1.5);
    EXPECT_GT(promptPixels(picture("prompt-again")), 2000) << "no prompt after the next key";
    keys({"p", "w", "Return"});
    EXPECT_EQ(waitForExit(saver, 10), 0);
}

// On a 16:9 screen the 4:3 page keeps its shape between black bars, as a display shows a 4:3 mode: the clock
// stays round. Stretched over the whole width, stars would lie in the bars' columns.
TEST_P(WindowsRun, AWideScreenShowsThePageWithItsShapeBetweenBlackBars)
{
    PrivateXvfb wide;
    ASSERT_TRUE(wide.start("1280x720x24"));
    setenv("DISPLAY", wide.display.c_str(), 1);
    pid_t saver = start({"/s"});
    ASSERT_GT(saver, 0);
    sleepSeconds(6);
    ASSERT_TRUE(stillRunning(saver));
    ScreenPixels pixels = readScreen(wide.display);
    writeRgbPng(pixels, picturePath("wide-screen"));
    const int barWidth = (1280 - 720 * 4 / 3) / 2;   // 160 pixels each side
    int litInBars = 0, litInPage = 0;
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x) {
            size_t i = (static_cast<size_t>(y) * static_cast<size_t>(pixels.width) + static_cast<size_t>(x)) * 3;
            bool lit = pixels.rgb[i] > 40 || pixels.rgb[i + 1] > 40 || pixels.rgb[i + 2] > 40;
            bool inBar = x < barWidth - 2 || x >= pixels.width - barWidth + 2;
            (inBar ? litInBars : litInPage) += lit ? 1 : 0;
        }
    EXPECT_EQ(litInBars, 0) << "the page was stretched over the bars";
    EXPECT_GT(litInPage, 1000) << "nothing drawn";
    key("space");
    EXPECT_EQ(waitForExit(saver, 10), 0);
}

// The prompt takes the typed letter with its accent as Windows-1252 (e9), as the settings file holds it,
// whatever the system's own ANSI code page.
TEST_P(WindowsRun, APasswordWithAnAccentTypedAtThePromptEndsWithZero)
{
    pid_t saver = startAtThePrompt("caf\xe9");
    ASSERT_GT(saver, 0);
    keys({"c", "a", "f", "eacute", "Return"});
    EXPECT_EQ(waitForExit(saver, 10), 0) << "caf\\xe9 was not taken at the prompt";
}

TEST_P(WindowsRun, RefusedStartShowsTheFatalErrorBoxAndEndsWithZero)
{
    resetSettings();
    SettingsRecord settings = Settings;
    settings.passwordEnabled = 1;
    std::strcpy(settings.password, "pw");
    settings.videoMode = 19;   // 640 x 480: the large bitmap is needed all the same
    saveSettings(settings);
    ::unlink((windowsDir + "/Orvask/pass2x.pag").c_str());
    pid_t saver = start({"/s"});
    ASSERT_GT(saver, 0);
    Clock::time_point begin = Clock::now();
    while (!windowNamed("Error") && secondsSince(begin) < 20) sleepSeconds(0.25);
    std::string titles =
        runProgram("/bin/sh", {"-c", "for w in $(xdotool search --name .); do xdotool getwindowname $w; done"}, {},
                   "/", 10).out;
    ASSERT_TRUE(windowNamed("Error")) << "no box captioned \"Error\"; log: " << uiLog() << "; windows: " << titles;
    picture("refused");
    EXPECT_NE(uiLog().find("Fatal Error: Unable to find file pass2x.pag."), std::string::npos) << uiLog();
    key("Return");
    EXPECT_EQ(waitForExit(saver, 10), 0);
}

TEST_P(WindowsRun, ApplyWritesTheSameBytesAsTheLinuxBuild)
{
    const std::string script =
        "click 300\nclick 301\nclick 600\nclick 501\ntype 504 5\ntype 505 1234\nselect 204 Fire Red\n"
        "select 700 Roll\nscroll 190 linedown\nclick 900\nclick 113\nclick 110\n";
    TempDir linuxWindows;
    writeFile(linuxWindows.file("script.txt"), script);
    ProgramRun linux = runProgram(TOCKWHEEL_PROGRAM, {"/c"},
                                  {{"WINDIR", linuxWindows.path}, {"TOCKWHEEL_DISPLAY", "offscreen"},
                                   {"TOCKWHEEL_SCREEN", "1024x768"}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""},
                                   {"TOCKWHEEL_UI", "script:" + linuxWindows.file("script.txt")}},
                                  "/", 60);
    ASSERT_EQ(linux.exitCode, 1) << linux.err;
    std::string linuxBytes = readFile(linuxWindows.file("Orvask/Tockwheel.ini"));
    ASSERT_FALSE(linuxBytes.empty());

    writeFile(prefix.file("script.txt"), script);
    setenv("TOCKWHEEL_UI", ("script:Z:" + prefix.file("script.txt")).c_str(), 1);
    pid_t configure = start({"/c"});
    ASSERT_GT(configure, 0);
    EXPECT_EQ(waitForExit(configure, 60), 1);
    EXPECT_EQ(readFile(windowsDir + "/Orvask/Tockwheel.ini"), linuxBytes);
}

// The display's size as the X server reports it.
std::string screenSize(const std::string& display)
{
    const std::string current = "sed -n 's/.*current \\([0-9]* x [0-9]*\\),.*/\\1/p'";
    ProgramRun query = runProgram("/bin/sh", {"-c", "DISPLAY=" + display + " xrandr | " + current}, {}, "/", 10);
    std::string size = query.out;
    while (!size.empty() && (size.back() == '\n' || size.back() == ' ')) size.pop_back();
    return size;
}

TEST_P(WindowsRun, AModeChangeResizesTheXScreenAndTheDesktopSizeComesBack)
{
    // Xvfb offers only its own size until told of another.
    ProgramRun add = runProgram("/bin/sh", {"-c", "xrandr --newmode tw800 40.00 800 840 968 1056 600 601 605 628 "
                                                  "+hsync +vsync && xrandr --addmode screen tw800"}, {}, "/", 10);
    ASSERT_EQ(add.exitCode, 0) << add.err;
    resetSettings();
    SettingsRecord settings = Settings;
    settings.videoMode = 80;   // 800 x 600, 32 bits per pixel
    saveSettings(settings);
    ASSERT_EQ(screenSize(xvfb.display), "1024 x 768");
    pid_t saver = start({"/s"});
    ASSERT_GT(saver, 0);
    sleepSeconds(6);
    EXPECT_EQ(screenSize(xvfb.display), "800 x 600");
    ScreenPixels screen = picture("mode-800x600");
    EXPECT_GT(countPixels(screen).coloured, 800 * 600 / 100) << "no clock on the screen";
    key("space");
    EXPECT_EQ(waitForExit(saver, 10), 0);
    EXPECT_EQ(screenSize(xvfb.display), "1024 x 768");
}

// Under Wine 8 what one process draws into another's child window does not reach the X screen, so the
// preview's own pixels cannot be looked at here: the check is that the run stays inside the host's
// window (nothing of its own on the screen around it, no box), and ends with 0 once the window goes.
TEST_P(WindowsRun, PreviewStaysInTheHostWindowAndEndsWhenItIsDestroyed)
{
    std::string host = std::string(TOCKWHEEL_WINDOWS_DIR) + "/" + arch + "/preview_host.exe";
    if (!exists(host)) GTEST_SKIP() << "no preview host at " << host << " (tools/build-windows.sh --tests)";
    pid_t hostRun = spawnQuietly({"wine", host, program(), "6000", "1000"});
    ASSERT_GT(hostRun, 0);
    sleepSeconds(5);
    ScreenPixels screen = picture("preview");
    ASSERT_EQ(screen.width, 1024);
    int drawnOutside = 0;
    for (int y = 0; y < screen.height; ++y)
        for (int x = 0; x < screen.width; ++x) {
            bool inHost = x >= 30 && x < 400 && y >= 30 && y < 340;   // the host window, frame included
            size_t i = (static_cast<size_t>(y) * static_cast<size_t>(screen.width) + static_cast<size_t>(x)) * 3;
            if (!inHost && (screen.rgb[i] | screen.rgb[i + 1] | screen.rgb[i + 2]) > 40) ++drawnOutside;
        }
    EXPECT_LT(drawnOutside, 100) << "the preview drew outside its host's window";
    EXPECT_FALSE(windowNamed("Error"));
    EXPECT_EQ(waitForExit(hostRun, 30), 0) << "the preview did not end with 0 within a second of its window going";
}

// Windows' control panel opens the settings with "/c:HWND": the dialog belongs to that window, so it stays
// above the panel and the panel waits for it; closing it ends the saver with 0, as any other form of /c
// with something after the switch.
TEST_P(WindowsRun, SettingsOpenedWithAWindowBelongToThatWindow)
{
    std::string host = std::string(TOCKWHEEL_WINDOWS_DIR) + "/" + arch + "/preview_host.exe";
    if (!exists(host)) GTEST_SKIP() << "no preview host at " << host << " (tools/build-windows.sh --tests)";
    pid_t hostRun = spawnQuietly({"wine", host, program(), "15000", "5000", "settings"});
    ASSERT_GT(hostRun, 0);
    EXPECT_EQ(waitForExit(hostRun, 40), 0) << "no dialog owned by the host's window, or the saver did not end with 0";
}

INSTANTIATE_TEST_SUITE_P(Arch, WindowsRun, ::testing::Values("x86_64", "i686"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

}  // namespace
