// Control kinds and their access functions on a throwaway form "CT": combos,
// list boxes, date-time pickers, up-downs, multi-line text, pages, focus,
// placement, units and fonts.
#include <gtest/gtest.h>

// Before any Qt header (Qt defines "signals", a member name of the platform).
#include "app/base/platform.h"
#include "app/test_init.h"
#include "app/toolkit/robot.h"
// Qt from here on.
#include <string>
#include <vector>

namespace {

enum : int {
    kCombo = 100,
    kEditCombo = 105,
    kList = 110,
    kDate = 115,
    kSpin = 120,
    kMemo = 125,
    kPage = 130,
    kOnPage = 135,
    kText = 140,
    kRich = 145,
    kMenuTop = 9000,
};

std::vector<std::string>& Events() {
    static std::vector<std::string> e;
    return e;
}

void Design(const std::string& form) {
    if (form == "CT") {
        EZ_MENU(form, 0, kMenuTop, "&Exit");  // a menu-bar command of its own
        EZ_CONTROL(form, kCombo, EzKind::Combo, "", 1, 1, 16, 1.5);
        EZ_CONTROL(form, kEditCombo, EzKind::ComboEdit, "typed", 18, 1, 16, 1.5);
        EZ_CONTROL(form, kList, EzKind::ListBox, "", 1, 3, 16, 6, "M");
        EZ_CONTROL(form, kDate, EzKind::DateTime, "", 18, 3, 20, 1.5);
        EZ_CONTROL(form, kSpin, EzKind::UpDown, "3", 18, 5, 8, 1.5);
        EZ_CONTROL(form, kMemo, EzKind::Text, "", 1, 10, 30, 4, "M");
        EZ_CONTROL(form, kPage, EzKind::Page, "", 32, 8, 14, 6);
        EZ_CONTROL(form, kOnPage, EzKind::Text, "", 34, 10, 10, 1.4);
        EZ_CONTROL(form, kText, EzKind::Text, "", 18, 7, 10, 1.4);
        EZ_CONTROL(form, kRich, EzKind::RichText, "", 1, 15, 30, 3);
    }
}

void Event(const std::string& form, int id, EzEvent ev, int64_t value, int&) {
    if (ev == EzEvent::Change || ev == EzEvent::Click || ev == EzEvent::GotFocus)
        Events().push_back(std::to_string(id) +
                           (ev == EzEvent::Change  ? " Change "
                            : ev == EzEvent::Click ? " Click "
                                                   : " Focus ") +
                           std::to_string(value));
}

int Count(const std::string& line) {
    int n = 0;
    for (const auto& e : Events())
        if (e == line) ++n;
    return n;
}

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        EzTestInit();
        EZ_SETPROCS(Event, Design);
        Events().clear();
        robot_ = std::make_unique<Robot>();
        robot_->OpenForm("CT", "", "Controls", 50, 20);
        robot_->Run();
        ASSERT_TRUE(EZ_FORMEXISTS("CT"));
    }
    void TearDown() override { robot_.reset(); }
    Robot& r() { return *robot_; }
    std::unique_ptr<Robot> robot_;
};

