// tests/desktop/desktop_support.cpp -- X servers, saver processes and window pixels for the desktop tests.
#include "tests/desktop/desktop_support.h"
#include "tests/support/xvfb.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "config/settings.h"
#include "config/settings_file.h"

extern char** environ;

namespace desktoptest {

namespace {

pid_t spawnWith(const std::vector<std::string>& args, char** env, int keepFd, const std::string& errFile)
{
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    (void)keepFd;   // inherited: posix_spawn keeps every descriptor not marked close-on-exec
    posix_spawn_file_actions_addopen(&actions, 2, errFile.empty() ? "/dev/null" : errFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), env) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// The server writes its display number on the pipe once it accepts clients.
const char* kDummyConfig =
    "Section \"Device\"\n  Identifier \"dummy\"\n  Driver \"dummy\"\n  VideoRam 65536\nEndSection\n"
    "Section \"Screen\"\n  Identifier \"s\"\n  Device \"dummy\"\n  DefaultDepth 24\nEndSection\n";

}  // namespace

XServer::~XServer()
{
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitExit(pid, 10);
    }
}

bool XServer::startXvfb(const std::string& screen)
{
    if (!onPath("Xvfb")) return false;
    int fds[2];
    if (pipe(fds) != 0) return false;
    pid = spawnWith({"Xvfb", freeXvfbDisplay(), "-displayfd", std::to_string(fds[1]), "-screen", "0", screen,
                     "-nolisten", "tcp", "-noreset"},
                    environ, fds[1], "");
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return false;
    }
    return readReportedDisplay(fds[0], &display) && waitForXServer(display);
}

bool XServer::startDummyXorg(const std::string& workDir)
{
    if (!onPath("Xorg") || access("/usr/lib/xorg/modules/drivers/dummy_drv.so", R_OK) != 0) return false;
    configPath = workDir + "/xorg-dummy.conf";
    if (!writeFile(configPath, kDummyConfig)) return false;
    int fds[2];
    if (pipe(fds) != 0) return false;
    pid = spawnWith({"Xorg", "-displayfd", std::to_string(fds[1]), "-config", configPath, "-logfile",
                     workDir + "/xorg.log", "-noreset", "-nolisten", "tcp"},
                    environ, fds[1], workDir + "/xorg.err");
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return false;
    }
    return readReportedDisplay(fds[0], &display);
}

WindowsDir::WindowsDir()
{
    makeDirectories(dir.file("Orvask"));
    makeDirectories(dir.file("fonts"));
    copyFile(TOCKWHEEL_FONT_FILE, dir.file("fonts/Arial.ttf"));
    copyFile(std::string(TOCKWHEEL_PROMPT_DIR) + "/pass.pag", dir.file("Orvask/pass.pag"));
    copyFile(std::string(TOCKWHEEL_PROMPT_DIR) + "/pass2x.pag", dir.file("Orvask/pass2x.pag"));
}

void WindowsDir::writeSettings(const char* password)
{
    resetSettings();
    SettingsRecord record = Settings;
    record.videoMode = kMode1024x768x32;
    record.passwordEnabled = password ? 1 : 0;
    std::snprintf(record.password, sizeof record.password, "%s", password ? password : "");
    uint8_t image[kSettingsMaxFileSize];
    size_t size = encodeSettings(record, image);
    writeFile(dir.file("Orvask/Tockwheel.ini"), std::string(reinterpret_cast<char*>(image), size));
}

std::map<std::string, std::string> WindowsDir::environment(const std::string& display) const
{
    return {
        {"WINDIR", dir.path},
        {"DISPLAY", display},
        {"TOCKWHEEL_DISPLAY", "window"},
        {"TOCKWHEEL_TIME", "2024-03-05T15:30:07"},
        {"TOCKWHEEL_PASSES", "3000"},   // no run outlives a failed test by more than a minute
        {"TOCKWHEEL_UI_LOG", dir.file("ui.log")},
    };
}

pid_t spawnProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::map<std::string, std::string>& environment, const std::string& errFile)
{
    std::map<std::string, std::string> merged;
    for (char** entry = environ; *entry; ++entry) {
        const char* equals = std::strchr(*entry, '=');
        if (equals) merged[std::string(*entry, static_cast<size_t>(equals - *entry))] = equals + 1;
    }
    merged.erase("XSCREENSAVER_WINDOW");
    merged.erase("TOCKWHEEL_FPS");
    for (const auto& [name, value] : environment) merged[name] = value;
    std::vector<std::string> entries;
    for (const auto& [name, value] : merged)
        if (!value.empty()) entries.push_back(name + "=" + value);
    std::vector<char*> env;
    for (std::string& entry : entries) env.push_back(&entry[0]);
    env.push_back(nullptr);
    std::vector<std::string> args = {program};
    args.insert(args.end(), arguments.begin(), arguments.end());
    return spawnWith(args, env.data(), -1, errFile);
}

int waitExit(pid_t pid, double seconds)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        int status = 0;
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (done < 0 || std::chrono::steady_clock::now() > deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

bool running(pid_t pid)
{
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == 0;
}

int runTool(const std::string& commandLine)
{
    int status = std::system(commandLine.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int Pixels::litIn(int x, int y, int w, int h) const
{
    int lit = 0;
    for (int row = y; row < y + h && row < height; ++row)
        for (int column = x; column < x + w && column < width; ++column) {
            const unsigned char* p = &rgb[(static_cast<size_t>(row) * width + column) * 3];
            if (p[0] | p[1] | p[2]) ++lit;
        }
    return lit;
}

Pixels readWindow(const std::string& display, unsigned long window, int screen)
{
    Pixels pixels;
    static_cast<ScreenPixels&>(pixels) = readScreen(display, window, 0, 0, -1, -1, screen);
    return pixels;
}

bool writePng(const Pixels& pixels, const std::string& path) { return writeRgbPng(pixels, path); }

unsigned long saverWindow(const std::string& display)
{
    Display* x = XOpenDisplay(display.c_str());
    if (!x) return 0;
    Window found = 0, root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && found == 0; ++i) {
            char* name = nullptr;
            if (!XFetchName(x, children[i], &name) || !name) continue;
            if (std::strncmp(name, "Tockwheel", 9) == 0) found = children[i];
            XFree(name);
        }
        XFree(children);
    }
    XCloseDisplay(x);
    return found;
}

}  // namespace desktoptest
