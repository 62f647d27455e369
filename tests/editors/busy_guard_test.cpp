// A check that guards a write never takes a failed select for "no rows".
// Another program holds the database while the check runs and lets go right
// after, so the write that follows would succeed: the save must stop instead.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>

#include "app/base/app_state.h"
#include "app/base/text_util.h"
#include "data/query.h"
#include "editors/issues.h"
#include "editors/program_entry.h"
#include "editors/stations.h"
#include "support/form_fixture.h"
#include "support/test_env.h"

namespace {

class BusyGuard : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.OpenFreshDatabase()); }
    void TearDown() override {
        if (other) sqlite3_close(other);
    }
    // Runs the save while another connection holds an exclusive lock that it
    // releases the first time this program's connection waits for it.
    template <typename Save>
    void WhileHeldOnce(Save save) {
        ASSERT_EQ(sqlite3_open((Paths().dataFolder + "VantrelData.db3").c_str(), &other),
                  SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        waits = 0;
        sqlite3_busy_handler(
            slHandle(),
            [](void* self, int) {
                auto* t = static_cast<BusyGuard*>(self);
                ++t->waits;
                sqlite3_exec(t->other, "ROLLBACK", nullptr, nullptr, nullptr);
                return 0;  // give up at once: the statement fails as busy
            },
            this);
        save();
        sqlite3_busy_timeout(slHandle(), 2000);
        EXPECT_EQ(waits, 1);
    }
    long long Count(const std::string& sql) { return Val(slSelStr(sql)); }

    TempProgramFolder folder;
    sqlite3* other = nullptr;
    int waits = 0;
};

TEST_F(BusyGuard, StationSaveAndCopiesStopWithoutWriting) {
    const int64_t waaa = SeedStation("WAAA", "Town", 20191, 0);
    SeedIssue(waaa, 20191, "Crime", "text", 0);
    const int64_t wbbb = SeedStation("WBBB", "City", 20191, 1);
    SeedIssue(wbbb, 20191, "Crime", "text", 0);
    struct Case {
        const char* what;
        std::function<bool()> save;  // true when the save reported failure
    } cases[] = {
        {"add station",
         [] {
             std::string calls = "waaa", city = "Other";
             return SaveStation(20191, 0, calls, city) == StationSave::Failed;
         }},
        {"copy stations",
         [] {
             return CopyStationsToQuarter({{0, "WAAA", "Town"}}, 20191) == -1;
         }},
        {"copy issues",
         [&] {
             return !CopyIssuesToStations(20191, {{1, "Crime"}}, {wbbb}).ok;
         }},
    };
    for (const Case& c : cases) {
        bool failed = false;
        WhileHeldOnce([&] { failed = c.save(); });
        EXPECT_TRUE(failed) << c.what;
        EXPECT_TRUE(slErrorIsBusy()) << c.what << ": " << slGetError();
        EXPECT_EQ(Count("SELECT COUNT(*) FROM Stations"), 2) << c.what;
        EXPECT_EQ(Count("SELECT COUNT(*) FROM Issues"), 2) << c.what;
    }
}

TEST_F(BusyGuard, IssueInUseIsNotTakenForUnused) {
    const int64_t station = SeedStation("WAAA", "Town", 20191, 0);
    const int64_t issue = SeedIssue(station, 20191, "Crime", "text", 0);
    SeedEntry(station, 20191, std::to_string(issue));
    int uses = 0;
    WhileHeldOnce([&] { uses = CountIssueUses(issue); });
    EXPECT_EQ(uses, -1);
    EXPECT_EQ(CountIssueUses(issue), 1);
}

TEST_F(BusyGuard, EditedEntryIsNotSavedAsASecondOne) {
    const int64_t station = SeedStation("WAAA", "Town", 20191, 0);
    ProgramEntry e;
    e.quarter = 20191;
    e.stationId = station;
    e.stationCalls = "WAAA";
    e.title = "Morning Talk";
    e.duration = "30 minutes";
    std::string error;
    ASSERT_TRUE(SaveProgramEntry(e, 0, error)) << error;
    e.title = "Evening Talk";
    bool saved = true;
    WhileHeldOnce([&] { saved = SaveProgramEntry(e, 0, error); });
    EXPECT_FALSE(saved);
    EXPECT_EQ(error, kDatabaseBusyText);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Programs"), 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Master"), 1);
    EXPECT_EQ(slSelStr("SELECT Title FROM Programs"), "Morning Talk");
}

}  // namespace
