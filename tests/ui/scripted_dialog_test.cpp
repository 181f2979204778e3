// tests/ui/scripted_dialog_test.cpp -- the scripted realisation driving a small procedure on the real templates.
#include <cstring>

#include "platform/dialog/message_box.h"
#include "ui_test_support.h"

using namespace platform;
using uitest::command;
using uitest::Message;
using uitest::scroll;

namespace {

std::vector<Message> gSeen;
intptr_t gInitResult = 0;
void (*gOnInit)(Window*) = nullptr;
void (*gOnCommand)(Window*, unsigned id, unsigned code) = nullptr;
intptr_t gCloseResult = 0;

// Records everything after initialisation; ends on 1 and 2 as most dialogs do.
intptr_t recordingProc(Window* dialog, unsigned message, uintptr_t wParam, intptr_t lParam)
{
    switch (message) {
    case kWmInitDialog:
        if (gOnInit) gOnInit(dialog);
        gSeen.clear();
        return gInitResult;
    case kWmCommand: {
        unsigned id = loWord(wParam);
        gSeen.push_back({message, id, hiWord(wParam), lParam, isDlgButtonChecked(dialog, static_cast<int>(id))});
        if (gOnCommand) gOnCommand(dialog, id, hiWord(wParam));
        if (id == kIdOk || id == kIdCancel) endDialog(dialog, static_cast<intptr_t>(id));
        return 0;
    }
    case kWmVScroll:
        gSeen.push_back({message, loWord(wParam), hiWord(wParam), lParam, 0});
        return 0;
    case kWmClose:
        gSeen.push_back({message, 0, 0, 0, 0});
        return gCloseResult;
    default:
        return 0;
    }
}

void fillConfigLists(Window* dialog)
{
    for (const char* name : {"Random Movement", "2D Bounce", "XYZ Rotate"}) addString(dialog, 700, name);
    for (const char* mode : {"640 x 480", "800 x 600", "1024 x 768"}) addString(dialog, 150, mode);
    setScrollRange(dialog, 190, 0, 20, false);
    setScrollPos(dialog, 190, 5, true);
}

class ScriptedDialog : public uitest::ScriptedUi {
protected:
    void SetUp() override
    {
        ScriptedUi::SetUp();
        gSeen.clear();
        gInitResult = 0;
        gOnInit = fillConfigLists;
        gOnCommand = nullptr;
        gCloseResult = 0;
    }

    intptr_t runConfig(const std::string& text)
    {
        script(text);
        return dialogBoxParam(&resources::kConfigDialogTemplate, nullptr, recordingProc, 0);
    }
};

}  // namespace

TEST_F(ScriptedDialog, AutomaticCheckBoxTogglesBeforeItReportsPlainOneDoesNot)
{
    EXPECT_EQ(runConfig("click 300\nclick 170\nclick 170\nkey esc\n"), kIdCancel);
    ASSERT_EQ(gSeen.size(), 4u);
    EXPECT_EQ(gSeen[0], command(300, kBnClicked));
    EXPECT_EQ(gSeen[0].checked, kBstChecked);    // already toggled when the command arrives
    EXPECT_EQ(gSeen[1], command(170, kBnClicked));
    EXPECT_EQ(gSeen[1].checked, kBstUnchecked);  // a plain box waits for the procedure
    EXPECT_EQ(gSeen[2].checked, kBstUnchecked);
    EXPECT_EQ(gSeen[3], command(kIdCancel, kBnClicked));
}

TEST_F(ScriptedDialog, TypingFocusesOnceThenChangesAndFocusMovesBetweenBoxes)
{
    gOnCommand = [](Window* dialog, unsigned id, unsigned code) {
        if (id == 201 && code == kEnChange) {
            char text[16];
            getDlgItemText(dialog, 201, text, sizeof text);
            EXPECT_STREQ(text, "0.25");   // the text is in place when the change is reported
        }
    };
    runConfig("type 201 0.25\ntype 201 0.25\ntype 504 1a2\nkey esc\n");
    std::vector<Message> expected = {command(201, kEnSetFocus), command(201, kEnChange), command(201, kEnChange),
                                     command(201, kEnKillFocus), command(504, kEnSetFocus), command(504, kEnChange),
                                     command(kIdCancel, kBnClicked)};
    EXPECT_EQ(gSeen, expected);
}

