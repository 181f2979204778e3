// tests/ui/script_parse_test.cpp -- the UI script language: every verb, skipped lines, bad lines.
#include <gtest/gtest.h>

#include "platform/dialog/dialog.h"
#include "platform/dialog/script.h"

using namespace platform;

namespace {

ScriptAction parsed(const std::string& line)
{
    ScriptAction action;
    std::string error;
    EXPECT_EQ(parseScriptLine(line, &action, &error), ParseResult::Action) << line << ": " << error;
    return action;
}

std::string rejection(const std::string& line)
{
    ScriptAction action;
    std::string error;
    EXPECT_EQ(parseScriptLine(line, &action, &error), ParseResult::Bad) << line;
    return error;
}

}  // namespace

TEST(ScriptParse, ControlVerbsCarryTheirIdAndArguments)
{
    ScriptAction click = parsed("click 170");
    EXPECT_EQ(click.verb, ScriptVerb::Click);
    EXPECT_EQ(click.id, 170);

    ScriptAction pick = parsed("pick 150 3");
    EXPECT_EQ(pick.verb, ScriptVerb::Pick);
    EXPECT_EQ(pick.id, 150);
    EXPECT_EQ(pick.number, 3);

    ScriptAction thumb = parsed("scroll 190 thumb 12");
    EXPECT_EQ(thumb.verb, ScriptVerb::Scroll);
    EXPECT_EQ(thumb.request, kSbThumbPosition);
    EXPECT_EQ(thumb.number, 12);

    const std::pair<const char*, unsigned> requests[] = {{"lineup", kSbLineUp},     {"linedown", kSbLineDown},
                                                         {"pageup", kSbPageUp},     {"pagedown", kSbPageDown},
                                                         {"top", kSbTop},           {"bottom", kSbBottom}};
    for (const auto& [name, request] : requests)
        EXPECT_EQ(parsed(std::string("scroll 190 ") + name).request, request) << name;
}

TEST(ScriptParse, TextRunsToTheEndOfTheLineVerbatim)
{
    ScriptAction type = parsed("type 201 1.5 # not a comment  ");
    EXPECT_EQ(type.verb, ScriptVerb::Type);
    EXPECT_EQ(type.id, 201);
    EXPECT_EQ(type.text, "1.5 # not a comment  ");

    ScriptAction select = parsed("select 204 8 bit   (256 colors)\r");
    EXPECT_EQ(select.verb, ScriptVerb::Select);
    EXPECT_EQ(select.text, "8 bit   (256 colors)");

    EXPECT_EQ(parsed("type 504").text, "");   // empties the box
}

TEST(ScriptParse, KeysAnswersAndPlainVerbs)
{
    EXPECT_EQ(parsed("key enter").key, ScriptKey::Enter);
    EXPECT_EQ(parsed("key esc").key, ScriptKey::Escape);
    EXPECT_EQ(parsed("answer ok").request, static_cast<unsigned>(kIdOk));
    EXPECT_EQ(parsed("answer yes").request, static_cast<unsigned>(kIdYes));
    EXPECT_EQ(parsed("answer no").request, static_cast<unsigned>(kIdNo));
    EXPECT_EQ(parsed("answer cancel").request, static_cast<unsigned>(kIdCancel));
    EXPECT_EQ(parsed("  close").verb, ScriptVerb::Close);
    EXPECT_FALSE(parsed("close").mainWindow);
    EXPECT_TRUE(parsed("close main").mainWindow);
    EXPECT_EQ(parsed("dump").verb, ScriptVerb::Dump);
    ScriptAction steps = parsed("steps 40");
    EXPECT_EQ(steps.verb, ScriptVerb::Steps);
    EXPECT_EQ(steps.number, 40);
}

TEST(ScriptParse, BlankAndCommentLinesAreSkipped)
{
    ScriptAction action;
    std::string error;
    for (const char* line : {"", "   ", "\t", "# a comment", "   # indented comment", "\r"})
        EXPECT_EQ(parseScriptLine(line, &action, &error), ParseResult::Skip) << "'" << line << "'";
}

TEST(ScriptParse, BadLinesSayWhy)
{
    EXPECT_NE(rejection("press 1").find("unknown verb 'press'"), std::string::npos);
    EXPECT_NE(rejection("click").find("control id"), std::string::npos);
    EXPECT_NE(rejection("click abc").find("control id"), std::string::npos);
    EXPECT_NE(rejection("click -1").find("control id"), std::string::npos);
    EXPECT_NE(rejection("click 65536").find("control id"), std::string::npos);
    EXPECT_NE(rejection("click 170 twice").find("unexpected text"), std::string::npos);
    EXPECT_NE(rejection("pick 150").find("index"), std::string::npos);
    EXPECT_NE(rejection("pick 150 x").find("index"), std::string::npos);
    EXPECT_NE(rejection("scroll 190 sideways").find("lineup"), std::string::npos);
    EXPECT_NE(rejection("scroll 190 thumb").find("position"), std::string::npos);
    EXPECT_NE(rejection("key space").find("enter or esc"), std::string::npos);
    EXPECT_NE(rejection("answer maybe").find("ok, yes, no or cancel"), std::string::npos);
    EXPECT_NE(rejection("steps").find("count"), std::string::npos);
    EXPECT_NE(rejection("dump now").find("unexpected text"), std::string::npos);
    EXPECT_NE(rejection("close dialog").find("nothing or main"), std::string::npos);
}

TEST(ScriptParse, WholeScriptNumbersLinesAndStopsAtTheFirstBadOne)
{
    std::vector<ScriptAction> actions;
    std::string error;
    ASSERT_TRUE(parseScript("# start\nclick 300\n\nkey esc", "s.txt", &actions, &error)) << error;
    ASSERT_EQ(actions.size(), 2u);
    EXPECT_EQ(actions[0].line, 2);
    EXPECT_EQ(actions[1].line, 4);

    EXPECT_FALSE(parseScript("click 300\nclick 300\nwiggle\n", "s.txt", &actions, &error));
    EXPECT_EQ(error.rfind("s.txt:3: ", 0), 0u) << error;
}
