// The station list, add/edit, copy-stations and copy-issues dialogs driven
// through the robot.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/forms.h"
#include "app/options.h"
#include "app/settings.h"
#include "app/startup.h"
#include "app/toolkit/robot.h"
#include "data/dates.h"
#include "data/query.h"
#include "editors/stations.h"
#include "support/test_env.h"

namespace {

// Today is in the second quarter of 2011 throughout.
constexpr int32_t kToday = 20112, kEarlier = 20111;
const std::string kShots = "/tmp/";

class StationFormsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        EzTestInit();
        DefineFontsAndColours();
    }
    void SetUp() override {
        SetClockOverride(ClockReading{2011, 5, 16, 10, 0, 0});
        ASSERT_TRUE(folder.OpenFreshDatabase());
        Opts().tipsOn = true;
        for (int32_t q : {kEarlier, kToday})
            slExe("INSERT INTO Quarter (StartDate,EndDate,QNumber) VALUES (0,0," +
                  std::to_string(q) + ")");
    }
    void TearDown() override { SetClockOverride(std::nullopt); }

    static int64_t AddStation(const std::string& calls, const std::string& city, int32_t q,
                              int rank) {
        slExe("INSERT INTO Stations (Calls,License,QtrID,Rank) VALUES (" + SqlQuoted(calls) + "," +
              SqlQuoted(city) + "," + std::to_string(q) + "," + std::to_string(rank) + ")");
        return slGetInsertID();
    }
    static void AddIssue(int64_t station, const std::string& title, int rank) {
        slExe("INSERT INTO Issues (IQtr,SID,IIssue,IDescription,IRank) VALUES (" +
              std::to_string(kToday) + "," + std::to_string(station) + "," + SqlQuoted(title) +
              ",'Details of " + SqlEscape(title) + "'," + std::to_string(rank) + ")");
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

    TempProgramFolder folder;
};

TEST_F(StationFormsTest, AddsStationsOneAfterAnotherAndRefusesDuplicates) {
    Robot r;
    OpenSL(r);
    r.Do([] {
        EXPECT_EQ("2011 - Apr-Jun", Robot::Text("SL", 100));
        EXPECT_FALSE(Robot::Enabled("SL", 115));
    });
    r.Click("SL", 110);
    r.Do([] {
        EXPECT_EQ("Add Station", Robot::Text("ES", 0));
        EXPECT_FALSE(Robot::Enabled("ES", 120));
    });
    r.Type("ES", 110, "  waaa-fm ");
    r.Do([] {
        EXPECT_EQ("  WAAA-FM ", Robot::Text("ES", 110));
        EXPECT_FALSE(Robot::Enabled("ES", 120));  // the city is still empty
    });
    r.Type("ES", 115, "   ");
    r.Do([] { EXPECT_FALSE(Robot::Enabled("ES", 120)); });
    r.Type("ES", 115, " Albany, NY");
    r.Do([] { EXPECT_TRUE(Robot::Enabled("ES", 120)); });
    r.Screenshot("ES", kShots + "stations_es.png");
    r.Click("ES", 120);
    r.Do([] {
        EXPECT_EQ("", Robot::Text("ES", 110));
        EXPECT_EQ("", Robot::Text("ES", 115));
        EXPECT_FALSE(Robot::Enabled("ES", 120));
        EXPECT_EQ("&Done", Robot::Text("ES", 125));
        EXPECT_EQ(110, EZ_GETFOCUS("ES"));
        EXPECT_EQ(1, EZ_LVROWCOUNT("SL", 105));
    });
    r.Type("ES", 110, "wbbb-am");
    r.Type("ES", 115, "O'Brien's Crossing, VT");
    r.Click("ES", 120);
    // The same call letters in another letter case: refused, entries kept.
    r.Type("ES", 110, "Waaa-Fm");
    r.Type("ES", 115, "Elsewhere");
    r.Click("ES", 120);
    r.ExpectMsg("Duplicate Station Found", 1);
    r.Do([] {
        EXPECT_EQ("WAAA-FM", Robot::Text("ES", 110));
        EXPECT_EQ("Elsewhere", Robot::Text("ES", 115));
        EXPECT_EQ(2, EZ_LVROWCOUNT("SL", 105));
    });
    r.Click("ES", 125);
    r.WaitGone("ES");
    r.Screenshot("SL", kShots + "stations_sl.png");
    r.Do([] {
        EXPECT_EQ("WAAA-FM", EZ_LVGETCELL("SL", 105, 0, 0));
        EXPECT_EQ("O'Brien's Crossing, VT", EZ_LVGETCELL("SL", 105, 1, 1));
    });
    r.Click("SL", 120);
    r.WaitGone("SL");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    ASSERT_EQ(1u, r.MessageTexts().size());
    EXPECT_EQ("The station \"WAAA-FM\" already exists.", r.MessageTexts()[0]);
    EXPECT_EQ("WAAA-FM|Albany, NY|1\nWBBB-AM|O'Brien's Crossing, VT|2", Stations(kToday));
}

