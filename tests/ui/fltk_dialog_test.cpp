// tests/ui/fltk_dialog_test.cpp -- real FLTK dialogs under a private Xvfb, clicked with xdotool.
#include <gtest/gtest.h>

#include "tests/support/xvfb.h"
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kReadTimeoutMs = 15000;
const char* const kProbe = TOCKWHEEL_BINARY_DIR "/tests/ui/ui_probe";

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
};

bool executable(const char* path) { return access(path, X_OK) == 0; }

class XvfbDisplay : public ::testing::Test {
protected:
    pid_t server = -1;
    pid_t probe = -1;
    int probeOut = -1;
    std::string display;
    std::string pending;
    std::map<int, Rect> controls;
    Rect window;

    virtual const char* screenSize() const { return "1024x768x24"; }

    void SetUp() override
    {
        if (!executable("/usr/bin/Xvfb") || !executable("/usr/bin/xdotool")) GTEST_SKIP() << "Xvfb or xdotool missing";
        // Xvfb picks a free display number itself and writes it to the pipe: no clash with other servers.
        int numberPipe[2];
        ASSERT_EQ(pipe(numberPipe), 0);
        server = fork();
        if (server == 0) {
            close(numberPipe[0]);
            std::string fd = std::to_string(numberPipe[1]);
            std::string number = freeXvfbDisplay();
            // -noreset: the server keeps its state (resources loaded with xrdb) between the probe's runs.
            execl("/usr/bin/Xvfb", "Xvfb", number.c_str(), "-displayfd", fd.c_str(), "-screen", "0", screenSize(),
                  "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(numberPipe[1]);
        probeOut = numberPipe[0];
        std::string number = readLine();
        close(probeOut);
        probeOut = -1;
        pending.clear();
        if (number.empty()) GTEST_SKIP() << "Xvfb did not start";
        display = ":" + number;
        if (!waitForXServer(display)) GTEST_SKIP() << "Xvfb did not accept connections";
        setenv("DISPLAY", display.c_str(), 1);
    }

    void TearDown() override
    {
        if (probe > 0) {
            kill(probe, SIGTERM);
            waitpid(probe, nullptr, 0);
        }
        if (probeOut >= 0) close(probeOut);
        if (server > 0) {
            kill(server, SIGTERM);
            waitpid(server, nullptr, 0);
        }
        unsetenv("DISPLAY");
    }

    void startProbe(const std::vector<std::string>& args)
    {
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        probe = fork();
        if (probe == 0) {
            dup2(pipeFds[1], 1);
            close(pipeFds[0]);
            std::vector<char*> argv{const_cast<char*>(kProbe)};
            for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            execv(kProbe, argv.data());
            _exit(127);
        }
        close(pipeFds[1]);
        probeOut = pipeFds[0];
    }

    // The next line from the probe, or "" after the time-out.
    std::string readLine()
    {
        for (;;) {
            size_t end = pending.find('\n');
            if (end != std::string::npos) {
                std::string line = pending.substr(0, end);
                pending.erase(0, end + 1);
                return line;
            }
            pollfd p{probeOut, POLLIN, 0};
            if (poll(&p, 1, kReadTimeoutMs) <= 0) return "";
            char buffer[512];
            ssize_t got = read(probeOut, buffer, sizeof buffer);
            if (got <= 0) return "";
            pending.append(buffer, static_cast<size_t>(got));
        }
    }

    bool waitFor(const std::string& wanted, std::string* seen = nullptr)
    {
        for (std::string line = readLine(); !line.empty(); line = readLine()) {
            if (seen) *seen += line + "\n";
            if (line == wanted) return true;
            std::istringstream words(line);
            std::string kind;
            words >> kind;
            Rect r;
            if (kind == "control") {
                int id = 0;
                words >> id >> r.x >> r.y >> r.w >> r.h;
                if (!controls.count(id)) controls[id] = r;
            } else if (kind == "window") {
                words >> window.x >> window.y >> window.w >> window.h;
            }
        }
        return false;
    }

    void xdotool(const std::string& args)
    {
        std::string command = "xdotool " + args + " >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    int probeExit()
    {
        int status = 0;
        waitpid(probe, &status, 0);
        probe = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Runs the probe to its end and gives everything it printed.
    std::string runProbe(const std::vector<std::string>& args)
    {
        controls.clear();
        window = Rect();
        startProbe(args);
        std::string seen;
        waitFor("<end>", &seen);
        EXPECT_EQ(probeExit(), 0) << seen;
        close(probeOut);
        probeOut = -1;
        pending.clear();
        return seen;
    }
};

// Room for dialogs at twice their size.
class LargeXvfbDisplay : public XvfbDisplay {
protected:
    const char* screenSize() const override { return "2560x1600x24"; }
};

std::string shotPath(const std::string& name) { return std::string(TOCKWHEEL_BINARY_DIR "/tests/ui/") + name; }

}  // namespace

TEST_F(XvfbDisplay, ClickingCheckBoxesSendsTheirCommandsAndEscCancels)
{
    startProbe({"DIALOG_1"});
    ASSERT_TRUE(waitFor("ready"));
    // 389 x 215 dialog units at Liberation Sans 11 px; centred on the 1024 x 768 screen.
    EXPECT_NEAR(window.w, 389 * 6 / 4, 389 / 4 + 1);
    EXPECT_NEAR(window.x + window.w / 2, 512, 2);
    ASSERT_TRUE(controls.count(300) && controls.count(170));

    Rect cubes = controls[300];
    xdotool("mousemove " + std::to_string(cubes.x + 8) + " " + std::to_string(cubes.y + cubes.h / 2) + " click 1");
    std::string seen;
    EXPECT_TRUE(waitFor("command 300 0 checked=0", &seen)) << seen;   // sample content had it ticked

    Rect password = controls[170];
    xdotool("mousemove " + std::to_string(password.x + 8) + " " + std::to_string(password.y + password.h / 2) +
            " click 1");
    EXPECT_TRUE(waitFor("command 170 0 checked=0", &seen)) << seen;   // plain: left to the procedure

    Rect bar = controls[190];
    xdotool("mousemove " + std::to_string(bar.x + bar.w / 2) + " " + std::to_string(bar.y + bar.h - 3) +
            " click 1");
    EXPECT_TRUE(waitFor("scroll 1 0 bar=190", &seen)) << seen;
    EXPECT_TRUE(waitFor("scroll 8 0 bar=190", &seen)) << seen;

    xdotool("key Escape");
    EXPECT_TRUE(waitFor("command 2 0 checked=0", &seen)) << seen;
    EXPECT_EQ(probeExit(), 0);
}

TEST_F(XvfbDisplay, EveryTemplateOpensAndIsPhotographed)
{
    for (const char* name : {"DIALOG_1", "DIALOG_2", "PATH", "DLG"}) {
        std::string shot = std::string(TOCKWHEEL_BINARY_DIR "/tests/ui/dialog-") + name + ".png";
        std::remove(shot.c_str());
        controls.clear();
        startProbe({name, "--shot", shot, "--exit"});
        std::string seen;
        EXPECT_TRUE(waitFor("shot", &seen)) << name << "\n" << seen;
        EXPECT_NE(seen.find("icon 32 32\n"), std::string::npos) << name << ": the clock icon\n" << seen;
        // Every one-line label shows the end of its text: none wraps or is clipped to its template box.
        EXPECT_NE(seen.find("labels checked "), std::string::npos) << seen;
        EXPECT_EQ(seen.find("label-cut"), std::string::npos) << name << "\n" << seen;
        if (std::string(name) == "DLG") {
            // Blue where the bar covers the white box (pen OR NOT destination), white beyond it.
            EXPECT_NE(seen.find("bar 0000ff ffffff\n"), std::string::npos) << seen;
        }
        EXPECT_EQ(probeExit(), 0) << name;
        close(probeOut);
        probeOut = -1;
        pending.clear();
        EXPECT_EQ(access(shot.c_str(), F_OK), 0) << shot;
    }
}

TEST_F(XvfbDisplay, MessageBoxGrowsToHoldEveryLineOfItsText)
{
    std::string seen = runProbe({"BOX", "--shot", shotPath("dialog-message.png")});
    int width = 0, height = 0, buttonTop = 0, lineHeight = 0, top = -1, bottom = -1;
    size_t at = seen.find("box ");
    ASSERT_NE(at, std::string::npos) << seen;
    ASSERT_EQ(std::sscanf(seen.c_str() + at, "box %d %d %d %d\ntext %d %d", &width, &height, &buttonTop, &lineHeight,
                          &top, &bottom), 6) << seen;
    ASSERT_GT(lineHeight, 0);
    // The five lines of the start notice lie below the top edge and above the buttons, and none wrapped.
    EXPECT_GE(top, 4) << seen;
    EXPECT_LT(bottom, buttonTop) << seen;
    int inkRows = bottom - top + 1;
    EXPECT_GT(inkRows, 4 * lineHeight) << seen;
    EXPECT_LE(inkRows, 5 * lineHeight) << seen;
}

TEST_F(XvfbDisplay, UncoveredProgressDialogShowsItsBarAgainWhenThePainterIsIdle)
{
    std::string seen = runProbe({"DLG", "--shot", shotPath("dialog-DLG-cover.png"), "--cover"});
    long compared = 0, blue = 0, differing = -1;
    size_t at = seen.find("cover ");
    ASSERT_NE(at, std::string::npos) << seen;
    ASSERT_EQ(std::sscanf(seen.c_str() + at, "cover compared %ld blue %ld differing %ld", &compared, &blue,
                          &differing), 3) << seen;
    EXPECT_GT(blue, 0) << "the box did not cover the bar";
    EXPECT_EQ(differing, 0) << "of " << compared << " pixels under the box";
}

TEST_F(LargeXvfbDisplay, ScaleFactorDoublesTheDialogAndKeepsItsLayout)
{
    runProbe({"DIALOG_1", "--shot", shotPath("dialog-DIALOG_1-1x.png"), "--exit"});
    Rect plain = window;
    std::map<int, Rect> plainControls = controls;
    ASSERT_GT(plain.w, 0);

    setenv("TOCKWHEEL_UI_SCALE", "2", 1);
    std::string seen = runProbe({"DIALOG_1", "--shot", shotPath("dialog-DIALOG_1-2x.png"), "--exit"});
    unsetenv("TOCKWHEEL_UI_SCALE");
    EXPECT_NEAR(window.w, 2 * plain.w, plain.w / 20) << seen;
    EXPECT_NEAR(window.h, 2 * plain.h, plain.h / 20) << seen;
    EXPECT_EQ(seen.find("label-cut"), std::string::npos) << seen;
    // Each control keeps its place: twice as far from the dialog's corner, twice as large.
    for (int id : {170, 190, 204, 505, 900}) {
        const Rect& a = plainControls[id];
        const Rect& b = controls[id];
        EXPECT_NEAR(b.x - window.x, 2 * (a.x - plain.x), 4) << "control " << id;
        EXPECT_NEAR(b.y - window.y, 2 * (a.y - plain.y), 4) << "control " << id;
        EXPECT_NEAR(b.w, 2 * a.w, 4) << "control " << id;
        EXPECT_NEAR(b.h, 2 * a.h, 4) << "control " << id;
    }
}

TEST_F(LargeXvfbDisplay, XftDpiOfTheResourceDatabaseScalesTheDialog)
{
    if (std::system("command -v xrdb >/dev/null 2>&1") != 0) GTEST_SKIP() << "xrdb missing";
    runProbe({"PATH", "--shot", shotPath("dialog-PATH-1x.png"), "--exit"});
    Rect plain = window;
    ASSERT_GT(plain.w, 0);

    std::string load = "echo 'Xft.dpi: 192' | DISPLAY=" + display + " xrdb -nocpp -merge";
    ASSERT_EQ(std::system(load.c_str()), 0);
    std::string seen = runProbe({"PATH", "--shot", shotPath("dialog-PATH-2x.png"), "--exit"});
    EXPECT_NEAR(window.w, 2 * plain.w, plain.w / 20) << seen;
    EXPECT_NEAR(window.h, 2 * plain.h, plain.h / 20) << seen;
}
