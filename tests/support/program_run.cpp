// tests/support/program_run.cpp -- child processes for whole-program tests.
#include "tests/support/program_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

[[noreturn]] void execChild(const std::string& program, const std::vector<std::string>& arguments,
                            const std::map<std::string, std::string>& environment,
                            const std::string& workingDirectory, const std::string& outPath,
                            const std::string& errPath)
{
    int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int nothing = ::open("/dev/null", O_RDONLY);
    if (out < 0 || err < 0 || nothing < 0) _exit(126);
    ::dup2(nothing, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    for (const auto& entry : environment) {
        if (entry.second.empty())
            ::unsetenv(entry.first.c_str());
        else
            ::setenv(entry.first.c_str(), entry.second.c_str(), 1);
    }
    if (!workingDirectory.empty() && ::chdir(workingDirectory.c_str()) != 0) _exit(126);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    _exit(127);
}

}  // namespace

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment, const std::string& workingDirectory,
                      double timeLimitSeconds)
{
    TempDir capture;
    std::string outPath = capture.file("stdout");
    std::string errPath = capture.file("stderr");
    ProgramRun run;
    auto start = std::chrono::steady_clock::now();
    pid_t child = ::fork();
    if (child < 0) return run;
    if (child == 0) execChild(program, arguments, environment, workingDirectory, outPath, errPath);

    int status = 0;
    for (;;) {
        pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child) break;
        double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (elapsed > timeLimitSeconds) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            status = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (status == -1)
        run.exitCode = -1;
    else if (WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        run.exitCode = 128 + WTERMSIG(status);
    run.out = readFile(outPath);
    run.err = readFile(errPath);
    return run;
}

TempDir::TempDir()
{
    char pattern[] = "/tmp/tockwheel-test-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    path = made ? made : "/tmp";
}

TempDir::~TempDir()
{
    if (path.size() > 5 && path.rfind("/tmp/tockwheel-test-", 0) == 0) {
        std::string command = "rm -rf '" + path + "'";
        if (std::system(command.c_str()) != 0) {
            // Nothing more to do: a leftover temporary folder harms no test.
        }
    }
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool writeFile(const std::string& path, const std::string& contents)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
    return static_cast<bool>(out);
}

bool copyFile(const std::string& from, const std::string& to)
{
    std::ifstream in(from, std::ios::binary);
    if (!in) return false;
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    out << in.rdbuf();
    return static_cast<bool>(out);
}

bool makeDirectories(const std::string& path)
{
    std::string command = "mkdir -p '" + path + "'";
    return std::system(command.c_str()) == 0;
}

bool onPath(const char* program)
{
    return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

pid_t spawnQuietly(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}
