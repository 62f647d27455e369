#include <gtest/gtest.h>

#include <algorithm>

#include "app/base/app_state.h"
#include "app/base/options.h"
#include "app/base/settings.h"
#include "data/dates.h"
#include "data/quarters.h"
#include "data/query.h"
#include "support/prompt_queue.h"
#include "support/seed.h"
#include "support/test_env.h"
#include "ui/data_controls.h"

namespace {

class Quarters : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.OpenFreshDatabase());
        saved = Opts();
    }
    void TearDown() override {
        SetClockOverride(std::nullopt);
        Opts() = saved;
    }
    void SetToday(int y, int m, int d) { SetClockOverride(ClockReading{y, m, d, 9, 0, 0}); }

    std::string AddStation(const std::string& calls, int quarter, int rank,
                           const std::string& license = "") {
        return std::to_string(SeedStation(calls, license, quarter, rank));
    }
    void AddIssue(const std::string& station, int quarter, const std::string& title, int rank) {
        SeedIssue(std::stoll(station), quarter, title, title + " text", rank);
    }
    void AddEntry(const std::string& station, int quarter) {
        SeedEntry(std::stoll(station), quarter, "");
    }
    // "Calls/License/Rank" of a quarter's stations in rank order.
    std::vector<std::string> StationsOf(int quarter) {
        std::vector<std::string> out;
        ResultSet rs("SELECT Calls,License,Rank FROM Stations WHERE QtrID = " +
                     std::to_string(quarter) + " ORDER BY Rank");
        while (rs.next()) out.push_back(rs["Calls"] + "/" + rs["License"] + "/" + rs["Rank"]);
        return out;
    }
    // "Title:Rank" of a station's issues in rank order.
    std::vector<std::string> IssuesOf(const std::string& calls, int quarter) {
        const RowId sid = StationIdByCalls(calls, std::to_string(quarter));
        std::vector<std::string> out;
        ResultSet rs("SELECT IIssue,IRank FROM Issues WHERE IQtr = " + std::to_string(quarter) +
                     " AND SID = " + std::to_string(sid) + " ORDER BY IRank, IIssue");
        while (rs.next()) out.push_back(rs["IIssue"] + ":" + rs["IRank"]);
        return out;
    }
    std::string Deadline() { return IniRead(Paths().settingsFile, "Filing", "Deadline", "none"); }

    TempProgramFolder folder;
    Options saved;
    PromptQueue prompts;
};

TEST_F(Quarters, BoundsIncludeLeapDays) {
    struct Case {
        int32_t quarter;
        int32_t start, end, days;
    } cases[] = {
        {20121, Mdy2JulianDate(1, 1, 2012), Mdy2JulianDate(3, 31, 2012), 91},
        {20081, Mdy2JulianDate(1, 1, 2008), Mdy2JulianDate(3, 31, 2008), 91},
        {20091, Mdy2JulianDate(1, 1, 2009), Mdy2JulianDate(3, 31, 2009), 90},
        {20002, Mdy2JulianDate(4, 1, 2000), Mdy2JulianDate(6, 30, 2000), 91},
        {20003, Mdy2JulianDate(7, 1, 2000), Mdy2JulianDate(9, 30, 2000), 92},
        {21004, Mdy2JulianDate(10, 1, 2100), Mdy2JulianDate(12, 31, 2100), 92},
        {20115, 0, 0, 1},
        {20110, 0, 0, 1},
    };
    for (const Case& c : cases) {
        int32_t s = -1, e = -1;
        QuarterBounds(c.quarter, s, e);
        EXPECT_EQ(s, c.start) << c.quarter;
        EXPECT_EQ(e, c.end) << c.quarter;
        EXPECT_EQ(e - s + 1, c.days) << c.quarter;
    }
}