TEST_F(ControlsTest, ComboItemsSelectionAndData) {
    for (const char* s : {"2024 - Jan-Mar", "2024 - Apr-Jun", "2024 - Jul-Sep"})
        EZ_ADDITEM("CT", kCombo, s, 20240 + EZ_ITEMCOUNT("CT", kCombo) + 1);
    EXPECT_EQ(EZ_SELECTEDITEM("CT", kCombo), -1) << "filling a combo selects nothing";
    EZ_SELECTITEM("CT", kCombo, 1);
    EXPECT_EQ(EZ_GETTEXT("CT", kCombo), "2024 - Apr-Jun");
    EXPECT_EQ(EZ_ITEMDATA("CT", kCombo, 1), 20242);
    EXPECT_EQ(EZ_FINDITEM("CT", kCombo, "2024 - Jul-Sep"), 2);
    EXPECT_EQ(EZ_FINDITEM("CT", kCombo, "2024 - jul-sep"), -1) << "exact match only";
    EXPECT_EQ(Count("100 Change 0"), 0) << "the program's own selection raises nothing";
    r().SelectItem("CT", kCombo, "2024 - Jul-Sep");
    r().SelectItem("CT", kCombo, "2031 - none");
    r().Run();
    EXPECT_EQ(EZ_SELECTEDITEM("CT", kCombo), 2);
    EXPECT_EQ(Count("100 Change 0"), 1);
    EXPECT_NE(r().Errors().find("no item \"2031 - none\""), std::string::npos);
    EZ_INSERTITEM("CT", kCombo, 0, "first", 1);
    EZ_DELETEITEM("CT", kCombo, 99);  // out of range: ignored
    EXPECT_EQ(EZ_ITEMTEXT("CT", kCombo, 0), "first");
    EXPECT_EQ(EZ_ITEMCOUNT("CT", kCombo), 4);
    EZ_CLEARITEMS("CT", kCombo);
    EXPECT_EQ(EZ_ITEMCOUNT("CT", kCombo), 0);
    EXPECT_EQ(EZ_GETTEXT("CT", kCombo), "");
}

TEST_F(ControlsTest, EditableComboKeepsTypedTextWhileFilled) {
    EXPECT_EQ(EZ_GETTEXT("CT", kEditCombo), "typed");
    EZ_ADDITEM("CT", kEditCombo, "WAAA-FM", 0);
    EZ_ADDITEM("CT", kEditCombo, "WBBB-AM", 0);
    EXPECT_EQ(EZ_GETTEXT("CT", kEditCombo), "typed");
    EZ_CLEARITEMS("CT", kEditCombo);
    EXPECT_EQ(EZ_GETTEXT("CT", kEditCombo), "typed");
    r().Type("CT", kEditCombo, "WCCC");
    r().Run();
    EXPECT_EQ(EZ_GETTEXT("CT", kEditCombo), "WCCC");
    EXPECT_EQ(Count("105 Change 0"), 1) << ::testing::PrintToString(Events());
}

TEST_F(ControlsTest, MultiSelectListBox) {
    for (const char* s : {"a", "b", "c", "d"}) EZ_ADDITEM("CT", kList, s, 0);
    EZ_SETITEMSELECTED("CT", kList, 1, true);
    EZ_SETITEMSELECTED("CT", kList, 3, true);
    EXPECT_TRUE(EZ_ITEMSELECTED("CT", kList, 3));
    EXPECT_FALSE(EZ_ITEMSELECTED("CT", kList, 2));
    EXPECT_EQ(EZ_SELECTEDITEM("CT", kList), 1);
    EZ_SELECTITEM("CT", kList, 2);  // single select clears the others
    EXPECT_FALSE(EZ_ITEMSELECTED("CT", kList, 1));
    EXPECT_EQ(EZ_SELECTEDITEM("CT", kList), 2);
    EZ_SELECTITEM("CT", kList, -1);
    EXPECT_EQ(EZ_SELECTEDITEM("CT", kList), -1);
    EZ_SETITEMTEXT("CT", kList, 0, "A");
    EXPECT_EQ(EZ_ITEMTEXT("CT", kList, 0), "A");
    EZ_DELETEITEM("CT", kList, 0);
    EXPECT_EQ(EZ_ITEMTEXT("CT", kList, 0), "b");
    EXPECT_EQ(EZ_ITEMTEXT("CT", kList, 9), "");
    EXPECT_EQ(Count("110 Change 0"), 0);
}

