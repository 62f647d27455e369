// The toolkit driven by the robot over a throwaway form "TF" (and a modal
// child "T2", plus a stand-in message box) whose procedures this test installs.
#include <gtest/gtest.h>

// The robot and platform headers come before any Qt header: Qt defines
// "signals" as a keyword, and the recording platform has a member of that name.
#include "app/test_init.h"
#include "app/toolkit/desktop_platform.h"
#include "app/toolkit/robot.h"
// Qt from here on.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/toolkit/ez.h"
#include "ui/msgbox.h"

namespace {

enum : int {
    kOk = 100,
    kName = 105,
    kAgree = 110,
    kList = 115,
    kBox = 120,
    kStatus = 125,
    kOpenChild = 130,
    kAsk = 135,
    kPost = 140,
    kMenuFile = 9000,
    kMenuSave = 9005,
    kTool = 50,
    kToolNew = 51,
};

struct Log {
    std::vector<std::string> lines;
    bool vetoClose = false;
    bool swallowSpace = false;
    int askResult = 0;
    bool childReturned = false;
};
Log& L() {
    static Log l;
    return l;
}

const char* KindName(EzEvent ev) {
    switch (ev) {
        case EzEvent::Click:
            return "Click";
        case EzEvent::DblClick:
            return "DblClick";
        case EzEvent::Change:
            return "Change";
        case EzEvent::Key:
            return "Key";
        case EzEvent::RightClick:
            return "RightClick";
        case EzEvent::Loaded:
            return "Loaded";
        case EzEvent::Shown:
            return "Shown";
        case EzEvent::Activated:
            return "Activated";
        case EzEvent::Close:
            return "Close";
        case EzEvent::Posted:
            return "Posted";
        case EzEvent::HeaderClick:
            return "HeaderClick";
        case EzEvent::SelChange:
            return "SelChange";
        case EzEvent::Drop:
            return "Drop";
        case EzEvent::Unloaded:
            return "Unloaded";
        default:
            return nullptr;  // focus, mouse-over, resize ... not logged
    }
}

void TestDesign(const std::string& form) {
    if (form == "TF") {
        EZ_MENU("TF", 0, kMenuFile, "&File");
        EZ_MENU("TF", kMenuFile, kMenuSave, "&Save");
        EZ_CONTROL("TF", kTool, EzKind::Toolbar, "", 0, 0, 0, 0);
        EZ_TOOLBUTTON("TF", kTool, kToolNew, "NEW.png", "New");
        EZ_CONTROL("TF", 90, EzKind::Label, "&Name:", 1, 1, 8, 1.2);
        EZ_CONTROL("TF", kName, EzKind::Text, "", 10, 1, 20, 1.4);
        EZ_CONTROL("TF", kAgree, EzKind::Check, "&Agree", 1, 3, 12, 1.2);
        EZ_CONTROL("TF", kList, EzKind::ListView, "Date{10}|Title{16}|Pick{5}", 1, 5, 34, 8, "M");
        EZ_CONTROL("TF", kBox, EzKind::ListBox, "", 36, 1, 14, 6, "D");
        EZ_CONTROL("TF", kOk, EzKind::Button, "&OK", 36, 8, 8, 1.5);
        EZ_CONTROL("TF", kOpenChild, EzKind::Button, "Child", 36, 10, 8, 1.5);
        EZ_CONTROL("TF", kAsk, EzKind::Button, "Ask", 45, 8, 8, 1.5);
        EZ_CONTROL("TF", kPost, EzKind::Button, "Post", 45, 10, 8, 1.5);
        EZ_CONTROL("TF", kStatus, EzKind::StatusBar, "", 0, 0, 0, 0);
        EZ_ACCEL("TF", "F1", 911);
    } else if (form == "T2") {
        EZ_CONTROL("T2", 100, EzKind::Text, "", 1, 1, 20, 1.4);
        EZ_CONTROL("T2", 105, EzKind::Button, "Done", 1, 3, 8, 1.5);
    } else if (form == "DGMSGBOX1") {
        EZ_CONTROL(form, kMsgText1Id, EzKind::Label, "Really?", 1, 1, 20, 1.2);
        EZ_CONTROL(form, kMsgCheckId, EzKind::Check, "Don't ask", 1, 3, 20, 1.2);
        EZ_CONTROL(form, 101, EzKind::Button, "&Yes", 1, 5, 8, 1.5);
        EZ_CONTROL(form, 102, EzKind::Button, "&No", 10, 5, 8, 1.5);
    }
}

void TestEvent(const std::string& form, int id, EzEvent ev, int64_t value, int& cancel) {
    if (const char* k = KindName(ev))
        L().lines.push_back(form + " " + std::to_string(id) + " " + k + " " +
                            std::to_string(value));
    if (form == "TF") {
        if (id == 0 && ev == EzEvent::Close && L().vetoClose) cancel = 1;
        if (id == kAgree && ev == EzEvent::Key && value == kKeySpace && L().swallowSpace)
            cancel = 1;
        if (id == kOpenChild && ev == EzEvent::Click) {
            EZ_FORM("T2", "TF", "Child", -1, -1, 30, 6);
            L().childReturned = true;
            L().lines.push_back("child returned");
        }
        if (id == kAsk && ev == EzEvent::Click) {
            // A stand-in for the program's message box: modal, answers by button.
            EZ_FORM("DGMSGBOX1", "TF", "Confirm Delete", -1, -1, 24, 8);
            L().lines.push_back("ask returned " + std::to_string(L().askResult));
        }
        if (id == kPost && ev == EzEvent::Click) {
            EZ_POSTEVENT("TF", 0, 77);
            L().lines.push_back("posted");
        }
    } else if (form == "T2") {
        if (id == 105 && ev == EzEvent::Click) EZ_UNLOADFORM("T2");
    } else if (form == "DGMSGBOX1") {
        if ((id == 101 || id == 102) && ev == EzEvent::Click) {
            L().askResult = id - 100;
            if (EZ_GETCHECK(form, kMsgCheckId)) L().askResult = -L().askResult;
            EZ_UNLOADFORM(form);
        }
        if (ev == EzEvent::Key && value == kKeyEsc) {
            L().askResult = 99;
            EZ_UNLOADFORM(form);
        }
    }
}

bool Logged(const std::string& line) {
    for (const auto& l : L().lines)
        if (l == line) return true;
    return false;
}

int IndexOf(const std::string& line) {
    for (size_t i = 0; i < L().lines.size(); ++i)
        if (L().lines[i] == line) return static_cast<int>(i);
    return -1;
}

class ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override {
        EzTestInit();
        EZ_SETPROCS(TestEvent, TestDesign);
        L() = Log{};
    }
    void TearDown() override {
        while (EZ_FORMEXISTS("TF")) EZ_DESTROYFORM("TF");
    }
    void Open(Robot& r) { r.OpenForm("TF", "", "Test Form", 56, 18); }
};

