// The issues list (IL) and the issue selection dialog (SI) driven through the robot.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/forms.h"
#include "app/options.h"
#include "app/startup.h"
#include "app/toolkit/robot.h"
#include "data/dates.h"
#include "data/query.h"
#include "editors/issues.h"
#include "support/test_env.h"

namespace {

// Today is in the second quarter of 2011 throughout.
constexpr int32_t kToday = 20112, kEarlier = 20111;

enum : int {
    kQuarter = 100,
    kStation = 105,
    kEntry = 110,
    kList = 115,
    kDescription = 120,
    kSave = 125,
    kExit = 130,
    kCopy = 135,
};

class IssueFormsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        EzTestInit();
        DefineFontsAndColours();
    }
    void SetUp() override {
        SetClockOverride(ClockReading{2011, 5, 16, 10, 0, 0});
        ASSERT_TRUE(folder.OpenFreshDatabase());
        Opts().tipsOn = true;
        Shell().currentQuarter = kToday;
        for (int32_t q : {kEarlier, kToday})
            slExe("INSERT INTO Quarter (StartDate,EndDate,QNumber) VALUES (0,0," +
                  std::to_string(q) + ")");
        first = AddStation("WAAA-FM", kToday, 0);
        second = AddStation("WBBB-AM", kToday, 1);
        earlier = AddStation("WAAA-FM", kEarlier, 0);
    }
    void TearDown() override { SetClockOverride(std::nullopt); }

    static std::string AddStation(const std::string& calls, int32_t q, int rank) {
        slExe("INSERT INTO Stations (Calls,License,QtrID,Rank) VALUES (" + SqlQuoted(calls) +
              ",'Town, ST'," + std::to_string(q) + "," + std::to_string(rank) + ")");
        return std::to_string(slGetInsertID());
    }
    static std::string AddIssue(const std::string& station, const std::string& title, int rank,
                                int32_t q = kToday) {
        slExe("INSERT INTO Issues (IQtr,SID,IIssue,IDescription,IRank) VALUES (" +
              std::to_string(q) + "," + station + "," + SqlQuoted(title) + ",'About " +
              SqlEscape(title) + "'," + std::to_string(rank) + ")");
        return std::to_string(slGetInsertID());
    }
    static std::vector<std::string> Stored(const std::string& station) {
        std::vector<std::string> rows;
        ResultSet rs("SELECT IIssue,IRank FROM Issues WHERE SID = " + station + " ORDER BY IRank");
        while (rs.next()) rows.push_back(rs["IIssue"] + "/" + rs["IRank"]);
        return rows;
    }
    static std::vector<std::string> Listed(const std::string& form, int id) {
        std::vector<std::string> items;
        for (int i = 0; i < EZ_ITEMCOUNT(form, id); ++i) items.push_back(EZ_ITEMTEXT(form, id, i));
        return items;
    }
    static void OpenIL(Robot& r) {
        r.OpenForm("IL", "", FormCaption("IL"), kIssuesListWidth, kIssuesListHeight);
    }
    static void Enter(Robot& r, const std::string& title) {
        r.Type("IL", kEntry, title);
        r.Key("IL", kEntry, kKeyEnter);
    }

    TempProgramFolder folder;
    std::string first, second, earlier;
};