// What forms do to their controls while they fill them (refill a selector and
// select in it, reset a list, set a group of radio buttons, a spin value, a
// description) raises no Change or Click: forms rely on it and hold nothing back.
TEST_F(ControlsTest, RefillsAndResetsByTheProgramRaiseNothing) {
    EZ_CONTROL("CT", 400, EzKind::Radio, "One", 1, 19, 10, 1.3, "G");
    EZ_CONTROL("CT", 405, EzKind::Radio, "Two", 12, 19, 10, 1.3);
    EZ_CONTROL("CT", 410, EzKind::ListBox, "", 24, 19, 10, 3, "D");
    EZ_CONTROL("CT", 415, EzKind::ListView, "Call{8}|City{8}", 36, 19, 14, 4, "M");
    for (int pass = 0; pass < 2; ++pass) {
        EZ_CLEARITEMS("CT", kCombo);
        for (const char* q : {"2024 - Jan-Mar", "2024 - Apr-Jun"}) EZ_ADDITEM("CT", kCombo, q, 0);
        EZ_SELECTITEM("CT", kCombo, pass);
        EZ_CLEARITEMS("CT", 410);
        for (const char* t : {"Crime", "Roads", "Schools"}) EZ_ADDITEM("CT", 410, t, 0);
        EZ_SELECTITEM("CT", 410, 2);
        EZ_SELECTITEM("CT", 410, -1);
        EZ_LVCLEAR("CT", 415);
        EZ_LVADDROW("CT", 415, {"WAAA-FM", "Ames"}, 1);
        EZ_LVADDROW("CT", 415, {"WBBB-AM", "Boone"}, 2);
        EZ_LVSELECT("CT", 415, -1, true);
        EZ_LVSELECT("CT", 415, 0, false);
        EZ_SETCHECK("CT", 400, pass == 0);
        EZ_SETCHECK("CT", 405, pass == 1);
        EZ_SETVALUE("CT", kSpin, 5 + pass);
        EZ_SETTEXT("CT", kMemo, pass == 0 ? "first\r\nissue" : "");
    }
    EXPECT_EQ(EZ_SELECTEDITEM("CT", kCombo), 1);
    EXPECT_TRUE(EZ_GETCHECK("CT", 405));
    EXPECT_FALSE(EZ_GETCHECK("CT", 400));
    for (const std::string& e : Events())
        EXPECT_EQ(e.find(" Focus "), 3u) << e << ": raised by the program's own change";
}

TEST_F(ControlsTest, DatePickerRangeFormatAndUserChange) {
    EZ_DTSETFORMAT("CT", kDate, "MM-dd-yyyy HH:mm");
    EZ_DTSETRANGE("CT", kDate, 2024, 4, 1, 2024, 6, 30);
    EZ_DTSET("CT", kDate, 2024, 5, 14, 9, 30);
    int y, m, d, h, mi;
    EZ_DTGET("CT", kDate, y, m, d, h, mi);
    EXPECT_EQ((std::vector<int>{y, m, d, h, mi}), (std::vector<int>{2024, 5, 14, 9, 30}));
    EXPECT_EQ(EZ_GETTEXT("CT", kDate), "05-14-2024 09:30");
    EZ_DTSET("CT", kDate, 2024, 2, 30, 0, 0);  // no such day: unchanged
    EZ_DTGET("CT", kDate, y, m, d, h, mi);
    EXPECT_EQ(d, 14);
    EZ_DTMONDAYSTART("CT", kDate, true);
    EXPECT_EQ(Count("115 Change 0"), 0);
    r().SetDate("CT", kDate, 2024, 6, 30, 23, 59);
    r().SetDate("CT", kDate, 2024, 7, 1, 0, 0);  // outside the quarter's range
    r().Run();
    EZ_DTGET("CT", kDate, y, m, d, h, mi);
    EXPECT_EQ((std::vector<int>{y, m, d, h, mi}), (std::vector<int>{2024, 6, 30, 23, 59}));
    EXPECT_EQ(Count("115 Change 0"), 1);
    EXPECT_NE(r().Errors().find("outside the picker's range"), std::string::npos) << r().Errors();
}

TEST_F(ControlsTest, UpDownValueAndRange) {
    EXPECT_EQ(EZ_GETVALUE("CT", kSpin), 3);
    EZ_SETRANGE("CT", kSpin, 1, 10);
    EZ_SETVALUE("CT", kSpin, 25);
    EXPECT_EQ(EZ_GETVALUE("CT", kSpin), 10) << "clamped to the range";
    EXPECT_EQ(EZ_GETTEXT("CT", kSpin), "10");
    r().Type("CT", kSpin, "4");
    r().Run();
    EXPECT_EQ(Count("120 Change 4"), 1);
}