TEST_F(Quarters, NamesBothWays) {
    struct Case {
        int32_t quarter;
        const char* name;
    } cases[] = {
        {20111, "2011 - Jan-Mar"}, {20112, "2011 - Apr-Jun"}, {20113, "2011 - Jul-Sep"},
        {20114, "2011 - Oct-Dec"}, {19994, "1999 - Oct-Dec"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QuarterName(c.quarter), c.name);
        EXPECT_EQ(QuarterFromName(c.name), c.quarter);
    }
    EXPECT_EQ(QuarterName(20115), "");
    EXPECT_EQ(QuarterName(20110), "");
    EXPECT_EQ(QuarterName(2011), "");
    EXPECT_EQ(QuarterName(0, "20113"), "2011 - Jul-Sep");
    EXPECT_EQ(QuarterName(0, ""), "");
    EXPECT_EQ(QuarterFromName("2011 - Foo"), 20110);
    EXPECT_EQ(QuarterFromName(""), 0);
    EXPECT_EQ(PreviousQuarter(20121), 20114);
    EXPECT_EQ(PreviousQuarter(20123), 20122);
}

TEST_F(Quarters, EnsureQuarterWritesTheDeadlineOnAWeekday) {
    struct Case {
        int32_t quarter;
        int m, d, y;  // expected deadline
    } cases[] = {
        {20111, 1, 10, 2011},  // tenth day a Monday
        {20151, 1, 9, 2015},   // Saturday -> Friday 9th
        {20161, 1, 8, 2016},   // Sunday -> Friday 8th
        {20112, 4, 8, 2011},   // Sunday
        {20204, 10, 9, 2020},  // Saturday
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(EnsureQuarter(c.quarter, true)) << c.quarter;
        EXPECT_EQ(Deadline(), std::to_string(Mdy2JulianDate(c.m, c.d, c.y))) << c.quarter;
    }
    int32_t s = 0, e = 0;
    QuarterBounds(20151, s, e);
    EXPECT_EQ(SelectText("Quarter", "StartDate || ',' || EndDate", "QNumber = 20151"),
              std::to_string(s) + "," + std::to_string(e));

    // An existing quarter is not created again and its deadline is not rewritten.
    IniWrite(Paths().settingsFile, "Filing", "Deadline", "0");
    EXPECT_FALSE(EnsureQuarter(20151, true));
    EXPECT_EQ(Deadline(), "0");
    EXPECT_EQ(CountWhere("Quarter", "QNumber = 20151"), 1);
    // Without the flag no deadline is written.
    EXPECT_TRUE(EnsureQuarter(20171, false));
    EXPECT_EQ(Deadline(), "0");
}

// A start cut short after the quarter row was saved left no deadline: a later
// start writes it when the key is missing, and leaves a shown reminder ("0").
TEST_F(Quarters, MissingDeadlineOfAnExistingQuarterIsWritten) {
    ASSERT_TRUE(EnsureQuarter(20151, false));  // the row, as the cut-short start left it
    EXPECT_EQ(Deadline(), "none");
    EXPECT_FALSE(EnsureQuarter(20151, true));
    EXPECT_EQ(Deadline(), std::to_string(Mdy2JulianDate(1, 9, 2015)));
    IniWrite(Paths().settingsFile, "Filing", "Deadline", "0");
    EXPECT_FALSE(EnsureQuarter(20151, true));
    EXPECT_EQ(Deadline(), "0");
    EXPECT_EQ(CountWhere("Quarter", "QNumber = 20151"), 1);
}

TEST_F(Quarters, EnsureQuarterCreatesNothingWhenTheSelectFails) {
    slExe("DROP TABLE Quarter");
    EXPECT_FALSE(EnsureQuarter(20111, true));
    EXPECT_EQ(Deadline(), "none");
}