TEST_F(IssueFormsTest, AddsReordersDescribesAndSavesIssues) {
    Robot r;
    // Opened at another size (as the main window does), it keeps its own.
    r.OpenForm("IL", "", FormCaption("IL"), 100, 32);
    r.Do([] {
        double col = 0, row = 0, w = 0, h = 0;
        EZ_GETFORMPLACE("IL", col, row, w, h);
        EXPECT_NEAR(kIssuesListWidth, w, 0.5);
        EXPECT_NEAR(kIssuesListHeight, h, 0.5);
        EXPECT_EQ("Issues List", Robot::Text("IL", 0));
        EXPECT_EQ("2011 - Apr-Jun", Robot::Text("IL", kQuarter));
        EXPECT_EQ("WAAA-FM", Robot::Text("IL", kStation));  // no caller: the first station
        EXPECT_EQ(0, EZ_ITEMCOUNT("IL", kList));
        EXPECT_FALSE(Robot::Enabled("IL", kSave));
        EXPECT_FALSE(Robot::Enabled("IL", kCopy));  // a station without issues
    });
    Enter(r, "Crime");
    Enter(r, "Education");
    Enter(r, "Traffic");
    r.Do([] {
        EXPECT_EQ((std::vector<std::string>{"Crime", "Education", "Traffic"}), Listed("IL", kList));
        EXPECT_EQ("", Robot::Text("IL", kEntry));
        EXPECT_TRUE(Robot::Enabled("IL", kSave));
        EXPECT_TRUE(Robot::Enabled("IL", kCopy));
        EXPECT_FALSE(Robot::Enabled("IL", kQuarter));
        EXPECT_FALSE(Robot::Enabled("IL", kStation));
    });
    Enter(r, "CRIME");
    r.ExpectMsg("Duplicate Entry", 1);
    r.Do([] {
        EXPECT_EQ("CRIME", Robot::Text("IL", kEntry));  // kept for correction
        EXPECT_EQ(3, EZ_ITEMCOUNT("IL", kList));
    });
    r.Drag("IL", kList, 2, 0);
    r.SelectItem("IL", kList, "Crime");
    r.Do([] { EXPECT_TRUE(Robot::Enabled("IL", kDescription)); });
    r.Type("IL", kDescription, "  Break-ins downtown \n");
    r.Click("IL", kSave);
    r.Do([this] {
        EXPECT_EQ((std::vector<std::string>{"Traffic/0", "Crime/1", "Education/2"}), Stored(first));
        EXPECT_EQ("Break-ins downtown", SelectText("Issues", "IDescription", "IIssue = 'Crime'"));
        EXPECT_FALSE(Robot::Enabled("IL", kSave));
        EXPECT_TRUE(Robot::Enabled("IL", kQuarter));
        EXPECT_TRUE(Robot::Enabled("IL", kStation));
    });
    r.Type("IL", kEntry, "");
    r.SelectItem("IL", kList, "Crime");
    r.Screenshot("IL", "/tmp/issues_list_form.png");
    r.Click("IL", kExit);  // nothing pending: no question
    r.WaitGone("IL");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
}

TEST_F(IssueFormsTest, EditInPlaceLocksTheFormAndEscCancels) {
    AddIssue(first, "Housing", 0);
    AddIssue(first, "Jobs", 1);
    Robot r;
    OpenIL(r);
    r.DblClick("IL", kList, 1);
    r.Do([] {
        EXPECT_EQ("Jobs", Robot::Text("IL", kEntry));
        for (int id : {kList, kDescription, kQuarter, kStation, kCopy, kSave})
            EXPECT_FALSE(Robot::Enabled("IL", id)) << id;
    });
    r.Key("IL", kEntry, kKeyEsc);
    r.Do([] {
        EXPECT_EQ("", Robot::Text("IL", kEntry));
        EXPECT_TRUE(Robot::Enabled("IL", kList));
        EXPECT_TRUE(Robot::Enabled("IL", kQuarter));  // nothing pending
        EXPECT_FALSE(Robot::Enabled("IL", kSave));
    });
    // Enter applies an edit in place to the edited title.
    r.DblClick("IL", kList, 0);
    Enter(r, "Affordable Housing");
    r.Do([] {
        EXPECT_EQ((std::vector<std::string>{"Affordable Housing", "Jobs"}), Listed("IL", kList));
        EXPECT_TRUE(Robot::Enabled("IL", kSave));
        EXPECT_FALSE(Robot::Enabled("IL", kStation));
    });
    // A second edit and Esc keep the selectors locked while changes are pending.
    r.DblClick("IL", kList, 1);
    r.Key("IL", kEntry, kKeyEsc);
    r.Do([] {
        EXPECT_TRUE(Robot::Enabled("IL", kSave));
        EXPECT_FALSE(Robot::Enabled("IL", kQuarter));
        EXPECT_FALSE(Robot::Enabled("IL", kStation));
    });
    // Closing asks; Cancel keeps the form, Yes saves and closes.
    r.Close("IL");
    r.ExpectMsg("Changes Not Saved", 3);
    r.Do([] { EXPECT_TRUE(Robot::FormExists("IL")); });
    r.Close("IL");
    r.ExpectMsg("Changes Not Saved", 1);
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
    slExe("INSERT INTO Master (Qtr,Issue,Pgm,Station) VALUES (" + std::to_string(kToday) + ",'" +
          used + "',1," + first + ")");
    Robot r;
    OpenIL(r);
    Enter(r, "Fresh");
    r.SelectIndex("IL", kList, 2);
    r.Key("IL", kList, kKeyDelete);  // unsaved: no question
    r.SelectIndex("IL", kList, 0);
    r.Key("IL", kList, kKeyDelete);
    r.ExpectMsg("Unable to Delete", 1);
    r.SelectIndex("IL", kList, 1);
    r.Key("IL", kList, kKeyDelete);
    r.ExpectMsg("Delete This Issue", 2);  // No
    r.Key("IL", kList, kKeyDelete);
    r.ExpectMsg("Delete This Issue", 1);  // Yes
    r.Do([this] {
        EXPECT_EQ((std::vector<std::string>{"Used"}), Listed("IL", kList));
        EXPECT_EQ(2u, Stored(first).size());  // nothing written before Save
    });
    r.Click("IL", kSave);
    r.Do([this] { EXPECT_EQ((std::vector<std::string>{"Used/0"}), Stored(first)); });
    r.Click("IL", kExit);
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
    r.SelectItem("IL", kStation, "WBBB-AM");
    r.Do([] { EXPECT_EQ((std::vector<std::string>{"Second B"}), Listed("IL", kList)); });
    // WAAA-FM is the only station of the earlier quarter: the position falls back to it.
    r.SelectItem("IL", kQuarter, "2011 - Jan-Mar");
    r.Do([] {
        EXPECT_EQ("WAAA-FM", Robot::Text("IL", kStation));
        EXPECT_EQ((std::vector<std::string>{"Then C"}), Listed("IL", kList));
    });
    // Added issues go to the quarter shown.
    Enter(r, "Then D");
    r.Click("IL", kSave);
    r.Do([this] {
        EXPECT_EQ((std::vector<std::string>{"Then C/0", "Then D/1"}), Stored(earlier));
        EXPECT_EQ((std::vector<std::string>{"Now A/0"}), Stored(first));
    });
    r.Click("IL", kExit);
    r.WaitGone("IL");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
}