TEST_F(ControlsTest, MultiLineTextDropsCarriageReturnsAndHonoursTheLimit) {
    EZ_SETTEXT("CT", kMemo, "one\r\ntwo\r\n");
    EXPECT_EQ(EZ_GETTEXT("CT", kMemo), "one\ntwo\n");
    EZ_SETTEXTLIMIT("CT", kMemo, 5);
    r().Type("CT", kMemo, "abcdefgh");
    r().Run();
    EXPECT_EQ(EZ_GETTEXT("CT", kMemo), "abcde");
    EZ_SETTEXTLIMIT("CT", kText, 3);
    r().Type("CT", kText, "WAAA-FM");
    r().Run();
    EXPECT_EQ(EZ_GETTEXT("CT", kText), "WAA");
}

TEST_F(ControlsTest, PageCarriesItsControlsAndKeepsTheirPlace) {
    double c0, r0, w0, h0;
    EZ_GETPLACE("CT", kOnPage, c0, r0, w0, h0);
    EZ_SETPARENT("CT", kOnPage, kPage);
    double c1, r1, w1, h1;
    EZ_GETPLACE("CT", kOnPage, c1, r1, w1, h1);
    EXPECT_NEAR(c1, c0, 0.2);
    EXPECT_NEAR(r1, r0, 0.2);
    EXPECT_TRUE(EZ_ISVISIBLE("CT", kOnPage));
    EZ_SHOW("CT", kPage, false);
    EXPECT_FALSE(EZ_ISVISIBLE("CT", kOnPage)) << "hiding the page hides what is on it";
    EZ_SHOW("CT", kPage, true);
    EXPECT_TRUE(EZ_ISVISIBLE("CT", kOnPage));
    EZ_MOVE("CT", kOnPage, 40, 12, 5, 1.4);  // form coordinates, also on a page
    EZ_GETPLACE("CT", kOnPage, c1, r1, w1, h1);
    EXPECT_NEAR(c1, 40, 0.2);
    EXPECT_NEAR(r1, 12, 0.2);
    EXPECT_NEAR(w1, 5, 0.2);
}

TEST_F(ControlsTest, FocusAndEnabledState) {
    EZ_SETFOCUS("CT", kText);
    EXPECT_EQ(EZ_GETFOCUS("CT"), kText);
    EZ_SETFOCUS("CT", kEditCombo);
    EXPECT_EQ(EZ_GETFOCUS("CT"), kEditCombo) << "the combo, not its inner line edit";
    EZ_ENABLE("CT", kText, false);
    EXPECT_FALSE(EZ_ISENABLED("CT", kText));
    r().Type("CT", kText, "x");
    r().Run();
    EXPECT_NE(r().Errors().find("is disabled"), std::string::npos);
    EXPECT_FALSE(EZ_ISENABLED("CT", 999)) << "no such control";
}

TEST_F(ControlsTest, ControlKindIsReportedForExistingControlsOnly) {
    EzKind kind = EzKind::Label;
    ASSERT_TRUE(EZ_CONTROLKIND("CT", kMemo, kind));
    EXPECT_EQ(kind, EzKind::Text);
    ASSERT_TRUE(EZ_CONTROLKIND("CT", kEditCombo, kind));
    EXPECT_EQ(kind, EzKind::ComboEdit);
    EXPECT_FALSE(EZ_CONTROLKIND("CT", 999, kind));
    EXPECT_FALSE(EZ_CONTROLKIND("NO", kMemo, kind));
}

