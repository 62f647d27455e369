// The main window's list contents and the window-free parts of its commands:
// batched list cells against the per-entry lookups, deleting an entry, days
// to the end of a quarter and the filing reminder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/settings.h"
#include "app/base/text_util.h"
#include "app/main_window.h"
#include "data/dates.h"
#include "data/query.h"
#include "reports/airing.h"
#include "support/days.h"
#include "support/prompt_queue.h"
#include "support/seed.h"
#include "support/test_env.h"

namespace {

// An entry with its program row, the ids given: the program's id is the
// entry's plus 1000, so that mixing the two up shows.
void AddEntry(int mid, int quarter, int station, const std::string& issues, int freqCheck,
              const std::string& frequency, const std::string& title) {
    SeedRow("INSERT INTO Programs (PID,Duration,Title,PDescription) VALUES (" +
            std::to_string(mid + 1000) + ",'30 minutes'," + SqlQuoted(title) + ",'desc')");
    SeedRow("INSERT INTO Master (MID,AirDates,Qtr,Issue,Pgm,Station,FreqCheck,Frequency) VALUES (" +
            std::to_string(mid) + ",''," + std::to_string(quarter) + "," + SqlQuoted(issues) + "," +
            std::to_string(mid + 1000) + "," + std::to_string(station) + "," +
            std::to_string(freqCheck) + "," + (frequency.empty() ? "''" : frequency) + ")");
}

// The Issues Addressed cell the way one query per entry finds it.
std::string IssueCellPerRow(const std::string& issueList) {
    std::vector<std::string> kept;
    for (const std::string& part : Split(issueList, "|"))
        if (Val(part) > 0) kept.push_back(part);
    std::vector<std::string> titles;
    ResultSet rs("SELECT IIssue FROM Issues WHERE IID IN (" + Join(kept, ",") + ")");
    while (rs.next()) titles.push_back(rs["IIssue"]);
    return Join(titles, "|");
}

class ProgramListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.OpenFreshDatabase());
        SetClockOverride(ClockReading{2019, 2, 15, 10, 0, 0});
        // Two stations of the quarter (ids 1 and 2), one of the quarter before
        // (3); issues 1-3 of station 1, 4-5 of station 2, 6 of station 3.
        SeedStation("WAAA-FM", "Here", 20191, 0);
        SeedStation("WBBB-AM", "There", 20191, 1);
        SeedStation("WOLD", "Gone", 20184, 0);
        SeedIssue(1, 20191, "Crime", "", 0);
        SeedIssue(1, 20191, "Education", "", 1);
        SeedIssue(1, 20191, "Health", "", 2);
        SeedIssue(2, 20191, "Traffic", "", 0);
        SeedIssue(2, 20191, "Water's edge", "", 1);
        SeedIssue(3, 20184, "Old issue", "", 0);
    }
    void TearDown() override { SetClockOverride(std::nullopt); }
    TempProgramFolder folder;
};

