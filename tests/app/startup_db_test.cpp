// Opening the database at start-up: a damaged file, a file of another layout,
// a read-only data folder and a database held by another program are each
// said at once, and nothing is written into a file that should not be.
#include "app/startup_db.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>

#include "app/base/app_state.h"
#include "app/base/text_util.h"
#include "app/data_folder.h"
#include "app/toolkit/ez_testing.h"
#include "data/query.h"
#include "data/schema.h"
#include "editors/stations.h"
#include "support/prompt_queue.h"
#include "support/seed.h"
#include "support/test_env.h"

namespace fs = std::filesystem;

namespace {

class StartupDatabase : public ::testing::Test {
protected:
    void SetUp() override {
        DataFolderAccess() = DataFolderState{};
        fs::create_directories(Paths().dataFolder);
    }
    void TearDown() override {
        DataFolderAccess() = DataFolderState{};
        if (other) sqlite3_close(other);
    }
    std::string Db() const { return Paths().dataFolder + "VantrelData.db3"; }
    // A database in the current layout holding one station.
    void MakeDatabase() {
        ASSERT_TRUE(OpenDatabase());
        SeedStation("WAAA", "Town", 20191);
        slClose();
    }
    void OpenOther() { ASSERT_EQ(sqlite3_open(Db().c_str(), &other), SQLITE_OK); }
    std::string Text(const MsgRequest& m) const { return m.text1 + m.text2; }

