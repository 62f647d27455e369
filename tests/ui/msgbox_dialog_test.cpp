// The real message box on screen (offscreen platform): results, focus, the
// check box, what the controls show, and screenshots of typical prompts.
#include <gtest/gtest.h>

#include <functional>

#include "app/forms.h"
#include "app/startup.h"
#include "app/test_init.h"
#include "app/toolkit/ez_forms.h"
#include "app/toolkit/robot.h"
#include "support/form_fixture.h"
#include "support/prompt_queue.h"
#include "support/test_env.h"
#include "ui/file_helpers.h"
#include "ui/msgbox.h"

namespace {

constexpr const char* kBox = "DGMSGBOX1";

class MsgBoxDialog : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        // The boxes are modal over a form of the program, as in real use.
        EZ_FORM("AB", "", "About Vantrel", -1, -1, 62, 21, "N");
    }
    void TearDown() override {
        SetMsgShownHook(nullptr);
        EZ_UNLOADFORM("AB");
        FormTest::TearDown();
    }

    // Runs `act` once the box is on screen; `act` must close it.
    static void WhenShown(std::function<void()> act) {
        SetMsgShownHook([act]() {
            act();
            if (EZ_FORMEXISTS(kBox)) {
                ADD_FAILURE() << "the box stayed open";
                EZ_UNLOADFORM(kBox);
            }
        });
    }
    static void Click(int id) {
        int cancel = 0;
        DispatchEvent(kBox, id, EzEvent::Click, 0, cancel);
    }
    static void Key(int key) {
        int cancel = 0;
        DispatchEvent(kBox, EZ_GETFOCUS(kBox), EzEvent::Key, key, cancel);
    }
    static void ToggleCheck() {
        EZ_SETCHECK(kBox, kMsgCheckId, !EZ_GETCHECK(kBox, kMsgCheckId));
        Click(kMsgCheckId);
    }
};

TEST_F(MsgBoxDialog, ResultOfEveryWayOut) {
    struct Case {
        const char* what;
        const char* check;
        int defaultButton;
        std::function<void()> act;
        int expected;
    } cases[] = {
        {"second button", "", 1, [] { Click(102); }, 2},
        {"Esc", "", 1, [] { Key(kKeyEsc); }, 99},
        {"close control", "", 1, [] { EZ_UNLOADFORM(kBox); }, 99},
        {"Enter on the default", "", 2, [] { Key(kKeyEnter); }, 2},
        {"checked, then a button", "Don't ask again", 1,
         [] {
             ToggleCheck();
             Click(101);
         },
         -1},
        {"starts checked, Enter", "Don't ask again", -2, [] { Key(kKeyEnter); }, -2},
        {"starts checked, Esc", "Don't ask again", -1, [] { Key(kKeyEsc); }, -99},
        {"starts checked, unchecked again", "Don't ask again", -3,
         [] {
             ToggleCheck();
             Click(103);
         },
         3},
        {"checked, close control", "Don't ask again", -1, [] { EZ_UNLOADFORM(kBox); }, -99},
    };
    for (const Case& c : cases) {
        WhenShown(c.act);
        int r = DgMsgBox("AB", "Question", "Go on?", "", c.check, "*{G,f7}|&Yes|&No|&Cancel", "",
                         c.defaultButton, "C");
        EXPECT_EQ(r, c.expected) << c.what;
    }
}

TEST_F(MsgBoxDialog, AskTurnsCheckedEscIntoThree) {
    WhenShown([] { Key(kKeyEsc); });
    EXPECT_EQ(DgMsgAsk("Q", "Go on?", "", "Remember", "*{G,f7}|&Yes|&No", -1), 3);
    WhenShown([] { Key(kKeyEsc); });
    EXPECT_EQ(DgMsgAsk("Q", "Go on?", "", "", "*{G,f7}|&Yes|&No", 1), 99);
}

TEST_F(MsgBoxDialog, DefaultButtonHasTheFocusAndCheckBoxGivesItBack) {
    int focusAtStart = -1, focusAfterCheck = -1;
    bool checkedAtStart = false;
    WhenShown([&] {
        focusAtStart = EZ_GETFOCUS(kBox);
        checkedAtStart = EZ_GETCHECK(kBox, kMsgCheckId);
        EZ_SETFOCUS(kBox, kMsgCheckId);
        ToggleCheck();
        focusAfterCheck = EZ_GETFOCUS(kBox);
        Key(kKeyEnter);
    });
    EXPECT_EQ(DgMsgBox("AB", "Q", "Go on?", "", "Remember", "&A|&B|&C", "", -2, "C"), 2);
    EXPECT_EQ(focusAtStart, 102);
    EXPECT_TRUE(checkedAtStart);
    EXPECT_EQ(focusAfterCheck, 102);

    // A default outside 1..10 focuses no button; Enter elsewhere does nothing.
    int closedBy = 0;
    WhenShown([&] {
        EZ_SETFOCUS(kBox, kMsgCheckId);
        Key(kKeyEnter);
        closedBy = EZ_FORMEXISTS(kBox) ? 0 : 1;
        Key(kKeyEsc);
    });
    EXPECT_EQ(DgMsgBox("AB", "Q", "Go on?", "", "Remember", "&A|&B", "", 11, ""), 99);
    EXPECT_EQ(closedBy, 0);
}

