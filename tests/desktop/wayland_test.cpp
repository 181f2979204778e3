// tests/desktop/wayland_test.cpp -- the saver on a wlroots compositor (sway, headless, pixman renderer):
// full screen on the output, ended by keys typed through the compositor (wtype), pictured with grim, and
// telling on stderr that the keyboard is not held while a password is set, natively and under XWayland.
#include "tests/desktop/desktop_support.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

using namespace desktoptest;

constexpr double kStartSeconds = 10;   // the compositor's socket, the saver's first pages
constexpr double kEndSeconds = 10;
constexpr int kOutputWidth = 1024;
constexpr int kOutputHeight = 768;
constexpr uid_t kNobody = 65534;       // sway refuses to run as root
const std::string kShotPrefix = std::string(TOCKWHEEL_BINARY_DIR) + "/desktop-shot-";
const char kNotHeld[] = "display: the keyboard cannot be held here";

void pause(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

size_t occurrences(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// The programs of one session all run as one user, so that XWayland lets the saver in.
std::vector<std::string> asSessionUser(std::vector<std::string> command)
{
    if (geteuid() != 0) return command;
    std::vector<std::string> wrapped = {"setpriv", "--reuid=" + std::to_string(kNobody),
                                        "--regid=" + std::to_string(kNobody), "--clear-groups"};
    wrapped.insert(wrapped.end(), command.begin(), command.end());
    return wrapped;
}

void openToSessionUser(const std::string& path, mode_t mode)
{
    ::chmod(path.c_str(), mode);
    if (geteuid() == 0 && ::chown(path.c_str(), kNobody, kNobody) != 0) std::perror(path.c_str());
}

// Sway on its headless back end with one 1024 x 768 output and XWayland started on first use.
struct Sway {
    TempDir dir;
    pid_t pid = -1;
    std::string runtime, socket, xDisplay;

    ~Sway()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitExit(pid, kEndSeconds);
        }
    }
    std::string out(const std::string& name) const { return dir.file("out/" + name); }

    bool start()
    {
        runtime = dir.file("runtime");
        makeDirectories(runtime);
        makeDirectories(dir.file("out"));
        openToSessionUser(dir.path, 0755);
        openToSessionUser(runtime, 0700);
        openToSessionUser(dir.file("out"), 0777);
        writeFile(dir.file("config"), "output HEADLESS-1 resolution " + std::to_string(kOutputWidth) + "x" +
                                          std::to_string(kOutputHeight) + "\nxwayland enable\n"
                                          "exec sh -c 'echo \"$DISPLAY\" > " + out("display") + "'\n");
        std::vector<std::string> command = asSessionUser({"sway", "-c", dir.file("config")});
        pid = spawnProgram(command[0], std::vector<std::string>(command.begin() + 1, command.end()),
                           {{"XDG_RUNTIME_DIR", runtime}, {"HOME", dir.path}, {"WLR_BACKENDS", "headless"},
                            {"WLR_RENDERER", "pixman"}, {"WLR_LIBINPUT_NO_DEVICES", "1"}, {"DISPLAY", ""},
                            {"WAYLAND_DISPLAY", ""}},
                           dir.file("sway.log"));
        // The file appears once sway runs its start-up commands, with XWayland's display or a blank line.
        for (int i = 0; pid > 0 && i < kStartSeconds * 10 && running(pid); ++i) {
            socket = waylandSocket();
            if (!socket.empty() && !readFile(out("display")).empty()) break;
            pause(0.1);
        }
        std::string display = readFile(out("display"));
        xDisplay = display.substr(0, display.find('\n'));
        return !socket.empty() && running(pid);
    }

    std::string waylandSocket() const
    {
        std::string found;
        DIR* entries = ::opendir(runtime.c_str());
        while (const dirent* entry = entries ? ::readdir(entries) : nullptr) {
            std::string name = entry->d_name;
            if (name.rfind("wayland-", 0) == 0 && name.find('.') == std::string::npos) found = name;
        }
        if (entries) ::closedir(entries);
        return found;
    }

    std::map<std::string, std::string> environment() const
    {
        return {{"XDG_RUNTIME_DIR", runtime}, {"WAYLAND_DISPLAY", socket}, {"DISPLAY", ""}, {"HOME", dir.path}};
    }

    // A client of the session (wtype, grim, swaymsg) run to its end; its status.
    int tool(const std::vector<std::string>& command) const
    {
        std::vector<std::string> wrapped = asSessionUser(command);
        pid_t child = spawnProgram(wrapped[0], std::vector<std::string>(wrapped.begin() + 1, wrapped.end()),
                                   environment(), dir.file("tool.err"));
        return waitExit(child, kEndSeconds);
    }

    Pixels screenshot() const
    {
        Pixels pixels;
        if (tool({"grim", "-t", "ppm", out("shot.ppm")}) != 0) return pixels;
        std::ifstream in(out("shot.ppm"), std::ios::binary);
        std::string magic;
        int maximum = 0;
        in >> magic >> pixels.width >> pixels.height >> maximum;
        in.get();
        pixels.rgb.resize(static_cast<size_t>(pixels.width) * pixels.height * 3);
        in.read(reinterpret_cast<char*>(pixels.rgb.data()), static_cast<std::streamsize>(pixels.rgb.size()));
        if (magic != "P6" || maximum != 255 || !in) pixels = Pixels();
        return pixels;
    }

    std::string tree() const
    {
        std::string ipc;
        DIR* entries = ::opendir(runtime.c_str());
        while (const dirent* entry = entries ? ::readdir(entries) : nullptr)
            if (std::string(entry->d_name).rfind("sway-ipc.", 0) == 0) ipc = runtime + "/" + entry->d_name;
        if (entries) ::closedir(entries);
        std::string command = "swaymsg -s '" + ipc + "' -t get_tree > '" + out("tree.json") + "'";
        return runTool(command) == 0 ? readFile(out("tree.json")) : std::string();
    }
};