TEST_F(Quarters, RollOverIntoTheFirstQuarterOfANewYear) {
    Opts().copyStations = 0;
    Opts().copyIssues = true;
    SetToday(2012, 1, 5);
    std::string b = AddStation("BBBB", 20114, 7, "Bville");
    std::string a = AddStation("AAAA", 20114, 3, "Aton");
    std::string c = AddStation("CCCC", 20114, 12, "");
    AddStation("OLDQ", 20113, 0);
    AddIssue(a, 20114, "Crime", 2);
    AddIssue(a, 20114, "Roads", 1);
    AddIssue(c, 20114, "Water", 5);

    EXPECT_FALSE(RollOverStations());
    EXPECT_EQ(StationsOf(20121),
              (std::vector<std::string>{"AAAA/Aton/0", "BBBB/Bville/1", "CCCC//2"}));
    EXPECT_EQ(IssuesOf("AAAA", 20121).size(), 2u);
    EXPECT_EQ(IssuesOf("CCCC", 20121), std::vector<std::string>{"Water:1"});
    EXPECT_TRUE(IssuesOf("BBBB", 20121).empty());

    // Today's quarter has stations now: a second start changes nothing.
    EXPECT_FALSE(RollOverStations());
    EXPECT_EQ(StationsOf(20121).size(), 3u);
}

TEST_F(Quarters, RollOverOfActiveStationsOnly) {
    Opts().copyStations = 1;
    Opts().copyIssues = false;
    SetToday(2011, 4, 1);
    std::string a = AddStation("AAAA", 20111, 0);
    std::string b = AddStation("BBBB", 20111, 1);
    std::string c = AddStation("CCCC", 20111, 2);
    AddIssue(a, 20111, "Crime", 1);
    AddEntry(a, 20111);
    AddEntry(a, 20111);
    AddEntry(c, 20111);
    AddEntry(b, 20104);  // an entry in another quarter does not count

    EXPECT_FALSE(RollOverStations());
    EXPECT_EQ(StationsOf(20112), (std::vector<std::string>{"AAAA//0", "CCCC//1"}));
    EXPECT_TRUE(IssuesOf("AAAA", 20112).empty());  // CopyIssues off
}

TEST_F(Quarters, RollOverWithNoStationsAnywhere) {
    Opts().copyStations = 0;
    SetToday(2011, 4, 1);
    EXPECT_TRUE(RollOverStations());
    AddStation("AAAA", 20111, 0);  // a station, but no program entry
    Opts().copyStations = 1;
    EXPECT_TRUE(RollOverStations());
    EXPECT_TRUE(StationsOf(20112).empty());
}

TEST_F(Quarters, CopyStationIssuesAddsOnlyMissingTitlesAfterTheHighestRank) {
    std::string src = AddStation("wxyz-fm", 20111, 0);
    std::string dst = AddStation("WXYZ-FM", 20112, 0);
    AddIssue(src, 20111, "Crime", 1);
    AddIssue(src, 20111, "Kids' safety", 2);
    AddIssue(src, 20111, "Water", 3);
    AddIssue(dst, 20112, "Crime", 4);
    AddIssue(dst, 20112, "Zoning", 1);

    CopyStationIssues("WXYZ-FM", 20111, "wxyz-fm", 20112);
    std::vector<std::string> got = IssuesOf("WXYZ-FM", 20112);
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[0], "Zoning:1");
    EXPECT_EQ(got[1], "Crime:4");
    // The two new titles take ranks 5 and 6, in whatever order the database gave them.
    std::vector<std::string> added = {got[2], got[3]};
    std::sort(added.begin(), added.end());
    EXPECT_EQ(added[0].substr(0, added[0].find(':')), "Kids' safety");
    EXPECT_EQ(added[1].substr(0, added[1].find(':')), "Water");
    EXPECT_EQ(got[2].substr(got[2].find(':')) + got[3].substr(got[3].find(':')), ":5:6");

    // Running it again adds nothing; unknown stations copy nothing.
    CopyStationIssues("WXYZ-FM", 20111, "WXYZ-FM", 20112);
    CopyStationIssues("NONE", 20111, "WXYZ-FM", 20112);
    CopyStationIssues("WXYZ-FM", 20111, "NONE", 20112);
    EXPECT_EQ(CountWhere("Issues", "IQtr = 20112"), 4);
}

