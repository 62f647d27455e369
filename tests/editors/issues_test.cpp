// The issues working copy and its save, without a window.
#include "editors/issues.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/base/text_util.h"
#include "data/query.h"
#include "support/form_fixture.h"
#include "support/prompt_queue.h"
#include "ui/msgbox.h"

namespace {

constexpr int32_t kQtr = 20241;

std::vector<std::string> Titles(const IssueWorkingCopy& wc) {
    std::vector<std::string> out;
    for (const IssueRow& issue : wc.issues) out.push_back(issue.title);
    return out;
}
std::vector<RowId> Ids(const IssueWorkingCopy& wc) {
    std::vector<RowId> out;
    for (const IssueRow& issue : wc.issues) out.push_back(issue.id);
    return out;
}
std::vector<std::string> Descriptions(const IssueWorkingCopy& wc) {
    std::vector<std::string> out;
    for (const IssueRow& issue : wc.issues) out.push_back(issue.description);
    return out;
}

// A fresh database with one station; message boxes come only where a test
// expects them.
class IssuesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.OpenFreshDatabase());
        station_ = SeedStation("WAAA-FM", "", kQtr, 0);
    }

    RowId AddIssue(const std::string& title, int rank, const std::string& desc = "",
                   RowId station = 0) {
        return SeedIssue(station > 0 ? station : station_, kQtr, title, desc, rank);
    }
    std::string StationText() const { return std::to_string(station_); }

    // "title:rank" of the station's issues in rank order.
    std::vector<std::string> StoredOrder() {
        std::vector<std::string> out;
        ResultSet rs("SELECT IIssue, IRank FROM Issues WHERE SID = " + StationText() +
                     " ORDER BY IRank");
        while (rs.next()) out.push_back(rs["IIssue"] + ":" + rs["IRank"]);
        return out;
    }

    IssueWorkingCopy Loaded() {
        IssueWorkingCopy wc;
        LoadIssueList(wc, kQtr, station_);
        return wc;
    }

    TempProgramFolder folder_;
    RowId station_ = 0;
    PromptQueue prompts;
};

TEST_F(IssuesTest, SaveRewritesRanksFromZeroInListOrder) {
    AddIssue("Crime", 5);
    AddIssue("Education", 9);
    AddIssue("Traffic", 12);
    IssueWorkingCopy wc = Loaded();
    ASSERT_EQ((std::vector<std::string>{"Crime", "Education", "Traffic"}), Titles(wc));
    EXPECT_FALSE(wc.changed);

    ASSERT_TRUE(SaveIssueList(wc));
    EXPECT_EQ((std::vector<std::string>{"Crime:0", "Education:1", "Traffic:2"}), StoredOrder());
    EXPECT_TRUE(prompts.seen.empty());
}

TEST_F(IssuesTest, MoveKeepsIdsAndDescriptionsWithTheirTitles) {
    const RowId a = AddIssue("A", 0, "about a");
    const RowId b = AddIssue("B", 1, "about b");
    const RowId c = AddIssue("C", 2, "about c");
    IssueWorkingCopy wc = Loaded();
    MoveIssue(wc, 0, 2);
    EXPECT_EQ((std::vector<std::string>{"B", "C", "A"}), Titles(wc));
    EXPECT_EQ((std::vector<RowId>{b, c, a}), Ids(wc));
    EXPECT_EQ((std::vector<std::string>{"about b", "about c", "about a"}), Descriptions(wc));

    // Moves outside the list change nothing and mark nothing.
    IssueWorkingCopy same = Loaded();
    for (auto [from, to] : std::vector<std::pair<int, int>>{{1, 1}, {-1, 0}, {0, 3}, {3, 0}}) {
        MoveIssue(same, from, to);
    }
    EXPECT_EQ((std::vector<std::string>{"A", "B", "C"}), Titles(same));
    EXPECT_FALSE(same.changed);
}

