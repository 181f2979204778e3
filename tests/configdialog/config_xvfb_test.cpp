// The real configuration dialog (FLTK) on an X server started here, worked with xdotool: clicks reach the
// settings file, and both dialogs are pictured for a person to hold against the templates. Skipped where
// Xvfb or xdotool is missing.
#include <gtest/gtest.h>

#include "tests/support/program_run.h"
#include "tests/support/xvfb.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/x_screen.h"

namespace {

const std::string kProgram = std::string(TOCKWHEEL_PROGRAM);
const std::string kShots = std::string(TOCKWHEEL_BINARY_DIR) + "/configdialog-shots";
constexpr int kConfigWidthDu = 389, kConfigHeightDu = 215;   // DIALOG_1's size in dialog units

std::string output(const std::string& command)
{
    std::string text;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
        pclose(pipe);
    }
    return text;
}

void pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

// A top-level window found by its exact title, and the dialog base units its size implies.
struct ShownWindow {
    bool found = false;
    int x = 0, y = 0, width = 0, height = 0;
};

ShownWindow waitForWindow(const std::string& display, const std::string& title)
{
    ShownWindow window;
    std::string prefix = "DISPLAY=" + display + " ";
    std::string id = output(prefix + "timeout 20 xdotool search --sync --onlyvisible --name '^" + title + "$' 2>/dev/null");
    if (id.empty()) return window;
    id = id.substr(0, id.find('\n'));
    pause(400);   // let the toolkit draw
    std::string shell = output(prefix + "xdotool getwindowgeometry --shell " + id);
    window.found = std::sscanf(shell.c_str(), "WINDOW=%*d\nX=%d\nY=%d\nWIDTH=%d\nHEIGHT=%d", &window.x, &window.y,
                               &window.width, &window.height) == 4;
    return window;
}

class DialogUnits {
public:
    // The realisation's base units, recovered from the configuration dialog's size in pixels.
    explicit DialogUnits(const ShownWindow& config)
        : baseWidth((4 * config.width + kConfigWidthDu / 2) / kConfigWidthDu),
          baseHeight((8 * config.height + kConfigHeightDu / 2) / kConfigHeightDu)
    {
    }
    int x(int units) const { return (units * baseWidth + 2) / 4; }
    int y(int units) const { return (units * baseHeight + 4) / 8; }

private:
    int baseWidth, baseHeight;
};

void clickAt(const std::string& display, const ShownWindow& window, const DialogUnits& du, int xDu, int yDu)
{
    std::string command = "DISPLAY=" + display + " xdotool mousemove --sync " +
                          std::to_string(window.x + du.x(xDu)) + " " + std::to_string(window.y + du.y(yDu)) +
                          " click 1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    pause(250);
}

void typeText(const std::string& display, const std::string& text)
{
    ASSERT_EQ(std::system(("DISPLAY=" + display + " xdotool type --delay 30 '" + text + "'").c_str()), 0);
    pause(200);
}

int waitForExit(pid_t pid, int seconds)
{
    for (int i = 0; i < seconds * 10; ++i) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        pause(100);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -2;
}

}  // namespace

TEST(ConfigDialogOnX, ClicksReachTheSettingsFileAndBothDialogsArePictured)
{
    if (!onPath("Xvfb") || !onPath("xdotool")) GTEST_SKIP() << "Xvfb or xdotool is not installed here";
    PrivateXvfb server;
    ASSERT_TRUE(server.start());
    char pattern[] = "/tmp/tockwheel-configx-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    std::string root = pattern;
    ASSERT_EQ(mkdir((root + "/Orvask").c_str(), 0755), 0);
    mkdir(kShots.c_str(), 0755);

    setenv("DISPLAY", server.display.c_str(), 1);
    setenv("WINDIR", root.c_str(), 1);
    setenv("TOCKWHEEL_UI", "fltk", 1);
    setenv("TOCKWHEEL_UI_LOG", (root + "/ui.log").c_str(), 1);
    setenv("TOCKWHEEL_DISPLAY", "offscreen", 1);   // the mode list of a known virtual screen
    pid_t program = spawnQuietly({kProgram, "/c"});
    ASSERT_GT(program, 0);

    ShownWindow config = waitForWindow(server.display, "Tockwheel");
    ASSERT_TRUE(config.found) << "the configuration dialog did not appear";
    DialogUnits du(config);
    EXPECT_TRUE(captureScreenRect(server.display, config.x, config.y, config.width, config.height,
                                  kShots + "/config-dialog.png"));

    clickAt(server.display, config, du, 6 + 5, 197 + 5);     // "Cubes" off
    clickAt(server.display, config, du, 229 + 5, 12 + 5);    // "Password enabled"
    clickAt(server.display, config, du, 234 + 31, 26 + 6);   // "Change password"

    ShownWindow password = waitForWindow(server.display, "Change password");
    ASSERT_TRUE(password.found) << "the password dialog did not appear";
    EXPECT_TRUE(captureScreenRect(server.display, password.x, password.y, password.width, password.height,
                                  kShots + "/password-dialog.png"));
    clickAt(server.display, password, du, 5 + 50, 38 + 6);   // new password
    typeText(server.display, "tick");
    clickAt(server.display, password, du, 5 + 50, 63 + 6);   // confirmation
    typeText(server.display, "tick");
    clickAt(server.display, password, du, 83 + 20, 80 + 7);  // "Ok"

    ShownWindow changed = waitForWindow(server.display, "Password");
    ASSERT_TRUE(changed.found) << "no confirmation box";
    ASSERT_EQ(std::system(("DISPLAY=" + server.display + " xdotool key Return").c_str()), 0);
    pause(400);

    clickAt(server.display, config, du, 311 + 18, 2 + 6);    // "Apply"
    clickAt(server.display, config, du, 351 + 18, 2 + 6);    // "Ok"
    EXPECT_EQ(waitForExit(program, 20), 1);

    std::string file = readFile(root + "/Orvask/Tockwheel.ini");
    ASSERT_EQ(file.size(), 80u);                              // 74 bytes and the password block of "tick"
    EXPECT_EQ(file.substr(4, 4), std::string("\1\0\4\0", 4));
    EXPECT_EQ(file.substr(8, 4), "tick");
    EXPECT_EQ(file.substr(12 + 46, 2), std::string("\0\0", 2));   // showCubes
    EXPECT_NE(readFile(root + "/ui.log").find("text=\"Your password has been changed.\" shown=fltk"),
              std::string::npos);
    std::system(("rm -rf '" + root + "'").c_str());
}