// The roll-over finds a station by its call letters in any letter case, also
// beyond ASCII; titles compare as stored.
TEST_F(Quarters, CopyStationIssuesFindsCallLettersInAnyCase) {
    std::string src = AddStation("cjé-fm", 20111, 0);
    AddStation("CJÉ-FM", 20112, 0);
    AddIssue(src, 20111, "Łódź", 1);
    CopyStationIssues("CJÉ-FM", 20111, "cjé-fm", 20112);
    EXPECT_EQ(IssuesOf("CJÉ-FM", 20112), (std::vector<std::string>{"Łódź:1"}));
}

TEST_F(Quarters, CreatePreviousQuarterCopiesStationsIssuesAndMethods) {
    std::string a = AddStation("AAAA", 20112, 1, "Aton");
    std::string b = AddStation("BBBB", 20112, 0, "Bville");
    AddIssue(a, 20112, "Second", 9);
    AddIssue(a, 20112, "First", 4);
    SeedRow("INSERT INTO Methods (MQtrID,StnID,Method) VALUES (20112," + a + ",'Surveys')");

    ASSERT_TRUE(CreatePreviousQuarter(20112, 20104, true, true));
    EXPECT_TRUE(prompts.seen.empty());
    EXPECT_EQ(CountWhere("Quarter", "QNumber = 20104"), 1);
    EXPECT_EQ(StationsOf(20104), (std::vector<std::string>{"BBBB//0", "AAAA//1"}));
    EXPECT_EQ(IssuesOf("AAAA", 20104), (std::vector<std::string>{"First:0", "Second:1"}));
    const RowId newA = StationIdByCalls("AAAA", "20104");
    EXPECT_EQ(SelectText("Methods", "Method", "MQtrID = 20104 AND StnID = " + std::to_string(newA)),
              "Surveys");

    // Without the copy flag the stations come along but not their issues.
    ASSERT_TRUE(CreatePreviousQuarter(20112, 20103, false, true));
    EXPECT_EQ(StationsOf(20103).size(), 2u);
    EXPECT_EQ(CountWhere("Issues", "IQtr = 20103"), 0);
    // Source 0: a bare quarter.
    ASSERT_TRUE(CreatePreviousQuarter(0, 20102, true, true));
    EXPECT_TRUE(StationsOf(20102).empty());
}

TEST_F(Quarters, CreatePreviousQuarterRefusesDuplicatesAndBadNumbers) {
    ASSERT_TRUE(EnsureQuarter(20111, false));
    prompts.Expect("Duplicate Quarters Not Permitted");
    EXPECT_FALSE(CreatePreviousQuarter(0, 20111, false, true));
    EXPECT_EQ(prompts.Titles(), std::vector<std::string>{"Duplicate Quarters Not Permitted"});
    prompts.seen.clear();
    EXPECT_FALSE(CreatePreviousQuarter(0, 20111, false, false));
    EXPECT_TRUE(prompts.seen.empty());
    EXPECT_EQ(CountWhere("Quarter", "QNumber = 20111"), 1);

    // A year typed as letters gives a number without a display name.
    prompts.Expect("Invalid Quarter");
    EXPECT_FALSE(CreatePreviousQuarter(0, 1, false, true));
    EXPECT_EQ(prompts.Titles(), std::vector<std::string>{"Invalid Quarter"});
    EXPECT_EQ(CountWhere("Quarter", "QNumber = 1"), 0);
}

TEST_F(Quarters, OfferAsksOnlyWhenTheQuarterHasStations) {
    OfferPreviousQuarter(20111);
    EXPECT_TRUE(prompts.seen.empty());
    AddStation("AAAA", 20111, 0);
    prompts.Expect("Add A Previous Quarter?", 2);  // No: the dialog is not opened
    OfferPreviousQuarter(20111);
    EXPECT_EQ(prompts.Titles(), std::vector<std::string>{"Add A Previous Quarter?"});
}

}  // namespace
