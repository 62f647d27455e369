// The pre-filing check on seeded quarters: one case per kind of finding, the
// summary line, the deadline, and how duration texts are read.
#include "reports/filing_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "data/dates.h"
#include "data/query.h"
#include "support/days.h"
#include "support/report_fixture.h"
#include "support/seed.h"
#include "support/test_env.h"

namespace {

constexpr int32_t kQ = 20192;  // April to June 2019

class FilingCheck : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.OpenFreshDatabase());
        SetDateSettings(1, false, false);
        stn = SeedStation("WXYZ-FM", "Springfield", kQ);
        crime = std::to_string(SeedIssue(stn, kQ, "Crime", "Burglaries.", 0));
        roads = std::to_string(SeedIssue(stn, kQ, "Roads", "Potholes.", 1));
        // A sound entry addressing both issues: no finding of its own.
        SeedProgram({.station = stn,
                     .quarter = kQ,
                     .issues = crime + "|" + roads,
                     .title = "Safe Streets",
                     .duration = "30 minutes",
                     .description = "Interview.",
                     .airings = {{Day(2019, 4, 2), 570}}});
    }
    FilingCheckResult Check(RowId station = 0) {
        return CheckBeforeFiling(kQ, station, Day(2019, 6, 24), 0);
    }
    // The findings of one kind.
    static std::vector<FilingFinding> Of(const FilingCheckResult& r, FindingKind kind) {
        std::vector<FilingFinding> out;
        for (const FilingFinding& f : r.findings)
            if (f.kind == kind) out.push_back(f);
        return out;
    }
    // Adds an entry of the station's quarter and returns its MID.
    RowId Entry(ProgramSeed entry) {
        entry.station = stn;
        entry.quarter = kQ;
        return SeedProgram(entry);
    }

    TempProgramFolder folder;
    RowId stn = 0;
    std::string crime, roads;  // issue ids as an entry lists them
};

TEST_F(FilingCheck, ASoundQuarterHasOnlyTheDeadlineNote) {
    const FilingCheckResult r = Check();
    ASSERT_EQ(r.findings.size(), 1u);
    EXPECT_EQ(r.findings[0].kind, FindingKind::FilingDeadline);
    EXPECT_EQ(FilingSummary(r), "1 station, 0 problems, 1 note");
}

TEST_F(FilingCheck, IssueThatNoProgramAddresses) {
    const RowId housing = SeedIssue(stn, kQ, "Housing", "", 2);
    const auto found = Of(Check(), FindingKind::IssueNotAddressed);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].severity, FindingSeverity::Problem);
    EXPECT_EQ(found[0].text, "Addressed by no program: issue 3, \"Housing\"");
    EXPECT_EQ(found[0].calls, "WXYZ-FM");
    EXPECT_EQ(found[0].target, FindingTarget::Issue);
    EXPECT_EQ(found[0].recordId, housing);
}

TEST_F(FilingCheck, EntryWithoutAnIssueOfTheStation) {
    const RowId none = Entry({.title = "No Issue",
                              .duration = "5 minutes",
                              .description = "Text.",
                              .airings = {{Day(2019, 4, 3), 60}}});
    // An issue id that is not on the station's list: the report prints it nowhere.
    const RowId stale = Entry({.issues = "999",
                               .title = "Stale Issue",
                               .duration = "5 minutes",
                               .description = "Text.",
                               .airings = {{Day(2019, 4, 3), 60}}});
    const auto found = Of(Check(), FindingKind::EntryWithoutIssue);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].text, "Addresses no issue: \"No Issue\"");
    EXPECT_EQ(found[0].recordId, none);
    EXPECT_EQ(found[0].target, FindingTarget::ProgramEntry);
    EXPECT_EQ(found[1].text, "Addresses none of the station's issues: \"Stale Issue\"");
    EXPECT_EQ(found[1].recordId, stale);
}

TEST_F(FilingCheck, EntryWithoutAiring) {
    const RowId mid = Entry(
        {.issues = crime, .title = "Never Aired", .duration = "5 minutes", .description = "Text."});
    const auto found = Of(Check(), FindingKind::EntryWithoutAiring);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].text, "No air date: \"Never Aired\"");
    EXPECT_EQ(found[0].recordId, mid);
    EXPECT_EQ(found[0].severity, FindingSeverity::Problem);
}

TEST_F(FilingCheck, EntryWithoutDescriptionIsANote) {
    Entry({.issues = crime,
           .title = "Bare",
           .duration = "5 minutes",
           .description = " \r\n ",
           .airings = {{Day(2019, 4, 3), 60}}});
    const auto found = Of(Check(), FindingKind::EntryWithoutDescription);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].text, "No description: \"Bare\"");
    EXPECT_EQ(found[0].severity, FindingSeverity::Note);
}

