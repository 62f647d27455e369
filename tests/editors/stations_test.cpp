// Adding, editing and copying stations without a window.
#include "editors/stations.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/query.h"
#include "support/form_fixture.h"

namespace {

constexpr int32_t kQ1 = 20111, kQ2 = 20112, kQ3 = 20113;

class StationsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.OpenFreshDatabase()); }

    // "CALLS/License/rank" per station of a quarter, in id order.
    static std::vector<std::string> Rows(int32_t q) {
        std::vector<std::string> rows;
        ResultSet rs("SELECT Calls,License,Rank FROM Stations WHERE QtrID = " + std::to_string(q) +
                     " ORDER BY StnID");
        while (rs.next()) rows.push_back(rs["Calls"] + "/" + rs["License"] + "/" + rs["Rank"]);
        return rows;
    }
    static std::string AllStations() {
        return slSelStr("SELECT StnID,Calls,License,QtrID,Rank FROM Stations", "Q124");
    }
    static int64_t IdOf(const std::string& calls, int32_t q) {
        return StationIdByCalls(calls, std::to_string(q));
    }
    static StationSave Save(int32_t q, int64_t id, std::string calls, std::string license) {
        return SaveStation(q, id, calls, license);
    }

    TempProgramFolder folder;
};

TEST(StationInput, TrimsAndUpperCasesAndRequiresBothFields) {
    struct Case {
        std::string calls, license, wantCalls, wantLicense;
        bool complete;
    };
    const std::vector<Case> cases = {
        {"wxyz-fm", "Springfield, IL", "WXYZ-FM", "Springfield, IL", true},
        {"  kabc \t", "\t Dayton, OH  ", "KABC", "Dayton, OH", true},
        {"", "Dayton, OH", "", "Dayton, OH", false},
        {"   ", "Dayton, OH", "", "Dayton, OH", false},
        {"KABC", " \t ", "KABC", "", false},
        {"k'ob", "O'Brien's Crossing", "K'OB", "O'Brien's Crossing", true},
        {"cjé-fm", "Montréal", "CJÉ-FM", "Montréal", true},
        {"łódź-fm", "Łódź", "ŁÓDŹ-FM", "Łódź", true},
    };
    for (const Case& c : cases) {
        std::string calls = c.calls, license = c.license;
        EXPECT_EQ(c.complete, StationInputComplete(calls, license)) << c.calls << "|" << c.license;
        NormaliseStation(calls, license);
        EXPECT_EQ(c.wantCalls, calls);
        EXPECT_EQ(c.wantLicense, license);
    }
}

TEST_F(StationsTest, AddingRanksAfterTheHighestStartingAtOne) {
    EXPECT_EQ(StationSave::Saved, Save(kQ1, 0, " waaa-fm ", " Albany, NY "));
    EXPECT_EQ(StationSave::Saved, Save(kQ1, 0, "WBBB-AM", "Boston, MA"));
    EXPECT_EQ((std::vector<std::string>{"WAAA-FM/Albany, NY/1", "WBBB-AM/Boston, MA/2"}),
              Rows(kQ1));

    // A rolled-over quarter is numbered from 0; an added station goes after it.
    SeedStation("KAAA", "A", kQ2, 0);
    SeedStation("KBBB", "B", kQ2, 1);
    SeedStation("KCCC", "C", kQ2, 2);
    EXPECT_EQ(StationSave::Saved, Save(kQ2, 0, "KDDD", "D"));
    EXPECT_EQ("KDDD/D/3", Rows(kQ2).back());
}

