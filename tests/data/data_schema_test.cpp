#include <gtest/gtest.h>

#include <filesystem>

#include "app/base/app_state.h"
#include "data/dates.h"
#include "data/db_check.h"
#include "data/query.h"
#include "data/schema.h"
#include "support/prompt_queue.h"
#include "support/test_env.h"
#include "ui/msgbox.h"

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kTables = {
    "CREATE TABLE Quarter (QID INTEGER PRIMARY KEY NOT NULL, StartDate,EndDate,QNumber)",
    "CREATE TABLE Stations (StnID INTEGER PRIMARY KEY NOT NULL, "
    "Calls COLLATE NOCASE,License,QtrID,Rank)",
    "CREATE TABLE Issues (IID INTEGER PRIMARY KEY NOT NULL, IQtr,SID,IIssue,IDescription,IRank)",
    "CREATE TABLE Programs (PID INTEGER PRIMARY KEY NOT NULL, Duration,Title,PDescription)",
    "CREATE TABLE Master (MID INTEGER PRIMARY KEY NOT NULL, "
    "AirDates,Qtr,Issue,Pgm,Station,FreqCheck,Frequency)",
    "CREATE TABLE DateTime (AID INTEGER PRIMARY KEY NOT NULL, MLink,AirDate,AirTime)",
    "CREATE TABLE Methods (DID INTEGER PRIMARY KEY NOT NULL, MQtrID,StnID,Method)",
};

std::vector<std::string> StoredTables() {
    std::vector<std::string> sql;
    ResultSet rs("SELECT sql FROM sqlite_master WHERE type = 'table' ORDER BY rowid");
    while (rs.next()) sql.push_back(rs["sql"]);
    return sql;
}

std::string AiringsOf(int mid) {
    return slSelStr("SELECT AirDate || ' ' || AirTime FROM DateTime WHERE MLink = " +
                        std::to_string(mid) + " ORDER BY AID",
                    "");
}

std::string Airing(int m, int d, int y, int minutes) {
    return std::to_string(Mdy2JulianDate(m, d, y)) + " " + std::to_string(minutes);
}

class Schema : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(Paths().dataFolder); }
    // Every message box that came, as "title: text".
    std::vector<std::string> Messages() const {
        std::vector<std::string> out;
        for (const MsgRequest& r : prompts.seen) out.push_back(r.title + ": " + r.text1);
        return out;
    }

    // A database file of an earlier release: no DateTime table, optionally no License.
    void BuildOldFile(bool withLicense, bool withMaster = true) {
        ASSERT_EQ(slOpen(path, "C"), 0);
        std::string stations = withLicense ? "Calls COLLATE NOCASE,License,QtrID,Rank"
                                           : "Calls COLLATE NOCASE,QtrID,Rank";
        ASSERT_EQ(slExe("CREATE TABLE Quarter (QID INTEGER PRIMARY KEY NOT NULL, "
                        "StartDate,EndDate,QNumber);"
                        "CREATE TABLE Stations (StnID INTEGER PRIMARY KEY NOT NULL, " +
                        stations +
                        ");"
                        "CREATE TABLE Issues (IID INTEGER PRIMARY KEY NOT NULL, "
                        "IQtr,SID,IIssue,IDescription,IRank);"
                        "CREATE TABLE Programs (PID INTEGER PRIMARY KEY NOT NULL, "
                        "Duration,Title,PDescription);"
                        "CREATE TABLE Methods (DID INTEGER PRIMARY KEY NOT NULL, "
                        "MQtrID,StnID,Method);"),
                  0);
        if (withMaster) {
            ASSERT_EQ(slExe("CREATE TABLE Master (MID INTEGER PRIMARY KEY NOT NULL, "
                            "AirDates,Qtr,Issue,Pgm,Station,FreqCheck,Frequency)"),
                      0);
        }
        ASSERT_EQ(slExe("INSERT INTO Stations (Calls,QtrID,Rank) VALUES ('WWWW-AM',20111,0)"), 0);
    }
    void AddOldEntry(int mid, const std::string& airDates) {
        ASSERT_EQ(slExe("INSERT INTO Master (MID,AirDates,Qtr) VALUES (" + std::to_string(mid) +
                        "," + SqlQuoted(airDates) + ",20111)"),
                  0);
    }

    TempProgramFolder folder;
    std::string path = Paths().dataFolder + "VantrelData.db3";
    PromptQueue prompts;
};

