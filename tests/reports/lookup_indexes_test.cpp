// The look-up indexes beside the tables: the key queries of the list, the
// editors and the reports find their rows through them, no list, report or
// editor shows its rows in another order because of them, and the analysis of
// all stations read for the whole quarter at once equals each station's own.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/base/text_util.h"
#include "data/program_list.h"
#include "data/query.h"
#include "data/schema.h"
#include "editors/issues.h"
#include "editors/stations.h"
#include "reports/analysis_report.h"
#include "reports/issues_programs_list.h"
#include "support/days.h"
#include "support/report_fixture.h"
#include "support/test_env.h"

namespace {

constexpr int32_t kQuarter = 20192;

std::vector<std::string> LookupIndexes() {
    std::vector<std::string> names;
    ResultSet rs(
        "SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL ORDER BY name");
    while (rs.next()) names.push_back(rs["name"]);
    return names;
}

std::string Plan(const std::string& query) {
    std::vector<std::string> steps;
    ResultSet rs("EXPLAIN QUERY PLAN " + query);
    while (rs.next()) steps.push_back(rs["detail"]);
    return Join(steps, " / ");
}

class Lookups : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.OpenFreshDatabase());
        Transaction tx;
        // Station ids follow the call letters; the entries name the stations
        // in another order, mixed with entries of another quarter.
        for (const char* calls : {"KAAA", "KBBB", "KCCC", "KDDD"})
            sids.push_back(SeedStation(calls, "Town", kQuarter));
        const RowId old = SeedStation("KAAA", "Town", 20191);
        // Issues written across stations, with equal ranks inside a station.
        std::vector<std::vector<std::string>> issues(sids.size());
        for (int rank : {2, 1, 1, 0}) {
            for (size_t s = 0; s < sids.size(); ++s)
                issues[s].push_back(std::to_string(SeedIssue(sids[s], kQuarter,
                                                             "Issue " + std::to_string(rank) +
                                                                 " of " + std::to_string(s) + "-" +
                                                                 std::to_string(issues[s].size()),
                                                             "", rank)));
        }
        struct Entry {
            size_t station;
            std::string issues;
            std::vector<std::pair<int32_t, int32_t>> airings;
        };
        const std::vector<Entry> entries = {
            {2,
             issues[2][0] + "|" + issues[2][1],
             {{Day(2019, 5, 2), 600}, {Day(2019, 4, 9), 700}}},
            {0, issues[0][3], {{Day(2019, 6, 1), 540}}},
            {3, issues[3][2] + "|" + issues[3][2], {}},
            {0,
             issues[0][1] + "|" + issues[1][0],
             {{Day(2019, 4, 1), 60}, {Day(2019, 6, 30), 1380}}},
            {1, "", {{Day(2019, 5, 5), 800}}},
            {2,
             issues[2][3],
             {{Day(2019, 4, 4), 900}, {Day(2019, 4, 4), 100}, {Day(2019, 4, 5), 100}}},
            {0, issues[0][1], {{Day(2019, 5, 20), 720}}},
        };
        for (size_t i = 0; i < entries.size(); ++i) {
            const Entry& e = entries[i];
            SeedProgram({.station = sids[e.station],
                         .quarter = kQuarter,
                         .issues = e.issues,
                         .title = "Program " + std::to_string(i),
                         .duration = "30",
                         .description = "About it",
                         .airings = e.airings});
            if (i % 3 == 0)
                SeedProgram({.station = old,
                             .quarter = 20191,
                             .title = "Older " + std::to_string(i),
                             .duration = "5",
                             .airings = {{0, 0}}});
        }
        ASSERT_TRUE(tx.Commit());
    }

    // Everything the list, the editors and the reports read in an order of
    // the database's choosing.
    std::string Snapshot() const {
        std::ostringstream out;
        const std::vector<std::string> stations = StationsWithPrograms(kQuarter);
        out << Join(stations, ",") << "\n";
        for (const RowId station : {RowId{0}, sids[0], sids[2]}) {
            for (const ProgramListRow& row : ProgramListRows(kQuarter, station))
                out << row.mid << ": " << Join(row.cells, " / ") << "\n";
        }
        for (const RowId sid : sids) {
            for (const IssueItem& i : StationIssues(kQuarter, sid)) out << i.id << " ";
            for (const IssueChoice& i : ReadStationIssues(kQuarter, sid)) out << i.id << " ";
            out << "\n";
        }
        for (const StationRow& s : CopyIssueTargets(kQuarter, "KBBB")) out << s.calls << " ";
        out << "\n";
        for (const StationAnalysis& s : LoadQuarterAnalysis(kQuarter, stations)) {
            out << s.calls << " " << s.references << " " << s.programsAired << ":";
            for (const AnalysisRow& r : s.rows)
                out << " " << r.title << "=" << r.count << "," << r.first << "," << r.last;
            out << "\n";
        }
        for (const ListIssue& i : LoadIssuesListData(kQuarter, "KAAA", 0).issues) {
            out << i.title << ":";
            for (const ListProgram& p : i.programs) out << " " << p.title << " " << p.paragraph;
            out << "\n";
        }
        return out.str();
    }

    TempProgramFolder folder;
    std::vector<RowId> sids;
};