TEST_F(ToolkitTest, FormLifeEventsAndNames) {
    Robot r;
    Open(r);
    r.Do([] {
        EXPECT_TRUE(EZ_FORMEXISTS("TF"));
        EXPECT_EQ(EZ_GETTEXT("TF", 0), "Test Form");
        EXPECT_EQ(EZ_CURRENTFORM(), "TF");
    });
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    int loaded = IndexOf("TF 0 Loaded 0"), shown = IndexOf("TF 0 Shown 0");
    ASSERT_GE(loaded, 0);
    EXPECT_GT(shown, loaded);
    EXPECT_GT(IndexOf("TF 0 Activated 0"), shown);
    ASSERT_TRUE(EZ_FORMEXISTS("TF"));
    EXPECT_EQ(Robot::ObjectName("TF", 0), "TF");
    EXPECT_EQ(Robot::ObjectName("TF", kName), "TF.105");
    EXPECT_EQ(Robot::ObjectName("TF", kList), "TF.115");
}

TEST_F(ToolkitTest, UserActionsRaiseEventsProgramChangesDoNot) {
    Robot r;
    Open(r);
    r.Do([] {
        EZ_SETTEXT("TF", kName, "set by program");
        EZ_SETCHECK("TF", kAgree, true);
        EZ_SETCHECK("TF", kAgree, false);
    });
    r.Type("TF", kName, "WAAA-FM");
    r.Click("TF", kAgree);
    r.Click("TF", kOk);
    r.Click("TF", kMenuSave);
    r.Click("TF", kToolNew);
    r.Key("TF", kName, kKeyEnter);
    r.Key("TF", kName, kKeyF1);
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ(EZ_GETTEXT("TF", kName), "WAAA-FM");
    EXPECT_TRUE(EZ_GETCHECK("TF", kAgree));
    int changes = 0;
    for (const auto& l : L().lines)
        if (l == "TF 105 Change 0") ++changes;
    EXPECT_EQ(changes, 1) << "only the typed text raises Change";
    for (const char* line : {"TF 110 Click 0", "TF 100 Click 0", "TF 9005 Click 0", "TF 51 Click 0",
                             "TF 105 Key 13", "TF 911 Click 0"})
        EXPECT_TRUE(Logged(line)) << line;
}

