// Program entries without a window: airing rules, the Save rule, text
// cleaning, and the all-or-nothing save in its three modes.
#include "editors/program_entry.h"

#include <gtest/gtest.h>

#include "app/base/text_util.h"
#include "data/dates.h"
#include "data/program_list.h"
#include "data/query.h"
#include "editors/issues.h"
#include "support/days.h"
#include "support/form_fixture.h"
#include "support/prompt_queue.h"
#include "ui/msgbox.h"

namespace {

constexpr int32_t kQuarter = 20191;  // Jan-Mar 2019

// Every table as text, to compare the whole database before and after.
std::string Snapshot() {
    std::string all;
    for (const char* t : {"Quarter", "Stations", "Issues", "Programs", "Master", "DateTime"}) {
        all += std::string(t) + ":\n" +
               slSelStr(std::string("SELECT * FROM ") + t + " ORDER BY 1", "Q124") + "\n";
    }
    return all;
}

class ProgramEntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDateSettings(1, false, false);
        ASSERT_TRUE(folder_.OpenFreshDatabase());
        stationA_ = SeedStation("WAAA-FM", "", kQuarter, 0);
        stationB_ = SeedStation("WBBB-AM", "", kQuarter, 1);
        AddIssue(stationA_, "Traffic", "Roads and rush hour", 0);
        AddIssue(stationA_, "Schools", "Budget of the district", 1);
        AddIssue(stationA_, "Housing", "Rents downtown", 2);
    }
    void TearDown() override { SetDateSettings(1, false, false); }

    void AddIssue(RowId sid, const std::string& title, const std::string& desc, int rank) {
        SeedIssue(sid, kQuarter, title, desc, rank);
    }
    static std::string Num(RowId id) { return std::to_string(id); }
    std::string IssueId(RowId sid, const std::string& title) {
        return slSelStr("SELECT IID FROM Issues WHERE SID = " + Num(sid) +
                        " AND IIssue = " + SqlQuoted(title));
    }

    // A complete entry for station A with the given airings.
    ProgramEntry Entry(std::vector<std::string> airings) {
        ProgramEntry e;
        e.quarter = kQuarter;
        e.stationId = stationA_;
        e.stationCalls = "WAAA-FM";
        e.title = "  Town Hall ";
        e.duration = " 30 minutes ";
        e.description = " Mayor's call-in show. ";
        e.issues = {"Traffic", "Housing"};
        e.airings = std::move(airings);
        return e;
    }

    TempProgramFolder folder_;
    PromptQueue prompts;
    RowId stationA_ = 0, stationB_ = 0;
};

// ---------------------------------------------------------------------------
// Quarter label and airing texts
// ---------------------------------------------------------------------------

TEST(ProgramEntryText, AiringTextFollowsDateOrderAndParsesBack) {
    struct Case {
        int format;
        bool slash;
        const char* text;
    };
    const Case cases[] = {
        {0, false, "2019-03-05 07:09"}, {1, false, "03-05-2019 07:09"},
        {2, false, "05-03-2019 07:09"}, {1, true, "03/05/2019 07:09"},
        {2, true, "05/03/2019 07:09"},
    };
    for (const Case& c : cases) {
        SetDateSettings(c.format, c.slash, false);
        EXPECT_EQ(AiringText(Day(2019, 3, 5), 429), c.text);
        int32_t day = 0, minutes = 0;
        ASSERT_TRUE(ParseAiringText(c.text, day, minutes)) << c.text;
        EXPECT_EQ(day, Day(2019, 3, 5)) << c.text;
        EXPECT_EQ(minutes, 429) << c.text;
    }
    SetDateSettings(1, false, false);
    EXPECT_EQ(AiringText(Day(2019, 12, 31), 0), "12-31-2019 00:00");
    EXPECT_EQ(AiringText(Day(2019, 12, 31), 1439), "12-31-2019 23:59");
}