TEST_F(ProgramListTest, BatchedCellsEqualThePerEntryLookups) {
    // One airing.
    AddEntry(1, 20191, 1, "1", 0, "0", "Morning Talk");
    SeedAiring(1, Day(2019, 1, 7), 8 * 60);
    // Several days, later days stored first.
    AddEntry(2, 20191, 1, "3|1|2", 0, "0", "Weekly Report");
    SeedAiring(2, Day(2019, 3, 1), 17 * 60);
    SeedAiring(2, Day(2019, 1, 14), 12 * 60);
    SeedAiring(2, Day(2019, 2, 1), 9 * 60);
    // A tie on the earliest day: the later time is stored first.
    AddEntry(3, 20191, 2, "4|4", 0, "0", "Traffic Watch");
    SeedAiring(3, Day(2019, 1, 9), 18 * 60 + 30);
    SeedAiring(3, Day(2019, 1, 9), 6 * 60 + 15);
    SeedAiring(3, Day(2019, 1, 20), 7 * 60);
    // Period records: with a count, with 0 and with none.
    AddEntry(4, 20191, 2, "5", 1, "12", "PSA Campaign");
    SeedAiring(4, Day(2019, 1, 1), 0);
    SeedAiring(4, Day(2019, 3, 31), 0);
    AddEntry(5, 20191, 2, "0|4", 1, "0", "Spot Run");
    SeedAiring(5, Day(2019, 2, 2), 15);
    SeedAiring(5, Day(2019, 2, 20), 15);
    AddEntry(6, 20191, 1, "", 1, "", "No Count");
    SeedAiring(6, Day(2019, 2, 5), 23 * 60 + 59);
    SeedAiring(6, Day(2019, 2, 6), 0);
    // No airings; issues from another quarter and unknown ids.
    AddEntry(7, 20191, 1, "6|1|99", 0, "0", "Unaired");
    // A station row of another quarter; a leading blank in the issue list.
    AddEntry(8, 20191, 3, " 4|2", 0, "0", "Odd Links");
    SeedAiring(8, Day(2019, 3, 3), 600);
    // An entry of another quarter is not listed.
    AddEntry(9, 20184, 3, "6", 0, "0", "Last Year");
    SeedAiring(9, Day(2018, 12, 1), 600);

    std::vector<ProgramListRow> rows = ProgramListRows(20191, 0);
    ASSERT_EQ(rows.size(), 8u);
    for (const ProgramListRow& row : rows) {
        SCOPED_TRACE("MID " + std::to_string(row.mid));
        const std::string mid = std::to_string(row.mid);
        std::string freqCheck = SelectText("Master", "FreqCheck", "MID = " + mid);
        std::string frequency = SelectText("Master", "Frequency", "MID = " + mid);
        std::string station = SelectText("Master", "Station", "MID = " + mid);
        ASSERT_EQ(row.cells.size(), 6u);
        EXPECT_EQ(row.cells[0], ListDateCell(row.mid));
        EXPECT_EQ(row.cells[1], ListTimeCell(row.mid, freqCheck, frequency));
        EXPECT_EQ(row.cells[2], SelectText("Stations", "Calls", "StnID = " + station));
        EXPECT_EQ(row.cells[4], IssueCellPerRow(SelectText("Master", "Issue", "MID = " + mid)));
    }

    auto find = [&](int64_t mid) -> const ProgramListRow& {
        for (const ProgramListRow& r : rows)
            if (r.mid == mid) return r;
        static ProgramListRow none;
        return none;
    };
    // The values themselves, for the cases that matter most.
    EXPECT_EQ(find(1).cells, (std::vector<std::string>{"01-07-2019", "08:00", "WAAA-FM",
                                                       "Morning Talk", "Crime", "30 minutes"}));
    EXPECT_EQ(find(2).cells[0], "01-14-2019");
    EXPECT_EQ(find(2).cells[1], "12:00*");
    EXPECT_EQ(find(2).cells[4], "Crime|Education|Health");
    EXPECT_EQ(find(3).cells[4], "Traffic");
    EXPECT_EQ(find(4).cells[1], "Various x 12");
    EXPECT_EQ(find(4).cells[4], "Water's edge");
    EXPECT_EQ(find(5).cells[1], "00:15*");
    EXPECT_EQ(find(8).cells[2], "WOLD");
}

TEST_F(ProgramListTest, StationFilterAndEmptyQuarter) {
    AddEntry(1, 20191, 1, "1", 0, "0", "A");
    AddEntry(2, 20191, 2, "4", 0, "0", "B");
    AddEntry(3, 20191, 2, "4", 0, "0", "C");
    EXPECT_EQ(ProgramListRows(20191, 2).size(), 2u);
    EXPECT_EQ(ProgramListRows(20191, 1).size(), 1u);
    EXPECT_EQ(ProgramListRows(20191, 0).size(), 3u);
    EXPECT_TRUE(ProgramListRows(20192, 0).empty());
    // An entry without its program row is not listed (the join drops it).
    ExecSql("DELETE FROM Programs WHERE PID = 1003");
    EXPECT_EQ(ProgramListRows(20191, 0).size(), 2u);
}