TEST_F(StationFormsTest, EditsTheSelectedStationInItsQuarter) {
    AddStation("WAAA", "Albany", kToday, 0);
    AddStation("WBBB", "Boston", kToday, 1);
    AddStation("WOLD", "Oldtown", kEarlier, 0);
    Robot r;
    OpenSL(r);
    r.SelectRow("SL", 105, 1);
    r.Do([] { EXPECT_TRUE(Robot::Enabled("SL", 115)); });
    r.Click("SL", 115);
    r.Do([] {
        EXPECT_EQ("Edit Station", Robot::Text("ES", 0));
        EXPECT_EQ("WBBB", Robot::Text("ES", 110));
        EXPECT_EQ("Boston", Robot::Text("ES", 115));
        EXPECT_FALSE(Robot::Enabled("ES", 120));
    });
    // Another station's call letters are refused; the station's own are not.
    r.Type("ES", 110, "waaa");
    r.Click("ES", 120);
    r.ExpectMsg("Duplicate Station Found", 1);
    r.Type("ES", 110, "wbbb");
    r.Type("ES", 115, "Boston, MA ");
    r.Click("ES", 120);
    r.WaitGone("ES");
    r.Do([] {
        EXPECT_EQ("Boston, MA", EZ_LVGETCELL("SL", 105, 1, 1));
        EXPECT_FALSE(Robot::Enabled("SL", 115));  // the refill clears the selection
    });
    // Another quarter: its own stations, and nothing selected from before, so a
    // double-click beside the rows edits nothing. Esc leaves the editor.
    r.SelectRow("SL", 105, 0);
    r.SelectItem("SL", 100, "2011 - Jan-Mar");
    r.DblClick("SL", 105, -1);
    r.Do([] {
        EXPECT_FALSE(Robot::FormExists("ES"));
        EXPECT_FALSE(Robot::Enabled("SL", 115));
        EXPECT_EQ(1, EZ_LVROWCOUNT("SL", 105));
        EXPECT_EQ("WOLD", EZ_LVGETCELL("SL", 105, 0, 0));
    });
    r.DblClick("SL", 105, 0);
    r.Do([] { EXPECT_EQ("WOLD", Robot::Text("ES", 110)); });
    r.Type("ES", 115, "Changed");
    r.Key("ES", 115, kKeyEsc);
    r.WaitGone("ES");
    r.Key("SL", 105, kKeyF1);
    r.Close("SL");
    r.WaitGone("SL");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ("WAAA|Albany|0\nWBBB|Boston, MA|1", Stations(kToday));
    EXPECT_EQ("WOLD|Oldtown|0", Stations(kEarlier));
    EXPECT_EQ(std::vector<int>{200}, r.platform().helpTopics);
}