TEST_F(StationsTest, DuplicateCallLettersAreRefusedInAnyLetterCase) {
    SeedStation("WAAA-FM", "Albany, NY", kQ1, 1);
    SeedStation("K'OB", "Quote Town", kQ1, 2);
    const std::string before = AllStations();
    for (const std::string& calls : {"WAAA-FM", "waaa-fm", " Waaa-Fm ", "K'OB", "k'ob"}) {
        std::string c = calls, l = "Elsewhere";
        EXPECT_EQ(StationSave::Duplicate, SaveStation(kQ1, 0, c, l)) << calls;
    }
    EXPECT_EQ(before, AllStations());
    // The same call letters in another quarter are a station of that quarter;
    // quotes in either field are stored unchanged and the calls come back as stored.
    EXPECT_EQ(StationSave::Saved, Save(kQ2, 0, "waaa-fm", "Albany, NY"));
    std::string calls = "o'brien's-fm", license = "O'Brien's Crossing; 'Quoted'";
    EXPECT_EQ(StationSave::Saved, SaveStation(kQ2, 0, calls, license));
    EXPECT_EQ("O'BRIEN'S-FM", calls);
    EXPECT_EQ((std::vector<std::string>{"WAAA-FM/Albany, NY/1",
                                        "O'BRIEN'S-FM/O'Brien's Crossing; 'Quoted'/2"}),
              Rows(kQ2));
    EXPECT_GT(IdOf("o'brien's-fm", kQ2), 0);
}

TEST_F(StationsTest, CallLettersBeyondAsciiCompareIgnoringCase) {
    EXPECT_EQ(StationSave::Saved, Save(kQ1, 0, "cjé-fm", "Montréal"));
    EXPECT_EQ(StationSave::Saved, Save(kQ1, 0, "ΣΚΑΪ", "Αθήνα"));
    for (const std::string& calls : {"CJÉ-FM", "Cjé-Fm", "σκαϊ", "ΣΚΑΪ"}) {
        std::string c = calls, l = "Elsewhere";
        EXPECT_EQ(StationSave::Duplicate, SaveStation(kQ1, 0, c, l)) << calls;
    }
    EXPECT_EQ((std::vector<std::string>{"CJÉ-FM/Montréal/1", "ΣΚΑΪ/Αθήνα/2"}), Rows(kQ1));
    EXPECT_GT(IdOf("cjé-fm", kQ1), 0);
    // The copy dialog does not offer a station the target has in another case,
    // and a copy never gives a quarter the same station twice.
    SeedStation("Cjé-fm", "Montréal", kQ2, 0);
    std::vector<std::string> offered;
    for (const StationRow& s : StationCopyCandidates(kQ2)) offered.push_back(s.calls);
    EXPECT_EQ((std::vector<std::string>{"ΣΚΑΪ"}), offered);
    EXPECT_EQ(1, CopyStationsToQuarter({{0, "ΣΚΑΪ", "A"}, {0, "σκαϊ", "B"}}, kQ2));
}

TEST_F(StationsTest, EditingKeepsRankAndChecksOtherStationsOnly) {
    SeedStation("WAAA", "Albany", kQ1, 4);
    SeedStation("WBBB", "Boston", kQ1, 7);
    const int64_t a = IdOf("WAAA", kQ1);
    ASSERT_GT(a, 0);

    // Saving a station unchanged (or only its case) is not a duplicate of itself.
    EXPECT_EQ(StationSave::Saved, Save(kQ1, a, "waaa", " Albany, NY "));
    EXPECT_EQ(StationSave::Duplicate, Save(kQ1, a, "wbbb", "Boston"));
    EXPECT_EQ(StationSave::Saved, Save(kQ1, a, "WCCC", "Chicago"));
    EXPECT_EQ((std::vector<std::string>{"WCCC/Chicago/4", "WBBB/Boston/7"}), Rows(kQ1));
}