TEST(ProgramEntryText, MalformedAiringTextsAreRefused) {
    SetDateSettings(1, false, false);
    for (const char* bad : {"", "03-05-2019", "03-05-2019 ", "03-05-2019 24:00", "03-05-2019 10:60",
                            "03-05 10:00", "x 10:00", "03-05-2019 1o:00", "03-05-2019 :30"}) {
        int32_t day = -1, minutes = -1;
        EXPECT_FALSE(ParseAiringText(bad, day, minutes)) << '"' << bad << '"';
    }
}

// ---------------------------------------------------------------------------
// Adding and updating airings
// ---------------------------------------------------------------------------

TEST_F(ProgramEntryTest, AiringsOutsideTheQuarterAreRefusedWithTheDate) {
    const int32_t first = Day(2019, 1, 1), last = Day(2019, 3, 31);
    std::vector<std::string> airings;
    prompts.Expect("Date Out of Range");
    prompts.Expect("Date Out of Range");
    EXPECT_EQ(AddOrUpdateAiring(airings, -1, "12-31-2018 23:59", first, last, "Jan-Mar 2019"),
              AiringChange::OutOfRange);
    EXPECT_EQ(AddOrUpdateAiring(airings, -1, "04-01-2019 00:00", first, last, "Jan-Mar 2019"),
              AiringChange::OutOfRange);
    EXPECT_TRUE(airings.empty());
    ASSERT_EQ(prompts.seen.size(), 2u);
    EXPECT_EQ(prompts.seen[0].title, "Date Out of Range");
    EXPECT_EQ(prompts.seen[0].text1,
              "The date 12-31-2018 is outside the quarter Jan-Mar 2019.{f10}");
    // The first and the last day of the quarter are inside it.
    EXPECT_EQ(AddOrUpdateAiring(airings, -1, "01-01-2019 00:00", first, last, "Jan-Mar 2019"),
              AiringChange::Added);
    EXPECT_EQ(AddOrUpdateAiring(airings, -1, "03-31-2019 23:59", first, last, "Jan-Mar 2019"),
              AiringChange::Added);
    EXPECT_EQ(airings.size(), 2u);
    // An airing being updated is range-checked too, and stays as it was.
    prompts.Expect("Date Out of Range");
    EXPECT_EQ(AddOrUpdateAiring(airings, 0, "04-02-2019 08:00", first, last, "Jan-Mar 2019"),
              AiringChange::OutOfRange);
    EXPECT_EQ(airings[0], "01-01-2019 00:00");
}

TEST_F(ProgramEntryTest, DuplicatesAreRefusedButAnAiringMayKeepItsOwnText) {
    const int32_t first = Day(2019, 1, 1), last = Day(2019, 3, 31);
    std::vector<std::string> airings;
    AddOrUpdateAiring(airings, -1, "02-01-2019 08:00", first, last, "Jan-Mar 2019");
    AddOrUpdateAiring(airings, -1, "02-03-2019 09:30", first, last, "Jan-Mar 2019");
    ASSERT_TRUE(prompts.seen.empty());

    prompts.Expect("Duplicate Program Date/Time");
    EXPECT_EQ(AddOrUpdateAiring(airings, -1, "02-01-2019 08:00", first, last, "Jan-Mar 2019"),
              AiringChange::Duplicate);
    ASSERT_EQ(prompts.seen.size(), 1u);
    EXPECT_EQ(prompts.seen[0].title, "Duplicate Program Date/Time");
    EXPECT_EQ(prompts.seen[0].text1, "Duplicate program dates/times are not permitted.{f10}");

    // Updating the first airing to its own text is no duplicate ...
    EXPECT_EQ(AddOrUpdateAiring(airings, 0, "02-01-2019 08:00", first, last, "Jan-Mar 2019"),
              AiringChange::Updated);
    // ... but updating it to the other airing's text is.
    prompts.Expect("Duplicate Program Date/Time");
    EXPECT_EQ(AddOrUpdateAiring(airings, 0, "02-03-2019 09:30", first, last, "Jan-Mar 2019"),
              AiringChange::Duplicate);
    EXPECT_EQ(airings, (std::vector<std::string>{"02-01-2019 08:00", "02-03-2019 09:30"}));

    // A real change replaces the airing and keeps the list in time order.
    EXPECT_EQ(AddOrUpdateAiring(airings, 0, "03-10-2019 06:15", first, last, "Jan-Mar 2019"),
              AiringChange::Updated);
    EXPECT_EQ(airings, (std::vector<std::string>{"02-03-2019 09:30", "03-10-2019 06:15"}));
}

