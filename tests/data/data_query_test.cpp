#include <gtest/gtest.h>

#include <optional>

#include "data/query.h"
#include "support/test_env.h"

namespace {

class QueryLayer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.OpenFreshDatabase()); }

    long long AddStation(const std::string& calls, int quarter, int rank) {
        EXPECT_EQ(slExe(slBuildInsertOrUpdate(
                      "Stations", NulJoin({calls, std::to_string(quarter), std::to_string(rank)}),
                      "Calls,QtrID,Rank", "")),
                  0);
        return slGetInsertID();
    }
    long long AddIssue(const std::string& title, long long station, int quarter, int rank) {
        EXPECT_EQ(
            slExe(slBuildInsertOrUpdate("Issues",
                                        NulJoin({std::to_string(quarter), std::to_string(station),
                                                 title, "d", std::to_string(rank)}),
                                        "IQtr,SID,IIssue,IDescription,IRank", "")),
            0);
        return slGetInsertID();
    }

    TempProgramFolder folder;
};

TEST_F(QueryLayer, NestedSetsKeepTheirOwnRows) {
    AddStation("AAAA", 20111, 0);
    AddStation("BBBB", 20111, 1);
    AddStation("CCCC", 20112, 0);

    int outer = slGetUnusedSetNumber();
    ASSERT_EQ(slSel("SELECT Calls, QtrID FROM Stations WHERE QtrID = 20111 ORDER BY Rank", outer),
              0);
    std::vector<std::string> seen;
    while (slGetRow(outer)) {
        int inner = slGetUnusedSetNumber();
        ASSERT_NE(inner, outer);
        ASSERT_EQ(slSel("SELECT Calls FROM Stations WHERE QtrID = 20112", inner), 0);
        ASSERT_TRUE(slGetRow(inner));
        EXPECT_EQ(slFN("calls", inner), "CCCC");
        EXPECT_FALSE(slGetRow(inner));
        slCloseSet(inner);
        // Column names match ignoring case and a table prefix; unknown names give "".
        seen.push_back(slFN("CALLS", outer) + "/" + slFN("Stations.QtrID", outer));
        EXPECT_EQ(slFN("NoSuchColumn", outer), "");
    }
    slCloseSet(outer);
    EXPECT_EQ(seen, (std::vector<std::string>{"AAAA/20111", "BBBB/20111"}));
    EXPECT_EQ(slFN("Calls", outer), "");  // closed set
}

TEST_F(QueryLayer, InsertsWhileASetIsWalked) {
    for (int i = 0; i < 5; ++i) AddStation("S" + std::to_string(i), 20111, i);
    int walked = 0;
    {
        ResultSet rs("SELECT Calls, Rank FROM Stations WHERE QtrID = 20111 ORDER BY Rank");
        while (rs.next()) {
            ++walked;
            AddStation(rs["Calls"], 20112, static_cast<int>(std::stoi(rs["Rank"])));
        }
    }
    EXPECT_EQ(walked, 5);
    EXPECT_EQ(CountWhere("Stations", "QtrID = 20112"), 5);
}

TEST_F(QueryLayer, InsertIdSurvivesSelectsOnOtherSets) {
    AddStation("AAAA", 20111, 0);
    long long id = AddStation("BBBB", 20111, 1);
    {
        ResultSet rs("SELECT StnID FROM Stations ORDER BY StnID");
        while (rs.next()) {
        }
    }
    EXPECT_EQ(SelectText("Stations", "COUNT(*)", "1"), "2");
    EXPECT_EQ(slGetInsertID(), id);
    EXPECT_EQ(StationIdByCalls("BBBB", "20111"), id);
}

TEST_F(QueryLayer, QuotesAreStoredAndFoundUnchanged) {
    long long stn = AddStation("O'Brien's", 20111, 0);
    EXPECT_EQ(StationIdByCalls("O'Brien's", "20111"), stn);
    EXPECT_EQ(StationIdByCalls("o'brien's", "20111"), stn);  // NOCASE
    EXPECT_EQ(StationIdByCalls("O'Brien's", "20112"), 0);
    long long iid = AddIssue("Kids' 'safety'", stn, 20111, 1);
    EXPECT_EQ(SelectField("Issues", "IIssue", "IID = " + std::to_string(iid)), "Kids' 'safety'");
    EXPECT_EQ(SqlQuoted("it's"), "'it''s'");
    EXPECT_EQ(SqlEscape("''"), "''''");
}

