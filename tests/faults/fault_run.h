// tests/faults/fault_run.h -- a program started in the background, so that a test can hurt it while it
// runs (a signal, a dead display server) and then see how it ends; and the shell wrappers that stand in
// for a full disk and a read-only folder.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

#include "tests/support/program_run.h"

struct RunningProgram {
    pid_t pid = -1;
    std::string outputPath;   // stdout and stderr together
};

// Starts `program` with `arguments`; entries of `environment` with an empty value are removed.
RunningProgram startProgram(const std::string& program, const std::vector<std::string>& arguments,
                            const std::map<std::string, std::string>& environment, const std::string& outputPath);

// Waits up to `seconds` for the program to end; its exit status, 128 + signal, or -1 when it had to
// be killed. Never leaves the child running.
int waitForExit(RunningProgram& running, double seconds);

// Waits up to `seconds` for `path` to exist.
bool waitForFile(const std::string& path, double seconds);

// Runs `program` in `workingDirectory` with every regular file it writes limited to `bytes` (SIGXFSZ
// ignored, so a write past it fails with EFBIG as on a full disk). Its output comes back through a pipe,
// which the limit does not touch.
ProgramRun runWithFileSizeLimit(const std::string& program, const std::vector<std::string>& arguments,
                                const std::map<std::string, std::string>& environment,
                                const std::string& workingDirectory, long bytes, double seconds);

// A shell command line that runs `command` with `folder` bound read-only over itself in a private mount
// namespace; empty when this machine does not allow it (root ignores permission bits, so chmod cannot
// stand in).
std::string withReadOnlyFolder(const std::string& command, const std::string& folder);

std::string quoted(const std::string& text);