TEST_F(ProgramEntryTest, AiringsAreListedInDateOrderNotTextOrder) {
    // Day-month order: text order would put 02-03 (2 March) before 10-01 (10 January).
    SetDateSettings(2, false, false);
    const int32_t first = Day(2019, 1, 1), last = Day(2019, 3, 31);
    std::vector<std::string> airings;
    for (const char* t : {"02-03-2019 08:00", "10-01-2019 18:00", "10-01-2019 07:45"}) {
        EXPECT_EQ(AddOrUpdateAiring(airings, -1, t, first, last, "Jan-Mar 2019"),
                  AiringChange::Added);
    }
    EXPECT_EQ(airings, (std::vector<std::string>{"10-01-2019 07:45", "10-01-2019 18:00",
                                                 "02-03-2019 08:00"}));
}

// ---------------------------------------------------------------------------
// Availability rules
// ---------------------------------------------------------------------------

TEST(ProgramEntryRules, SaveNeedsACompleteEntry) {
    ProgramEntry base;
    base.stationId = 3;
    base.title = "Town Hall";
    base.duration = "30 minutes";
    base.description = "Call-in show";
    base.issues = {"Traffic"};
    base.airings = {"02-01-2019 08:00"};
    ASSERT_TRUE(SaveAvailable(base));

    struct Case {
        const char* what;
        void (*change)(ProgramEntry&);
        bool allowed;
    };
    const Case cases[] = {
        {"no station", [](ProgramEntry& e) { e.stationId = 0; }, false},
        {"negative station", [](ProgramEntry& e) { e.stationId = -3; }, false},
        {"blank title", [](ProgramEntry& e) { e.title = "  \t "; }, false},
        {"blank duration", [](ProgramEntry& e) { e.duration = " "; }, false},
        {"blank description", [](ProgramEntry& e) { e.description = ""; }, false},
        {"no issue", [](ProgramEntry& e) { e.issues.clear(); }, false},
        {"no airing", [](ProgramEntry& e) { e.airings.clear(); }, false},
        {"two airings, box checked, no count",
         [](ProgramEntry& e) {
             e.airings.push_back("03-01-2019 08:00");
             e.freqCheck = true;
         },
         false},
        {"two airings, box checked, count 0",
         [](ProgramEntry& e) {
             e.airings.push_back("03-01-2019 08:00");
             e.freqCheck = true;
             e.frequency = "0";
         },
         false},
        {"two airings, box checked, count 12 with blanks",
         [](ProgramEntry& e) {
             e.airings.push_back("03-01-2019 08:00");
             e.freqCheck = true;
             e.frequency = " 12 ";
         },
         true},
        {"two airings, box unchecked, no count",
         [](ProgramEntry& e) { e.airings.push_back("03-01-2019 08:00"); }, true},
        // With three airings the (disabled) box is ignored, so it cannot block Save.
        {"three airings, box left checked, no count",
         [](ProgramEntry& e) {
             e.airings.push_back("03-01-2019 08:00");
             e.airings.push_back("03-02-2019 08:00");
             e.freqCheck = true;
         },
         true},
    };
    for (const Case& c : cases) {
        ProgramEntry e = base;
        c.change(e);
        EXPECT_EQ(SaveAvailable(e), c.allowed) << c.what;
    }
}

