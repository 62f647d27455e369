// The station list, add/edit, copy-stations and copy-issues dialogs driven
// through the robot.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/options.h"
#include "app/base/settings.h"
#include "app/forms.h"
#include "app/startup.h"
#include "app/toolkit/robot.h"
#include "data/dates.h"
#include "data/query.h"
#include "editors/stations.h"
#include "support/form_fixture.h"
#include "support/prompt_queue.h"

namespace {

// Today is in the second quarter of 2011 throughout.
constexpr int32_t kToday = 20112, kEarlier = 20111;
const std::string kShots = "/tmp/";

class StationFormsTest : public FormTest {
protected:
    StationFormsTest()
        : FormTest({.clock = ClockReading{2011, 5, 16, 10, 0, 0},
                    .freshDatabase = true,
                    .tipsOn = true}) {}
    void SetUp() override {
        FormTest::SetUp();
        if (HasFatalFailure()) return;
        SeedQuarters({kEarlier, kToday});
    }

    static void AddIssue(int64_t station, const std::string& title, int rank) {
        SeedIssue(station, kToday, title, "Details of " + title, rank);
    }
    static std::string Stations(int32_t q) {
        return slSelStr("SELECT Calls,License,Rank FROM Stations WHERE QtrID = " +
                            std::to_string(q) + " ORDER BY Rank, StnID",
                        "Q124");
    }
    static std::vector<std::string> IssueRows(int64_t station) {
        std::vector<std::string> rows;
        ResultSet rs("SELECT IIssue,IRank FROM Issues WHERE SID = " + std::to_string(station) +
                     " ORDER BY IRank");
        while (rs.next()) rows.push_back(rs["IIssue"] + "/" + rs["IRank"]);
        return rows;
    }
    static void OpenSL(Robot& r) {
        r.OpenForm("SL", "", FormCaption("SL"), kStationListWidth, kStationListHeight);
    }
};

TEST_F(StationFormsTest, AddsStationsOneAfterAnotherAndRefusesDuplicates) {
    Robot r;
    PromptQueue prompts(r);
    OpenSL(r);
    r.Do([] {
        EXPECT_EQ("2011 - Apr-Jun", Robot::Text("SL", kSlQuarter));
        EXPECT_FALSE(Robot::Enabled("SL", kSlEdit));
    });
    r.Click("SL", kSlAdd);
    r.Do([] {
        EXPECT_EQ("Add Station", Robot::Text("ES", 0));
        EXPECT_FALSE(Robot::Enabled("ES", kEsOk));
    });
    r.Type("ES", kEsCalls, "  waaa-fm ");
    r.Do([] {
        EXPECT_EQ("  WAAA-FM ", Robot::Text("ES", kEsCalls));
        EXPECT_FALSE(Robot::Enabled("ES", kEsOk));  // the city is still empty
    });
    r.Type("ES", kEsCity, "   ");
    r.Do([] { EXPECT_FALSE(Robot::Enabled("ES", kEsOk)); });
    r.Type("ES", kEsCity, " Albany, NY");
    r.Do([] { EXPECT_TRUE(Robot::Enabled("ES", kEsOk)); });
    r.Screenshot("ES", kShots + "stations_es.png");
    r.Click("ES", kEsOk);
    r.Do([] {
        EXPECT_EQ("", Robot::Text("ES", kEsCalls));
        EXPECT_EQ("", Robot::Text("ES", kEsCity));
        EXPECT_FALSE(Robot::Enabled("ES", kEsOk));
        EXPECT_EQ("&Done", Robot::Text("ES", kEsCancel));
        EXPECT_EQ(kEsCalls, EZ_GETFOCUS("ES"));
        EXPECT_EQ(1, EZ_LVROWCOUNT("SL", kSlList));
    });
    r.Type("ES", kEsCalls, "wbbb-am");
    r.Type("ES", kEsCity, "O'Brien's Crossing, VT");
    r.Click("ES", kEsOk);
    // The same call letters in another letter case: refused, entries kept.
    r.Type("ES", kEsCalls, "Waaa-Fm");
    r.Type("ES", kEsCity, "Elsewhere");
    r.Click("ES", kEsOk);
    prompts.Expect("Duplicate Station Found", 1);
    r.Do([] {
        EXPECT_EQ("WAAA-FM", Robot::Text("ES", kEsCalls));
        EXPECT_EQ("Elsewhere", Robot::Text("ES", kEsCity));
        EXPECT_EQ(2, EZ_LVROWCOUNT("SL", kSlList));
    });
    r.Click("ES", kEsCancel);
    r.WaitGone("ES");
    r.Screenshot("SL", kShots + "stations_sl.png");
    r.Do([] {
        EXPECT_TRUE(Robot::ColumnsFillWidth("SL", kSlList));
        EXPECT_EQ("WAAA-FM", EZ_LVGETCELL("SL", kSlList, 0, 0));
        EXPECT_EQ("O'Brien's Crossing, VT", EZ_LVGETCELL("SL", kSlList, 1, 1));
    });
    r.Click("SL", kSlExit);
    r.WaitGone("SL");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    ASSERT_EQ(1u, r.MessageTexts().size());
    EXPECT_EQ("The station \"WAAA-FM\" already exists.", r.MessageTexts()[0]);
    EXPECT_EQ("WAAA-FM|Albany, NY|1\nWBBB-AM|O'Brien's Crossing, VT|2", Stations(kToday));
}

TEST_F(StationFormsTest, EditsTheSelectedStationInItsQuarter) {
    SeedStation("WAAA", "Albany", kToday, 0);
    SeedStation("WBBB", "Boston", kToday, 1);
    SeedStation("WOLD", "Oldtown", kEarlier, 0);
    Robot r;
    PromptQueue prompts(r);
    OpenSL(r);
    r.SelectRow("SL", kSlList, 1);
    r.Do([] { EXPECT_TRUE(Robot::Enabled("SL", kSlEdit)); });
    r.Click("SL", kSlEdit);
    r.Do([] {
        EXPECT_EQ("Edit Station", Robot::Text("ES", 0));
        EXPECT_EQ("WBBB", Robot::Text("ES", kEsCalls));
        EXPECT_EQ("Boston", Robot::Text("ES", kEsCity));
        EXPECT_FALSE(Robot::Enabled("ES", kEsOk));
    });
    // Another station's call letters are refused; the station's own are not.
    r.Type("ES", kEsCalls, "waaa");
    r.Click("ES", kEsOk);
    prompts.Expect("Duplicate Station Found", 1);
    r.Type("ES", kEsCalls, "wbbb");
    r.Type("ES", kEsCity, "Boston, MA ");
    r.Click("ES", kEsOk);
    r.WaitGone("ES");
    r.Do([] {
        EXPECT_EQ("Boston, MA", EZ_LVGETCELL("SL", kSlList, 1, 1));
        EXPECT_FALSE(Robot::Enabled("SL", kSlEdit));  // the refill clears the selection
    });
    // Another quarter: its own stations, and nothing selected from before, so a
    // double-click beside the rows edits nothing. Esc leaves the editor.
    r.SelectRow("SL", kSlList, 0);
    r.SelectItem("SL", kSlQuarter, "2011 - Jan-Mar");
    r.DblClick("SL", kSlList, -1);
    r.Do([] {
        EXPECT_FALSE(Robot::FormExists("ES"));
        EXPECT_FALSE(Robot::Enabled("SL", kSlEdit));
        EXPECT_EQ(1, EZ_LVROWCOUNT("SL", kSlList));
        EXPECT_EQ("WOLD", EZ_LVGETCELL("SL", kSlList, 0, 0));
    });
    r.DblClick("SL", kSlList, 0);
    r.Do([] { EXPECT_EQ("WOLD", Robot::Text("ES", kEsCalls)); });
    r.Type("ES", kEsCity, "Changed");
    r.Key("ES", kEsCity, kKeyEsc);
    r.WaitGone("ES");
    r.Key("SL", kSlList, kKeyF1);
    r.Close("SL");
    r.WaitGone("SL");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ("WAAA|Albany|0\nWBBB|Boston, MA|1", Stations(kToday));
    EXPECT_EQ("WOLD|Oldtown|0", Stations(kEarlier));
    EXPECT_EQ(std::vector<int>{200}, r.platform().helpTopics);
}

TEST_F(StationFormsTest, AddingAPreviousQuarterShowsTodaysStationsAgain) {
    SeedStation("WNOW", "Nowhere", kToday, 0);
    SeedStation("WOLD", "Oldtown", kEarlier, 0);
    Robot r;
    PromptQueue prompts(r);
    bool newQuarter = false;  // what the list tells its opener
    r.Do([&] { newQuarter = OpenStationList(""); });
    r.SelectItem("SL", kSlQuarter, "2011 - Jan-Mar");
    r.RightClick("SL", kSlQuarter);
    prompts.Expect("Add A Previous Quarter?", 1);
    r.Type("CQ", "Year", "2010");
    r.Click("CQ", "Create");
    r.WaitGone("CQ");
    r.Do([] {
        EXPECT_EQ(3, EZ_ITEMCOUNT("SL", kSlQuarter));
        EXPECT_EQ("2011 - Apr-Jun", Robot::Text("SL", kSlQuarter));
        // The list follows the selector, so an added station lands in the
        // quarter on screen.
        ASSERT_EQ(1, EZ_LVROWCOUNT("SL", kSlList));
        EXPECT_EQ("WNOW", EZ_LVGETCELL("SL", kSlList, 0, 0));
    });
    r.Click("SL", kSlAdd);
    r.Type("ES", kEsCalls, "wnew");
    r.Type("ES", kEsCity, "Newtown");
    r.Click("ES", kEsOk);
    r.Click("ES", kEsCancel);
    r.WaitGone("ES");
    r.Close("SL");
    r.WaitGone("SL");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_TRUE(newQuarter);
    EXPECT_EQ("WNOW|Nowhere|0\nWNEW|Newtown|1", Stations(kToday));
    // The list remembers where it was.
    EXPECT_NE("", IniRead(Paths().settingsFile, "SL", "FormWid", ""));
}

TEST_F(StationFormsTest, EnterMovesOnInTheEditor) {
    Robot r;
    OpenSL(r);
    r.Click("SL", kSlAdd);
    r.Type("ES", kEsCalls, "wxyz");
    r.Key("ES", kEsCalls, kKeyEnter);
    r.Do([] { EXPECT_EQ(kEsCity, EZ_GETFOCUS("ES")); });
    r.Type("ES", kEsCity, "Xenia, OH");
    r.Key("ES", kEsCity, kKeyEnter);
    r.Do([] {
        EXPECT_EQ(kEsOk, EZ_GETFOCUS("ES"));
        EXPECT_TRUE(Robot::FormExists("ES"));  // Enter does not save
    });
    r.Click("ES", kEsCancel);
    r.WaitGone("ES");
    r.Click("SL", kSlExit);
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ("", Stations(kToday));
}

TEST_F(StationFormsTest, CopiesChosenStationsIntoTheTargetQuarter) {
    SeedStation("KAAA", "Austin", kToday, 0);
    SeedStation("KAAA", "Austin", kEarlier, 0);
    SeedStation("KBBB", "Boise", kEarlier, 1);
    SeedStation("KCCC", "Canton", kEarlier, 2);
    Robot r;
    r.OpenForm("CS", "", FormCaption("CS"), kCopyStationsWidth, kCopyStationsHeight);
    r.Do([] {
        EXPECT_EQ("2011 - Apr-Jun", Robot::Text("CS", kCsQuarter));
        ASSERT_EQ(2, EZ_LVROWCOUNT("CS", kCsList));
        EXPECT_EQ("KBBB", EZ_LVGETCELL("CS", kCsList, 0, 0));
        EXPECT_FALSE(Robot::Enabled("CS", kCsCopy));
    });
    r.SelectRow("CS", kCsList, 0);
    r.SelectRow("CS", kCsList, 1, true);
    r.Do([] { EXPECT_TRUE(Robot::Enabled("CS", kCsCopy)); });
    r.Screenshot("CS", kShots + "stations_cs.png");
    r.Do([] { EXPECT_TRUE(Robot::ColumnsFillWidth("CS", kCsList)); });
    r.Click("CS", kCsCopy);
    r.Do([] {
        EXPECT_EQ(0, EZ_LVROWCOUNT("CS", kCsList));
        EXPECT_FALSE(Robot::Enabled("CS", kCsCopy));
    });
    // The earlier quarter already has every station of today's quarter.
    r.SelectItem("CS", kCsQuarter, "2011 - Jan-Mar");
    r.Do([] { EXPECT_EQ(0, EZ_LVROWCOUNT("CS", kCsList)); });
    r.Click("CS", kCsExit);
    r.WaitGone("CS");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_TRUE(r.MessageTitles().empty());
    EXPECT_EQ("KAAA|Austin|0\nKBBB|Boise|1\nKCCC|Canton|2", Stations(kToday));
}

TEST_F(StationFormsTest, CopiesCheckedIssuesToTheChosenStations) {
    const int64_t src = SeedStation("WAAA", "Albany", kToday, 0);
    const int64_t dst = SeedStation("WBBB", "Boston", kToday, 1);
    const int64_t other = SeedStation("WCCC", "Chicago", kToday, 2);
    AddIssue(src, "Affordable housing", 0);
    AddIssue(src, "Public safety", 1);
    AddIssue(src, "Kids' education", 2);
    AddIssue(dst, "Public safety", 0);
    AddIssue(dst, "Transit", 4);
    Robot r;
    PromptQueue prompts(r);
    OpenSL(r);  // a parent for the modal dialog and its message box
    r.Do([src] { OpenCopyIssues("SL", CopyIssuesSource{kToday, src, "WAAA"}); });
    r.WaitForm("CI");
    r.Do([] {
        EXPECT_EQ("WAAA", Robot::Text("CI", kCiSource));
        ASSERT_EQ(2, EZ_ITEMCOUNT("CI", kCiTargets));
        EXPECT_EQ("WBBB", EZ_ITEMTEXT("CI", kCiTargets, 0));
        ASSERT_EQ(3, EZ_LVROWCOUNT("CI", kCiIssues));
        EXPECT_EQ("Kids' education", EZ_LVGETCELL("CI", kCiIssues, 2, 1));
        EXPECT_FALSE(Robot::Enabled("CI", kCiCopy));
        EXPECT_FALSE(Robot::Visible("CI", kCiPopup));
        EXPECT_FALSE(Robot::Visible("CI", kCiSelectAll));
        // A check list without column titles has no (empty) header row, and
        // no buttons of a pop-up lie over its rows.
        EXPECT_FALSE(Robot::HeaderShown("CI", kCiIssues));
        EXPECT_FALSE(EZ_CONTROLEXISTS("CI", kCiSelectAll));
    });
    r.SelectItem("CI", kCiTargets, "WBBB");
    r.Do([] { EXPECT_FALSE(Robot::Enabled("CI", kCiCopy)); });  // no issue checked yet
    r.RightClick("CI", kCiIssues, 1);
    r.Do([] {
        // A real context menu; Esc closes it without a choice.
        EXPECT_TRUE(Robot::Visible("CI", kCiPopup));
        EXPECT_TRUE(Robot::Visible("CI", kCiSelectAll));
        EXPECT_TRUE(Robot::Visible("CI", kCiUnselectAll));
        EXPECT_TRUE(Robot::PopupScreenshot(kShots + "stations_ci_menu.png"));
    });
    r.Key("CI", kCiIssues, kKeyEsc);
    r.Do([] { EXPECT_FALSE(Robot::Enabled("CI", kCiCopy)); });
    r.RightClick("CI", kCiIssues, 1);
    r.Click("CI", kCiSelectAll);
    r.Do([] {
        EXPECT_FALSE(Robot::Visible("CI", kCiPopup));
        EXPECT_TRUE(Robot::Enabled("CI", kCiCopy));
    });
    r.Screenshot("CI", kShots + "stations_ci.png");
    r.RightClick("CI", kCiIssues, 0);
    r.Click("CI", kCiUnselectAll);
    r.Do([] { EXPECT_FALSE(Robot::Enabled("CI", kCiCopy)); });
    r.RightClick("CI", kCiIssues, 0);
    r.Click("CI", kCiSelectAll);
    r.Click("CI", kCiCopy);
    prompts.Expect("Copy Complete", 1);
    r.WaitGone("CI");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ((std::vector<std::string>{"Public safety/0", "Transit/4", "Affordable housing/5",
                                        "Kids' education/6"}),
              IssueRows(dst));
    EXPECT_TRUE(IssueRows(other).empty());
}

TEST_F(StationFormsTest, CopyIssuesCancelWritesNothing) {
    const int64_t src = SeedStation("WAAA", "Albany", kToday, 0);
    AddIssue(src, "Roads", 0);
    Robot r;
    OpenSL(r);  // a parent for the modal dialog and its message box
    r.Do([src] { OpenCopyIssues("SL", CopyIssuesSource{kToday, src, "WAAA"}); });
    r.WaitForm("CI");
    r.Do([] {
        EXPECT_EQ(0, EZ_ITEMCOUNT("CI", kCiTargets));  // the only station of the quarter
        EXPECT_FALSE(Robot::Enabled("CI", kCiCopy));
    });
    r.RightClick("CI", kCiIssues, 0);
    r.Click("CI", kCiSelectAll);
    r.Do([] { EXPECT_FALSE(Robot::Enabled("CI", kCiCopy)); });
    r.Click("CI", kCiCancel);
    r.WaitGone("CI");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ((std::vector<std::string>{"Roads/0"}), IssueRows(src));
}

}  // namespace
