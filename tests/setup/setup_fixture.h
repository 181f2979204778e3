// tests/setup/setup_fixture.h -- a scratch directory made current, file helpers, and captured message boxes.
#pragma once

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "platform/dialog/message_box.h"
#include "setup/copy_engine.h"

namespace setup_test {

struct ShownMessage {
    std::string text;
    std::string caption;
    unsigned flags;
};

inline std::vector<ShownMessage>& shownMessages()
{
    static std::vector<ShownMessage> messages;
    return messages;
}

inline int captureMessage(platform::Window*, const char* text, const char* caption, unsigned flags)
{
    shownMessages().push_back(ShownMessage{text, caption, flags});
    return platform::kIdOk;
}

inline std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline bool exists(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

// Runs in a fresh directory holding "disk/" (made current, as the installer's start directory) and
// "windows/" (the Windows directory).
class SetupFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tockwheel-setup-XXXXXX";
        root = ::mkdtemp(pattern);
        previous = platform::currentDirectory();
        ASSERT_EQ(::mkdir((root + "/disk").c_str(), 0755), 0);
        ASSERT_EQ(::mkdir((root + "/windows").c_str(), 0755), 0);
        ASSERT_EQ(::chdir((root + "/disk").c_str()), 0);
        shownMessages().clear();
        engine = new setup::CopyEngine();
        engine->windowsDirectory = root + "/windows";
        engine->hooks.message = captureMessage;
    }
    void TearDown() override
    {
        setup::stopCopying(*engine);
        delete engine;
        ASSERT_EQ(::chdir(previous.c_str()), 0);
        std::string command = "rm -rf '" + root + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    std::string disk(const std::string& name) const { return root + "/disk/" + name; }
    std::string windows(const std::string& name) const { return root + "/windows/" + name; }

    // Steps until the engine is done or must end; false if it must end.
    bool copyAll(int stepLimit = 100000)
    {
        for (int i = 0; i < stepLimit && !engine->done; ++i)
            if (setup::copyStep(*engine) == setup::StepResult::MustEnd) return false;
        return engine->done;
    }

    std::string root;
    std::string previous;
    setup::CopyEngine* engine = nullptr;
};

}  // namespace setup_test