TEST_F(ToolkitTest, KeyCancelSwallowsTheKey) {
    Robot r;
    Open(r);
    r.Key("TF", kAgree, kKeySpace);
    r.Run();
    EXPECT_TRUE(EZ_GETCHECK("TF", kAgree)) << "space toggles a check box";
    L().swallowSpace = true;
    r.Key("TF", kAgree, kKeySpace);
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_TRUE(EZ_GETCHECK("TF", kAgree)) << "a swallowed space leaves it alone";
}

TEST_F(ToolkitTest, CloseCanBeVetoed) {
    Robot r;
    Open(r);
    r.Do([] { L().vetoClose = true; });
    r.Close("TF");
    r.Do([] { EZ_UNLOADFORM("TF"); });
    r.Run();
    EXPECT_TRUE(EZ_FORMEXISTS("TF"));
    EXPECT_FALSE(Logged("TF 0 Unloaded 0"));
    r.Do([] { L().vetoClose = false; });
    r.Close("TF");
    r.WaitGone("TF");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_FALSE(EZ_FORMEXISTS("TF"));
    EXPECT_TRUE(Logged("TF 0 Unloaded 0"));
}

TEST_F(ToolkitTest, ModalFormBlocksAndLaterStepsRunInsideIt) {
    Robot r;
    Open(r);
    r.Click("TF", kOpenChild);
    r.Type("T2", 100, "inside");
    r.Do([] { EXPECT_FALSE(L().childReturned) << "EZ_FORM must still be waiting"; });
    r.Click("T2", 105);
    r.WaitGone("T2");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_TRUE(L().childReturned);
    int typed = IndexOf("T2 100 Change 0"), back = IndexOf("child returned");
    ASSERT_GE(typed, 0);
    EXPECT_GT(back, typed);
    EXPECT_LT(IndexOf("T2 0 Unloaded 0"), back);
}

TEST_F(ToolkitTest, ModalLeftOpenAtTheEndIsTakenDownSoRunReturns) {
    Robot r;
    Open(r);
    r.Click("TF", kOpenChild);
    r.WaitForm("T2");
    r.Run(5000);
    EXPECT_FALSE(EZ_FORMEXISTS("T2"));
    EXPECT_TRUE(L().childReturned);
    EXPECT_TRUE(EZ_FORMEXISTS("TF"));
}