TEST_F(ScriptedDialog, DigitsOnlyBoxRefusesOtherCharacters)
{
    gOnCommand = [](Window* dialog, unsigned id, unsigned code) {
        if (id != kIdCancel || code != kBnClicked) return;
        char text[16];
        getDlgItemText(dialog, 504, text, sizeof text);
        EXPECT_STREQ(text, "12");
        getDlgItemText(dialog, 201, text, sizeof text);
        EXPECT_STREQ(text, "-1.5e3");
    };
    runConfig("type 504 -1x2.\ntype 201 -1.5e3\nkey esc\n");
}

TEST_F(ScriptedDialog, ComboSelectionFocusesThenReportsTheChange)
{
    gOnCommand = [](Window* dialog, unsigned id, unsigned code) {
        if (id != 700 || code != kCbnSelChange) return;
        static int changes = 0;
        char text[32];
        getDlgItemText(dialog, 700, text, sizeof text);
        EXPECT_STREQ(text, changes++ == 0 ? "XYZ Rotate" : "2D Bounce");   // a drop-down list's text is its entry
        EXPECT_EQ(getCurSel(dialog, 700), changes == 1 ? 2 : 1);
    };
    runConfig("select 700 XYZ Rotate\npick 700 1\nkey esc\n");
    std::vector<Message> expected = {command(700, kCbnSetFocus), command(700, kCbnSelChange),
                                     command(700, kCbnSelChange), command(kIdCancel, kBnClicked)};
    EXPECT_EQ(gSeen, expected);
}

TEST_F(ScriptedDialog, ListPickSendsSetFocusOnFirstEntryThenSelectionChanges)
{
    gOnCommand = [](Window* dialog, unsigned id, unsigned code) {
        if (id == 150 && code == kLbnSelChange) {
            EXPECT_GE(getCurSel(dialog, 150), 0);
        }
    };
    runConfig("pick 150 1\npick 150 1\nselect 150 1024 x 768\nclick 300\npick 150 0\nkey esc\n");
    std::vector<Message> expected = {
        command(150, kLbnSetFocus),  command(150, kLbnSelChange), command(150, kLbnSelChange),
        command(150, kLbnSelChange), command(150, kLbnKillFocus), command(300, kBnClicked),
        command(150, kLbnSetFocus),  command(150, kLbnSelChange), command(kIdCancel, kBnClicked)};
    EXPECT_EQ(gSeen, expected);
}

TEST_F(ScriptedDialog, ScrollRequestsEndWithEndScrollAndNameTheBar)
{
    runConfig("scroll 190 lineup\nscroll 190 linedown\nscroll 190 pageup\nscroll 190 pagedown\n"
              "scroll 190 top\nscroll 190 bottom\nscroll 190 thumb 7\nscroll 190 thumb 99\nkey esc\n");
    std::vector<Message> expected;
    for (unsigned request : {kSbLineUp, kSbLineDown, kSbPageUp, kSbPageDown, kSbTop, kSbBottom}) {
        expected.push_back(scroll(request, 0));
        expected.push_back(scroll(kSbEndScroll, 0));
    }
    expected.push_back(scroll(kSbThumbPosition, 7));
    expected.push_back(scroll(kSbEndScroll, 0));
    expected.push_back(scroll(kSbThumbPosition, 20));   // the thumb cannot leave the range
    expected.push_back(scroll(kSbEndScroll, 0));
    expected.push_back(command(kIdCancel, kBnClicked));
    EXPECT_EQ(gSeen, expected);
    for (size_t i = 0; i + 1 < gSeen.size(); ++i) EXPECT_EQ(gSeen[i].lParam, 190);
}

TEST_F(ScriptedDialog, ScrollBarMovesOnlyWhenTheProcedureSetsIt)
{
    gOnCommand = [](Window* dialog, unsigned id, unsigned) {
        if (id == kIdCancel) {
            EXPECT_EQ(getScrollPos(dialog, 190), 5);
        }
    };
    runConfig("scroll 190 linedown\nscroll 190 thumb 9\nkey esc\n");
}