TEST_F(Lookups, KeyQueriesFindTheirRowsThroughAnIndex) {
    const std::string q = std::to_string(kQuarter), s = std::to_string(sids[0]);
    const struct {
        std::string query;
        const char* index;
    } cases[] = {
        // One entry's airings (editor, list cells, import, delete).
        {"SELECT AirDate,AirTime FROM DateTime WHERE MLink = 7", "DateTimeByEntry"},
        {"SELECT AirDate FROM DateTime WHERE MLink = 7 ORDER BY AirDate LIMIT 1",
         "DateTimeByEntry"},
        // The quarter's entries (the list of all stations) and their airings.
        {"SELECT MID,Title FROM Master,Programs WHERE Programs.PID = Master.Pgm AND Qtr = " + q +
             " ORDER BY Airdates",
         "MasterByQuarter"},
        {"SELECT MLink,AirDate,AirTime FROM DateTime WHERE MLink IN "
         "(SELECT +MID FROM Master WHERE Qtr = " +
             q + ")",
         "DateTimeByEntry (MLink=?)"},
        // One station's entries' airings (the filtered list, the reports, the
        // pre-filing check, the export).
        {"SELECT MLink,AirDate,AirTime FROM DateTime WHERE MLink IN "
         "(SELECT +MID FROM Master WHERE Qtr = " +
             q + " AND Station = " + s + ")",
         "DateTimeByEntry (MLink=?)"},
        // The analysis: the airings of the quarter's entries, one by one.
        {"SELECT MLink, MIN(AirDate) FROM DateTime WHERE MLink IN "
         "(SELECT +MID FROM Master WHERE Qtr = " +
             q + " AND Station IN (" + s + "," + std::to_string(sids[1]) + ")) GROUP BY MLink",
         "DateTimeByEntry (MLink=?)"},
        // One station's entries (list filter, reports, pre-filing check, import).
        {"SELECT MID,Title FROM Master,Programs WHERE Programs.PID = Master.Pgm AND Qtr = " + q +
             " AND Station = " + s + " ORDER BY Airdates",
         "MasterByStation"},
        {"SELECT COUNT(*) AS ICount FROM Master WHERE Qtr = " + q + " AND Station = " + s,
         "MasterByStation"},
        // The stations of a quarter with programs, in the order the entries name them.
        {"SELECT DISTINCT Station FROM Master WHERE Qtr = " + q, "MasterByQuarter"},
        // A station's issues, the stations of a quarter, a station by its call letters.
        {"SELECT IID, IIssue FROM Issues WHERE IQtr = " + q + " AND SID = " + s + " ORDER BY IRank",
         "IssuesByStation"},
        {"SELECT StnID, Calls FROM Stations WHERE QtrID = " + q + " ORDER BY Rank",
         "StationsByQuarter"},
        {"SELECT StnID FROM Stations WHERE Calls = 'KAAA' AND QtrID = " + q, "StationsByQuarter"},
        {"SELECT Method FROM Methods WHERE MQtrID = " + q + " AND StnID = " + s,
         "MethodsByStation"},
    };
    for (const auto& c : cases) {
        const std::string plan = Plan(c.query);
        EXPECT_NE(plan.find(std::string("INDEX ") + c.index), std::string::npos)
            << c.query << "\n  plan: " << plan;
    }
}

TEST_F(Lookups, IndexesChangeNoOrderTheUserSees) {
    // The stations of the quarter come in the order their entries were written.
    EXPECT_EQ(StationsWithPrograms(kQuarter),
              (std::vector<std::string>{"KCCC", "KAAA", "KDDD", "KBBB"}));
    ASSERT_EQ(LookupIndexes().size(), 6u);
    const std::string indexed = Snapshot();
    for (const std::string& name : LookupIndexes()) ASSERT_EQ(slExe("DROP INDEX " + name), 0);
    EXPECT_EQ(Snapshot(), indexed);
}

TEST_F(Lookups, AllStationsReadTogetherEqualEachStationReadAlone) {
    // Twice KAAA, a station without programs and one that does not exist.
    const std::vector<std::string> stations = {"KCCC", "KAAA", "kaaa", "KDDD", "KBBB", "KNEW"};
    const std::vector<StationAnalysis> together = LoadQuarterAnalysis(kQuarter, stations);
    ASSERT_EQ(together.size(), stations.size());
    for (size_t i = 0; i < stations.size(); ++i) {
        const StationAnalysis alone = LoadStationAnalysis(kQuarter, stations[i]);
        const StationAnalysis& t = together[i];
        EXPECT_EQ(t.calls, stations[i]);
        EXPECT_EQ(t.hasIssues, alone.hasIssues) << stations[i];
        EXPECT_EQ(t.references, alone.references) << stations[i];
        EXPECT_EQ(t.programsAired, alone.programsAired) << stations[i];
        ASSERT_EQ(t.rows.size(), alone.rows.size()) << stations[i];
        for (size_t r = 0; r < t.rows.size(); ++r) {
            EXPECT_EQ(t.rows[r].title, alone.rows[r].title);
            EXPECT_EQ(t.rows[r].count, alone.rows[r].count) << stations[i] << " " << r;
            EXPECT_EQ(t.rows[r].first, alone.rows[r].first) << stations[i] << " " << r;
            EXPECT_EQ(t.rows[r].last, alone.rows[r].last) << stations[i] << " " << r;
        }
    }
    // KAAA: three entries, four references (one to KBBB's issue, in no row).
    EXPECT_EQ(together[1].programsAired, 3);
    EXPECT_EQ(together[1].references, 4);
    EXPECT_EQ(together[2].programsAired, 3);  // call letters ignore letter case
    EXPECT_FALSE(together[5].hasIssues);
}

}  // namespace