TEST_F(ToolkitTest, PostedEventArrivesAfterTheCurrentEvent) {
    Robot r;
    Open(r);
    r.Click("TF", kPost);
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    int posted = IndexOf("posted"), arrived = IndexOf("TF 0 Posted 77");
    ASSERT_GE(posted, 0);
    EXPECT_GT(arrived, posted);
}

TEST_F(ToolkitTest, ListViewSortKeepsRowValuesAndSelection) {
    Robot r;
    Open(r);
    r.Do([] {
        EZ_LVADDROW("TF", kList, {"03-01-2024", "Cherry", "{S}X1"}, 30);
        EZ_LVADDROW("TF", kList, {"01-01-2024", "apple", "{S}X2"}, 10);
        EZ_LVADDROW("TF", kList, {"02-01-2024", "Banana", "{S}X1"}, 20);
        EZ_LVSELECT("TF", kList, 0, true);  // Cherry
    });
    r.Run();
    EZ_LVSORT("TF", kList, 1, 0);
    std::vector<std::string> titles;
    std::vector<int64_t> values;
    for (int i = 0; i < EZ_LVROWCOUNT("TF", kList); ++i) {
        titles.push_back(EZ_LVGETCELL("TF", kList, i, 1));
        values.push_back(EZ_LVGETVALUE("TF", kList, i));
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"apple", "Banana", "Cherry"}));
    EXPECT_EQ(values, (std::vector<int64_t>{10, 20, 30}));
    EXPECT_TRUE(EZ_LVISSELECTED("TF", kList, 2));
    EXPECT_EQ(EZ_LVSELCOUNT("TF", kList), 1);
    EZ_LVSORT("TF", kList, 0, 1);
    EXPECT_EQ(EZ_LVGETVALUE("TF", kList, 0), 30);
    EXPECT_EQ(EZ_LVGETCELL("TF", kList, 0, 2), "{S}X1") << "check cells keep their text";
    EXPECT_EQ(EZ_LVNEXTSELECTED("TF", kList, -1), 0);
    EXPECT_EQ(EZ_LVNEXTSELECTED("TF", kList, 0), -1);
}

TEST_F(ToolkitTest, CheckCellTogglesAndRaisesClick) {
    Robot r;
    Open(r);
    r.Do([] { EZ_LVADDROW("TF", kList, {"a", "b", "{S}X1"}, 5); });
    r.ToggleCheckCell("TF", kList, 0, 2);
    r.Run();
    EXPECT_EQ(EZ_LVGETCELL("TF", kList, 0, 2), "{S}X2");
    EXPECT_TRUE(Logged("TF 115 Click 0"));
    EZ_LVSETCELL("TF", kList, 0, 2, "{S}X1");
    EXPECT_EQ(EZ_LVGETCELL("TF", kList, 0, 2), "{S}X1");
    EZ_LVSETCELL("TF", kList, 0, 2, "plain");
    EXPECT_EQ(EZ_LVGETCELL("TF", kList, 0, 2), "plain");
}

TEST_F(ToolkitTest, ListViewUserEventsAndColumns) {
    Robot r;
    Open(r);
    r.Do([] {
        for (int i = 0; i < 4; ++i) EZ_LVADDROW("TF", kList, {std::to_string(i), "t"}, i);
    });
    r.SelectRow("TF", kList, 1);
    r.SelectRow("TF", kList, 3, true);
    r.DblClick("TF", kList, 2);
    r.RightClick("TF", kList, -1);
    r.HeaderClick("TF", kList, 1);
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    for (const char* line : {"TF 115 SelChange 1", "TF 115 SelChange 3", "TF 115 DblClick 2",
                             "TF 115 RightClick -1", "TF 115 HeaderClick 1"})
        EXPECT_TRUE(Logged(line)) << line;

    std::string cap;
    int w = 0, fmt = 0;
    EZ_LVSETCOLUMN("TF", kList, 1, "Program", 120, 22528 + 1);
    EZ_LVGETCOLUMN("TF", kList, 1, cap, w, fmt);
    EXPECT_EQ(cap, "Program");
    EXPECT_EQ(w, 120);
    EXPECT_EQ(fmt, 22529);
    EZ_LVSETHEADERIMAGE("TF", kList, 0, 1);
    EXPECT_EQ(EZ_LVGETHEADERIMAGE("TF", kList, 0), 1);
    EXPECT_EQ(EZ_LVGETHEADERIMAGE("TF", kList, 1), 3);
    EXPECT_EQ(EZ_LVCOLUMNORDER("TF", kList), (std::vector<int>{0, 1, 2}));
}

