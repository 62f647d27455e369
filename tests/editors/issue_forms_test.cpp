// The issues list (IL) and the issue selection dialog (SI) driven through the robot.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/options.h"
#include "app/base/text_util.h"
#include "app/forms.h"
#include "app/startup.h"
#include "app/toolkit/robot.h"
#include "data/dates.h"
#include "data/query.h"
#include "editors/issues.h"
#include "support/form_fixture.h"
#include "support/prompt_queue.h"

namespace {

// Today is in the second quarter of 2011 throughout.
constexpr int32_t kToday = 20112, kEarlier = 20111;

class IssueFormsTest : public FormTest {
protected:
    IssueFormsTest()
        : FormTest({.clock = ClockReading{2011, 5, 16, 10, 0, 0},
                    .freshDatabase = true,
                    .tipsOn = true}) {}
    void SetUp() override {
        FormTest::SetUp();
        if (HasFatalFailure()) return;
        Shell().currentQuarter = kToday;
        SeedQuarters({kEarlier, kToday});
        first = AddStation("WAAA-FM", kToday, 0);
        second = AddStation("WBBB-AM", kToday, 1);
        earlier = AddStation("WAAA-FM", kEarlier, 0);
    }

    static std::string AddStation(const std::string& calls, int32_t q, int rank) {
        return std::to_string(SeedStation(calls, "Town, ST", q, rank));
    }
    static std::string AddIssue(const std::string& station, const std::string& title, int rank,
                                int32_t q = kToday) {
        return std::to_string(SeedIssue(Val(station), q, title, "About " + title, rank));
    }
    static std::vector<std::string> Stored(const std::string& station) {
        std::vector<std::string> rows;
        ResultSet rs("SELECT IIssue,IRank FROM Issues WHERE SID = " + station + " ORDER BY IRank");
        while (rs.next()) rows.push_back(rs["IIssue"] + "/" + rs["IRank"]);
        return rows;
    }
    static void OpenIL(Robot& r) {
        r.OpenForm("IL", "", FormCaption("IL"), kIssuesListWidth, kIssuesListHeight);
    }
    static void Enter(Robot& r, const std::string& title) {
        r.Type("IL", kIlEntry, title);
        r.Key("IL", kIlEntry, kKeyEnter);
    }