TEST_F(ProgramListTest, DeletingAnEntryRemovesItsRowsOnly) {
    AddEntry(1, 20191, 1, "1", 0, "0", "Keep");
    SeedAiring(1, Day(2019, 1, 7), 60);
    AddEntry(2, 20191, 1, "1", 0, "0", "Drop");
    SeedAiring(2, Day(2019, 1, 8), 60);
    SeedAiring(2, Day(2019, 1, 9), 60);

    EXPECT_TRUE(DeleteProgramEntry(2));
    EXPECT_EQ(CountWhere("Master", "MID = 2"), 0);
    EXPECT_EQ(CountWhere("Programs", "PID = 1002"), 0);
    EXPECT_EQ(CountWhere("DateTime", "MLink = 2"), 0);
    EXPECT_EQ(CountWhere("Master", "MID = 1"), 1);
    EXPECT_EQ(CountWhere("Programs", "PID = 1001"), 1);
    EXPECT_EQ(CountWhere("DateTime", "MLink = 1"), 1);
}

TEST_F(ProgramListTest, AnEntryIsNeverHalfDeleted) {
    AddEntry(1, 20191, 1, "1", 0, "0", "Guarded");
    SeedAiring(1, Day(2019, 1, 7), 60);
    // The last statement of the batch fails: nothing of the entry may go.
    ExecSql(
        "CREATE TRIGGER keep_master BEFORE DELETE ON Master BEGIN SELECT RAISE(ABORT,'no'); END");
    EXPECT_FALSE(DeleteProgramEntry(1));
    EXPECT_EQ(CountWhere("Master", "MID = 1"), 1);
    EXPECT_EQ(CountWhere("Programs", "PID = 1001"), 1);
    EXPECT_EQ(CountWhere("DateTime", "MLink = 1"), 1);
}

TEST(DaysToEndOfQuarterTest, CountsTodayAndStopsAtZero) {
    struct Case {
        ClockReading today;
        int32_t quarter;
        int expected;
    };
    const Case cases[] = {
        {{2019, 3, 31, 23, 59, 0}, 20191, 1},  // last day counts itself
        {{2019, 3, 30, 8, 0, 0}, 20191, 2},   {{2019, 1, 1, 8, 0, 0}, 20191, 90},
        {{2020, 1, 1, 8, 0, 0}, 20201, 91},  // leap year
        {{2019, 4, 1, 8, 0, 0}, 20191, 0},   // a past quarter
        {{2019, 4, 1, 8, 0, 0}, 20184, 0},
    };
    for (const Case& c : cases) {
        SetClockOverride(c.today);
        EXPECT_EQ(DaysToEndOfQuarter(c.quarter), c.expected)
            << c.quarter << " on " << c.today.year << "-" << c.today.month << "-" << c.today.day;
    }
    SetClockOverride(std::nullopt);
}

TEST(FilingReminderTest, SilentOnOtherDaysAndWithoutADeadline) {
    TempProgramFolder folder;
    SetClockOverride(ClockReading{2019, 4, 10, 9, 0, 0});
    PromptQueue prompts;
    const std::string& ini = Paths().settingsFile;

    // Not today: nothing shown, nothing changed.
    IniWrite(ini, "Filing", "Deadline", std::to_string(TodayJulian() + 1));
    FilingDeadlineAlert();
    EXPECT_TRUE(prompts.seen.empty());
    EXPECT_EQ(IniRead(ini, "Filing", "Deadline", ""), std::to_string(TodayJulian() + 1));

    // No key at all: nothing shown. (Shown once on the day itself: the main
    // window's start-up test.)
    TempProgramFolder fresh;
    FilingDeadlineAlert();
    EXPECT_TRUE(prompts.seen.empty());

    SetClockOverride(std::nullopt);
}

}  // namespace