TEST_F(Schema, NewFileHoldsTheSevenTablesAsGiven) {
    ASSERT_TRUE(OpenDatabase());
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(StoredTables(), kTables);
    EXPECT_TRUE(prompts.seen.empty());
    // Call letters compare without regard to case.
    ASSERT_EQ(slExe("INSERT INTO Stations (Calls,QtrID) VALUES ('wwww-am',20111)"), 0);
    EXPECT_EQ(CountWhere("Stations", "Calls = 'WWWW-AM'"), 1);
}

TEST_F(Schema, SecondOpenChangesNothing) {
    ASSERT_TRUE(OpenDatabase());
    slClose();
    ASSERT_TRUE(OpenDatabase());
    EXPECT_EQ(StoredTables(), kTables);
    EXPECT_TRUE(prompts.seen.empty());
}

TEST_F(Schema, EarliestLayoutIsUpgraded) {
    BuildOldFile(false);
    // Three airings with the one-byte separator, two with the UTF-8 form and "/" dates,
    // an empty text, and a mix of readable and unreadable entries.
    AddOldEntry(1,
                "3-15-2013 14:30\xD7"
                "3-16-2013 9:05\xD7"
                "12-31-2013 0:00");
    AddOldEntry(2,
                "01/02/2013 23:59\xC3\x97"
                "1/3/2013 6:00");
    AddOldEntry(3, "");
    AddOldEntry(4,
                "13-45-2013 10:00\xD7"
                "2-29-2013 1:00\xD7"
                "3-15-2013\xD7"
                "garbage\xD7"
                " 2-28-2013 7:15 \xD7"
                "3-15-2013 24:00\xD7");
    slClose();

    prompts.Expect("Database Conversion");
    ASSERT_TRUE(OpenDatabaseFile(path));
    EXPECT_NE(slGetTableColumnNames("Stations").find("License"), std::string::npos);
    EXPECT_EQ(SelectText("Stations", "License", "Calls = 'wwww-am'"), "");
    EXPECT_EQ(AiringsOf(1), Airing(3, 15, 2013, 870) + "\n" + Airing(3, 16, 2013, 545) + "\n" +
                                Airing(12, 31, 2013, 0));
    EXPECT_EQ(AiringsOf(2), Airing(1, 2, 2013, 1439) + "\n" + Airing(1, 3, 2013, 360));
    EXPECT_EQ(AiringsOf(3), "");
    EXPECT_EQ(AiringsOf(4), Airing(2, 28, 2013, 435));
    EXPECT_EQ(slSelStr("SELECT typeof(AirDate) || typeof(AirTime) || typeof(MLink) "
                       "FROM DateTime LIMIT 1"),
              "integerintegerinteger");
    // The five unreadable entries are reported once, and the old text stays.
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find("5 old air date entries"), std::string::npos);
    EXPECT_EQ(SelectText("Master", "AirDates", "MID = 3"), "");
    EXPECT_EQ(SelectText("Master", "AirDates", "MID = 2"),
              "01/02/2013 23:59\xC3\x97"
              "1/3/2013 6:00");

    std::string before =
        slSelStr("SELECT sql FROM sqlite_master") + "#" + slSelStr("SELECT * FROM DateTime");
    slClose();
    prompts.seen.clear();
    ASSERT_TRUE(OpenDatabaseFile(path));
    EXPECT_EQ(slSelStr("SELECT sql FROM sqlite_master") + "#" + slSelStr("SELECT * FROM DateTime"),
              before);
    EXPECT_TRUE(prompts.seen.empty());
}