    std::string first, second, earlier;
};

TEST_F(IssueFormsTest, LongTitlesCanBeScrolledTo) {
    AddIssue(first, "Crime", 0);
    AddIssue(second,
             "Affordable Housing, Rising Rents and Homelessness in the Greater Springfield "
             "Metropolitan Area and Its Suburbs",
             1);
    Robot r;
    OpenIL(r);
    r.Do([] { EXPECT_TRUE(Robot::WideContentScrolls("IL", kIlList)); });
    // A long title typed in, and the list refilled for another station.
    Enter(r, "Community Conversations: A Special Report on Renters, Landlords and Zoning Boards");
    r.Do([] {
        ASSERT_EQ(2, EZ_ITEMCOUNT("IL", kIlList));
        EXPECT_TRUE(Robot::WideContentScrolls("IL", kIlList));
    });
    r.Screenshot("IL", "/tmp/issues_list_typed.png");
    r.Click("IL", kIlSave);
    r.SelectItem("IL", kIlStation, "WBBB-AM");
    r.Do([] {
        ASSERT_EQ(1, EZ_ITEMCOUNT("IL", kIlList));
        EXPECT_TRUE(Robot::WideContentScrolls("IL", kIlList));
    });
    r.Screenshot("IL", "/tmp/issues_list_long.png");
    r.Click("IL", kIlExit);
    r.WaitGone("IL");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
}

TEST_F(IssueFormsTest, AddsReordersDescribesAndSavesIssues) {
    Robot r;
    PromptQueue prompts(r);
    // Opened at another size (as the main window does), it keeps its own.
    r.OpenForm("IL", "", FormCaption("IL"), 100, 32);
    r.Do([] {
        double col = 0, row = 0, w = 0, h = 0;
        EZ_GETFORMPLACE("IL", col, row, w, h);
        EXPECT_NEAR(kIssuesListWidth, w, 0.5);
        EXPECT_NEAR(kIssuesListHeight, h, 0.5);
        EXPECT_EQ("Issues List", Robot::Text("IL", 0));
        EXPECT_EQ("2011 - Apr-Jun", Robot::Text("IL", kIlQuarter));
        EXPECT_EQ("WAAA-FM", Robot::Text("IL", kIlStation));  // no caller: the first station
        EXPECT_EQ(0, EZ_ITEMCOUNT("IL", kIlList));
        EXPECT_FALSE(Robot::Enabled("IL", kIlSave));
        EXPECT_FALSE(Robot::Enabled("IL", kIlCopy));  // a station without issues
    });
    Enter(r, "Crime");
    Enter(r, "Education");
    Enter(r, "Traffic");
    r.Do([] {
        EXPECT_EQ((std::vector<std::string>{"Crime", "Education", "Traffic"}),
                  ItemTexts("IL", kIlList));
        EXPECT_EQ("", Robot::Text("IL", kIlEntry));
        EXPECT_TRUE(Robot::Enabled("IL", kIlSave));
        EXPECT_TRUE(Robot::Enabled("IL", kIlCopy));
        EXPECT_FALSE(Robot::Enabled("IL", kIlQuarter));
        EXPECT_FALSE(Robot::Enabled("IL", kIlStation));
    });
    Enter(r, "CRIME");
    prompts.Expect("Duplicate Entry", 1);
    r.Do([] {
        EXPECT_EQ("CRIME", Robot::Text("IL", kIlEntry));  // kept for correction
        EXPECT_EQ(3, EZ_ITEMCOUNT("IL", kIlList));
    });
    r.Drag("IL", kIlList, 2, 0);
    r.SelectItem("IL", kIlList, "Crime");
    r.Do([] { EXPECT_TRUE(Robot::Enabled("IL", kIlDescription)); });
    r.Type("IL", kIlDescription, "  Break-ins downtown \n");
    r.Click("IL", kIlSave);
    r.Do([this] {
        EXPECT_EQ((std::vector<std::string>{"Traffic/0", "Crime/1", "Education/2"}), Stored(first));
        EXPECT_EQ("Break-ins downtown", SelectText("Issues", "IDescription", "IIssue = 'Crime'"));
        EXPECT_FALSE(Robot::Enabled("IL", kIlSave));
        EXPECT_TRUE(Robot::Enabled("IL", kIlQuarter));
        EXPECT_TRUE(Robot::Enabled("IL", kIlStation));
    });
    r.Type("IL", kIlEntry, "");
    r.SelectItem("IL", kIlList, "Crime");
    r.Screenshot("IL", "/tmp/issues_list_form.png");
    r.Click("IL", kIlExit);  // nothing pending: no question
    r.WaitGone("IL");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
}

TEST_F(IssueFormsTest, EditInPlaceLocksTheFormAndEscCancels) {
    AddIssue(first, "Housing", 0);
    AddIssue(first, "Jobs", 1);
    Robot r;
    PromptQueue prompts(r);
    OpenIL(r);
    r.DblClick("IL", kIlList, 1);
    r.Do([] {
        EXPECT_EQ("Jobs", Robot::Text("IL", kIlEntry));
        for (int id : {kIlList, kIlDescription, kIlQuarter, kIlStation, kIlCopy, kIlSave})
            EXPECT_FALSE(Robot::Enabled("IL", id)) << id;
    });
    r.Key("IL", kIlEntry, kKeyEsc);
    r.Do([] {
        EXPECT_EQ("", Robot::Text("IL", kIlEntry));
        EXPECT_TRUE(Robot::Enabled("IL", kIlList));
        EXPECT_TRUE(Robot::Enabled("IL", kIlQuarter));  // nothing pending
        EXPECT_FALSE(Robot::Enabled("IL", kIlSave));
    });
    // Enter applies an edit in place to the edited title.
    r.DblClick("IL", kIlList, 0);
    Enter(r, "Affordable Housing");
    r.Do([] {
        EXPECT_EQ((std::vector<std::string>{"Affordable Housing", "Jobs"}),
                  ItemTexts("IL", kIlList));
        EXPECT_TRUE(Robot::Enabled("IL", kIlSave));
        EXPECT_FALSE(Robot::Enabled("IL", kIlStation));
    });
    // A second edit and Esc keep the selectors locked while changes are pending.
    r.DblClick("IL", kIlList, 1);
    r.Key("IL", kIlEntry, kKeyEsc);
    r.Do([] {
        EXPECT_TRUE(Robot::Enabled("IL", kIlSave));
        EXPECT_FALSE(Robot::Enabled("IL", kIlQuarter));
        EXPECT_FALSE(Robot::Enabled("IL", kIlStation));
    });
    // Closing asks; Cancel keeps the form, Yes saves and closes.
    r.Close("IL");
    prompts.Expect("Changes Not Saved", 3);
    r.Do([] { EXPECT_TRUE(Robot::FormExists("IL")); });
    r.Close("IL");
    prompts.Expect("Changes Not Saved", 1);
    r.WaitGone("IL");
    r.Do([this] {
        EXPECT_EQ((std::vector<std::string>{"Affordable Housing/0", "Jobs/1"}), Stored(first));
    });
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
}

TEST_F(IssueFormsTest, DeleteRefusesUsedIssuesAndAsksForStoredOnes) {
    const std::string used = AddIssue(first, "Used", 0);
    AddIssue(first, "Unused", 1);
    SeedEntry(Val(first), kToday, used);
    Robot r;
    PromptQueue prompts(r);
    OpenIL(r);
    Enter(r, "Fresh");
    r.SelectIndex("IL", kIlList, 2);
    r.Key("IL", kIlList, kKeyDelete);  // unsaved: no question
    r.SelectIndex("IL", kIlList, 0);
    r.Key("IL", kIlList, kKeyDelete);
    prompts.Expect("Unable to Delete", 1);
    r.SelectIndex("IL", kIlList, 1);
    r.Key("IL", kIlList, kKeyDelete);
    prompts.Expect("Delete This Issue", 2);  // No
    r.Key("IL", kIlList, kKeyDelete);
    prompts.Expect("Delete This Issue", 1);  // Yes
    r.Do([this] {
        EXPECT_EQ((std::vector<std::string>{"Used"}), ItemTexts("IL", kIlList));
        EXPECT_EQ(2u, Stored(first).size());  // nothing written before Save
    });
    r.Click("IL", kIlSave);
    r.Do([this] { EXPECT_EQ((std::vector<std::string>{"Used/0"}), Stored(first)); });
    r.Click("IL", kIlExit);
    r.WaitGone("IL");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
}

TEST_F(IssueFormsTest, ChangingQuarterAndStationShowsTheirIssues) {
    AddIssue(first, "Now A", 0);
    AddIssue(second, "Second B", 0);
    AddIssue(earlier, "Then C", 0, kEarlier);
    Robot r;
    OpenIL(r);
    r.SelectItem("IL", kIlStation, "WBBB-AM");
    r.Do([] { EXPECT_EQ((std::vector<std::string>{"Second B"}), ItemTexts("IL", kIlList)); });
    // WAAA-FM is the only station of the earlier quarter: the position falls back to it.
    r.SelectItem("IL", kIlQuarter, "2011 - Jan-Mar");
    r.Do([] {
        EXPECT_EQ("WAAA-FM", Robot::Text("IL", kIlStation));
        EXPECT_EQ((std::vector<std::string>{"Then C"}), ItemTexts("IL", kIlList));
    });
    // Added issues go to the quarter shown.
    Enter(r, "Then D");
    r.Click("IL", kIlSave);
    r.Do([this] {
        EXPECT_EQ((std::vector<std::string>{"Then C/0", "Then D/1"}), Stored(earlier));
        EXPECT_EQ((std::vector<std::string>{"Now A/0"}), Stored(first));
    });
    r.Click("IL", kIlExit);
    r.WaitGone("IL");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
}

TEST_F(IssueFormsTest, SelectionDialogPreselectsAndReturnsTheChoice) {
    AddIssue(first, "Alpha", 0);
    AddIssue(first, "Beta", 1);
    AddIssue(first, "Gamma", 2);
    AddIssue(second, "Elsewhere", 0);
    std::optional<std::vector<IssueChoice>> chosen;
    bool returned = false;

    Robot r;
    r.Do([&] {
        chosen = ChooseIssues("", kToday, Val(first), {"Gamma", "Alpha"});
        returned = true;
    });
    r.WaitForm("SI");
    r.Do([&] {
        EXPECT_EQ((std::vector<std::string>{"Alpha", "Beta", "Gamma"}), ItemTexts("SI", kSiList));
        EXPECT_TRUE(EZ_ITEMSELECTED("SI", kSiList, 0));
        EXPECT_FALSE(EZ_ITEMSELECTED("SI", kSiList, 1));
        EXPECT_TRUE(EZ_ITEMSELECTED("SI", kSiList, 2));
        EXPECT_FALSE(Robot::Enabled("SI", kSiOk));
        EXPECT_FALSE(returned);
    });
    r.Screenshot("SI", "/tmp/issue_select_form.png");
    r.SelectIndex("SI", kSiList, 1);
    r.Do([] { EXPECT_TRUE(Robot::Enabled("SI", kSiOk)); });
    r.Click("SI", kSiOk);
    r.WaitGone("SI");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    ASSERT_TRUE(chosen.has_value());
    ASSERT_EQ(1u, chosen->size());
    EXPECT_EQ("Beta", (*chosen)[0].title);
    EXPECT_EQ("Beta", SelectText("Issues", "IIssue", "IID = " + std::to_string((*chosen)[0].id)));

    // Cancel returns no choice, whatever was selected.
    Robot again;
    again.Do([&] { chosen = ChooseIssues("", kToday, Val(first), {"Gamma", "Alpha"}); });
    again.WaitForm("SI");
    again.SelectIndex("SI", kSiList, 0);
    again.Click("SI", kSiCancel);
    again.WaitGone("SI");
    again.Run();
    EXPECT_TRUE(again.Ok()) << again.Errors();
    EXPECT_FALSE(chosen.has_value());
}

}  // namespace