TEST_F(ScriptedDialog, EscAndCloseBoxGiveTheCancelCommandEnterGivesOk)
{
    EXPECT_EQ(runConfig("close\n"), kIdCancel);
    std::vector<Message> closed = {{kWmClose, 0, 0, 0, 0}, command(kIdCancel, kBnClicked)};
    EXPECT_EQ(gSeen, closed);

    gSeen.clear();
    EXPECT_EQ(runConfig("key enter\n"), kIdOk);
    EXPECT_EQ(gSeen, std::vector<Message>{command(kIdOk, kBnClicked)});

    gSeen.clear();
    gCloseResult = 1;   // a procedure that handles the close itself gets no cancel command
    EXPECT_EQ(runConfig("close\nkey esc\n"), kIdCancel);
    std::vector<Message> handled = {{kWmClose, 0, 0, 0, 0}, command(kIdCancel, kBnClicked)};
    EXPECT_EQ(gSeen, handled);
}

TEST_F(ScriptedDialog, EnterPressesTheFocusedPushButton)
{
    runConfig("click 113\nkey enter\nkey esc\n");
    std::vector<Message> expected = {command(113, kBnClicked), command(113, kBnClicked),
                                     command(kIdCancel, kBnClicked)};
    EXPECT_EQ(gSeen, expected);
}

TEST_F(ScriptedDialog, ActionsOnDisabledControlsAreIgnoredAndLogged)
{
    gOnInit = [](Window* dialog) {
        fillConfigLists(dialog);
        enableDlgItem(dialog, 204, false);
    };
    runConfig("click 171\ntype 201 5\nselect 204 anything\nkey esc\n");
    // 171 starts disabled by its template; 204 was disabled by the procedure; 201 is enabled.
    std::vector<Message> expected = {command(201, kEnSetFocus), command(201, kEnChange),
                                     command(kIdCancel, kBnClicked)};
    EXPECT_EQ(gSeen, expected);
    std::vector<std::string> log = logLines();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "ignored line=1 action=\"click 171\" reason=disabled");
    EXPECT_EQ(log[1], "ignored line=3 action=\"select 204 anything\" reason=disabled");
}

TEST_F(ScriptedDialog, TextIsCutToTheBufferAndProgramSetTextReportsAChange)
{
    gOnInit = [](Window* dialog) { setDlgItemText(dialog, 505, "123456"); };
    gOnCommand = [](Window* dialog, unsigned id, unsigned) {
        if (id != kIdCancel) return;
        char text[4];
        std::memset(text, 'x', sizeof text);
        EXPECT_EQ(getDlgItemText(dialog, 505, text, sizeof text), 3u);
        EXPECT_STREQ(text, "123");
        EXPECT_EQ(getDlgItemText(dialog, 505, text, 1), 0u);
        EXPECT_STREQ(text, "");
        EXPECT_EQ(getDlgItemText(dialog, 9999, text, sizeof text), 0u);
        setDlgItemText(dialog, 202, "7");
    };
    runConfig("key esc\n");
    std::vector<Message> expected = {command(kIdCancel, kBnClicked), command(202, kEnChange)};
    EXPECT_EQ(gSeen, expected);
}

TEST_F(ScriptedDialog, ListAndComboContentsAndSelection)
{
    gOnCommand = [](Window* dialog, unsigned id, unsigned) {
        if (id != kIdCancel) return;
        EXPECT_EQ(getCount(dialog, 150), 3);
        EXPECT_EQ(selectString(dialog, 150, "800 x 600"), 1);
        EXPECT_EQ(selectString(dialog, 150, "800"), -1);   // exact text only
        EXPECT_EQ(getCurSel(dialog, 150), 1);
        EXPECT_FALSE(setCurSel(dialog, 150, 3));
        EXPECT_EQ(getCurSel(dialog, 150), -1);
        EXPECT_TRUE(resetContent(dialog, 700));
        EXPECT_EQ(getCount(dialog, 700), 0);
        char text[8] = "junk";
        EXPECT_EQ(getDlgItemText(dialog, 700, text, sizeof text), 0u);
        EXPECT_EQ(addString(dialog, 170, "not a list"), -1);
        checkRadioButton(dialog, 152, 156, 154);
        EXPECT_EQ(isDlgButtonChecked(dialog, 153), kBstUnchecked);
        EXPECT_EQ(isDlgButtonChecked(dialog, 154), kBstChecked);
    };
    runConfig("key esc\n");
}