TEST_F(QueryLayer, BuilderStatementText) {
    EXPECT_EQ(slBuildInsertOrUpdate("Stations", NulJoin({"O'Brien", "20111", "x y"}),
                                    "Calls,QtrID,License", ""),
              "INSERT INTO Stations (Calls,QtrID,License) VALUES ('O''Brien',20111,'x y')");
    EXPECT_EQ(
        slBuildInsertOrUpdate("Stations", NulJoin({"WXYZ", "007"}), "Calls,Rank", "StnID = 4"),
        "UPDATE Stations SET Calls='WXYZ',Rank=7 WHERE StnID = 4");
}

TEST_F(QueryLayer, StorageTypeFollowsTheColumn) {
    struct Case {
        std::string table, columns;
        std::vector<std::string> values;
        std::string column, expectedType;
    } cases[] = {
        {"Issues", "IQtr,SID,IIssue,IRank", {"20111", "1", "2019", "-3"}, "IIssue", "text"},
        {"Issues", "IQtr,SID,IIssue,IRank", {"20111", "1", "Crime", "-3"}, "IRank", "integer"},
        {"Issues", "IQtr,SID,IIssue,IRank", {"abc", "1", "Crime", "0"}, "IQtr", "text"},
        {"Stations", "Calls,QtrID,Rank", {"1234", "20111", "0"}, "Calls", "text"},
        {"Stations", "Calls,QtrID,Rank", {"1234", "20111", "0"}, "QtrID", "integer"},
        {"Stations", "Calls,QtrID,Rank", {"WWWW", "", "0"}, "QtrID", "text"},
        {"Master",
         "Qtr,Issue,Pgm,Station,FreqCheck,Frequency",
         {"20111", "12", "3", "4", "1", "0"},
         "Issue",
         "text"},
        {"Master",
         "Qtr,Issue,Pgm,Station,FreqCheck,Frequency",
         {"20111", "12", "3", "4", "1", "0"},
         "FreqCheck",
         "integer"},
        {"Master",
         "Qtr,Issue,Pgm,Station,FreqCheck,Frequency",
         {"20111", "12", "3", "4", "1", "0"},
         "Frequency",
         "integer"},
        {"Programs", "Duration,Title,PDescription", {"30", "1999", "42"}, "Duration", "text"},
        {"DateTime", "MLink,AirDate,AirTime", {"1", "2456367", "870"}, "AirTime", "integer"},
        {"Methods", "MQtrID,StnID,Method", {"20111", "2", "5"}, "Method", "text"},
        {"Quarter",
         "StartDate,EndDate,QNumber",
         {"2455563", "2455652", "20111"},
         "QNumber",
         "integer"},
        // Too long to be an integer without loss: kept as the text given.
        {"Quarter",
         "StartDate,EndDate,QNumber",
         {"1", "2", "12345678901234567890"},
         "QNumber",
         "text"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(slExe(slBuildInsertOrUpdate(c.table, NulJoin(c.values), c.columns, "")), 0)
            << c.table;
        long long id = slGetInsertID();
        std::string key = c.table == "Quarter"    ? "QID"
                          : c.table == "Stations" ? "StnID"
                          : c.table == "Issues"   ? "IID"
                          : c.table == "Programs" ? "PID"
                          : c.table == "Master"   ? "MID"
                          : c.table == "DateTime" ? "AID"
                                                  : "DID";
        EXPECT_EQ(slSelStr("SELECT typeof(" + c.column + ") FROM " + c.table + " WHERE " + key +
                           " = " + std::to_string(id)),
                  c.expectedType)
            << c.table << "." << c.column;
    }
    // Text that looks like a number is found by quoted comparison, integers unquoted.
    EXPECT_EQ(CountWhere("Issues", "IIssue = '2019'"), 1);
    EXPECT_EQ(CountWhere("Stations", "Calls = '1234' AND QtrID = 20111"), 2);
    EXPECT_EQ(CountWhere("Master", "Issue = '12' AND Qtr = 20111"), 3);
}

TEST_F(QueryLayer, FailingSelectYieldsNoRows) {
    int set = slGetUnusedSetNumber();
    EXPECT_NE(slSel("SELECT x FROM NoSuchTable", set), 0);
    EXPECT_FALSE(slGetRow(set));
    EXPECT_EQ(slFN("x", set), "");
    EXPECT_NE(slGetError().find("NoSuchTable"), std::string::npos);

    ResultSet rs("SELEC broken");
    EXPECT_FALSE(rs.ok());
    EXPECT_FALSE(rs.next());
    EXPECT_EQ(CountWhere("NoSuchTable", "1"), 0);
    EXPECT_EQ(CountWhere("Stations", "NoSuchColumn = 1"), 0);
    EXPECT_EQ(SelectField("NoSuchTable", "x", "1"), "");
    EXPECT_EQ(SelectText("NoSuchTable", "x", "1"), "");
    EXPECT_EQ(SelectNumber("NoSuchTable", "x", "1"), 0);
}

TEST_F(QueryLayer, FailedResultSetDoesNotCloseAnotherSet) {
    AddStation("AAAA", 20111, 0);
    std::optional<ResultSet> failed;
    failed.emplace("SELECT x FROM NoSuchTable");
    ResultSet good("SELECT Calls FROM Stations");  // may take the same set number
    failed.reset();
    ASSERT_TRUE(good.next());
    EXPECT_EQ(good["Calls"], "AAAA");
}

TEST_F(QueryLayer, FailingBatchLeavesNothingBehind) {
    std::string batch =
        "Begin;" +
        slBuildInsertOrUpdate("Stations", NulJoin({"AAAA", "20111", "0"}), "Calls,QtrID,Rank", "") +
        ";INSERT INTO NoSuchTable (x) VALUES (1);" +
        slBuildInsertOrUpdate("Stations", NulJoin({"BBBB", "20111", "1"}), "Calls,QtrID,Rank", "") +
        ";End";
    EXPECT_NE(slExe(batch), 0);
    EXPECT_EQ(CountWhere("Stations", "1"), 0);
    EXPECT_FALSE(slGetError().empty());

    // The connection is usable afterwards and not left inside a transaction.
    AddStation("CCCC", 20111, 0);
    slClose();
    ASSERT_TRUE(folder.OpenFreshDatabase());
    EXPECT_EQ(CountWhere("Stations", "1"), 1);

    // A good batch saves everything.
    EXPECT_EQ(slExe("Begin;INSERT INTO Stations (Calls) VALUES ('X');"
                    "INSERT INTO Stations (Calls) VALUES ('Y');End"),
              0);
    EXPECT_EQ(CountWhere("Stations", "1"), 3);
    EXPECT_EQ(slExe(""), 0);
    EXPECT_EQ(slExe(" ; ;"), 0);
}

TEST_F(QueryLayer, IssueIdListSkipsMissingTitles) {
    long long stn = AddStation("WWWW", 20111, 0);
    std::string a = std::to_string(AddIssue("Crime", stn, 20111, 1));
    std::string b = std::to_string(AddIssue("Schools", stn, 20111, 2));
    std::string c = std::to_string(AddIssue("O'Hare noise", stn, 20111, 3));
    AddIssue("Roads", stn, 20112, 1);  // other quarter
    struct Case {
        std::vector<std::string> titles;
        std::string expected;
    } cases[] = {
        {{"Crime", "Missing", "Schools"}, a + "|" + b},
        {{"Crime", "Gone", "Lost", "O'Hare noise"}, a + "|" + c},
        {{"Missing", "Schools"}, b},
        {{"Schools", "Missing"}, b},
        {{"Missing", "Roads"}, ""},
        {{}, ""},
        {{"O'Hare noise", "Crime", "Schools"}, c + "|" + a + "|" + b},
    };
    for (const Case& k : cases) EXPECT_EQ(IssueIdList(k.titles, stn, "20111"), k.expected);
}

TEST_F(QueryLayer, SelectToText) {
    AddStation("AAAA", 20111, 0);
    AddStation("BBBB", 20111, 1);
    EXPECT_EQ(slSelStr("SELECT Calls FROM Stations WHERE Rank = 1"), "BBBB");
    EXPECT_EQ(slSelStr("SELECT Calls, Rank FROM Stations WHERE Rank = 1", "Q124"), "BBBB|1");
    EXPECT_EQ(slSelStr("SELECT Calls FROM Stations WHERE Rank = 9"), "");
    std::string two = slSelStr("SELECT Calls, Rank FROM Stations ORDER BY Rank", "Q124");
    EXPECT_NE(two.find("AAAA|0"), std::string::npos);
    EXPECT_NE(two.find("BBBB|1"), std::string::npos);
    EXPECT_EQ(SelectNumber("Issues", "MAX(IRank)", "SID = 1"), 0);  // NULL -> 0
    EXPECT_EQ(SelectNumber("Stations", "MAX(Rank)", "QtrID = 20111"), 1);
    EXPECT_EQ(slGetTableColumnNames("Stations"), "StnID,Calls,License,QtrID,Rank");
    EXPECT_EQ(slGetTableColumnNames("NoSuchTable"), "");
}

TEST_F(QueryLayer, ProgramByIdLeavesValuesWhenMissing) {
    ASSERT_EQ(slExe(slBuildInsertOrUpdate("Programs", NulJoin({"30 min", "Talk", "About it"}),
                                          "Duration,Title,PDescription", "")),
              0);
    const RowId pid = slGetInsertID();
    std::string d = "x", t = "y", p = "z";
    ProgramById(999, d, t, p);
    EXPECT_EQ(d + t + p, "xyz");
    ProgramById(pid, d, t, p);
    EXPECT_EQ(d, "30 min");
    EXPECT_EQ(t, "Talk");
    EXPECT_EQ(p, "About it");
}

TEST_F(QueryLayer, ValuesByPosition) {
    AddStation("KÖLN-FM", 20111, 7);
    slExe("UPDATE Stations SET License = NULL");
    ResultSet rs("SELECT Calls, Rank, License, QtrID FROM Stations");
    // No row is current before the first next().
    EXPECT_EQ(rs.integer(1), 0);
    EXPECT_EQ(rs.text(0), "");
    ASSERT_TRUE(rs.next());
    EXPECT_EQ(rs.text(0), "KÖLN-FM");
    EXPECT_EQ(rs.integer(1), 7);
    EXPECT_EQ(rs.text(1), "7");  // numbers read as text too
    EXPECT_EQ(rs.text(2), "");   // NULL
    EXPECT_EQ(rs.integer(3), 20111);
    EXPECT_EQ(rs.integer(4), 0);  // past the last column
    EXPECT_EQ(rs.text(-1), "");
    EXPECT_FALSE(rs.next());
    EXPECT_EQ(rs.text(0), "");  // after the last row
    ResultSet failed("SELEC broken");
    EXPECT_EQ(failed.integer(0), 0);
}

TEST_F(QueryLayer, ClosedConnectionFailsQuietly) {
    AddStation("AAAA", 20111, 0);
    ResultSet open("SELECT Calls FROM Stations");
    ASSERT_TRUE(open.next());
    slClose();  // with a set still open
    EXPECT_FALSE(slIsOpen());
    EXPECT_FALSE(open.next());
    EXPECT_NE(slExe("DELETE FROM Stations"), 0);
    EXPECT_EQ(CountWhere("Stations", "1"), 0);
    EXPECT_EQ(slGetInsertID(), 0);
    // After reopening, the stale set cannot touch a new set that took its number.
    ASSERT_TRUE(folder.OpenFreshDatabase());
    {
        std::optional<ResultSet> stale;
        stale.emplace("SELECT Calls FROM Stations");
        slClose();
        ASSERT_TRUE(folder.OpenFreshDatabase());
        ResultSet fresh("SELECT Calls FROM Stations");
        EXPECT_FALSE(stale->next());
        EXPECT_EQ(stale->text(0), "");
        stale.reset();
        ASSERT_TRUE(fresh.next());
        EXPECT_EQ(fresh["Calls"], "AAAA");
    }
    EXPECT_NE(slOpen(folder.path() + "no/such/dir/x.db3", "C"), 0);
    EXPECT_FALSE(slGetError().empty());
}

}  // namespace

