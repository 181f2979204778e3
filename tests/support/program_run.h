// tests/support/program_run.h -- runs one of our programs in a child process with its own environment,
// working directory and a time limit, and collects its exit status and output.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

struct ProgramRun {
    int exitCode = -1;       // exit status, or 128 + signal number, or -1 when it had to be killed
    std::string out;         // standard output
    std::string err;         // standard error
    double seconds = 0;      // wall time
};

// Environment entries with an empty value are removed from the child's environment.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment, const std::string& workingDirectory,
                      double timeLimitSeconds = 120);

// A fresh temporary directory, removed with everything in it when the object goes.
struct TempDir {
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string path;
    std::string file(const std::string& name) const { return path + "/" + name; }
};

std::string readFile(const std::string& path);
bool writeFile(const std::string& path, const std::string& contents);
bool copyFile(const std::string& from, const std::string& to);
bool makeDirectories(const std::string& path);

// True when the shell finds the program on PATH.
bool onPath(const char* program);
// Starts a program found on PATH with this process's environment and its standard error discarded;
// -1 when it cannot be started. The caller waits for it.
pid_t spawnQuietly(std::vector<std::string> args);