TEST_F(ToolkitTest, ListBoxDragRaisesDropWithBothIndices) {
    Robot r;
    Open(r);
    r.Do([] {
        for (const char* s : {"one", "two", "three"}) EZ_ADDITEM("TF", kBox, s, 0);
    });
    r.Drag("TF", kBox, 0, 2);
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_TRUE(Logged("TF 120 Drop " + std::to_string((0 << 16) | 2)));
    EXPECT_EQ(EZ_ITEMTEXT("TF", kBox, 2), "one");
    EXPECT_EQ(EZ_ITEMTEXT("TF", kBox, 0), "two");
}

TEST_F(ToolkitTest, ExpectedPromptIsAnsweredAndRecorded) {
    Robot r;
    Open(r);
    r.Click("TF", kAsk);
    r.ExpectMsg("Confirm", 2, true);
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ(L().askResult, -2);
    ASSERT_EQ(r.MessageTitles().size(), 1u);
    EXPECT_EQ(r.MessageTitles()[0], "Confirm Delete");
    EXPECT_EQ(r.MessageTexts()[0], "Really?");
}

TEST_F(ToolkitTest, UnexpectedPromptIsAnErrorAndDismissedWithEsc) {
    Robot r;
    Open(r);
    r.Click("TF", kAsk);
    r.Click("TF", kOk);
    r.Run();
    EXPECT_FALSE(r.Ok());
    EXPECT_NE(r.Errors().find("unexpected prompt: Confirm Delete / Really?"), std::string::npos)
        << r.Errors();
    EXPECT_EQ(L().askResult, 99);
    EXPECT_TRUE(Logged("TF 100 Click 0")) << "the steps go on after the dismissal";
}

TEST_F(ToolkitTest, MissingPromptAndWrongTitleAreErrors) {
    Robot r;
    Open(r);
    r.Click("TF", kAsk);
    r.ExpectMsg("Something Else", 1);
    r.ExpectMsg("Never Shown", 1);
    r.Run(4000);
    EXPECT_NE(r.Errors().find("got prompt: Confirm Delete"), std::string::npos) << r.Errors();
    EXPECT_NE(r.Errors().find("no message box appeared"), std::string::npos) << r.Errors();
}

TEST_F(ToolkitTest, DisabledControlsCannotBeClicked) {
    Robot r;
    Open(r);
    r.Do([] {
        EZ_ENABLE("TF", kOk, false);
        EZ_MENUENABLE("TF", kMenuSave, false);
    });
    r.Click("TF", kOk);
    r.Click("TF", kMenuSave);
    r.Run();
    EXPECT_FALSE(Logged("TF 100 Click 0"));
    EXPECT_FALSE(Logged("TF 9005 Click 0"));
    EXPECT_NE(r.Errors().find("TF.100 is disabled"), std::string::npos) << r.Errors();
    EXPECT_FALSE(EZ_MENUISENABLED("TF", kMenuSave));
}