TEST_F(FilingCheck, EntryWithoutTitle) {
    const RowId mid = Entry({.issues = crime,
                             .title = "  ",
                             .duration = "5 minutes",
                             .description = "Text.",
                             .airings = {{Day(2019, 4, 3), 60}}});
    const FilingCheckResult r = Check();
    const auto found = Of(r, FindingKind::EntryWithoutTitle);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].text, "A program entry has no title (first aired 04-03-2019)");
    EXPECT_EQ(found[0].recordId, mid);
    // An entry whose program text is gone altogether has no title either.
    ExecSql("DELETE FROM Programs WHERE PID = (SELECT Pgm FROM Master WHERE MID = " +
            std::to_string(mid) + ")");
    EXPECT_EQ(Of(Check(), FindingKind::EntryWithoutTitle).size(), 1u);
}

TEST_F(FilingCheck, AiringsOutsideTheQuarter) {
    Entry({.issues = crime,
           .title = "Early",
           .duration = "5 minutes",
           .description = "Text.",
           .airings = {{Day(2019, 3, 31), 600}, {Day(2019, 4, 1), 0}, {Day(2019, 7, 1), 0}}});
    const auto found = Of(Check(), FindingKind::AiringOutsideQuarter);
    ASSERT_EQ(found.size(), 2u);  // the first and last day of the quarter are inside
    EXPECT_EQ(found[0].text, "Aired outside the quarter, 03-31-2019 10:00: \"Early\"");
    EXPECT_EQ(found[1].text, "Aired outside the quarter, 07-01-2019 00:00: \"Early\"");
}

TEST_F(FilingCheck, AiringRecordedTwice) {
    Entry({.issues = crime,
           .title = "Twice",
           .duration = "5 minutes",
           .description = "Text.",
           .airings = {{Day(2019, 4, 5), 540},
                       {Day(2019, 4, 5), 540},
                       {Day(2019, 4, 5), 600},
                       {Day(2019, 4, 6), 60},
                       {Day(2019, 4, 6), 60},
                       {Day(2019, 4, 6), 60}}});
    // A period kept as its first and last day may have both on one day.
    Entry({.issues = crime,
           .title = "One-Day Period",
           .duration = "60 seconds",
           .description = "Text.",
           .airings = {{Day(2019, 4, 9), 0}, {Day(2019, 4, 9), 0}},
           .freqCheck = "1",
           .frequency = "6"});
    const auto found = Of(Check(), FindingKind::AiringRecordedTwice);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].text, "Airing 04-05-2019 09:00 listed twice: \"Twice\"");
    EXPECT_EQ(found[1].text, "Airing 04-06-2019 01:00 listed 3 times: \"Twice\"");
}

TEST_F(FilingCheck, DurationsMissingZeroAndOverADay) {
    Entry({.issues = crime,
           .title = "No Length",
           .duration = " ",
           .description = "Text.",
           .airings = {{Day(2019, 4, 3), 60}}});
    Entry({.issues = crime,
           .title = "Zero",
           .duration = "0 minutes",
           .description = "Text.",
           .airings = {{Day(2019, 4, 3), 60}}});
    Entry({.issues = crime,
           .title = "Marathon",
           .duration = "25 hours",
           .description = "Text.",
           .airings = {{Day(2019, 4, 3), 60}}});
    Entry({.issues = crime,
           .title = "Full Day",
           .duration = "24 hours",
           .description = "Text.",
           .airings = {{Day(2019, 4, 3), 60}}});  // not over
    Entry({.issues = crime,
           .title = "Unreadable",
           .duration = "about a half hour",
           .description = "Text.",
           .airings = {{Day(2019, 4, 3), 60}}});  // no finding
    const FilingCheckResult r = Check();
    const auto missing = Of(r, FindingKind::DurationMissing);
    const auto zero = Of(r, FindingKind::DurationZero);
    const auto over = Of(r, FindingKind::DurationOverDay);
    ASSERT_EQ(missing.size(), 1u);
    ASSERT_EQ(zero.size(), 1u);
    ASSERT_EQ(over.size(), 1u);
    EXPECT_EQ(missing[0].text, "No duration: \"No Length\"");
    EXPECT_EQ(zero[0].text, "Duration of no time, \"0 minutes\": \"Zero\"");
    EXPECT_EQ(over[0].text, "Duration over 24 hours, \"25 hours\": \"Marathon\"");
}

TEST_F(FilingCheck, StationWithoutIssues) {
    const RowId other = SeedStation("KAAA", "Riverton", kQ);
    const auto found = Of(Check(), FindingKind::StationWithoutIssues);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].calls, "KAAA");
    EXPECT_EQ(found[0].stationId, other);
    EXPECT_EQ(found[0].target, FindingTarget::StationIssues);
    EXPECT_EQ(found[0].text, "No issues are on file for the quarter");
}

