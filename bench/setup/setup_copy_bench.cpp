// Throughput of an install: one 200 MB file through the copy engine (slices, progress after each) and
// through cp, in the same run, on the same file system. Each copy makes a new file, as a first install
// does: overwriting a file that still has dirty pages makes ext4 write them back on close.
#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "setup/copy_engine.h"

namespace {

constexpr size_t kFileBytes = 200u * 1000u * 1000u;

struct Scratch {
    std::string root;
    Scratch()
    {
        char pattern[] = "/tmp/tockwheel-bench-setup-XXXXXX";
        root = ::mkdtemp(pattern);
        ::mkdir((root + "/disk").c_str(), 0755);
        ::mkdir((root + "/windows").c_str(), 0755);
        std::vector<char> block(1 << 20);
        for (size_t i = 0; i < block.size(); ++i) block[i] = char(i * 7919);
        std::FILE* file = std::fopen((root + "/disk/big").c_str(), "wb");
        for (size_t written = 0; written < kFileBytes; written += block.size())
            std::fwrite(block.data(), 1, std::min(block.size(), kFileBytes - written), file);
        std::fclose(file);
        file = std::fopen((root + "/disk/setup.xdt").c_str(), "wb");
        std::fprintf(file, "Bench\n%zu\n%%D\\orvask\n%%Rbig\n%%W\\big\n", kFileBytes);
        std::fclose(file);
    }
    ~Scratch()
    {
        std::string command = "rm -rf '" + root + "'";
        if (std::system(command.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", root.c_str());
    }
};

Scratch& scratch()
{
    static Scratch instance;
    return instance;
}

int repaints = 0;
void countRepaint() { ++repaints; }
int noMessage(platform::Window*, const char*, const char*, unsigned) { return 1; }

void installThroughEngine(benchmark::State& state)
{
    std::string start = platform::currentDirectory();
    ::chdir((scratch().root + "/disk").c_str());
    for (auto _ : state) {
        state.PauseTiming();
        std::remove((scratch().root + "/windows/big").c_str());
        state.ResumeTiming();
        auto* engine = new setup::CopyEngine();
        engine->windowsDirectory = scratch().root + "/windows";
        engine->hooks.message = noMessage;
        engine->hooks.repaintProgress = countRepaint;
        if (!setup::loadInstall(*engine, "setup.xdt")) state.SkipWithError("load failed");
        while (!engine->done)
            if (setup::copyStep(*engine) == setup::StepResult::MustEnd) {
                state.SkipWithError("copy failed");
                break;
            }
        delete engine;
    }
    ::chdir(start.c_str());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kFileBytes));
}

void copyWithCp(benchmark::State& state)
{
    std::string command = "cp '" + scratch().root + "/disk/big' '" + scratch().root + "/windows/cp-big'";
    for (auto _ : state) {
        state.PauseTiming();
        std::remove((scratch().root + "/windows/cp-big").c_str());
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0) state.SkipWithError("cp failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kFileBytes));
}

}  // namespace

BENCHMARK(installThroughEngine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(copyWithCp)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

BENCHMARK_MAIN();