// The look-up indexes stand beside the tables: the tables stay as given, the
// file stays a whole database for any copy of the program, an older file gets
// them with its upgrade, and a file that may only be read gets none and no
// message.
TEST_F(Schema, LookupIndexesLeaveTheTablesAsGiven) {
    auto indexes = [] {
        return slSelStr("SELECT name FROM sqlite_master WHERE type = 'index' ORDER BY name", "");
    };
    const std::string all =
        "DateTimeByEntry\nIssuesByStation\nMasterByQuarter\nMasterByStation\n"
        "MethodsByStation\nStationsByQuarter";
    BuildOldFile(false);
    AddOldEntry(1, "3-15-2013 14:30");
    slClose();
    ASSERT_EQ(slOpen(path, "R"), 0);
    CreateLookupIndexes();
    EXPECT_EQ(indexes(), "");
    EXPECT_EQ(slGetError(), "");
    slClose();

    ASSERT_TRUE(OpenDatabaseFile(path));
    EXPECT_EQ(indexes(), all);
    EXPECT_EQ(AiringsOf(1), Airing(3, 15, 2013, 870));
    slClose();
    fs::remove(path);
    ASSERT_TRUE(OpenDatabaseFile(path));
    EXPECT_EQ(StoredTables(), kTables);
    EXPECT_EQ(indexes(), all);
    bool failed = true;
    EXPECT_TRUE(MissingSchemaItems(failed).empty());
    EXPECT_FALSE(failed);
    slClose();
    std::string problem;
    EXPECT_TRUE(IsWorkingDatabase(path, problem)) << problem;
    EXPECT_TRUE(prompts.seen.empty());
}

TEST_F(Schema, FileWithLicenseButNoDateTime) {
    BuildOldFile(true);
    ASSERT_EQ(slExe("UPDATE Stations SET License = 'Springfield, IL'"), 0);
    AddOldEntry(7, "6-24-2019 12:00");
    slClose();

    ASSERT_TRUE(OpenDatabaseFile(path));
    EXPECT_EQ(slGetTableColumnNames("Stations"), "StnID,Calls,License,QtrID,Rank");
    EXPECT_EQ(SelectText("Stations", "License", "1"), "Springfield, IL");
    EXPECT_EQ(AiringsOf(7), Airing(6, 24, 2019, 720));
    EXPECT_TRUE(prompts.seen.empty());
}

TEST_F(Schema, ConversionReportsAFailingSelect) {
    BuildOldFile(true, false);  // no Master table to convert from
    slClose();
    prompts.Expect("Database Conversion Error");
    ASSERT_TRUE(OpenDatabaseFile(path));
    EXPECT_EQ(Messages(), std::vector<std::string>{"Database Conversion Error: Unable to convert "
                                                   "existing database program dates.{f10}"});
    // The table exists, so the conversion is not tried again.
    EXPECT_FALSE(slSelStr("Pragma table_info(DateTime)").empty());
    slClose();
    prompts.seen.clear();
    ASSERT_TRUE(OpenDatabaseFile(path));
    EXPECT_TRUE(prompts.seen.empty());
}

TEST_F(Schema, EmptyExistingFileIsSetUpAsNew) {
    WriteFileText(path, "");
    ASSERT_TRUE(OpenDatabaseFile(path));
    EXPECT_EQ(StoredTables(), kTables);
}

TEST_F(Schema, FileThatCannotBeCreatedFails) {
    EXPECT_FALSE(OpenDatabaseFile(folder.path() + "missing/folder/VantrelData.db3"));
    EXPECT_FALSE(slGetError().empty());
    EXPECT_FALSE(slIsOpen());
    // A file that is no database at all is not taken for one.
    WriteFileText(path, std::string(4096, 'J'));
    EXPECT_FALSE(OpenDatabaseFile(path));
    EXPECT_EQ(ReadFileText(path), std::string(4096, 'J'));
}

}  // namespace