TEST_F(ToolkitTest, FileDialogsAnswerFromTheQueue) {
    Robot r;
    std::string saved, opened;
    r.ExpectSaveDialog("/tmp/out.pdf");
    Open(r);
    r.Do([&] {
        saved = EZ_SAVEFILEDLG("TF", "Save", "/tmp", "x.pdf", "PDF Files (*.pdf)|*.pdf");
        opened = EZ_OPENFILEDLG("TF", "Open", "/tmp", "Zip (*.zip)|*.zip");
    });
    r.ExpectOpenDialog("/never/used.zip");
    r.Run();
    EXPECT_EQ(saved, "/tmp/out.pdf");
    EXPECT_EQ(opened, "/never/used.zip") << "answers queued before Run are all available";
    EXPECT_TRUE(r.Ok()) << r.Errors();
    r.ExpectSaveDialog("/tmp/unused.pdf");
    r.Do([&] { opened = EZ_OPENFILEDLG("TF", "Open", "/tmp", "Zip (*.zip)|*.zip"); });
    r.Run();
    EXPECT_EQ(opened, "");
    EXPECT_NE(r.Errors().find("unexpected open dialog"), std::string::npos) << r.Errors();
    EXPECT_NE(r.Errors().find("save dialog answer not used"), std::string::npos) << r.Errors();
}

TEST_F(ToolkitTest, StatusBarPartsKeepTheirTextAsSet) {
    Robot r;
    Open(r);
    r.Run();
    EZ_SBPARTS("TF", kStatus, {15, 14});
    EZ_SBSETTEXT("TF", kStatus, 1, "\tSelected: 2");
    EXPECT_EQ(EZ_SBGETTEXT("TF", kStatus, 1), "\tSelected: 2");
    EXPECT_EQ(EZ_SBGETTEXT("TF", kStatus, 5), "");
    EZ_SBSETTEXT("TF", kStatus, 7, "ignored");  // out of range: no crash
}

TEST_F(ToolkitTest, ScreenshotIsANonEmptyPng) {
    Robot r;
    Open(r);
    const std::string png = "/tmp/vantrel-tk-shot-" + std::to_string(getpid()) + ".png";
    r.Screenshot("TF", png);
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    int width = 0, height = 0;
    EXPECT_TRUE(Robot::ImageSize(png, width, height));
    EXPECT_GT(width, 100);
    std::remove(png.c_str());
    EXPECT_FALSE(EZ_SCREENSHOT("NOPE", png));
}

TEST_F(ToolkitTest, TextPositionsAreUtf8ByteOffsets) {
    Robot r;
    Open(r);
    r.Type("TF", kName, "café bar");
    r.Run();
    // "bar" starts at byte 6 ("é" is two bytes).
    EZ_SELECTTEXT("TF", kName, 6, 3);
    EXPECT_EQ(EZ_GETCURSORPOS("TF", kName), 9);
}

TEST_F(ToolkitTest, ModalFormOutsideRunIsTakenDownNotHung) {
    Robot r;
    Open(r);
    r.Run();
    EZ_FORM("T2", "TF", "Child", -1, -1, 20, 5);  // returns: the robot takes it down
    EXPECT_FALSE(EZ_FORMEXISTS("T2"));
    EXPECT_NE(r.Errors().find("modal form T2 opened while no steps were running"),
              std::string::npos);
}

TEST(SingleInstance, LockIsHeldAndASecondTakerIsRefused) {
    EzTestInit();
    const std::string name = "VantrelToolkitTest" + std::to_string(getpid());
    auto first = MakeDesktopPlatform();
    auto second = MakeDesktopPlatform();
    ASSERT_TRUE(first->AcquireSingleInstance(name));
    EXPECT_TRUE(first->AcquireSingleInstance(name)) << "the holder may ask again";
    EXPECT_FALSE(second->AcquireSingleInstance(name));
    second->SignalRunningInstance(name);
    for (int i = 0; i < 50 && DesktopRaiseRequests(*first) == 0; ++i) {
        EZ_DOEVENTS();
        usleep(20000);
    }
    EXPECT_EQ(DesktopRaiseRequests(*first), 1);
    first.reset();  // releases the lock
    EXPECT_TRUE(second->AcquireSingleInstance(name));
}

}  // namespace