TEST_F(FilingCheck, OneStationOrAllAndTheSummary) {
    const RowId other = SeedStation("KAAA", "Riverton", kQ);
    SeedStation("KOLD", "Old Town", 20191);  // another quarter: never checked
    Entry({.issues = crime,
           .title = "Bare",
           .duration = "5 minutes",
           .airings = {{Day(2019, 4, 3), 60}}});
    const FilingCheckResult all = Check();
    EXPECT_EQ(all.stations, 2);
    EXPECT_EQ(FilingSummary(all), "2 stations, 1 problem, 2 notes");
    // The deadline first, then the stations in rank order (both rank 0 here: by id).
    ASSERT_EQ(all.findings.size(), 3u);
    EXPECT_EQ(all.findings[0].calls, "");
    EXPECT_EQ(all.findings[1].calls, "WXYZ-FM");
    EXPECT_EQ(all.findings[2].calls, "KAAA");

    const FilingCheckResult one = Check(other);
    EXPECT_EQ(one.stations, 1);
    EXPECT_EQ(FilingSummary(one), "1 station, 1 problem, 1 note");

    // A quarter without any station has nothing to file: a problem, not "0 problems".
    const FilingCheckResult empty = CheckBeforeFiling(20193, 0, Day(2019, 6, 24), 0);
    EXPECT_EQ(FilingSummary(empty), "0 stations, 1 problem, 1 note");
    EXPECT_EQ(empty.findings.back().text, "No station is on file for this quarter.");
}

TEST_F(FilingCheck, DeadlineAndTheDaysLeft) {
    struct Case {
        int32_t today;
        int32_t stored;
        const char* text;
    };
    // The list of April-June 2019 is due on the tenth of July, a Wednesday.
    const Case cases[] = {
        {Day(2019, 6, 24), 0, "Filing deadline Wednesday, July 10, 2019: 16 days left"},
        {Day(2019, 7, 9), 0, "Filing deadline Wednesday, July 10, 2019: 1 day left"},
        {Day(2019, 7, 10), 0, "Filing deadline Wednesday, July 10, 2019: today"},
        {Day(2019, 7, 11), 0, "Filing deadline Wednesday, July 10, 2019: passed yesterday"},
        {Day(2019, 7, 20), 0, "Filing deadline Wednesday, July 10, 2019: passed 10 days ago"},
        // A stored reminder day in the next quarter is shown beside the deadline ...
        {Day(2019, 7, 1), Day(2019, 7, 9),
         "Filing deadline Wednesday, July 10, 2019: 9 days left (reminder Tuesday, July 9)"},
        // ... one of another quarter is not.
        {Day(2019, 7, 1), Day(2019, 4, 10),
         "Filing deadline Wednesday, July 10, 2019: 9 days left"},
        // The tenth of October 2026 is a Saturday: due then, the reminder the Friday before.
        {Day(2026, 10, 1), 0,
         "Filing deadline Saturday, October 10, 2026: 9 days left (reminder Friday, October 9)"},
    };
    for (const Case& c : cases) {
        const int32_t quarter = c.today > Day(2026, 1, 1) ? 20263 : kQ;
        const FilingCheckResult r = CheckBeforeFiling(quarter, 0, c.today, c.stored);
        ASSERT_FALSE(r.findings.empty());
        EXPECT_EQ(r.findings[0].text, c.text);
        EXPECT_EQ(r.findings[0].severity, FindingSeverity::Note);
        EXPECT_EQ(r.findings[0].target, FindingTarget::None);
    }
    // A tenth day on a weekend moves back to the Friday: 2020-01-10 is a
    // Friday, 2021-04-10 a Saturday, 2021-01-10 a Sunday.
    EXPECT_EQ(FilingDeadlineOf(20194, 0), Day(2020, 1, 10));
    EXPECT_EQ(FilingDeadlineOf(20211, 0), Day(2021, 4, 9));
    EXPECT_EQ(FilingDeadlineOf(20204, 0), Day(2021, 1, 8));
}

TEST(DurationText, ReadsTheUsualForms) {
    struct Case {
        const char* text;
        std::optional<int64_t> seconds;
    };
    const Case cases[] = {
        {"30 minutes", 1800},
        {"60 seconds", 60},
        {"30 min.", 1800},
        {"1 hour 30 minutes", 5400},
        {"1h30m", 5400},
        {"1.5 hours", 5400},
        {"30-second", 30},
        {":30", 30},
        {"2:30", 150},
        {"1:00:00", 3600},
        {"1:30 min", 90},
        {"approx. 5 minutes each", 300},
        {"0", 0},
        {"0:00", 0},
        {"2 days", 172800},
        {"", std::nullopt},
        {"30", std::nullopt},  // no unit
        {"half hour", std::nullopt},
        {"30 parsecs", std::nullopt},
        {"1:2:3:4", std::nullopt},
        {"::", std::nullopt},
        {"99999999999999999999 hours", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(DurationSeconds(c.text), c.seconds) << c.text;
}

}  // namespace