// ---------------------------------------------------------------------------
// Cleaning pasted text (F2)
// ---------------------------------------------------------------------------

TEST(ProgramEntryClean, TypographicCharactersBecomePlain) {
    struct Case {
        std::string in, out;
    };
    const Case cases[] = {
        {"Wait\xE2\x80\xA6", "Wait..."},                             // U+2026
        {"Mayor\xE2\x80\x99s", "Mayor's"},                           // U+2019
        {"\xE2\x80\x9CQuoted\xE2\x80\x9D", "\"Quoted\""},            // U+201C, U+201D
        {"Wait\x85 Mayor\x92s \x93Q\x94", "Wait... Mayor's \"Q\""},  // Windows-1252 bytes
        {"C1 \xC2\x85\xC2\x92\xC2\x93\xC2\x94", "C1 ...'\"\""},      // the same as code points
        {"plain 'text' \"here\"...", "plain 'text' \"here\"..."},
        {"", ""},
        // Characters whose UTF-8 form contains the bytes 0x85 or 0x93 stay whole.
        {"\xC3\x85sa \xC4\x93 \xE2\x80\x94 \xF0\x9F\x93\xBB",
         "\xC3\x85sa \xC4\x93 \xE2\x80\x94 \xF0\x9F\x93\xBB"},
        // The left single quote is not one of the cleaned characters.
        {"\xE2\x80\x98x", "\xE2\x80\x98x"},
        // A cut-off sequence keeps its bytes; a stray byte after it is still cleaned.
        {"end \xE2\x80", "end \xE2\x80"},
        {"\xE2\x80 \x85", "\xE2\x80 ..."},
    };
    for (const Case& c : cases) EXPECT_EQ(CleanDescription(c.in), c.out) << c.in;
}

// ---------------------------------------------------------------------------
// Saving and loading
// ---------------------------------------------------------------------------

TEST_F(ProgramEntryTest, NewEntryIsStoredTrimmedWithItsAirings) {
    ProgramEntry e = Entry({"02-01-2019 08:00", "01-15-2019 17:30", "03-31-2019 23:59"});
    std::string error;
    ASSERT_TRUE(SaveProgramEntry(e, 0, error)) << error;
    ASSERT_GT(e.entryId, 0);
    ASSERT_GT(e.programId, 0);

    EXPECT_EQ(
        slSelStr("SELECT Duration,Title,PDescription FROM Programs WHERE PID = " + Num(e.programId),
                 "Q124"),
        "30 minutes|Town Hall|Mayor's call-in show.");
    EXPECT_EQ(slSelStr("SELECT Qtr,Issue,Pgm,Station,FreqCheck,Frequency FROM Master WHERE MID = " +
                           Num(e.entryId),
                       "Q124"),
              "20191|" + IssueId(stationA_, "Traffic") + "|" + IssueId(stationA_, "Housing") + "|" +
                  Num(e.programId) + "|" + Num(stationA_) + "|0|");
    EXPECT_EQ(slSelStr("SELECT COUNT(*) FROM DateTime WHERE MLink = " + Num(e.entryId)), "3");
    EXPECT_EQ(slSelStr("SELECT AirTime FROM DateTime WHERE MLink = " + Num(e.entryId) +
                       " AND AirDate = " + std::to_string(Day(2019, 1, 15))),
              "1050");

    ProgramEntry back;
    ASSERT_TRUE(LoadProgramEntry(e.entryId, back));
    EXPECT_EQ(back.entryId, e.entryId);
    EXPECT_EQ(back.programId, e.programId);
    EXPECT_EQ(back.stationId, stationA_);
    EXPECT_EQ(back.stationCalls, "WAAA-FM");
    EXPECT_EQ(back.title, "Town Hall");
    EXPECT_EQ(back.description, "Mayor's call-in show.");
    EXPECT_EQ(back.airings, (std::vector<std::string>{"01-15-2019 17:30", "02-01-2019 08:00",
                                                      "03-31-2019 23:59"}));
    EXPECT_EQ(back.issues.size(), 2u);
    EXPECT_FALSE(back.freqCheck);

    ProgramEntry none;
    EXPECT_FALSE(LoadProgramEntry(999, none));
    EXPECT_EQ(slSelStr("SELECT COUNT(*) FROM Master"), "1");
}