TEST_F(MsgBoxDialog, ControlsShowTheTextsWithoutCodes) {
    std::string caption, t1, t2, b1, b2;
    bool thirdButton = true, noButtons = false;
    double y1 = 0, y2 = 0, h1 = 0, h2 = 0, bx, by, bw, bh, tx, ty, tw, th;
    WhenShown([&] {
        caption = EZ_GETTEXT(kBox, 0);
        t1 = EZ_GETTEXT(kBox, kMsgText1Id);
        t2 = EZ_GETTEXT(kBox, kMsgText2Id);
        b1 = EZ_GETTEXT(kBox, 101);
        b2 = EZ_GETTEXT(kBox, 102);
        thirdButton = EZ_CONTROLEXISTS(kBox, 103);
        EZ_GETPLACE(kBox, 101, bx, y1, bw, h1);
        EZ_GETPLACE(kBox, 102, bx, y2, bw, h2);
        EZ_GETPLACE(kBox, kMsgText2Id, tx, ty, tw, th);
        by = y1;
        bh = h1;
        Click(101);
    });
    DgMsgBox("AB", "Backup Reminder!{W40}", "Line one|Line two{f10,t4}", "Sure?{f6}", "",
             "*{G,f7}|&Yes|&No, Maybe Later", "", 1, "C");
    EXPECT_EQ(caption, "Backup Reminder!");
    EXPECT_EQ(t1, "Line one\nLine two");
    EXPECT_EQ(t2, "Sure?");
    EXPECT_EQ(b1, "&Yes");
    EXPECT_EQ(b2, "&No, Maybe Later");
    EXPECT_FALSE(thirdButton);
    EXPECT_NEAR(y1 + h1, y2 + h2, 0.1);  // bottoms line up
    EXPECT_GT(by, ty + th - 0.1);        // buttons below the texts

    // An empty button list leaves only Esc.
    WhenShown([&] {
        noButtons = !EZ_CONTROLEXISTS(kBox, 101);
        Key(kKeyEsc);
    });
    EXPECT_EQ(DgMsgBox("AB", "Note", "Nothing to choose", "", "", "", "", 1, ""), 99);
    EXPECT_TRUE(noButtons);
}

TEST_F(MsgBoxDialog, AmpersandsInTextsShowAsTyped) {
    std::string t1;
    WhenShown([&] {
        t1 = EZ_GETTEXT(kBox, kMsgText1Id);
        Key(kKeyEsc);
    });
    DgMsgOk("Note", "Issues & Programs, R&&D", "");
    // The label holds the text with its "&" doubled so that none is an accelerator.
    EXPECT_EQ(t1, "Issues && Programs, R&&D");
}

TEST_F(MsgBoxDialog, Screenshots) {
    struct Shot {
        const char* file;
        std::function<int()> show;
    } shots[] = {
        {"msg_warning.png",
         [] { return ConfirmOverwrite("/home/station/Backup/Vantrel-20190624.zip"); }},
        {"msg_backup_reminder.png",
         [] {
             return DgMsgAsk(
                 "Backup Reminder!", "It is time to back up your Vantrel database.{f10,t4}",
                 "Would you like to back up now?{f6}", "", "*{G,f7}|&Yes|&No|&Remind Me Later", 1);
         }},
        {"msg_check.png",
         [] {
             return DgMsgAsk("Delete Program",
                             "Delete the program \"Community Matters\" and its airings?{f7}",
                             "This cannot be undone.{f6}", "Do not ask me again this session{f6}",
                             "*{G,f7}|&Yes|&No", -2);
         }},
        {"msg_directory_error.png",
         [] {
             DgMsgOk("Directory Error 13", "Unable to create subdirectory.{f7,t4}",
                     "|An error 13, (Permission denied) has occurred|attempting to create "
                     "\"/srv/vantrel/Backup\".|{f7}");
             return 0;
         }},
    };
    for (const Shot& s : shots) {
        bool saved = false;
        std::string path = ScreenshotPath(folder.path(), s.file);
        WhenShown([&] {
            saved = EZ_SCREENSHOT(kBox, path);
            Key(kKeyEsc);
        });
        s.show();
        EXPECT_TRUE(saved) << path;
    }
}

}  // namespace

// Early in start-up no form is open yet: the box must still block until it is
// answered, and the robot must be able to answer it.
TEST(MsgBoxWithoutForms, BlocksAndIsAnsweredByTheRobot) {
    EzTestInit();
    DefineFontsAndColours();
    TempProgramFolder folder;
    ASSERT_EQ(EZ_CURRENTFORM(), "");
    Robot r;
    PromptQueue prompts(r);
    int result = 0;
    r.Do([&result] {
        result =
            DgMsgAsk("Lonely Question", "No form is open.{f10}", "", "", "*{G,f7}|&Yes|&No", 1);
    });
    prompts.Expect("Lonely Question", 2);
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ(result, 2);
    EXPECT_FALSE(EZ_FORMEXISTS(kBox));
}