// Every kind of control is made by EZ_CONTROL and keeps or shows its text as
// EZ_GETTEXT / EZ_SETTEXT promise, without raising events of its own.
TEST_F(ControlsTest, EveryKindIsMadeAndRoundTripsItsText) {
    using Fill = void (*)(int id);
    auto items = [](int id) {
        for (const char* s : {"WAAA-FM", "WBBB-AM"}) EZ_ADDITEM("CT", id, s, 0);
    };
    struct Case {
        EzKind kind;
        const char* style;
        const char* made;   // text given to EZ_CONTROL
        Fill fill;          // what the program puts in it before reading
        const char* shown;  // EZ_GETTEXT after making (and filling)
        const char* set;    // given to EZ_SETTEXT
        const char* read;   // EZ_GETTEXT after that
    };
    const Case cases[] = {
        {EzKind::Button, "", "&OK", nullptr, "&OK", "&Cancel", "&Cancel"},
        {EzKind::Label, "L", "Name:", nullptr, "Name:", "Title:", "Title:"},
        {EzKind::Frame, "", "Quarter", nullptr, "Quarter", "Station", "Station"},
        {EzKind::Text, "", "caf\xc3\xa9", nullptr, "caf\xc3\xa9", "WAAA", "WAAA"},
        {EzKind::Text, "M", "a\r\nb", nullptr, "a\nb", "x\r\ny", "x\ny"},
        // A combo's text picks the item of that text, letter case aside; an
        // unknown text picks none.
        {EzKind::Combo, "", "", +items, "", "wbbb-am", "WBBB-AM"},
        {EzKind::Combo, "", "", +items, "", "WCCC", ""},
        {EzKind::ComboEdit, "", "typed", +items, "typed", "WCCC", "WCCC"},
        {EzKind::ListBox, "", "", +items, "", "wbbb-am", "WBBB-AM"},
        // A list view's text is the first cell of the selected row; setting it does nothing.
        {EzKind::ListView, "", "Call{8}|City{8}",
         [](int id) {
             EZ_LVADDROW("CT", id, {"WAAA-FM", "Ames"}, 1);
             EZ_LVADDROW("CT", id, {"WBBB-AM", "Boone"}, 2);
             EZ_LVSELECT("CT", id, 1, true);
         },
         "WBBB-AM", "WAAA-FM", "WBBB-AM"},
        {EzKind::Check, "", "&Agree", nullptr, "&Agree", "Disagree", "Disagree"},
        {EzKind::Radio, "G", "One", nullptr, "One", "Two", "Two"},
        // A date picker shows its date; a text set to it is not a date and changes nothing.
        {EzKind::DateTime, "", "", [](int id) { EZ_DTSET("CT", id, 2024, 3, 5, 0, 0); },
         "03-05-2024", "12-31-2024", "03-05-2024"},
        {EzKind::UpDown, "", "3", nullptr, "3", "-7", "-7"},
        {EzKind::Progress, "", "", nullptr, "0", "40", "40"},
        {EzKind::RichText, "", "plain", nullptr, "plain", "other", "other"},
        {EzKind::Picture, "", "missing.png", nullptr, "missing.png", "other.png", "other.png"},
        {EzKind::Toolbar, "", "", nullptr, "", "tools", "tools"},
        {EzKind::StatusBar, "", "", nullptr, "", "Ready", "Ready"},
        {EzKind::Page, "", "", nullptr, "", "page", "page"},
    };
    std::vector<bool> covered(static_cast<size_t>(EzKind::Page) + 1, false);
    Events().clear();
    int id = 300;
    for (const Case& c : cases) {
        ++id;
        const std::string what = "kind " + std::to_string(static_cast<int>(c.kind)) + " style \"" +
                                 c.style + "\" made with \"" + c.made + "\"";
        covered[static_cast<size_t>(c.kind)] = true;
        EZ_CONTROL("CT", id, c.kind, c.made, 1, 19, 16, 1.5, c.style);
        EzKind kind = EzKind::Page;
        ASSERT_TRUE(EZ_CONTROLKIND("CT", id, kind)) << what;
        EXPECT_EQ(kind, c.kind) << what;
        if (c.fill) c.fill(id);
        EXPECT_EQ(EZ_GETTEXT("CT", id), c.shown) << what;
        EZ_SETTEXT("CT", id, c.set);
        EXPECT_EQ(EZ_GETTEXT("CT", id), c.read) << what;
    }
    for (size_t k = 0; k < covered.size(); ++k) EXPECT_TRUE(covered[k]) << "kind " << k;
    for (const std::string& e : Events())
        EXPECT_EQ(e.find(" Focus "), 3u) << e << ": making, filling and setting raise nothing";
    // Made again with the same id, a control replaces the one before.
    EZ_CONTROL("CT", 301, EzKind::Label, "again", 1, 19, 16, 1.5);
    EzKind kind = EzKind::Button;
    ASSERT_TRUE(EZ_CONTROLKIND("CT", 301, kind));
    EXPECT_EQ(kind, EzKind::Label);
    EXPECT_EQ(EZ_GETTEXT("CT", 301), "again");
}