TEST_F(ProgramEntryTest, PeriodFlagIsStoredOnlyForTwoAirings) {
    struct Case {
        std::vector<std::string> airings;
        const char* stored;
    };
    const Case cases[] = {
        {{"01-02-2019 00:00", "03-30-2019 00:00"}, "1|12"},
        {{"01-02-2019 00:00"}, "0|"},
        {{"01-02-2019 00:00", "02-02-2019 00:00", "03-30-2019 00:00"}, "0|"},
    };
    for (const Case& c : cases) {
        ProgramEntry e = Entry(c.airings);
        e.freqCheck = true;
        e.frequency = "12";
        std::string error;
        ASSERT_TRUE(SaveProgramEntry(e, 0, error)) << error;
        EXPECT_EQ(slSelStr("SELECT FreqCheck,Frequency FROM Master WHERE MID = " + Num(e.entryId),
                           "Q124"),
                  c.stored)
            << c.airings.size() << " airings";
    }
}

TEST_F(ProgramEntryTest, EditReplacesEveryAiringAndChangesNoOtherEntry) {
    ProgramEntry other = Entry({"01-05-2019 10:00"});
    ProgramEntry e = Entry({"01-10-2019 08:00", "01-11-2019 08:00", "01-12-2019 08:00"});
    std::string error;
    ASSERT_TRUE(SaveProgramEntry(other, 0, error));
    ASSERT_TRUE(SaveProgramEntry(e, 0, error));
    const RowId mid = e.entryId, pid = e.programId;

    ProgramEntry edit;
    ASSERT_TRUE(LoadProgramEntry(mid, edit));
    edit.title = "Town Hall Live";
    edit.airings = {"02-20-2019 19:00", "03-01-2019 07:00"};
    edit.freqCheck = true;
    edit.frequency = "8";
    ASSERT_TRUE(SaveProgramEntry(edit, 0, error)) << error;
    EXPECT_EQ(edit.entryId, mid);
    EXPECT_EQ(edit.programId, pid);

    EXPECT_EQ(slSelStr("SELECT COUNT(*) FROM Master"), "2");
    EXPECT_EQ(slSelStr("SELECT COUNT(*) FROM Programs"), "2");
    EXPECT_EQ(slSelStr("SELECT Title FROM Programs WHERE PID = " + Num(pid)), "Town Hall Live");
    ProgramEntry back;
    ASSERT_TRUE(LoadProgramEntry(mid, back));
    EXPECT_EQ(back.airings, edit.airings);
    EXPECT_TRUE(back.freqCheck);
    EXPECT_EQ(back.frequency, "8");
    ProgramEntry untouched;
    ASSERT_TRUE(LoadProgramEntry(other.entryId, untouched));
    EXPECT_EQ(untouched.airings, std::vector<std::string>{"01-05-2019 10:00"});
}