TEST_F(IssuesTest, NewTitleDifferingOnlyInCaseIsADuplicate) {
    AddIssue("Public Safety", 0);
    AddIssue("Éducation", 1);
    struct Case {
        std::string typed;
        IssueEntryResult expected;
        std::string shown;  // the title quoted in the message
    };
    const std::vector<Case> cases = {
        {"Public Safety", IssueEntryResult::Duplicate, "Public Safety"},
        {"public safety", IssueEntryResult::Duplicate, "public safety"},
        {"PUBLIC SAFETY", IssueEntryResult::Duplicate, "PUBLIC SAFETY"},
        {"  public Safety  ", IssueEntryResult::Duplicate, "public Safety"},
        {"Public Safety 2", IssueEntryResult::Added, ""},
        {"ÉDUCATION", IssueEntryResult::Duplicate, "ÉDUCATION"},
        {"éducation", IssueEntryResult::Duplicate, "éducation"},
        {"Education", IssueEntryResult::Added, ""},
        {"", IssueEntryResult::Empty, ""},
        {"   ", IssueEntryResult::Empty, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("typed: [" + c.typed + "]");
        IssueWorkingCopy wc = Loaded();
        prompts.seen.clear();
        if (c.expected == IssueEntryResult::Duplicate) prompts.Expect("Duplicate Entry");
        EXPECT_EQ(c.expected, EnterIssueTitle(wc, c.typed));
        if (c.expected == IssueEntryResult::Duplicate) {
            ASSERT_EQ(1u, prompts.seen.size());
            EXPECT_EQ("Duplicate Entry", prompts.seen[0].title);
            EXPECT_EQ("The issue \"" + c.shown + "\" is already in the Issues List.{f10}",
                      prompts.seen[0].text1);
            EXPECT_EQ("Issue titles must be unique to avoid confusion.{f6}", prompts.seen[0].text2);
            EXPECT_EQ(2, wc.size());
            EXPECT_FALSE(wc.changed);
        } else if (c.expected == IssueEntryResult::Added) {
            EXPECT_EQ(3, wc.size());
            EXPECT_EQ(0, wc.issues[2].id);
            EXPECT_TRUE(wc.changed);
        } else {
            EXPECT_TRUE(prompts.seen.empty());
            EXPECT_EQ(2, wc.size());
            EXPECT_FALSE(wc.changed);
        }
    }
}

TEST_F(IssuesTest, EditInPlaceReplacesTitleKeepingIdAndDescription) {
    const RowId id = AddIssue("Housing", 0, "rents");
    AddIssue("Jobs", 1);
    IssueWorkingCopy wc = Loaded();

    // Changing only the letter case of its own title is no duplicate.
    wc.editedPos = 0;
    EXPECT_EQ(IssueEntryResult::Replaced, EnterIssueTitle(wc, "HOUSING"));
    EXPECT_EQ(-1, wc.editedPos);
    EXPECT_EQ("HOUSING", wc.issues[0].title);
    EXPECT_EQ(id, wc.issues[0].id);
    EXPECT_EQ("rents", wc.issues[0].description);
    EXPECT_TRUE(wc.changed);

    // Emptying a title in place is refused with a reason; the edit stays open.
    wc.editedPos = 1;
    prompts.seen.clear();
    prompts.Expect("Issue Title Missing");
    EXPECT_EQ(IssueEntryResult::Empty, EnterIssueTitle(wc, "  "));
    ASSERT_EQ(1u, prompts.seen.size());
    EXPECT_EQ(1, wc.editedPos);
    EXPECT_EQ("Jobs", wc.issues[1].title);
}

TEST_F(IssuesTest, WorkingCopyHoldsAtMost1001Issues) {
    IssueWorkingCopy wc = Loaded();
    for (int i = 0; i < kMaxIssues; ++i) {
        ASSERT_EQ(IssueEntryResult::Added, EnterIssueTitle(wc, "Issue " + std::to_string(i)));
    }
    ASSERT_TRUE(prompts.seen.empty());
    prompts.Expect("Issues List Full");
    EXPECT_EQ(IssueEntryResult::Full, EnterIssueTitle(wc, "One too many"));
    ASSERT_EQ(1u, prompts.seen.size());
    EXPECT_EQ("Issues List Full", prompts.seen[0].title);
    EXPECT_EQ(kMaxIssues, wc.size());

    ASSERT_TRUE(SaveIssueList(wc));
    for (const IssueRow& issue : wc.issues) ASSERT_GT(issue.id, 0);
    IssueWorkingCopy again = Loaded();
    ASSERT_EQ(kMaxIssues, again.size());
    EXPECT_EQ("Issue 1000", again.issues.back().title);
    EXPECT_EQ(Ids(wc), Ids(again));
    EXPECT_EQ("1000", SelectText("Issues", "MAX(IRank)", "SID = " + StationText()));
}

TEST_F(IssuesTest, CountIssueUsesMatchesWholeElementsOnly) {
    const std::vector<std::pair<std::string, int>> masters = {
        {"7", 1}, {"3|7", 1}, {"7|12", 1}, {"17|70", 0}, {"", 0}, {"77", 0}, {"1|2|7|9", 1},
    };
    for (const auto& [issue, counted] : masters) {
        SeedEntry(station_, kQtr, issue);
    }
    EXPECT_EQ(4, CountIssueUses(7));
    EXPECT_EQ(1, CountIssueUses(17));
    EXPECT_EQ(0, CountIssueUses(5));
    EXPECT_EQ(0, CountIssueUses(0));
    EXPECT_EQ(0, CountIssueUses(-7));
}

TEST_F(IssuesTest, DeleteAsksOnlyForStoredIssuesAndRefusesUsedOnes) {
    const RowId used = AddIssue("Used", 0);
    const RowId stored = AddIssue("Stored", 1);
    SeedEntry(station_, kQtr, "99|" + std::to_string(used));
    IssueWorkingCopy wc = Loaded();
    EnterIssueTitle(wc, "Fresh");
    wc.changed = false;

    // A new, unsaved issue goes without a question.
    EXPECT_TRUE(DeleteIssueAt(wc, 2));
    EXPECT_TRUE(prompts.seen.empty());
    EXPECT_TRUE(wc.deletedIds.empty());
    EXPECT_TRUE(wc.changed);

    // An issue a program uses stays.
    wc.changed = false;
    prompts.Expect("Unable to Delete");
    EXPECT_FALSE(DeleteIssueAt(wc, 0));
    ASSERT_EQ(1u, prompts.seen.size());
    EXPECT_EQ("Unable to Delete", prompts.seen[0].title);
    EXPECT_EQ("This issue is currently in use and cannot be deleted.{f10}", prompts.seen[0].text1);
    EXPECT_EQ(2, wc.size());
    EXPECT_FALSE(wc.changed);

    // A stored one asks; No keeps it, Yes removes it and remembers its id.
    prompts.Expect("Delete This Issue", 2);
    prompts.Expect("Delete This Issue", 1);
    prompts.seen.clear();
    EXPECT_FALSE(DeleteIssueAt(wc, 1));
    EXPECT_EQ(2, wc.size());
    EXPECT_TRUE(DeleteIssueAt(wc, 1));
    ASSERT_EQ(2u, prompts.seen.size());
    EXPECT_EQ("Delete This Issue", prompts.seen[1].title);
    EXPECT_EQ("*{G,f7}|&Yes|&No", prompts.seen[1].buttons);
    EXPECT_EQ(2, prompts.seen[1].defaultButton);
    EXPECT_EQ((std::vector<RowId>{stored}), wc.deletedIds);
    EXPECT_EQ((std::vector<std::string>{"Used"}), Titles(wc));

    // Nothing reaches the database before Save; then the row is gone.
    EXPECT_EQ(2, CountWhere("Issues", "SID = " + StationText()));
    ASSERT_TRUE(SaveIssueList(wc));
    EXPECT_EQ((std::vector<std::string>{"Used:0"}), StoredOrder());
    EXPECT_TRUE(wc.deletedIds.empty());
}

TEST_F(IssuesTest, DescriptionsAreStoredTrimmed) {
    AddIssue("Health", 0, "old");
    IssueWorkingCopy wc = Loaded();
    SetIssueDescription(wc, 0, "  Clinic hours \r\n\t");
    EXPECT_EQ("Clinic hours", wc.issues[0].description);
    EXPECT_TRUE(wc.changed);

    // The same text again, or blanks added around it, is no change.
    wc.changed = false;
    SetIssueDescription(wc, 0, "Clinic hours  ");
    EXPECT_FALSE(wc.changed);
    SetIssueDescription(wc, 5, "out of range");
    EXPECT_FALSE(wc.changed);

    ASSERT_TRUE(SaveIssueList(wc));
    EXPECT_EQ("Clinic hours", SelectText("Issues", "IDescription", "SID = " + StationText()));
}

TEST_F(IssuesTest, FailedSaveLeavesDatabaseAndWorkingCopyAsTheyWere) {
    AddIssue("Alpha", 3, "a");
    AddIssue("Beta", 4, "b");
    const RowId doomed = AddIssue("Gamma", 5, "c");
    IssueWorkingCopy wc = Loaded();
    EnterIssueTitle(wc, "New One");
    SetIssueDescription(wc, 0, "changed a");
    MoveIssue(wc, 1, 0);
    prompts.Expect("Delete This Issue", 1);
    ASSERT_TRUE(DeleteIssueAt(wc, 2));  // Gamma
    const IssueWorkingCopy before = wc;

    // The deletion, the last statement of the batch, fails.
    ASSERT_EQ(0, slExe("CREATE TRIGGER NoDelete BEFORE DELETE ON Issues BEGIN "
                       "SELECT RAISE(ABORT, 'refused'); END"));
    const std::string tableBefore = slSelStr("SELECT * FROM Issues ORDER BY IID");
    prompts.seen.clear();
    prompts.Expect("Save Failed");
    EXPECT_FALSE(SaveIssueList(wc));
    EXPECT_EQ(tableBefore, slSelStr("SELECT * FROM Issues ORDER BY IID"));
    ASSERT_EQ(1u, prompts.seen.size());
    EXPECT_EQ("Save Failed", prompts.seen[0].title);

    EXPECT_EQ(Titles(before), Titles(wc));
    EXPECT_EQ(Ids(before), Ids(wc));
    EXPECT_EQ(Descriptions(before), Descriptions(wc));
    EXPECT_EQ(before.deletedIds, wc.deletedIds);
    EXPECT_TRUE(wc.changed);

    // Once the cause is gone the same working copy saves completely.
    ASSERT_EQ(0, slExe("DROP TRIGGER NoDelete"));
    ASSERT_TRUE(SaveIssueList(wc));
    EXPECT_EQ((std::vector<std::string>{"Beta:0", "Alpha:1", "New One:2"}), StoredOrder());
    EXPECT_EQ("changed a", SelectText("Issues", "IDescription", "IIssue = 'Alpha'"));
    EXPECT_EQ(0, CountWhere("Issues", "IID = " + std::to_string(doomed)));
    EXPECT_EQ(1, CountWhere("Issues", "IID = " + std::to_string(wc.issues[2].id) +
                                          " AND IIssue = 'New One'"));
}

TEST_F(IssuesTest, StationsAndQuartersAreKeptApart) {
    const RowId other = SeedStation("WBBB-AM", "", kQtr, 1);
    AddIssue("Mine", 0);
    AddIssue("Theirs", 0, "", other);

    IssueWorkingCopy wc = Loaded();
    EXPECT_EQ((std::vector<std::string>{"Mine"}), Titles(wc));
    EnterIssueTitle(wc, "Theirs");  // another station's title is no duplicate here
    ASSERT_TRUE(SaveIssueList(wc));
    EXPECT_EQ((std::vector<std::string>{"Mine:0", "Theirs:1"}), StoredOrder());
    EXPECT_EQ("0", SelectText("Issues", "IRank", "SID = " + std::to_string(other)));

    IssueWorkingCopy none;
    LoadIssueList(none, kQtr, 0);
    EXPECT_EQ(0, none.size());
    IssueWorkingCopy otherQuarter;
    LoadIssueList(otherQuarter, kQtr + 1, station_);
    EXPECT_EQ(0, otherQuarter.size());
}

TEST_F(IssuesTest, SelectionListsIssuesInRankOrderWithExactPreselection) {
    const RowId b = AddIssue("Beta", 2);
    const RowId a = AddIssue("Alpha", 1);
    AddIssue("Gamma", 3);
    const std::vector<IssueChoice> choices = ReadStationIssues(kQtr, station_);
    ASSERT_EQ(3u, choices.size());
    EXPECT_EQ("Alpha", choices[0].title);
    EXPECT_EQ(a, choices[0].id);
    EXPECT_EQ(b, choices[1].id);

    EXPECT_EQ((std::vector<bool>{false, true, true}),
              PreselectIssues(choices, {"Gamma", "Beta", "Unknown"}));
    EXPECT_EQ((std::vector<bool>{false, false, false}), PreselectIssues(choices, {"alpha"}));
    EXPECT_EQ((std::vector<bool>{false, false, false}), PreselectIssues(choices, {}));
    EXPECT_TRUE(ReadStationIssues(kQtr, 0).empty());
}

}  // namespace