TEST_F(IssueFormsTest, SelectionDialogPreselectsAndReturnsTheChoice) {
    AddIssue(first, "Alpha", 0);
    AddIssue(first, "Beta", 1);
    AddIssue(first, "Gamma", 2);
    AddIssue(second, "Elsewhere", 0);
    IssueSelection& sel = IssueSelectionRecord();
    sel = IssueSelection{};
    sel.quarter = kToday;
    sel.stationId = first;
    sel.preselected = {"Gamma", "Alpha"};
    sel.editorForm = "";
    sel.made = true;  // cleared on opening

    Robot r;
    r.OpenForm("SI", "", FormCaption("SI"), kIssueSelectWidth, kIssueSelectHeight);
    r.Do([] {
        EXPECT_EQ((std::vector<std::string>{"Alpha", "Beta", "Gamma"}), Listed("SI", 100));
        EXPECT_TRUE(EZ_ITEMSELECTED("SI", 100, 0));
        EXPECT_FALSE(EZ_ITEMSELECTED("SI", 100, 1));
        EXPECT_TRUE(EZ_ITEMSELECTED("SI", 100, 2));
        EXPECT_FALSE(Robot::Enabled("SI", 105));
        EXPECT_FALSE(IssueSelectionRecord().made);
    });
    r.Screenshot("SI", "/tmp/issue_select_form.png");
    r.SelectIndex("SI", 100, 1);
    r.Do([] { EXPECT_TRUE(Robot::Enabled("SI", 105)); });
    r.Click("SI", 105);
    r.WaitGone("SI");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_TRUE(sel.made);
    EXPECT_EQ((std::vector<std::string>{"Beta"}), sel.chosen);
    ASSERT_EQ(1u, sel.chosenIds.size());
    EXPECT_EQ("Beta", SelectText("Issues", "IIssue", "IID = " + sel.chosenIds[0]));

    // Cancel leaves the flag cleared and the previous choice alone.
    Robot again;
    again.OpenForm("SI", "", FormCaption("SI"), kIssueSelectWidth, kIssueSelectHeight);
    again.SelectIndex("SI", 100, 0);
    again.Click("SI", 110);
    again.WaitGone("SI");
    again.Run();
    EXPECT_TRUE(again.Ok()) << again.Errors();
    EXPECT_FALSE(sel.made);
    EXPECT_EQ((std::vector<std::string>{"Beta"}), sel.chosen);
}

}  // namespace