TEST_F(StationFormsTest, AddingAPreviousQuarterShowsTodaysStationsAgain) {
    AddStation("WNOW", "Nowhere", kToday, 0);
    AddStation("WOLD", "Oldtown", kEarlier, 0);
    Robot r;
    OpenSL(r);
    r.SelectItem("SL", 100, "2011 - Jan-Mar");
    r.RightClick("SL", 100);
    r.ExpectMsg("Add A Previous Quarter?", 1);
    r.Type("CQ", 105, "2010");
    r.Click("CQ", 145);
    r.WaitGone("CQ");
    r.Do([] {
        EXPECT_EQ(3, EZ_ITEMCOUNT("SL", 100));
        EXPECT_EQ("2011 - Apr-Jun", Robot::Text("SL", 100));
        // The list follows the selector, so an added station lands in the
        // quarter on screen.
        ASSERT_EQ(1, EZ_LVROWCOUNT("SL", 105));
        EXPECT_EQ("WNOW", EZ_LVGETCELL("SL", 105, 0, 0));
        EXPECT_FALSE(Shell().quarterAdded);
    });
    r.Click("SL", 110);
    r.Type("ES", 110, "wnew");
    r.Type("ES", 115, "Newtown");
    r.Click("ES", 120);
    r.Click("ES", 125);
    r.WaitGone("ES");
    r.Close("SL");
    r.WaitGone("SL");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ("WNOW|Nowhere|0\nWNEW|Newtown|1", Stations(kToday));
    // The list remembers where it was.
    EXPECT_NE("", IniRead(Paths().settingsFile, "SL", "FormWid", ""));
}

TEST_F(StationFormsTest, EnterMovesOnInTheEditor) {
    Robot r;
    OpenSL(r);
    r.Click("SL", 110);
    r.Type("ES", 110, "wxyz");
    r.Key("ES", 110, kKeyEnter);
    r.Do([] { EXPECT_EQ(115, EZ_GETFOCUS("ES")); });
    r.Type("ES", 115, "Xenia, OH");
    r.Key("ES", 115, kKeyEnter);
    r.Do([] {
        EXPECT_EQ(120, EZ_GETFOCUS("ES"));
        EXPECT_TRUE(Robot::FormExists("ES"));  // Enter does not save
    });
    r.Click("ES", 125);
    r.WaitGone("ES");
    r.Click("SL", 120);
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ("", Stations(kToday));
}

TEST_F(StationFormsTest, CopiesChosenStationsIntoTheTargetQuarter) {
    AddStation("KAAA", "Austin", kToday, 0);
    AddStation("KAAA", "Austin", kEarlier, 0);
    AddStation("KBBB", "Boise", kEarlier, 1);
    AddStation("KCCC", "Canton", kEarlier, 2);
    Robot r;
    r.OpenForm("CS", "", FormCaption("CS"), kCopyStationsWidth, kCopyStationsHeight);
    r.Do([] {
        EXPECT_EQ("2011 - Apr-Jun", Robot::Text("CS", 105));
        ASSERT_EQ(2, EZ_LVROWCOUNT("CS", 100));
        EXPECT_EQ("KBBB", EZ_LVGETCELL("CS", 100, 0, 0));
        EXPECT_FALSE(Robot::Enabled("CS", 110));
    });
    r.SelectRow("CS", 100, 0);
    r.SelectRow("CS", 100, 1, true);
    r.Do([] { EXPECT_TRUE(Robot::Enabled("CS", 110)); });
    r.Screenshot("CS", kShots + "stations_cs.png");
    r.Click("CS", 110);
    r.Do([] {
        EXPECT_EQ(0, EZ_LVROWCOUNT("CS", 100));
        EXPECT_FALSE(Robot::Enabled("CS", 110));
    });
    // The earlier quarter already has every station of today's quarter.
    r.SelectItem("CS", 105, "2011 - Jan-Mar");
    r.Do([] { EXPECT_EQ(0, EZ_LVROWCOUNT("CS", 100)); });
    r.Click("CS", 115);
    r.WaitGone("CS");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_TRUE(r.MessageTitles().empty());
    EXPECT_EQ("KAAA|Austin|0\nKBBB|Boise|1\nKCCC|Canton|2", Stations(kToday));
}