TEST_F(ScriptedDialog, DumpWritesEveryControlOnOneLine)
{
    gOnInit = [](Window* dialog) {
        fillConfigLists(dialog);
        checkDlgButton(dialog, 300, kBstChecked);
        setDlgItemText(dialog, 201, "say \"hi\"");
    };
    runConfig("pick 150 2\ndump\nkey esc\n");
    std::vector<std::string> log = logLines();
    ASSERT_EQ(log.size(), 1u);
    const std::string& dump = log[0];
    EXPECT_EQ(dump.rfind("dump window=\"Tockwheel\" focus=150 ", 0), 0u) << dump;
    for (const char* part :
         {"{id=300 kind=autocheck enabled=1 visible=1 text=\"Cubes\" checked=1}",
          "{id=171 kind=button enabled=0 visible=1 text=\"Change password\"}",
          "{id=150 kind=list enabled=1 visible=1 items=[\"640 x 480\",\"800 x 600\",\"1024 x 768\"] sel=2}",
          "{id=190 kind=scrollbar enabled=1 visible=1 range=0..20 pos=5}",
          "{id=201 kind=edit enabled=1 visible=1 text=\"say \\\"hi\\\"\"}",
          "{id=700 kind=combo enabled=1 visible=1 items=[\"Random Movement\",\"2D Bounce\",\"XYZ Rotate\"] sel=-1}"})
        EXPECT_NE(dump.find(part), std::string::npos) << part << "\nin: " << dump;
}

TEST_F(ScriptedDialog, NestedDialogTakesTheActionsAndFocusesItsFirstField)
{
    static std::vector<Message> inner;
    inner.clear();
    gOnCommand = [](Window* dialog, unsigned id, unsigned) {
        if (id != 113) return;
        dialogBoxParam(&resources::kPasswordDialogTemplate, dialog,
                       [](Window* d, unsigned message, uintptr_t wParam, intptr_t) -> intptr_t {
                           if (message == kWmInitDialog) {
                               enableDlgItem(d, 100, false);
                               return 1;   // focus to the first enabled field
                           }
                           if (message != kWmCommand) return 0;
                           inner.push_back(command(loWord(wParam), hiWord(wParam)));
                           if (loWord(wParam) == kIdOk) endDialog(d, 0);
                           return 0;
                       },
                       0);
    };
    runConfig("click 113\ntype 102 secret\nkey enter\nkey esc\n");
    std::vector<Message> expected = {command(101, kEnSetFocus), command(101, kEnKillFocus),
                                     command(102, kEnSetFocus), command(102, kEnChange),
                                     command(kIdOk, kBnClicked)};
    EXPECT_EQ(inner, expected);
    EXPECT_EQ(gSeen.back(), command(kIdCancel, kBnClicked));   // back in the outer dialog
}

TEST_F(ScriptedDialog, ScriptEndingWhileADialogWaitsExitsWithStatus3)
{
    EXPECT_EXIT(runConfig("click 300\n"), ::testing::ExitedWithCode(3), "script ended while the dialog \"Tockwheel\"");
}

TEST_F(ScriptedDialog, ScriptMistakesEndTheRunWithStatus3)
{
    EXPECT_EXIT(runConfig("click 4242\n"), ::testing::ExitedWithCode(3), "line 1 \\(click 4242\\).*no control 4242");
    EXPECT_EXIT(runConfig("type 300 x\n"), ::testing::ExitedWithCode(3), "not an edit box");
    EXPECT_EXIT(runConfig("pick 150 3\n"), ::testing::ExitedWithCode(3), "has 3 entries");
    EXPECT_EXIT(runConfig("select 700 Nope\n"), ::testing::ExitedWithCode(3), "no entry \"Nope\"");
    EXPECT_EXIT(runConfig("answer yes\n"), ::testing::ExitedWithCode(3), "no message box is waiting");
    EXPECT_EXIT(runConfig("click 1\nfrobnicate\n"), ::testing::ExitedWithCode(3), "script.txt:2: unknown verb");
}