// A saver of the session user, with its own Windows directory; `ready` appears once it shows its pages.
struct WaylandSaver {
    WindowsDir windows;
    pid_t pid = -1;
    std::string ready, err;

    void start(const Sway& sway, const std::map<std::string, std::string>& extra)
    {
        openToSessionUser(windows.dir.path, 0755);
        ready = sway.out("ready-" + std::to_string(getpid()) + ".png");
        ::unlink(ready.c_str());
        err = windows.dir.file("err.txt");
        writeFile(windows.dir.file("events.txt"), "at 30 snapshot " + ready + "\n");
        auto env = sway.environment();
        env["WINDIR"] = windows.dir.path;
        env["TOCKWHEEL_DISPLAY"] = "window";
        env["TOCKWHEEL_PASSES"] = "3000";   // no run outlives a failed test by more than a minute
        env["TOCKWHEEL_EVENTS"] = windows.dir.file("events.txt");
        for (const auto& [name, value] : extra) env[name] = value;
        // SDL's Wayland driver leaves keymaps of libxkbcommon and blocks of the Wayland libraries it
        // unloads at exit, which LeakSanitizer can then no longer name; the same saver code is leak-checked
        // on X11.
        const char* asan = std::getenv("ASAN_OPTIONS");
        env["ASAN_OPTIONS"] = std::string(asan ? asan : "") + ":detect_leaks=0";
        std::vector<std::string> command = asSessionUser({TOCKWHEEL_PROGRAM, "/s"});
        pid = spawnProgram(command[0], std::vector<std::string>(command.begin() + 1, command.end()), env, err);
    }
    bool shows() const
    {
        for (int i = 0; i < kStartSeconds * 10; ++i) {
            if (::access(ready.c_str(), F_OK) == 0) return true;
            pause(0.1);
        }
        return false;
    }
    // The key that raises the prompt, then the password and Enter. Each wtype brings a virtual keyboard
    // of its own, which the saver's window is given a moment to take before the key comes; one key a
    // keyboard, since XWayland maps a second key of a fresh keymap wrongly.
    void typePassword(const Sway& sway) const
    {
        for (const char* key : {"x", "o", "k"}) sway.tool({"wtype", "-s", "300", key, "-s", "100"});
        sway.tool({"wtype", "-s", "300", "-k", "Return", "-s", "100"});
    }
};

class WaylandSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* tool : {"sway", "wtype", "grim", "swaymsg"})
            if (!onPath(tool)) GTEST_SKIP() << tool << " is not installed (tools/install-deps.sh installs it)";
        if (geteuid() == 0 && !onPath("setpriv")) GTEST_SKIP() << "setpriv is needed to run sway, which refuses root";
        if (!sway.start()) GTEST_SKIP() << "sway does not start here:\n" << readFile(sway.dir.file("sway.log"));
    }
    Sway sway;
};

TEST_F(WaylandSession, TheSaverFillsTheOutputAKeyEndsItAndAPasswordRunSaysTheKeyboardIsNotHeld)
{
    // A new user's saver (no settings: 640 x 480 stretched) on the compositor's own protocol.
    WaylandSaver plain;
    plain.start(sway, {});
    ASSERT_TRUE(plain.shows()) << readFile(plain.err);
    std::string tree = sway.tree();
    EXPECT_NE(tree.find("\"fullscreen_mode\": 1"), std::string::npos) << tree;
    Pixels shot = sway.screenshot();
    ASSERT_EQ(shot.width, kOutputWidth);
    ASSERT_EQ(shot.height, kOutputHeight);
    writePng(shot, kShotPrefix + "wayland.png");
    // Stars reach every corner of the output, so no part of it is left to the desktop.
    for (int x = 0; x < kOutputWidth; x += kOutputWidth / 4)
        for (int y = 0; y < kOutputHeight; y += kOutputHeight / 4)
            EXPECT_GT(shot.litIn(x, y, kOutputWidth / 4, kOutputHeight / 4), 0) << x << "," << y;
    EXPECT_EQ(sway.tool({"wtype", "-s", "300", "a", "-s", "100"}), 0);
    EXPECT_EQ(waitExit(plain.pid, kEndSeconds), 0) << readFile(plain.err);
    EXPECT_EQ(readFile(plain.err).find(kNotHeld), std::string::npos) << readFile(plain.err);

    // With a password nothing but the password ends it, so the keys surely came through the compositor.
    WaylandSaver locked;
    locked.windows.writeSettings("ok");
    locked.start(sway, {});
    ASSERT_TRUE(locked.shows()) << readFile(locked.err);
    locked.typePassword(sway);
    EXPECT_EQ(waitExit(locked.pid, kEndSeconds), 0) << readFile(locked.err);
    EXPECT_EQ(occurrences(readFile(locked.err), kNotHeld), 1u) << readFile(locked.err);
}

// XWayland grants X grabs, but the compositor keeps its key combinations: a held keyboard would be a lie.
TEST_F(WaylandSession, UnderXWaylandAPasswordRunSaysTheKeyboardIsNotHeld)
{
    if (sway.xDisplay.empty()) GTEST_SKIP() << "sway started no XWayland (package xwayland)";
    WaylandSaver locked;
    locked.windows.writeSettings("ok");
    locked.start(sway, {{"DISPLAY", sway.xDisplay}});
    ASSERT_TRUE(locked.shows()) << readFile(locked.err);
    locked.typePassword(sway);
    EXPECT_EQ(waitExit(locked.pid, kEndSeconds), 0) << readFile(locked.err);
    std::string err = readFile(locked.err);
    EXPECT_EQ(occurrences(err, kNotHeld), 1u) << err;
    EXPECT_NE(err.find("(an X server of a Wayland session)"), std::string::npos) << err;
}

}  // namespace
