// Copying issues between the stations of one quarter, without a window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/query.h"
#include "editors/stations.h"
#include "support/form_fixture.h"

namespace {

constexpr int32_t kQ = 20111, kOtherQ = 20112;

class CopyIssuesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.OpenFreshDatabase()); }

    static int64_t AddStation(const std::string& calls, int32_t q = kQ) {
        return SeedStation(calls, "City", q, 0);
    }
    static int64_t AddIssue(int64_t station, const std::string& title, int rank,
                            const std::string& description = "", int32_t q = kQ) {
        return SeedIssue(station, q, title, description, rank);
    }
    // "title/description/rank" of a station's issues in IRank order.
    static std::vector<std::string> Issues(int64_t station) {
        std::vector<std::string> rows;
        ResultSet rs(
            "SELECT IIssue,IDescription,IRank FROM Issues WHERE IQtr = " + std::to_string(kQ) +
            " AND SID = " + std::to_string(station) + " ORDER BY IRank, IID");
        while (rs.next())
            rows.push_back(rs["IIssue"] + "/" + rs["IDescription"] + "/" + rs["IRank"]);
        return rows;
    }
    static std::string AllIssues() {
        return slSelStr("SELECT IID,IQtr,SID,IIssue,IDescription,IRank FROM Issues ORDER BY IID",
                        "Q124");
    }
    // The source station's stored issues with the given titles, in list order.
    static std::vector<IssueItem> Pick(int64_t source, const std::vector<std::string>& titles) {
        std::vector<IssueItem> picked;
        for (const IssueItem& item : StationIssues(kQ, source))
            for (const std::string& t : titles)
                if (item.title == t) picked.push_back(item);
        return picked;
    }

    TempProgramFolder folder;
};

TEST_F(CopyIssuesTest, TargetsAreTheOtherStationsOfTheQuarter) {
    AddStation("WAAA");
    AddStation("K'OB");
    AddStation("wccc");
    AddStation("WDDD", kOtherQ);
    std::vector<std::string> calls;
    for (const StationRow& s : CopyIssueTargets(kQ, "K'OB")) {
        EXPECT_GT(s.id, 0);
        calls.push_back(s.calls);
    }
    EXPECT_EQ((std::vector<std::string>{"WAAA", "wccc"}), calls);
    // The source is left out whatever the letter case it is shown in.
    EXPECT_EQ(2u, CopyIssueTargets(kQ, "WCCC").size());
    // A quarter with one station offers no target.
    EXPECT_TRUE(CopyIssueTargets(kOtherQ, "WDDD").empty());
}

TEST_F(CopyIssuesTest, IssuesAreOfferedInRankOrder) {
    const int64_t s = AddStation("WAAA");
    const int64_t other = AddStation("WBBB");
    AddIssue(s, "Third", 9);
    AddIssue(s, "First", 0);
    AddIssue(s, "Second", 4);
    AddIssue(other, "Not mine", 1);
    AddIssue(s, "Other quarter", 1, "", kOtherQ);
    std::vector<std::string> titles;
    for (const IssueItem& item : StationIssues(kQ, s)) titles.push_back(item.title);
    EXPECT_EQ((std::vector<std::string>{"First", "Second", "Third"}), titles);
}

TEST_F(CopyIssuesTest, SkipsTitlesTheTargetHasAndRanksAfterItsHighest) {
    const int64_t src = AddStation("WAAA");
    const int64_t dst = AddStation("WBBB");
    AddIssue(src, "A", 0, "about A");
    AddIssue(src, "B", 1, "source B");
    AddIssue(src, "C", 2, "about C");
    for (int r = 0; r < 5; ++r)
        AddIssue(dst, r == 2 ? "B" : "T" + std::to_string(r), r, r == 2 ? "target B" : "");

    const CopyIssuesResult res = CopyIssuesToStations(kQ, Pick(src, {"A", "B", "C"}), {dst});
    EXPECT_TRUE(res.ok);
    EXPECT_EQ(2, res.inserted);
    const std::vector<std::string> rows = Issues(dst);
    ASSERT_EQ(7u, rows.size());
    EXPECT_EQ("B/target B/2", rows[2]);
    EXPECT_EQ("A/about A/5", rows[5]);
    EXPECT_EQ("C/about C/6", rows[6]);
}