TEST_F(ControlsTest, MenuBarCommandWithoutChildrenClicks) {
    r().Click("CT", kMenuTop);
    r().Run();
    EXPECT_TRUE(r().Ok()) << r().Errors();
    EXPECT_EQ(Count("9000 Click 0"), 1);
}

TEST_F(ControlsTest, RichTextRunsKeepTheirText) {
    EzTextRun a{"Version 1.8", true};
    EzTextRun b{"Fixed the list.", false, true, false, true};
    EZ_SETRICHTEXT("CT", kRich, {a, b});
    EXPECT_EQ(EZ_GETTEXT("CT", kRich), "Version 1.8\nFixed the list.");
}

TEST_F(ControlsTest, FormPlaceRoundTripsInCharacterUnits) {
    EZ_SETFORMMINMAX("CT", 20, 10, 999, 999);
    EZ_SETFORMPLACE("CT", 5, 4, 52, 21);
    double c, rw, w, h;
    EZ_GETFORMPLACE("CT", c, rw, w, h);
    EXPECT_NEAR(c, 5, 0.2);
    EXPECT_NEAR(rw, 4, 0.2);
    EXPECT_NEAR(w, 52, 0.2);
    EXPECT_NEAR(h, 21, 0.2);
    double sc, sr;
    EZ_SCREENSIZE(sc, sr);
    EXPECT_GT(sc, 50);
    EXPECT_GT(sr, 20);
}

TEST(ToolkitUnits, TextMeasureAndFonts) {
    EzTestInit();
    EXPECT_NEAR(EZ_PIXELSTOCOLS(EZ_COLSTOPIXELS(12.5)), 12.5, 0.1);
    EXPECT_GT(EZ_TEXTWIDTH(0, "WWWW"), EZ_TEXTWIDTH(0, "iiii"));
    EXPECT_NEAR(EZ_TEXTHEIGHT(0, "one line"), 1.0, 0.01) << "a row is the base font's line";
    EXPECT_NEAR(EZ_TEXTHEIGHT(0, "a\nb\nc"), 3.0, 0.01);
    EZ_DEFFONT(61, "Segoe UI", 11, "BV");
    EZ_DEFFONT(62, "Segoe UI", 9, "L+V");
    EXPECT_GT(EZ_TEXTWIDTH(61, "Welcome"), EZ_TEXTWIDTH(62, "Welcome"));
    const Robot::FontFacts info = Robot::FontOf(61);
    EXPECT_TRUE(info.bold);
    EXPECT_EQ(info.family, Robot::BaseFontFamily())
        << "a face the system lacks falls back to the base sans font";
    EZ_DEFFONT(63, "Wingdings", 16, "L+SV");
    EXPECT_NEAR(Robot::FontOf(63).points, 16, 0.01);
    EZ_DEFCOLOR(70, 300, -5, 128);  // out-of-range parts are clamped
    int r = 0, g = 0, b = 0;
    Robot::ColourOf(70, r, g, b);
    EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{255, 0, 128}));
    Robot::ColourOf(4, r, g, b);
    EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{255, 0, 0}));
}

TEST(ToolkitFilters, FileDialogFiltersReadAsQtFilters) {
    EXPECT_EQ(Robot::DialogFilter("PDF Files (*.pdf)|*.pdf"), "PDF Files (*.pdf)");
    EXPECT_EQ(Robot::DialogFilter("Zip Files|*.zip|All Files (*.*)|*.*"),
              "Zip Files (*.zip);;All Files (*)");
    EXPECT_EQ(Robot::DialogFilter("Text|*.txt;*.dic"), "Text (*.txt *.dic)");
    EXPECT_EQ(Robot::DialogFilter(""), "");
}

}  // namespace
