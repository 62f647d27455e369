// A database damaged in the middle of its entries, opened read-only: the
// program list shows the entries before the damage, and the printed list
// asks first and then says on every page that it may be incomplete.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/base/app_state.h"
#include "app/toolkit/ez_testing.h"
#include "data/dates.h"
#include "data/program_list.h"
#include "data/query.h"
#include "reports/all_stations_print.h"
#include "reports/issues_programs_list.h"
#include "support/pdf_check.h"
#include "support/report_fixture.h"

namespace {

constexpr int32_t kQ = 20192;
constexpr int kEntries = 200;

class DamagedDatabase : public PdfReportTest {
protected:
    DamagedDatabase() : PdfReportTest(ClockReading{2019, 6, 24, 10, 0, 0}) {}
    void SetUp() override {
        PdfReportTest::SetUp();
        if (IsSkipped()) return;
        RecordOpenedFiles();
        station = SeedStation("WXYZ-FM", "Springfield", kQ);
        const RowId issue = SeedIssue(station, kQ, "Crime", "Burglaries.", 0);
        for (int i = 0; i < kEntries; ++i)
            SeedProgram(station, kQ, IssueList({issue}), "Program " + std::to_string(i),
                        "30 minutes", "Talk.", {{Mdy2JulianDate(4, 2, 2019), 480}});
        // Long AirDates texts spread the entries over several pages.
        ExecSql("UPDATE Master SET AirDates = printf('%0200d', MID)");
        slClose();
        ASSERT_TRUE(DamageLastEntriesPage());
        ASSERT_EQ(slOpen(Paths().dataFolder + "VantrelData.db3", "R"), 0);
    }
    // Overwrites the page-type byte of the last leaf page of Master.
    static bool DamageLastEntriesPage() {
        const std::string path = Paths().dataFolder + "VantrelData.db3";
        sqlite3* db = nullptr;
        if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) return false;
        sqlite3_stmt* st = nullptr;
        long long page = 0, size = 0;
        sqlite3_prepare_v2(db,
                           "SELECT pageno, pgsize FROM dbstat WHERE name = 'Master' AND "
                           "pagetype = 'leaf' ORDER BY path DESC LIMIT 1",
                           -1, &st, nullptr);
        if (st && sqlite3_step(st) == SQLITE_ROW) {
            page = sqlite3_column_int64(st, 0);
            size = sqlite3_column_int64(st, 1);
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
        if (page < 2) return false;
        std::FILE* f = std::fopen(path.c_str(), "r+b");
        if (!f) return false;
        const bool ok = std::fseek(f, static_cast<long>((page - 1) * size), SEEK_SET) == 0 &&
                        std::fputc(0x01, f) != EOF;
        return std::fclose(f) == 0 && ok;
    }
    RowId station = 0;
};

TEST_F(DamagedDatabase, TheListShowsWhatCanBeReadAndThePrintSaysItMayBeIncomplete) {
    const std::vector<ProgramListRow> rows = ProgramListRows(kQ, station);
    EXPECT_GT(rows.size(), 10u);
    EXPECT_LT(rows.size(), static_cast<size_t>(kEntries));
    EXPECT_TRUE(slIsDamaged());  // found by the read itself
    // In list order (by AirDates, here the entry order).
    for (size_t i = 1; i < rows.size(); ++i) EXPECT_LT(rows[i - 1].mid, rows[i].mid);

    // Cancelled at the question: nothing is written.
    ReportInputs() = ReportChoice{"2019 - Apr-Jun", "WXYZ-FM", 0};
    const std::string temp = Paths().pdfFolder + "Temp.pdf";
    prompts.Expect("Database Damaged", 2);
    PrintIssuesProgramsList("PQ");
    EXPECT_FALSE(std::filesystem::exists(temp));
    // Gone on with: every page carries the note.
    prompts.Expect("Database Damaged", 1);
    PrintIssuesProgramsList("PQ");
    const std::vector<std::string> pages = PdfPages(temp);
    ASSERT_GT(pages.size(), 1u);
    for (const std::string& page : pages)
        EXPECT_TRUE(Has(page, kIncompleteNote)) << page.substr(0, 300);
    EXPECT_EQ(prompts.seen[0].text1,
              "Part of the database could not be read: this list may be incomplete.{f10,t4}");
    // Only the print that went on asked where to save.
    EXPECT_EQ(EZ_TAKEUNSHOWN(), std::vector<std::string>{"file dialog \"Save PDF File\""});

    // Every station at once: the closing message names the incomplete list.
    AllStationsRun run = StartAllStations(kQ, 0);
    while (PrintNextStation(run)) {
    }
    ASSERT_EQ(run.results.size(), 1u);
    EXPECT_TRUE(run.results[0].written);
    EXPECT_NE(DescribeAllStations(run).text2.find(
                  "May be incomplete, part of the database could not be read: WXYZ-FM"),
              std::string::npos);
}

}  // namespace