TEST_F(ProgramEntryTest, CopyToAnotherStationCreatesItsMissingIssues) {
    AddIssue(stationB_, "Housing", "B's own housing text", 4);
    ProgramEntry source = Entry({"01-10-2019 08:00"});
    source.issues = {"Traffic", "Schools", "Housing"};
    std::string error;
    ASSERT_TRUE(SaveProgramEntry(source, 0, error));

    ProgramEntry copy;
    ASSERT_TRUE(LoadProgramEntry(source.entryId, copy));
    copy.entryId = 0;
    copy.programId = 0;
    copy.stationId = stationB_;
    copy.stationCalls = "WBBB-AM";
    ASSERT_TRUE(SaveProgramEntry(copy, stationA_, error)) << error;
    EXPECT_NE(copy.entryId, source.entryId);
    EXPECT_NE(copy.programId, source.programId);

    // B now has the two issues it lacked, with A's descriptions, ranked after its own.
    EXPECT_EQ(slSelStr("SELECT IIssue,IDescription,IRank FROM Issues WHERE SID = " +
                           Num(stationB_) + " ORDER BY IRank",
                       "Q124"),
              "Housing|B's own housing text|4\n"
              "Traffic|Roads and rush hour|5\n"
              "Schools|Budget of the district|6");
    // The copy points at B's issues, in the list order.
    EXPECT_EQ(slSelStr("SELECT Issue FROM Master WHERE MID = " + Num(copy.entryId)),
              IssueId(stationB_, "Traffic") + "|" + IssueId(stationB_, "Schools") + "|" +
                  IssueId(stationB_, "Housing"));
    EXPECT_EQ(slSelStr("SELECT Station FROM Master WHERE MID = " + Num(copy.entryId)),
              Num(stationB_));
    EXPECT_EQ(slSelStr("SELECT COUNT(*) FROM DateTime WHERE MLink = " + Num(copy.entryId)), "1");
    // The copied entry is unchanged; A's issues are untouched.
    EXPECT_EQ(slSelStr("SELECT Station FROM Master WHERE MID = " + Num(source.entryId)),
              Num(stationA_));
    EXPECT_EQ(slSelStr("SELECT COUNT(*) FROM Issues WHERE SID = " + Num(stationA_)), "3");

    // Copying to the same station again creates no issue.
    ProgramEntry again;
    ASSERT_TRUE(LoadProgramEntry(source.entryId, again));
    again.entryId = 0;
    again.programId = 0;
    ASSERT_TRUE(SaveProgramEntry(again, stationA_, error));
    EXPECT_EQ(slSelStr("SELECT COUNT(*) FROM Issues"), "6");
}

TEST_F(ProgramEntryTest, AFailedSaveLeavesTheDatabaseAsItWas) {
    AddIssue(stationB_, "Housing", "B's own housing text", 0);
    ProgramEntry stored = Entry({"01-10-2019 08:00", "01-11-2019 08:00"});
    std::string error;
    ASSERT_TRUE(SaveProgramEntry(stored, 0, error));
    // From now on every new airing is refused by the database.
    ExecSql(
        "CREATE TRIGGER NoAirings BEFORE INSERT ON DateTime "
        "BEGIN SELECT RAISE(ABORT, 'airings refused'); END");
    const std::string before = Snapshot();

    // A new entry: Programs and Master must not keep their rows.
    ProgramEntry added = Entry({"02-01-2019 08:00"});
    EXPECT_FALSE(SaveProgramEntry(added, 0, error));
    EXPECT_NE(error.find("airings refused"), std::string::npos) << error;
    EXPECT_EQ(added.entryId, 0);
    EXPECT_EQ(added.programId, 0);
    EXPECT_EQ(Snapshot(), before);

    // An edit: the old airings must not be lost, the text not changed.
    ProgramEntry edit;
    ASSERT_TRUE(LoadProgramEntry(stored.entryId, edit));
    edit.title = "Changed";
    edit.airings = {"03-03-2019 03:03"};
    EXPECT_FALSE(SaveProgramEntry(edit, 0, error));
    EXPECT_EQ(edit.entryId, stored.entryId);
    EXPECT_EQ(Snapshot(), before);

    // A copy to another station: the issues it would create are not kept either.
    ProgramEntry copy;
    ASSERT_TRUE(LoadProgramEntry(stored.entryId, copy));
    copy.entryId = 0;
    copy.programId = 0;
    copy.stationId = stationB_;
    EXPECT_FALSE(SaveProgramEntry(copy, stationA_, error));
    EXPECT_EQ(copy.entryId, 0);
    EXPECT_EQ(Snapshot(), before);

    // Once the database accepts airings again the same entry saves normally.
    ExecSql("DROP TRIGGER NoAirings");
    EXPECT_TRUE(SaveProgramEntry(added, 0, error)) << error;
    EXPECT_EQ(slSelStr("SELECT COUNT(*) FROM Master"), "2");
}