TEST_F(StationFormsTest, CopiesCheckedIssuesToTheChosenStations) {
    const int64_t src = AddStation("WAAA", "Albany", kToday, 0);
    const int64_t dst = AddStation("WBBB", "Boston", kToday, 1);
    const int64_t other = AddStation("WCCC", "Chicago", kToday, 2);
    AddIssue(src, "Affordable housing", 0);
    AddIssue(src, "Public safety", 1);
    AddIssue(src, "Kids' education", 2);
    AddIssue(dst, "Public safety", 0);
    AddIssue(dst, "Transit", 4);
    Robot r;
    OpenSL(r);  // a parent for the modal dialog and its message box
    r.Do([src] { OpenCopyIssues("SL", CopyIssuesSource{kToday, src, "WAAA"}); });
    r.WaitForm("CI");
    r.Do([] {
        EXPECT_EQ("WAAA", Robot::Text("CI", 100));
        ASSERT_EQ(2, EZ_ITEMCOUNT("CI", 105));
        EXPECT_EQ("WBBB", EZ_ITEMTEXT("CI", 105, 0));
        ASSERT_EQ(3, EZ_LVROWCOUNT("CI", 110));
        EXPECT_EQ("Kids' education", EZ_LVGETCELL("CI", 110, 2, 1));
        EXPECT_FALSE(Robot::Enabled("CI", 115));
        EXPECT_FALSE(Robot::Visible("CI", 4000));
    });
    r.SelectItem("CI", 105, "WBBB");
    r.Do([] { EXPECT_FALSE(Robot::Enabled("CI", 115)); });  // no issue checked yet
    r.RightClick("CI", 110, 1);
    r.Do([] {
        EXPECT_TRUE(Robot::Visible("CI", 4000));
        EZ_SETFOCUS("CI", 125);  // the focus moving away closes the pop-up
    });
    r.Do([] { EXPECT_FALSE(Robot::Visible("CI", 4000)); });
    r.RightClick("CI", 110, 1);
    r.Click("CI", 4000);
    r.Do([] {
        EXPECT_FALSE(Robot::Visible("CI", 4000));
        EXPECT_TRUE(Robot::Enabled("CI", 115));
    });
    r.Screenshot("CI", kShots + "stations_ci.png");
    r.RightClick("CI", 110, 0);
    r.Click("CI", 4001);
    r.Do([] { EXPECT_FALSE(Robot::Enabled("CI", 115)); });
    r.RightClick("CI", 110, 0);
    r.Click("CI", 4000);
    r.Click("CI", 115);
    r.ExpectMsg("Copy Complete", 1);
    r.WaitGone("CI");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ((std::vector<std::string>{"Public safety/0", "Transit/4", "Affordable housing/5",
                                        "Kids' education/6"}),
              IssueRows(dst));
    EXPECT_TRUE(IssueRows(other).empty());
}

TEST_F(StationFormsTest, CopyIssuesCancelWritesNothing) {
    const int64_t src = AddStation("WAAA", "Albany", kToday, 0);
    AddIssue(src, "Roads", 0);
    Robot r;
    OpenSL(r);  // a parent for the modal dialog and its message box
    r.Do([src] { OpenCopyIssues("SL", CopyIssuesSource{kToday, src, "WAAA"}); });
    r.WaitForm("CI");
    r.Do([] {
        EXPECT_EQ(0, EZ_ITEMCOUNT("CI", 105));  // the only station of the quarter
        EXPECT_FALSE(Robot::Enabled("CI", 115));
    });
    r.RightClick("CI", 110, 0);
    r.Click("CI", 4000);
    r.Do([] { EXPECT_FALSE(Robot::Enabled("CI", 115)); });
    r.Click("CI", 120);
    r.WaitGone("CI");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ((std::vector<std::string>{"Roads/0"}), IssueRows(src));
}

}  // namespace
