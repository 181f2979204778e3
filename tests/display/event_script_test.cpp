// tests/display/event_script_test.cpp -- the TOCKWHEEL_EVENTS line format, good lines and malformed ones.
#include "tests/display/display_test_support.h"

namespace {

using display::ScriptStep;

std::vector<ScriptStep> parseGood(const std::string& text)
{
    std::vector<ScriptStep> steps;
    int badLine = 0;
    std::string reason;
    EXPECT_TRUE(display::parseEventScript(text, &steps, &badLine, &reason)) << "line " << badLine << ": " << reason;
    return steps;
}

int badLineOf(const std::string& text)
{
    std::vector<ScriptStep> steps;
    int badLine = 0;
    std::string reason;
    EXPECT_FALSE(display::parseEventScript(text, &steps, &badLine, &reason)) << text;
    EXPECT_FALSE(reason.empty());
    return badLine;
}

TEST(EventScript, EveryActionBecomesItsEvent)
{
    auto steps = parseGood("at 1 key 13\nat 2 repeat 97\nat 3 move 10 -4\nat 4 click 5 6\n"
                           "at 5 suspend\nat 6 resume\nat 7 snapshot out.png\n");
    ASSERT_EQ(steps.size(), 8u) << "a click is a mouse down and a mouse up";
    EXPECT_EQ(steps[0].event.type, display::kEventKeyDown);
    EXPECT_EQ(steps[0].event.message, 13u);
    EXPECT_EQ(steps[1].event.type, display::kEventKeyRepeat);
    EXPECT_EQ(steps[1].event.message, 97u);
    EXPECT_EQ(steps[2].event.type, display::kEventMouseMove);
    EXPECT_EQ(steps[2].event.x, 10);
    EXPECT_EQ(steps[2].event.y, -4);
    EXPECT_EQ(steps[3].event.type, display::kEventMouseDown);
    EXPECT_EQ(steps[3].event.buttons, 1);
    EXPECT_EQ(steps[4].event.type, display::kEventMouseUp);
    EXPECT_EQ(steps[4].pass, 4u);
    EXPECT_EQ(steps[5].event.type, display::kEventInternalSuspend);
    EXPECT_EQ(steps[5].event.message, 1u);
    EXPECT_EQ(steps[6].event.message, 2u);
    EXPECT_EQ(steps[7].action, display::kScriptSnapshot);
    EXPECT_EQ(steps[7].file, "out.png");
}

TEST(EventScript, CommentsBlankLinesAndOrder)
{
    auto steps = parseGood("# header\n\n   \nat 9 key 66   # late\r\nat 2 key 65\nat 9 key 67\n");
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0].event.message, 65u) << "steps run in pass order";
    EXPECT_EQ(steps[1].event.message, 66u) << "file order within one pass";
    EXPECT_EQ(steps[2].event.message, 67u);
}

TEST(EventScript, MalformedLinesAreReportedWithTheirNumber)
{
    EXPECT_EQ(badLineOf("at 1 key 65\nat 0 key 65\n"), 2) << "passes start at 1";
    EXPECT_EQ(badLineOf("at x key 1"), 1);
    EXPECT_EQ(badLineOf("# ok\nkey 65"), 2) << "missing 'at'";
    EXPECT_EQ(badLineOf("at 1 key 256"), 1) << "character codes are one byte";
    EXPECT_EQ(badLineOf("at 1 key 6x"), 1);
    EXPECT_EQ(badLineOf("at 1 move 5"), 1);
    EXPECT_EQ(badLineOf("at 1 click 5 6 7"), 1) << "extra words";
    EXPECT_EQ(badLineOf("at 1 jump"), 1);
    EXPECT_EQ(badLineOf("at 1 snapshot"), 1);
    EXPECT_EQ(badLineOf("at 1"), 1);
    EXPECT_EQ(badLineOf("\n\n\nat 99999999999 key 1"), 4);
}

}  // namespace
