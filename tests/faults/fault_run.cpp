// tests/faults/fault_run.cpp -- background runs with a time limit, and the full-disk and read-only
// wrappers.
#include "tests/faults/fault_run.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>

namespace {

constexpr int kPollSleepUs = 10'000;

double nowSeconds()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

}  // namespace

std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

RunningProgram startProgram(const std::string& program, const std::vector<std::string>& arguments,
                            const std::map<std::string, std::string>& environment, const std::string& outputPath)
{
    RunningProgram running;
    running.outputPath = outputPath;
    running.pid = fork();
    if (running.pid != 0) return running;
    for (const auto& entry : environment) {
        if (entry.second.empty()) unsetenv(entry.first.c_str());
        else setenv(entry.first.c_str(), entry.second.c_str(), 1);
    }
    int out = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out >= 0) {
        dup2(out, 1);
        dup2(out, 2);
        close(out);
    }
    setpgid(0, 0);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execvp(program.c_str(), argv.data());
    _exit(127);
}

int waitForExit(RunningProgram& running, double seconds)
{
    if (running.pid <= 0) return -1;
    double deadline = nowSeconds() + seconds;
    int status = 0;
    for (;;) {
        pid_t done = waitpid(running.pid, &status, WNOHANG);
        if (done == running.pid) break;
        if (nowSeconds() > deadline) {
            kill(-running.pid, SIGKILL);
            kill(running.pid, SIGKILL);
            waitpid(running.pid, &status, 0);
            running.pid = -1;
            return -1;
        }
        usleep(kPollSleepUs);
    }
    running.pid = -1;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return 128 + WTERMSIG(status);
}

bool waitForFile(const std::string& path, double seconds)
{
    double deadline = nowSeconds() + seconds;
    while (access(path.c_str(), F_OK) != 0) {
        if (nowSeconds() > deadline) return false;
        usleep(kPollSleepUs);
    }
    return true;
}

ProgramRun runWithFileSizeLimit(const std::string& program, const std::vector<std::string>& arguments,
                                const std::map<std::string, std::string>& environment,
                                const std::string& workingDirectory, long bytes, double seconds)
{
    ProgramRun run;
    int fds[2];
    if (pipe(fds) != 0) return run;
    double start = nowSeconds();
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        for (const auto& entry : environment) {
            if (entry.second.empty()) unsetenv(entry.first.c_str());
            else setenv(entry.first.c_str(), entry.second.c_str(), 1);
        }
        if (chdir(workingDirectory.c_str()) != 0) _exit(126);
        dup2(fds[1], 1);
        dup2(fds[1], 2);
        close(fds[1]);
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {rlim_t(bytes), rlim_t(bytes)};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(fds[1]);
    fcntl(fds[0], F_SETFL, O_NONBLOCK);
    RunningProgram running{pid, ""};
    char block[4096];
    int status = -2;
    while (status == -2) {
        ssize_t got;
        while ((got = read(fds[0], block, sizeof block)) > 0) run.err.append(block, size_t(got));
        int state = 0;
        if (waitpid(pid, &state, WNOHANG) == pid) {
            status = WIFEXITED(state) ? WEXITSTATUS(state) : 128 + WTERMSIG(state);
            while ((got = read(fds[0], block, sizeof block)) > 0) run.err.append(block, size_t(got));
        } else if (nowSeconds() - start > seconds) {
            status = waitForExit(running, 0);
        } else {
            usleep(kPollSleepUs);
        }
    }
    close(fds[0]);
    run.exitCode = status;
    run.out = run.err;
    run.seconds = nowSeconds() - start;
    return run;
}

std::string withReadOnlyFolder(const std::string& command, const std::string& folder)
{
    static const bool allowed = std::system("unshare -m sh -c 'mount --bind /tmp /tmp && "
                                            "mount -o remount,bind,ro /tmp' >/dev/null 2>&1") == 0;
    if (!allowed) return std::string();
    return "unshare -m sh -c " +
           quoted("mount --bind " + quoted(folder) + " " + quoted(folder) + " && mount -o remount,bind,ro " +
                  quoted(folder) + " && exec " + command);
}
