// The spell-check forms driven through the robot: XS beside a small editor
// form of the test's own (a multi-line and a single-line text box and a
// button, F7 wired as in the program's editors), XD opened from XS, and XE.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/options.h"
#include "app/base/settings.h"
#include "app/base/text_util.h"
#include "app/forms.h"
#include "app/startup.h"
#include "app/test_init.h"
#include "app/toolkit/ez_forms.h"
#include "app/toolkit/robot.h"
#include "editors/stations.h"
#include "services/spell.h"
#include "support/form_fixture.h"
#include "support/prompt_queue.h"
#include "support/test_env.h"

namespace {

constexpr const char* kEditor = "TT";
constexpr int kNotes = 100, kLine = 105, kButton = 110, kList = 115, kF7 = 9999;

void Design(const std::string& form) {
    if (form != kEditor) return DesignForm(form);
    EZ_CONTROL(kEditor, kNotes, EzKind::Text, "", 2, 1, 60, 8, "M");
    EZ_CONTROL(kEditor, kLine, EzKind::Text, "", 2, 10, 40, 1.5);
    EZ_CONTROL(kEditor, kButton, EzKind::Button, "&OK", 44, 10, 10, 1.7);
    EZ_CONTROL(kEditor, kList, EzKind::ListBox, "", 2, 12, 40, 3);
    EZ_ACCEL(kEditor, "F7", kF7);
}

void Event(const std::string& form, int id, EzEvent ev, int64_t value, int& cancel) {
    if (form != kEditor) return DispatchEvent(form, id, ev, value, cancel);
    if (id == kF7 && ev == EzEvent::Click) SpellCheckControl(kEditor, EZ_GETFOCUS(kEditor));
}

// The words every test starts from, in byte order.
const std::vector<std::string> kWords = {"a",   "and", "can", "cat", "dog",
                                         "mat", "on",  "sat", "the", "with"};

class SpellFormsTest : public FormTest {
protected:
    SpellFormsTest() : FormTest({.tipsOn = true}) {}
    void SetUp() override {
        FormTest::SetUp();
        EZ_SETPROCS(Event, Design);
        WriteFileText(Dic(), Join(kWords, "\r\n") + "\r\n");
        UnloadWordList();
        LoadWordList();
        ASSERT_TRUE(WordListLoaded());
    }
    void TearDown() override {
        UnloadWordList();
        EZ_SETPROCS(DispatchEvent, DesignForm);
        FormTest::TearDown();
    }
    std::string Dic() const { return folder.path() + "en_US.dic"; }
    std::vector<std::string> DicLines() const { return Split(ReadFileText(Dic()), "\r\n"); }
    static bool Has(const std::vector<std::string>& v, const std::string& s) {
        return std::find(v.begin(), v.end(), s) != v.end();
    }
    static void OpenEditor(Robot& r, const std::string& notes) {
        r.OpenForm(kEditor, "", "Editor", 64, 16);
        r.Type(kEditor, kNotes, notes);
    }
};

TEST_F(SpellFormsTest, ChecksChangesIgnoresAndAddsBesideTheEditor) {
    Robot r;
    PromptQueue prompts(r);
    OpenEditor(r, "Teh cat sat on teh mat with a dgo and a dgo.");
    r.Key(kEditor, kNotes, kKeyF7);
    r.WaitForm("XS");
    r.Do([] {
        EXPECT_EQ("Teh", Robot::Text("XS", "Word"));
        EXPECT_EQ(3, EZ_GETCURSORPOS(kEditor, kNotes));  // the word is selected
        EXPECT_FALSE(Robot::Enabled("XS", "Change"));
        EXPECT_FALSE(Robot::Enabled("XS", "ChangeAll"));
        EXPECT_EQ(2, EZ_ITEMCOUNT("XS", 115));  // the, with
        // The check leaves the editor's text in view.
        double ec, er, ew, eh, xc, xr, xw, xh;
        EZ_GETFORMPLACE(kEditor, ec, er, ew, eh);
        EZ_GETFORMPLACE("XS", xc, xr, xw, xh);
        const bool clear = xc >= ec + ew || xc + xw <= ec || xr >= er + 9 || xr + xh <= er + 1;
        EXPECT_TRUE(clear) << xc << "," << xr << " editor " << ec << "," << er;
    });
    r.Screenshot("XS", "/tmp/spell_xs_beside_editor.png");
    r.SelectItem("XS", "Suggestions", "the");
    r.Do([] { EXPECT_EQ("the", Robot::Text("XS", "Word")); });
    r.Click("XS", "Change");  // Change
    r.Do([] {
        EXPECT_EQ("the cat sat on teh mat with a dgo and a dgo.", Robot::Text(kEditor, kNotes));
        EXPECT_EQ("teh", Robot::Text("XS", "Word"));
        EXPECT_EQ(18, EZ_GETCURSORPOS(kEditor, kNotes));
        EXPECT_FALSE(Robot::Enabled("XS", "Change"));
    });
    r.Click("XS", "Ignore");  // Ignore
    r.Do([] { EXPECT_EQ("dgo", Robot::Text("XS", "Word")); });
    r.Click("XS", "Add");  // Add to Dictionary: the second dgo is not reported again
    prompts.Expect("Completed", 1);
    r.WaitGone("XS");
    r.Run();
    ASSERT_TRUE(r.Ok()) << r.Errors();
    ASSERT_FALSE(r.MessageTexts().empty());
    EXPECT_EQ("Spell check complete.", r.MessageTexts().back());
    EXPECT_TRUE(Has(DicLines(), "dgo"));
    EXPECT_FALSE(WordsAdded());
    EXPECT_FALSE(CheckSession().dialogOpen);
}

TEST_F(SpellFormsTest, ChangeAllAndTextTypedWhileTheCheckIsOpen) {
    Robot r;
    PromptQueue prompts(r);
    OpenEditor(r, "xyzzy and xyzzy and plugh");
    r.Key(kEditor, kNotes, kKeyF7);
    r.Type("XS", "Word", "magic");
    r.Do([] { EXPECT_TRUE(Robot::Enabled("XS", "ChangeAll")); });
    r.Click("XS", "ChangeAll");  // Change All
    r.Do([] {
        EXPECT_EQ("magic and magic and plugh", Robot::Text(kEditor, kNotes));
        EXPECT_EQ("plugh", Robot::Text("XS", "Word"));
    });
    // The user types in front of the word while the dialog is open.
    r.Type(kEditor, kNotes, "Now magic and magic and plugh");
    r.Type("XS", "Word", "plover");
    r.Click("XS", "Change");
    prompts.Expect("Completed", 1);
    r.WaitGone("XS");
    r.Run();
    ASSERT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ("Now magic and magic and plover", Robot::Text(kEditor, kNotes));
    EXPECT_EQ(5, CheckSession().wordCount);
}

// A replacement reaches the editor as if typed: the station editor's
// call-letters field turns it into capitals as it does with typing.
TEST_F(SpellFormsTest, TheEditorSeesAReplacementAsTyped) {
    Robot r;
    PromptQueue prompts(r);
    r.OpenForm("ES", "", FormCaption("ES"), kStationEditWidth, kStationEditHeight);
    r.Type("ES", kEsCalls, "KWXQ");
    r.Key("ES", kEsCalls, kKeyF7);
    r.WaitForm("XS");
    r.Type("XS", "Word", "kabc");
    r.Click("XS", "Change");
    prompts.Expect("Completed", 1);
    r.WaitGone("XS");
    r.Do([] { EXPECT_EQ("KABC", Robot::Text("ES", kEsCalls)); });
    r.Run();
    ASSERT_TRUE(r.Ok()) << r.Errors();
}

TEST_F(SpellFormsTest, NothingToCheckGivesMessagesOrNothing) {
    Robot r;
    PromptQueue prompts(r);
    OpenEditor(r, "");
    r.Key(kEditor, kButton, kKeyF7);  // not text boxes: silently nothing
    r.Key(kEditor, kList, kKeyF7);
    r.Do([] { EXPECT_FALSE(Robot::FormExists("XS")); });
    r.Key(kEditor, kLine, kKeyF7);
    prompts.Expect("No Text Found", 1);
    r.Type(kEditor, kLine, "the cat, 2019");
    r.Key(kEditor, kLine, kKeyF7);
    prompts.Expect("Spell Check Complete", 1);
    r.Do([] { UnloadWordList(); });
    r.Key(kEditor, kLine, kKeyF7);
    prompts.Expect("Spell Checking Disabled", 1);
    r.Run();
    ASSERT_TRUE(r.Ok()) << r.Errors();
    EXPECT_FALSE(Robot::FormExists("XS"));
    EXPECT_EQ("the cat, 2019", Robot::Text(kEditor, kLine));
}

TEST_F(SpellFormsTest, DeletesWordsFromTheCheckAndWritesOnDone) {
    Robot r;
    PromptQueue prompts(r);
    OpenEditor(r, "the wrod");
    r.Key(kEditor, kNotes, kKeyF7);
    r.Click("XS", "Delete");  // Delete Words...
    r.WaitForm("XD");
    r.Do([] { EXPECT_FALSE(Robot::Enabled("XD", "Delete")); });
    r.Type("XD", "Word", "ca");
    r.Do([] { EXPECT_EQ(2, EZ_ITEMCOUNT("XD", 115)); });
    r.SelectItem("XD", "Matches", "cat");
    r.Screenshot("XD", "/tmp/spell_xd.png");
    r.Click("XD", "Delete");
    prompts.Expect("Confirm Word Deletion", 1);
    r.Do([] {
        EXPECT_EQ(1, EZ_ITEMCOUNT("XD", 115));
        EXPECT_FALSE(Robot::Enabled("XD", "Delete"));
    });
    r.Click("XD", "Done");  // Done
    r.WaitGone("XD");
    r.Do([this] { EXPECT_FALSE(Has(DicLines(), "cat")); });
    r.Click("XS", "Close");  // Close: no closing message
    r.WaitGone("XS");
    r.Run();
    ASSERT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ(std::vector<std::string>{"Confirm Word Deletion"}, r.MessageTitles());
    EXPECT_EQ("the wrod", Robot::Text(kEditor, kNotes));
}

TEST_F(SpellFormsTest, ClosingTheEditorEndsTheCheckAndKeepsAdditions) {
    Robot r;
    OpenEditor(r, "'zork' and zork grue");
    r.Key(kEditor, kNotes, kKeyF7);
    r.Do([] { EXPECT_EQ("'zork'", Robot::Text("XS", "Word")); });
    r.Click("XS", "Add");  // adds zork without its quotes, moves on past zork to grue
    r.Do([] { EXPECT_EQ("grue", Robot::Text("XS", "Word")); });
    r.Close(kEditor);
    r.WaitGone("XS");
    r.Run();
    ASSERT_TRUE(r.Ok()) << r.Errors();
    EXPECT_FALSE(CheckSession().dialogOpen);
    EXPECT_TRUE(Has(DicLines(), "zork"));
    EXPECT_FALSE(Has(DicLines(), "'zork'"));
}

TEST_F(SpellFormsTest, EditorAddsDeletesHelpsAndRemembersItsPlace) {
    Robot r;
    PromptQueue prompts(r);
    r.OpenForm("XE", "", FormCaption("XE"), kSpellEditorWidth, kSpellEditorHeight);
    r.Do([] {
        EXPECT_FALSE(Robot::Enabled("XE", "Add"));
        EXPECT_FALSE(Robot::Enabled("XE", "Delete"));
    });
    r.Type("XE", "Word", "ca");
    r.Do([] {
        EXPECT_EQ(2, EZ_ITEMCOUNT("XE", 115));
        EXPECT_TRUE(Robot::Enabled("XE", "Add"));
    });
    r.Type("XE", "Word", "   ");
    r.Do([] { EXPECT_FALSE(Robot::Enabled("XE", "Add")); });
    r.Type("XE", "Word", "Cab");
    r.Click("XE", "Add");
    prompts.Expect("Success!", 1);
    r.Do([] {
        EXPECT_EQ("", Robot::Text("XE", "Word"));
        EXPECT_FALSE(Robot::Enabled("XE", "Add"));
    });
    r.Type("XE", "Word", "Cab");
    r.Click("XE", "Add");
    prompts.Expect("Duplicate Word", 1);
    r.Type("XE", "Word", "e-mail");
    r.Click("XE", "Add");
    prompts.Expect("Invalid Word", 1);
    r.Type("XE", "Word", "C");
    r.SelectItem("XE", "Matches", "Cab");
    r.Screenshot("XE", "/tmp/spell_xe.png");
    r.Click("XE", "Delete");
    prompts.Expect("Confirm Word Deletion", 2);  // No: nothing changes
    r.Do([] {
        EXPECT_EQ(1, EZ_ITEMCOUNT("XE", 115));
        EXPECT_TRUE(Robot::Enabled("XE", "Delete"));
    });
    r.Click("XE", "Delete");
    prompts.Expect("Confirm Word Deletion", 1);
    r.Do([] {
        EXPECT_EQ(0, EZ_ITEMCOUNT("XE", 115));
        EXPECT_FALSE(Robot::Enabled("XE", "Delete"));
    });
    r.Type("XE", "Word", "dog");
    r.Click("XE", "Add");
    prompts.Expect("Duplicate Word", 1);
    r.Click("XE", "Help");
    r.Key("XE", "Word", kKeyF1);
    r.Click("XE", "Close");
    r.WaitGone("XE");
    r.Run();
    ASSERT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ((std::vector<int>{490, 490}), r.platform().helpTopics);
    // Written on closing (added and deleted since loading), in byte order.
    EXPECT_EQ(Join(kWords, "\r\n") + "\r\n", ReadFileText(Dic()));
    EXPECT_NE("", IniRead(Paths().settingsFile, "XE", "FormWid", ""));
    EXPECT_NE("", IniRead(Paths().settingsFile, "XE", "LastRow", ""));
}

TEST_F(SpellFormsTest, EditorWithoutAWordListCloses) {
    UnloadWordList();
    Robot r;
    PromptQueue prompts(r);
    r.OpenForm("XE", "", FormCaption("XE"), kSpellEditorWidth, kSpellEditorHeight);
    prompts.Expect("Spell Checking Disabled", 1);
    r.WaitGone("XE");
    r.Run();
    ASSERT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ(Join(kWords, "\r\n") + "\r\n", ReadFileText(Dic()));
}

}  // namespace