    TempProgramFolder folder;
    sqlite3* other = nullptr;
};

TEST_F(StartupDatabase, AWholeWritableFileSaysNothing) {
    MakeDatabase();
    PromptQueue prompts;
    EXPECT_TRUE(OpenDatabaseAtStartup());
    EXPECT_TRUE(prompts.seen.empty());
    EXPECT_FALSE(slIsReadOnly());
}

TEST_F(StartupDatabase, DamagedFileOffersTheRestoreAndIsNotWritten) {
    ASSERT_TRUE(OpenDatabase());
    ExecSql("CREATE TABLE Filler (t)");
    for (int i = 0; i < 200; ++i) ExecSql("INSERT INTO Filler VALUES (hex(randomblob(300)))");
    slClose();
    {
        // Garbage over whole pages in the middle of the file, past the schema.
        std::fstream f(Db(), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(4096 * 4);
        std::string junk(4096 * 4, '\x5A');
        f.write(junk.data(), static_cast<std::streamsize>(junk.size()));
    }
    auto before = fs::last_write_time(Db());
    PromptQueue prompts;
    prompts.Expect("Database Damaged", 1);  // "Restore a Backup..."
    EXPECT_TRUE(OpenDatabaseAtStartup());
    // Answer 1 asks for the restore dialog, which needs the toolkit: here the
    // offer and the request are checked.
    EXPECT_EQ(EZ_TAKEUNSHOWN(), std::vector<std::string>{"form BU"});
    ASSERT_GE(prompts.seen.size(), 1u);
    EXPECT_EQ(prompts.seen[0].title, "Database Damaged");
    EXPECT_NE(Text(prompts.seen[0]).find(Db()), std::string::npos);
    EXPECT_NE(prompts.seen[0].buttons.find("Restore"), std::string::npos);
    EXPECT_TRUE(slIsReadOnly());
    EXPECT_TRUE(slIsDamaged());  // lists and reports made from it say they may be incomplete
    std::string calls = "WNEW", city = "Town";
    EXPECT_EQ(SaveStation(20191, 0, calls, city), StationSave::Failed);
    EXPECT_EQ(slGetError(), kDatabaseReadOnlyText);
    EXPECT_EQ(fs::last_write_time(Db()), before);
}

TEST_F(StartupDatabase, MissingTablesAndColumnsAreNamedAndNothingIsWritten) {
    struct Case {
        const char* change;
        const char* named;
    } cases[] = {
        {"DROP TABLE Quarter", "Quarter"},
        {"ALTER TABLE Master DROP COLUMN Frequency", "Master.Frequency"},
    };
    for (const Case& c : cases) {
        fs::remove(Db());
        ASSERT_TRUE(OpenDatabase());
        ExecSql(c.change);
        // An old file's missing License column would be added by the upgrade;
        // in a file of another layout it must stay missing.
        ExecSql("ALTER TABLE Stations DROP COLUMN License");
        slClose();
        PromptQueue prompts;
        prompts.Expect("Unexpected Database Layout");
        EXPECT_TRUE(OpenDatabaseAtStartup());
        ASSERT_EQ(prompts.Titles(), std::vector<std::string>{"Unexpected Database Layout"})
            << c.change;
        EXPECT_NE(Text(prompts.seen[0]).find(c.named), std::string::npos) << Text(prompts.seen[0]);
        EXPECT_TRUE(slIsReadOnly());
        EXPECT_TRUE(slGetTableColumnNames("Stations").find("License") == std::string::npos);
        slClose();
    }
}

TEST_F(StartupDatabase, EarlierLayoutIsStillUpgraded) {
    ASSERT_TRUE(OpenDatabase());
    ExecSql("ALTER TABLE Stations DROP COLUMN License");
    ExecSql("DROP TABLE DateTime");
    slClose();
    PromptQueue prompts;
    EXPECT_TRUE(OpenDatabaseAtStartup());
    EXPECT_TRUE(prompts.seen.empty()) << prompts.Titles()[0];
    EXPECT_NE(slGetTableColumnNames("Stations").find("License"), std::string::npos);
    EXPECT_FALSE(slGetTableColumnNames("DateTime").empty());
}

TEST_F(StartupDatabase, ReadOnlyDataFolderIsSaidAndEverySaveRefused) {
    MakeDatabase();
    DataFolderAccess() = {true, folder.path()};
    PromptQueue prompts;
    prompts.Expect("Data Cannot Be Saved");
    EXPECT_TRUE(OpenDatabaseAtStartup());
    ASSERT_EQ(prompts.Titles(), std::vector<std::string>{"Data Cannot Be Saved"});
    EXPECT_NE(Text(prompts.seen[0]).find(folder.path()), std::string::npos);
    EXPECT_TRUE(slIsReadOnly());
    // The data is there to read; a save is refused with a clear reason.
    ASSERT_EQ(StationsOfQuarter(20191).size(), 1u);
    std::string calls = "WNEW", city = "Town";
    EXPECT_EQ(SaveStation(20191, 0, calls, city), StationSave::Failed);
    EXPECT_EQ(slGetError(), kDatabaseReadOnlyText);
    EXPECT_EQ(StationsOfQuarter(20191).size(), 1u);
}

// A file from before the look-up indexes (here with an index of its own):
// read-only it opens as it is, with only the read-only notice; writable it
// gets the indexes, and no index is taken for a layout it lacks.
TEST_F(StartupDatabase, LookupIndexesComeOnlyWithAWritableFile) {
    MakeDatabase();
    auto indexes = [] {
        return slSelStr("SELECT name FROM sqlite_master WHERE type = 'index' ORDER BY name");
    };
    ASSERT_TRUE(OpenDatabase());
    for (const std::string& name : Split(indexes(), "\n")) ExecSql("DROP INDEX " + name);
    ExecSql("CREATE INDEX ProgramsByTitle ON Programs (Title)");
    slClose();

    DataFolderAccess() = {true, folder.path()};
    {
        PromptQueue prompts;
        prompts.Expect("Data Cannot Be Saved");
        EXPECT_TRUE(OpenDatabaseAtStartup());
        EXPECT_EQ(prompts.Titles(), std::vector<std::string>{"Data Cannot Be Saved"});
        EXPECT_EQ(indexes(), "ProgramsByTitle");
        EXPECT_EQ(StationsOfQuarter(20191).size(), 1u);
    }
    slClose();
    DataFolderAccess() = DataFolderState{};
    {
        PromptQueue prompts;
        EXPECT_TRUE(OpenDatabaseAtStartup());
        EXPECT_TRUE(prompts.seen.empty());
        EXPECT_EQ(Split(indexes(), "\n").size(), 7u);
        EXPECT_FALSE(slIsReadOnly());
    }
}

TEST_F(StartupDatabase, BusyDatabaseIsSaidWithARetry) {
    MakeDatabase();
    // An exclusive lock keeps readers out; an immediate one only writers.
    for (const char* lock : {"BEGIN EXCLUSIVE", "BEGIN IMMEDIATE"}) {
        OpenOther();
        ASSERT_EQ(sqlite3_exec(other, lock, nullptr, nullptr, nullptr), SQLITE_OK);
        {
            PromptQueue prompts;
            prompts.Expect("Database Busy", 2);  // Quit
            EXPECT_FALSE(OpenDatabaseAtStartup()) << lock;
            EXPECT_EQ(prompts.Titles(), std::vector<std::string>{"Database Busy"}) << lock;
        }
        {
            // The other program lets go while the message is up: Try Again opens it.
            PromptQueue prompts;
            prompts.ExpectWhileShown("Database Busy", 1, [&] {
                sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
            });
            ASSERT_EQ(sqlite3_exec(other, "ROLLBACK; ", nullptr, nullptr, nullptr), SQLITE_OK);
            ASSERT_EQ(sqlite3_exec(other, lock, nullptr, nullptr, nullptr), SQLITE_OK);
            EXPECT_TRUE(OpenDatabaseAtStartup()) << lock;
            EXPECT_EQ(prompts.Titles(), std::vector<std::string>{"Database Busy"}) << lock;
            EXPECT_TRUE(slIsOpen());
            EXPECT_FALSE(slIsReadOnly());
        }
        slClose();
        sqlite3_close(other);
        other = nullptr;
    }
}

}  // namespace