TEST_F(CopyIssuesTest, CopiesToEveryTargetWithItsOwnRanks) {
    const int64_t src = AddStation("WAAA");
    const int64_t empty = AddStation("WBBB");
    const int64_t busy = AddStation("WCCC");
    AddIssue(src, "Housing", 0, "rents");
    AddIssue(src, "Roads", 1);
    AddIssue(src, "Schools", 2, "line 1\nline 2");
    AddIssue(busy, "roads", 3);  // another letter case is another title

    const CopyIssuesResult res =
        CopyIssuesToStations(kQ, Pick(src, {"Housing", "Roads", "Schools"}), {empty, busy});
    EXPECT_TRUE(res.ok);
    EXPECT_EQ(6, res.inserted);
    EXPECT_EQ((std::vector<std::string>{"Housing/rents/1", "Roads//2", "Schools/line 1\nline 2/3"}),
              Issues(empty));
    EXPECT_EQ((std::vector<std::string>{"roads//3", "Housing/rents/4", "Roads//5",
                                        "Schools/line 1\nline 2/6"}),
              Issues(busy));
    // The source is untouched.
    EXPECT_EQ(3u, Issues(src).size());
}

TEST_F(CopyIssuesTest, QuotedTitlesAreCopiedOnceAndFoundAgain) {
    const int64_t src = AddStation("WAAA");
    const int64_t dst = AddStation("WBBB");
    AddIssue(src, "O'Brien's Park; \"Phase 2\"", 0, "it's -- ok; really");
    AddIssue(src, "Kids' Safety", 1);
    const std::vector<IssueItem> all = StationIssues(kQ, src);

    EXPECT_EQ(2, CopyIssuesToStations(kQ, all, {dst}).inserted);
    EXPECT_EQ((std::vector<std::string>{"O'Brien's Park; \"Phase 2\"/it's -- ok; really/1",
                                        "Kids' Safety//2"}),
              Issues(dst));
    // A second copy finds both titles at the target.
    const std::string before = AllIssues();
    const CopyIssuesResult again = CopyIssuesToStations(kQ, all, {dst});
    EXPECT_TRUE(again.ok);
    EXPECT_EQ(0, again.inserted);
    EXPECT_EQ(before, AllIssues());
}

TEST_F(CopyIssuesTest, TheSourceIsNoTargetInAnyLetterCase) {
    AddStation("CJÉ-FM");
    AddStation("ŁÓDŹ-FM");
    std::vector<std::string> calls;
    for (const StationRow& s : CopyIssueTargets(kQ, "cjé-fm")) calls.push_back(s.calls);
    EXPECT_EQ((std::vector<std::string>{"ŁÓDŹ-FM"}), calls);
}

TEST_F(CopyIssuesTest, ATitleListedTwiceReachesATargetOnce) {
    const int64_t src = AddStation("WAAA");
    const int64_t dst = AddStation("WBBB");
    AddIssue(src, "Water", 0, "first");
    AddIssue(src, "Water", 1, "second");
    EXPECT_EQ(1, CopyIssuesToStations(kQ, StationIssues(kQ, src), {dst}).inserted);
    EXPECT_EQ((std::vector<std::string>{"Water/first/1"}), Issues(dst));
}

TEST_F(CopyIssuesTest, AFailingCopyLeavesTheDatabaseAsBefore) {
    const int64_t src = AddStation("WAAA");
    const int64_t first = AddStation("WBBB");
    const int64_t second = AddStation("WCCC");
    AddIssue(src, "Good", 0);
    AddIssue(src, "Boom", 1);
    AddIssue(src, "Late", 2);
    AddIssue(second, "Existing", 0);
    // The second target refuses one title: the first target's inserts and the
    // second target's first insert have already run when the batch fails.
    ASSERT_EQ(0, slExe("CREATE TRIGGER refuse BEFORE INSERT ON Issues "
                       "WHEN NEW.IIssue = 'Boom' AND NEW.SID = " +
                       std::to_string(second) + " BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    const std::string before = AllIssues();
    const CopyIssuesResult res = CopyIssuesToStations(kQ, StationIssues(kQ, src), {first, second});
    EXPECT_FALSE(res.ok);
    EXPECT_EQ(0, res.inserted);
    EXPECT_EQ(before, AllIssues());
    // The connection is usable afterwards and a later copy goes through.
    const CopyIssuesResult retry = CopyIssuesToStations(kQ, Pick(src, {"Good"}), {first, second});
    EXPECT_TRUE(retry.ok);
    EXPECT_EQ(2, retry.inserted);
}

TEST_F(CopyIssuesTest, NothingToCopyIsNotAFailure) {
    const int64_t src = AddStation("WAAA");
    const int64_t dst = AddStation("WBBB");
    AddIssue(src, "A", 0);
    const std::string before = AllIssues();
    EXPECT_TRUE(CopyIssuesToStations(kQ, {}, {dst}).ok);
    EXPECT_TRUE(CopyIssuesToStations(kQ, StationIssues(kQ, src), {}).ok);
    EXPECT_EQ(before, AllIssues());
}

}  // namespace
