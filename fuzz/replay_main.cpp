// fuzz/replay_main.cpp -- runs a fuzz target over every file of its corpus folders, so the test suite
// replays what the fuzzer found without needing the fuzzer.
#include <dirent.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int replayFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return 0;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return 1;
}

int replayFolder(const std::string& folder)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir) return replayFile(folder);
    int count = 0;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        count += replayFile(folder + "/" + entry->d_name);
    }
    closedir(dir);
    return count;
}

}  // namespace

int main(int argc, char** argv)
{
    int count = 0;
    for (int i = 1; i < argc; ++i) count += replayFolder(argv[i]);
    std::printf("replayed %d inputs\n", count);
    return count > 0 ? 0 : 1;
}