// Row ids past 32 bits go unchanged from the database through the issues list,
// the program list's row value and the editor's load to a save that changes
// the same rows and adds none.
TEST_F(ProgramEntryTest, IdsBeyond32BitsSurviveFromTheListToTheSave) {
    constexpr RowId kBig = (RowId{1} << 32) + 5;
    // Rows with large ids make every new row's id larger still.
    ExecSql("INSERT INTO Stations (StnID,Calls,QtrID,Rank) VALUES (" + Num(kBig) + ",'WBIG-FM'," +
            Num(kQuarter) + ",2)");
    ExecSql("INSERT INTO Issues (IID,IQtr,SID,IIssue,IRank) VALUES (" + Num(kBig) + ",20184," +
            Num(kBig) + ",'Old',0)");
    ExecSql("INSERT INTO Programs (PID,Title) VALUES (" + Num(kBig) + ",'Old')");
    ExecSql("INSERT INTO Master (MID,Qtr,Pgm,Station) VALUES (" + Num(kBig) + ",20184," +
            Num(kBig) + "," + Num(kBig) + ")");

    IssueWorkingCopy wc;
    LoadIssueList(wc, kQuarter, StationIdByCalls("WBIG-FM", Num(kQuarter)));
    ASSERT_EQ(wc.stationId, kBig);
    ASSERT_EQ(EnterIssueTitle(wc, "Bridges"), IssueEntryResult::Added);
    ASSERT_TRUE(SaveIssueList(wc));
    const RowId issue = wc.issues.at(0).id;
    EXPECT_GT(issue, kBig);
    ASSERT_EQ(ReadStationIssues(kQuarter, kBig).size(), 1u);
    EXPECT_EQ(ReadStationIssues(kQuarter, kBig)[0].id, issue);

    ProgramEntry e = Entry({"01-10-2019 08:00"});
    e.stationId = kBig;
    e.stationCalls = "WBIG-FM";
    e.issues = {"Bridges"};
    std::string error;
    ASSERT_TRUE(SaveProgramEntry(e, 0, error)) << error;
    ASSERT_GT(e.entryId, kBig);

    const std::vector<ProgramListRow> rows = ProgramListRows(kQuarter, kBig);
    ASSERT_EQ(rows.size(), 1u);
    ASSERT_EQ(rows[0].mid, e.entryId);
    ProgramEntry edit;
    ASSERT_TRUE(LoadProgramEntry(rows[0].mid, edit));
    EXPECT_EQ(edit.stationId, kBig);
    EXPECT_EQ(edit.programId, e.programId);
    EXPECT_EQ(edit.issues, std::vector<std::string>{"Bridges"});
    edit.title = "Bridges Today";
    ASSERT_TRUE(SaveProgramEntry(edit, 0, error)) << error;
    EXPECT_EQ(edit.entryId, e.entryId);
    EXPECT_EQ(slSelStr("SELECT COUNT(*) FROM Master"), "2");
    EXPECT_EQ(slSelStr("SELECT Issue,Station FROM Master WHERE MID = " + Num(e.entryId), "Q124"),
              Num(issue) + "|" + Num(kBig));
    EXPECT_EQ(slSelStr("SELECT Title FROM Programs WHERE PID = " + Num(e.programId)),
              "Bridges Today");
}

}  // namespace
