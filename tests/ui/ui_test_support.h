// tests/ui/ui_test_support.h -- scripted runs for the tests: script and log files, a recording procedure.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/dialog/dialog.h"
#include "resources/dialog_templates.h"

namespace uitest {

struct Message {
    unsigned message;
    unsigned low;     // command id or scroll request
    unsigned high;    // notification code or scroll position
    intptr_t lParam;
    unsigned checked; // the clicked control's check state when the command arrived
    bool operator==(const Message& o) const
    {
        return message == o.message && low == o.low && high == o.high;
    }
};

inline std::ostream& operator<<(std::ostream& out, const Message& m)
{
    return out << "{msg=0x" << std::hex << m.message << std::dec << " low=" << m.low << " high=0x" << std::hex
               << m.high << std::dec << "}";
}

inline Message command(unsigned id, unsigned code) { return {platform::kWmCommand, id, code, 0, 0}; }
inline Message scroll(unsigned request, unsigned pos) { return {platform::kWmVScroll, request, pos, 0, 0}; }

// Runs in a fresh directory with TOCKWHEEL_UI=script:FILE and TOCKWHEEL_UI_LOG set.
class ScriptedUi : public ::testing::Test {
protected:
    std::string dir;

    void SetUp() override
    {
        char pattern[] = "/tmp/tockwheel-ui-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        setenv("TOCKWHEEL_UI_LOG", logPath().c_str(), 1);
    }

    void TearDown() override
    {
        platform::resetUi();
        unsetenv("TOCKWHEEL_UI");
        unsetenv("TOCKWHEEL_UI_LOG");
        std::remove(scriptPath().c_str());
        std::remove(logPath().c_str());
        rmdir(dir.c_str());
    }

    std::string scriptPath() const { return dir + "/script.txt"; }
    std::string logPath() const { return dir + "/ui.log"; }

    void script(const std::string& text)
    {
        std::ofstream(scriptPath()) << text;
        setenv("TOCKWHEEL_UI", ("script:" + scriptPath()).c_str(), 1);
        platform::resetUi();
    }

    std::vector<std::string> logLines() const
    {
        std::ifstream in(logPath());
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
};

}  // namespace uitest