namespace {

// Call letters are declared COLLATE NOCASE; on the program's connection that
// ignores letter case beyond ASCII too, while the stored schema stays as it is.
TEST_F(QueryLayer, CaseBlindComparisonsFollowUnicode) {
    AddStation("CJÉ-FM", 20111, 0);
    AddStation("ŁÓDŹ", 20111, 1);
    AddStation("wxyz", 20111, 2);
    EXPECT_GT(StationIdByCalls("cjé-fm", "20111"), 0);
    EXPECT_EQ(CountWhere("Stations", "Calls = 'łódź'"), 1);
    EXPECT_EQ(CountWhere("Stations", "Calls = 'WXYZ'"), 1);
    EXPECT_EQ(CountWhere("Stations", "Calls = 'lodz'"), 0);
    EXPECT_EQ(CountWhere("Stations", "Calls IN ('cjé-fm', 'x')"), 1);
    EXPECT_EQ(slSelStr("SELECT Calls FROM Stations ORDER BY Calls", "Q124"),
              slSelStr("SELECT Calls FROM Stations ORDER BY lower(Calls)", "Q124"));
    EXPECT_EQ(SelectField("sqlite_master", "sql", "name = 'Stations'"),
              "CREATE TABLE Stations (StnID INTEGER PRIMARY KEY NOT NULL, "
              "Calls COLLATE NOCASE,License,QtrID,Rank)");
}

}  // namespace
