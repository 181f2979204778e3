// tests/desktop/host_request_test.cpp -- where the host's window comes from: window ids, the options
// after the saver switch, XSCREENSAVER_WINDOW, and which of them wins.
#include "display/backend.h"

#include <gtest/gtest.h>

namespace {

unsigned long idOf(const char* text)
{
    unsigned long window = 0xDEAD;
    return display::parseWindowId(text, &window) ? window : 0;
}

TEST(DesktopWindowId, HexAndDecimalAreRead)
{
    EXPECT_EQ(idOf("0x1a00007"), 0x1a00007ul);
    EXPECT_EQ(idOf("0X1F"), 0x1Ful);
    EXPECT_EQ(idOf("12345"), 12345ul);
    EXPECT_EQ(idOf("0xFFFFFFFF"), 0xFFFFFFFFul);
    EXPECT_EQ(idOf("4294967295"), 4294967295ul);
}

TEST(DesktopWindowId, AnythingElseIsRefusedAndLeavesTheOutput)
{
    for (const char* bad : {"", "0x", "0", "0x0", "12a", "-5", "+5", " 5", "0x100000000", "4294967296",
                            "99999999999999999999", "0x1g", "1.5"}) {
        unsigned long window = 77;
        EXPECT_FALSE(display::parseWindowId(bad, &window)) << bad;
        EXPECT_EQ(window, 77ul) << bad;
    }
    unsigned long window = 77;
    EXPECT_FALSE(display::parseWindowId(nullptr, &window));
}

TEST(DesktopHostRequest, TheEnvironmentNamesTheHostWindow)
{
    display::HostRequest request = display::parseHostRequest("/usr/bin/tockwheel /s -root", "0x400005");
    EXPECT_TRUE(request.hosted);
    EXPECT_EQ(request.window, 0x400005ul);
    request = display::parseHostRequest("tockwheel /s", "4194309");
    EXPECT_TRUE(request.hosted);
    EXPECT_EQ(request.window, 4194309ul);
}

TEST(DesktopHostRequest, WindowIdOnTheCommandLineWinsOverTheEnvironment)
{
    display::HostRequest request = display::parseHostRequest("tockwheel /s -window-id 0x20 -root", "0x30");
    EXPECT_TRUE(request.hosted);
    EXPECT_EQ(request.window, 0x20ul);
    request = display::parseHostRequest("tockwheel   /S   --window-id   77", nullptr);
    EXPECT_EQ(request.window, 77ul);
}

TEST(DesktopHostRequest, RootAloneAsksForTheRootWindowLater)
{
    display::HostRequest request = display::parseHostRequest("tockwheel /s --root", nullptr);
    EXPECT_TRUE(request.hosted);
    EXPECT_EQ(request.window, 0ul);
}

TEST(DesktopHostRequest, MalformedIdsFallBackToTheNextSource)
{
    display::HostRequest request = display::parseHostRequest("tockwheel /s -window-id junk", "0x30");
    EXPECT_EQ(request.window, 0x30ul);
    request = display::parseHostRequest("tockwheel /s -window-id", nullptr);
    EXPECT_FALSE(request.hosted);
    request = display::parseHostRequest("tockwheel /s", "garbage");
    EXPECT_FALSE(request.hosted);
}

TEST(DesktopHostRequest, OnlyASaverRunIsHosted)
{
    EXPECT_FALSE(display::parseHostRequest("tockwheel /s", nullptr).hosted);
    EXPECT_FALSE(display::parseHostRequest("tockwheel /c", "0x30").hosted);
    EXPECT_FALSE(display::parseHostRequest("tockwheel", "0x30").hosted);
    EXPECT_FALSE(display::parseHostRequest("", "0x30").hosted);
    EXPECT_FALSE(display::parseHostRequest(nullptr, "0x30").hosted);
    // "-s" starts the saver only as the whole argument; with words after it the dialog opens instead.
    EXPECT_TRUE(display::parseHostRequest("tockwheel -s", "0x30").hosted);
    EXPECT_FALSE(display::parseHostRequest("tockwheel -s -root", "0x30").hosted);
    EXPECT_TRUE(display::parseHostRequest("tockwheel /sx -window-id 9", nullptr).hosted);
}

TEST(DesktopHostRequest, LongWordsAreCutNotOverrun)
{
    std::string line = "tockwheel /s -window-id 0x" + std::string(500, '1') + " " + std::string(300, 'z');
    EXPECT_FALSE(display::parseHostRequest(line.c_str(), nullptr).hosted);
}

}  // namespace