TEST_F(StationsTest, EmptyOrRefusedSavesWriteNothing) {
    EXPECT_EQ(StationSave::Empty, Save(kQ1, 0, "   ", "Albany"));
    EXPECT_EQ(StationSave::Empty, Save(kQ1, 0, "WAAA", "  "));
    EXPECT_TRUE(Rows(kQ1).empty());

    SeedStation("WAAA", "Albany", kQ1, 1);
    ASSERT_EQ(0, slExe("CREATE TRIGGER refuse BEFORE INSERT ON Stations "
                       "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    const std::string before = AllStations();
    EXPECT_EQ(StationSave::Failed, Save(kQ1, 0, "WBBB", "Boston"));
    EXPECT_EQ(before, AllStations());
}

TEST_F(StationsTest, StationsOfQuarterFollowRank) {
    SeedStation("WCCC", "C", kQ1, 2);
    SeedStation("WAAA", "A", kQ1, 0);
    SeedStation("WBBB", "B", kQ1, 1);
    SeedStation("WZZZ", "Z", kQ2, 0);
    std::vector<std::string> calls;
    for (const StationRow& s : StationsOfQuarter(kQ1)) {
        EXPECT_GT(s.id, 0);
        calls.push_back(s.calls);
    }
    EXPECT_EQ((std::vector<std::string>{"WAAA", "WBBB", "WCCC"}), calls);
}

TEST_F(StationsTest, CandidatesLeaveOutStationsTheTargetHas) {
    SeedStation("WAAA", "Albany", kQ1, 0);
    SeedStation("WBBB", "Boston", kQ1, 1);
    SeedStation("WBBB", "Brookline", kQ3, 0);  // a later quarter, another city
    SeedStation("wccc", "Chicago", kQ3, 1);
    SeedStation("WCCC", "Chicago", kQ2, 0);  // already in the target (other letter case)
    std::vector<std::string> offered;
    for (const StationRow& s : StationCopyCandidates(kQ2))
        offered.push_back(s.calls + "/" + s.license);
    EXPECT_EQ((std::vector<std::string>{"WAAA/Albany", "WBBB/Boston", "WBBB/Brookline"}), offered);
}

TEST_F(StationsTest, CopiedStationsContinueAtTheCount) {
    SeedStation("KAAA", "A", kQ2, 0);
    SeedStation("KBBB", "B", kQ2, 1);
    SeedStation("KCCC", "C", kQ2, 2);
    EXPECT_EQ(2, CopyStationsToQuarter({{0, "WXXX", "X"}, {0, "WYYY", "Y"}}, kQ2));
    const std::vector<std::string> rows = Rows(kQ2);
    ASSERT_EQ(5u, rows.size());
    EXPECT_EQ("WXXX/X/3", rows[3]);
    EXPECT_EQ("WYYY/Y/4", rows[4]);

    // An empty quarter starts at 0.
    EXPECT_EQ(1, CopyStationsToQuarter({{0, "O'NEIL", "Quote Town"}}, kQ3));
    EXPECT_EQ((std::vector<std::string>{"O'NEIL/Quote Town/0"}), Rows(kQ3));
}

TEST_F(StationsTest, CopyNeverGivesAQuarterTheSameStationTwice) {
    SeedStation("KAAA", "A", kQ2, 0);
    // The same call letters listed once per city, and a station the target has.
    EXPECT_EQ(1, CopyStationsToQuarter(
                     {{0, "WBBB", "Boston"}, {0, "wbbb", "Brookline"}, {0, "kaaa", "A"}}, kQ2));
    EXPECT_EQ((std::vector<std::string>{"KAAA/A/0", "WBBB/Boston/1"}), Rows(kQ2));
    EXPECT_EQ(0, CopyStationsToQuarter({}, kQ2));
}

TEST_F(StationsTest, FailingCopyLeavesStationsAsTheyWere) {
    SeedStation("KAAA", "A", kQ2, 0);
    ASSERT_EQ(0, slExe("CREATE TRIGGER refuse BEFORE INSERT ON Stations WHEN NEW.Calls = 'WBAD' "
                       "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    const std::string before = AllStations();
    EXPECT_EQ(-1,
              CopyStationsToQuarter({{0, "WGOOD", "G"}, {0, "WBAD", "B"}, {0, "WLAST", "L"}}, kQ2));
    EXPECT_EQ(before, AllStations());
}

}  // namespace
